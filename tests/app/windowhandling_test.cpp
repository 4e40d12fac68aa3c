// Document windows as desktop users handle them: where new ones open, files dropped on the
// main window, the window keys, the Window menu, and the windows that come back with the last
// project.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "framework/frame.h"
#include "framework/profile.h"
#include "framework/resourcetables.h"
#include "framework/view.h"
#include "project/cjavaprojectdoc.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

QStringList windowTitles(CMainFrame &frame) {
    QStringList titles;
    for (QMdiSubWindow *window : frame.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        titles << window->windowTitle().remove(u"[*]"_s);
    }
    return titles;
}

QString activeTitle(CMainFrame &frame) {
    fw::Document *document = frame.activeDocument();
    return document ? document->title() : QString();
}

// The widget that has the keyboard in the active window.
QWidget *keyTarget(CMainFrame &frame) {
    fw::View *view = frame.activeView();
    return view ? view->widget() : &frame;
}

// --- Where new windows open ---

TEST(WindowPlacement, NewWindowsAreNoTallerThanTheWorkspace) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    ASSERT_TRUE(harness.app().NewSourceDocument(u"JavaProject"_s));
    ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(u"A.java"_s, "class A {}\n")),
              nullptr);
    AppHarness::processEvents();

    const int workspace = frame.mdiArea()->contentsRect().height();
    const QRect free = frame.freeClientArea();
    const QList<QMdiSubWindow *> windows = frame.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 2);
    for (QMdiSubWindow *window : windows) {
        EXPECT_LE(window->geometry().bottom() + 1, workspace)
            << window->windowTitle().toStdString();
    }
    EXPECT_FALSE(frame.mdiArea()->verticalScrollBar()->isVisible());
    // The placement rules hold otherwise: the project window at the left, 220 wide; the source
    // window beside it, its height the free area's less 10 where that fits.
    EXPECT_EQ(windows[0]->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(windows[0]->width(), 220);
    EXPECT_EQ(windows[1]->geometry().topLeft(), QPoint(225, 0));
    EXPECT_EQ(windows[1]->width(), free.width() - 235);
    EXPECT_EQ(windows[1]->height(), std::min(free.height() - 10, workspace));
}

// --- Files dropped on the main window ---

// Drags mime data onto a widget and drops it there, as the desktop delivers a drag; whether
// the drop was taken.
bool dropOn(QWidget *target, const QMimeData &data) {
    const QPoint point(5, 5);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    AppHarness::processEvents();
    return drop.isAccepted();
}

QMimeData *filesData(const QStringList &paths) {
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data->setUrls(urls);
    return data;
}

QString writeProject(AppHarness &harness, const QString &name, const QStringList &files) {
    EXPECT_TRUE(harness.app().NewSourceDocument(u"JavaProject"_s));
    CJavaProjectDoc *project = harness.app().GetProjectDoc();
    for (const QString &file : files) {
        project->AddFile(file);
    }
    const QString path = harness.folder() + u'/' + name;
    EXPECT_TRUE(project->doSave(path));
    project->onCloseDocument();
    AppHarness::processEvents();
    return path;
}

TEST(DroppedFiles, OpenAsFromFileOpenWithProjectsAsProjects) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const QString source = harness.writeFile(u"A.java"_s, "class A {}\n");
    const QString projectPath = writeProject(harness, u"P.jpr"_s, {source});
    ASSERT_EQ(harness.app().GetProjectDoc(), nullptr);

    const std::unique_ptr<QMimeData> data(filesData({source, projectPath}));
    EXPECT_TRUE(dropOn(frame.mdiArea()->viewport(), *data));
    EXPECT_EQ(windowTitles(frame), (QStringList{u"A.java"_s, u"P.jpr"_s}));
    ASSERT_NE(harness.app().GetProjectDoc(), nullptr);
    EXPECT_EQ(harness.app().GetProjectDoc()->pathName(), projectPath);
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());

    // A second project dropped asks first, as File > Open does.
    const QString otherProject = writeProject(harness, u"Q.jpr"_s, {});
    const std::unique_ptr<QMimeData> other(filesData({otherProject}));
    EXPECT_TRUE(dropOn(&frame, *other));
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{u"Do you want to close the current project?"_s});
    EXPECT_EQ(harness.app().GetProjectDoc()->pathName(), projectPath);
}

TEST(DroppedFiles, FileDroppedOnASourceWindowOpensInsteadOfBeingTyped) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    auto *first = dynamic_cast<CSyntaxWindowDoc *>(
        harness.app().openDocumentFile(harness.writeFile(u"A.java"_s, "class A {}\n")));
    ASSERT_NE(first, nullptr);
    const QString second = harness.writeFile(u"B.java"_s, "class B {}\n");

    const std::unique_ptr<QMimeData> data(filesData({second}));
    EXPECT_TRUE(dropOn(first->firstSourceView()->viewport(), *data));
    EXPECT_EQ(first->editorText(), u"class A {}\n"_s);
    EXPECT_FALSE(first->isModified());
    EXPECT_EQ(activeTitle(frame), u"B.java"_s);

    // Text is not a file: the main window leaves it alone.
    QMimeData text;
    text.setText(u"class C {}"_s);
    EXPECT_FALSE(dropOn(frame.mdiArea()->viewport(), text));
    EXPECT_EQ(frame.mdiArea()->subWindowList().size(), 2);
}

// --- Window keys ---

TEST(WindowKeys, CtrlF6AndCtrlShiftF6MoveBetweenWindowsAndCtrlF4ClosesTheActiveOne) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    for (const QString &name : {u"A.java"_s, u"B.java"_s, u"C.java"_s}) {
        ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(name, "class X {}\n")), nullptr);
    }
    ASSERT_EQ(activeTitle(frame), u"C.java"_s);

    QStringList visited;
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(keyTarget(frame), Qt::Key_F6, Qt::ControlModifier);
        visited << activeTitle(frame);
    }
    QTest::keyClick(keyTarget(frame), Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
    visited << activeTitle(frame);
    EXPECT_EQ(visited, (QStringList{u"A.java"_s, u"B.java"_s, u"C.java"_s, u"B.java"_s}));
    EXPECT_EQ(QApplication::focusWidget(), keyTarget(frame)) << "the keyboard follows";

    QTest::keyClick(keyTarget(frame), Qt::Key_F4, Qt::ControlModifier);
    AppHarness::processEvents();
    EXPECT_EQ(windowTitles(frame), (QStringList{u"A.java"_s, u"C.java"_s}));
    EXPECT_NE(frame.activeDocument(), nullptr);
}

TEST(WindowKeys, CtrlF4AsksBeforeClosingAModifiedWindow) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(u"A.java"_s, "class A {}\n")),
              nullptr);
    QTest::keyClicks(keyTarget(frame), u"x"_s);
    harness.prompter().answerNext(fw::Answer::Cancel);
    QTest::keyClick(keyTarget(frame), Qt::Key_F4, Qt::ControlModifier);
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{u"Save changes to A.java?"_s});
    EXPECT_EQ(windowTitles(frame), QStringList{u"A.java"_s});
}

struct RedoCase {
    const char *name;
    const char *file;
    QKeyCombination redoKey;
};

class RedoKeyTest : public ::testing::TestWithParam<RedoCase> {};

TEST_P(RedoKeyTest, RedoesTheUndoneTyping) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    fw::Document *document =
        harness.app().openDocumentFile(harness.writeFile(QString::fromLatin1(GetParam().file), ""));
    ASSERT_NE(document, nullptr);
    auto *editor = qobject_cast<QPlainTextEdit *>(keyTarget(frame));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, u"abc"_s);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(editor->toPlainText(), QString());
    QTest::keyClick(editor, GetParam().redoKey.key(), GetParam().redoKey.keyboardModifiers());
    EXPECT_EQ(editor->toPlainText(), u"abc"_s);
}

INSTANTIATE_TEST_SUITE_P(
    WindowKeys, RedoKeyTest,
    ::testing::Values(RedoCase{"CtrlYInASourceWindow", "A.java", Qt::ControlModifier | Qt::Key_Y},
                      RedoCase{"CtrlShiftZInASourceWindow", "A.java",
                               Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z},
                      RedoCase{"CtrlYInAnHtmlWindow", "page.html",
                               Qt::ControlModifier | Qt::Key_Y}),
    testing_support::CaseName());

TEST(WindowKeys, NoKeyMeansTwoCommandsInAnyWindow) {
    const fw::ResourceTables tables;
    const std::vector<fw::Accelerator> main = tables.accelerators(ResourceId::MainFrame);
    for (const int table : {ResourceId::JavaSource, ResourceId::JavaProject, ResourceId::Html}) {
        std::set<QString> seen;
        std::vector<fw::Accelerator> all = main;
        for (const fw::Accelerator &accelerator : tables.accelerators(table)) {
            all.push_back(accelerator);
        }
        for (const fw::Accelerator &accelerator : all) {
            const QString key = QKeySequence(accelerator.key).toString(QKeySequence::PortableText);
            EXPECT_TRUE(seen.insert(key).second) << key.toStdString() << " twice in " << table;
        }
    }
}

// --- Window menu ---

TEST(WindowMenu, ListsASecondWindowOfADocumentAsItsTitleBarShowsIt) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(u"A.java"_s, "class A {}\n")),
              nullptr);
    ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(u"B.java"_s, "class B {}\n")),
              nullptr);
    harness.app().openDocumentFile(harness.folder() + u"/A.java"_s);
    ASSERT_TRUE(frame.executeCommand(CommandId::WindowNew));
    AppHarness::processEvents();

    QMenu *windowMenu = nullptr;
    for (QMenu *menu : frame.menus(frame.currentMenuId())) {
        windowMenu = menu->title() == u"&Window"_s ? menu : windowMenu;
    }
    ASSERT_NE(windowMenu, nullptr);
    Q_EMIT windowMenu->aboutToShow();
    QStringList listed;
    for (QAction *action : windowMenu->actions()) {
        if (action->text().startsWith(u'&') && action->text().at(1).isDigit()) {
            listed << action->text();
        }
    }
    EXPECT_EQ(listed, (QStringList{u"&1 A.java:1"_s, u"&2 B.java"_s, u"&3 A.java:2"_s}));
    EXPECT_EQ(windowTitles(frame), (QStringList{u"A.java:1"_s, u"B.java"_s, u"A.java:2"_s}));
}

// --- The windows of the last project ---

// Starts a second Tarvo on the settings the first one left.
AppHarness::Presets settingsOf(const AppHarness &first) {
    const QString file = first.settingsFile();
    return [file](fw::Profile &profile) {
        const QSettings stored(file, QSettings::IniFormat);
        for (const QString &key : stored.allKeys()) {
            const QString section = key.section(u'/', 0, 0);
            if (section != u"MainFrameBarState"_s) {
                profile.writeString(section, key.section(u'/', 1), stored.value(key).toString());
            }
        }
    };
}

TEST(LastProject, ReopensItsSourceAndHtmlWindowsInOrderSkippingGoneFiles) {
    auto first = std::make_unique<AppHarness>();
    const QString folder = first->folder();
    const QString a = first->writeFile(u"A.java"_s, "class A {}\n");
    first->writeFile(u"page.html"_s, "<html>\n");
    first->writeFile(u"Gone.java"_s, "class Gone {}\n");
    first->writeFile(u"B.java"_s, "class B {}\n");
    const QString projectPath = writeProject(*first, u"P.jpr"_s, {a});
    ASSERT_NE(first->app().openDocumentFile(projectPath), nullptr);
    for (const QString &name : {u"page.html"_s, u"A.java"_s, u"Gone.java"_s, u"B.java"_s}) {
        ASSERT_NE(first->app().openDocumentFile(folder + u'/' + name), nullptr);
    }
    ASSERT_TRUE(first->mainFrame().executeCommand(CommandId::WindowNew)); // B.java twice
    ASSERT_TRUE(first->app().NewSourceDocument(u"Vosk"_s));               // never saved
    first->mainFrame().close();
    const AppHarness::Presets settings = settingsOf(*first);
    first.reset();
    ASSERT_TRUE(QFile::remove(folder + u"/Gone.java"_s));

    auto second = std::make_unique<AppHarness>(QStringList(), settings);
    EXPECT_EQ(windowTitles(second->mainFrame()),
              (QStringList{u"P.jpr"_s, u"page.html"_s, u"A.java"_s, u"B.java"_s}));
    EXPECT_EQ(second->prompter().messageTexts(), QStringList());
    ASSERT_NE(second->app().GetProjectDoc(), nullptr);
    EXPECT_EQ(second->app().GetProjectDoc()->pathName(), projectPath);

    // Closed without the project, nothing of it comes back at the next start.
    second->prompter().answerNext(fw::Answer::Ok);
    ASSERT_TRUE(second->app().CloseProject());
    second->mainFrame().close();
    const AppHarness::Presets noProject = settingsOf(*second);
    second.reset();
    AppHarness third({}, noProject);
    EXPECT_EQ(windowTitles(third.mainFrame()), QStringList());
}

} // namespace
