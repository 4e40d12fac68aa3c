#include "app/jdkprobe.h"

#include <QFileInfo>
#include <QProcess>

JdkProbe::JdkProbe(QObject *parent, int timeoutMs)
    : QObject(parent) {
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(timeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        stop();
        report(Result::NoAnswer);
    });
}

JdkProbe::~JdkProbe() {
    stop();
}

bool JdkProbe::isRunning() const {
    return m_process && m_process->state() != QProcess::NotRunning;
}

void JdkProbe::stop() {
    m_timeout.stop();
    if (!m_process) {
        return;
    }
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
    m_process.reset();
}

void JdkProbe::report(Result result, const QString &version) {
    emit finished(result, version);
}

void JdkProbe::probe(const QString &jdkFolder) {
    stop();
    // An empty folder is probed too: the tools are then taken from /bin, and so is javac.
    const QFileInfo javac(javacOf(jdkFolder));
    if (!javac.isFile() || !javac.isExecutable()) {
        report(Result::NoJavac);
        return;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    QProcess *process = m_process.get();
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_timeout.stop();
            report(Result::NoAnswer);
        }
    });
    connect(process, &QProcess::readyRead, this, [this, process] {
        const Taken taken = takeOutput();
        if (taken == Taken::More) {
            return;
        }
        // The version is known, or cannot come any more: the program need not go on. It is
        // ended, and deleted once control leaves its own signal.
        m_timeout.stop();
        process->disconnect(this);
        process->kill();
        process->waitForFinished();
        m_process.release()->deleteLater();
        if (taken == Taken::Version) {
            report(Result::Found, versionIn(m_output));
        } else {
            report(Result::NoAnswer);
        }
    });
    connect(process, &QProcess::finished, this, [this] {
        m_timeout.stop();
        takeOutput();
        const QString version = versionIn(m_output);
        report(version.isEmpty() ? Result::NoAnswer : Result::Found, version);
    });
    m_output.clear();
    m_timeout.start();
    process->start(javac.filePath(), {QStringLiteral("-version")});
}

JdkProbe::Taken JdkProbe::takeOutput() {
    m_output += m_process->read(kKeptOutputBytes - m_output.size());
    // A version line counts once its line end has come: "javac 2" may yet become "javac 21".
    const qsizetype lastLineEnd = m_output.lastIndexOf('\n');
    if (lastLineEnd >= 0 && !versionIn(m_output.left(lastLineEnd + 1)).isEmpty()) {
        return Taken::Version;
    }
    return m_output.size() >= kKeptOutputBytes ? Taken::Full : Taken::More;
}

QString JdkProbe::versionIn(const QByteArray &output) {
    // Other lines (such as a note about picked-up tool options) may come before the version.
    for (const QByteArray &line : output.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("javac ")) {
            return QString::fromUtf8(trimmed.mid(6)).trimmed();
        }
    }
    return QString();
}

QString JdkProbe::javacOf(const QString &jdkFolder) {
    return jdkFolder + QStringLiteral("/bin/javac");
}

QString JdkProbe::note(Result result, const QString &version, const QString &jdkFolder) {
    if (jdkFolder.isEmpty()) {
        return emptyFolderNote(result, version);
    }
    switch (result) {
    case Result::Found:
        return QStringLiteral("Found javac %1 in this folder.").arg(version);
    case Result::NoJavac:
        return QStringLiteral("There is no javac in this folder's bin folder: compiling will not "
                              "start until the folder names a JDK.");
    case Result::NoAnswer:
        break;
    }
    return QStringLiteral("The javac in this folder's bin folder did not tell its version; it "
                          "may not work.");
}

QString JdkProbe::searchingNote() {
    return QStringLiteral("Looking for javac in this folder...");
}

QString JdkProbe::emptyFolderNote(Result result, const QString &version) {
    const QString javac = javacOf(QString());
    switch (result) {
    case Result::Found: {
        // The program the system's javac command leads to: the JDK actually used.
        const QString resolved = QFileInfo(javac).canonicalFilePath();
        const QString leadsTo = resolved.isEmpty() || resolved == javac
                                    ? QString()
                                    : QStringLiteral(", which is %1").arg(resolved);
        return QStringLiteral("The folder is empty: Build will use %1%2 (javac %3).")
            .arg(javac, leadsTo, version);
    }
    case Result::NoJavac:
        return QStringLiteral("The folder is empty and there is no %1: compiling will not start "
                              "until the folder names a JDK.")
            .arg(javac);
    case Result::NoAnswer:
        break;
    }
    return QStringLiteral("The folder is empty: Build will use %1, which did not tell its "
                          "version; it may not work.")
        .arg(javac);
}
