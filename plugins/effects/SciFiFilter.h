// "Sci-fi": an optional colour treatment (sine tone curve and a partial
// tinted monotone), then SciFiAlgorithm's local contrast.
#pragma once

#include "plugins/effects/PluginFilter.h"

// Texts of the record and the labels SetParam knows.
extern const EffectTexts kSciFiEnglish;
extern const EffectTexts kSciFiChinese;

class SciFiFilter : public PluginFilter {
public:
    HRESULT Apply(const char* values) override;
    int SetParam(const char* name, const char* value) override;

    // Level i of the tone curve: i - 10 sin(6.283 i / 256), clamped.
    static BYTE ToneLevel(int i);

    int radius = 64;
    int amount = 50;
    int processColour = 1;

private:
    CQLImage work;
};
