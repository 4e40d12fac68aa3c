#include "framework/windowplacement.h"

#include <algorithm>

namespace fw {

namespace {
// One extent of the window along one axis of the free area: its start and its length.
struct Span {
    qint64 start;
    qint64 length;
};

Span fitSpan(qint64 start, qint64 end, qint64 smallest, qint64 freeStart, qint64 freeLength) {
    const qint64 length = std::min(std::max(end - start, smallest), freeLength);
    return {std::clamp(start, freeStart, freeStart + freeLength - length), length};
}
} // namespace

QRect fitRectOnScreen(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect &available,
                      QSize smallest) {
    if (right <= left || bottom <= top || available.isEmpty()) {
        return {};
    }
    const Span across = fitSpan(left, right, smallest.width(), available.left(), available.width());
    const Span down = fitSpan(top, bottom, smallest.height(), available.top(), available.height());
    return QRect(int(across.start), int(down.start), int(across.length), int(down.length));
}

} // namespace fw
