#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "project/cjavaprojectdoc.h"
#include "project/cnewprojectdialog.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

// A new applet project, built and run with a real JDK that has no appletviewer, runs in the
// applet host, which compiles itself from the program folder into a cache of the test's own.
TEST(AppletHostRun, NewAppletProjectRunsInTheHostWhichInitsAndPaintsIt) {
    const QString jdk = AppSettings::defaultJdkFolder();
    if (!QFileInfo(jdk + u"/bin/javac"_s).isExecutable()
        || QFileInfo::exists(jdk + u"/bin/appletviewer"_s)) {
        GTEST_SKIP() << "no JDK without appletviewer found";
    }
    AppHarness harness;
    const auto cache = setVariable("XDG_CACHE_HOME", (harness.folder() + u"/cache"_s).toUtf8());
    // No display here: the host paints on an image instead of showing a window.
    const auto offscreen = setVariable(
        "JDK_JAVA_OPTIONS",
        "-Dtarvo.applethost.offscreen=true --add-opens=java.desktop/java.awt=ALL-UNNAMED");
    const QString work = harness.folder() + u"/work"_s;
    QDir().mkpath(work);
    QDir().mkpath(harness.folder() + u"/program/help"_s);
    const QString source =
        QDir::cleanPath(u"" TARVO_TEST_DATA_DIR "/../../../res/help/AppletHost.java"_s);
    ASSERT_TRUE(QFile::copy(source, harness.folder() + u"/program/help/AppletHost.java"_s));
    harness.app().setAppFolder(harness.folder() + u"/program"_s);
    harness.app().settings().jdkFolder = jdk;

    harness.prompter().runDialogNext([](QDialog &dialog) {
        dialog.show();
        QTest::mouseClick(
            dialog.findChild<QRadioButton *>(u"radio%1"_s.arg(CNewProjectDialog::kAppletRadioId)),
            Qt::LeftButton);
        QTest::keyClicks(
            dialog.findChild<QLineEdit *>(u"edit%1"_s.arg(CNewProjectDialog::kClassNameEditId)),
            u"Clock"_s);
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        return dialog.result();
    });
    harness.prompter().saveAsNext(work + u"/Clock.jpr"_s);
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::NewProject));
    AppHarness::processEvents();
    CJavaProjectDoc *project = harness.app().GetProjectDoc();
    ASSERT_NE(project, nullptr);
    const auto run = [&](int id) {
        return harness.mainFrame().executeCommand(id)
               && QTest::qWaitFor(
                   [&] { return !IsProcessRunning() && !project->m_pOutputWnd->isWatching(); },
                   120000);
    };
    ASSERT_TRUE(run(CommandId::Build));
    ASSERT_TRUE(run(CommandId::RunApplet));
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
    const QString output = project->m_pOutputWnd->ShownText();
    EXPECT_TRUE(output.contains(u"Clock: init\r\nClock: start\r\n"_s)) << output.toStdString();
    const QRegularExpressionMatch paint =
        QRegularExpression(u"Clock: paint \\((\\d+) pixels drawn\\)"_s).match(output);
    ASSERT_TRUE(paint.hasMatch()) << output.toStdString();
    EXPECT_GT(paint.captured(1).toInt(), 0) << "Hello World drew nothing";
    EXPECT_TRUE(output.endsWith(u"Clock: stop\r\nClock: destroy\r\nExit code: 0\r\nNo Errors"_s))
        << output.toStdString();
}

} // namespace
