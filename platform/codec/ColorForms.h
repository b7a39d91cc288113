// The codec's colour forms, inline, for per-pixel callers that do not want a
// codec object or a virtual call. CQLImageCodec's
// RGB2HSB/HSB2RGB/RGBToYUV/YUVToRGB use exactly these functions.
//
// HSB form (in place, alpha untouched):
//   byte 0 brightness = max(R, G, B)
//   byte 1 saturation = round(255 * (max - min) / max), 0 for black
//   byte 2 hue        = round(255 * h / 360) on a circle of 255 steps, h in
//                       degrees: red 0, yellow 43, green 85, cyan 128,
//                       blue 170, magenta 213; 0 for greys. 255 reads as 0.
//   HSB2RGB inverts it with integer rounding; the round trip is exact for
//   greys and the six primaries and secondaries and within 3 levels for every
//   colour (a hue step moves a saturated channel by 6 levels).
//
// YUV form (in place, alpha untouched), full range (JFIF):
//   byte 2 Y  = round( 0.299 R + 0.587 G + 0.114 B)
//   byte 1 U  = round(-0.168736 R - 0.331264 G + 0.5 B) + 128   (Cb)
//   byte 0 V  = round( 0.5 R - 0.418688 G - 0.081312 B) + 128   (Cr)
//   each clamped to 0..255 (16-bit fixed point, rounding half up).
//   YUVToRGB is exactly the integer inverse the descreening effect uses, 10-bit
//   fixed point with 512 added before the arithmetic shift (round half up):
//     R = Y + ((1436 (V - 128) + 512) >> 10)
//     G = Y + ((-352 (U - 128) - 714 (V - 128) + 512) >> 10)
//     B = Y + ((1814 (U - 128) + 512) >> 10)
//   each clamped to 0..255.
#pragma once

#include "imagecore/Pixel.h"
#include "platform/win/WinTypes.h"

#include <cstddef>

namespace qlcodec {

inline BYTE ClampByte(int v)
{
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// --- HSB -------------------------------------------------------------------

// p points at B, G, R, A; becomes brightness, saturation, hue, A.
inline void RgbToHsbPixel(BYTE* p)
{
    const int b = p[0], g = p[1], r = p[2];
    const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const int d = mx - mn;
    int sat = 0;
    int hue = 0;
    if (d != 0) {
        sat = (d * 255 + mx / 2) / mx;
        int num;
        int base;
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
        // floor(num * 255 / (6 d) + 1/2): halves round up on both sides of red
        const int den = 2 * 6 * d;
        const int n = 2 * num * 255 + 6 * d;
        const int step = n >= 0 ? n / den : -((-n + den - 1) / den);
        hue = base + step;
        if (hue < 0)
            hue += 255;
        else if (hue >= 255)
            hue -= 255;
    }
    p[0] = static_cast<BYTE>(mx);
    p[1] = static_cast<BYTE>(sat);
    p[2] = static_cast<BYTE>(hue);
}

// p points at brightness, saturation, hue, A; becomes B, G, R, A.
inline void HsbToRgbPixel(BYTE* p)
{
    const int v = p[0], s = p[1];
    int h = p[2];
    if (s == 0) {
        p[1] = p[2] = static_cast<BYTE>(v);
        return;
    }
    if (h >= 255)
        h = 0;
    const int h6 = h * 6; // 0 .. 1524
    const int sector = h6 / 255;
    const int f = h6 - sector * 255; // 0 .. 254, the fraction in 255ths
    constexpr int k = 255 * 255;
    const int pv = (v * (255 - s) + 127) / 255;
    const int qv = (v * (k - s * f) + k / 2) / k;
    const int tv = (v * (k - s * (255 - f)) + k / 2) / k;
    int r, g, b;
    switch (sector) {
    case 0: r = v; g = tv; b = pv; break;
    case 1: r = qv; g = v; b = pv; break;
    case 2: r = pv; g = v; b = tv; break;
    case 3: r = pv; g = qv; b = v; break;
    case 4: r = tv; g = pv; b = v; break;
    default: r = v; g = pv; b = qv; break;
    }
    p[0] = static_cast<BYTE>(b);
    p[1] = static_cast<BYTE>(g);
    p[2] = static_cast<BYTE>(r);
}

inline void RgbToHsb(void* pixels, std::size_t count)
{
    BYTE* p = static_cast<BYTE*>(pixels);
    for (std::size_t i = 0; i < count; ++i, p += 4)
        RgbToHsbPixel(p);
}

inline void HsbToRgb(void* pixels, std::size_t count)
{
    BYTE* p = static_cast<BYTE*>(pixels);
    for (std::size_t i = 0; i < count; ++i, p += 4)
        HsbToRgbPixel(p);
}

inline CPixel RgbToHsb(CPixel c)
{
    RgbToHsbPixel(&c.b);
    return c;
}

inline CPixel HsbToRgb(CPixel c)
{
    HsbToRgbPixel(&c.b);
    return c;
}

// --- YUV -------------------------------------------------------------------

inline void RgbToYuvPixel(BYTE* p)
{
    const int b = p[0], g = p[1], r = p[2];
    const int y = (19595 * r + 38470 * g + 7471 * b + 32768) >> 16;
    const int u = (-11059 * r - 21709 * g + 32768 * b + (128 << 16) + 32768) >> 16;
    const int v = (32768 * r - 27439 * g - 5329 * b + (128 << 16) + 32768) >> 16;
    p[0] = ClampByte(v);
    p[1] = ClampByte(u);
    p[2] = ClampByte(y);
}

inline void YuvToRgbPixel(BYTE* p)
{
    const int v = p[0] - 128, u = p[1] - 128, y = p[2];
    const int r = y + ((1436 * v + 512) >> 10);
    const int g = y + ((-352 * u - 714 * v + 512) >> 10);
    const int b = y + ((1814 * u + 512) >> 10);
    p[0] = ClampByte(b);
    p[1] = ClampByte(g);
    p[2] = ClampByte(r);
}

inline void RgbToYuv(void* pixels, std::size_t count)
{
    BYTE* p = static_cast<BYTE*>(pixels);
    for (std::size_t i = 0; i < count; ++i, p += 4)
        RgbToYuvPixel(p);
}

inline void YuvToRgb(void* pixels, std::size_t count)
{
    BYTE* p = static_cast<BYTE*>(pixels);
    for (std::size_t i = 0; i < count; ++i, p += 4)
        YuvToRgbPixel(p);
}

} // namespace qlcodec
