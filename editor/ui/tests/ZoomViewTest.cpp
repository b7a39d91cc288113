#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/AspectLockDlg.h"
#include "editor/ui/ZoomView.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/WndRecord.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

// The view is 200 x 130 with its tool strip, so its image area is
// (0, 30) - (200, 130): 200 x 100.
constexpr RECT kViewRect{0, 0, 200, 130};

struct Notice {
    WPARAM code;
    void* data;
};

class CNoticeParent : public skintest::CParentWnd {
public:
    std::vector<Notice> m_notices;
    POINT m_lastPoint{-1, -1};

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ZOOMVIEW_NOTIFY) {
            const auto* n = reinterpret_cast<const ZoomViewNotice*>(lParam);
            m_notices.push_back({wParam, n->data});
            if (wParam >= kZoomNoticeButtonDown && wParam <= kZoomNoticeRightDown && n->data)
                m_lastPoint = *static_cast<const POINT*>(n->data);
            return 0;
        }
        return CParentWnd::WindowProc(message, wParam, lParam);
    }
};

// Pixels of 2 x 2 blocks: B = 3 x block column, G = 5 x block row, R = 77.
CPixel BlockColour(int x, int y)
{
    return CPixel{static_cast<BYTE>((x / 2) * 3 % 256), static_cast<BYTE>((y / 2) * 5 % 256), 77, 255};
}

void MakeBlocks(CQLImage* image, int w, int h)
{
    ASSERT_EQ(image->Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->PutPixel(x, y, BlockColour(x, y));
}

Bgr BlockBgr(int x, int y)
{
    return skintest::BgrOf(BlockColour(x, y));
}

// A control's notice to its dialog, as the control sends it.
void ControlNotice(CWnd* dialog, UINT id, UINT code)
{
    CWnd* control = dialog->GetDlgItem(static_cast<int>(id));
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control ? control->m_hWnd : nullptr));
}

template <class View = ZoomView>
class ZoomViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      QUILLO_PROGRAM_DIR);
        qlafx::SetBeepHook([this](UINT) { ++m_beeps; });
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 300, 200));
        ASSERT_TRUE(m_view.Create("Preview", kViewRect, &m_parent, 4097)) << "tool pictures in " << QUILLO_PROGRAM_DIR;
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        m_parent.DestroyWindow();
        qlafx::SetBeepHook({});
        qlafx::SetModalHook({});
        qlafx::UpdateKeyState(VK_SHIFT, false);
        qlafx::ProcessPendingEvents();
    }
    void Show(int w, int h)
    {
        MakeBlocks(&m_image, w, h);
        m_view.SetImage(&m_image, FALSE);
    }
    int NoticesOf(WPARAM code) const
    {
        int n = 0;
        for (const Notice& x : m_parent.m_notices)
            n += x.code == code;
        return n;
    }
    void Mouse(UINT message, int x, int y, WPARAM keys = 0)
    {
        m_view.SendMessage(message, keys, MAKELPARAM(x, y));
    }
    // Hover, press, drag to, release.
    void Drag(POINT from, POINT to)
    {
        Mouse(WM_MOUSEMOVE, from.x, from.y);
        Mouse(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
        Mouse(WM_LBUTTONUP, to.x, to.y);
    }
    void Key(UINT vk, bool extended = true)
    {
        m_view.SendMessage(WM_KEYDOWN, vk, 1 | (extended ? (1u << 24) : 0u));
    }
    RECT Selection() const
    {
        RECT r;
        m_view.GetSelection(&r);
        return r;
    }

    CNoticeParent m_parent;
    View m_view;
    CQLImage m_image;
    int m_beeps = 0;
};

using ZoomViewTest = ZoomViewFixture<>;

std::string RectText(const RECT& r)
{
    char s[64];
    std::snprintf(s, sizeof s, "(%d,%d,%d,%d)", static_cast<int>(r.left), static_cast<int>(r.top),
                  static_cast<int>(r.right), static_cast<int>(r.bottom));
    return s;
}

// ---- zoom ladder ----

struct LadderCase {
    double start;
    bool in;
    double expected;
    bool beeps;
};

TEST_F(ZoomViewTest, ZoomStepsFollowTheLadderAndBeepAtItsEnds)
{
    const LadderCase cases[] = {
        {0.3, true, 0.33, false},  {0.3, false, 0.25, false}, {0.1, false, 0.1, true}, {14, true, 14, true},
        {1, true, 2, false},       {1, false, 0.66, false},   {0.66, true, 1, false},  {0.05, false, 0.05, true},
        {20, false, 14, false},    {13.5, true, 14, false},   {0.2, false, 0.1, false},
    };
    Show(400, 300);
    for (const LadderCase& c : cases) {
        m_view.m_zoom = c.start;
        m_beeps = 0;
        m_parent.m_notices.clear();
        c.in ? m_view.ZoomInAt(200, 150) : m_view.ZoomOutAt(200, 150);
        EXPECT_DOUBLE_EQ(m_view.m_zoom, c.expected) << c.start << (c.in ? " in" : " out");
        EXPECT_EQ(m_beeps, c.beeps ? 1 : 0) << c.start;
        // A step tells the owner; a beep changes nothing.
        EXPECT_EQ(NoticesOf(kZoomNoticeChanged), c.beeps ? 0 : 1) << c.start;
    }
}

TEST_F(ZoomViewTest, ZoomingInCentresTheGivenImagePoint)
{
    Show(400, 300);
    m_view.m_zoom = 1;
    m_view.ZoomInAt(200, 150);
    // 200 - trunc(200 / 2 / 2), 150 - trunc(100 / 2 / 2).
    EXPECT_EQ(m_view.m_scrollX, 150);
    EXPECT_EQ(m_view.m_scrollY, 125);
}

// ---- mapping ----

struct MapCase {
    double zoom;
    int scrollX, scrollY;
    POINT in;
    POINT out;
    BOOL inside;
};

TEST_F(ZoomViewTest, ClientToImageTruncatesAndTellsWhetherThePointIsInTheArea)
{
    const MapCase cases[] = {
        {2, 10, 20, {50, 70}, {35, 40}, TRUE},      // (50 / 2) + 10, (40 / 2) + 20
        {2, 0, 0, {3, 27}, {1, -1}, FALSE},         // -3 / 2 truncates to -1, in the strip
        {0.33, 0, 0, {100, 129}, {303, 300}, TRUE}, // 100 / 0.33 = 303.03, 99 / 0.33 = 300
        {0.33, 0, 0, {100, 130}, {303, 303}, FALSE},
        {1, -25, -10, {25, 40}, {0, 0}, TRUE},
    };
    for (const MapCase& c : cases) {
        m_view.m_zoom = c.zoom;
        m_view.m_scrollX = c.scrollX;
        m_view.m_scrollY = c.scrollY;
        POINT p = c.in;
        EXPECT_EQ(m_view.ClientToImage(&p), c.inside) << c.in.x << "," << c.in.y;
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
    }
}

TEST_F(ZoomViewTest, ImageToClientTruncatesAndTellsWhetherThePointLandsInTheArea)
{
    const MapCase cases[] = {
        {0.5, 10, 0, {31, 0}, {10, 30}, TRUE},      // trunc(21 x 0.5) = 10
        {0.5, 10, 0, {5, 0}, {-2, 30}, FALSE},      // trunc(-2.5) = -2
        {2, 5, 10, {6, 11}, {2, 32}, TRUE},
        {0.33, 0, 0, {606, 100}, {199, 63}, TRUE},  // 199.98 and 33
        {3, 0, 0, {67, 0}, {201, 30}, FALSE},
    };
    for (const MapCase& c : cases) {
        m_view.m_zoom = c.zoom;
        m_view.m_scrollX = c.scrollX;
        m_view.m_scrollY = c.scrollY;
        POINT p = c.in;
        EXPECT_EQ(m_view.ImageToClient(&p), c.inside) << c.in.x << "," << c.in.y;
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
    }
}

// ---- fitting ----

TEST_F(ZoomViewTest, FitNeverEnlarges)
{
    const struct {
        int w, h;
        double zoom;
    } cases[] = {
        {400, 300, 100.0 / 300}, {100, 50, 1.0}, {50, 100, 1.0}, {200, 100, 1.0}, {1000, 100, 0.2}, {1, 1, 1.0},
    };
    for (const auto& c : cases) {
        m_view.m_zoom = 7;
        Show(c.w, c.h);
        EXPECT_DOUBLE_EQ(m_view.m_zoom, c.zoom) << c.w << "x" << c.h;
    }
}

TEST_F(ZoomViewTest, WithoutPixelsFitDoesNothing)
{
    m_view.m_zoom = 3;
    m_parent.m_notices.clear();
    m_view.SetImage(&m_image, FALSE);  // no pixels
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 3);
    EXPECT_EQ(NoticesOf(kZoomNoticeChanged), 0);
    EXPECT_FALSE(m_view.m_fitButton.IsWindowEnabled());
}

TEST_F(ZoomViewTest, HiddenButtonsGiveTheWholeClientToTheImage)
{
    Show(400, 200);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 0.5);
    m_view.ShowToolButtons(FALSE);
    EXPECT_EQ(RectText(m_view.m_imageArea), "(0,0,200,130)");
    EXPECT_FALSE(m_view.m_moveButton.IsWindowVisible());
    m_view.ZoomToFit(FALSE);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 0.5);  // min(200 / 400, 130 / 200)
}

// ---- painting ----

struct PaintCase {
    const char* name;
    double zoom;
    int scrollX, scrollY;
    BOOL smooth;
    POINT client;
    POINT imagePixel;  // -1: the background
};

class ZoomViewPaint : public ZoomViewFixture<>, public ::testing::WithParamInterface<PaintCase> {};

TEST_P(ZoomViewPaint, SurfaceShowsTheMappedPixel)
{
    const PaintCase& c = GetParam();
    Show(150, 80);
    m_view.m_smooth = c.smooth;
    m_view.SetScrollZoom(c.scrollX, c.scrollY, c.zoom);
    const QImage surface = skintest::SurfaceOf(m_view.m_hWnd);
    ASSERT_FALSE(surface.isNull());
    const Bgr expected = c.imagePixel.x < 0 ? Bgr{64, 64, 64} : BlockBgr(c.imagePixel.x, c.imagePixel.y);
    EXPECT_EQ(BgrAt(surface, c.client.x, c.client.y), expected);
}

// 150 x 80 at zoom 2 is larger than the area: the scroll stays. At 1 and 0.5
// it is smaller and centred: scroll -(200 / z - 150) / 2, -(100 / z - 80) / 2.
INSTANTIATE_TEST_SUITE_P(
    ZoomView, ZoomViewPaint,
    ::testing::Values(PaintCase{"Zoom2TopLeft", 2, 5, 10, FALSE, {0, 30}, {5, 10}},
                      PaintCase{"Zoom2SamePixel", 2, 5, 10, FALSE, {1, 31}, {5, 10}},
                      PaintCase{"Zoom2NextColumn", 2, 5, 10, FALSE, {2, 30}, {6, 10}},
                      PaintCase{"Zoom2FarCorner", 2, 5, 10, TRUE, {199, 129}, {104, 59}},
                      PaintCase{"Zoom1Centred", 1, 0, 0, TRUE, {25, 40}, {0, 0}},
                      PaintCase{"Zoom1LeftMargin", 1, 0, 0, TRUE, {24, 40}, {-1, -1}},
                      PaintCase{"Zoom1LastPixel", 1, 0, 0, FALSE, {174, 119}, {149, 79}},
                      PaintCase{"Zoom1BottomMargin", 1, 0, 0, FALSE, {100, 120}, {-1, -1}},
                      // 75 x 40 at (62, 60): dest pixel (62 + i) shows block i.
                      PaintCase{"HalfNearest", 0.5, 0, 0, FALSE, {62 + 7, 60 + 3}, {14, 6}},
                      PaintCase{"HalfAveraged", 0.5, 0, 0, TRUE, {62 + 7, 60 + 3}, {14, 6}},
                      PaintCase{"HalfMarginLeft", 0.5, 0, 0, TRUE, {61, 70}, {-1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZoomViewTest, PaintScalesOnlyTheVisiblePart)
{
    Show(1000, 800);
    m_view.SetScrollZoom(300, 200, 2);
    // 100 x 50 image pixels cover the area; one more each way for the
    // partly shown edge.
    EXPECT_EQ(RectText(m_view.m_lastSource), "(300,200,401,251)");
    EXPECT_EQ(RectText(m_view.m_lastDest), "(0,30,202,132)");
    // Panned past the end: kept so the image still covers the area.
    m_view.SetScrollZoom(990, -40, 2);
    EXPECT_EQ(m_view.m_scrollX, 900);
    EXPECT_EQ(m_view.m_scrollY, 0);
}

struct ModeCase {
    BOOL smooth;
    double zoom;
    int expected;
};

TEST_F(ZoomViewTest, StretchModeFollowsSmoothingAndZoom)
{
    Show(150, 80);
    const ModeCase cases[] = {
        {TRUE, 2, HALFTONE}, {TRUE, 0.5, HALFTONE}, {FALSE, 0.5, COLORONCOLOR}, {FALSE, 2, BLACKONWHITE},
        {FALSE, 1, BLACKONWHITE},
    };
    for (const ModeCase& c : cases) {
        m_view.m_smooth = c.smooth;
        m_view.m_zoom = c.zoom;
        CClientDC dc(&m_view);
        dc.SetStretchBltMode(BLACKONWHITE);
        m_view.PaintImage(&dc);
        EXPECT_EQ(dc.GetStretchBltMode(), c.expected) << c.smooth << " " << c.zoom;
    }
}

TEST_F(ZoomViewTest, ToolStripAndSelectionFrame)
{
    Show(150, 80);
    m_view.SetSelection(10, 10, 30, 20, TRUE);
    m_view.SetScrollZoom(5, 10, 2);
    const QImage s = skintest::SurfaceOf(m_view.m_hWnd);
    EXPECT_EQ(BgrAt(s, 160, 2), (Bgr{80, 80, 80}));     // the strip
    EXPECT_EQ(BgrAt(s, 199, 29), (Bgr{48, 48, 48}));    // its bottom line
    EXPECT_EQ(BgrAt(s, 150, 2), (Bgr{48, 48, 48}));     // the line at right - 50
    // Selection (10, 10)-(30, 20) at client (10, 30)-(50, 50): black frame,
    // white inside it, the picture inside that.
    EXPECT_EQ(BgrAt(s, 20, 30), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 20, 31), (Bgr{255, 255, 255}));
    EXPECT_EQ(BgrAt(s, 20, 33), BlockBgr(15, 11));
    // The left handle: a black 5 x 8 frame at (8, 36) round a white 3 x 6
    // mark, over the edge's midpoint (10, 40); the picture beside it.
    EXPECT_EQ(BgrAt(s, 8, 40), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 9, 37), (Bgr{255, 255, 255}));
    EXPECT_EQ(BgrAt(s, 11, 42), (Bgr{255, 255, 255}));
    EXPECT_EQ(BgrAt(s, 12, 43), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 7, 40), BlockBgr(8, 15));
}

// ---- panning, wheel, buttons ----

TEST_F(ZoomViewTest, PanningMovesTheScrollByTheMouseOffsetOverTheZoom)
{
    Show(400, 300);
    m_view.SetScrollZoom(100, 100, 2);
    m_parent.m_notices.clear();
    Mouse(WM_LBUTTONDOWN, 100, 80, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 141, 59, MK_LBUTTON);
    // 100 - trunc(41 / 2), 100 - trunc(-21 / 2).
    EXPECT_EQ(m_view.m_scrollX, 80);
    EXPECT_EQ(m_view.m_scrollY, 110);
    EXPECT_EQ(NoticesOf(kZoomNoticeChanged), 1);
    Mouse(WM_LBUTTONUP, 141, 59);
    Mouse(WM_MOUSEMOVE, 10, 50);
    EXPECT_EQ(m_view.m_scrollX, 80);
}

TEST_F(ZoomViewTest, WheelZoomsOverTheImageAreaOnly)
{
    Show(150, 80);  // zoom 1, centred: the image spans client x 25..174
    POINT margin{10, 60}, image{100, 80}, strip{100, 10};
    m_view.ClientToScreen(&margin);
    m_view.ClientToScreen(&image);
    m_view.ClientToScreen(&strip);
    m_view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(strip.x, strip.y));
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 1) << "the tool strip is no part of the picture";
    m_view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(margin.x, margin.y));
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 2) << "the margin around a small photo zooms too";
    m_view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(image.x, image.y));
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 1);
    m_view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(image.x, image.y));
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 0.66);
    m_view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(image.x, image.y));
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 1);
}

// Wheel turns keep the photo point under the pointer where it is, in and out,
// wherever the pointer is; within one photo pixel of the new zoom.
TEST_F(ZoomViewTest, WheelKeepsThePointUnderThePointer)
{
    Show(800, 600);
    m_view.SetScrollZoom(300, 200, 1.0);
    const struct {
        const char* name;
        POINT client;
        short delta;
        double zoom;
    } turns[] = {{"in near the top left", {20, 40}, 120, 2},   {"in again", {20, 40}, 120, 3},
                 {"out at the right", {190, 120}, -120, 2},   {"out again", {190, 120}, -120, 1},
                 {"out below the middle", {120, 100}, -120, 0.66}};
    for (const auto& t : turns) {
        m_view.UpdateWindow();
        POINT before = t.client;
        m_view.ClientToImage(&before);
        POINT screen = t.client;
        m_view.ClientToScreen(&screen);
        m_view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(t.delta)), MAKELPARAM(screen.x, screen.y));
        ASSERT_DOUBLE_EQ(m_view.m_zoom, t.zoom) << t.name;
        POINT after = t.client;
        m_view.ClientToImage(&after);
        EXPECT_LE(std::abs(after.x - before.x), 1) << t.name;
        EXPECT_LE(std::abs(after.y - before.y), 1) << t.name;
    }
}

TEST_F(ZoomViewTest, ToolButtonsSetTheModeAndZoom)
{
    Show(400, 300);
    m_view.SendMessage(WM_COMMAND, MAKEWPARAM(8961, BN_CLICKED), 0);
    EXPECT_EQ(m_view.m_toolMode, kToolZoomIn);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 0.5);  // from the fit (1/3) one step in
    EXPECT_TRUE(m_view.m_zoomInButton.GetState() & BST_PUSHED);
    EXPECT_FALSE(m_view.m_moveButton.GetState() & BST_PUSHED);
    // A click in zoom-in mode zooms in, the right button out.
    Mouse(WM_LBUTTONDOWN, 100, 80, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 100, 80);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 0.66);
    Mouse(WM_RBUTTONDOWN, 100, 80, MK_RBUTTON);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 0.5);
    m_view.SendMessage(WM_COMMAND, MAKEWPARAM(8963, BN_CLICKED), 0);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 1);
    m_view.SendMessage(WM_COMMAND, MAKEWPARAM(8964, BN_CLICKED), 0);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 100.0 / 300);
    m_view.SendMessage(WM_COMMAND, MAKEWPARAM(8960, BN_CLICKED), 0);
    EXPECT_EQ(m_view.m_toolMode, kToolMove);
}

// ---- selection ----

struct DragCase {
    const char* name;
    float lockRatio;  // 0: no lock
    POINT from, to;   // client points
    RECT expected;
};

class ZoomViewDrag : public ZoomViewFixture<>, public ::testing::WithParamInterface<DragCase> {};

// 400 x 300 at zoom 1, scroll (0, 0): image (x, y) is client (x, y + 30).
// Selection (20, 20)-(60, 50) is client (20, 50)-(60, 80).
TEST_P(ZoomViewDrag, HandlesMoveTheirEdges)
{
    const DragCase& c = GetParam();
    Show(400, 300);
    m_view.SetScrollZoom(0, 0, 1);
    m_view.SetSelection(20, 20, 60, 50, TRUE);
    m_view.SetAspectLock(c.lockRatio > 0, c.lockRatio > 0 ? c.lockRatio : 1.0f);
    m_view.RepaintNow();
    Drag(c.from, c.to);
    EXPECT_EQ(RectText(Selection()), RectText(c.expected));
    EXPECT_FALSE(m_view.m_dragging);
}

INSTANTIATE_TEST_SUITE_P(
    ZoomView, ZoomViewDrag,
    ::testing::Values(DragCase{"Corner", 0, {58, 78}, {100, 90}, {20, 20, 100, 60}},
                      DragCase{"CornerNotPastTheTopLeft", 0, {58, 78}, {21, 90}, {20, 20, 60, 50}},
                      DragCase{"Left", 0, {20, 60}, {5, 60}, {5, 20, 60, 50}},
                      DragCase{"LeftNotPastTheRight", 0, {20, 60}, {59, 60}, {20, 20, 60, 50}},
                      DragCase{"Right", 0, {60, 60}, {150, 60}, {20, 20, 150, 50}},
                      DragCase{"RightClampedToTheImage", 0, {60, 60}, {450, 60}, {20, 20, 400, 50}},
                      DragCase{"Top", 0, {40, 50}, {40, 35}, {20, 5, 60, 50}},
                      DragCase{"Bottom", 0, {40, 80}, {40, 120}, {20, 20, 60, 90}},
                      // Moved by (30, -100) and shifted back inside.
                      DragCase{"MoveShiftedInside", 0, {40, 65}, {70, -35}, {50, 0, 90, 30}},
                      DragCase{"Outside", 0, {100, 100}, {120, 120}, {20, 20, 60, 50}},
                      // Lock 2: from the height 40 the width is 80.
                      DragCase{"LockedTopFitsFromTheHeight", 2.0f, {40, 50}, {40, 40}, {20, 10, 100, 50}},
                      // From the width 100 the height is 50.
                      DragCase{"LockedRightFitsFromTheWidth", 2.0f, {60, 60}, {120, 60}, {20, 20, 120, 70}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZoomViewTest, MoveDragUsesTheZoom)
{
    Show(400, 300);
    m_view.SetScrollZoom(0, 0, 2);
    m_view.SetSelection(20, 20, 60, 50, TRUE);
    m_view.RepaintNow();
    // Inside at client (80, 100) = image (40, 35); moved by (25, 9) / 2.
    Drag(POINT{80, 100}, POINT{105, 109});
    EXPECT_EQ(RectText(Selection()), "(32,24,72,54)");
}

struct KeyCase {
    const char* name;
    RECT start;
    float lockRatio;
    UINT vk;
    bool shift;
    bool extended;
    RECT expected;
};

class ZoomViewKeys : public ZoomViewFixture<>, public ::testing::WithParamInterface<KeyCase> {};

// A 100 x 80 image.
TEST_P(ZoomViewKeys, MoveOrSizeTheSelection)
{
    const KeyCase& c = GetParam();
    Show(100, 80);
    m_view.SetSelection(c.start.left, c.start.top, c.start.right, c.start.bottom, TRUE);
    m_view.SetAspectLock(c.lockRatio > 0, c.lockRatio > 0 ? c.lockRatio : 1.0f);
    qlafx::UpdateKeyState(VK_SHIFT, c.shift);
    Key(c.vk, c.extended);
    qlafx::UpdateKeyState(VK_SHIFT, false);
    EXPECT_EQ(RectText(Selection()), RectText(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    ZoomView, ZoomViewKeys,
    ::testing::Values(KeyCase{"Left", {10, 10, 40, 30}, 0, VK_LEFT, false, true, {5, 10, 35, 30}},
                      KeyCase{"LeftUpToTheEdge", {3, 10, 33, 30}, 0, VK_LEFT, false, true, {0, 10, 30, 30}},
                      KeyCase{"LeftAtTheEdge", {0, 10, 30, 30}, 0, VK_LEFT, false, true, {0, 10, 30, 30}},
                      KeyCase{"Right", {60, 10, 97, 30}, 0, VK_RIGHT, false, true, {63, 10, 100, 30}},
                      KeyCase{"Up", {10, 10, 40, 30}, 0, VK_UP, false, true, {10, 5, 40, 25}},
                      KeyCase{"Down", {10, 50, 40, 78}, 0, VK_DOWN, false, true, {10, 52, 40, 80}},
                      KeyCase{"NotExtended", {10, 10, 40, 30}, 0, VK_LEFT, false, false, {10, 10, 40, 30}},
                      KeyCase{"ShiftLeftShrinks", {10, 10, 40, 30}, 0, VK_LEFT, true, true, {10, 10, 39, 30}},
                      KeyCase{"ShiftLeftKeepsTwo", {10, 10, 12, 30}, 0, VK_LEFT, true, true, {10, 10, 12, 30}},
                      KeyCase{"ShiftUpShrinks", {10, 10, 40, 30}, 0, VK_UP, true, true, {10, 10, 40, 29}},
                      KeyCase{"ShiftRightGrows", {10, 10, 40, 30}, 0, VK_RIGHT, true, true, {10, 10, 41, 30}},
                      KeyCase{"ShiftRightFullWidth", {0, 10, 100, 30}, 0, VK_RIGHT, true, true, {0, 10, 100, 30}},
                      // At the right edge the grown rectangle shifts back in.
                      KeyCase{"ShiftRightAtTheEdge", {60, 10, 100, 30}, 0, VK_RIGHT, true, true, {59, 10, 100, 30}},
                      KeyCase{"ShiftDownGrows", {10, 10, 40, 30}, 0, VK_DOWN, true, true, {10, 10, 40, 31}},
                      // Lock 2: height 21 gives width 42.
                      KeyCase{"LockedShiftDown", {10, 10, 40, 30}, 2.0f, VK_DOWN, true, true, {10, 10, 52, 31}},
                      // Lock 3: width 91 gives height 30.
                      KeyCase{"LockedShiftRight", {0, 0, 90, 20}, 3.0f, VK_RIGHT, true, true, {0, 0, 91, 30}},
                      // Lock 0.5: width 51 asks 102 rows; the image has 80, so 40 x 80.
                      KeyCase{"LockedTooTall", {0, 0, 50, 60}, 0.5f, VK_RIGHT, true, true, {0, 0, 40, 80}},
                      // Lock 1: 21 x 21 from (10, 60) would end at 81: shifted up.
                      KeyCase{"LockedShiftedBackInside", {10, 60, 30, 75}, 1.0f, VK_RIGHT, true, true,
                              {10, 59, 31, 80}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZoomViewTest, EnterAndDoubleClickConfirmTheSelection)
{
    Show(400, 300);
    m_view.SetScrollZoom(0, 0, 1);
    m_view.SetSelection(20, 20, 60, 50, TRUE);
    m_view.RepaintNow();
    Key(VK_RETURN, false);
    EXPECT_EQ(NoticesOf(kZoomNoticeConfirm), 1);
    Mouse(WM_LBUTTONDBLCLK, 40, 65);
    EXPECT_EQ(NoticesOf(kZoomNoticeConfirm), 2);
    Mouse(WM_LBUTTONDBLCLK, 100, 100);
    EXPECT_EQ(NoticesOf(kZoomNoticeConfirm), 2);
    // An inactive selection ignores them.
    m_view.SetSelection(20, 20, 60, 50, FALSE);
    Key(VK_RETURN, false);
    EXPECT_EQ(NoticesOf(kZoomNoticeConfirm), 2);
}

TEST_F(ZoomViewTest, IconsConfirmAndOpenTheAspectLock)
{
    Show(400, 300);
    m_view.SetScrollZoom(0, 0, 1);
    m_view.m_showIcons = TRUE;
    // Client (20, 50)-(120, 100); icons at (60, 84) and (78, 84), 16 x 16.
    m_view.SetSelection(20, 20, 120, 70, TRUE);
    m_view.RepaintNow();
    Mouse(WM_MOUSEMOVE, 62, 90);
    Mouse(WM_LBUTTONDOWN, 62, 90, MK_LBUTTON);
    EXPECT_EQ(NoticesOf(kZoomNoticeConfirm), 1);

    float offered = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (text || !dialog)
            return IDOK;
        auto* dlg = static_cast<CAspectLockDlg*>(dialog);
        offered = dlg->m_currentRatio;
        dlg->CheckDlgButton(IDC_LOCK_PROPORTION, BST_CHECKED);
        ControlNotice(dlg, IDC_LOCK_PROPORTION, BN_CLICKED);
        dlg->SendDlgItemMessage(IDC_RATIO_CHOICE, CB_SETCURSEL, 18);  // "16:9"
        ControlNotice(dlg, IDC_RATIO_CHOICE, CBN_SELCHANGE);
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return qlafx::kModalRun;
    });
    Mouse(WM_MOUSEMOVE, 80, 90);
    Mouse(WM_LBUTTONDOWN, 80, 90, MK_LBUTTON);
    EXPECT_FLOAT_EQ(offered, 2.0f);  // 100 / 50
    EXPECT_TRUE(m_view.m_aspectLock);
    EXPECT_FLOAT_EQ(m_view.m_aspectRatio, 16.0f / 9);
    // From the width 100: trunc(100 / 1.7778) = 56.
    EXPECT_EQ(RectText(Selection()), "(20,20,120,76)");
}

struct LockDialogCase {
    const char* name;
    int choice;  // -1 leaves the choice alone
    const char* width;
    const char* height;
    BOOL lock;
    float ratio;
    bool closes;
};

class AspectLockDialog : public ZoomViewFixture<>, public ::testing::WithParamInterface<LockDialogCase> {};

// The dialog opened on a 400 x 300 selection.
TEST_P(AspectLockDialog, ReturnsTheChosenLock)
{
    const LockDialogCase& c = GetParam();
    CAspectLockDlg dlg(&m_parent);
    dlg.m_lockRatio = 1;
    dlg.m_currentRatio = dlg.m_lockedRatio = 400.0f / 300.0f;
    int boxes = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (text) {
            ++boxes;  // the range message
            return IDOK;
        }
        auto* d = static_cast<CAspectLockDlg*>(dialog);
        if (!c.lock) {
            d->CheckDlgButton(IDC_LOCK_PROPORTION, BST_UNCHECKED);
            ControlNotice(d, IDC_LOCK_PROPORTION, BN_CLICKED);
        }
        if (c.choice >= 0) {
            d->SendDlgItemMessage(IDC_RATIO_CHOICE, CB_SETCURSEL, static_cast<WPARAM>(c.choice));
            ControlNotice(d, IDC_RATIO_CHOICE, CBN_SELCHANGE);
        }
        if (c.width) {
            d->SetDlgItemText(IDC_CUSTOM_WIDTH, c.width);
            d->SetDlgItemText(IDC_CUSTOM_HEIGHT, c.height);
        }
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDCANCEL;  // ends it when OK did not
    });
    const auto result = dlg.DoModal();
    EXPECT_EQ(result, c.closes ? IDOK : IDCANCEL);
    EXPECT_EQ(boxes, c.closes ? 0 : 1);
    EXPECT_EQ(dlg.m_lockRatio, c.lock);
    EXPECT_FLOAT_EQ(dlg.m_lockedRatio, c.ratio);
}

INSTANTIATE_TEST_SUITE_P(
    ZoomView, AspectLockDialog,
    ::testing::Values(LockDialogCase{"CurrentUnchanged", -1, nullptr, nullptr, 1, 4.0f / 3, true},
                      LockDialogCase{"Unlocked", -1, nullptr, nullptr, 0, 4.0f / 3, true},
                      LockDialogCase{"FivePortrait", 7, nullptr, nullptr, 1, 0.7f, true},
                      LockDialogCase{"Custom16To10", 1, "16", "10", 1, 1.6f, true},
                      LockDialogCase{"CustomTooSmallRefused", 1, "0.05", "1", 1, 4.0f / 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AspectLockPreview, FitsTheRatioCentredInTheDeflatedArea)
{
    // 100 x 80 deflated to 80 x 60 at (10, 10).
    EXPECT_EQ(RectText(CAspectLockDlg::PreviewRect(RECT{0, 0, 100, 80}, 2.0f)), "(10,20,90,60)");  // cut 10
    EXPECT_EQ(RectText(CAspectLockDlg::PreviewRect(RECT{0, 0, 100, 80}, 0.5f)), "(35,10,65,70)");  // cut 25
}

// ---- owner notices ----

TEST_F(ZoomViewTest, NotifyModeForwardsMouseAndKeys)
{
    Show(400, 300);
    m_view.SetNotifyMode(TRUE);
    EXPECT_EQ(m_view.m_toolMode, kToolNotify);
    Mouse(WM_LBUTTONDOWN, 50, 60, MK_LBUTTON);
    EXPECT_EQ(NoticesOf(kZoomNoticeButtonDown), 1);
    EXPECT_EQ(m_parent.m_lastPoint.x, 50);
    EXPECT_EQ(m_parent.m_lastPoint.y, 60);
    Mouse(WM_MOUSEMOVE, 51, 61, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 51, 61);
    Mouse(WM_RBUTTONDOWN, 52, 62, MK_RBUTTON);
    EXPECT_EQ(NoticesOf(kZoomNoticeMouseMove), 1);
    EXPECT_EQ(NoticesOf(kZoomNoticeButtonUp), 1);
    EXPECT_EQ(NoticesOf(kZoomNoticeRightDown), 1);
    EXPECT_EQ(m_parent.m_lastPoint.x, 52);
    qlafx::UpdateKeyState(VK_SHIFT, true);
    Key(VK_LEFT);
    qlafx::UpdateKeyState(VK_SHIFT, false);
    Key('A', false);
    ASSERT_EQ(NoticesOf(kZoomNoticeKeyDown), 2);
    std::vector<uintptr_t> keys;
    for (const Notice& n : m_parent.m_notices)
        if (n.code == kZoomNoticeKeyDown)
            keys.push_back(reinterpret_cast<uintptr_t>(n.data));
    EXPECT_EQ(keys[0], 0x25u | 0x100u | 0x200u);
    EXPECT_EQ(keys[1], 0x41u);
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 100.0 / 300);  // nothing zoomed or panned
}

TEST_F(ZoomViewTest, PixelAtIsThePixelOrThe7x7Mean)
{
    ASSERT_EQ(m_image.Create(20, 20), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            m_image.PutPixel(x, y, CPixel{static_cast<BYTE>(x * 10), static_cast<BYTE>(y), 7, 255});
    m_view.SetImage(&m_image, FALSE);
    m_view.SetScrollZoom(0, 0, 1);  // centred: scroll (-90, -40)
    EXPECT_EQ(m_view.m_scrollX, -90);
    const POINT p{90 + 10, 30 + 40 + 5};  // image (10, 5)
    EXPECT_EQ(m_view.GetPixelAt(p, FALSE), static_cast<int>(RGB(7, 5, 100)));
    // Columns 7..13 average to 100, rows 2..8 to 5.
    EXPECT_EQ(m_view.GetPixelAt(p, TRUE), static_cast<int>(RGB(7, 5, 100)));
    // At (0, 0) the clamped window holds columns 0,0,0,0,1,2,3: mean 60 / 7 x 10 -> 8.
    EXPECT_EQ(m_view.GetPixelAt(POINT{90, 70}, TRUE), static_cast<int>(RGB(7, 0, 8)));
    EXPECT_EQ(m_view.GetPixelAt(POINT{89, 70}, FALSE), -1);
}

TEST_F(ZoomViewTest, CopyViewFromTakesTheOtherViewsZoomAndScroll)
{
    Show(400, 300);
    ZoomView other;
    ASSERT_TRUE(other.Create("Other", kViewRect, &m_parent, 4101));
    other.SetImage(&m_image, FALSE);
    m_view.SetScrollZoom(120, 70, 2);
    other.CopyViewFrom(&m_view);
    int pos[2];
    double zoom = 0;
    other.GetScrollZoom(pos, &zoom);
    EXPECT_EQ(pos[0], 120);
    EXPECT_EQ(pos[1], 70);
    EXPECT_DOUBLE_EQ(zoom, 2);
    m_view.SaveZoomState();
    m_view.SetScrollZoom(0, 0, 1);
    m_view.RestoreZoomState();
    EXPECT_DOUBLE_EQ(m_view.m_zoom, 2);
    EXPECT_EQ(m_view.m_scrollX, 120);
}

// ---- pictures ----

TEST(ZoomViewPictures, CursorsAndIconsAreCompiledIn)
{
    for (int id : {136, 137, 138}) {
        POINT hot{-1, -1};
        const QImage img = qlafx::IconImage(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(id)), &hot);
        EXPECT_EQ(img.size(), QSize(32, 32)) << id;
        EXPECT_GT(hot.x, 0) << id;  // the hand's middle, the lens's centre
        EXPECT_GT(qAlpha(img.pixel(hot.x, hot.y)), 0) << id;
        EXPECT_EQ(qAlpha(img.pixel(31, 0)), 0) << id;  // a transparent corner
    }
    for (int id : {164, 165, 166, 170}) {
        const QImage img = qlafx::IconImage(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id)), nullptr);
        EXPECT_EQ(img.size(), QSize(16, 16)) << id;
    }
}

// ---- subclasses ----

using ClickEditViewTest = ZoomViewFixture<CClickEditView>;

TEST_F(ClickEditViewTest, StaysInClickModeAndSendsTheImagePoint)
{
    Show(400, 300);
    EXPECT_EQ(m_view.m_toolMode, kToolClickEdit);
    m_view.SetToolMode(kToolMove);
    EXPECT_EQ(m_view.m_toolMode, kToolClickEdit);
    EXPECT_FALSE(m_view.m_moveButton.IsWindowEnabled());
    EXPECT_TRUE(m_view.m_zoomInButton.IsWindowEnabled());
    m_view.SetScrollZoom(100, 50, 2);
    Mouse(WM_LBUTTONDOWN, 40, 70, MK_LBUTTON);
    ASSERT_EQ(NoticesOf(kZoomNoticeButtonDown), 1);
    EXPECT_EQ(m_parent.m_lastPoint.x, 120);  // 40 / 2 + 100
    EXPECT_EQ(m_parent.m_lastPoint.y, 70);   // 40 / 2 + 50
    EXPECT_EQ(m_view.m_scrollX, 100);        // no panning
}

using OverlayViewTest = ZoomViewFixture<COverlayView>;

TEST_F(OverlayViewTest, PlacesTheObjectHalvedToFitAndNotifies98)
{
    Show(100, 80);
    m_view.PlaceObjectRect(300, 100);  // 150 x 50, then 75 x 25
    EXPECT_EQ(RectText(Selection()), "(0,0,75,25)");
    EXPECT_TRUE(m_view.m_selectionActive);
    m_parent.m_notices.clear();
    m_view.ZoomInAt(50, 40);
    EXPECT_EQ(NoticesOf(kZoomNoticeOverlayChanged), 1);
    EXPECT_EQ(NoticesOf(kZoomNoticeChanged), 0);
}

}  // namespace
