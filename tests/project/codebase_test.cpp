#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "framework/view.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "model/classcollector.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "project/clibrariesdialog.h"
#include "project/crunsettingsdialog.h"
#include "project/projectfile.h"
#include "project/projectsettings.h"
#include "services/appsettings.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A running Tarvo and a project in <scratch>/p whose files the test names.
class CodebaseTest : public testing::Test {
protected:
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;

    QString root() const { return harness.folder() + "/p"; }
    QString write(const QString &name, const QByteArray &text) {
        return harness.writeFile("p/" + name, text);
    }
    // Opens a project holding the files (paths below the project's folder) in that order.
    void openProject(const QStringList &files, const QString &mainFile = {},
                     const QString &package = {}) {
        ProjectFileContents contents;
        for (const QString &name : files) {
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(QFileInfo(name).fileName());
            file->SetPath(root() + "/" + name);
            contents.m_fileList.Add(file);
        }
        contents.m_strMainFile = mainFile;
        contents.m_strPackage = package;
        const QString path = write("Test.jpr", storeProjectFile(contents));
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(path));
        ASSERT_NE(project, nullptr);
        harness.app().settings().saveBeforeCompile = 0;
    }
    // The scan of an opening project starts once the open is done.
    bool waitForScan() {
        AppHarness::processEvents();
        return QTest::qWaitFor([this] { return !project->isScanningInBackground(); }, 10000);
    }
    QStringList projectPaths() const {
        QStringList paths;
        for (int index = 0; index < project->GetFileList().GetCount(); ++index) {
            paths << project->GetFileList().GetAt(index)->GetPath();
        }
        return paths;
    }
    QStringList classesOf(const QString &path) {
        const CJavaFile *file = project->GetFileList().FindByPath(path);
        return file ? classlist::describe(file->GetClasses()) : QStringList{"<no file>"};
    }
};

// Adding folders until the project would hold 266 files kept 255 and dropped 11 in silence.
TEST_F(CodebaseTest, AddThatReachesTheMostFilesSaysWhichWereNotAdded) {
    openProject({});
    for (int index = 0; index < 266; ++index) {
        write(QStringLiteral("src/F%1.java").arg(index, 3, 10, QLatin1Char('0')), "class F {}\n");
    }
    harness.prompter().chooseFolderNext(root() + "/src");
    project->AddFolder();
    EXPECT_EQ(project->GetFileList().GetCount(), 255);
    ASSERT_EQ(harness.prompter().messageTexts().size(), 1);
    const QString message = harness.prompter().messageTexts().first();
    EXPECT_TRUE(message.startsWith("A project holds at most 255 files. These 11 files were not "
                                   "added:\n\n"
                                   + root() + "/src/F255.java\n"))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(root() + "/src/F265.java")) << message.toStdString();

    // A single file refused is named as well.
    harness.prompter().clear();
    EXPECT_FALSE(project->AddFile(root() + "/src/F300.java"));
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{"A project holds at most 255 files. This file was not added:\n\n" + root()
                          + "/src/F300.java"});
}

// Every Java file below the folder, hidden folders and links left out; the files of names the
// project already holds are asked about once, and No keeps what the project had.
TEST_F(CodebaseTest, AddFolderTakesTheTreeAndAsksOnceAboutTakenNames) {
    const QString held = write("old/Node.java", "class Node {}\n");
    write("old/Queue.java", "class Queue {}\n");
    openProject({"old/Node.java", "old/Queue.java"});
    write("tree/a/Node.java", "class Node {}\n");
    write("tree/b/Queue.java", "class Queue {}\n");
    write("tree/b/c/Stack.java", "class Stack { void push(int x) {} }\n");
    write("tree/Main.java", "class Main {}\n");
    write("tree/notes.txt", "");
    write("tree/.hidden/Secret.java", "class Secret {}\n");
    write("elsewhere/Linked.java", "class Linked {}\n");
    ASSERT_TRUE(QFile::link(root() + "/elsewhere", root() + "/tree/link"));

    harness.prompter().chooseFolderNext(root() + "/tree");
    harness.prompter().answerNext(fw::Answer::No);
    project->AddFolder();
    EXPECT_EQ(projectPaths(),
              (QStringList{held, root() + "/old/Queue.java", root() + "/tree/Main.java",
                           root() + "/tree/b/c/Stack.java"}));
    ASSERT_EQ(harness.prompter().messages().size(), 1u);
    EXPECT_EQ(harness.prompter().messages().front().buttons, fw::MessageButtons::YesNo);
    EXPECT_TRUE(harness.prompter().messageTexts().first().contains(
        root() + "/tree/a/Node.java\n" + root() + "/tree/b/Queue.java"));
    EXPECT_TRUE(project->isModified());

    // Yes puts the folder's files in the place of those of the same names.
    harness.prompter().clear();
    harness.prompter().chooseFolderNext(root() + "/tree");
    harness.prompter().answerNext(fw::Answer::Yes);
    project->AddFolder();
    EXPECT_EQ(projectPaths(),
              (QStringList{root() + "/tree/a/Node.java", root() + "/tree/b/Queue.java",
                           root() + "/tree/Main.java", root() + "/tree/b/c/Stack.java"}));
    // The added files' classes come without a window being opened.
    ASSERT_TRUE(waitForScan());
    EXPECT_EQ(classesOf(root() + "/tree/b/c/Stack.java"),
              (QStringList{"Stack", "Stack#push(int x)"}));
}

// The scan of a project's files at its opening gives what opening each file's window gives,
// and leaves a project whose files still declare what it holds unmodified.
TEST_F(CodebaseTest, ProjectOpensWithEveryClassAsItsWindowsWouldFindThem) {
    const QStringList files{"Shapes.java", "latin1/Caf.java", "Nested.java"};
    write(files[0], "package geo;\r\n\r\npublic class Shape extends Object {\r\n"
                    "  public double area(int a,\r\n      int b) { return 0; }\r\n"
                    "  class Inner { void run() { if (x) { } } }\r\n}\r\n"
                    "interface Round { }\r\nclass Circle { Circle() {} }\r\n");
    write(files[1], "class Caf\xe9 { void na\xefve() {} }\n");
    write(files[2], "class A { class B { class C { void deep() {} } void g() {} } void f() {} }\n");
    openProject(files);
    ASSERT_TRUE(waitForScan());
    QList<QStringList> scanned;
    for (const QString &file : files) {
        scanned.push_back(classesOf(root() + "/" + file));
        EXPECT_FALSE(scanned.back().isEmpty()) << file.toStdString();
    }
    EXPECT_TRUE(project->isModified());
    const QStringList shown = [this] {
        QStringList labels;
        auto *tree = dynamic_cast<CJavaProjectView *>(project->firstView());
        for (QTreeWidgetItemIterator item(tree); *item; ++item) {
            labels << (*item)->text(0);
        }
        return labels;
    }();
    EXPECT_TRUE(shown.contains("area(int a, int b)")) << shown.join(", ").toStdString();

    // The oracle: each file's window scans its text when it opens.
    for (qsizetype index = 0; index < files.size(); ++index) {
        const QString path = root() + "/" + files[index];
        ASSERT_NE(harness.app().openDocumentFile(path), nullptr);
        AppHarness::processEvents();
        EXPECT_EQ(classesOf(path), scanned[index]) << files[index].toStdString();
    }

    // Saved and opened again, nothing changed: the scan leaves the project unmodified.
    ASSERT_TRUE(project->doSave(project->pathName()));
    const QString path = project->pathName();
    project->onCloseDocument();
    AppHarness::processEvents();
    project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(path));
    ASSERT_NE(project, nullptr);
    ASSERT_TRUE(waitForScan());
    AppHarness::processEvents();
    EXPECT_FALSE(project->isModified());
    EXPECT_EQ(classesOf(root() + "/" + files[0]), scanned[0]);
}

// A frame of a class the project does not hold opens nothing, even where a project file has
// its file name; a frame of a class in no package opens the project's file of that name.
TEST_F(CodebaseTest, StackFrameOfAClassOutsideTheProjectOpensNothing) {
    write("mine/Scanner.java", "package mine;\nclass Scanner {}\n");
    write("app/Main.java", "class Main {\n  void f() {}\n}\n");
    // Built already, so that Run does not offer to build first.
    QFile classFile(write("app/Main.class", "built"));
    ASSERT_TRUE(classFile.open(QIODevice::ReadWrite));
    classFile.setFileTime(QDateTime::currentDateTime().addSecs(60),
                          QFileDevice::FileModificationTime);
    classFile.close();
    openProject({"mine/Scanner.java", "app/Main.java"}, "Main.java");
    // A Java whose runs print a stack trace from another folder.
    const QString java = harness.writeFile(
        "jdk/bin/java", "#!/bin/sh\n"
                        "printf '\\tat java.base/java.util.Scanner.next"
                        "(Scanner.java:1478)\\n\\tat Main.main(Main.java:2)\\n'\n");
    QFile::setPermissions(java, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    harness.app().settings().jdkFolder = harness.folder() + "/jdk";
    jdk::RunOptions options;
    options.workingFolder = harness.folder();
    ASSERT_TRUE(project->setRunOptions(options));
    project->RunMain(false);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !IsProcessRunning() && !project->m_pOutputWnd->isWatching(); }, 30000));
    project->JumpToMessageLine(0);
    EXPECT_EQ(harness.mainFrame().activeDocument(), project);
    project->JumpToMessageLine(1);
    ASSERT_NE(harness.mainFrame().activeDocument(), project);
    EXPECT_EQ(harness.mainFrame().activeDocument()->pathName(), root() + "/app/Main.java");
}

// Run settings and libraries live beside the project file; the project file keeps its bytes.
TEST_F(CodebaseTest, RunSettingsAndLibrariesAreKeptBesideTheProjectFile) {
    openProject({});
    const QString jpr = project->pathName();
    const QByteArray before = contentsOf(jpr);
    write("lib/algs4.jar", "");
    write("data/tinyST.txt", "S E A R C H\n");
    harness.prompter().runDialogNext([this](QDialog &dialog) {
        auto &settings = dynamic_cast<CRunSettingsDialog &>(dialog);
        settings.argumentsEdit()->setText("\"two words\" 3");
        settings.inputFileEdit()->setText(root() + "/data/missing.txt");
        settings.vmOptionsEdit()->setText("-ea");
        // A file that does not exist is refused, and the dialog stays.
        settings.accept();
        EXPECT_EQ(settings.result(), QDialog::Rejected);
        settings.inputFileEdit()->setText(root() + "/data/tinyST.txt");
        settings.accept();
        return settings.result();
    });
    project->EditRunSettings();
    harness.prompter().chooseFilesNext({root() + "/lib/algs4.jar", "/opt/shared/stdlib.jar"});
    harness.prompter().runDialogNext([](QDialog &dialog) {
        auto &libraries = dynamic_cast<CLibrariesDialog &>(dialog);
        libraries.addJarsButton()->click();
        return QDialog::Accepted;
    });
    project->EditLibraries();
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{"The file for standard input, " + root()
                          + "/data/missing.txt, does not exist."});
    EXPECT_EQ(contentsOf(jpr), before);
    EXPECT_FALSE(project->isModified());
    const QByteArray stored = contentsOf(projectsettings::settingsPath(jpr));
    EXPECT_TRUE(stored.contains("InputFile=data/tinyST.txt")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("lib/algs4.jar, /opt/shared/stdlib.jar")) << stored.toStdString();

    // The project's folder moves: the settings go along and their paths still hold.
    project->onCloseDocument();
    AppHarness::processEvents();
    ASSERT_TRUE(QDir().rename(root(), harness.folder() + "/moved"));
    const jdk::RunOptions moved = projectsettings::load(harness.folder() + "/moved/Test.jpr");
    EXPECT_EQ(moved.arguments, "\"two words\" 3");
    EXPECT_EQ(moved.inputFile, harness.folder() + "/moved/data/tinyST.txt");
    EXPECT_EQ(moved.vmOptions, "-ea");
    EXPECT_EQ(moved.libraries,
              (QStringList{harness.folder() + "/moved/lib/algs4.jar", "/opt/shared/stdlib.jar"}));
}

// The tests below run the real JDK.
class CodebaseJdkTest : public CodebaseTest {
protected:
    void SetUp() override {
        if (!harness.useRealJdk()) {
            GTEST_SKIP() << "no JDK found";
        }
    }
    CProcessOutputDialog &output() { return *project->m_pOutputWnd; }
    QString shown() { return output().ShownText(); }
    bool waitForEnd() {
        return QTest::qWaitFor([this] { return !IsProcessRunning() && !output().isWatching(); },
                               60000);
    }
    // Runs a command of the project to its end; its output.
    QString runToEnd(const std::function<void()> &command) {
        command();
        EXPECT_TRUE(waitForEnd());
        return shown();
    }
    int selectedLineIn(const QString &path) {
        auto *source = dynamic_cast<CSyntaxWindowDoc *>(harness.mainFrame().activeDocument());
        if (!source || source->pathName() != path) {
            return -1;
        }
        auto *edit = dynamic_cast<QPlainTextEdit *>(source->firstView()->widget());
        return edit->document()->findBlock(edit->textCursor().selectionStart()).blockNumber();
    }
};

// "at edu.x.FrequencyCounter.main(FrequencyCounter.java:5)" opened Counter.java at line 5,
// the first project file whose name occurs in the line.
TEST_F(CodebaseJdkTest, StackFrameOpensTheFileOfItsClass) {
    write("edu/x/Counter.java", "package edu.x;\n"
                                "public class Counter {\n"
                                "    public void increment() {\n"
                                "        throw new IllegalStateException(\"full\");\n"
                                "    }\n"
                                "}\n");
    write("edu/x/FrequencyCounter.java", "package edu.x;\n"
                                         "public class FrequencyCounter {\n"
                                         "    public static void main(String[] args) {\n"
                                         "        Counter counter = new Counter();\n"
                                         "        counter.increment();\n"
                                         "    }\n"
                                         "}\n");
    openProject({"edu/x/Counter.java", "edu/x/FrequencyCounter.java"}, "FrequencyCounter.java");
    ASSERT_TRUE(runToEnd([this] { project->Build(); }).endsWith("No Errors"))
        << shown().toStdString();
    const QStringList lines = runToEnd([this] { project->RunMain(false); }).split("\r\n");
    const struct {
        QString frame;
        QString file;
        int line; // 0-based
    } jumps[] = {
        {"(FrequencyCounter.java:5)", "edu/x/FrequencyCounter.java", 4},
        {"(Counter.java:4)", "edu/x/Counter.java", 3},
    };
    for (const auto &jump : jumps) {
        const auto found = std::find_if(lines.begin(), lines.end(), [&](const QString &line) {
            return line.endsWith(jump.frame);
        });
        ASSERT_NE(found, lines.end()) << lines.join('\n').toStdString();
        project->JumpToMessageLine(static_cast<int>(found - lines.begin()));
        EXPECT_EQ(selectedLineIn(root() + "/" + jump.file), jump.line) << jump.frame.toStdString();
    }
}

// A program that prints its arguments and a line read from its standard input: the arguments
// as a shell splits them, the file instead of the input row, a VM option and another folder.
TEST_F(CodebaseJdkTest, RunTakesArgumentsInputFileVmOptionsAndFolder) {
    write("Echo.java", "public class Echo {\n"
                       "    public static void main(String[] args) throws Exception {\n"
                       "        for (String arg : args) System.out.println(\"[\" + arg + \"]\");\n"
                       "        System.out.println(new java.io.BufferedReader(\n"
                       "            new java.io.InputStreamReader(System.in)).readLine());\n"
                       "        System.out.println(System.getProperty(\"tarvo.mode\"));\n"
                       "        System.out.println(new java.io.File(\".\").getCanonicalPath());\n"
                       "    }\n"
                       "}\n");
    write("data/tinyST.txt", "S E A R C H E X A M P L E\n");
    openProject({"Echo.java"}, "Echo.java");
    ASSERT_TRUE(runToEnd([this] { project->Build(); }).endsWith("No Errors"));
    jdk::RunOptions options;
    options.arguments = "tinyST.txt \"two words\" 'it''s'";
    options.inputFile = root() + "/data/tinyST.txt";
    options.vmOptions = "-Dtarvo.mode=test -ea";
    options.workingFolder = root() + "/data";
    ASSERT_TRUE(project->setRunOptions(options));
    const QString output = runToEnd([this] { project->RunMain(false); });
    EXPECT_TRUE(output.startsWith("[tinyST.txt]\r\n[two words]\r\n[its]\r\n"
                                  "S E A R C H E X A M P L E\r\ntest\r\n"
                                  + QDir(root() + "/data").canonicalPath() + "\r\n"))
        << output.toStdString();
    const QString caption = harness.app().toolCaption();
    EXPECT_EQ(caption, "java -Dtarvo.mode=test -ea -cp " + root()
                           + " Echo tinyST.txt \"two words\" its < " + root() + "/data/tinyST.txt");
    // No input row while the file is the input.
    EXPECT_FALSE(output.contains("Exit code: 1"));
}

// A class using a library jar is built, run and jarred; the jar runs with the library found
// through its manifest.
TEST_F(CodebaseJdkTest, LibraryIsOnTheClassPathOfBuildRunAndJar) {
    write("libsrc/lib/Greeter.java", "package lib;\n"
                                     "public class Greeter {\n"
                                     "    public static String greet(String name) {\n"
                                     "        return \"Hello, \" + name;\n"
                                     "    }\n"
                                     "}\n");
    QProcess javac;
    const QString jdk = harness.app().settings().jdkFolder;
    javac.setWorkingDirectory(root() + "/libsrc");
    javac.start(jdk + "/bin/javac", {"-d", "classes", "lib/Greeter.java"});
    ASSERT_TRUE(javac.waitForFinished(60000));
    QProcess jar;
    jar.setWorkingDirectory(root() + "/libsrc");
    QDir().mkpath(root() + "/my libs");
    jar.start(jdk + "/bin/jar", {"cf", root() + "/my libs/greeter.jar", "-C", "classes", "."});
    ASSERT_TRUE(jar.waitForFinished(60000));
    ASSERT_EQ(jar.exitCode(), 0) << jar.readAllStandardError().toStdString();
    write("app/Main.java", "public class Main {\n"
                           "    public static void main(String[] args) {\n"
                           "        System.out.println(lib.Greeter.greet(\"world\"));\n"
                           "    }\n"
                           "}\n");
    openProject({"app/Main.java"}, "Main.java");
    jdk::RunOptions options;
    options.libraries = {root() + "/my libs/greeter.jar"};
    ASSERT_TRUE(project->setRunOptions(options));

    const QString built = runToEnd([this] { project->Build(); });
    EXPECT_TRUE(built.endsWith("No Errors")) << built.toStdString();
    EXPECT_EQ(runToEnd([this] { project->RunMain(false); }),
              "Hello, world\r\nExit code: 0\r\nNo Errors");
    EXPECT_EQ(harness.app().toolCaption(),
              "java -cp \"" + root() + "/my libs/greeter.jar:.\" Main");

    harness.prompter().saveAsNext(root() + "/out/Main.jar");
    QDir().mkpath(root() + "/out");
    const QString jarred = runToEnd([this] { project->CreateJar(); });
    EXPECT_TRUE(jarred.endsWith("No Errors")) << jarred.toStdString();
    EXPECT_EQ(contentsOf(root() + "/out/manifest.txt"),
              "Main-Class: Main\r\nClass-Path: ../my%20libs/greeter.jar\r\n");
    QProcess java;
    java.setWorkingDirectory(harness.folder());
    java.start(jdk + "/bin/java", {"-jar", root() + "/out/Main.jar"});
    ASSERT_TRUE(java.waitForFinished(60000));
    EXPECT_EQ(java.readAllStandardOutput(), "Hello, world\n")
        << java.readAllStandardError().toStdString();
}

} // namespace
