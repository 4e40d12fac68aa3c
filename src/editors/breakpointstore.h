#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace fw {
class Profile;
}

// The breakpoints of every file, by the file's path: the 1-based lines, ascending, each once.
// They are kept in the application's settings (group "Breakpoints"), so that they stay across
// restarts, and written at each change; without settings they are kept in memory only. The
// source windows change them; the debugger reads them.
class BreakpointStore : public QObject {
    Q_OBJECT

public:
    // The application's store.
    static BreakpointStore &instance();
    // Keeps the breakpoints in these settings from now on, taking those they hold; none: in
    // memory only. The settings must outlive their use here.
    void setProfile(fw::Profile *profile);

    QList<int> lines(const QString &path) const;
    // Replaces the file's lines (kept sorted and unique); no lines forget the file.
    void setLines(const QString &path, QList<int> lines);
    // The files with breakpoints.
    QStringList files() const;

    // The settings' form of the store, one text per file (joined by line breaks in the
    // settings): the lines and the path, separated by a tab ("4,12\t/home/ada/Loop.java").
    // Texts that are not of that form are skipped.
    static QStringList toTexts(const QMap<QString, QList<int>> &files);
    static QMap<QString, QList<int>> fromTexts(const QStringList &texts);

    // Whether a line's text holds nothing a program can stop at: blanks, a comment line, an
    // annotation or a lone opening brace. A breakpoint asked for there goes to the code below.
    static bool holdsNoCode(const QString &lineText);

Q_SIGNALS:
    // The lines of the file changed.
    void changed(const QString &path);

private:
    BreakpointStore();
    void save() const;

    QMap<QString, QList<int>> m_files;
    fw::Profile *m_profile = nullptr;
};
