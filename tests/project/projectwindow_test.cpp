#include "app/appsettings.h"
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "project/cpropertiesdialog.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <functional>

namespace {

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
const int kLineOfG = 4;
const QByteArray kClassB = "class B {\n}\n";

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A running Tarvo with a new project open in its project window.
class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.app().NewSourceDocument(QStringLiteral("JavaProject")));
        project = harness.app().GetProjectDoc();
        ASSERT_NE(project, nullptr);
        view = project->projectView();
        ASSERT_NE(view, nullptr);
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

    // Opens a file in a source window and lets it refresh its function list, which reports
    // into the project; the project window is active again afterwards.
    CSyntaxWindowDoc *openAndScan(const QString &path) {
        auto *source = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path));
        if (source) {
            source->RefreshFunctionList();
        }
        harness.app().ActivateProjectWindow();
        return source;
    }

    // A.java (scanned) and B.java (not scanned) in the project.
    void makeProjectAB() {
        pathA = write(QStringLiteral("src/A.java"), kClassA);
        pathB = write(QStringLiteral("src/B.java"), kClassB);
        addFiles({pathA, pathB});
        sourceA = openAndScan(pathA);
        ASSERT_NE(sourceA, nullptr);
    }

    // One line per item, indented by depth: the label and the image shown when not selected.
    QStringList tree() const {
        QStringList lines;
        std::function<void(QTreeWidgetItem *, int)> dump = [&](QTreeWidgetItem *item, int depth) {
            lines << QStringLiteral("%1%2 %3")
                         .arg(QString(2 * depth, QLatin1Char(' ')), item->text(0))
                         .arg(CJavaProjectView::imageOf(item));
            for (int index = 0; index < item->childCount(); ++index) {
                dump(item->child(index), depth + 1);
            }
        };
        for (int index = 0; index < view->topLevelItemCount(); ++index) {
            dump(view->topLevelItem(index), 0);
        }
        return lines;
    }

    // The item at a path of labels from the root.
    QTreeWidgetItem *item(const QStringList &labels) const {
        QTreeWidgetItem *found = nullptr;
        for (const QString &label : labels) {
            found = view->FindChildByLabel(label, found ? found->child(0) : view->topLevelItem(0));
            if (!found) {
                return nullptr;
            }
        }
        return found;
    }

    // Selects an item with a click, as the user does.
    void click(QTreeWidgetItem *target) {
        view->scrollToItem(target);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualItemRect(target).center());
    }

    // A right-button click at a point of the tree; the menu it opens, if any.
    QMenu *rightClick(const QPoint &point) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                view->viewport()->mapToGlobal(point));
        QApplication::sendEvent(view->viewport(), &event);
        return view->findChild<QMenu *>();
    }

    QMenu *rightClick(QTreeWidgetItem *target) {
        view->scrollToItem(target);
        return rightClick(view->visualItemRect(target).center());
    }

    // Chooses a menu item with the keyboard, which closes the menu.
    static void choose(QMenu *menu, const QString &text) {
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
    QString pathA;
    QString pathB;
    CSyntaxWindowDoc *sourceA = nullptr;
};

// Adding files by full path.

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
        entries << file->GetFileName() + QLatin1Char(' ') + file->GetPath();
    }
    EXPECT_EQ(results, GetParam().results);
    EXPECT_EQ(entries, GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectDocument, AddFileTest,
    ::testing::Values(AddFileCase{"SameNameFromAnotherFolderMovesTheEntry",
                                  {QStringLiteral("/a/X.java"), QStringLiteral("/b/X.java")},
                                  {true, true},
                                  {QStringLiteral("X.java /b/X.java")}},
                      AddFileCase{"SamePathTwiceKeepsOneEntryAndSaysFalse",
                                  {QStringLiteral("/a/X.java"), QStringLiteral("/a/X.java")},
                                  {true, false},
                                  {QStringLiteral("X.java /a/X.java")}},
                      AddFileCase{"NamesDifferingInCaseAreTwoFiles",
                                  {QStringLiteral("/a/X.java"), QStringLiteral("/a/x.java")},
                                  {true, true},
                                  {QStringLiteral("X.java /a/X.java"),
                                   QStringLiteral("x.java /a/x.java")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectTest, FullFileListIgnoresTheNextFileButReportsSuccess) {
    for (int index = 0; index < CJavaList::kCapacity; ++index) {
        ASSERT_TRUE(project->AddFile(QStringLiteral("/p/F%1.java").arg(index)));
    }
    EXPECT_TRUE(project->AddFile(QStringLiteral("/p/Extra.java")));
    EXPECT_EQ(project->GetFileList().GetCount(), CJavaList::kCapacity);
    EXPECT_EQ(project->GetFullPath(QStringLiteral("Extra.java")), kNoFile);
}

TEST_F(ProjectTest, FullPathLookupsPreferJavaFilesThenTheHtmlFile) {
    EXPECT_EQ(project->GetFullPath(QString()), kNoFile) << "no HTML file, nothing selected";
    project->AddFile(QStringLiteral("/p/Page.html"));
    project->AddFile(QStringLiteral("/p/A.java"));
    project->SetHtmlFile(QStringLiteral("/web/index.html"));
    EXPECT_EQ(project->m_strHtmlFile, QStringLiteral("index.html"));
    EXPECT_EQ(project->GetFullPath(QStringLiteral("index.html")),
              QStringLiteral("/web/index.html"));
    EXPECT_EQ(project->GetFullPath(QStringLiteral("Other.java")), kNoFile);
    EXPECT_EQ(project->GetFullPath(QStringLiteral("a.java")), kNoFile);

    project->SetHtmlFile(QStringLiteral("/web/Page.html"));
    EXPECT_EQ(project->GetFullPath(QStringLiteral("Page.html")), QStringLiteral("/p/Page.html"));

    project->RemoveFile(QStringLiteral("/web/Page.html"));
    EXPECT_EQ(project->m_strHtmlFile, QString());
    EXPECT_EQ(project->m_strHtmlPath, QString());
    EXPECT_FALSE(frame().commandState(CommandId::RunApplet).isEnabled());
}

TEST_F(ProjectTest, MainFileKeepsItsFolderAndSurvivesRemoval) {
    project->AddFile(QStringLiteral("/p/src/Main.java"));
    project->SetMainFile(QStringLiteral("Main.java"));
    EXPECT_EQ(project->m_strMainFolder, QStringLiteral("/p/src"));
    project->RemoveFile(QStringLiteral("/p/src/Main.java"));
    EXPECT_EQ(project->m_strMainFile, QStringLiteral("Main.java"));

    project->setModifiedFlag(false);
    project->SetMainFile(QStringLiteral("Elsewhere.java"));
    EXPECT_EQ(project->m_strMainFile, QStringLiteral("Elsewhere.java"));
    EXPECT_EQ(project->m_strMainFolder, QString());
    EXPECT_TRUE(project->isModified());
}

TEST_F(ProjectTest, ScanReportsKeepListsUniqueAndFlagAnUnknownInnerClass) {
    const QString path = QStringLiteral("/p/A.java");
    project->AddFile(path);
    EXPECT_FALSE(project->AddClass(QStringLiteral("/q/A.java"), QStringLiteral("A")));
    EXPECT_FALSE(project->AddMethod(path, QStringLiteral("A"), QStringLiteral("f()")));
    project->setModifiedFlag(false);
    EXPECT_TRUE(project->AddClass(path, QStringLiteral("A")));
    EXPECT_TRUE(project->isModified());
    project->setModifiedFlag(false);
    EXPECT_TRUE(project->AddClass(path, QStringLiteral("A")));
    EXPECT_TRUE(project->AddMethod(path, QStringLiteral("A"), QStringLiteral("f()")));
    EXPECT_TRUE(project->AddMethod(path, QStringLiteral("A"), QStringLiteral("f()")));
    EXPECT_TRUE(project->AddInnerClass(path, QStringLiteral("A"), QStringLiteral("In")));
    project->AddInnerMethod(path, QStringLiteral("A"), QStringLiteral("In"), QStringLiteral("g()"));
    project->AddInnerMethod(path, QStringLiteral("A"), QStringLiteral("In"), QStringLiteral("g()"));
    EXPECT_TRUE(messages().isEmpty());
    project->AddInnerMethod(path, QStringLiteral("A"), QStringLiteral("Out"),
                            QStringLiteral("h()"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Error parsing file")});

    const CJavaClass *a =
        project->GetFileList().GetAt(0)->GetClasses().FindClass(QStringLiteral("A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(project->GetFileList().GetAt(0)->GetClasses().GetCount(), 1);
    EXPECT_EQ(a->GetMethods(), QStringList{QStringLiteral("f()")});
    ASSERT_EQ(a->GetInnerClasses().GetCount(), 1);
    EXPECT_EQ(a->GetInnerClass(QStringLiteral("In"))->GetMethods(),
              QStringList{QStringLiteral("g()")});
}

// Saving, closing and the recent projects.

TEST_F(ProjectTest, NeverSavedProjectAsksAndItsCloseLeavesTheRecentListAlone) {
    harness.app().settings().recentProjects = {QStringLiteral("/old/Old.jpr")};
    addFiles({write(QStringLiteral("A.java"), kClassA)});
    ASSERT_TRUE(project->isModified());

    EXPECT_FALSE(project->saveModified()); // unscripted: Cancel
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Save changes to %1?").arg(project->title())});

    harness.prompter().answerNext(fw::Answer::Ok);
    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_TRUE(harness.app().CloseProject());
    AppHarness::processEvents();
    EXPECT_EQ(harness.app().GetProjectDoc(), nullptr);
    EXPECT_EQ(harness.app().settings().recentProjects, QStringList{QStringLiteral("/old/Old.jpr")});
    EXPECT_EQ(harness.storedSettings()->readString(QStringLiteral("OPTIONS"),
                                                   QStringLiteral("LASTOPEN"), QStringLiteral("?")),
              QString());
}

TEST_F(ProjectTest, SavedProjectReopensByteForByte) {
    makeProjectAB();
    ASSERT_EQ(tree().size(), 7);
    project->SetMainFile(QStringLiteral("A.java"));
    project->SetHtmlFile(write(QStringLiteral("web/Applet.html"), "<html>\n"));
    project->m_strPackage = QStringLiteral("com.example");
    const QString projectPath = harness.folder() + QStringLiteral("/Demo.jpr");
    harness.prompter().saveAsNext(projectPath);
    ASSERT_TRUE(frame().executeCommand(CommandId::FileSave));
    const QByteArray saved = readFile(projectPath);
    ASSERT_FALSE(saved.isEmpty());

    harness.prompter().answerNext(fw::Answer::Ok);
    EXPECT_TRUE(harness.app().CloseProject());
    AppHarness::processEvents();
    EXPECT_EQ(harness.app().settings().recentProjects.value(0), projectPath);
    EXPECT_EQ(harness.storedSettings()->readString(QStringLiteral("OPTIONS"),
                                                   QStringLiteral("LASTOPEN"), QString()),
              projectPath);

    auto *reopened = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(projectPath));
    ASSERT_NE(reopened, nullptr);
    EXPECT_FALSE(reopened->isModified());
    view = reopened->projectView();
    EXPECT_EQ(tree(), (QStringList{
                          QStringLiteral("A.java 2"),
                          QStringLiteral("  A 6"),
                          QStringLiteral("    f() 8"),
                          QStringLiteral("    In 6"),
                          QStringLiteral("      g() 8"),
                          QStringLiteral("      b() 8"),
                          QStringLiteral("Applet.html 4"),
                          QStringLiteral("B.java 0"),
                      }));
    ASSERT_TRUE(reopened->doSave(projectPath));
    EXPECT_EQ(readFile(projectPath), saved);
}

TEST_F(ProjectTest, OpeningAnotherProjectAsksThenSavesTheModifiedOneWithoutAsking) {
    const QString firstPath = harness.folder() + QStringLiteral("/First.jpr");
    harness.prompter().saveAsNext(firstPath);
    ASSERT_TRUE(project->doFileSave());
    addFiles({QStringLiteral("/p/A.java")});
    const QString second = write(QStringLiteral("Second.jpr"), QByteArray(9, '\0'));

    harness.prompter().answerNext(fw::Answer::Ok);
    auto *opened = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(second));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Do you want to close the current project?")});
    EXPECT_EQ(opened->GetFileList().GetCount(), 0);
    EXPECT_GT(readFile(firstPath).size(), 9);
    EXPECT_EQ(harness.app().settings().recentProjects.value(0), firstPath);
}

// The tree.

TEST_F(ProjectTest, TreeShowsFilesClassesMethodsAndInnerClasses) {
    makeProjectAB();
    // Class members sorted (case aside), the inner class's methods in the order reported.
    EXPECT_EQ(tree(), (QStringList{
                          QStringLiteral("A.java 0"),
                          QStringLiteral("  A 6"),
                          QStringLiteral("    f() 8"),
                          QStringLiteral("    In 6"),
                          QStringLiteral("      g() 8"),
                          QStringLiteral("      b() 8"),
                          QStringLiteral("B.java 0"),
                      }));
    // B.java was never scanned but still offers an expand button.
    EXPECT_EQ(item({QStringLiteral("B.java")})->childIndicatorPolicy(),
              QTreeWidgetItem::ShowIndicator);
}

TEST_F(ProjectTest, SetAsMainChangesTheImagesAndChecksTheCommand) {
    makeProjectAB();
    click(item({QStringLiteral("B.java")}));
    EXPECT_FALSE(frame().commandState(CommandId::SetAsMain).isChecked());
    QTest::keyClick(view, Qt::Key_F8);
    EXPECT_EQ(project->m_strMainFile, QStringLiteral("B.java"));
    EXPECT_EQ(project->m_strMainFolder, harness.folder() + QStringLiteral("/src"));
    EXPECT_EQ(tree().first(), QStringLiteral("A.java 0"));
    EXPECT_EQ(tree().last(), QStringLiteral("B.java 2"));

    click(item({QStringLiteral("B.java")}));
    EXPECT_TRUE(frame().commandState(CommandId::SetAsMain).isChecked());
    click(item({QStringLiteral("A.java")}));
    EXPECT_FALSE(frame().commandState(CommandId::SetAsMain).isChecked());
}

TEST_F(ProjectTest, RescanDropsAVanishedMethodAndKeepsExpansionAndSelection) {
    makeProjectAB();
    QTreeWidgetItem *classA = item({QStringLiteral("A.java"), QStringLiteral("A")});
    view->expandItem(item({QStringLiteral("A.java")}));
    view->expandItem(classA);
    click(item({QStringLiteral("A.java"), QStringLiteral("A"), QStringLiteral("In")}));

    QString text = QString::fromLatin1(kClassA);
    text.remove(QStringLiteral("    void f() {\n    }\n"));
    sourceA->setEditorText(text);
    sourceA->RefreshFunctionList();

    EXPECT_EQ(item({QStringLiteral("A.java"), QStringLiteral("A"), QStringLiteral("f()")}),
              nullptr);
    EXPECT_EQ(item({QStringLiteral("A.java"), QStringLiteral("A")}), classA);
    EXPECT_TRUE(classA->isExpanded());
    EXPECT_EQ(view->selectedItem(),
              item({QStringLiteral("A.java"), QStringLiteral("A"), QStringLiteral("In")}));
    EXPECT_EQ(tree().size(), 6);
}

TEST_F(ProjectTest, RemovingTheHtmlItemClearsTheHtmlFile) {
    const QString page = write(QStringLiteral("Page.html"), "<html>\n");
    harness.prompter().chooseFilesNext({page});
    ASSERT_TRUE(frame().executeCommand(CommandId::AddHtmlFile));
    EXPECT_EQ(harness.prompter().fileDialogs().back().filter,
              QStringLiteral("HTML Files (*.htm;*.html)|*.htm;*.html||"));
    EXPECT_EQ(tree(), QStringList{QStringLiteral("Page.html 4")});

    click(item({QStringLiteral("Page.html")}));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(project->m_strHtmlFile, QString());
    EXPECT_EQ(project->m_strHtmlPath, QString());
    EXPECT_EQ(tree(), QStringList());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ProjectTest, ContextMenuOffersFileItemsOnlyForFiles) {
    makeProjectAB();
    const auto itemsOf = [](QMenu *menu) {
        QStringList items;
        for (QAction *action : menu->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return items;
    };

    QMenu *menu = rightClick(item({QStringLiteral("A.java"), QStringLiteral("A")}));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(view->selectedItem(), item({QStringLiteral("A.java"), QStringLiteral("A")}));
    EXPECT_EQ(itemsOf(menu), (QStringList{QStringLiteral("Open"), QStringLiteral("-"),
                                          QStringLiteral("Add Java Source Files..."),
                                          QStringLiteral("Add HTML File...")}));
    ASSERT_NE(menu->defaultAction(), nullptr);
    EXPECT_EQ(menu->defaultAction()->text(), QStringLiteral("Open"));
    menu->close();
    AppHarness::processEvents();

    menu = rightClick(item({QStringLiteral("B.java")}));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(itemsOf(menu),
              (QStringList{QStringLiteral("Open"), QStringLiteral("Compile"),
                           QStringLiteral("Set as Main"), QStringLiteral("Remove"),
                           QStringLiteral("-"), QStringLiteral("Add Java Source Files..."),
                           QStringLiteral("Add HTML File...")}));
    // Not subject to the enable rules: Remove is chosen and runs.
    choose(menu, QStringLiteral("Remove"));
    EXPECT_EQ(project->GetFullPath(QStringLiteral("B.java")), kNoFile);

    view->clearSelection();
    EXPECT_EQ(rightClick(QPoint(5, view->viewport()->height() - 5)), nullptr);
    EXPECT_EQ(view->selectedItem(), nullptr);
}

TEST_F(ProjectTest, HtmlItemCannotBeCompiledOrMadeMain) {
    project->SetHtmlFile(write(QStringLiteral("Page.html"), "<html>\n"));
    project->updateAllViews(nullptr);
    choose(rightClick(item({QStringLiteral("Page.html")})), QStringLiteral("Compile"));
    choose(rightClick(item({QStringLiteral("Page.html")})), QStringLiteral("Set as Main"));
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("Can't compile HTML File!"),
                                       QStringLiteral("Only Java files can be set as main")}));
    EXPECT_EQ(project->m_strMainFile, QString());
    EXPECT_FALSE(frame().commandState(CommandId::Compile).isEnabled());
}

TEST_F(ProjectTest, DoubleClickOnAnInnerClassMethodSelectsItsLine) {
    makeProjectAB();
    QTreeWidgetItem *g = item({QStringLiteral("A.java"), QStringLiteral("A"), QStringLiteral("In"),
                               QStringLiteral("g()")});
    ASSERT_NE(g, nullptr);
    view->expandAll();
    const QPoint point = view->visualItemRect(g).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);

    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(frame().activeDocument(), sourceA);
    const QTextCursor cursor = sourceA->firstSourceView()->textCursor();
    EXPECT_EQ(sourceA->textDocument()->findBlock(cursor.selectionStart()).blockNumber(), kLineOfG);
}

TEST_F(ProjectTest, DoubleClickOnAFileOpensItAndKeepsTheBranchAsItWas) {
    makeProjectAB();
    harness.app().ActivateProjectWindow();
    QTreeWidgetItem *fileA = item({QStringLiteral("A.java")});
    click(fileA);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(fileA).center());
    EXPECT_FALSE(fileA->isExpanded());
    EXPECT_EQ(frame().activeDocument(), sourceA);
}

TEST_F(ProjectTest, NothingSelectedSaysItemIsNull) {
    makeProjectAB();
    view->clearSelection();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       QPoint(5, view->viewport()->height() - 5));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Item is NULL")});
    EXPECT_FALSE(frame().commandState(CommandId::Open).isEnabled());
    EXPECT_FALSE(frame().commandState(CommandId::RemoveFile).isEnabled());
}

TEST_F(ProjectTest, MissingFileIsSoughtInTheCurrentFolderElseAddFilesIsOffered) {
    const QString moved = write(QStringLiteral("here/M.java"), "class M {\n}\n");
    project->AddFile(harness.folder() + QStringLiteral("/gone/M.java"));
    project->AddFile(harness.folder() + QStringLiteral("/gone/N.java"));
    project->updateAllViews(nullptr);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(harness.folder() + QStringLiteral("/here"));

    click(item({QStringLiteral("M.java")}));
    harness.prompter().clear();
    ASSERT_TRUE(frame().executeCommand(CommandId::Open));
    EXPECT_EQ(project->GetFullPath(QStringLiteral("M.java")), moved);

    harness.app().ActivateProjectWindow();
    click(item({QStringLiteral("N.java")}));
    harness.prompter().clear();
    ASSERT_TRUE(frame().executeCommand(CommandId::Open));
    QDir::setCurrent(previous);
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_EQ(
        messages().last(),
        QStringLiteral("Unable to locate this item - try adding the file to the project again."));
    ASSERT_FALSE(harness.prompter().fileDialogs().empty());
    EXPECT_EQ(
        harness.prompter().fileDialogs().back().filter,
        QStringLiteral("Java Source Files (*.jav;*.java)|*.jav;*.java|All Files (*.*)|*.*||"));
}

TEST_F(ProjectTest, PropertiesStoreThePackageAndMarkTheProjectModifiedOnOk) {
    project->AddFile(QStringLiteral("/p/A.java"));
    project->updateAllViews(nullptr);
    click(item({QStringLiteral("A.java")}));
    project->m_strPackage = QStringLiteral("com.old");

    const auto answer = [](const QString &typed, int result) {
        return [typed, result](QDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Properties"));
            auto *edit = dialog.findChild<QLineEdit *>();
            EXPECT_EQ(edit->text(), QStringLiteral("com.old"));
            edit->setText(typed);
            return result;
        };
    };
    project->setModifiedFlag(false);
    harness.prompter().runDialogNext(answer(QStringLiteral("com.new"), QDialog::Rejected));
    ASSERT_TRUE(frame().executeCommand(CommandId::Properties));
    EXPECT_EQ(project->m_strPackage, QStringLiteral("com.old"));
    EXPECT_FALSE(project->isModified());

    harness.prompter().runDialogNext(answer(QStringLiteral("com.old"), QDialog::Accepted));
    ASSERT_TRUE(frame().executeCommand(CommandId::Properties));
    EXPECT_TRUE(project->isModified());
    EXPECT_EQ(harness.prompter().dialogsRun(), 2);
}

// The enable and check rules of the tree's commands, by what is selected.

struct EnableCase {
    const char *name;
    QStringList selected; // labels from the root; empty: nothing selected
    bool open;
    bool remove;
    bool setAsMain;
    bool checked;
    bool compile;
};

class EnableRuleTest : public ProjectTest, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(EnableRuleTest, FollowTheSelectedLabel) {
    makeProjectAB();
    project->SetMainFile(QStringLiteral("A.java"));
    project->SetHtmlFile(write(QStringLiteral("Page.html"), "<html>\n"));
    project->updateAllViews(nullptr);
    view->clearSelection();
    if (!GetParam().selected.isEmpty()) {
        view->expandAll();
        click(item(GetParam().selected));
    }
    const EnableCase &expected = GetParam();
    EXPECT_EQ(frame().commandState(CommandId::Open).isEnabled(), expected.open);
    EXPECT_EQ(frame().commandState(CommandId::RemoveFile).isEnabled(), expected.remove);
    EXPECT_EQ(frame().commandState(CommandId::Properties).isEnabled(), expected.remove);
    EXPECT_EQ(frame().commandState(CommandId::SetAsMain).isEnabled(), expected.setAsMain);
    EXPECT_EQ(frame().commandState(CommandId::SetAsMain).isChecked(), expected.checked);
    EXPECT_EQ(frame().commandState(CommandId::Compile).isEnabled(), expected.compile);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectTree, EnableRuleTest,
    ::testing::Values(
        EnableCase{"NothingSelected", {}, false, false, false, false, false},
        EnableCase{"MainFile", {QStringLiteral("A.java")}, true, true, true, true, true},
        EnableCase{"OtherFile", {QStringLiteral("B.java")}, true, true, true, false, true},
        EnableCase{"HtmlFile", {QStringLiteral("Page.html")}, true, true, true, false, false},
        EnableCase{"Method",
                   {QStringLiteral("A.java"), QStringLiteral("A"), QStringLiteral("f()")},
                   true,
                   false,
                   false,
                   false,
                   false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProjectTest, CompilerOutputAndConsoleRunNeedTheirMembers) {
    EXPECT_FALSE(frame().commandState(CommandId::ShowCompilerOutput).isEnabled());
    EXPECT_FALSE(frame().commandState(CommandId::RunWithConsole).isEnabled());
    project->m_strLastOutput = QStringLiteral("Exit code: 0");
    project->m_strMainFile = QStringLiteral("A.java");
    EXPECT_TRUE(frame().commandState(CommandId::ShowCompilerOutput).isEnabled());
    EXPECT_TRUE(frame().commandState(CommandId::RunWithConsole).isEnabled());
}

} // namespace
