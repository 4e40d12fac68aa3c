#pragma once

// Readable failure messages for Qt values in GoogleTest assertions: gtest finds these PrintTo
// overloads by argument-dependent lookup. Include this header in every test file that compares
// Qt strings.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out) {
    *out << '{';
    for (qsizetype index = 0; index < list.size(); ++index) {
        *out << (index ? ", " : "") << '"' << list.at(index).toStdString() << '"';
    }
    *out << '}';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out) {
    *out << '"' << bytes.toPercentEncoding(" !#$&'()*+,/:;=?@[]{}<>\"").toStdString() << '"';
}
