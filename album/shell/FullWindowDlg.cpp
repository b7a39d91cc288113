#include "album/shell/AlbumGlobals.h"
#include "album/shell/FullWindowAnimation.h"
#include "album/shell/PhotoListView.h"
#include "album/shell/ViewPhotoDlg.h"
#include "platform/afx/DC.h"

#include <chrono>
#include <thread>

namespace shelf {

namespace {

void Pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

BEGIN_MESSAGE_MAP(CFullWindowDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CFullWindowDlg::CFullWindowDlg(CViewPhotoDlg* owner) : CDialog(kTemplate, owner), m_owner(owner) {}

BOOL CFullWindowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    m_screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    m_panel.Create("", RECT{0, 0, 100, 100}, this, kPanelId);
    m_panel.SetToolbarVisible(FALSE);
    m_panel.SetImage(const_cast<CQLImage*>(m_owner->ShownImage()), FALSE);
    SetWindowPos(nullptr, 0, 0, m_screenWidth, m_screenHeight, SWP_NOZORDER);
    return TRUE;
}

void CFullWindowDlg::OnSize(UINT, int cx, int cy)
{
    if (m_panel.m_hWnd)
        m_panel.MoveWindow(0, 0, cx, cy);
}

BOOL CFullWindowDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CFullWindowDlg::Refresh()
{
    m_panel.SetImage(const_cast<CQLImage*>(m_owner->ShownImage()), FALSE);
    m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

BOOL CFullWindowDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE)
        if (m_owner->HandleKey(static_cast<UINT>(msg->wParam)))
            return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CFullWindowDlg::OnOK() { OnCancel(); }

void CFullWindowDlg::OnCancel()
{
    Show(FALSE);
    if (!(theAlbum && theAlbum->m_bFullScreen)) {
        m_owner->m_fullScreenButton.SetCheck(BST_UNCHECKED);
        m_owner->m_fullScreenCheck = FALSE;
        m_owner->ShowWindow(SW_SHOW);
    }
}

// The list cell of the first selected item (first) or of the shown path, in
// screen coordinates and shaped for the animation.
BOOL CFullWindowDlg::ListCell(const std::string& path, BOOL first, RECT* cell) const
{
    CPhotoListView* list = m_owner->m_pList;
    if (!list || !list->m_hWnd)
        return FALSE;
    const int index = first ? list->GetCurSel() : list->FindItemByPath(path.c_str());
    if (index < 0)
        return FALSE;
    RECT r = list->GetItemRect(index);
    list->ClientToScreen(&r);
    *cell = FullWindowAnimation::CellRect(r, list->GetViewMode() == kThumbModeDetails);
    return TRUE;
}

void CFullWindowDlg::Animate(const std::vector<RECT>& steps, int splitAfter, int firstPause, int middlePause,
                             int secondPause)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const RECT& r = steps[i];
        SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_SHOWWINDOW);
        m_panel.FitToWindow();
        m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        if (m_owner->m_pList && m_owner->m_pList->m_hWnd)
            m_owner->m_pList->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const bool firstPart = static_cast<int>(i) < splitAfter;
        Pause(firstPart ? firstPause : secondPause);
        if (static_cast<int>(i) + 1 == splitAfter)
            Pause(middlePause);
    }
}

void CFullWindowDlg::Show(BOOL show)
{
    const bool animate = theAlbum && theAlbum->m_bFullScreen && theAlbum->m_bAnimateView;
    const std::string path = m_owner->m_paths.empty() ? std::string()
                                                      : m_owner->m_paths[static_cast<std::size_t>(m_owner->m_index)];
    m_lastSteps.clear();
    RECT cell{};
    if (show) {
        m_panel.SetImage(const_cast<CQLImage*>(m_owner->ShownImage()), FALSE);
        if (animate && ListCell(path, TRUE, &cell))
            m_lastSteps = FullWindowAnimation::ShowSteps(cell, m_screenWidth, m_screenHeight);
        Animate(m_lastSteps, FullWindowAnimation::kShowMoves, 4, 50, 25);
        SetWindowPos(nullptr, 0, 0, m_screenWidth, m_screenHeight, SWP_NOZORDER | SWP_SHOWWINDOW);
        m_panel.FitToWindow();
        m_panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SetFocus();
        return;
    }
    if (animate && IsWindowVisible() && ListCell(path, FALSE, &cell))
        m_lastSteps = FullWindowAnimation::HideSteps(cell, m_screenWidth, m_screenHeight);
    Animate(m_lastSteps, FullWindowAnimation::kHideShrinks, 25, 50, 4);
    ShowWindow(SW_HIDE);
    SetWindowPos(nullptr, 0, 0, m_screenWidth, m_screenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace shelf
