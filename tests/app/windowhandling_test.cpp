// Document windows as desktop users handle them: files dropped on the main window, how tall
// new windows are, the window keys, and the windows that come back with the last project.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/profile.h"
#include "framework/view.h"
#include "project/cjavaprojectdoc.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

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

// Drags and drops mime data onto a widget as the desktop does; whether the drop was taken.
bool dropOn(QWidget *target, const QStringList &paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    AppHarness::processEvents();
    return drop.isAccepted();
}

// Dropped files open as from File > Open, a project as the project, in windows no taller than
// the workspace, also when dropped on a source window, whose text must not take the file's name.
TEST(DroppedFiles, OpenAsFromFileOpenWithinTheWorkspaceEvenOnASourceWindow) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const QString source = harness.writeFile(u"A.java"_s, "class A {}\n");
    const QString projectPath = writeProject(harness, u"P.jpr"_s, {source});
    EXPECT_TRUE(dropOn(frame.mdiArea()->viewport(), {source, projectPath}));
    EXPECT_EQ(windowTitles(frame), (QStringList{u"A.java"_s, u"P.jpr"_s}));
    ASSERT_NE(harness.app().GetProjectDoc(), nullptr);
    EXPECT_EQ(harness.app().GetProjectDoc()->pathName(), projectPath);
    // New windows used to reach below the workspace, so a scroll bar appeared at once.
    const int workspace = frame.mdiArea()->contentsRect().height();
    for (QMdiSubWindow *window : frame.mdiArea()->subWindowList()) {
        EXPECT_LE(window->geometry().bottom() + 1, workspace);
    }

    auto *first = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(source));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(dropOn(first->firstSourceView()->viewport(),
                       {harness.writeFile(u"B.java"_s, "class B {}\n")}));
    EXPECT_EQ(first->editorText(), u"class A {}\n"_s);
    EXPECT_EQ(activeTitle(frame), u"B.java"_s);
}

TEST(WindowKeys, CtrlF6MovesBetweenWindowsCtrlF4ClosesAndCtrlYRedoes) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    for (const QString &name : {u"A.java"_s, u"B.java"_s, u"C.java"_s}) {
        ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(name, "")), nullptr);
    }
    const auto press = [&](Qt::KeyboardModifiers shift = {}) {
        QTest::keyClick(keyTarget(frame), Qt::Key_F6, Qt::ControlModifier | shift);
        return activeTitle(frame);
    };
    EXPECT_EQ((QStringList{press(), press(), press(), press(Qt::ShiftModifier)}),
              (QStringList{u"A.java"_s, u"B.java"_s, u"C.java"_s, u"B.java"_s}));
    EXPECT_EQ(QApplication::focusWidget(), keyTarget(frame)) << "the keyboard follows";

    auto *editor = qobject_cast<QPlainTextEdit *>(keyTarget(frame));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, u"abc"_s);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), u"abc"_s);

    harness.prompter().answerNext(fw::Answer::No);
    QTest::keyClick(editor, Qt::Key_F4, Qt::ControlModifier);
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{u"Save changes to B.java?"_s});
    EXPECT_EQ(windowTitles(frame), (QStringList{u"A.java"_s, u"C.java"_s}));
}

// Starts a second session on the settings the first one left.
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

TEST(LastProject, ReopensItsWindowsInOrderSkippingGoneAndUnsavedOnes) {
    auto first = std::make_unique<AppHarness>();
    const QString folder = first->folder();
    const QString projectPath = writeProject(*first, u"P.jpr"_s, {folder + u"/A.java"_s});
    ASSERT_NE(first->app().openDocumentFile(projectPath), nullptr);
    for (const QString &name : {u"page.html"_s, u"A.java"_s, u"Gone.java"_s}) {
        ASSERT_NE(first->app().openDocumentFile(first->writeFile(name, "\n")), nullptr);
    }
    ASSERT_TRUE(first->app().NewSourceDocument(u"Vosk"_s)); // never saved
    first->mainFrame().close();
    const AppHarness::Presets settings = settingsOf(*first);
    first.reset();
    ASSERT_TRUE(QFile::remove(folder + u"/Gone.java"_s));

    AppHarness second(QStringList(), settings);
    EXPECT_EQ(windowTitles(second.mainFrame()),
              (QStringList{u"P.jpr"_s, u"page.html"_s, u"A.java"_s}));
    EXPECT_EQ(second.prompter().messageTexts(), QStringList());
}

} // namespace
