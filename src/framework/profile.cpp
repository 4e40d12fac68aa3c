#include "framework/profile.h"

namespace fw {

Profile::Profile()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(kOrganisation),
                                             QString::fromLatin1(kApplication))) {}

Profile::Profile(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

QString Profile::path(const QString &section, const QString &key) {
    return section + QLatin1Char('/') + key;
}

int Profile::readInt(const QString &section, const QString &key, int defaultValue) const {
    bool ok = false;
    const int value = m_settings->value(path(section, key)).toInt(&ok);
    return ok ? value : defaultValue;
}

QString Profile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const {
    const QVariant value = m_settings->value(path(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void Profile::writeInt(const QString &section, const QString &key, int value) {
    m_settings->setValue(path(section, key), value);
}

void Profile::writeString(const QString &section, const QString &key, const QString &value) {
    m_settings->setValue(path(section, key), value);
}

bool Profile::contains(const QString &section, const QString &key) const {
    return m_settings->contains(path(section, key));
}

void Profile::remove(const QString &section, const QString &key) {
    m_settings->remove(path(section, key));
}

QByteArray Profile::readBytes(const QString &section, const QString &key) const {
    return m_settings->value(path(section, key)).toByteArray();
}

void Profile::writeBytes(const QString &section, const QString &key, const QByteArray &value) {
    m_settings->setValue(path(section, key), value);
}

void Profile::sync() {
    m_settings->sync();
}

QString Profile::fileName() const {
    return m_settings->fileName();
}

} // namespace fw
