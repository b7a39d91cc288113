// Image lists: cutting a strip into images, masks from a colour or a mask
// bitmap, and drawing checked pixel by pixel.
#include "CommonControlTestSupport.h"

#include <cstdint>
#include <vector>

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);

std::uint32_t Px(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// An 8 x 4 strip of two 4 x 4 images: image 0 has its left two columns
// magenta and the rest red; image 1 is blue with a magenta top-left pixel.
HBITMAP MakeStrip()
{
    std::vector<std::uint32_t> bits(8 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            COLORREF c = x < 4 ? (x < 2 ? kMagenta : kRed) : kBlue;
            if (x == 4 && y == 0)
                c = kMagenta;
            bits[static_cast<size_t>(y * 8 + x)] = Px(c);
        }
    return CreateBitmap(8, 4, 1, 32, bits.data());
}

// The mask of the same strip: white where magenta.
HBITMAP MakeMask()
{
    std::vector<std::uint32_t> bits(8 * 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x < 2) || (x == 4 && y == 0))
                bits[static_cast<size_t>(y * 8 + x)] = 0xFFFFFF;
    return CreateBitmap(8, 4, 1, 32, bits.data());
}

// A 12 x 6 white canvas with image 0 drawn at (1, 1) and image 1 at (6, 1).
class Canvas {
public:
    Canvas()
    {
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateBitmap(12, 6, 1, 32, nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        RECT rc{0, 0, 12, 6};
        HBRUSH white = CreateSolidBrush(kWhite);
        FillRect(m_dc, &rc, white);
        DeleteObject(white);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    void Draw(CImageList& list, UINT style)
    {
        DrawAt(list, 0, 1, 1, style);
        DrawAt(list, 1, 6, 1, style);
    }
    void DrawAt(CImageList& list, int index, int x, int y, UINT style)
    {
        EXPECT_TRUE(list.Draw(CDC::FromHandle(m_dc), index, POINT{x, y}, style));
    }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y) & 0xFFFFFF; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

struct DrawCase {
    const char* name;
    UINT flags;        // ILC_*
    bool maskBitmap;   // Add with a mask bitmap instead of a mask colour
    COLORREF bk;       // ImageList_SetBkColor (CLR_NONE: none)
    UINT style;        // ILD_*
    COLORREF clear;    // what a transparent pixel shows
};

class ImageListDraw : public ::testing::TestWithParam<DrawCase> {};

TEST_P(ImageListDraw, TransparentPixelsShowWhatTheListSays)
{
    const DrawCase& c = GetParam();
    CImageList list;
    ASSERT_TRUE(list.Create(4, 4, c.flags, 0, 4));
    CBitmap strip, mask;
    strip.Attach(MakeStrip());
    mask.Attach(MakeMask());
    EXPECT_EQ(c.maskBitmap ? list.Add(&strip, &mask) : list.Add(&strip, kMagenta), 0);
    EXPECT_EQ(list.GetImageCount(), 2);
    list.SetBkColor(c.bk);
    Canvas canvas;
    canvas.Draw(list, c.style);
    // Image 0 at (1, 1): columns 1-2 transparent, 3-4 red; image 1 at (6, 1).
    EXPECT_EQ(canvas.At(1, 1), c.clear) << c.name;
    EXPECT_EQ(canvas.At(2, 4), c.clear) << c.name;
    EXPECT_EQ(canvas.At(3, 1), kRed) << c.name;
    EXPECT_EQ(canvas.At(4, 4), kRed) << c.name;
    EXPECT_EQ(canvas.At(6, 1), c.clear) << c.name;
    EXPECT_EQ(canvas.At(7, 1), kBlue) << c.name;
    EXPECT_EQ(canvas.At(6, 2), kBlue) << c.name;
    EXPECT_EQ(canvas.At(0, 0), kWhite) << c.name << ": nothing outside the cells";
    EXPECT_EQ(canvas.At(5, 1), kWhite) << c.name;
    EXPECT_EQ(canvas.At(10, 1), kWhite) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageListDraw,
    ::testing::Values(DrawCase{"mask_colour", ILC_COLOR24 | ILC_MASK, false, CLR_NONE, ILD_NORMAL, kWhite},
                      DrawCase{"mask_bitmap", ILC_COLOR24 | ILC_MASK, true, CLR_NONE, ILD_TRANSPARENT, kWhite},
                      DrawCase{"no_mask_copies_all", ILC_COLOR24, false, CLR_NONE, ILD_NORMAL, kMagenta},
                      DrawCase{"background_colour", ILC_COLOR24 | ILC_MASK, false, RGB(0, 250, 250), ILD_NORMAL,
                               RGB(0, 250, 250)},
                      DrawCase{"transparent_over_background", ILC_COLOR24 | ILC_MASK, false, RGB(0, 250, 250),
                               ILD_TRANSPARENT, kWhite}),
    [](const auto& info) { return std::string(info.param.name); });

// Bitmap resource 101 (4 x 2): red, green, blue, silver over a grey row;
// icon 201: 8 x 8, a red square inside a transparent border.
TEST(ImageList, FromBitmapResourceAndIcon)
{
    CImageList strip;
    ASSERT_TRUE(strip.Create(101, 2, 0, RGB(0, 255, 0)));
    EXPECT_EQ(strip.GetImageCount(), 2);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(strip, &cx, &cy));
    EXPECT_EQ(cx, 2);
    EXPECT_EQ(cy, 2) << "as high as the bitmap";
    Canvas canvas;
    canvas.Draw(strip, ILD_NORMAL);
    EXPECT_EQ(canvas.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(2, 1), kWhite) << "the mask colour";
    EXPECT_EQ(canvas.At(1, 2), RGB(128, 128, 128));
    EXPECT_EQ(canvas.At(6, 1), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(7, 1), RGB(192, 192, 192));
    CImageList missing;
    EXPECT_FALSE(missing.Create(999, 2, 0, RGB(0, 255, 0)));

    CImageList icons;
    ASSERT_TRUE(icons.Create(8, 8, ILC_COLOR32 | ILC_MASK, 0, 1));
    EXPECT_EQ(icons.Add(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(201))), 0);
    Canvas second;
    second.DrawAt(icons, 0, 0, 0, ILD_NORMAL);
    EXPECT_EQ(second.At(1, 1), kWhite);
    EXPECT_EQ(second.At(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(second.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(second.At(6, 5), kWhite);
}

TEST(ImageList, CountsRemovesAndRefusesBadInput)
{
    CImageList list;
    ASSERT_TRUE(list.Create(4, 4, ILC_COLOR24 | ILC_MASK, 0, 4));
    CBitmap strip, narrow;
    strip.Attach(MakeStrip());
    EXPECT_EQ(list.Add(&strip, kMagenta), 0);
    EXPECT_EQ(list.Add(&strip, kMagenta), 2) << "the index of the first image added";
    EXPECT_EQ(list.GetImageCount(), 4);
    // Narrower than one image: nothing to add.
    narrow.Attach(CreateBitmap(3, 4, 1, 32, nullptr));
    EXPECT_EQ(list.Add(&narrow, kMagenta), -1);
    EXPECT_EQ(list.Add(static_cast<CBitmap*>(nullptr), kMagenta), -1);
    EXPECT_TRUE(list.Remove(0));
    EXPECT_EQ(list.GetImageCount(), 3);
    EXPECT_FALSE(list.Remove(3));
    Canvas canvas;
    EXPECT_FALSE(list.Draw(CDC::FromHandle(nullptr), 0, POINT{0, 0}, ILD_NORMAL));
    const HIMAGELIST handle = list.Detach();
    EXPECT_EQ(ImageList_GetImageCount(handle), 3);
    EXPECT_TRUE(ImageList_Destroy(handle));
    EXPECT_EQ(ImageList_GetImageCount(handle), 0) << "a destroyed list answers nothing";
    EXPECT_FALSE(ImageList_Destroy(handle));
    EXPECT_EQ(ImageList_Create(0, 4, ILC_COLOR24, 0, 0), nullptr);
}

}  // namespace
