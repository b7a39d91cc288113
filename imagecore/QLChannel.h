// An 8-bit plane with the geometry of a CQLImage: one byte a pixel, rows
// top-down without padding. Same field order as CQLImage.
#pragma once

#include "imagecore/AlignedBuffer.h"
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
    CQLChannel(CQLChannel&& other) noexcept = default;
    CQLChannel& operator=(CQLChannel&& other) noexcept = default;

    // Always a fresh buffer (contents unspecified). 0 or E_FAIL (left empty).
    LONG Create(UINT width, UINT height);
    void Free();

    // Unchecked access.
    BYTE Get(int x, int y) const { return m_buf.bits[m_buf.Index(x, y)]; }
    void Set(int x, int y, BYTE value) { m_buf.bits[m_buf.Index(x, y)] = value; }
    BYTE* GetBuffer(int x, int y) const { return m_buf.bits + m_buf.Index(x, y); }

    // Coordinates compare as unsigned, so negative ones reach the last column or row.
    BYTE SafeGet(int x, int y) const { return m_buf.bits[m_buf.SafeIndex(x, y)]; }
    void SafeSet(int x, int y, BYTE value) { m_buf.bits[m_buf.SafeIndex(x, y)] = value; }

    void GetSize(UINT* width, UINT* height) const
    {
        *width = m_buf.width;
        *height = m_buf.height;
    }
    UINT GetAreaByteSize() const { return m_buf.size; }

    // 1, or 0 when the source is NULL or Create fails.
    int DuplicateFrom(const CQLChannel* source);
    // Byte index (0 B .. 3 A, clamped) of every pixel of the image; 1 or 0.
    int DuplicateFrom(const CQLImage* image, int index);

    // Writes the plane as a grey 24-bit BMP, for looking at intermediate results.
    LONG Dump(const char* path) const;

private:
    imagecore::AlignedBuffer m_buf; // allocation, bits, width, height, size (1 byte a pixel)
};

static_assert(sizeof(void*) != 8 || sizeof(CQLChannel) == 40);
