#include "framework/windowplacement.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A stored rectangle is junk from an old or damaged profile: extreme values must neither
// overflow nor put the window off the free area, and an empty one keeps the default place.
TEST(StoredWindowPlace, IsKeptOnTheFreeAreaOfTheScreen) {
    const QRect area(0, 30, 1280, 970);
    EXPECT_EQ(fw::fitRectOnScreen(0, 0, 0, 0, area), QRect());
    EXPECT_EQ(fw::fitRectOnScreen(500, 100, 100, 400, area), QRect());
    EXPECT_EQ(fw::fitRectOnScreen(INT_MIN, 0, 2000000000, 500, area), QRect(0, 30, 1280, 500));
    EXPECT_EQ(fw::fitRectOnScreen(INT_MIN, INT_MIN, INT_MAX, INT_MAX, area), area);
    EXPECT_EQ(fw::fitRectOnScreen(5000, 200, 5400, 500, area), QRect(880, 200, 400, 300));
    EXPECT_EQ(fw::fitRectOnScreen(10, -400, 410, -100, area), QRect(10, 30, 400, 300));
}

// A stored place of a few pixels gives a window that can still be used, kept on the free area;
// a free area smaller than that gives the whole area.
TEST(StoredWindowPlace, TinyRectangleGivesAUsableWindow) {
    const QRect area(0, 30, 1280, 970);
    EXPECT_EQ(fw::fitRectOnScreen(10, 40, 19, 49, area), QRect(10, 40, 320, 140));
    EXPECT_EQ(fw::fitRectOnScreen(1275, 995, 1284, 1004, area), QRect(960, 860, 320, 140));
    EXPECT_EQ(fw::fitRectOnScreen(0, 0, 9, 9, QRect(0, 0, 200, 100)), QRect(0, 0, 200, 100));
}

} // namespace
