#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/ctipofthedaydialog.h"
#include "app/tipsession.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "support/appharness.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

// A Tarvo whose program folder holds help/tips.dat with the given text.
class TipOfTheDay : public testing::Test {
protected:
    TipOfTheDay() {
        m_harness.app().setAppFolder(m_harness.folder() + QStringLiteral("/program"));
        m_harness.prompter().clear();
    }

    void writeTips(const QByteArray &bytes) {
        m_harness.writeFile(QStringLiteral("program/help/tips.dat"), bytes);
    }

    std::unique_ptr<CTipOfTheDayDialog> makeDialog() {
        return std::make_unique<CTipOfTheDayDialog>(
            m_harness.app().profile(), m_harness.app().tipsFilePath(), m_harness.app().tables());
    }

    static QString shownTip(QDialog &dialog) {
        return dialog.findChild<QLabel *>(QStringLiteral("static1004"))->text();
    }
    static QPushButton *nextTip(QDialog &dialog) {
        return dialog.findChild<QPushButton *>(QStringLiteral("button1002"));
    }

    int stored(const QString &key) const {
        return m_harness.storedSettings()->readInt(TipSession::kSection, key, -99);
    }

    AppHarness m_harness;
};

// Next Tip skips comment, indented and empty lines, goes back to the first tip after the last, and
// the next showing begins after the tip shown last.
TEST_F(TipOfTheDay, NextTipWalksThroughTheTipsAndWrapsAfterTheLast) {
    writeTips("; tips\nFirst tip\n\n  indented\nSecond tip\n");
    auto dialog = makeDialog();
    QStringList shown{shownTip(*dialog)};
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(nextTip(*dialog), Qt::LeftButton);
        shown << shownTip(*dialog);
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("First tip"), QStringLiteral("Second tip"),
                                  QStringLiteral("First tip"), QStringLiteral("Second tip")}));
    dialog.reset();
    EXPECT_EQ(shownTip(*makeDialog()), QStringLiteral("First tip"));
}

// Next Tip once reset the check-box to its stored state, losing what the user had just set.
TEST_F(TipOfTheDay, NextTipKeepsTheCheckBoxAsTheUserLeftIt) {
    writeTips("One\nTwo\n");
    auto dialog = makeDialog();
    dialog->show();
    auto *showAtStartUp = dialog->findChild<QCheckBox *>(QStringLiteral("check1001"));
    QTest::mouseClick(showAtStartUp, Qt::LeftButton);
    QTest::mouseClick(nextTip(*dialog), Qt::LeftButton);
    EXPECT_FALSE(showAtStartUp->isChecked());
    dialog->accept();
    EXPECT_EQ(stored(TipSession::kStartUpKey), 1);
}

// Without a file, or with one holding only comments, the dialog says why, Next Tip is disabled,
// and no position is stored.
TEST_F(TipOfTheDay, NoTipToShowSaysWhyAndDisablesNextTip) {
    const QString missing =
        QStringLiteral("The tips file is missing from the Tarvo application folder.");
    auto dialog = makeDialog();
    EXPECT_EQ(shownTip(*dialog), missing);
    EXPECT_FALSE(nextTip(*dialog)->isEnabled());
    dialog.reset();
    EXPECT_FALSE(
        m_harness.storedSettings()->contains(TipSession::kSection, TipSession::kFilePosKey));
    EXPECT_TRUE(m_harness.prompter().messageTexts().isEmpty());

    writeTips("; nothing\n; but comments\n");
    dialog = makeDialog();
    EXPECT_EQ(shownTip(*dialog), CTipOfTheDayDialog::noTipsText());
    EXPECT_FALSE(nextTip(*dialog)->isEnabled());
}

// Switched off (StartUp 1), the start-up tip is not shown but the position still moves on by one
// tip; asked for from the Help menu, it shows anyway.
TEST_F(TipOfTheDay, StartUpSwitchedOffShowsNothingButMovesOnByOneTip) {
    writeTips("One\nTwo\nThree\n");
    m_harness.app().ShowTipOfTheDay(true);
    EXPECT_EQ(m_harness.prompter().dialogsRun(), 1);
    EXPECT_EQ(stored(TipSession::kFilePosKey), 4);

    m_harness.app().profile().writeInt(TipSession::kSection, TipSession::kStartUpKey, 1);
    m_harness.app().ShowTipOfTheDay(true);
    EXPECT_EQ(m_harness.prompter().dialogsRun(), 1);
    EXPECT_EQ(stored(TipSession::kFilePosKey), 8);

    QString shown;
    m_harness.prompter().runDialogNext([&](QDialog &dialog) {
        shown = shownTip(dialog);
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(m_harness.mainFrame().executeCommand(CommandId::TipOfTheDay));
    EXPECT_EQ(shown, QStringLiteral("Three"));
}

} // namespace
