// The pixel work of the album's window kit, kept apart from the windows:
// the dithered gradient and the backdrop's blur.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstdint>

namespace shelf {

// The dither's pseudo-random numbers (0 to 32767), as the C library's rand
// with its seed, so that a fixed seed gives fixed pixels.
class DitherRandom {
public:
    explicit DitherRandom(std::uint32_t seed) : m_state(seed) {}
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    std::uint32_t m_state;
};

struct GradientSpec {
    POINT a{};           // relative to the rectangle's top-left
    POINT b{};
    bool linear = true;  // else radial around a
    COLORREF colorA = 0; // 0x00BBGGRR
    COLORREF colorB = 0;
    const CQLImage* texture = nullptr; // tiled from the corner
    int textureWeight = 0;             // 0 to 256
};

// width x height pixels of the gradient into out; false when out cannot be made.
bool GradientImage(CQLImage& out, int width, int height, const GradientSpec& spec, DitherRandom& random);

// Entries of a DIB's colour table: biClrUsed when set, else 2, 16 or 256
// for 1, 4 or 8 bits a pixel, else none.
int DibNumColors(const BITMAPINFOHEADER& header);

// Blurs and darkens to seven eighths every interior pixel's B, G, R with the
// 3 x 3 weights 1 2 1 / 2 2 2 / 1 2 1 over 16; borders and alpha kept.
// Rows are shared among the cores.
void BlurBackdrop(CQLImage& image);

} // namespace shelf
