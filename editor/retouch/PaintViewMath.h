// The arithmetic of the paint canvas's view: the zoom ladder, the layout of
// bars, view and image rectangles, and the mapping between canvas client
// pixels and image pixels.
#pragma once

#include "editor/retouch/PaintState.h"

namespace paintview {

constexpr int kBarThickness = 20;

// One step up or down the ladder from zoom (screen pixels per image pixel);
// the ends stay where they are.
double ZoomIn(double zoom);
double ZoomOut(double zoom);

// Bars, viewRect, clamped scroll offsets and imageRect for a client of
// clientW x clientH; imageW or imageH 0 means no image.
void Layout(PaintView& view, int clientW, int clientH, int imageW, int imageH);

POINT ViewToImage(const PaintView& view, int x, int y);
POINT ImageToView(const PaintView& view, int x, int y);

// The part of the image drawn into imageRect: left, top, width, height.
RECT SourceRegion(const PaintView& view, int imageW, int imageH);

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace paintview
