// The pixel work of the tone and colour dialogs that is not an effect of its
// own: tables, the functions FilterHost runs, and the spot meter. Headless,
// so the benchmarks and tests link it without windows.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "imagecore/QLImage.h"

namespace tone {

// {brightness, contrast}, each -100..100.
struct BrightnessContrastParams {
    INT brightness;
    INT contrast;
};

void BrightnessContrastTable(int brightness, int contrast, BYTE table[256]);
// B, G and R of every pixel through one table, alpha kept; the target gets
// the source's size. Reports 0..100 through host when given.
bool ApplyTable(const CQLImage& source, CQLImage* target, const BYTE table[256], EffectAlgorithm* host = nullptr);

// FilterHost functions: param is a BrightnessContrastParams / unused.
int BrightnessContrastFunction(void* param, FilterHost* host);
// The target as a copy of the source: the result of neutral settings.
int CopyFunction(void* param, FilterHost* host);
// The source in the codec's YUV form with both chroma bytes sharpened and
// every luma byte kept; host reports 20 and 80.
bool ColourSharpenYuv(const CQLImage& source, CQLImage* yuv, EffectAlgorithm* host);
// ColourSharpenYuv back in RGB.
int ColourSharpenFunction(void* param, FilterHost* host);

// Visual colour change: the six variants in job order (More Red, Yellow,
// Green, Cyan, Blue, Magenta) as white balance references, and the hue
// ranges of the combo's parts (ramp start, full start, full end, ramp end);
// false for "All image".
inline constexpr int kVariantCount = 6;
DWORD VariantReference(int variant, int step = 16);
bool VariantHueRange(int part, int range[4]);
// Sets or clears the range of the part on the algorithm.
void SetVariantHueRange(WhiteBalanceAlgorithm& balance, int part);

// The square around a click: half side max(w, h) / 10, clipped to the image.
RECT MeterSquare(const CQLImage& image, POINT p);
// The mean of (6 G + 3 R + B) / 10 over the square; -1 when it is empty.
int MeanLuminance(const CQLImage& image, const RECT& square);
// The power table for a metered mean; false when the mean is outside
// 32..224 and nothing should change.
bool SpotMeteringTable(int mean, BYTE table[256], double* exponent = nullptr);

}  // namespace tone
