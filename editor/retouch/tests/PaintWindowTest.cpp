#include "editor/shell/tests/ShellWindowsTestSupport.h"

#include "editor/retouch/PaintHost.h"
#include "editor/retouch/PaintState.h"
#include "editor/retouch/PaintViewMath.h"
#include "editor/shell/MainView.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/shell/ViewContainer.h"
#include "editor/ui/HintWnd.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PaintDC.h"
#include "platform/codec/ColorForms.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QWidget>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

constexpr int kPenId = 11;  // the refusing plug-in before it keeps id 10 unused
const CPixel kGrey{100, 100, 100, 255};

int32_t Colour(BYTE b, BYTE g, BYTE r)
{
    const BYTE bytes[4] = {b, g, r, 0};
    int32_t out;
    std::memcpy(&out, bytes, 4);
    return out;
}

class PaintWindow : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        WriteProfile("[TipOnce]\nPaintMode=0\n");
        for (const char* name : {"test_paint_refusing.qli", "test_paint_pen.qli"}) {
            auto module = std::make_unique<PluginModule>();
            ASSERT_EQ(LoadPlugin(*module, (std::string(QUILLO_PAINT_FIXTURES) + "/" + name).c_str()), 0) << name;
            thePluginTable.paintTools.push_back(std::move(module));
        }
        ASSERT_TRUE(m_frame.CreateParent(0, 0, 900, 700));
        m_app.m_pMainWnd = &m_frame;
        ASSERT_TRUE(m_hint.Create("", &m_frame));
        g_hintWnd = &m_hint;
    }
    void TearDown() override
    {
        qlafx::SetPopupMenuHook({});
        qlafx::SetModalHook({});
        m_container.reset();
        m_view.reset();
        g_hintWnd = nullptr;
        m_app.m_pMainWnd = nullptr;
        thePluginTable.paintTools.clear();
        ShellWindowsTest::TearDown();
    }
    void CreateContainer(int w = 800, int h = 600)
    {
        m_container = std::make_unique<CViewContainer>();
        ASSERT_TRUE(m_container->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, w, h}, &m_frame,
                                        CViewContainer::kId));
    }
    CPaintCanvas& Canvas() { return m_container->m_canvas; }
    CPaintToolPanel& Panel() { return m_container->m_panel; }
    // A photo of w x h as the document holds it after opening, given to the canvas.
    void Photo(int w, int h, CPixel colour = kGrey)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [&](int, int) { return colour; });
        thePhotoDocument.m_history.Reset();
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
        Canvas().SetImage(&thePhotoDocument.m_image, TRUE);
        Canvas().InitUndoStore();
    }
    void PatternPhoto(int w, int h)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, w, h,
                             [](int x, int y) { return CPixel{BYTE(x * 3), BYTE(y * 5), BYTE(x + y), 255}; });
        Canvas().SetImage(&thePhotoDocument.m_image, TRUE);
        Canvas().InitUndoStore();
    }
    static void Click(CWnd& wnd, int x, int y, UINT keys = 0)
    {
        wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
        wnd.SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(x, y));
    }
    static void ClickCentre(CWnd& wnd, const RECT& r) { Click(wnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    // A drag in canvas client pixels through the image points given.
    void Drag(std::initializer_list<POINT> imagePoints, UINT keys = 0)
    {
        bool first = true;
        POINT last{};
        for (POINT p : imagePoints) {
            last = Canvas().ImageToView(p.x, p.y);
            Canvas().SendMessage(first ? WM_LBUTTONDOWN : WM_MOUSEMOVE, MK_LBUTTON | keys,
                                 MAKELPARAM(last.x, last.y));
            first = false;
        }
        Canvas().SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(last.x, last.y));
    }
    void SelectTool(int id)
    {
        for (const PaintToolEntry& entry : Panel().Entries()) {
            if (entry.id == id)
                ClickCentre(Panel(), entry.rect);
        }
        ASSERT_EQ(Panel().GetCurrentToolId(), id);
    }
    const PaintToolEntry& Entry(int id)
    {
        for (const PaintToolEntry& entry : Panel().Entries()) {
            if (entry.id == id)
                return entry;
        }
        ADD_FAILURE() << "no entry " << id;
        return Panel().Entries().front();
    }
    static CPixel PixelAt(int x, int y) { return thePhotoDocument.m_image.GetPixel2(x, y); }
    std::string Actions()
    {
        char text[512] = {};
        thePhotoDocument.m_history.GetActionText(sizeof text, text);
        return text;
    }

    skintest::CParentWnd m_frame;
    CHintWnd m_hint;
    std::unique_ptr<CViewContainer> m_container;
    std::unique_ptr<CMainView> m_view;
};

TEST_F(PaintWindow, ToolListHasTheBuiltinsAndOneCellPerPluginThatAccepts)
{
    CreateContainer();
    std::vector<int> ids;
    for (const PaintToolEntry& entry : Panel().Entries())
        ids.push_back(entry.id);
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 2, 3, 4, kPenId}));
    const PaintToolEntry& pen = Entry(kPenId);
    // The refusing plug-in's cell (4..34) stays empty; the pen keeps the second.
    EXPECT_EQ(pen.rect.left, 34);
    EXPECT_EQ(pen.rect.right, 64);
    EXPECT_EQ(pen.rect.top, 85);
    EXPECT_EQ(pen.rect.bottom, 115);
    EXPECT_STREQ(pen.tooltip, "Pen\nPaints the foreground colour");
    EXPECT_EQ(pen.selectable, 1);
    EXPECT_NE(Panel().FindToolRecord(kPenId), nullptr);
    EXPECT_NE(Panel().FindToolRecord(kPenId)->OnLButtonDown, nullptr);
    EXPECT_EQ(Panel().FindToolRecord(10), nullptr);
    for (int id = 0; id <= 4; ++id)
        EXPECT_EQ(Panel().FindToolRecord(id), nullptr) << id;
    // Built-ins: the zoom tool is current, the colour buttons sit at the bottom right.
    EXPECT_EQ(Panel().GetCurrentToolId(), 0);
    RECT client;
    Panel().GetClientRect(&client);
    EXPECT_EQ(client.right, CPaintToolPanel::kWidth);
    const RECT pick = Entry(2).rect;
    EXPECT_EQ(pick.left, client.right - 25);
    EXPECT_EQ(pick.bottom, client.bottom - 15);
    EXPECT_EQ(Entry(3).selectable, 0);
    EXPECT_STREQ(Entry(0).tooltip, "Zoom In/Out\nPress 'Ctrl' for Zoom out\nAccelerator: Alt +/-");
}

TEST_F(PaintWindow, ADragPaintsAndUndoRemovesIt)
{
    CreateContainer();
    Photo(300, 200);
    SelectTool(kPenId);
    Panel().SetForegroundColour(Colour(0, 0, 255));
    Drag({{50, 100}, {100, 100}, {150, 100}});
    EXPECT_EQ(skintest::BgrOf(PixelAt(100, 100)), (Bgr{0, 0, 255}));
    EXPECT_EQ(skintest::BgrOf(PixelAt(100, 130)), (Bgr{100, 100, 100}));
    ASSERT_TRUE(Canvas().CanUndo());
    const StrokeUndoRecord& record = Canvas().UndoStore().Records().back();
    EXPECT_LE(record.left, 50 - 12);
    EXPECT_GE(record.right, 150 + 12);
    // The canvas shows the stroke.
    const POINT v = Canvas().ImageToView(100, 100);
    EXPECT_EQ(BgrAt(skintest::SurfaceOf(Canvas().m_hWnd), v.x, v.y), (Bgr{0, 0, 255}));

    Canvas().Undo();
    EXPECT_EQ(skintest::BgrOf(PixelAt(100, 100)), (Bgr{100, 100, 100}));
    EXPECT_FALSE(Canvas().CanUndo());
    EXPECT_EQ(BgrAt(skintest::SurfaceOf(Canvas().m_hWnd), v.x, v.y), (Bgr{100, 100, 100}));
}

TEST_F(PaintWindow, CommitPushesOnePaintingStepOrNone)
{
    CreateContainer();
    Photo(120, 80);
    SelectTool(kPenId);
    const int steps = thePhotoDocument.m_history.GetCount();
    Drag({{20, 20}, {40, 30}});
    Canvas().Undo();
    Canvas().CommitPaint();
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps);  // every stroke undone

    Canvas().InitUndoStore();
    Drag({{20, 20}, {40, 30}});
    Drag({{60, 20}, {70, 60}});
    Canvas().CommitPaint();
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
    EXPECT_EQ(Actions(), "Open,Painting,");
    EXPECT_FALSE(Canvas().CanUndo());
}

TEST_F(PaintWindow, StrokesThatCouldNotBeRecordedStillReachTheHistory)
{
    CreateContainer();
    Photo(120, 80);
    SelectTool(kPenId);
    const int steps = thePhotoDocument.m_history.GetCount();
    Canvas().UndoStore().SetPath(std::string(m_folder.Path()) + "no-such-folder/strokes.sav");
    Drag({{20, 20}, {40, 30}});
    EXPECT_FALSE(Canvas().CanUndo());
    EXPECT_TRUE(thePhotoDocument.m_history.IsModified());
    Canvas().CommitPaint();
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), steps + 1);
}

// The pixels of the box around a canvas point: true when they all show the
// image as drawn, with no outline over them.
bool ShowsOnlyTheImage(CPaintCanvas& canvas, POINT at, int half)
{
    const QImage surface = skintest::SurfaceOf(canvas.m_hWnd);
    for (int y = at.y - half; y <= at.y + half; ++y) {
        for (int x = at.x - half; x <= at.x + half; ++x) {
            const POINT i = canvas.ViewToImage(x, y);
            if (BgrAt(surface, x, y) != skintest::BgrOf(thePhotoDocument.m_image.GetPixel2(i.x, i.y)))
                return false;
        }
    }
    return true;
}

TEST_F(PaintWindow, AShiftDragPansWithoutPaintingOrOutline)
{
    CreateContainer();
    PatternPhoto(2000, 1500);
    SelectTool(kPenId);
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const POINT at{300, 250};
    // The pointer enters the canvas, as the window system tells it.
    QEnterEvent enter(QPointF(at.x, at.y), QPointF(at.x, at.y), QPointF(at.x, at.y));
    QCoreApplication::sendEvent(Canvas().GetWidget(), &enter);
    Canvas().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    EXPECT_FALSE(ShowsOnlyTheImage(Canvas(), at, 14));  // the pen's outline
    Canvas().SendMessage(WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(ShowsOnlyTheImage(Canvas(), at, 14));

    const PaintView& view = thePaintState.view;
    ASSERT_TRUE(view.hBar && view.vBar);
    Canvas().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(at.x, at.y));
    Canvas().SendMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(at.x - 100, at.y - 50));
    EXPECT_TRUE(ShowsOnlyTheImage(Canvas(), POINT{at.x - 100, at.y - 50}, 14));
    Canvas().SendMessage(WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(at.x - 100, at.y - 50));
    EXPECT_EQ(view.scrollX, 100);
    EXPECT_EQ(view.scrollY, 50);
    EXPECT_EQ(std::memcmp(before.GetBuffer(0, 0), thePhotoDocument.m_image.GetBuffer(0, 0),
                          before.GetAreaByteSize()),
              0);
    EXPECT_FALSE(Canvas().CanUndo());
    EXPECT_EQ(Canvas().m_hBar.GetScrollPos(), 100);
}

TEST_F(PaintWindow, OutlineDrawnTwiceRestoresThePixels)
{
    CreateContainer();
    PatternPhoto(400, 300);
    thePaintState.brush = BrushSettings{40, 50, 100};
    const QImage clean = skintest::SurfaceOf(Canvas().m_hWnd);
    {
        CClientDC dc(&Canvas());
        PaintHost::DrawBrushOutline(dc.GetSafeHdc(), 200, 150);
    }
    const QImage once = skintest::SurfaceOf(Canvas().m_hWnd);
    const POINT centre = Canvas().ImageToView(200, 150);
    // The outer circle passes left of the centre, the inner one (core 20) too.
    EXPECT_NE(BgrAt(once, centre.x - 20, centre.y), BgrAt(clean, centre.x - 20, centre.y));
    EXPECT_NE(BgrAt(once, centre.x - 10, centre.y), BgrAt(clean, centre.x - 10, centre.y));
    EXPECT_EQ(BgrAt(once, centre.x, centre.y), BgrAt(clean, centre.x, centre.y));
    {
        CClientDC dc(&Canvas());
        PaintHost::DrawBrushOutline(dc.GetSafeHdc(), 200, 150);
    }
    EXPECT_EQ(skintest::SurfaceOf(Canvas().m_hWnd), clean);
}

TEST_F(PaintWindow, SliderClicks)
{
    CreateContainer();
    Photo(100, 100);
    const RECT block = Panel().SliderBlock();
    const struct {
        int dx, dy;
        BrushSettings expected;
    } cases[] = {
        {0, 2, {1, 50, 100}},     // the size's left end
        {85, 2, {256, 50, 100}},  // its right end
        {89, 0, {256, 50, 100}},  // beyond it, inside the widened block
        {40, 5, {57, 50, 100}},   // quadratic: (40 * 16 / 85)^2
        {-5, 3, {1, 50, 100}},
        {-5, 13, {24, 0, 100}},
        {-5, 23, {24, 50, 0}},
        {42, 12, {24, 49, 100}},
        {85, 22, {24, 50, 100}},
        {30, 7, {24, 50, 100}},   // between the rows
        {30, 8, {24, 50, 100}},
        {30, 9, {24, 50, 100}},
        {30, 19, {24, 50, 100}},
    };
    for (const auto& c : cases) {
        thePaintState.brush = BrushSettings{24, 50, 100};
        Click(Panel(), block.left + c.dx, block.top + c.dy);
        const BrushSettings b = Panel().GetBrush();
        EXPECT_EQ(b.size, c.expected.size) << c.dx << "," << c.dy;
        EXPECT_EQ(b.softness, c.expected.softness) << c.dx << "," << c.dy;
        EXPECT_EQ(b.opacity, c.expected.opacity) << c.dx << "," << c.dy;
    }
    // Without an image the sliders do nothing.
    Canvas().SetImage(nullptr, TRUE);
    thePaintState.brush = BrushSettings{24, 50, 100};
    Click(Panel(), block.left, block.top + 2);
    EXPECT_EQ(Panel().GetBrush().size, 24);
}

TEST_F(PaintWindow, HueBarAndSquareSetTheForeground)
{
    CreateContainer();
    Photo(100, 100);
    const RECT hue = Panel().HueHitRect();
    const RECT square = Panel().SquareRect();
    auto expected = [](int h, int s, int b) {
        BYTE p[4] = {BYTE(b), BYTE(s), BYTE(h), 0};
        qlcodec::HsbToRgbPixel(p);
        return Colour(p[0], p[1], p[2]);
    };
    Click(Panel(), square.left + 40, square.bottom - 40);
    EXPECT_EQ(thePaintState.saturation, 128);
    EXPECT_EQ(thePaintState.brightness, 128);
    Click(Panel(), hue.left + 40, hue.top + 2);  // in the band above the bar
    EXPECT_EQ(thePaintState.hue, 128);
    EXPECT_EQ(thePaintState.foreground, expected(128, 128, 128));
    // Drags clamp.
    Panel().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hue.left + 10, hue.bottom - 1));
    Panel().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(hue.right + 60, hue.top));
    EXPECT_EQ(thePaintState.hue, 254);
    Panel().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(hue.left - 60, hue.top));
    EXPECT_EQ(thePaintState.hue, 0);
    Panel().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(hue.left - 60, hue.top));
    Panel().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(hue.left + 40, hue.top));
    EXPECT_EQ(thePaintState.hue, 0);  // the drag ended
    Panel().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(square.left + 1, square.bottom - 1));
    Panel().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(square.right + 30, square.top - 30));
    Panel().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(square.right + 30, square.top - 30));
    EXPECT_EQ(thePaintState.saturation, 255);
    EXPECT_EQ(thePaintState.brightness, 255);
    EXPECT_EQ(thePaintState.foreground, expected(0, 255, 255));
}

TEST_F(PaintWindow, SwapTwiceRestoresAndResetGivesBlackOnWhite)
{
    CreateContainer();
    Photo(100, 100);
    const int32_t orange = Colour(0x20, 0x80, 0xF0);
    Panel().SetForegroundColour(orange);
    const int hue = thePaintState.hue;
    ClickCentre(Panel(), Entry(3).rect);
    EXPECT_EQ(thePaintState.foreground, static_cast<int32_t>(0xFFFFFFFF));
    EXPECT_EQ(thePaintState.background.colour, orange);
    EXPECT_EQ(thePaintState.saturation, 0);
    EXPECT_EQ(thePaintState.brightness, 255);
    EXPECT_EQ(Entry(3).selected, 0);  // released again
    ClickCentre(Panel(), Entry(3).rect);
    EXPECT_EQ(thePaintState.foreground, orange);
    EXPECT_EQ(thePaintState.background.colour, static_cast<int32_t>(0xFFFFFFFF));
    EXPECT_EQ(thePaintState.hue, hue);
    ClickCentre(Panel(), Entry(4).rect);
    EXPECT_EQ(thePaintState.foreground, 0);
    EXPECT_EQ(thePaintState.background.colour, static_cast<int32_t>(0xFFFFFFFF));
    EXPECT_EQ(thePaintState.hue + thePaintState.saturation + thePaintState.brightness, 0);
    EXPECT_EQ(Panel().GetCurrentToolId(), 0);  // actions are no tools
}

TEST_F(PaintWindow, TheSwatchOpensTheColourDialogOnTheForeground)
{
    CreateContainer();
    Photo(100, 100);
    Panel().SetForegroundColour(Colour(0x10, 0x20, 0x30));
    COLORREF seeded = 0;
    DWORD flags = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        auto* colour = dynamic_cast<CColorDialog*>(dialog);
        if (!colour)
            return IDCANCEL;
        seeded = colour->m_cc.rgbResult;
        flags = colour->m_cc.Flags;
        qlafx::AnswerColorDialog(*colour, RGB(0xF0, 0x80, 0x00));
        return IDOK;
    });
    ClickCentre(Panel(), Panel().SwatchRect());
    EXPECT_EQ(seeded, RGB(0x30, 0x20, 0x10));
    EXPECT_TRUE(flags & CC_FULLOPEN);
    EXPECT_EQ(thePaintState.foreground, Colour(0x00, 0x80, 0xF0));
    BYTE hsb[4] = {0x00, 0x80, 0xF0, 0};
    qlcodec::RgbToHsbPixel(hsb);
    EXPECT_EQ(thePaintState.hue, hsb[2]);
    EXPECT_EQ(thePaintState.saturation, hsb[1]);
    EXPECT_EQ(thePaintState.brightness, hsb[0]);
    // Cancel keeps the colour.
    qlafx::SetModalHook([](CWnd*, const char*, const char*, UINT) { return IDCANCEL; });
    ClickCentre(Panel(), Panel().SwatchRect());
    EXPECT_EQ(thePaintState.foreground, Colour(0x00, 0x80, 0xF0));
}

TEST_F(PaintWindow, PickToolTakesThePixelUnderTheClick)
{
    CreateContainer();
    PatternPhoto(200, 100);
    SelectTool(CPaintToolPanel::kPickTool);
    const POINT v = Canvas().ImageToView(30, 40);
    Click(Canvas(), v.x, v.y);
    EXPECT_EQ(static_cast<DWORD>(thePaintState.foreground), thePhotoDocument.m_image.GetPixel(30, 40));
    const int32_t picked = thePaintState.foreground;
    Click(Canvas(), 5, 5);  // the grey margin
    EXPECT_EQ(thePaintState.foreground, picked);
}

TEST_F(PaintWindow, ZoomMenuChecksTheZoomAndZoomingInGoesOnFromIt)
{
    CreateContainer();
    Photo(400, 300);
    UINT checked = 0;
    qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) -> UINT {
        for (UINT id = 0x9000; id <= 0x9007; ++id) {
            if (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED)
                checked = id;
        }
        return 0x9006;  // 400 %
    });
    ClickCentre(Panel(), CPaintToolPanel::ReadoutRect());
    EXPECT_EQ(checked, 0x9004u);  // 100 %
    EXPECT_DOUBLE_EQ(thePaintState.view.scale, 0.25);
    Canvas().ZoomStep(0, 0, CPaintCanvas::kZoomInKeys);
    EXPECT_DOUBLE_EQ(1 / thePaintState.view.scale, 5);
    Canvas().ZoomStep(0, 0, CPaintCanvas::kZoomOutKeys);
    Canvas().ZoomStep(0, 0, CPaintCanvas::kZoomOutKeys);
    EXPECT_DOUBLE_EQ(1 / thePaintState.view.scale, 3);
}

TEST_F(PaintWindow, ZoomToolBringsTheClickedPointToTheCentre)
{
    CreateContainer();
    PatternPhoto(2000, 1500);
    const PaintView& view = thePaintState.view;
    const POINT target = Canvas().ViewToImage(400, 300);
    Click(Canvas(), 400, 300);
    EXPECT_DOUBLE_EQ(1 / view.scale, 1.5);
    const POINT centre = Canvas().ViewToImage((view.viewRect.left + view.viewRect.right) / 2,
                                              (view.viewRect.top + view.viewRect.bottom) / 2);
    EXPECT_NEAR(centre.x, target.x, 1);
    EXPECT_NEAR(centre.y, target.y, 1);
    Click(Canvas(), 400, 300, MK_CONTROL);
    EXPECT_DOUBLE_EQ(1 / view.scale, 1);
}

TEST_F(PaintWindow, BarsFollowTheViewAndScrollCodesMoveIt)
{
    CreateContainer(800, 600);
    PatternPhoto(2000, 1500);
    RECT canvas;
    Canvas().GetClientRect(&canvas);
    ASSERT_EQ(canvas.right, 690);
    ASSERT_TRUE(Canvas().m_hBar.IsWindowVisible());
    ASSERT_TRUE(Canvas().m_vBar.IsWindowVisible());
    RECT bar;
    Canvas().m_hBar.GetWindowRect(&bar);
    Canvas().ScreenToClient(&bar);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, 580);
    EXPECT_EQ(bar.right, 670);
    EXPECT_EQ(bar.bottom, 600);
    const PaintView& view = thePaintState.view;
    const struct {
        UINT code, pos;
        int expected;
    } cases[] = {
        {SB_LINERIGHT, 0, 4},   {SB_PAGERIGHT, 0, 4 + 335}, {SB_LINELEFT, 0, 335},
        {SB_ENDSCROLL, 0, 335}, {SB_THUMBTRACK, 1500, 1330}, {SB_PAGELEFT, 0, 1330 - 335},
        {SB_THUMBPOSITION, 0, 0}, {SB_LINELEFT, 0, 0},
    };
    for (const auto& c : cases) {
        Canvas().SendMessage(WM_HSCROLL, MAKEWPARAM(c.code, c.pos), reinterpret_cast<LPARAM>(Canvas().m_hBar.m_hWnd));
        EXPECT_EQ(view.scrollX, c.expected) << c.code;
    }
    Canvas().SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), reinterpret_cast<LPARAM>(Canvas().m_vBar.m_hWnd));
    EXPECT_EQ(view.scrollY, 290);
    // Fitting the image hides both bars.
    Panel().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(70, 30));  // the move button
    EXPECT_DOUBLE_EQ(view.scale, 2000.0 / 689);  // relatively wider than the canvas
    EXPECT_FALSE(Canvas().m_hBar.IsWindowVisible());
    EXPECT_FALSE(Canvas().m_vBar.IsWindowVisible());
    Panel().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(28, 28));  // the zoom button
    EXPECT_DOUBLE_EQ(view.scale, 1.0);
}

TEST_F(PaintWindow, BestFitOfATinyCanvasChangesNothing)
{
    CreateContainer();
    PatternPhoto(300, 300);
    Canvas().MoveWindow(110, 0, 1, 300);
    EXPECT_EQ(Canvas().BestFit(), 0);
    EXPECT_DOUBLE_EQ(thePaintState.view.scale, 1.0);
}

TEST_F(PaintWindow, CursorFollowsTheToolAndTheCanvasTakesTheFocus)
{
    CreateContainer();
    PatternPhoto(2000, 1500);
    HINSTANCE res = AfxGetResourceHandle();
    HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
    const struct {
        int tool;
        bool bars;
        HCURSOR expected;
    } cases[] = {
        {CPaintToolPanel::kZoomTool, true, ::LoadCursor(res, MAKEINTRESOURCE(137))},
        {CPaintToolPanel::kMoveTool, true, ::LoadCursor(res, MAKEINTRESOURCE(131))},
        {CPaintToolPanel::kMoveTool, false, wait},  // nothing to move: left as it was
        {CPaintToolPanel::kPickTool, true, ::LoadCursor(res, MAKEINTRESOURCE(3440))},
        {kPenId, true, ::LoadCursor(nullptr, IDC_ARROW)},  // the pen sets none: the class cursor
    };
    for (const auto& c : cases) {
        SelectTool(c.tool);
        if (c.bars)
            Canvas().ActualSize();
        else
            Canvas().BestFit();
        ::SetCursor(wait);
        m_frame.SetFocus();
        Canvas().SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(Canvas().m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), c.expected) << c.tool << (c.bars ? " with bars" : "");
        EXPECT_EQ(::GetFocus(), Canvas().m_hWnd);
    }
}

TEST_F(PaintWindow, HintShowsAfterThreeTicksOverAToolButNeverOverTheReadout)
{
    CreateContainer();
    Photo(100, 100);
    auto hoverAt = [&](POINT p) {
        Panel().ClientToScreen(&p);
        ::SetCursorPos(p.x, p.y);
    };
    const RECT pen = Entry(kPenId).rect;
    hoverAt(POINT{(pen.left + pen.right) / 2, (pen.top + pen.bottom) / 2});
    for (int tick = 0; tick < 3; ++tick)
        Panel().OnHintTick();  // the first finds the item, two more count
    EXPECT_FALSE(m_hint.IsWindowVisible());
    Panel().OnHintTick();
    EXPECT_TRUE(m_hint.IsWindowVisible());
    EXPECT_STREQ(m_hint.m_text, "Pen\nPaints the foreground colour");

    const RECT readout = CPaintToolPanel::ReadoutRect();
    hoverAt(POINT{(readout.left + readout.right) / 2, (readout.top + readout.bottom) / 2});
    Panel().OnHintTick();
    EXPECT_FALSE(m_hint.IsWindowVisible());  // the hover changed
    for (int tick = 0; tick < 10; ++tick)
        Panel().OnHintTick();
    EXPECT_FALSE(m_hint.IsWindowVisible());
}

TEST_F(PaintWindow, PaintModeInTheMainViewCommitsOnePaintingStep)
{
    WriteProfile("[General]\nUserName=Tester\n[Interface]\n");  // the notice is shown
    int notices = 0;
    qlafx::SetModalHook([&](CWnd*, const char*, const char*, UINT) {
        ++notices;
        return IDOK;
    });
    m_view = std::make_unique<CMainView>();
    RECT client;
    m_frame.GetClientRect(&client);
    ASSERT_TRUE(m_view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, &m_frame, 0xE900));
    shelltest::MakeImage(&thePhotoDocument.m_image, 300, 200, [](int, int) { return kGrey; });
    thePhotoDocument.m_history.Reset();
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    CViewContainer& container = m_view->m_paintContainer;
    EXPECT_FALSE(container.IsWindowVisible());

    m_view->SendMessage(WM_COMMAND, CMainView::kPaintModeCmd, 0);
    EXPECT_EQ(m_view->m_paintMode, 1);
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(container.IsWindowVisible());
    EXPECT_FALSE(m_view->m_imageView.IsWindowVisible());
    EXPECT_FALSE(m_view->m_funcBar.IsWindowVisible());
    EXPECT_FALSE(m_view->m_tabsTop.IsWindowVisible());
    EXPECT_FALSE(m_view->m_tabsBottom.IsWindowVisible());
    RECT place, viewClient;
    container.GetClientRect(&place);
    m_view->GetClientRect(&viewClient);
    EXPECT_EQ(place.right, viewClient.right);
    EXPECT_EQ(place.bottom, viewClient.bottom);
    EXPECT_TRUE(container.m_canvas.HasImage());

    m_view->SendMessage(WM_COMMAND, CMainView::kZoomInCmd, 0);
    EXPECT_DOUBLE_EQ(thePaintState.view.scale, 1 / 1.5);
    m_view->SendMessage(WM_COMMAND, CMainView::kZoomOutCmd, 0);
    EXPECT_DOUBLE_EQ(thePaintState.view.scale, 1.0);

    for (const PaintToolEntry& entry : container.m_panel.Entries()) {
        if (entry.id == kPenId)
            ClickCentre(container.m_panel, entry.rect);
    }
    for (int y : {50, 120}) {
        const POINT a = container.m_canvas.ImageToView(20, y), b = container.m_canvas.ImageToView(200, y);
        container.m_canvas.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
        container.m_canvas.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
        container.m_canvas.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    }
    EXPECT_EQ(container.m_canvas.UndoStore().Records().size(), 2u);
    const std::string undoFile = container.m_canvas.UndoStore().Path();
    EXPECT_TRUE(std::filesystem::exists(undoFile));

    m_view->SendMessage(WM_COMMAND, CMainView::kPaintModeCmd, 0);
    EXPECT_EQ(m_view->m_paintMode, 0);
    EXPECT_FALSE(container.IsWindowVisible());
    EXPECT_TRUE(m_view->m_imageView.IsWindowVisible());
    EXPECT_TRUE(m_view->m_funcBar.IsWindowVisible());
    EXPECT_EQ(Actions(), "Open,Painting,");
    EXPECT_FALSE(std::filesystem::exists(undoFile));
    EXPECT_EQ(notices, 1);
}

TEST_F(PaintWindow, GrabOfAStrokeOnACameraPhoto)
{
    CreateContainer(900, 650);
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    Canvas().SetImage(&thePhotoDocument.m_image, TRUE);
    Canvas().InitUndoStore();
    Canvas().SendMessage(WM_COMMAND, 0x9002, 0);  // 50 %
    ASSERT_DOUBLE_EQ(thePaintState.view.scale, 2.0);
    SelectTool(kPenId);
    Panel().SetForegroundColour(Colour(0x00, 0x80, 0xFF));  // saturated orange
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    const int x0 = static_cast<int>(w) / 5, x1 = static_cast<int>(w) * 4 / 5;
    const int y0 = static_cast<int>(h) / 3, y1 = static_cast<int>(h) * 2 / 3;
    Drag({{x0, y0}, {(x0 + x1) / 2, y1}, {x1, y0}});
    EXPECT_EQ(skintest::BgrOf(PixelAt((x0 + x1) / 2, y1)), (Bgr{0x00, 0x80, 0xFF}));
    const QImage grab = m_container->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(grab, "paint-mode").empty());
}

}  // namespace
