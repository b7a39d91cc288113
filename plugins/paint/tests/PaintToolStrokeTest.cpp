// The three paint tools driven through the editor's paint-tool callbacks on
// small pictures, as the paint mode drives them.
#include "editor/shell/PaintToolHost.h"
#include "editor/shell/PluginHost.h"
#include "imagecore/QLImage.h"
#include "imagecore/XImage.h"
#include "platform/afx/WinUser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace {

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Bgr& c) { return os << "(" << c.b << "," << c.g << "," << c.r << ")"; }

class PaintTool : public testing::Test {
protected:
    void TearDown() override
    {
        thePaintToolHost.current = nullptr;
        thePaintToolHost.brush = nullptr;
    }
    // Loads the tool and fills a record for it as the paint mode does.
    void Load(const char* library, int charset = 0)
    {
        m_module = std::make_unique<PluginModule>();
        ASSERT_EQ(LoadPlugin(*m_module, (std::string(QUILLO_PAINT_TOOLS_DIR) + "/" + library + ".qli").c_str()), 0);
        int kind = -1;
        m_module->entry(kPluginQueryKind, nullptr, &kind);
        EXPECT_EQ(kind, kPluginKindPaintTool);
        thePaintToolHost.brush = &m_brush;
        thePaintToolHost.current = &m_image;
        PreparePaintToolRecord(m_record, m_module->module, m_colour);
        m_record.charset = charset;
        void* junk = &m_record;
        m_record.reserved1 = m_record.reserved2 = m_record.reserved3 = junk;
        ASSERT_EQ(m_module->entry(kPluginFillRecord, &m_record, nullptr), 0);
    }
    void Fill(int w, int h, const std::function<Bgr(int, int)>& colour)
    {
        ASSERT_EQ(m_image.Create(w, h), 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Bgr c = colour(x, y);
                BYTE* p = m_image.GetBuffer(x, y);
                p[0] = BYTE(c.b), p[1] = BYTE(c.g), p[2] = BYTE(c.r), p[3] = 255;
            }
        }
    }
    void Colour(int b, int g, int r) { m_colour[0] = BYTE(b), m_colour[1] = BYTE(g), m_colour[2] = BYTE(r); }
    Bgr At(int x, int y) const
    {
        const BYTE* p = m_image.GetBuffer(x, y);
        return Bgr{p[0], p[1], p[2]};
    }
    std::vector<BYTE> Pixels() const
    {
        UINT w, h;
        m_image.GetSize(&w, &h);
        std::vector<BYTE> out;
        for (UINT y = 0; y < h; ++y) {
            for (UINT x = 0; x < w; ++x) {
                const BYTE* p = m_image.GetBuffer(int(x), int(y));
                out.insert(out.end(), p, p + 3);
            }
        }
        return out;
    }
    int Down(int x, int y, int flags = MK_LBUTTON) { return m_record.OnLButtonDown(flags, x, y); }
    int Move(int x, int y, int flags = MK_LBUTTON) { return m_record.OnMouseMove(flags, x, y); }
    int Up(int x, int y) { return m_record.OnLButtonUp(0, x, y); }

    std::unique_ptr<PluginModule> m_module;
    PaintToolRecord m_record{};
    BrushSettings m_brush{1, 0, 100};
    BYTE m_colour[3] = {0, 0, 0};
    CQLImage m_image;
};

TEST_F(PaintTool, RecordTextsIconsAndHandlers)
{
    struct Case {
        const char* library;
        int charset;
        const char* name;
        const char* tooltip;
    };
    const Case cases[] = {
        {"QuilloTint", 0, "Color/Decolor", "Color/Decolor\nPress 'Ctrl' for decolor"},
        {"QuilloTint", 134, "着色/去色画笔", "着色/去色画笔\n按住 Ctrl 键为去色画笔"},
        {"QuilloStamp", 0, "Smudge", "Smudge Tool"},
        {"QuilloStamp", 134, "涂抹", "涂抹"},
        {"QuilloSketch", 0, "QuilloSketch", "QuilloSketch\nPress 'Ctrl' for ruling pen"},
        {"QuilloSketch", 134, "画笔", "画笔\n按住 Ctrl 键画直线"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.library) + " " + std::to_string(c.charset));
        Fill(4, 4, [](int, int) { return Bgr{0, 0, 0}; });
        Load(c.library, c.charset);
        EXPECT_STREQ(m_record.name, c.name);
        EXPECT_STREQ(m_record.tooltip, c.tooltip);
        EXPECT_NE(m_record.icon, nullptr);
        EXPECT_NE(m_record.icon2, nullptr);
        EXPECT_NE(m_record.icon, m_record.icon2);
        EXPECT_EQ(m_record.reserved1, nullptr);
        EXPECT_EQ(m_record.reserved2, nullptr);
        EXPECT_EQ(m_record.reserved3, nullptr);
        ASSERT_NE(m_record.OnLButtonDown, nullptr);
        ASSERT_NE(m_record.OnLButtonUp, nullptr);
        ASSERT_NE(m_record.OnMouseMove, nullptr);
        ASSERT_NE(m_record.OnDrawCursor, nullptr);
        ASSERT_NE(m_record.OnSetCursor, nullptr);
        EXPECT_EQ(m_record.OnSetCursor(), 1);
    }
}

// The tool calls the editor through its own copy of the whole record, so
// the editor's record may go once it is filled.
TEST_F(PaintTool, CallsTheEditorThroughItsCopyOfTheRecord)
{
    static_assert(sizeof(PaintToolRecord) == 424);
    Fill(8, 8, [](int, int) { return Bgr{200, 200, 200}; });
    Load("QuilloSketch");
    Colour(0, 0, 255);
    const PaintToolRecord filled = m_record;
    std::memset(&m_record, 0, sizeof m_record);
    EXPECT_EQ(filled.OnLButtonDown(MK_LBUTTON, 3, 3), 0);
    EXPECT_EQ(filled.OnLButtonUp(0, 3, 3), 0);
    EXPECT_EQ(At(3, 3), (Bgr{0, 0, 255}));
}

// A press and release paints one dab and reports it; a move to the same
// point changes nothing more; moves after the release change nothing.
TEST_F(PaintTool, StrokeLifeCycleOfThePaintingTools)
{
    for (const char* library : {"QuilloSketch", "QuilloTint"}) {
        SCOPED_TRACE(library);
        Fill(9, 9, [](int, int) { return Bgr{128, 128, 128}; });
        Load(library);
        Colour(0, 0, 255);
        m_brush = BrushSettings{3, 50, 100};
        Down(4, 4);
        const auto afterPress = Pixels();
        EXPECT_NE(At(4, 4), (Bgr{128, 128, 128}));
        EXPECT_EQ(At(0, 0), (Bgr{128, 128, 128}));
        Move(4, 4);
        EXPECT_EQ(Pixels(), afterPress);
        EXPECT_EQ(Up(4, 4), 0);
        Move(7, 7);
        EXPECT_EQ(Pixels(), afterPress);
        EXPECT_EQ(At(7, 7), (Bgr{128, 128, 128}));
    }
}

// Coverage builds up across strokes but never within one.
TEST_F(PaintTool, ASecondStrokeGoesFurtherTheSameStrokeDoesNot)
{
    Fill(5, 5, [](int, int) { return Bgr{255, 255, 255}; });
    Load("QuilloSketch");
    Colour(0, 0, 0);
    m_brush = BrushSettings{1, 0, 50};
    Down(2, 2);
    Move(2, 0);
    Move(2, 4); // back over the press point
    const Bgr once = At(2, 2);
    EXPECT_EQ(once, (Bgr{128, 128, 128})); // (0 * 127 + 255 * 128) / 255
    EXPECT_EQ(Up(2, 4), 0);
    Down(2, 2);
    Up(2, 2);
    EXPECT_LT(At(2, 2).b, once.b);
}

TEST_F(PaintTool, RulingPenLocks)
{
    struct Case {
        int dx, dy;      // first Ctrl move from the press at (10, 10)
        int fx, fy;      // a further Ctrl move
        int px, py;      // a pixel that must be painted
        int qx, qy;      // one that must not
    };
    const Case cases[] = {
        {10, 2, 15, 18, 15, 10, 15, 18},  // horizontal: the row of the press
        {1, 6, 4, 16, 10, 16, 4, 16},     // vertical
        {4, 3, 6, 2, 12, 12, 6, 2},       // diagonal, x and y grow together
        {4, -3, 6, 18, 8, 12, 6, 18},     // diagonal, y falls as x grows
    };
    Load("QuilloSketch");
    Colour(0, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        Fill(20, 20, [](int, int) { return Bgr{255, 255, 255}; });
        Down(10, 10, MK_LBUTTON | MK_CONTROL);
        Move(10 + c.dx, 10 + c.dy, MK_LBUTTON | MK_CONTROL);
        Move(c.fx, c.fy, MK_LBUTTON | MK_CONTROL);
        Up(c.fx, c.fy);
        EXPECT_EQ(At(c.px, c.py), (Bgr{0, 0, 0}));
        EXPECT_EQ(At(c.qx, c.qy), (Bgr{255, 255, 255}));
    }
}

// Letting Ctrl go frees the pen; pressing it again chooses from the last point.
TEST_F(PaintTool, RulingPenChoosesAgainAfterCtrlWasReleased)
{
    Load("QuilloSketch");
    Colour(0, 0, 0);
    Fill(30, 30, [](int, int) { return Bgr{255, 255, 255}; });
    const int ctrl = MK_LBUTTON | MK_CONTROL;
    Down(2, 2, ctrl);
    Move(12, 3, ctrl);          // horizontal: paints to (12, 2)
    Move(20, 9);                // free: (12, 2) to (20, 9)
    Move(21, 19, ctrl);         // vertical from (20, 9)
    Move(25, 25, ctrl);         // stays in column 20
    Up(25, 25);
    EXPECT_EQ(At(12, 2), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(12, 3), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(20, 9), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(20, 25), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(25, 25), (Bgr{255, 255, 255}));
}

// A one-pixel stamp copies the pixel under the previous dab onto the next,
// so the dabs of a move show as copies of the press pixel.
TEST_F(PaintTool, SmudgeDabsAlongAMove)
{
    struct Case {
        int distance;
        std::vector<int> copies; // columns that took the press pixel's colour
        int released;
    };
    const Case cases[] = {
        {0, {}, 1},        // a press alone
        {1, {}, 0},        // one dab, at the start
        {4, {2}, 0},       // dabs at 0 and 2
        {5, {1, 3}, 0},    // dabs at 0, 1 and 3
    };
    Load("QuilloStamp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        Fill(8, 1, [](int x, int) { return Bgr{10 * x + 10, 0, 0}; });
        const auto before = Pixels();
        Down(0, 0);
        EXPECT_EQ(Pixels(), before);
        if (c.distance)
            Move(c.distance, 0);
        EXPECT_EQ(Up(c.distance, 0), c.released);
        for (int x = 1; x < 8; ++x) {
            const bool copy = std::find(c.copies.begin(), c.copies.end(), x) != c.copies.end();
            EXPECT_EQ(At(x, 0).b, copy ? 10 : 10 * x + 10) << x;
        }
    }
}

TEST_F(PaintTool, SmudgeRepeatsTheBorderAndCountsATransparentStampAsPainted)
{
    Load("QuilloStamp");
    // Column 0 red, the rest blue; a 3-pixel stamp picked up at the left edge.
    Fill(4, 4, [](int x, int) { return x == 0 ? Bgr{0, 0, 255} : Bgr{255, 0, 0}; });
    m_brush = BrushSettings{3, 0, 100};
    Down(0, 1);
    Move(3, 1); // dabs at 0 and 1
    EXPECT_EQ(Up(3, 1), 0);
    for (int y : {0, 1, 2}) {
        SCOPED_TRACE(y);
        EXPECT_GE(At(0, y).r, 254); // the column outside repeated column 0
        EXPECT_LE(At(0, y).b, 1);
        EXPECT_GE(At(1, y).r, 254);
        EXPECT_GE(At(2, y).b, 254);
    }
    m_brush = BrushSettings{3, 0, 0};
    const auto before = Pixels();
    Down(0, 1);
    Move(3, 2);
    EXPECT_EQ(Pixels(), before);
    EXPECT_EQ(Up(3, 2), 0);
}

TEST_F(PaintTool, ColourAndDecolour)
{
    struct Case {
        Bgr pixel, colour;
        int flags;
        std::function<void(Bgr)> check;
    };
    auto hsl = [](Bgr c) { return CxImage::RGBtoHSL(RGBQUAD{BYTE(c.b), BYTE(c.g), BYTE(c.r), 0}); };
    const Case cases[] = {
        // Pure red over grey: a red of the grey's lightness.
        {{128, 128, 128}, {0, 0, 255}, 0,
         [&](Bgr out) {
             EXPECT_GE(out.r, 254); // float arithmetic: q lands just below 1
             EXPECT_LE(out.g, 1);
             EXPECT_EQ(out.g, out.b);
             EXPECT_EQ(hsl(out).rgbRed, 0);
             EXPECT_EQ(hsl(out).rgbBlue, 128);
         }},
        // A grey colour greys the pixel at its own lightness.
        {{50, 100, 200}, {90, 90, 90}, 0,
         [&](Bgr out) {
             EXPECT_EQ(out.b, out.g);
             EXPECT_EQ(out.g, out.r);
             EXPECT_NEAR(out.r, hsl(Bgr{50, 100, 200}).rgbBlue, 1);
         }},
        // Decolour of pure blue: (255 + 0 + 0) / 10.
        {{255, 0, 0}, {0, 0, 255}, MK_CONTROL, [](Bgr out) { EXPECT_EQ(out, (Bgr{25, 25, 25})); }},
    };
    Load("QuilloTint");
    for (const Case& c : cases) {
        Fill(3, 3, [&](int, int) { return c.pixel; });
        Colour(c.colour.b, c.colour.g, c.colour.r);
        Down(1, 1, MK_LBUTTON | c.flags);
        EXPECT_EQ(Up(1, 1), 0);
        c.check(At(1, 1));
        EXPECT_EQ(At(0, 0), c.pixel);
    }
    // Covered pixels keep their colour for the rest of the stroke.
    Fill(3, 3, [](int, int) { return Bgr{128, 128, 128}; });
    Colour(0, 0, 255);
    Down(1, 1);
    const Bgr red = At(1, 1);
    Colour(0, 255, 0);
    Move(1, 1);
    Move(1, 1, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(At(1, 1), red);
    Up(1, 1);
}

} // namespace
