// The codec's RGB-to-HSB conversion with its two divisions by pixel values
// looked up in tables: the same bytes as qlcodec::RgbToHsbPixel, for the
// per-pixel loops of the colour effects.
#pragma once

#include "platform/win/WinTypes.h"

class HsbTables {
public:
    static const HsbTables& Get(); // built once, then read-only

    // p points at B, G, R, A; becomes brightness, saturation, hue, A.
    void ToHsb(BYTE* p) const
    {
        const int b = p[0], g = p[1], r = p[2];
        const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
        const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
        const int d = mx - mn;
        int sat = 0, hue = 0;
        if (d != 0) {
            sat = saturation[mx * 256 + d];
            int num, base;
            if (mx == r) {
                num = g - b;
                base = 0;
            } else if (mx == g) {
                num = b - r;
                base = 85;
            } else {
                num = r - g;
                base = 170;
            }
            hue = base + hueStep[rowStart[d] + num + d];
            if (hue < 0)
                hue += 255;
            else if (hue >= 255)
                hue -= 255;
        }
        p[0] = static_cast<BYTE>(mx);
        p[1] = static_cast<BYTE>(sat);
        p[2] = static_cast<BYTE>(hue);
    }

private:
    HsbTables();

    BYTE saturation[256 * 256];   // [max * 256 + (max - min)]
    int rowStart[256];            // where the steps of one difference d begin
    signed char hueStep[65536];   // [rowStart[d] + num + d], num in -d..d
};
