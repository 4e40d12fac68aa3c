#pragma once

#include "javaservice/debugsession.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QSet>

class QAction;
class QLabel;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The "Debug" window: a small toolbar (Continue, Step Over, Step Into, Step Out, Stop), a line
// saying where and why the program stopped, the call stack of the stopped thread and the
// variables of the selected frame. It shows one debug session and asks it for what it shows.
//
// Variables: this, the parameters and the local variables of the frame; objects and arrays
// expand to their fields and elements, read when first expanded. A value that differs from
// the one read at the same place at the stop before is marked (red and bold); what the user
// expanded stays expanded from stop to stop.
class DebugWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kNameColumn = 0;
    static constexpr int kValueColumn = 1;
    static constexpr int kTypeColumn = 2;

    explicit DebugWindow(QWidget *owner);
    ~DebugWindow() override;

    // Shows this session from now on.
    void setSession(javaservice::DebugSession *session);

    QToolBar *toolBar() const { return m_toolBar; }
    // The toolbar's action for a debugger command (CommandId), or none.
    QAction *toolAction(int commandId) const;
    QLabel *statusLine() const { return m_status; }
    QTreeWidget *callStack() const { return m_callStack; }
    QTreeWidget *variables() const { return m_variables; }
    // The variable item at a path of names from the frame ("squares/[2]"), or none.
    QTreeWidgetItem *variableItem(const QString &path) const;
    // Whether the item's value is marked as changed since the stop before.
    static bool isMarkedChanged(const QTreeWidgetItem *item);

    // Enables the toolbar's actions as the program's state allows.
    void updateActions();

Q_SIGNALS:
    // A toolbar button was pressed: the debugger command (CommandId) to carry out.
    void commandRequested(int commandId);
    // A frame of the call stack was double-clicked.
    void frameActivated(const javaservice::DebugFrame &frame);

private:
    void showStop(const javaservice::DebugStop &stop);
    void showRunning();
    void showEnded();
    void selectFrame(int index);
    void fill(QTreeWidgetItem *parent, const QString &parentPath,
              const QList<javaservice::DebugVariable> &variables);
    void expand(QTreeWidgetItem *item);
    QString pathOf(const QTreeWidgetItem *item) const;
    QString frameKey(int index) const;

    QPointer<javaservice::DebugSession> m_session;
    QToolBar *m_toolBar = nullptr;
    QHash<int, QAction *> m_actions;
    QLabel *m_status = nullptr;
    QTreeWidget *m_callStack = nullptr;
    QTreeWidget *m_variables = nullptr;

    javaservice::DebugStop m_stop;
    int m_frame = -1;
    // The values read at this stop and at the stop before, by frame key and path.
    QHash<QString, QString> m_values;
    QHash<QString, QString> m_previousValues;
    // The paths (frame key and names) the user expanded.
    QSet<QString> m_expanded;
    // Requests answered into these items; forgotten when the items are made anew.
    QHash<quint64, QTreeWidgetItem *> m_pending;
    quint64 m_frameRequest = 0;
};
