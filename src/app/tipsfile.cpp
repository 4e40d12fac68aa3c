#include "app/tipsfile.h"

#include "framework/fileio.h"

#include <QStringDecoder>

#include <algorithm>
#include <ctime>

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// The length of the UTF-8 sequence a lead byte starts; 1 for any other byte.
int sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// How many bytes at the end of a piece belong to a character that the piece cuts in two.
qsizetype cutCharacterBytes(const QByteArray &piece) {
    for (qsizetype back = 1; back <= 3 && back < piece.size(); ++back) {
        const auto byte = static_cast<unsigned char>(piece.at(piece.size() - back));
        if ((byte & 0xC0) != 0x80) {
            return sequenceLength(byte) > back ? back : 0;
        }
    }
    return 0;
}

} // namespace

TipsFile::TipsFile() = default;

TipsFile::~TipsFile() = default;

bool TipsFile::open(const QString &path) {
    close();
    QByteArray bytes;
    QString error;
    fw::FileStamp stamp;
    if (!fw::readWholeFile(path, &bytes, &error, kMaxFileSize, &stamp)) {
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = utf8.decode(bytes);
    m_isUtf8 = !utf8.hasError();
    m_modifiedSeconds = stamp.modifiedNs / 1'000'000'000;
    m_file.setData(bytes);
    return m_file.open(QIODevice::ReadOnly);
}

void TipsFile::close() {
    m_file.close();
    m_file.setData(QByteArray());
}

QString TipsFile::timeStamp() const {
    return ctimeText(m_modifiedSeconds);
}

bool TipsFile::seek(qint64 position) {
    // A position past the end (a file cut short since) reads as the end, from where the tips
    // wrap round to the first.
    return position >= 0 && m_file.isOpen() && m_file.seek(std::min(position, m_file.size()));
}

qint64 TipsFile::position() const {
    return m_file.pos();
}

QByteArray TipsFile::readPiece() {
    const bool atStart = m_file.pos() == 0;
    QByteArray piece(kPieceLength + 1, '\0');
    const qint64 length = m_file.readLine(piece.data(), piece.size());
    piece.resize(length > 0 ? length : 0);
    // A piece cut from a long line does not end inside a character: the cut character begins
    // the next piece.
    if (m_isUtf8 && piece.size() == kPieceLength && !piece.endsWith('\n')) {
        if (const qsizetype cut = cutCharacterBytes(piece); cut > 0 && cut < piece.size()) {
            m_file.seek(m_file.pos() - cut);
            piece.chop(cut);
        }
    }
    // An editor's byte-order mark is not part of the first line.
    if (atStart && piece.startsWith(kByteOrderMark)) {
        piece.remove(0, kByteOrderMark.size());
    }
    return piece;
}

TipsFile::Read TipsFile::readNextTip() {
    if (!m_file.isOpen()) {
        return Read::NoTip;
    }
    bool wrapped = false;
    for (;;) {
        const QByteArray piece = readPiece();
        if (isTip(piece)) {
            m_tip = m_isUtf8 ? QString::fromUtf8(piece) : QString::fromLatin1(piece);
            return Read::Tip;
        }
        if (!piece.isEmpty()) {
            continue;
        }
        // The end of the file (or a read that gives nothing): once more from the start, and
        // no further, so that a file without tips ends the search.
        if (wrapped) {
            return Read::NoTip;
        }
        wrapped = true;
        if (!seek(0)) {
            return Read::Trouble;
        }
    }
}

QString TipsFile::ctimeText(qint64 secondsSinceEpoch) {
    const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
    char text[32] = {};
    if (!ctime_r(&seconds, text)) {
        return QString();
    }
    QString stamp = QString::fromLatin1(text);
    while (!stamp.isEmpty() && stamp.back().isSpace()) {
        stamp.chop(1);
    }
    return stamp;
}

bool TipsFile::isTip(const QByteArray &piece) {
    if (piece.isEmpty()) {
        return false;
    }
    switch (piece.front()) {
    case ';':
    case ' ':
    case '\t':
    case '\n':
    case '\r':
        return false;
    default:
        return true;
    }
}
