// Frames: creation from resources, the layout of the tool bar and the view
// pane, size limits, and menu items and tool bar buttons set by update
// handlers.
#include "platform/afx/FrameWnd.h"

#include "WndTestSupport.h"
#include "platform/afx/ToolBar.h"
#include "platform/afx/WinThread.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace {

constexpr UINT kFrameId = 7700;
constexpr UINT ID_OPEN = 100, ID_SAVE = 101, ID_BOLD = 102, ID_GRID = 103, ID_DEEP = 104, ID_ABOUT = 105;

const qlafx::StringEntry kStrings[] = {{kFrameId, "Frame test\nDocument"},
                                       {ID_OPEN, "Opens a photo\nOpen"},
                                       {ID_SAVE, "Saves the photo\nSave the photo"},
                                       {ID_BOLD, "Bold, without a tip"}};
const qlafx::MenuTable kMenus[] = {
    {kFrameId,
     {{"&File",
       0,
       0,
       {{"&Open", ID_OPEN, 0, {}},
        {"&Save\tF5", ID_SAVE, 0, {}},
        {nullptr, 0, MF_SEPARATOR, {}},
        {"&Bold", ID_BOLD, 0, {}},
        {"&Grid", ID_GRID, 0, {}},
        {"&More", 0, 0, {{"&Deep", ID_DEEP, 0, {}}}}}},
      {"&Help", 0, 0, {{"&About", ID_ABOUT, 0, {}}}}}},
};
const qlafx::AcceleratorTable kAccels[] = {{kFrameId, {{FVIRTKEY, VK_F5, ID_SAVE}}}};
const qlafx::ToolbarTable kToolbars[] = {{kFrameId, 16, 15, {ID_OPEN, ID_SAVE, 0, ID_BOLD}}};
const qlafx::ResourceTable kTable{
    .strings = kStrings, .menus = kMenus, .toolbars = kToolbars, .accelerators = kAccels};

class CTestFrame : public CFrameWnd {
public:
    CToolBar m_toolBar;
    CWnd m_pane;
    BOOL m_canSave = FALSE;
    BOOL m_bold = FALSE;
    int m_opened = 0;
    int m_saved = 0;
    BOOL m_toolBarLoaded = FALSE;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT,
                                WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS))
            return -1;
        m_toolBarLoaded = m_toolBar.LoadToolBar(kFrameId);
        if (!m_pane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                           AFX_IDW_PANE_FIRST))
            return -1;
        m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_toolBar);
        return 0;
    }
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI)
    {
        lpMMI->ptMinTrackSize = {300, 200};
        CFrameWnd::OnGetMinMaxInfo(lpMMI);
    }
    void OnOpen() { ++m_opened; }
    void OnSave() { ++m_saved; }
    void OnUpdateSave(CCmdUI* pCmdUI) { pCmdUI->Enable(m_canSave); }
    void OnBold() {}
    void OnUpdateBold(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bold); }
    void OnDeep() {}
    void OnUpdateDeep(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_GETMINMAXINFO()
    ON_COMMAND(ID_OPEN, OnOpen)
    ON_COMMAND(ID_SAVE, OnSave)
    ON_UPDATE_COMMAND_UI(ID_SAVE, OnUpdateSave)
    ON_COMMAND(ID_BOLD, OnBold)
    ON_UPDATE_COMMAND_UI(ID_BOLD, OnUpdateBold)
    ON_COMMAND(ID_DEEP, OnDeep)
    ON_UPDATE_COMMAND_UI(ID_DEEP, OnUpdateDeep)
END_MESSAGE_MAP()

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Frames delete themselves with their window.
        m_pFrame = new CTestFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(kFrameId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        m_hFrame = m_pFrame->m_hWnd;
        m_pFrame->MoveWindow(10, 10, 420, 320);
    }
    void TearDown() override
    {
        qlafx::SetPopupMenuHook({});
        if (IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
    }

    // A child's rectangle in the frame's client coordinates.
    CRect ChildRect(CWnd& child)
    {
        CRect rc;
        child.GetWindowRect(&rc);
        m_pFrame->ScreenToClient(&rc);
        return rc;
    }

    qlafx::ResourceRegistrar m_reg{kTable};
    CTestFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
};

TEST_F(FrameTest, LoadFrameTakesTitleMenuAndAcceleratorsOfItsResource)
{
    CString title;
    m_pFrame->GetWindowText(title);
    EXPECT_STREQ(title, "Frame test");
    HMENU menu = GetMenu(m_pFrame->m_hWnd);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, m_pFrame->m_hMenuDefault);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_NE(m_pFrame->m_hAccelTable, nullptr);

    // Without its menu the frame is not made (and the object goes).
    EXPECT_FALSE((new CFrameWnd)->LoadFrame(kFrameId + 1));
}

TEST_F(FrameTest, ToolBarAndPaneFillTheClientBelowTheMenuBar)
{
    CRect client;
    m_pFrame->GetClientRect(&client);
    const int menuBar = qlafx::MenuBarHeight(m_pFrame->m_hWnd);
    EXPECT_GT(menuBar, 0);
    // 16 x 15 images make 23 x 22 buttons; the bottom border adds 2.
    const int toolBar = 22 + 2;
    EXPECT_EQ(ChildRect(m_pFrame->m_toolBar), CRect(0, menuBar, client.right, menuBar + toolBar));
    EXPECT_EQ(ChildRect(m_pFrame->m_pane), CRect(0, menuBar + toolBar, client.right, client.bottom));

    // Resizing lays them out again; a hidden bar gives its room to the pane.
    m_pFrame->MoveWindow(10, 10, 500, 400);
    m_pFrame->GetClientRect(&client);
    EXPECT_EQ(ChildRect(m_pFrame->m_pane), CRect(0, menuBar + toolBar, client.right, client.bottom));
    m_pFrame->ShowControlBar(&m_pFrame->m_toolBar, FALSE, FALSE);
    EXPECT_EQ(ChildRect(m_pFrame->m_pane), CRect(0, menuBar, client.right, client.bottom));
}

TEST_F(FrameTest, MinimumTrackingSizeIsKept)
{
    m_pFrame->SetWindowPos(nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    CRect client;
    m_pFrame->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 300);
    EXPECT_EQ(client.Height(), 200);
}

struct MenuStateCase {
    BOOL canSave;
    BOOL bold;
    UINT save;  // MF_GRAYED | MF_DISABLED when disabled
    UINT boldChecked;
};

TEST_F(FrameTest, UpdateHandlersSetMenuItemsBeforeThePopupOpens)
{
    const MenuStateCase cases[] = {
        {FALSE, FALSE, MF_GRAYED | MF_DISABLED, 0},
        {TRUE, TRUE, 0, MF_CHECKED},
        {FALSE, TRUE, MF_GRAYED | MF_DISABLED, MF_CHECKED},
    };
    HMENU file = GetSubMenu(GetMenu(m_pFrame->m_hWnd), 0);
    for (const MenuStateCase& c : cases) {
        m_pFrame->m_canSave = c.canSave;
        m_pFrame->m_bold = c.bold;
        UINT save = 0, bold = 0, open = 0, grid = 0, more = 0;
        qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) {
            save = GetMenuState(menu, ID_SAVE, MF_BYCOMMAND);
            bold = GetMenuState(menu, ID_BOLD, MF_BYCOMMAND);
            open = GetMenuState(menu, ID_OPEN, MF_BYCOMMAND);
            grid = GetMenuState(menu, ID_GRID, MF_BYCOMMAND);
            more = GetMenuState(menu, 5, MF_BYPOSITION);
            return 0u;
        });
        TrackPopupMenu(file, TPM_RETURNCMD, 0, 0, 0, m_pFrame->m_hWnd, nullptr);
        EXPECT_EQ(save & (MF_GRAYED | MF_DISABLED), c.save);
        EXPECT_EQ(bold & MF_CHECKED, c.boldChecked);
        EXPECT_EQ(open & (MF_GRAYED | MF_DISABLED), 0u);                       // has a command handler
        EXPECT_EQ(grid & (MF_GRAYED | MF_DISABLED), MF_GRAYED | MF_DISABLED);  // has no handler at all
        EXPECT_EQ(more & (MF_GRAYED | MF_DISABLED), 0u);  // a pop-up is not disabled through its first item
    }
    // A disabled item cannot be chosen.
    m_pFrame->m_canSave = FALSE;
    qlafx::SetPopupMenuHook([](HMENU, QMenu*) { return ID_SAVE; });
    EXPECT_EQ(TrackPopupMenu(file, TPM_RETURNCMD, 0, 0, 0, m_pFrame->m_hWnd, nullptr), 0);
    m_pFrame->m_canSave = TRUE;
    EXPECT_EQ(TrackPopupMenu(file, TPM_RETURNCMD, 0, 0, 0, m_pFrame->m_hWnd, nullptr), static_cast<BOOL>(ID_SAVE));
}

TEST_F(FrameTest, MenuBarPopupsShowTheUpdatedStates)
{
    QMenuBar* bar = qlafx::MenuBarOf(m_pFrame->m_hWnd);
    ASSERT_NE(bar, nullptr);
    QMenu* file = bar->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    m_pFrame->m_canSave = FALSE;
    m_pFrame->m_bold = TRUE;
    emit file->aboutToShow();
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_TRUE(items[3]->isChecked());
    EXPECT_FALSE(items[4]->isEnabled());
    // Chosen from the bar, the command reaches the frame's handler.
    items[0]->trigger();
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_pFrame->m_opened, 1);
}

TEST_F(FrameTest, AcceleratorOfADisabledCommandIsDropped)
{
    for (BOOL canSave : {FALSE, TRUE}) {
        m_pFrame->m_canSave = canSave;
        m_pFrame->m_saved = 0;
        MSG msg{m_pFrame->m_pane.m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
        EXPECT_TRUE(m_pFrame->PreTranslateMessage(&msg));
        EXPECT_EQ(m_pFrame->m_saved, canSave ? 1 : 0);
    }
}

struct ButtonStateCase {
    BOOL canSave;
    BOOL bold;
    bool saveEnabled;
    bool boldChecked;
};

TEST_F(FrameTest, ToolBarButtonsFollowTheirUpdateHandlers)
{
    ASSERT_TRUE(m_pFrame->m_toolBarLoaded);
    ASSERT_EQ(m_pFrame->m_toolBar.GetCount(), 4);
    const ButtonStateCase cases[] = {
        {FALSE, FALSE, false, false},
        {TRUE, TRUE, true, true},
        {TRUE, FALSE, true, false},
    };
    m_pFrame->ShowWindow(SW_SHOW);
    for (const ButtonStateCase& c : cases) {
        m_pFrame->m_canSave = c.canSave;
        m_pFrame->m_bold = c.bold;
        // What the idle loop sends.
        m_pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        EXPECT_EQ(m_pFrame->m_toolBar.SendMessage(TB_ISBUTTONENABLED, ID_SAVE) != 0, c.saveEnabled);
        EXPECT_EQ(m_pFrame->m_toolBar.SendMessage(TB_ISBUTTONCHECKED, ID_BOLD) != 0, c.boldChecked);
        EXPECT_NE(m_pFrame->m_toolBar.SendMessage(TB_ISBUTTONENABLED, ID_OPEN), 0);
        EXPECT_EQ((m_pFrame->m_toolBar.GetButtonStyle(1) & TBBS_DISABLED) != 0, !c.saveEnabled);
    }
}

struct ClickCase {
    int button;
    BOOL canSave;
    int opened;
    int saved;
};

TEST_F(FrameTest, ClickedButtonSendsItsCommand)
{
    m_pFrame->ShowWindow(SW_SHOW);
    const ClickCase cases[] = {
        {0, FALSE, 1, 0},
        {1, FALSE, 0, 0},  // disabled by its handler: no command
        {1, TRUE, 0, 1},
    };
    for (const ClickCase& c : cases) {
        m_pFrame->m_opened = m_pFrame->m_saved = 0;
        m_pFrame->m_canSave = c.canSave;
        m_pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        CRect rc;
        m_pFrame->m_toolBar.GetItemRect(c.button, &rc);
        const LPARAM at = MAKELPARAM(static_cast<WORD>(rc.CenterPoint().x), static_cast<WORD>(rc.CenterPoint().y));
        m_pFrame->m_toolBar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        m_pFrame->m_toolBar.SendMessage(WM_LBUTTONUP, 0, at);
        EXPECT_EQ(m_pFrame->m_opened, c.opened);
        EXPECT_EQ(m_pFrame->m_saved, c.saved);
    }
    // Released away from the button: no command.
    m_pFrame->m_opened = 0;
    CRect rc;
    m_pFrame->m_toolBar.GetItemRect(0, &rc);
    m_pFrame->m_toolBar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(rc.left + 2), 5));
    m_pFrame->m_toolBar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 5));
    m_pFrame->m_toolBar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
    EXPECT_EQ(m_pFrame->m_opened, 0);
}

// A strip of count solid images of 16 x 15 with the given colours.
HIMAGELIST SolidList(std::initializer_list<COLORREF> colors)
{
    const int count = static_cast<int>(colors.size());
    std::vector<DWORD> bits(static_cast<size_t>(16 * count * 15));
    for (int y = 0; y < 15; ++y) {
        int i = 0;
        for (COLORREF c : colors) {
            for (int x = 0; x < 16; ++x)
                bits[static_cast<size_t>(y * 16 * count + i * 16 + x)] =
                    (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            ++i;
        }
    }
    HBITMAP bitmap = CreateBitmap(16 * count, 15, 1, 32, bits.data());
    HIMAGELIST list = ImageList_Create(16, 15, ILC_COLOR24 | ILC_MASK, count, 0);
    ImageList_AddMasked(list, bitmap, RGB(192, 192, 192));
    DeleteObject(bitmap);
    return list;
}

QColor PixelAt(HWND hwnd, POINT pt)
{
    UpdateWindow(hwnd);
    QImage* surface = qlafx::SurfaceOfWindow(hwnd);
    return surface ? surface->pixelColor(pt.x, pt.y) : QColor();
}

TEST_F(FrameTest, ButtonsShowTheirImagesFromTheRightList)
{
    m_pFrame->ShowWindow(SW_SHOW);
    CToolBar& bar = m_pFrame->m_toolBar;
    CRect open, save;
    bar.GetItemRect(0, &open);
    bar.GetItemRect(1, &save);
    // From the tool bar's own bitmap: red, then green.
    EXPECT_EQ(PixelAt(bar.m_hWnd, open.CenterPoint()), QColor(255, 0, 0));
    EXPECT_EQ(PixelAt(bar.m_hWnd, save.CenterPoint()), QColor(0, 255, 0));

    HIMAGELIST normal = SolidList({RGB(10, 10, 10), RGB(20, 20, 20), RGB(30, 30, 30)});
    HIMAGELIST disabled = SolidList({RGB(110, 0, 0), RGB(120, 0, 0), RGB(130, 0, 0)});
    HIMAGELIST hot = SolidList({RGB(0, 0, 210), RGB(0, 0, 220), RGB(0, 0, 230)});
    bar.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal));
    bar.SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled));
    EXPECT_EQ(bar.SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot)), 0);
    m_pFrame->m_canSave = FALSE;
    m_pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    EXPECT_EQ(PixelAt(bar.m_hWnd, open.CenterPoint()), QColor(10, 10, 10));
    EXPECT_EQ(PixelAt(bar.m_hWnd, save.CenterPoint()), QColor(120, 0, 0));
    // The button under the pointer of a flat bar is hot.
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(open.CenterPoint().x), 5));
    EXPECT_EQ(PixelAt(bar.m_hWnd, open.CenterPoint()), QColor(0, 0, 210));
    bar.SendMessage(TB_SETIMAGELIST, 0, 0);
    bar.SendMessage(TB_SETDISABLEDIMAGELIST, 0, 0);
    bar.SendMessage(TB_SETHOTIMAGELIST, 0, 0);
    ImageList_Destroy(normal);
    ImageList_Destroy(disabled);
    ImageList_Destroy(hot);
}

TEST_F(FrameTest, LabelledButtonsGrowAndKeepTheSizeTheyAreGiven)
{
    CToolBar& bar = m_pFrame->m_toolBar;
    ASSERT_TRUE(bar.SetButtonText(0, "Open"));
    EXPECT_STREQ(bar.GetButtonText(0), "Open");
    CRect first, second;
    bar.GetItemRect(0, &first);
    bar.GetItemRect(1, &second);
    EXPECT_GT(first.Height(), 22);
    EXPECT_EQ(second.Size(), first.Size());  // every button takes the largest size
    bar.SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(static_cast<WORD>(first.Width()), static_cast<WORD>(first.Height())));
    CRect again;
    bar.GetItemRect(0, &again);
    EXPECT_EQ(again, first);
    // The separator keeps its own width between buttons 1 and 3.
    CRect sep, third;
    bar.GetItemRect(2, &sep);
    bar.GetItemRect(3, &third);
    EXPECT_EQ(sep.left, second.right);
    EXPECT_EQ(third.left, sep.right);
    EXPECT_EQ(sep.Width(), 8);
    m_pFrame->RecalcLayout();
    EXPECT_EQ(ChildRect(bar).Height(), first.Height() + 2);
}

TEST_F(FrameTest, DefaultMenuGoesWithTheFrame)
{
    HMENU defaultMenu = m_pFrame->m_hMenuDefault;
    CMenu own;
    ASSERT_TRUE(own.CreateMenu());
    own.AppendMenu(MF_STRING, ID_ABOUT, "&About");
    ASSERT_TRUE(m_pFrame->SetMenu(&own));
    ::DestroyWindow(m_hFrame);
    EXPECT_FALSE(IsMenu(defaultMenu));
    EXPECT_TRUE(IsMenu(own.m_hMenu));  // the program's own menu stays its own
}

}  // namespace

namespace {

// A bar made with CBRS_TOOLTIPS shows, over a button, the text after the
// newline of its command's string; a string without one shows no tip.
TEST_F(FrameTest, ToolBarButtonsShowTheTextAfterTheNewline)
{
    m_pFrame->ShowWindow(SW_SHOW);
    QWidget* bar = qlafx::WidgetOf(m_pFrame->m_toolBar.m_hWnd);
    ASSERT_NE(bar, nullptr);
    auto hover = [&](int button) {
        CRect rc;
        m_pFrame->m_toolBar.GetItemRect(button, &rc);
        const QPoint at(rc.CenterPoint().x, rc.CenterPoint().y);
        QHelpEvent help(QEvent::ToolTip, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &help);
    };
    hover(3);
    EXPECT_FALSE(QToolTip::isVisible()) << "no newline, no tip";
    const struct {
        int button;
        const char* tip;
    } cases[] = {{0, "Open"}, {1, "Save the photo"}};
    for (const auto& c : cases) {
        hover(c.button);
        EXPECT_TRUE(QToolTip::isVisible()) << c.tip;
        EXPECT_EQ(QToolTip::text().toStdString(), c.tip);
    }
    QToolTip::hideText();
}

// Children with WS_BORDER or WS_EX_CLIENTEDGE show a frame along their edge;
// what the window drew stays inside it, and in its surface.
TEST_F(FrameTest, ChildBordersFrameWhatTheWindowShows)
{
    m_pFrame->ShowWindow(SW_SHOW);
    const struct {
        const char* name;
        DWORD style, exStyle;
        bool framed;
    } cases[] = {{"plain", 0, 0, false}, {"WS_BORDER", WS_BORDER, 0, true}, {"WS_EX_CLIENTEDGE", 0, WS_EX_CLIENTEDGE, true}};
    for (const auto& c : cases) {
        CWnd child;
        ASSERT_TRUE(child.CreateEx(c.exStyle, AfxRegisterWndClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))),
                                   nullptr, WS_CHILD | WS_VISIBLE | c.style, CRect(20, 60, 120, 120), m_pFrame, 900))
            << c.name;
        child.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const QImage shown = qlafx::WidgetOf(child.m_hWnd)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(QColor(shown.pixel(50, 30)), QColor(Qt::white)) << c.name << ": the middle is the window's own";
        EXPECT_EQ(QColor(shown.pixel(0, 30)) != QColor(Qt::white), c.framed) << c.name << ": left edge";
        EXPECT_EQ(QColor(shown.pixel(99, 30)) != QColor(Qt::white), c.framed) << c.name << ": right edge";
        const QImage* surface = qlafx::SurfaceOfWindow(child.m_hWnd);
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(QColor(surface->pixel(0, 30)), QColor(Qt::white)) << c.name << ": the surface keeps its pixels";
        child.DestroyWindow();
    }
}

}  // namespace
