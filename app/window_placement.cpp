#include "app/window_placement.h"

#include <algorithm>

namespace {

// `pos` moved as little as needed for `length` to fit in [lo, hi).
int Clamp(int pos, int length, int lo, int hi) { return std::max(lo, std::min(pos, hi - length)); }

}  // namespace

wxRect PlaceBeside(const wxRect& owner, const wxSize& size, const wxRect& screen, int gap, const wxSize& minSize) {
    const int screenRight = screen.x + screen.width;
    const int screenBottom = screen.y + screen.height;
    const int ownerRight = owner.x + owner.width;
    const int ownerBottom = owner.y + owner.height;
    // Room between the owner and each edge of the screen.
    const int roomRight = screenRight - ownerRight - gap;
    const int roomLeft = owner.x - screen.x - gap;
    const int roomBelow = screenBottom - ownerBottom - gap;
    const int roomAbove = owner.y - screen.y - gap;

    wxSize fit(std::min(size.x, screen.width), std::min(size.y, screen.height));
    auto beside = [&](bool right, int width) {
        const int x = right ? ownerRight + gap : owner.x - gap - width;
        return wxRect(x, Clamp(owner.y, fit.y, screen.y, screenBottom), width, fit.y);
    };
    auto over = [&](bool below, int height) {
        const int y = below ? ownerBottom + gap : owner.y - gap - height;
        return wxRect(Clamp(owner.x, fit.x, screen.x, screenRight), y, fit.x, height);
    };

    if (roomRight >= fit.x)
        return beside(true, fit.x);
    if (roomLeft >= fit.x)
        return beside(false, fit.x);
    if (roomBelow >= fit.y)
        return over(true, fit.y);
    if (roomAbove >= fit.y)
        return over(false, fit.y);

    // No side holds the whole window: the roomiest side strip that still
    // holds a usable one.
    const int sideRoom = std::max(roomRight, roomLeft);
    const int endRoom = std::max(roomBelow, roomAbove);
    if (sideRoom >= minSize.x && sideRoom * fit.y >= endRoom * fit.x)
        return beside(roomRight >= roomLeft, sideRoom);
    if (endRoom >= minSize.y)
        return over(roomBelow >= roomAbove, endRoom);
    if (sideRoom >= minSize.x)
        return beside(roomRight >= roomLeft, sideRoom);
    return wxRect(screen.x, Clamp(owner.y, fit.y, screen.y, screenBottom), fit.x, fit.y);
}
