#include "platform/afx/demo/DemoFrame.h"

#include "platform/afx/DC.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/demo/DemoSheet.h"
#include "platform/afx/demo/res/DemoResources.h"

#include <vector>

namespace {

const qlafx::StringEntry kStrings[] = {{IDR_DEMO_FRAME, "Window layer demo\nDemo"},
                                       {ID_DEMO_CONTROLS, "Opens the controls dialog\nControls"},
                                       {ID_DEMO_PROPERTIES, "Opens the property sheet\nProperties (Ctrl+P)"},
                                       {ID_DEMO_GRID, "Shows or hides the grid\nGrid (F2)"}};
const qlafx::MenuTable kMenus[] = {
    {IDR_DEMO_FRAME,
     {{"&File",
       0,
       0,
       {{"&Controls...", ID_DEMO_CONTROLS, 0, {}},
        {"&Properties...\tCtrl+P", ID_DEMO_PROPERTIES, 0, {}},
        {nullptr, 0, MF_SEPARATOR, {}},
        {"E&xit", ID_APP_EXIT, 0, {}}}},
      {"&View", 0, 0, {{"&Grid\tF2", ID_DEMO_GRID, 0, {}}}},
      {"&Help", 0, 0, {{"&About the demo", ID_DEMO_ABOUT, 0, {}}}}}},
};
const qlafx::AcceleratorTable kAccels[] = {
    {IDR_DEMO_FRAME, {{FVIRTKEY | FCONTROL, 'P', ID_DEMO_PROPERTIES}, {FVIRTKEY, VK_F2, ID_DEMO_GRID}}},
};
const UINT kButtons[] = {ID_DEMO_CONTROLS, ID_DEMO_PROPERTIES, ID_SEPARATOR, ID_DEMO_GRID};
const qlafx::ResourceTable kTable{.strings = kStrings, .menus = kMenus, .accelerators = kAccels};
qlafx::ResourceRegistrar kRegister(kTable);

constexpr int kImageW = 16, kImageH = 15;

// The tool bar's three pictures, drawn here: a dialog, two pages, a grid.
HIMAGELIST MakeButtonImages()
{
    std::vector<DWORD> bits(static_cast<size_t>(kImageW * 3 * kImageH), 0xC0C0C0);
    auto put = [&](int image, int x, int y, DWORD rgb) {
        bits[static_cast<size_t>(y * kImageW * 3 + image * kImageW + x)] = rgb;
    };
    for (int y = 2; y < 13; ++y)
        for (int x = 1; x < 15; ++x) {
            const bool edge = x == 1 || x == 14 || y == 2 || y == 12;
            put(0, x, y, edge ? 0x1F4E8C : (y < 5 ? 0x3C78C8 : 0xFFFFFF));
            if (x >= 4 && y >= 4)
                put(1, x, y, (x == 4 || x == 14 || y == 4 || y == 12) ? 0x8C4E1F : 0xFFE0B0);
            else if (x < 12 && y < 10)
                put(1, x, y, (x == 1 || x == 11 || y == 2 || y == 9) ? 0x8C4E1F : 0xFFF4E0);
            put(2, x, y, (x % 4 == 1 || y % 4 == 2) ? 0x404040 : 0xFFFFFF);
        }
    HBITMAP strip = CreateBitmap(kImageW * 3, kImageH, 1, 32, bits.data());
    HIMAGELIST list = ImageList_Create(kImageW, kImageH, ILC_COLOR24 | ILC_MASK, 3, 0);
    ImageList_AddMasked(list, strip, RGB(192, 192, 192));
    DeleteObject(strip);
    return list;
}

}  // namespace

// ---- CDemoSwatchMenu ----
BOOL CDemoSwatchMenu::Build()
{
    if (!CreatePopupMenu())
        return FALSE;
    AppendMenu(MF_STRING, ID_DEMO_GRID, "&Grid");
    AppendMenu(MF_SEPARATOR);
    for (UINT i = 0; i < 3; ++i)
        AppendMenu(MF_OWNERDRAW, ID_DEMO_COLOUR_FIRST + i, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(i)));
    return TRUE;
}

void CDemoSwatchMenu::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    mis->itemWidth = 120;
    mis->itemHeight = 22;
}

void CDemoSwatchMenu::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect rc(dis->rcItem);
    const bool selected = dis->itemState & ODS_SELECTED;
    dc->FillSolidRect(&rc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const size_t i = std::min<size_t>(dis->itemData, 2);
    CRect swatch(rc.left + 4, rc.top + 3, rc.left + 4 + 24, rc.bottom - 3);
    dc->FillSolidRect(&swatch, kColours[i]);
    dc->Draw3dRect(&swatch, RGB(0, 0, 0), RGB(0, 0, 0));
    CRect text(swatch.right + 8, rc.top, rc.right, rc.bottom);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    dc->DrawText(kNames[i], &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

// ---- CDemoView ----
BEGIN_MESSAGE_MAP(CDemoView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

BOOL CDemoView::OnEraseBkgnd(CDC*) { return TRUE; }

void CDemoView::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, m_colour);
    if (m_grid) {
        CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
        CPen* old = dc.SelectObject(&pen);
        for (int x = 20; x < rc.right; x += 20) {
            dc.MoveTo(x, 0);
            dc.LineTo(x, rc.bottom);
        }
        for (int y = 20; y < rc.bottom; y += 20) {
            dc.MoveTo(0, y);
            dc.LineTo(rc.right, y);
        }
        dc.SelectObject(old);
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.DrawText("Right-click for colours", &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CDemoView::OnContextMenu(CWnd*, CPoint pos)
{
    if (pos.x == -1 && pos.y == -1) {
        CRect rc;
        GetClientRect(&rc);
        pos = rc.CenterPoint();
        ClientToScreen(&pos);
    }
    ShowSwatchMenu(pos);
}

void CDemoView::ShowSwatchMenu(CPoint screen)
{
    CDemoSwatchMenu menu;
    if (!menu.Build())
        return;
    // The view owns the menu, so its default handling measures and draws
    // the swatches through the menu object.
    const UINT id = static_cast<UINT>(menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, this));
    if (id == ID_DEMO_GRID) {
        GetParent()->SendMessage(WM_COMMAND, ID_DEMO_GRID);
    } else if (id >= ID_DEMO_COLOUR_FIRST && id < ID_DEMO_COLOUR_FIRST + 3) {
        m_colour = CDemoSwatchMenu::kColours[id - ID_DEMO_COLOUR_FIRST];
        Invalidate();
    }
}

// ---- CDemoFrame ----
BEGIN_MESSAGE_MAP(CDemoFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_GETMINMAXINFO()
    ON_WM_DESTROY()
    ON_COMMAND(ID_DEMO_CONTROLS, OnControls)
    ON_COMMAND(ID_DEMO_PROPERTIES, OnProperties)
    ON_COMMAND(ID_DEMO_GRID, OnGrid)
    ON_UPDATE_COMMAND_UI(ID_DEMO_GRID, OnUpdateGrid)
    ON_COMMAND(ID_DEMO_ABOUT, OnAbout)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

int CDemoFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS,
                            CRect(2, 2, 2, 2)))
        return -1;
    m_toolBar.SetButtons(kButtons, static_cast<int>(std::size(kButtons)));
    m_toolBar.SetSizes(CSize(kImageW + 7, kImageH + 7), CSize(kImageW, kImageH));
    m_images = MakeButtonImages();
    m_toolBar.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                       AFX_IDW_PANE_FIRST))
        return -1;
    EnableDocking(CBRS_ALIGN_ANY);
    m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_toolBar);
    return 0;
}

void CDemoFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize = {320, 240};
    CFrameWnd::OnGetMinMaxInfo(lpMMI);
}

void CDemoFrame::OnDestroy()
{
    m_toolBar.SendMessage(TB_SETIMAGELIST, 0, 0);
    if (m_images)
        ImageList_Destroy(m_images);
    m_images = nullptr;
    if (m_controls.m_hWnd)
        m_controls.DestroyWindow();
    CFrameWnd::OnDestroy();
}

void CDemoFrame::OnControls()
{
    if (!m_controls.m_hWnd && !m_controls.Create(IDD_DEMO, this))
        return;
    m_controls.ShowWindow(SW_SHOW);
}

void CDemoFrame::OnProperties()
{
    CDemoSheet sheet(this);
    m_lastSheetResult = sheet.DoModal();
}

void CDemoFrame::OnGrid()
{
    m_view.m_grid = !m_view.m_grid;
    m_view.Invalidate();
}

void CDemoFrame::OnUpdateGrid(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_view.m_grid); }

void CDemoFrame::OnAbout()
{
    MessageBox("A frame, its menus and tool bar on the window layer.", "About the demo", MB_OK | MB_ICONINFORMATION);
}

void CDemoFrame::OnAppExit() { PostMessage(WM_CLOSE); }
