// CxImage: CF_DIB global memory blocks, the clipboard's bitmap form.
#include "imagecore/XImage.h"
#include "imagecore/ImageLimits.h"
#include "imagecore/ParallelFor.h"

#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr DWORD kBiRgb = 0;
constexpr DWORD kBiBitfields = 3;

// One component of a bit-field pixel: shift the mask's bits down, then
// line them up with the top of a byte.
struct MaskChannel {
    DWORD mask;
    int shift;
    int bits;
    explicit MaskChannel(DWORD m)
        : mask(m), shift(m ? std::countr_zero(m) : 0), bits(m ? 32 - std::countl_zero(m) - std::countr_zero(m) : 0)
    {
    }
    BYTE operator()(DWORD word) const
    {
        const DWORD v = (word & mask) >> shift;
        return static_cast<BYTE>(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
    }
};

} // namespace

HGLOBAL CxImage::CopyToHandle() const
{
    if (!m_pDib)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GHND, GetSize());
    if (!block)
        return nullptr;
    void* dst = GlobalLock(block);
    if (!dst) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(dst, m_pDib, GetSize());
    GlobalUnlock(block);
    return block;
}

bool CxImage::Bitfield2RGB(const BYTE* src, DWORD redmask, DWORD greenmask, DWORD bluemask, BYTE bpp)
{
    if (!src || !m_pDib || (bpp != 16 && bpp != 32))
        return false;
    if (m_head.biBitCount != 24 && !Create(GetWidth(), GetHeight(), 24, m_info.dwType))
        return false;
    if (!redmask && !greenmask && !bluemask) {
        redmask = bpp == 16 ? 0x7C00 : 0xFF0000;
        greenmask = bpp == 16 ? 0x03E0 : 0x00FF00;
        bluemask = bpp == 16 ? 0x001F : 0x0000FF;
    }
    const MaskChannel r(redmask), g(greenmask), b(bluemask);
    const LONG w = m_head.biWidth;
    const std::size_t srcStride = (static_cast<std::size_t>(w) * bpp + 31) / 32 * 4;
    imagecore::ParallelFor(0, m_head.biHeight, static_cast<std::size_t>(w), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = src + static_cast<std::size_t>(y) * srcStride;
            BYTE* d = RowPtr(y);
            for (LONG x = 0; x < w; ++x, d += 3) {
                const DWORD word = bpp == 16 ? DWORD{s[2 * x]} | DWORD{s[2 * x + 1]} << 8
                                             : DWORD{s[4 * x]} | DWORD{s[4 * x + 1]} << 8 | DWORD{s[4 * x + 2]} << 16 |
                                                   DWORD{s[4 * x + 3]} << 24;
                d[0] = b(word);
                d[1] = g(word);
                d[2] = r(word);
            }
        }
    });
    return true;
}

bool CxImage::CreateFromHANDLE(HGLOBAL hMem)
{
    const std::size_t blockSize = GlobalSize(hMem);
    const auto* block = static_cast<const BYTE*>(GlobalLock(hMem));
    if (!block)
        return false;
    struct Unlock {
        HGLOBAL h;
        ~Unlock() { GlobalUnlock(h); }
    } unlock{hMem};

    BITMAPINFOHEADER head{};
    if (blockSize < sizeof head) {
        SetError("CreateFromHANDLE : block too small");
        return false;
    }
    std::memcpy(&head, block, sizeof head);
    const int bpp = head.biBitCount;
    const bool packed = bpp == 16 || bpp == 32;
    const bool headerOk = head.biSize >= sizeof head && head.biSize <= blockSize && head.biPlanes == 1 &&
                          head.biWidth > 0 && head.biHeight != 0 && head.biHeight != INT_MIN &&
                          (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || packed) &&
                          (head.biCompression == kBiRgb || (packed && head.biCompression == kBiBitfields));
    if (!headerOk) {
        SetError("CreateFromHANDLE : unsupported DIB");
        return false;
    }
    // Palette entries: all 2^bpp by default for palette images, an optional
    // table (skipped) for the others.
    const ULONGLONG maxColors = bpp <= 8 ? (1u << bpp) : 256;
    if (head.biClrUsed > maxColors) {
        SetError("CreateFromHANDLE : bad palette size");
        return false;
    }
    const ULONGLONG colors = bpp <= 8 && head.biClrUsed == 0 ? (1u << bpp) : head.biClrUsed;
    // Bit-field masks follow a 40-byte header; longer headers hold them.
    DWORD masks[3] = {};
    ULONGLONG offset = head.biSize;
    if (head.biCompression == kBiBitfields) {
        const ULONGLONG maskAt = 40;
        if (head.biSize == 40)
            offset += 12;
        if (maskAt + 12 > blockSize) {
            SetError("CreateFromHANDLE : block too small");
            return false;
        }
        std::memcpy(masks, block + maskAt, 12);
    }
    const ULONGLONG paletteAt = offset;
    offset += colors * 4;
    const LONG height = head.biHeight < 0 ? -head.biHeight : head.biHeight;
    const ULONGLONG stride = (static_cast<ULONGLONG>(head.biWidth) * bpp + 31) / 32 * 4;
    if (stride * static_cast<ULONGLONG>(height) > blockSize || offset + stride * height > blockSize) {
        SetError("CreateFromHANDLE : block too small");
        return false;
    }

    // The one limit of every reader of outside pictures.
    if (!imagecore::DecodeSizeAllowed(ULONGLONG(head.biWidth), ULONGLONG(height), packed || bpp == 24 ? 3 : 1)) {
        SetError("CreateFromHANDLE : too big image size");
        return false;
    }
    CxImage tmp(m_info.dwType);
    if (!tmp.Create(static_cast<DWORD>(head.biWidth), static_cast<DWORD>(height), packed ? 24 : bpp, m_info.dwType)) {
        SetError(tmp.GetLastError());
        return false;
    }
    if (head.biXPelsPerMeter > 0)
        tmp.SetXDPI(static_cast<LONG>(std::floor(head.biXPelsPerMeter * 0.0254 + 0.5)));
    if (head.biYPelsPerMeter > 0)
        tmp.SetYDPI(static_cast<LONG>(std::floor(head.biYPelsPerMeter * 0.0254 + 0.5)));
    const BYTE* bits = block + offset;
    if (packed) {
        tmp.Bitfield2RGB(bits, masks[0], masks[1], masks[2], static_cast<BYTE>(bpp));
        if (head.biHeight < 0)
            tmp.Flip();
    } else {
        if (bpp <= 8) // a table beside 24-bit pixels is only a hint: skipped
            std::memcpy(tmp.GetPalette(), block + paletteAt, static_cast<std::size_t>(colors) * 4);
        for (LONG y = 0; y < height; ++y) {
            const LONG from = head.biHeight < 0 ? height - 1 - y : y;
            std::memcpy(tmp.RowPtr(y), bits + static_cast<std::size_t>(from) * stride, static_cast<std::size_t>(stride));
        }
    }
    Transfer(tmp);
    return true;
}
