#include "app/tipsession.h"
#include "app/tipsfile.h"
#include "framework/profile.h"
#include "support/casename.h"
#include "support/testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ctime>

namespace {

using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

QString tipsFileWith(const QByteArray &bytes) {
    return writeFileIn(makeScratchFolder(QStringLiteral("tips")), QStringLiteral("tips.dat"),
                       bytes);
}

QString withoutLineEnd(QString text) {
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    return text;
}

// The tips that `count` reads in a row give, from the start of the file.
QStringList readTips(const QString &path, int count) {
    TipsFile file;
    EXPECT_TRUE(file.open(path));
    QStringList tips;
    for (int read = 0; read < count; ++read) {
        if (file.readNextTip() != TipsFile::Read::Tip) {
            tips << QStringLiteral("<none>");
            continue;
        }
        tips << withoutLineEnd(file.tip());
    }
    return tips;
}

struct ReadingCase {
    const char *name;
    QByteArray content;
    QStringList tips; // what reading one tip after another gives, the wrap included
};

class TipsReading : public testing::TestWithParam<ReadingCase> {};

TEST_P(TipsReading, GivesTheTipsInOrder) {
    const ReadingCase &test = GetParam();
    EXPECT_EQ(readTips(tipsFileWith(test.content), int(test.tips.size())), test.tips);
}

const QString kLongLine = QString(2000, QLatin1Char('x'));

INSTANTIATE_TEST_SUITE_P(
    TipsFile, TipsReading,
    testing::Values(
        ReadingCase{"CommentIndentedAndEmptyLinesAreNeverTips",
                    "; comment\n  indented\n\ttabbed\n\nFirst\n;First too\n\r\nSecond\n",
                    {"First", "Second", "First", "Second"}},
        ReadingCase{
            "AfterTheLastTipComesTheFirst", "One\nTwo\nThree", {"One", "Two", "Three", "One"}},
        ReadingCase{
            "CrLfLinesAreTipsAndEmptyCrLfLinesAreNot", "One\r\n\r\nTwo\r\n", {"One", "Two", "One"}},
        ReadingCase{"LongLineIsReadInPiecesOfAtMost999Characters",
                    kLongLine.toLatin1() + "\nNext\n",
                    {kLongLine.left(999), kLongLine.left(999), QStringLiteral("xx"),
                     QStringLiteral("Next"), kLongLine.left(999)}},
        ReadingCase{"PieceOfALongLineIsJudgedAsALineOfItsOwn",
                    QByteArray(999, 'a') + "; rest of the line\nNext\n",
                    {QString(999, QLatin1Char('a')), QStringLiteral("Next")}},
        ReadingCase{"PieceEndsBeforeACharacterItWouldCut",
                    QByteArray(998, 'a') + "\xC3\xA9tude\n",
                    {QString(998, QLatin1Char('a')), QStringLiteral("\u00e9tude")}},
        ReadingCase{"ByteOrderMarkDoesNotMakeTheFirstCommentATip",
                    "\xEF\xBB\xBF; comment\nTip\n",
                    {"Tip", "Tip"}}),
    testing_support::CaseName());

struct EmptyCase {
    const char *name;
    QByteArray content;
};

class TipsFileWithoutTips : public testing::TestWithParam<EmptyCase> {};

TEST_P(TipsFileWithoutTips, SearchEndsAfterOnePass) {
    TipsFile file;
    ASSERT_TRUE(file.open(tipsFileWith(GetParam().content)));
    EXPECT_EQ(file.readNextTip(), TipsFile::Read::NoTip);
    EXPECT_EQ(file.readNextTip(), TipsFile::Read::NoTip);
}

INSTANTIATE_TEST_SUITE_P(TipsFile, TipsFileWithoutTips,
                         testing::Values(EmptyCase{"EmptyFile", ""},
                                         EmptyCase{"CommentsOnly", "; one\n; two\n;three"},
                                         EmptyCase{"BlankAndIndentedOnly", "\n\n  a\n\tb\n\r\n"}),
                         testing_support::CaseName());

TEST(TipsFile, TimeStampIsCtimeTextWithoutTrailingWhiteSpace) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "UTC");
    tzset();
    EXPECT_EQ(TipsFile::ctimeText(0), QStringLiteral("Thu Jan  1 00:00:00 1970"));
    EXPECT_EQ(TipsFile::ctimeText(1'700'000'000), QStringLiteral("Tue Nov 14 22:13:20 2023"));

    const QString path = tipsFileWith("Tip\n");
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::fromSecsSinceEpoch(1'700'000'000),
                                    QFileDevice::FileModificationTime));
    touched.close();
    TipsFile file;
    ASSERT_TRUE(file.open(path));
    EXPECT_EQ(file.timeStamp(), QStringLiteral("Tue Nov 14 22:13:20 2023"));

    if (savedZone.isNull()) {
        qunsetenv("TZ");
    } else {
        qputenv("TZ", savedZone);
    }
    tzset();
}

TEST(TipsFile, ShippedTipsAreManyShortSingleLines) {
    const QString path =
        QDir::cleanPath(QStringLiteral(TARVO_TEST_DATA_DIR "/../../../res/help/tips.dat"));
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    while (!raw.atEnd()) {
        const QByteArray line = raw.readLine();
        if (TipsFile::isTip(line)) {
            EXPECT_LE(line.size(), 130) << line.constData();
        }
    }
    TipsFile file;
    ASSERT_TRUE(file.open(path));
    QStringList seen;
    while (file.readNextTip() == TipsFile::Read::Tip && !seen.contains(file.tip())) {
        EXPECT_TRUE(file.tip().endsWith(QLatin1Char('\n')));
        seen << file.tip();
    }
    EXPECT_GE(seen.size(), 25);
}

// A settings file and a tips file in a scratch folder, as the tip dialog finds them.
class TipSessionTest : public testing::Test {
protected:
    TipSessionTest()
        : m_folder(makeScratchFolder(QStringLiteral("tipsession")))
        , m_profile(m_folder + QStringLiteral("/Tarvo.conf"))
        , m_tipsPath(m_folder + QStringLiteral("/help/tips.dat")) {}

    void writeTips(const QByteArray &bytes, qint64 modified = 1'600'000'000) {
        writeFileIn(m_folder, QStringLiteral("help/tips.dat"), bytes);
        QFile file(m_tipsPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(modified),
                                     QFileDevice::FileModificationTime));
    }

    // The tip one showing gives, the showing ended as the dialog ends it.
    QString nextShowing() {
        TipSession session(m_profile, m_tipsPath);
        return session.status() == TipSession::Status::Tip ? session.tip()
                                                           : QStringLiteral("<none>");
    }

    int storedPosition() const { return m_profile.readInt(kSection, kFilePos, -99); }

    const QString kSection = TipSession::kSection;
    const QString kFilePos = TipSession::kFilePosKey;
    QString m_folder;
    fw::Profile m_profile;
    QString m_tipsPath;
};

TEST_F(TipSessionTest, EachShowingMovesOnByOneTipAndWraps) {
    writeTips("; tips\nOne\nTwo\nThree\n");
    EXPECT_EQ(nextShowing(), QStringLiteral("One"));
    EXPECT_EQ(storedPosition(), 11);
    EXPECT_EQ(m_profile.readString(kSection, TipSession::kTimeStampKey),
              TipsFile::ctimeText(1'600'000'000));
    EXPECT_EQ(nextShowing(), QStringLiteral("Two"));
    EXPECT_EQ(nextShowing(), QStringLiteral("Three"));
    EXPECT_EQ(nextShowing(), QStringLiteral("One"));
}

TEST_F(TipSessionTest, ReplacedFileStartsAtTheFirstTip) {
    writeTips("One\nTwo\nThree\n");
    nextShowing();
    nextShowing();
    writeTips("New one\nNew two\nNew three\n", 1'600'000'100);
    EXPECT_EQ(nextShowing(), QStringLiteral("New one"));
    EXPECT_EQ(m_profile.readString(kSection, TipSession::kTimeStampKey),
              TipsFile::ctimeText(1'600'000'100));
    EXPECT_EQ(nextShowing(), QStringLiteral("New two"));
}

TEST_F(TipSessionTest, PositionBeyondTheEndOfAShorterFileWrapsToTheFirstTip) {
    writeTips("A rather long first tip\nAnd a second one\n");
    nextShowing();
    nextShowing();
    // Same time stamp, fewer bytes: the stored position lies past the end.
    writeTips("Short\n");
    EXPECT_EQ(nextShowing(), QStringLiteral("Short"));
}

} // namespace
