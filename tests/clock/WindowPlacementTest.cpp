#include "clock/WindowPlacementU.h"

#include <gtest/gtest.h>

namespace {

// A 1920 x 1080 desktop with a 30-pixel panel along its top and one of 40 along its left.
const TScreenArea Work{40, 30, 1880, 1050};
constexpr int DesktopWidth = 1920;
constexpr int W = 600;
constexpr int H = 560;

TWindowPos Drag(int left, int top) {
    return SnappedDragPosition({left, top}, W, H, Work, DesktopWidth);
}

} // namespace

TEST(WindowPlacement, ADragSnapsWithinSixPixelsOfAnEdge) {
    EXPECT_EQ(Drag(500, 300), (TWindowPos{500, 300})) << "in the open it goes where it is dragged";
    EXPECT_EQ(Drag(46, 36), (TWindowPos{46, 36})) << "six pixels off stays off";
    EXPECT_EQ(Drag(45, 35), (TWindowPos{40, 30})) << "five off the panels snaps onto them";
    EXPECT_EQ(Drag(-300, -300), (TWindowPos{40, 30})) << "beyond the work area comes back";
    // The right edge is the desktop's, the bottom the work area's.
    EXPECT_EQ(Drag(DesktopWidth - W - 6, 1080 - H - 6), (TWindowPos{1314, 514}));
    EXPECT_EQ(Drag(DesktopWidth - W - 5, 1080 - H - 5), (TWindowPos{1320, 520}));
    EXPECT_EQ(Drag(5000, 5000), (TWindowPos{1320, 520}));
    // A window wider than the desktop keeps its left edge at the work area's.
    EXPECT_EQ(SnappedDragPosition({500, 300}, 2000, H, Work, DesktopWidth), (TWindowPos{40, 300}));
}

TEST(WindowPlacement, AFrameIsMovedIntoTheWorkAreaByTheLeast) {
    EXPECT_EQ(KeptInArea({100, 100, W, H}, Work), (TWindowPos{100, 100}));
    EXPECT_EQ(KeptInArea({1500, 900, W, H}, Work), (TWindowPos{1320, 520}));
    EXPECT_EQ(KeptInArea({10, -20, W, H}, Work), (TWindowPos{40, 30}));
    EXPECT_EQ(KeptInArea({1500, 100, W, H}, Work), (TWindowPos{1320, 100})) << "only across";
    // Too large for the area: its top left corner (the title bar) stays reachable.
    EXPECT_EQ(KeptInArea({500, 500, 3000, 2000}, Work), (TWindowPos{40, 30}));
}

TEST(WindowPlacement, CentringAndStoredPlaces) {
    // Centred on the area's size, its origin left out as the window manager adds it.
    EXPECT_EQ(CentredInArea(Work, W, H), (TWindowPos{640, 245}));
    EXPECT_EQ(CentredInArea({0, 0, 1921, 1081}, 601, 561), (TWindowPos{660, 260}));

    const std::vector<TScreenArea> screens{{0, 0, 1920, 1080}};
    EXPECT_TRUE(StoredPlaceUsable(100, 100, W, screens));
    EXPECT_TRUE(StoredPlaceUsable(100, -TitleBarAllowance, W, screens))
        << "a title bar pushed above the screen";
    EXPECT_FALSE(StoredPlaceUsable(100, -TitleBarAllowance - 1, W, screens));
    EXPECT_FALSE(StoredPlaceUsable(100, 1080, W, screens)) << "below the screen";
    EXPECT_FALSE(StoredPlaceUsable(5000, 100, W, screens));
    EXPECT_FALSE(StoredPlaceUsable(100, 100, W, {}));
}
