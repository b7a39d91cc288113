#include "imagecore/QLImage.h"

#include "imagecore/AlignedAlloc.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLChannel.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <utility>

using imagecore::ParallelFor;

CQLImage::~CQLImage()
{
    Free();
}

CQLImage::CQLImage(CQLImage&& other) noexcept
    : m_pRaw(std::exchange(other.m_pRaw, nullptr))
    , m_pBits(std::exchange(other.m_pBits, nullptr))
    , m_nWidth(std::exchange(other.m_nWidth, 0))
    , m_nHeight(std::exchange(other.m_nHeight, 0))
    , m_nSize(std::exchange(other.m_nSize, 0))
{
}

CQLImage& CQLImage::operator=(CQLImage&& other) noexcept
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

CQLImage* CQLImage::CreateNewInstance()
{
    return new (std::nothrow) CQLImage;
}

LONG CQLImage::Create(UINT width, UINT height)
{
    if (m_pBits && width == m_nWidth && height == m_nHeight)
        return 0;
    Free();
    if (!imagecore::AreaFits(width, height, 4))
        return E_FAIL;
    const UINT size = width * height * 4;
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

void CQLImage::Free()
{
    std::free(m_pRaw);
    m_pRaw = nullptr;
    m_pBits = nullptr;
    m_nWidth = 0;
    m_nHeight = 0;
    m_nSize = 0;
}

int CQLImage::DuplicateFrom(const CQLImage* source)
{
    if (!source || !source->m_pBits)
        return 0;
    if (source == this)
        return 1;
    if (m_pBits && m_nSize >= source->m_nSize) {
        // The larger buffer stays; only the geometry changes.
        m_nWidth = source->m_nWidth;
        m_nHeight = source->m_nHeight;
        m_nSize = source->m_nSize;
    } else if (Create(source->m_nWidth, source->m_nHeight) != 0) {
        return 0;
    }
    std::memcpy(m_pBits, source->m_pBits, source->m_nSize);
    return 1;
}

CPixel CQLImage::GetSafePixel(int x, int y) const
{
    if (!m_pBits)
        return CPixel{};
    UINT ux = static_cast<UINT>(x);
    UINT uy = static_cast<UINT>(y);
    if (ux > m_nWidth - 1)
        ux = m_nWidth - 1;
    if (uy > m_nHeight - 1)
        uy = m_nHeight - 1;
    return GetPixel2(static_cast<int>(ux), static_cast<int>(uy));
}

ULONGLONG CQLImage::BuildGrayChannel()
{
    if (!m_pBits)
        return 0;
    std::atomic<ULONGLONG> total{0};
    const std::size_t rowBytes = std::size_t{m_nWidth} * 4;
    ParallelFor(0, static_cast<int>(m_nHeight), m_nWidth, [&](int y0, int y1) {
        BYTE* p = m_pBits + rowBytes * static_cast<std::size_t>(y0);
        BYTE* const end = m_pBits + rowBytes * static_cast<std::size_t>(y1);
        ULONGLONG sum = 0;
        for (; p != end; p += 4) {
            const UINT gray = (6u * p[1] + 3u * p[2] + p[0]) / 10u;
            p[3] = static_cast<BYTE>(gray);
            sum += gray;
        }
        total += sum;
    });
    return total;
}

int CQLImage::ChannelFrom(const CQLChannel* channel, int index)
{
    if (!channel || !m_pBits)
        return 0;
    UINT w = 0;
    UINT h = 0;
    channel->GetSize(&w, &h);
    if (!channel->GetBuffer(0, 0) || w != m_nWidth || h != m_nHeight)
        return 0;
    const int byte = std::clamp(index, 0, 3);
    const BYTE* src = channel->GetBuffer(0, 0);
    ParallelFor(0, static_cast<int>(m_nHeight), m_nWidth, [&](int y0, int y1) {
        const std::size_t begin = std::size_t{m_nWidth} * static_cast<std::size_t>(y0);
        const std::size_t end = std::size_t{m_nWidth} * static_cast<std::size_t>(y1);
        BYTE* dst = m_pBits + byte;
        for (std::size_t i = begin; i < end; ++i)
            dst[i * 4] = src[i];
    });
    return 1;
}

CPixel CQLImage::GetAveragePixel() const
{
    const std::size_t count = std::size_t{m_nWidth} * m_nHeight;
    if (!m_pBits || count == 0)
        return CPixel{0, 0, 0, 0};
    ULONGLONG sum[4] = {0, 0, 0, 0};
    const BYTE* p = m_pBits;
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        sum[0] += p[0];
        sum[1] += p[1];
        sum[2] += p[2];
        sum[3] += p[3];
    }
    return CPixel{static_cast<BYTE>(sum[0] / count), static_cast<BYTE>(sum[1] / count),
                  static_cast<BYTE>(sum[2] / count), static_cast<BYTE>(sum[3] / count)};
}

void CQLImage::ComputeLaplasToAlpha()
{
    if (!m_pBits)
        return;
    BuildGrayChannel();

    const int w = static_cast<int>(m_nWidth);
    const int h = static_cast<int>(m_nHeight);
    CQLChannel copy;
    if (!copy.DuplicateFrom(this, 3))
        return;

    // Laplacian with a 3-pixel step; a band of 3 pixels round the edge gets 0.
    const int x0 = std::min(3, w);
    const int x1 = std::max(x0, w - 3);
    ParallelFor(0, h, m_nWidth, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* dst = GetBuffer(0, y) + 3;
            if (y < 3 || y >= h - 3) {
                for (int x = 0; x < w; ++x)
                    dst[x * 4] = 0;
                continue;
            }
            const BYTE* a = copy.GetBuffer(0, y);
            const std::ptrdiff_t up = std::ptrdiff_t{3} * w;
            for (int x = 0; x < x0; ++x)
                dst[x * 4] = 0;
            for (std::ptrdiff_t x = x0; x < x1; ++x) {
                const int e = 4 * a[x] - a[x - up] - a[x + 3] - a[x + up] - a[x - 3];
                const int v = std::abs(e) & 0xFF;
                dst[x * 4] = static_cast<BYTE>(v < 32 ? 0 : v);
            }
            for (int x = x1; x < w; ++x)
                dst[x * 4] = 0;
        }
    });

    // Keep an edge pixel only where at least 5 of its 8 neighbours are edges.
    if (w < 3 || h < 3 || !copy.DuplicateFrom(this, 3))
        return;
    const std::ptrdiff_t stride = w;
    ParallelFor(1, h - 1, m_nWidth, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* dst = GetBuffer(0, y) + 3;
            const BYTE* a = copy.GetBuffer(0, y);
            for (std::ptrdiff_t x = 1; x < w - 1; ++x) {
                const int n = (a[x - stride - 1] != 0) + (a[x - stride] != 0) + (a[x - stride + 1] != 0)
                    + (a[x - 1] != 0) + (a[x + 1] != 0)
                    + (a[x + stride - 1] != 0) + (a[x + stride] != 0) + (a[x + stride + 1] != 0);
                if (n < 5)
                    dst[x * 4] = 0;
            }
        }
    });
}
