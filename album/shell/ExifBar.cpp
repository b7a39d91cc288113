#include "album/shell/ExifBar.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/FillGradient.h"
#include "album/tools/SearchThread.h"
#include "editor/shell/ExifInfo.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace shelf {

namespace {

constexpr COLORREF kListBack = RGB(240, 240, 240);

std::string format(const char* pattern, auto... values)
{
    char text[300];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

BITMAPINFO topDownInfo(int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void drawImage(CDC* dc, const CQLImage& image, int x, int y, int bw, int bh)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    const BITMAPINFO info = topDownInfo(static_cast<int>(w), static_cast<int>(h));
    const int saved = dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), x, y, bw, bh, 0, 0, static_cast<int>(w), static_cast<int>(h),
                    image.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(saved);
    const RECT frame{x - 1, y - 1, x + bw + 1, y + bh + 1};
    dc->Draw3dRect(&frame, RGB(0, 0, 0), RGB(0, 0, 0));
}

} // namespace

BEGIN_MESSAGE_MAP(CExifBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_TABSTRIP_CHANGED, OnTabChanged)
    ON_MESSAGE(WM_SEARCH_PHOTO, OnPreviewDone)
END_MESSAGE_MAP()

std::string CExifBar::ExposureText(float seconds)
{
    const double t = seconds;
    if (t <= 0.5) {
        const int n = static_cast<int>(1.0 / t + 0.5);
        if (n > 0 && std::fabs(t - 1.0 / n) <= 0.05 * t)
            return format("1/%d s", n);
    }
    return format("%g s", t);
}

std::vector<CExifBar::Line> CExifBar::Lines(const PhotoFileInfo& info, const std::string& tags)
{
    std::vector<Line> lines;
    if (info.nWidth != 0)
        lines.push_back({format("%d x %d", info.nWidth, info.nHeight), 0});
    const SYSTEMTIME& d = info.stDateTaken;
    lines.push_back({format("%d-%d-%d %d:%d:%d", d.wMonth, d.wDay, d.wYear, d.wHour, d.wMinute, d.wSecond), 1});
    lines.push_back({format("%.1f Kbytes", info.nFileSize / 1024.0), 11});
    if (info.szModel[0])
        lines.push_back({info.szModel, 2});
    if (info.fExposureTime > 0)
        lines.push_back({ExposureText(info.fExposureTime), 3});
    if (info.fFNumber > 0)
        lines.push_back({format("F%g", info.fFNumber), 4});
    if (info.fSubjectDistance > 0)
        lines.push_back({format("%g m", info.fSubjectDistance), 5});
    if (info.fFocalLength > 0)
        lines.push_back({format("%g mm", info.fFocalLength), 6});
    if (info.wFlash != 0xFFFF)
        lines.push_back({info.wFlash != 0 ? "Yes" : "No", 7});
    if (info.fExposureBias != 0)
        lines.push_back({format("%g Ev", info.fExposureBias), 8});
    if (info.wISO > 20 && info.fFNumber > 0)
        lines.push_back({format("ISO %d", info.wISO), 9});
    if (!tags.empty())
        lines.push_back({tags, 10});
    return lines;
}

std::vector<CExifBar::Column> CExifBar::HistogramColumns(const BYTE histogram[256], const RECT& plot)
{
    std::vector<Column> columns;
    const int width = plot.right - plot.left, height = plot.bottom - plot.top;
    if (width <= 0 || height <= 0)
        return columns;
    int previous = plot.left;
    for (int i = 0; i < 256; ++i) {
        const int end = plot.left + width * i / 256;
        if (i > 0) {
            int bar = histogram[i] * height / 256;
            if (histogram[i] != 0)
                bar = std::max(bar, 1);
            bar = std::min(bar, height);
            for (int x = previous + 1; x <= end; ++x)
                columns.push_back({x, bar});
        }
        previous = end;
    }
    return columns;
}

CExifBar::CExifBar(CSearchThread* thread) : m_pThread(thread ? thread : &SearchThread()) {}

CExifBar::~CExifBar() = default;

int CExifBar::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                             LVS_SHOWSELALWAYS;
    if (!m_list.Create(kStyle, CRect(0, 0, 100, 100), this, kList))
        return -1;
    m_list.SetBkColor(kListBack);
    m_list.SetTextBkColor(kListBack);
    m_list.InsertColumn(0, "", LVCFMT_LEFT, 200);
    if (m_images.Create(kIcons, 16, 12, RGB(0, 255, 0)))
        m_list.SetImageList(&m_images, LVSIL_SMALL);
    m_tabs.AddTab(&m_tabPages[0], theAlbumTexts.GetText(89), 0);
    m_tabs.AddTab(&m_tabPages[1], theAlbumTexts.GetText(90), 1);
    if (!m_tabs.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 24), this, kTabs))
        return -1;
    m_mode = AfxGetApp() ? (AfxGetApp()->GetProfileInt("Interface", "qlaExifBarShowMode", 0) == 1 ? 1 : 0) : 0;
    m_tabs.SetCurrent(m_mode);
    if (m_mode == 1)
        m_list.ShowWindow(SW_HIDE);
    return 0;
}

void CExifBar::OnDestroy()
{
    if (AfxGetApp())
        AfxGetApp()->WriteProfileInt("Interface", "qlaExifBarShowMode", m_mode);
    m_current.store(0);
    FreePreview();
    CWnd::OnDestroy();
}

void CExifBar::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    if (!m_list.m_hWnd)
        return;
    m_tabs.MoveWindow(1, 0, cx - 3, 24);
    m_list.MoveWindow(1, 25, std::max(cx - 6, 0), std::max(cy - 100, 0));
}

CRect CExifBar::ListRect() const
{
    CRect client;
    GetClientRect(&client);
    return CRect(1, 25, 1 + std::max(client.Width() - 6, 0), 25 + std::max(client.Height() - 100, 0));
}

std::string CExifBar::EntryPath() const
{
    return m_pEntry ? m_folder + m_info.szFileName : std::string();
}

void CExifBar::FreePreview()
{
    m_pThread->LockPreview();
    m_preview.Free();
    m_pThread->UnlockPreview();
    m_previewReady = false;
}

void CExifBar::ShowPhoto(const PhotoEntry* entry)
{
    if (entry != m_pEntry) {
        m_pEntry = entry;
        m_current.store(reinterpret_cast<LPARAM>(entry));
        FreePreview();
        m_tags.clear();
    }
    m_info = entry ? entry->m_info : PhotoFileInfo{};
    m_isFolder = entry && entry->m_bFolder;
    m_thumb.Free();
    if (entry && entry->m_thumb.GetAreaByteSize())
        m_thumb.DuplicateFrom(&entry->m_thumb);
    if (entry && m_mode == 1) {
        RequestPreview();
    } else if (entry) {
        if (m_isFolder) {
            m_list.DeleteAllItems();
        } else {
            const std::string path = EntryPath();
            if (CQLImageCodec::GetFileType(path.c_str()) == QL_FILE_JPEG) {
                ExifInfo exif;
                if (exif.ReadFromFile(path.c_str()))
                    m_tags = exif.GetPrivateText();
            }
            FillList();
        }
    } else {
        FillList();
    }
    if (m_hWnd)
        Invalidate();
}

void CExifBar::RequestPreview()
{
    if (!m_pEntry)
        return;
    PreviewRequest request;
    request.id = reinterpret_cast<LPARAM>(m_pEntry);
    request.path = m_isFolder ? EntryPath() + "/" : EntryPath();
    request.wnd = m_hWnd;
    request.target = &m_preview;
    request.current = &m_current;
    m_pThread->RequestPreview(request, m_isFolder ? 3 : 2);
}

void CExifBar::FillList()
{
    m_list.DeleteAllItems();
    if (!m_pEntry)
        return;
    int row = 0;
    for (const Line& line : Lines(m_info, m_tags))
        m_list.InsertItem(row++, line.text.c_str(), line.icon);
}

LRESULT CExifBar::OnTabChanged(WPARAM wParam, LPARAM)
{
    const int mode = wParam == 1 ? 1 : 0;
    if (mode == m_mode)
        return 0;
    m_mode = mode;
    m_tabs.SetCurrent(mode);
    m_list.ShowWindow(mode == 0 ? SW_SHOW : SW_HIDE);
    // What the new page needs of the photo shown.
    ShowPhoto(m_pEntry);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

LRESULT CExifBar::OnPreviewDone(WPARAM wParam, LPARAM lParam)
{
    if (wParam != 2)
        return 0;
    if (m_pEntry && lParam == reinterpret_cast<LPARAM>(m_pEntry)) {
        m_previewReady = true;
        if (m_mode == 1)
            Invalidate();
    } else {
        FreePreview();
    }
    return 0;
}

BOOL CExifBar::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    if (theAlbum && theAlbum->m_patternBrush.GetSafeHandle())
        dc->FillRect(&client, &theAlbum->m_patternBrush);
    else
        dc->FillSolidRect(&client, RGB(192, 192, 192));
    dc->FillSolidRect(client.right - 5, 0, 5, client.Height(), RGB(128, 128, 128));
    dc->Draw3dRect(&client, RGB(192, 192, 192), RGB(0, 0, 0));
    CRect list = ListRect();
    list.InflateRect(1, 1);
    dc->Draw3dRect(&list, RGB(128, 128, 128), RGB(128, 128, 128));
    return TRUE;
}

void CExifBar::OnPaint()
{
    CPaintDC dc(this);
    if (m_mode == 1 && m_pEntry)
        PaintPreview(&dc);
    PaintHistogram(&dc);
}

void CExifBar::PaintPreview(CDC* dc)
{
    CRect box = ListRect();
    dc->FillSolidRect(&box, kListBack);
    box.DeflateRect(2, 2);
    if (box.Width() <= 0 || box.Height() <= 0)
        return;
    m_pThread->LockPreview();
    UINT w = 0, h = 0;
    m_preview.GetSize(&w, &h);
    if (m_previewReady && w && h) {
        // Fitted with its aspect kept, bars above and below or at the sides.
        int bw = box.Width(), bh = static_cast<int>(static_cast<double>(box.Width()) * h / w);
        if (bh > box.Height()) {
            bh = box.Height();
            bw = std::max(1, static_cast<int>(static_cast<double>(box.Height()) * w / h));
        }
        bh = std::max(bh, 1);
        drawImage(dc, m_preview, box.left + (box.Width() - bw) / 2, box.top + (box.Height() - bh) / 2, bw, bh);
        m_pThread->UnlockPreview();
        return;
    }
    m_pThread->UnlockPreview();
    m_thumb.GetSize(&w, &h);
    if (w && h)
        drawImage(dc, m_thumb, box.left + (box.Width() - static_cast<int>(w)) / 2,
                  box.top + (box.Height() - static_cast<int>(h)) / 2, static_cast<int>(w), static_cast<int>(h));
}

void CExifBar::PaintHistogram(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    const CRect strip(client.left + 1, client.bottom - 1 - kHistogramHeight, client.right - 5, client.bottom - 1);
    if (strip.Width() <= 0 || strip.Height() <= 0)
        return;
    FillGradient(dc, strip, CPoint(strip.left, strip.top), CPoint(strip.left, strip.bottom), TRUE,
                 RGB(192, 192, 192), RGB(240, 240, 240), nullptr, 0);
    if (!m_pEntry || !m_thumb.GetAreaByteSize())
        return;
    CPen* old = static_cast<CPen*>(dc->SelectStockObject(BLACK_PEN));
    dc->MoveTo(strip.left + 5, strip.bottom - 10);
    dc->LineTo(strip.right - 5, strip.bottom - 10);
    dc->MoveTo(strip.left + 10, strip.top + 5);
    dc->LineTo(strip.left + 10, strip.bottom - 5);
    dc->MoveTo(strip.right - 10, strip.top + 5);
    dc->LineTo(strip.right - 10, strip.bottom - 5);
    const CRect plot(strip.left + 11, strip.top + 10, strip.right - 11, strip.bottom - 12);
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, RGB(90, 90, 90));
    dc->SelectObject(&pen);
    for (const Column& c : HistogramColumns(m_info.histogram, plot)) {
        if (c.height <= 0)
            continue;
        dc->MoveTo(c.x, plot.bottom);
        dc->LineTo(c.x, plot.bottom - c.height);
    }
    dc->SelectObject(old);
}

} // namespace shelf
