// The colour tool: the pixels take the hue and saturation of the current
// colour and keep their lightness; with Ctrl it moves them towards grey.
#include "plugins/paint/PaintToolFrame.h"

#include "imagecore/XImage.h"
#include "platform/afx/WinUser.h"

namespace painttool {

namespace {

void Move(int flags, int x, int y)
{
    const bool decolour = (flags & MK_CONTROL) != 0;
    const BYTE* c = g_host.colour;
    // Packed as lightness, saturation, hue in blue, green, red.
    const RGBQUAD colour = CxImage::RGBtoHSL(RGBQUAD{c[0], c[1], c[2], 0});
    const ImageDesc image = CurrentImage();
    ImageDesc mask{};
    POINT origin{};
    if (image.pixels &&
        g_host.StrokeStamp(g_host.brush, g_stroke.last.x, g_stroke.last.y, x, y, &mask, &origin) == 0) {
        if (decolour) {
            TreatMask(image, mask, origin, [](BYTE* p, int g) {
                const int grey = (p[0] + 6 * p[1] + 3 * p[2]) / 10;
                p[0] = Towards(grey, p[0], g);
                p[1] = Towards(grey, p[1], g);
                p[2] = Towards(grey, p[2], g);
            });
        } else {
            TreatMask(image, mask, origin, [colour](BYTE* p, int g) {
                const RGBQUAD hsl = CxImage::RGBtoHSL(RGBQUAD{p[0], p[1], p[2], 0});
                const BYTE sat = Towards(colour.rgbGreen, hsl.rgbGreen, g);
                const RGBQUAD target = CxImage::HSLtoRGB(RGBQUAD{hsl.rgbBlue, sat, colour.rgbRed, 0});
                p[0] = Towards(target.rgbBlue, p[0], g);
                p[1] = Towards(target.rgbGreen, p[1], g);
                p[2] = Towards(target.rgbRed, p[2], g);
            });
        }
        g_stroke.painted = true;
    }
    g_stroke.last = POINT{x, y};
}

void Press(int flags, int x, int y) { Move(flags, x, y); }

} // namespace

const Tool kTool{{"Color/Decolor", "Color/Decolor\nPress 'Ctrl' for decolor", "着色/去色画笔",
                  "着色/去色画笔\n按住 Ctrl 键为去色画笔", 1001, 1000},
                 Press, Move, nullptr};

} // namespace painttool
