// A new user's first hour: projects made by New Project build and run with the real JDK.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "project/cjavaprojectdoc.h"
#include "project/cnewprojectdialog.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

// Sets an environment variable until the returned guard goes.
auto setVariable(const char *name, const QByteArray &value) {
    const bool had = qEnvironmentVariableIsSet(name);
    const QByteArray old = qgetenv(name);
    qputenv(name, value);
    return qScopeGuard([=] { had ? qputenv(name, old) : qunsetenv(name); });
}

class JdkRunTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + u"/bin/javac"_s).isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        harness.app().settings().jdkFolder = jdk;
    }

    // Chooses New Project with the kind and class name set in its dialog.
    void newProject(CNewProjectDialog::ProjectKind kind, const QString &className) {
        harness.prompter().runDialogNext([&](QDialog &dialog) {
            auto &newProject = dynamic_cast<CNewProjectDialog &>(dialog);
            newProject.setKind(kind);
            newProject.setClassName(className);
            newProject.accept();
            return newProject.result();
        });
        harness.prompter().saveAsNext(harness.folder() + u'/' + className + u".jpr"_s);
        ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::NewProject));
        AppHarness::processEvents();
        project = harness.app().GetProjectDoc();
        ASSERT_NE(project, nullptr);
    }

    // Runs a command and waits until its process has ended and its output is all shown.
    bool run(int id) {
        return harness.mainFrame().executeCommand(id)
               && QTest::qWaitFor(
                   [&] { return !IsProcessRunning() && !project->m_pOutputWnd->isWatching(); },
                   120000);
    }
    QString output() const { return project->m_pOutputWnd->ShownText(); }

    const QString jdk = AppSettings::defaultJdkFolder();
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
};

TEST_F(JdkRunTest, ApplicationProjectBuildsAndRunsWithTheJdk) {
    // The frame cannot show here; the program says it started before it finds that out.
    const auto headless = setVariable("JAVA_TOOL_OPTIONS", "-Djava.awt.headless=true");
    ASSERT_NO_FATAL_FAILURE(newProject(CNewProjectDialog::ProjectKind::Application, u"Demo"_s));
    EXPECT_TRUE(run(CommandId::Build));
    EXPECT_TRUE(output().endsWith(u"No Errors"_s)) << output().toStdString();
    EXPECT_TRUE(run(CommandId::RunApplication));
    EXPECT_TRUE(output().contains(u"Starting App\r\n"_s)) << output().toStdString();
}

// With a JDK that has no appletviewer, a new applet project runs in the applet host, which
// compiles itself from the program folder into a cache of the test's own.
TEST_F(JdkRunTest, NewAppletProjectRunsInTheHostWhichInitsAndPaintsIt) {
    if (QFileInfo::exists(jdk + u"/bin/appletviewer"_s)) {
        GTEST_SKIP() << "the JDK has an appletviewer";
    }
    const auto cache = setVariable("XDG_CACHE_HOME", (harness.folder() + u"/cache"_s).toUtf8());
    // No display here: the host paints on an image instead of showing a window.
    const auto offscreen = setVariable(
        "JDK_JAVA_OPTIONS",
        "-Dtarvo.applethost.offscreen=true --add-opens=java.desktop/java.awt=ALL-UNNAMED");
    QDir().mkpath(harness.folder() + u"/program/help"_s);
    ASSERT_TRUE(
        QFile::copy(QDir::cleanPath(u"" TARVO_TEST_DATA_DIR "/../../../res/help/AppletHost.java"_s),
                    harness.folder() + u"/program/help/AppletHost.java"_s));
    harness.app().setAppFolder(harness.folder() + u"/program"_s);

    ASSERT_NO_FATAL_FAILURE(newProject(CNewProjectDialog::ProjectKind::Applet, u"Clock"_s));
    ASSERT_TRUE(run(CommandId::Build));
    ASSERT_TRUE(run(CommandId::RunApplet));
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
    EXPECT_TRUE(output().contains(u"Clock: init\r\nClock: start\r\n"_s)) << output().toStdString();
    const QRegularExpressionMatch paint =
        QRegularExpression(u"Clock: paint \\((\\d+) pixels drawn\\)"_s).match(output());
    ASSERT_TRUE(paint.hasMatch()) << output().toStdString();
    EXPECT_GT(paint.captured(1).toInt(), 0) << "Hello World drew nothing";
    EXPECT_TRUE(output().endsWith(u"Clock: stop\r\nClock: destroy\r\nExit code: 0\r\nNo Errors"_s))
        << output().toStdString();
}

} // namespace
