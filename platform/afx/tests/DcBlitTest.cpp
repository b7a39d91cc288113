// BitBlt raster operations, memory DCs and bitmaps, DIB sections, and
// StretchDIBits with both scalers.
#include "platform/afx/tests/GdiTestSupport.h"

#include <ostream>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

using gditest::SurfaceTest;

using gditest::kWhite;
using gditest::kBlack;
using gditest::kRed;
using gditest::kBlue;

// A memory DC with a bitmap of its own, filled with one colour.
struct MemDC {
    MemDC(int w, int h, COLORREF fill)
    {
        dc = CreateCompatibleDC(nullptr);
        HDC screen = qlafx::CreateDisplayDC();
        bitmap = CreateCompatibleBitmap(screen, w, h);
        DeleteDC(screen);
        old = SelectObject(dc, bitmap);
        SetBkColor(dc, fill);
        const RECT rc{0, 0, w, h};
        ExtTextOut(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    }
    ~MemDC()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// --- Raster operations ---------------------------------------------------------

struct RopCase {
    const char* name;
    DWORD rop;
    COLORREF (*expect)(COLORREF p, COLORREF s, COLORREF d);
};

void PrintTo(const RopCase& c, std::ostream* os) { *os << c.name; }

COLORREF C(DWORD v) { return v & 0xFFFFFF; }

class DcRop : public SurfaceTest, public ::testing::WithParamInterface<RopCase> {};

TEST_P(DcRop, CombinesPatternSourceAndDestinationBitwise)
{
    const COLORREF d = RGB(0x5A, 0xC3, 0x0F);
    const COLORREF s = RGB(0x33, 0x55, 0xF0);
    const COLORREF p = RGB(0x0F, 0xF0, 0x99);
    SetBkColor(m_hdc, d);
    const RECT all{0, 0, 64, 48};
    ExtTextOut(m_hdc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    MemDC src(8, 8, s);
    HBRUSH brush = CreateSolidBrush(p);
    SelectObject(m_hdc, brush);
    EXPECT_TRUE(BitBlt(m_hdc, 10, 10, 4, 3, src.dc, 2, 2, GetParam().rop));
    EXPECT_EQ(Px(10, 10), GetParam().expect(p, s, d));
    EXPECT_EQ(Px(13, 12), GetParam().expect(p, s, d));
    EXPECT_EQ(Px(14, 12), d);
    EXPECT_EQ(Px(13, 13), d);
    EXPECT_EQ(Px(9, 10), d);
    SelectObject(m_hdc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Rops, DcRop,
    ::testing::Values(RopCase{"SRCCOPY", SRCCOPY, [](COLORREF, COLORREF s, COLORREF) { return s; }},
                      RopCase{"SRCAND", SRCAND, [](COLORREF, COLORREF s, COLORREF d) { return s & d; }},
                      RopCase{"SRCPAINT", SRCPAINT, [](COLORREF, COLORREF s, COLORREF d) { return s | d; }},
                      RopCase{"SRCINVERT", SRCINVERT, [](COLORREF, COLORREF s, COLORREF d) { return s ^ d; }},
                      RopCase{"SRCERASE", SRCERASE, [](COLORREF, COLORREF s, COLORREF d) { return C(s & ~d); }},
                      RopCase{"NOTSRCCOPY", NOTSRCCOPY, [](COLORREF, COLORREF s, COLORREF) { return C(~s); }},
                      RopCase{"NOTSRCERASE", NOTSRCERASE, [](COLORREF, COLORREF s, COLORREF d) { return C(~(s | d)); }},
                      RopCase{"MERGECOPY", MERGECOPY, [](COLORREF p, COLORREF s, COLORREF) { return p & s; }},
                      RopCase{"MERGEPAINT", MERGEPAINT, [](COLORREF, COLORREF s, COLORREF d) { return C(~s | d); }},
                      RopCase{"PATCOPY", PATCOPY, [](COLORREF p, COLORREF, COLORREF) { return p; }},
                      RopCase{"PATPAINT", PATPAINT, [](COLORREF p, COLORREF s, COLORREF d) { return C(p | ~s | d); }},
                      RopCase{"PATINVERT", PATINVERT, [](COLORREF p, COLORREF, COLORREF d) { return p ^ d; }},
                      RopCase{"DSTINVERT", DSTINVERT, [](COLORREF, COLORREF, COLORREF d) { return C(~d); }},
                      RopCase{"BLACKNESS", BLACKNESS, [](COLORREF, COLORREF, COLORREF) { return C(0); }},
                      RopCase{"WHITENESS", WHITENESS, [](COLORREF, COLORREF, COLORREF) { return C(~0u); }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Memory DCs and bitmaps ----------------------------------------------------------

TEST(DcMemory, DrawsIntoTheSelectedBitmap)
{
    MemDC mem(6, 4, kWhite);
    SetPixel(mem.dc, 2, 1, kRed);
    MoveToEx(mem.dc, 0, 3, nullptr);
    LineTo(mem.dc, 6, 3);
    DWORD bits[24] = {};
    ASSERT_EQ(GetBitmapBits(mem.bitmap, sizeof bits, bits), static_cast<LONG>(sizeof bits));
    EXPECT_EQ(bits[1 * 6 + 2] & 0xFFFFFF, 0xFF0000u); // B, G, R in memory: red is 0x00FF0000
    EXPECT_EQ(bits[0] & 0xFFFFFF, 0xFFFFFFu);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(bits[3 * 6 + x] & 0xFFFFFF, 0u);
    BITMAP bm{};
    ASSERT_EQ(GetObject(mem.bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 6);
    EXPECT_EQ(bm.bmHeight, 4);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 24);
}

TEST(DcMemory, ABitmapIsSelectedIntoOneDCAtATime)
{
    MemDC a(4, 4, kWhite);
    HDC b = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(b, a.bitmap), nullptr);
    SelectObject(a.dc, a.old);
    EXPECT_NE(SelectObject(b, a.bitmap), nullptr) << "free again once deselected";
    HGDIOBJ prev = SelectObject(b, a.old);
    EXPECT_EQ(prev, a.bitmap);
    SelectObject(a.dc, a.bitmap);
    DeleteDC(b);
}

TEST(DcMemory, DefaultBitmapMakesMonochromeBitmaps)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(dc, 8, 8);
    BITMAP bm{};
    GetObject(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(mono);
    DeleteDC(dc);
}

TEST_F(SurfaceTest, MonochromeMasksConvertByBackgroundAndTextColours)
{
    // Colour -> mono: the source's background colour becomes white.
    MemDC colour(4, 1, kRed);
    SetPixel(colour.dc, 1, 0, kBlue);
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(4, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mdc, mask);
    SetBkColor(colour.dc, kRed);
    BitBlt(mdc, 0, 0, 4, 1, colour.dc, 0, 0, SRCCOPY);
    BYTE bits[2] = {};
    GetBitmapBits(mask, 2, bits);
    EXPECT_EQ(bits[0], 0xB0) << "1011: only the blue pixel is black";
    // Mono -> colour: black takes the text colour, white the background.
    SetTextColor(m_hdc, kBlue);
    SetBkColor(m_hdc, kRed);
    BitBlt(m_hdc, 0, 0, 4, 1, mdc, 0, 0, SRCCOPY);
    EXPECT_EQ(Px(0, 0), kRed);
    EXPECT_EQ(Px(1, 0), kBlue);
    SelectObject(mdc, old);
    DeleteDC(mdc);
    DeleteObject(mask);
}

TEST_F(SurfaceTest, OverlappingBlitScrollsCorrectly)
{
    for (int x = 0; x < 10; ++x)
        SetPixel(m_hdc, x, 0, RGB(x * 20, 0, 0));
    BitBlt(m_hdc, 1, 0, 9, 1, m_hdc, 0, 0, SRCCOPY);
    for (int x = 1; x < 10; ++x)
        EXPECT_EQ(Px(x, 0), RGB((x - 1) * 20, 0, 0));
}

TEST_F(SurfaceTest, StretchBltHalftoneAverages)
{
    MemDC src(2, 1, kBlack);
    SetPixel(src.dc, 1, 0, RGB(200, 100, 50));
    SetStretchBltMode(m_hdc, HALFTONE);
    StretchBlt(m_hdc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(Px(0, 0), RGB(100, 50, 25));
    SetStretchBltMode(m_hdc, COLORONCOLOR);
    StretchBlt(m_hdc, 0, 1, 4, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(Px(1, 1), kBlack);
    EXPECT_EQ(Px(2, 1), RGB(200, 100, 50));
}

// --- DIB sections and device-independent bits -----------------------------------------

BITMAPINFO Header(int w, int h, int bpp)
{
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bpp), BI_RGB, 0, 0, 0, 0, 0};
    return bi;
}

TEST(DcDibSection, DrawingLandsInTheCallersBitsBottomUp)
{
    const BITMAPINFO bi = Header(3, 2, 24); // positive height: bottom-up
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    SetPixel(dc, 0, 0, kRed);  // top row: last in memory
    SetPixel(dc, 2, 1, kBlue); // bottom row: first in memory
    const BYTE* b = static_cast<const BYTE*>(bits);
    const int stride = 12; // 9 bytes padded to 4
    EXPECT_EQ(b[stride + 0], 0x00);
    EXPECT_EQ(b[stride + 2], 0xFF); // red at (0, 0)
    EXPECT_EQ(b[6], 0xFF);          // blue at (2, 1)
    EXPECT_EQ(b[8], 0x00);
    // And back: pixels written by the caller are what the DC sees.
    BYTE* w = static_cast<BYTE*>(bits);
    w[3] = 0x10, w[4] = 0x20, w[5] = 0x30; // (1, 1)
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0x30, 0x20, 0x10));
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, stride);
    EXPECT_EQ(ds.dsBmih.biBitCount, 24);
    EXPECT_EQ(ds.dsBmih.biHeight, 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(DcDibSection, FillAndTextOnABottomUpSectionAreUpright)
{
    const BITMAPINFO bi = Header(40, 20, 32);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    HBRUSH brush = CreateHatchBrush(HS_HORIZONTAL, kRed);
    const RECT top{0, 0, 40, 3};
    FillRect(dc, &top, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const auto* px = static_cast<const DWORD*>(bits);
    EXPECT_EQ(px[19 * 40] & 0xFFFFFF, 0u) << "the top row is the last in memory";
    EXPECT_EQ(px[0] & 0xFFFFFF, 0u) << "the bottom row stays as it was";
    EXPECT_EQ(px[3 * 40] & 0xFFFFFF, 0u);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(DcDibSection, GetDIBitsRoundTrip)
{
    const DWORD px[4] = {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC};
    HBITMAP bm = CreateBitmap(2, 2, 1, 32, px);
    BITMAPINFO bi = Header(2, -2, 32);
    DWORD out[4] = {};
    HDC screen = qlafx::CreateDisplayDC();
    EXPECT_EQ(GetDIBits(screen, bm, 0, 2, out, &bi, DIB_RGB_COLORS), 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out[i] & 0xFFFFFF, px[i]);
    // Bottom-up 24-bit: the bottom row first.
    BITMAPINFO bu = Header(2, 2, 24);
    BYTE out24[16] = {};
    EXPECT_EQ(GetDIBits(screen, bm, 0, 2, out24, &bu, DIB_RGB_COLORS), 2);
    EXPECT_EQ(out24[0], 0x99);
    EXPECT_EQ(out24[2], 0x77);
    EXPECT_EQ(out24[8], 0x33);
    DeleteDC(screen);
    DeleteObject(bm);
}

// --- StretchDIBits ----------------------------------------------------------------

struct StretchCase {
    const char* name;
    int bpp;
    bool topDown;
    int mode;
    int sw, sh;             // source size, pixels grey g(i) = 10 * (i + 1) in reading order
    int dx, dy, dw, dh;     // destination rectangle
    std::vector<int> expect; // grey of the destination rectangle's pixels, -1 = untouched (white)
};

void PrintTo(const StretchCase& c, std::ostream* os) { *os << c.name; }

// Builds the source in memory as Windows lays it out and draws it.
class DcStretchDIBits : public SurfaceTest, public ::testing::WithParamInterface<StretchCase> {};

TEST_P(DcStretchDIBits, GivesHandComputedPixels)
{
    const StretchCase& c = GetParam();
    Reset(8, 8);
    const int bytes = c.bpp / 8;
    const int stride = ((c.sw * c.bpp + 31) / 32) * 4;
    std::vector<BYTE> bits(static_cast<std::size_t>(stride) * c.sh, 0);
    for (int y = 0; y < c.sh; ++y) {
        const int row = c.topDown ? y : c.sh - 1 - y;
        for (int x = 0; x < c.sw; ++x) {
            const BYTE g = static_cast<BYTE>(10 * (y * c.sw + x + 1));
            BYTE* p = bits.data() + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x) * bytes;
            p[0] = p[1] = p[2] = g;
            if (bytes == 4)
                p[3] = 0;
        }
    }
    BITMAPINFO bi = Header(c.sw, c.topDown ? -c.sh : c.sh, c.bpp);
    SetStretchBltMode(m_hdc, c.mode);
    EXPECT_EQ(StretchDIBits(m_hdc, c.dx, c.dy, c.dw, c.dh, 0, 0, c.sw, c.sh, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY),
              c.sh);
    int i = 0;
    for (int y = c.dy; y < c.dy + c.dh; ++y)
        for (int x = c.dx; x < c.dx + c.dw; ++x, ++i) {
            if (x < 0 || y < 0 || x >= 8 || y >= 8)
                continue;
            const int g = c.expect[i];
            EXPECT_EQ(Px(x, y), g < 0 ? kWhite : RGB(g, g, g)) << x << "," << y;
            EXPECT_EQ(m_surface.pixel(x, y) >> 24, 0xFFu) << "surfaces stay opaque";
        }
}

const std::vector<int> kDoubled = {10, 10, 20, 20, 10, 10, 20, 20, 30, 30, 40, 40, 30, 30, 40, 40};
// 4 x 4 source 10..160: mean of each 2 x 2 block.
const std::vector<int> kHalved = {(10 + 20 + 50 + 60) / 4, (30 + 40 + 70 + 80) / 4, (90 + 100 + 130 + 140) / 4,
                                  (110 + 120 + 150 + 160) / 4};

INSTANTIATE_TEST_SUITE_P(
    Cases, DcStretchDIBits,
    ::testing::Values(
        StretchCase{"Nearest32TopDown", 32, true, COLORONCOLOR, 2, 2, 1, 1, 4, 4, kDoubled},
        StretchCase{"Nearest32BottomUp", 32, false, COLORONCOLOR, 2, 2, 1, 1, 4, 4, kDoubled},
        StretchCase{"Nearest24BottomUp", 24, false, COLORONCOLOR, 2, 2, 1, 1, 4, 4, kDoubled},
        StretchCase{"Nearest24TopDown", 24, true, COLORONCOLOR, 2, 2, 1, 1, 4, 4, kDoubled},
        StretchCase{"Halftone32TopDown", 32, true, HALFTONE, 4, 4, 3, 3, 2, 2, kHalved},
        StretchCase{"Halftone32BottomUp", 32, false, HALFTONE, 4, 4, 3, 3, 2, 2, kHalved},
        StretchCase{"Halftone24BottomUp", 24, false, HALFTONE, 4, 4, 3, 3, 2, 2, kHalved},
        StretchCase{"HalftoneSameSizeCopies", 24, true, HALFTONE, 2, 2, 0, 0, 2, 2, {10, 20, 30, 40}},
        StretchCase{"PartlyOutsideLeftTop", 32, true, COLORONCOLOR, 2, 2, -2, -1, 4, 4, kDoubled},
        StretchCase{"PartlyOutsideRightBottom", 24, false, HALFTONE, 4, 4, 7, 7, 2, 2, kHalved}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SurfaceTest, StretchDIBitsSourceYCountsFromTheBottom)
{
    // 1 x 4 top-down: 10, 20, 30, 40 from the top. ySrc 1 with height 2
    // picks the second and third rows from the bottom: 20 and 30.
    const DWORD px[4] = {0x0A0A0A, 0x141414, 0x1E1E1E, 0x282828};
    BITMAPINFO bi = Header(1, -4, 32);
    StretchDIBits(m_hdc, 0, 0, 1, 2, 0, 1, 1, 2, px, &bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Px(0, 0), RGB(20, 20, 20));
    EXPECT_EQ(Px(0, 1), RGB(30, 30, 30));
    EXPECT_EQ(Px(0, 2), kWhite);
}

TEST_F(SurfaceTest, StretchDIBitsMirrorsWithNegativeWidth)
{
    const DWORD px[2] = {0x0A0A0A, 0x141414};
    BITMAPINFO bi = Header(2, -1, 32);
    // The common idiom: start at the right edge, negative width.
    StretchDIBits(m_hdc, 5, 0, -2, 1, 0, 0, 2, 1, px, &bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Px(4, 0), RGB(20, 20, 20));
    EXPECT_EQ(Px(5, 0), RGB(10, 10, 10));
}

TEST_F(SurfaceTest, StretchDIBitsReadsPalettedSources)
{
    BYTE storage[sizeof(BITMAPINFO) + sizeof(RGBQUAD)] = {};
    auto* bi = reinterpret_cast<BITMAPINFO*>(storage);
    bi->bmiHeader = Header(2, 1, 8).bmiHeader;
    bi->bmiHeader.biClrUsed = 2;
    bi->bmiColors[0] = RGBQUAD{0, 0, 255, 0};
    reinterpret_cast<RGBQUAD*>(bi->bmiColors)[1] = RGBQUAD{255, 0, 0, 0};
    const BYTE px[4] = {1, 0, 0, 0};
    StretchDIBits(m_hdc, 0, 0, 2, 1, 0, 0, 2, 1, px, bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Px(0, 0), kBlue);
    EXPECT_EQ(Px(1, 0), kRed);
}

TEST_F(SurfaceTest, StretchDIBitsRespectsTheClip)
{
    const DWORD px[4] = {0, 0, 0, 0};
    BITMAPINFO bi = Header(2, 2, 32);
    IntersectClipRect(m_hdc, 0, 0, 1, 1);
    StretchDIBits(m_hdc, 0, 0, 4, 4, 0, 0, 2, 2, px, &bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(0, 0, 1, 1)));
}

TEST_F(SurfaceTest, SetDIBitsToDeviceCopiesOneToOne)
{
    // Bottom-up 2 x 2: memory rows bottom (1, 2) then top (3, 4).
    const DWORD px[4] = {0x010101, 0x020202, 0x030303, 0x040404};
    BITMAPINFO bi = Header(2, 2, 32);
    EXPECT_EQ(SetDIBitsToDevice(m_hdc, 3, 4, 2, 2, 0, 0, 0, 2, px, &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Px(3, 4), RGB(3, 3, 3));
    EXPECT_EQ(Px(4, 5), RGB(2, 2, 2));
    // Top-down, a 1 x 1 part from (1, 0).
    BITMAPINFO td = Header(2, -2, 32);
    SetDIBitsToDevice(m_hdc, 0, 0, 1, 1, 1, 0, 0, 2, px, &td, DIB_RGB_COLORS);
    EXPECT_EQ(Px(0, 0), RGB(2, 2, 2));
}

TEST_F(SurfaceTest, SetDIBitsToDeviceReadsPalettedSources)
{
    BYTE storage[sizeof(BITMAPINFO) + 3 * sizeof(RGBQUAD)] = {};
    auto* bi = reinterpret_cast<BITMAPINFO*>(storage);
    bi->bmiHeader = Header(4, 1, 8).bmiHeader;
    bi->bmiHeader.biClrUsed = 4;
    auto* palette = reinterpret_cast<RGBQUAD*>(bi->bmiColors);
    palette[0] = RGBQUAD{0, 0, 0, 0};
    palette[1] = RGBQUAD{0, 0, 255, 0};
    palette[2] = RGBQUAD{0, 255, 0, 0};
    palette[3] = RGBQUAD{255, 0, 0, 0};
    const BYTE px[4] = {3, 2, 1, 0};
    EXPECT_EQ(SetDIBitsToDevice(m_hdc, 0, 0, 4, 1, 0, 0, 0, 1, px, bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(Px(0, 0), kBlue);
    EXPECT_EQ(Px(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(Px(2, 0), kRed);
    EXPECT_EQ(Px(3, 0), kBlack);
}

// Extents and origins far outside any surface fail or draw nothing; none
// may overflow or touch memory outside the surface.
struct WildCall {
    const char* name;
    BOOL (*call)(HDC dst, HDC src, const void* bits, const BITMAPINFO* info);
};

void PrintTo(const WildCall& c, std::ostream* os) { *os << c.name; }

class DcWildExtents : public SurfaceTest, public ::testing::WithParamInterface<WildCall> {};

TEST_P(DcWildExtents, LeaveTheSurfaceAlone)
{
    MemDC src(4, 4, kRed);
    const DWORD px[4] = {0, 0, 0, 0};
    const BITMAPINFO bi = Header(2, 2, 32);
    GetParam().call(m_hdc, src.dc, px, &bi);
    EXPECT_TRUE(Ink().isEmpty());
}

constexpr int kMin = INT_MIN;
constexpr int kMax = INT_MAX;

INSTANTIATE_TEST_SUITE_P(
    Blits, DcWildExtents,
    ::testing::Values(
        WildCall{"BitBltMinWidth", [](HDC d, HDC s, const void*, const BITMAPINFO*) {
                     return BitBlt(d, 0, 0, kMin, kMin, s, 0, 0, SRCCOPY);
                 }},
        WildCall{"BitBltFarOrigin", [](HDC d, HDC s, const void*, const BITMAPINFO*) {
                     return BitBlt(d, kMax - 1, kMax - 1, 8, 8, s, 0, 0, SRCCOPY);
                 }},
        WildCall{"BitBltFarSource", [](HDC d, HDC s, const void*, const BITMAPINFO*) {
                     return BitBlt(d, 0, 0, 8, 8, s, kMin, kMax, SRCCOPY);
                 }},
        WildCall{"StretchBltMinSource", [](HDC d, HDC s, const void*, const BITMAPINFO*) {
                     return StretchBlt(d, 0, 0, 8, 8, s, 0, 0, kMin, kMin, SRCCOPY);
                 }},
        WildCall{"StretchBltMaxDest", [](HDC d, HDC s, const void*, const BITMAPINFO*) {
                     return StretchBlt(d, 1, 1, kMax, kMax, s, 0, 0, 4, 4, SRCCOPY);
                 }},
        WildCall{"PatBltMinWidth", [](HDC d, HDC, const void*, const BITMAPINFO*) {
                     return PatBlt(d, 0, 0, kMin, kMin, BLACKNESS);
                 }},
        WildCall{"PatBltFarOrigin", [](HDC d, HDC, const void*, const BITMAPINFO*) {
                     return PatBlt(d, kMax, kMax, kMax, kMax, BLACKNESS);
                 }},
        WildCall{"StretchDIBitsMinWidth", [](HDC d, HDC, const void* b, const BITMAPINFO* i) {
                     return static_cast<BOOL>(
                         StretchDIBits(d, 0, 0, kMin, kMin, 0, 0, 2, 2, b, i, DIB_RGB_COLORS, SRCCOPY));
                 }},
        WildCall{"StretchDIBitsFarSource", [](HDC d, HDC, const void* b, const BITMAPINFO* i) {
                     return static_cast<BOOL>(
                         StretchDIBits(d, 0, 0, 8, 8, kMax, kMin, kMin, kMax, b, i, DIB_RGB_COLORS, SRCCOPY));
                 }},
        WildCall{"SetDIBitsToDeviceHugeSize", [](HDC d, HDC, const void* b, const BITMAPINFO* i) {
                     return static_cast<BOOL>(
                         SetDIBitsToDevice(d, kMax, 0, 0xFFFFFFFFu, 0x80000000u, kMin, kMax, 0, 2, b, i, DIB_RGB_COLORS));
                 }},
        WildCall{"FillRectSpanningEverything", [](HDC d, HDC, const void*, const BITMAPINFO*) {
                     const RECT rc{kMax, kMax, kMin, kMin};
                     SetViewportOrgEx(d, -100, -100, nullptr); // nothing of it lands on the surface
                     return static_cast<BOOL>(FillRect(d, &rc, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
                 }}),
    [](const ::testing::TestParamInfo<WildCall>& info) { return std::string(info.param.name); });

TEST(DcDibSection, WidthsWhoseRowsOverflowAreRefused)
{
    for (const int width : {0x7FFFFFFF, 0x40000000, 0x20000000}) {
        const BITMAPINFO bi = Header(width, 1, 32);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << width;
        EXPECT_EQ(bits, nullptr);
    }
    const BITMAPINFO minHeight = Header(1, INT_MIN, 32);
    EXPECT_EQ(CreateDIBSection(nullptr, &minHeight, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

} // namespace
