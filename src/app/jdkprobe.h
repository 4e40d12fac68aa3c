#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QProcess;

// Tells whether a folder holds a usable JDK: runs its bin/javac with -version and reports the
// version the compiler prints. One probe runs at a time; starting another drops the one still
// running, so only the answer for the latest folder arrives. Nothing here stops the user from
// keeping a folder without a compiler; it only tells. Only the first kKeptOutputBytes of what
// the program prints are read, and the answer comes as soon as they hold the version line, or
// hold none once full: a program that prints without end costs neither memory nor the whole
// wait.
class JdkProbe : public QObject {
    Q_OBJECT

public:
    enum class Result {
        Found,   // version() names the compiler's version
        NoJavac, // the folder has no runnable bin/javac
        NoAnswer // bin/javac did not start, failed, or printed no version in time
    };

    static constexpr int kTimeoutMs = 15000;
    static constexpr qsizetype kKeptOutputBytes = 8192;

    explicit JdkProbe(QObject *parent = nullptr, int timeoutMs = kTimeoutMs);
    ~JdkProbe() override;

    void probe(const QString &jdkFolder);
    bool isRunning() const;

    // "17.0.15" from the "javac 17.0.15" line of the compiler's output; empty when there is none.
    static QString versionIn(const QByteArray &output);
    // The compiler a JDK folder gives: its bin/javac (/bin/javac for an empty folder, as the
    // tool commands compose it).
    static QString javacOf(const QString &jdkFolder);
    // The sentence the Preferences dialog shows for the result of probing jdkFolder. For an
    // empty folder it names the compiler Build will use.
    static QString note(Result result, const QString &version, const QString &jdkFolder);
    static QString searchingNote();

signals:
    void finished(JdkProbe::Result result, const QString &version);

private:
    static QString emptyFolderNote(Result result, const QString &version);
    void stop();
    void report(Result result, const QString &version = QString());
    // Takes what the program printed into m_output, as far as it keeps it.
    enum class Taken { More, Version, Full };
    Taken takeOutput();

    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;
    QTimer m_timeout;
};
