#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The tips file read as the tip of the day reads it: line by line, each line in pieces of at most
// kPieceLength bytes (a longer line gives further pieces that count as lines of their own). A
// piece that begins with ';', a space, a tab or a line end is no tip; every other one is, with
// its line end. Positions are byte offsets from the start of the file, as the settings keep them.
class TipsFile {
public:
    static constexpr qint64 kPieceLength = 999;

    enum class Read {
        Tip,    // tip() holds the next tip
        NoTip,  // a whole pass through the file found none
        Trouble // going back to the start of the file failed
    };

    TipsFile();
    ~TipsFile();

    TipsFile(const TipsFile &) = delete;
    TipsFile &operator=(const TipsFile &) = delete;

    // False when the file cannot be opened for reading.
    bool open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    void close();

    // The file's modification time as ctime text without the trailing line end, such as
    // "Tue Dec  8 04:41:22 2026".
    QString timeStamp() const;
    // False, and the position unchanged, for a negative position.
    bool seek(qint64 position);
    qint64 position() const;

    // Reads on from the position to the next tip. After the end of the file it goes on from the
    // start, so the tips wrap around; the search ends after one whole pass through the file.
    Read readNextTip();
    // The last tip read, as it stands in the file (line end included).
    const QString &tip() const { return m_tip; }

    static QString ctimeText(qint64 secondsSinceEpoch);
    static bool isTip(const QByteArray &piece);

private:
    QByteArray readPiece();

    QFile m_file;
    QString m_tip;
};
