// Drawing the general bitmap on a memory DC, checked pixel by pixel.
#include "imagecore/tests/XImageTestSupport.h"
#include "platform/afx/DC.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using ximagetest::MakeSeen24;
using ximagetest::Rgb;
using ximagetest::Seen;
using ximagetest::operator==;

constexpr COLORREF kBack = RGB(100, 100, 100);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);

// A 16 x 16 memory DC filled with kBack.
class XImageDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dc = CreateCompatibleDC(nullptr);
        HDC screen = qlafx::CreateDisplayDC();
        m_bitmap = CreateCompatibleBitmap(screen, 16, 16);
        DeleteDC(screen);
        m_old = SelectObject(m_dc, m_bitmap);
        SetBkColor(m_dc, kBack);
        const RECT all{0, 0, 16, 16};
        ExtTextOut(m_dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    }
    void TearDown() override
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    COLORREF Px(int x, int y) const { return GetPixel(m_dc, x, y) & 0xFFFFFF; }

    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Seen as  red  key
//          green blue
void Quad(CxImage& img) { MakeSeen24(img, {{kRed, kKey}, {kGreen, kBlue}}); }

TEST_F(XImageDraw, StretchPutsTheTopRowAtTheTop)
{
    CxImage img;
    Quad(img);
    EXPECT_EQ(img.Stretch(m_dc, 2, 3, 4, 4), 1);
    EXPECT_EQ(Px(2, 3), kRed);
    EXPECT_EQ(Px(5, 3), kKey);
    EXPECT_EQ(Px(3, 6), kGreen);
    EXPECT_EQ(Px(5, 6), kBlue);
    EXPECT_EQ(Px(6, 3), kBack);
    EXPECT_EQ(Px(2, 7), kBack);
}

TEST_F(XImageDraw, Draw2LeavesTheDestinationWhereTheImageIsTransparent)
{
    CxImage img;
    Quad(img);
    img.SetTransIndex(0);
    img.SetTransColor(Rgb(255, 0, 255));
    EXPECT_EQ(img.Draw2(m_dc, 1, 1), 1); // own size
    EXPECT_EQ(Px(1, 1), kRed);
    EXPECT_EQ(Px(2, 1), kBack);
    EXPECT_EQ(Px(1, 2), kGreen);
    EXPECT_EQ(Px(2, 2), kBlue);
    EXPECT_EQ(Px(3, 1), kBack);
}

TEST_F(XImageDraw, Draw2OfAPaletteImageUsesTheTransparentIndex)
{
    CxImage img(2, 1, 1);
    img.SetPaletteIndex(0, 255, 255, 0);
    img.SetPaletteIndex(1, 0, 0, 255);
    img.SetPixelIndex(1, 0, 1);
    img.SetTransIndex(0);
    EXPECT_EQ(img.Draw2(m_dc, 0, 0, 4, 2), 1);
    EXPECT_EQ(Px(0, 0), kBack);
    EXPECT_EQ(Px(1, 1), kBack);
    EXPECT_EQ(Px(2, 0), kBlue);
    EXPECT_EQ(Px(3, 1), kBlue);
}

TEST_F(XImageDraw, DrawBlendsByAlphaOverWhatIsThere)
{
    CxImage img(3, 1, 24);
    for (LONG x = 0; x < 3; ++x)
        img.SetPixelColor(x, 0, RGB(200, 0, 100));
    img.AlphaCreate();
    img.AlphaSet(0, 0, 255);
    img.AlphaSet(1, 0, 128);
    img.AlphaSet(2, 0, 0);
    EXPECT_EQ(img.Draw(m_dc, 4, 4), 1);
    EXPECT_EQ(Px(4, 4), RGB(200, 0, 100));
    // a = 128 * 256 >> 8 = 128: (200 * 128 + 100 * 127) >> 8 = 149,
    // (0 + 100 * 127) >> 8 = 49, (100 * 128 + 100 * 127) >> 8 = 99.
    EXPECT_EQ(Px(5, 4), RGB(149, 49, 99));
    EXPECT_EQ(Px(6, 4), kBack); // fully transparent: untouched
    EXPECT_EQ(Px(7, 4), kBack);
}

TEST_F(XImageDraw, DrawSkipsTransparentAndUnselectedPixels)
{
    CxImage img;
    Quad(img);
    img.SetTransIndex(0);
    img.SetTransColor(Rgb(255, 0, 255));
    img.SelectionAddRect(RECT{0, 0, 1, 1}); // green, bottom left
    img.SelectionAddRect(RECT{1, 1, 2, 2}); // the key colour, top right
    EXPECT_EQ(img.Draw(m_dc, 0, 0, 4, 4), 1);
    EXPECT_EQ(Px(0, 0), kBack); // red: not selected
    EXPECT_EQ(Px(3, 0), kBack); // selected but transparent
    EXPECT_EQ(Px(1, 3), kGreen);
    EXPECT_EQ(Px(3, 3), kBack);
}

TEST_F(XImageDraw, DrawKeepsToTheClipRectangle)
{
    CxImage img;
    Quad(img);
    const RECT clip{0, 0, 3, 2};
    EXPECT_EQ(img.Draw(m_dc, 0, 0, 4, 4, &clip), 1);
    EXPECT_EQ(Px(2, 1), kKey);
    EXPECT_EQ(Px(3, 1), kBack);
    EXPECT_EQ(Px(0, 2), kBack);
    img.AlphaCreate();
    img.AlphaSet(255);
    const RECT clip2{0, 2, 1, 3};
    EXPECT_EQ(img.Draw(m_dc, 0, 0, 4, 4, &clip2), 1);
    EXPECT_EQ(Px(0, 2), kGreen);
    EXPECT_EQ(Px(1, 2), kBack);
}

TEST_F(XImageDraw, TileRepeatsInsideTheRectangleOnly)
{
    CxImage img;
    Quad(img);
    const RECT rc{1, 2, 6, 5};
    EXPECT_EQ(img.Tile(m_dc, &rc), 1);
    EXPECT_EQ(Px(1, 2), kRed);
    EXPECT_EQ(Px(3, 2), kRed);
    EXPECT_EQ(Px(5, 2), kRed);
    EXPECT_EQ(Px(4, 3), kBlue);
    EXPECT_EQ(Px(1, 4), kRed);
    EXPECT_EQ(Px(6, 2), kBack);
    EXPECT_EQ(Px(1, 5), kBack);
    EXPECT_EQ(Px(0, 2), kBack);
}

struct RefusedCase {
    const char* name;
    std::function<LONG(CxImage&, HDC)> draw;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class XImageDrawRefused : public XImageDraw, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(XImageDrawRefused, ReturnsZeroAndDrawsNothing)
{
    CxImage img;
    Quad(img);
    EXPECT_EQ(GetParam().draw(img, m_dc), 0);
    EXPECT_EQ(Px(0, 0), kBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XImageDrawRefused,
    ::testing::Values(
        RefusedCase{"NullDc", [](CxImage& i, HDC) { return i.Draw(nullptr, 0, 0); }},
        RefusedCase{"ZeroWidth", [](CxImage& i, HDC dc) { return i.Stretch(dc, 0, 0, 0, 2); }},
        RefusedCase{"ZeroHeight", [](CxImage& i, HDC dc) { return i.Draw2(dc, 0, 0, 2, 0); }},
        RefusedCase{"Disabled", [](CxImage& i, HDC dc) { i.Enable(false); return i.Draw(dc, 0, 0); }},
        RefusedCase{"Empty", [](CxImage& i, HDC dc) { i.Destroy(); return i.Draw(dc, 0, 0); }},
        RefusedCase{"EmptyTile", [](CxImage& i, HDC dc) { i.Destroy(); const RECT rc{0, 0, 4, 4}; return i.Tile(dc, &rc); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(XImageDraw, BitmapRoundTrip)
{
    CxImage img;
    MakeSeen24(img, {{kRed, kGreen, kBlue}, {kKey, kBack, RGB(1, 2, 3)}});
    HBITMAP bm = img.MakeBitmap();
    ASSERT_NE(bm, nullptr);
    HBITMAP bm2 = img.MakeBitmap(m_dc);
    ASSERT_NE(bm2, nullptr);
    CxImage back;
    ASSERT_TRUE(back.CreateFromHBITMAP(bm));
    EXPECT_EQ(back.GetWidth(), 3u);
    EXPECT_EQ(back.GetHeight(), 2u);
    for (LONG r = 0; r < 2; ++r)
        for (LONG c = 0; c < 3; ++c)
            EXPECT_EQ(Seen(back, c, r), Seen(img, c, r)) << c << "," << r;
    DeleteObject(bm);
    DeleteObject(bm2);
    EXPECT_FALSE(back.CreateFromHBITMAP(nullptr));
    EXPECT_EQ(back.GetWidth(), 3u);
}

TEST_F(XImageDraw, MonochromeBitmapsComeBackAsColours)
{
    const BYTE bits[2] = {0xA0, 0}; // white, black, white, black...
    HBITMAP bm = CreateBitmap(4, 1, 1, 1, bits);
    ASSERT_NE(bm, nullptr);
    CxImage img;
    ASSERT_TRUE(img.CreateFromHBITMAP(bm));
    DeleteObject(bm);
    EXPECT_EQ(img.GetWidth(), 4u);
    EXPECT_EQ(Seen(img, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(Seen(img, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Seen(img, 2, 0), RGB(255, 255, 255));
}

} // namespace
