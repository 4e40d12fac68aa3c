#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class ScanSink;

// The scan rules followed word for word: the working copy is a string that each cut copies,
// and every lookup searches it from its start. Slow (quadratic on large texts) and obviously
// right; the tests compare the real scanner with it. Offsets are kept for every entry, without
// the real scanner's bound.
struct LiteralScanner {
    void scan(const QString &text, const QString &path, ScanSink *project);

    bool inInnerClass = false;
    QString currentInnerName;
    int declOffset = 0;
    QVector<int> entryOffsets;
    QString currentClassName;
    QStringList entryNames;
    int consumedCount = 0;

private:
    void extract(const QString &head, int depth);
    void record(QString s, int depth);
    void method(const QString &signature, int depth);

    // Per depth: whether heads there are enum constants still, and the record whose body it is.
    struct Body {
        bool enumConstants = false;
        QString enumName;
        QString recordName;
        QString record; // name and components: the compact constructor's signature
    };
    Body m_bodies[5];

    QString m_path;
    ScanSink *m_project = nullptr;
};
