// Row kernels of the per-pixel effects: table lookups per channel and on the
// grey level, with AVX2 or SSE4.1 where the processor has them (chosen at run
// time) and a scalar loop otherwise. Every path gives the same bytes.
#pragma once

#include "imagecore/Simd.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>

namespace pointkernels {

// Three byte tables for B, G and R as words already shifted to their byte of
// the pixel, so a lookup yields the output bits directly.
struct ChannelTables {
    ChannelTables(const BYTE* b, const BYTE* g, const BYTE* r);
    std::uint32_t word[3][256];
    alignas(64) BYTE level[3][256]; // the tables as given, for in-register lookups
};

// A table on the grey level (6G + 3R + B) / 10, as whole output pixels:
// the level in B, G and R, alpha 255.
struct GreyTable {
    explicit GreyTable(const BYTE* levels);
    std::uint32_t word[256];
    alignas(64) BYTE level[256]; // the levels as given, for in-register lookups
};

// B, G, R of n pixels at s through their tables into d (d may be s); alpha
// is kept, or 255 with opaque. At the AVX2 level with imagecore::
// ActiveAvx512(), the tables are held in registers, and with stream the
// stores bypass the cache (for a target far larger than the cache: see
// Streams).
void MapChannels(const BYTE* s, BYTE* d, std::size_t n, const ChannelTables& t, bool opaque,
                 imagecore::SimdLevel level = imagecore::ActiveSimdLevel(), bool stream = false);

// Whether a target of this many bytes is better written past the cache: far
// larger than any last-level cache, so its lines would be gone before they
// are read again.
constexpr bool Streams(std::size_t bytes)
{
    return bytes >= (std::size_t{64} << 20);
}

// Each of n pixels becomes its grey level's table entry (d may be s); the
// table in registers and stream as in MapChannels.
void MapGrey(const BYTE* s, BYTE* d, std::size_t n, const GreyTable& t,
             imagecore::SimdLevel level = imagecore::ActiveSimdLevel(), bool stream = false);

// The hue turn, saturation scale and lightness blend of the colour
// corrections, through the codec's HSB form.
struct HsbAdjust {
    HsbAdjust(int hue, int saturation, int lightness); // saturation and lightness -128..128
    int hueTurn;   // added to the hue byte, modulo 256
    int satFactor; // saturation becomes min(255, saturation * satFactor / 128)
    int lightWeight;
    int lightLift; // each channel becomes (v * lightWeight + lightLift) >> 8 unless lightness is 0
    bool light;
    BYTE satTable[256];
};

// n pixels at s, converted to HSB, adjusted and converted back, into d (d
// may be s); alpha is kept. At the AVX2 level with imagecore::ActiveAvx512(),
// sixteen pixels a step.
void AdjustHsb(const BYTE* s, BYTE* d, std::size_t n, const HsbAdjust& a,
               imagecore::SimdLevel level = imagecore::ActiveSimdLevel());

} // namespace pointkernels
