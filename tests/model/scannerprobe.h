#pragma once

#include "literalscanner.h"
#include "model/javasourcescanner.h"

#include <QVector>

#include "support/qtprinters.h"

// The real scanner with its members in view.
class ScannerProbe : public JavaSourceScanner {
public:
    using JavaSourceScanner::consumedCount;
    using JavaSourceScanner::currentClassName;
    using JavaSourceScanner::currentInnerName;
    using JavaSourceScanner::declOffset;
    using JavaSourceScanner::inInnerClass;

    QVector<int> offsets() const {
        QVector<int> result;
        for (int i = 0; i < entries().size(); ++i) {
            result.append(entryOffset(i));
        }
        return result;
    }
};

// The members a scan leaves behind besides its entries, as one line.
template <typename Scanner>
QString stateOf(const Scanner &scanner) {
    return QStringLiteral("class=%1 inner=%2 inInner=%3 declOffset=%4 consumed=%5")
        .arg(scanner.currentClassName, scanner.currentInnerName)
        .arg(scanner.inInnerClass)
        .arg(scanner.declOffset)
        .arg(scanner.consumedCount);
}

// Lines joined, each ending in CR LF.
inline QString crlfLines(std::initializer_list<const char *> lines) {
    QString text;
    for (const char *line : lines) {
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    }
    return text;
}
