// An 8-bit plane with the geometry of a CQLImage: one byte a pixel, rows
// top-down without padding. Same field order as CQLImage.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>

class CQLImage;

class CQLChannel {
public:
    CQLChannel() = default;
    virtual ~CQLChannel();

    // A copy of the fields would make two owners of one buffer; a move leaves
    // the source empty.
    CQLChannel(const CQLChannel&) = delete;
    CQLChannel& operator=(const CQLChannel&) = delete;
    CQLChannel(CQLChannel&& other) noexcept;
    CQLChannel& operator=(CQLChannel&& other) noexcept;

    // Always a fresh buffer (contents unspecified). 0 or E_FAIL (left empty).
    LONG Create(UINT width, UINT height);
    void Free();

    // Unchecked access.
    BYTE Get(int x, int y) const { return m_pBits[Index(x, y)]; }
    void Set(int x, int y, BYTE value) { m_pBits[Index(x, y)] = value; }
    BYTE* GetBuffer(int x, int y) const { return m_pBits + Index(x, y); }

    // Coordinates compare as unsigned, so negative ones reach the last column or row.
    BYTE SafeGet(int x, int y) const { return m_pBits[SafeIndex(x, y)]; }
    void SafeSet(int x, int y, BYTE value) { m_pBits[SafeIndex(x, y)] = value; }

    void GetSize(UINT* width, UINT* height) const
    {
        *width = m_nWidth;
        *height = m_nHeight;
    }
    UINT GetAreaByteSize() const { return m_nSize; }

    // 1, or 0 when the source is NULL or Create fails.
    int DuplicateFrom(const CQLChannel* source);
    // Byte index (0 B .. 3 A, clamped) of every pixel of the image; 1 or 0.
    int DuplicateFrom(const CQLImage* image, int index);

    // Writes the plane as a grey 24-bit BMP, for looking at intermediate results.
    LONG Dump(const char* path) const;

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * m_nWidth + static_cast<std::size_t>(x);
    }
    std::size_t SafeIndex(int x, int y) const
    {
        UINT ux = static_cast<UINT>(x);
        UINT uy = static_cast<UINT>(y);
        if (ux > m_nWidth - 1)
            ux = m_nWidth - 1;
        if (uy > m_nHeight - 1)
            uy = m_nHeight - 1;
        return static_cast<std::size_t>(uy) * m_nWidth + ux;
    }

    BYTE* m_pRaw = nullptr;  // what the allocator returned, what is freed
    BYTE* m_pBits = nullptr; // first byte, 16-byte aligned, 1..16 bytes after m_pRaw
    UINT m_nWidth = 0;
    UINT m_nHeight = 0;
    UINT m_nSize = 0; // width * height
};

static_assert(sizeof(void*) != 8 || sizeof(CQLChannel) == 40);
