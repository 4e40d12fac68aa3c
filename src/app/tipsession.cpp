#include "app/tipsession.h"

#include "framework/profile.h"

const QString TipSession::kSection = QStringLiteral("Tip");
const QString TipSession::kStartUpKey = QStringLiteral("StartUp");
const QString TipSession::kFilePosKey = QStringLiteral("FilePos");
const QString TipSession::kTimeStampKey = QStringLiteral("TimeStamp");

TipSession::TipSession(fw::Profile &profile, const QString &tipsPath)
    : m_profile(profile) {
    m_showAtStartUp = m_profile.readInt(kSection, kStartUpKey, 0) == 0;
    qint64 position = m_profile.readInt(kSection, kFilePosKey, 0);

    if (!m_file.open(tipsPath)) {
        m_status = Status::Missing;
        return;
    }
    const QString stamp = m_file.timeStamp();
    if (stamp != m_profile.readString(kSection, kTimeStampKey)) {
        position = 0;
        m_profile.writeString(kSection, kTimeStampKey, stamp);
        m_profile.sync();
    }
    m_status = m_file.seek(position) ? read() : Status::Trouble;
}

TipSession::~TipSession() {
    end();
}

QString TipSession::tip() const {
    QString text = m_file.tip();
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    return text;
}

TipSession::Status TipSession::next() {
    return hasFile() ? read() : Status::Missing;
}

TipSession::Status TipSession::read() {
    switch (m_file.readNextTip()) {
    case TipsFile::Read::Tip:
        return Status::Tip;
    case TipsFile::Read::NoTip:
        return Status::NoTip;
    case TipsFile::Read::Trouble:
        break;
    }
    return Status::Trouble;
}

void TipSession::storeShowAtStartUp(bool show) {
    m_showAtStartUp = show;
    m_profile.writeInt(kSection, kStartUpKey, show ? 0 : 1);
    m_profile.sync();
}

void TipSession::end() {
    if (!hasFile()) {
        return;
    }
    m_profile.writeInt(kSection, kFilePosKey, static_cast<int>(m_file.position()));
    m_profile.sync();
    m_file.close();
}
