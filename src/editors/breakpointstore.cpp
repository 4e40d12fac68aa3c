#include "editors/breakpointstore.h"

#include "framework/profile.h"

#include <algorithm>

namespace {

const QString kGroup = QStringLiteral("Breakpoints");
const QString kFilesKey = QStringLiteral("Files");

} // namespace

BreakpointStore &BreakpointStore::instance() {
    static BreakpointStore *const store = new BreakpointStore;
    return *store;
}

BreakpointStore::BreakpointStore() = default;

void BreakpointStore::setProfile(fw::Profile *profile) {
    m_profile = profile;
    m_files = profile ? fromTexts(profile->readString(kGroup, kFilesKey).split(QLatin1Char('\n')))
                      : QMap<QString, QList<int>>();
}

QList<int> BreakpointStore::lines(const QString &path) const {
    return m_files.value(path);
}

void BreakpointStore::setLines(const QString &path, QList<int> lines) {
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    lines.removeIf([](int line) { return line < 1; });
    if (lines == m_files.value(path)) {
        return;
    }
    if (lines.isEmpty()) {
        m_files.remove(path);
    } else {
        m_files.insert(path, lines);
    }
    save();
    emit changed(path);
}

QStringList BreakpointStore::files() const {
    return m_files.keys();
}

QStringList BreakpointStore::toTexts(const QMap<QString, QList<int>> &files) {
    QStringList texts;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        QStringList numbers;
        for (const int line : file.value()) {
            numbers << QString::number(line);
        }
        texts << numbers.join(QLatin1Char(',')) + QLatin1Char('\t') + file.key();
    }
    return texts;
}

QMap<QString, QList<int>> BreakpointStore::fromTexts(const QStringList &texts) {
    QMap<QString, QList<int>> files;
    for (const QString &text : texts) {
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab <= 0 || tab + 1 == text.size()) {
            continue;
        }
        QList<int> lines;
        for (const QString &number : text.left(tab).split(QLatin1Char(','))) {
            bool ok = false;
            const int line = number.toInt(&ok);
            if (ok && line > 0) {
                lines << line;
            }
        }
        std::sort(lines.begin(), lines.end());
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        if (!lines.isEmpty()) {
            files.insert(text.mid(tab + 1), lines);
        }
    }
    return files;
}

void BreakpointStore::save() const {
    if (!m_profile) {
        return;
    }
    if (m_files.isEmpty()) {
        m_profile->remove(kGroup, kFilesKey);
    } else {
        m_profile->writeString(kGroup, kFilesKey, toTexts(m_files).join(QLatin1Char('\n')));
    }
}

bool BreakpointStore::holdsNoCode(const QString &lineText) {
    const QString text = lineText.trimmed();
    return text.isEmpty() || text == QLatin1String("{") || text.startsWith(QLatin1String("//"))
           || text.startsWith(QLatin1String("/*")) || text.startsWith(QLatin1Char('*'))
           || (text.startsWith(QLatin1Char('@')) && !text.startsWith(QLatin1String("@interface")));
}
