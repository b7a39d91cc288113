#include "editor/shell/ImagePrinter.h"

#include "album/shell/tests/ShelfTestSupport.h"
#include "album/tools/tests/PrintTestPhotos.h"

#include <gtest/gtest.h>

using printtest::Colour;
using printtest::Near;
using shelftest::ScratchFolder;

namespace {

constexpr DWORD kWhite = 0xFFFFFFFF;

// Landscape A4 at 300 dpi: 3510 x 2490 dots.
void LandscapeA4(CImagePrinter* printer) { printer->SetVirtualPage(300, 11.7, 8.3); }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

} // namespace

TEST(PrintEngine, VirtualPageCountsDots)
{
    CImagePrinter printer;
    LandscapeA4(&printer);
    EXPECT_EQ(printer.GetPageWidth(), 3510);
    EXPECT_EQ(printer.GetPageHeight(), 2490);
    EXPECT_EQ(printer.m_devMode.dmScale, 118);
    EXPECT_EQ(printer.InchesToUnits(6.0f), 1800);
    EXPECT_EQ(printer.GetPrinterDC(), nullptr);
    // Whole dots per centimetre make a virtual page's inches a little long.
    EXPECT_NEAR(printer.LengthToInches(1500), 5.005, 0.001);
}

TEST(PrintEngine, SlotsOfOnePrintSize)
{
    CImagePrinter printer;
    LandscapeA4(&printer);

    // 6 x 4 halves the page once; the cell is turned upright in the left half.
    int slot[2] = {};
    RECT cell{};
    EXPECT_EQ(printer.ComputeSlots(6.0f, 4.0f, slot, &cell), 2);
    EXPECT_EQ(slot[0], 1755);
    EXPECT_EQ(slot[1], 2490);
    EXPECT_LT(Width(cell), Height(cell));
    EXPECT_NEAR(Width(cell), 1200, 3);
    EXPECT_NEAR(Height(cell), 1800, 3);
    EXPECT_NEAR(cell.left + cell.right, 1755, 2);
    EXPECT_NEAR(cell.top + cell.bottom, 2490, 2);

    // Larger than the page: no fit, the whole page is the slot, the cell
    // rectangle stays as it was.
    int halvable = 1;
    EXPECT_EQ(printer.FitCell(3600, 1200, 0, 0, 3510, 2490, nullptr, &halvable), -1);
    EXPECT_EQ(halvable, 0);
    const RECT untouched{1, 2, 3, 4};
    cell = untouched;
    EXPECT_EQ(printer.ComputeSlots(12.0f, 4.0f, slot, &cell), 1);
    EXPECT_EQ(slot[0], 3510);
    EXPECT_EQ(slot[1], 2490);
    EXPECT_EQ(cell.left, untouched.left);
    EXPECT_EQ(cell.bottom, untouched.bottom);
}

TEST(PrintEngine, FitCellOrientsLikeTheRegion)
{
    CImagePrinter printer;
    LandscapeA4(&printer);
    const struct {
        RECT region;
        bool upright; // the cell's long side vertical
    } cases[] = {
        {{0, 0, 3000, 3000}, true}, // square counts as portrait
        {{0, 0, 3000, 2400}, false},
        {{0, 0, 2400, 3000}, true},
    };
    for (const auto& c : cases) {
        RECT cell{};
        int halvable = 0;
        const double share =
            printer.FitCell(1800, 1200, c.region.left, c.region.top, c.region.right, c.region.bottom, &cell, &halvable);
        EXPECT_GT(share, 0);
        EXPECT_EQ(Height(cell) > Width(cell), c.upright) << c.region.right << "x" << c.region.bottom;
    }
    // A cell that would still fit half the region gives its share, else 1.
    int halvable = 0;
    EXPECT_NEAR(printer.FitCell(1800, 1200, 0, 0, 3510, 2490, nullptr, &halvable), 24.0 / (11.7 * 8.3), 0.01);
    EXPECT_EQ(halvable, 1);
    EXPECT_EQ(printer.FitCell(1800, 1200, 0, 0, 1755, 2490, nullptr, &halvable), 1.0);
    EXPECT_EQ(halvable, 0);
}

TEST(PrintEngine, WholePhotoIsLetterboxed)
{
    CImagePrinter printer;
    printtest::Fill(&printer.m_photo, 400, 200, kWhite);
    const struct {
        RECT dest;
        RECT expected;
    } cases[] = {
        {{0, 0, 300, 100}, {-100, 0, 500, 200}}, // cell wider than the photo: bars left and right
        {{0, 0, 300, 200}, {0, -33, 400, 233}},  // cell taller: bars above and below
        {{0, 0, 100, 300}, {-100, 0, 500, 200}}, // portrait cell: computed turned
    };
    for (const auto& c : cases) {
        const RECT r = printer.FitWholePhoto(c.dest.left, c.dest.top, c.dest.right, c.dest.bottom);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

TEST(PrintEngine, CropToCellTurnsAndPadsWithWhite)
{
    CImagePrinter printer;
    CQLImage& photo = printer.m_photo;
    photo.Create(4, 2);
    auto at = [](int x, int y) { return 0xFF000000u | static_cast<DWORD>(y * 16 + x + 1); };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const DWORD v = at(x, y);
            std::memcpy(photo.GetBuffer(x, y), &v, 4);
        }

    // A landscape photo into a portrait cell: out (x, y) = photo (right - 1 - y, top + x).
    CQLImage out;
    ASSERT_TRUE(printer.CropToCell(&out, 0, 0, 10, 20, 0, 0, 1000, 1000));
    UINT w = 0, h = 0;
    out.GetSize(&w, &h);
    ASSERT_EQ(w, 2u);
    ASSERT_EQ(h, 4u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(out.GetPixel(x, y), at(3 - y, x)) << x << "," << y;

    // A crop reaching a quarter past both sides: white columns there.
    ASSERT_TRUE(printer.CropToCell(&out, 0, 0, 20, 10, -250, 0, 1250, 1000));
    out.GetSize(&w, &h);
    ASSERT_EQ(w, 6u);
    ASSERT_EQ(h, 2u);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(out.GetPixel(0, y), kWhite);
        EXPECT_EQ(out.GetPixel(5, y), kWhite);
        for (int x = 1; x < 5; ++x)
            EXPECT_EQ(out.GetPixel(x, y), at(x - 1, y));
    }

    // No crop into a square-ish landscape cell: white bars above and below.
    ASSERT_TRUE(printer.CropToCell(&out, 0, 0, 40, 30, 0, 0, 0, 0));
    out.GetSize(&w, &h);
    ASSERT_EQ(w, 4u);
    ASSERT_EQ(h, 3u);
    EXPECT_EQ(out.GetPixel(0, 2), kWhite);
    EXPECT_EQ(out.GetPixel(0, 0), at(0, 0));
}

TEST(PrintEngine, PrintCellReadsEachPathOnceAndClipsToThePage)
{
    ScratchFolder folder;
    const std::string red = folder.Path() + "red.jpg";
    const std::string upper = folder.Path() + "RED.jpg";
    ASSERT_TRUE(printtest::WritePhoto(red, 60, 40, Colour(220, 20, 20)));
    ASSERT_TRUE(printtest::WritePhoto(upper, 60, 40, Colour(20, 20, 220)));

    CImagePrinter printer;
    printer.SetVirtualPage(100, 4.0, 3.0); // 400 x 300 dots
    CQLImage page;
    printtest::Fill(&page, 400, 300, kWhite);
    auto print = [&](const std::string& path, RECT r) {
        return printer.PrintCell(path.c_str(), r.left, r.top, r.right, r.bottom, 0, 0, 0, 0, &page);
    };

    ASSERT_TRUE(print(red, {0, 0, 60, 40}));
    EXPECT_TRUE(Near(page.GetPixel(30, 20), Colour(220, 20, 20)));
    EXPECT_EQ(page.GetPixel(100, 100), kWhite);

    // The same path again is not read again: the file's new colour is not seen.
    ASSERT_TRUE(printtest::WritePhoto(red, 60, 40, Colour(20, 200, 20)));
    ASSERT_TRUE(print(red, {100, 0, 160, 40}));
    EXPECT_TRUE(Near(page.GetPixel(130, 20), Colour(220, 20, 20)));

    // A path differing only in case is another file.
    ASSERT_TRUE(print(upper, {200, 0, 260, 40}));
    EXPECT_TRUE(Near(page.GetPixel(230, 20), Colour(20, 20, 220)));

    // A cell past the page's corner is cut at the page's edges.
    ASSERT_TRUE(print(upper, {370, 280, 430, 320}));
    EXPECT_TRUE(Near(page.GetPixel(399, 299), Colour(20, 20, 220)));
    EXPECT_EQ(page.GetPixel(369, 279), kWhite);

    // A photo that cannot be read fails and keeps the loaded one.
    EXPECT_FALSE(print(folder.Path() + "missing.jpg", {0, 100, 60, 140}));
    EXPECT_STREQ(printer.m_lastPath, upper.c_str());
}

TEST(PrintEngine, ResizeForPrintMakesTheCellSize)
{
    CImagePrinter printer;
    printer.SetVirtualPage(300, 11.7, 8.3);
    CQLImage source, target;
    printtest::Fill(&source, 80, 60, Colour(10, 120, 240));
    for (int quality : {1, 0}) {
        printer.m_highQuality = quality;
        ASSERT_TRUE(printer.ResizeForPrint(&source, &target, 10, 10, 250, 190)) << quality;
        UINT w = 0, h = 0;
        target.GetSize(&w, &h);
        EXPECT_EQ(w, 240u);
        EXPECT_EQ(h, 180u);
        EXPECT_TRUE(Near(target.GetPixel(120, 90), Colour(10, 120, 240), 4));
    }
}
