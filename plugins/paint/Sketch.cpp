// The free-hand pen: the current colour through the stroke's mask; with Ctrl
// a ruling pen locked to a horizontal, vertical or 45-degree line chosen by
// the first Ctrl move.
#include "plugins/paint/PaintToolFrame.h"
#include "plugins/paint/Sketch.h"
#include "platform/afx/WinUser.h"

#include <cstdlib>

namespace painttool {

namespace {

int g_lock = kLockNone;
bool g_undecided = true;

void Move(int flags, int x, int y)
{
    const bool ctrl = (flags & MK_CONTROL) != 0;
    const POINT last = g_stroke.last;
    if (!ctrl)
        g_lock = kLockNone;
    if (g_undecided) {
        if (ctrl && (x != last.x || y != last.y)) {
            g_lock = ChooseLock(x - last.x, y - last.y);
            g_undecided = false;
        }
    } else if (!ctrl) {
        g_undecided = true;
    }
    switch (g_lock) {
    case kLockHorizontal: y = last.y; break;
    case kLockVertical: x = last.x; break;
    case kLockRising: y = last.y + (x - last.x); break;
    case kLockFalling: y = last.y - (x - last.x); break;
    default: break;
    }
    ImageDesc mask{};
    POINT origin{};
    const ImageDesc image = CurrentImage();
    if (image.pixels && g_host.StrokeStamp(g_host.brush, last.x, last.y, x, y, &mask, &origin) == 0) {
        const BYTE* colour = g_host.colour;
        TreatMask(image, mask, origin, [colour](BYTE* p, int g) {
            p[0] = Towards(colour[0], p[0], g);
            p[1] = Towards(colour[1], p[1], g);
            p[2] = Towards(colour[2], p[2], g);
        });
        if (mask.width > 0 && mask.height > 0)
            g_stroke.painted = true;
    }
    g_stroke.last = POINT{x, y};
}

void Press(int flags, int x, int y)
{
    Move(flags, x, y);
    g_undecided = true;
    g_lock = kLockNone;
}

} // namespace

int ChooseLock(int dx, int dy)
{
    const int ax = std::abs(dx), ay = std::abs(dy);
    if (3 * ay < ax)
        return kLockHorizontal;
    if (3 * ax < ay)
        return kLockVertical;
    return static_cast<long>(dx) * dy <= 0 ? kLockFalling : kLockRising;
}

const Tool kTool{{"QuilloSketch", "QuilloSketch\nPress 'Ctrl' for ruling pen", "画笔", "画笔\n按住 Ctrl 键画直线", 101, 102},
                 Press, Move, nullptr};

} // namespace painttool
