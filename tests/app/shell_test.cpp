#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "framework/doctemplate.h"
#include "framework/frame.h"
#include "framework/profile.h"
#include "framework/resourcetables.h"
#include "framework/view.h"
#include "project/cjavaprojectdoc.h"
#include "support/appharness.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

const QString kOptions = QStringLiteral("OPTIONS");

// One line per item: the text, "-" for a separator.
QStringList itemsOf(QMenu *menu) {
    QStringList items;
    for (QAction *action : menu->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return items;
}

QMenu *popup(CMainFrame &frame, int menuId, const QString &title) {
    for (QMenu *menu : frame.menus(menuId)) {
        if (menu->title() == title) {
            return menu;
        }
    }
    return nullptr;
}

QStringList titlesOf(CMainFrame &frame, int menuId) {
    QStringList titles;
    for (QMenu *menu : frame.menus(menuId)) {
        titles << menu->title();
    }
    return titles;
}

TEST(Menus, MainMenuHasFileProjectViewHelpOnly) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    EXPECT_EQ(frame.currentMenuId(), 128);
    EXPECT_EQ(titlesOf(frame, 128),
              (QStringList{QStringLiteral("&File"), QStringLiteral("Project"),
                           QStringLiteral("&View"), QStringLiteral("&Help")}));
    EXPECT_EQ(
        itemsOf(popup(frame, 128, QStringLiteral("&File"))),
        (QStringList{QStringLiteral("&New\tCtrl+N"), QStringLiteral("New Project..."),
                     QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("-"),
                     QStringLiteral("Preferences..."), QStringLiteral("-"),
                     QStringLiteral("P&rint Setup..."), QStringLiteral("-"),
                     QStringLiteral("Recent Projects..."), QStringLiteral("-"),
                     QStringLiteral("Recent File"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    EXPECT_EQ(itemsOf(popup(frame, 128, QStringLiteral("Project"))),
              QStringList{QStringLiteral("New Project...")});
}

TEST(Menus, DocumentMenusDifferOnlyWhereTheyShould) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const QStringList popups{QStringLiteral("&File"),   QStringLiteral("&Edit"),
                             QStringLiteral("Project"), QStringLiteral("Build"),
                             QStringLiteral("&View"),   QStringLiteral("&Window"),
                             QStringLiteral("&Help")};
    for (int id : {129, 130, 131}) {
        EXPECT_EQ(titlesOf(frame, id), popups) << id;
    }
    const QStringList sourceProject = itemsOf(popup(frame, 129, QStringLiteral("Project")));
    EXPECT_EQ(sourceProject.mid(sourceProject.size() - 4),
              (QStringList{QStringLiteral("Properties..."), QStringLiteral("-"),
                           QStringLiteral("Add Window to Project"),
                           QStringLiteral("Open In Web Browser")}));
    QStringList projectWithoutSeparator = sourceProject;
    projectWithoutSeparator.removeAt(sourceProject.size() - 3);
    EXPECT_EQ(itemsOf(popup(frame, 130, QStringLiteral("Project"))), projectWithoutSeparator);
    EXPECT_EQ(itemsOf(popup(frame, 131, QStringLiteral("Project"))),
              sourceProject.mid(0, sourceProject.size() - 1));
    EXPECT_TRUE(itemsOf(popup(frame, 131, QStringLiteral("Build")))
                    .contains(QStringLiteral("Open In Web Browser")));
    EXPECT_EQ(itemsOf(popup(frame, 129, QStringLiteral("&Help"))).last(),
              QStringLiteral("Help...\tF1"));
    EXPECT_TRUE(itemsOf(popup(frame, 131, QStringLiteral("&Help")))
                    .contains(QStringLiteral("&About Tarvo...")));
    EXPECT_TRUE(itemsOf(popup(frame, 129, QStringLiteral("&Help")))
                    .contains(QStringLiteral("&About Tarvo")));
    EXPECT_EQ(itemsOf(popup(frame, 129, QStringLiteral("Build"))),
              (QStringList{QStringLiteral("Build\tF7"),
                           QStringLiteral("Compile\tCtrl+M"),
                           QStringLiteral("-"),
                           QStringLiteral("Run Application\tF5"),
                           QStringLiteral("Debug Application\tCtrl+F5"),
                           QStringLiteral("Run Applet\tShift+F5"),
                           QStringLiteral("Run with Console"),
                           QStringLiteral("Run Settings..."),
                           QStringLiteral("Stop"),
                           QStringLiteral("Open In Web Browser"),
                           QStringLiteral("-"),
                           QStringLiteral("Continue\tCtrl+F9"),
                           QStringLiteral("Step Over\tF10"),
                           QStringLiteral("Step Into\tF11"),
                           QStringLiteral("Step Out\tShift+F11"),
                           QStringLiteral("Stop Debugging\tCtrl+Shift+F5"),
                           QStringLiteral("Toggle Breakpoint\tF9"),
                           QStringLiteral("-"),
                           QStringLiteral("Show Compiler Output"),
                           QStringLiteral("Next Message\tF4"),
                           QStringLiteral("Previous Message\tShift+F4")}));
}

TEST(Menus, PromptsAndTooltipsComeFromTheStringTable) {
    AppHarness harness;
    const fw::ResourceTables &tables = harness.app().tables();
    EXPECT_EQ(tables.prompt(CommandId::FileNew), QStringLiteral("Create a new document"));
    EXPECT_EQ(tables.tooltip(CommandId::FileNew), QStringLiteral("New"));
    EXPECT_EQ(tables.prompt(CommandId::SaveAll), QStringLiteral("Save all open documents."));
    EXPECT_EQ(tables.tooltip(CommandId::SaveAll), QString());
    EXPECT_EQ(tables.tooltip(CommandId::ShowProjectWindow), QStringLiteral("Project Window"));
    QMenu *build = popup(harness.mainFrame(), 129, QStringLiteral("Build"));
    EXPECT_EQ(build->actions().at(1)->statusTip(), QStringLiteral("Compile the current file"));
    QAction *runButton = harness.mainFrame().toolBarAction(139, CommandId::RunApplication);
    ASSERT_NE(runButton, nullptr);
    EXPECT_EQ(runButton->toolTip(), QStringLiteral("Run"));
}

TEST(Menus, TipOfTheDayIsAddedToHelpOnce) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    for (int round = 0; round < 3; ++round) {
        for (QAction *item : frame.menuBar()->actions()) {
            Q_EMIT item->menu()->aboutToShow();
        }
    }
    const QStringList help = itemsOf(frame.helpPopup());
    EXPECT_EQ(help.first(), QStringLiteral("Ti&p of the Day..."));
    EXPECT_EQ(help.at(1), QStringLiteral("-"));
    EXPECT_EQ(help.count(QStringLiteral("Ti&p of the Day...")), 1);
}

TEST(Shell, StatusBarHasFivePanesWithMessageAndLine) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    EXPECT_EQ(frame.paneText(CMainFrame::MessagePane), QStringLiteral("Ready"));
    harness.app().setLineText(QStringLiteral("Line: 3"));
    EXPECT_EQ(frame.paneText(CMainFrame::LinePane), QStringLiteral("Line: 3"));
    EXPECT_EQ(frame.paneText(CMainFrame::ScrollLockPane), QStringLiteral("SCRL"));
}

class RoutingTest : public ::testing::Test {
protected:
    AppHarness harness;
    QStringList calls;

    void handle(fw::CommandTarget &target, int id, const QString &name) {
        target.addCommand(id, [this, name] { calls << name; });
    }
};

TEST_F(RoutingTest, ViewThenDocumentThenFrameThenMainWindowThenApplication) {
    ASSERT_TRUE(harness.app().NewSourceDocument(QStringLiteral("Vosk")));
    CMainFrame &frame = harness.mainFrame();
    fw::View *view = frame.activeView();
    ASSERT_NE(view, nullptr);
    fw::CommandTarget *targets[] = {view, view->doc(), view->frame(), &frame, &harness.app()};
    const QStringList names{QStringLiteral("view"), QStringLiteral("document"),
                            QStringLiteral("frame"), QStringLiteral("main"), QStringLiteral("app")};
    // Command 40000 + k is handled by targets k and later: the nearest one must win.
    for (int first = 0; first < 5; ++first) {
        for (int target = first; target < 5; ++target) {
            handle(*targets[target], 40000 + first, names.at(target));
        }
    }
    for (int first = 0; first < 5; ++first) {
        calls.clear();
        EXPECT_TRUE(frame.executeCommand(40000 + first));
        EXPECT_EQ(calls, QStringList{names.at(first)});
    }
    EXPECT_FALSE(frame.executeCommand(40999));
    EXPECT_FALSE(frame.commandState(40999).isEnabled());
}

TEST_F(RoutingTest, NearestUpdateHandlerDecidesAndDisabledCommandsDoNotRun) {
    ASSERT_TRUE(harness.app().NewSourceDocument(QStringLiteral("Vosk")));
    CMainFrame &frame = harness.mainFrame();
    fw::View *view = frame.activeView();
    handle(*view, 41000, QStringLiteral("view"));
    harness.app().addUpdate(41000, [](fw::CommandUi &ui) { ui.setEnabled(false); });
    EXPECT_FALSE(frame.commandState(41000).isEnabled());
    EXPECT_FALSE(frame.executeCommand(41000));
    EXPECT_TRUE(calls.isEmpty());

    view->doc()->addUpdate(41000, [](fw::CommandUi &ui) { ui.setChecked(true); });
    EXPECT_TRUE(frame.commandState(41000).isEnabled());
    EXPECT_TRUE(frame.commandState(41000).isChecked());
    EXPECT_TRUE(frame.executeCommand(41000));
    EXPECT_EQ(calls, QStringList{QStringLiteral("view")});
}

TEST(EnableRules, ProjectCommandsNeedAProject) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    for (int id :
         {CommandId::Build, CommandId::Compile, CommandId::RunApplication, CommandId::RunApplet,
          CommandId::RunWithConsole, CommandId::CreateJar, CommandId::AddJavaSourceFiles}) {
        EXPECT_FALSE(frame.commandState(id).isEnabled()) << id;
    }

    ASSERT_TRUE(harness.app().NewSourceDocument(QStringLiteral("JavaProject")));
    CJavaProjectDoc *project = harness.app().GetProjectDoc();
    ASSERT_NE(project, nullptr);
    // From a source window: the project window has its own rule for Run with Console.
    ASSERT_TRUE(harness.app().NewSourceDocument(QStringLiteral("Vosk")));
    EXPECT_TRUE(frame.commandState(CommandId::RunApplication).isEnabled());
    EXPECT_TRUE(frame.commandState(CommandId::RunWithConsole).isEnabled());
    EXPECT_FALSE(frame.commandState(CommandId::RunApplet).isEnabled());
    // The project's own commands work from its source windows too.
    EXPECT_TRUE(frame.commandState(CommandId::Build).isEnabled());
    EXPECT_TRUE(frame.commandState(CommandId::CreateJar).isEnabled());
    EXPECT_TRUE(frame.commandState(CommandId::AddJavaSourceFiles).isEnabled());
    project->m_strHtmlPath = QStringLiteral("/p/page.html");
    EXPECT_TRUE(frame.commandState(CommandId::RunApplet).isEnabled());
}

TEST(Documents, NewSourceWindowIsUntitledVoskAndAsksBeforeClosingModified) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    EXPECT_TRUE(frame.executeCommand(CommandId::FileNew));
    fw::Document *document = frame.activeDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->title(), QStringLiteral("Vosk1"));
    EXPECT_EQ(frame.currentMenuId(), 129);

    auto *editor = qobject_cast<QPlainTextEdit *>(frame.activeView()->widget());
    QTest::keyClicks(editor, QStringLiteral("class A {}"));
    EXPECT_TRUE(document->isModified());

    harness.prompter().answerNext(fw::Answer::Cancel);
    EXPECT_TRUE(frame.executeCommand(CommandId::FileClose));
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Save changes to Vosk1?")});
    EXPECT_EQ(frame.activeDocument(), document);

    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_TRUE(frame.executeCommand(CommandId::FileClose));
    AppHarness::processEvents();
    EXPECT_EQ(frame.activeDocument(), nullptr);
    EXPECT_EQ(frame.currentMenuId(), 128);
}

TEST(Documents, OpeningAnOpenFileBringsItsWindowForward) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    fw::Document *first = harness.app().openDocumentFile(path);
    ASSERT_NE(first, nullptr);
    harness.app().NewSourceDocument(QStringLiteral("Vosk"));
    EXPECT_NE(harness.mainFrame().activeDocument(), first);
    EXPECT_EQ(harness.app().openDocumentFile(path), first);
    EXPECT_EQ(harness.mainFrame().activeDocument(), first);
    EXPECT_EQ(harness.mainFrame().frames().size(), 2u);
}

TEST(Documents, SaveAllAsksForEachModifiedDocument) {
    AppHarness harness;
    const QString a = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    const QString page = harness.writeFile(QStringLiteral("page.html"), "<html>\n");
    auto *source = dynamic_cast<PlainTextDocument *>(harness.app().openDocumentFile(a));
    auto *html = dynamic_cast<PlainTextDocument *>(harness.app().openDocumentFile(page));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(html->docTemplate()->resourceId(), 131);
    source->setEditorText(QStringLiteral("class B {}\n"));
    html->setEditorText(QStringLiteral("<body>\n"));
    harness.prompter().answerNext(fw::Answer::Yes);
    harness.prompter().answerNext(fw::Answer::Yes);
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::SaveAll));
    EXPECT_EQ(harness.prompter().messageTexts(),
              (QStringList{QStringLiteral("Save changes to A.java?"),
                           QStringLiteral("Save changes to page.html?")}));
    EXPECT_FALSE(source->isModified());
    EXPECT_FALSE(html->isModified());
    QFile saved(a);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("class B {}\n"));
}

// A project file with nothing in it: the file count and five empty strings.
const QByteArray kEmptyProject("\0\0\0\0\0\0\0\0\0", 9);

TEST(ProjectSwitch, OpeningAnotherProjectAsksAndCancelKeepsTheFirst) {
    AppHarness harness;
    const QString a = harness.writeFile(QStringLiteral("a/A.jpr"), kEmptyProject);
    const QString b = harness.writeFile(QStringLiteral("b/B.jpr"), kEmptyProject);
    fw::Document *first = harness.app().openDocumentFile(a);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(harness.prompter().messages().empty());

    harness.prompter().answerNext(fw::Answer::Cancel);
    EXPECT_EQ(harness.app().openDocumentFile(b), nullptr);
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Do you want to close the current project?")});
    EXPECT_EQ(harness.app().GetProjectDoc(), first);

    // The open project again: only brought forward, no question.
    harness.prompter().clear();
    harness.app().NewSourceDocument(QStringLiteral("Vosk"));
    EXPECT_EQ(harness.app().openDocumentFile(a), nullptr);
    EXPECT_TRUE(harness.prompter().messages().empty());
    EXPECT_EQ(harness.mainFrame().activeDocument(), first);

    harness.prompter().answerNext(fw::Answer::Ok);
    fw::Document *second = harness.app().openDocumentFile(b);
    ASSERT_NE(second, nullptr);
    AppHarness::processEvents();
    EXPECT_EQ(harness.app().GetProjectDoc(), second);
}

TEST(ProjectSwitch, UpperCaseExtensionIsNoSwitch) {
    AppHarness harness;
    const QString a = harness.writeFile(QStringLiteral("A.jpr"), kEmptyProject);
    const QString upper = harness.writeFile(QStringLiteral("B.JPR"), kEmptyProject);
    ASSERT_NE(harness.app().openDocumentFile(a), nullptr);
    fw::Document *second = harness.app().openDocumentFile(upper);
    EXPECT_TRUE(harness.prompter().messages().empty());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(dynamic_cast<CJavaProjectDoc *>(second), nullptr);
}

TEST(ProjectSwitch, DamagedProjectFileIsRefused) {
    AppHarness harness;
    const QString damaged = harness.writeFile(QStringLiteral("D.jpr"), QByteArray("\x01\0\0", 3));
    EXPECT_EQ(harness.app().openDocumentFile(damaged), nullptr);
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Unexpected file format.")});
    EXPECT_EQ(harness.app().GetProjectDoc(), nullptr);
}

TEST(StartUp, CommandLineFileOpensAndMissingOnlyFileFailsStartUp) {
    {
        const QString path =
            testing_support::writeFileIn(testing_support::makeScratchFolder(QStringLiteral("cli")),
                                         QStringLiteral("Hello.java"), "class Hello {}\n");
        AppHarness harness({path});
        EXPECT_TRUE(harness.started());
        ASSERT_NE(harness.mainFrame().activeDocument(), nullptr);
        EXPECT_EQ(harness.mainFrame().activeDocument()->title(), QStringLiteral("Hello.java"));
    }
    AppHarness failing({QStringLiteral("/nonexistent/Nothing.java")});
    EXPECT_FALSE(failing.started());
}

TEST(StartUp, MaximisedStateIsRestored) {
    AppHarness harness({}, [](fw::Profile &profile) {
        profile.writeInt(QStringLiteral("SETTINGS"), QStringLiteral("WINDOWSTATE"), 1);
    });
    EXPECT_TRUE(harness.mainFrame().isMaximized());
}

TEST(CloseSequence, WritesWindowStateAndEmptiesLastProjectWhenNoneIsOpen) {
    AppHarness harness({}, [](fw::Profile &profile) {
        profile.writeString(kOptions, QStringLiteral("LASTOPEN"), QStringLiteral("/old.jpr"));
        profile.writeInt(kOptions, QStringLiteral("LOADLAST"), 0);
    });
    harness.mainFrame().showMaximized();
    harness.mainFrame().close();
    std::unique_ptr<fw::Profile> stored = harness.storedSettings();
    EXPECT_EQ(stored->readInt(QStringLiteral("SETTINGS"), QStringLiteral("WINDOWSTATE"), -1), 1);
    EXPECT_EQ(stored->readString(kOptions, QStringLiteral("LASTOPEN"), QStringLiteral("x")),
              QString());
    EXPECT_FALSE(
        stored->readBytes(QStringLiteral("MainFrameBarState"), QStringLiteral("State")).isEmpty());
}

TEST(CloseSequence, CancelledSaveKeepsTheWindowOpenButSettingsAreWritten) {
    AppHarness harness;
    harness.app().NewSourceDocument(QStringLiteral("Vosk"));
    harness.mainFrame().activeDocument()->setModifiedFlag(true);
    harness.mainFrame().show();
    harness.prompter().answerNext(fw::Answer::Cancel);
    EXPECT_FALSE(harness.mainFrame().close());
    EXPECT_TRUE(harness.mainFrame().isVisible());
    EXPECT_EQ(harness.storedSettings()->readInt(QStringLiteral("SETTINGS"),
                                                QStringLiteral("WINDOWSTATE"), -1),
              0);
}

TEST(Help, PressedTwiceStartsOneViewer) {
    const QString scratch = testing_support::makeScratchFolder(QStringLiteral("help"));
    const QString jdk = scratch + QStringLiteral("/jdk");
    const QString starts = scratch + QStringLiteral("/starts.txt");
    testing_support::writeFileIn(
        scratch, QStringLiteral("jdk/bin/java"),
        QStringLiteral("#!/bin/sh\necho \"$PWD $*\" >> '%1'\nsleep 5\n").arg(starts).toUtf8());
    QFile::setPermissions(jdk + QStringLiteral("/bin/java"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    AppHarness harness({}, [&](fw::Profile &profile) {
        profile.writeString(QStringLiteral("PATHS"), QStringLiteral("JAVABIN"), jdk);
    });
    harness.writeFile(QStringLiteral("program/help/tips.dat"), "A tip.\n");
    harness.app().setAppFolder(harness.folder() + QStringLiteral("/program"));
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::Help));
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::Help));
    QTest::qWait(500);
    QFile log(starts);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    EXPECT_EQ(lines.size(), 2); // one start and the empty rest after its line end
    EXPECT_TRUE(lines.constFirst().endsWith(" Tester"));
    EXPECT_TRUE(lines.constFirst().contains("/help "));
    EXPECT_TRUE(harness.prompter().messages().empty());
}

TEST(Help, MissingJavaSaysTheLaunchFailed) {
    AppHarness harness({}, [](fw::Profile &profile) {
        profile.writeString(QStringLiteral("PATHS"), QStringLiteral("JAVABIN"),
                            QStringLiteral("/nonexistent-jdk"));
    });
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::Help));
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Failed to laumch external process.")});
}

} // namespace

namespace {

TEST(Windows, RecentFileEntriesAreEnabledOnlyWhenListed) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    EXPECT_FALSE(frame.commandState(CommandId::FileRecentFirst).isEnabled());
    const QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    ASSERT_NE(harness.app().openDocumentFile(path), nullptr);
    EXPECT_TRUE(frame.commandState(CommandId::FileRecentFirst).isEnabled());
    EXPECT_FALSE(frame.commandState(CommandId::FileRecentFirst + 1).isEnabled());
}

TEST(Windows, TwoWindowsOfOneDocumentAreNumberedAndClosingOneActivatesTheOther) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    fw::Document *document = harness.app().openDocumentFile(path);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(frame.executeCommand(CommandId::WindowNew));
    AppHarness::processEvents();
    QStringList titles;
    for (QMdiSubWindow *window : frame.mdiArea()->subWindowList()) {
        titles << window->windowTitle();
    }
    titles.sort();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("A.java:1[*]"), QStringLiteral("A.java:2[*]")}));

    frame.mdiArea()->activeSubWindow()->close();
    AppHarness::processEvents();
    ASSERT_EQ(frame.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame.mdiArea()->subWindowList().constFirst()->windowTitle(),
              QStringLiteral("A.java[*]"));
    EXPECT_EQ(frame.activeDocument(), document);
}

TEST(Windows, LinePaneIsClearedWhenTheActiveWindowChanges) {
    AppHarness harness;
    harness.app().setLineText(QStringLiteral("Line: 9"));
    ASSERT_TRUE(harness.app().NewSourceDocument(QStringLiteral("JavaProject")));
    AppHarness::processEvents();
    EXPECT_EQ(harness.mainFrame().paneText(CMainFrame::LinePane), QString());
}

} // namespace

namespace {

TEST(Windows, ClosingADocumentActivatesTheWindowBeforeIt) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    fw::Document *first =
        harness.app().openDocumentFile(harness.writeFile(QStringLiteral("A.java"), "class A\n"));
    fw::Document *second =
        harness.app().openDocumentFile(harness.writeFile(QStringLiteral("B.java"), "class B\n"));
    ASSERT_EQ(frame.activeDocument(), second);
    ASSERT_TRUE(frame.executeCommand(CommandId::FileClose));
    AppHarness::processEvents();
    EXPECT_EQ(frame.activeDocument(), first);
    ASSERT_NE(frame.mdiArea()->activeSubWindow(), nullptr);
}

} // namespace

namespace {

TEST(HandedFiles, WaitWhileADialogIsOpenAndDoNotUnmaximise) {
    AppHarness harness;
    harness.mainFrame().showMaximized();
    const QString path = harness.writeFile(QStringLiteral("Handed.java"), "class Handed {}\n");
    QDialog question(&harness.mainFrame());
    question.setModal(true);
    question.show();
    harness.app().OpenHandedFiles({path});
    AppHarness::processEvents();
    EXPECT_EQ(harness.mainFrame().activeDocument(), nullptr);

    question.hide();
    QTest::qWait(400);
    ASSERT_NE(harness.mainFrame().activeDocument(), nullptr);
    EXPECT_EQ(harness.mainFrame().activeDocument()->title(), QStringLiteral("Handed.java"));
    EXPECT_TRUE(harness.mainFrame().isMaximized());
}

} // namespace

namespace {

TEST(StartUp, OpeningFilesAtStartUpWritesNoSetting) {
    const QString path =
        testing_support::writeFileIn(testing_support::makeScratchFolder(QStringLiteral("quiet")),
                                     QStringLiteral("Quiet.java"), "class Quiet {}\n");
    AppHarness harness({path});
    ASSERT_TRUE(harness.started());
    EXPECT_FALSE(QFileInfo::exists(harness.settingsFile()));

    harness.mainFrame().close();
    EXPECT_EQ(harness.storedSettings()->readString(QStringLiteral("Recent File List"),
                                                   QStringLiteral("File1")),
              path);
}

} // namespace
