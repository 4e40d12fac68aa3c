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

// Reading tip after tip: comment, indented and empty lines are never tips, the last tip is
// followed by the first, and a line too long for one read comes in pieces of at most 999
// characters, never cutting a character in two. A file without tips must end the search after
// one pass instead of looping for ever.
TEST(TipsFile, GivesTheTipsInOrder) {
    const QString longLine(2000, QLatin1Char('x'));
    const QString none = QStringLiteral("<none>");
    const struct {
        QByteArray content;
        QStringList tips;
    } cases[] = {{"; comment\n  indented\n\ttabbed\n\nFirst\n;First too\n\r\nSecond\n",
                  {"First", "Second", "First", "Second"}},
                 {longLine.toLatin1() + "\nNext\n",
                  {longLine.left(999), longLine.left(999), QStringLiteral("xx"),
                   QStringLiteral("Next"), longLine.left(999)}},
                 {QByteArray(998, 'a') + "\xC3\xA9tude\n",
                  {QString(998, QLatin1Char('a')), QStringLiteral("\u00e9tude")}},
                 {QByteArray(), {none, none}},
                 {"; one\n; two\n;three", {none, none}}};
    for (const auto &test : cases) {
        TipsFile file;
        ASSERT_TRUE(file.open(writeFileIn(makeScratchFolder(QStringLiteral("tips")),
                                          QStringLiteral("tips.dat"), test.content)));
        QStringList tips;
        for (qsizetype read = 0; read < test.tips.size(); ++read) {
            tips << (file.readNextTip() == TipsFile::Read::Tip ? file.tip().trimmed() : none);
        }
        EXPECT_EQ(tips, test.tips);
    }
}

// A tips file replaced by another (a new time stamp) starts again at its first tip rather than at
// the position stored for the old one.
TEST(TipSession, ReplacedFileStartsAtTheFirstTip) {
    const QString folder = makeScratchFolder(QStringLiteral("tipsession"));
    fw::Profile profile(folder + QStringLiteral("/Tarvo.conf"));
    QStringList shown;
    for (const auto &[bytes, modified] :
         {std::pair{"One\nTwo\nThree\n", 1'600'000'000},
          std::pair{"New one\nNew two\nNew three\n", 1'600'000'100}}) {
        QFile file(writeFileIn(folder, QStringLiteral("help/tips.dat"), bytes));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(modified),
                                     QFileDevice::FileModificationTime));
        file.close();
        for (int showing = 0; showing < 2; ++showing) {
            TipSession session(profile, file.fileName());
            shown << (session.status() == TipSession::Status::Tip ? session.tip()
                                                                  : QStringLiteral("<none>"));
        }
    }
    EXPECT_EQ(shown, (QStringList{"One", "Two", "New one", "New two"}));
}

} // namespace
