#include "imagecore/QLChannel.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

using imagecore::ParallelFor;

CQLChannel::~CQLChannel() = default; // the buffer frees itself

LONG CQLChannel::Create(UINT width, UINT height)
{
    return m_buf.Allocate(width, height, 1) ? 0 : E_FAIL;
}

void CQLChannel::Free()
{
    m_buf.Free();
}

int CQLChannel::DuplicateFrom(const CQLChannel* source)
{
    if (!source)
        return 0;
    if (source == this)
        return 1;
    if (Create(source->m_buf.width, source->m_buf.height) != 0)
        return 0;
    if (m_buf.size != 0)
        std::memcpy(m_buf.bits, source->m_buf.bits, m_buf.size);
    return 1;
}

int CQLChannel::DuplicateFrom(const CQLImage* image, int index)
{
    if (!image)
        return 0;
    UINT w = 0;
    UINT h = 0;
    image->GetSize(&w, &h);
    if (Create(w, h) != 0)
        return 0;
    if (m_buf.size == 0)
        return 1;
    const BYTE* src = image->GetBuffer(0, 0) + std::clamp(index, 0, 3);
    BYTE* dst = m_buf.bits;
    ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
        const std::size_t end = std::size_t{w} * static_cast<std::size_t>(y1);
        for (std::size_t i = std::size_t{w} * static_cast<std::size_t>(y0); i < end; ++i)
            dst[i] = src[i * 4];
    });
    return 1;
}

LONG CQLChannel::Dump(const char* path) const
{
    CQLImage image;
    if (image.Create(m_buf.width, m_buf.height) != 0)
        return E_FAIL;
    BYTE* dst = image.GetBuffer(0, 0);
    for (std::size_t i = 0; i < m_buf.size; ++i) {
        dst[i * 4] = m_buf.bits[i];
        dst[i * 4 + 1] = m_buf.bits[i];
        dst[i * 4 + 2] = m_buf.bits[i];
        dst[i * 4 + 3] = 0;
    }
    return image.SaveToFile(path);
}
