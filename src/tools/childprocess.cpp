#include "tools/childprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace {

constexpr const char *kNullDevice = "/dev/null";
constexpr int kFirstUnusedDescriptor = STDERR_FILENO + 1;
// Where the guard finds its end of the lifeline (see tarvoguard.cpp).
constexpr int kGuardLifeline = 3;
// Descriptors handed to a child are moved at least this high first, so that no placing of one
// overwrites another.
constexpr int kHandedDescriptorFloor = 10;
constexpr char kGuardName[] = "tarvo-guard";

// Owns the two records posix_spawn takes.
class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawnattr_init(&m_attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;

    // lifeline, when not negative, reaches the child as descriptor kGuardLifeline.
    bool prepare(const QByteArray &folder, int outputDescriptor, int inputDescriptor,
                 int lifeline = -1) {
        // The output goes into place before /dev/null is opened, in case the output descriptor
        // is 0 because the parent runs without a standard input.
        if (outputDescriptor >= 0
            && (posix_spawn_file_actions_adddup2(&m_actions, outputDescriptor, STDOUT_FILENO) != 0
                || posix_spawn_file_actions_adddup2(&m_actions, outputDescriptor, STDERR_FILENO)
                       != 0)) {
            return false;
        }
        const bool inputPlaced =
            inputDescriptor >= 0
                ? posix_spawn_file_actions_adddup2(&m_actions, inputDescriptor, STDIN_FILENO) == 0
                : posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, kNullDevice, O_RDONLY,
                                                   0)
                      == 0;
        if (!inputPlaced
            || (lifeline >= 0
                && posix_spawn_file_actions_adddup2(&m_actions, lifeline, kGuardLifeline) != 0)
            || posix_spawn_file_actions_addclosefrom_np(
                   &m_actions, lifeline >= 0 ? kGuardLifeline + 1 : kFirstUnusedDescriptor)
                   != 0) {
            return false;
        }
        if (!folder.isEmpty()
            && posix_spawn_file_actions_addchdir_np(&m_actions, folder.constData()) != 0) {
            return false;
        }
        // Dispositions the parent ignores (SIGPIPE, say) would otherwise reach the child.
        sigset_t defaults;
        sigfillset(&defaults);
        sigdelset(&defaults, SIGKILL);
        sigdelset(&defaults, SIGSTOP);
        sigset_t noneBlocked;
        sigemptyset(&noneBlocked);
        return posix_spawnattr_setsigdefault(&m_attributes, &defaults) == 0
               && posix_spawnattr_setsigmask(&m_attributes, &noneBlocked) == 0
               && posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF
                                                              | POSIX_SPAWN_SETSIGMASK)
                      == 0;
    }

    const posix_spawn_file_actions_t *actions() const { return &m_actions; }
    const posix_spawnattr_t *attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

std::vector<QByteArray> encodedAll(const QStringList &texts) {
    std::vector<QByteArray> encoded;
    encoded.reserve(texts.size());
    for (const QString &text : texts) {
        encoded.push_back(QFile::encodeName(text));
    }
    return encoded;
}

pid_t spawnInNewSession(const QByteArray &programPath, std::vector<QByteArray> arguments,
                        const QString &workingFolder, int outputDescriptor, int inputDescriptor,
                        int lifeline) {
    std::vector<char *> argumentVector;
    for (QByteArray &argument : arguments) {
        argumentVector.push_back(argument.data());
    }
    argumentVector.push_back(nullptr);

    SpawnSetup setup;
    if (programPath.isEmpty()
        || !setup.prepare(QFile::encodeName(workingFolder), outputDescriptor, inputDescriptor,
                          lifeline)) {
        return -1;
    }
    // posix_spawn reports a failed chdir or exec as its result and reaps the child itself then.
    pid_t child = -1;
    if (posix_spawn(&child, programPath.constData(), setup.actions(), setup.attributes(),
                    argumentVector.data(), environ)
        != 0) {
        return -1;
    }
    return child;
}

// The guard's report on the start of the program: true when it runs.
bool guardStartedProgram(int lifeline) {
    int error = -1;
    qsizetype got = 0;
    while (got < qsizetype(sizeof error)) {
        const ssize_t read =
            recv(lifeline, reinterpret_cast<char *>(&error) + got, sizeof error - size_t(got), 0);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return false; // the guard ended without a word
        }
        got += read;
    }
    return error == 0;
}

QString &cachedGuardProgram() {
    static QString path;
    return path;
}

QString executableFolder() {
    if (QCoreApplication::instance()) {
        return QCoreApplication::applicationDirPath();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

} // namespace

QString GuardProgram() {
    if (!cachedGuardProgram().isEmpty()) {
        return cachedGuardProgram();
    }
    const QString folder = executableFolder();
    const QString name = QString::fromLatin1(kGuardName);
    QStringList candidates{folder + u'/' + name,
                           folder + QStringLiteral("/../libexec/tarvo/") + name};
#ifdef TARVO_BUILD_GUARD_PROGRAM
    // Programs of the build tree (tests, benchmarks) use the guard built beside them.
    candidates << QStringLiteral(TARVO_BUILD_GUARD_PROGRAM);
#endif
    for (const QString &candidate : std::as_const(candidates)) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isExecutable()) {
            return cachedGuardProgram() = file.canonicalFilePath();
        }
    }
    return {};
}

pid_t StartGuardedChild(const QString &program, const QStringList &arguments,
                        const QString &workingFolder, int outputDescriptor, int *lifeline,
                        int inputDescriptor) {
    *lifeline = -1;
    const QString guard = GuardProgram();
    if (guard.isEmpty() || program.isEmpty()) {
        return StartChildInNewSession(program, arguments, workingFolder, outputDescriptor,
                                      inputDescriptor);
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return -1;
    }
    const int guardEnd = fcntl(ends[1], F_DUPFD_CLOEXEC, kHandedDescriptorFloor);
    close(ends[1]);
    if (guardEnd < 0) {
        close(ends[0]);
        return -1;
    }
    // The kernel's death signal follows the thread that starts the guard: only the main thread
    // lives as long as the application.
    const pid_t self = getpid();
    const bool mainThread = gettid() == self;
    std::vector<QByteArray> guardArguments{QByteArray(kGuardName),
                                           QByteArray::number(mainThread ? self : 0),
                                           QFile::encodeName(program)};
    for (QByteArray &argument : encodedAll(arguments)) {
        guardArguments.push_back(std::move(argument));
    }
    const pid_t started =
        spawnInNewSession(QFile::encodeName(guard), std::move(guardArguments), workingFolder,
                          outputDescriptor, inputDescriptor, guardEnd);
    close(guardEnd);
    if (started <= 0 || !guardStartedProgram(ends[0])) {
        if (started > 0) {
            while (waitpid(started, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        close(ends[0]);
        return -1;
    }
    *lifeline = ends[0];
    return started;
}

pid_t StartChildInNewSession(const QString &program, const QStringList &arguments,
                             const QString &workingFolder, int outputDescriptor,
                             int inputDescriptor) {
    return spawnInNewSession(QFile::encodeName(program), encodedAll(arguments), workingFolder,
                             outputDescriptor, inputDescriptor, -1);
}
