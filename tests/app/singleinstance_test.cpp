#include "framework/singleinstance.h"

#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 65534; // nobody

QString uniqueName(const QString &folder) {
    return folder + "/tarvo-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QByteArray requestFor(const QStringList &paths) {
    QByteArray message;
    QDataStream stream(&message, QIODevice::WriteOnly);
    stream << paths;
    return message;
}

bool processEventsUntil(const std::function<bool()> &condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

// A running instance that records every list handed to it.
class ListeningInstance {
public:
    explicit ListeningInstance(const QString &name)
        : m_name(name)
        , m_instance(name) {
        listening = m_instance.listen();
        QObject::connect(&m_instance, &fw::SingleInstance::filesReceived,
                         [this](const QStringList &paths) { received.append(paths); });
    }
    // A later start hands the paths over from another thread while this one's events run.
    bool handOver(const QStringList &paths) {
        const qsizetype before = received.size();
        bool handed = false;
        std::thread later(
            [&] { handed = fw::SingleInstance(m_name).handToRunningInstance(paths); });
        processEventsUntil([&] { return received.size() > before; });
        later.join();
        return handed;
    }

    bool listening = false;
    QList<QStringList> received;

private:
    QString m_name;
    fw::SingleInstance m_instance;
};

TEST(SingleInstance, SecondStartHandsItsFilesToTheFirst) {
    const QString name = uniqueName(testing_support::makeScratchFolder("instance"));
    ListeningInstance first(name);
    ASSERT_TRUE(first.listening);
    EXPECT_TRUE(first.handOver({QStringLiteral("/w/A.java"), QStringLiteral("/w/B b.java")}));
    EXPECT_EQ(first.received, QList<QStringList>{(QStringList{QStringLiteral("/w/A.java"),
                                                              QStringLiteral("/w/B b.java")})});
}

TEST(SingleInstance, NobodyListeningMeansThisIsTheFirst) {
    const QString name = uniqueName(testing_support::makeScratchFolder("instance"));
    fw::SingleInstance alone(name);
    EXPECT_FALSE(alone.handToRunningInstance({QStringLiteral("/w/A.java")}, 500));
    EXPECT_TRUE(alone.listen());
}

TEST(SingleInstance, AnotherDisplayIsAnotherInstance) {
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":71");
    const QString first = fw::SingleInstance::defaultServerName();
    EXPECT_EQ(fw::SingleInstance::defaultServerName(), first);
    qputenv("DISPLAY", ":72");
    EXPECT_NE(fw::SingleInstance::defaultServerName(), first);
    qputenv("DISPLAY", saved);
}

// A child process that runs as another user. It writes what it has to report to a pipe.
class OtherUserProcess {
public:
    explicit OtherUserProcess(const std::function<void(int reportPipe)> &body) {
        int report[2];
        if (pipe(report) != 0) {
            return;
        }
        m_child = fork();
        if (m_child == 0) {
            close(report[0]);
            if (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) {
                _exit(2);
            }
            body(report[1]);
            _exit(0);
        }
        close(report[1]);
        m_report = report[0];
    }
    // The first byte reported: the child is ready.
    bool waitUntilReady() {
        char ready = 0;
        return m_report >= 0 && read(m_report, &ready, 1) == 1;
    }
    // Waits for the child to end (the event loop runs meanwhile); what it reported after ready.
    QByteArray finish() {
        processEventsUntil([&] { return waitpid(m_child, nullptr, WNOHANG) == m_child; });
        QByteArray reported;
        char buffer[4096];
        for (ssize_t count; (count = read(m_report, buffer, sizeof buffer)) > 0;) {
            reported.append(buffer, count);
        }
        close(m_report);
        return reported;
    }

private:
    pid_t m_child = -1;
    int m_report = -1;
};

sockaddr_un addressOf(const QString &path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    memcpy(address.sun_path, encoded.constData(),
           std::min<size_t>(encoded.size(), sizeof address.sun_path - 1));
    return address;
}

// Reads until the other end closes, reporting every byte.
void relayUntilClosed(int from, int reportPipe) {
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(from, buffer, sizeof buffer)) > 0) {
        if (write(reportPipe, buffer, static_cast<size_t>(count)) != count) {
            return;
        }
    }
}

// Another user is played by "nobody", in a folder everybody may enter, where the socket's own
// permissions no longer keep that user out: only the peer check does.
class OtherUserTest : public testing::Test {
protected:
    void SetUp() override {
        if (getuid() != 0) {
            GTEST_SKIP() << "acting as another user needs root";
        }
        // The run's own folders are closed to others; this one is open to all.
        ASSERT_TRUE(m_shared.isValid());
        chmod(QFile::encodeName(m_shared.path()).constData(), 0777);
        m_name = uniqueName(m_shared.path());
    }
    QTemporaryDir m_shared{QStringLiteral("/tmp/tarvo-shared-XXXXXX")};
    QString m_name;
};

TEST_F(OtherUserTest, FilesAreNotHandedToAnotherUsersSocket) {
    const sockaddr_un address = addressOf(m_name);
    OtherUserProcess other([&](int reportPipe) {
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
            || ::listen(listener, 1) != 0 || write(reportPipe, "r", 1) != 1) {
            _exit(3);
        }
        relayUntilClosed(accept(listener, nullptr, nullptr), reportPipe);
    });
    ASSERT_TRUE(other.waitUntilReady());
    fw::SingleInstance second(m_name);
    EXPECT_FALSE(second.handToRunningInstance({QStringLiteral("/secret/A.java")}, 2000));
    EXPECT_EQ(other.finish(), QByteArray());
}

TEST_F(OtherUserTest, FilesFromAnotherUserAreNotOpened) {
    ListeningInstance first(m_name);
    ASSERT_TRUE(first.listening);
    chmod(QFile::encodeName(m_name).constData(), 0666);
    const sockaddr_un address = addressOf(m_name);
    const QByteArray request = requestFor({QStringLiteral("/planted/Evil.java")});
    OtherUserProcess other([&](int reportPipe) {
        const int connection = socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(connection, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
            || write(connection, request.constData(), static_cast<size_t>(request.size()))
                   != request.size()) {
            _exit(3);
        }
        write(reportPipe, "r", 1);
        relayUntilClosed(connection, reportPipe);
    });
    EXPECT_TRUE(other.waitUntilReady());
    other.finish();
    QCoreApplication::processEvents();
    EXPECT_EQ(first.received, QList<QStringList>());
}

// A client that sends its request slowly holds nobody up: the one after it is served first.
TEST(SingleInstance, SlowClientDoesNotHoldUpTheNext) {
    const QString name = uniqueName(testing_support::makeScratchFolder("instance"));
    ListeningInstance first(name);
    ASSERT_TRUE(first.listening);
    const QByteArray slowRequest = requestFor({QStringLiteral("/w/Slow.java")});
    QLocalSocket slow;
    slow.connectToServer(name);
    ASSERT_TRUE(slow.waitForConnected(5000));
    slow.write(slowRequest.left(6));
    slow.flush();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    first.handOver({QStringLiteral("/w/Quick.java")});
    EXPECT_EQ(first.received, QList<QStringList>{QStringList{QStringLiteral("/w/Quick.java")}});

    slow.write(slowRequest.mid(6));
    slow.flush();
    processEventsUntil([&] { return first.received.size() == 2; });
    EXPECT_EQ(first.received.value(1), QStringList{QStringLiteral("/w/Slow.java")});
}

// A forged count of two thousand million paths is not trusted: the request is dropped, the
// connection closed, and the instance goes on taking requests.
TEST(SingleInstance, ForgedPathCountIsDroppedAndTheInstanceGoesOn) {
    const QString name = uniqueName(testing_support::makeScratchFolder("instance"));
    ListeningInstance first(name);
    ASSERT_TRUE(first.listening);
    QLocalSocket hostile;
    hostile.connectToServer(name);
    ASSERT_TRUE(hostile.waitForConnected(5000));
    hostile.write(QByteArray("\x7f\xff\xff\xf0", 4)); // The count, big-endian.
    EXPECT_TRUE(processEventsUntil([&] {
        hostile.waitForBytesWritten(0);
        return hostile.state() == QLocalSocket::UnconnectedState;
    }));
    EXPECT_EQ(first.received, QList<QStringList>());

    first.handOver({QStringLiteral("/w/A.java")});
    EXPECT_EQ(first.received, QList<QStringList>{QStringList{QStringLiteral("/w/A.java")}});
}

} // namespace
