// Small photos of one colour for the print tests.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdlib>
#include <string>

namespace printtest {

inline DWORD Colour(BYTE r, BYTE g, BYTE b) { return 0xFF000000u | (DWORD{r} << 16) | (DWORD{g} << 8) | b; }

inline void Fill(CQLImage* image, int width, int height, DWORD colour)
{
    image->Create(static_cast<UINT>(width), static_cast<UINT>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(image->GetBuffer(x, y), &colour, 4);
}

// A JPEG of one colour; true when written.
inline bool WritePhoto(const std::string& path, int width, int height, DWORD colour)
{
    CQLImage image;
    Fill(&image, width, height, colour);
    CQLImageCodec codec;
    return codec.SaveJpegFile(path.c_str(), &image, 95, 72) != 0;
}

// Colours of a JPEG pixel and an expected colour differ by little.
inline bool Near(DWORD a, DWORD b, int tolerance = 12)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

} // namespace printtest
