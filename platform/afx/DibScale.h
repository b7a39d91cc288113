// Our own scalers for StretchDIBits and StretchBlt: nearest neighbour
// (COLORONCOLOR) and area averaging (HALFTONE). Qt-free.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qlafx {

// Source pixels: `top` points at the top row as seen (for a bottom-up DIB,
// the last row in memory, with a negative stride). 3 or 4 bytes a pixel in
// the order B, G, R(, A).
struct DibSource {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 4;
};

// Output: 4 bytes a pixel; `origin` is the pixel of the span's top-left corner.
struct DibOutput {
    std::uint8_t* origin = nullptr;
    std::ptrdiff_t stride = 0;
    bool opaque = false; // write alpha 0xFF instead of the source's
};

struct ScaleRect {
    int x, y, width, height;
};

// Maps the source rectangle (positive extents, inside the source) onto a
// destination rectangle of dstWidth x dstHeight (positive) and writes the
// part `span` of it (coordinates relative to the destination rectangle).
// mirrorX/mirrorY flip the mapping.
struct ScaleJob {
    DibSource src;
    ScaleRect srcRect;
    int dstWidth = 0;
    int dstHeight = 0;
    ScaleRect span;
    bool mirrorX = false;
    bool mirrorY = false;
};

void ScaleNearest(const ScaleJob& job, const DibOutput& out);
// Each output pixel is the area-weighted mean of the source pixels its
// footprint covers; alpha is averaged too unless the output is opaque.
void ScaleAverage(const ScaleJob& job, const DibOutput& out);

namespace detail {
// Makes ScaleAverage keep to the SSE2 code even where the CPU has AVX2, so
// that tests check both.
void UseBaselineScalerForTests(bool on);
} // namespace detail

} // namespace qlafx
