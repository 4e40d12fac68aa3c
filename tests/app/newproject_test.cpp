#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "framework/frame.h"
#include "framework/recentfilelist.h"
#include "framework/view.h"
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
#include <QTest>

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

QRadioButton *radio(QDialog &dialog, ProjectKind kind) {
    const int ids[] = {CNewProjectDialog::kEmptyRadioId, CNewProjectDialog::kApplicationRadioId,
                       CNewProjectDialog::kAppletRadioId};
    return dialog.findChild<QRadioButton *>(u"radio%1"_s.arg(ids[static_cast<int>(kind)]));
}

QLineEdit *classNameEdit(QDialog &dialog) {
    return dialog.findChild<QLineEdit *>(u"edit%1"_s.arg(CNewProjectDialog::kClassNameEditId));
}

QPushButton *button(QDialog &dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox *>()->button(which);
}

// Fills in the New Project dialog as a user does: picks the kind, types the class name over the
// selected one and presses OK.
void fillIn(QDialog &dialog, ProjectKind kind, const QString &className) {
    dialog.show();
    QTest::mouseClick(radio(dialog, kind), Qt::LeftButton);
    QLineEdit *edit = classNameEdit(dialog);
    if (className.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit, className);
    }
    QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
}

// A running Tarvo in which the tests choose "New Project..." from the menu.
class NewProjectTest : public testing::Test {
protected:
    AppHarness harness;

    CMainFrame &frame() const { return harness.mainFrame(); }
    QString folder() const { return harness.folder() + u"/work"_s; }
    QString pathIn(const QString &name) const { return folder() + u"/"_s + name; }
    QStringList messages() const { return harness.prompter().messageTexts(); }

    void SetUp() override { QDir().mkpath(folder()); }

    // Chooses "New Project..." with the dialog filled in and, when savePath is given, that
    // path chosen in the save dialog.
    void newProject(ProjectKind kind, const QString &className, const QString &savePath = {}) {
        harness.prompter().runDialogNext([kind, className](QDialog &dialog) {
            fillIn(dialog, kind, className);
            return dialog.result();
        });
        if (!savePath.isEmpty()) {
            harness.prompter().saveAsNext(savePath);
        }
        ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
        AppHarness::processEvents();
    }

    CJavaProjectDoc *project() const { return harness.app().GetProjectDoc(); }

    QStringList windowTitles() const {
        QStringList titles;
        for (fw::Frame *each : frame().frames()) {
            if (fw::View *view = each->view(); view && view->doc()) {
                titles << view->doc()->title();
            }
        }
        titles.sort();
        return titles;
    }
};

TEST_F(NewProjectTest, ApplicationProjectWritesTheClassAndSavesTheProjectWithIt) {
    newProject(ProjectKind::Application, u"Demo"_s, pathIn(u"Demo.jpr"_s));

    const fw::FileDialogOptions &options = harness.prompter().fileDialogs().back();
    EXPECT_EQ(options.filter, u"Java Projects (*.jpr)|*.jpr||"_s);
    EXPECT_EQ(options.defaultExtension, u"jpr"_s);
    EXPECT_EQ(options.initialName, u"Demo.jpr"_s);
    EXPECT_TRUE(options.overwritePrompt);

    EXPECT_EQ(readFile(pathIn(u"Demo.java"_s)), applicationSource("Demo"));
    const ProjectFileContents saved = readProject(pathIn(u"Demo.jpr"_s));
    ASSERT_EQ(saved.m_fileList.GetCount(), 1);
    EXPECT_EQ(saved.m_fileList.GetAt(0)->GetFileName(), u"Demo.java"_s);
    EXPECT_EQ(saved.m_fileList.GetAt(0)->GetPath(), pathIn(u"Demo.java"_s));
    EXPECT_EQ(saved.m_strMainFile, u"Demo.java"_s);
    EXPECT_EQ(saved.m_strMainFolder, folder());
    EXPECT_EQ(saved.m_strHtmlFile, QString());

    ASSERT_NE(project(), nullptr);
    EXPECT_EQ(project()->pathName(), pathIn(u"Demo.jpr"_s));
    EXPECT_FALSE(project()->isModified());
    EXPECT_EQ(windowTitles(), (QStringList{u"Demo.java"_s, u"Demo.jpr"_s}));
    EXPECT_EQ(harness.app().recentFiles().entries().value(0), pathIn(u"Demo.jpr"_s));
    EXPECT_FALSE(frame().commandState(CommandId::RunApplet).isEnabled());
    EXPECT_EQ(messages(), QStringList());
}

TEST_F(NewProjectTest, AppletProjectAlsoWritesThePageAndMakesItTheHtmlFile) {
    newProject(ProjectKind::Applet, u"Clock"_s, pathIn(u"Clock.jpr"_s));

    EXPECT_EQ(readFile(pathIn(u"Clock.java"_s)), appletSource("Clock"));
    EXPECT_EQ(readFile(pathIn(u"Example1.html"_s)), appletPage("Clock"));
    const ProjectFileContents saved = readProject(pathIn(u"Clock.jpr"_s));
    ASSERT_EQ(saved.m_fileList.GetCount(), 1);
    EXPECT_EQ(saved.m_strMainFile, u"Clock.java"_s);
    EXPECT_EQ(saved.m_strHtmlFile, u"Example1.html"_s);
    EXPECT_EQ(saved.m_strHtmlPath, pathIn(u"Example1.html"_s));
    EXPECT_FALSE(project()->isModified());
    // The page is not opened in a window.
    EXPECT_EQ(windowTitles(), (QStringList{u"Clock.java"_s, u"Clock.jpr"_s}));
    EXPECT_TRUE(frame().commandState(CommandId::RunApplet).isEnabled());
}

TEST_F(NewProjectTest, ClosedNewProjectIsReopenedThroughRecentProjects) {
    newProject(ProjectKind::Application, u"Demo"_s, pathIn(u"Demo.jpr"_s));
    harness.app().ActivateProjectWindow();
    ASSERT_TRUE(frame().executeCommand(CommandId::FileClose));
    AppHarness::processEvents();
    ASSERT_EQ(project(), nullptr);

    harness.prompter().runDialogNext([](QDialog &dialog) {
        dialog.show();
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        return dialog.result();
    });
    ASSERT_TRUE(frame().executeCommand(CommandId::RecentProjects));
    ASSERT_NE(project(), nullptr);
    EXPECT_EQ(project()->pathName(), pathIn(u"Demo.jpr"_s));
    EXPECT_EQ(project()->m_strMainFile, u"Demo.java"_s);
    EXPECT_EQ(project()->GetFullPath(u"Demo.java"_s), pathIn(u"Demo.java"_s));
}

TEST_F(NewProjectTest, EmptyProjectStaysUntitledAndAsksForNoFile) {
    newProject(ProjectKind::Empty, QString());
    ASSERT_NE(project(), nullptr);
    EXPECT_EQ(project()->pathName(), QString());
    EXPECT_EQ(project()->GetFileList().GetCount(), 0);
    EXPECT_TRUE(harness.prompter().fileDialogs().empty());
    EXPECT_EQ(messages(), QStringList());
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList());
}

TEST_F(NewProjectTest, CancelledSaveDialogLeavesAnUntitledEmptyProjectOpen) {
    newProject(ProjectKind::Application, u"Demo"_s);
    ASSERT_NE(project(), nullptr);
    EXPECT_EQ(project()->pathName(), QString());
    EXPECT_EQ(project()->GetFileList().GetCount(), 0);
    EXPECT_EQ(windowTitles().size(), 1);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList());
}

TEST_F(NewProjectTest, CancelledDialogMakesNoProject) {
    harness.prompter().runDialogNext([](QDialog &dialog) {
        dialog.show();
        QTest::mouseClick(button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        return dialog.result();
    });
    ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
    EXPECT_EQ(project(), nullptr);
}

TEST_F(NewProjectTest, OpenProjectIsClosedFirstAndCancelKeepsIt) {
    newProject(ProjectKind::Application, u"Demo"_s, pathIn(u"Demo.jpr"_s));
    CJavaProjectDoc *first = project();

    const int dialogsBefore = harness.prompter().dialogsRun();
    harness.prompter().answerNext(fw::Answer::Cancel);
    ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
    EXPECT_EQ(messages(), QStringList{u"Do you want to close the current project?"_s});
    // Cancelling the question ends the command before the New Project dialog.
    EXPECT_EQ(harness.prompter().dialogsRun(), dialogsBefore);
    EXPECT_EQ(project(), first);

    harness.prompter().answerNext(fw::Answer::Ok);
    newProject(ProjectKind::Empty, QString());
    EXPECT_EQ(project()->pathName(), QString());
    // The closed project is the last one and the most recent.
    EXPECT_EQ(harness.app().settings().recentProjects.value(0), pathIn(u"Demo.jpr"_s));
}

// A name that holds a separator would put the class outside the project's folder.
TEST_F(NewProjectTest, ClassNameWithASeparatorIsRefusedInTheDialog) {
    harness.prompter().runDialogNext([](QDialog &dialog) {
        fillIn(dialog, ProjectKind::Application, u"../Evil"_s);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(classNameEdit(dialog)->text(), u"../Evil"_s);
        dialog.reject();
        return dialog.result();
    });
    ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
    EXPECT_EQ(messages(), QStringList{CNewProjectDialog::kSeparatorMessage});
    EXPECT_EQ(project(), nullptr);
}

struct EmptyNameCase {
    const char *name;
    ProjectKind kind;
    bool refused;
};

class EmptyClassNameTest : public testing::TestWithParam<EmptyNameCase> {};

TEST_P(EmptyClassNameTest, IsRefusedUnlessTheProjectIsEmpty) {
    testing_support::ScriptedPrompter::Installed prompter;
    CNewProjectDialog dialog;
    fillIn(dialog, GetParam().kind, QString());
    if (GetParam().refused) {
        EXPECT_EQ(prompter->messageTexts(), QStringList{CNewProjectDialog::kNoClassNameMessage});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(classNameEdit(dialog)->text(), u"MyApp"_s);
    } else {
        EXPECT_EQ(prompter->messageTexts(), QStringList());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
}

const EmptyNameCase kEmptyNameCases[] = {
    {"ApplicationProject", ProjectKind::Application, true},
    {"AppletProject", ProjectKind::Applet, true},
    {"EmptyProject", ProjectKind::Empty, false},
};

INSTANTIATE_TEST_SUITE_P(Kinds, EmptyClassNameTest, testing::ValuesIn(kEmptyNameCases),
                         testing_support::CaseName());

TEST(NewProjectDialog, OpensOnAnEmptyProjectWithTheWholeClassNameSelected) {
    CNewProjectDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), u"New Project"_s);
    EXPECT_TRUE(radio(dialog, ProjectKind::Empty)->isChecked());
    EXPECT_EQ(classNameEdit(dialog)->selectedText(), u"MyApp"_s);
    EXPECT_EQ(dialog.focusWidget(), classNameEdit(dialog));
    // Spaces and other characters are taken as typed.
    QTest::keyClicks(classNameEdit(dialog), u"My App$"_s);
    QTest::mouseClick(radio(dialog, ProjectKind::Applet), Qt::LeftButton);
    QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.kind(), ProjectKind::Applet);
    EXPECT_EQ(dialog.className(), u"My App$"_s);
}

// A folder that already holds the class's file or the page: the user is asked before either is
// replaced, and No ends the command with the project as it was last saved.
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
    const bool replaced = test.answer == fw::Answer::Yes;
    EXPECT_EQ(readFile(existing) == "the user's own file", !replaced);
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

TEST_F(NewProjectTest, SourceThatCannotBeWrittenIsNamedWithTheReason) {
    // A class name longer than a file name may be.
    const QString className(300, u'L');
    newProject(ProjectKind::Application, className, pathIn(u"Long.jpr"_s));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(u"Could not write "_s + pathIn(className)))
        << messages().first().toStdString();
    EXPECT_GT(messages().first().section(u'\n', 1).size(), 0);
    EXPECT_EQ(readProject(pathIn(u"Long.jpr"_s)).m_fileList.GetCount(), 0);
    EXPECT_FALSE(project()->isModified());
}

TEST(NewProjectCommands, AreEnabledWithAndWithoutWindows) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const int ids[] = {CommandId::NewProject, CommandId::RecentProjects, CommandId::AppAbout};
    for (int id : ids) {
        EXPECT_TRUE(frame.commandState(id).isEnabled()) << id;
    }
    ASSERT_TRUE(harness.app().NewSourceDocument(u"Vosk"_s));
    for (int id : ids) {
        EXPECT_TRUE(frame.commandState(id).isEnabled()) << id;
    }
}

// Java programs started while it lives run without a display, as the tests do.
class HeadlessJava {
public:
    HeadlessJava()
        : m_hadOptions(qEnvironmentVariableIsSet(kVariable))
        , m_options(qgetenv(kVariable)) {
        qputenv(kVariable, "-Djava.awt.headless=true");
    }
    ~HeadlessJava() {
        if (m_hadOptions) {
            qputenv(kVariable, m_options);
        } else {
            qunsetenv(kVariable);
        }
    }
    HeadlessJava(const HeadlessJava &) = delete;
    HeadlessJava &operator=(const HeadlessJava &) = delete;

private:
    static constexpr char kVariable[] = "JAVA_TOOL_OPTIONS";
    bool m_hadOptions;
    QByteArray m_options;
};

// A new user's first hour: an application project from New Project builds and runs with the
// real JDK.
TEST_F(NewProjectTest, ApplicationProjectBuildsAndRunsWithTheJdk) {
    const QString jdk = AppSettings::defaultJdkFolder();
    if (!QFileInfo(jdk + u"/bin/javac"_s).isExecutable()) {
        GTEST_SKIP() << "no JDK found";
    }
    harness.app().settings().jdkFolder = jdk;
    // The frame cannot show here; the program says it started before it finds that out.
    const HeadlessJava headless;

    newProject(ProjectKind::Application, u"Demo"_s, pathIn(u"Demo.jpr"_s));
    ASSERT_NE(project(), nullptr);
    CProcessOutputDialog &output = *project()->m_pOutputWnd;
    const auto waitForEnd = [&output] {
        return QTest::qWaitFor([&output] { return !IsProcessRunning() && !output.isWatching(); },
                               60000);
    };
    ASSERT_TRUE(frame().executeCommand(CommandId::Build));
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(output.ShownText().endsWith(u"No Errors"_s)) << output.ShownText().toStdString();
    EXPECT_TRUE(QFileInfo::exists(pathIn(u"Demo.class"_s)));

    ASSERT_TRUE(frame().executeCommand(CommandId::RunApplication));
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(output.ShownText().contains(u"Starting App\r\n"_s))
        << output.ShownText().toStdString();
}

} // namespace
