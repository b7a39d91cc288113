// The colour theme player as the shared effect table runs it: the table hands
// every effect a flat parameter block, while the player reads a theme record,
// so this wrapper plays a fixed theme of several step types.
#pragma once

#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/ColorThemeAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"

#include <cstring>

class ThemeContractPlayer : public ColorThemeAlgorithm {
public:
    ThemeContractPlayer() { SetAmount(70); }

    HRESULT Apply(const void*) override { return ColorThemeAlgorithm::Apply(&Theme()); }

private:
    static const ColorTheme& Theme()
    {
        static const ColorTheme theme = [] {
            ColorTheme t;
            t.steps.resize(4);
            t.steps[0].type = ColorThemeStep::Curves;
            for (int i = 0; i < 768; ++i)
                t.steps[0].payload[i] = static_cast<BYTE>(255 - i % 256);
            ChannelMixerParams mix{};
            mix.red[0] = 60, mix.red[2] = 40, mix.green[1] = 100, mix.blue[2] = 100;
            t.steps[1].type = ColorThemeStep::ChannelMixer;
            std::memcpy(t.steps[1].payload, &mix, sizeof mix);
            t.steps[2].type = 42; // unknown: passed over
            t.steps.push_back({});
            t.steps[4].type = ColorThemeStep::FilmAspect;
            const FilmAspectParams film{2, -30, 600, 15, 20, 0, 8};
            std::memcpy(t.steps[4].payload, &film, sizeof film);
            t.steps[3].type = ColorThemeStep::Glow;
            t.steps[3].payload[0] = 3, t.steps[3].payload[1] = 50, t.steps[3].payload[2] = 90;
            t.steps[3].payload[3] = 90;
            t.stepCount = static_cast<BYTE>(t.steps.size());
            return t;
        }();
        return theme;
    }
};
