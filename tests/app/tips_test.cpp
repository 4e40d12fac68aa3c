#include "app/tipsession.h"
#include "app/tipsfile.h"
#include "framework/profile.h"
#include "support/testenvironment.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

QString tipsFileWith(const QByteArray &bytes) {
    return writeFileIn(makeScratchFolder(QStringLiteral("tips")), QStringLiteral("tips.dat"),
                       bytes);
}

// Reading tip after tip: comment, indented and empty lines are never tips, the last tip is
// followed by the first, and a line too long for one read comes in pieces of at most 999
// characters, never cutting a character in two.
TEST(TipsFile, GivesTheTipsInOrder) {
    const QString longLine(2000, QLatin1Char('x'));
    const struct {
        QByteArray content;
        QStringList tips;
    } cases[] = {{"; comment\n  indented\n\ttabbed\n\nFirst\n;First too\n\r\nSecond\n",
                  {"First", "Second", "First", "Second"}},
                 {longLine.toLatin1() + "\nNext\n",
                  {longLine.left(999), longLine.left(999), QStringLiteral("xx"),
                   QStringLiteral("Next"), longLine.left(999)}},
                 {QByteArray(998, 'a') + "\xC3\xA9tude\n",
                  {QString(998, QLatin1Char('a')), QStringLiteral("\u00e9tude")}}};
    for (const auto &test : cases) {
        TipsFile file;
        ASSERT_TRUE(file.open(tipsFileWith(test.content)));
        QStringList tips;
        for (qsizetype read = 0; read < test.tips.size(); ++read) {
            tips << (file.readNextTip() == TipsFile::Read::Tip ? file.tip().trimmed()
                                                               : QStringLiteral("<none>"));
        }
        EXPECT_EQ(tips, test.tips);
    }
}

// A file without tips must end the search after one pass instead of looping for ever.
TEST(TipsFile, FileWithoutTipsGivesNoTip) {
    for (const QByteArray &content : {QByteArray(), QByteArray("; one\n; two\n;three")}) {
        TipsFile file;
        ASSERT_TRUE(file.open(tipsFileWith(content)));
        EXPECT_EQ(file.readNextTip(), TipsFile::Read::NoTip) << content.constData();
        EXPECT_EQ(file.readNextTip(), TipsFile::Read::NoTip) << content.constData();
    }
}

// A tips file replaced by another (a new time stamp) starts again at its first tip rather than at
// the position stored for the old one.
TEST(TipSession, ReplacedFileStartsAtTheFirstTip) {
    const QString folder = makeScratchFolder(QStringLiteral("tipsession"));
    fw::Profile profile(folder + QStringLiteral("/Tarvo.conf"));
    const QString tipsPath = folder + QStringLiteral("/help/tips.dat");
    const auto writeTips = [&](const QByteArray &bytes, qint64 modified) {
        writeFileIn(folder, QStringLiteral("help/tips.dat"), bytes);
        QFile file(tipsPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(modified),
                                     QFileDevice::FileModificationTime));
    };
    const auto nextShowing = [&] {
        TipSession session(profile, tipsPath);
        return session.status() == TipSession::Status::Tip ? session.tip()
                                                           : QStringLiteral("<none>");
    };
    writeTips("One\nTwo\nThree\n", 1'600'000'000);
    EXPECT_EQ(nextShowing(), QStringLiteral("One"));
    EXPECT_EQ(nextShowing(), QStringLiteral("Two"));
    writeTips("New one\nNew two\nNew three\n", 1'600'000'100);
    EXPECT_EQ(nextShowing(), QStringLiteral("New one"));
    EXPECT_EQ(nextShowing(), QStringLiteral("New two"));
}

} // namespace
