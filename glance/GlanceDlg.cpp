#include "glance/GlanceDlg.h"

#include "glance/GlanceTexts.h"
#include "glance/LoadingThread.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"

#include <cstdint>
#include <string>

namespace glance {

namespace {

struct ButtonSpec {
    UINT id;
    const char* picture;
    int x;
    int width;
};

constexpr ButtonSpec kButtons[7] = {
    {kPrevId, "qlv_prev.png", 11, 25},           {kNextId, "qlv_next.png", 36, 25},
    {kZoomInId, "qlv_zoomin.png", 88, 25},       {kZoomOutId, "qlv_zoomout.png", 116, 25},
    {kBestFitId, "qlv_zoom_fit.png", 145, 25},   {kActualSizeId, "qlv_zoom_realsize.png", 180, 25},
    {kEditId, "qlv_edit.png", 280, 60},
};

} // namespace

BEGIN_MESSAGE_MAP(GlanceDlg, GlanceFrameDlg)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_GLANCE_NOTIFY, OnNotify4102)
    ON_MESSAGE(WM_GLANCE_LOADING, OnPhotoReady)
    ON_MESSAGE(WM_GLANCE_HANDOVER, OnHandOver)
END_MESSAGE_MAP()

GlanceDlg::GlanceDlg(CLoadingThread* loader, std::string openPath, CWnd* parent)
    : GlanceFrameDlg(kGlanceDlgId, parent), m_loader(loader), m_openPath(std::move(openPath))
{
}

int GlanceDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (GlanceFrameDlg::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CRect small(0, 0, 16, 16);
    for (int i = 0; i < 7; ++i)
        if (!m_buttons[i].Create(kButtons[i].id, small, this, "", kButtons[i].picture, nullptr))
            return -1;
    if (!m_view.Create(CRect(0, 0, 100, 100), this))
        return -1;
    return 0;
}

BOOL GlanceDlg::OnInitDialog()
{
    m_bResizable = true;
    GlanceFrameDlg::OnInitDialog();
    if (AfxGetApp()->GetProfileInt("Config", "Max", 1))
        PostMessage(WM_GLANCE_NOTIFY, (1u << 16) + kMaxButtonId, 0);
    if (m_loader) {
        m_loader->m_hNotifyWnd = m_hWnd;
        m_loader->PostOpen(m_openPath);
    }
    SetWindowText(Texts().GetText("tittle"));
    CQLImageCodec codec;
    if (!codec.LoadFile(SkinPath("viewerbar.png").c_str(), &m_bar)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    LayOut();
    UpdateButtonsAndTitle();
    // A handle is pointer-wide: written whole, not as a 32-bit integer.
    AfxGetApp()->WriteProfileString("Temp", "Handle", std::to_string(reinterpret_cast<std::uintptr_t>(m_hWnd)).c_str());
    return TRUE;
}

void GlanceDlg::LayOut()
{
    if (!HeightOf(m_bar) || !m_view.m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    const int cw = client.Width(), ch = client.Height(), bw = WidthOf(m_bar), bh = HeightOf(m_bar);
    const int x0 = (cw - bw) / 2, y = ch - bh + 20;
    for (int i = 0; i < 7; ++i)
        m_buttons[i].SetWindowPos(nullptr, x0 + kButtons[i].x, y, kButtons[i].width, 25,
                                  SWP_NOZORDER | SWP_NOACTIVATE);
    m_view.SetWindowPos(nullptr, 1, 25, cw - 2, ch - bh - 29, SWP_NOZORDER | SWP_NOACTIVATE);
}

void GlanceDlg::OnSize(UINT nType, int cx, int cy)
{
    GlanceFrameDlg::OnSize(nType, cx, cy);
    LayOut();
    if (m_hasPhoto)
        m_view.BestFit();
}

void GlanceDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (IsIconic()) {
        if (HICON icon = AfxGetApp()->LoadIcon(128))
            dc.DrawIcon((client.Width() - 32) / 2, (client.Height() - 32) / 2, icon);
        return;
    }
    const int bw = WidthOf(m_bar), bh = HeightOf(m_bar);
    CRect band(client.left + 1, client.bottom - bh - 4, client.right - 1, client.bottom - 1);
    dc.FillSolidRect(&band, RGB(240, 240, 240));
    DrawQLImage(&dc, m_bar, band.left + (band.Width() - bw) / 2, band.top + 2);
    if (!m_bMaximized)
        if (HICON grip = AfxGetApp()->LoadIcon(137))
            ::DrawIconEx(dc.GetSafeHdc(), client.right - 33, client.bottom - 33, grip, 0, 0, 0, nullptr, DI_NORMAL);
}

void GlanceDlg::UpdateButtonsAndTitle()
{
    const bool step = m_loader && m_loader->m_folder.CanStep();
    for (int i = 0; i < 7; ++i) {
        const UINT id = kButtons[i].id;
        bool enable = true;
        if (id == kPrevId || id == kNextId)
            enable = step;
        else if (id != kEditId)
            enable = m_hasPhoto;
        m_buttons[i].EnableWindow(enable);
        m_buttons[i].RedrawWindow();
    }
    const std::string name = m_loader ? m_loader->m_folder.CurrentName() : std::string();
    SetWindowText((std::string(Texts().GetText("tittle")) + " - " + name).c_str());
    CRect client;
    GetClientRect(&client);
    client.bottom = 26;
    InvalidateRect(&client);
}

LRESULT GlanceDlg::OnPhotoReady(WPARAM, LPARAM lParam)
{
    if (lParam != 1)
        return 0;
    if (m_loader)
        m_loader->m_folder.CopyCurrent(&m_photo);
    if (!m_hasPhoto) {
        m_hasPhoto = true;
        m_view.SetPhoto(&m_photo);
    } else {
        m_view.BestFit();
    }
    UpdateButtonsAndTitle();
    return 0;
}

LRESULT GlanceDlg::OnNotify4102(WPARAM wParam, LPARAM)
{
    if (HandleFrameNotify(wParam) || HIWORD(wParam) != 1)
        return 0;
    switch (LOWORD(wParam)) {
    case kPrevId:
        if (m_loader)
            m_loader->PostStep(CLoadingThread::kPrevious);
        break;
    case kNextId:
        if (m_loader)
            m_loader->PostStep(CLoadingThread::kNext);
        break;
    case kZoomInId:
        m_view.ZoomIn();
        break;
    case kZoomOutId:
        m_view.ZoomOut();
        break;
    case kBestFitId:
        m_view.BestFit();
        break;
    case kActualSizeId:
        m_view.ActualSize();
        break;
    case kEditId:
        EditInEditor();
        break;
    default:
        break;
    }
    return 0;
}

void GlanceDlg::EditInEditor()
{
    if (!m_loader)
        return;
    const std::string program = ProgramFolder() + "QuilloEditor.exe";
    const std::string params =
        "\"" + m_loader->m_folder.Folder() + m_loader->m_folder.CurrentName() + "\"";
    // The editor starts visible whatever the show command says.
    ::ShellExecute(m_hWnd, "open", program.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
}

bool GlanceDlg::HandleKey(UINT key)
{
    switch (key) {
    case 10:
    case VK_RETURN:
        EditInEditor();
        return true;
    case VK_ESCAPE:
        OnCancel();
        return true;
    case VK_SPACE:
    case VK_NEXT:
    case VK_RIGHT:
    case VK_DOWN:
        if (m_loader)
            m_loader->PostStep(CLoadingThread::kNext);
        return true;
    case VK_PRIOR:
    case VK_LEFT:
    case VK_UP:
        if (m_loader)
            m_loader->PostStep(CLoadingThread::kPrevious);
        return true;
    default:
        return true;
    }
}

BOOL GlanceDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        HandleKey(static_cast<UINT>(pMsg->wParam));
        return TRUE;
    }
    return GlanceFrameDlg::PreTranslateMessage(pMsg);
}

LRESULT GlanceDlg::OnHandOver(WPARAM, LPARAM)
{
    const CString open = AfxGetApp()->GetProfileString("Temp", "Open", "");
    if (open.IsEmpty())
        return 0;
    m_openPath = open.GetString();
    AfxGetApp()->WriteProfileString("Temp", "Open", "");
    if (m_loader)
        m_loader->PostOpen(m_openPath);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetForegroundWindow(m_hWnd);
    return 0;
}

void GlanceDlg::OnClose() { OnCancel(); }

void GlanceDlg::OnCancel()
{
    AfxGetApp()->WriteProfileInt("Config", "Max", m_bMaximized ? 1 : 0);
    EndDialog(IDCANCEL);
}

} // namespace glance
