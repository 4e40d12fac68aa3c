#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace jdk {

// A place in a source file that a compiler message names.
struct MessageLocation {
    QString path; // absolute and clean
    int line = 0; // 1-based, as the compiler writes it
};

// The file and line that a compiler message line begins with, as javac writes them:
// "dir/Name.java:12: error: ...". The path is taken as written when it is absolute, otherwise
// relative to toolFolder, the folder the compiler ran in (the current folder when empty), and
// must name an existing file. None when the line does not begin with such a path followed by
// a colon and a number.
std::optional<MessageLocation> messageLocation(QStringView line, const QString &toolFolder);

} // namespace jdk
