// What the three paint tools share: the entry, the record copy through
// which the editor is called, the stroke state and the coverage rule. Each
// tool library defines kTool.
#pragma once

#include "plugins/PluginInterface.h"

namespace painttool {

struct ToolTexts {
    const char* name;
    const char* tooltip;
    const char* nameZh; // charset 134
    const char* tooltipZh;
    int icon;
    int icon2;
};

struct Tool {
    ToolTexts texts;
    // After the common press (alpha cleared, last point set, drawing on).
    void (*press)(int flags, int x, int y);
    // Only while drawing.
    void (*move)(int flags, int x, int y);
    // After drawing went off; nullptr when the tool keeps nothing.
    void (*release)();
};

extern const Tool kTool;

// The editor's record as it was when the tool was loaded.
extern PaintToolRecord g_host;

struct Stroke {
    bool drawing = false;
    bool painted = false;
    POINT last{0, 0};
};
extern Stroke g_stroke;

// The current image as the editor lends it now.
ImageDesc CurrentImage();

// The coverage rule: for each mask pixel of coverage m over an image pixel
// of alpha a < m, blend(pixel, g) with g = (m - a) * 255 / (255 - a), then
// the pixel's alpha becomes m. Pixels outside the image are skipped.
template <class Blend>
void TreatMask(const ImageDesc& image, const ImageDesc& mask, POINT origin, Blend blend)
{
    const int y0 = origin.y < 0 ? -origin.y : 0;
    const int x0 = origin.x < 0 ? -origin.x : 0;
    const int y1 = image.height - origin.y < mask.height ? image.height - origin.y : mask.height;
    const int x1 = image.width - origin.x < mask.width ? image.width - origin.x : mask.width;
    for (int row = y0; row < y1; ++row) {
        const BYTE* m = mask.pixels + static_cast<long>(row) * mask.stride + 3;
        BYTE* p = image.pixels + static_cast<long>(origin.y + row) * image.stride +
                  static_cast<long>(origin.x) * 4;
        for (int col = x0; col < x1; ++col) {
            const int cover = m[col * 4];
            BYTE* q = p + col * 4;
            const int a = q[3];
            if (cover == 0 || a >= cover)
                continue;
            blend(q, (cover - a) * 255 / (255 - a));
            q[3] = static_cast<BYTE>(cover);
        }
    }
}

// Blends one channel towards target by weight g of 255.
inline BYTE Towards(int target, int old, int g) { return static_cast<BYTE>((target * g + old * (255 - g)) / 255); }

} // namespace painttool
