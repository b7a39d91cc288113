// A film look in one run: exposure, a tone curve or a shadow lift, a warm or
// cool balance, saturation, film grain and sharpness. The colour work runs on
// 12-bit values through luma and colour-difference curves, then red, green
// and blue curves.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <cstdint>
#include <memory>

// Also the data of a colour theme step of type 3.
struct FilmAspectParams {
    INT exposure;         // -10..10: above 0 gamma lift, below 0 exposure cut
    INT latitude;         // -70..30: below 0 S-curve, above 0 shadow lift
    INT colorTemperature; // -1500..1500: above 0 warmer, below 0 cooler
    INT saturation;       // -50..50: -50 grey
    INT grain;            // 0..100
    INT reserved;         // not read
    INT sharpness;        // -50..50: -30 is the radius-1 smoothing itself
};
static_assert(sizeof(FilmAspectParams) == 28);

// The grain's generator: the C library's seed-and-draw contract (draws
// 0..32767), but owned by the effect, so that results depend neither on other
// threads nor on the platform.
class GrainRandom {
public:
    explicit GrainRandom(std::uint32_t seed = 1) : state(seed) {}
    void Seed(std::uint32_t seed) { state = seed; }
    int Next()
    {
        state = state * Multiplier + Increment;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
    // Skips count draws.
    void Skip(int count);

    static constexpr std::uint32_t Multiplier = 1103515245u;
    static constexpr std::uint32_t Increment = 12345u;

private:
    std::uint32_t state;
};

class FilmAspectAdjustAlgorithm : public EffectAlgorithm {
public:
    FilmAspectAdjustAlgorithm();
    ~FilmAspectAdjustAlgorithm() override;

    // params: FilmAspectParams. 0, or E_FAIL for missing images, a failed copy
    // or allocation, a failed shadow lift or a cancel.
    HRESULT Apply(const void* params) override;

    // The grain's noise bytes, row by row: pixel i draws m = rand mod
    // (8 grain), reseeds with i / 1000 when i is a multiple of 1000, then
    // draws its sign. The first draw follows a fresh generator.
    static void GrainNoise(BYTE* noise, long long count, int grain);

    // Tables of the last run, for checks.
    const int* ToTwelveBit() const { return toTwelveBit; }
    const BYTE* ToEightBit() const { return toEightBit; }
    const int* LumaChromaCurves() const { return lumaChromaCurves.get(); } // 4096 x (Y, Cb, Cr)
    const int* RgbCurves() const { return rgbCurves.get(); }               // 4096 x (R, G, B)

private:
    void BuildLevelTables();
    void BuildCurves();
    void GammaLift();
    bool ColourPass();
    bool Grain();
    bool Sharpen();

    FilmAspectParams param = {};
    int toTwelveBit[256] = {};
    BYTE toEightBit[4096] = {};
    std::unique_ptr<int[]> lumaChromaCurves;
    std::unique_ptr<int[]> rgbCurves;
};
