#include "tools/stackframe.h"

#include <QDir>

#include <algorithm>

namespace jdk {

namespace {

constexpr QLatin1StringView kAt("at ");
constexpr QLatin1StringView kJavaSuffix(".java");

bool isDigit(QChar character) {
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

// The digits of text, when it is nothing but one or more of them and fits a line number.
std::optional<int> lineNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    return text.toInt();
}

} // namespace

std::optional<StackFrame> stackFrame(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(kAt) || !trimmed.endsWith(QLatin1Char(')'))) {
        return std::nullopt;
    }
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open < 0) {
        return std::nullopt;
    }
    // "File.java:57" between the parentheses.
    const QStringView place = trimmed.sliced(open + 1, trimmed.size() - open - 2);
    const qsizetype colon = place.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) {
        return std::nullopt;
    }
    const QStringView fileName = place.first(colon);
    const std::optional<int> number = lineNumber(place.sliced(colon + 1));
    if (!number || !fileName.endsWith(kJavaSuffix) || fileName.size() == kJavaSuffix.size()
        || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))) {
        return std::nullopt;
    }
    // "java.base/java.util.Scanner.next" or "app//com.x.Main.main": the module or loader ends at
    // the last '/'. What is left is package, class (with its nested classes) and method.
    QStringView method = trimmed.sliced(kAt.size(), open - kAt.size()).trimmed();
    method = method.sliced(method.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype methodDot = method.lastIndexOf(QLatin1Char('.'));
    if (methodDot <= 0 || method.contains(QLatin1Char(' '))) {
        return std::nullopt;
    }
    const QStringView qualifiedClass = method.first(methodDot);
    const qsizetype classDot = qualifiedClass.lastIndexOf(QLatin1Char('.'));
    QString relativePath = fileName.toString();
    if (classDot > 0) {
        QString folders = qualifiedClass.first(classDot).toString();
        folders.replace(QLatin1Char('.'), QDir::separator());
        relativePath = folders + QDir::separator() + relativePath;
    }
    return StackFrame{relativePath, fileName.toString(), *number};
}

} // namespace jdk
