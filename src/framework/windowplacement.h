#pragma once

#include <QRect>

namespace fw {

// Where a window goes whose stored place is the rectangle left, top, right, bottom (right and
// bottom exclusive), on a screen whose free area is `available`. Stored values may be anything:
// they are taken as 64-bit numbers, so that no difference overflows. A rectangle without width
// or height (never stored, or junk) gives a null rectangle: the window keeps the place it would
// have had. Otherwise the window is made no larger than the free area and moved into it.
QRect fitRectOnScreen(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect &available);

} // namespace fw
