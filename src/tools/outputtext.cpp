#include "tools/outputtext.h"

#include <algorithm>

namespace {
// A piece smaller than this is joined to the last one while that is small too, so that a tool
// writing a line now and then does not leave thousands of pieces.
constexpr qsizetype kSmallPiece = 64 * 1024;
constexpr qsizetype kJoinedPieceLimit = 1024 * 1024;
} // namespace

OutputText::OutputText()
    : m_decoder(QStringDecoder::Utf8) {}

void OutputText::reset(const QByteArray &text) {
    m_pieces.clear();
    m_size = 0;
    m_placedPiece = 0;
    m_placedOffset = 0;
    m_placedSize = 0;
    m_decoder.resetState();
    m_placedEndsWithCr = false;
    append(text);
}

void OutputText::append(const QByteArray &bytes) {
    if (bytes.isEmpty()) {
        return;
    }
    // Only a piece not yet wholly handed out takes more bytes: the next slice starts in it.
    const bool join = m_placedPiece < m_pieces.size() && bytes.size() < kSmallPiece
                      && m_pieces.back().size() < kJoinedPieceLimit;
    if (join) {
        m_pieces.back().append(bytes);
    } else {
        m_pieces.push_back(bytes);
    }
    m_size += bytes.size();
}

QString OutputText::nextDisplaySlice(qsizetype maxBytes) {
    QString text;
    while (maxBytes > 0 && hasPending()) {
        const QByteArray &piece = m_pieces.at(m_placedPiece);
        const qsizetype count = std::min(maxBytes, piece.size() - m_placedOffset);
        text += m_decoder.decode(QByteArrayView(piece).sliced(m_placedOffset, count));
        m_placedOffset += count;
        m_placedSize += count;
        maxBytes -= count;
        if (m_placedOffset == piece.size()) {
            ++m_placedPiece;
            m_placedOffset = 0;
        }
    }
    if (m_placedEndsWithCr && text.startsWith(QLatin1Char('\n'))) {
        text.remove(0, 1);
        m_placedEndsWithCr = false;
    }
    if (text.isEmpty()) {
        return text; // a character still incomplete, or the LF of a pair already ended
    }
    m_placedEndsWithCr = text.endsWith(QLatin1Char('\r'));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QByteArray OutputText::bytes(qsizetype length) const {
    QByteArray result;
    result.reserve(std::min(length, m_size));
    for (const QByteArray &piece : m_pieces) {
        if (result.size() >= length) {
            break;
        }
        result.append(piece.first(std::min(piece.size(), length - result.size())));
    }
    return result;
}

QString OutputText::text() const {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString result;
    result.reserve(m_size);
    for (const QByteArray &piece : m_pieces) {
        result += decoder.decode(piece);
    }
    return result;
}
