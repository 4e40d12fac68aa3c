#include "framework/fileio.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Before the check, a pipe without a writer blocked the open for ever and /dev/zero was read
// until memory ran out.
TEST(ReadWholeFile, RefusesSpecialFilesWithoutReadingFromThem) {
    const QString pipe = makeScratchFolder(QStringLiteral("special")) + QStringLiteral("/P.java");
    ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
    for (const QString &path : {pipe, QStringLiteral("/dev/zero")}) {
        QByteArray bytes("untouched");
        QString error;
        EXPECT_FALSE(fw::readWholeFile(path, &bytes, &error)) << path.toStdString();
        EXPECT_EQ(error, QStringLiteral("It is not a regular file."));
        EXPECT_EQ(bytes, QByteArray("untouched"));
    }
}

// Limits the size of files this process may write while it lives; a write beyond it fails with
// the system's "File too large" instead of raising a signal.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
        : handler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limited{bytes, previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
    }
    void (*handler)(int);
    rlimit previous{};
};

// A small file used to sit in the write buffer until commit, whose failed flush went unnoticed:
// the cut-off file replaced the old one and the save counted as done. A large one stopped short
// and was reported as "Unknown error".
TEST(FailedWrite, OverTheFileSizeLimitGivesTheSystemsReasonAndKeepsTheOldFile) {
    for (const qsizetype size : {5000, 100000}) {
        const QString folder = makeScratchFolder(QStringLiteral("limited"));
        const QString path = writeFileIn(folder, QStringLiteral("A.java"), "old version\n");
        QString error;
        bool saved = true;
        {
            const FileSizeLimit limit(1000);
            saved = fw::writeFileSafely(path, QByteArray(size, 'x'), &error);
        }
        EXPECT_FALSE(saved) << size;
        EXPECT_EQ(error, QStringLiteral("File too large"));
        EXPECT_EQ(contentsOf(path), QByteArray("old version\n"));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("A.java")});
    }
}

bool writeWhole(const char *path, const QByteArray &text) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
           && file.write(text) == text.size();
}

// In a child process with a mount namespace of its own, mounts a 64 KB memory file system on
// the folder, fills it, and saves over a file there. The child's report: "saved" or "failed",
// the reason, and the file's contents afterwards, one per line; "skip" and why when the system
// does not let an unprivileged user mount one.
QByteArray saveOnAFullDisk(const QString &folder) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "skip\nno pipe";
    }
    const QByteArray mountPoint = QFile::encodeName(folder);
    const uid_t user = ::getuid();
    const gid_t group = ::getgid();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const auto report = [&](const QByteArray &text) {
            const ssize_t written = ::write(channel[1], text.constData(), text.size());
            ::_exit(written == text.size() ? 0 : 1);
        };
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            report("skip\nno user namespaces");
        }
        if (!writeWhole("/proc/self/setgroups", "deny")
            || !writeWhole("/proc/self/uid_map",
                           QByteArray::number(user) + " " + QByteArray::number(user) + " 1")
            || !writeWhole("/proc/self/gid_map",
                           QByteArray::number(group) + " " + QByteArray::number(group) + " 1")
            || ::mount("none", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0) {
            report("skip\nno memory file system");
        }
        const QString path = writeFileIn(folder, QStringLiteral("A.java"), "old version\n");
        QFile filler(folder + QStringLiteral("/filler"));
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            while (filler.write(QByteArray(4096, 'f')) > 0) {
            }
        }
        QString error;
        const bool saved = fw::writeFileSafely(path, QByteArray(3000, 'x'), &error);
        report((saved ? "saved\n" : "failed\n") + error.toUtf8() + "\n" + contentsOf(path));
    }
    ::close(channel[1]);
    QFile reader;
    reader.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray answer = reader.readAll();
    reader.close();
    ::waitpid(child, nullptr, 0);
    return answer;
}

TEST(FailedWrite, OnAFullDiskSaysNoSpaceLeftAndKeepsTheOldFile) {
    const QByteArray answer = saveOnAFullDisk(makeScratchFolder(QStringLiteral("full")));
    const QList<QByteArray> lines = answer.split('\n');
    if (lines.value(0) == "skip") {
        GTEST_SKIP() << lines.value(1).toStdString();
    }
    EXPECT_EQ(lines.value(0), QByteArray("failed"));
    EXPECT_EQ(lines.value(1), QByteArray("No space left on device"));
    EXPECT_EQ(lines.value(2), QByteArray("old version"));
}

} // namespace
