// The keys and menus a new user meets: every key a menu names works in the windows of that menu
// and no key means two things there; Ctrl+H replaces and Ctrl+L finds again; commands of the
// HTML window; Build > Stop.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/ceditwebdoc.h"
#include "framework/commandids.h"
#include "framework/findreplacedialog.h"
#include "framework/resourcetables.h"
#include "framework/view.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "support/appharness.h"
#include "support/qtprinters.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

// Every item of a menu bar that names a key, with the key named.
std::vector<std::pair<int, QString>> keyedItems(const QJsonArray &popups) {
    std::vector<std::pair<int, QString>> items;
    for (const QJsonValue &popup : popups) {
        for (const QJsonValue &item : popup.toObject().value("items"_L1).toArray()) {
            const QJsonArray pair = item.toArray();
            const QString text = pair.at(1).toString();
            if (text.contains(u'\t')) {
                items.emplace_back(pair.at(0).toInt(), text.section(u'\t', 1));
            }
        }
    }
    return items;
}

// The keys that work in the windows of a menu bar: the main table's, which work in every
// window, and those of the window's own table. No key may mean two things there.
std::map<QString, int> activeKeys(const fw::ResourceTables &tables, int menuId) {
    std::map<QString, int> active;
    for (const int tableId : {int(ResourceId::MainFrame), menuId}) {
        for (const fw::Accelerator &accelerator : tables.accelerators(tableId)) {
            const QString key = QKeySequence(accelerator.key).toString();
            EXPECT_FALSE(key.isEmpty()) << accelerator.key.toStdString();
            const auto [place, added] = active.emplace(key, accelerator.commandId);
            EXPECT_TRUE(added || place->second == accelerator.commandId)
                << key.toStdString() << " means " << place->second << " and "
                << accelerator.commandId << " in the windows of menu " << menuId;
        }
    }
    return active;
}

QPlainTextEdit *activeEditor(AppHarness &harness) {
    fw::View *view = harness.mainFrame().activeView();
    return view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
}

// Ctrl+H opens Replace, with its field for the new text; Ctrl+L finds the same text again.
TEST(Keys, CtrlHOpensReplaceAndCtrlLFindsNext) {
    AppHarness harness;
    harness.app().openDocumentFile(harness.writeFile(u"A.java"_s, "x\nfoo();\nbar(foo);\n"));
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
    fw::FindReplaceDialog &dialog = fw::FindReplaceDialog::instance();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), u"Replace"_s);
    const QList<QLineEdit *> fields = dialog.findChildren<QLineEdit *>();
    ASSERT_EQ(fields.size(), 2);
    EXPECT_TRUE(fields.at(1)->isVisible());
    fields.at(0)->setText(u"foo"_s);
    QTest::mouseClick(dialog.findChildren<QPushButton *>().value(0), Qt::LeftButton);
    EXPECT_EQ(editor->textCursor().blockNumber(), 1);
    dialog.hide();

    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(editor->textCursor().selectedText(), u"foo"_s);
    EXPECT_EQ(editor->textCursor().blockNumber(), 2);
}

// A project with Main.java, whose tools are scripts that say what they were asked to do.
class ProjectWindows : public testing::Test {
protected:
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;

    CMainFrame &frame() const { return harness.mainFrame(); }
    void SetUp() override {
        QDir().mkpath(harness.folder() + "/jdk/bin");
        for (const char *tool : {"javac", "java"}) {
            const QString path = harness.writeFile("jdk/bin/"_L1 + QLatin1String(tool),
                                                   "#!/bin/sh\necho \"" + QByteArray(tool)
                                                       + " $*\"\nsleep \"${SLEEP:-0}\"\n");
            QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        harness.app().settings().jdkFolder = harness.folder() + "/jdk";
        harness.app().settings().saveBeforeCompile = 0;
        ProjectFileContents contents;
        auto file = std::make_unique<CJavaFile>();
        file->SetFileName(u"Main.java"_s);
        file->SetPath(harness.writeFile(u"Main.java"_s, "class Main {}\n"));
        contents.m_fileList.Add(file);
        contents.m_strMainFile = u"Main.java"_s;
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(
            harness.writeFile(u"P.jpr"_s, storeProjectFile(contents))));
        ASSERT_NE(project, nullptr);
    }
    bool waitForEnd() {
        return QTest::qWaitFor(
            [this] { return !IsProcessRunning() && !project->m_pOutputWnd->isWatching(); }, 30000);
    }
};

// In each kind of window, a key that a menu item names does that item's command, unless the
// command does nothing in that window (the project window's Edit menu names the editors' keys).
TEST_F(ProjectWindows, EveryKeyAMenuNamesWorksThereAndNoKeyMeansTwoThings) {
    const fw::ResourceTables &tables = harness.app().tables();
    const auto checkActiveWindow = [&] {
        const int menuId = frame().currentMenuId();
        const std::map<QString, int> active = activeKeys(tables, menuId);
        // Ctrl+Space is the source windows' completion key in every window.
        EXPECT_EQ(active.count(QKeySequence(u"Ctrl+Space"_s).toString()), 0U) << menuId;
        for (const auto &[id, named] : keyedItems(tables.menu(menuId))) {
            const QString key = QKeySequence(named == "DEL"_L1 ? u"Del"_s : named).toString();
            const auto found = active.find(key);
            if (found == active.end()) {
                EXPECT_FALSE(frame().commandState(id).isEnabled())
                    << named.toStdString() << " does nothing in the windows of menu " << menuId;
            } else {
                EXPECT_EQ(found->second, id) << named.toStdString() << " in menu " << menuId;
            }
        }
    };
    checkActiveWindow();
    harness.app().openDocumentFile(harness.folder() + "/Main.java"_L1);
    checkActiveWindow();
    harness.app().openDocumentFile(harness.writeFile(u"page.html"_s, "<html>\n"));
    checkActiveWindow();
    harness.app().closeAllDocuments();
    AppHarness::processEvents();
    EXPECT_EQ(frame().currentMenuId(), ResourceId::MainFrame);
    checkActiveWindow();
}

// In an HTML window Compile, which has nothing to compile there, is disabled, and F5 runs the
// project's program as the menu says.
TEST_F(ProjectWindows, HtmlWindowDisablesCompileAndRunsTheProgramWithF5) {
    auto *page = dynamic_cast<CEditWebDoc *>(
        harness.app().openDocumentFile(harness.writeFile(u"page.html"_s, "<html>\n")));
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(frame().commandState(CommandId::Compile).isEnabled());
    harness.prompter().answerNext(fw::Answer::No); // run without building first
    QWidget *editor = page->firstView()->widget();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_F5);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(project->m_pOutputWnd->ShownText().startsWith(u"java Main\r\n"_s))
        << project->m_pOutputWnd->ShownText().toStdString();
}

// Build > Stop asks what the output window's Stop asks: Cancel lets the program run on, OK
// ends it. It is there only while a program runs.
TEST_F(ProjectWindows, StopAsksAndEndsTheRunningProgram) {
    EXPECT_FALSE(frame().commandState(CommandId::StopRun).isEnabled());
    qputenv("SLEEP", "30");
    harness.prompter().answerNext(fw::Answer::No);
    ASSERT_TRUE(frame().executeCommand(CommandId::RunApplication));
    qunsetenv("SLEEP");
    ASSERT_TRUE(IsProcessRunning());
    harness.prompter().clear();
    harness.prompter().answerNext(fw::Answer::Cancel);
    ASSERT_TRUE(frame().executeCommand(CommandId::StopRun));
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{u"The process is still running, do you wish to abort it?"_s});
    EXPECT_TRUE(IsProcessRunning());
    harness.prompter().answerNext(fw::Answer::Ok);
    ASSERT_TRUE(frame().executeCommand(CommandId::StopRun));
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(project->m_pOutputWnd->ShownText().endsWith(u"Process terminated by user."_s));
    EXPECT_FALSE(frame().commandState(CommandId::StopRun).isEnabled());
}

} // namespace
