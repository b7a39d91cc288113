#include "album/tools/PrintSettingsPage.h"

#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/Controls.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace shelf {

namespace {

constexpr int kThumbSide = 200;
constexpr int kSpinId = 1067;
constexpr int kMoveStep = 5;
constexpr int kBeyond = 50;

const char kImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";

void ThumbSize(const PrintItem& item, int* w, int* h)
{
    UINT tw = 0, th = 0;
    item.thumbnail.GetSize(&tw, &th);
    *w = static_cast<int>(tw);
    *h = static_cast<int>(th);
}

const char* FileNameOf(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\' || *p == ':')
            name = p + 1;
    return name;
}

// The photo read and shrunk to its thumbnail; null when it cannot be read.
std::unique_ptr<PrintItem> LoadItem(const std::string& path)
{
    CQLImageCodec codec;
    CQLImage photo;
    if (!codec.LoadFile(path.c_str(), &photo))
        return nullptr;
    UINT w = 0, h = 0;
    photo.GetSize(&w, &h);
    if (!w || !h)
        return nullptr;
    // At least a pixel on each side, so that a thin photo still has a thumbnail.
    const int tw = w > h ? kThumbSide : std::max(1, static_cast<int>(w * kThumbSide / h));
    const int th = w > h ? std::max(1, static_cast<int>(h * kThumbSide / w)) : kThumbSide;
    auto item = std::make_unique<PrintItem>();
    if (!codec.Resample(&photo, &item->thumbnail, tw, th, 1))
        return nullptr;
    std::snprintf(item->path, sizeof item->path, "%s", path.c_str());
    return item;
}

} // namespace

int PrintItem::TotalCopies() const
{
    int total = 0;
    for (int c : copies)
        total += c;
    return total;
}

BEGIN_MESSAGE_MAP(CPrintSettingsPage, CSkinPropertyPage)
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_BN_CLICKED(1014, OnAdd)
    ON_BN_CLICKED(1065, OnRemove)
    ON_BN_CLICKED(1071, OnMoveTop)
    ON_BN_CLICKED(1072, OnMoveBottom)
    ON_BN_CLICKED(1069, OnMoveLeft)
    ON_BN_CLICKED(1070, OnMoveRight)
    ON_BN_CLICKED(139, OnEnlarge)
    ON_BN_CLICKED(140, OnReduce)
    ON_EN_CHANGE(1081, OnCustomChanged)
    ON_EN_CHANGE(1080, OnCustomChanged)
    ON_NOTIFY(UDN_DELTAPOS, kSpinId, OnCopiesSpin)
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnListNotify)
    ON_MESSAGE(WM_PRINT_LOADED, OnLoaded)
END_MESSAGE_MAP()

CPrintSettingsPage::CPrintSettingsPage() : CSkinPropertyPage(kTemplate) {}

CPrintSettingsPage::~CPrintSettingsPage()
{
    m_stop = true;
    if (m_loader.joinable())
        m_loader.join();
}

void CPrintSettingsPage::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, 1081, m_customWidth);
    DDV_MinMaxFloat(pDX, m_customWidth, 0.2f, 20.0f);
    DDX_Text(pDX, 1080, m_customHeight);
    DDV_MinMaxFloat(pDX, m_customHeight, 0.2f, 20.0f);
}

BOOL CPrintSettingsPage::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    m_font.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    const struct {
        UINT id, bitmap;
    } buttons[] = {{1014, 179}, {1065, 180}, {1071, 151}, {1072, 152}, {1069, 153}, {1070, 154}, {139, 182}, {140, 181}};
    for (int i = 0; i < 8; ++i)
        if (CWnd* button = GetDlgItem(buttons[i].id); button && m_bitmaps[i].LoadBitmap(buttons[i].bitmap))
            button->SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bitmaps[i].GetSafeHandle()));

    if (CWnd* frame = GetDlgItem(1076)) {
        CRect r;
        frame->GetWindowRect(&r);
        ScreenToClient(&r);
        r.left += 2;
        r.top += 1;
        r.right -= 1;
        r.bottom -= 1;
        m_list.Create(nullptr, "", WS_CHILD | WS_VISIBLE, r, this, kListId);
        m_list.SetBkColor(RGB(0x40, 0x40, 0x40));
        m_list.SetHalftone(TRUE);
        m_list.SetMultiSelect(FALSE);
    }
    m_sizeList.SubclassDlgItem(1032, this);
    m_sizeList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_sizeList.InsertColumn(0, "Print size", LVCFMT_LEFT, 120);
    m_sizeList.InsertColumn(1, "Copies", LVCFMT_LEFT, 60);
    m_progress.Create(CPrintProgressDlg::kTemplate, this);
    m_progress.SendDlgItemMessage(1082, PBM_SETRANGE32, 0, 100);
    for (UINT id : {1065u, 1081u, 1080u})
        GetDlgItem(id)->EnableWindow(FALSE);
    GetDlgItem(kSpinId)->ShowWindow(SW_HIDE);
    LoadPaths();
    SetTimer(kTrackTimer, 100, nullptr);
    return TRUE;
}

void CPrintSettingsPage::OnDestroy()
{
    m_stop = true;
    if (m_loader.joinable())
        m_loader.join();
    KillTimer(kTrackTimer);
    m_sizeList.UnsubclassWindow();
    CSkinPropertyPage::OnDestroy();
}

BOOL CPrintSettingsPage::OnSetActive()
{
    GetSheet()->SetWizardButtons(IsLoading() ? 0 : PSWIZB_BACK | PSWIZB_NEXT);
    return CSkinPropertyPage::OnSetActive();
}

BOOL CPrintSettingsPage::OnQueryCancel()
{
    m_stop = true;
    return TRUE;
}

void CPrintSettingsPage::LoadPaths()
{
    if (m_paths.empty() || IsLoading())
        return;
    m_progress.SendDlgItemMessage(1082, PBM_SETPOS, 0, 0);
    m_progress.CenterWindow(this);
    m_progress.ShowWindow(SW_SHOW);
    if (GetSheet() && GetSheet()->GetActivePage() == this)
        GetSheet()->SetWizardButtons(0);
    std::vector<std::string> paths;
    paths.swap(m_paths);
    const HWND window = m_hWnd;
    m_stop = false;
    // Photos are read whole: off the window thread, so the page keeps painting.
    m_loader = std::thread([this, window, paths = std::move(paths)] {
        const std::size_t n = paths.size();
        for (std::size_t i = 0; i < n && !m_stop; ++i) {
            ::PostMessage(window, WM_PRINT_LOADED, static_cast<WPARAM>(100 * i / n), 0);
            if (std::unique_ptr<PrintItem> item = LoadItem(paths[i])) {
                std::lock_guard<std::mutex> lock(m_loadedLock);
                m_loaded.push_back(std::move(item));
            }
        }
        ::PostMessage(window, WM_PRINT_LOADED, 101, 0);
    });
}

LRESULT CPrintSettingsPage::OnLoaded(WPARAM percent, LPARAM)
{
    if (percent <= 100) {
        m_progress.SendDlgItemMessage(1082, PBM_SETPOS, percent, 0);
        return 0;
    }
    if (m_loader.joinable())
        m_loader.join();
    for (auto& item : m_loaded)
        m_items.push_back(std::move(item));
    m_loaded.clear();
    m_progress.ShowWindow(SW_HIDE);
    RefillList();
    if (GetSheet() && GetSheet()->GetActivePage() == this)
        GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return 0;
}

void CPrintSettingsPage::RefillList()
{
    StoreCustomSize();
    m_photo = -1;
    m_list.DeleteAllItems();
    for (const auto& item : m_items)
        m_list.AddItem(FileNameOf(item->path), &item->thumbnail);
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i)
        UpdateCaption(i);
    OnSelectionChanged();
}

void CPrintSettingsPage::UpdateCaption(int photo)
{
    ThumbListItem entry = m_list.GetItem(photo);
    const PrintItem& item = *m_items[static_cast<std::size_t>(photo)];
    const int total = item.TotalCopies();
    if (total > 0)
        std::snprintf(entry.text, sizeof entry.text, "( %d Copies )", total);
    else
        std::snprintf(entry.text, sizeof entry.text, "%s", FileNameOf(item.path));
    m_list.SetItem(photo, entry);
    m_list.RepaintItem(photo);
}

PrintItem* CPrintSettingsPage::Selected() const
{
    return m_photo >= 0 && m_photo < static_cast<int>(m_items.size()) ? m_items[static_cast<std::size_t>(m_photo)].get()
                                                                       : nullptr;
}

void CPrintSettingsPage::StoreCustomSize()
{
    PrintItem* item = Selected();
    if (!item || !m_hWnd)
        return;
    char text[64] = {};
    GetDlgItemText(1081, text, sizeof text);
    item->customWidth = static_cast<float>(std::atof(text));
    GetDlgItemText(1080, text, sizeof text);
    item->customHeight = static_cast<float>(std::atof(text));
}

void CPrintSettingsPage::LoadCustomSize()
{
    PrintItem* item = Selected();
    if (!item)
        return;
    m_customWidth = item->customWidth;
    m_customHeight = item->customHeight;
    // Loading the edits is no change of the size: the crop stays.
    m_settingEdits = TRUE;
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(m_customWidth));
    SetDlgItemText(1081, text);
    std::snprintf(text, sizeof text, "%g", static_cast<double>(m_customHeight));
    SetDlgItemText(1080, text);
    m_settingEdits = FALSE;
}

void CPrintSettingsPage::FillSizeRows()
{
    m_sizeList.DeleteAllItems();
    const PrintItem* item = Selected();
    if (!item)
        return;
    for (int r = 0; r < kPrintSizeRows; ++r) {
        m_sizeList.InsertItem(r, kPrintSizes[r].settingsName);
        char copies[16];
        std::snprintf(copies, sizeof copies, "%d", item->copies[r]);
        m_sizeList.SetItemText(r, 1, copies);
    }
}

void CPrintSettingsPage::OnSelectionChanged()
{
    StoreCustomSize();
    m_photo = m_list.GetCurSel();
    const bool any = Selected() != nullptr;
    for (UINT id : {1065u, 1081u, 1080u})
        GetDlgItem(id)->EnableWindow(any);
    FillSizeRows();
    m_row = -1;
    if (any)
        LoadCustomSize();
    TrackRow();
    Invalidate();
}

LRESULT CPrintSettingsPage::OnListNotify(WPARAM code, LPARAM)
{
    if (code == kThumbSelChanged)
        OnSelectionChanged();
    else if (code == kThumbDeleteKey)
        OnRemove();
    return 0;
}

void CPrintSettingsPage::OnTimer(UINT_PTR id)
{
    if (id == kTrackTimer)
        TrackRow();
}

void CPrintSettingsPage::TrackRow()
{
    CWnd* spin = GetDlgItem(kSpinId);
    const int row = Selected() ? m_sizeList.GetNextItem(-1, LVNI_SELECTED) : -1;
    if (row < 0) {
        if (spin->IsWindowVisible())
            spin->ShowWindow(SW_HIDE);
        if (m_row != -1) {
            m_row = -1;
            Invalidate();
        }
        return;
    }
    if (row != m_row) {
        if (m_row == 0)
            StoreCustomSize();
        if (row == 0)
            LoadCustomSize();
        m_row = row;
        Invalidate();
    }
    // The spin stands beside the selected row.
    CRect item, list, place;
    m_sizeList.GetItemRect(row, &item, LVIR_BOUNDS);
    m_sizeList.ClientToScreen(&item);
    ScreenToClient(&item);
    m_sizeList.GetWindowRect(&list);
    ScreenToClient(&list);
    spin->GetWindowRect(&place);
    ScreenToClient(&place);
    if (place.top != item.top || place.left != list.right + 2) {
        const int height = std::max<int>(item.Height(), 12);
        spin->MoveWindow(list.right + 2, item.top, place.Width(), height);
    }
    if (!spin->IsWindowVisible())
        spin->ShowWindow(SW_SHOW);
}

void CPrintSettingsPage::OnCopiesSpin(NMHDR* header, LRESULT* result)
{
    *result = 1;
    PrintItem* item = Selected();
    if (!item || m_row < 0)
        return;
    const auto* nm = reinterpret_cast<const NMUPDOWN*>(header);
    int& copies = item->copies[m_row];
    copies = std::clamp(copies - nm->iDelta, 0, 100);
    char text[16];
    std::snprintf(text, sizeof text, "%d", copies);
    m_sizeList.SetItemText(m_row, 1, text);
    UpdateCaption(m_photo);
}

void CPrintSettingsPage::OnCustomChanged()
{
    if (m_settingEdits)
        return;
    if (PrintItem* item = Selected()) {
        StoreCustomSize();
        item->crops[0] = RECT{};
    }
    Invalidate();
}

void CPrintSettingsPage::RowInches(const PrintItem& item, int row, float* width, float* height)
{
    if (row > 0 && row < kPrintSizeRows) {
        *width = kPrintSizes[row].width * 0.01f;
        *height = kPrintSizes[row].height * 0.01f;
    } else {
        *width = item.customWidth;
        *height = item.customHeight;
    }
    int w = 0, h = 0;
    ThumbSize(item, &w, &h);
    // Portrait photos print their sizes upright.
    if (h >= w)
        std::swap(*width, *height);
}

RECT CPrintSettingsPage::DefaultCrop(const PrintItem& item, float printWidth, float printHeight)
{
    int w = 0, h = 0;
    ThumbSize(item, &w, &h);
    if (w <= 0 || h <= 0 || printWidth <= 0 || printHeight <= 0)
        return RECT{0, 0, w, h};
    if (printWidth / printHeight >= static_cast<float>(w) / static_cast<float>(h)) {
        const int n = static_cast<int>(printWidth * h / printHeight);
        const int pad = (n - w) / 2;
        return RECT{-pad, 0, n - pad, h};
    }
    const int n = static_cast<int>(printHeight * w / printWidth);
    const int pad = (n - h) / 2;
    return RECT{0, -pad, w, n - pad};
}

RECT* CPrintSettingsPage::CurrentCrop()
{
    PrintItem* item = Selected();
    if (!item || m_row < 0 || m_row >= kPrintSizeRows)
        return nullptr;
    RECT& crop = item->crops[m_row];
    if (crop.left == crop.right) {
        float pw = 0, ph = 0;
        RowInches(*item, m_row, &pw, &ph);
        crop = DefaultCrop(*item, pw, ph);
    }
    return &crop;
}

bool CPrintSettingsPage::MoveCrop(UINT button)
{
    RECT* crop = CurrentCrop();
    if (!crop)
        return false;
    int w = 0, h = 0;
    ThumbSize(*Selected(), &w, &h);
    RECT r = *crop;
    // A move that would just pass the photo's edge stops at it; the next
    // one may go up to 50 pixels beyond (white on paper).
    switch (button) {
    case 1071:
        OffsetRect(&r, 0, kMoveStep);
        if (r.bottom > h + kBeyond)
            return false;
        if (r.bottom > h && r.bottom < h + kMoveStep)
            OffsetRect(&r, 0, h - r.bottom);
        break;
    case 1072:
        OffsetRect(&r, 0, -kMoveStep);
        if (r.top < -kBeyond)
            return false;
        if (r.top > -kMoveStep && r.top < 0)
            OffsetRect(&r, 0, -r.top);
        break;
    case 1069:
        OffsetRect(&r, kMoveStep, 0);
        if (r.right > w + kBeyond)
            return false;
        if (r.right > w && r.right < w + kMoveStep)
            OffsetRect(&r, w - r.right, 0);
        break;
    case 1070:
        OffsetRect(&r, -kMoveStep, 0);
        if (r.left < -kBeyond)
            return false;
        if (r.left > -kMoveStep && r.left < 0)
            OffsetRect(&r, -r.left, 0);
        break;
    default:
        return false;
    }
    *crop = r;
    return true;
}

bool CPrintSettingsPage::ReduceCrop()
{
    RECT* crop = CurrentCrop();
    if (!crop)
        return false;
    const PrintItem& item = *Selected();
    int w = 0, h = 0;
    ThumbSize(item, &w, &h);
    float pw = 0, ph = 0;
    RowInches(item, m_row, &pw, &ph);
    const int cw = crop->right - crop->left, ch = crop->bottom - crop->top;
    if (cw < w / 2)
        return false;
    int dx = 0, dy = 0;
    if (w < cw && cw < w + 20) {
        dx = cw - w;
        dy = static_cast<int>(ph * dx / pw);
    } else if (h < ch && ch < h + static_cast<int>(ph * 20 / pw)) {
        dy = ch - h;
        dx = static_cast<int>(pw * dy / ph);
    } else {
        dx = 20;
        dy = static_cast<int>(ph * 20 / pw);
    }
    crop->left += dx / 2;
    crop->right -= dx - dx / 2;
    crop->top += dy / 2;
    crop->bottom -= dy - dy / 2;
    return true;
}

bool CPrintSettingsPage::EnlargeCrop()
{
    RECT* crop = CurrentCrop();
    if (!crop)
        return false;
    const PrintItem& item = *Selected();
    int w = 0, h = 0;
    ThumbSize(item, &w, &h);
    float pw = 0, ph = 0;
    RowInches(item, m_row, &pw, &ph);
    const int cw = crop->right - crop->left, ch = crop->bottom - crop->top;
    if (cw > w && ch > h)
        return false;
    int dx = 0, dy = 0;
    if (cw < w && w - 12 < cw) {
        dx = w - cw;
        dy = h * dx / w;
    } else {
        const int t = static_cast<int>(ph * 12 / pw);
        if (ch >= h) {
            dx = 12;
            dy = t;
        } else if (h - t < ch) {
            dy = h - ch;
            dx = w * dy / h;
        } else {
            dx = 12;
            dy = t;
        }
    }
    crop->left -= dx / 2;
    crop->right += dx - dx / 2;
    crop->top -= dy / 2;
    crop->bottom += dy - dy / 2;
    return true;
}

void CPrintSettingsPage::OnCropButton(UINT id)
{
    const bool changed = id == 139 ? EnlargeCrop() : id == 140 ? ReduceCrop() : MoveCrop(id);
    if (changed)
        Invalidate();
}

void CPrintSettingsPage::OnPaint()
{
    CPaintDC dc(this);
    DrawCrop(&dc);
}

void CPrintSettingsPage::DrawCrop(CDC* dc)
{
    CWnd* preview = GetDlgItem(1077);
    if (!preview)
        return;
    CRect area;
    preview->GetWindowRect(&area);
    ScreenToClient(&area);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&area);
    dc->FillSolidRect(&area, RGB(0xDC, 0xDC, 0xDC));
    dc->Draw3dRect(&area, RGB(0x40, 0x40, 0x40), RGB(255, 255, 255));
    const RECT* crop = CurrentCrop();
    if (!crop) {
        dc->RestoreDC(saved);
        return;
    }
    const PrintItem& item = *Selected();
    int w = 0, h = 0;
    ThumbSize(item, &w, &h);
    float pw = 0, ph = 0;
    RowInches(item, m_row, &pw, &ph);
    if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0 || crop->right <= crop->left || crop->bottom <= crop->top) {
        dc->RestoreDC(saved);
        return;
    }
    CRect frame = area;
    frame.DeflateRect(area.Width() / 8, area.Height() / 8);
    // The print size's aspect, centred in the frame.
    CRect print = frame;
    if (pw / ph >= static_cast<float>(frame.Width()) / static_cast<float>(frame.Height())) {
        const int height = static_cast<int>(frame.Width() * ph / pw);
        print.top = frame.top + (frame.Height() - height) / 2;
        print.bottom = print.top + height;
    } else {
        const int width = static_cast<int>(frame.Height() * pw / ph);
        print.left = frame.left + (frame.Width() - width) / 2;
        print.right = print.left + width;
    }
    dc->FillSolidRect(&print, RGB(255, 255, 255));

    // The thumbnail with what lies outside the crop lightened.
    CQLImage shown;
    shown.Create(static_cast<UINT>(w), static_cast<UINT>(h));
    for (int y = 0; y < h; ++y) {
        const BYTE* src = item.thumbnail.GetBuffer(0, y);
        BYTE* dst = shown.GetBuffer(0, y);
        const bool rowInside = y >= crop->top && y < crop->bottom;
        for (int x = 0; x < w; ++x, src += 4, dst += 4) {
            const bool inside = rowInside && x >= crop->left && x < crop->right;
            for (int c = 0; c < 3; ++c)
                dst[c] = inside ? src[c] : static_cast<BYTE>((src[c] + 255) / 2);
            dst[3] = 255;
        }
    }
    const double rx = static_cast<double>(crop->right - crop->left) / print.Width();
    const double ry = static_cast<double>(crop->bottom - crop->top) / print.Height();
    const int left = static_cast<int>(print.left - crop->left / rx);
    const int top = static_cast<int>(print.top - crop->top / ry);
    const int right = static_cast<int>((w - crop->right) / rx + print.right + 1);
    const int bottom = static_cast<int>((h - crop->bottom) / ry + print.bottom + 1);
    const BITMAPINFO info = DibHeaderOf(shown, h);
    dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), left, top, right - left, bottom - top, 0, 0, w, h, shown.GetBuffer(0, 0), &info,
                    DIB_RGB_COLORS, SRCCOPY);
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc->SelectObject(&white);
    dc->SelectStockObject(NULL_BRUSH);
    dc->SetROP2(R2_XORPEN);
    dc->Rectangle(&print);
    dc->SelectObject(oldPen);
    dc->RestoreDC(saved);
}

void CPrintSettingsPage::OnAdd()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST,
                       kImageFilter, this);
    std::vector<char> names(10000, '\0');
    dialog.m_ofn.lpstrFile = names.data();
    dialog.m_ofn.nMaxFile = static_cast<DWORD>(names.size());
    if (dialog.DoModal() != IDOK)
        return;
    for (POSITION pos = dialog.GetStartPosition(); pos;) {
        const std::string path = dialog.GetNextPathName(pos).GetString();
        // Only the very same path is the same photo.
        const bool listed = std::any_of(m_items.begin(), m_items.end(),
                                        [&](const auto& item) { return path == item->path; });
        const bool waiting = std::find(m_paths.begin(), m_paths.end(), path) != m_paths.end();
        if (!listed && !waiting)
            m_paths.push_back(path);
    }
    LoadPaths();
}

void CPrintSettingsPage::OnRemove()
{
    if (!Selected())
        return;
    const int photo = m_photo;
    m_photo = -1; // its edits go with it
    m_items.erase(m_items.begin() + photo);
    RefillList();
}

void CPrintSettingsPage::FillJobs()
{
    m_printer->m_jobs.clear();
    for (const auto& item : m_items) {
        PrintJob job;
        std::snprintf(job.path, sizeof job.path, "%s", item->path);
        int w = 0, h = 0;
        ThumbSize(*item, &w, &h);
        w = std::max(w, 1);
        h = std::max(h, 1);
        for (int r = 0; r < kPrintSizeRows; ++r) {
            if (item->copies[r] <= 0)
                continue;
            const float width = r == 0 ? item->customWidth : kPrintSizes[r].width * 0.01f;
            const float height = r == 0 ? item->customHeight : kPrintSizes[r].height * 0.01f;
            const PrintJob::Size size{m_printer->InchesToUnits(width), m_printer->InchesToUnits(height)};
            const RECT& c = item->crops[r];
            const RECT crop{static_cast<LONG>(c.left * 1000 / w), static_cast<LONG>(c.top * 1000 / h),
                            static_cast<LONG>(c.right * 1000 / w), static_cast<LONG>(c.bottom * 1000 / h)};
            for (int k = 0; k < item->copies[r]; ++k) {
                job.copySizes.push_back(size);
                job.copyCrops.push_back(crop);
            }
        }
        m_printer->m_jobs.push_back(std::move(job));
    }
}

LRESULT CPrintSettingsPage::OnWizardNext()
{
    if (IsLoading() || !UpdateData(TRUE))
        return -1;
    StoreCustomSize();
    for (const auto& item : m_items) {
        if (item->TotalCopies() > 0)
            continue;
        char text[700];
        std::snprintf(text, sizeof text, "Photo \"%s\" has not been set size and number of copies,\n Continue?",
                      item->path);
        if (MessageBox(text, "Warning", MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
            return -1;
    }
    FillJobs();
    return 187;
}

LRESULT CPrintSettingsPage::OnWizardBack()
{
    if (IsLoading())
        return -1;
    StoreCustomSize();
    return 184;
}

} // namespace shelf
