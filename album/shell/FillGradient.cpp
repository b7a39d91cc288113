#include "album/shell/FillGradient.h"

#include "album/shell/KitPixels.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>

namespace shelf {
namespace {

// Painting happens on the interface thread only.
DitherRandom& ditherRandom()
{
    static DitherRandom random(1);
    return random;
}

} // namespace

void SeedGradientDither(std::uint32_t seed) { ditherRandom() = DitherRandom(seed); }

void FillGradient(CDC* dc, RECT rect, POINT a, POINT b, BOOL linear, COLORREF colorA, COLORREF colorB,
                  const CQLImage* texture, int textureWeight)
{
    const int left = std::min(rect.left, rect.right), top = std::min(rect.top, rect.bottom);
    const int width = std::abs(rect.right - rect.left), height = std::abs(rect.bottom - rect.top);
    GradientSpec spec;
    spec.a = {a.x - left, a.y - top};
    spec.b = {b.x - left, b.y - top};
    spec.linear = linear != FALSE;
    spec.colorA = colorA;
    spec.colorB = colorB;
    spec.texture = texture;
    spec.textureWeight = textureWeight;
    CQLImage image;
    if (!dc || !GradientImage(image, width, height, spec, ditherRandom()))
        return;
    const BITMAPINFO info = DibHeaderOf(image, height);
    ::StretchDIBits(dc->GetSafeHdc(), left, top, width, height, 0, 0, width, height, image.GetBuffer(0, 0), &info,
                    DIB_RGB_COLORS, SRCCOPY);
}

} // namespace shelf
