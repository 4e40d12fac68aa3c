#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/ctipofthedaydialog.h"
#include "app/tipsession.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "support/appharness.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

// A Tarvo whose program folder holds help/tips.dat with the given text.
class TipOfTheDay : public testing::Test {
protected:
    TipOfTheDay() { m_harness.app().setAppFolder(m_harness.folder() + QStringLiteral("/program")); }
    void writeTips(const QByteArray &bytes) {
        m_harness.writeFile(QStringLiteral("program/help/tips.dat"), bytes);
    }
    std::unique_ptr<CTipOfTheDayDialog> makeDialog() {
        return std::make_unique<CTipOfTheDayDialog>(
            m_harness.app().profile(), m_harness.app().tipsFilePath(), m_harness.app().tables());
    }
    static QPushButton *nextTip(QDialog &dialog) {
        return dialog.findChild<QPushButton *>(QStringLiteral("button1002"));
    }
    int stored(const QString &key) const {
        return m_harness.storedSettings()->readInt(TipSession::kSection, key, -99);
    }

    AppHarness m_harness;
};

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

// Without a file the dialog says why, Next Tip is disabled, and no position is stored.
TEST_F(TipOfTheDay, MissingFileSaysWhyAndDisablesNextTip) {
    m_harness.prompter().clear();
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->tipText(),
              QStringLiteral("The tips file is missing from the Tarvo application folder."));
    EXPECT_FALSE(nextTip(*dialog)->isEnabled());
    dialog.reset();
    EXPECT_FALSE(
        m_harness.storedSettings()->contains(TipSession::kSection, TipSession::kFilePosKey));
    EXPECT_TRUE(m_harness.prompter().messageTexts().isEmpty());
}

// Switched off (StartUp 1), the start-up tip is not shown but the position still moves on by one
// tip; asked for from the Help menu, it shows anyway.
TEST_F(TipOfTheDay, StartUpSwitchedOffShowsNothingButMovesOnByOneTip) {
    m_harness.prompter().clear();
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
        shown = dynamic_cast<CTipOfTheDayDialog &>(dialog).tipText();
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(m_harness.mainFrame().executeCommand(CommandId::TipOfTheDay));
    EXPECT_EQ(shown, QStringLiteral("Three"));
}

} // namespace
