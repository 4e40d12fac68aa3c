#include "project/newprojecttemplates.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace NewProjectTemplates {

QString substitute(const QString &text, const QString &placeholder, const QString &className) {
    QString result = text;
    result.replace(placeholder, className, Qt::CaseSensitive);
    return result;
}

QByteArray fileBytes(const QString &text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace("\n", "\r\n");
    return bytes;
}

bool holdsPathSeparator(const QString &className) {
    return className.contains(QLatin1Char('/')) || className.contains(QLatin1Char('\\'));
}

bool isJavaClassName(const QString &className) {
    static const QStringList reserved{
        u"abstract"_s,   u"assert"_s,       u"boolean"_s,   u"break"_s,      u"byte"_s,
        u"case"_s,       u"catch"_s,        u"char"_s,      u"class"_s,      u"const"_s,
        u"continue"_s,   u"default"_s,      u"do"_s,        u"double"_s,     u"else"_s,
        u"enum"_s,       u"extends"_s,      u"final"_s,     u"finally"_s,    u"float"_s,
        u"for"_s,        u"goto"_s,         u"if"_s,        u"implements"_s, u"import"_s,
        u"instanceof"_s, u"int"_s,          u"interface"_s, u"long"_s,       u"native"_s,
        u"new"_s,        u"package"_s,      u"private"_s,   u"protected"_s,  u"public"_s,
        u"return"_s,     u"short"_s,        u"static"_s,    u"strictfp"_s,   u"super"_s,
        u"switch"_s,     u"synchronized"_s, u"this"_s,      u"throw"_s,      u"throws"_s,
        u"transient"_s,  u"try"_s,          u"void"_s,      u"volatile"_s,   u"while"_s,
        u"true"_s,       u"false"_s,        u"null"_s,      u"var"_s,        u"record"_s,
        u"yield"_s,      u"sealed"_s,       u"permits"_s,   u"_"_s};
    if (className.isEmpty() || reserved.contains(className)) {
        return false;
    }
    for (qsizetype index = 0; index < className.size(); ++index) {
        const QChar character = className[index];
        const bool part = character.isLetter() || character == u'_' || character == u'$'
                          || (index > 0 && character.isDigit());
        if (!part) {
            return false;
        }
    }
    return true;
}

QStringList templateClassNames(ProjectKind kind) {
    switch (kind) {
    case ProjectKind::Application:
        return {u"Frame"_s, u"WindowAdapter"_s, u"WindowEvent"_s, u"String"_s, u"System"_s};
    case ProjectKind::Applet:
        return {u"Applet"_s, u"Graphics"_s};
    case ProjectKind::Empty:
        break;
    }
    return {};
}

} // namespace NewProjectTemplates
