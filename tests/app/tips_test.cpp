#include "app/tipsession.h"
#include "app/tipsfile.h"
#include "framework/profile.h"
#include "support/testenvironment.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

// Reading tip after tip: comment, indented and empty lines are never tips, the last tip is
// followed by the first, and a line too long for one read comes in pieces of at most 999
// characters, never cutting a character in two. A file that is not UTF-8 is Latin-1. A file
// without tips must end the search after one pass instead of looping for ever.
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
                 {"Caf\xE9\n" + QByteArray(998, 'a') + "\xE9x\n",
                  {QStringLiteral("Caf\u00e9"), QString(998, QLatin1Char('a')) + u'\u00e9',
                   QStringLiteral("x"), QStringLiteral("Caf\u00e9")}},
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

// A stored position past the end of a file cut short since reads on from the first tip.
TEST(TipsFile, PositionPastTheEndWrapsToTheFirstTip) {
    TipsFile file;
    ASSERT_TRUE(file.open(writeFileIn(makeScratchFolder(QStringLiteral("tipsend")),
                                      QStringLiteral("tips.dat"), "One\nTwo\n")));
    ASSERT_TRUE(file.seek(100));
    ASSERT_EQ(file.readNextTip(), TipsFile::Read::Tip);
    EXPECT_EQ(file.tip(), QStringLiteral("One\n"));
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

// A tips file that is a pipe with no writer, or far larger than any tips file, is missing: the
// start-up that shows a tip must not wait on it for ever or read it without end.
TEST(TipSession, PipeOrHugeFileIsMissingAtOnce) {
    const QString folder = makeScratchFolder(QStringLiteral("tipspecial"));
    fw::Profile profile(folder + QStringLiteral("/Tarvo.conf"));
    const QString pipe = folder + QStringLiteral("/pipe.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString huge = writeFileIn(folder, QStringLiteral("huge.dat"), "Tip\n");
    ASSERT_TRUE(QFile::resize(huge, TipsFile::kMaxFileSize + 1));
    for (const QString &path : {pipe, huge}) {
        const TipSession session(profile, path);
        EXPECT_EQ(session.status(), TipSession::Status::Missing) << path.toStdString();
    }
}

} // namespace
