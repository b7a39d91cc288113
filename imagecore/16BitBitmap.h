// An image with 16 bits per colour channel, for RAW data and tone work where
// 8 bits would band. Converts to and from CQLImage.
#pragma once

#include "imagecore/Pixel.h"
#include "platform/win/WinTypes.h"

#include <cstddef>

class CQLImage;

struct C16BitPixel {
    WORD b;
    WORD g;
    WORD r;

    // Nearest 8-bit value; 0xFF80 and above would round to 256.
    static constexpr BYTE Round8(WORD v) { return v >= 0xFF80 ? 255 : static_cast<BYTE>((v + 128) >> 8); }

    // Alpha of the result is 0.
    constexpr CPixel GetPixel() const { return CPixel{Round8(b), Round8(g), Round8(r), 0}; }

    constexpr C16BitPixel& operator=(const CPixel& p)
    {
        b = static_cast<WORD>(p.b << 8);
        g = static_cast<WORD>(p.g << 8);
        r = static_cast<WORD>(p.r << 8);
        return *this;
    }

    constexpr bool operator==(const C16BitPixel& o) const { return b == o.b && g == o.g && r == o.r; }
    constexpr bool operator!=(const C16BitPixel& o) const { return !(*this == o); }

    constexpr int GetGray() const { return (3 * r + 6 * g + b) / 10; }
};

static_assert(sizeof(C16BitPixel) == 6);

class C16BitBitmap {
public:
    C16BitBitmap() = default;
    virtual ~C16BitBitmap();

    // A copy of the fields would make two owners of one array; a move leaves
    // the source empty.
    C16BitBitmap(const C16BitBitmap&) = delete;
    C16BitBitmap& operator=(const C16BitBitmap&) = delete;
    C16BitBitmap(C16BitBitmap&& other) noexcept;
    C16BitBitmap& operator=(C16BitBitmap&& other) noexcept;

    // 1 on success (unlike CQLImage::Create), 0 when the allocation fails or
    // the size is negative or too large. Contents unspecified.
    int Create(int width, int height);
    // Create unless the bitmap is already width x height: one of that size is
    // overwritten in place, with no fresh pages to fault. 1 or 0.
    int Fit(int width, int height);
    void Free();

    LONG GetWidth() const { return m_nWidth; }
    LONG GetHeight() const { return m_nHeight; }
    // NULL when empty.
    C16BitPixel* GetBuffer(int x, int y) const { return m_pPixels ? m_pPixels + Index(x, y) : nullptr; }
    // Unchecked.
    C16BitPixel GetPixel(int x, int y) const { return m_pPixels[Index(x, y)]; }
    // Coordinates compare as unsigned, so negative ones read the last column or row.
    C16BitPixel SafeGetPixel(int x, int y) const;

    int DuplicateFrom(const C16BitBitmap* other);

    // 8 -> 16 bits: c * 256, or SmartConvert when smart is non-zero. 1 or 0.
    int ConvertFromSimpleBitmap(const CQLImage* image, int smart);
    // 16 -> 8 bits, rounded; with dither by error diffusion, which changes this
    // bitmap. Alpha becomes 0. 1 or 0.
    int ConvertToSimpleBitmap(CQLImage* image, int dither);
    // ConvertFromSimpleBitmap(source, 0) with each channel's 8-bit levels
    // mapped through tables (b, g, r: the 16-bit value of every level), then
    // ConvertToSimpleBitmap(target, 1), in one pass: the diffusion takes each
    // pixel from the source as it reaches it, so the copy is never written
    // and read back in a pass of its own (unless target is source). 1 or 0.
    int ConvertThroughTables(const CQLImage* source, const WORD (&tables)[3][256], CQLImage* target);
    // Dithered 24-bit BMP; changes this bitmap. The SaveToFile result, or
    // E_FAIL when the conversion fails (nothing written).
    LONG SaveToBmpFile(const char* path);

    // 8 -> 16 bits, smoothing the steps that 8-bit data leaves in flat
    // gradients: the mean of a smoothed horizontal and vertical pass. 1 or 0.
    int SmartConvert(const CQLImage* image);
    // count pixels `step` pixels apart: c * 256, then SmoothInChannel per channel.
    static void ConvertLine(C16BitPixel* target, const CPixel* source, int count, int step);
    // count values `step` WORDs apart. Ramps the ends of runs of equal values
    // toward their neighbours; differences of 2048 or more are edges and stay.
    static void SmoothInChannel(WORD* values, int count, int step);

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) + static_cast<std::size_t>(x);
    }
    // Where the diffusion takes its rows from when they are filled as it goes.
    struct Fill {
        const CQLImage* source;
        const WORD (*tables)[3][256];
    };
    // Error diffusion into image; with a fill, each row is first filled from it.
    void Diffuse(CQLImage& image, const Fill* fill);

    C16BitPixel* m_pPixels = nullptr; // width * height, rows top-down, owned
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    LONG m_nCount = 0; // width * height
};

static_assert(sizeof(void*) != 8 || sizeof(C16BitBitmap) == 32);
