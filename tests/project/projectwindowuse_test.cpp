// The project window as a user of other editors works it: adding a second file of a name the
// project already holds, and the tree by keyboard.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTextBlock>

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

    QString write(const QString &name, const QByteArray &bytes) const {
        return harness.writeFile(name, bytes);
    }
    void addFiles(const QStringList &paths) {
        harness.prompter().chooseFilesNext(paths);
        ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::AddJavaSourceFiles));
    }
    QStringList entries() const {
        QStringList list;
        for (int index = 0; index < project->GetFileList().GetCount(); ++index) {
            list << project->GetFileList().GetAt(index)->GetPath();
        }
        return list;
    }
    QTreeWidgetItem *rootItem(const QString &label) const {
        return view->FindChildByLabel(label, view->topLevelItem(0));
    }
    void select(QTreeWidgetItem *item) {
        ASSERT_NE(item, nullptr);
        view->setFocus();
        view->setCurrentItem(item);
    }
    QMenu *openMenu() const {
        for (QMenu *menu : view->findChildren<QMenu *>()) {
            if (menu->isVisible()) {
                return menu;
            }
        }
        return nullptr;
    }
    static QStringList itemsOf(const QMenu *menu) {
        QStringList items;
        for (QAction *action : menu->actions()) {
            items << (action->isSeparator() ? u"-"_s : action->text());
        }
        return items;
    }

    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
    CJavaProjectView *view = nullptr;
};

// Adding util/Util.java to a project that holds app/Util.java.
struct SameNameCase {
    const char *name;
    bool firstStillThere;
    fw::Answer answer;
    bool asked;
    bool replaced;
};

class SameNameTest : public ProjectUseTest, public ::testing::WithParamInterface<SameNameCase> {};

TEST_P(SameNameTest, AsksBeforeReplacingAFileThatStillExists) {
    const SameNameCase &param = GetParam();
    const QString first = write(u"app/Util.java"_s, "class Util {\n}\n");
    const QString second = write(u"util/Util.java"_s, "class Util {\n}\n");
    addFiles({first});
    project->setModifiedFlag(false);
    if (!param.firstStillThere) {
        ASSERT_TRUE(QFile::remove(first));
    }
    harness.prompter().answerNext(param.answer);
    addFiles({second});

    const QString question =
        u"Util.java is already in the project as %1. Replace it with %2?"_s.arg(first, second);
    EXPECT_EQ(harness.prompter().messageTexts(),
              param.asked ? QStringList{question} : QStringList());
    if (param.asked) {
        EXPECT_EQ(harness.prompter().messages().front().buttons, fw::MessageButtons::YesNo);
    }
    EXPECT_EQ(entries(), QStringList{param.replaced ? second : first});
    EXPECT_EQ(project->isModified(), param.replaced);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectWindow, SameNameTest,
    ::testing::Values(SameNameCase{"YesReplacesTheEntry", true, fw::Answer::Yes, true, true},
                      SameNameCase{"NoKeepsTheFirstFile", true, fw::Answer::No, true, false},
                      SameNameCase{"GoneFileIsTakenToHaveMovedWithoutAQuestion", false,
                                   fw::Answer::No, false, true}),
    testing_support::CaseName());

TEST_F(ProjectUseTest, EachOfSeveralChosenFilesOfATakenNameIsAskedAbout) {
    const QString oldA = write(u"one/A.java"_s, "class A {\n}\n");
    const QString oldB = write(u"one/B.java"_s, "class B {\n}\n");
    addFiles({oldA, oldB});
    const QString newA = write(u"two/A.java"_s, "class A {\n}\n");
    const QString newB = write(u"two/B.java"_s, "class B {\n}\n");
    const QString newC = write(u"two/C.java"_s, "class C {\n}\n");
    harness.prompter().answerNext(fw::Answer::No);
    harness.prompter().answerNext(fw::Answer::Yes);
    addFiles({newA, newB, newC});
    EXPECT_EQ(harness.prompter().messageTexts().size(), 2);
    EXPECT_EQ(entries(), (QStringList{oldA, newB, newC}));
}

TEST_F(ProjectUseTest, EnterOpensTheSelectedFileAsADoubleClickDoes) {
    const QString path = write(u"src/A.java"_s, "class A {\n    void f() {\n    }\n}\n");
    addFiles({path, write(u"src/B.java"_s, "class B {\n}\n")});
    select(rootItem(u"A.java"_s));
    QTest::keyClick(view, Qt::Key_Return);
    AppHarness::processEvents();
    fw::Document *opened = harness.mainFrame().activeDocument();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->pathName(), path);
    EXPECT_FALSE(rootItem(u"A.java"_s)->isExpanded());

    // Once scanned, Enter on a method selects its line.
    harness.app().ActivateProjectWindow();
    view->expandAll();
    QTreeWidgetItem *classA = view->FindChildByLabel(u"A"_s, rootItem(u"A.java"_s)->child(0));
    ASSERT_NE(classA, nullptr);
    select(view->FindChildByLabel(u"f()"_s, classA->child(0)));
    QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
    auto *source = dynamic_cast<CSyntaxWindowDoc *>(harness.mainFrame().activeDocument());
    ASSERT_NE(source, nullptr);
    const QTextCursor cursor = source->firstSourceView()->textCursor();
    EXPECT_EQ(source->textDocument()->findBlock(cursor.selectionStart()).blockNumber(), 1);
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
}

TEST_F(ProjectUseTest, EnterWithNothingSelectedSaysSo) {
    addFiles({write(u"src/A.java"_s, "class A {\n}\n")});
    view->setFocus();
    view->clearSelection();
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{u"Item is NULL"_s});
}

struct MenuKeyCase {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

class MenuKeyTest : public ProjectUseTest, public ::testing::WithParamInterface<MenuKeyCase> {};

TEST_P(MenuKeyTest, OpensTheContextMenuOfTheSelectedItem) {
    const QString pathB = write(u"src/B.java"_s, "class B {\n}\n");
    addFiles({write(u"src/A.java"_s, "class A {\n}\n"), pathB});

    view->setFocus();
    view->clearSelection();
    QTest::keyClick(view, GetParam().key, GetParam().modifiers);
    AppHarness::processEvents();
    EXPECT_EQ(openMenu(), nullptr) << "no menu without a selected item";

    select(rootItem(u"B.java"_s));
    QTest::keyClick(view, GetParam().key, GetParam().modifiers);
    AppHarness::processEvents();
    QMenu *menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(view->findChildren<QMenu *>().size(), 1);
    EXPECT_EQ(itemsOf(menu),
              (QStringList{u"Open"_s, u"Compile"_s, u"Set as Main"_s, u"Remove"_s, u"-"_s,
                           u"Add Java Source Files..."_s, u"Add HTML File..."_s}));
    // The menu opens at the item's row, and its commands act on the item.
    const QRect row = view->visualItemRect(rootItem(u"B.java"_s));
    EXPECT_GE(menu->y(), view->viewport()->mapToGlobal(row.topLeft()).y());
    EXPECT_LE(menu->y(), view->viewport()->mapToGlobal(row.bottomLeft()).y());
    for (QAction *action : menu->actions()) {
        if (action->text() == u"Set as Main"_s) {
            menu->setActiveAction(action);
        }
    }
    QTest::keyClick(menu, Qt::Key_Return);
    AppHarness::processEvents();
    EXPECT_EQ(project->m_strMainFile, u"B.java"_s);
}

INSTANTIATE_TEST_SUITE_P(ProjectWindow, MenuKeyTest,
                         ::testing::Values(MenuKeyCase{"ShiftF10", Qt::Key_F10, Qt::ShiftModifier},
                                           MenuKeyCase{"MenuKey", Qt::Key_Menu, Qt::NoModifier}),
                         testing_support::CaseName());

} // namespace
