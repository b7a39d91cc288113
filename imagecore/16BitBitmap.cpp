#include "imagecore/16BitBitmap.h"

#include "imagecore/AlignedBuffer.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

using imagecore::ParallelFor;

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

WORD AddClamped(WORD v, int e)
{
    const int sum = v + e;
    return static_cast<WORD>(sum < 0 ? 0 : (sum > 0xFFFF ? 0xFFFF : sum));
}

} // namespace

C16BitBitmap::~C16BitBitmap()
{
    Free();
}

C16BitBitmap::C16BitBitmap(C16BitBitmap&& other) noexcept
    : m_pPixels(std::exchange(other.m_pPixels, nullptr))
    , m_nWidth(std::exchange(other.m_nWidth, 0))
    , m_nHeight(std::exchange(other.m_nHeight, 0))
    , m_nCount(std::exchange(other.m_nCount, 0))
{
}

C16BitBitmap& C16BitBitmap::operator=(C16BitBitmap&& other) noexcept
{
    if (this != &other) {
        Free();
        m_pPixels = std::exchange(other.m_pPixels, nullptr);
        m_nWidth = std::exchange(other.m_nWidth, 0);
        m_nHeight = std::exchange(other.m_nHeight, 0);
        m_nCount = std::exchange(other.m_nCount, 0);
    }
    return *this;
}

int C16BitBitmap::Create(int width, int height)
{
    Free();
    if (width < 0 || height < 0)
        return 0;
    const LONGLONG count = LONGLONG{width} * height;
    if (count > INT_MAX)
        return 0;
    if (count != 0) {
        m_pPixels = static_cast<C16BitPixel*>(std::malloc(static_cast<std::size_t>(count) * sizeof(C16BitPixel)));
        if (!m_pPixels)
            return 0;
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nCount = static_cast<LONG>(count);
    return 1;
}

void C16BitBitmap::Free()
{
    std::free(m_pPixels);
    m_pPixels = nullptr;
    m_nWidth = 0;
    m_nHeight = 0;
    m_nCount = 0;
}

C16BitPixel C16BitBitmap::SafeGetPixel(int x, int y) const
{
    if (!m_pPixels)
        return C16BitPixel{};
    return m_pPixels[imagecore::ClampedIndex(x, y, static_cast<UINT>(m_nWidth), static_cast<UINT>(m_nHeight))];
}

int C16BitBitmap::DuplicateFrom(const C16BitBitmap* other)
{
    if (!other)
        return 0;
    if (other == this)
        return 1;
    if (!Create(other->m_nWidth, other->m_nHeight))
        return 0;
    if (m_nCount != 0)
        std::memcpy(m_pPixels, other->m_pPixels, static_cast<std::size_t>(m_nCount) * sizeof(C16BitPixel));
    return 1;
}

int C16BitBitmap::ConvertFromSimpleBitmap(const CQLImage* image, int smart)
{
    if (!image || !image->GetBuffer(0, 0))
        return 0;
    if (smart)
        return SmartConvert(image);
    UINT w = 0;
    UINT h = 0;
    image->GetSize(&w, &h);
    if (!Create(static_cast<int>(w), static_cast<int>(h)))
        return 0;
    const CPixel* src = reinterpret_cast<const CPixel*>(image->GetBuffer(0, 0));
    C16BitPixel* dst = m_pPixels;
    ParallelFor(0, m_nHeight, w, [&](int y0, int y1) {
        const std::size_t end = std::size_t{w} * static_cast<std::size_t>(y1);
        for (std::size_t i = std::size_t{w} * static_cast<std::size_t>(y0); i < end; ++i)
            dst[i] = src[i];
    });
    return 1;
}

int C16BitBitmap::ConvertToSimpleBitmap(CQLImage* image, int dither)
{
    if (!image || !m_pPixels || image->Create(static_cast<UINT>(m_nWidth), static_cast<UINT>(m_nHeight)) != 0)
        return 0;
    if (dither) {
        Diffuse(*image); // order-dependent: stays on one thread
        return 1;
    }
    CPixel* dst = reinterpret_cast<CPixel*>(image->GetBuffer(0, 0));
    const C16BitPixel* src = m_pPixels;
    const std::size_t w = static_cast<std::size_t>(m_nWidth);
    ParallelFor(0, m_nHeight, w, [&](int y0, int y1) {
        const std::size_t end = w * static_cast<std::size_t>(y1);
        for (std::size_t i = w * static_cast<std::size_t>(y0); i < end; ++i)
            dst[i] = src[i].GetPixel();
    });
    return 1;
}

void C16BitBitmap::Diffuse(CQLImage& image)
{
    using Channel = WORD C16BitPixel::*;
    static constexpr Channel kChannels[3] = {&C16BitPixel::b, &C16BitPixel::g, &C16BitPixel::r};
    const int w = m_nWidth;
    const int h = m_nHeight;
    for (int y = 0; y < h; ++y) {
        C16BitPixel* row = m_pPixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        C16BitPixel* below = row + w;
        BYTE* out = image.GetBuffer(0, y);
        const bool hasBelow = y < h - 1;
        for (int x = 0; x < w; ++x, out += 4) {
            const bool hasRight = x < w - 1;
            for (int c = 0; c < 3; ++c) {
                const Channel ch = kChannels[c];
                const int v = row[x].*ch;
                const BYTE q = C16BitPixel::Round8(static_cast<WORD>(v));
                out[c] = q;
                const int e = (v - q * 256) / 4; // the fourth quarter is dropped
                if (hasRight)
                    row[x + 1].*ch = AddClamped(row[x + 1].*ch, e);
                if (hasBelow)
                    below[x].*ch = AddClamped(below[x].*ch, e);
                if (hasRight && hasBelow)
                    below[x + 1].*ch = AddClamped(below[x + 1].*ch, e);
            }
            out[3] = 0;
        }
    }
}

LONG C16BitBitmap::SaveToBmpFile(const char* path)
{
    CQLImage image;
    if (!ConvertToSimpleBitmap(&image, 1))
        return E_FAIL;
    return image.SaveToFile(path);
}

int C16BitBitmap::SmartConvert(const CQLImage* image)
{
    if (!image || !image->GetBuffer(0, 0))
        return 0;
    UINT uw = 0;
    UINT uh = 0;
    image->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw);
    const int h = static_cast<int>(uh);
    if (!(m_pPixels && m_nWidth == w && m_nHeight == h) && !Create(w, h))
        return 0;
    std::unique_ptr<C16BitPixel, FreeDeleter> horizontal(
        static_cast<C16BitPixel*>(std::malloc(static_cast<std::size_t>(m_nCount) * sizeof(C16BitPixel))));
    if (!horizontal)
        return 0;

    const CPixel* src = reinterpret_cast<const CPixel*>(image->GetBuffer(0, 0));
    C16BitPixel* hor = horizontal.get();
    C16BitPixel* ver = m_pPixels;
    const std::size_t stride = uw;
    ParallelFor(0, h, uw, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            ConvertLine(hor + y * stride, src + y * stride, w, 1);
    });
    ParallelFor(0, w, uh, [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            ConvertLine(ver + x, src + x, h, w);
    });
    ParallelFor(0, h, uw, [&](int y0, int y1) {
        const std::size_t end = stride * static_cast<std::size_t>(y1);
        for (std::size_t i = stride * static_cast<std::size_t>(y0); i < end; ++i) {
            ver[i].b = static_cast<WORD>((ver[i].b + hor[i].b) >> 1);
            ver[i].g = static_cast<WORD>((ver[i].g + hor[i].g) >> 1);
            ver[i].r = static_cast<WORD>((ver[i].r + hor[i].r) >> 1);
        }
    });
    return 1;
}

void C16BitBitmap::ConvertLine(C16BitPixel* target, const CPixel* source, int count, int step)
{
    const std::ptrdiff_t s = step;
    for (std::ptrdiff_t i = 0; i < count; ++i)
        target[i * s] = source[i * s];
    SmoothInChannel(&target->b, count, step * 3);
    SmoothInChannel(&target->g, count, step * 3);
    SmoothInChannel(&target->r, count, step * 3);
}

void C16BitBitmap::SmoothInChannel(WORD* values, int count, int step)
{
    const std::ptrdiff_t s = step;
    int prev = 0;
    for (int i = 0; i < count;) {
        const int c = values[i * s];
        int j = i + 1;
        while (j < count && values[j * s] == c)
            ++j;
        if (j >= count)
            break; // the last run of the line stays as it is
        const int len = j - i;
        const int b = i == 0 ? c : prev;
        const int e = values[j * s];
        WORD* run = values + i * s;
        if (len == 1) {
            if (std::abs(b - c) < 2048 && std::abs(e - c) <= 2047)
                run[0] = static_cast<WORD>((b + e) >> 1);
        } else {
            const int n = std::min(len / 2, 8);
            if (std::abs(c - b) < 2048) {
                for (int k = 0; k < n; ++k)
                    run[k * s] = static_cast<WORD>(c - ((n - k) * ((c - b) / 2)) / n);
            }
            if (std::abs(e - c) <= 2047) {
                for (int k = 0; k < n; ++k)
                    run[(len - n + k) * s] = static_cast<WORD>(c + (k * ((e - c) / 2)) / n);
            }
        }
        prev = c;
        i = j;
    }
}
