#include "tools/childprocess.h"

#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr const char *kNullDevice = "/dev/null";
constexpr int kFirstUnusedDescriptor = STDERR_FILENO + 1;

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

    bool prepare(const QByteArray &folder, int outputDescriptor, int inputDescriptor) {
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
            || posix_spawn_file_actions_addclosefrom_np(&m_actions, kFirstUnusedDescriptor) != 0) {
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

} // namespace

pid_t StartChildInNewSession(const QString &program, const QStringList &arguments,
                             const QString &workingFolder, int outputDescriptor,
                             int inputDescriptor) {
    const QByteArray programPath = QFile::encodeName(program);
    std::vector<QByteArray> encodedArguments;
    encodedArguments.reserve(arguments.size());
    for (const QString &argument : arguments) {
        encodedArguments.push_back(QFile::encodeName(argument));
    }
    std::vector<char *> argumentVector;
    for (QByteArray &argument : encodedArguments) {
        argumentVector.push_back(argument.data());
    }
    argumentVector.push_back(nullptr);

    SpawnSetup setup;
    if (programPath.isEmpty()
        || !setup.prepare(QFile::encodeName(workingFolder), outputDescriptor, inputDescriptor)) {
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
