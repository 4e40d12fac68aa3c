#pragma once

#include <QString>
#include <QStringList>

namespace fw {

class Profile;

// The framework's list of recently opened or saved documents, of any kind, most recent first,
// at most kSize entries, shown in the File menu. Kept in the settings section
// "Recent File List" as File1 .. File8, written by save() when the main window closes: nothing
// is written while the application starts.
class RecentFileList {
public:
    static constexpr int kSize = 8;

    explicit RecentFileList(Profile &profile);

    const QStringList &entries() const { return m_entries; }
    // Puts the path first, moving it there when it is already listed.
    void add(const QString &path);
    void remove(int index);

    // The menu text of entry index: "&1 " and the path, shortened in the middle when long.
    QString menuText(int index) const;

    void save();

private:
    Profile &m_profile;
    QStringList m_entries;
};

} // namespace fw
