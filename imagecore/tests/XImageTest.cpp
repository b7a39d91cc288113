// Storage, attributes, palette, pixels and the alpha plane.
#include "imagecore/tests/XImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using ximagetest::Rgb;
using ximagetest::operator==;

struct CreateCase {
    DWORD width;
    DWORD bpp;
    WORD bppStored;
    DWORD colors;
    DWORD rowBytes;
};

class XImageCreate : public ::testing::TestWithParam<CreateCase> {};

TEST_P(XImageCreate, RaisesDepthAndPadsRowsToFourBytes)
{
    const CreateCase& c = GetParam();
    CxImage img;
    ASSERT_NE(img.Create(c.width, 2, c.bpp), nullptr);
    EXPECT_EQ(img.GetBpp(), c.bppStored);
    EXPECT_EQ(img.GetNumColors(), c.colors);
    EXPECT_EQ(img.GetEffWidth(), c.rowBytes);
    EXPECT_EQ(img.GetSize(), 40 + 4 * c.colors + 2 * c.rowBytes);
    EXPECT_EQ(img.IsIndexed(), c.colors != 0);
    EXPECT_EQ(img.GetPalette() != nullptr, c.colors != 0);
    // The DIB starts with the same header.
    BITMAPINFOHEADER head;
    std::memcpy(&head, img.GetDIB(), sizeof head);
    EXPECT_EQ(head.biBitCount, c.bppStored);
    EXPECT_EQ(head.biSizeImage, 2 * c.rowBytes);
    EXPECT_EQ(head.biClrUsed, c.colors);
}

INSTANTIATE_TEST_SUITE_P(Depths, XImageCreate,
                         ::testing::Values(CreateCase{3, 24, 24, 0, 12}, CreateCase{33, 1, 1, 2, 8},
                                           CreateCase{1, 0, 1, 2, 4}, CreateCase{9, 3, 4, 16, 8},
                                           CreateCase{5, 5, 8, 256, 8}, CreateCase{4, 16, 24, 0, 12},
                                           CreateCase{4, 32, 24, 0, 12}));

TEST(XImage, CreateRefusesSizesThatCannotBeADib)
{
    CxImage img(4, 4, 24);
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.Create(0, 5, 24), nullptr);
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.Create(0x40000000, 0x40000000, 24), nullptr);
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.GetSize(), 0u);
}

TEST(XImage, ResolutionStoresPixelsPerMetre)
{
    CxImage img(2, 2, 8);
    EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 2835); // 72 dpi at start
    img.SetXDPI(72);
    img.SetYDPI(300);
    EXPECT_EQ(img.GetXDPI(), 72);
    EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 2835);
    EXPECT_EQ(img.GetHeader().biYPelsPerMeter, 11811);
    BITMAPINFOHEADER head;
    std::memcpy(&head, img.GetDIB(), sizeof head);
    EXPECT_EQ(head.biYPelsPerMeter, 11811);
}

TEST(XImage, StartValues)
{
    CxImage img;
    EXPECT_STREQ(CxImage::GetVersion(), "CxImage 5.00");
    EXPECT_EQ(img.GetJpegQuality(), 75);
    EXPECT_EQ(img.GetTransIndex(), -1);
    EXPECT_FALSE(img.IsTransparent());
    EXPECT_EQ(img.AlphaGetMax(), 255);
    EXPECT_TRUE(img.IsEnabled());
    EXPECT_FALSE(img.IsValid());
}

TEST(XImage, OutsideTheImageReadsTheTransparentIndexAndColour)
{
    CxImage img(4, 4, 8);
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 0);
    img.SetTransIndex(5);
    img.SetPaletteIndex(5, 10, 20, 30);
    EXPECT_TRUE(img.IsTransparent());
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 5);
    EXPECT_EQ(img.GetPixelIndex(0, 4), 5);
    EXPECT_TRUE(img.GetPixelColor(4, 0) == Rgb(10, 20, 30));

    CxImage rgb(2, 2, 24);
    rgb.SetTransColor(Rgb(1, 2, 3));
    EXPECT_TRUE(rgb.GetPixelColor(-1, -1) == Rgb(1, 2, 3));
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 0);
}

// Index packing: 1 bit most significant first, 4 bits high nibble first.
TEST(XImage, PackedIndicesSitWhereDibReadersLookForThem)
{
    CxImage one(9, 1, 1);
    one.SetPixelIndex(0, 0, 1);
    one.SetPixelIndex(8, 0, 1);
    EXPECT_EQ(one.GetBits()[0], 0x80);
    EXPECT_EQ(one.GetBits()[1], 0x80);
    EXPECT_EQ(one.GetPixelIndex(8, 0), 1);
    EXPECT_EQ(one.GetPixelIndex(7, 0), 0);

    CxImage four(3, 1, 4);
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x3);
    four.SetPixelIndex(2, 0, 0xF);
    EXPECT_EQ(four.GetBits()[0], 0xA3);
    EXPECT_EQ(four.GetBits()[1], 0xF0);
    EXPECT_EQ(four.GetPixelIndex(1, 0), 3);

    CxImage rgb(2, 2, 24);
    rgb.SetPixelColor(1, 1, RGB(10, 20, 30));
    const BYTE* p = rgb.GetBits() + rgb.GetEffWidth() + 3;
    EXPECT_EQ(p[0], 30); // blue first
    EXPECT_EQ(p[2], 10);
    rgb.SetPixelIndex(0, 0, 9); // no palette: ignored
    EXPECT_TRUE(rgb.GetPixelColor(0, 0) == Rgb(0, 0, 0));
}

TEST(XImage, PaletteImagesTakeTheNearestEntry)
{
    CxImage img(2, 1, 4);
    img.SetPaletteIndex(0, 0, 0, 0);
    img.SetPaletteIndex(1, 100, 100, 100);
    img.SetPaletteIndex(2, 100, 100, 100);
    img.SetPaletteIndex(3, 200, 200, 200);
    for (BYTE i = 4; i < 16; ++i)
        img.SetPaletteIndex(i, 0, 0, 255);
    img.SetPixelColor(0, 0, RGB(110, 100, 95)); // distance 125 to entry 1, first of a tie
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    img.SetPixelColor(1, 0, RGB(200, 200, 200));
    EXPECT_EQ(img.GetPixelIndex(1, 0), 3);
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(200, 200, 200));
    EXPECT_EQ(img.GetNearestIndex(Rgb(150, 150, 150)), 1); // 50 from both 1 and 3
}

TEST(XImage, PaletteAccessIgnoresIndicesPastThePalette)
{
    CxImage img(1, 1, 1);
    img.SetPaletteIndex(5, RGB(1, 2, 3));
    EXPECT_TRUE(img.GetPaletteColor(5) == Rgb(0, 0, 0));
    img.SetPaletteIndex(1, RGB(1, 2, 3));
    EXPECT_TRUE(img.GetPaletteColor(1) == Rgb(1, 2, 3));
    BYTE r, g, b;
    EXPECT_TRUE(img.GetRGB(1, &r, &g, &b));
    EXPECT_EQ(g, 2);
    EXPECT_FALSE(img.GetRGB(2, &r, &g, &b));
    EXPECT_EQ(img.GetPaletteSize(), 8u);
}

TEST(XImage, SetPaletteFromSeparateArraysFillsMissingOnes)
{
    CxImage img(1, 1, 1);
    const BYTE red[2] = {10, 20};
    const BYTE green[2] = {30, 40};
    img.SetPalette(red, nullptr, nullptr, 2);
    EXPECT_TRUE(img.GetPaletteColor(1) == Rgb(20, 20, 20));
    img.SetPalette(red, green, nullptr, 2);
    EXPECT_TRUE(img.GetPaletteColor(0) == Rgb(10, 30, 30));
    const CxImage::rgb_color triplets[3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    img.SetPalette(triplets, 3); // only two entries fit
    EXPECT_TRUE(img.GetPaletteColor(1) == Rgb(4, 5, 6));
}

TEST(XImage, GreyPalettes)
{
    CxImage four(1, 1, 4);
    four.SetGrayPalette();
    EXPECT_TRUE(four.GetPaletteColor(1) == Rgb(17, 17, 17));
    EXPECT_TRUE(four.GetPaletteColor(15) == Rgb(255, 255, 255));
    EXPECT_FALSE(four.IsGrayScale()); // entry i must be (i, i, i)
    CxImage eight(1, 1, 8);
    eight.SetGrayPalette();
    EXPECT_TRUE(eight.IsGrayScale());
    eight.SetPaletteIndex(7, 7, 7, 8);
    EXPECT_FALSE(eight.IsGrayScale());
    CxImage rgb(1, 1, 24);
    EXPECT_FALSE(rgb.IsGrayScale());
}

TEST(XImage, BlendPaletteMixesByPercent)
{
    CxImage img(1, 1, 1);
    img.SetPaletteIndex(0, 100, 0, 40);
    img.BlendPalette(RGB(200, 100, 40), 25);
    EXPECT_TRUE(img.GetPaletteColor(0) == Rgb(125, 25, 40)); // (200*25 + 100*75) / 100
    img.BlendPalette(RGB(1, 2, 3), 150);                      // limited to 100
    EXPECT_TRUE(img.GetPaletteColor(0) == Rgb(1, 2, 3));
}

TEST(XImage, SwapIndexKeepsTheColoursSeen)
{
    CxImage img(3, 1, 8);
    img.SetPaletteIndex(1, 255, 0, 0);
    img.SetPaletteIndex(2, 0, 255, 0);
    img.SetPixelIndex(0, 0, 1);
    img.SetPixelIndex(1, 0, 2);
    img.SwapIndex(1, 2);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 2);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 0);
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(255, 0, 0));
}

TEST(XImage, StandardPalettes)
{
    CxImage four(1, 1, 4);
    four.SetStdPalette();
    EXPECT_TRUE(four.GetPaletteColor(1) == Rgb(128, 0, 0));
    EXPECT_TRUE(four.GetPaletteColor(7) == Rgb(192, 192, 192));
    EXPECT_TRUE(four.GetPaletteColor(8) == Rgb(128, 128, 128));
    EXPECT_TRUE(four.GetPaletteColor(12) == Rgb(0, 0, 255));
    EXPECT_TRUE(four.GetPaletteColor(15) == Rgb(255, 255, 255));
    CxImage eight(1, 1, 8);
    eight.SetStdPalette();
    EXPECT_TRUE(eight.GetPaletteColor(6) == Rgb(0, 128, 128));
    EXPECT_TRUE(eight.GetPaletteColor(8) == Rgb(192, 220, 192));
    EXPECT_TRUE(eight.GetPaletteColor(9) == Rgb(166, 202, 240));
    EXPECT_TRUE(eight.GetPaletteColor(255) == Rgb(255, 255, 255));
    CxImage one(1, 1, 1);
    one.SetPaletteIndex(1, 9, 9, 9);
    one.SetStdPalette(); // 1-bit: untouched
    EXPECT_TRUE(one.GetPaletteColor(1) == Rgb(9, 9, 9));
}

TEST(XImage, CompareColorsSortsByLuminance)
{
    const RGBQUAD dark = Rgb(0, 0, 255);   // 11 * 255 / 100 = 28
    const RGBQUAD light = Rgb(0, 255, 0);  // 59 * 255 / 100 = 150
    EXPECT_LT(CxImage::CompareColors(&dark, &light), 0);
    EXPECT_GT(CxImage::CompareColors(&light, &dark), 0);
    EXPECT_EQ(CxImage::CompareColors(&dark, &dark), 0);
}

TEST(XImage, CopiesAreDeepAndFollowTheirFlags)
{
    CxImage src(2, 2, 8);
    src.SetPaletteIndex(3, 1, 2, 3);
    src.SetPixelIndex(1, 1, 3);
    src.AlphaCreate();
    src.AlphaSet(0, 0, 77);
    src.SelectionAddRect(RECT{0, 1, 1, 0});
    src.SetJpegQuality(90);

    CxImage all(src);
    all.SetPixelIndex(1, 1, 4);
    all.AlphaSet(0, 0, 1);
    EXPECT_EQ(src.GetPixelIndex(1, 1), 3);
    EXPECT_EQ(src.AlphaGet(0, 0), 77);
    EXPECT_TRUE(all.HasSelection());
    EXPECT_EQ(all.GetJpegQuality(), 90);
    EXPECT_NE(all.GetBits(), src.GetBits());

    CxImage bare(src, false, false, false);
    EXPECT_EQ(bare.GetPixelIndex(1, 1), 0);
    EXPECT_TRUE(bare.GetPaletteColor(3) == Rgb(1, 2, 3));
    EXPECT_FALSE(bare.HasAlpha());
    EXPECT_FALSE(bare.HasSelection());

    CxImage assigned;
    assigned = src;
    EXPECT_EQ(assigned.GetPixelIndex(1, 1), 3);
    EXPECT_EQ(assigned.AlphaGet(0, 0), 77);
    assigned = assigned; // self-assignment keeps it
    EXPECT_EQ(assigned.GetPixelIndex(1, 1), 3);
}

TEST(XImage, TransferMovesAndGhostBorrows)
{
    CxImage a(3, 3, 24);
    a.AlphaCreate();
    void* dib = a.GetDIB();
    CxImage b;
    b.Transfer(a);
    EXPECT_FALSE(a.IsValid());
    EXPECT_FALSE(a.HasAlpha());
    EXPECT_EQ(b.GetDIB(), dib);
    EXPECT_TRUE(b.HasAlpha());
    {
        CxImage ghost;
        ghost.Ghost(&b);
        EXPECT_EQ(ghost.GetDIB(), dib);
        ghost.AlphaDelete(); // borrowed: not freed
    }
    EXPECT_TRUE(b.HasAlpha());
    b.AlphaSet(1, 1, 9); // still alive
    EXPECT_EQ(b.AlphaGet(1, 1), 9);
}

TEST(XImage, ColourTypeAndClear)
{
    CxImage img(2, 2, 8);
    EXPECT_EQ(img.GetColorType(), 1);
    img.AlphaCreate();
    EXPECT_EQ(img.GetColorType(), 4);
    CxImage rgb(2, 2, 24);
    EXPECT_EQ(rgb.GetColorType(), 2);
    rgb.Clear(0x55);
    EXPECT_TRUE(rgb.GetPixelColor(1, 1) == Rgb(0x55, 0x55, 0x55));
}

// --- Alpha ---

TEST(XImageAlpha, PlaneAccessAndCopy)
{
    CxImage img(3, 2, 24);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    ASSERT_TRUE(img.AlphaCreate());
    EXPECT_EQ(img.AlphaGet(2, 1), 0);
    img.AlphaSet(200);
    img.AlphaSet(2, 1, 10);
    img.AlphaSet(3, 1, 10); // outside: ignored
    EXPECT_EQ(img.AlphaGet(2, 1), 10);
    EXPECT_EQ(img.AlphaGet(-1, 0), 0);
    img.AlphaInvert();
    EXPECT_EQ(img.AlphaGet(2, 1), 245);
    EXPECT_EQ(img.AlphaGet(0, 0), 55);
    img.AlphaMirror();
    EXPECT_EQ(img.AlphaGet(0, 1), 245);
    img.AlphaFlip();
    EXPECT_EQ(img.AlphaGet(0, 0), 245);

    CxImage other(3, 2, 8);
    img.AlphaSetMax(100);
    EXPECT_TRUE(other.AlphaCopy(img));
    EXPECT_EQ(other.AlphaGet(0, 0), 245);
    EXPECT_EQ(other.AlphaGetMax(), 100);
    CxImage taller(3, 3, 8);
    EXPECT_FALSE(taller.AlphaCopy(img)); // would read past the source plane
    EXPECT_FALSE(taller.HasAlpha());

    CxImage split;
    ASSERT_TRUE(img.AlphaSplit(&split));
    EXPECT_EQ(split.GetBpp(), 8);
    EXPECT_EQ(split.GetPixelIndex(0, 0), 245);
    EXPECT_TRUE(split.GetPaletteColor(245) == Rgb(245, 245, 245));
    img.AlphaDelete();
    EXPECT_FALSE(img.HasAlpha());
}

TEST(XImageAlpha, StripBlendsOntoTheBackground)
{
    CxImage img(2, 1, 24);
    img.SetPixelColor(0, 0, RGB(200, 100, 0));
    img.SetPixelColor(1, 0, RGB(200, 100, 0));
    img.AlphaCreate();
    img.AlphaSet(0, 0, 128);
    img.AlphaSet(1, 0, 255);
    img.SetStripColor(Rgb(0, 0, 255));
    ASSERT_TRUE(img.AlphaStrip());
    EXPECT_FALSE(img.HasAlpha());
    // (background * 127 + colour * 128) / 255
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(100, 50, 127));
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(200, 100, 0));
    EXPECT_FALSE(img.AlphaStrip()); // nothing left to strip
}

TEST(XImageAlpha, StripOfAPaletteImageGives24BitsAndHonoursPaletteAlpha)
{
    CxImage img(1, 1, 8);
    img.SetPaletteIndex(0, 255, 255, 255, 51); // palette alpha 51 = 20 %
    img.AlphaPaletteEnable(true);
    EXPECT_TRUE(img.HasAlphaPalette());
    img.AlphaCreate();
    img.AlphaSet(255);
    img.AlphaSetMax(255);
    ASSERT_TRUE(img.AlphaStrip());
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(51, 51, 51)); // 255 * 51 / 255
    CxImage cleared(1, 1, 8);
    cleared.SetPaletteIndex(0, 1, 1, 1, 9);
    cleared.AlphaPaletteClear();
    EXPECT_FALSE(cleared.HasAlphaPalette());
}

} // namespace
