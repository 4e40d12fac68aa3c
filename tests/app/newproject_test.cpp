#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cnewprojectdialog.h"
#include "project/projectfile.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;
using ProjectKind = CNewProjectDialog::ProjectKind;

// The files New Project writes, byte for byte: the template texts with the class name put in,
// CR LF line ends and none after the last line.
const QByteArray kDemoSource =
    "import java.awt.*;\r\nimport java.awt.event.*;\r\n\r\n"
    "public class Demo extends Frame\r\n{\r\n\tpublic Demo()\r\n\t{\r\n"
    "\t\tthis.addWindowListener\t(new WindowAdapter(){\r\n"
    "\t\t\tpublic void windowClosing(WindowEvent e){\r\n"
    "\t\t\t\tdispose();\r\n\t\t\t\tSystem.exit(0);\r\n\t\t\t}\r\n\t\t});\r\n"
    "\t}\r\n\t\r\n\tpublic static void main(String args[])\r\n\t{\r\n"
    "\t\tSystem.out.println(\"Starting App\");\r\n"
    "\t\tDemo f = new Demo();\r\n\t\tf.setSize(100,100);\r\n\t\tf.show();\r\n"
    "\t}\r\n}";
const QByteArray kClockSource = "import java.awt.*;\r\nimport java.applet.*;\r\n\r\n"
                                "public class Clock extends Applet\r\n{\r\n"
                                "\tpublic void paint(Graphics g)\r\n\t{\r\n"
                                "\t\tg.drawString(\"Hello World\", 20, 20);\r\n\t}\r\n}\t";
const QByteArray kClockPage =
    "<HTML>\r\n\t<HEAD>\r\n\t\t<TITLE>Clock Example1</TITLE>\r\n\t</HEAD>\r\n"
    "\t<BODY>\r\n\t\t<H1>Clock</H1>\r\n\t\t<HR>\r\n\t\t<P>\r\n"
    "\t\t\t<APPLET CODE=\"Clock.class\" WIDTH=\"300\" HEIGHT=\"300\">\r\n"
    "\t\t\t</APPLET>\r\n\t\t</P>\r\n\t\t<HR>\r\n\t</BODY>\r\n</HTML>";

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
    QString pathIn(const QString &name) const { return harness.folder() + u'/' + name; }
    QStringList messages() const { return harness.prompter().messageTexts(); }
    CJavaProjectDoc *project() const { return harness.app().GetProjectDoc(); }

    // Chooses "New Project..." with the dialog filled in; the project is saved as CLASS.jpr.
    void newProject(ProjectKind kind, const QString &className) {
        harness.prompter().runDialogNext([kind, className](QDialog &dialog) {
            fillIn(dialog, kind, className);
            return dialog.result();
        });
        harness.prompter().saveAsNext(pathIn(className + u".jpr"_s));
        ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
        AppHarness::processEvents();
    }
};

TEST_F(NewProjectTest, ApplicationProjectWritesTheClassAndSavesTheProjectWithIt) {
    newProject(ProjectKind::Application, u"Demo"_s);

    EXPECT_EQ(readFile(pathIn(u"Demo.java"_s)), kDemoSource);
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
    newProject(ProjectKind::Applet, u"Clock"_s);

    EXPECT_EQ(readFile(pathIn(u"Clock.java"_s)), kClockSource);
    EXPECT_EQ(readFile(pathIn(u"Example1.html"_s)), kClockPage);
    const ProjectFileContents saved = readProject(pathIn(u"Clock.jpr"_s));
    EXPECT_EQ(saved.m_fileList.GetCount(), 1);
    EXPECT_EQ(saved.m_strHtmlPath, pathIn(u"Example1.html"_s));
    EXPECT_TRUE(frame().commandState(CommandId::RunApplet).isEnabled());
}

// A name that holds a separator would put the class outside the project's folder; a name
// with a space, a word that names no type or a class the template itself uses once made a class
// file that could never compile or run.
TEST_F(NewProjectTest, ClassNameWithASeparatorOrNotAJavaNameIsRefusedInTheDialog) {
    const std::tuple<ProjectKind, QString, QString> cases[] = {
        {ProjectKind::Application, u"../Evil"_s, CNewProjectDialog::kSeparatorMessage},
        {ProjectKind::Application, u"My App"_s,
         CNewProjectDialog::kNotAClassNameMessage.arg(u"My App"_s)},
        {ProjectKind::Applet, u"sealed"_s,
         CNewProjectDialog::kNotAClassNameMessage.arg(u"sealed"_s)},
        {ProjectKind::Application, u"String"_s,
         CNewProjectDialog::kTemplateClassMessage.arg(u"String"_s)},
        {ProjectKind::Applet, u"Applet"_s,
         CNewProjectDialog::kTemplateClassMessage.arg(u"Applet"_s)}};
    for (const auto &[kind, name, message] : cases) {
        harness.prompter().clear();
        harness.prompter().runDialogNext([kind, &name](QDialog &dialog) {
            fillIn(dialog, kind, name);
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
// replaced. Yes makes the whole project; No leaves the user's file as it was and, when the user
// then chooses no other place, makes nothing: no project file, no class file of this attempt.
struct ReplaceCase {
    const char *name;
    ProjectKind kind;
    QString existing;
    fw::Answer answer;
};

class ReplaceTest : public NewProjectTest, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceTest, AsksBeforeReplacingAFile) {
    const ReplaceCase &test = GetParam();
    const QString existing = pathIn(test.existing);
    harness.writeFile(test.existing, "the user's own file");
    harness.prompter().answerNext(test.answer);
    newProject(test.kind, u"Demo"_s);

    const QString question = existing + u" already exists. Do you want to replace it?"_s;
    const bool replaced = test.answer == fw::Answer::Yes;
    EXPECT_EQ(readFile(existing) == "the user's own file", !replaced);
    if (replaced) {
        EXPECT_EQ(messages(), QStringList{question});
        EXPECT_EQ(readProject(pathIn(u"Demo.jpr"_s)).m_fileList.GetCount(), 1);
        ASSERT_NE(project(), nullptr);
        EXPECT_FALSE(project()->isModified());
        return;
    }
    EXPECT_EQ(messages(),
              (QStringList{question, u"The new project was not made in %1. Do you want "
                                     u"to choose another place for it?"_s.arg(harness.folder())}));
    EXPECT_EQ(project(), nullptr);
    EXPECT_FALSE(QFile::exists(pathIn(u"Demo.jpr"_s)));
    EXPECT_EQ(QFile::exists(pathIn(u"Demo.java"_s)), test.existing == u"Demo.java"_s);
}

const ReplaceCase kReplaceCases[] = {
    {"SourceKeptOnNo", ProjectKind::Application, u"Demo.java"_s, fw::Answer::No},
    {"SourceReplacedOnYes", ProjectKind::Application, u"Demo.java"_s, fw::Answer::Yes},
    {"PageKeptOnNo", ProjectKind::Applet, u"Example1.html"_s, fw::Answer::No},
    {"PageReplacedOnYes", ProjectKind::Applet, u"Example1.html"_s, fw::Answer::Yes},
};

INSTANTIATE_TEST_SUITE_P(Answers, ReplaceTest, testing::ValuesIn(kReplaceCases),
                         testing_support::CaseName());

// A folder that does not exist: the user is told, may choose another place and then gets the
// whole project there, or declines and is left with no project at all.
TEST_F(NewProjectTest, FolderThatCannotBeWrittenOffersAnotherPlaceOrMakesNothing) {
    for (const fw::Answer answer : {fw::Answer::Yes, fw::Answer::No}) {
        harness.prompter().clear();
        harness.app().closeAllDocuments();
        AppHarness::processEvents();
        const QString missing = harness.folder() + u"/missing/Calculator.jpr"_s;
        harness.prompter().runDialogNext([](QDialog &dialog) {
            fillIn(dialog, ProjectKind::Application, u"Calculator"_s);
            return dialog.result();
        });
        harness.prompter().saveAsNext(missing);
        harness.prompter().answerNext(fw::Answer::Ok); // the message that says why
        harness.prompter().answerNext(answer);
        harness.prompter().saveAsNext(pathIn(u"Calculator.jpr"_s));
        ASSERT_TRUE(frame().executeCommand(CommandId::NewProject));
        AppHarness::processEvents();

        const QStringList said = messages();
        ASSERT_EQ(said.size(), 2);
        EXPECT_TRUE(said.at(0).startsWith(u"Could not write "_s + harness.folder()
                                          + u"/missing/Calculator.java."_s))
            << said.at(0).toStdString();
        EXPECT_EQ(said.at(1), u"The new project was not made in %1/missing. Do you want to "
                              u"choose another place for it?"_s.arg(harness.folder()));
        if (answer == fw::Answer::No) {
            EXPECT_EQ(project(), nullptr);
            EXPECT_EQ(frame().frames().size(), 0U);
            continue;
        }
        ASSERT_NE(project(), nullptr);
        EXPECT_EQ(project()->pathName(), pathIn(u"Calculator.jpr"_s));
        EXPECT_EQ(project()->m_strMainFile, u"Calculator.java"_s);
        EXPECT_EQ(readProject(pathIn(u"Calculator.jpr"_s)).m_fileList.GetCount(), 1);
        EXPECT_TRUE(QFile::exists(pathIn(u"Calculator.java"_s)));
        ASSERT_TRUE(QFile::remove(pathIn(u"Calculator.java"_s)));
        ASSERT_TRUE(QFile::remove(pathIn(u"Calculator.jpr"_s)));
    }
}

} // namespace
