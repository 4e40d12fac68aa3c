// The project window as a user of other editors works it: adding a second file of a name the
// project already holds, the tree by keyboard, and renaming a file from its context menu.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

class ProjectUseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.app().NewSourceDocument(u"JavaProject"_s));
        project = harness.app().GetProjectDoc();
        ASSERT_NE(project, nullptr);
        view = project->projectView();
        ASSERT_NE(view, nullptr);
    }
    QString write(const QString &name) const { return harness.writeFile(name, "class A {\n}\n"); }
    void addFiles(const QStringList &paths) {
        harness.prompter().chooseFilesNext(paths);
        ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::AddJavaSourceFiles));
    }
    // Selects the file's entry in the tree and presses the key on it.
    void pressOn(const QString &label, int key, Qt::KeyboardModifiers modifiers = {}) {
        QTreeWidgetItem *item = view->FindChildByLabel(label, view->topLevelItem(0));
        ASSERT_NE(item, nullptr) << label.toStdString();
        view->setFocus();
        view->setCurrentItem(item);
        QTest::keyClick(view, Qt::Key(key), modifiers);
        AppHarness::processEvents();
    }

    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
    CJavaProjectView *view = nullptr;
};

// A second file of a taken name is asked about: No keeps the first entry, Yes replaces it.
TEST_F(ProjectUseTest, FileOfATakenNameIsAskedAboutAndReplacedOnlyOnYes) {
    const QString first = write(u"app/A.java"_s);
    const QString second = write(u"util/A.java"_s);
    addFiles({first});
    for (const fw::Answer answer : {fw::Answer::No, fw::Answer::Yes}) {
        harness.prompter().answerNext(answer);
        addFiles({second});
        EXPECT_EQ(project->GetFileList().GetAt(0)->GetPath(),
                  answer == fw::Answer::Yes ? second : first);
        EXPECT_EQ(project->GetFileList().GetCount(), 1);
    }
    const QString question =
        u"A.java is already in the project as %1. Replace it with %2?"_s.arg(first, second);
    EXPECT_EQ(harness.prompter().messageTexts(), (QStringList{question, question}));
}

TEST_F(ProjectUseTest, EnterOpensTheSelectedFileAndShiftF10OpensItsMenu) {
    const QString path = write(u"src/A.java"_s);
    addFiles({path, write(u"src/B.java"_s)});
    pressOn(u"A.java"_s, Qt::Key_Return);
    ASSERT_NE(harness.mainFrame().activeDocument(), nullptr);
    EXPECT_EQ(harness.mainFrame().activeDocument()->pathName(), path);

    harness.app().ActivateProjectWindow();
    pressOn(u"B.java"_s, Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction *action : menu->actions()) {
        if (action->text() == u"Set as Main"_s) {
            menu->setActiveAction(action);
        }
    }
    QTest::keyClick(menu, Qt::Key_Return);
    AppHarness::processEvents();
    EXPECT_EQ(project->m_strMainFile, u"B.java"_s) << "the menu acts on the selected item";
}

// Renaming from the context menu: the name typed, and what the project, the disk and the
// window show afterwards.
struct RenameCase {
    const char *name;
    QByteArray text;  // of Calc.java, the main file, open in a window
    QString typed;    // in the Rename dialog
    QString message;  // shown instead of renaming; %1 stands for the project's folder
    QString fileName; // of the file afterwards
};

class RenameTest : public ProjectUseTest, public testing::WithParamInterface<RenameCase> {};

TEST_P(RenameTest, RenamesOnDiskInTheProjectAndInTheWindowOrSaysWhyNot) {
    const RenameCase &test = GetParam();
    const QString folder = harness.folder();
    const QString path = harness.writeFile(u"Calc.java"_s, test.text);
    harness.writeFile(u"Taken.java"_s, "class Taken {}\n");
    addFiles({path});
    project->SetMainFile(u"Calc.java"_s);
    auto *window = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(project->doSave(folder + u"/P.jpr"_s));
    harness.app().ActivateProjectWindow();

    QString offered;
    harness.prompter().runDialogNext([&](QDialog &dialog) {
        auto &input = dynamic_cast<QInputDialog &>(dialog);
        offered = input.textValue();
        input.setTextValue(test.typed);
        return int(QDialog::Accepted);
    });
    pressOn(u"Calc.java"_s, Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction *action : menu->actions()) {
        if (action->text() == u"Rename..."_s) {
            menu->setActiveAction(action);
        }
    }
    QTest::keyClick(menu, Qt::Key_Return);
    AppHarness::processEvents();

    EXPECT_EQ(offered, u"Calc.java"_s);
    EXPECT_EQ(harness.prompter().messageTexts(),
              test.message.isEmpty() ? QStringList() : QStringList{test.message.arg(folder)});
    const QString now = folder + u'/' + test.fileName;
    EXPECT_TRUE(QFile::exists(now));
    EXPECT_EQ(QFile::exists(path), test.fileName == u"Calc.java"_s);
    EXPECT_EQ(window->pathName(), now);
    EXPECT_EQ(window->title(), test.fileName);
    EXPECT_EQ(project->GetFullPath(test.fileName), now);
    EXPECT_EQ(project->m_strMainFile, test.fileName);
    EXPECT_NE(view->FindChildByLabel(test.fileName, view->topLevelItem(0)), nullptr);
    EXPECT_FALSE(project->isModified()) << "the saved project is saved again";
}

const QByteArray kCalculator = "import java.util.Scanner;\npublic class Calculator {\n}\n";

INSTANTIATE_TEST_SUITE_P(
    ProjectTree, RenameTest,
    testing::Values(
        RenameCase{"NameOfThePublicClassIsTaken",
                   kCalculator,
                   u"Calculator.java"_s,
                   {},
                   u"Calculator.java"_s},
        RenameCase{"NameTypedWithoutExtensionKeepsJava",
                   kCalculator,
                   u" Calculator "_s,
                   {},
                   u"Calculator.java"_s},
        RenameCase{"OtherNameThanThePublicClassIsRefused", kCalculator, u"Calc2.java"_s,
                   u"Calc2.java cannot hold the public class Calculator: javac wants a public "
                   u"class in a file named after it, Calculator.java."_s,
                   u"Calc.java"_s},
        RenameCase{"NameThatCannotNameAClassIsRefused", "class A {}\n", u"my calc.java"_s,
                   u"my calc.java cannot name a Java class: the name before .java must begin "
                   u"with a letter and hold only letters, digits, '_' and '$', and it must not "
                   u"be a word of the Java language."_s,
                   u"Calc.java"_s},
        RenameCase{"NameOfAnotherFileIsRefused", "class A {}\n", u"Taken.java"_s,
                   u"%1/Taken.java already exists. Choose another name."_s, u"Calc.java"_s},
        RenameCase{"NameWithAFolderIsRefused", "class A {}\n", u"../Calc.java"_s,
                   u"../Calc.java is not a file name: the file stays in its folder, so give its "
                   u"new name without a folder."_s,
                   u"Calc.java"_s}),
    testing_support::CaseName());

} // namespace
