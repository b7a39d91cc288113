// The editor's callbacks that paint-tool plug-ins draw with. The paint mode
// points the state at its images, view and brush; every call runs on the
// interface thread.
#pragma once

#include "plugins/PluginInterface.h"

#include <vector>

class CQLImage;

struct PaintToolHostState {
    CQLImage* current = nullptr; // the photo being painted
    CQLImage* second = nullptr;  // the paint mode's second image
    BrushSettings* brush = nullptr;
    double zoom = 1.0;           // view pixels per image pixel
    POINT viewOffset{0, 0};      // where the image's origin lies in the view
    ImageDesc currentDesc{};
    ImageDesc secondDesc{};
    std::vector<BYTE> brushPixels; // reused by MakeBrush
    std::vector<BYTE> stampPixels; // reused by StrokeStamp
};

extern PaintToolHostState thePaintToolHost;

int MakeBrush(ImageDesc* out, BrushSettings* brush);
void DrawBrushOutline(HDC dc, int x, int y);
int StrokeStamp(BrushSettings* brush, int x1, int y1, int x2, int y2, ImageDesc* out, POINT* origin);
RECT* SegmentRect(RECT* out, int* size, int x1, int y1, int x2, int y2);
void GetImages(ImageDesc* current, ImageDesc* second);
int64_t ImageToView(int x, int y);

// Sets version, charset, brush, the callbacks, colour, currentDesc and
// module, as the paint mode does before message 2.
void PreparePaintToolRecord(PaintToolRecord& record, HMODULE module, BYTE* colour);
