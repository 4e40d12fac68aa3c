#include "editors/importline.h"

#include <QList>

namespace editors {

namespace {

// A package or import statement at the top of a source.
struct Statement {
    bool isPackage = false;
    bool isStatic = false;
    QString name; // the dotted name, spaces and comments taken out
    int start = 0;
    int end = 0; // just past its semicolon
};

// Skips spaces and comments from index on.
int skipBlanks(QStringView text, int index) {
    while (index < text.size()) {
        if (text[index].isSpace()) {
            ++index;
        } else if (text.mid(index).startsWith(u"//")) {
            const int lineEnd = int(text.indexOf(u'\n', index));
            index = lineEnd < 0 ? int(text.size()) : lineEnd + 1;
        } else if (text.mid(index).startsWith(u"/*")) {
            const int close = int(text.indexOf(u"*/", index + 2));
            index = close < 0 ? int(text.size()) : close + 2;
        } else {
            break;
        }
    }
    return index;
}

bool startsWithWord(QStringView text, int index, QStringView word) {
    const int end = index + int(word.size());
    return text.mid(index).startsWith(word)
           && (end >= text.size() || !(text[end].isLetterOrNumber() || text[end] == u'_'));
}

// The package and import statements before the first type declaration.
QList<Statement> headerStatements(QStringView text) {
    QList<Statement> statements;
    int index = skipBlanks(text, 0);
    while (index < text.size()) {
        Statement statement;
        statement.start = index;
        if (startsWithWord(text, index, u"package")) {
            statement.isPackage = true;
            index += 7;
        } else if (startsWithWord(text, index, u"import")) {
            index = skipBlanks(text, index + 6);
            if (startsWithWord(text, index, u"static")) {
                statement.isStatic = true;
                index += 6;
            }
        } else {
            break;
        }
        while (index < text.size() && text[index] != u';') {
            const int next = skipBlanks(text, index);
            if (next != index) {
                index = next;
                continue;
            }
            statement.name.append(text[index]);
            ++index;
        }
        if (index >= text.size()) {
            break; // not finished: no statement
        }
        statement.end = index + 1;
        statements.append(statement);
        index = skipBlanks(text, statement.end);
    }
    return statements;
}

int lineEndAfter(QStringView text, int position) {
    const int lineEnd = int(text.indexOf(u'\n', position));
    return lineEnd < 0 ? int(text.size()) : lineEnd;
}

int lineStartBefore(QStringView text, int position) {
    return position == 0 ? 0 : int(text.lastIndexOf(u'\n', position - 1)) + 1;
}

QString packageOf(const QString &qualifiedName) {
    const qsizetype dot = qualifiedName.lastIndexOf(u'.');
    return dot < 0 ? QString() : qualifiedName.left(dot);
}

QString simpleNameOf(const QString &qualifiedName) {
    return qualifiedName.mid(qualifiedName.lastIndexOf(u'.') + 1);
}

} // namespace

ImportPlan planImport(QStringView text, const QString &qualifiedName) {
    const QString classPackage = packageOf(qualifiedName);
    if (classPackage.isEmpty() || classPackage == QLatin1String("java.lang")) {
        return {};
    }
    const QList<Statement> statements = headerStatements(text);
    const Statement *package = nullptr;
    const Statement *lastImport = nullptr;
    const Statement *following = nullptr; // the first import that sorts after the new one
    const QString simpleName = simpleNameOf(qualifiedName);
    for (const Statement &statement : statements) {
        if (statement.isPackage) {
            package = &statement;
            if (statement.name == classPackage) {
                return {};
            }
            continue;
        }
        if (statement.isStatic) {
            continue;
        }
        if (statement.name == qualifiedName
            || statement.name == classPackage + QStringLiteral(".*")) {
            return {};
        }
        if (simpleNameOf(statement.name) == simpleName) {
            return {ImportPlan::Need::Conflict, 0, {}};
        }
        lastImport = &statement;
        if (!following && statement.name > qualifiedName) {
            following = &statement;
        }
    }
    const QString line = QStringLiteral("import ") + qualifiedName + QLatin1Char(';');
    if (following) {
        return {ImportPlan::Need::Insert, lineStartBefore(text, following->start),
                line + QLatin1Char('\n')};
    }
    if (lastImport) {
        return {ImportPlan::Need::Insert, lineEndAfter(text, lastImport->end),
                QLatin1Char('\n') + line};
    }
    if (package) {
        const int packageLineEnd = lineEndAfter(text, package->end);
        if (packageLineEnd >= text.size()) {
            return {ImportPlan::Need::Insert, packageLineEnd, QStringLiteral("\n\n") + line};
        }
        // After the package line's break: a blank line before the import and one after it.
        const int next = packageLineEnd + 1;
        const bool blankFollows =
            lineEndAfter(text, next) == next
            || QStringView(text).mid(next, lineEndAfter(text, next) - next).trimmed().isEmpty();
        return {ImportPlan::Need::Insert, next,
                QLatin1Char('\n') + line
                    + (blankFollows ? QStringLiteral("\n") : QStringLiteral("\n\n"))};
    }
    return {ImportPlan::Need::Insert, 0, line + QStringLiteral("\n\n")};
}

} // namespace editors
