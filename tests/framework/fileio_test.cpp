#include "framework/fileio.h"

#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
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

struct SpecialFileCase {
    const char *name;
    // Makes the file in the folder and returns its path.
    QString (*make)(const QString &folder);
    const char *reason;
};

class SpecialFiles : public testing::TestWithParam<SpecialFileCase> {};

// Before the check, a pipe without a writer blocked the open for ever and /dev/zero was read
// until memory ran out.
TEST_P(SpecialFiles, AreRefusedWithoutReadingFromThem) {
    const QString path = GetParam().make(makeScratchFolder(QStringLiteral("special")));
    QByteArray bytes("untouched");
    QString error;
    EXPECT_FALSE(fw::readWholeFile(path, &bytes, &error));
    EXPECT_EQ(error, QString::fromLatin1(GetParam().reason));
    EXPECT_EQ(bytes, QByteArray("untouched"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpecialFiles,
    testing::Values(SpecialFileCase{"PipeWithoutWriter",
                                    [](const QString &folder) {
                                        const QString path = folder + QStringLiteral("/Pipe.java");
                                        ::mkfifo(QFile::encodeName(path).constData(), 0600);
                                        return path;
                                    },
                                    "It is not a regular file."},
                    SpecialFileCase{"EndlessDevice",
                                    [](const QString &) { return QStringLiteral("/dev/zero"); },
                                    "It is not a regular file."},
                    SpecialFileCase{"Folder",
                                    [](const QString &folder) {
                                        QDir(folder).mkdir(QStringLiteral("Sub.java"));
                                        return folder + QStringLiteral("/Sub.java");
                                    },
                                    "Is a directory"},
                    SpecialFileCase{
                        "MissingFile",
                        [](const QString &folder) { return folder + QStringLiteral("/No.java"); },
                        "No such file or directory"}),
    testing_support::CaseName());

TEST(ReadWholeFile, RefusesAFileOverTheBoundAndReadsOneAtIt) {
    const QString folder = makeScratchFolder(QStringLiteral("large"));
    // Sparse files: no disk space is used for the zeros.
    QFile over(folder + QStringLiteral("/Over.java"));
    ASSERT_TRUE(over.open(QIODevice::WriteOnly) && over.resize(fw::kMaxOpenFileSize + 1));
    over.close();
    QByteArray bytes;
    QString error;
    EXPECT_FALSE(fw::readWholeFile(over.fileName(), &bytes, &error));
    EXPECT_EQ(error, QStringLiteral(
                         "The file is too large to open (129 MB; at most 128 MB can be opened)."));

    QFile at(folder + QStringLiteral("/At.java"));
    ASSERT_TRUE(at.open(QIODevice::WriteOnly) && at.resize(fw::kMaxOpenFileSize));
    at.close();
    EXPECT_TRUE(fw::readWholeFile(at.fileName(), &bytes, &error));
    EXPECT_EQ(bytes.size(), fw::kMaxOpenFileSize);

    // A smaller bound of the caller's own.
    EXPECT_FALSE(fw::readWholeFile(at.fileName(), &bytes, &error, 1024));
}

TEST(FileStamp, IsThatOfTheFileReadAndChangesWhenAnotherVersionIsWritten) {
    const QString folder = makeScratchFolder(QStringLiteral("stamp"));
    const QString path = writeFileIn(folder, QStringLiteral("A.java"), "class A {}\n");
    QByteArray bytes;
    QString error;
    fw::FileStamp read;
    ASSERT_TRUE(fw::readWholeFile(path, &bytes, &error, fw::kMaxOpenFileSize, &read));
    EXPECT_TRUE(read.exists);
    EXPECT_EQ(read, fw::FileStamp::of(path));

    writeFileIn(folder, QStringLiteral("A.java"), "class A { int x; }\n");
    EXPECT_NE(read, fw::FileStamp::of(path));

    // Replaced by another file of the same size and time: the file is another one.
    const fw::FileStamp before = fw::FileStamp::of(path);
    const QString other = writeFileIn(folder, QStringLiteral("B.java"), "class A { int y; }\n");
    QFile(other).setFileTime(QFileInfo(path).lastModified(), QFileDevice::FileModificationTime);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_NE(before, fw::FileStamp::of(path));

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(fw::FileStamp::of(path).exists);
}

// Limits the size of files this process may write while it lives; a write beyond it fails with
// the system's "File too large" instead of raising a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit limited{bytes, m_previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

struct FailedWriteCase {
    const char *name;
    qsizetype size;
};

class FailedWrite : public testing::TestWithParam<FailedWriteCase> {};

// A small file used to sit in the write buffer until commit, whose failed flush went unnoticed:
// the cut-off file replaced the old one and the save counted as done. A large one stopped short
// and was reported as "Unknown error".
TEST_P(FailedWrite, GivesTheSystemsReasonAndKeepsTheOldFile) {
    const QString folder = makeScratchFolder(QStringLiteral("limited"));
    const QString path = writeFileIn(folder, QStringLiteral("A.java"), "old version\n");
    QString error;
    bool saved = true;
    {
        const FileSizeLimit limit(1000);
        saved = fw::writeFileSafely(path, QByteArray(GetParam().size, 'x'), &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, QStringLiteral("File too large"));
    EXPECT_EQ(contentsOf(path), QByteArray("old version\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("A.java")});
}

INSTANTIATE_TEST_SUITE_P(Sizes, FailedWrite,
                         testing::Values(FailedWriteCase{"FitsTheWriteBuffer", 5000},
                                         FailedWriteCase{"LargerThanTheWriteBuffer", 100000}),
                         testing_support::CaseName());

bool writeWhole(const char *path, const QByteArray &text) {
    const int handle = ::open(path, O_WRONLY);
    if (handle < 0) {
        return false;
    }
    const bool written = ::write(handle, text.constData(), text.size()) == text.size();
    ::close(handle);
    return written;
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
        const QString path = folder + QStringLiteral("/A.java");
        QFile old(path);
        if (!old.open(QIODevice::WriteOnly) || old.write("old version\n") != 12) {
            report("skip\ncannot write");
        }
        old.close();
        QFile filler(folder + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            report("skip\ncannot fill");
        }
        const QByteArray block(4096, 'f');
        while (filler.write(block) > 0) {
        }
        QString error;
        const bool saved = fw::writeFileSafely(path, QByteArray(3000, 'x'), &error);
        report((saved ? "saved\n" : "failed\n") + error.toUtf8() + "\n" + contentsOf(path));
    }
    ::close(channel[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t count; (count = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        answer.append(buffer, count);
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
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
