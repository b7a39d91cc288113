// The suite's 32-bit image: B, G, R, A per pixel, rows top-down without padding.
// Images cross module boundaries (plug-ins, the codec library), which rely on
// the field order and the pixel layout: keep both.
#pragma once

#include "imagecore/AlignedBuffer.h"
#include "imagecore/Pixel.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstring>

class CQLChannel;

class CQLImage {
public:
    CQLImage() = default;
    virtual ~CQLImage();

    // A copy of the fields would make two owners of one buffer: copy pixels
    // with DuplicateFrom. A move leaves the source empty.
    CQLImage(const CQLImage&) = delete;
    CQLImage& operator=(const CQLImage&) = delete;
    CQLImage(CQLImage&& other) noexcept = default;
    CQLImage& operator=(CQLImage&& other) noexcept = default;

    static CQLImage* CreateNewInstance();

    // 0 or E_FAIL (image left empty). Keeps buffer and contents when width and
    // height are unchanged. A zero width or height gives an image without pixels.
    LONG Create(UINT width, UINT height);
    void Free();
    // 1 when the pixels were copied, 0 when the source is NULL or empty or
    // Create failed. Reuses this buffer when it is large enough.
    int DuplicateFrom(const CQLImage* source);

    // Unchecked access.
    DWORD GetPixel(int x, int y) const
    {
        DWORD word;
        std::memcpy(&word, GetBuffer(x, y), sizeof word);
        return word;
    }
    CPixel GetPixel2(int x, int y) const { return *PixelAt(x, y); }
    void PutPixel(int x, int y, CPixel pixel) { *PixelAt(x, y) = pixel; }
    BYTE* GetBuffer(int x, int y) const { return m_buf.bits + m_buf.Index(x, y) * 4; }

    // Coordinates compare as unsigned, so negative ones read the last column or row.
    CPixel GetSafePixel(int x, int y) const;

    void GetSize(UINT* width, UINT* height) const
    {
        *width = m_buf.width;
        *height = m_buf.height;
    }
    UINT GetAreaByteSize() const { return m_buf.size; }

    // BMP files. Load: 0, 2 cannot open, 8 no memory, 9 not a BMP we read or
    // short/bad data (a refused header leaves the image as it was; a failed
    // row read leaves it empty), or the Create error. Save (always 24-bit):
    // 0, 2 cannot open or write (the partial file is removed), 8 no memory,
    // E_FAIL for an image without pixels (nothing written).
    LONG LoadFromFile(const char* path);
    LONG SaveToFile(const char* path) const;

    // Grey (6G + 3R + B) / 10 into alpha; returns the sum of the grey values.
    ULONGLONG BuildGrayChannel();
    // Channel bytes into byte index (0 B .. 3 A) of every pixel; 1, or 0 when
    // the channel is NULL, empty or of another size.
    int ChannelFrom(const CQLChannel* channel, int index);
    // Mean of B, G, R and A; all 0 for an image without pixels.
    CPixel GetAveragePixel() const;
    // Edge strength into alpha: a Laplacian with a 3-pixel step, kept where
    // most neighbours are edges too.
    void ComputeLaplasToAlpha();

private:
    CPixel* PixelAt(int x, int y) const { return reinterpret_cast<CPixel*>(GetBuffer(x, y)); }

    imagecore::AlignedBuffer m_buf; // allocation, bits, width, height, size (4 bytes a pixel)
};

static_assert(sizeof(void*) != 8 || sizeof(CQLImage) == 40);
