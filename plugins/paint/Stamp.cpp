// The smudge tool: a brush-shaped patch picked up where the stroke starts,
// laid down every two thirds of a pixel step and picked up again after each
// dab, so colours drag and fade along the stroke.
#include "plugins/paint/PaintToolFrame.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>

namespace painttool {

namespace {

ImageDesc g_stamp{};
bool g_haveStamp = false;

// Copies the image under the stamp centred at (cx, cy) into its colour
// bytes, repeating the edge pixels outside the image; alpha is the brush's.
bool PickUp(const ImageDesc& image, int cx, int cy)
{
    if (!g_haveStamp) {
        if (g_host.MakeBrush(&g_stamp, g_host.brush) != 0)
            return false;
        g_haveStamp = true;
    }
    if (!image.pixels || image.width <= 0 || image.height <= 0)
        return false;
    const int left = cx - g_stamp.width / 2, top = cy - g_stamp.height / 2;
    // Rows are independent: the editor's thread pool shares them out.
    imagecore::ParallelFor(0, g_stamp.height, static_cast<std::size_t>(g_stamp.width), [&](int i0, int i1) {
        for (int i = i0; i < i1; ++i) {
            const int y = std::clamp(top + i, 0, image.height - 1);
            const BYTE* src = image.pixels + static_cast<long>(y) * image.stride;
            BYTE* dst = g_stamp.pixels + static_cast<long>(i) * g_stamp.stride;
            for (int j = 0; j < g_stamp.width; ++j, dst += 4) {
                const BYTE* p = src + std::clamp(left + j, 0, image.width - 1) * 4;
                dst[0] = p[0];
                dst[1] = p[1];
                dst[2] = p[2];
            }
        }
    });
    return true;
}

// Lays the stamp with its centre at (cx, cy) and picks up there: the
// pick-up covers the very pixels just laid, so each stamp pixel inside the
// image takes the blended result in the same pass; only a stamp reaching
// past the border needs the pick-up's edge repeat afterwards.
void DabAndPickUp(const ImageDesc& image, int cx, int cy)
{
    const int left = cx - g_stamp.width / 2, top = cy - g_stamp.height / 2;
    const int i0 = std::max(0, -top), i1 = std::min(g_stamp.height, image.height - top);
    const int j0 = std::max(0, -left), j1 = std::min(g_stamp.width, image.width - left);
    imagecore::ParallelFor(i0, i1, static_cast<std::size_t>(std::max(0, j1 - j0)), [&](int r0, int r1) {
        for (int i = r0; i < r1; ++i) {
            BYTE* __restrict s = g_stamp.pixels + static_cast<long>(i) * g_stamp.stride + j0 * 4;
            BYTE* __restrict d = image.pixels + static_cast<long>(top + i) * image.stride + static_cast<long>(left + j0) * 4;
            // No branch on a: at 0 the blend gives the image's own byte.
            for (int n = (j1 - j0) * 4, k = 0; k < n; k += 4) {
                const unsigned a = s[k + 3];
                for (int c = 0; c < 3; ++c) {
                    const BYTE v = static_cast<BYTE>((s[k + c] * a + d[k + c] * (255 - a)) / 255);
                    d[k + c] = v;
                    s[k + c] = v;
                }
            }
        }
    });
    g_stroke.painted = true;
    if (i0 > 0 || j0 > 0 || i1 < g_stamp.height || j1 < g_stamp.width)
        PickUp(image, cx, cy);
}

void Move(int, int x, int y)
{
    const POINT start = g_stroke.last;
    if (x == start.x && y == start.y)
        return;
    const ImageDesc image = CurrentImage();
    ImageDesc mask{};
    POINT origin{};
    // The segment's mask is not used: a refused segment is not painted.
    if (g_host.StrokeStamp(g_host.brush, start.x, start.y, x, y, &mask, &origin) == 0 &&
        (g_haveStamp || PickUp(image, start.x, start.y))) {
        const int dx = x - start.x, dy = y - start.y;
        int steps = static_cast<int>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy) *
                                     0.6666666666666666);
        if (steps == 0)
            steps = 1;
        for (int k = 0; k < steps; ++k) {
            const int cx = start.x + k * dx / steps, cy = start.y + k * dy / steps;
            DabAndPickUp(image, cx, cy);
            g_stroke.last = POINT{cx, cy};
        }
    }
    g_stroke.last = POINT{x, y};
}

void Press(int flags, int x, int y)
{
    g_haveStamp = false;
    PickUp(CurrentImage(), x, y);
    Move(flags, x, y);
}

void Release() { g_haveStamp = false; }

} // namespace

const Tool kTool{{"Smudge", "Smudge Tool", "涂抹", "涂抹", 101, 102}, Press, Move, Release};

} // namespace painttool
