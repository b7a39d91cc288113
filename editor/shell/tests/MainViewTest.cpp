#include "ShellWindowsTestSupport.h"

#include "editor/shell/MainView.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/Menu.h"

#include <QPainter>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using shelltest::MakeImage;
using skintest::Bgr;
using skintest::BgrAt;

namespace {

constexpr UINT kPaneId = 0xE900;

class RecordingCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override { m_enabled = on; }
    void SetCheck(int check) override { m_checked = check; }
    BOOL m_enabled = -1;
    int m_checked = -1;
};

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << "(" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << ")";
}

class MainView : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        ASSERT_TRUE(m_frame.CreateParent(0, 0, 1000, 700));
        m_app.m_pMainWnd = &m_frame;
    }
    void TearDown() override
    {
        qlafx::SetPopupMenuHook({});
        m_view.reset();
        m_app.m_pMainWnd = nullptr;
        ShellWindowsTest::TearDown();
    }
    // The pane as the frame makes it, filling the frame.
    void CreateView(const std::string& interfaceKeys = "")
    {
        WriteProfile("[General]\nUserName=Tester\n[Interface]\n" + interfaceKeys);
        m_view = std::make_unique<CMainView>();
        RECT client;
        m_frame.GetClientRect(&client);
        ASSERT_TRUE(m_view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, client, &m_frame, kPaneId));
        m_view->GetClientRect(&client);
        m_w = client.right;
        m_h = client.bottom;
    }
    Rect PlaceOf(CWnd& wnd) const
    {
        RECT r;
        wnd.GetWindowRect(&r);
        m_view->ScreenToClient(&r);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    RecordingCmdUI Update(UINT id)
    {
        RecordingCmdUI ui;
        ui.m_nID = id;
        EXPECT_TRUE(m_view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr)) << id;
        return ui;
    }
    void Command(UINT id) { m_view->SendMessage(WM_COMMAND, id, 0); }
    void ShowPhoto(int w, int h)
    {
        MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) { return CPixel{BYTE(x), BYTE(y), 90, 255}; });
        m_view->m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    }

    skintest::CParentWnd m_frame;
    std::unique_ptr<CMainView> m_view;
    int m_w = 0, m_h = 0;
};

TEST_F(MainView, TakesItsClassAndStylesFromPreCreateWindow)
{
    CreateView();
    EXPECT_TRUE(m_view->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(m_view->GetStyle() & WS_BORDER);
    EXPECT_EQ(m_view->m_imageView.GetDlgCtrlID(), static_cast<int>(CMainView::kImageViewId));
    EXPECT_EQ(m_view->m_tabsTop.GetDlgCtrlID(), static_cast<int>(CMainView::kTopStripId));
    EXPECT_EQ(m_view->m_tabsBottom.GetDlgCtrlID(), static_cast<int>(CMainView::kBottomStripId));
    // The top strip holds "Navigation" (shown first) and "Histograms", the
    // bottom one "History".
    ASSERT_EQ(m_view->m_tabsTop.GetTabCount(), 2);
    EXPECT_STREQ(m_view->m_tabsTop.GetTab(0).caption, "Navigation");
    EXPECT_STREQ(m_view->m_tabsTop.GetTab(1).caption, "Histograms");
    EXPECT_EQ(m_view->m_tabsTop.GetActivePage(), &m_view->m_navigator);
    EXPECT_EQ(m_view->m_navigator.GetView(), &m_view->m_imageView);
    EXPECT_EQ(m_view->m_imageView.m_navigator, &m_view->m_navigator);
    ASSERT_EQ(m_view->m_tabsBottom.GetTabCount(), 1);
    EXPECT_STREQ(m_view->m_tabsBottom.GetTab(0).caption, "History");
    EXPECT_TRUE(m_view->m_historyBar.IsWindowVisible());
    EXPECT_EQ(thePhotoDocument.m_history.GetOwner(), m_view->m_historyBar.m_hWnd);
}

TEST_F(MainView, LaysOutEveryCombinationOfShownPanels)
{
    for (int func = 0; func <= 1; ++func)
        for (int his = 0; his <= 1; ++his)
            for (int nav = 0; nav <= 1; ++nav) {
                CreateView("qleFUNC=" + std::to_string(func) + "\nqleHIS=" + std::to_string(his) +
                           "\nqleNAV=" + std::to_string(nav) + "\n");
                SCOPED_TRACE("func " + std::to_string(func) + " his " + std::to_string(his) + " nav " +
                             std::to_string(nav));
                EXPECT_EQ(m_view->m_funcBarShown, func);
                EXPECT_EQ(m_view->m_historyShown, his);
                EXPECT_EQ(m_view->m_navShown, nav);
                EXPECT_EQ(m_view->m_tabsTop.IsWindowVisible(), nav);
                EXPECT_EQ(m_view->m_tabsBottom.IsWindowVisible(), his);
                EXPECT_EQ(m_view->m_funcBar.IsWindowVisible(), func);
                const int x = func ? CFunctionBar::kNormalWidth : 0;
                if (func) {
                    EXPECT_EQ(PlaceOf(m_view->m_funcBar), (Rect{0, 0, x, m_h}));
                }
                const int column = m_w - 200;
                if (!his && !nav) {
                    EXPECT_EQ(PlaceOf(m_view->m_imageView), (Rect{x, 0, m_w - x, m_h}));
                    continue;
                }
                EXPECT_EQ(PlaceOf(m_view->m_imageView), (Rect{x, 0, column - x, m_h}));
                if (his && nav) {
                    EXPECT_EQ(PlaceOf(m_view->m_tabsTop), (Rect{column, 0, 200, 150}));
                    EXPECT_EQ(PlaceOf(m_view->m_tabsBottom), (Rect{column, 149, 200, m_h - 149}));
                } else {
                    EXPECT_EQ(PlaceOf(his ? m_view->m_tabsBottom : m_view->m_tabsTop), (Rect{column, 0, 200, m_h}));
                }
            }
}

TEST_F(MainView, ViewCommandsShowAndHideTheRightColumn)
{
    CreateView();
    const int column = m_w - 200;
    const int x = CFunctionBar::kNormalWidth;
    Command(CMainView::kHistoryBarCmd);
    EXPECT_FALSE(m_view->m_tabsBottom.IsWindowVisible());
    EXPECT_EQ(PlaceOf(m_view->m_tabsTop), (Rect{column, 0, 200, m_h}));
    Command(CMainView::kNavigationBarCmd);
    EXPECT_FALSE(m_view->m_tabsTop.IsWindowVisible());
    EXPECT_EQ(PlaceOf(m_view->m_imageView), (Rect{x, 0, m_w - x, m_h}));
    Command(CMainView::kHistoryBarCmd);
    EXPECT_TRUE(m_view->m_tabsBottom.IsWindowVisible());
    EXPECT_EQ(PlaceOf(m_view->m_tabsBottom), (Rect{column, 0, 200, m_h}));
    EXPECT_EQ(PlaceOf(m_view->m_imageView), (Rect{x, 0, column - x, m_h}));
    // Frame sizes change the layout too.
    m_view->MoveWindow(0, 0, 800, 500);
    RECT client;
    m_view->GetClientRect(&client);
    EXPECT_EQ(PlaceOf(m_view->m_tabsBottom), (Rect{client.right - 200, 0, 200, client.bottom}));
}

TEST_F(MainView, UpdateHandlersFollowFlagsAndMode)
{
    CreateView("qleFUNC=0\nqleHIS=1\nqleNAV=0\n");
    const struct {
        int paintMode;
        UINT id;
        BOOL enabled;
        int checked;
    } cases[] = {
        {0, CMainView::kFunctionBarCmd, TRUE, 0},
        {0, CMainView::kHistoryBarCmd, TRUE, 1},
        {0, CMainView::kNavigationBarCmd, TRUE, 0},
        {0, CMainView::kPaintModeCmd, -1, 0},
        {1, CMainView::kFunctionBarCmd, FALSE, 0},
        {1, CMainView::kHistoryBarCmd, FALSE, 1},
        {1, CMainView::kNavigationBarCmd, FALSE, 0},
        {1, CMainView::kPaintModeCmd, -1, 1},
    };
    for (const auto& c : cases) {
        m_view->m_paintMode = c.paintMode;
        const RecordingCmdUI ui = Update(c.id);
        EXPECT_EQ(ui.m_enabled, c.enabled) << c.id << " paint " << c.paintMode;
        EXPECT_EQ(ui.m_checked, c.checked) << c.id << " paint " << c.paintMode;
    }
}

TEST_F(MainView, ZoomCommandsActOnTheImageView)
{
    CreateView();
    ShowPhoto(3000, 2000);
    ZoomView& view = m_view->m_imageView;
    Command(CMainView::kBestFitCmd);
    const double fit = view.m_zoom;
    EXPECT_LT(fit, 1.0);
    Command(CMainView::kZoomInCmd);
    EXPECT_GT(view.m_zoom, fit);
    Command(CMainView::kZoomOutCmd);
    Command(CMainView::kZoomOutCmd);
    EXPECT_LT(view.m_zoom, fit);
    Command(CMainView::kActualSizeCmd);
    EXPECT_EQ(view.m_zoom, 1.0);
    Command(CMainView::kBestFitCmd);
    EXPECT_EQ(view.m_zoom, fit);
}

TEST_F(MainView, HighQualityComesFromAndGoesToTheProfile)
{
    CreateView("HighqualityView=1\n");
    EXPECT_TRUE(m_view->m_imageView.GetSmoothScaling());
    Command(CMainView::kHighQualityCmd);
    EXPECT_FALSE(m_view->m_imageView.GetSmoothScaling());
    EXPECT_NE(ReadProfile().find("HighqualityView=0"), std::string::npos) << ReadProfile();
    CreateView();
    EXPECT_FALSE(m_view->m_imageView.GetSmoothScaling());  // off by default

    // Chosen from the image view's context menu, it reaches the pane too.
    ShowPhoto(300, 200);
    qlafx::SetPopupMenuHook([](HMENU, QMenu*) -> UINT { return CMainView::kHighQualityCmd; });
    m_view->m_imageView.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
    qlafx::ProcessPendingEvents();
    EXPECT_TRUE(m_view->m_imageView.GetSmoothScaling());
    EXPECT_NE(ReadProfile().find("HighqualityView=1"), std::string::npos) << ReadProfile();
}

TEST_F(MainView, OtherCommandsGoToTheParentUnchanged)
{
    CreateView();
    const std::vector<std::pair<WPARAM, LPARAM>> sent{{57634, 0}, {MAKEWPARAM(32881, 1), 0}, {32784, 0}};
    for (const auto& [w, l] : sent)
        m_view->SendMessage(WM_COMMAND, w, l);
    EXPECT_EQ(m_frame.m_commands, (std::vector<UINT>{57634, 32881, 32784}));
    m_frame.m_commands.clear();
    Command(CMainView::kBestFitCmd);
    Command(CMainView::kFunctionBarCmd);
    EXPECT_TRUE(m_frame.m_commands.empty()) << "the view's own commands stay with it";
}

TEST_F(MainView, GrabOfTheEmptyPaneShowsTheGradient)
{
    CreateView();
    m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
    const QImage view = skintest::SurfaceOf(m_view->m_imageView.m_hWnd);
    EXPECT_NEAR(BgrAt(view, 10, 60).g, 64, 2);
    EXPECT_NEAR(BgrAt(view, view.width() - 5, view.height() - 5).g, 95, 2);
    const QImage grab = m_frame.GetWidget()->grab().toImage();
    const std::string path = shelltest::SaveGrab(grab, "main_view_empty");
    ASSERT_FALSE(path.empty());
    std::printf("empty main view grab: %s\n", path.c_str());
}

TEST_F(MainView, GrabShowsThePhotoFittedWithHistogramAndHistory)
{
    const bool havePhoto = shelltest::LoadCorpusPhoto("exif-samples/jpg/Canon_40D.jpg", &thePhotoDocument.m_image);
    if (!havePhoto)
        GTEST_SKIP() << "corpus photo missing";
    ASSERT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open File"), 1);
    CreateView();
    Command(CMainView::kBestFitCmd);
    m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_view->m_imageView.m_zoom, 1.0);  // 100 x 68: fitting never enlarges
    EXPECT_TRUE(m_view->m_histogramPanel.m_curveValid);
    ASSERT_EQ(m_view->m_historyBar.m_rows.size(), 1u);
    EXPECT_STREQ(m_view->m_historyBar.m_rows[0].step->name, "Open File");
    EXPECT_EQ(m_view->m_historyBar.m_current, 0);
    const QImage grab = m_frame.GetWidget()->grab().toImage();
    const std::string path = shelltest::SaveGrab(grab, "main_view");
    ASSERT_FALSE(path.empty());
    std::printf("main view grab: %s\n", path.c_str());
}

}  // namespace

namespace {

TEST_F(MainView, NavigatorFollowsTheImageViewZoomedAndScrolledRight)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo missing";
    CreateView();
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    m_view->m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view->m_imageView.SetScrollZoom(static_cast<int>(w), 0, 2.0);  // kept inside: the right edge
    m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
    EXPECT_TRUE(m_view->m_navigator.IsWindowVisible());
    const RECT box = m_view->m_navigator.GetBox();
    const RECT rect = m_view->m_navigator.GetViewRect();
    EXPECT_FALSE(IsRectEmpty(&box));
    EXPECT_GT(rect.left, (box.left + box.right) / 2);
    EXPECT_EQ(rect.right, box.right);
    // The yellow frame on the navigator's surface.
    const QImage nav = skintest::SurfaceOf(m_view->m_navigator.m_hWnd);
    EXPECT_EQ(BgrAt(nav, rect.left, rect.top + 2), (Bgr{0, 255, 255}));
    // View > Navigation bar hides and shows the strip with it.
    Command(CMainView::kNavigationBarCmd);
    EXPECT_FALSE(m_view->m_navigator.IsWindowVisible());
    Command(CMainView::kNavigationBarCmd);
    qlafx::ProcessPendingEvents();
    const QImage grab = m_frame.GetWidget()->grab().toImage();
    const std::string path = shelltest::SaveGrab(grab, "main-navigator");
    ASSERT_FALSE(path.empty());
    std::printf("main view navigator grab: %s\n", path.c_str());
}

}  // namespace
