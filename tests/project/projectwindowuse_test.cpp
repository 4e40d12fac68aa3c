// The project window as a user of other editors works it: adding a second file of a name the
// project already holds, and the tree by keyboard.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QApplication>
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

} // namespace
