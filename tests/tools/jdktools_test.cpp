#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/linejump.h"
#include "editors/linemarks.h"
#include "editors/linenumbermargin.h"
#include "framework/commandids.h"
#include "framework/view.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "tools/coutputedit.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/outputwindowlistener.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include "childscripts.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <tuple>

namespace {

using testing_support::AppHarness;
using Command = std::function<void(CJavaProjectDoc &, const QString &src)>;

// A running Tarvo with a project open whose files live in <scratch>/src.
class ToolCommandsTest : public testing::Test {
protected:
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;

    QString src() const { return harness.folder() + "/src"; }
    void writeSource(const QString &name, const QByteArray &text) {
        harness.writeFile("src/" + name, text);
    }
    void openProject(const QStringList &files, const QString &mainFile, const QString &package = {},
                     const QString &htmlFile = {}) {
        ProjectFileContents contents;
        for (const QString &name : files) {
            if (!QFile::exists(src() + "/" + name)) {
                writeSource(name, "class " + QFileInfo(name).baseName().toUtf8() + " {}\n");
            }
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(QFileInfo(name).fileName());
            file->SetPath(src() + "/" + name);
            contents.m_fileList.Add(file);
        }
        contents.m_strMainFile = mainFile;
        contents.m_strPackage = package;
        if (!htmlFile.isEmpty()) {
            contents.m_strHtmlFile = htmlFile;
            contents.m_strHtmlPath = harness.writeFile("src/web/" + htmlFile, "<html>");
        }
        const QString path = harness.writeFile("Test.jpr", storeProjectFile(contents));
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(path));
        ASSERT_NE(project, nullptr);
        harness.app().settings().saveBeforeCompile = 0;
    }
    // A JDK whose tools print their arguments and the folder they run in.
    void useEchoingJdk() {
        QDir().mkpath(harness.folder() + "/jdk/bin");
        for (const char *tool : {"javac", "java", "appletviewer", "jar"}) {
            tools_test::writeScript(harness.folder() + "/jdk/bin", tool,
                                    "echo \"args: $*\"; echo \"folder: $(pwd)\"");
        }
        harness.app().settings().jdkFolder = harness.folder() + "/jdk";
    }
    CProcessOutputDialog &output() { return *project->m_pOutputWnd; }
    QString shown() { return output().ShownText(); }
    bool waitForEnd() {
        return QTest::qWaitFor([this] { return !IsProcessRunning() && !output().isWatching(); },
                               60000);
    }
    QString caption() { return harness.app().toolCaption(); }
    // The 0-based line that the active window selects when it shows the file, else -1.
    int selectedLineIn(const QString &path) {
        auto *source = dynamic_cast<CSyntaxWindowDoc *>(harness.mainFrame().activeDocument());
        if (!source || source->pathName() != path) {
            return -1;
        }
        auto *edit = dynamic_cast<QPlainTextEdit *>(source->firstView()->widget());
        return edit->document()->findBlock(edit->textCursor().selectionStart()).blockNumber();
    }
};

struct CommandLineCase {
    const char *name;
    QString mainFile, package, htmlFile;
    Command command;
    QString arguments;
    QString folder;  // below the scratch folder
    QString caption; // %1 stands for the src folder
};

class CommandLineTest : public ToolCommandsTest,
                        public testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineTest, ToolGetsItsArgumentsInItsFolder) {
    const CommandLineCase &test = GetParam();
    useEchoingJdk();
    openProject({"A.java", "B.java", "Main.java"}, test.mainFile, test.package, test.htmlFile);
    harness.app().settings().javacOptions = "-g";
    // A run asks to build first, nothing having been compiled: it runs what is there.
    harness.prompter().answerNext(fw::Answer::No);
    test.command(*project, src());
    ASSERT_TRUE(waitForEnd());
    const QString folder = harness.folder() + test.folder;
    EXPECT_EQ(shown(), "args: " + test.arguments + "\r\nfolder: " + folder
                           + "\r\nExit code: 0\r\nNo Errors");
    EXPECT_EQ(QDir::currentPath(), folder);
    EXPECT_EQ(caption(), QString(test.caption).arg(src()));
}

const CommandLineCase kCommandLineCases[] = {
    {"BuildNamesTheMainFileBeforeTheOptions", "A.java", "", "",
     [](CJavaProjectDoc &doc, const QString &) { doc.Build(); }, "A.java -g", "/src",
     "Building \"%1/A.java\""},
    {"CompileNamesTheFileOfThePath", "A.java", "", "",
     [](CJavaProjectDoc &doc, const QString &src) { doc.CompileFile(src + "/B.java"); },
     "B.java -g", "/src", "Compiling \"%1/B.java\""},
    {"RunPutsThePackageBeforeTheClass", "Main.java", "com.x", "",
     [](CJavaProjectDoc &doc, const QString &) { doc.RunMain(false); }, "com.x.Main", "/src",
     "java com.x.Main"},
    {"AppletRunsInThePagesFolder", "A.java", "", "page.html",
     [](CJavaProjectDoc &doc, const QString &) { doc.RunApplet(); }, "page.html", "/src/web",
     "AppletViewer: \"page.html\""},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandLineTest, testing::ValuesIn(kCommandLineCases),
                         testing_support::CaseName());

struct RefusalCase {
    const char *name;
    QString mainFile;
    Command command;
    QString message;
};

class RefusalTest : public ToolCommandsTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, CommandSaysWhyAndStartsNothing) {
    useEchoingJdk();
    openProject({"A.java"}, GetParam().mainFile);
    GetParam().command(*project, src());
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{GetParam().message});
    EXPECT_FALSE(output().IsOpen());
}

const QString kNoMain = "Please specify a main Java file first";

const RefusalCase kRefusalCases[] = {
    {"BuildWithoutMainFile", "", [](CJavaProjectDoc &doc, const QString &) { doc.Build(); },
     kNoMain},
    {"BuildOfARemovedMainFile", "Gone.java",
     [](CJavaProjectDoc &doc, const QString &) { doc.Build(); }, "Unholy Error"},
    {"RunOfARemovedMainFile", "Gone.java",
     [](CJavaProjectDoc &doc, const QString &) { doc.RunMain(false); }, "Unholy Error"},
};

INSTANTIATE_TEST_SUITE_P(Refusals, RefusalTest, testing::ValuesIn(kRefusalCases),
                         testing_support::CaseName());

TEST_F(ToolCommandsTest, ConsoleRunThatCannotStartSaysSoTwice) {
    useEchoingJdk();
    openProject({"Main.java"}, "Main.java");
    QDir(src()).removeRecursively();
    project->RunMain(true);
    EXPECT_EQ(harness.prompter().messageTexts(),
              (QStringList{"Failed to laumch external process.", "Couldn't locate Java."}));
}

// A message line that begins with a file's path and a number leads to that file; any other
// line leads to the first project file whose name it holds, at the number after it (so a line
// about BA.java that does not begin with it reaches A.java); an empty line, a line naming no
// file and a name with no number after it lead nowhere.
TEST_F(ToolCommandsTest, MessageLineOpensTheFileItNamesAndGoesToItsNumber) {
    writeSource("A.java", "class A {\n\n\n\n\n\n}\n");
    writeSource("BA.java", "class BA {\n\n\n}\n");
    useEchoingJdk();
    tools_test::writeScript(harness.folder() + "/jdk/bin", "javac",
                            "printf 'In BA.java:5: error\\n\\nnothing here\\nA.java:\\n"
                            "BA.java:3: error\\n'");
    openProject({"A.java", "BA.java"}, "BA.java");
    project->Build();
    ASSERT_TRUE(waitForEnd());
    const auto windows = harness.mainFrame().frames().size();
    project->JumpToMessageLine(1);
    project->JumpToMessageLine(2);
    project->JumpToMessageLine(5);
    EXPECT_EQ(harness.mainFrame().frames().size(), windows);
    EXPECT_EQ(project->m_strLastOutput, shown());
    project->JumpToMessageLine(0);
    EXPECT_EQ(selectedLineIn(src() + "/A.java"), 4);
    project->JumpToMessageLine(4);
    EXPECT_EQ(selectedLineIn(src() + "/BA.java"), 2);
}

// Names and fields of a received project reach the tools each as one argument and never as an
// option; ordinary names keep their command lines (above).
TEST_F(ToolCommandsTest, HostileNamesAndFieldsReachTheToolsAsSingleArguments) {
    useEchoingJdk();
    for (const char *tool : {"javac", "java"}) {
        tools_test::writeScript(harness.folder() + "/jdk/bin", tool, "printf '[%s]' \"$@\"");
    }
    openProject({"@opts.java", "-d.java"}, "-d.java", "x -cp /tmp");
    harness.app().settings().javacOptions = "-g";
    const auto run = [this](const std::function<void()> &command) {
        command();
        EXPECT_TRUE(waitForEnd());
        return shown().remove("Exit code: 0\r\nNo Errors");
    };
    EXPECT_EQ(run([this] { project->Build(); }), "[./-d.java][-g]");
    EXPECT_EQ(run([this] { project->CompileFile(src() + "/@opts.java"); }), "[./@opts.java][-g]");
    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_EQ(run([this] { project->RunMain(false); }), "[x -cp /tmp.-d]");
}

TEST_F(ToolCommandsTest, CreateJarReplacesAPlantedManifestLinkInsteadOfWritingThroughIt) {
    useEchoingJdk();
    openProject({"Frame.java"}, "Frame.java");
    const QString victim = harness.writeFile("victim.txt", "precious\n");
    const QString manifest = harness.folder() + "/out/manifest.txt";
    QDir().mkpath(harness.folder() + "/out");
    ASSERT_TRUE(QFile::link(victim, manifest));
    harness.prompter().saveAsNext(harness.folder() + "/out/Frame.jar");
    project->CreateJar();
    ASSERT_TRUE(waitForEnd());
    const auto contents = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    };
    EXPECT_FALSE(QFileInfo(manifest).isSymLink());
    EXPECT_EQ(contents(manifest), "Main-Class: Frame\r\n");
    EXPECT_EQ(contents(victim), "precious\n");
    EXPECT_EQ(QDir(harness.folder() + "/out").entryList(QDir::Files), QStringList{"manifest.txt"});
}

// A line break in the jar's main class, from the package field or the main file's name, would
// let the rest of it add manifest headers: Create Jar refuses it before it asks for the jar.
TEST_F(ToolCommandsTest, CreateJarRefusesAMainClassThatWouldAddManifestHeaders) {
    useEchoingJdk();
    harness.writeFile("src/com/example/app/Main.java", "package com.example.app;\n");
    openProject({"com/example/app/Main.java"}, "Main.java", "com.example.app\r\nClass-Path: x.jar");
    project->CreateJar();
    project->m_strMainFile = "Frame\nClass-Path: x.jar.java";
    project->m_strPackage.clear();
    project->CreateJar();
    const QStringList messages = harness.prompter().messageTexts();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(
        "The main class \"com.example.app\\r\\nClass-Path: x.jar.Main\" holds a line break"))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains("\"Frame\\nClass-Path: x.jar\""));
    EXPECT_TRUE(harness.prompter().fileDialogs().empty());
    EXPECT_FALSE(IsProcessRunning());
}

// The tests below run the real JDK.
class JdkTest : public ToolCommandsTest {
protected:
    void SetUp() override {
        if (!harness.useRealJdk()) {
            GTEST_SKIP() << "no JDK found";
        }
    }
};

TEST_F(JdkTest, BuildWithAnErrorShowsItAndADoubleClickLeadsToItsLine) {
    writeSource("Main.java", "public class Main {\n"
                             "    public static void main(String[] args) {\n"
                             "        int x = ;\n"
                             "        Helper.help();\n"
                             "    }\n"
                             "}\n");
    writeSource("Helper.java", "class Helper { static void help() {} }\n");
    openProject({"Main.java", "Helper.java"}, "Main.java");
    project->Build();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(shown().endsWith("\r\nThere were errors"));
    const int messageLine = shown().split("\r\n").indexOf(QRegularExpression("^Main.java:3: .*"));
    ASSERT_GE(messageLine, 0) << shown().toStdString();
    ASSERT_TRUE(output().IsOpen());
    COutputEdit *edit = output().window()->outputEdit();
    QTextCursor message(edit->document()->findBlockByNumber(messageLine));
    edit->setTextCursor(message);
    edit->ensureCursorVisible();
    QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, edit->cursorRect(message).center());
    EXPECT_EQ(selectedLineIn(src() + "/Main.java"), 2);
}

// The project holds Hello.java; bad/Hello.java, outside it, is compiled from its own window
// with Ctrl+M. A double-click on the compiler's message opens the file that was compiled, at
// the line the message gives, not the project's file of the same name.
TEST_F(JdkTest, MessageAboutAFileOutsideTheProjectOpensThatFile) {
    writeSource("Hello.java", "public class Hello {\n}\n");
    openProject({"Hello.java"}, "Hello.java");
    const QString bad = harness.writeFile("src/bad/Hello.java", "class Hello {\n\n int x = 1\n}\n");
    ASSERT_NE(harness.app().openDocumentFile(bad), nullptr);
    QWidget *editor = harness.mainFrame().activeView()->widget();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_M, Qt::ControlModifier);
    ASSERT_TRUE(waitForEnd());
    const int messageLine =
        shown().split("\r\n").indexOf(QRegularExpression("^Hello.java:3: error: .*"));
    ASSERT_GE(messageLine, 0) << shown().toStdString();
    harness.app().openDocumentFile(src() + "/Hello.java");
    COutputEdit *edit = output().window()->outputEdit();
    QTextCursor message(edit->document()->findBlockByNumber(messageLine));
    edit->setTextCursor(message);
    edit->ensureCursorVisible();
    QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, edit->cursorRect(message).center());
    EXPECT_EQ(selectedLineIn(bad), 2);
}

// F4 and Shift+F4 go through the messages of a build with an error in each of two files, in
// order and round at the ends: each opens its file at its line, as a double-click does, and
// selects the message in the output window.
TEST_F(JdkTest, NextAndPreviousMessageGoThroughTheErrorsOfTwoFiles) {
    writeSource("Main.java", "class Main {\n    int x = \"text\" + Helper.broken;\n}\n");
    writeSource("Helper.java", "class Helper {\n\n    static int broken = undefined();\n}\n");
    openProject({"Main.java", "Helper.java"}, "Main.java");
    CMainFrame &frame = harness.mainFrame();
    EXPECT_FALSE(frame.commandState(CommandId::NextMessage).isEnabled());
    // F7 builds from any window.
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_F7);
    ASSERT_TRUE(waitForEnd());
    ASSERT_TRUE(frame.commandState(CommandId::NextMessage).isEnabled());
    EXPECT_TRUE(frame.commandState(CommandId::PreviousMessage).isEnabled());

    // The two messages in the order javac gave them: output line, file, line in the file.
    const QStringList lines = shown().split("\r\n");
    using Message = std::tuple<int, QString, int>;
    std::array<Message, 2> messages{
        Message{lines.indexOf(QRegularExpression("^Main.java:2: error:.*")), src() + "/Main.java",
                1},
        Message{lines.indexOf(QRegularExpression("^(\\./)?Helper.java:3: error:.*")),
                src() + "/Helper.java", 2}};
    std::ranges::sort(messages);
    ASSERT_GE(std::get<0>(messages[0]), 0) << shown().toStdString();

    const auto press = [&](Qt::KeyboardModifiers modifiers) {
        // The keys work in the window that is active: the output window or the main one.
        if (!QApplication::activeWindow()) {
            frame.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        }
        QWidget *active = QApplication::activeWindow();
        QWidget *focus = active->focusWidget();
        QTest::keyClick(focus ? focus : active, Qt::Key_F4, modifiers);
    };
    const auto expectAt = [&](const Message &message) {
        const auto &[outputLine, path, line] = message;
        EXPECT_EQ(selectedLineIn(path), line) << path.toStdString();
        ASSERT_TRUE(output().IsOpen());
        COutputEdit *edit = output().window()->outputEdit();
        const QTextCursor cursor = edit->textCursor();
        const QTextBlock block = edit->document()->findBlock(cursor.selectionStart());
        EXPECT_EQ(block.blockNumber(), outputLine);
        EXPECT_EQ(cursor.selectedText(), block.text());
    };
    const std::pair<Qt::KeyboardModifiers, int> steps[] = {
        {Qt::NoModifier, 0},    {Qt::NoModifier, 1},    {Qt::NoModifier, 0},
        {Qt::ShiftModifier, 1}, {Qt::ShiftModifier, 0},
    };
    for (const auto &[modifiers, index] : steps) {
        press(modifiers);
        expectAt(messages.at(index));
    }

    // With the output window closed, the next message brings it back with the message selected.
    dynamic_cast<OutputWindowListener &>(*project->firstView()).OnOutputClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(output().IsOpen());
    press(Qt::NoModifier);
    expectAt(messages.at(1));
}

// The marks of a build: the open window of a file with an error and a warning marks both lines,
// with the messages as tooltips; the marks move with the lines when the user adds one above; a
// file opened after the build shows its marks; compiling the mended file from its window takes
// its marks away and leaves those of the file it did not compile.
TEST_F(JdkTest, BuildMarksTheLinesOfItsMessagesUntilTheFileCompilesClean) {
    writeSource("Main.java", "class Main {\n"
                             "    Integer boxed = new Integer(5);\n"
                             "    int x = \"text\";\n"
                             "    int y = Helper.broken;\n"
                             "}\n");
    writeSource("Helper.java", "class Helper {\n    static int broken = undefined();\n}\n");
    openProject({"Main.java", "Helper.java"}, "Main.java");
    auto *main =
        dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(src() + "/Main.java"));
    ASSERT_NE(main, nullptr);
    auto *editor = dynamic_cast<QPlainTextEdit *>(main->firstView()->widget());
    auto *margin = editor->findChild<LineNumberMargin *>();
    ASSERT_NE(margin, nullptr);
    ASSERT_TRUE(margin->visibleMarks().isEmpty());
    const int textLeft = editor->viewport()->x();
    const auto marks = [](LineNumberMargin *of) {
        QStringList shown;
        for (const LineNumberMargin::ShownMark &mark : of->visibleMarks()) {
            shown << QString::number(mark.line)
                         + (mark.kind == CompilerMessageKind::Error ? " E" : " W");
        }
        return shown;
    };
    const auto tooltipOf = [](LineNumberMargin *of, int line) {
        for (const LineNumberMargin::ShownMark &mark : of->visibleMarks()) {
            if (mark.line == line) {
                return of->toolTipAt(mark.area.center().y());
            }
        }
        return QString();
    };

    // Helper.java is compiled as Main.java uses it.
    project->Build();
    ASSERT_TRUE(waitForEnd());
    ASSERT_FALSE(margin->isHidden()) << shown().toStdString();
    EXPECT_EQ(marks(margin), (QStringList{"2 W", "3 E"})) << shown().toStdString();
    EXPECT_EQ(tooltipOf(margin, 3), "error: incompatible types: String cannot be converted to "
                                    "int\n    int x = \"text\";\n            ^");
    EXPECT_TRUE(tooltipOf(margin, 2).startsWith("warning: [removal] Integer(int) in Integer"))
        << tooltipOf(margin, 2).toStdString();

    // A line added at the top takes both marks one line down.
    editor->setFocus();
    editor->moveCursor(QTextCursor::Start);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(marks(margin), (QStringList{"3 W", "4 E"}));

    auto *helper =
        dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(src() + "/Helper.java"));
    ASSERT_NE(helper, nullptr);
    auto *helperMargin = helper->firstView()->widget()->findChild<LineNumberMargin *>();
    EXPECT_EQ(marks(helperMargin), QStringList{"2 E"});
    EXPECT_TRUE(tooltipOf(helperMargin, 2).startsWith("error: cannot find symbol\n"))
        << tooltipOf(helperMargin, 2).toStdString();

    // Main.java mended and compiled on its own, saved as it compiles. The keys go to its window
    // in the main window, not to the output window that the build raised.
    harness.mainFrame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&harness.mainFrame()));
    harness.app().openDocumentFile(src() + "/Main.java");
    editor->selectAll();
    editor->insertPlainText("class Main {\n}\n");
    harness.app().settings().saveBeforeCompile = 1;
    harness.prompter().answerNext(fw::Answer::Yes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == editor; }, 2000));
    QTest::keyClick(editor, Qt::Key_M, Qt::ControlModifier);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(shown().endsWith("No Errors")) << shown().toStdString();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{"Save changes to Main.java?"});
    EXPECT_TRUE(main->lineMarks().isEmpty());
    EXPECT_TRUE(margin->visibleMarks().isEmpty());
    EXPECT_EQ(editor->viewport()->x(), textLeft);
    EXPECT_EQ(marks(helperMargin), QStringList{"2 E"});
}

TEST_F(JdkTest, CorrectProgramBuildsOnceAtATimeAndRunsCaptured) {
    writeSource("Hello.java", "public class Hello {\n"
                              "    public static void main(String[] args) {\n"
                              "        System.out.println(\"one\");\n"
                              "        System.out.println(\"two\");\n"
                              "    }\n"
                              "}\n");
    openProject({"Hello.java"}, "Hello.java");
    project->Build();
    project->Build();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{"Failed to start process"});
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shown(), "Exit code: 0\r\nNo Errors");
    project->RunMain(false);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shown(), "one\r\ntwo\r\nExit code: 0\r\nNo Errors");
}

TEST_F(JdkTest, CreateJarWritesTheManifestAndAJarThatIsListed) {
    writeSource("Frame.java", "public class Frame { public static void main(String[] a) {} }\n");
    openProject({"Frame.java"}, "Frame.java");
    project->Build();
    ASSERT_TRUE(waitForEnd());
    const QString jar = harness.writeFile("out/Frame.jar", "");
    harness.prompter().saveAsNext(jar);
    project->CreateJar();
    const fw::FileDialogOptions &options = harness.prompter().fileDialogs().back();
    EXPECT_EQ(options.initialName, "Frame.jar");
    EXPECT_EQ(options.initialFolder, src());
    EXPECT_EQ(options.filter, "Java Archives (*.jar)|*.jar||");
    QFile manifest(harness.folder() + "/out/manifest.txt");
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    EXPECT_EQ(manifest.readAll(), "Main-Class: Frame\r\n");
    EXPECT_EQ(caption(), "Creating jar " + jar);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(shown().endsWith("No Errors")) << shown().toStdString();

    // Project > Show Archive Contents... from the project window: the listing has a caption of
    // its own, not the one of the run before it.
    harness.prompter().chooseFilesNext({jar});
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::ShowArchiveContents));
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(shown().contains("META-INF/MANIFEST.MF"));
    EXPECT_TRUE(shown().contains(" Frame.class\r\n"));
    // The caption, then the command line and its folder.
    EXPECT_EQ(output().window()->captionField()->text().section(QChar(0x2014), 0, 0).trimmed(),
              "Listing jar " + jar);
}

// javac would read a file named @opts.java as a list of options and compile nothing.
TEST_F(JdkTest, FileNamedLikeAnOptionsFileIsCompiled) {
    writeSource("@opts.java", "class Opts {}\n");
    writeSource("opts.java", "");
    openProject({"@opts.java"}, "@opts.java");
    project->CompileFile(src() + "/@opts.java");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shown(), "Exit code: 0\r\nNo Errors");
    EXPECT_TRUE(QFileInfo::exists(src() + "/Opts.class"));
}

// A project laid out in package folders: Main in com.example.app uses Helper in
// com.example.util, which only the root as source path lets the compiler find.
TEST_F(JdkTest, TwoPackageProjectBuildsRunsAndJarsFromItsRoot) {
    const QString mainPath =
        harness.writeFile("src/com/example/app/Main.java",
                          "package com.example.app;\n"
                          "public class Main {\n"
                          "    public static void main(String[] args) {\n"
                          "        System.out.println(com.example.util.Helper.greeting());\n"
                          "    }\n"
                          "}\n");
    const QString helperPath =
        harness.writeFile("src/com/example/util/Helper.java",
                          "package com.example.util;\n"
                          "public class Helper {\n"
                          "    public static String greeting() { return \"hello from util\"; }\n"
                          "}\n");
    ProjectFileContents contents;
    for (const QString &path : {mainPath, helperPath}) {
        auto file = std::make_unique<CJavaFile>();
        file->SetFileName(QFileInfo(path).fileName());
        file->SetPath(path);
        contents.m_fileList.Add(file);
    }
    contents.m_strMainFile = "Main.java";
    project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(
        harness.writeFile("Packages.jpr", storeProjectFile(contents))));
    ASSERT_NE(project, nullptr);
    harness.app().settings().saveBeforeCompile = 0;

    project->Build();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shown(), "Exit code: 0\r\nNo Errors");
    EXPECT_EQ(QDir::currentPath(), src());
    EXPECT_TRUE(QFile::exists(src() + "/com/example/util/Helper.class"));

    project->RunMain(false);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(caption(), "java com.example.app.Main");
    EXPECT_EQ(shown(), "hello from util\r\nExit code: 0\r\nNo Errors");

    // Classes under the root that are not the project's stay out of its jar.
    harness.writeFile("src/stray/Stray.class", "not the project's");
    const QString jar = harness.folder() + "/out/App.jar";
    QDir().mkpath(harness.folder() + "/out");
    harness.prompter().saveAsNext(jar);
    project->CreateJar();
    EXPECT_EQ(harness.prompter().fileDialogs().back().initialName, "Main.jar");
    QFile manifest(harness.folder() + "/out/manifest.txt");
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    EXPECT_EQ(manifest.readAll(), "Main-Class: com.example.app.Main\r\n");
    ASSERT_TRUE(QTest::qWaitFor([this] { return caption().startsWith("Creating jar"); }, 60000));
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(shown().endsWith("No Errors")) << shown().toStdString();
    EXPECT_TRUE(shown().contains("com/example/util/Helper.class")) << shown().toStdString();
    EXPECT_FALSE(shown().contains("Stray")) << shown().toStdString();

    QProcess java;
    java.setWorkingDirectory(harness.folder());
    java.setProcessChannelMode(QProcess::MergedChannels);
    java.start(harness.app().settings().jdkFolder + "/bin/java", {"-jar", jar});
    ASSERT_TRUE(java.waitForFinished(60000));
    EXPECT_EQ(java.readAll(), "hello from util\n");
    EXPECT_EQ(java.exitCode(), 0);

    // A file of the other package compiles from the root as well, and its message names it
    // from there.
    harness.writeFile("src/com/example/util/Helper.java", "package com.example.util;\n"
                                                          "public class Helper { int x = ; }\n");
    project->CompileFile(helperPath);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(QDir::currentPath(), src());
    EXPECT_TRUE(shown().startsWith(QDir::toNativeSeparators("com/example/util/Helper.java:2: ")))
        << shown().toStdString();
}

// In a package project the project's package and the main file's name make one class name for
// java, as they do in a one-folder project: neither can name a class path, another class or an
// option.
TEST_F(JdkTest, PackageProjectRunGivesJavaOneClassNameWhateverItsFieldsHold) {
    harness.writeFile("evil/Evil.java", "public class Evil { public static void main(String[] a) "
                                        "{ System.out.println(\"evil ran\"); } }\n");
    QProcess javac;
    javac.setWorkingDirectory(harness.folder() + "/evil");
    javac.start(harness.app().settings().jdkFolder + "/bin/javac", {"Evil.java"});
    ASSERT_TRUE(javac.waitForFinished(60000));
    ASSERT_TRUE(QFile::exists(harness.folder() + "/evil/Evil.class"));
    const QString printArguments = "    public static void main(String[] args) {\n"
                                   "        System.out.println(\"main ran with \" + args.length);\n"
                                   "    }\n}\n";
    harness.writeFile("src/com/example/app/Main.java",
                      "package com.example.app;\npublic class Main {\n" + printArguments.toUtf8());
    harness.writeFile("src/com/example/app/Main -version.java",
                      "package com.example.app;\nclass Main {\n" + printArguments.toUtf8());
    const std::pair<QString, QString> cases[] = {
        {"Main.java", "-cp " + harness.folder() + "/evil Evil x"},
        {"Main -version.java", ""},
    };
    openProject({"com/example/app/Main.java", "com/example/app/Main -version.java"}, {});
    for (const auto &[mainFile, package] : cases) {
        SCOPED_TRACE(mainFile.toStdString());
        project->m_strMainFile = mainFile;
        project->m_strPackage = package;
        project->CompileFile(src() + "/com/example/app/" + mainFile);
        ASSERT_TRUE(waitForEnd());
        EXPECT_TRUE(shown().endsWith("No Errors")) << shown().toStdString();
        project->RunMain(false);
        ASSERT_TRUE(waitForEnd());
        EXPECT_FALSE(shown().contains("ran")) << shown().toStdString();
        EXPECT_TRUE(shown().contains("Could not find or load main class")) << shown().toStdString();
    }
}

TEST_F(JdkTest, AbortEndsALongRunAndKeepsTheWindow) {
    writeSource("Loop.java",
                "public class Loop {\n"
                "    public static void main(String[] args) throws Exception {\n"
                "        for (;;) { System.out.println(\"tick\"); Thread.sleep(50); }\n"
                "    }\n"
                "}\n");
    openProject({"Loop.java"}, "Loop.java");
    project->Build();
    ASSERT_TRUE(waitForEnd());
    project->RunMain(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return shown().startsWith("tick"); }, 60000));
    harness.prompter().answerNext(fw::Answer::Cancel);
    output().window()->close();
    EXPECT_TRUE(IsProcessRunning());
    harness.prompter().answerNext(fw::Answer::Ok);
    output().window()->close();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList(2, "The process is still running, do you wish to abort it?"));
    EXPECT_TRUE(output().IsOpen());
    EXPECT_TRUE(shown().endsWith("Exit code: 11\r\nProcess terminated by user."));
    EXPECT_EQ(harness.mainFrame().paneText(CMainFrame::MessagePane), "External process complete");
}

TEST_F(JdkTest, RunReadsTheLinesTypedInTheOutputWindowWhileACompileTakesNone) {
    writeSource("Sum.java", "public class Sum {\n"
                            "    public static void main(String[] args) {\n"
                            "        java.util.Scanner in = new java.util.Scanner(System.in);\n"
                            "        System.out.print(\"First: \");\n"
                            "        int a = in.nextInt();\n"
                            "        System.out.print(\"Second: \");\n"
                            "        System.out.println(\"Sum: \" + (a + in.nextInt()));\n"
                            "    }\n"
                            "}\n");
    openProject({"Sum.java"}, "Sum.java");
    project->Build();
    EXPECT_FALSE(output().window()->isInputShown());
    ASSERT_TRUE(waitForEnd());
    project->RunMain(false);
    ProcessOutputWindow *window = output().window();
    ASSERT_TRUE(window->isInputShown());
    QLineEdit *line = window->inputLine();
    const std::pair<QString, QString> answers[] = {{"First: ", "2"}, {"Second: ", "40"}};
    for (const auto &[prompt, typed] : answers) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown().endsWith(prompt); }, 60000));
        QTest::keyClicks(line, typed);
        QTest::keyClick(line, Qt::Key_Return);
        EXPECT_TRUE(line->text().isEmpty());
    }
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(shown(), "First: 2\r\nSecond: 40\r\nSum: 42\r\nExit code: 0\r\nNo Errors");
    EXPECT_FALSE(window->isInputShown());

    // Stop, beside the input, ends a program that waits, after the question, and the window
    // stays with the run's end in it.
    project->RunMain(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return shown().endsWith("First: "); }, 60000));
    harness.prompter().answerNext(fw::Answer::Ok);
    QTest::mouseClick(output().window()->stopButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(output().IsOpen());
    EXPECT_TRUE(shown().endsWith("Exit code: 11\r\nProcess terminated by user."));
}

// A JDK folder without the tool: the message says which program is missing where and where the
// folder is set, and the output window no longer shows the verdict of the run before.
TEST_F(ToolCommandsTest, FailedStartSaysWhichProgramIsMissingWhere) {
    useEchoingJdk();
    openProject({"Main.java"}, "Main.java");
    project->Build();
    ASSERT_TRUE(waitForEnd());
    ASSERT_TRUE(shown().endsWith("No Errors"));
    harness.app().settings().jdkFolder = harness.folder() + "/nojdk";
    project->Build();
    const QString expected = "Failed to start process\n\njavac was not found in " + harness.folder()
                             + "/nojdk/bin.\nThe JDK folder (now " + harness.folder()
                             + "/nojdk) is set in File > Preferences.";
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{expected});
    ASSERT_TRUE(output().IsOpen());
    EXPECT_EQ(output().window()->outputEdit()->toPlainText(), expected);
    EXPECT_FALSE(shown().contains("No Errors"));
    EXPECT_EQ(harness.mainFrame().paneText(CMainFrame::MessagePane), "Failed to start process");
}

// F4 after a build leaves the caret where javac's caret points, nothing selected and the line
// highlighted, so that a key typed next inserts. The output window covers the lower part of the
// source window: the line is scrolled out from under it, and a line too near the end of the
// text to be scrolled up has the window moved off it.
TEST_F(JdkTest, JumpPutsTheCaretWhereJavacPointsOutFromUnderTheOutputWindow) {
    QByteArray text = "public class Main {\n    public static void main(String[] args) {\n";
    for (int line = 3; line < 120; ++line) {
        text += line == 60    ? QByteArray("        int y = undefinedName;\n")
                : line == 118 ? QByteArray("        int z = otherName;\n")
                              : "        System.out.println(" + QByteArray::number(line) + ");\n";
    }
    text += "    }\n}\n";
    writeSource("Main.java", text);
    openProject({"Main.java"}, "Main.java");
    auto *main =
        dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(src() + "/Main.java"));
    ASSERT_NE(main, nullptr);
    auto *editor = dynamic_cast<QPlainTextEdit *>(main->firstView()->widget());
    project->Build();
    ASSERT_TRUE(waitForEnd());
    ASSERT_TRUE(output().IsOpen());
    const QRect area(editor->viewport()->mapToGlobal(QPoint(0, 0)), editor->viewport()->size());
    ProcessOutputWindow *window = output().window();
    window->setGeometry(area.left(), area.top() + area.height() / 2, area.width(), area.height());
    const QRect covering = window->frameGeometry();
    ASSERT_TRUE(covering.intersects(area));
    const auto caretLine = [editor] {
        return QRect(editor->viewport()->mapToGlobal(QPoint(0, editor->cursorRect().top())),
                     QSize(editor->viewport()->width(), editor->cursorRect().height()));
    };

    harness.mainFrame().executeCommand(CommandId::NextMessage);
    QTextCursor caret = editor->textCursor();
    EXPECT_FALSE(caret.hasSelection());
    EXPECT_EQ(caret.blockNumber(), 59) << shown().toStdString();
    EXPECT_EQ(caret.positionInBlock(), 16);
    EXPECT_EQ(editors::highlightedJumpLine(*editor), 59);
    EXPECT_EQ(window->frameGeometry(), covering);
    EXPECT_FALSE(caretLine().intersects(covering));
    EXPECT_TRUE(area.contains(caretLine()));

    editor->setFocus();
    QTest::keyClicks(editor, ";");
    EXPECT_EQ(editor->textCursor().block().text(), "        int y = ;undefinedName;");
    editor->moveCursor(QTextCursor::Start);
    EXPECT_EQ(editors::highlightedJumpLine(*editor), -1);

    harness.mainFrame().executeCommand(CommandId::NextMessage);
    caret = editor->textCursor();
    EXPECT_EQ(caret.blockNumber(), 117);
    EXPECT_EQ(caret.positionInBlock(), 16);
    EXPECT_TRUE(area.contains(caretLine()));
    EXPECT_FALSE(caretLine().intersects(window->frameGeometry()));
}

// Run after an edit asks whether to build first: Yes builds and runs the new program, No runs
// the old one without saving, Cancel runs nothing; a file saved since the build counts as well,
// and a build that fails runs nothing.
TEST_F(JdkTest, RunAfterAnEditOffersToBuildFirst) {
    writeSource("Hello.java", "public class Hello {\n"
                              "    public static void main(String[] args) {\n"
                              "        System.out.println(\"one\");\n"
                              "    }\n"
                              "}\n");
    openProject({"Hello.java"}, "Hello.java");
    harness.app().settings().saveBeforeCompile = 1;
    CMainFrame &frame = harness.mainFrame();
    const auto runWith = [&](std::initializer_list<fw::Answer> answers) {
        harness.prompter().clear();
        for (const fw::Answer answer : answers) {
            harness.prompter().answerNext(answer);
        }
        EXPECT_TRUE(frame.executeCommand(CommandId::RunApplication));
        // A build asked for is followed by its run: both must end.
        for (int round = 0; round < 2; ++round) {
            EXPECT_TRUE(waitForEnd());
            AppHarness::processEvents();
        }
        return harness.prompter().messageTexts();
    };
    const QString question = "The program's sources changed since the last build. Build it first?";
    const auto edit = [&](const QString &from, const QString &to) {
        auto *source =
            dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(src() + "/Hello.java"));
        ASSERT_NE(source, nullptr);
        QTextCursor found = source->textDocument()->find(from);
        ASSERT_FALSE(found.isNull());
        found.insertText(to);
    };

    EXPECT_EQ(runWith({fw::Answer::Yes}), QStringList{question}); // never built
    EXPECT_EQ(shown(), "one\r\nExit code: 0\r\nNo Errors");
    EXPECT_EQ(runWith({}), QStringList()); // built: runs at once
    EXPECT_EQ(shown(), "one\r\nExit code: 0\r\nNo Errors");

    edit("one", "two");
    EXPECT_EQ(runWith({fw::Answer::Yes, fw::Answer::Yes}),
              (QStringList{question, "Save changes to Hello.java?"}));
    EXPECT_EQ(shown(), "two\r\nExit code: 0\r\nNo Errors");

    CSyntaxWindowDoc *source = nullptr;
    edit("two", "three");
    source = dynamic_cast<CSyntaxWindowDoc *>(frame.activeDocument());
    EXPECT_EQ(runWith({fw::Answer::No}), QStringList{question});
    EXPECT_EQ(shown(), "two\r\nExit code: 0\r\nNo Errors");
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(source->isModified());
    const QString before = shown();
    EXPECT_EQ(runWith({fw::Answer::Cancel}), QStringList{question});
    EXPECT_EQ(shown(), before);

    ASSERT_TRUE(frame.executeCommand(CommandId::FileSave));
    EXPECT_EQ(runWith({fw::Answer::Yes}), QStringList{question});
    EXPECT_EQ(shown(), "three\r\nExit code: 0\r\nNo Errors");

    edit("\"three\");", "undefined();");
    EXPECT_EQ(runWith({fw::Answer::Yes, fw::Answer::Yes}).value(0), question);
    EXPECT_TRUE(shown().endsWith("There were errors")) << shown().toStdString();
}

} // namespace
