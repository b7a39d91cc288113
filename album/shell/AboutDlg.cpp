#include "album/shell/AboutDlg.h"

#include "album/shell/AlbumGlobals.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/DC.h"

namespace shelf {

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!theAlbum || m_picture.LoadFromFile(theAlbum->GetSkinPath("start.lgb").c_str()) != 0)
        return FALSE;
    UINT w = 0, h = 0;
    m_picture.GetSize(&w, &h);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, static_cast<int>(w), static_cast<int>(h),
                   SWP_NOMOVE | SWP_NOACTIVATE);
    CenterWindow();
    return TRUE;
}

BOOL CAboutDlg::OnEraseBkgnd(CDC* dc)
{
    UINT w = 0, h = 0;
    m_picture.GetSize(&w, &h);
    if (!w || !h)
        return CDialog::OnEraseBkgnd(dc);
    CRect client;
    GetClientRect(&client);
    const BITMAPINFO info = DibHeaderOf(m_picture, static_cast<int>(h));
    dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), 0, 0, client.Width(), client.Height(), 0, 0, static_cast<int>(w),
                    static_cast<int>(h), m_picture.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    return TRUE;
}

void CAboutDlg::OnLButtonDown(UINT, CPoint) { EndDialog(IDOK); }

} // namespace shelf
