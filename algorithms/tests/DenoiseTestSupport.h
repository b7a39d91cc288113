// A clean gradient photo with seeded noise, and the squared error against it.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/codec/ColorForms.h"

#include <cmath>
#include <random>

namespace denoisetest {

// Grey noise moves B, G and R together (luminance only); colour noise moves
// each on its own.
inline void MakeNoisyGradient(CQLImage& clean, CQLImage& noisy, int w, int h, double sigma, unsigned seed,
                              bool greyNoise = false)
{
    clean.Create(w, h);
    noisy.Create(w, h);
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, sigma);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const CPixel c = {static_cast<BYTE>(40 + x * 100 / w), static_cast<BYTE>(60 + y * 120 / h),
                              static_cast<BYTE>(90 + (x + y) * 80 / (w + h)), 255};
            clean.PutPixel(x, y, c);
            CPixel n = c;
            const int d = static_cast<int>(std::lround(noise(rng)));
            n.b = qlcodec::ClampByte(n.b + d);
            n.g = qlcodec::ClampByte(n.g + (greyNoise ? d : static_cast<int>(std::lround(noise(rng)))));
            n.r = qlcodec::ClampByte(n.r + (greyNoise ? d : static_cast<int>(std::lround(noise(rng)))));
            noisy.PutPixel(x, y, n);
        }
}

// Sum of squared colour differences.
inline double SquaredError(const CQLImage& a, const CQLImage& b)
{
    UINT w = 0, h = 0;
    a.GetSize(&w, &h);
    double sum = 0;
    for (int y = 0; y < static_cast<int>(h); ++y)
        for (int x = 0; x < static_cast<int>(w); ++x) {
            const CPixel p = a.GetPixel2(x, y), q = b.GetPixel2(x, y);
            sum += (p.b - q.b) * (p.b - q.b) + (p.g - q.g) * (p.g - q.g) + (p.r - q.r) * (p.r - q.r);
        }
    return sum;
}

} // namespace denoisetest
