// A test pen: a drag blends the foreground colour into the photo through
// StrokeStamp, the outline follows the mouse. Built with TEST_PEN_REFUSES it
// refuses its record.
#include "plugins/PluginInterface.h"

#include <cstdio>
#include <cstring>

#ifndef TEST_PEN_REFUSES
#define TEST_PEN_REFUSES 0
#endif

namespace {

PaintToolRecord g_record;
POINT g_last{0, 0};

void Stamp(int x, int y)
{
    ImageDesc picture{}, stamp{};
    POINT origin{};
    g_record.GetImages(&picture, nullptr);
    if (!picture.pixels || g_record.StrokeStamp(g_record.brush, g_last.x, g_last.y, x, y, &stamp, &origin) != 0)
        return;
    const BYTE* colour = g_record.colour;
    for (int row = 0; row < stamp.height; ++row) {
        const int py = origin.y + row;
        if (py < 0 || py >= picture.height)
            continue;
        const BYTE* mask = stamp.pixels + static_cast<size_t>(row) * stamp.stride;
        BYTE* line = picture.pixels + static_cast<size_t>(py) * picture.stride;
        for (int col = 0; col < stamp.width; ++col) {
            const int px = origin.x + col;
            const int a = mask[col * 4 + 3];
            if (px < 0 || px >= picture.width || a == 0)
                continue;
            BYTE* p = line + px * 4;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>((p[c] * (255 - a) + colour[c] * a + 127) / 255);
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

int OnDrawCursor(HDC dc, int x, int y)
{
    g_record.DrawBrushOutline(dc, x, y);
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    if (msg == kPluginQueryKind && out)
        *out = kPluginKindPaintTool;
    if (msg == kPluginFillRecord && record) {
        if (TEST_PEN_REFUSES)
            return 1;
        auto* r = static_cast<PaintToolRecord*>(record);
        std::snprintf(r->name, sizeof r->name, "Pen");
        std::snprintf(r->tooltip, sizeof r->tooltip, "Pen\nPaints the foreground colour");
        r->OnLButtonDown = OnLButtonDown;
        r->OnMouseMove = OnMouseMove;
        r->OnLButtonUp = OnLButtonUp;
        r->OnDrawCursor = OnDrawCursor;
        std::memcpy(&g_record, r, sizeof g_record);
    }
    return 0;
}
