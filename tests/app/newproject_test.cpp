#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cnewprojectdialog.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;
using ProjectKind = CNewProjectDialog::ProjectKind;

// The files New Project writes, byte for byte: the template texts with the class name put in,
// CR LF line ends and none after the last line.
QByteArray applicationSource(const QByteArray &name) {
    QByteArray text = "import java.awt.*;\r\n"
                      "import java.awt.event.*;\r\n"
                      "\r\n"
                      "public class MainFrame extends Frame\r\n"
                      "{\r\n"
                      "\tpublic MainFrame()\r\n"
                      "\t{\r\n"
                      "\t\tthis.addWindowListener\t(new WindowAdapter(){\r\n"
                      "\t\t\tpublic void windowClosing(WindowEvent e){\r\n"
                      "\t\t\t\tdispose();\r\n"
                      "\t\t\t\tSystem.exit(0);\r\n"
                      "\t\t\t}\r\n"
                      "\t\t});\r\n"
                      "\t}\r\n"
                      "\t\r\n"
                      "\tpublic static void main(String args[])\r\n"
                      "\t{\r\n"
                      "\t\tSystem.out.println(\"Starting App\");\r\n"
                      "\t\tMainFrame f = new MainFrame();\r\n"
                      "\t\tf.setSize(100,100);\r\n"
                      "\t\tf.show();\r\n"
                      "\t}\r\n"
                      "}";
    return text.replace("MainFrame", name);
}

QByteArray appletSource(const QByteArray &name) {
    QByteArray text = "import java.awt.*;\r\n"
                      "import java.applet.*;\r\n"
                      "\r\n"
                      "public class MyApplet extends Applet\r\n"
                      "{\r\n"
                      "\tpublic void paint(Graphics g)\r\n"
                      "\t{\r\n"
                      "\t\tg.drawString(\"Hello World\", 20, 20);\r\n"
                      "\t}\r\n"
                      "}\t";
    return text.replace("MyApplet", name);
}

QByteArray appletPage(const QByteArray &name) {
    QByteArray text = "<HTML>\r\n"
                      "\t<HEAD>\r\n"
                      "\t\t<TITLE>MyApplet Example1</TITLE>\r\n"
                      "\t</HEAD>\r\n"
                      "\t<BODY>\r\n"
                      "\t\t<H1>MyApplet</H1>\r\n"
                      "\t\t<HR>\r\n"
                      "\t\t<P>\r\n"
                      "\t\t\t<APPLET CODE=\"MyApplet.class\" WIDTH=\"300\" HEIGHT=\"300\">\r\n"
                      "\t\t\t</APPLET>\r\n"
                      "\t\t</P>\r\n"
                      "\t\t<HR>\r\n"
                      "\t</BODY>\r\n"
                      "</HTML>";
    return text.replace("MyApplet", name);
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

ProjectFileContents readProject(const QString &path) {
    ProjectFileContents contents;
    EXPECT_TRUE(loadProjectFile(readFile(path), contents, nullptr)) << path.toStdString();
    return contents;
}

// Fills in the New Project dialog as a user does: picks the kind, types the class name over the
// selected one and presses OK.
void fillIn(QDialog &dialog, ProjectKind kind, const QString &className) {
    const int radioIds[] = {CNewProjectDialog::kEmptyRadioId,
                            CNewProjectDialog::kApplicationRadioId,
                            CNewProjectDialog::kAppletRadioId};
    dialog.show();
    QTest::mouseClick(
        dialog.findChild<QRadioButton *>(u"radio%1"_s.arg(radioIds[static_cast<int>(kind)])),
        Qt::LeftButton);
    QTest::keyClicks(
        dialog.findChild<QLineEdit *>(u"edit%1"_s.arg(CNewProjectDialog::kClassNameEditId)),
        className);
    QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

// A running Tarvo in which the tests choose "New Project..." from the menu.
class NewProjectTest : public testing::Test {
protected:
    AppHarness harness;

    CMainFrame &frame() const { return harness.mainFrame(); }
    QString folder() const { return harness.folder() + u"/work"_s; }
    QString pathIn(const QString &name) const { return folder() + u"/"_s + name; }
    QStringList messages() const { return harness.prompter().messageTexts(); }
    CJavaProjectDoc *project() const { return harness.app().GetProjectDoc(); }

    void SetUp() override { QDir().mkpath(folder()); }

    // Chooses "New Project..." with the dialog filled in and savePath chosen in the save dialog.
    void newProject(ProjectKind kind, const QString &className, const QString &savePath) {
        harness.prompter().runDialogNext([kind, className](QDialog &dialog) {
            fillIn(dialog, kind, className);
            return dialog.result();
        });
        harness.prompter().saveAsNext(savePath);
        ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
        AppHarness::processEvents();
    }
};

TEST_F(NewProjectTest, ApplicationProjectWritesTheClassAndSavesTheProjectWithIt) {
    newProject(ProjectKind::Application, u"Demo"_s, pathIn(u"Demo.jpr"_s));

    EXPECT_EQ(readFile(pathIn(u"Demo.java"_s)), applicationSource("Demo"));
    const ProjectFileContents saved = readProject(pathIn(u"Demo.jpr"_s));
    ASSERT_EQ(saved.m_fileList.GetCount(), 1);
    EXPECT_EQ(saved.m_fileList.GetAt(0)->GetPath(), pathIn(u"Demo.java"_s));
    EXPECT_EQ(saved.m_strMainFile, u"Demo.java"_s);
    ASSERT_NE(project(), nullptr);
    EXPECT_FALSE(project()->isModified());
    EXPECT_FALSE(frame().commandState(CommandId::RunApplet).isEnabled());
    EXPECT_EQ(messages(), QStringList());

    // Scanning the class again finds what the project holds: it stays unmodified (opening a
    // project's windows once marked it changed); a new method marks it.
    auto *source =
        dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(pathIn(u"Demo.java"_s)));
    ASSERT_NE(source, nullptr);
    source->RefreshFunctionList();
    EXPECT_FALSE(project()->isModified());
    QTextCursor end(source->textDocument());
    end.movePosition(QTextCursor::End);
    end.insertText(u"\nclass Extra {\n void more() {}\n}\n"_s);
    source->RefreshFunctionList();
    EXPECT_TRUE(project()->isModified());
}

TEST_F(NewProjectTest, AppletProjectAlsoWritesThePageAndMakesItTheHtmlFile) {
    newProject(ProjectKind::Applet, u"Clock"_s, pathIn(u"Clock.jpr"_s));

    EXPECT_EQ(readFile(pathIn(u"Clock.java"_s)), appletSource("Clock"));
    EXPECT_EQ(readFile(pathIn(u"Example1.html"_s)), appletPage("Clock"));
    const ProjectFileContents saved = readProject(pathIn(u"Clock.jpr"_s));
    EXPECT_EQ(saved.m_fileList.GetCount(), 1);
    EXPECT_EQ(saved.m_strHtmlPath, pathIn(u"Example1.html"_s));
    EXPECT_TRUE(frame().commandState(CommandId::RunApplet).isEnabled());
}

// A name that holds a separator would put the class outside the project's folder; a name
// with a space once made a class file that could never compile.
TEST_F(NewProjectTest, ClassNameWithASeparatorOrNotAJavaNameIsRefusedInTheDialog) {
    const std::pair<QString, QString> cases[] = {
        {u"../Evil"_s, CNewProjectDialog::kSeparatorMessage},
        {u"My App"_s, CNewProjectDialog::kNotAClassNameMessage.arg(u"My App"_s)}};
    for (const auto &[name, message] : cases) {
        harness.prompter().clear();
        harness.prompter().runDialogNext([&name](QDialog &dialog) {
            fillIn(dialog, ProjectKind::Application, name);
            EXPECT_TRUE(dialog.isVisible());
            dialog.reject();
            return dialog.result();
        });
        ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
        EXPECT_EQ(messages(), QStringList{message});
        EXPECT_EQ(project(), nullptr);
    }
}

// A folder that already holds the class's file or the page: the user is asked before either is
// replaced, and No leaves the user's file and keeps it out of the project.
struct ReplaceCase {
    const char *name;
    ProjectKind kind;
    QString existing;
    fw::Answer answer;
    int savedFiles;    // file entries in the saved project
    bool leftModified; // the project is left unsaved
};

class ReplaceTest : public NewProjectTest, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceTest, AsksBeforeReplacingAFile) {
    const ReplaceCase &test = GetParam();
    const QString existing = pathIn(test.existing);
    harness.writeFile(u"work/"_s + test.existing, "the user's own file");
    harness.prompter().answerNext(test.answer);
    newProject(test.kind, u"Demo"_s, pathIn(u"Demo.jpr"_s));

    EXPECT_EQ(messages(), QStringList{existing + u" already exists. Do you want to replace it?"_s});
    EXPECT_EQ(readFile(existing) == "the user's own file", test.answer != fw::Answer::Yes);
    EXPECT_EQ(readProject(pathIn(u"Demo.jpr"_s)).m_fileList.GetCount(), test.savedFiles);
    EXPECT_EQ(project()->isModified(), test.leftModified);
}

const ReplaceCase kReplaceCases[] = {
    {"SourceKeptOnNo", ProjectKind::Application, u"Demo.java"_s, fw::Answer::No, 0, false},
    {"SourceReplacedOnYes", ProjectKind::Application, u"Demo.java"_s, fw::Answer::Yes, 1, false},
    {"PageKeptOnNo", ProjectKind::Applet, u"Example1.html"_s, fw::Answer::No, 0, true},
    {"PageReplacedOnYes", ProjectKind::Applet, u"Example1.html"_s, fw::Answer::Yes, 1, false},
};

INSTANTIATE_TEST_SUITE_P(Answers, ReplaceTest, testing::ValuesIn(kReplaceCases),
                         testing_support::CaseName());

// A new user's first hour: an application project from New Project builds and runs with the
// real JDK.
TEST_F(NewProjectTest, ApplicationProjectBuildsAndRunsWithTheJdk) {
    const QString jdk = AppSettings::defaultJdkFolder();
    if (!QFileInfo(jdk + u"/bin/javac"_s).isExecutable()) {
        GTEST_SKIP() << "no JDK found";
    }
    harness.app().settings().jdkFolder = jdk;
    // The frame cannot show here; the program says it started before it finds that out.
    const bool hadOptions = qEnvironmentVariableIsSet("JAVA_TOOL_OPTIONS");
    const QByteArray oldOptions = qgetenv("JAVA_TOOL_OPTIONS");
    qputenv("JAVA_TOOL_OPTIONS", "-Djava.awt.headless=true");
    const auto restore = qScopeGuard([&] {
        hadOptions ? qputenv("JAVA_TOOL_OPTIONS", oldOptions) : qunsetenv("JAVA_TOOL_OPTIONS");
    });

    newProject(ProjectKind::Application, u"Demo"_s, pathIn(u"Demo.jpr"_s));
    ASSERT_NE(project(), nullptr);
    CProcessOutputDialog &output = *project()->m_pOutputWnd;
    const auto run = [&](int id) {
        return frame().executeCommand(id)
               && QTest::qWaitFor([&] { return !IsProcessRunning() && !output.isWatching(); },
                                  60000);
    };
    EXPECT_TRUE(run(CommandId::Build));
    EXPECT_TRUE(output.ShownText().endsWith(u"No Errors"_s)) << output.ShownText().toStdString();
    EXPECT_TRUE(run(CommandId::RunApplication));
    EXPECT_TRUE(output.ShownText().contains(u"Starting App\r\n"_s))
        << output.ShownText().toStdString();
}

} // namespace
