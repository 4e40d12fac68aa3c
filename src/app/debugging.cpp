#include "app/debugging.h"

#include "app/debugwindow.h"
#include "editors/breakpointmarks.h"
#include "editors/breakpointstore.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linejump.h"
#include "framework/commandids.h"
#include "framework/view.h"
#include "project/cjavaprojectdoc.h"
#include "project/debugbreakpoints.h"
#include "tools/debugrun.h"
#include "tools/processrunner.h"

#include <QPlainTextEdit>
#include <QScreen>

Debugging::Debugging(Context context)
    : m_context(std::move(context)) {
    connect(&BreakpointStore::instance(), &BreakpointStore::changed, this,
            &Debugging::sendBreakpointChanges);
}

Debugging::~Debugging() {
    delete m_window;
    // The settings go with the application.
    BreakpointStore::instance().setProfile(nullptr);
}

DebugWindow *Debugging::window() const {
    return m_window;
}

javaservice::DebugSession *Debugging::session() const {
    return m_run && m_run->isActive() ? &m_run->session() : nullptr;
}

bool Debugging::canDebug() const {
    CJavaProjectDoc *project = m_context.project();
    return project && !project->debugRun() && !IsProcessRunning();
}

bool Debugging::isStopped() const {
    javaservice::DebugSession *current = session();
    return current && current->isStopped();
}

bool Debugging::isDebugging() const {
    return session() != nullptr;
}

bool Debugging::canToggleBreakpoint() const {
    return dynamic_cast<CSyntaxWindowView *>(m_context.activeView()) != nullptr;
}

void Debugging::DebugApplication() {
    CJavaProjectDoc *project = m_context.project();
    if (!project) {
        return;
    }
    follow(project);
    project->DebugMain();
}

void Debugging::Continue() {
    if (javaservice::DebugSession *current = session()) {
        current->resume();
    }
}

void Debugging::Step(javaservice::StepDepth depth) {
    if (javaservice::DebugSession *current = session()) {
        current->step(depth);
    }
}

void Debugging::Stop() {
    if (m_run) {
        m_run->stop();
    }
}

void Debugging::ToggleBreakpoint() {
    auto *view = dynamic_cast<CSyntaxWindowView *>(m_context.activeView());
    auto *document = view ? dynamic_cast<CSyntaxWindowDoc *>(view->doc()) : nullptr;
    auto *edit = view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
    if (document && edit) {
        document->breakpoints().toggle(edit->textCursor().blockNumber());
    }
}

void Debugging::follow(CJavaProjectDoc *project) {
    if (m_followed == project) {
        return;
    }
    if (m_followed) {
        m_followed->disconnect(this);
    }
    m_followed = project;
    connect(project, &CJavaProjectDoc::debugRunStarted, this, &Debugging::runStarted);
}

void Debugging::runStarted(DebugRun *run) {
    m_run = run;
    m_sentBreakpoints = debugging::allBreakpoints();
    if (!m_window) {
        QWidget *owner = m_context.mainWindow();
        m_window = new DebugWindow(owner);
        connect(m_window, &DebugWindow::commandRequested, this, [this](int command) {
            switch (command) {
            case CommandId::DebugContinue:
                Continue();
                break;
            case CommandId::StepOver:
                Step(javaservice::StepDepth::Over);
                break;
            case CommandId::StepInto:
                Step(javaservice::StepDepth::Into);
                break;
            case CommandId::StepOut:
                Step(javaservice::StepDepth::Out);
                break;
            case CommandId::StopDebugging:
                Stop();
                break;
            default:
                break;
            }
        });
        connect(m_window, &DebugWindow::frameActivated, this, &Debugging::showFrame);
        if (owner) {
            // At the right of the main window's lower half, beside the output window.
            const QRect area = owner->geometry();
            m_window->move(area.right() - m_window->width() - 20,
                           area.bottom() - m_window->height() - 40);
        }
    }
    javaservice::DebugSession &current = run->session();
    m_window->setSession(&current);
    connect(&current, &javaservice::DebugSession::stopped, this, &Debugging::stopped);
    connect(&current, &javaservice::DebugSession::resumed, this, &Debugging::clearExecutionLine);
    connect(&current, &javaservice::DebugSession::ended, this, [this] {
        clearExecutionLine();
        if (m_context.statusMessage) {
            m_context.statusMessage(QStringLiteral("Debugging ended"));
        }
    });
}

void Debugging::stopped(const javaservice::DebugStop &stop) {
    if (stop.frames.isEmpty()) {
        return;
    }
    const javaservice::DebugFrame &frame = stop.frames.at(stop.frame);
    // The Debug window is up before the line is shown, so that the line is kept clear of it as
    // of the output window.
    if (m_window) {
        m_window->show();
        m_window->raise();
    }
    showFrame(frame);
    if (m_context.statusMessage) {
        m_context.statusMessage(
            stop.reason == javaservice::DebugStop::Reason::Exception
                ? stop.exception
                : QStringLiteral("Stopped at line %1 of %2").arg(frame.line).arg(frame.sourceName));
    }
}

void Debugging::showFrame(const javaservice::DebugFrame &frame) {
    clearExecutionLine();
    CJavaProjectDoc *project = m_context.project();
    CSyntaxWindowDoc *source = project ? project->ShowDebugLine(frame.path, frame.line) : nullptr;
    if (source && frame.line > 0) {
        m_executionMarks = &source->breakpoints();
        m_executionDocument = source;
        m_executionMarks->setExecutionLine(frame.line - 1);
    }
}

void Debugging::clearExecutionLine() {
    if (m_executionMarks) {
        // The line's highlight goes with the arrow: a program that runs on or has ended shows
        // no line as the one it stands at.
        const int line = m_executionMarks->executionLine();
        if (m_executionDocument) {
            for (fw::View *view : m_executionDocument->views()) {
                if (auto *editor = dynamic_cast<QPlainTextEdit *>(view)) {
                    editors::clearJumpHighlight(*editor, line);
                }
            }
        }
        m_executionMarks->setExecutionLine(-1);
    }
    m_executionMarks = nullptr;
    m_executionDocument = nullptr;
}

void Debugging::sendBreakpointChanges() {
    javaservice::DebugSession *current = session();
    if (!current) {
        return;
    }
    const QList<javaservice::DebugBreakpoint> now = debugging::allBreakpoints();
    for (const javaservice::DebugBreakpoint &breakpoint : now) {
        if (!m_sentBreakpoints.contains(breakpoint)) {
            current->setBreakpoint(breakpoint, true);
        }
    }
    for (const javaservice::DebugBreakpoint &breakpoint : std::as_const(m_sentBreakpoints)) {
        if (!now.contains(breakpoint)) {
            current->setBreakpoint(breakpoint, false);
        }
    }
    m_sentBreakpoints = now;
}
