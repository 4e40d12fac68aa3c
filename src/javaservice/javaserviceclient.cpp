#include "javaservice/javaserviceclient.h"

#include "javaservice/helpercache.h"
#include "javaservice/protocol.h"
#include "javaservice/serviceprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace javaservice {

namespace {

namespace kinds = protocol;

// The service as one of Tarvo's Java programs.
JavaHelper serviceHelper() {
    const QString folder = QStringLiteral("javaservice/");
    QStringList sources;
    for (const char *name :
         {"ServiceMain",     "CaretText",     "Channel",           "CheckHandler", "ClassIndex",
          "CompleteHandler", "Completer",     "Console",           "Dispatcher",   "FrameCodec",
          "Handler",         "Kinds",         "MemorySource",      "Message",      "NameMatch",
          "OutputFrames",    "Proposals",     "ProtocolException", "Reply",        "SourceOverlay",
          "TaskPool",        "ToolRunHandler"}) {
        sources << folder + QLatin1String(name) + QStringLiteral(".java");
    }
    return {QStringLiteral("javaservice"),
            sources,
            {QStringLiteral("-nowarn"), QStringLiteral("-encoding"), QStringLiteral("UTF-8")}};
}

QList<Diagnostic> diagnosticsOf(const QVariantList &items) {
    QList<Diagnostic> diagnostics;
    for (const QVariant &value : items) {
        const QVariantMap item = value.toMap();
        Diagnostic diagnostic;
        diagnostic.kind = item.value(QStringLiteral("kind")).toString() == QLatin1String("error")
                              ? Diagnostic::Kind::Error
                              : Diagnostic::Kind::Warning;
        diagnostic.line = int(item.value(QStringLiteral("line")).toLongLong());
        diagnostic.column = int(item.value(QStringLiteral("column")).toLongLong());
        diagnostic.start = item.value(QStringLiteral("start")).toLongLong();
        diagnostic.end = item.value(QStringLiteral("end")).toLongLong();
        diagnostic.position = item.value(QStringLiteral("position")).toLongLong();
        diagnostic.message = item.value(QStringLiteral("message")).toString();
        diagnostics.append(diagnostic);
    }
    return diagnostics;
}

Completions completionsOf(const QVariantMap &fields) {
    Completions completions;
    completions.start = fields.value(QStringLiteral("start")).toLongLong();
    completions.prefix = fields.value(QStringLiteral("prefix")).toString();
    completions.complete = fields.value(QStringLiteral("complete"), qint64(1)).toLongLong() != 0;
    const QVariantList items = fields.value(QStringLiteral("items")).toList();
    completions.items.reserve(items.size());
    for (const QVariant &value : items) {
        const QVariantMap item = value.toMap();
        CompletionItem entry;
        entry.name = item.value(QStringLiteral("name")).toString();
        entry.kind = item.value(QStringLiteral("kind")).toString();
        for (const QVariant &parameter : item.value(QStringLiteral("params")).toList()) {
            entry.parameterTypes.append(parameter.toString());
        }
        entry.type = item.value(QStringLiteral("type")).toString();
        entry.qualifiedName = item.value(QStringLiteral("import")).toString();
        if (!entry.name.isEmpty()) {
            completions.items.append(entry);
        }
    }
    return completions;
}

QVariantMap checkFields(const CheckRequest &request) {
    QVariantList overlays;
    for (const auto &[path, text] : request.overlays) {
        overlays.append(
            QVariantMap{{QStringLiteral("path"), path}, {QStringLiteral("text"), text}});
    }
    return {{QStringLiteral("path"), request.path},
            {QStringLiteral("text"), request.text},
            {QStringLiteral("sourcepath"), request.sourcePath},
            {QStringLiteral("options"), request.options},
            {QStringLiteral("overlays"), overlays}};
}

} // namespace

// What is known of a JDK: whether the service's classes are compiled for it, or why it has no
// service.
struct JavaServiceClient::Jdk {
    enum class State { Fresh, Preparing, Prepared, Unavailable };
    State state = State::Fresh;
    QString classFolder;
    QString reason;
    QThread *preparing = nullptr;
    // When it became unavailable, and with which help folders: it is tried again once they
    // change or after a while, but the user is told only once.
    QElapsedTimer unavailableSince;
    QStringList unavailableWith;
    bool told = false;
};

// A service of one JDK in one folder: its process once started, and the requests that wait
// until it is ready.
struct JavaServiceClient::Service {
    QString jdkFolder;
    QString folder;
    std::unique_ptr<ServiceProcess> process;
    QList<protocol::Message> waiting;
    bool aborted = false;
};

struct JavaServiceClient::Request {
    QString kind;
    std::weak_ptr<Service> service;
};

QStringList JavaServiceClient::defaultJvmOptions() {
    return {
        // One collector thread, and a heap that gives back what a build took once it is over:
        // it never shrinks below its starting size, which is a sixty-fourth of the memory
        // unless given (about 190 MB resident for a settled service here instead of 85 MB).
        QStringLiteral("-XX:+UseSerialGC"),
        QStringLiteral("-Xms16m"),
        QStringLiteral("-XX:MinHeapFreeRatio=10"),
        QStringLiteral("-XX:MaxHeapFreeRatio=30"),
        // The quick compiler alone: warm soon, with less code and fewer compiler threads.
        QStringLiteral("-XX:TieredStopAtLevel=1"),
        QStringLiteral("-XX:ReservedCodeCacheSize=32m"),
        QStringLiteral("-XX:-UsePerfData"),
        QStringLiteral("-Xshare:auto"),
        QStringLiteral("-Djava.awt.headless=true"),
    };
}

JavaServiceClient::JavaServiceClient(const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings) {}

JavaServiceClient::~JavaServiceClient() {
    m_services.clear();
    for (const std::shared_ptr<Jdk> &jdk : std::as_const(m_jdks)) {
        if (jdk->preparing) {
            // The compile of the service's classes cannot be left running into a client that
            // is gone; it takes a few seconds at most.
            jdk->preparing->disconnect(this);
            jdk->preparing->wait();
            delete jdk->preparing;
        }
    }
}

RequestId JavaServiceClient::runTool(const QString &jdkFolder, const QString &folder,
                                     const QString &tool, const QStringList &arguments) {
    return send(jdkFolder, folder, QLatin1String(kinds::kRunTool),
                {{QStringLiteral("tool"), tool}, {QStringLiteral("args"), arguments}});
}

RequestId JavaServiceClient::check(const QString &jdkFolder, const QString &folder,
                                   const CheckRequest &request) {
    return send(jdkFolder, folder, QLatin1String(kinds::kCheck), checkFields(request));
}

RequestId JavaServiceClient::complete(const QString &jdkFolder, const QString &folder,
                                      const CheckRequest &request, qint64 caret) {
    QVariantMap fields = checkFields(request);
    fields.insert(QStringLiteral("caret"), caret);
    return send(jdkFolder, folder, QLatin1String(kinds::kComplete), fields);
}

RequestId JavaServiceClient::send(const QString &jdkFolder, const QString &folder,
                                  const QString &kind, const QVariantMap &fields) {
    const RequestId id = ++m_lastId;
    Jdk &known = jdk(jdkFolder);
    isUnavailable(jdkFolder); // gives an old failure another try
    if (known.state == Jdk::State::Unavailable) {
        // Answered after the caller has its id, as every other answer is.
        QTimer::singleShot(
            0, this, [this, id, reason = known.reason] { fail(id, Failure::Unavailable, reason); });
        m_requests.insert(id, std::make_shared<Request>(Request{kind, {}}));
        return id;
    }
    Service &target = service(jdkFolder, folder);
    const std::shared_ptr<Service> shared =
        *std::find_if(m_services.cbegin(), m_services.cend(),
                      [&target](const auto &candidate) { return candidate.get() == &target; });
    m_requests.insert(id, std::make_shared<Request>(Request{kind, shared}));
    const protocol::Message request{id, kind, fields};
    if (target.process && target.process->isReady()) {
        target.process->send(request);
    } else {
        target.waiting.append(request);
    }
    if (known.state == Jdk::State::Fresh) {
        prepare(jdkFolder);
    } else if (known.state == Jdk::State::Prepared && !target.process) {
        startService(target);
    }
    return id;
}

JavaServiceClient::Jdk &JavaServiceClient::jdk(const QString &jdkFolder) {
    std::shared_ptr<Jdk> &known = m_jdks[jdkFolder];
    if (!known) {
        known = std::make_shared<Jdk>();
    }
    return *known;
}

void JavaServiceClient::prepare(const QString &jdkFolder) {
    Jdk &known = jdk(jdkFolder);
    known.state = Jdk::State::Preparing;
    auto result = std::make_shared<PreparedHelper>();
    const QStringList folders = m_settings.helpFolders;
    const QString cache = m_settings.cacheRoot;
    known.preparing = QThread::create([jdkFolder, folders, cache, result] {
        // The services need the compiler API of Java 9 and later; an older JDK has none to
        // offer, so Tarvo's Java program is not even compiled for it.
        const int feature = featureVersion(jdkVersion(jdkFolder));
        if (feature != 0 && feature < 9) {
            result->error = QStringLiteral("the JDK is older than Java 9");
            return;
        }
        *result = prepareHelper(jdkFolder, serviceHelper(), folders, cache);
    });
    connect(known.preparing, &QThread::finished, this, [this, jdkFolder, result] {
        Jdk &done = jdk(jdkFolder);
        done.preparing->deleteLater();
        done.preparing = nullptr;
        prepared(jdkFolder, result->classFolder, result->error);
    });
    known.preparing->start();
}

void JavaServiceClient::prepared(const QString &jdkFolder, const QString &classFolder,
                                 const QString &error) {
    if (classFolder.isEmpty()) {
        markUnavailable(jdkFolder, error);
        return;
    }
    Jdk &known = jdk(jdkFolder);
    known.state = Jdk::State::Prepared;
    known.classFolder = classFolder;
    for (const std::shared_ptr<Service> &candidate : std::as_const(m_services)) {
        if (candidate->jdkFolder == jdkFolder && !candidate->process) {
            startService(*candidate);
        }
    }
}

JavaServiceClient::Service &JavaServiceClient::service(const QString &jdkFolder,
                                                       const QString &folder) {
    const QString clean = QDir::cleanPath(folder);
    const auto found =
        std::find_if(m_services.begin(), m_services.end(), [&](const auto &candidate) {
            return candidate->jdkFolder == jdkFolder && candidate->folder == clean;
        });
    std::shared_ptr<Service> used;
    if (found != m_services.end()) {
        used = *found;
        m_services.erase(found);
    } else {
        used = std::make_shared<Service>();
        used->jdkFolder = jdkFolder;
        used->folder = clean;
    }
    m_services.append(used);
    return *used;
}

void JavaServiceClient::startService(Service &service) {
    makeRoom();
    ServiceProcess::Launch launch;
    launch.jdkFolder = service.jdkFolder;
    launch.folder = service.folder;
    launch.classFolder = jdk(service.jdkFolder).classFolder;
    launch.jvmOptions = m_settings.jvmOptions;
    launch.idleMs = m_settings.idleMs;
    service.process = std::make_unique<ServiceProcess>(launch);
    ServiceProcess *process = service.process.get();
    connect(process, &ServiceProcess::ready, this, [this, process] {
        for (const std::shared_ptr<Service> &candidate : std::as_const(m_services)) {
            if (candidate->process.get() == process) {
                serviceReady(*candidate);
                return;
            }
        }
    });
    connect(process, &ServiceProcess::received, this, &JavaServiceClient::received);
    connect(process, &ServiceProcess::ended, this,
            [this, process](const QString &reason) { serviceEnded(process, reason); });
    process->start();
}

void JavaServiceClient::serviceReady(Service &service) {
    const QStringList tools =
        service.process->readyFields().value(QStringLiteral("tools")).toStringList();
    if (!tools.contains(QStringLiteral("javac"))) {
        markUnavailable(service.jdkFolder, QStringLiteral("the JDK's Java has no compiler"));
        return;
    }
    const QList<protocol::Message> waiting = std::exchange(service.waiting, {});
    for (const protocol::Message &request : waiting) {
        service.process->send(request);
    }
}

void JavaServiceClient::serviceEnded(ServiceProcess *process, const QString &reason) {
    const auto found =
        std::find_if(m_services.begin(), m_services.end(), [process](const auto &candidate) {
            return candidate->process.get() == process;
        });
    if (found == m_services.end()) {
        return;
    }
    const std::shared_ptr<Service> ended = *found;
    m_services.erase(found);
    // The signal comes from the process: it goes once the signal is over.
    ended->process.release()->deleteLater();
    if (!process->isReady() && !ended->aborted) {
        // It never came up: the JDK's java cannot run the service.
        m_services.append(ended);
        markUnavailable(ended->jdkFolder, reason);
        return;
    }
    QList<RequestId> owed;
    for (auto request = m_requests.cbegin(); request != m_requests.cend(); ++request) {
        if (request.value()->service.lock() == ended) {
            owed.append(request.key());
        }
    }
    for (const RequestId id : owed) {
        fail(id, Failure::Ended, reason);
    }
}

void JavaServiceClient::received(const protocol::Message &message) {
    const auto found = m_requests.constFind(message.id);
    if (found == m_requests.cend()) {
        return; // a reply to a request nobody waits for any more
    }
    const RequestId id = message.id;
    const QString &kind = message.kind;
    if (message.isPartial()) {
        if (kind == QLatin1String(kinds::kOutput)) {
            emit toolOutput(id, message.fields.value(QStringLiteral("data")).toByteArray());
        }
        return;
    }
    m_requests.erase(found);
    if (kind == QLatin1String(kinds::kDone)) {
        emit toolFinished(id, int(message.fields.value(QStringLiteral("exit")).toLongLong()));
    } else if (kind == QLatin1String(kinds::kDiagnostics)) {
        emit checked(id, diagnosticsOf(message.fields.value(QStringLiteral("items")).toList()));
    } else if (kind == QLatin1String(kinds::kCompletions)) {
        emit completed(id, completionsOf(message.fields));
    } else if (kind != QLatin1String(kinds::kCancelled)) {
        emit failed(id, Failure::Refused,
                    message.fields.value(QStringLiteral("message")).toString());
    }
}

void JavaServiceClient::cancel(RequestId id) {
    const std::shared_ptr<Request> request = m_requests.take(id);
    const std::shared_ptr<Service> service = request ? request->service.lock() : nullptr;
    if (!service) {
        return;
    }
    const qsizetype waiting =
        service->waiting.removeIf([id](const protocol::Message &m) { return m.id == id; });
    if (waiting == 0 && service->process && service->process->isReady()) {
        service->process->forget(id);
        service->process->send(
            {++m_lastId, QLatin1String(kinds::kCancel), {{QStringLiteral("request"), qint64(id)}}});
        service->process->forget(m_lastId);
    }
}

void JavaServiceClient::abort(RequestId id) {
    const std::shared_ptr<Request> request = m_requests.take(id);
    const std::shared_ptr<Service> service = request ? request->service.lock() : nullptr;
    if (!service) {
        return;
    }
    service->waiting.removeIf([id](const protocol::Message &m) { return m.id == id; });
    if (service->process) {
        service->aborted = true;
        service->process->kill();
    }
}

void JavaServiceClient::shutdown() {
    for (const std::shared_ptr<Service> &service : std::as_const(m_services)) {
        if (service->process) {
            service->process->letGo();
        }
    }
}

bool JavaServiceClient::isUnavailable(const QString &jdkFolder) const {
    const std::shared_ptr<Jdk> known = m_jdks.value(jdkFolder);
    if (!known || known->state != Jdk::State::Unavailable) {
        return false;
    }
    if (known->unavailableWith != m_settings.helpFolders
        || known->unavailableSince.elapsed() > kRetryUnavailableMs) {
        known->state = Jdk::State::Fresh;
        return false;
    }
    return true;
}

int JavaServiceClient::serviceCount() const {
    return int(std::count_if(m_services.cbegin(), m_services.cend(), [](const auto &service) {
        return service->process && !service->process->hasEnded();
    }));
}

qint64 JavaServiceClient::serviceProcessId(const QString &jdkFolder, const QString &folder) const {
    for (const std::shared_ptr<Service> &service : m_services) {
        if (service->jdkFolder == jdkFolder && service->folder == QDir::cleanPath(folder)
            && service->process && service->process->isReady()) {
            return service->process->processId();
        }
    }
    return 0;
}

void JavaServiceClient::makeRoom() {
    int running = serviceCount();
    for (qsizetype index = 0; index < m_services.size() && running >= m_settings.maxServices;) {
        const std::shared_ptr<Service> candidate = m_services.at(index);
        if (candidate->process && !candidate->process->owes() && candidate->waiting.isEmpty()) {
            m_services.removeAt(index);
            // Ends by itself once its input is closed, and goes then.
            ServiceProcess *leaving = candidate->process.release();
            leaving->disconnect(this);
            leaving->setParent(this);
            connect(leaving, &ServiceProcess::ended, leaving, &QObject::deleteLater);
            leaving->letGo();
            --running;
            continue;
        }
        ++index;
    }
}

void JavaServiceClient::markUnavailable(const QString &jdkFolder, const QString &reason) {
    Jdk &known = jdk(jdkFolder);
    const bool told = std::exchange(known.told, true);
    known.state = Jdk::State::Unavailable;
    known.reason = reason;
    known.unavailableSince.start();
    known.unavailableWith = m_settings.helpFolders;
    QList<RequestId> waiting;
    for (auto request = m_requests.cbegin(); request != m_requests.cend(); ++request) {
        const std::shared_ptr<Service> service = request.value()->service.lock();
        if (service && service->jdkFolder == jdkFolder) {
            waiting.append(request.key());
        }
    }
    m_services.removeIf([&jdkFolder](const std::shared_ptr<Service> &service) {
        if (service->jdkFolder != jdkFolder) {
            return false;
        }
        if (service->process) {
            service->process->disconnect();
            service->process.release()->deleteLater();
        }
        return true;
    });
    if (!told) {
        emit unavailable(jdkFolder, reason);
    }
    for (const RequestId id : waiting) {
        fail(id, Failure::Unavailable, reason);
    }
}

void JavaServiceClient::fail(RequestId id, Failure failure, const QString &reason) {
    if (m_requests.remove(id) == 0) {
        return;
    }
    emit failed(id, failure, reason);
}

} // namespace javaservice
