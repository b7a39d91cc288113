// A test paint tool: drags paint the current colour through StrokeStamp
// into the picture GetImages lends. Answers TEST_PAINT_FILL_RESULT to the
// record message.
#include "platform/afx/Resources.h"
#include "plugins/PluginInterface.h"

#include <cstdio>
#include <cstring>

namespace {

PaintToolRecord g_record;
POINT g_last{0, 0};

void Stamp(int x, int y)
{
    ImageDesc picture{}, stamp{};
    POINT origin{};
    g_record.GetImages(&picture, nullptr);
    if (!picture.pixels ||
        g_record.StrokeStamp(g_record.brush, g_last.x, g_last.y, x, y, &stamp, &origin) != 0)
        return;
    for (int row = 0; row < stamp.height; ++row) {
        const int py = origin.y + row;
        if (py < 0 || py >= picture.height)
            continue;
        for (int col = 0; col < stamp.width; ++col) {
            const int px = origin.x + col;
            if (px < 0 || px >= picture.width)
                continue;
            const BYTE a = stamp.pixels[row * stamp.stride + col * 4 + 3];
            BYTE* p = picture.pixels + py * picture.stride + px * 4;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((p[c] * (255 - a) + g_record.colour[c] * a) / 255);
        }
    }
    g_last = POINT{x, y};
}

int OnLButtonDown(int, int x, int y)
{
    g_last = POINT{x, y};
    Stamp(x, y);
    return 0;
}

int OnMouseMove(int, int x, int y)
{
    Stamp(x, y);
    return 0;
}

int OnLButtonUp(int, int x, int y)
{
    Stamp(x, y);
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    if (msg == kPluginQueryKind && out)
        *out = kPluginKindPaintTool;
    if (msg == kPluginFillRecord && record) {
        if (TEST_PAINT_FILL_RESULT != 0)
            return TEST_PAINT_FILL_RESULT;
        auto* r = static_cast<PaintToolRecord*>(record);
        std::snprintf(r->name, sizeof r->name, "Daub");
        std::snprintf(r->tooltip, sizeof r->tooltip, "Daub\nPaints the colour");
        r->OnLButtonDown = OnLButtonDown;
        r->OnMouseMove = OnMouseMove;
        r->OnLButtonUp = OnLButtonUp;
        // Its own icon 128 (the program has one too) and none of id 129.
        r->icon = LoadIcon(static_cast<HINSTANCE>(r->module), MAKEINTRESOURCE(128));
        r->icon2 = LoadIcon(static_cast<HINSTANCE>(r->module), MAKEINTRESOURCE(129));
        std::memcpy(&g_record, r, sizeof g_record);
    }
    return 0;
}
