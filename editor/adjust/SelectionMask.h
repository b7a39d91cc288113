// The pixel work of "Select an Area": tone, hue and edge selections, the
// combination of polygons, the feather and the tinted preview. Headless, so
// the benchmarks and the tests link it without windows. Masks hold 0 outside
// and 255 inside; a mask without data means nothing is selected.
#pragma once

#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <functional>
#include <vector>

// The one program-wide selection, kept between dialogs.
extern CQLChannel eraseMask;

namespace selection {

// Gets percentages 0..100 while a selection is made; may be called from any thread.
using Progress = std::function<void(int percent)>;

enum CombineMode { kNewSelection = 0, kAddSelection = 1, kSubtractSelection = 2 };

struct ToneRange {
    int a, b, c, d;
};
inline constexpr ToneRange kShadows{0, 0, 64, 96};
inline constexpr ToneRange kMidtones{64, 96, 160, 192};
inline constexpr ToneRange kHighlights{160, 192, 256, 256};

// 0 below a, a ramp up to b, 255 up to c, a ramp down to d, 0 from d.
void ToneRamp(const ToneRange& range, BYTE table[256]);
// The hue circle 0..255 of the colour-range menu.
int HueOf(int red, int green, int blue);
// 255 within 15 of h0 round the circle, 0 from 48, 383 - 8 x distance between.
int HueWeight(int hue, int h0);
// 3 x the distance of the three colours from their mid grey, at most 255.
int Chroma(int red, int green, int blue);

// Each selection recreates out at the image's size; false (out untouched)
// when the image is empty or the plane cannot be made.
bool SelectTone(const CQLImage& image, const ToneRange& range, CQLChannel* out, const Progress& progress = {});
bool SelectHue(const CQLImage& image, int h0, CQLChannel* out, const Progress& progress = {});
bool SelectEdge(const CQLImage& image, CQLChannel* out, const Progress& progress = {});

// Image pixels of preview points in imageRect, rounded and held inside the
// imageWidth x imageHeight image.
std::vector<POINT> MapPoints(const std::vector<POINT>& points, const RECT& imageRect, int imageWidth,
                             int imageHeight);
// A zeroed plane of the size with the polygon filled; false (out empty) for
// fewer than 3 points or a failed fill.
bool PolygonMask(const std::vector<POINT>& points, int width, int height, CQLChannel* out);
// Puts fresh into raw (replaced when raw is empty or mode is new, else added
// or subtracted, bytes held to 0..255); raw is freed when nothing is left.
void CombineMask(CQLChannel* raw, CQLChannel* fresh, int mode);
void InvertMask(CQLChannel* mask);

// trunc(sqrt(W^2 + H^2)) x feather / 250.
int FeatherRadius(UINT width, UINT height, int feather);
// mask = raw blurred by the feather's radius (a copy at radius 0); false, with
// mask left as it was, when the blur fails.
bool FeatherMask(const CQLChannel& raw, int feather, CQLChannel* mask, const Progress& progress = {});

// Washes the unselected part of a preview out (or the selected one with
// highlightSelected), or shows the mask in grey; the mask has the preview's size.
void TintPreview(CQLImage* preview, const CQLChannel& mask, bool showMask, bool highlightSelected);

}  // namespace selection
