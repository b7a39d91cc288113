#include "album/tools/ExifStatsDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "editor/shell/FolderBrowser.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PaintDC.h"

#include <algorithm>
#include <cstdio>

namespace shelf {

BEGIN_MESSAGE_MAP(CExifStatsDlg, CSkinDialog)
    ON_BN_CLICKED(1138, OnBrowseFolder)
    ON_BN_CLICKED(1145, OnChooseCamera)
    ON_CBN_SELCHANGE(1147, OnKindChange)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_MESSAGE(WM_STATS_SCAN, OnScan)
END_MESSAGE_MAP()

namespace {
const char* const kKinds[] = {"by Camera",       "by Aperture",       "by Shutter speed", "by ISO",
                              "by Focal length", "by Focus distance", "by Shot time",     "by Software"};
constexpr COLORREF kShade = RGB(200, 200, 200);
} // namespace

CExifStatsDlg::CExifStatsDlg(const char* folder, CWnd* parent) : CSkinDialog(kTemplate, parent), m_folder(folder) {}

CExifStatsDlg::~CExifStatsDlg() { StopScan(); }

void CExifStatsDlg::StopScan()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

BOOL CExifStatsDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetDlgItemText(1004, m_folder);
    for (const char* kind : kKinds)
        SendDlgItemMessage(1147, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    SendDlgItemMessage(1147, CB_SETCURSEL, 0);
    // 14 pixels high: the month labels fit their 22-pixel columns.
    m_font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    GetWindowRect(&m_fullRect);
    CRect separator;
    GetDlgItem(1146)->GetWindowRect(&separator);
    m_collapsedRect = m_fullRect;
    m_collapsedRect.bottom = separator.top + 1;
    MoveWindow(&m_collapsedRect);
    return TRUE;
}

void CExifStatsDlg::OnBrowseFolder()
{
    char folder[1024] = {};
    CString current;
    GetDlgItemText(1004, current);
    if (BrowseForFolder(folder, "", this, nullptr, current.GetString()))
        SetDlgItemText(1004, folder);
}

void CExifStatsDlg::OnChooseCamera()
{
    CString start;
    GetDlgItemText(1004, start);
    std::string name = start.GetString();
    if (!name.empty() && name.back() != '/')
        name += '/';
    name += "*.jpg";
    CFileDialog dialog(TRUE, ".jpg", name.c_str(), OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, nullptr, this);
    if (dialog.DoModal() != IDOK)
        return;
    ExifInfo exif;
    if (exif.ReadFromFile(dialog.GetPathName().GetString()) && exif.GetFields().model[0]) {
        m_camera = exif.GetFields().model;
        SetDlgItemText(1144, m_camera);
    } else {
        AfxMessageBox(theAlbumTexts.GetText(82), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CExifStatsDlg::OnKindChange()
{
    m_kind = std::max(0, static_cast<int>(SendDlgItemMessage(1147, CB_GETCURSEL)));
    Invalidate();
}

void CExifStatsDlg::OnOK()
{
    if (m_worker.joinable())
        return;
    GetDlgItemText(1004, m_folder);
    GetDlgItemText(1144, m_camera);
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), 1004u})
        GetDlgItem(id)->EnableWindow(FALSE);
    m_counts.found = 0;
    m_counts.counted = 0;
    const HWND window = m_hWnd;
    const std::string folder = m_folder.GetString(), camera = m_camera.GetString();
    m_worker = std::thread([this, window, folder, camera] {
        ScanExifFolder(
            folder, camera, m_table, m_counts,
            [this, window](const std::string& status) {
                {
                    std::lock_guard lock(m_statusMutex);
                    m_status = status;
                }
                ::PostMessage(window, WM_STATS_SCAN, 0, 0);
            },
            m_cancel);
        ::PostMessage(window, WM_STATS_SCAN, 2, 0);
    });
    // Close stays usable during the scan: it stops it.
    GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
}

void CExifStatsDlg::OnCancel()
{
    StopScan();
    CSkinDialog::OnCancel();
}

LRESULT CExifStatsDlg::OnScan(WPARAM wParam, LPARAM)
{
    char counts[96];
    std::snprintf(counts, sizeof counts, "Find %d photos, %d of them have EXIF", m_counts.found.load(),
                  m_counts.counted.load());
    SetDlgItemText(1149, counts);
    if (wParam == 0) {
        std::lock_guard lock(m_statusMutex);
        SetDlgItemText(1096, m_status.c_str());
        return 0;
    }
    ScanDone();
    return 0;
}

void CExifStatsDlg::ScanDone()
{
    if (m_worker.joinable())
        m_worker.join();
    SetDlgItemText(1096, "");
    GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
    m_table.Sort();
    m_expanded = 1;
    MoveWindow(&m_fullRect);
    CenterWindow();
    Invalidate();
}

void CExifStatsDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (m_collapsedRect.IsRectEmpty())
        return;
    const POINT collapsed{m_collapsedRect.Width(), m_collapsedRect.Height()};
    if (!m_expanded) {
        info->ptMaxSize = collapsed;
        info->ptMinTrackSize = collapsed;
        info->ptMaxTrackSize = collapsed;
    } else {
        info->ptMinTrackSize = POINT{m_fullRect.Width(), m_fullRect.Height()};
    }
}

void CExifStatsDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    CWnd* separator = GetDlgItem(1146);
    CWnd* chart = GetDlgItem(1148);
    if (!separator || !chart)
        return;
    CRect line;
    separator->GetWindowRect(&line);
    ScreenToClient(&line);
    separator->MoveWindow(5, line.top, cx - 10, line.Height());
    chart->MoveWindow(5, line.bottom + 35, cx - 10, cy - line.bottom - 40);
    Invalidate();
}

void CExifStatsDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!m_expanded)
        return;
    CRect rect;
    GetDlgItem(1148)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.DeflateRect(1, 1);
    dc.FillSolidRect(&rect, RGB(255, 255, 255));
    dc.IntersectClipRect(&rect);
    DrawChart(&dc, rect);
}

void CExifStatsDlg::DrawChart(CDC* dc, const CRect& rect)
{
    CFont* old = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    std::lock_guard lock(m_table.m_mutex);
    if (m_table.Group(m_kind).entries.empty())
        dc->TextOut(rect.left + 10, rect.top + 10, "No Data");
    else if (m_kind == kByShotTime)
        DrawMonths(dc, rect);
    else
        DrawBars(dc, rect);
    dc->SelectObject(old);
}

namespace {

void Bar(CDC* dc, const CRect& bar, int n)
{
    dc->FillSolidRect(&bar, kShade);
    CRect top = bar;
    top.OffsetRect(-2, -2);
    dc->FillSolidRect(&top, CExifStatsDlg::kBarColours[n % 8]);
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&top, &black);
}

// The mark of rows or columns left over: a black frame with "..." in it.
void Dots(CDC* dc, int frameX, int frameY, int width, int textDx, int textDy)
{
    CBrush black(RGB(0, 0, 0));
    const CRect frame(frameX, frameY, frameX + width, frameY + 16);
    dc->FrameRect(&frame, &black);
    dc->TextOut(frameX + textDx, frameY + textDy, "...");
}

} // namespace

void CExifStatsDlg::DrawBars(CDC* dc, const CRect& r)
{
    const auto& entries = m_table.Group(m_kind).entries;
    int total = 0, most = 0;
    for (const auto& e : entries) {
        total += e.count;
        most = std::max(most, e.count);
    }
    const StatsColumns columns = StatsColumnsOf(m_kind);
    int y = r.top + 10;
    size_t n = 0;
    for (; n < entries.size() && y < r.bottom - 25; ++n, y += 25) {
        const ExifStatsEntry& e = entries[n];
        const std::string label = StatsRowLabel(m_kind, e);
        const SIZE size = dc->GetTextExtent(label.c_str(), static_cast<int>(label.size()));
        dc->TextOut(r.left + columns.labelEnd - size.cx, y + 3, label.c_str());
        const int x0 = r.left + columns.barStart;
        const int x1 = x0 + (r.right - x0 - 100) * e.count / most;
        Bar(dc, CRect(x0, y, x1, y + 20), static_cast<int>(n));
        char text[64];
        std::snprintf(text, sizeof text, "%d (%.2f%%)", e.count, e.count * 100.0 / total);
        dc->TextOut(x1 + 5, y + 5, text);
    }
    if (n < entries.size()) {
        if (m_kind == kByCamera || m_kind == kBySoftware)
            Dots(dc, r.left + 5, r.bottom - 25, 32, 5, 3);
        else
            Dots(dc, r.left + 5, y, 32, 5, 5);
    }
}

void CExifStatsDlg::DrawMonths(CDC* dc, const CRect& r)
{
    const auto& entries = m_table.Group(kByShotTime).entries;
    int most = 0;
    for (const auto& e : entries)
        most = std::max(most, e.count);
    int x = r.left + 12;
    size_t n = 0;
    for (; n < entries.size() && x < r.right - 25; ++n, x += 25) {
        const ExifStatsEntry& e = entries[entries.size() - 1 - n];
        const int year = std::atoi(e.text), month = std::atoi(e.text + 5);
        char text[32];
        std::snprintf(text, sizeof text, "Y%02d", year % 100);
        dc->TextOut(x, r.bottom - 40, text);
        std::snprintf(text, sizeof text, "M%02d", month);
        dc->TextOut(x, r.bottom - 25, text);
        const int top = r.bottom - 50 - (r.Height() - 150) * e.count / most;
        Bar(dc, CRect(x, top, x + 22, r.bottom - 50), static_cast<int>(n));
        std::snprintf(text, sizeof text, "%d", e.count);
        dc->TextOut(x, top - 20, text);
    }
    if (n < entries.size())
        Dots(dc, r.right - 20, r.top + 10, 19, 2, 2);
}

} // namespace shelf
