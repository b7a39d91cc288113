#include "album/tools/CompactTypesetDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "editor/shell/FolderBrowser.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PaintDC.h"
#include "platform/codec/QLImageCodec.h"

#include <ctime>

namespace shelf {

BEGIN_MESSAGE_MAP(CCompactTypesetDlg, CSkinDialog)
    ON_CBN_SELCHANGE(1147, OnModeChange)
    ON_BN_CLICKED(1005, OnBrowse)
    ON_WM_PAINT()
    ON_MESSAGE(WM_TYPESET_DONE, OnDone)
END_MESSAGE_MAP()

CCompactTypesetDlg::CCompactTypesetDlg(const char* photoPath, const char* folder, CWnd* parent)
    : CSkinDialog(kTemplate, parent), m_photoPath(photoPath ? photoPath : ""), m_folder(folder ? folder : "")
{
}

CCompactTypesetDlg::~CCompactTypesetDlg()
{
    if (m_worker.joinable())
        m_worker.join();
}

BOOL CCompactTypesetDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    CQLImageCodec codec;
    if (m_photoPath.empty() || !codec.LoadFile(m_photoPath.c_str(), &m_photo)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    for (int mode = 0; mode < kTypesetModes; ++mode)
        SendDlgItemMessage(1147, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TypesetModeOf(mode).text));
    m_ratio = 1;
    UpdateData(FALSE);
    Invalidate();
    return TRUE;
}

void CCompactTypesetDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, 1147, m_mode);
    DDX_Radio(pDX, 1154, m_ratio);
    DDX_Text(pDX, 1004, m_folder);
}

void CCompactTypesetDlg::OnModeChange()
{
    UpdateData(TRUE);
    Invalidate();
}

void CCompactTypesetDlg::OnBrowse()
{
    UpdateData(TRUE);
    char folder[1024] = {};
    if (BrowseForFolder(folder, "", this, nullptr, m_folder.GetString()) && folder[0]) {
        m_folder = folder;
        UpdateData(FALSE);
    }
}

void CCompactTypesetDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* preview = GetDlgItem(1077);
    if (!preview)
        return;
    CRect area;
    preview->GetWindowRect(&area);
    ScreenToClient(&area);
    dc.FillSolidRect(&area, RGB(0x80, 0x80, 0x80));
    const RECT sheet = TypesetPreviewSheet(m_mode, area.Width(), area.Height());
    CRect paper(sheet);
    paper.OffsetRect(area.left, area.top);
    CRect shadow = paper;
    shadow.OffsetRect(2, 2);
    dc.FillSolidRect(&shadow, RGB(0x40, 0x40, 0x40));
    dc.FillSolidRect(&paper, RGB(255, 255, 255));
    for (const RECT& box : TypesetPreviewBoxes(m_mode, paper))
        dc.FillSolidRect(&box, RGB(200, 200, 200));
}

void CCompactTypesetDlg::OnOK()
{
    if (m_worker.joinable() || !UpdateData(TRUE))
        return;
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), 1005u, 1147u})
        GetDlgItem(id)->EnableWindow(FALSE);
    const HWND window = m_hWnd;
    const int mode = m_mode;
    const bool crop = m_ratio == 1;
    const std::string folder = m_folder.GetString();
    // The cell frees the photo; a second try reads it again.
    m_worker = std::thread([this, window, mode, crop, folder] {
        CQLImageCodec codec;
        CQLImage sheet;
        const bool loaded = m_photo.GetAreaByteSize() != 0 || codec.LoadFile(m_photoPath.c_str(), &m_photo);
        bool saved = loaded && MakeTypesetCell(m_photo, mode, crop, m_cell, m_turned) &&
                     ComposeTypesetSheet(mode, m_cell, m_turned, sheet);
        if (saved) {
            const std::time_t now = std::time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            m_savedPath = TypesetSheetName(folder, local, mode);
            saved = codec.SaveJpegFile(m_savedPath.c_str(), &sheet, 195, 300) != 0;
        }
        ::PostMessage(window, WM_TYPESET_DONE, saved ? 1 : 0, 0);
    });
}

void CCompactTypesetDlg::OnCancel()
{
    if (!m_worker.joinable())
        CSkinDialog::OnCancel();
}

LRESULT CCompactTypesetDlg::OnDone(WPARAM wParam, LPARAM)
{
    if (m_worker.joinable())
        m_worker.join();
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), 1005u, 1147u})
        GetDlgItem(id)->EnableWindow(TRUE);
    if (!wParam) {
        m_savedPath.clear();
        AfxMessageBox(theAlbumTexts.GetText(84), MB_OK);
        return 0;
    }
    if (m_rescan)
        m_rescan();
    EndDialog(IDOK);
    return 0;
}

} // namespace shelf
