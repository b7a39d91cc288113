#include "editor/shell/PicViewFileDlg.h"

#include "editor/ui/SkinDrawing.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CPicViewFileDlg, CFileDialog)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CPicViewFileDlg::CPicViewFileDlg(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                                 LPCSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags | OFN_ENABLETEMPLATE, lpszFilter, pParentWnd)
{
    m_ofn.lpTemplateName = MAKEINTRESOURCE(IDD_PICVIEW_FILE);
}

BOOL CPicViewFileDlg::OnInitDialog()
{
    CFileDialog::OnInitDialog();
    SetTimer(kRedrawTimer, kRedrawMs, nullptr);
    return TRUE;
}

void CPicViewFileDlg::OnFileNameChange()
{
    ShowThumbnailOf(GetPathName().GetString());
}

void CPicViewFileDlg::OnFolderChange()
{
    ShowThumbnailOf("");
}

// The codec streams the thumbnail in constant memory, so this stays on the
// interface thread.
void CPicViewFileDlg::ShowThumbnailOf(const char* path)
{
    m_thumbnail.Free();
    CWnd* preview = GetDlgItem(IDC_PICVIEW_PREVIEW);
    if (path && *path && preview) {
        CRect r;
        preview->GetClientRect(&r);
        int width = 0, height = 0;
        CQLImageCodec codec;
        if (!codec.CreateThumbnail(path, &m_thumbnail, std::max(r.Width(), r.Height()), &width, &height, 0))
            m_thumbnail.Free();
    }
    m_previewDirty = TRUE;
}

void CPicViewFileDlg::OnPaint()
{
    Default();
    m_previewDirty = TRUE;
}

void CPicViewFileDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRedrawTimer) {
        CFileDialog::OnTimer(nIDEvent);
        return;
    }
    if (!m_previewDirty)
        return;
    m_previewDirty = FALSE;
    if (CWnd* preview = GetDlgItem(IDC_PICVIEW_PREVIEW))
        preview->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CPicViewFileDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != static_cast<int>(IDC_PICVIEW_PREVIEW)) {
        CFileDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    const RECT r = lpDrawItemStruct->rcItem;
    dc->FillSolidRect(&r, RGB(64, 64, 64));
    if (m_thumbnail.GetAreaByteSize() != 0)
        DrawImageFitted(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, &m_thumbnail, RGB(64, 64, 64), FALSE);
}
