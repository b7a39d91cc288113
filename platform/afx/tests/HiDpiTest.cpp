// Window surfaces at the screen's device pixel ratio (QT_SCALE_FACTOR sets
// it; ctest runs this program at 1, 1.5 and 2): GDI works in logical units,
// lines keep the width of a logical pixel, text is drawn at device
// resolution, and a picture given a logical destination of its size in
// device pixels lands one picture pixel per device pixel.
#include "WndTestSupport.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

qreal Ratio()
{
    const char* f = std::getenv("QT_SCALE_FACTOR");
    return f ? std::atof(f) : 1.0;
}

int Px(int logical) { return static_cast<int>(std::floor(logical * Ratio())); }

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

class HiDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr));
        m_dc = ::GetDC(m_wnd.m_hWnd);
        ASSERT_NE(m_dc, nullptr);
        FillRect(m_dc, &kAll, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    void TearDown() override
    {
        ::ReleaseDC(m_wnd.m_hWnd, m_dc);
        m_wnd.DestroyWindow();
    }
    const QImage& Surface() { return *qlafx::SurfaceOfWindow(m_wnd.m_hWnd); }

    static constexpr RECT kAll{0, 0, 120, 80};
    CWnd m_wnd;
    HDC m_dc = nullptr;
};

TEST_F(HiDpi, TheSurfaceHasTheScreensRatioAndGdiStaysLogical)
{
    ASSERT_DOUBLE_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), Ratio()) << "QT_SCALE_FACTOR is honoured";
    const QImage& s = Surface();
    EXPECT_DOUBLE_EQ(s.devicePixelRatio(), Ratio());
    EXPECT_EQ(s.width(), static_cast<int>(std::lround(120 * Ratio())));
    EXPECT_EQ(s.height(), static_cast<int>(std::lround(80 * Ratio())));
    RECT client{};
    m_wnd.GetClientRect(&client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 80);

    // A logical rectangle covers its device pixels, no more.
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT box{10, 10, 30, 20};
    FillRect(m_dc, &box, red);
    DeleteObject(red);
    EXPECT_EQ(At(s, Px(10), Px(10)), 0xFF0000u);
    EXPECT_EQ(At(s, Px(30) - 1, Px(20) - 1), 0xFF0000u);
    EXPECT_EQ(At(s, Px(30), Px(15)), 0xFFFFFFu);
    EXPECT_EQ(At(s, Px(10) - 1, Px(15)), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(m_dc, 29, 19), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(m_dc, 30, 19), RGB(255, 255, 255));

    // A one-pixel line is as wide as a logical pixel.
    MoveToEx(m_dc, 0, 40, nullptr);
    LineTo(m_dc, 50, 40);
    for (int y = Px(40); y < Px(41); ++y)
        EXPECT_EQ(At(s, Px(20), y), 0u) << y;
    EXPECT_EQ(At(s, Px(20), Px(41)), 0xFFFFFFu);
    EXPECT_EQ(At(s, Px(20), Px(40) - 1), 0xFFFFFFu);
}

// A rubber band drawn twice with R2_NOTXORPEN leaves nothing behind.
TEST_F(HiDpi, XorBandsDrawnTwiceRestoreEveryDevicePixel)
{
    const QImage before = Surface().copy();
    SetROP2(m_dc, R2_NOTXORPEN);
    SelectObject(m_dc, GetStockObject(NULL_BRUSH));
    for (int i = 0; i < 2; ++i) {
        Rectangle(m_dc, 5, 7, 77, 51);
        const RECT focus{9, 11, 60, 40};
        DrawFocusRect(m_dc, &focus);
    }
    EXPECT_EQ(Surface(), before);
}

// Text is drawn at device resolution, not drawn small and enlarged: at a
// whole ratio some logical pixel of a glyph has device pixels of different
// values.
TEST_F(HiDpi, TextIsDrawnAtDeviceResolution)
{
    const int r = static_cast<int>(Ratio());
    if (r < 2 || r != Ratio())
        GTEST_SKIP() << "needs a whole ratio of 2 or more";
    HFONT font = CreateFont(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(m_dc, font);
    SetBkMode(m_dc, TRANSPARENT);
    TextOut(m_dc, 4, 4, "Ag/W", 4);
    SelectObject(m_dc, old);
    DeleteObject(font);
    const QImage& s = Surface();
    int mixed = 0, ink = 0;
    for (int y = 0; y + r <= s.height(); y += r)
        for (int x = 0; x + r <= s.width(); x += r) {
            bool differs = false, dark = false;
            for (int j = 0; j < r; ++j)
                for (int i = 0; i < r; ++i) {
                    differs |= At(s, x + i, y + j) != At(s, x, y);
                    dark |= At(s, x + i, y + j) != 0xFFFFFFu;
                }
            mixed += differs;
            ink += dark;
        }
    EXPECT_GT(ink, 20);
    EXPECT_GT(mixed, ink / 4) << "glyph edges fall inside logical pixels";
}

// A 12 x 6 picture whose logical destination is its size in device pixels
// (12 / ratio x 6 / ratio) is shown 1:1, through StretchDIBits and
// SetDIBitsToDevice; a picture given its own size in logical units fills
// that logical size.
TEST_F(HiDpi, PicturesMapTheirLogicalDestinationToDevicePixels)
{
    constexpr int kW = 12, kH = 6;
    std::vector<std::uint32_t> bits(kW * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            bits[y * kW + x] = 0xFF000000u | (static_cast<std::uint32_t>(x * 20) << 16) | (y * 40u << 8) | 0x55u;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kW;
    info.bmiHeader.biHeight = -kH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int lw = static_cast<int>(kW / Ratio()), lh = static_cast<int>(kH / Ratio());
    ASSERT_DOUBLE_EQ(lw * Ratio(), kW);
    ASSERT_DOUBLE_EQ(lh * Ratio(), kH);
    const QImage& s = Surface();
    auto expectOneToOne = [&](const char* how, int lx, int ly) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(At(s, Px(lx) + x, Px(ly) + y), bits[y * kW + x] & 0xFFFFFF) << how << " " << x << "," << y;
    };
    SetStretchBltMode(m_dc, HALFTONE);
    StretchDIBits(m_dc, 10, 10, lw, lh, 0, 0, kW, kH, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    expectOneToOne("StretchDIBits", 10, 10);
    SetStretchBltMode(m_dc, COLORONCOLOR);
    StretchDIBits(m_dc, 40, 10, lw, lh, 0, 0, kW, kH, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    expectOneToOne("StretchDIBits, nearest", 40, 10);

    // Its own size in logical units: the picture covers that logical area.
    SetDIBitsToDevice(m_dc, 10, 40, kW, kH, 0, 0, 0, kH, bits.data(), &info, DIB_RGB_COLORS);
    EXPECT_EQ(At(s, Px(10), Px(40)), bits[0] & 0xFFFFFF);
    EXPECT_EQ(At(s, Px(10 + kW) - 1, Px(40 + kH) - 1), bits[kH * kW - 1] & 0xFFFFFF);
    EXPECT_EQ(At(s, Px(10 + kW), Px(40)), 0xFFFFFFu);
}

// A double buffer made compatible with the window has the window's device
// pixels: text drawn there and blitted back is what drawing on the window
// gives, device pixel for device pixel. The bitmap reports its logical size.
TEST_F(HiDpi, CompatibleBufferKeepsTheWindowsDevicePixels)
{
    HFONT font = CreateFont(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    auto draw = [&](HDC dc, int x, int y) {
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        TextOut(dc, x, y, "Ag/W", 4);
        SelectObject(dc, old);
    };
    constexpr int kBw = 60, kBh = 30;
    draw(m_dc, 4, 4);
    HDC mem = CreateCompatibleDC(m_dc);
    HBITMAP bm = CreateCompatibleBitmap(m_dc, kBw, kBh);
    HGDIOBJ oldBm = SelectObject(mem, bm);
    const RECT all{0, 0, kBw, kBh};
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(mem, 0, 0);
    BitBlt(m_dc, 4, 44, kBw, kBh, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBm);
    DeleteDC(mem);
    DeleteObject(font);

    BITMAP info{};
    ASSERT_EQ(GetObject(bm, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, kBw);
    EXPECT_EQ(info.bmHeight, kBh);
    std::vector<std::uint32_t> bits(kBw * kBh + 8);
    EXPECT_EQ(GetBitmapBits(bm, static_cast<LONG>(bits.size() * 4), bits.data()), kBw * kBh * 4);
    EXPECT_EQ(bits[0] & 0xFFFFFF, 0xFFFFFFu);
    DeleteObject(bm);

    const QImage& s = Surface();
    int ink = 0;
    for (int y = 0; y < Px(kBh); ++y)
        for (int x = 0; x < Px(kBw); ++x) {
            ink += At(s, Px(4) + x, Px(4) + y) != 0xFFFFFFu;
            ASSERT_EQ(At(s, Px(4) + x, Px(44) + y), At(s, Px(4) + x, Px(4) + y)) << x << "," << y;
        }
    EXPECT_GT(ink, 20);
}

// A DIB section stays one pixel per logical unit, even in a DC made
// compatible with the window: its bits are the pixels drawn.
TEST_F(HiDpi, DibSectionsStayAtOnePixelPerUnit)
{
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 8, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* raw = nullptr;
    HBITMAP dib = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    for (HDC source : {m_dc, static_cast<HDC>(nullptr)}) {
        HDC mem = CreateCompatibleDC(source);
        HGDIOBJ old = SelectObject(mem, dib);
        SetPixel(mem, 3, 2, RGB(1, 2, 3));
        EXPECT_EQ(static_cast<const std::uint32_t*>(raw)[2 * 8 + 3] & 0xFFFFFF, 0x010203u);
        EXPECT_EQ(GetPixel(mem, 3, 2), RGB(1, 2, 3));
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    DeleteObject(dib);
}

// What the window shows on screen is its surface, device pixel for device pixel.
TEST_F(HiDpi, TheScreenShowsTheSurfaceUnscaled)
{
    m_wnd.ShowWindow(SW_SHOWNA);
    qlafx::ProcessPendingEvents();
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    const RECT box{3, 3, 4, 4};
    FillRect(m_dc, &box, blue);
    DeleteObject(blue);
    const QImage shown = qlafx::WidgetOf(m_wnd.m_hWnd)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), Surface().size());
    EXPECT_EQ(At(shown, Px(3), Px(3)), 0x0000FFu);
    EXPECT_EQ(At(shown, Px(4), Px(3)), 0xFFFFFFu);
    EXPECT_EQ(At(shown, Px(3) - 1, Px(3)), 0xFFFFFFu);
}

}  // namespace
