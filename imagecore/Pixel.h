// One 32-bit pixel as a value: bytes B, G, R, A (blue in the lowest byte of the word).
#pragma once

#include "platform/win/WinTypes.h"

struct CPixel {
    BYTE b;
    BYTE g;
    BYTE r;
    BYTE a;

    // Equality is about colour; alpha often carries grey or edge values.
    constexpr bool operator==(const CPixel& o) const { return b == o.b && g == o.g && r == o.r; }
    constexpr bool operator!=(const CPixel& o) const { return !(*this == o); }

    // Sum of absolute colour differences, 0..765.
    constexpr int operator-(const CPixel& o) const
    {
        return Abs(r - o.r) + Abs(g - o.g) + Abs(b - o.b);
    }

    constexpr CPixel& operator+=(int v)
    {
        b = Clamp(LONGLONG{b} + v);
        g = Clamp(LONGLONG{g} + v);
        r = Clamp(LONGLONG{r} + v);
        return *this;
    }
    constexpr CPixel& operator-=(int v)
    {
        b = Clamp(LONGLONG{b} - v);
        g = Clamp(LONGLONG{g} - v);
        r = Clamp(LONGLONG{r} - v);
        return *this;
    }

    // Grey level, also kept in alpha so later passes can read it from there.
    constexpr int GetGray()
    {
        const int gray = GetGray2();
        a = static_cast<BYTE>(gray);
        return gray;
    }
    constexpr int GetGray2() const { return (6 * g + 3 * r + b) / 10; }

private:
    static constexpr int Abs(int v) { return v < 0 ? -v : v; }
    static constexpr BYTE Clamp(LONGLONG v) { return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
};

static_assert(sizeof(CPixel) == 4);

// CPixel::GetGray2 of the pixel stored at p (bytes B, G, R, A).
inline int GrayOf(const BYTE* p)
{
    return reinterpret_cast<const CPixel*>(p)->GetGray2();
}
