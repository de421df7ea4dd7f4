// Where the Meaning window goes beside the main dialog, on screens of
// several sizes and with the main dialog in several places.
#include <gtest/gtest.h>

#include "app/window_placement.h"

namespace {

const wxSize kSize(520, 360);
const wxSize kMin(260, 180);
constexpr int kGap = 8;

bool Inside(const wxRect& r, const wxRect& screen) { return screen.Contains(r); }

}  // namespace

TEST(WindowPlacement, BesideTheOwnerWhereTheScreenHasRoom) {
    const wxRect screen(0, 0, 1920, 1080);
    // Room on the right: there, level with the owner's top.
    EXPECT_EQ(PlaceBeside(wxRect(100, 200, 600, 363), kSize, screen, kGap, kMin), wxRect(708, 200, 520, 360));
    // Owner at the right edge: on its left.
    EXPECT_EQ(PlaceBeside(wxRect(1300, 200, 600, 363), kSize, screen, kGap, kMin), wxRect(772, 200, 520, 360));
    // Low on the screen: moved up so that it stays on the screen.
    const wxRect low = PlaceBeside(wxRect(100, 900, 600, 170), kSize, screen, kGap, kMin);
    EXPECT_EQ(low, wxRect(708, 720, 520, 360));
    // A screen whose work area does not start at 0 (a panel on the left).
    EXPECT_EQ(PlaceBeside(wxRect(1000, 0, 600, 363), kSize, wxRect(64, 0, 1856, 1080), kGap, kMin),
              wxRect(472, 0, 520, 360));
}

TEST(WindowPlacement, BelowOrNarrowedWhenNoSideHoldsIt) {
    // 1024 x 768 with the owner centred at the top: below it.
    const wxRect screen(0, 0, 1024, 768);
    EXPECT_EQ(PlaceBeside(wxRect(212, 0, 600, 363), kSize, screen, kGap, kMin), wxRect(212, 371, 520, 360));
    // 1280 x 1024 with the owner centred: no side holds 520 x 360; the strip
    // below (323 high) holds more of it than the right one (332 wide).
    const wxRect centred(340, 330, 600, 363);
    const wxRect lower = PlaceBeside(centred, kSize, wxRect(0, 0, 1280, 1024), kGap, kMin);
    EXPECT_EQ(lower, wxRect(340, 701, 520, 323));
    EXPECT_FALSE(lower.Intersects(centred));
    // A wide, low screen: the right strip, narrowed.
    const wxRect wide(400, 100, 600, 363);
    const wxRect narrowed = PlaceBeside(wide, kSize, wxRect(0, 0, 1400, 600), kGap, kMin);
    EXPECT_EQ(narrowed, wxRect(1008, 100, 392, 360));
    EXPECT_FALSE(narrowed.Intersects(wide));
}

TEST(WindowPlacement, NeverOffTheScreenAndNeverOverTheOwnersRightPart) {
    // The owner fills nearly all of a small screen: no usable strip.
    const wxRect screen(0, 0, 800, 600);
    const wxRect owner(10, 10, 780, 560);
    const wxRect r = PlaceBeside(owner, kSize, screen, kGap, kMin);
    EXPECT_TRUE(Inside(r, screen)) << r.x << "," << r.y << " " << r.width << "x" << r.height;
    EXPECT_EQ(r.x, 0);
    // A window larger than the screen is cut to it.
    const wxRect big = PlaceBeside(owner, wxSize(1000, 900), screen, kGap, kMin);
    EXPECT_TRUE(Inside(big, screen));
    // Wherever the owner is, the result is on the screen.
    for (int x : {-200, 0, 300, 700, 1500})
        for (int y : {-100, 0, 400, 900}) {
            const wxRect placed = PlaceBeside(wxRect(x, y, 600, 363), kSize, wxRect(0, 0, 1920, 1080), kGap, kMin);
            EXPECT_TRUE(Inside(placed, wxRect(0, 0, 1920, 1080))) << "owner at " << x << "," << y;
        }
}
