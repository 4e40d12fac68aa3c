#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/ctipofthedaydialog.h"
#include "app/tipsession.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "framework/resourcetables.h"
#include "support/appharness.h"
#include "support/testenvironment.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

// A Tarvo whose program folder holds help/tips.dat with the given text.
class TipOfTheDay : public testing::Test {
protected:
    explicit TipOfTheDay(const AppHarness::Presets &presets = {})
        : m_harness({}, presets) {
        m_harness.app().setAppFolder(m_harness.folder() + QStringLiteral("/program"));
        m_harness.prompter().clear();
    }

    void writeTips(const QByteArray &bytes, qint64 modified = 1'600'000'000) {
        const QString path = m_harness.writeFile(QStringLiteral("program/help/tips.dat"), bytes);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(modified),
                                     QFileDevice::FileModificationTime));
    }

    std::unique_ptr<CTipOfTheDayDialog> makeDialog() {
        return std::make_unique<CTipOfTheDayDialog>(
            m_harness.app().profile(), m_harness.app().tipsFilePath(), m_harness.app().tables());
    }

    static QString shownTip(CTipOfTheDayDialog &dialog) {
        return dialog.findChild<QLabel *>(QStringLiteral("static1004"))->text();
    }
    static QPushButton *nextTip(CTipOfTheDayDialog &dialog) {
        return dialog.findChild<QPushButton *>(QStringLiteral("button1002"));
    }
    static QCheckBox *showAtStartUp(CTipOfTheDayDialog &dialog) {
        return dialog.findChild<QCheckBox *>(QStringLiteral("check1001"));
    }

    int stored(const QString &key, int absent = -99) const {
        return m_harness.storedSettings()->readInt(TipSession::kSection, key, absent);
    }

    AppHarness m_harness;
};

TEST_F(TipOfTheDay, NextTipWalksThroughTheTipsAndWrapsAfterTheLast) {
    writeTips("; tips\nFirst tip\n\n  indented\nSecond tip\n");
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Tip of the Day"));
    EXPECT_EQ(shownTip(*dialog), QStringLiteral("First tip"));
    QStringList shown;
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(nextTip(*dialog), Qt::LeftButton);
        shown << shownTip(*dialog);
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Second tip"), QStringLiteral("First tip"),
                                  QStringLiteral("Second tip")}));
    dialog.reset();
    // The next showing begins after the tip shown last.
    EXPECT_EQ(shownTip(*makeDialog()), QStringLiteral("First tip"));
}

TEST_F(TipOfTheDay, CloseStoresTheCheckBoxAndEscapeStoresNothing) {
    writeTips("Only tip\n");
    {
        auto dialog = makeDialog();
        dialog->show();
        EXPECT_TRUE(showAtStartUp(*dialog)->isChecked());
        QTest::mouseClick(showAtStartUp(*dialog), Qt::LeftButton);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(stored(TipSession::kStartUpKey), -99);
    {
        auto dialog = makeDialog();
        dialog->show();
        QTest::mouseClick(showAtStartUp(*dialog), Qt::LeftButton);
        dialog->findChild<QPushButton *>(QStringLiteral("button1"))->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
    EXPECT_EQ(stored(TipSession::kStartUpKey), 1);
    {
        auto dialog = makeDialog();
        EXPECT_FALSE(showAtStartUp(*dialog)->isChecked());
        dialog->show();
        QTest::mouseClick(showAtStartUp(*dialog), Qt::LeftButton);
        QTest::keyClick(dialog.get(), Qt::Key_Return);
    }
    EXPECT_EQ(stored(TipSession::kStartUpKey), 0);
}

TEST_F(TipOfTheDay, NextTipKeepsTheCheckBoxAsTheUserLeftIt) {
    writeTips("One\nTwo\n");
    auto dialog = makeDialog();
    dialog->show();
    QTest::mouseClick(showAtStartUp(*dialog), Qt::LeftButton);
    QTest::mouseClick(nextTip(*dialog), Qt::LeftButton);
    EXPECT_FALSE(showAtStartUp(*dialog)->isChecked());
    dialog->accept();
    EXPECT_EQ(stored(TipSession::kStartUpKey), 1);
}

TEST_F(TipOfTheDay, MissingFileShowsItsTextDisablesNextTipAndStoresNothing) {
    auto dialog = makeDialog();
    EXPECT_EQ(shownTip(*dialog),
              QStringLiteral("The tips file is missing from the Tarvo application folder."));
    EXPECT_FALSE(nextTip(*dialog)->isEnabled());
    dialog.reset();
    EXPECT_FALSE(
        m_harness.storedSettings()->contains(TipSession::kSection, TipSession::kFilePosKey));
    EXPECT_TRUE(m_harness.prompter().messageTexts().isEmpty());
}

TEST_F(TipOfTheDay, FileWithoutTipsSaysSoAndDisablesNextTip) {
    writeTips("; nothing\n; but comments\n");
    auto dialog = makeDialog();
    EXPECT_EQ(shownTip(*dialog), CTipOfTheDayDialog::noTipsText());
    EXPECT_FALSE(nextTip(*dialog)->isEnabled());
}

TEST_F(TipOfTheDay, BadStoredPositionShowsTroubleReadingTheTipsFile) {
    writeTips("One\nTwo\n");
    makeDialog().reset(); // stores the time stamp of the file
    m_harness.app().profile().writeInt(TipSession::kSection, TipSession::kFilePosKey, -3);
    auto dialog = makeDialog();
    EXPECT_EQ(m_harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Trouble reading the tips file")});
    QTest::mouseClick(nextTip(*dialog), Qt::LeftButton);
    EXPECT_EQ(shownTip(*dialog), QStringLiteral("One"));
    dialog.reset();
    EXPECT_EQ(stored(TipSession::kFilePosKey), 4);
}

TEST_F(TipOfTheDay, TipAreaIsWhiteWithTheBulbInItsCorner) {
    writeTips("A tip\n");
    auto dialog = makeDialog();
    dialog->show();
    QWidget *area = dialog->findChild<QWidget *>(QStringLiteral("static1000"));
    ASSERT_NE(area, nullptr);
    const QImage image = dialog->grab().toImage();
    const QPoint corner = area->mapTo(dialog.get(), QPoint(0, 0));
    const QPoint bottomLeft = corner + QPoint(2, area->height() - 3);
    const QPoint bulbMiddle = corner + QPoint(16, 10);
    const qreal scale = image.devicePixelRatio();
    EXPECT_EQ(image.pixelColor((bottomLeft * scale)), QColor(Qt::white));
    EXPECT_NE(image.pixelColor((bulbMiddle * scale)), QColor(Qt::white));
    const QLabel *text = dialog->findChild<QLabel *>(QStringLiteral("static1004"));
    EXPECT_EQ(text->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(text->autoFillBackground());
}

TEST_F(TipOfTheDay, StartUpSwitchedOffShowsNothingButMovesOnByOneTip) {
    writeTips("One\nTwo\nThree\n");
    m_harness.app().ShowTipOfTheDay(true);
    EXPECT_EQ(m_harness.prompter().dialogsRun(), 1);
    EXPECT_EQ(stored(TipSession::kFilePosKey), 4);

    m_harness.app().profile().writeInt(TipSession::kSection, TipSession::kStartUpKey, 1);
    m_harness.app().ShowTipOfTheDay(true);
    EXPECT_EQ(m_harness.prompter().dialogsRun(), 1);
    EXPECT_EQ(stored(TipSession::kFilePosKey), 8);

    // Asked for from the Help menu, it shows even when switched off at start-up.
    QString shown;
    m_harness.prompter().runDialogNext([&](QDialog &dialog) {
        shown = dialog.findChild<QLabel *>(QStringLiteral("static1004"))->text();
        return QDialog::Rejected;
    });
    ASSERT_TRUE(m_harness.mainFrame().executeCommand(CommandId::TipOfTheDay));
    EXPECT_EQ(shown, QStringLiteral("Three"));
}

TEST(TipAtStartUp, OfferedOnlyWhenNoFileIsNamed) {
    {
        AppHarness harness;
        EXPECT_EQ(harness.prompter().dialogsRun(), 1);
    }
    const QString file =
        testing_support::writeFileIn(testing_support::makeScratchFolder(QStringLiteral("named")),
                                     QStringLiteral("A.java"), "class A {}\n");
    AppHarness harness({file});
    EXPECT_EQ(harness.prompter().dialogsRun(), 0);
}

} // namespace
