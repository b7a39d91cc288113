// The click-edit dialog and "Erase Spot": the brush patch's weights, the
// stroke area at the corners, undo with its redo tail, the spot search and
// blend, the dialog's clicks, Ctrl+Z, wizard mode, OK, and a grab.
#include "../../adjust/tests/AdjustTestSupport.h"

#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/SelectBrushDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <random>
#include <string>

namespace {

using adjusttest::PumpUntil;
using adjusttest::SamePixels;
using adjusttest::SizeOf;

TEST(ClickEditBrush, PatchWeightsRoundAndRectangle)
{
    CQLImage work;
    shelltest::MakeImage(&work, 41, 41, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 9, 17};
    });
    // size 8, blur 8: solid to 4, fading to 0 at 8.
    struct Case {
        BYTE shape, pressure;
        int dx, dy, alpha;
    };
    const Case cases[] = {
        {0, 255, 0, 0, 255}, {0, 255, 3, 0, 255}, {0, 255, 4, 0, 255},  // (8 - 4) * 255 / 4
        {0, 255, 5, 0, 191}, {0, 255, 7, 0, 63},  {0, 255, 8, 0, 0},    {0, 255, 3, 4, 191},
        {0, 255, 5, 5, 63},                                               // trunc(7.07)
        {1, 255, 3, 4, 255}, {1, 255, 5, 5, 191}, {1, 255, 8, 1, 0},     // max(|dx|, |dy|)
        {0, 128, 0, 0, 128}, {0, 128, 5, 0, 95},
    };
    const POINT centre{20, 20};
    const RECT area{10, 10, 31, 31};
    for (const Case& c : cases) {
        const BYTE brush[4] = {c.shape, 8, 8, c.pressure};
        CQLImage patch;
        ASSERT_TRUE(clickedit::MakeBrushPatch(work, brush, area, centre, &patch));
        ASSERT_EQ(SizeOf(patch).cx, 21);
        const CPixel p = patch.GetPixel2(centre.x + c.dx - area.left, centre.y + c.dy - area.top);
        EXPECT_EQ(p.a, c.alpha) << int(c.shape) << " " << c.dx << "," << c.dy << " p" << int(c.pressure);
        EXPECT_EQ(p.b, centre.x + c.dx);  // the colour is the work image's
        EXPECT_EQ(p.g, centre.y + c.dy);
    }
}

TEST(ClickEditBrush, StrokeAreaClampsAtCorners)
{
    const SIZE image{50, 40};
    struct Case {
        BYTE size, blur;
        POINT p;
        RECT area;
    };
    const Case cases[] = {
        {8, 8, {0, 0}, {0, 0, 8, 8}},
        {8, 8, {49, 39}, {41, 31, 49, 39}},
        {8, 8, {49, 0}, {41, 0, 49, 8}},
        {8, 8, {25, 20}, {17, 12, 33, 28}},
        {9, 5, {25, 20}, {19, 14, 31, 26}},  // 9 / 2 + 5 / 2
        {1, 0, {5, 5}, {5, 5, 5, 5}},        // nothing to edit
    };
    for (const Case& c : cases) {
        const BYTE brush[4] = {0, c.size, c.blur, 255};
        const RECT r = clickedit::StrokeArea(image, c.p, brush);
        EXPECT_EQ(r.left, c.area.left) << c.p.x << "," << c.p.y;
        EXPECT_EQ(r.top, c.area.top) << c.p.x << "," << c.p.y;
        EXPECT_EQ(r.right, c.area.right) << c.p.x << "," << c.p.y;
        EXPECT_EQ(r.bottom, c.area.bottom) << c.p.x << "," << c.p.y;
    }
}

class ClickEditStrokes : public shelltest::ShellWindowsTest {};

// Paints the stroke's area a flat colour, as an edit would.
void Paint(CQLImage* image, RECT area, BYTE v)
{
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            image->PutPixel(x, y, CPixel{v, v, v, 255});
}

TEST_F(ClickEditStrokes, UndoRestoresStrokeByStrokeAndANewStrokeDropsTheRedoTail)
{
    CClickEditDlg dlg(nullptr);
    shelltest::MakeImage(&dlg.m_work, 60, 40, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 6), 50, static_cast<BYTE>(x + y)};
    });
    dlg.m_brush[brush::kSize] = 6;
    dlg.m_brush[brush::kBlur] = 4;
    CQLImage states[4];
    const POINT clicks[3] = {{10, 10}, {14, 12}, {58, 38}};  // overlapping, then a corner
    for (int i = 0; i < 3; ++i) {
        states[i].DuplicateFrom(&dlg.m_work);
        const RECT area = dlg.PushPatch(clicks[i].x, clicks[i].y);
        ASSERT_GT(area.right, area.left);
        Paint(&dlg.m_work, area, static_cast<BYTE>(200 + i));
    }
    states[3].DuplicateFrom(&dlg.m_work);
    EXPECT_EQ(dlg.m_count, 3u);
    for (int i = 2; i >= 0; --i) {
        ASSERT_TRUE(dlg.Undo());
        EXPECT_TRUE(SamePixels(dlg.m_work, states[i])) << i;
    }
    EXPECT_FALSE(dlg.Undo());  // nothing left
    EXPECT_TRUE(SamePixels(dlg.m_work, states[0]));

    // Three strokes, two undone, then a new one: it takes the second's place.
    for (int i = 0; i < 3; ++i)
        Paint(&dlg.m_work, dlg.PushPatch(clicks[i].x, clicks[i].y), static_cast<BYTE>(200 + i));
    dlg.Undo();
    dlg.Undo();
    CQLImage afterFirst;
    afterFirst.DuplicateFrom(&dlg.m_work);
    Paint(&dlg.m_work, dlg.PushPatch(30, 20), 90);
    EXPECT_EQ(dlg.m_count, 2u);
    EXPECT_EQ(dlg.m_strokes.size(), 3u);
    EXPECT_EQ(dlg.m_strokes[1].left, 30 - 5);
    ASSERT_TRUE(dlg.Undo());
    EXPECT_TRUE(SamePixels(dlg.m_work, afterFirst));
    ASSERT_TRUE(dlg.Undo());
    EXPECT_TRUE(SamePixels(dlg.m_work, states[0]));
    EXPECT_FALSE(dlg.Undo());
}

TEST_F(ClickEditStrokes, DefaultBrushFollowsTheImageWidth)
{
    struct Case {
        int width, side;
    };
    for (const Case& c : {Case{100, 1}, Case{1000, 6}, Case{4000, 21}, Case{60000, 301 % 256}}) {
        thePhotoDocument.m_image.Create(static_cast<UINT>(c.width), 2);
        CClickEditDlg dlg(nullptr);
        EXPECT_EQ(dlg.m_brush[brush::kSize], c.side) << c.width;
        EXPECT_EQ(dlg.m_brush[brush::kBlur], c.side) << c.width;
        EXPECT_EQ(dlg.m_brush[brush::kPressure], 255);
        EXPECT_EQ(dlg.m_brush[brush::kShape], 0);
        CEraseSpotsDlg erase(nullptr);
        EXPECT_EQ(erase.m_brush[brush::kSize], 8);
        EXPECT_EQ(erase.m_brush[brush::kBlur], 8);
        EXPECT_EQ(erase.m_maxSize, 16);
    }
    thePhotoDocument.m_image.Free();
}

// Vertical stripes of period 6 with a varying alpha, and a dark dot of
// radius 3 at (40, 30).
void StripesWithDot(CQLImage* image, bool dot)
{
    shelltest::MakeImage(image, 80, 60, [dot](int x, int y) {
        const int dx = x - 40, dy = y - 30;
        if (dot && dx * dx + dy * dy <= 9)
            return CPixel{10, 10, 10, static_cast<BYTE>(y * 4)};
        const BYTE v = (x / 3) % 2 ? 170 : 120;
        return CPixel{v, static_cast<BYTE>(v + 10), static_cast<BYTE>(v + 20), static_cast<BYTE>(y * 4)};
    });
}

TEST(EraseSpots, DarkDotOnATextureIsErasedAndAlphaKept)
{
    CQLImage image, clean;
    StripesWithDot(&image, true);
    StripesWithDot(&clean, false);
    const BYTE brush[4] = {0, 8, 8, 255};
    const RECT area = clickedit::StrokeArea(SizeOf(image), POINT{40, 30}, brush);
    CQLImage patch;
    ASSERT_TRUE(clickedit::MakeBrushPatch(image, brush, area, POINT{40, 30}, &patch));
    const erasespots::Match m = erasespots::FindPatch(image, patch, area);
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.cost, 0);  // the stripes repeat every 6 columns
    EXPECT_EQ((m.x - area.left) % 6, 0);
    ASSERT_TRUE(erasespots::EraseSpot(&image, brush, area, POINT{40, 30}));
    // The core takes the match; the soft edge blends with a shift by 8, so
    // even a perfect match there comes out at most one lower.
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const CPixel got = image.GetPixel2(x, y), want = clean.GetPixel2(x, y);
            const int d = brush::Distance(0, x - 40, y - 30);
            if (d < 4) {
                EXPECT_EQ(got.b, want.b) << x << "," << y;
                EXPECT_EQ(got.r, want.r) << x << "," << y;
            } else {
                EXPECT_NEAR(got.b, want.b, 1) << x << "," << y;
            }
            EXPECT_EQ(got.a, y * 4) << x << "," << y;
        }
    // Outside the area nothing moved.
    EXPECT_EQ(image.GetPixel2(area.right, 30).g, clean.GetPixel2(area.right, 30).g);
}

TEST(EraseSpots, SpotOnNoiseIsKept)
{
    std::mt19937 random(7);
    CQLImage image;
    shelltest::MakeImage(&image, 80, 60, [&](int x, int y) {
        const int dx = x - 40, dy = y - 30;
        const BYTE v = dx * dx + dy * dy <= 9 ? 0 : static_cast<BYTE>(random() & 255);
        return CPixel{v, v, v, 255};
    });
    CQLImage before;
    before.DuplicateFrom(&image);
    const BYTE brush[4] = {0, 8, 8, 255};
    const RECT area = clickedit::StrokeArea(SizeOf(image), POINT{40, 30}, brush);
    CQLImage patch;
    ASSERT_TRUE(clickedit::MakeBrushPatch(image, brush, area, POINT{40, 30}, &patch));
    const erasespots::Match m = erasespots::FindPatch(image, patch, area);
    ASSERT_TRUE(m.found);
    EXPECT_GT(m.cost / (16 * 16), erasespots::kMaxCostPerPixel);
    EXPECT_FALSE(erasespots::EraseSpot(&image, brush, area, POINT{40, 30}));
    EXPECT_TRUE(SamePixels(image, before));
}

TEST(EraseSpots, CandidatesNeverOverlapTheSpotOrTheEdge)
{
    // Too small an image for any candidate to fit beside the area.
    CQLImage image;
    shelltest::MakeImage(&image, 20, 20, [](int x, int) { return CPixel{static_cast<BYTE>(x), 0, 0, 255}; });
    const BYTE brush[4] = {0, 8, 8, 255};
    const RECT area = clickedit::StrokeArea(SizeOf(image), POINT{10, 10}, brush);
    CQLImage patch;
    ASSERT_TRUE(clickedit::MakeBrushPatch(image, brush, area, POINT{10, 10}, &patch));
    EXPECT_FALSE(erasespots::FindPatch(image, patch, area).found);
    CQLImage before;
    before.DuplicateFrom(&image);
    EXPECT_FALSE(erasespots::EraseSpot(&image, brush, area, POINT{10, 10}));
    EXPECT_TRUE(SamePixels(image, before));
}

class EraseSpotsDlgTest : public adjusttest::AdjustDialogTest {
protected:
    int Run(std::function<int(CEraseSpotsDlg*)> work)
    {
        m_work = [work](CWnd* dialog) {
            auto* dlg = dynamic_cast<CEraseSpotsDlg*>(dialog);
            return dlg ? work(dlg) : IDCANCEL;
        };
        return RunEraseSpotsDlg(m_frame);
    }
    static void ClickAt(CEraseSpotsDlg* dlg, int x, int y)
    {
        POINT p{x, y};
        ZoomViewNotice notice{&dlg->m_view, &p};
        dlg->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeButtonDown, reinterpret_cast<LPARAM>(&notice));
    }
    void OpenStripes()
    {
        OpenPhoto(80, 60);
        StripesWithDot(&thePhotoDocument.m_image, true);
    }
};

TEST_F(EraseSpotsDlgTest, ClicksCtrlZAndOkRecordTheStep)
{
    OpenStripes();
    CQLImage clean;
    StripesWithDot(&clean, false);
    const int result = Run([&](CEraseSpotsDlg* dlg) {
        char caption[64] = {};
        dlg->GetWindowText(caption, sizeof caption);
        EXPECT_STREQ(caption, "Erase Spot");
        EXPECT_TRUE(dlg->GetDlgItem(IDOK)->IsWindowVisible());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_CLICK_NEXT)->IsWindowVisible());
        ClickAt(dlg, 40, 30);
        EXPECT_EQ(dlg->m_work.GetPixel2(40, 30).r, clean.GetPixel2(40, 30).r);
        ClickAt(dlg, 200, 30);  // outside the image: nothing
        EXPECT_EQ(dlg->m_count, 1u);
        ClickAt(dlg, 10, 10);
        EXPECT_EQ(dlg->m_count, 2u);
        // Ctrl+Z through the dialog's message loop.
        dlg->m_view.PostMessage(WM_CHAR, 26, 0);
        EXPECT_TRUE(PumpUntil([&] { return dlg->m_count == 1; }, 5000));
        dlg->SendDlgItemMessage(IDC_CLICK_UNDO, BM_CLICK, 0, 0);
        EXPECT_EQ(dlg->m_count, 0u);
        EXPECT_EQ(dlg->m_work.GetPixel2(40, 30).r, 10);
        ClickAt(dlg, 40, 30);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(40, 30).r, clean.GetPixel2(40, 30).r);
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(40, 30).a, 30 * 4);
    char names[256];
    EXPECT_STREQ(thePhotoDocument.m_history.GetActionText(sizeof names, names), "Open,Erase Spot,");
}

TEST_F(EraseSpotsDlgTest, CancelKeepsThePhoto)
{
    OpenStripes();
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    const int result = Run([&](CEraseSpotsDlg* dlg) {
        ClickAt(dlg, 40, 30);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(SamePixels(thePhotoDocument.m_image, before));
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(EraseSpotsDlgTest, WizardModeShowsOnlyNextAndRecordsNoStep)
{
    OpenStripes();
    CEraseSpotsDlg dialog(m_frame);
    dialog.SetTexts("Digital Beauty", "Step 1 : Click the spots(blemishes) on skin to erase it");
    dialog.SetWizardButtons(TRUE, FALSE, TRUE, FALSE);
    m_work = [](CWnd* wnd) {
        auto* dlg = dynamic_cast<CEraseSpotsDlg*>(wnd);
        if (!dlg)
            return IDCANCEL;
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowVisible());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_CLICK_PREV)->IsWindowVisible());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_CLICK_FINISH)->IsWindowVisible());
        EXPECT_TRUE(dlg->GetDlgItem(IDC_CLICK_NEXT)->IsWindowVisible());
        ClickAt(dlg, 40, 30);
        dlg->SendDlgItemMessage(IDC_CLICK_NEXT, BM_CLICK, 0, 0);
        return qlafx::kModalRun;
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.m_nextPressed);
    CQLImage clean;
    StripesWithDot(&clean, false);
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(40, 30).r, clean.GetPixel2(40, 30).r);
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(EraseSpotsDlgTest, SizeSliderSetsSizeAndBlur)
{
    OpenStripes();
    Run([](CEraseSpotsDlg* dlg) {
        EXPECT_EQ(dlg->SendDlgItemMessage(IDC_CLICK_SIZE, TBM_GETRANGEMAX, 0, 0), 16);
        EXPECT_EQ(dlg->SendDlgItemMessage(IDC_CLICK_SIZE, TBM_GETRANGEMIN, 0, 0), 2);
        EXPECT_EQ(dlg->SendDlgItemMessage(IDC_CLICK_SIZE, TBM_GETPOS, 0, 0), 8);
        dlg->SendDlgItemMessage(IDC_CLICK_SIZE, TBM_SETPOS, TRUE, 12);
        NMHDR nm{dlg->GetDlgItem(IDC_CLICK_SIZE)->m_hWnd, IDC_CLICK_SIZE, NM_RELEASEDCAPTURE};
        dlg->SendMessage(WM_NOTIFY, IDC_CLICK_SIZE, reinterpret_cast<LPARAM>(&nm));
        EXPECT_EQ(dlg->m_brush[brush::kSize], 12);
        EXPECT_EQ(dlg->m_brush[brush::kBlur], 12);
        return IDCANCEL;
    });
}

TEST_F(EraseSpotsDlgTest, SetBrushEditsTheBrushWithinSixteen)
{
    OpenStripes();
    struct Case {
        const char* size;
        int answer;
        BYTE expectedSize;
    };
    // 17 is beyond the erase brush's limit: the range message keeps Select Brush open.
    for (const Case& c : {Case{"12", IDOK, 12}, Case{"17", IDOK, 8}, Case{"5", IDCANCEL, 8}}) {
        BYTE size = 0, shape = 0;
        m_work = [&](CWnd* wnd) -> int {
            if (auto* brushDlg = dynamic_cast<CSelectBrushDlg*>(wnd)) {
                brushDlg->SetDlgItemText(IDC_BRUSH_SIZE_EDIT, c.size);
                brushDlg->SendDlgItemMessage(IDC_BRUSH_SHAPE, CB_SETCURSEL, 1, 0);
                brushDlg->SendMessage(WM_COMMAND, static_cast<WPARAM>(c.answer), 0);
                if (::IsWindowVisible(brushDlg->m_hWnd))  // refused: still open
                    brushDlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
                return qlafx::kModalRun;
            }
            auto* dlg = dynamic_cast<CEraseSpotsDlg*>(wnd);
            if (!dlg)
                return IDCANCEL;
            dlg->SendDlgItemMessage(IDC_CLICK_SET_BRUSH, BM_CLICK, 0, 0);
            size = dlg->m_brush[brush::kSize];
            shape = dlg->m_brush[brush::kShape];
            return IDCANCEL;
        };
        RunEraseSpotsDlg(m_frame);
        EXPECT_EQ(size, c.expectedSize) << c.size;
        EXPECT_EQ(shape, c.expectedSize == 12 ? 1 : 0) << c.size;
    }
}

TEST_F(EraseSpotsDlgTest, Grab)
{
    if (!OpenCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    m_frame->MoveWindow(0, 0, 1100, 760);
    std::string grab;
    Run([&](CEraseSpotsDlg* dlg) {
        const SIZE s = SizeOf(dlg->m_work);
        ClickAt(dlg, s.cx / 3, s.cy / 2);
        ClickAt(dlg, s.cx / 2, s.cy / 3);
        EXPECT_EQ(dlg->m_count, 2u);
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        grab = shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "erase-spots");
        return IDCANCEL;
    });
    EXPECT_FALSE(grab.empty());
}

}  // namespace
