#include "editor/retouch/PaintState.h"

#include "platform/codec/ColorForms.h"

#include <cstring>

PaintState thePaintState;

void PaintState::Reset()
{
    brush = BrushSettings{24, 50, 100};
    foreground = 0;
    hue = saturation = brightness = 0;
    background.colour = static_cast<int32_t>(0xFFFFFFFF);
    view = PaintView{};
}

void DeriveForegroundHsb(PaintState& state)
{
    BYTE p[4];
    std::memcpy(p, &state.foreground, 4);
    qlcodec::RgbToHsbPixel(p);
    state.brightness = p[0];
    state.saturation = p[1];
    state.hue = p[2];
}

void ForegroundFromHsb(PaintState& state)
{
    BYTE p[4] = {static_cast<BYTE>(state.brightness), static_cast<BYTE>(state.saturation),
                 static_cast<BYTE>(state.hue), 0};
    qlcodec::HsbToRgbPixel(p);
    std::memcpy(&state.foreground, p, 4);
}
