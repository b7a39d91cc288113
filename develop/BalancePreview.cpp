#include "develop/BalancePreview.h"

#include "algorithms/WhiteBalanceAlgorithm.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdlib>

namespace develop {

void BalancePreview(const CQLImage& thumbnail, CQLImage& balanced, CPixel& reference)
{
    UINT w = 0, h = 0;
    thumbnail.GetSize(&w, &h);
    if (w == 0 || h == 0 || !balanced.DuplicateFrom(&thumbnail))
        return;
    const size_t count = static_cast<size_t>(w) * h;
    // Colourfulness of every pixel into its alpha; too dark or too bright
    // ones are not counted.
    unsigned histogram[256] = {};
    unsigned counted = 0;
    BYTE* px = balanced.GetBuffer(0, 0);
    for (size_t i = 0; i < count; ++i, px += 4) {
        const int s = px[0] + px[1] + px[2];
        if (s <= 150 || s >= 600) {
            px[3] = 255;
            continue;
        }
        const int b = px[0] * 256 / s, g = px[1] * 256 / s, r = px[2] * 256 / s;
        const int k = std::min(255, (std::abs(b - r) + std::abs(g - b) + std::abs(r - g)) / 2);
        px[3] = static_cast<BYTE>(k);
        ++histogram[k];
        ++counted;
    }
    reference = thumbnail.GetAveragePixel();
    int mean[3] = {reference.b, reference.g, reference.r};
    if (counted > 10) {
        BYTE hsb[4] = {reference.b, reference.g, reference.r, 0};
        CQLImageCodec codec;
        codec.RGB2HSB(hsb, 1);
        const unsigned n = hsb[2] > 64 && hsb[2] < 114 ? counted / 12 : counted / 6;
        int t = 0;
        for (unsigned sum = 0; t < 255; ++t) {
            sum += histogram[t];
            if (sum >= n)
                break;
        }
        unsigned long long sums[3] = {};
        unsigned long long taken = 0;
        px = balanced.GetBuffer(0, 0);
        for (size_t i = 0; i < count; ++i, px += 4)
            if (px[3] <= t) {
                for (int c = 0; c < 3; ++c)
                    sums[c] += px[c];
                ++taken;
            }
        if (taken)
            for (int c = 0; c < 3; ++c)
                mean[c] = static_cast<int>(sums[c] / taken);
    }
    for (int& m : mean)
        if (m < 64)
            m += (64 - m) * 16 / 64;
    if (std::max({mean[0], mean[1], mean[2]}) > 238)
        for (int& m : mean)
            m = m * 2 / 3;
    int grey = (6 * mean[1] + 3 * mean[2] + mean[0]) / 10;
    if (grey == 0)
        grey = 1;
    reference = CPixel{static_cast<BYTE>(mean[0]), static_cast<BYTE>(mean[1]), static_cast<BYTE>(mean[2]),
                       static_cast<BYTE>(std::min(grey, 255))};
    BYTE maps[3][256];
    for (int c = 0; c < 3; ++c) {
        BYTE curve[256];
        WhiteBalanceAlgorithm::ShiftCurve(grey, mean[c], curve);
        WhiteBalanceAlgorithm::InvertCurve(curve, maps[c]);
    }
    px = balanced.GetBuffer(0, 0);
    for (size_t i = 0; i < count; ++i, px += 4) {
        for (int c = 0; c < 3; ++c)
            px[c] = maps[c][px[c]];
        px[3] = 255;
    }
}

} // namespace develop
