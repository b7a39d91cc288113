// GDI objects: what GetObject reports, regions, stock objects, handle
// safety and the MFC wrappers.
#include "platform/afx/DC.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <ostream>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

TEST(GdiObject, GetObjectDescribesPensBrushesAndFonts)
{
    HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);

    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(9, 8, 7));
    LOGBRUSH lb{};
    GetObject(hatch, sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, BS_HATCHED);
    EXPECT_EQ(lb.lbHatch, static_cast<std::uintptr_t>(HS_DIAGCROSS));
    EXPECT_EQ(lb.lbColor, RGB(9, 8, 7));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Tahoma"));
    LOGFONT lf{};
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -12) << "9 points at 96 dpi";
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    DeleteObject(pen);
    DeleteObject(hatch);
}

struct BitsCase {
    const char* name;
    UINT bpp;
    std::vector<BYTE> bits; // 3 x 2, rows padded to 16 bits
};

void PrintTo(const BitsCase& c, std::ostream* os) { *os << c.name; }

class GdiBitmapBits : public ::testing::TestWithParam<BitsCase> {};

TEST_P(GdiBitmapBits, RoundTripInTheDeviceLayout)
{
    const BitsCase& c = GetParam();
    HBITMAP bm = CreateBitmap(3, 2, 1, c.bpp, c.bits.data());
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    GetObject(bm, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, c.bpp);
    EXPECT_EQ(static_cast<std::size_t>(info.bmWidthBytes * info.bmHeight), c.bits.size());
    std::vector<BYTE> back(c.bits.size(), 0xEE);
    EXPECT_EQ(GetBitmapBits(bm, static_cast<LONG>(back.size()), back.data()), static_cast<LONG>(c.bits.size()));
    EXPECT_EQ(back, c.bits);
    DeleteObject(bm);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, GdiBitmapBits,
    ::testing::Values(BitsCase{"Mono", 1, {0xA0, 0x00, 0x60, 0x00}},
                      BitsCase{"Rgb24", 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
                      BitsCase{"Rgb32", 32, {1, 2, 3, 0xFF, 4, 5, 6, 0xFF, 7, 8, 9, 0xFF,
                                             9, 8, 7, 0xFF, 6, 5, 4, 0xFF, 3, 2, 1, 0xFF}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Regions ------------------------------------------------------------------

struct CombineCase {
    const char* name;
    int mode;
    int result;
    RECT box;
    bool in[4]; // (5,5) only in a, (15,15) in both, (25,25) only in b, (5,25) in neither
};

void PrintTo(const CombineCase& c, std::ostream* os) { *os << c.name; }

class GdiCombineRgn : public ::testing::TestWithParam<CombineCase> {};

TEST_P(GdiCombineRgn, CombinesTwoOverlappingRectangles)
{
    const CombineCase& c = GetParam();
    CRgn a, b, d;
    a.CreateRectRgn(0, 0, 20, 20);
    b.CreateRectRgn(10, 10, 30, 30);
    d.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(d.CombineRgn(&a, &b, c.mode), c.result);
    RECT box{};
    d.GetRgnBox(&box);
    EXPECT_EQ(box.left, c.box.left);
    EXPECT_EQ(box.top, c.box.top);
    EXPECT_EQ(box.right, c.box.right);
    EXPECT_EQ(box.bottom, c.box.bottom);
    const POINT probes[4] = {{5, 5}, {15, 15}, {25, 25}, {5, 25}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d.PtInRegion(probes[i]) != 0, c.in[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GdiCombineRgn,
    ::testing::Values(CombineCase{"And", RGN_AND, SIMPLEREGION, {10, 10, 20, 20}, {false, true, false, false}},
                      CombineCase{"Or", RGN_OR, COMPLEXREGION, {0, 0, 30, 30}, {true, true, true, false}},
                      CombineCase{"Xor", RGN_XOR, COMPLEXREGION, {0, 0, 30, 30}, {true, false, true, false}},
                      CombineCase{"Diff", RGN_DIFF, COMPLEXREGION, {0, 0, 20, 20}, {true, false, false, false}},
                      CombineCase{"Copy", RGN_COPY, SIMPLEREGION, {0, 0, 20, 20}, {true, true, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GdiRegion, ShapesOffsetAndEmptiness)
{
    CRgn ellipse;
    ellipse.CreateEllipticRgn(0, 0, 20, 10);
    EXPECT_TRUE(ellipse.PtInRegion(10, 5));
    EXPECT_FALSE(ellipse.PtInRegion(0, 0));
    RECT box{};
    ellipse.GetRgnBox(&box);
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, 20);
    EXPECT_EQ(ellipse.OffsetRgn(100, 50), COMPLEXREGION);
    EXPECT_TRUE(ellipse.PtInRegion(110, 55));

    const POINT tri[] = {{0, 0}, {10, 0}, {0, 10}};
    CRgn poly;
    poly.CreatePolygonRgn(tri, 3, ALTERNATE);
    EXPECT_TRUE(poly.PtInRegion(2, 2));
    EXPECT_FALSE(poly.PtInRegion(8, 8));

    CRgn round;
    round.CreateRoundRectRgn(0, 0, 20, 20, 10, 10);
    EXPECT_TRUE(round.PtInRegion(10, 0));
    EXPECT_FALSE(round.PtInRegion(0, 0));

    CRgn empty;
    empty.CreateRectRgn(5, 5, 5, 9);
    EXPECT_EQ(empty.GetRgnBox(&box), NULLREGION);
}

// --- Stock objects and handles -------------------------------------------------

TEST(GdiStock, StockObjectsAreFixedAndSurviveDeletion)
{
    struct {
        int id;
        COLORREF color;
    } brushes[] = {{WHITE_BRUSH, RGB(255, 255, 255)}, {BLACK_BRUSH, 0},
                   {LTGRAY_BRUSH, RGB(192, 192, 192)}, {GRAY_BRUSH, RGB(128, 128, 128)},
                   {DKGRAY_BRUSH, RGB(64, 64, 64)}};
    for (const auto& b : brushes) {
        LOGBRUSH lb{};
        ASSERT_GT(GetObject(GetStockObject(b.id), sizeof lb, &lb), 0) << b.id;
        EXPECT_EQ(lb.lbColor, b.color) << b.id;
    }
    LOGBRUSH lb{};
    GetObject(GetStockObject(NULL_BRUSH), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, BS_NULL);
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_PEN)), OBJ_PEN);
    for (int id : {DEFAULT_GUI_FONT, SYSTEM_FONT, ANSI_VAR_FONT})
        EXPECT_EQ(GetObjectType(GetStockObject(id)), OBJ_FONT) << id;
    EXPECT_EQ(qlafx::DefaultGuiFont(), GetStockObject(DEFAULT_GUI_FONT));
}

COLORREF RefOf(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

// System colours are the application palette's roles, and follow it when it
// changes; their brushes carry the same colour.
TEST(GdiStock, SystemColoursComeFromTheApplicationPalette)
{
    const QPalette saved = QGuiApplication::palette();
    const struct {
        int index;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    } cases[] = {{COLOR_BTNFACE, QPalette::Active, QPalette::Button},
                 {COLOR_WINDOW, QPalette::Active, QPalette::Base},
                 {COLOR_WINDOWTEXT, QPalette::Active, QPalette::Text},
                 {COLOR_HIGHLIGHT, QPalette::Active, QPalette::Highlight},
                 {COLOR_HIGHLIGHTTEXT, QPalette::Active, QPalette::HighlightedText},
                 {COLOR_GRAYTEXT, QPalette::Disabled, QPalette::Text},
                 {COLOR_BTNSHADOW, QPalette::Active, QPalette::Dark},
                 {COLOR_BTNHIGHLIGHT, QPalette::Active, QPalette::Light},
                 {COLOR_INFOBK, QPalette::Active, QPalette::ToolTipBase}};
    QPalette odd = saved;
    odd.setColor(QPalette::Button, QColor(10, 120, 30));
    odd.setColor(QPalette::Highlight, QColor(200, 20, 90));
    for (const QPalette& pal : {saved, odd}) {
        QGuiApplication::setPalette(pal);
        for (const auto& c : cases) {
            EXPECT_EQ(GetSysColor(c.index), RefOf(pal.color(c.group, c.role))) << c.index;
            LOGBRUSH lb{};
            GetObject(GetSysColorBrush(c.index), sizeof lb, &lb);
            EXPECT_EQ(lb.lbColor, GetSysColor(c.index)) << c.index;
        }
    }
    QGuiApplication::setPalette(saved);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_3DFACE));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

TEST(GdiHandle, StaleHandlesFailCleanly)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), 0u);
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(brush, sizeof lb, &lb), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    DeleteDC(dc);
}

TEST(GdiWrapper, OwnsItsObjectAndFindsItFromTheHandle)
{
    HPEN handle = nullptr;
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        handle = pen;
        EXPECT_EQ(CPen::FromHandle(handle), &pen);
        EXPECT_EQ(CGdiObject::FromHandle(handle), &pen);
    }
    EXPECT_EQ(GetObjectType(handle), 0u) << "deleted with the wrapper";

    HBRUSH raw = CreateSolidBrush(RGB(4, 5, 6));
    CBrush* temp = CBrush::FromHandle(raw);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(CBrush::FromHandle(raw), temp) << "one temporary wrapper per object";
    EXPECT_EQ(temp->m_hObject, raw);
    CBrush owner;
    owner.Attach(raw);
    EXPECT_EQ(CBrush::FromHandle(raw), &owner);
    EXPECT_EQ(owner.Detach(), raw);
    EXPECT_TRUE(DeleteObject(raw));

    // Deleting through the API leaves the wrapper empty, not dangling.
    CBrush brush(RGB(1, 1, 1));
    ::DeleteObject(brush.m_hObject);
    EXPECT_EQ(brush.m_hObject, nullptr);
}

TEST(GdiWrapper, CDCOwnsItsDCAndFromHandleFindsIt)
{
    HDC hdc = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        hdc = dc;
        EXPECT_EQ(CDC::FromHandle(hdc), &dc);
        CBitmap bm;
        bm.CreateBitmap(4, 4, 1, 32, nullptr);
        CBitmap* old = dc.SelectObject(&bm);
        ASSERT_NE(old, nullptr);
        dc.FillSolidRect(0, 0, 4, 4, RGB(9, 9, 9));
        EXPECT_EQ(dc.GetPixel(3, 3), RGB(9, 9, 9));
        dc.SelectObject(old);
    }
    EXPECT_EQ(CDC::FromHandle(hdc), nullptr);
}

TEST(GdiWrapper, CDCAttachedAgainLetsGoOfItsFirstDC)
{
    auto* dc = new CDC;
    ASSERT_TRUE(dc->CreateCompatibleDC(nullptr));
    HDC first = *dc;
    ASSERT_TRUE(dc->CreateCompatibleDC(nullptr));
    delete dc;
    // The first DC outlives the wrapper; its CDC must not be the freed one.
    CDC* wrapper = CDC::FromHandle(first);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->GetSafeHdc(), first);
    EXPECT_TRUE(DeleteDC(first));
}

} // namespace

namespace {

std::string Face(const LOGFONT& lf) { return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)); }

// Restores the application font a test changed.
struct AppFontGuard {
    QFont saved = QGuiApplication::font();
    ~AppFontGuard() { QGuiApplication::setFont(saved); }
};

} // namespace

// The GUI font is the application's font: it follows it when it changes,
// and text drawn in the GUI font is drawn in that font.
TEST(GdiStock, GuiFontFollowsTheApplicationFont)
{
    AppFontGuard guard;
    const struct {
        const char* family;
        int pixels;
        bool bold;
    } fonts[] = {{"Liberation Serif", 17, false}, {"DejaVu Sans", 12, true}};
    for (const auto& f : fonts) {
        QFont app(QString::fromLatin1(f.family));
        app.setPixelSize(f.pixels);
        app.setBold(f.bold);
        QGuiApplication::setFont(app);

        LOGFONT gui{};
        ASSERT_GT(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), 0);
        EXPECT_EQ(Face(gui), f.family);
        EXPECT_EQ(gui.lfHeight, -f.pixels);
        EXPECT_EQ(gui.lfWeight >= FW_BOLD, f.bold);
        EXPECT_EQ(qlafx::DefaultGuiFont(), GetStockObject(DEFAULT_GUI_FONT)) << "still the one stock object";
        const QFont drawn = qlafx::FontOf(qlafx::DefaultGuiFont());
        EXPECT_EQ(drawn.families().value(0), QString::fromLatin1(f.family));
        EXPECT_EQ(drawn.pixelSize(), f.pixels);

    }
}
