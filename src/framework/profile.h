#pragma once

#include <QSettings>
#include <QString>

#include <memory>

namespace fw {

// Access to the per-user settings, in sections and keys as a registry would hold them. On Linux
// the store is an INI file in the user's config folder (organisation "Pellow Software",
// application "Tarvo"); a section is a group. Reads of absent or unreadable values give the
// caller's default; failed writes are ignored, as a registry write failure would be.
class Profile {
public:
    Profile();
    explicit Profile(const QString &fileName); // a given INI file, for tools and tests

    int readInt(const QString &section, const QString &key, int defaultValue) const;
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;
    void writeInt(const QString &section, const QString &key, int value);
    void writeString(const QString &section, const QString &key, const QString &value);
    bool contains(const QString &section, const QString &key) const;
    void remove(const QString &section, const QString &key);

    // Raw bytes for framework state such as the toolbar layout.
    QByteArray readBytes(const QString &section, const QString &key) const;
    void writeBytes(const QString &section, const QString &key, const QByteArray &value);

    void sync();
    QString fileName() const;

    static constexpr const char *kOrganisation = "Pellow Software";
    static constexpr const char *kApplication = "Tarvo";

private:
    static QString path(const QString &section, const QString &key);
    std::unique_ptr<QSettings> m_settings;
};

} // namespace fw
