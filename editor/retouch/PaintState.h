// What the paint window's tool panel, its canvas and the paint-tool plug-ins
// share for the life of the program: the brush, the two colours, the view of
// the canvas and the reference copy the stroke records are cut from.
#pragma once

#include "imagecore/QLImage.h"
#include "plugins/PluginInterface.h"

class CPaintToolPanel;
class CPaintCanvas;

// The record's currentDesc points here: the background colour, a reserved
// word, then the current image as GetImages last described it.
struct PaintBackground {
    int32_t colour;
    int32_t reserved;
    ImageDesc desc;
};

// Where the canvas shows the image; scale is image pixels per screen pixel.
struct PaintView {
    int scrollX = 0;
    int scrollY = 0;
    RECT viewRect{0, 0, 0, 0};
    RECT imageRect{0, 0, 0, 0};
    double scale = 1.0;
    bool hBar = false;
    bool vBar = false;
};

struct PaintState {
    BrushSettings brush{24, 50, 100};
    int32_t foreground = 0;  // B, G, R, A in memory
    int32_t hue = 0;
    int32_t saturation = 0;
    int32_t brightness = 0;
    PaintBackground background{static_cast<int32_t>(0xFFFFFFFF), 0, ImageDesc{1, 0, 0, 0, nullptr}};
    ImageDesc referenceDesc{1, 0, 0, 0, nullptr};
    PaintView view;
    CQLImage* image = nullptr;  // the photo the canvas shows, not owned
    CQLImage reference;         // the photo as it stood after the last recorded stroke
    CQLImage brushImage;        // reused by MakeBrush
    CQLImage strokeImage;       // reused by StrokeStamp
    CPaintToolPanel* panel = nullptr;
    CPaintCanvas* canvas = nullptr;

    // Brush, colours and view as a fresh program has them.
    void Reset();
};

extern PaintState thePaintState;

// Hue, saturation and brightness of colour (bytes B, G, R) into the state.
void DeriveForegroundHsb(PaintState& state);
// The foreground from the state's hue, saturation and brightness.
void ForegroundFromHsb(PaintState& state);
