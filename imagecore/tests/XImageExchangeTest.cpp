// CF_DIB global memory blocks: round trips, packed pixels and hostile blocks.
#include "imagecore/tests/XImageTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using ximagetest::MakeSeen24;
using ximagetest::Rgb;
using ximagetest::Seen;
using ximagetest::operator==;

// A block holding exactly these bytes.
HGLOBAL BlockOf(const std::vector<BYTE>& bytes)
{
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

BITMAPINFOHEADER Header(LONG w, LONG h, WORD bpp, DWORD compression = 0)
{
    return BITMAPINFOHEADER{40, w, h, 1, bpp, compression, 0, 3780, 3780, 0, 0};
}

// Header, then the rest.
std::vector<BYTE> Dib(const BITMAPINFOHEADER& head, const std::vector<BYTE>& rest)
{
    std::vector<BYTE> bytes(sizeof head);
    std::memcpy(bytes.data(), &head, sizeof head);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

bool Load(CxImage& img, const std::vector<BYTE>& bytes)
{
    HGLOBAL h = BlockOf(bytes);
    const bool ok = img.CreateFromHANDLE(h);
    GlobalFree(h);
    return ok;
}

TEST(XImageExchange, RoundTripThroughAHandle)
{
    CxImage src(3, 2, 8);
    src.SetPaletteIndex(4, 10, 20, 30);
    src.SetPixelIndex(2, 1, 4);
    src.SetXDPI(96);
    HGLOBAL h = src.CopyToHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), src.GetSize());
    CxImage dst;
    ASSERT_TRUE(dst.CreateFromHANDLE(h));
    GlobalFree(h);
    EXPECT_EQ(dst.GetBpp(), 8);
    EXPECT_EQ(dst.GetPixelIndex(2, 1), 4);
    EXPECT_TRUE(dst.GetPaletteColor(4) == Rgb(10, 20, 30));
    EXPECT_EQ(dst.GetXDPI(), 96); // 3780 * 0.0254 = 96.01
    EXPECT_EQ(dst.GetYDPI(), 72);

    CxImage empty;
    EXPECT_EQ(empty.CopyToHandle(), nullptr);
}

TEST(XImageExchange, TopDownRowsAreTurnedBottomUp)
{
    // Two rows of one 24-bit pixel, padded to 4 bytes; the first is the top.
    const std::vector<BYTE> bytes = Dib(Header(1, -2, 24), {0, 0, 255, 0, 255, 0, 0, 0});
    CxImage img;
    ASSERT_TRUE(Load(img, bytes));
    EXPECT_EQ(img.GetHeight(), 2u);
    EXPECT_EQ(Seen(img, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Seen(img, 0, 1), RGB(0, 0, 255));
}

TEST(XImageExchange, SixteenBitPixelsUnpackByTheirMasks)
{
    // 5-6-5 masks after the header; pixels red, green, blue, padded to 8 bytes.
    std::vector<BYTE> rest = {0x00, 0xF8, 0x00, 0x00, 0xE0, 0x07, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00};
    const std::vector<BYTE> pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x00, 0x00};
    rest.insert(rest.end(), pixels.begin(), pixels.end());
    CxImage img;
    ASSERT_TRUE(Load(img, Dib(Header(3, 1, 16, 3), rest)));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(248, 0, 0));
    EXPECT_TRUE(img.GetPixelColor(1, 0) == Rgb(0, 252, 0));
    EXPECT_TRUE(img.GetPixelColor(2, 0) == Rgb(0, 0, 248));

    // Without masks 16 bits are 5-5-5.
    CxImage plain;
    ASSERT_TRUE(Load(plain, Dib(Header(1, 1, 16), {0x00, 0x7C, 0, 0})));
    EXPECT_TRUE(plain.GetPixelColor(0, 0) == Rgb(248, 0, 0));
}

TEST(XImageExchange, ThirtyTwoBitPixels)
{
    CxImage img;
    ASSERT_TRUE(Load(img, Dib(Header(1, 1, 32), {30, 20, 10, 99})));
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(10, 20, 30));
    // Masks that put red in the low byte are honoured too.
    ASSERT_TRUE(Load(img, Dib(Header(1, 1, 32, 3), {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 30, 20, 10, 99})));
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(30, 20, 10));
}

TEST(XImageExchange, ColourTableBesideTrueColourIsSkipped)
{
    BITMAPINFOHEADER h = Header(1, 1, 24);
    h.biClrUsed = 2;
    CxImage img;
    ASSERT_TRUE(Load(img, Dib(h, {9, 9, 9, 0, 9, 9, 9, 0, 30, 20, 10, 0})));
    EXPECT_TRUE(img.GetPixelColor(0, 0) == Rgb(10, 20, 30));
    EXPECT_FALSE(img.IsIndexed());
}

struct HostileCase {
    const char* name;
    std::function<std::vector<BYTE>()> bytes;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

// A valid 2 x 2 8-bit block with a 4-entry palette: 40 + 16 + 8 bytes.
std::vector<BYTE> Good8()
{
    BITMAPINFOHEADER h = Header(2, 2, 8);
    h.biClrUsed = 4;
    return Dib(h, std::vector<BYTE>(16 + 8, 1));
}

std::vector<BYTE> Patched(std::function<void(BITMAPINFOHEADER&)> change, std::size_t cut = 0)
{
    std::vector<BYTE> bytes = Good8();
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes.data(), sizeof h);
    change(h);
    std::memcpy(bytes.data(), &h, sizeof h);
    bytes.resize(bytes.size() - cut);
    return bytes;
}

class XImageHostileBlock : public ::testing::TestWithParam<HostileCase> {};

TEST_P(XImageHostileBlock, IsRefusedAndTheImageKept)
{
    CxImage img;
    MakeSeen24(img, {{RGB(1, 2, 3)}});
    EXPECT_FALSE(Load(img, GetParam().bytes()));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(Seen(img, 0, 0), RGB(1, 2, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, XImageHostileBlock,
    ::testing::Values(
        HostileCase{"ShorterThanAHeader", [] { return std::vector<BYTE>(39, 0); }},
        HostileCase{"HeaderSizeZero", [] { return Patched([](auto& h) { h.biSize = 0; }); }},
        HostileCase{"HeaderSizePastTheBlock", [] { return Patched([](auto& h) { h.biSize = 1000; }); }},
        HostileCase{"WidthZero", [] { return Patched([](auto& h) { h.biWidth = 0; }); }},
        HostileCase{"WidthNegative", [] { return Patched([](auto& h) { h.biWidth = -2; }); }},
        HostileCase{"HeightZero", [] { return Patched([](auto& h) { h.biHeight = 0; }); }},
        HostileCase{"HeightMinimum", [] { return Patched([](auto& h) { h.biHeight = INT_MIN; }); }},
        HostileCase{"OddDepth", [] { return Patched([](auto& h) { h.biBitCount = 7; }); }},
        HostileCase{"Planes", [] { return Patched([](auto& h) { h.biPlanes = 3; }); }},
        HostileCase{"RunLengthCoded", [] { return Patched([](auto& h) { h.biCompression = 1; }); }},
        HostileCase{"PaletteTooLarge", [] { return Patched([](auto& h) { h.biClrUsed = 300; }); }},
        HostileCase{"PixelsCutShort", [] { return Patched([](auto&) {}, 1); }},
        HostileCase{"PaletteCutShort", [] { return Patched([](auto& h) { h.biClrUsed = 0; }); }},
        HostileCase{"HugeWidth", [] { return Patched([](auto& h) { h.biWidth = 0x7FFFFFFF; }); }},
        HostileCase{"HugeSize", [] { return Patched([](auto& h) { h.biWidth = 0x10000; h.biHeight = 0x10000; }); }},
        HostileCase{"MasksCutOff",
                    [] { return Dib(Header(1, 1, 16, 3), {0, 0xF8, 0, 0}); }},
        HostileCase{"BitFieldsOnEightBits", [] { return Patched([](auto& h) { h.biCompression = 3; }); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XImageExchange, DeadHandleIsRefused)
{
    CxImage img;
    EXPECT_FALSE(img.CreateFromHANDLE(nullptr));
    HGLOBAL h = BlockOf(Good8());
    GlobalFree(h);
    EXPECT_FALSE(img.CreateFromHANDLE(h));
}

} // namespace
