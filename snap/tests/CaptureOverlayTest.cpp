// The capture overlay on a fake screen: timers, clicks and keys are sent to
// it directly while it runs modally.
#include "SnapTestSupport.h"

#include "platform/afx/Wnd.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace snaptest;
using snap::kOverlayTimer;

namespace {

// A 320 x 200 screen, rows top to bottom: blue = x / 2, green = y.
const CQLImage& Screen()
{
    static CQLImage* img = [] {
        auto* s = new CQLImage;
        s->Create(320, 200);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                s->PutPixel(x, y, CPixel{static_cast<BYTE>(x / 2), static_cast<BYTE>(y), 99, 255});
        return s;
    }();
    return *img;
}

void Key(CWnd* dlg, int vk)
{
    MSG msg{dlg->m_hWnd, WM_KEYDOWN, static_cast<WPARAM>(vk), 0, 0, {0, 0}};
    dlg->PreTranslateMessage(&msg);
}

// What the overlay asked and how it ended.
struct OverlayRun {
    int result = 0;
    std::vector<std::string> boxes;
};

// Runs the overlay with work done on it once it is up; message boxes are
// answered with answer. A dialog still open after work is cancelled.
template <class Work>
OverlayRun RunOverlay(FakeOverlay& dlg, int answer, Work work)
{
    OverlayRun run;
    HookGuard hook([&](CWnd* d, const char*, const char* text, UINT) {
        if (!d) {
            run.boxes.push_back(text ? text : "");
            return answer;
        }
        work();
        return IDCANCEL;
    });
    run.result = static_cast<int>(dlg.DoModal());
    return run;
}

// The result image's size, and its first and last rows: the selection's top
// and bottom lines (the image's rows run top-down).
void ExpectResult(const CQLImage& img, int w, int h, int left, int top)
{
    UINT iw = 0, ih = 0;
    img.GetSize(&iw, &ih);
    ASSERT_EQ(static_cast<int>(iw), w);
    ASSERT_EQ(static_cast<int>(ih), h);
    EXPECT_EQ(img.GetPixel2(0, 0).b, left / 2);
    EXPECT_EQ(img.GetPixel2(0, 0).g, top);
    EXPECT_EQ(img.GetPixel2(w - 1, h - 1).b, (left + w - 1) / 2);
    EXPECT_EQ(img.GetPixel2(w - 1, h - 1).g, top + h - 1);
}

class CaptureOverlayTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpProgram(); }
};

} // namespace

TEST_F(CaptureOverlayTest, EscapeCancelsInEveryMode)
{
    for (int mode = 0; mode <= 4; ++mode) {
        FakeOverlay dlg(mode, Screen());
        const OverlayRun run = RunOverlay(dlg, IDOK, [&] { Key(&dlg, VK_ESCAPE); });
        EXPECT_EQ(run.result, IDCANCEL) << "mode " << mode;
        // Only the rectangle mode prompts at the start.
        EXPECT_EQ(run.boxes.size(), mode == 2 ? 1u : 0u) << "mode " << mode;
        if (mode == 2) {
            EXPECT_EQ(run.boxes[0], "Drag a box, press 'Enter' to confirm, 'ESC' to cancel");
        }
    }
}

TEST_F(CaptureOverlayTest, EnterAcceptsOnlyWhereTheUserChooses)
{
    struct EnterCase {
        int mode;
        int result;
    } const cases[] = {{0, IDCANCEL}, {1, IDOK}, {2, IDOK}, {3, IDCANCEL}, {4, IDCANCEL}};
    for (const EnterCase& c : cases) {
        FakeOverlay dlg(c.mode, Screen());
        const OverlayRun run = RunOverlay(dlg, IDOK, [&] { Key(&dlg, VK_RETURN); });
        EXPECT_EQ(run.result, c.result) << "mode " << c.mode;
        if (c.result == IDOK)  // nothing chosen: the whole screen
            ExpectResult(dlg.m_snapshot, 320, 200, 0, 0);
    }
}

TEST_F(CaptureOverlayTest, WholeScreenAsksAfterOneTickAndYesKeepsTheScreen)
{
    for (int answer : {IDYES, IDNO}) {
        FakeOverlay dlg(0, Screen());
        size_t askedBeforeTick = 99;
        const OverlayRun run = RunOverlay(dlg, answer, [&] {
            askedBeforeTick = 0;
            dlg.OnTimer(kOverlayTimer);
        });
        EXPECT_EQ(askedBeforeTick, 0u);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0], "Confirm the screen capture result.");
        EXPECT_EQ(dlg.m_snapshots, 1);
        if (answer == IDYES) {
            EXPECT_EQ(run.result, IDOK);
            ExpectResult(dlg.m_snapshot, 320, 200, 0, 0);
        } else {
            EXPECT_EQ(run.result, IDCANCEL);
        }
    }
}

TEST_F(CaptureOverlayTest, CountdownShowsTenthsAndCapturesAtFiftyEveryTime)
{
    // Two delayed captures in one run: each counts from 50.
    for (int round = 0; round < 2; ++round) {
        FakeOverlay dlg(3, Screen());
        std::vector<std::string> tips;
        int snapshotsBeforeLast = -1;
        size_t boxesBeforeLast = 99;
        OverlayRun run;
        HookGuard hook([&](CWnd* d, const char*, const char* text, UINT) {
            if (!d) {
                run.boxes.push_back(text);
                return IDYES;
            }
            EXPECT_EQ(dlg.m_snapshots, 0);  // still a small window
            for (int tick = 1; tick <= 50; ++tick) {
                if (tick == 50) {
                    snapshotsBeforeLast = dlg.m_snapshots;
                    boxesBeforeLast = run.boxes.size();
                }
                dlg.OnTimer(kOverlayTimer);
                if (tick < 50) {
                    char text[128] = {};
                    dlg.GetDlgItemText(1005, text, sizeof text);
                    tips.push_back(text);
                }
            }
            return IDCANCEL;
        });
        run.result = static_cast<int>(dlg.DoModal());
        ASSERT_EQ(tips.size(), 49u);
        EXPECT_EQ(tips.front(), "Get Ready?\r\n4:9");
        EXPECT_EQ(tips[24], "Get Ready?\r\n2:5");
        EXPECT_EQ(tips.back(), "Get Ready?\r\n0:1");
        EXPECT_EQ(dlg.m_tipText, "Get Ready?\r\n0:0");
        EXPECT_EQ(snapshotsBeforeLast, 0);
        EXPECT_EQ(boxesBeforeLast, 0u);
        EXPECT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.result, IDOK) << "round " << round;
        ExpectResult(dlg.m_snapshot, 320, 200, 0, 0);
    }
}

TEST_F(CaptureOverlayTest, WindowModePicksTheTopWindowAndShiftAddsOne)
{
    // Top first: A over B where they overlap.
    const qlcapture::ScreenWindow a{1, 100, 50, 200, 150}, b{2, 20, 20, 120, 100};
    struct Step {
        CPoint move;
        UINT flags;  // 0: no click
        bool click;
        RECT selection;
    } const steps[] = {
        {{30, 30}, 0, true, {20, 20, 120, 100}},        // B
        {{110, 60}, MK_SHIFT, true, {20, 20, 200, 150}},  // A over B, Shift: the union
        {{30, 30}, 0, true, {20, 20, 120, 100}},        // a plain click starts over
        {{100, 60}, 0, true, {20, 20, 120, 100}},       // on A's left edge: not inside A, so B
        {{300, 190}, MK_SHIFT, true, {0, 0, 320, 200}},  // no window: the desktop
    };
    FakeOverlay dlg(1, Screen(), {a, b});
    std::vector<RECT> seen;
    const OverlayRun run = RunOverlay(dlg, IDOK, [&] {
        for (const Step& s : steps) {
            dlg.OnMouseMove(0, s.move);
            dlg.OnLButtonDown(s.flags, s.move);
            dlg.OnLButtonUp(s.flags, s.move);
            seen.push_back(dlg.m_selection);
        }
        // Back to B alone, then Enter.
        dlg.OnMouseMove(0, CPoint(30, 30));
        dlg.OnLButtonDown(0, CPoint(30, 30));
        Key(&dlg, VK_RETURN);
    });
    ASSERT_EQ(seen.size(), std::size(steps));
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].left, steps[i].selection.left) << "step " << i;
        EXPECT_EQ(seen[i].top, steps[i].selection.top) << "step " << i;
        EXPECT_EQ(seen[i].right, steps[i].selection.right) << "step " << i;
        EXPECT_EQ(seen[i].bottom, steps[i].selection.bottom) << "step " << i;
    }
    EXPECT_EQ(run.result, IDOK);
    ExpectResult(dlg.m_snapshot, 100, 80, 20, 20);
}

TEST_F(CaptureOverlayTest, RubberBandIsOrderedAndAStillClickTakesTheScreen)
{
    {
        FakeOverlay dlg(2, Screen());
        RECT band{};
        const OverlayRun run = RunOverlay(dlg, IDOK, [&] {
            dlg.OnLButtonDown(0, CPoint(250, 160));
            dlg.OnMouseMove(0, CPoint(100, 100));
            dlg.OnMouseMove(0, CPoint(40, 30));  // up and to the left of the start
            band = dlg.m_band;
            dlg.OnLButtonUp(0, CPoint(40, 30));
            Key(&dlg, VK_RETURN);
        });
        EXPECT_EQ(band.left, 40);
        EXPECT_EQ(band.top, 30);
        EXPECT_EQ(band.right, 250);
        EXPECT_EQ(band.bottom, 160);
        EXPECT_EQ(run.result, IDOK);
        ExpectResult(dlg.m_snapshot, 210, 130, 40, 30);
    }
    {
        FakeOverlay dlg(2, Screen());
        const OverlayRun run = RunOverlay(dlg, IDOK, [&] {
            dlg.OnLButtonDown(0, CPoint(50, 50));
            dlg.OnLButtonUp(0, CPoint(50, 50));
            Key(&dlg, VK_RETURN);
        });
        EXPECT_EQ(run.result, IDOK);
        ExpectResult(dlg.m_snapshot, 320, 200, 0, 0);
    }
}

TEST_F(CaptureOverlayTest, HotKeyTakesTheScreenAtThatMomentAndNoCancels)
{
    for (int answer : {IDYES, IDNO}) {
        FakeOverlay dlg(4, Screen());
        int snapshotsBefore = -1;
        const OverlayRun run = RunOverlay(dlg, answer, [&] {
            snapshotsBefore = dlg.m_snapshots;
            dlg.OnHotKey(snap::kF10HotKey, 0, VK_F10);
        });
        EXPECT_EQ(snapshotsBefore, 0);
        ASSERT_FALSE(run.boxes.empty());
        EXPECT_EQ(run.boxes.back(), "Confirm the screen capture result.");
        EXPECT_EQ(run.result, answer == IDYES ? IDOK : IDCANCEL);
        if (answer == IDYES)
            ExpectResult(dlg.m_snapshot, 320, 200, 0, 0);
    }
}

TEST_F(CaptureOverlayTest, GrabOfADraggedSelectionOnAPhoto)
{
    CQLImage photo, shot;
    if (!LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", 800, &photo))
        GTEST_SKIP() << "corpus photo missing";
    ToSnapshot(photo, &shot);
    FakeOverlay dlg(2, shot);
    QImage grab;
    RunOverlay(dlg, IDOK, [&] {
        dlg.OnLButtonDown(0, CPoint(420, 120));
        dlg.OnMouseMove(0, CPoint(160, 300));
        dlg.OnLButtonUp(0, CPoint(160, 300));
        dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        grab = WindowGrab(&dlg);
    });
    ASSERT_FALSE(grab.isNull());
    EXPECT_FALSE(SaveGrab(grab, "snap_overlay_rect").empty());
    // The three frames on the selection's left edge, and the photo beside them.
    EXPECT_EQ(grab.pixelColor(160, 200).rgb(), QColor(0, 255, 0).rgb());
    EXPECT_EQ(grab.pixelColor(161, 200).rgb(), QColor(0, 128, 0).rgb());
    EXPECT_EQ(grab.pixelColor(162, 200).rgb(), QColor(0, 255, 0).rgb());
    const CPixel under = shot.GetPixel2(170, 200);
    EXPECT_EQ(grab.pixelColor(170, 200).rgb(), QColor(under.r, under.g, under.b).rgb());
}

TEST_F(CaptureOverlayTest, GrabOfTheCountdown)
{
    CQLImage photo, shot;
    if (!LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", 800, &photo))
        GTEST_SKIP() << "corpus photo missing";
    ToSnapshot(photo, &shot);
    FakeOverlay dlg(3, shot);
    QImage grab;
    RunOverlay(dlg, IDNO, [&] {
        for (int i = 0; i < 25; ++i)
            dlg.OnTimer(kOverlayTimer);
        dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        grab = WindowGrab(&dlg);
    });
    ASSERT_FALSE(grab.isNull());
    EXPECT_FALSE(SaveGrab(grab, "snap_overlay_countdown").empty());
    EXPECT_EQ(dlg.m_tipText, "Get Ready?\r\n2:5");
}

TEST_F(CaptureOverlayTest, WithoutTheF10GrabThePromptWindowTakesF10Itself)
{
    // No display to grab the key on.
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    FakeOverlay dlg(4, Screen());
    bool ownKey = false, visible = false;
    int snapshotsBefore = -1;
    const OverlayRun run = RunOverlay(dlg, IDYES, [&] {
        dlg.OnTimer(kOverlayTimer);
        ownKey = dlg.m_ownF10;
        visible = dlg.IsWindowVisible() != FALSE;
        snapshotsBefore = dlg.m_snapshots;
        Key(&dlg, VK_F10);
    });
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_TRUE(ownKey);
    EXPECT_TRUE(visible);
    EXPECT_EQ(snapshotsBefore, 0);
    EXPECT_EQ(dlg.m_tipText, "When ready, press F10 to capture.");
    EXPECT_EQ(run.boxes, (std::vector<std::string>{"Confirm the screen capture result."}));
    EXPECT_EQ(run.result, IDOK);
    ExpectResult(dlg.m_snapshot, 320, 200, 0, 0);
}
