#include "javaservice/protocol.h"

#include <QStringList>
#include <QVariantList>
#include <QtEndian>

namespace javaservice::protocol {

namespace {

void appendCount(QByteArray &out, qsizetype count) {
    char bytes[4];
    qToBigEndian(static_cast<quint32>(count), bytes);
    out.append(bytes, 4);
}

void appendBytes(QByteArray &out, QByteArrayView bytes) {
    appendCount(out, bytes.size());
    out.append(bytes.data(), bytes.size());
}

void appendRecord(QByteArray &out, const QVariantMap &record);

void appendValue(QByteArray &out, const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        out.append('s');
        appendBytes(out, value.toString().toUtf8());
        return;
    case QMetaType::QByteArray:
        out.append('b');
        appendBytes(out, value.toByteArray());
        return;
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        const QVariantList list = value.toList();
        out.append('l');
        appendCount(out, list.size());
        for (const QVariant &element : list) {
            appendValue(out, element);
        }
        return;
    }
    case QMetaType::QVariantMap:
        out.append('r');
        appendRecord(out, value.toMap());
        return;
    default: {
        char bytes[8];
        qToBigEndian(static_cast<qint64>(value.toLongLong()), bytes);
        out.append('i');
        out.append(bytes, 8);
        return;
    }
    }
}

void appendRecord(QByteArray &out, const QVariantMap &record) {
    appendCount(out, record.size());
    for (auto field = record.cbegin(); field != record.cend(); ++field) {
        appendBytes(out, field.key().toUtf8());
        appendValue(out, field.value());
    }
}

// Reads the values of one frame's body; any read past its end or unknown tag fails it.
class BodyReader {
public:
    explicit BodyReader(QByteArrayView body)
        : m_body(body) {}

    std::optional<QVariantMap> record() {
        const std::optional<quint32> count = this->count();
        if (!count) {
            return std::nullopt;
        }
        QVariantMap fields;
        for (quint32 index = 0; index < *count; ++index) {
            const std::optional<QByteArray> name = bytes();
            std::optional<QVariant> field = name ? value() : std::nullopt;
            if (!field) {
                return std::nullopt;
            }
            fields.insert(QString::fromUtf8(*name), std::move(*field));
        }
        return fields;
    }

    bool atEnd() const { return m_position == m_body.size(); }

private:
    std::optional<QVariant> value() {
        if (m_position >= m_body.size()) {
            return std::nullopt;
        }
        switch (m_body.at(m_position++)) {
        case 's':
            if (const std::optional<QByteArray> text = bytes()) {
                return QVariant(QString::fromUtf8(*text));
            }
            return std::nullopt;
        case 'b':
            if (std::optional<QByteArray> data = bytes()) {
                return QVariant(*data);
            }
            return std::nullopt;
        case 'i':
            if (m_body.size() - m_position < 8) {
                return std::nullopt;
            }
            m_position += 8;
            return QVariant(qFromBigEndian<qint64>(m_body.data() + m_position - 8));
        case 'l': {
            const std::optional<quint32> count = this->count();
            if (!count) {
                return std::nullopt;
            }
            QVariantList list;
            for (quint32 index = 0; index < *count; ++index) {
                std::optional<QVariant> element = value();
                if (!element) {
                    return std::nullopt;
                }
                list.append(std::move(*element));
            }
            return QVariant(list);
        }
        case 'r':
            if (std::optional<QVariantMap> fields = record()) {
                return QVariant(*fields);
            }
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }

    // A count or length, never more than the bytes left could hold.
    std::optional<quint32> count() {
        if (m_body.size() - m_position < 4) {
            return std::nullopt;
        }
        const quint32 count = qFromBigEndian<quint32>(m_body.data() + m_position);
        m_position += 4;
        if (count > quint64(m_body.size() - m_position)) {
            return std::nullopt;
        }
        return count;
    }

    std::optional<QByteArray> bytes() {
        const std::optional<quint32> length = count();
        if (!length) {
            return std::nullopt;
        }
        m_position += *length;
        return m_body.sliced(m_position - *length, *length).toByteArray();
    }

    QByteArrayView m_body;
    qsizetype m_position = 0;
};

} // namespace

QByteArray encodeFrame(const Message &message) {
    QVariantMap record = message.fields;
    record.insert(QLatin1String(kId), static_cast<qint64>(message.id));
    record.insert(QLatin1String(kKind), message.kind);
    QByteArray frame(4, '\0');
    appendRecord(frame, record);
    qToBigEndian(static_cast<quint32>(frame.size() - 4), frame.data());
    return frame;
}

void FrameReader::append(QByteArrayView bytes) {
    if (m_failed) {
        return;
    }
    // What was read already is dropped only now and then, so that many small frames do not
    // each move the rest.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes.data(), bytes.size());
}

std::optional<Message> FrameReader::next() {
    if (m_failed || m_buffer.size() - m_start < 4) {
        return std::nullopt;
    }
    const quint32 length = qFromBigEndian<quint32>(m_buffer.constData() + m_start);
    if (length > kMaxFrameSize) {
        m_failed = true;
        return std::nullopt;
    }
    if (m_buffer.size() - m_start - 4 < qsizetype(length)) {
        return std::nullopt;
    }
    BodyReader body(QByteArrayView(m_buffer).sliced(m_start + 4, length));
    m_start += 4 + length;
    std::optional<QVariantMap> record = body.record();
    const QVariant id = record ? record->take(QLatin1String(kId)) : QVariant();
    const QVariant kind = record ? record->take(QLatin1String(kKind)) : QVariant();
    if (!record || !body.atEnd() || id.typeId() != QMetaType::LongLong
        || kind.typeId() != QMetaType::QString) {
        m_failed = true;
        return std::nullopt;
    }
    return Message{static_cast<quint64>(id.toLongLong()), kind.toString(), std::move(*record)};
}

} // namespace javaservice::protocol
