#pragma once

#include <QRect>
#include <QSize>

namespace fw {

// The smallest size a window is given back from a stored place: room for a title, a tool strip
// and a few lines of text.
inline constexpr QSize kSmallestRestoredWindow(320, 140);

// Where a window goes whose stored place is the rectangle left, top, right, bottom (right and
// bottom exclusive), on a screen whose free area is `available`. Stored values may be anything:
// they are taken as 64-bit numbers, so that no difference overflows. A rectangle without width
// or height (never stored, or junk) gives a null rectangle: the window keeps the place it would
// have had. Otherwise the window is made at least `smallest` (as far as the free area allows)
// and no larger than the free area, and moved into it.
QRect fitRectOnScreen(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect &available,
                      QSize smallest = kSmallestRestoredWindow);

} // namespace fw
