#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "tools/cprocessoutputdialog.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

const QString kNoFile = CJavaProjectDoc::kNoFile;

// A declares f(), and an inner class whose methods are reported out of alphabetical order.
const QByteArray kClassA = "public class A {\n"
                           "    void f() {\n"
                           "    }\n"
                           "    class In {\n"
                           "        void g() {\n" // line 4
                           "        }\n"
                           "        void b() {\n"
                           "        }\n"
                           "    }\n"
                           "}\n";
const QStringList kTreeAB{u"A.java 0"_s,    u"  A 6"_s,       u"    f() 8"_s, u"    In 6"_s,
                          u"      g() 8"_s, u"      b() 8"_s, u"B.java 0"_s};

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString lastOpenProject(const AppHarness &harness) {
    return harness.storedSettings()->readString(u"OPTIONS"_s, u"LASTOPEN"_s, u"?"_s);
}

// A running Tarvo with a new project open in its project window.
class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.app().NewSourceDocument(u"JavaProject"_s));
        project = harness.app().GetProjectDoc();
        ASSERT_NE(project, nullptr);
        view = project->projectView();
    }

    CMainFrame &frame() const { return harness.mainFrame(); }
    QStringList messages() const { return harness.prompter().messageTexts(); }
    QString write(const QString &name, const QByteArray &bytes) const {
        return harness.writeFile(name, bytes);
    }

    // Adds files through "Add Java Source Files...", choosing them in the dialog.
    void addFiles(const QStringList &paths) {
        harness.prompter().chooseFilesNext(paths);
        project->AddJavaSourceFiles();
    }

    // A.java, opened in a source window whose scan reports into the project, and B.java,
    // never scanned. The project window is active afterwards.
    void makeProjectAB() {
        const QString pathA = write(u"src/A.java"_s, kClassA);
        addFiles({pathA, write(u"src/B.java"_s, "class B {\n}\n")});
        sourceA = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(pathA));
        ASSERT_NE(sourceA, nullptr);
        sourceA->RefreshFunctionList();
        harness.app().ActivateProjectWindow();
    }

    // One line per item, indented by depth: the label and the image shown when not selected.
    QStringList tree(QTreeWidgetItem *parent = nullptr, int depth = 0) const {
        QStringList lines;
        parent = parent ? parent : view->invisibleRootItem();
        for (int index = 0; index < parent->childCount(); ++index) {
            QTreeWidgetItem *child = parent->child(index);
            lines << u"%1%2 %3"_s.arg(QString(2 * depth, u' '), child->text(0))
                         .arg(CJavaProjectView::imageOf(child));
            lines << tree(child, depth + 1);
        }
        return lines;
    }

    // The item at a path of labels from the root.
    QTreeWidgetItem *item(const QStringList &labels) const {
        QTreeWidgetItem *found = view->invisibleRootItem();
        for (const QString &label : labels) {
            found = found ? view->FindChildByLabel(label, found->child(0)) : nullptr;
        }
        return found;
    }

    QPoint centre(QTreeWidgetItem *target) const {
        if (!target) {
            ADD_FAILURE() << "no such item";
            return emptySpace();
        }
        view->scrollToItem(target);
        return view->visualItemRect(target).center();
    }
    QPoint emptySpace() const { return {5, view->viewport()->height() - 5}; }

    void click(QTreeWidgetItem *target) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(target));
    }

    // A right-button click at a point of the tree, through the main window as the platform
    // delivers it; the menu it opens, if any.
    QMenu *rightClick(const QPoint &point) {
        QTest::mouseClick(view->window()->windowHandle(), Qt::RightButton, {},
                          view->viewport()->mapTo(view->window(), point));
        AppHarness::processEvents();
        return view->findChild<QMenu *>();
    }

    // Chooses a menu item with the keyboard, which closes the menu.
    static void choose(QMenu *menu, const QString &text) {
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            if (action->text() == text) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                AppHarness::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
    }

    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
    CJavaProjectView *view = nullptr;
    CSyntaxWindowDoc *sourceA = nullptr;
};

struct AddFileCase {
    const char *name;
    QStringList paths;
    QList<bool> results;
    QStringList entries; // "name path" per entry
};

class AddFileTest : public ProjectTest, public ::testing::WithParamInterface<AddFileCase> {};

TEST_P(AddFileTest, EntriesAndResults) {
    QList<bool> results;
    for (const QString &path : GetParam().paths) {
        results << project->AddFile(path);
    }
    QStringList entries;
    for (int index = 0; index < project->GetFileList().GetCount(); ++index) {
        const CJavaFile *file = project->GetFileList().GetAt(index);
        entries << file->GetFileName() + u' ' + file->GetPath();
    }
    EXPECT_EQ(results, GetParam().results);
    EXPECT_EQ(entries, GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(ProjectDocument, AddFileTest,
                         ::testing::Values(AddFileCase{"SameNameFromAnotherFolderMovesTheEntry",
                                                       {u"/a/X.java"_s, u"/b/X.java"_s},
                                                       {true, true},
                                                       {u"X.java /b/X.java"_s}},
                                           AddFileCase{"SamePathTwiceKeepsOneEntryAndSaysFalse",
                                                       {u"/a/X.java"_s, u"/a/X.java"_s},
                                                       {true, false},
                                                       {u"X.java /a/X.java"_s}},
                                           AddFileCase{
                                               "NamesDifferingInCaseAreTwoFiles",
                                               {u"/a/X.java"_s, u"/a/x.java"_s},
                                               {true, true},
                                               {u"X.java /a/X.java"_s, u"x.java /a/x.java"_s}}),
                         testing_support::CaseName());

TEST_F(ProjectTest, FullPathLookupsPreferJavaFilesThenTheHtmlFile) {
    EXPECT_EQ(project->GetFullPath(QString()), kNoFile) << "no HTML file, nothing selected";
    project->AddFile(u"/p/Page.html"_s);
    project->SetHtmlFile(u"/web/index.html"_s);
    EXPECT_EQ(project->GetFullPath(u"index.html"_s), u"/web/index.html"_s);
    EXPECT_EQ(project->GetFullPath(u"Index.html"_s), kNoFile);
    project->SetHtmlFile(u"/web/Page.html"_s);
    EXPECT_EQ(project->GetFullPath(u"Page.html"_s), u"/p/Page.html"_s);

    project->RemoveFile(u"/web/Page.html"_s);
    EXPECT_EQ(project->m_strHtmlFile + project->m_strHtmlPath, QString());
    EXPECT_FALSE(frame().commandState(CommandId::RunApplet).isEnabled());
    project->SetMainFile(u"Elsewhere.java"_s);
    EXPECT_EQ(project->m_strMainFolder, QString());
}

TEST_F(ProjectTest, InnerMethodOfAnUnreportedInnerClassIsAParsingError) {
    const QString path = u"/p/A.java"_s;
    project->AddFile(path);
    EXPECT_FALSE(project->AddClass(u"/q/A.java"_s, u"A"_s));
    EXPECT_TRUE(project->AddClass(path, u"A"_s));
    project->AddInnerMethod(path, u"A"_s, u"Out"_s, u"h()"_s);
    EXPECT_EQ(messages(), QStringList{u"Error parsing file"_s});
}

TEST_F(ProjectTest, NeverSavedProjectAsksAndItsCloseLeavesTheRecentListAlone) {
    harness.app().settings().recentProjects = {u"/old/Old.jpr"_s};
    addFiles({write(u"A.java"_s, kClassA)});
    EXPECT_FALSE(project->saveModified()); // unscripted: Cancel
    EXPECT_EQ(messages(), QStringList{u"Save changes to %1?"_s.arg(project->title())});

    harness.prompter().answerNext(fw::Answer::Ok);
    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_TRUE(harness.app().CloseProject());
    EXPECT_EQ(harness.app().settings().recentProjects, QStringList{u"/old/Old.jpr"_s});
    EXPECT_EQ(lastOpenProject(harness), QString());
}

TEST_F(ProjectTest, ClosingTheProjectClosesItsOutputWindow) {
    project->ShowCompilerOutput();
    ASSERT_TRUE(project->m_pOutputWnd->IsOpen());
    harness.prompter().answerNext(fw::Answer::Ok);
    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_TRUE(harness.app().CloseProject());
    EXPECT_FALSE(project->m_pOutputWnd->IsOpen());
}

TEST_F(ProjectTest, SavedProjectReopensByteForByte) {
    makeProjectAB();
    project->SetMainFile(u"A.java"_s);
    project->SetHtmlFile(write(u"web/Applet.html"_s, "<html>\n"));
    project->m_strPackage = u"com.example"_s;
    const QString projectPath = harness.folder() + u"/Demo.jpr"_s;
    harness.prompter().saveAsNext(projectPath);
    ASSERT_TRUE(frame().executeCommand(CommandId::FileSave));
    const QByteArray saved = readFile(projectPath);

    harness.prompter().answerNext(fw::Answer::Ok);
    EXPECT_TRUE(harness.app().CloseProject());
    AppHarness::processEvents();
    EXPECT_EQ(harness.app().settings().recentProjects.value(0), projectPath);
    EXPECT_EQ(lastOpenProject(harness), projectPath);

    project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(projectPath));
    ASSERT_NE(project, nullptr);
    view = project->projectView();
    QStringList expected = kTreeAB;
    expected.replace(0, u"A.java 2"_s);
    expected.insert(6, u"Applet.html 4"_s);
    EXPECT_EQ(tree(), expected);
    ASSERT_TRUE(project->doSave(projectPath));
    EXPECT_EQ(readFile(projectPath), saved);
}

TEST_F(ProjectTest, OpeningAnotherProjectAsksThenSavesTheModifiedOneWithoutAsking) {
    const QString firstPath = harness.folder() + u"/First.jpr"_s;
    harness.prompter().saveAsNext(firstPath);
    ASSERT_TRUE(project->doFileSave());
    addFiles({u"/p/A.java"_s});
    const QString second = write(u"Second.jpr"_s, QByteArray(9, '\0'));

    harness.prompter().answerNext(fw::Answer::Ok);
    ASSERT_NE(harness.app().openDocumentFile(second), nullptr);
    EXPECT_EQ(messages(), QStringList{u"Do you want to close the current project?"_s});
    EXPECT_GT(readFile(firstPath).size(), 9);
}

TEST_F(ProjectTest, TreeShowsFilesClassesMethodsAndInnerClasses) {
    makeProjectAB();
    // Class members sorted (case aside), the inner class's methods in the order reported.
    EXPECT_EQ(tree(), kTreeAB);
    // B.java was never scanned but still offers an expand button.
    ASSERT_NE(item({u"B.java"_s}), nullptr);
    EXPECT_EQ(item({u"B.java"_s})->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

TEST_F(ProjectTest, SetAsMainWithF8ChangesTheImages) {
    makeProjectAB();
    click(item({u"B.java"_s}));
    QTest::keyClick(view, Qt::Key_F8);
    EXPECT_EQ(project->m_strMainFolder, harness.folder() + u"/src"_s);
    EXPECT_EQ(tree().first(), u"A.java 0"_s);
    EXPECT_EQ(tree().last(), u"B.java 2"_s);
}

TEST_F(ProjectTest, RescanDropsAVanishedMethodAndKeepsExpansionAndSelection) {
    makeProjectAB();
    QTreeWidgetItem *classA = item({u"A.java"_s, u"A"_s});
    ASSERT_NE(classA, nullptr);
    view->expandAll();
    click(item({u"A.java"_s, u"A"_s, u"In"_s}));

    sourceA->setEditorText(QString::fromLatin1(kClassA).remove(u"    void f() {\n    }\n"_s));
    sourceA->RefreshFunctionList();

    QStringList expected = kTreeAB;
    expected.removeAt(2);
    EXPECT_EQ(tree(), expected);
    EXPECT_EQ(item({u"A.java"_s, u"A"_s}), classA);
    EXPECT_TRUE(classA->isExpanded());
    EXPECT_EQ(view->selectedItem(), item({u"A.java"_s, u"A"_s, u"In"_s}));
}

TEST_F(ProjectTest, DeleteKeyOnTheHtmlItemClearsTheHtmlFile) {
    harness.prompter().chooseFilesNext({write(u"Page.html"_s, "<html>\n")});
    ASSERT_TRUE(frame().executeCommand(CommandId::AddHtmlFile));
    EXPECT_EQ(tree(), QStringList{u"Page.html 4"_s});

    click(item({u"Page.html"_s}));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(project->m_strHtmlFile + project->m_strHtmlPath, QString());
    EXPECT_EQ(tree(), QStringList());
}

TEST_F(ProjectTest, ContextMenuOffersFileItemsOnlyForFiles) {
    makeProjectAB();
    const auto itemsOf = [](QMenu *menu) {
        QStringList items;
        for (QAction *action : menu->actions()) {
            items << (action->isSeparator() ? u"-"_s : action->text());
        }
        return items;
    };
    QMenu *menu = rightClick(centre(item({u"A.java"_s, u"A"_s})));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(view->selectedItem(), item({u"A.java"_s, u"A"_s}));
    EXPECT_EQ(itemsOf(menu), (QStringList{u"Open"_s, u"-"_s, u"Add Java Source Files..."_s,
                                          u"Add HTML File..."_s}));
    EXPECT_EQ(menu->defaultAction(), menu->actions().first());
    menu->close();
    AppHarness::processEvents();

    menu = rightClick(centre(item({u"B.java"_s})));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(itemsOf(menu),
              (QStringList{u"Open"_s, u"Compile"_s, u"Set as Main"_s, u"Remove"_s, u"Rename..."_s,
                           u"-"_s, u"Add Java Source Files..."_s, u"Add HTML File..."_s}));
    choose(menu, u"Remove"_s);
    EXPECT_EQ(project->GetFullPath(u"B.java"_s), kNoFile);

    view->clearSelection();
    EXPECT_EQ(rightClick(emptySpace()), nullptr);
    EXPECT_EQ(view->selectedItem(), nullptr);
}

TEST_F(ProjectTest, HtmlItemCannotBeCompiledOrMadeMain) {
    project->SetHtmlFile(write(u"Page.html"_s, "<html>\n"));
    project->updateAllViews(nullptr);
    choose(rightClick(centre(item({u"Page.html"_s}))), u"Compile"_s);
    choose(rightClick(centre(item({u"Page.html"_s}))), u"Set as Main"_s);
    EXPECT_EQ(messages(), (QStringList{u"Can't compile HTML File!"_s,
                                       u"Only Java files can be set as main"_s}));
    EXPECT_EQ(project->m_strMainFile, QString());
}

TEST_F(ProjectTest, DoubleClickOnAnInnerClassMethodSelectsItsLine) {
    makeProjectAB();
    view->expandAll();
    const QPoint point = centre(item({u"A.java"_s, u"A"_s, u"In"_s, u"g()"_s}));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);

    EXPECT_EQ(messages(), QStringList());
    EXPECT_EQ(frame().activeDocument(), sourceA);
    const QTextCursor cursor = sourceA->firstSourceView()->textCursor();
    EXPECT_EQ(sourceA->textDocument()->findBlock(cursor.selectionStart()).blockNumber(), 4);
}

TEST_F(ProjectTest, OpeningAMemberTheFileNoLongerDeclaresDoesNotTouchDeletedItems) {
    // The project remembers a class that the file on disk no longer declares, as a project
    // saved before the file was edited elsewhere does.
    const QString pathB = write(u"src/B.java"_s, "class B {\n}\n");
    addFiles({pathB});
    project->AddClass(pathB, u"Old"_s);
    project->AddMethod(pathB, u"Old"_s, u"m()"_s);
    project->updateAllViews(nullptr);
    view->expandAll();
    click(item({u"B.java"_s, u"Old"_s, u"m()"_s}));

    // Opening B.java rescans it, and the update deletes the Old and m() items.
    view->OpenSelectedItem();
    AppHarness::processEvents();
    EXPECT_EQ(messages(), QStringList{u"Unable to locate this item - try adding the file to the "
                                      u"project again."_s});
    harness.app().ActivateProjectWindow();
    EXPECT_EQ(item({u"B.java"_s, u"Old"_s}), nullptr);
}

TEST_F(ProjectTest, DoubleClickOpensWithoutExpandingAndNeedsASelection) {
    makeProjectAB();
    QTreeWidgetItem *fileA = item({u"A.java"_s});
    click(fileA);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre(fileA));
    EXPECT_FALSE(fileA->isExpanded());
    EXPECT_EQ(frame().activeDocument(), sourceA);

    harness.app().ActivateProjectWindow();
    view->clearSelection();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, emptySpace());
    EXPECT_EQ(messages(), QStringList{u"Item is NULL"_s});
}

TEST_F(ProjectTest, MissingFileIsSoughtInTheCurrentFolderElseAddFilesIsOffered) {
    const QString found = write(u"here/M.java"_s, "class M {\n}\n");
    addFiles({harness.folder() + u"/gone/M.java"_s, harness.folder() + u"/gone/N.java"_s});
    const QString previous = QDir::currentPath();
    QDir::setCurrent(harness.folder() + u"/here"_s);
    for (const QString &name : {u"M.java"_s, u"N.java"_s}) {
        harness.app().ActivateProjectWindow();
        click(item({name}));
        harness.prompter().clear();
        ASSERT_TRUE(frame().executeCommand(CommandId::Open));
    }
    QDir::setCurrent(previous);
    EXPECT_EQ(project->GetFullPath(u"M.java"_s), found);
    EXPECT_EQ(messages().value(2),
              u"Unable to locate this item - try adding the file to the project again."_s);
    EXPECT_EQ(harness.prompter().fileDialogs().back().filter,
              u"Java Source Files (*.jav;*.java)|*.jav;*.java|All Files (*.*)|*.*||"_s);
}

TEST_F(ProjectTest, PropertiesOkMarksTheProjectModifiedEvenWhenUnchanged) {
    addFiles({u"/p/A.java"_s});
    click(item({u"A.java"_s}));
    project->m_strPackage = u"com.old"_s;
    const auto answer = [](const QString &typed, int result) {
        return [typed, result](QDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), u"Properties"_s);
            dialog.findChild<QLineEdit *>()->setText(typed);
            return result;
        };
    };
    project->setModifiedFlag(false);
    harness.prompter().runDialogNext(answer(u"com.new"_s, QDialog::Rejected));
    ASSERT_TRUE(frame().executeCommand(CommandId::Properties));
    EXPECT_EQ(project->m_strPackage, u"com.old"_s);
    EXPECT_FALSE(project->isModified());

    harness.prompter().runDialogNext(answer(u"com.old"_s, QDialog::Accepted));
    ASSERT_TRUE(frame().executeCommand(CommandId::Properties));
    EXPECT_TRUE(project->isModified());
}

TEST_F(ProjectTest, SetAsMainShowsNoCheckWithNothingSelectedAndNoMainFile) {
    makeProjectAB();
    view->clearSelection();
    view->setCurrentItem(nullptr);
    EXPECT_FALSE(frame().commandState(CommandId::SetAsMain).isChecked());
}

struct EnableCase {
    const char *name;
    QStringList selected; // labels from the root; empty: nothing selected
    bool open, remove, setAsMain, checked, compile;
};

class EnableRuleTest : public ProjectTest, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(EnableRuleTest, FollowTheSelectedLabel) {
    makeProjectAB();
    project->SetMainFile(u"A.java"_s);
    project->SetHtmlFile(write(u"Page.html"_s, "<html>\n"));
    project->updateAllViews(nullptr);
    view->expandAll();
    view->clearSelection();
    if (!GetParam().selected.isEmpty()) {
        click(item(GetParam().selected));
    }
    const auto state = [this](int id) { return frame().commandState(id); };
    EXPECT_EQ(state(CommandId::Open).isEnabled(), GetParam().open);
    EXPECT_EQ(state(CommandId::RemoveFile).isEnabled(), GetParam().remove);
    EXPECT_EQ(state(CommandId::Properties).isEnabled(), GetParam().remove);
    EXPECT_EQ(state(CommandId::SetAsMain).isEnabled(), GetParam().setAsMain);
    EXPECT_EQ(state(CommandId::SetAsMain).isChecked(), GetParam().checked);
    EXPECT_EQ(state(CommandId::Compile).isEnabled(), GetParam().compile);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectTree, EnableRuleTest,
    ::testing::Values(
        EnableCase{"NothingSelected", {}, false, false, false, false, false},
        EnableCase{"MainFile", {u"A.java"_s}, true, true, true, true, true},
        EnableCase{"OtherFile", {u"B.java"_s}, true, true, true, false, true},
        EnableCase{"HtmlFile", {u"Page.html"_s}, true, true, true, false, false},
        EnableCase{"Method", {u"A.java"_s, u"A"_s, u"f()"_s}, true, false, false, false, false}),
    testing_support::CaseName());

} // namespace
