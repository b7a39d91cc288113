// The album's viewer windows: the panel, View Photo with its analysis views
// and full-window view, the slideshow and Make Screen Saver.
#include "ShelfKitTestSupport.h"
#include "ShelfTestSupport.h"

#include "album/shell/MakeScreenSaverDlg.h"
#include "album/shell/SlideShowDlg.h"
#include "album/shell/ViewPhotoDlg.h"
#include "album/shell/ViewerPanel.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

using namespace shelf;
namespace fs = std::filesystem;

namespace {

// A decoder over made-up paths: "w x h" grey photos, "bad" ones fail. Only
// decodes on the interface thread are counted: the preloader's own attempt
// races with the dialog and is not the dialog's retry.
struct FakePhotos {
    std::map<std::string, std::pair<int, int>> sizes;
    std::atomic<int> decodes{0};
    const std::thread::id ui = std::this_thread::get_id();
    PhotoPreloadCache::Decoder Decoder()
    {
        return [this](const char* path, CQLImage* image) {
            if (std::this_thread::get_id() == ui)
                ++decodes;
            const auto it = sizes.find(path);
            if (it == sizes.end())
                return 0;
            if (image->Create(static_cast<UINT>(it->second.first), static_cast<UINT>(it->second.second)) != 0)
                return 0;
            std::memset(image->GetBuffer(0, 0), static_cast<int>(it->second.first & 0xFF), image->GetAreaByteSize());
            return 1;
        };
    }
};

// A plain parent window that counts the commands it gets.
class CCommandCounter : public CWnd {
public:
    BOOL CreateParent(int cx, int cy)
    {
        return CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy, nullptr, nullptr);
    }
    int Count(UINT id, UINT) const { return static_cast<int>(std::count(m_ids.begin(), m_ids.end(), id)); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        m_ids.push_back(LOWORD(static_cast<DWORD>(wParam)));
        return TRUE;
    }
    std::vector<UINT> m_ids;
};

void Pump()
{
    qlafx::ProcessPendingEvents();
    QCoreApplication::processEvents();
}

std::string GrabWindow(CWnd* window, const char* name)
{
    Pump();
    return shelfkit::SaveGrab(qlafx::WidgetOf(window->m_hWnd)->grab().toImage(), name);
}

// ---- the viewer panel ----------------------------------------------------------------

class ViewerPanelTest : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        ShelfWindowTest::SetUp();
        qlafx::SetBeepHook([this](UINT) { ++m_beeps; });
        ASSERT_TRUE(m_parent.CreateParent(400, 330));
        ASSERT_TRUE(m_panel.Create("", RECT{0, 0, 400, 330}, &m_parent, 1));
    }
    void TearDown() override
    {
        m_panel.DestroyWindow();
        m_parent.DestroyWindow();
        qlafx::SetBeepHook({});
        ShelfWindowTest::TearDown();
    }
    void Show(int w, int h)
    {
        ASSERT_EQ(0, m_image.Create(static_cast<UINT>(w), static_cast<UINT>(h)));
        std::memset(m_image.GetBuffer(0, 0), 200, m_image.GetAreaByteSize());
        m_panel.SetImage(&m_image, TRUE);
    }
    COLORREF SurfacePixel(int x, int y)
    {
        m_panel.RepaintImage();
        const QImage* surface = qlafx::SurfaceOfWindow(m_panel.m_hWnd);
        const QRgb c = surface->pixel(x, y);
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }

    CCommandCounter m_parent;
    CViewerPanel m_panel;
    CQLImage m_image;
    int m_beeps = 0;
};

TEST_F(ViewerPanelTest, LadderStepsBothWaysAndBeepsAtTheEnds)
{
    Show(100, 100);
    m_panel.m_zoom = 1.0;
    const double up[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    for (double z : up) {
        m_panel.ZoomInAt(50, 50);
        EXPECT_DOUBLE_EQ(z, m_panel.m_zoom);
    }
    m_panel.ZoomInAt(50, 50);
    EXPECT_EQ(1, m_beeps);
    EXPECT_DOUBLE_EQ(14, m_panel.m_zoom);
    m_panel.m_zoom = 1.0;
    const double down[] = {0.66, 0.5, 0.33, 0.25, 0.2, 0.1};
    for (double z : down) {
        m_panel.ZoomOutAt(50, 50);
        EXPECT_DOUBLE_EQ(z, m_panel.m_zoom);
    }
    m_panel.ZoomOutAt(50, 50);
    EXPECT_EQ(2, m_beeps);
    EXPECT_DOUBLE_EQ(0.1, m_panel.m_zoom);
}

TEST_F(ViewerPanelTest, FitNeverEnlargesAndCentresASmallImageOnTheMargin)
{
    Show(4000, 3000);
    EXPECT_LT(m_panel.m_zoom, 0.2);
    Show(100, 50);
    EXPECT_DOUBLE_EQ(1.0, m_panel.m_zoom);
    // Area (0, 30)-(400, 330): the image at (150, 155)-(250, 205).
    EXPECT_EQ(RGB(64, 64, 64), SurfacePixel(10, 40));
    EXPECT_EQ(RGB(64, 64, 64), SurfacePixel(149, 180));
    EXPECT_EQ(RGB(200, 200, 200), SurfacePixel(150, 180));
    EXPECT_EQ(RGB(200, 200, 200), SurfacePixel(249, 204));
    EXPECT_EQ(RGB(64, 64, 64), SurfacePixel(250, 180));
    EXPECT_EQ(RGB(80, 80, 80), SurfacePixel(200, 10)) << "the strip";
}

TEST_F(ViewerPanelTest, PanningStopsAtEveryEdge)
{
    Show(1000, 1000);
    m_panel.m_zoom = 1.0;
    struct Case {
        CPoint to;
        int x, y;
    } cases[] = {{{399, 329}, 0, 0}, {{-2000, -2000}, 1000 - 400, 1000 - 300}, {{-2000, 329}, 600, 0},
                 {{399, -2000}, 0, 700}};
    for (const Case& c : cases) {
        m_panel.m_scrollX = m_panel.m_scrollY = 0;
        m_panel.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 100));
        m_panel.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.to.x & 0xFFFF, c.to.y & 0xFFFF));
        m_panel.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.to.x & 0xFFFF, c.to.y & 0xFFFF));
        m_panel.RepaintImage();
        EXPECT_EQ(c.x, m_panel.m_scrollX) << c.to.x << "," << c.to.y;
        EXPECT_EQ(c.y, m_panel.m_scrollY) << c.to.x << "," << c.to.y;
    }
}

TEST_F(ViewerPanelTest, ToolCommands)
{
    Show(2000, 1000);
    m_panel.SendMessage(WM_COMMAND, 8961);
    EXPECT_EQ(kToolZoomIn, m_panel.m_toolMode);
    m_panel.SendMessage(WM_COMMAND, 8962);
    EXPECT_EQ(kToolZoomOut, m_panel.m_toolMode);
    m_panel.SendMessage(WM_COMMAND, 8960);
    EXPECT_EQ(kToolMove, m_panel.m_toolMode);
    m_panel.SendMessage(WM_COMMAND, 8963);
    EXPECT_DOUBLE_EQ(1.0, m_panel.m_zoom);
    m_panel.SendMessage(WM_COMMAND, 8964);
    EXPECT_DOUBLE_EQ(0.2, m_panel.m_zoom);
    m_panel.SetToolbarVisible(FALSE);
    EXPECT_EQ(0, m_panel.m_imageArea.top);
    EXPECT_FALSE(m_panel.m_moveButton.IsWindowVisible());
}

// ---- View Photo -----------------------------------------------------------------------

class ViewPhotoTest : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        ShelfWindowTest::SetUp();
        ASSERT_TRUE(m_refresh.CreateParent(10, 10));
    }
    void TearDown() override
    {
        m_dlg.reset();
        m_refresh.DestroyWindow();
        qlafx::SetModalHook({});
        Pump();
        ShelfWindowTest::TearDown();
    }
    void Make(PhotoPreloadCache::Decoder decoder = {})
    {
        m_dlg = std::make_unique<CViewPhotoDlg>(decoder);
        ASSERT_TRUE(m_dlg->CreateHidden());
        m_dlg->m_pRefreshTarget = &m_refresh;
    }
    std::string Title()
    {
        CString text;
        m_dlg->GetWindowText(text);
        return text.GetString();
    }

    FakePhotos m_photos;
    CCommandCounter m_refresh;
    std::unique_ptr<CViewPhotoDlg> m_dlg;
};

TEST_F(ViewPhotoTest, SteppingWrapsAndAFailedPhotoKeepsIndexAndTitle)
{
    m_photos.sizes = {{"a", {10, 10}}, {"b", {20, 10}}, {"c", {30, 10}}};
    Make(m_photos.Decoder());
    m_dlg->Open({"a", "b", "c"}, 2);
    EXPECT_EQ(2, m_dlg->m_index);
    EXPECT_EQ("c", Title());
    EXPECT_TRUE(m_dlg->IsWindowVisible());
    m_dlg->ShowNext();
    EXPECT_EQ(0, m_dlg->m_index);
    EXPECT_EQ("a", Title());
    m_dlg->ShowPrevious();
    EXPECT_EQ(2, m_dlg->m_index);
    EXPECT_EQ("c", Title());
    // "b" stops decoding: Previous stays on "c".
    m_photos.sizes.erase("b");
    m_dlg->m_paths[1] = "b2";
    m_dlg->ShowPrevious();
    EXPECT_EQ(2, m_dlg->m_index);
    EXPECT_EQ("c", Title());
    UINT w = 0, h = 0;
    m_dlg->m_source->GetSize(&w, &h);
    EXPECT_EQ(30u, w);
}

TEST_F(ViewPhotoTest, TheFirstPhotoIsFittedToTheMaximisedWindow)
{
    m_photos.sizes = {{"big", {2000, 1500}}};
    Make(m_photos.Decoder());
    m_dlg->Open({"big"}, 0);
    const RECT a = m_dlg->m_panel.m_imageArea;
    const double fit = std::min((a.right - a.left) / 2000.0, (a.bottom - a.top) / 1500.0);
    EXPECT_NEAR(fit, m_dlg->m_panel.m_zoom, 1e-9) << a.right << " x " << a.bottom;
}

TEST_F(ViewPhotoTest, KeysStepAndClose)
{
    m_photos.sizes = {{"a", {10, 10}}, {"b", {20, 10}}, {"c", {30, 10}}};
    Make(m_photos.Decoder());
    m_dlg->Open({"a", "b", "c"}, 0);
    struct Case {
        UINT key;
        int index;
    } cases[] = {{VK_SPACE, 1}, {VK_NEXT, 2}, {VK_RIGHT, 0}, {VK_DOWN, 1}, {VK_PRIOR, 0}, {VK_LEFT, 2},
                 {VK_UP, 1},    {'A', 1}};
    for (const Case& c : cases) {
        MSG msg{m_dlg->m_hWnd, WM_KEYDOWN, c.key, 0, 0, {}};
        EXPECT_TRUE(static_cast<CWnd*>(m_dlg.get())->PreTranslateMessage(&msg));
        EXPECT_EQ(c.index, m_dlg->m_index) << c.key;
    }
    MSG typed{m_dlg->m_hWnd, WM_CHAR, 'x', 0, 0, {}};
    EXPECT_TRUE(static_cast<CWnd*>(m_dlg.get())->PreTranslateMessage(&typed)) << "characters are swallowed";
    MSG esc{m_dlg->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    static_cast<CWnd*>(m_dlg.get())->PreTranslateMessage(&esc);
    EXPECT_FALSE(m_dlg->IsWindowVisible());
}

TEST_F(ViewPhotoTest, DeletingShowsTheNextOrClosesOnTheLast)
{
    shelftest::ScratchFolder folder;
    const std::string a = folder.Path() + "a.jpg", b = folder.Path() + "b.jpg", c = folder.Path() + "c.jpg";
    for (const std::string& p : {a, b, c}) {
        shelftest::WriteBytes(p, "x");
        m_photos.sizes[p] = {static_cast<int>(p.size()), 5};
    }
    Make(m_photos.Decoder());
    std::string asked;
    qlafx::SetModalHook([&](CWnd*, const char*, const char* text, UINT) {
        asked = text ? text : "";
        return IDYES;
    });
    m_dlg->Open({a, b, c}, 1);
    m_dlg->DeletePhoto();
    EXPECT_EQ("Delete the selected files?", asked);
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ((std::vector<std::string>{a, c}), m_dlg->m_paths);
    EXPECT_EQ(c, Title());
    EXPECT_EQ(1, m_dlg->m_index);
    Pump();
    EXPECT_EQ(1, m_refresh.Count(32775, 0));
    // The last of the list wraps to the first.
    m_dlg->DeletePhoto();
    EXPECT_FALSE(fs::exists(c));
    EXPECT_EQ(a, Title());
    m_dlg->DeletePhoto();
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(m_dlg->IsWindowVisible());
    Pump();
    EXPECT_EQ(3, m_refresh.Count(32775, 0));
}

TEST_F(ViewPhotoTest, NoDeleteOnNo)
{
    shelftest::ScratchFolder folder;
    const std::string a = folder.Path() + "a.jpg";
    shelftest::WriteBytes(a, "x");
    m_photos.sizes[a] = {8, 8};
    Make(m_photos.Decoder());
    qlafx::SetModalHook([](CWnd*, const char*, const char*, UINT) { return IDNO; });
    m_dlg->Open({a}, 0);
    m_dlg->DeletePhoto();
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(m_dlg->IsWindowVisible());
}

TEST_F(ViewPhotoTest, ANewerModeSupersedesAnOlderOne)
{
    m_photos.sizes = {{"a", {64, 64}}};
    Make(m_photos.Decoder());
    m_dlg->Open({"a"}, 0);
    m_dlg->SetAnalysisMode(PhotoAnalysis::kRed);
    m_dlg->SetAnalysisMode(PhotoAnalysis::kWarning);
    EXPECT_TRUE(QGuiApplication::overrideCursor()) << "the wait cursor while the view is built";
    m_dlg->FinishAnalysisNow();
    Pump();
    ASSERT_TRUE(m_dlg->m_work);
    EXPECT_EQ(m_dlg->m_work.get(), m_dlg->m_panel.GetShownImage());
    EXPECT_EQ(PhotoAnalysis::kWarning, m_dlg->m_mode);
    EXPECT_FALSE(QGuiApplication::overrideCursor()) << "one wait cursor for both requests, ended";
    // A third view built into the second one's image, given back.
    m_dlg->SetAnalysisMode(PhotoAnalysis::kBlue);
    m_dlg->FinishAnalysisNow();
    ASSERT_TRUE(m_dlg->m_work);
    EXPECT_EQ(m_dlg->m_work.get(), m_dlg->m_panel.GetShownImage());
    EXPECT_EQ(64, m_dlg->m_work->GetBuffer(3, 3)[0]);
    // Back to the photo while a view is being built: no wait cursor is left.
    m_dlg->SetAnalysisMode(PhotoAnalysis::kEdge);
    m_dlg->SetAnalysisMode(PhotoAnalysis::kPhoto);
    EXPECT_EQ(m_dlg->m_source.get(), m_dlg->m_panel.GetShownImage());
    EXPECT_FALSE(QGuiApplication::overrideCursor());
}

// The corpus grabs: a photo in each look, and its full-window view.
TEST_F(ViewPhotoTest, Grabs)
{
    const std::string first = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
    const std::string second = shelfkit::CorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg");
    if (first.empty() || second.empty())
        GTEST_SKIP() << "corpus absent";
    Make();
    m_dlg->Open({first, second}, 0);
    EXPECT_EQ(first, Title());
    m_dlg->PaintStripAndPage();
    EXPECT_FALSE(GrabWindow(m_dlg.get(), "shelf_view_photo").empty());
    struct Look {
        int mode;
        const char* name;
    } looks[] = {{PhotoAnalysis::kEdge, "shelf_view_edge"}, {PhotoAnalysis::kWarning, "shelf_view_warning"},
                 {PhotoAnalysis::kInfo, "shelf_view_info"}};
    for (const Look& l : looks) {
        m_dlg->SetAnalysisMode(l.mode);
        m_dlg->FinishAnalysisNow();
        Pump();
        m_dlg->PaintStripAndPage();
        EXPECT_FALSE(GrabWindow(m_dlg.get(), l.name).empty());
    }
    std::uint64_t total = 0;
    for (std::uint32_t c : m_dlg->m_histograms.counts[0])
        total += c;
    UINT w = 0, h = 0;
    m_dlg->m_source->GetSize(&w, &h);
    EXPECT_EQ(static_cast<std::uint64_t>(w) * h, total);
    m_dlg->SetAnalysisMode(PhotoAnalysis::kPhoto);
    // The full-screen tip is answered at once.
    int tips = 0;
    qlafx::SetModalHook([&](CWnd*, const char*, const char*, UINT) {
        ++tips;
        return IDOK;
    });
    m_dlg->m_fullScreenButton.SetCheck(BST_CHECKED);
    m_dlg->OnFullScreenCheck();
    EXPECT_FALSE(m_dlg->IsWindowVisible());
    EXPECT_TRUE(m_dlg->m_fullWindow.IsWindowVisible());
    EXPECT_EQ(1, tips);
    EXPECT_FALSE(GrabWindow(&m_dlg->m_fullWindow, "shelf_full_window").empty());
    // Keys reach the dialog from the full-window view; Esc comes back.
    MSG next{m_dlg->m_fullWindow.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0, 0, {}};
    static_cast<CWnd*>(&m_dlg->m_fullWindow)->PreTranslateMessage(&next);
    EXPECT_EQ(1, m_dlg->m_index);
    EXPECT_TRUE(m_dlg->m_fullWindow.IsWindowVisible()) << "stepping stays on the full screen";
    EXPECT_FALSE(m_dlg->IsWindowVisible());
    EXPECT_EQ(BST_CHECKED, m_dlg->m_fullScreenButton.GetCheck());
    m_dlg->m_fullWindow.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(m_dlg->m_fullWindow.IsWindowVisible());
    EXPECT_TRUE(m_dlg->IsWindowVisible());
    EXPECT_EQ(second, Title()) << "the title of the photo stepped to on the full screen";
    EXPECT_EQ(BST_UNCHECKED, m_dlg->m_fullScreenButton.GetCheck());
}

// ---- the slideshow --------------------------------------------------------------------

class SlideShowTest : public shelfkit::ShelfWindowTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        Pump();
        ShelfWindowTest::TearDown();
    }
    // Runs the show on a 160 x 80 screen; work gets the running dialog.
    int Run(std::vector<std::string> paths, const std::function<void(CSlideShowDlg&)>& work,
            PhotoPreloadCache::Decoder decoder)
    {
        CSlideShowDlg dlg(nullptr, decoder);
        dlg.m_paths = std::move(paths);
        dlg.m_screenWidth = 160;
        dlg.m_screenHeight = 80;
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
            if (dialog == &dlg) {
                work(dlg);
                if (dlg.m_hWnd && dlg.IsWindowVisible())
                    dlg.EndDialog(IDCANCEL);
            }
            return qlafx::kModalRun;
        });
        const int result = static_cast<int>(dlg.DoModal());
        qlafx::SetModalHook({});
        return result;
    }
    static void Ticks(CSlideShowDlg& dlg, int n)
    {
        for (int i = 0; i < n; ++i)
            dlg.Tick();
    }
    FakePhotos m_photos;
};

TEST_F(SlideShowTest, PlayModesCycleAndOnlyPlayingModesAdvance)
{
    m_photos.sizes = {{"a", {40, 20}}, {"b", {20, 40}}};
    Run({"a", "b"},
        [&](CSlideShowDlg& dlg) {
            EXPECT_EQ(CSlideShowDlg::kPlay, dlg.m_playMode);
            const int cycle[] = {CSlideShowDlg::kRandomPlay, CSlideShowDlg::kPause, CSlideShowDlg::kPressKey,
                                 CSlideShowDlg::kPlay};
            for (int mode : cycle) {
                dlg.SendMessage(WM_COMMAND, CSlideShowDlg::kPlayButton);
                EXPECT_EQ(mode, dlg.m_playMode);
            }
            dlg.SetPlayMode(CSlideShowDlg::kPause);
            Ticks(dlg, 400);
            EXPECT_EQ(0, dlg.m_index);
            EXPECT_FALSE(dlg.m_transitionRunning);
            dlg.SetPlayMode(CSlideShowDlg::kPressKey);
            Ticks(dlg, 400);
            EXPECT_FALSE(dlg.m_transitionRunning) << "no key, no step";
            MSG key{dlg.m_hWnd, WM_KEYDOWN, 'N', 0, 0, {}};
            static_cast<CWnd*>(&dlg)->PreTranslateMessage(&key);
            EXPECT_TRUE(dlg.m_transitionRunning);
            dlg.SetPlayMode(CSlideShowDlg::kPlay);
            Ticks(dlg, 11);
            EXPECT_FALSE(dlg.m_transitionRunning);
            // Play: 101 ticks, then the next photo in order.
            const int before = dlg.m_index;
            dlg.m_ticks = 0;
            Ticks(dlg, 100);
            EXPECT_FALSE(dlg.m_transitionRunning);
            Ticks(dlg, 1);
            EXPECT_TRUE(dlg.m_transitionRunning);
            Ticks(dlg, 11);
            EXPECT_EQ((before + 1) % 2, dlg.m_index);
        },
        m_photos.Decoder());
}

TEST_F(SlideShowTest, NoneChangesThePhotoWithoutFrames)
{
    m_photos.sizes = {{"a", {40, 20}}, {"b", {20, 40}}};
    Run({"a", "b"},
        [&](CSlideShowDlg& dlg) {
            dlg.m_effectChoice = SlideTransitions::kNone;
            dlg.AdvanceSlide();
            Ticks(dlg, 11);
            EXPECT_EQ(0, dlg.m_stepFrames);
            EXPECT_EQ(1, dlg.m_index);
            UINT w = 0, h = 0;
            dlg.m_current.GetSize(&w, &h);
            EXPECT_EQ(20u, w);
            dlg.m_effectChoice = SlideTransitions::kBlocks;
            dlg.AdvanceSlide();
            Ticks(dlg, 11);
            EXPECT_EQ(10, dlg.m_stepFrames);
        },
        m_photos.Decoder());
}

TEST_F(SlideShowTest, TheBarComesOnAMoveOfMoreThanThreePixels)
{
    m_photos.sizes = {{"a", {40, 20}}};
    Run({"a"},
        [&](CSlideShowDlg& dlg) {
            EXPECT_EQ(CSlideShowDlg::kBarSlidingOut, dlg.m_barState);
            Ticks(dlg, 11);
            EXPECT_EQ(CSlideShowDlg::kBarHidden, dlg.m_barState);
            dlg.OnMouseMoveAt(CPoint(50, 50));
            dlg.OnMouseMoveAt(CPoint(53, 47));
            EXPECT_EQ(CSlideShowDlg::kBarHidden, dlg.m_barState);
            dlg.OnMouseMoveAt(CPoint(57, 47));
            EXPECT_EQ(CSlideShowDlg::kBarSlidingIn, dlg.m_barState);
            Ticks(dlg, 11);
            EXPECT_EQ(CSlideShowDlg::kBarShown, dlg.m_barState);
            EXPECT_EQ(0, dlg.BarOrigin().y);
        },
        m_photos.Decoder());
}

TEST_F(SlideShowTest, ThreeFailedLoadsClose)
{
    m_photos.sizes = {{"a", {40, 20}}};
    bool closed = false;
    Run({"a", "bad"},
        [&](CSlideShowDlg& dlg) {
            const int before = m_photos.decodes;
            dlg.AdvanceSlide();
            closed = !dlg.IsWindowVisible();
            EXPECT_LE(m_photos.decodes - before, 3);
        },
        m_photos.Decoder());
    EXPECT_TRUE(closed);
}

TEST_F(SlideShowTest, BlendGrab)
{
    const std::string first = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
    const std::string second = shelfkit::CorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg");
    if (first.empty() || second.empty())
        GTEST_SKIP() << "corpus absent";
    CSlideShowDlg dlg;
    dlg.m_paths = {first, second};
    dlg.m_screenWidth = 800;
    dlg.m_screenHeight = 500;
    std::string grabbed;
    bool barFace = false, hiddenFace = true;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        if (dialog != &dlg)
            return qlafx::kModalRun;
        dlg.m_effectChoice = SlideTransitions::kBlend;
        dlg.m_effectCombo.SetCurSel(SlideTransitions::kBlend);
        dlg.AdvanceSlide();
        dlg.m_barState = CSlideShowDlg::kBarShown;
        for (int i = 0; i <= 5; ++i)
            dlg.Tick();
        dlg.KillTimer(CSlideShowDlg::kTimer);
        dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        grabbed = GrabWindow(&dlg, "shelf_slideshow_blend");
        const QImage shown = qlafx::WidgetOf(dlg.m_hWnd)->grab().toImage();
        // Between the play button and the label: the strip's face.
        barFace = shown.pixel(325, 20) == shown.pixel(205, 2);
        // Slid away: the photo fills the bar's place.
        dlg.m_barState = CSlideShowDlg::kBarSlidingOut;
        dlg.m_barStep = 0;
        for (int i = 0; i < 11; ++i)
            dlg.Tick();
        EXPECT_EQ(CSlideShowDlg::kBarHidden, dlg.m_barState);
        dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump();
        const QImage hidden = qlafx::WidgetOf(dlg.m_hWnd)->grab().toImage();
        hiddenFace = hidden.pixel(325, 20) == shown.pixel(205, 2);
        dlg.SendMessage(WM_COMMAND, IDCANCEL);
        return IDCANCEL;
    });
    dlg.DoModal();
    qlafx::SetModalHook({});
    EXPECT_FALSE(grabbed.empty());
    EXPECT_TRUE(barFace) << "the shown bar's strip";
    EXPECT_FALSE(hiddenFace) << "no strip once the bar is away";
    EXPECT_GE(::ShowCursor(TRUE), 1) << "the cursor count is back";
    ::ShowCursor(FALSE);
}

// ---- Make Screen Saver ---------------------------------------------------------------

class MakeScreenSaverTest : public shelfkit::ShelfWindowTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShelfWindowTest::TearDown();
    }
};

TEST_F(MakeScreenSaverTest, WritesTheSettings)
{
    shelftest::ScratchFolder program;
    std::string grabbed;
    int step = 0;
    std::string said;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
        if (!dialog) {
            said = text ? text : "";
            return IDOK;
        }
        if (step++ == 0) {
            // The spin keeps 3..60.
            struct Spin {
                const char* typed;
                int delta;
                const char* shown;
            } spins[] = {{"3", 1, "3"}, {"60", -1, "60"}, {"10", -1, "11"}, {"10", 1, "9"}};
            for (const Spin& s : spins) {
                dialog->SetDlgItemText(CMakeScreenSaverDlg::kDelay, s.typed);
                NMUPDOWN nm{};
                nm.hdr.hwndFrom = dialog->GetDlgItem(CMakeScreenSaverDlg::kDelaySpin)->m_hWnd;
                nm.hdr.idFrom = CMakeScreenSaverDlg::kDelaySpin;
                nm.hdr.code = UDN_DELTAPOS;
                nm.iDelta = s.delta;
                dialog->SendMessage(WM_NOTIFY, CMakeScreenSaverDlg::kDelaySpin, reinterpret_cast<LPARAM>(&nm));
                CString shown;
                dialog->GetDlgItemText(CMakeScreenSaverDlg::kDelay, shown);
                EXPECT_STREQ(s.shown, shown.GetString()) << s.typed << " " << s.delta;
            }
            grabbed = GrabWindow(dialog, "shelf_screensaver");
            // A folder too long for the file is refused and the dialog stays.
            dialog->SetDlgItemText(CMakeScreenSaverDlg::kFolder, std::string(600, 'x').c_str());
            dialog->SendMessage(WM_COMMAND, IDOK);
            EXPECT_EQ("Can not write screen saver settings.", said);
            EXPECT_TRUE(dialog->IsWindowVisible());
            dialog->SetDlgItemText(CMakeScreenSaverDlg::kFolder, "/photos/");
            dialog->CheckDlgButton(CMakeScreenSaverDlg::kRandom, 1);
            dialog->SendDlgItemMessage(CMakeScreenSaverDlg::kEffect, CB_SETCURSEL, 4);
            dialog->SendMessage(WM_COMMAND, IDOK);
            return IDOK;
        }
        return qlafx::kModalRun;
    });
    MakeScreenSaver(nullptr, "/start/", program.Path());
    qlafx::SetModalHook({});
    EXPECT_FALSE(grabbed.empty());
    std::string expected(512, '\0');
    expected.replace(0, 8, "/photos/");
    expected += std::string("\x01\0\0\0\x04\0\0\0\x09\0\0\0", 12);
    EXPECT_EQ(expected, shelftest::ReadBytes(program.Path() + "ScrSvr.set"));
}

} // namespace
