#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>

// The tips file read as the tip of the day reads it: line by line, each line in pieces of at most
// kPieceLength bytes (a longer line gives further pieces that count as lines of their own). A
// piece that begins with ';', a space, a tab or a line end is no tip; every other one is, with
// its line end. Positions are byte offsets from the start of the file, as the settings keep them.
// The file is read whole when it is opened: only a regular file of at most kMaxFileSize bytes
// is, so that a pipe or a device named as the tips file cannot hold the start. Its text is UTF-8
// when the whole file is valid UTF-8, else Latin-1, as a source file's is.
class TipsFile {
public:
    static constexpr qint64 kPieceLength = 999;
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    enum class Read {
        Tip,    // tip() holds the next tip
        NoTip,  // a whole pass through the file found none
        Trouble // going back to the start of the file failed
    };

    TipsFile();
    ~TipsFile();

    TipsFile(const TipsFile &) = delete;
    TipsFile &operator=(const TipsFile &) = delete;

    // False when the file cannot be read, is no regular file or is larger than kMaxFileSize.
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

    QBuffer m_file;
    qint64 m_modifiedSeconds = 0;
    bool m_isUtf8 = true;
    QString m_tip;
};
