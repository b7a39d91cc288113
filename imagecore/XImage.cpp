// CxImage: life cycle, attributes, palette and pixel access.
#include "imagecore/XImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kHeaderSize = sizeof(BITMAPINFOHEADER);

// Clamped to the field's range: a hostile resolution (a clipboard DIB's
// pixels per metre) must not overflow the conversion.
LONG PixelsPerMetre(LONG dpi)
{
    const double ppm = std::floor(dpi * 39.37007874015748 + 0.5);
    return static_cast<LONG>(std::clamp(ppm, double(INT32_MIN), double(INT32_MAX)));
}

// The 16 colours both standard palettes start with, as red, green, blue.
constexpr BYTE kStd16[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

} // namespace

// --- Life cycle ----------------------------------------------------------------

CxImage::CxImage(DWORD imagetype) { Startup(imagetype); }

CxImage::CxImage(DWORD width, DWORD height, DWORD bpp, DWORD imagetype)
{
    Startup(imagetype);
    Create(width, height, bpp, imagetype);
}

CxImage::CxImage(const CxImage& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    Startup(src.GetType());
    Copy(src, copyPixels, copySelection, copyAlpha);
}

CxImage& CxImage::operator=(const CxImage& src)
{
    Copy(src, true, true, true);
    return *this;
}

CxImage::~CxImage() { Destroy(); }

void CxImage::Startup(DWORD imagetype)
{
    m_pDib = m_pSelection = m_pAlpha = nullptr;
    m_head = BITMAPINFOHEADER{};
    m_info = CXIMAGEINFO{};
    m_info.dwType = imagetype;
    m_head.biSize = kHeaderSize;
    m_head.biPlanes = 1;
    m_head.biXPelsPerMeter = PixelsPerMetre(m_info.xDPI);
    m_head.biYPelsPerMeter = PixelsPerMetre(m_info.yDPI);
}

void CxImage::FreeBuffers()
{
    if (!m_info.pGhost) {
        std::free(m_pDib);
        std::free(m_pSelection);
        std::free(m_pAlpha);
    }
    m_pDib = m_pSelection = m_pAlpha = nullptr;
}

void CxImage::Destroy()
{
    FreeBuffers();
    m_info.pGhost = nullptr;
    m_info.pImage = nullptr;
}

void* CxImage::Create(DWORD width, DWORD height, DWORD bpp, DWORD imagetype)
{
    Destroy();
    m_info.dwType = imagetype;
    bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
    const DWORD colors = bpp == 24 ? 0 : DWORD{1} << bpp;
    const ULONGLONG effWidth = (ULONGLONG{width} * bpp + 31) / 32 * 4;
    const ULONGLONG imageSize = effWidth * height;
    const ULONGLONG total = kHeaderSize + ULONGLONG{colors} * 4 + imageSize;
    m_head.biWidth = m_head.biHeight = 0;
    m_head.biClrUsed = 0;
    m_head.biBitCount = 0;
    m_head.biSizeImage = 0;
    m_info.dwEffWidth = 0;
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF || total > 0xFFFFFFFFull) {
        SetError("CxImage::Create : invalid size");
        return nullptr;
    }
    m_pDib = static_cast<BYTE*>(std::calloc(static_cast<std::size_t>(total), 1));
    if (!m_pDib) {
        SetError("CxImage::Create : no memory");
        return nullptr;
    }
    m_head.biSize = kHeaderSize;
    m_head.biWidth = static_cast<LONG>(width);
    m_head.biHeight = static_cast<LONG>(height);
    m_head.biPlanes = 1;
    m_head.biBitCount = static_cast<WORD>(bpp);
    m_head.biCompression = 0;
    m_head.biSizeImage = static_cast<DWORD>(imageSize);
    m_head.biXPelsPerMeter = PixelsPerMetre(m_info.xDPI);
    m_head.biYPelsPerMeter = PixelsPerMetre(m_info.yDPI);
    m_head.biClrUsed = colors;
    m_head.biClrImportant = 0;
    std::memcpy(m_pDib, &m_head, kHeaderSize);
    m_info.dwEffWidth = static_cast<DWORD>(effWidth);
    m_info.pImage = m_pDib + kHeaderSize + colors * 4;
    ResetSelectionBox();
    return m_pDib;
}

void CxImage::Transfer(CxImage& from)
{
    if (&from == this)
        return;
    Destroy();
    m_pDib = from.m_pDib;
    m_head = from.m_head;
    m_info = from.m_info;
    m_pSelection = from.m_pSelection;
    m_pAlpha = from.m_pAlpha;
    from.m_pDib = from.m_pSelection = from.m_pAlpha = nullptr;
    from.Startup(from.m_info.dwType);
}

void CxImage::Ghost(CxImage* src)
{
    if (!src || src == this)
        return;
    Destroy();
    m_pDib = src->m_pDib;
    m_head = src->m_head;
    m_info = src->m_info;
    m_pSelection = src->m_pSelection;
    m_pAlpha = src->m_pAlpha;
    m_info.pGhost = src;
}

bool CxImage::Copy(const CxImage& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (&src == this)
        return true;
    CxImage tmp(src.GetType());
    if (src.IsValid()) {
        if (!tmp.Create(src.GetWidth(), src.GetHeight(), src.GetBpp(), src.GetType()))
            return false;
        const std::size_t pal = src.GetPaletteSize();
        std::memcpy(tmp.m_pDib + kHeaderSize, src.m_pDib + kHeaderSize, pal);
        if (copyPixels)
            std::memcpy(tmp.m_info.pImage, src.m_info.pImage, src.m_head.biSizeImage);
        if (copySelection && src.m_pSelection) {
            tmp.m_pSelection = static_cast<BYTE*>(std::malloc(src.PlaneSize()));
            if (!tmp.m_pSelection)
                return false;
            std::memcpy(tmp.m_pSelection, src.m_pSelection, src.PlaneSize());
        }
        if (copyAlpha && src.m_pAlpha) {
            tmp.m_pAlpha = static_cast<BYTE*>(std::malloc(src.PlaneSize()));
            if (!tmp.m_pAlpha)
                return false;
            std::memcpy(tmp.m_pAlpha, src.m_pAlpha, src.PlaneSize());
        }
    }
    // Everything else of the information block follows the source.
    CXIMAGEINFO info = src.m_info;
    info.dwEffWidth = tmp.m_info.dwEffWidth;
    info.pImage = tmp.m_info.pImage;
    info.pGhost = nullptr;
    if (!(copySelection && src.m_pSelection))
        info.rSelectionBox = tmp.m_info.rSelectionBox;
    tmp.m_info = info;
    if (tmp.m_pDib) {
        tmp.m_head.biXPelsPerMeter = src.m_head.biXPelsPerMeter;
        tmp.m_head.biYPelsPerMeter = src.m_head.biYPelsPerMeter;
        std::memcpy(tmp.m_pDib, &tmp.m_head, kHeaderSize);
    }
    Transfer(tmp);
    return true;
}

void CxImage::SetError(const char* text)
{
    std::strncpy(m_info.szLastError, text, sizeof m_info.szLastError - 1);
    m_info.szLastError[sizeof m_info.szLastError - 1] = '\0';
}

// --- Attributes ------------------------------------------------------------

DWORD CxImage::GetSize() const
{
    return m_pDib ? m_head.biSize + m_head.biSizeImage + GetPaletteSize() : 0;
}

bool CxImage::IsInside(LONG x, LONG y) const
{
    return m_pDib && x >= 0 && y >= 0 && x < m_head.biWidth && y < m_head.biHeight;
}

void CxImage::Clear(BYTE value)
{
    if (m_pDib)
        std::memset(m_info.pImage, value, m_head.biSizeImage);
}

BYTE CxImage::GetColorType() const
{
    if (m_pAlpha)
        return 4;
    return m_head.biBitCount <= 8 ? 1 : 2;
}

void CxImage::SetXDPI(LONG dpi)
{
    m_info.xDPI = dpi;
    m_head.biXPelsPerMeter = PixelsPerMetre(dpi);
    if (m_pDib)
        std::memcpy(m_pDib, &m_head, kHeaderSize);
}

void CxImage::SetYDPI(LONG dpi)
{
    m_info.yDPI = dpi;
    m_head.biYPelsPerMeter = PixelsPerMetre(dpi);
    if (m_pDib)
        std::memcpy(m_pDib, &m_head, kHeaderSize);
}

RGBQUAD CxImage::GetTransColor() const
{
    if (m_head.biClrUsed && m_info.nBkgndIndex >= 0)
        return GetPaletteColor(static_cast<BYTE>(m_info.nBkgndIndex));
    return m_info.nBkgndColor;
}

// --- Palette -------------------------------------------------------------------

RGBQUAD* CxImage::GetPalette() const
{
    return m_pDib && m_head.biClrUsed ? reinterpret_cast<RGBQUAD*>(m_pDib + kHeaderSize) : nullptr;
}

RGBQUAD CxImage::GetPaletteColor(BYTE idx) const
{
    RGBQUAD c{};
    if (m_pDib && idx < m_head.biClrUsed)
        c = GetPalette()[idx];
    return c;
}

bool CxImage::GetRGB(int idx, BYTE* r, BYTE* g, BYTE* b) const
{
    if (!m_pDib || idx < 0 || static_cast<DWORD>(idx) >= m_head.biClrUsed)
        return false;
    const RGBQUAD c = GetPalette()[idx];
    *r = c.rgbRed;
    *g = c.rgbGreen;
    *b = c.rgbBlue;
    return true;
}

void CxImage::SetPaletteIndex(BYTE idx, BYTE r, BYTE g, BYTE b, BYTE alpha)
{
    if (m_pDib && idx < m_head.biClrUsed)
        GetPalette()[idx] = RGBQUAD{b, g, r, alpha};
}

void CxImage::SetPaletteIndex(BYTE idx, RGBQUAD c)
{
    if (m_pDib && idx < m_head.biClrUsed)
        GetPalette()[idx] = c;
}

void CxImage::SetPaletteIndex(BYTE idx, COLORREF cr) { SetPaletteIndex(idx, GetRValue(cr), GetGValue(cr), GetBValue(cr), 0); }

void CxImage::SetPalette(const RGBQUAD* pal, DWORD nColors)
{
    if (!pal || !GetPalette())
        return;
    std::memcpy(GetPalette(), pal, std::min(nColors, m_head.biClrUsed) * sizeof(RGBQUAD));
}

void CxImage::SetPalette(const BYTE* r, const BYTE* g, const BYTE* b, DWORD nColors)
{
    if (!r || !GetPalette())
        return;
    if (!g)
        g = r;
    if (!b)
        b = g;
    RGBQUAD* pal = GetPalette();
    const DWORD n = std::min(nColors, m_head.biClrUsed);
    for (DWORD i = 0; i < n; ++i)
        pal[i] = RGBQUAD{b[i], g[i], r[i], 0};
}

void CxImage::SetPalette(const rgb_color* rgb, DWORD nColors)
{
    if (!rgb || !GetPalette())
        return;
    RGBQUAD* pal = GetPalette();
    const DWORD n = std::min(nColors, m_head.biClrUsed);
    for (DWORD i = 0; i < n; ++i)
        pal[i] = RGBQUAD{rgb[i].b, rgb[i].g, rgb[i].r, 0};
}

void CxImage::SetGrayPalette()
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    const DWORD n = m_head.biClrUsed;
    const DWORD step = 255 / (n - 1);
    for (DWORD i = 0; i < n; ++i) {
        const BYTE v = static_cast<BYTE>(i * step);
        pal[i] = RGBQUAD{v, v, v, 0};
    }
}

void CxImage::SetStdPalette()
{
    RGBQUAD* pal = GetPalette();
    if (!pal || (m_head.biBitCount != 4 && m_head.biBitCount != 8))
        return;
    auto set = [pal](int i, int r, int g, int b) {
        pal[i] = RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
    };
    if (m_head.biBitCount == 4) {
        for (int i = 0; i < 16; ++i)
            set(i, kStd16[i][0], kStd16[i][1], kStd16[i][2]);
        return;
    }
    for (int i = 0; i < 8; ++i)
        set(i, kStd16[i][0], kStd16[i][1], kStd16[i][2]);
    set(8, 192, 220, 192);
    set(9, 166, 202, 240);
    // A 6 x 6 x 6 colour cube, a grey ramp, then the bright system colours.
    int i = 10;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                set(i++, r * 51, g * 51, b * 51);
    for (int k = 1; k <= 20; ++k)
        set(i++, k * 12, k * 12, k * 12);
    set(i++, 255, 251, 240);
    set(i++, 160, 160, 164);
    for (int k = 8; k < 16; ++k)
        set(i++, kStd16[k][0], kStd16[k][1], kStd16[k][2]);
}

bool CxImage::IsGrayScale() const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i)
        if (pal[i].rgbBlue != i || pal[i].rgbGreen != i || pal[i].rgbRed != i)
            return false;
    return true;
}

void CxImage::BlendPalette(COLORREF cr, LONG perc)
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    const LONG p = std::clamp<LONG>(perc, 0, 100);
    auto mix = [p](BYTE c, BYTE old) { return static_cast<BYTE>((c * p + old * (100 - p)) / 100); };
    for (DWORD i = 0; i < m_head.biClrUsed; ++i) {
        pal[i].rgbRed = mix(GetRValue(cr), pal[i].rgbRed);
        pal[i].rgbGreen = mix(GetGValue(cr), pal[i].rgbGreen);
        pal[i].rgbBlue = mix(GetBValue(cr), pal[i].rgbBlue);
    }
}

void CxImage::SwapIndex(BYTE idx1, BYTE idx2)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || idx1 >= m_head.biClrUsed || idx2 >= m_head.biClrUsed || idx1 == idx2)
        return;
    std::swap(pal[idx1], pal[idx2]);
    for (LONG y = 0; y < m_head.biHeight; ++y)
        for (LONG x = 0; x < m_head.biWidth; ++x) {
            const BYTE i = GetPixelIndexUnchecked(x, y);
            if (i == idx1)
                SetPixelIndexUnchecked(x, y, idx2);
            else if (i == idx2)
                SetPixelIndexUnchecked(x, y, idx1);
        }
}

BYTE CxImage::GetNearestIndex(RGBQUAD c) const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return 0;
    long best = 0x7FFFFFFF;
    BYTE bestIndex = 0;
    for (DWORD i = 0; i < m_head.biClrUsed; ++i) {
        const long db = pal[i].rgbBlue - c.rgbBlue;
        const long dg = pal[i].rgbGreen - c.rgbGreen;
        const long dr = pal[i].rgbRed - c.rgbRed;
        const long d = db * db + dg * dg + dr * dr;
        if (d == 0)
            return static_cast<BYTE>(i);
        if (d < best) {
            best = d;
            bestIndex = static_cast<BYTE>(i);
        }
    }
    return bestIndex;
}

int CxImage::CompareColors(const void* a, const void* b)
{
    auto grey = [](const void* p) {
        const auto* c = static_cast<const RGBQUAD*>(p);
        return (59 * c->rgbGreen + 30 * c->rgbRed + 11 * c->rgbBlue) / 100;
    };
    return grey(a) - grey(b);
}

// --- Pixels ------------------------------------------------------------------------

BYTE CxImage::GetPixelIndexUnchecked(LONG x, LONG y) const
{
    const BYTE* row = RowPtr(y);
    switch (m_head.biBitCount) {
    case 8: return row[x];
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default: return 0;
    }
}

void CxImage::SetPixelIndexUnchecked(LONG x, LONG y, BYTE idx)
{
    BYTE* row = RowPtr(y);
    switch (m_head.biBitCount) {
    case 8: row[x] = idx; break;
    case 4: {
        BYTE& b = row[x >> 1];
        b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (idx & 0x0F)) : static_cast<BYTE>((b & 0x0F) | (idx << 4));
        break;
    }
    case 1: {
        const BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        BYTE& b = row[x >> 3];
        b = (idx & 1) ? static_cast<BYTE>(b | bit) : static_cast<BYTE>(b & ~bit);
        break;
    }
    default: break;
    }
}

RGBQUAD CxImage::GetPixelColorUnchecked(LONG x, LONG y) const
{
    if (m_head.biClrUsed)
        return GetPaletteColor(GetPixelIndexUnchecked(x, y));
    const BYTE* p = RowPtr(y) + static_cast<std::size_t>(x) * 3;
    return RGBQUAD{p[0], p[1], p[2], 0};
}

BYTE CxImage::GetPixelIndex(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return m_info.nBkgndIndex >= 0 ? static_cast<BYTE>(m_info.nBkgndIndex) : 0;
    return m_head.biClrUsed ? GetPixelIndexUnchecked(x, y) : 0;
}

void CxImage::SetPixelIndex(LONG x, LONG y, BYTE idx)
{
    if (IsInside(x, y) && m_head.biClrUsed)
        SetPixelIndexUnchecked(x, y, idx);
}

RGBQUAD CxImage::GetPixelColor(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return GetTransColor();
    return GetPixelColorUnchecked(x, y);
}

void CxImage::SetPixelColor(LONG x, LONG y, RGBQUAD c)
{
    if (!IsInside(x, y))
        return;
    if (m_head.biClrUsed) {
        SetPixelIndexUnchecked(x, y, GetNearestIndex(c));
        return;
    }
    BYTE* p = RowPtr(y) + static_cast<std::size_t>(x) * 3;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
}

RGBQUAD CxImage::RGBtoRGBQUAD(COLORREF cr) { return RGBQUAD{GetBValue(cr), GetGValue(cr), GetRValue(cr), 0}; }

COLORREF CxImage::RGBQUADtoRGB(RGBQUAD c) { return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue); }

// --- Shared helpers of the transforms -----------------------------------------

void CxImage::CopyPlanesTo(CxImage& dst) const
{
    if (dst.GetWidth() != GetWidth() || dst.GetHeight() != GetHeight())
        return;
    if (m_pAlpha && dst.AlphaCreate())
        std::memcpy(dst.m_pAlpha, m_pAlpha, PlaneSize());
    if (m_pSelection && dst.SelectionCreate()) {
        std::memcpy(dst.m_pSelection, m_pSelection, PlaneSize());
        dst.m_info.rSelectionBox = m_info.rSelectionBox;
    }
}

void CxImage::Deliver(CxImage& tmp, CxImage* iDst)
{
    if (iDst)
        iDst->Transfer(tmp);
    else
        Transfer(tmp);
}

void CxImage::SyncHeader()
{
    if (m_pDib)
        std::memcpy(m_pDib, &m_head, kHeaderSize);
}

bool CxImage::MakeTarget(CxImage& tmp, DWORD w, DWORD h, DWORD bpp) const
{
    if (!tmp.Create(w, h, bpp, m_info.dwType))
        return false;
    CXIMAGEINFO info = m_info;
    info.dwEffWidth = tmp.m_info.dwEffWidth;
    info.pImage = tmp.m_info.pImage;
    info.pGhost = nullptr;
    info.rSelectionBox = tmp.m_info.rSelectionBox;
    tmp.m_info = info;
    tmp.m_head.biXPelsPerMeter = m_head.biXPelsPerMeter;
    tmp.m_head.biYPelsPerMeter = m_head.biYPelsPerMeter;
    tmp.SyncHeader();
    if (tmp.GetPalette() && GetPalette())
        std::memcpy(tmp.GetPalette(), GetPalette(), std::min(tmp.GetPaletteSize(), GetPaletteSize()));
    return true;
}
