#include "imagecore/QLImage.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLChannel.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <utility>

using imagecore::ParallelFor;

CQLImage::~CQLImage() = default; // the buffer frees itself

CQLImage* CQLImage::CreateNewInstance()
{
    return new (std::nothrow) CQLImage;
}

LONG CQLImage::Create(UINT width, UINT height)
{
    if (m_buf.bits && width == m_buf.width && height == m_buf.height)
        return 0;
    return m_buf.Allocate(width, height, 4) ? 0 : E_FAIL;
}

void CQLImage::Free()
{
    m_buf.Free();
}

int CQLImage::DuplicateFrom(const CQLImage* source)
{
    if (!source || !source->m_buf.bits)
        return 0;
    if (source == this)
        return 1;
    if (m_buf.bits && m_buf.size >= source->m_buf.size) {
        // The larger buffer stays; only the geometry changes.
        m_buf.width = source->m_buf.width;
        m_buf.height = source->m_buf.height;
        m_buf.size = source->m_buf.size;
    } else if (Create(source->m_buf.width, source->m_buf.height) != 0) {
        return 0;
    }
    std::memcpy(m_buf.bits, source->m_buf.bits, source->m_buf.size);
    return 1;
}

CPixel CQLImage::GetSafePixel(int x, int y) const
{
    if (!m_buf.bits)
        return CPixel{};
    return reinterpret_cast<const CPixel*>(m_buf.bits)[m_buf.SafeIndex(x, y)];
}

ULONGLONG CQLImage::BuildGrayChannel()
{
    if (!m_buf.bits)
        return 0;
    std::atomic<ULONGLONG> total{0};
    const std::size_t rowBytes = std::size_t{m_buf.width} * 4;
    ParallelFor(0, static_cast<int>(m_buf.height), m_buf.width, [&](int y0, int y1) {
        BYTE* p = m_buf.bits + rowBytes * static_cast<std::size_t>(y0);
        BYTE* const end = m_buf.bits + rowBytes * static_cast<std::size_t>(y1);
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
    if (!channel || !m_buf.bits)
        return 0;
    UINT w = 0;
    UINT h = 0;
    channel->GetSize(&w, &h);
    if (!channel->GetBuffer(0, 0) || w != m_buf.width || h != m_buf.height)
        return 0;
    const int byte = std::clamp(index, 0, 3);
    const BYTE* src = channel->GetBuffer(0, 0);
    ParallelFor(0, static_cast<int>(m_buf.height), m_buf.width, [&](int y0, int y1) {
        const std::size_t begin = std::size_t{m_buf.width} * static_cast<std::size_t>(y0);
        const std::size_t end = std::size_t{m_buf.width} * static_cast<std::size_t>(y1);
        BYTE* dst = m_buf.bits + byte;
        for (std::size_t i = begin; i < end; ++i)
            dst[i * 4] = src[i];
    });
    return 1;
}

CPixel CQLImage::GetAveragePixel() const
{
    const std::size_t count = std::size_t{m_buf.width} * m_buf.height;
    if (!m_buf.bits || count == 0)
        return CPixel{0, 0, 0, 0};
    ULONGLONG sum[4] = {0, 0, 0, 0};
    const BYTE* p = m_buf.bits;
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
    if (!m_buf.bits)
        return;
    BuildGrayChannel();

    const int w = static_cast<int>(m_buf.width);
    const int h = static_cast<int>(m_buf.height);
    CQLChannel copy;
    if (!copy.DuplicateFrom(this, 3))
        return;

    // Laplacian with a 3-pixel step; a band of 3 pixels round the edge gets 0.
    const int x0 = std::min(3, w);
    const int x1 = std::max(x0, w - 3);
    ParallelFor(0, h, m_buf.width, [&](int y0, int y1) {
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
    ParallelFor(1, h - 1, m_buf.width, [&](int y0, int y1) {
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
