#include "framework/recentfilelist.h"

#include "framework/profile.h"

#include <QDir>

namespace fw {

namespace {
const QString kSection = QStringLiteral("Recent File List");
constexpr int kMaxShownLength = 60;

QString key(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

RecentFileList::RecentFileList(Profile &profile)
    : m_profile(profile) {
    for (int index = 0; index < kSize; ++index) {
        const QString path = m_profile.readString(kSection, key(index));
        if (!path.isEmpty() && !m_entries.contains(path)) {
            m_entries << path;
        }
    }
}

void RecentFileList::add(const QString &path) {
    if (path.isEmpty()) {
        return;
    }
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > kSize) {
        m_entries.removeLast();
    }
}

void RecentFileList::remove(int index) {
    if (index < 0 || index >= m_entries.size()) {
        return;
    }
    m_entries.removeAt(index);
}

QString RecentFileList::menuText(int index) const {
    QString shown = QDir::toNativeSeparators(m_entries.value(index));
    if (shown.size() > kMaxShownLength) {
        const qsizetype keep = (kMaxShownLength - 3) / 2;
        shown = shown.left(keep) + QStringLiteral("...") + shown.right(keep);
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

void RecentFileList::save() {
    for (int index = 0; index < kSize; ++index) {
        if (index < m_entries.size()) {
            m_profile.writeString(kSection, key(index), m_entries.at(index));
        } else {
            m_profile.remove(kSection, key(index));
        }
    }
    m_profile.sync();
}

} // namespace fw
