#include "album/tools/CompactTypeset.h"

#include "album/shell/tests/ShelfTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace shelf;

namespace {

// A photo whose every column's green byte is its x (mod 256), blue 7.
void Ramp(CQLImage& photo, int w, int h)
{
    ASSERT_EQ(photo.Create(static_cast<UINT>(w), static_cast<UINT>(h)), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const DWORD p = 0xFF000000u | (static_cast<DWORD>(x & 0xFF) << 8) | 7u;
            std::memcpy(photo.GetBuffer(x, y), &p, 4);
        }
}

bool White(const CQLImage& image, int x, int y) { return image.GetPixel(x, y) == 0xFFFFFFFFu; }

} // namespace

TEST(CompactTypeset, ScaledSizes)
{
    const struct {
        int pw, ph, cw, ch;
        bool crop;
        int sw, sh;
    } cases[] = {
        {3000, 2000, 413, 295, true, 442, 295},  {3000, 2000, 413, 295, false, 413, 275},
        {2000, 3000, 295, 413, true, 295, 442},  {1000, 1000, 413, 295, true, 413, 413},
        {1000, 1000, 413, 295, false, 295, 295},
    };
    for (const auto& c : cases) {
        int sw = 0, sh = 0;
        TypesetScaledSize(c.pw, c.ph, c.cw, c.ch, c.crop, &sw, &sh);
        EXPECT_EQ(std::make_pair(sw, sh), std::make_pair(c.sw, c.sh)) << c.pw << "x" << c.ph << " " << c.crop;
    }
}

TEST(CompactTypeset, CropCutsTheSidesAndLeaveBlankBandsTopAndBottom)
{
    CQLImage photo, cell, turned;
    Ramp(photo, 3000, 2000);
    ASSERT_TRUE(MakeTypesetCell(photo, 0, false, cell, turned));
    UINT w = 0, h = 0;
    cell.GetSize(&w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(413u, 295u));
    for (int x : {0, 200, 412}) {
        EXPECT_TRUE(White(cell, x, 9) && !White(cell, x, 10)) << x;
        EXPECT_TRUE(!White(cell, x, 284) && White(cell, x, 285)) << x;
    }
    EXPECT_EQ(photo.GetAreaByteSize(), 0u) << "the photo is freed";
    turned.GetSize(&w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(295u, 413u));

    Ramp(photo, 3000, 2000);
    ASSERT_TRUE(MakeTypesetCell(photo, 0, true, cell, turned));
    for (int y : {0, 294})
        for (int x : {0, 412})
            EXPECT_FALSE(White(cell, x, y));
    // 442 columns cut to 413: 14 on the left, 15 on the right; the ramp
    // scaled by 442/3000 puts x = 14 at about photo column 95.
    const int green = static_cast<int>((cell.GetPixel(0, 100) >> 8) & 0xFF);
    EXPECT_NEAR(green, 14 * 3000 / 442, 4);
}

TEST(CompactTypeset, PortraitPhotoTurnsIntoTheLandscapePlaces)
{
    CQLImage photo, cell, turned, sheet;
    Ramp(photo, 2000, 3000);
    ASSERT_TRUE(MakeTypesetCell(photo, 0, true, cell, turned));
    UINT w = 0, h = 0;
    cell.GetSize(&w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(295u, 413u));
    ASSERT_TRUE(ComposeTypesetSheet(0, cell, turned, sheet));
    sheet.GetSize(&w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(1500u, 1050u));
    for (int y : {25, 375, 725})
        for (int x : {45, 545, 1045}) {
            EXPECT_EQ(sheet.GetPixel(x, y), turned.GetPixel(0, 0));
            EXPECT_EQ(sheet.GetPixel(x + 412, y + 294), turned.GetPixel(412, 294));
            EXPECT_TRUE(White(sheet, x - 1, y) && White(sheet, x + 413, y + 294));
        }
}

TEST(CompactTypeset, ModeThreeRowsMeetWithoutOverlap)
{
    CQLImage photo, cell, turned, sheet;
    Ramp(photo, 600, 400);
    ASSERT_TRUE(MakeTypesetCell(photo, 3, true, cell, turned));
    UINT w = 0, h = 0;
    turned.GetSize(&w, &h);
    ASSERT_EQ(std::make_pair(w, h), std::make_pair(413u, 600u));
    ASSERT_TRUE(ComposeTypesetSheet(3, cell, turned, sheet));
    for (int x : {20, 470, 920, 1370}) {
        EXPECT_EQ(sheet.GetPixel(x, 599), turned.GetPixel(0, 599)) << "upper row whole";
        EXPECT_EQ(sheet.GetPixel(x, 600), turned.GetPixel(0, 0));
        EXPECT_EQ(sheet.GetPixel(x, 1199), turned.GetPixel(0, 599));
    }
}

TEST(CompactTypeset, LayoutsAndPreview)
{
    const int counts[kTypesetLayouts] = {9, 11, 16, 8, 14, 19};
    for (int i = 0; i < kTypesetLayouts; ++i) {
        const TypesetLayout& layout = TypesetLayoutOf(i);
        EXPECT_EQ(static_cast<int>(layout.boxes.size()), counts[i]) << i;
        for (size_t a = 0; a < layout.boxes.size(); ++a) {
            const TypesetBox& p = layout.boxes[a];
            EXPECT_EQ(p.portrait, p.height > p.width);
            EXPECT_LE(p.x + p.width, layout.width) << i;
            EXPECT_LE(p.y + p.height, layout.height) << i;
            for (size_t b = a + 1; b < layout.boxes.size(); ++b) {
                const TypesetBox& q = layout.boxes[b];
                const bool apart = p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.height <= q.y ||
                                   q.y + q.height <= p.y;
                EXPECT_TRUE(apart) << "layout " << i << " boxes " << a << " and " << b;
            }
        }
    }
    const RECT sheet{0, 0, 150, 105};
    const std::vector<RECT> boxes = TypesetPreviewBoxes(0, sheet);
    ASSERT_EQ(boxes.size(), 9u);
    EXPECT_EQ(boxes[0].right - boxes[0].left, 41 - 2);
    EXPECT_EQ(boxes[0].left, 45 * 150 / 1500 + 1);
    const RECT fitted = TypesetPreviewSheet(2, 200, 200);
    EXPECT_EQ(fitted.right - fitted.left, 178);
    EXPECT_EQ(fitted.bottom - fitted.top, 178 * 1200 / 1800);
    EXPECT_EQ(fitted.left, 10);
}

TEST(CompactTypeset, SheetNamesNeverReplaceAFile)
{
    shelftest::ScratchFolder folder;
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    const std::string folderNoSlash = folder.Path().substr(0, folder.Path().size() - 1);
    EXPECT_EQ(TypesetSheetName(folderNoSlash, t, 3), folder.Path() + "2024-3-7-9-5-Fix-4R.jpg");
    EXPECT_EQ(TypesetSheetName(folder.Path(), t, 0), folder.Path() + "2024-3-7-9-5-Fix-3R.jpg");
    shelftest::WriteBytes(folder.Path() + "2024-3-7-9-5-Fix-4R.jpg", "x");
    EXPECT_EQ(TypesetSheetName(folder.Path(), t, 2), folder.Path() + "2024-3-7-9-5-2-Fix-4R.jpg");
}
