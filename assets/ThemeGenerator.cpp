// Writes the sample colour themes into the program folder's "ColorTheme"
// folder: curves, a hue tweak, sepia, a curve with soft blur, and one in a
// sub-folder. Usage: quillo_themegen <program folder>/
#include "algorithms/ColorTheme.h"
#include "algorithms/HsbCurveAlgorithm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using Curve = BYTE (*)(int);

ColorThemeStep Curves(Curve blue, Curve green, Curve red)
{
    ColorThemeStep s;
    s.type = ColorThemeStep::Curves;
    for (int j = 0; j < 256; ++j) {
        s.payload[j] = blue(j);
        s.payload[256 + j] = green(j);
        s.payload[512 + j] = red(j);
    }
    return s;
}

BYTE Clamp(double v)
{
    return static_cast<BYTE>(std::clamp(std::lround(v), 0L, 255L));
}

// An S around the middle of the given strength.
double S(int j, double k)
{
    const double x = j / 255.0;
    return 255.0 * (x + k * std::sin(2 * M_PI * x) * -0.5 / M_PI);
}

ColorThemeStep Ints(BYTE type, std::initializer_list<std::int32_t> values)
{
    ColorThemeStep s;
    s.type = type;
    int i = 0;
    for (std::int32_t v : values)
        std::memcpy(s.payload + 4 * i++, &v, 4);
    return s;
}

bool Save(const std::string& path, const char* name, std::initializer_list<ColorThemeStep> steps)
{
    ColorTheme t;
    std::strncpy(t.name, name, sizeof t.name - 1);
    t.steps.assign(steps);
    return t.Write(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = std::string(argv[1]) + "ColorTheme/";
    std::filesystem::create_directories(folder + "Film");
    int failed = 0;
    const ColorThemeStep cross = Curves([](int j) { return Clamp(40 + j * 170 / 255.0); },
                                        [](int j) { return Clamp(S(j, 0.6)); },
                                        [](int j) { return Clamp(S(j, 1.0) + 8); });
    failed += !Save(folder + "Cross processing.cth", "Cross processing", {cross});

    HsbCurveParams hue{};
    for (int j = 0; j < 256; ++j) {
        hue.hueShift[j] = static_cast<INT>(std::lround(12 * std::sin(2 * M_PI * j / 256)));
        hue.saturationCurve[j] = 20;
    }
    ColorThemeStep hsb;
    hsb.type = ColorThemeStep::HsbCurve;
    std::memcpy(hsb.payload, &hue, sizeof hue);
    failed += !Save(folder + "Warm hues.cth", "Warm hues", {hsb});

    failed += !Save(folder + "Sepia.cth", "Sepia",
                    {Ints(ColorThemeStep::ChannelMixer, {0, 39, 77, 19, 0, 35, 69, 17, 0, 27, 53, 13, 0, 0, 0, 0, 0})});

    const ColorThemeStep lift = Curves([](int j) { return Clamp(S(j, -0.3) + 6); },
                                       [](int j) { return Clamp(S(j, -0.3) + 6); },
                                       [](int j) { return Clamp(S(j, -0.3) + 10); });
    ColorThemeStep glow;
    glow.type = ColorThemeStep::Glow;
    glow.payload[0] = 4;   // radius
    glow.payload[1] = 60;  // blend percent
    glow.payload[2] = 40;  // highlights
    glow.payload[3] = 20;  // shadows
    failed += !Save(folder + "Soft glow.cth", "Soft glow", {lift, glow});

    const ColorThemeStep faded = Curves([](int j) { return Clamp(30 + j * 190 / 255.0); },
                                        [](int j) { return Clamp(20 + j * 215 / 255.0); },
                                        [](int j) { return Clamp(24 + j * 220 / 255.0); });
    failed += !Save(folder + "Film/Faded film.cth", "Faded film", {faded});
    if (failed)
        std::fprintf(stderr, "cannot write %d sample themes\n", failed);
    return failed ? 1 : 0;
}
