#include "framework/windowplacement.h"

#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct PlacementCase {
    const char *name;
    qint64 left, top, right, bottom;
    QRect expected;
};

class StoredWindowPlace : public testing::TestWithParam<PlacementCase> {};

const QRect kFreeArea(0, 30, 1280, 970);

TEST_P(StoredWindowPlace, IsKeptOnTheFreeAreaOfTheScreen) {
    const PlacementCase &place = GetParam();
    EXPECT_EQ(fw::fitRectOnScreen(place.left, place.top, place.right, place.bottom, kFreeArea),
              place.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredWindowPlace,
    testing::Values(
        PlacementCase{"NeverStoredKeepsTheDefaultPlace", 0, 0, 0, 0, QRect()},
        PlacementCase{"PlaceOnTheScreenStaysAsItIs", 100, 120, 500, 420, QRect(100, 120, 400, 300)},
        PlacementCase{"ExtremeValuesNeitherOverflowNorGrowBeyondTheScreen", INT_MIN, 0, 2000000000,
                      500, QRect(0, 30, 1280, 500)},
        PlacementCase{"AllExtremeValuesFillTheScreen", INT_MIN, INT_MIN, INT_MAX, INT_MAX,
                      kFreeArea},
        PlacementCase{"RightBeforeLeftKeepsTheDefaultPlace", 500, 100, 100, 400, QRect()},
        PlacementCase{"EmptyHeightKeepsTheDefaultPlace", 100, 100, 400, 100, QRect()},
        PlacementCase{"FarOffToTheRightIsMovedBackOnScreen", 5000, 200, 5400, 500,
                      QRect(880, 200, 400, 300)},
        PlacementCase{"AboveTheFreeAreaIsMovedDownIntoIt", 10, -400, 410, -100,
                      QRect(10, 30, 400, 300)},
        PlacementCase{"HalfOffTheBottomIsMovedUp", 10, 900, 410, 1200, QRect(10, 700, 400, 300)}),
    testing_support::CaseName());

} // namespace
