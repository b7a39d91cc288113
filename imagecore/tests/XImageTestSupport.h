// Small fixtures for the general bitmap tests, described as seen: row 0 is
// the top row (the DIB keeps it last in memory).
#pragma once

#include "imagecore/XImage.h"

#include <initializer_list>
#include <vector>

namespace ximagetest {

inline bool operator==(RGBQUAD a, RGBQUAD b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed && a.rgbReserved == b.rgbReserved;
}

inline RGBQUAD Rgb(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

// A 24-bit image from rows of colours, top row first.
inline void MakeSeen24(CxImage& img, std::initializer_list<std::vector<COLORREF>> rows)
{
    const auto h = static_cast<LONG>(rows.size());
    const auto w = static_cast<LONG>(rows.begin()->size());
    img.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
    LONG row = 0;
    for (const auto& r : rows) {
        for (LONG x = 0; x < w; ++x)
            img.SetPixelColor(x, h - 1 - row, r[static_cast<std::size_t>(x)]);
        ++row;
    }
}

// The colour at (col, row) as seen, as a COLORREF.
inline COLORREF Seen(const CxImage& img, LONG col, LONG row)
{
    return CxImage::RGBQUADtoRGB(img.GetPixelColor(col, static_cast<LONG>(img.GetHeight()) - 1 - row));
}

} // namespace ximagetest
