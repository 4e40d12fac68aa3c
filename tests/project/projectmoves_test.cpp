#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "project/projectrelocation.h"
#include "services/appsettings.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A project file as it is stored: the files by full path (as written on whatever machine
// saved it), the main file and its folder, the package.
QByteArray projectBytes(const QStringList &paths, const QString &mainFile,
                        const QString &mainFolder, const QString &package = {}) {
    ProjectFileContents contents;
    for (const QString &path : paths) {
        auto file = std::make_unique<CJavaFile>();
        file->SetFileName(path.section(QRegularExpression("[/\\\\]"), -1));
        file->SetPath(path);
        contents.m_fileList.Add(file);
    }
    contents.m_strMainFile = mainFile;
    contents.m_strMainFolder = mainFolder;
    contents.m_strPackage = package;
    return storeProjectFile(contents);
}

// A running Tarvo that opens projects from folders below its scratch folder.
class ProjectMovesTest : public testing::Test {
protected:
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;

    QString at(const QString &name) const { return harness.folder() + "/" + name; }
    void open(const QString &projectPath) {
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(projectPath));
        ASSERT_NE(project, nullptr);
        harness.app().settings().saveBeforeCompile = 0;
    }
    void renameFolder(const QString &from, const QString &to) {
        ASSERT_TRUE(QDir(harness.folder()).rename(from, to));
    }
    QStringList projectPaths() const {
        QStringList paths;
        for (int index = 0; index < project->GetFileList().GetCount(); ++index) {
            paths << project->GetFileList().GetAt(index)->GetPath();
        }
        return paths;
    }
    QString statusNote() const { return harness.mainFrame().statusBar()->currentMessage(); }
};

// A project whose files are all where it says is read and saved as it was, and nothing is said.
TEST_F(ProjectMovesTest, UntouchedProjectIsReadAndSavedByteForByte) {
    harness.writeFile("same/A.java", "class A {}\n");
    harness.writeFile("same/page.html", "<html></html>\n");
    ProjectFileContents contents;
    auto javaClass = std::make_unique<CJavaClass>();
    javaClass->SetName("A");
    auto file = std::make_unique<CJavaFile>();
    file->SetFileName("A.java");
    file->SetPath(at("same/A.java"));
    file->GetClasses().Add(javaClass);
    contents.m_fileList.Add(file);
    contents.m_strMainFile = "A.java";
    contents.m_strMainFolder = at("same");
    contents.m_strHtmlFile = "page.html";
    contents.m_strHtmlPath = at("same/page.html");
    const QByteArray bytes = storeProjectFile(contents);
    const QString path = harness.writeFile("same/Same.jpr", bytes);

    open(path);
    EXPECT_FALSE(project->isModified());
    ASSERT_TRUE(project->doSave(path));
    EXPECT_EQ(contentsOf(path).toHex(' '), bytes.toHex(' '));
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
    EXPECT_EQ(statusNote(), "");
}

// Of a moved project, the file found nowhere is named in one message, even when the project
// is read twice (once to try it while another project is open).
TEST_F(ProjectMovesTest, FileFoundNowhereIsNamedOnceWhenTheProjectOpens) {
    harness.writeFile("first/First.jpr", projectBytes({}, {}, {}));
    open(at("first/First.jpr"));
    harness.writeFile("lab/A.java", "class A {}\n");
    harness.writeFile("lab/Lab.jpr",
                      projectBytes({at("lab/A.java"), at("lab/Gone.java")}, "A.java", at("lab")));
    renameFolder("lab", "lab2");

    harness.prompter().answerNext(fw::Answer::Ok);
    open(at("lab2/Lab.jpr"));
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(),
              (QStringList{"Do you want to close the current project?",
                           projectrelocation::missingMessage({at("lab/Gone.java")})}));
    EXPECT_EQ(projectPaths(), (QStringList{at("lab2/A.java"), at("lab/Gone.java")}));
    EXPECT_EQ(statusNote(), "1 file was found in the project's new folder.");
    EXPECT_TRUE(project->isModified());
}

// The tests below run the real JDK.
class ProjectMovesJdkTest : public ProjectMovesTest {
protected:
    void SetUp() override {
        if (!harness.useRealJdk()) {
            GTEST_SKIP() << "no JDK found";
        }
    }
    CProcessOutputDialog &output() { return *project->m_pOutputWnd; }
    // Runs a command of the project to its end; its output.
    QString runToEnd(const std::function<void()> &command) {
        command();
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return !IsProcessRunning() && !output().isWatching(); }, 60000));
        return output().ShownText();
    }
    void expectBuildsAndRuns(const QString &printed) {
        const QString built = runToEnd([this] { project->Build(); });
        EXPECT_TRUE(built.endsWith("No Errors")) << built.toStdString();
        EXPECT_EQ(runToEnd([this] { project->RunMain(false); }),
                  printed + "\r\nExit code: 0\r\nNo Errors");
    }
};

// A renamed project's Build compiled files that were gone; they are found in the new folder,
// built, run, and saved where they are now.
TEST_F(ProjectMovesJdkTest, RenamedFolderIsBuiltRunAndSavedWithTheNewPaths) {
    harness.writeFile("hello/Hello.java", "public class Hello {\n"
                                          "    public static void main(String[] args) {\n"
                                          "        System.out.println(Greeter.greet());\n"
                                          "    }\n"
                                          "}\n");
    harness.writeFile("hello/Greeter.java",
                      "class Greeter { static String greet() { return \"Hello, world\"; } }\n");
    harness.writeFile("hello/Hello.jpr",
                      projectBytes({at("hello/Hello.java"), at("hello/Greeter.java")}, "Hello.java",
                                   at("hello")));
    renameFolder("hello", "hello renamed");

    open(at("hello renamed/Hello.jpr"));
    EXPECT_EQ(projectPaths(),
              (QStringList{at("hello renamed/Hello.java"), at("hello renamed/Greeter.java")}));
    EXPECT_EQ(project->m_strMainFolder, at("hello renamed"));
    EXPECT_TRUE(project->isModified());
    AppHarness::processEvents();
    EXPECT_EQ(statusNote(), "2 files were found in the project's new folder.");
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
    expectBuildsAndRuns("Hello, world");

    ASSERT_TRUE(project->doSave(project->pathName()));
    ProjectFileContents saved;
    ASSERT_TRUE(loadProjectFile(contentsOf(at("hello renamed/Hello.jpr")), saved, nullptr));
    EXPECT_EQ(saved.m_fileList.GetAt(1)->GetPath(), at("hello renamed/Greeter.java"));
    EXPECT_EQ(saved.m_strMainFolder, at("hello renamed"));
}

// The project file sits above the package folders of the main file.
TEST_F(ProjectMovesJdkTest, PackageFolderProjectIsFoundFromAboveItsMainFolder) {
    harness.writeFile("course/edu/x/Main.java", "package edu.x;\n"
                                                "public class Main {\n"
                                                "    public static void main(String[] args) {\n"
                                                "        System.out.println(new Counter().n);\n"
                                                "    }\n"
                                                "}\n");
    harness.writeFile("course/edu/x/Counter.java",
                      "package edu.x;\nclass Counter { int n = 3; }\n");
    harness.writeFile("course/Course.jpr",
                      projectBytes({at("course/edu/x/Counter.java"), at("course/edu/x/Main.java")},
                                   "Main.java", at("course/edu/x"), "edu.x"));
    renameFolder("course", "course-cloned");

    open(at("course-cloned/Course.jpr"));
    EXPECT_EQ(projectPaths(), (QStringList{at("course-cloned/edu/x/Counter.java"),
                                           at("course-cloned/edu/x/Main.java")}));
    EXPECT_EQ(project->m_strMainFolder, at("course-cloned/edu/x"));
    expectBuildsAndRuns("3");
}

// A project saved on Windows (its drive letter in lower case in the main folder) said
// "Unholy Error" on Build: its paths hold no native separator.
TEST_F(ProjectMovesJdkTest, ProjectWithWindowsPathsIsBuiltAndRun) {
    harness.writeFile("fromwin/Hello.java", "public class Hello {\n"
                                            "    public static void main(String[] args) {\n"
                                            "        System.out.println(\"from Windows\");\n"
                                            "    }\n"
                                            "}\n");
    harness.writeFile("fromwin/Hello.jpr", projectBytes({"C:\\Users\\Ann\\Hello\\Hello.java"},
                                                        "Hello.java", "c:\\Users\\Ann\\Hello"));

    open(at("fromwin/Hello.jpr"));
    EXPECT_EQ(projectPaths(), QStringList{at("fromwin/Hello.java")});
    EXPECT_EQ(project->m_strMainFolder, at("fromwin"));
    AppHarness::processEvents();
    EXPECT_EQ(statusNote(), "1 file was found in the project's new folder.");
    expectBuildsAndRuns("from Windows");
}

} // namespace
