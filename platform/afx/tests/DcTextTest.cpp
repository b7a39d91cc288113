// Text: placement by DrawText's flags, prefixes, ellipses, metrics, fonts
// and drawing on worker threads.
#include "platform/afx/tests/GdiTestSupport.h"

#include <ostream>

#include <QFontInfo>

#include <algorithm>
#include <cstring>
#include <thread>

namespace {

using gditest::SurfaceTest;

using gditest::kWhite;
using gditest::kBlack;
using gditest::kRed;

class DcText : public SurfaceTest {
protected:
    void SetUp() override
    {
        Reset(200, 100);
        m_font = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        SelectObject(m_hdc, m_font);
        SetBkMode(m_hdc, TRANSPARENT);
    }
    void TearDown() override
    {
        SelectObject(m_hdc, GetStockObject(SYSTEM_FONT));
        DeleteObject(m_font);
        SurfaceTest::TearDown();
    }
    void Clear() { m_surface.fill(Qt::white); }
    SIZE Extent(const char* s)
    {
        SIZE sz{};
        GetTextExtentPoint32(m_hdc, s, static_cast<int>(std::strlen(s)), &sz);
        return sz;
    }
    QRect DrawInk(const char* s, RECT rc, UINT flags)
    {
        Clear();
        DrawText(m_hdc, s, -1, &rc, flags);
        return Ink();
    }

    HFONT m_font = nullptr;
};

struct Placement {
    const char* name;
    UINT flags;
};

void PrintTo(const Placement& c, std::ostream* os) { *os << c.name; }

class DcTextPlacement : public DcText, public ::testing::WithParamInterface<Placement> {};

// The ink's offset inside the text cell is the same wherever the cell goes,
// so each placement is checked against the top-left one.
TEST_P(DcTextPlacement, PutsTheTextCellWhereTheFlagsSay)
{
    const RECT rc{20, 10, 180, 90};
    const char* text = "Hxg";
    const QRect ref = DrawInk(text, rc, DT_SINGLELINE | DT_LEFT | DT_TOP);
    ASSERT_FALSE(ref.isEmpty());
    const SIZE ext = Extent(text);
    const UINT flags = GetParam().flags;
    int x = rc.left;
    if (flags & DT_CENTER)
        x = rc.left + (rc.right - rc.left - ext.cx) / 2;
    else if (flags & DT_RIGHT)
        x = rc.right - ext.cx;
    int y = rc.top;
    if (flags & DT_VCENTER)
        y = rc.top + (rc.bottom - rc.top - ext.cy) / 2;
    else if (flags & DT_BOTTOM)
        y = rc.bottom - ext.cy;
    const QRect ink = DrawInk(text, rc, DT_SINGLELINE | flags);
    EXPECT_EQ(ink, ref.translated(x - rc.left, y - rc.top));
    EXPECT_TRUE(QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top).contains(ink));
}

INSTANTIATE_TEST_SUITE_P(Flags, DcTextPlacement,
                         ::testing::Values(Placement{"Center", DT_CENTER}, Placement{"Right", DT_RIGHT},
                                           Placement{"VCenter", DT_VCENTER}, Placement{"Bottom", DT_BOTTOM},
                                           Placement{"CenterVCenter", DT_CENTER | DT_VCENTER},
                                           Placement{"RightBottom", DT_RIGHT | DT_BOTTOM}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DcText, CalcRectMeasuresWithoutDrawing)
{
    RECT rc{5, 7, 300, 7};
    const int h = DrawText(m_hdc, "Hello", -1, &rc, DT_SINGLELINE | DT_CALCRECT);
    const SIZE ext = Extent("Hello");
    EXPECT_EQ(h, ext.cy);
    EXPECT_EQ(rc.left, 5);
    EXPECT_EQ(rc.top, 7);
    EXPECT_EQ(rc.right, 5 + ext.cx);
    EXPECT_EQ(rc.bottom, 7 + ext.cy);
    EXPECT_TRUE(Ink().isEmpty());
}

TEST_F(DcText, WordBreakWrapsAtBlanksAndCalcRectCountsLines)
{
    const SIZE word = Extent("alpha beta");
    RECT rc{0, 0, word.cx + 2, 0};
    const int h = DrawText(m_hdc, "alpha beta alpha beta", -1, &rc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 2 * word.cy);
    EXPECT_LE(rc.right, word.cx + 2);
    // Drawn: two lines, the second starting at the left again.
    RECT draw{0, 0, word.cx + 2, 100};
    Clear();
    DrawText(m_hdc, "alpha beta alpha beta", -1, &draw, DT_WORDBREAK);
    const QRect ink = Ink();
    EXPECT_LT(ink.bottom(), 2 * word.cy);
    EXPECT_GE(ink.bottom(), word.cy);
    EXPECT_LE(ink.right(), word.cx + 2);
}

TEST_F(DcText, LinesBreakAtNewlinesWithoutWordBreak)
{
    RECT rc{0, 0, 10, 0};
    EXPECT_EQ(DrawText(m_hdc, "one\ntwo\r\nthree", -1, &rc, DT_CALCRECT), 3 * Extent("x").cy);
    EXPECT_EQ(rc.right, Extent("three").cx);
}

TEST_F(DcText, PrefixUnderlinesTheNextCharacter)
{
    const RECT rc{10, 10, 190, 60};
    DrawInk("Ab", rc, DT_SINGLELINE | DT_NOPREFIX);
    const QImage plain = m_surface.copy();
    DrawInk("&Ab", rc, DT_SINGLELINE);
    const SIZE a = Extent("A");
    TEXTMETRIC tm{};
    GetTextMetrics(m_hdc, &tm);
    QRegion diff;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (plain.pixel(x, y) != m_surface.pixel(x, y))
                diff += QRect(x, y, 1, 1);
    // Only one row changes: the underline below the A, in the text colour.
    EXPECT_EQ(diff, QRegion(10, 10 + tm.tmAscent + 1, a.cx, 1));
    EXPECT_EQ(gditest::PixelOf(m_surface, 10 + a.cx / 2, 10 + tm.tmAscent + 1), kBlack);
}

TEST_F(DcText, DoubleAmpersandIsALiteralAmpersand)
{
    const RECT rc{10, 10, 190, 60};
    DrawInk("A&B", rc, DT_SINGLELINE | DT_NOPREFIX);
    const QImage literal = m_surface.copy();
    DrawInk("A&&B", rc, DT_SINGLELINE);
    EXPECT_EQ(m_surface, literal);
}

TEST_F(DcText, EndEllipsisFitsTheRectangle)
{
    const char* text = "A rather long caption that cannot fit";
    const RECT rc{10, 10, 80, 40};
    const QRect cut = DrawInk(text, rc, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    EXPECT_LT(cut.right(), rc.right);
    EXPECT_GT(cut.right(), rc.right - Extent("...").cx - 10);
    const QRect full = DrawInk(text, rc, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(full.right(), rc.right);
    // Clipped to the rectangle when DT_NOCLIP is missing.
    EXPECT_LT(DrawInk(text, rc, DT_SINGLELINE).right(), rc.right);
}

TEST_F(DcText, PathEllipsisKeepsTheFileName)
{
    const char* path = "/home/someone/pictures/holiday/beach/img_0001.jpg";
    const SIZE name = Extent("/img_0001.jpg");
    const RECT rc{0, 10, name.cx + Extent("/home...").cx, 40};
    const QRect ink = DrawInk(path, rc, DT_SINGLELINE | DT_NOCLIP | DT_PATH_ELLIPSIS);
    EXPECT_LT(ink.right(), rc.right);
    // The tail is drawn as is, ending where the plain file name would.
    const QRect tail = DrawInk("/img_0001.jpg", RECT{0, 10, rc.right, 40}, DT_SINGLELINE | DT_RIGHT);
    const QRect shown = DrawInk(path, rc, DT_SINGLELINE | DT_NOCLIP | DT_PATH_ELLIPSIS | DT_RIGHT);
    EXPECT_EQ(shown.right(), tail.right());
}

TEST_F(DcText, OpaqueTextOutFillsTheTextCell)
{
    SetBkMode(m_hdc, OPAQUE);
    SetBkColor(m_hdc, kRed);
    SetTextColor(m_hdc, kRed);
    TextOut(m_hdc, 7, 9, "Wide", 4);
    const SIZE ext = Extent("Wide");
    EXPECT_TRUE(gditest::SameArea(InkRegion(), QRegion(7, 9, ext.cx, ext.cy)));
    EXPECT_EQ(gditest::CountColor(m_surface, kRed), ext.cx * ext.cy);
}

TEST_F(DcText, ExtTextOutOpaqueAndClipped)
{
    SetBkColor(m_hdc, kRed);
    const RECT rc{5, 5, 25, 15};
    ExtTextOut(m_hdc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &rc, "MMMMMMMM", 8, nullptr);
    EXPECT_EQ(Ink(), QRect(5, 5, 20, 10));
    EXPECT_GT(gditest::CountColor(m_surface, kBlack), 0) << "the text shows inside";
}

TEST_F(DcText, MetricsFollowTheLogicalHeight)
{
    TEXTMETRIC tm{};
    ASSERT_TRUE(GetTextMetrics(m_hdc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 16) << "-16 asks for a 16-pixel character height";
    EXPECT_EQ(Extent("x").cy, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);

    // A positive height is the cell height.
    HFONT cell = CreateFont(20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SelectObject(m_hdc, cell);
    GetTextMetrics(m_hdc, &tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    SelectObject(m_hdc, m_font);
    DeleteObject(cell);
}

struct FaceCase {
    const char* face;
    const char* family;
};

void PrintTo(const FaceCase& c, std::ostream* os) { *os << c.face; }

class DcFontFace : public ::testing::TestWithParam<FaceCase> {};

TEST_P(DcFontFace, MapsToAnInstalledFreeFont)
{
    LOGFONT lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, GetParam().face);
    HFONT font = CreateFontIndirect(&lf);
    EXPECT_EQ(QFontInfo(qlafx::FontOf(font)).family(), QString::fromLatin1(GetParam().family));
    LOGFONT back{};
    EXPECT_EQ(GetObject(font, sizeof back, &back), static_cast<int>(sizeof(LOGFONT)));
    EXPECT_STREQ(back.lfFaceName, GetParam().face) << "the asked-for face is kept";
    DeleteObject(font);
}

INSTANTIATE_TEST_SUITE_P(Faces, DcFontFace,
                         ::testing::Values(FaceCase{"Arial", "Liberation Sans"}, FaceCase{"Tahoma", "Liberation Sans"},
                                           FaceCase{"MS Shell Dlg", "Liberation Sans"},
                                           FaceCase{"Times New Roman", "Liberation Serif"},
                                           FaceCase{"Courier New", "Liberation Mono"},
                                           FaceCase{"Verdana", "DejaVu Sans"}),
                         [](const auto& info) {
                             std::string n = info.param.face;
                             n.erase(std::remove(n.begin(), n.end(), ' '), n.end());
                             return n;
                         });

// Text into a memory DC on a worker thread, as the image workers do.
QImage DrawCaption()
{
    HDC dc = CreateCompatibleDC(nullptr);
    HDC screen = qlafx::CreateDisplayDC();
    HBITMAP bm = CreateCompatibleBitmap(screen, 120, 30);
    DeleteDC(screen);
    SelectObject(dc, bm);
    RECT rc{0, 0, 120, 30};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HFONT font = CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, "Worker text", -1, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    // Read back through a surface DC.
    QImage out(120, 30, QImage::Format_RGB32);
    HDC sdc = qlafx::CreateSurfaceDC(&out, nullptr);
    BitBlt(sdc, 0, 0, 120, 30, dc, 0, 0, SRCCOPY);
    qlafx::ReleaseSurfaceDC(sdc);
    DeleteDC(dc);
    DeleteObject(bm);
    DeleteObject(font);
    return out;
}

TEST(DcTextThread, WorkerThreadDrawsTheSameTextAsTheGuiThread)
{
    const QImage here = DrawCaption();
    QImage there;
    std::thread worker([&] { there = DrawCaption(); });
    worker.join();
    EXPECT_FALSE(gditest::InkBox(there, kWhite).isEmpty());
    EXPECT_EQ(there, here);
}

TEST(DcTextThread, ManyThreadsAtOnce)
{
    const QImage expected = DrawCaption();
    std::vector<QImage> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results)
        threads.emplace_back([&r] {
            for (int i = 0; i < 5; ++i)
                r = DrawCaption();
        });
    for (auto& t : threads)
        t.join();
    for (const QImage& r : results)
        EXPECT_EQ(r, expected);
}

} // namespace
