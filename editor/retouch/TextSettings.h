// The text overlay's settings as ".tset" files keep them: the layer and
// effect values of the sheet and the text page's font, style and colour.
// The balloon and the emboss direction are not stored.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>

// The "Effects" page's values, with its defaults.
struct OverlayEffects {
    int32_t shadowOn = 0, shadowX = 5, shadowY = 5, shadowBlur = 0;
    BYTE shadowColour[4] = {0, 0, 0, 64};  // B, G, R, A
    int32_t embossOn = 0, embossDepth = 1, embossBlur = 0, embossOpacity = 128, embossDirection = 1;
    int32_t emissionOn = 0, emissionDepth = 1, emissionBlur = 3;
    BYTE emissionColour[4] = {255, 255, 255, 255};
};

struct TextSettings {
    int32_t layerMode = 0;  // 0..8
    int32_t layerOpacity = 255;
    OverlayEffects effects;
    char faceName[64] = "Arial";
    int32_t italic = 0, underline = 0, bold = 0;
    BYTE textColour[4] = {255, 255, 255, 255};  // B, G, R, A
    int32_t vertical = 0;
    int32_t alignment = 0;  // 0 left, 1 centre, 2 right
    int32_t size = 32;      // 1..200
};

inline constexpr size_t kTextSettingsFileSize = 196;

// The 196 bytes of a file; FALSE (settings untouched) unless the length
// field is 100, the face name ends within its 64 bytes and every value is
// in its range. The effect direction is kept as it was.
BOOL ParseTextSettings(const BYTE* data, size_t size, TextSettings* settings);
void FormatTextSettings(const TextSettings& settings, BYTE out[kTextSettingsFileSize]);

// Whole files: LoadTextSettings applies nothing on failure; SaveTextSettings
// writes a temporary file beside path and renames it over path.
BOOL LoadTextSettings(const char* path, TextSettings* settings);
BOOL SaveTextSettings(const char* path, const TextSettings& settings);
