#include "imagecore/QLChannel.h"

#include "imagecore/AlignedAlloc.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

using imagecore::ParallelFor;

CQLChannel::~CQLChannel()
{
    Free();
}

CQLChannel::CQLChannel(CQLChannel&& other) noexcept
    : m_pRaw(std::exchange(other.m_pRaw, nullptr))
    , m_pBits(std::exchange(other.m_pBits, nullptr))
    , m_nWidth(std::exchange(other.m_nWidth, 0))
    , m_nHeight(std::exchange(other.m_nHeight, 0))
    , m_nSize(std::exchange(other.m_nSize, 0))
{
}

CQLChannel& CQLChannel::operator=(CQLChannel&& other) noexcept
{
    if (this != &other) {
        Free();
        m_pRaw = std::exchange(other.m_pRaw, nullptr);
        m_pBits = std::exchange(other.m_pBits, nullptr);
        m_nWidth = std::exchange(other.m_nWidth, 0);
        m_nHeight = std::exchange(other.m_nHeight, 0);
        m_nSize = std::exchange(other.m_nSize, 0);
    }
    return *this;
}

LONG CQLChannel::Create(UINT width, UINT height)
{
    Free();
    if (!imagecore::AreaFits(width, height, 1))
        return E_FAIL;
    const UINT size = width * height;
    if (size != 0) {
        m_pBits = imagecore::AllocateAligned(size, m_pRaw);
        if (!m_pBits)
            return E_FAIL;
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nSize = size;
    return 0;
}

void CQLChannel::Free()
{
    std::free(m_pRaw);
    m_pRaw = nullptr;
    m_pBits = nullptr;
    m_nWidth = 0;
    m_nHeight = 0;
    m_nSize = 0;
}

int CQLChannel::DuplicateFrom(const CQLChannel* source)
{
    if (!source)
        return 0;
    if (source == this)
        return 1;
    if (Create(source->m_nWidth, source->m_nHeight) != 0)
        return 0;
    if (m_nSize != 0)
        std::memcpy(m_pBits, source->m_pBits, m_nSize);
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
    if (m_nSize == 0)
        return 1;
    const BYTE* src = image->GetBuffer(0, 0) + std::clamp(index, 0, 3);
    BYTE* dst = m_pBits;
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
    if (image.Create(m_nWidth, m_nHeight) != 0)
        return E_FAIL;
    BYTE* dst = image.GetBuffer(0, 0);
    for (std::size_t i = 0; i < m_nSize; ++i) {
        dst[i * 4] = m_pBits[i];
        dst[i * 4 + 1] = m_pBits[i];
        dst[i * 4 + 2] = m_pBits[i];
        dst[i * 4 + 3] = 0;
    }
    return image.SaveToFile(path);
}
