#include "tools/lineends.h"

#include <algorithm>
#include <cstring>

namespace {

const char *findByte(const char *from, const char *end, char byte) {
    const void *found = std::memchr(from, byte, static_cast<size_t>(end - from));
    return found ? static_cast<const char *>(found) : end;
}

} // namespace

void AppendCapturedChunk(QByteArray &text, QByteArrayView chunk) {
    if (chunk.isEmpty()) {
        return; // an empty view may have no data pointer at all
    }
    const qsizetype oldSize = text.size();
    // Worst case every byte is a LF that gains a CR. Growing by doubling keeps a long run's
    // appends linear overall.
    const qsizetype largestSize = oldSize + 2 * chunk.size();
    if (text.capacity() < largestSize) {
        text.reserve(std::max(largestSize, 2 * text.capacity()));
    }
    char previous = oldSize > 0 ? text.at(oldSize - 1) : '\0';
    text.resize(largestSize);
    char *out = text.data() + oldSize;

    // Copies the runs between line feeds and NUL bytes whole; both are rare next to text.
    const char *in = chunk.data();
    const char *const end = in + chunk.size();
    const char *nextNul = findByte(in, end, '\0');
    while (in < end) {
        if (nextNul < in) {
            nextNul = findByte(in, end, '\0');
        }
        const char *const stop = std::min(findByte(in, end, '\n'), nextNul);
        if (stop > in) {
            std::memcpy(out, in, static_cast<size_t>(stop - in));
            out += stop - in;
            previous = stop[-1];
        }
        in = stop;
        if (in == end) {
            break;
        }
        if (*in == '\n') {
            if (previous != '\r') {
                *out++ = '\r';
            }
            *out++ = '\n';
            previous = '\n';
        }
        ++in;
    }
    text.truncate(out - text.constData());
}
