#include "tools/lineends.h"

QByteArray NormaliseCapturedChunk(QByteArrayView chunk, char previousByte) {
    // Worst case every byte is a LF that gains a CR.
    QByteArray normalised(chunk.size() * 2, Qt::Uninitialized);
    char *out = normalised.data();
    char previous = previousByte;
    for (const char byte : chunk) {
        if (byte == '\0') {
            continue;
        }
        if (byte == '\n' && previous != '\r') {
            *out++ = '\r';
        }
        *out++ = byte;
        previous = byte;
    }
    normalised.truncate(out - normalised.constData());
    return normalised;
}
