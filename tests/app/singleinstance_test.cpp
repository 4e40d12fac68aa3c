#include "framework/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUuid>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(SingleInstance, SecondStartHandsItsFilesToTheFirst) {
    const QString name = QStringLiteral("tarvo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    fw::SingleInstance first(name);
    ASSERT_TRUE(first.listen());
    QStringList received;
    bool gotFiles = false;
    QObject::connect(&first, &fw::SingleInstance::filesReceived, [&](const QStringList &paths) {
        received = paths;
        gotFiles = true;
    });

    bool handed = false;
    std::thread second([&] {
        fw::SingleInstance later(name);
        handed = later.handToRunningInstance(
            {QStringLiteral("/w/A.java"), QStringLiteral("/w/B b.java")});
    });
    QElapsedTimer timer;
    timer.start();
    while (!gotFiles && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    second.join();
    EXPECT_TRUE(handed);
    EXPECT_EQ(received, (QStringList{QStringLiteral("/w/A.java"), QStringLiteral("/w/B b.java")}));
}

TEST(SingleInstance, NobodyListeningMeansThisIsTheFirst) {
    const QString name = QStringLiteral("tarvo-test-") + QUuid::createUuid().toString(QUuid::Id128);
    fw::SingleInstance alone(name);
    EXPECT_FALSE(alone.handToRunningInstance({QStringLiteral("/w/A.java")}, 500));
    EXPECT_TRUE(alone.listen());
}

} // namespace

namespace {

TEST(SingleInstance, AnotherDisplayIsAnotherInstance) {
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":71");
    const QString first = fw::SingleInstance::defaultServerName();
    EXPECT_EQ(fw::SingleInstance::defaultServerName(), first);
    qputenv("DISPLAY", ":72");
    EXPECT_NE(fw::SingleInstance::defaultServerName(), first);
    qputenv("DISPLAY", saved);
}

} // namespace
