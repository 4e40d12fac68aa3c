#include "tools/consolelauncher.h"

#include "childscripts.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using tools_test::waitUntil;
using tools_test::writeScript;

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

QByteArray readWhenComplete(const QString &path) {
    QByteArray text;
    waitUntil([&] {
        QFile file(path);
        text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return text.endsWith("end\n");
    });
    return text;
}

struct TerminalCase {
    const char *terminal;
    const char *leadingArguments; // what the terminal gets before the command, one per line
};

class ConsoleLauncherTest : public testing::TestWithParam<TerminalCase> {};

// A fake terminal records its arguments, skips its own options and runs the command with no
// one at the keyboard, so the "press Enter" wait ends at once.
TEST_P(ConsoleLauncherTest, TerminalRunsTheProgramInTheFolderAndIsReaped) {
    const QString folder =
        QFileInfo(testing_support::makeScratchFolder("console")).canonicalFilePath();
    QDir(folder).mkdir("bin");
    QFile(folder + "/A.class").open(QIODevice::WriteOnly);
    const QString terminal = writeScript(folder + "/bin", GetParam().terminal,
                                         "echo $$ > terminal.pid\n"
                                         "{ printf '%s\\n' \"$@\"; echo end; } > terminal.txt\n"
                                         "while [ \"$1\" != /bin/sh ]; do shift; done\n"
                                         "exec \"$@\" < /dev/null > /dev/null");
    const QString program =
        writeScript(folder, "show.sh", "{ pwd -P; printf '%s\\n' \"$@\"; echo end; } > show.txt");
    const ScopedVariable variable("TERMINAL", terminal.toLocal8Bit());

    ASSERT_EQ(StartConsoleProcess(program, "show \"a b\" *.class", folder), true);
    EXPECT_EQ(readWhenComplete(folder + "/show.txt"), folder.toUtf8() + "\na b\nA.class\nend\n");
    const QByteArray recorded = readWhenComplete(folder + "/terminal.txt");
    EXPECT_EQ(recorded.left(recorded.indexOf("/bin/sh\n")),
              QByteArray(GetParam().leadingArguments));
    EXPECT_EQ(recorded.endsWith(program.toUtf8() + "\na b\nA.class\nend\n"), true);

    const pid_t process = tools_test::readPidFile(folder + "/terminal.pid");
    EXPECT_EQ(waitUntil([&] { return !tools_test::processExists(process); }), true);
}

const TerminalCase kTerminals[] = {
    {"my-terminal", "-e\n"},    {"xterm", "-e\n"}, {"gnome-terminal", "--\n"},
    {"xfce4-terminal", "-x\n"}, {"kitty", ""},     {"wezterm", "start\n--\n"},
};

INSTANTIATE_TEST_SUITE_P(Conventions, ConsoleLauncherTest, testing::ValuesIn(kTerminals),
                         [](const auto &info) {
                             return QByteArray(info.param.terminal).replace('-', "").toStdString();
                         });

TEST(ConsoleLauncher, FailsWhenNoTerminalOrNoFolder) {
    const QString folder = testing_support::makeScratchFolder("noterminal");
    {
        const ScopedVariable path("PATH", folder.toLocal8Bit());
        const ScopedVariable terminal("TERMINAL", "");
        EXPECT_EQ(StartConsoleProcess("/bin/true", "true", folder), false);
    }
    const QString terminal = writeScript(folder, "fake-terminal", "exit 0");
    const ScopedVariable variable("TERMINAL", terminal.toLocal8Bit());
    const ScopedVariable path("PATH", folder.toLocal8Bit());
    EXPECT_EQ(StartConsoleProcess("/bin/true", "true", folder + "/missing"), false);
}

} // namespace
