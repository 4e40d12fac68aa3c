#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "project/cjavaprojectdoc.h"
#include "project/cnewprojectdialog.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

// Sets an environment variable for the life of the object.
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

// A running Tarvo whose program folder holds the applet host's source, with an applet project
// made by New Project, on a JDK without appletviewer.
class AppletHostRunTest : public testing::Test {
protected:
    AppHarness harness;
    // The compiled host goes to a cache of the test's own.
    ScopedVariable cache{"XDG_CACHE_HOME", (harness.folder() + u"/cache"_s).toUtf8()};

    CMainFrame &frame() const { return harness.mainFrame(); }
    QString work() const { return harness.folder() + u"/work"_s; }
    CJavaProjectDoc *project() const { return harness.app().GetProjectDoc(); }

    void SetUp() override {
        QDir().mkpath(work());
        QDir().mkpath(harness.folder() + u"/program/help"_s);
        const QString source =
            QDir::cleanPath(u"" TARVO_TEST_DATA_DIR "/../../../res/help/AppletHost.java"_s);
        ASSERT_TRUE(QFile::copy(source, harness.folder() + u"/program/help/AppletHost.java"_s))
            << source.toStdString();
        harness.app().setAppFolder(harness.folder() + u"/program"_s);
    }

    // Makes the applet project Clock with New Project, as a user does.
    void newAppletProject() {
        harness.prompter().runDialogNext([](QDialog &dialog) {
            dialog.show();
            QTest::mouseClick(dialog.findChild<QRadioButton *>(
                                  u"radio%1"_s.arg(CNewProjectDialog::kAppletRadioId)),
                              Qt::LeftButton);
            QTest::keyClicks(
                dialog.findChild<QLineEdit *>(u"edit%1"_s.arg(CNewProjectDialog::kClassNameEditId)),
                u"Clock"_s);
            QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
            return dialog.result();
        });
        harness.prompter().saveAsNext(work() + u"/Clock.jpr"_s);
        ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
        AppHarness::processEvents();
        ASSERT_NE(project(), nullptr);
    }

    QString shown() const { return project()->m_pOutputWnd->ShownText(); }
    bool runCommand(int id) {
        if (!frame().executeCommand(id)) {
            return false;
        }
        return QTest::qWaitFor(
            [this] { return !IsProcessRunning() && !project()->m_pOutputWnd->isWatching(); },
            120000);
    }
};

TEST_F(AppletHostRunTest, NewAppletProjectRunsInTheHostWhichInitsAndPaintsIt) {
    const QString jdk = AppSettings::defaultJdkFolder();
    if (!QFileInfo(jdk + u"/bin/javac"_s).isExecutable()) {
        GTEST_SKIP() << "no JDK found";
    }
    if (QFileInfo::exists(jdk + u"/bin/appletviewer"_s)) {
        GTEST_SKIP() << "this JDK has appletviewer";
    }
    harness.app().settings().jdkFolder = jdk;
    // No display here: the host paints on an image instead of showing a window.
    const ScopedVariable offscreen(
        "JDK_JAVA_OPTIONS",
        "-Dtarvo.applethost.offscreen=true --add-opens=java.desktop/java.awt=ALL-UNNAMED");
    newAppletProject();
    ASSERT_TRUE(runCommand(CommandId::Build));
    ASSERT_TRUE(shown().endsWith(u"No Errors"_s)) << shown().toStdString();

    ASSERT_TRUE(runCommand(CommandId::RunApplet));
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
    EXPECT_EQ(harness.app().toolCaption(), u"Applet Host: \"Example1.html\""_s);
    const QString output = shown();
    EXPECT_TRUE(output.contains(u"Clock: init\r\nClock: start\r\n"_s)) << output.toStdString();
    const QRegularExpressionMatch paint =
        QRegularExpression(u"Clock: paint \\((\\d+) pixels drawn\\)"_s).match(output);
    ASSERT_TRUE(paint.hasMatch()) << output.toStdString();
    EXPECT_GT(paint.captured(1).toInt(), 0) << "Hello World drew nothing";
    EXPECT_TRUE(output.endsWith(u"Clock: stop\r\nClock: destroy\r\nExit code: 0\r\nNo Errors"_s))
        << output.toStdString();
    EXPECT_EQ(QDir::currentPath(), work());

    // Compiled once into the cache; the next run uses it as it is.
    const QStringList cached = QDir(harness.folder() + u"/cache/tarvo/applethost"_s)
                                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(cached.size(), 1);
    const QString hostClass =
        harness.folder() + u"/cache/tarvo/applethost/"_s + cached.first() + u"/AppletHost.class"_s;
    const QDateTime compiled = QFileInfo(hostClass).lastModified();
    ASSERT_TRUE(compiled.isValid());
    ASSERT_TRUE(runCommand(CommandId::RunApplet));
    EXPECT_TRUE(shown().contains(u"Clock: paint ("_s));
    EXPECT_EQ(QFileInfo(hostClass).lastModified(), compiled);
}

TEST_F(AppletHostRunTest, JdkWithoutAppletClassesIsNamedInsteadOfACompilerError) {
    newAppletProject();
    QDir().mkpath(harness.folder() + u"/jdk26/bin"_s);
    harness.writeFile(u"jdk26/release"_s, "JAVA_VERSION=\"26\"\n");
    harness.app().settings().jdkFolder = harness.folder() + u"/jdk26"_s;
    harness.prompter().clear();
    ASSERT_TRUE(frame().executeCommand(CommandId::RunApplet));
    const QStringList messages = harness.prompter().messageTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith(u"This JDK (Java 26) has no applet classes"_s));
    EXPECT_TRUE(messages.first().contains(u"JDK 1.0 up to JDK 25"_s));
    EXPECT_FALSE(IsProcessRunning());
    EXPECT_FALSE(QFileInfo::exists(harness.folder() + u"/cache/tarvo"_s));
}

} // namespace
