// The output window when the window system takes its window away behind Tarvo's back (on X11,
// another program may destroy it): a new window takes its place, with the text and the run.
#include "tools/cprocessoutputdialog.h"
#include "tools/outputwindowlistener.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include "childscripts.h"
#include "support/appharness.h"
#include "support/scriptedprompter.h"

#include <QAbstractEventDispatcher>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using testing_support::AppHarness;

class NoListener : public OutputWindowListener {
public:
    void OnOutputClose() override {}
    void OnOutputGotoLine(int) override {}
};

// What the X server sends when another program destroys the window: a DestroyNotify event,
// handed to the application's native event filters as the xcb platform hands it.
void destroyNativeWindow(QWidget *window) {
    struct {
        std::uint8_t responseType = 17;
        std::uint8_t pad = 0;
        std::uint16_t sequence = 0;
        std::uint32_t event = 0;
        std::uint32_t window = 0;
        std::uint8_t rest[20] = {};
    } destroyNotify;
    destroyNotify.event = destroyNotify.window = std::uint32_t(window->winId());
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &destroyNotify,
                                                            &result);
}

using testing_support::MeanwhilePrompter;

// The window destroyed while the abort question is up: Cancel keeps the program running in a new
// window, input row included; the run and later runs can be watched and aborted there.
TEST(OutputWindowLost, WindowDestroyedWhileTheQuestionIsUpComesBackWithItsRun) {
    AppHarness harness;
    NoListener listener;
    CProcessOutputDialog dialog;
    auto owned = std::make_unique<MeanwhilePrompter>();
    MeanwhilePrompter &prompter = *owned;
    std::unique_ptr<fw::Prompter> previous = fw::setPrompter(std::move(owned));
    const auto restore = qScopeGuard([&] { fw::setPrompter(std::move(previous)); });
    const QString script = tools_test::writeScript(harness.folder(), "tool.sh",
                                                   "while :; do echo line; sleep 0.01; done");
    const auto start = [&] {
        auto runner = std::make_unique<CProcessRunner>();
        EXPECT_TRUE(runner->Start(script, "tool", harness.folder(), true));
        return runner;
    };

    dialog.Open(start(), &listener);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.ShownText().startsWith("line"); }, 30000));
    ProcessOutputWindow *first = dialog.window();
    prompter.meanwhile = [&] { destroyNativeWindow(first); };
    prompter.answerNext(fw::Answer::Cancel);
    QTest::keyClick(first, Qt::Key_Escape);
    AppHarness::processEvents();
    EXPECT_TRUE(IsProcessRunning());
    ASSERT_TRUE(dialog.IsOpen());
    ProcessOutputWindow *second = dialog.window();
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->isVisible());
    EXPECT_TRUE(dialog.isWatching());
    EXPECT_TRUE(second->isInputShown());
    const qsizetype shown = dialog.ShownText().size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.ShownText().size() > shown; }, 30000));

    // Lost again with no question up: the new window comes at once. OK then ends the run there.
    destroyNativeWindow(second);
    AppHarness::processEvents();
    ASSERT_TRUE(dialog.IsOpen());
    EXPECT_NE(dialog.window(), second);
    prompter.answerNext(fw::Answer::Ok);
    dialog.window()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isWatching(); }, 30000));
    EXPECT_TRUE(dialog.ShownText().endsWith("Exit code: 11\r\nProcess terminated by user."));

    // A later run has its window.
    destroyNativeWindow(dialog.window());
    EXPECT_FALSE(dialog.IsOpen());
    dialog.Restart(start(), &listener);
    ASSERT_TRUE(dialog.IsOpen());
    EXPECT_TRUE(dialog.window()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.ShownText().startsWith("line"); }, 30000));
    prompter.answerNext(fw::Answer::Ok);
    dialog.StopRun();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isWatching(); }, 30000));
}

// A minimised window comes back when it is shown again, and keeps the run it watches.
TEST(OutputWindowLost, MinimisedWindowIsRestoredAndKeepsItsRun) {
    AppHarness harness;
    NoListener listener;
    CProcessOutputDialog dialog;
    const QString script =
        tools_test::writeScript(harness.folder(), "tool.sh", "echo started; read line");
    auto runner = std::make_unique<CProcessRunner>();
    ASSERT_TRUE(runner->Start(script, "tool", harness.folder(), true));
    dialog.Open(std::move(runner), &listener);
    dialog.window()->showMinimized();
    EXPECT_FALSE(dialog.IsOpen());
    dialog.Open(nullptr, &listener); // what Show Compiler Output does
    EXPECT_TRUE(dialog.IsOpen());
    ASSERT_TRUE(dialog.window()->isInputShown());
    // Typed input is shown as it is sent: it comes after what the program printed first.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.ShownText().startsWith("started"); }, 30000));
    QTest::keyClicks(dialog.window()->inputLine(), "bye");
    QTest::keyClick(dialog.window()->inputLine(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isWatching(); }, 30000));
    EXPECT_EQ(dialog.ShownText(), "started\r\nbye\r\nExit code: 0\r\nNo Errors");
}

} // namespace
