// Picture resources from the test's own resource file.
#include "platform/afx/DC.h"
#include "platform/afx/Resources.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(1); }

// The colour of pixel (x, y) of a bitmap, read through a memory DC.
COLORREF BitmapPixel(HBITMAP bm, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

TEST(GdiResource, LoadBitmapById)
{
    HBITMAP bm = LoadBitmap(Instance(), MAKEINTRESOURCE(101));
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    GetObject(bm, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(BitmapPixel(bm, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(BitmapPixel(bm, 2, 0), RGB(0, 0, 255));
    EXPECT_EQ(BitmapPixel(bm, 3, 1), RGB(128, 128, 128));
    DeleteObject(bm);

    CBitmap cbm;
    ASSERT_TRUE(cbm.LoadBitmap(101));
    EXPECT_EQ(BitmapPixel(cbm, 1, 0), RGB(0, 255, 0));
}

TEST(GdiResource, LoadBitmapByNameAndMissingOnes)
{
    HBITMAP bm = LoadBitmap(Instance(), "STRIP");
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(BitmapPixel(bm, 1, 0), RGB(40, 50, 60));
    DeleteObject(bm);
    EXPECT_EQ(LoadBitmap(Instance(), MAKEINTRESOURCE(9999)), nullptr);
    EXPECT_TRUE(IS_INTRESOURCE(MAKEINTRESOURCE(101)));
    EXPECT_FALSE(IS_INTRESOURCE("STRIP"));
}

TEST(GdiResource, LoadImageAsDibSectionIsBottomUp24Bit)
{
    auto bm = static_cast<HBITMAP>(LoadImage(Instance(), MAKEINTRESOURCE(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bm, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(bm, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
    EXPECT_GT(ds.dsBmih.biHeight, 0);
    const auto* bits = static_cast<const BYTE*>(ds.dsBm.bmBits);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], 128) << "first row in memory: the grey bottom row";
    const BYTE* top = bits + ds.dsBm.bmWidthBytes;
    EXPECT_EQ(top[2], 255); // red, in B, G, R order
    EXPECT_EQ(top[0], 0);
    DeleteObject(bm);
}

TEST(GdiResource, LoadImageFromFileScaled)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pic.bmp"));
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(img.save(path));
    const QByteArray name = path.toUtf8();
    auto bm = static_cast<HBITMAP>(LoadImage(nullptr, name.constData(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE));
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    GetObject(bm, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 4);
    EXPECT_EQ(BitmapPixel(bm, 5, 3), RGB(10, 20, 30));
    DeleteObject(bm);
}

TEST(GdiResource, IconsDrawWithTheirAlpha)
{
    HICON icon = LoadIcon(Instance(), MAKEINTRESOURCE(201));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(Instance(), MAKEINTRESOURCE(201)), icon) << "shared";
    const QImage img = qlafx::IconImage(icon, nullptr);
    EXPECT_EQ(img.size(), QSize(8, 8));

    QImage surface(10, 10, QImage::Format_RGB32);
    surface.fill(Qt::white);
    HDC dc = qlafx::CreateSurfaceDC(&surface, nullptr);
    ASSERT_TRUE(DrawIconEx(dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
    qlafx::ReleaseSurfaceDC(dc);
    EXPECT_EQ(surface.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(6, 6), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(7, 7), qRgb(255, 255, 255));
    EXPECT_TRUE(DestroyIcon(icon)) << "destroying a shared icon does nothing";
    EXPECT_FALSE(qlafx::IconImage(icon, nullptr).isNull());
}

TEST(GdiResource, CursorsCarryTheirHotSpot)
{
    HCURSOR cursor = LoadCursor(Instance(), MAKEINTRESOURCE(301));
    ASSERT_NE(cursor, nullptr);
    POINT hot{};
    EXPECT_EQ(qlafx::IconImage(cursor, &hot).size(), QSize(16, 16));
    EXPECT_EQ(hot.x, 3);
    EXPECT_EQ(hot.y, 5);
    EXPECT_EQ(qlafx::SystemCursorId(cursor), 0);

    auto big = static_cast<HCURSOR>(LoadImage(Instance(), MAKEINTRESOURCE(301), IMAGE_CURSOR, 32, 32, 0));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(qlafx::IconImage(big, &hot).size(), QSize(32, 32));
    EXPECT_EQ(hot.x, 3);
    EXPECT_TRUE(DestroyCursor(big));
    EXPECT_FALSE(DestroyCursor(big)) << "an owned copy is gone after destruction";
}

TEST(GdiResource, SystemCursorsCarryTheirId)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
    EXPECT_EQ(qlafx::SystemCursorId(arrow), 32512);
    EXPECT_EQ(qlafx::SystemCursorId(LoadCursor(nullptr, IDC_CROSS)), 32515);
    EXPECT_TRUE(qlafx::IconImage(arrow, nullptr).isNull());
    EXPECT_EQ(qlafx::SystemIconId(LoadIcon(nullptr, IDI_APPLICATION)), 32512);
}

TEST(GdiResource, CopyImageScales)
{
    HBITMAP bm = LoadBitmap(Instance(), MAKEINTRESOURCE(101));
    auto copy = static_cast<HBITMAP>(CopyImage(bm, IMAGE_BITMAP, 8, 4, LR_COPYDELETEORG));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GetObjectType(bm), 0u);
    BITMAP info{};
    GetObject(copy, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 8);
    DeleteObject(copy);
}

} // namespace
