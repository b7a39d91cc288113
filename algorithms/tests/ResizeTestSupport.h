// Small fixtures for the resize family's tests.
#pragma once

#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <functional>

namespace resizetest {

inline CPixel Px(int b, int g, int r, int a = 255)
{
    return CPixel{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), static_cast<BYTE>(a)};
}

inline void Make(CQLImage& image, int w, int h, const std::function<CPixel(int, int)>& fn)
{
    ASSERT_EQ(image.Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, fn(x, y));
}

inline void Fill(CQLImage& image, int w, int h, CPixel p)
{
    Make(image, w, h, [p](int, int) { return p; });
}

inline int Width(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return static_cast<int>(w);
}

inline int Height(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return static_cast<int>(h);
}

// All four bytes, alpha included.
inline DWORD Word(const CQLImage& image, int x, int y)
{
    return image.GetPixel(x, y);
}

inline DWORD Word(CPixel p)
{
    return static_cast<DWORD>(p.b) | (static_cast<DWORD>(p.g) << 8) | (static_cast<DWORD>(p.r) << 16)
         | (static_cast<DWORD>(p.a) << 24);
}

} // namespace resizetest
