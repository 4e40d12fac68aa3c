#pragma once

#include "javaservice/debugsession.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class BreakpointMarks;
class CJavaProjectDoc;
class CSyntaxWindowDoc;
class DebugRun;
class DebugWindow;
class QWidget;

namespace fw {
class View;
}

// The debugger as the application runs it: the debug run of the open project, the Debug window
// that shows it, the source window of the line the program stopped at (opened there, the line
// highlighted and marked with an arrow in the margin), the breakpoints set or cleared while the
// program runs, and the commands Debug Application, Continue, Step Over, Step Into, Step Out,
// Stop Debugging and Toggle Breakpoint with their enable rules.
class Debugging : public QObject {
    Q_OBJECT

public:
    struct Context {
        std::function<CJavaProjectDoc *()> project;
        std::function<fw::View *()> activeView;
        std::function<QWidget *()> mainWindow;
        std::function<void(const QString &)> statusMessage;
    };

    explicit Debugging(Context context);
    ~Debugging() override;

    // The commands.
    void DebugApplication();
    void Continue();
    void Step(javaservice::StepDepth depth);
    void Stop();
    void ToggleBreakpoint();
    // Their enable rules.
    bool canDebug() const;
    bool isStopped() const;
    bool isDebugging() const;
    bool canToggleBreakpoint() const;

    // The Debug window, once a debug run has started.
    DebugWindow *window() const;
    javaservice::DebugSession *session() const;

private:
    void follow(CJavaProjectDoc *project);
    void runStarted(DebugRun *run);
    void stopped(const javaservice::DebugStop &stop);
    void showFrame(const javaservice::DebugFrame &frame);
    void clearExecutionLine();
    void sendBreakpointChanges();

    Context m_context;
    QPointer<CJavaProjectDoc> m_followed;
    QPointer<DebugRun> m_run;
    QPointer<DebugWindow> m_window;
    QPointer<BreakpointMarks> m_executionMarks;
    QPointer<CSyntaxWindowDoc> m_executionDocument;
    QList<javaservice::DebugBreakpoint> m_sentBreakpoints;
};
