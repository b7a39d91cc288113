// The X server's windows as a window picker sees them: top-level windows in
// stacking order, top first, with their frames, and the child windows under
// a point.
#pragma once

#include <cstdint>
#include <vector>

namespace qlcapture {

struct ScreenWindow {
    std::uint64_t id = 0;  // the X window
    int left = 0, top = 0, right = 0, bottom = 0;  // screen pixels, frame included
};

// Mapped top-level windows, top first: the window manager's stacking list
// (_NET_CLIENT_LIST_STACKING, grown by _NET_FRAME_EXTENTS) when there is
// one, else the root's children. Empty without a display.
std::vector<ScreenWindow> TopLevelWindows();

// The deepest mapped child of window at the screen point (window itself
// when no child holds it).
ScreenWindow DeepestChildAt(const ScreenWindow& window, int x, int y);

// The X window of a top-level window's frame under the window manager (the
// root's child holding it), or the window itself.
std::uint64_t FrameOf(std::uint64_t window);

} // namespace qlcapture
