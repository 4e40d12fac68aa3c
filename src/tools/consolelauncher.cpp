#include "tools/consolelauncher.h"

#include "tools/childprocess.h"
#include "tools/commandline.h"

#include <QFileInfo>
#include <QList>
#include <QStandardPaths>

#include <sys/wait.h>

#include <cerrno>
#include <optional>
#include <system_error>
#include <thread>

namespace {

constexpr const char *kTerminalVariable = "TERMINAL";
constexpr const char *kDebianTerminal = "x-terminal-emulator";
constexpr const char *kShell = "/bin/sh";

// Run by /bin/sh inside the terminal as: script name folder program arguments... The command
// line only ever reaches it as positional parameters, so nothing in it is read as shell code.
// The cd is needed because some terminals start their command in a folder of their own.
constexpr const char *kKeepOpenScript =
    "[ -z \"$1\" ] || cd -- \"$1\" || exit; shift; \"$@\"; "
    "printf '\\n%s' 'Press Enter to close this window.'; read -r answer";
// The same with the program's standard input read from a file, given after the folder.
constexpr const char *kKeepOpenWithInputScript =
    "[ -z \"$1\" ] || cd -- \"$1\" || exit; input=$2; shift 2; \"$@\" < \"$input\"; "
    "printf '\\n%s' 'Press Enter to close this window.'; read -r answer";

// How a terminal emulator takes the command it is to run, with its arguments kept apart.
enum class CommandConvention {
    DashE,       // terminal -e program arguments... (xterm; required of x-terminal-emulator)
    DashX,       // terminal -x program arguments...
    DoubleDash,  // terminal -- program arguments...
    Plain,       // terminal program arguments...
    StartDashes, // terminal start -- program arguments...
};

struct KnownTerminal {
    const char *name;
    CommandConvention convention;
};

// In the order they are tried when neither $TERMINAL nor x-terminal-emulator is there.
constexpr KnownTerminal kKnownTerminals[] = {
    {"gnome-terminal", CommandConvention::DoubleDash},
    {"konsole", CommandConvention::DashE},
    {"xfce4-terminal", CommandConvention::DashX},
    {"mate-terminal", CommandConvention::DashX},
    {"terminator", CommandConvention::DashX},
    {"alacritty", CommandConvention::DashE},
    {"kitty", CommandConvention::Plain},
    {"foot", CommandConvention::Plain},
    {"wezterm", CommandConvention::StartDashes},
    {"urxvt", CommandConvention::DashE},
    {"xterm", CommandConvention::DashE},
};

struct TerminalCandidate {
    QString path;
    CommandConvention convention;
};

std::optional<CommandConvention> knownConvention(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    for (const KnownTerminal &terminal : kKnownTerminals) {
        if (name == QLatin1String(terminal.name)) {
            return terminal.convention;
        }
    }
    return std::nullopt;
}

// A terminal named by a link (x-terminal-emulator, or $TERMINAL) follows the convention of
// the terminal behind the link; an unknown one gets the common -e.
CommandConvention conventionFor(const QString &path) {
    if (const auto convention = knownConvention(path)) {
        return *convention;
    }
    return knownConvention(QFileInfo(path).canonicalFilePath()).value_or(CommandConvention::DashE);
}

QString findProgram(const QString &name) {
    if (name.contains(u'/')) {
        const QFileInfo file(name);
        return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

QList<TerminalCandidate> terminalCandidates() {
    QList<TerminalCandidate> candidates;
    const auto addIfFound = [&candidates](const QString &name) {
        const QString path = findProgram(name);
        if (!path.isEmpty()) {
            candidates.append({path, conventionFor(path)});
        }
    };
    const QString chosen = qEnvironmentVariable(kTerminalVariable);
    if (!chosen.isEmpty()) {
        addIfFound(chosen);
    }
    addIfFound(QLatin1String(kDebianTerminal));
    for (const KnownTerminal &terminal : kKnownTerminals) {
        addIfFound(QLatin1String(terminal.name));
    }
    return candidates;
}

QStringList terminalArguments(const TerminalCandidate &terminal, const QStringList &command) {
    QStringList arguments{QFileInfo(terminal.path).fileName()};
    switch (terminal.convention) {
    case CommandConvention::DashE:
        arguments << QStringLiteral("-e");
        break;
    case CommandConvention::DashX:
        arguments << QStringLiteral("-x");
        break;
    case CommandConvention::DoubleDash:
        arguments << QStringLiteral("--");
        break;
    case CommandConvention::Plain:
        break;
    case CommandConvention::StartDashes:
        arguments << QStringLiteral("start") << QStringLiteral("--");
        break;
    }
    return arguments + command;
}

void reapInBackground(pid_t child) {
    try {
        std::thread([child] {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error &) {
        // Without a thread to wait for it, the terminal stays a zombie until the application
        // exits; the window itself is unaffected.
    }
}

} // namespace

ConsoleStart StartConsoleProcess(const QString &applicationPath, const QString &commandLine,
                                 const QString &currentFolder, const QString &inputFile) {
    // The terminal would start and only show the shell's complaint: a program that cannot be
    // run, or a folder that does not exist, is a failed start, as it is for a captured run.
    if (!QFileInfo(applicationPath).isExecutable() || QFileInfo(applicationPath).isDir()
        || !QFileInfo(currentFolder).isDir()
        || (!inputFile.isEmpty() && !QFileInfo(inputFile).isReadable())) {
        return ConsoleStart::Failed;
    }
    const QStringList arguments = ExpandArguments(SplitCommandLine(commandLine), currentFolder);
    QStringList command{
        QLatin1String(kShell), QStringLiteral("-c"),
        QLatin1String(inputFile.isEmpty() ? kKeepOpenScript : kKeepOpenWithInputScript),
        QStringLiteral("sh"), currentFolder};
    if (!inputFile.isEmpty()) {
        command << inputFile;
    }
    command << applicationPath;
    command += arguments.mid(1);

    for (const TerminalCandidate &terminal : terminalCandidates()) {
        const pid_t child = StartChildInNewSession(
            terminal.path, terminalArguments(terminal, command), currentFolder, -1);
        if (child > 0) {
            reapInBackground(child);
            return ConsoleStart::Started;
        }
    }
    // The program and the folder are fine: what is missing is a terminal to show it in.
    return ConsoleStart::NoTerminal;
}
