#pragma once

#include "javaservice/helpercache.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QThread;

namespace javaservice {

class ServiceProcess;
namespace protocol {
struct Message;
}

// A line of a source file to stop at. The file is named as the program's classes name it: the
// folders of its package and its file name ("shapes/Circle.java", "Main.java" in no package).
struct DebugBreakpoint {
    QString path;
    int line = 0; // 1-based

    friend bool operator==(const DebugBreakpoint &, const DebugBreakpoint &) = default;
};

// One frame of the stopped thread's call stack, innermost first.
struct DebugFrame {
    QString className; // "shapes.Circle$Edge"
    QString method;
    QString path;         // as DebugBreakpoint::path; empty when the class has no source name
    QString sourceName;   // "Circle.java"
    int line = -1;        // 1-based; -1 when unknown
    bool library = false; // a class of the Java platform
};

// Where and why the program stopped.
struct DebugStop {
    enum class Reason { Breakpoint, Step, Exception };
    Reason reason = Reason::Breakpoint;
    QString exception; // the exception's text, for Reason::Exception
    QString thread;
    QList<DebugFrame> frames;
    int frame = 0; // the frame to show first: the innermost of the program's own code
};

// A variable of a frame, or a field or element of an object, as the user reads it.
struct DebugVariable {
    QString name;
    QString kind; // this, argument, local, field, element, note
    QString type;
    QString value;
    qint64 object = 0; // the id to read its fields or elements by; 0 when it has none

    bool isExpandable() const { return object != 0; }
};

enum class StepDepth { Over, Into, Out };

// Tarvo's debugger, one of its Java programs (res/help/debugger, with the protocol's classes).
JavaHelper debuggerHelper();

// One debug session: a debugger JVM of Tarvo's own (compiled into the helper cache on first
// use, off the user-interface thread) that listens on a loopback port for one program to
// connect, and speaks the service protocol with Tarvo. Whoever starts the session starts the
// program once listening() says where, with agentOption(port) among its JVM options: the program
// then connects as a client, so it never listens for anybody else to attach. The program's
// output and input are not the session's business.
//
// While the program runs, stopped() tells where it stopped; then its variables can be read,
// and resume(), step() or stop() let it go on or end it. Breakpoints can be set and cleared at
// any time. ended() comes exactly once, when the program has ended (empty error) or the session
// could not go on (why); the debugger JVM is gone then. Destroying the session has the debugger
// end the program and itself, and waits a moment for that.
class DebugSession : public QObject {
    Q_OBJECT

public:
    struct Settings {
        QString jdkFolder;
        QString folder; // the debugger's current folder: the program's
        QStringList helpFolders;
        QString cacheRoot;
        // How long the debugger waits for the program to connect.
        int connectTimeoutMs = 60 * 1000;
        QStringList jvmOptions;
    };
    enum class State { Idle, Preparing, Starting, Listening, Running, Stopped, Ended };

    explicit DebugSession(const Settings &settings, QObject *parent = nullptr);
    ~DebugSession() override;

    // Compiles the debugger if need be and starts it with the breakpoints set from the start.
    void start(const QList<DebugBreakpoint> &breakpoints);
    // The JVM option that makes a program connect to the debugger listening on port.
    static QString agentOption(int port);

    State state() const { return m_state; }
    bool isStopped() const { return m_state == State::Stopped; }
    bool hasEnded() const { return m_state == State::Ended; }
    int port() const { return m_port; }
    // Where the program stopped last; valid while it is stopped.
    const DebugStop &lastStop() const { return m_lastStop; }

    void setBreakpoint(const DebugBreakpoint &breakpoint, bool set);
    // Let the stopped program go on; false, with nothing done, when it is not stopped.
    bool resume();
    bool step(StepDepth depth);
    // Reads the variables of a frame of the stopped thread (object 0), or the fields or
    // elements of an object one of them holds; variablesRead answers with the id returned.
    // 0 when the program is not stopped.
    quint64 readVariables(int frame, qint64 object = 0);
    // Ends the program with the exit code (or the session, when no program has connected).
    void stop(int exitCode);

Q_SIGNALS:
    void listening(int port);
    void attached();
    void stopped(const javaservice::DebugStop &stop);
    void resumed();
    void variablesRead(quint64 id, const QList<javaservice::DebugVariable> &variables);
    void ended(const QString &error);

private:
    void prepared(const QString &classFolder, const QString &error);
    void received(const protocol::Message &message);
    quint64 send(const QString &kind, const QVariantMap &fields);
    void finish(const QString &error);

    Settings m_settings;
    State m_state = State::Idle;
    QList<DebugBreakpoint> m_initialBreakpoints;
    QThread *m_preparing = nullptr;
    std::unique_ptr<ServiceProcess> m_process;
    quint64 m_lastId = 0;
    quint64 m_sessionId = 0;
    int m_port = 0;
    DebugStop m_lastStop;
};

} // namespace javaservice
