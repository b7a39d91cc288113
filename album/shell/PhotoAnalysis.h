// The View Photo dialog's analysis views: channels, hue, saturation,
// lightness, chroma planes, edges, exposure warning and the histograms of
// the information page. Headless, on all cores.
#pragma once

#include "imagecore/QLImage.h"

#include <array>
#include <cstdint>

namespace shelf {

class PhotoAnalysis {
public:
    enum Mode : int {
        kPhoto = 0, kRed, kGreen, kBlue, kHue, kSaturation, kLightness, kU, kV, kEdge, kWarning, kInfo,
        kModeCount
    };
    // The strip's letters, one per mode.
    static constexpr const char kLetters[] = "PRGBHSLUVEWI";

    struct Histograms {
        // Luminance, red, green, blue.
        std::array<std::array<std::uint32_t, 256>, 4> counts{};
    };

    // Builds the work image of a mode from the source (same size); the
    // histograms are counted in the information mode. FALSE when the work
    // image cannot be created or the mode is the photo itself.
    static BOOL Build(const CQLImage& source, int mode, CQLImage* work, Histograms* histograms);

    // The information page's scale: the largest count, at most the pixel
    // count / 32 and never below 1.
    static std::uint32_t Scale(const std::array<std::uint32_t, 256>& counts, UINT width, UINT height);
    // Height above the base line of a count drawn on that scale.
    static int BarHeight(std::uint32_t count, std::uint32_t scale);

    static int Luminance(int r, int g, int b) { return (6 * g + 3 * r + b) / 10; }
};

} // namespace shelf
