// Builds through the resident Java service, with the real JDK: the output window gets byte for
// byte what a javac or jar program gives, abort ends the run as it always did, a service that
// died is replaced, and a JDK whose Java cannot run the service builds with programs as before.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "javaservice/javaserviceclient.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"
#include "tools/javaservices.h"
#include "tools/servicerun.h"

#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

#include <functional>

namespace {

using testing_support::AppHarness;

// A running Tarvo with the real JDK, whose help folder holds the service's sources, and a
// project of the files written to <scratch>/src.
class ServiceBuildTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        harness.app().settings().jdkFolder = jdk;
        harness.app().settings().saveBeforeCompile = 0;
        harness.app().setAppFolder(QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res"));
    }
    QString src() const { return harness.folder() + "/src"; }
    void writeSource(const QString &name, const QByteArray &text) {
        harness.writeFile("src/" + name, text);
    }
    void openProject(const QStringList &files, const QString &mainFile) {
        ProjectFileContents contents;
        for (const QString &name : files) {
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(name);
            file->SetPath(src() + "/" + name);
            contents.m_fileList.Add(file);
        }
        contents.m_strMainFile = mainFile;
        const QString path = harness.writeFile("Test.jpr", storeProjectFile(contents));
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(path));
        ASSERT_NE(project, nullptr);
    }
    bool waitForEnd() {
        return QTest::qWaitFor(
            [this] { return !IsProcessRunning() && !project->m_pOutputWnd->isWatching(); }, 120000);
    }
    // The output of a command run through the service and then by a program, after removing
    // what the first one wrote (class files, the jar).
    std::pair<QString, QString> serviceAndChild(const std::function<void()> &command) {
        const auto clean = [this] {
            for (const QString &made : QDir(src()).entryList({"*.class", "*.jar"}, QDir::Files)) {
                QFile::remove(src() + "/" + made);
            }
        };
        harness.app().settings().keepCompilerRunning = 1;
        command();
        EXPECT_TRUE(waitForEnd());
        const QString service = project->m_pOutputWnd->ShownText();
        EXPECT_NE(javaServices().serviceProcessId(jdk, src()), 0) << "the service did not run it";
        clean();
        harness.app().settings().keepCompilerRunning = 0;
        command();
        EXPECT_TRUE(waitForEnd());
        clean();
        return {service, project->m_pOutputWnd->ShownText()};
    }
    qint64 servicePid() { return javaServices().serviceProcessId(jdk, src()); }

    const QString jdk = AppSettings::defaultJdkFolder();
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
};

struct SameOutputCase {
    const char *name;
    QString javacOptions;
    QList<std::pair<QString, QByteArray>> sources;
    QString verdict;
    QString shown = {}; // a part of the output that must be there
};

class SameOutputTest : public ServiceBuildTest,
                       public testing::WithParamInterface<SameOutputCase> {};

TEST_P(SameOutputTest, BuildShowsByteForByteWhatTheProgramShows) {
    QStringList files;
    for (const auto &[name, text] : GetParam().sources) {
        writeSource(name, text);
        files << name;
    }
    ASSERT_NO_FATAL_FAILURE(openProject(files, files.first()));
    harness.app().settings().javacOptions = GetParam().javacOptions;
    // Both print in the charset of the locale they start in.
    const QByteArray locale = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C.UTF-8");
    const auto [service, child] = serviceAndChild([this] { project->Build(); });
    locale.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", locale);
    EXPECT_EQ(service, child);
    EXPECT_TRUE(service.endsWith(GetParam().verdict)) << service.toStdString();
    EXPECT_TRUE(service.contains(GetParam().shown)) << service.toStdString();
}

const SameOutputCase kSameOutputCases[] = {
    {"Clean",
     "",
     {{"Main.java", "class Main { Helper h = new Helper(); }\n"},
      {"Helper.java", "class Helper {}\n"}},
     "Exit code: 0\r\nNo Errors"},
    {"ErrorsInTwoFiles",
     "",
     {{"Main.java", "class Main {\n  Helper h = new Helper();\n  int x = \"s\";\n}\n"},
      {"Helper.java", "class Helper {\n  void f() { missing(); }\n}\n"}},
     "2 errors\r\nExit code: 1\r\nThere were errors"},
    {"WarningsWithXlint",
     "-Xlint:all",
     {{"Main.java", "import java.util.*;\nclass Main {\n  List raw = new ArrayList();\n"
                    "  void f() { raw.add(1); }\n}\n"}},
     "Exit code: 0\r\nNo Errors"},
    {"NonAsciiMessage",
     "-encoding UTF-8",
     {{"Main.java", "class Main {\n  int größe = \"Grüße, 世界\";\n}\n"}},
     "Exit code: 1\r\nThere were errors",
     "int größe = \"Grüße, 世界\";"},
    {"BadOption",
     "-nonsense",
     {{"Main.java", "class Main {}\n"}},
     "Exit code: 2\r\nThere were errors"},
};

INSTANTIATE_TEST_SUITE_P(Builds, SameOutputTest, testing::ValuesIn(kSameOutputCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ServiceBuildTest, CreateJarAndItsListingShowWhatTheJarProgramShows) {
    writeSource("Main.java", "class Main {}\n");
    ASSERT_NO_FATAL_FAILURE(openProject({"Main.java"}, "Main.java"));
    project->Build();
    ASSERT_TRUE(waitForEnd());
    const auto jar = [this] {
        harness.prompter().saveAsNext(src() + "/Main.jar");
        project->CreateJar();
    };
    const auto [service, child] = serviceAndChild([&] {
        project->Build();
        waitForEnd();
        jar();
    });
    EXPECT_EQ(service, child);
    EXPECT_TRUE(service.contains("adding: Main.class")) << service.toStdString();
    // A listing of a jar that no build removes.
    project->Build();
    ASSERT_TRUE(waitForEnd());
    harness.prompter().saveAsNext(harness.folder() + "/Main.jar");
    project->CreateJar();
    ASSERT_TRUE(waitForEnd());
    const auto [listing, childListing] = serviceAndChild([this] {
        harness.prompter().chooseFilesNext({harness.folder() + "/Main.jar"});
        project->ShowArchiveContents();
    });
    EXPECT_EQ(listing, childListing);
    EXPECT_TRUE(listing.contains("Main.class")) << listing.toStdString();
}

// A compile long enough to be aborted while the service runs it: the window ends it as it
// ends a program, and the next build gets a fresh service.
TEST_F(ServiceBuildTest, AbortEndsTheCompileAsItEndsAProgram) {
    QByteArray big = "class Main {\n";
    for (int index = 0; index < 4000; ++index) {
        big += "  String m" + QByteArray::number(index) + "(int a) { return \"\" + a + m"
               + QByteArray::number(index) + "(a - 1).length() + (a > 0 ? 1 : 2); }\n";
    }
    writeSource("Main.java", big + "}\n");
    ASSERT_NO_FATAL_FAILURE(openProject({"Main.java"}, "Main.java"));
    project->Build();
    ASSERT_TRUE(QTest::qWaitFor([this] { return servicePid() != 0; }, 120000));
    const qint64 aborted = servicePid();
    ASSERT_TRUE(IsProcessRunning());
    harness.prompter().answerNext(fw::Answer::Ok);
    project->m_pOutputWnd->window()->close();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(
        project->m_pOutputWnd->ShownText().endsWith("Exit code: 11\r\nProcess terminated by user."))
        << project->m_pOutputWnd->ShownText().toStdString();
    writeSource("Main.java", "class Main {}\n");
    project->Build();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(project->m_pOutputWnd->ShownText(), "Exit code: 0\r\nNo Errors");
    EXPECT_NE(servicePid(), aborted);
}

TEST_F(ServiceBuildTest, ServiceKilledBetweenTwoBuildsIsStartedAgain) {
    writeSource("Main.java", "class Main { int x = \"s\"; }\n");
    ASSERT_NO_FATAL_FAILURE(openProject({"Main.java"}, "Main.java"));
    project->Build();
    ASSERT_TRUE(waitForEnd());
    const QString first = project->m_pOutputWnd->ShownText();
    const qint64 killed = servicePid();
    ASSERT_NE(killed, 0);
    kill(pid_t(killed), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([this] { return servicePid() == 0; }, 20000));
    project->Build();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(project->m_pOutputWnd->ShownText(), first);
    EXPECT_NE(servicePid(), 0);
    EXPECT_NE(servicePid(), killed);
}

// A JDK folder whose java has only the base module: its service cannot compile, so builds run
// javac as a program, exactly as without the service, and the status bar says so once.
TEST_F(ServiceBuildTest, JdkWhoseJavaCannotLoadTheCompilerBuildsWithPrograms) {
    const QString fake = harness.folder() + "/jdk";
    QDir().mkpath(fake + "/bin");
    QFile::copy(jdk + "/release", fake + "/release");
    for (const auto &[tool, extra] :
         {std::pair{"javac", ""}, {"jar", ""}, {"java", " --limit-modules java.base"}}) {
        const QString script = harness.writeFile(QString("jdk/bin/") + tool,
                                                 "#!/bin/sh\nexec " + (jdk + "/bin/").toUtf8()
                                                     + tool + extra + " \"$@\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    harness.app().settings().jdkFolder = fake;
    writeSource("Main.java", "class Main { int x = \"s\"; }\n");
    ASSERT_NO_FATAL_FAILURE(openProject({"Main.java"}, "Main.java"));
    project->Build();
    ASSERT_TRUE(waitForEnd());
    const QString viaFallback = project->m_pOutputWnd->ShownText();
    EXPECT_TRUE(harness.mainFrame().statusBar()->currentMessage().contains(
        "the Java compiler cannot be kept running"))
        << harness.mainFrame().statusBar()->currentMessage().toStdString();
    harness.mainFrame().statusBar()->clearMessage();
    project->Build();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(project->m_pOutputWnd->ShownText(), viaFallback);
    EXPECT_EQ(harness.mainFrame().statusBar()->currentMessage(), "");
    harness.app().settings().keepCompilerRunning = 0;
    project->Build();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(project->m_pOutputWnd->ShownText(), viaFallback);
    EXPECT_TRUE(viaFallback.endsWith("1 error\r\nExit code: 1\r\nThere were errors"))
        << viaFallback.toStdString();
}

// Runs a command line the service cannot take as it is: a -J option goes to the launcher.
TEST_F(ServiceBuildTest, OnlyRunsTheServiceCanDoExactlyGoThroughIt) {
    const QString javac = jdk + "/bin/javac";
    const auto run = [&](const QString &program, const QString &commandLine) {
        return serviceToolRunFor(program, commandLine, harness.folder()).has_value();
    };
    EXPECT_TRUE(run(javac, "javac A.java -g"));
    EXPECT_TRUE(run(jdk + "/bin/jar", "jar tvf a.jar"));
    EXPECT_FALSE(run(javac, "javac A.java -J-Xmx1g"));
    EXPECT_FALSE(run(jdk + "/bin/java", "java Main"));
    EXPECT_FALSE(run(harness.folder() + "/javac", "javac A.java"));
    qputenv("JAVA_TOOL_OPTIONS", "-Dx=1");
    EXPECT_FALSE(run(javac, "javac A.java"));
    qunsetenv("JAVA_TOOL_OPTIONS");
}

} // namespace
