#include "tools/outputwindowkeys.h"

#include "framework/commandids.h"
#include "framework/mainwindow.h"
#include "framework/resourcetables.h"

#include <QKeySequence>
#include <QPointer>
#include <QShortcut>

#include <algorithm>
#include <array>
#include <set>

namespace {

constexpr std::array kAcceleratorTables{ResourceId::MainFrame, ResourceId::JavaSource,
                                        ResourceId::JavaProject, ResourceId::Html};

// Commands that belong to where the keyboard is, not to the main window.
constexpr std::array kLocalCommands{CommandId::EditCopy,   CommandId::EditCut,
                                    CommandId::EditPaste,  CommandId::EditUndo,
                                    CommandId::EditRedo,   CommandId::EditSelectAll,
                                    CommandId::RemoveFile, CommandId::WindowCloseActive};

bool isLocal(int command) {
    return std::find(kLocalCommands.begin(), kLocalCommands.end(), command) != kLocalCommands.end();
}

// The command key means in the main window now: in the active window's table, else in the
// main table; 0 for none.
int commandFor(const fw::MainWindow &main, const QKeySequence &key) {
    for (const int table : {main.currentMenuId(), int(ResourceId::MainFrame)}) {
        for (const fw::Accelerator &accelerator : main.tables().accelerators(table)) {
            if (QKeySequence(accelerator.key) == key) {
                return accelerator.commandId;
            }
        }
    }
    return 0;
}

} // namespace

void forwardMainWindowKeys(QWidget *window, fw::MainWindow *main) {
    std::set<QString> keys;
    for (const int table : kAcceleratorTables) {
        for (const fw::Accelerator &accelerator : main->tables().accelerators(table)) {
            if (!isLocal(accelerator.commandId)) {
                keys.insert(QKeySequence(accelerator.key).toString());
            }
        }
    }
    const QPointer<fw::MainWindow> owner(main);
    for (const QString &text : keys) {
        const QKeySequence key(text);
        auto *shortcut = new QShortcut(key, window);
        QObject::connect(shortcut, &QShortcut::activated, window, [owner, key] {
            if (!owner) {
                return;
            }
            if (const int command = commandFor(*owner, key); command != 0 && !isLocal(command)) {
                owner->executeCommand(command);
            }
        });
    }
}
