#include "tools/outputplacer.h"
#include "tools/outputtext.h"

#include "support/qtprinters.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <random>

namespace {

// Whatever the text does between calls (lines come, long lines grow, the tail drops lines, lines
// are left out) and however few slices each call places, an edit that has caught up shows the
// text exactly.
TEST(OutputPlacer, EditThatCaughtUpShowsTheTextExactly) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 40; ++round) {
        OutputText text({5, 200, 12, 300, 30});
        QPlainTextEdit edit;
        OutputPlacer placer;
        placer.restart(edit);
        QElapsedTimer clock;
        clock.start();
        int written = 0;
        for (int step = 0; step < 150; ++step) {
            const int choice = percent(random);
            if (choice < 3) {
                text.leaveOut(percent(random) % 4, 100);
            } else {
                QByteArray chunk(length(random), char('a' + written++ % 26));
                if (choice < 70) {
                    chunk += choice % 2 ? "\r\n" : "\n";
                }
                text.append(chunk);
            }
            for (int call = percent(random) % 3; call > 0; --call) {
                placer.place(text, edit, clock, 0);
            }
            if (percent(random) < 20) {
                while (!placer.isCaughtUp(text)) {
                    placer.place(text, edit, clock, 0);
                }
                ASSERT_EQ(edit.toPlainText(), text.text()) << "round " << round << " step " << step;
            }
        }
    }
}

} // namespace
