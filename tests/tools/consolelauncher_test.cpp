#include "tools/consolelauncher.h"

#include "childscripts.h"
#include "support/testenvironment.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using namespace tools_test;

struct TerminalCase {
    const char *terminal;
    const char *leadingArguments; // what the terminal gets before the command, one per line
};

class ConsoleLauncherTest : public testing::TestWithParam<TerminalCase> {};

// A fake terminal records its arguments, skips its own options and runs the command with no
// one at the keyboard, so the wait for Enter ends at once.
TEST_P(ConsoleLauncherTest, TerminalRunsTheProgramInTheFolderAndIsReaped) {
    const QString folder =
        QFileInfo(testing_support::makeScratchFolder("console")).canonicalFilePath();
    QDir(folder).mkdir("bin");
    QFile(folder + "/A.class").open(QIODevice::WriteOnly);
    qputenv("TERMINAL", writeScript(folder + "/bin", GetParam().terminal,
                                    "printf '%s\\n' $$ \"$@\" > terminal.txt\n"
                                    "while [ \"$1\" != /bin/sh ]; do shift; done\n"
                                    "exec \"$@\" < /dev/null > /dev/null")
                            .toLocal8Bit());
    const QString program =
        writeScript(folder, "show.sh", "printf '%s\\n' \"$PWD\" \"$@\" > show.txt");

    ASSERT_EQ(StartConsoleProcess(program, "show \"a b\" *.class", folder), ConsoleStart::Started);
    EXPECT_EQ(readWhenWritten(folder + "/show.txt"), folder + "\na b\nA.class\n");
    const QString recorded = readWhenWritten(folder + "/terminal.txt");
    const QString terminal = recorded.section('\n', 0, 0);
    EXPECT_EQ(recorded.section('\n', 1).section("/bin/sh\n", 0, 0), GetParam().leadingArguments);
    EXPECT_EQ(recorded.endsWith(program + "\na b\nA.class\n"), true) << recorded.toStdString();
    EXPECT_EQ(waitUntil([&] { return processState(terminal) == '\0'; }), true);
    qunsetenv("TERMINAL");
}

const TerminalCase kTerminals[] = {
    {"my-terminal", "-e\n"}, {"gnome-terminal", "--\n"}, {"xfce4-terminal", "-x\n"},
    {"kitty", ""},           {"wezterm", "start\n--\n"},
};

INSTANTIATE_TEST_SUITE_P(Conventions, ConsoleLauncherTest, testing::ValuesIn(kTerminals),
                         [](const auto &info) {
                             return QByteArray(info.param.terminal).replace('-', "").toStdString();
                         });

// Run with Console with an input file: the program reads the file, not the terminal.
TEST(ConsoleLauncher, ProgramReadsItsStandardInputFromTheFileGiven) {
    const QString folder =
        QFileInfo(testing_support::makeScratchFolder("consoleinput")).canonicalFilePath();
    QDir(folder).mkdir("bin");
    qputenv("TERMINAL", writeScript(folder + "/bin", "my-terminal",
                                    "while [ \"$1\" != /bin/sh ]; do shift; done\n"
                                    "exec \"$@\" < /dev/null > /dev/null")
                            .toLocal8Bit());
    const QString input = testing_support::writeFileIn(folder, "tiny ST.txt", "S E A R C H\n");
    const QString program =
        writeScript(folder, "readone.sh", "read -r line; printf '%s\\n' \"$line\" > got.txt");
    ASSERT_EQ(StartConsoleProcess(program, "readone", folder, input), ConsoleStart::Started);
    EXPECT_EQ(readWhenWritten(folder + "/got.txt"), "S E A R C H\n");
    EXPECT_EQ(StartConsoleProcess(program, "readone", folder, folder + "/missing.txt"),
              ConsoleStart::Failed);
    qunsetenv("TERMINAL");
}

// A missing terminal is told apart from a program or folder that cannot be used, so that the
// user hears what to mend.
TEST(ConsoleLauncher, FailsWhenNoTerminalNoFolderOrNoProgram) {
    const QString folder = testing_support::makeScratchFolder("noterminal");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", folder.toLocal8Bit());
    qunsetenv("TERMINAL");
    EXPECT_EQ(StartConsoleProcess("/bin/true", "true", folder), ConsoleStart::NoTerminal);
    qputenv("TERMINAL", "not-installed-terminal");
    EXPECT_EQ(StartConsoleProcess("/bin/true", "true", folder), ConsoleStart::NoTerminal);
    qputenv("TERMINAL", writeScript(folder, "fake-terminal", "exit 0").toLocal8Bit());
    EXPECT_EQ(StartConsoleProcess("/bin/true", "true", folder + "/missing"), ConsoleStart::Failed);
    // A JDK that is not there: the terminal would open and only show the shell's complaint.
    EXPECT_EQ(StartConsoleProcess(folder + "/jdk/bin/java", "java Main", folder),
              ConsoleStart::Failed);
    qputenv("PATH", path);
    qunsetenv("TERMINAL");
}

} // namespace
