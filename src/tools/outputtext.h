#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <vector>

// The text of a tool run as an output window holds it: the bytes taken from the captured output
// so far (the shown text, whose size is the shown length), and how far they have been turned
// into display text. Bytes are kept in the pieces they were taken in, so that taking more never
// copies what is already held; small pieces are joined.
//
// Display text is made in slices of bounded size, in order: each slice is decoded as UTF-8 from
// where the last one ended (a character split between two slices comes out whole), and every
// line end, a CR LF pair (even one split between slices) or a lone CR, becomes one '\n'. The
// slices joined are the display form of the bytes handed out so far.
class OutputText {
public:
    OutputText();

    // Starts again with text as the only bytes and nothing handed out.
    void reset(const QByteArray &text);
    void append(const QByteArray &bytes);

    qsizetype size() const { return m_size; }
    qsizetype placedSize() const { return m_placedSize; }
    bool hasPending() const { return m_placedSize < m_size; }

    // The display text of the next bytes, at most maxBytes of them.
    QString nextDisplaySlice(qsizetype maxBytes);

    // The first length bytes.
    QByteArray bytes(qsizetype length) const;
    // All bytes decoded as UTF-8, line ends as they are.
    QString text() const;

private:
    std::vector<QByteArray> m_pieces;
    qsizetype m_size = 0;
    // Where the next slice starts: a piece, an offset in it, and the count of bytes before it.
    std::size_t m_placedPiece = 0;
    qsizetype m_placedOffset = 0;
    qsizetype m_placedSize = 0;
    QStringDecoder m_decoder;
    bool m_placedEndsWithCr = false;
};
