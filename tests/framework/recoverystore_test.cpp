#include "framework/recoverystore.h"
#include "framework/recoverywriter.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace {

using fw::RecoveryEntry;
using fw::RecoveryStore;

QString freshRoot() {
    return testing_support::makeScratchFolder(QStringLiteral("recovery")) + QStringLiteral("/r");
}

RecoveryEntry entryFor(RecoveryStore &store, const QString &path, const QString &text) {
    RecoveryEntry entry;
    entry.id = store.newEntryId();
    entry.kind = QStringLiteral("Vosk");
    entry.path = path;
    entry.title = QFileInfo(path).fileName();
    entry.text = text;
    return entry;
}

QStringList textsOf(const QList<RecoveryEntry> &entries) {
    QStringList texts;
    for (const RecoveryEntry &entry : entries) {
        texts << entry.text;
    }
    return texts;
}

mode_t modeOf(const QString &path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

// Everything a window can hold comes back as it was: line breaks of every kind, the characters
// the editor takes for line breaks, characters beyond the basic plane, and a file name with a
// line break in it.
TEST(RecoveryStore, EntryComesBackAsWritten) {
    RecoveryStore store(freshRoot());
    ASSERT_TRUE(store.isOpen());
    RecoveryEntry entry = entryFor(store, QStringLiteral("/home/u/odd\nname.java"),
                                   QStringLiteral("class A {\r\n}\r\u2029\u2028\U0001F600\n"));
    entry.diskStamp = {true, 12, 1'700'000'000'123'456'789, 42, 7};
    ASSERT_TRUE(store.write(entry));
    RecoveryEntry untitled = entryFor(store, QString(), QString());
    untitled.kind = QStringLiteral("HTML");
    untitled.title = QStringLiteral("HTML1");
    ASSERT_TRUE(store.write(untitled));

    const QList<RecoveryEntry> read = store.entries();
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].id, entry.id);
    EXPECT_EQ(read[0].path, entry.path);
    EXPECT_EQ(read[0].text, entry.text);
    EXPECT_EQ(read[0].kind, QStringLiteral("Vosk"));
    EXPECT_TRUE(read[0].diskStamp == entry.diskStamp);
    EXPECT_EQ(read[1].path, QString());
    EXPECT_EQ(read[1].title, QStringLiteral("HTML1"));
    EXPECT_EQ(read[1].text, QString());

    RecoveryEntry ignored;
    EXPECT_FALSE(RecoveryStore::parse("class A {}\n", &ignored));
    EXPECT_FALSE(RecoveryStore::parse("Tarvo recovery 1\n{not json\ntext", &ignored));
}

// The folders hold other people's unsaved work in the clear: nobody else may read them, whatever
// the umask; and a root that someone else could write is not used at all.
TEST(RecoveryStore, FoldersArePrivateAndAnUnsafeRootIsRefused) {
    const QString root = freshRoot();
    const mode_t previous = ::umask(0);
    {
        RecoveryStore store(root);
        ::umask(previous);
        ASSERT_TRUE(store.isOpen());
        EXPECT_EQ(modeOf(root), mode_t(0700));
        EXPECT_EQ(modeOf(store.folder()), mode_t(0700));
    }
    ::chmod(QFile::encodeName(root).constData(), 0777);
    RecoveryStore refused(root);
    EXPECT_FALSE(refused.isOpen());
    EXPECT_FALSE(refused.write(entryFor(refused, QStringLiteral("/a"), QStringLiteral("x"))));
}

// A copy is replaced whole or not at all: a write that fails half-way (here over the file size
// limit) leaves the last copy, and no temporary file is taken for an entry.
TEST(RecoveryStore, FailedWriteKeepsTheLastCopy) {
    RecoveryStore store(freshRoot());
    RecoveryEntry entry = entryFor(store, QStringLiteral("/p/A.java"), QStringLiteral("first"));
    ASSERT_TRUE(store.write(entry));
    entry.text = QString(100000, QLatin1Char('x'));
    QString error;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limited{1000, previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = store.write(entry, &error);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, QStringLiteral("File too large"));
    EXPECT_EQ(textsOf(store.entries()), QStringList{QStringLiteral("first")});
    EXPECT_EQ(QDir(store.folder()).entryList(QDir::Files | QDir::Hidden).size(), 2); // + owner
}

TEST(RecoveryStore, RemovedEntriesAndEndedSessionsLeaveNothing) {
    const QString root = freshRoot();
    QString folder;
    {
        RecoveryStore store(root);
        const RecoveryEntry kept =
            entryFor(store, QStringLiteral("/p/A.java"), QStringLiteral("a"));
        const RecoveryEntry gone =
            entryFor(store, QStringLiteral("/p/B.java"), QStringLiteral("b"));
        store.write(kept);
        store.write(gone);
        store.remove(gone.id);
        store.remove(QStringLiteral("999"));
        EXPECT_EQ(textsOf(store.entries()), QStringList{QStringLiteral("a")});
        folder = store.folder();
    }
    EXPECT_FALSE(QFileInfo::exists(folder));
    RecoveryStore next(root);
    EXPECT_TRUE(next.claimAbandoned().isEmpty());
}

// A child process keeps a session with two entries until it is killed: while it runs nothing of
// it is taken; once it is gone, the next claim takes both entries in order under ids of its own
// session, the dead session disappears, and another running owner takes nothing, neither the dead
// session's entries nor those of the taker.
TEST(RecoveryStore, EntriesOfAKilledOwnerAreTakenOnce) {
    const QString root = freshRoot();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        RecoveryStore store(root);
        store.write(entryFor(store, QStringLiteral("/p/A.java"), QStringLiteral("edited A")));
        store.write(entryFor(store, QString(), QStringLiteral("never saved")));
        const char done = store.isOpen() ? 'y' : 'n';
        [[maybe_unused]] const ssize_t written = ::write(ready[1], &done, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char done = 0;
    ASSERT_EQ(::read(ready[0], &done, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(done, 'y');

    RecoveryStore taker(root);
    RecoveryStore other(root);
    const QString ownEntry = taker.newEntryId();
    EXPECT_TRUE(taker.claimAbandoned().isEmpty());

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const QList<RecoveryEntry> claimed = taker.claimAbandoned();
    ASSERT_EQ(textsOf(claimed),
              (QStringList{QStringLiteral("edited A"), QStringLiteral("never saved")}));
    EXPECT_EQ(claimed[0].path, QStringLiteral("/p/A.java"));
    EXPECT_EQ(claimed[1].path, QString());
    EXPECT_NE(claimed[0].id, ownEntry);
    EXPECT_EQ(textsOf(taker.entries()), textsOf(claimed));
    EXPECT_TRUE(other.claimAbandoned().isEmpty());
    EXPECT_TRUE(taker.claimAbandoned().isEmpty());
    const QStringList sessions = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(sessions.size(), 2) << sessions.join(u' ').toStdString();
}

// Only the latest request for an entry counts, and a removal after a write wins.
TEST(RecoveryWriter, LatestRequestForAnEntryWins) {
    RecoveryStore store(freshRoot());
    fw::RecoveryWriter writer(store);
    RecoveryEntry kept = entryFor(store, QStringLiteral("/p/A.java"), QStringLiteral("one"));
    const RecoveryEntry dropped = entryFor(store, QStringLiteral("/p/B.java"), QStringLiteral("b"));
    for (const QString &text : {QStringLiteral("one"), QStringLiteral("two")}) {
        kept.text = text;
        writer.write(kept);
    }
    writer.write(dropped);
    writer.remove(dropped.id);
    writer.flush();
    EXPECT_EQ(textsOf(store.entries()), QStringList{QStringLiteral("two")});
}

} // namespace
