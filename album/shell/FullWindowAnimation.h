// The rectangles of the full-window view's fly-in from a list cell and
// fly-out back to it.
#pragma once

#include "platform/win/WinTypes.h"

#include <vector>

namespace shelf {

class FullWindowAnimation {
public:
    // The cell as the animation uses it: squared in detail mode, inset in
    // thumbnail mode.
    static RECT CellRect(const RECT& item, bool detailMode);
    static bool OnScreen(const RECT& rect, int screenWidth, int screenHeight);

    // The 11 moving rectangles then the 4 growing ones; empty when the cell
    // lies off the screen (shown at once).
    static std::vector<RECT> ShowSteps(const RECT& cell, int screenWidth, int screenHeight);
    // The 3 shrinking rectangles then the 6 moving ones; empty when there is
    // no cell or it lies off the screen (hidden at once).
    static std::vector<RECT> HideSteps(const RECT& cell, int screenWidth, int screenHeight);
    // Steps of ShowSteps that are followed by the longer pause.
    static constexpr int kShowMoves = 11, kHideShrinks = 3;
};

} // namespace shelf
