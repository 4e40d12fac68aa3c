#include "app/jdkprobe.h"

#include <QFileInfo>
#include <QProcess>

JdkProbe::JdkProbe(QObject *parent)
    : QObject(parent) {
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(kTimeoutMs);
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
    const QFileInfo javac(jdkFolder + QStringLiteral("/bin/javac"));
    if (jdkFolder.isEmpty() || !javac.isFile() || !javac.isExecutable()) {
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
    connect(process, &QProcess::finished, this, [this, process] {
        m_timeout.stop();
        const QString version = versionIn(process->readAll());
        report(version.isEmpty() ? Result::NoAnswer : Result::Found, version);
    });
    m_timeout.start();
    process->start(javac.filePath(), {QStringLiteral("-version")});
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

QString JdkProbe::note(Result result, const QString &version) {
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
