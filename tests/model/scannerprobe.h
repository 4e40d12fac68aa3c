#pragma once

#include "literalscanner.h"
#include "model/javasourcescanner.h"

#include <QVector>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

// Scans with the real scanner and shows what its members hold afterwards.
class ScannerProbe : public JavaSourceScanner {
public:
    QVector<int> offsets() const {
        QVector<int> result;
        for (int i = 0; i < entries().size(); ++i) {
            result.append(entryOffset(i));
        }
        return result;
    }
    QString state() const {
        return QStringLiteral("class=%1 inner=%2 inInner=%3 declOffset=%4 consumed=%5")
            .arg(currentClassName, currentInnerName)
            .arg(inInnerClass)
            .arg(declOffset)
            .arg(consumedCount);
    }
};

inline QString stateOf(const LiteralScanner &literal) {
    return QStringLiteral("class=%1 inner=%2 inInner=%3 declOffset=%4 consumed=%5")
        .arg(literal.currentClassName, literal.currentInnerName)
        .arg(literal.inInnerClass)
        .arg(literal.declOffset)
        .arg(literal.consumedCount);
}

// Lines joined, each ending in CR LF.
inline QString crlfLines(std::initializer_list<const char *> lines) {
    QString text;
    for (const char *line : lines) {
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    }
    return text;
}
