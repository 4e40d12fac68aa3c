#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

namespace javaservice {

class ServiceProcess;
namespace protocol {
struct Message;
}

using RequestId = quint64;

// A compiler message about a place in a checked text.
struct Diagnostic {
    enum class Kind { Error, Warning };
    Kind kind = Kind::Error;
    int line = 0;   // 1-based; 0 when unknown
    int column = 0; // 1-based; 0 when unknown
    // Offsets into the text, in UTF-16 code units as QString counts them; -1 when unknown.
    qint64 start = -1;
    qint64 end = -1;
    qint64 position = -1;
    QString message;

    friend bool operator==(const Diagnostic &, const Diagnostic &) = default;
};

// One source text to compile against its project, nothing written.
struct CheckRequest {
    QString path; // the file the text is of
    QString text;
    QString sourcePath;  // where the project's other sources are found
    QStringList options; // the user's compiler options, split into arguments
    // The unsaved texts of other files, read in place of those files: (path, text).
    QList<QPair<QString, QString>> overlays;
};

// What may be written at a caret: one entry of a completion list.
struct CompletionItem {
    QString name;
    QString kind;               // local, parameter, field, method, class, interface, ...
    QStringList parameterTypes; // a method's, as source names them: int, List<String>
    QString type;               // a method's result, a variable's type, a class's package
    QString qualifiedName;      // of a class not in scope, for its import; else empty

    bool isMethod() const { return kind == QLatin1String("method"); }
    friend bool operator==(const CompletionItem &, const CompletionItem &) = default;
};

// The answer to a completion: where the name being completed starts in the text, what of it is
// typed (the text from start to the caret), and the entries, nearest first; complete is false
// when classes were left out because no name was begun, to come once one is.
struct Completions {
    qint64 start = 0;
    QString prefix;
    QList<CompletionItem> items;
    bool complete = true;
};

// Why a request got no answer from a service: the JDK has no usable service, the service ended
// before it answered, or it answered with an error.
enum class Failure { Unavailable, Ended, Refused };

// Tarvo's way to its resident Java services. The views and documents ask it (run this tool,
// check this text) and hear the answers as signals; they never see the protocol. Nothing here
// waits: services are started, and Tarvo's Java programs compiled into their cache, off the
// user-interface thread, and requests wait in line until their service is ready.
//
// A service serves one JDK in one folder: a JVM cannot change its current folder, and the tools
// print the paths they were given, so each folder a tool runs in gets a service of its own. At
// most maxServices run at once; a new one lets the least recently used idle one go. A service
// ends when the client goes (its input closes), after the idle time without requests, or when
// a request it runs is aborted; the next request starts a new one. When a JDK's service cannot
// be made or started (no compiler API, a runtime only, Tarvo's Java program cannot be compiled)
// every request for that JDK fails with Unavailable for a while, and unavailable() says why,
// once.
//
// Every request gets exactly one last signal (toolFinished, checked, completed or failed) unless it
// is cancelled or aborted first: after that nothing more is heard of it.
class JavaServiceClient : public QObject {
    Q_OBJECT

public:
    struct Settings {
        QStringList helpFolders; // where Tarvo's Java sources are
        QString cacheRoot;       // where they are compiled to
        int idleMs = 10 * 60 * 1000;
        int maxServices = 3;
        QStringList jvmOptions = defaultJvmOptions();
    };
    // Options that keep an idle service small and its start quick.
    static QStringList defaultJvmOptions();

    explicit JavaServiceClient(const Settings &settings, QObject *parent = nullptr);
    ~JavaServiceClient() override;

    Settings &settings() { return m_settings; }

    // Runs javac or jar with these arguments in folder, with the JDK's service there.
    // toolOutput brings what it prints, toolFinished its exit status.
    RequestId runTool(const QString &jdkFolder, const QString &folder, const QString &tool,
                      const QStringList &arguments);
    // Compiles a text against its project with the JDK's service in folder (where the user's
    // options are read relative to); checked brings the messages about the text.
    RequestId check(const QString &jdkFolder, const QString &folder, const CheckRequest &request);
    // What may be written at caret (an offset into request.text) of a text that need not
    // compile; completed brings the entries. Served beside builds and checks, not behind them.
    // Caret -1 gets the service ready for completion, with no entries.
    RequestId complete(const QString &jdkFolder, const QString &folder, const CheckRequest &request,
                       qint64 caret);
    // The request's answer is no longer wanted.
    void cancel(RequestId id);
    // Ends the service that runs the request, at once; nothing more is heard of the request.
    void abort(RequestId id);
    // Lets every service go.
    void shutdown();

    // Whether the JDK's service could not be made or started. It is tried again when the help
    // folders change or kRetryUnavailableMs later; unavailable() is not said again.
    bool isUnavailable(const QString &jdkFolder) const;
    static constexpr qint64 kRetryUnavailableMs = 10 * 60 * 1000;
    // The running services (for tests and benchmarks): how many, and the process of one.
    int serviceCount() const;
    qint64 serviceProcessId(const QString &jdkFolder, const QString &folder) const;

Q_SIGNALS:
    void toolOutput(javaservice::RequestId id, const QByteArray &data);
    void toolFinished(javaservice::RequestId id, int exitCode);
    void checked(javaservice::RequestId id, const QList<javaservice::Diagnostic> &diagnostics);
    void completed(javaservice::RequestId id, const javaservice::Completions &completions);
    void failed(javaservice::RequestId id, javaservice::Failure failure, const QString &reason);
    void unavailable(const QString &jdkFolder, const QString &reason);

private:
    struct Jdk;
    struct Service;
    struct Request;

    RequestId send(const QString &jdkFolder, const QString &folder, const QString &kind,
                   const QVariantMap &fields);
    Jdk &jdk(const QString &jdkFolder);
    void prepare(const QString &jdkFolder);
    void prepared(const QString &jdkFolder, const QString &classFolder, const QString &error);
    Service &service(const QString &jdkFolder, const QString &folder);
    void startService(Service &service);
    void serviceReady(Service &service);
    void serviceEnded(ServiceProcess *process, const QString &reason);
    void received(const protocol::Message &message);
    void makeRoom();
    void markUnavailable(const QString &jdkFolder, const QString &reason);
    void fail(RequestId id, Failure failure, const QString &reason);

    Settings m_settings;
    QMap<QString, std::shared_ptr<Jdk>> m_jdks;
    QList<std::shared_ptr<Service>> m_services; // most recently used last
    QMap<RequestId, std::shared_ptr<Request>> m_requests;
    RequestId m_lastId = 0;
};

} // namespace javaservice
