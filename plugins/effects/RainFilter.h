// "Rain on glass": the photo optionally fogged, then drops from the texture
// "rain.png" scattered over it, each showing a refracted piece of the
// unfogged photo from around its place.
#pragma once

#include "plugins/effects/PluginFilter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

extern const EffectTexts kRainEnglish;
extern const EffectTexts kRainChinese;

// The C library's rand() range, from a state private to one run, so other
// threads' random numbers never change a run.
class DropRandom {
public:
    explicit DropRandom(uint32_t seed) : state(seed) {}
    int Next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    uint32_t state;
};

class RainFilter : public PluginFilter {
public:
    static constexpr int kTiles = 30;
    static constexpr int kDrops = kTiles * 6;
    static constexpr int kTextureWidth = 1000;
    static constexpr int kTextureHeight = 300;

    HRESULT Apply(const char* values) override;
    int SetParam(const char* name, const char* value) override;

    // Module handle and codec come from the record the host filled.
    void SetRecord(const EffectRecord* r) { record = r; }
    // A fixed seed for the drops; without one each run seeds itself.
    void SetSeed(uint32_t s)
    {
        seed = s;
        seeded = true;
    }

    // The three drop sizes for a photo: d, 3d/4, d/2 with d = longer side / 65, at least 16.
    static void DropSizes(int width, int height, int sizes[3]);
    // "rain.png" beside the module, or empty when the record names none.
    std::string TexturePath() const;

    // Loads the texture and makes the 180 drop images. 0 or E_FAIL.
    HRESULT PrepareDrops();
    // Mixes the blurred source into the target's colours. 0 or E_FAIL.
    HRESULT Fog();
    // Places amount * 10 drops. 0, or E_FAIL when cancelled.
    HRESULT PlaceDrops(DropRandom& random);
    void DrawDrop(int index, int x, int y);

    int rainAmount = 50;
    int radius = 75;
    int fog = 0;
    CQLImage drops[kDrops];
    int dropsReady = 0;
    // Where the last run placed its drops, in order.
    std::vector<std::pair<int, int>> placed;

private:
    const EffectRecord* record = nullptr;
    uint32_t seed = 0;
    bool seeded = false;
};

// The 7-tap 1 2 3 5 3 2 1 blur of B, G, R and A in place along rows or
// along columns; taps outside the picture are left out of sum and divisor.
void BlurRowsSevenTaps(CQLImage* image);
void BlurColumnsSevenTaps(CQLImage* image);
