// A program run from Tarvo, as a user meets it: leaving Tarvo while it runs, the command keys and
// where the keyboard goes around the output window, and an output window that cannot be lost.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "framework/view.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "tools/coutputedit.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

const QString kAbortQuestion = u"The process is still running, do you wish to abort it?"_s;

// Whether the process has ended: gone, or a zombie that nobody reaps yet.
bool hasEnded(const QString &pid) {
    QFile stat("/proc/"_L1 + pid + "/stat"_L1);
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

class RunLifetimeTest : public testing::Test {
protected:
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;

    CMainFrame &frame() const { return harness.mainFrame(); }
    CProcessOutputDialog &output() const { return *project->m_pOutputWnd; }
    QString shown() const { return output().ShownText(); }
    QString log() const {
        QFile file(harness.folder() + "/log");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void openProject(const QString &mainFile, const QByteArray &text) {
        ProjectFileContents contents;
        auto file = std::make_unique<CJavaFile>();
        file->SetFileName(mainFile);
        file->SetPath(harness.writeFile(mainFile, text));
        contents.m_fileList.Add(file);
        contents.m_strMainFile = mainFile;
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(
            harness.writeFile(u"P.jpr"_s, storeProjectFile(contents))));
        ASSERT_NE(project, nullptr);
        harness.app().settings().saveBeforeCompile = 0;
    }
    // javac and java are scripts that write what they were asked to do into the log.
    void useLoggingJdk() {
        QDir().mkpath(harness.folder() + "/jdk/bin");
        for (const char *tool : {"javac", "java"}) {
            const QString path = harness.writeFile(
                "jdk/bin/"_L1 + QLatin1String(tool),
                "#!/bin/sh\necho \"" + QByteArray(tool) + " $*\" | tee -a \""
                    + QFile::encodeName(harness.folder()) + "/log\"\nsleep \"${SLEEP:-0}\"\n");
            QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        harness.app().settings().jdkFolder = harness.folder() + "/jdk";
    }
    bool waitForEnd() {
        return QTest::qWaitFor([this] { return !IsProcessRunning() && !output().isWatching(); },
                               60000);
    }
    QPlainTextEdit *sourceEditor() {
        fw::View *view = frame().activeView();
        return view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
    }
    // Gives the keyboard to widget, in its window, as a click would.
    // The window's activation is waited for, so that it cannot arrive late and take the
    // keyboard back from a window activated after it.
    static void giveKeyboard(QWidget *widget) {
        widget->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(widget->window(), 5000));
        widget->setFocus(Qt::MouseFocusReason);
        EXPECT_TRUE(
            QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }, 5000));
    }
    static bool keyboardReaches(QWidget *widget) {
        return QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }, 5000);
    }
    void stopRun() {
        harness.prompter().answerNext(fw::Answer::Ok);
        output().StopRun();
        ASSERT_TRUE(waitForEnd());
    }
};

// F5, F7 and Ctrl+M do in the output window what they do in the main window. A Build
// leaves the keyboard where it was, in the source or in the output window; a Run that takes
// input puts it into the input row, also when the output window is there already.
TEST_F(RunLifetimeTest, CommandKeysWorkInTheOutputWindowAndTheKeyboardGoesWhereExpected) {
    useLoggingJdk();
    openProject(u"Main.java"_s, "class Main {}\n");
    harness.app().openDocumentFile(harness.folder() + "/Main.java"_L1);
    QPlainTextEdit *editor = sourceEditor();
    ASSERT_NE(editor, nullptr);

    giveKeyboard(editor);
    QTest::keyClick(editor, Qt::Key_F7);
    ASSERT_TRUE(waitForEnd());
    ASSERT_TRUE(output().IsOpen());
    EXPECT_TRUE(shown().startsWith(u"javac "_s)) << shown().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), editor);

    // F5 from the source, the output window being open: the answer goes to the input row.
    qputenv("SLEEP", "30");
    harness.prompter().answerNext(fw::Answer::No); // run what is there, no build first
    QTest::keyClick(editor, Qt::Key_F5);
    qunsetenv("SLEEP");
    ProcessOutputWindow *window = output().window();
    ASSERT_TRUE(QTest::qWaitFor([this] { return shown().startsWith(u"java "_s); }, 30000));
    // The output window's activation, and so the keyboard's arrival, comes when the window
    // system answers.
    EXPECT_TRUE(keyboardReaches(window->inputLine()));
    EXPECT_FALSE(window->captionField()->text().contains(u"Building"_s))
        << window->captionField()->text().toStdString();
    stopRun();

    COutputEdit *outputEdit = window->outputEdit();
    giveKeyboard(outputEdit);
    const QStringList keys{u"F7"_s, u"Ctrl+M"_s};
    for (const QString &key : keys) {
        SCOPED_TRACE(key.toStdString());
        const qsizetype logged = log().count(u'\n');
        const QKeySequence sequence(key);
        QTest::keySequence(outputEdit, sequence);
        ASSERT_TRUE(QTest::qWaitFor([&] { return log().count(u'\n') > logged; }, 30000));
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(QApplication::focusWidget(), outputEdit);
    }
    EXPECT_EQ(log().count(u"javac "_s), 3) << log().toStdString();

    qputenv("SLEEP", "30");
    harness.prompter().answerNext(fw::Answer::No);
    QTest::keyClick(outputEdit, Qt::Key_F5);
    qunsetenv("SLEEP");
    ASSERT_TRUE(QTest::qWaitFor([this] { return shown().startsWith(u"java "_s); }, 30000));
    EXPECT_TRUE(keyboardReaches(window->inputLine()));
    stopRun();
}

// File > Exit while a program runs asks what closing its output window asks: Cancel keeps Tarvo
// open with the program running, OK ends the program and Tarvo closes.
TEST_F(RunLifetimeTest, ExitWhileAProgramRunsAsksAndOkEndsTheProgram) {
    if (!harness.useRealJdk()) {
        GTEST_SKIP() << "no JDK found";
    }
    const QString jdk = harness.app().settings().jdkFolder;
    openProject(u"Looper.java"_s,
                "public class Looper {\n"
                "    public static void main(String[] args) throws Exception {\n"
                "        System.out.println(\"pid \" + ProcessHandle.current().pid());\n"
                "        for (;;) { Thread.sleep(100); }\n"
                "    }\n"
                "}\n");
    QProcess javac;
    javac.setWorkingDirectory(harness.folder());
    javac.start(jdk + "/bin/javac", {u"Looper.java"_s});
    ASSERT_TRUE(javac.waitForFinished(180000));
    ASSERT_EQ(javac.exitCode(), 0);

    ASSERT_TRUE(frame().executeCommand(CommandId::RunApplication));
    ASSERT_TRUE(QTest::qWaitFor([this] { return shown().contains(u"\r\n"_s); }, 60000));
    const QString pid = shown().section(u' ', 1).section(u'\r', 0, 0);
    ASSERT_FALSE(hasEnded(pid)) << shown().toStdString();

    harness.prompter().answerNext(fw::Answer::Cancel);
    frame().executeCommand(CommandId::AppExit);
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{kAbortQuestion});
    EXPECT_TRUE(frame().isVisible());
    EXPECT_TRUE(IsProcessRunning());

    harness.prompter().answerNext(fw::Answer::Ok);
    frame().close(); // the main window's close box
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList(2, kAbortQuestion));
    EXPECT_FALSE(frame().isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasEnded(pid); }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([] { return !IsProcessRunning(); }, 30000));
}

} // namespace
