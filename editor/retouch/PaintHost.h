// The functions a paint-tool plug-in draws with, and the filling of its
// record. They work on the process-wide paint state; every call runs on the
// interface thread.
#pragma once

#include "plugins/PluginInterface.h"

class PaintHost {
public:
    // The brush image for brush: 0 and *out, or E_FAIL for a size outside
    // 1..512 (or the work image's error).
    static int MakeBrush(ImageDesc* out, BrushSettings* brush);
    // The current brush's outline at image point (x, y), in XOR: twice
    // restores the pixels.
    static void DrawBrushOutline(HDC dc, int x, int y);
    // The coverage mask of one brush segment; *origin is the image point of
    // its top-left pixel. 0, or E_FAIL for a bad brush or a mask too large.
    static int StrokeStamp(BrushSettings* brush, int x0, int y0, int x1, int y1, ImageDesc* out, POINT* origin);
    // The segment's rectangle widened by the brush; right and bottom exclusive.
    static RECT* SegmentRect(RECT* out, int* size, int x0, int y0, int x1, int y1);
    static void GetImages(ImageDesc* current, ImageDesc* reference);
    // Canvas x in the low, y in the high 32 bits.
    static int64_t ImageToView(int x, int y);

    // Everything the host owns in a tool's record; the rest is zero.
    static void FillRecord(PaintToolRecord& record, HMODULE module);
};
