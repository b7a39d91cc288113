#include "editor/shell/PrintImageDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kPrintJobTag = 235;
const char* const kAlignH[] = {"Left", "Center", "Right"};
const char* const kAlignV[] = {"Top", "Center", "Bottom"};
constexpr UINT kInputs[] = {IDC_PRINT_WIDTH,   IDC_PRINT_WIDTH_SPIN, IDC_PRINT_HEIGHT, IDC_PRINT_HEIGHT_SPIN,
                            IDC_PRINT_ALIGN_H, IDC_PRINT_ALIGN_V,    IDOK,             IDCANCEL};

// The start of a length of size inside a span between two margins.
int AlignIn(int span, int margin, int size, int align)
{
    switch (align) {
    case 0: return margin;
    case 2: return span - margin - size;
    default: return margin + (span - 2 * margin - size) / 2;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CPrintImageDlg, CSkinDialog)
    ON_EN_CHANGE(IDC_PRINT_WIDTH, OnWidthChanged)
    ON_EN_CHANGE(IDC_PRINT_HEIGHT, OnHeightChanged)
    ON_NOTIFY(UDN_DELTAPOS, IDC_PRINT_WIDTH_SPIN, OnWidthSpin)
    ON_NOTIFY(UDN_DELTAPOS, IDC_PRINT_HEIGHT_SPIN, OnHeightSpin)
    ON_CBN_SELCHANGE(IDC_PRINT_ALIGN_H, OnAlignChanged)
    ON_CBN_SELCHANGE(IDC_PRINT_ALIGN_V, OnAlignChanged)
    ON_WM_DRAWITEM()
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CPrintImageDlg::CPrintImageDlg(CImagePrinter* printer, const CQLImage* image, CWnd* parent)
    : CSkinDialog(IDD_PRINT_IMAGE, parent), m_printer(printer), m_image(image)
{
}

CPrintImageDlg::~CPrintImageDlg()
{
    // The job works on this dialog's members: it must be over first.
    while (m_printing && theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

double CPrintImageDlg::CutToHundredths(double value)
{
    // A little above the value, so that 0.29 (28.999... hundredths) stays 0.29.
    return std::trunc(value * 100 + 1e-6) / 100;
}

void CPrintImageDlg::FitToPage(const Fit& fit, double* width, double* height)
{
    const double w = fit.imageWidth, h = fit.imageHeight;
    if (w * fit.pageHeight > h * fit.pageWidth) {
        *width = fit.pageWidth;
        *height = h * fit.pageWidth / w;
    } else {
        *height = fit.pageHeight;
        *width = w * fit.pageHeight / h;
    }
    *width = CutToHundredths(*width);
    *height = CutToHundredths(*height);
}

void CPrintImageDlg::ApplyWidth(const Fit& fit, double wanted, double* width, double* height)
{
    const double w = fit.imageWidth, h = fit.imageHeight;
    const double widest = std::min(fit.pageWidth, fit.pageHeight * w / h);
    const double limited = std::clamp(std::min(wanted, widest), 0.0, kMaxInches);
    *width = CutToHundredths(limited);
    *height = CutToHundredths(h * limited / w);
}

void CPrintImageDlg::ApplyHeight(const Fit& fit, double wanted, double* width, double* height)
{
    const double w = fit.imageWidth, h = fit.imageHeight;
    const double highest = std::min(fit.pageHeight, fit.pageWidth * h / w);
    const double limited = std::clamp(std::min(wanted, highest), 0.0, kMaxInches);
    *height = CutToHundredths(limited);
    *width = CutToHundredths(w * limited / h);
}

RECT CPrintImageDlg::Placement(double width, double height, int dpiX, int dpiY, int sheetWidth, int sheetHeight,
                               int alignH, int alignV)
{
    const int w = static_cast<int>(dpiX * width);
    const int h = static_cast<int>(dpiY * height);
    const int left = AlignIn(sheetWidth, sheetWidth / 50, w, alignH);
    const int top = AlignIn(sheetHeight, sheetHeight / 50, h, alignV);
    return RECT{left, top, left + w, top + h};
}

SIZE CPrintImageDlg::SentSize(const RECT& placement, int dpiX)
{
    SIZE size{placement.right - placement.left, placement.bottom - placement.top};
    if (dpiX > kMaxSentDpi) {
        size.cx = static_cast<LONG>(static_cast<double>(size.cx) * kMaxSentDpi / dpiX);
        size.cy = static_cast<LONG>(static_cast<double>(size.cy) * kMaxSentDpi / dpiX);
    }
    return size;
}

CPrintImageDlg::Fit CPrintImageDlg::PageFit() const
{
    Fit fit{};
    m_printer->GetPageSizeInches(&fit.pageWidth, &fit.pageHeight);
    UINT w = 0, h = 0;
    m_image->GetSize(&w, &h);
    fit.imageWidth = static_cast<int>(std::max(w, 1u));
    fit.imageHeight = static_cast<int>(std::max(h, 1u));
    return fit;
}

BOOL CPrintImageDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    for (const char* name : kAlignH)
        SendDlgItemMessage(IDC_PRINT_ALIGN_H, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    for (const char* name : kAlignV)
        SendDlgItemMessage(IDC_PRINT_ALIGN_V, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessage(IDC_PRINT_ALIGN_H, CB_SETCURSEL, static_cast<WPARAM>(m_alignH));
    SendDlgItemMessage(IDC_PRINT_ALIGN_V, CB_SETCURSEL, static_cast<WPARAM>(m_alignV));
    // Up proposes +1; the value itself lives in the edit, never in the spin.
    const UINT spins[2][2] = {{IDC_PRINT_WIDTH_SPIN, IDC_PRINT_WIDTH}, {IDC_PRINT_HEIGHT_SPIN, IDC_PRINT_HEIGHT}};
    for (const auto& [spin, edit] : spins) {
        SendDlgItemMessage(spin, UDM_SETRANGE32, 0, 1000);
        SendDlgItemMessage(spin, UDM_SETPOS32, 0, 500);
        SendDlgItemMessage(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(edit)->GetSafeHwnd()));
        SendDlgItemMessage(edit, EM_LIMITTEXT, 6);
    }
    FitToPage(PageFit(), &m_width, &m_height);
    ShowSize(0, 0);
    SizeChanged();
    return TRUE;
}

void CPrintImageDlg::SetEditValue(UINT id, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    ++m_settingText;
    SetDlgItemText(static_cast<int>(id), text);
    --m_settingText;
    // The caret after the text, where typing goes on.
    SendDlgItemMessage(id, EM_SETSEL, 32, 32);
}

void CPrintImageDlg::ShowSize(UINT typing, double typed)
{
    if (typing != IDC_PRINT_WIDTH || m_width != typed)
        SetEditValue(IDC_PRINT_WIDTH, m_width);
    if (typing != IDC_PRINT_HEIGHT || m_height != typed)
        SetEditValue(IDC_PRINT_HEIGHT, m_height);
}

bool CPrintImageDlg::ReadEdit(UINT id, double* value) const
{
    char text[32];
    GetDlgItemText(static_cast<int>(id), text, sizeof text);
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(*value);
}

void CPrintImageDlg::OnWidthChanged()
{
    double typed = 0;
    if (m_settingText || !ReadEdit(IDC_PRINT_WIDTH, &typed))
        return;
    ApplyWidth(PageFit(), typed, &m_width, &m_height);
    ShowSize(IDC_PRINT_WIDTH, typed);
    SizeChanged();
}

void CPrintImageDlg::OnHeightChanged()
{
    double typed = 0;
    if (m_settingText || !ReadEdit(IDC_PRINT_HEIGHT, &typed))
        return;
    ApplyHeight(PageFit(), typed, &m_width, &m_height);
    ShowSize(IDC_PRINT_HEIGHT, typed);
    SizeChanged();
}

void CPrintImageDlg::OnWidthSpin(NMHDR* header, LRESULT* result)
{
    const auto* nm = reinterpret_cast<const NMUPDOWN*>(header);
    ApplyWidth(PageFit(), std::max(0.0, m_width + nm->iDelta * kSpinStep), &m_width, &m_height);
    ShowSize(0, 0);
    SizeChanged();
    *result = 0;
}

void CPrintImageDlg::OnHeightSpin(NMHDR* header, LRESULT* result)
{
    const auto* nm = reinterpret_cast<const NMUPDOWN*>(header);
    ApplyHeight(PageFit(), std::max(0.0, m_height + nm->iDelta * kSpinStep), &m_width, &m_height);
    ShowSize(0, 0);
    SizeChanged();
    *result = 0;
}

void CPrintImageDlg::OnAlignChanged()
{
    m_alignH = std::clamp(static_cast<int>(SendDlgItemMessage(IDC_PRINT_ALIGN_H, CB_GETCURSEL)), 0, 2);
    m_alignV = std::clamp(static_cast<int>(SendDlgItemMessage(IDC_PRINT_ALIGN_V, CB_GETCURSEL)), 0, 2);
    SizeChanged();
}

void CPrintImageDlg::SizeChanged()
{
    m_placement = Placement(m_width, m_height, m_printer->m_dpiX, m_printer->m_dpiY, m_printer->m_physicalWidth,
                            m_printer->m_physicalHeight, m_alignH, m_alignV);
    if (CWnd* preview = GetDlgItem(IDC_PRINT_PREVIEW))
        preview->Invalidate(FALSE);
}

void CPrintImageDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item)
{
    if (id != static_cast<int>(IDC_PRINT_PREVIEW)) {
        CSkinDialog::OnDrawItem(id, item);
        return;
    }
    DrawPreview(CDC::FromHandle(item->hDC), item->rcItem);
}

void CPrintImageDlg::DrawPreview(CDC* dc, RECT frame)
{
    dc->FillSolidRect(&frame, RGB(128, 128, 128));
    RECT edge = frame;
    dc->DrawEdge(&edge, EDGE_SUNKEN, BF_RECT);
    const int sheetWidth = m_printer->m_physicalWidth, sheetHeight = m_printer->m_physicalHeight;
    const RECT area{frame.left + 10, frame.top + 10, frame.right - 15, frame.bottom - 15};
    if (sheetWidth <= 0 || sheetHeight <= 0 || area.right <= area.left || area.bottom <= area.top)
        return;
    const RECT page = FitRectToAspect(area, sheetWidth, sheetHeight);
    RECT shadow = page;
    OffsetRect(&shadow, 5, 5);
    dc->FillSolidRect(&shadow, RGB(64, 64, 64));
    dc->FillSolidRect(&page, RGB(240, 240, 240));
    dc->Draw3dRect(&page, RGB(255, 255, 255), RGB(192, 192, 192));

    const double scale = static_cast<double>(page.right - page.left) / sheetWidth;
    const RECT photo{page.left + static_cast<int>(std::lround(m_placement.left * scale)),
                     page.top + static_cast<int>(std::lround(m_placement.top * scale)),
                     page.left + static_cast<int>(std::lround(m_placement.right * scale)),
                     page.top + static_cast<int>(std::lround(m_placement.bottom * scale))};
    UINT w = 0, h = 0;
    m_image->GetSize(&w, &h);
    if (photo.right <= photo.left || photo.bottom <= photo.top || w == 0 || h == 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);  // the image's rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
    StretchDIBits(dc->GetSafeHdc(), photo.left, photo.top, photo.right - photo.left, photo.bottom - photo.top, 0, 0,
                  static_cast<int>(w), static_cast<int>(h), m_image->GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
    RECT border = photo;
    InflateRect(&border, 1, 1);
    dc->Draw3dRect(&border, RGB(0, 0, 0), RGB(0, 0, 0));
}

void CPrintImageDlg::EnableControls(BOOL enable)
{
    for (UINT id : kInputs)
        if (CWnd* control = GetDlgItem(static_cast<int>(id)))
            control->EnableWindow(enable);
}

void CPrintImageDlg::OnOK()
{
    if (m_printing)
        return;
    m_sentSize = SentSize(m_placement, m_printer->m_dpiX);
    m_printing = 1;
    EnableControls(FALSE);
    BeginWaitCursor();
    m_job.SetParam(this);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(&m_job, reinterpret_cast<void*>(&PrintJobFunction), kPrintJobTag, 0, 100)) {
        m_printer->EndDoc();
        FinishPrinting(E_FAIL);
    }
}

void CPrintImageDlg::OnCancel()
{
    // The job needs the dialog until it ends.
    if (!m_printing)
        CSkinDialog::OnCancel();
}

int CPrintImageDlg::PrintJobFunction(void* param, FilterHost*)
{
    return static_cast<int>(static_cast<CPrintImageDlg*>(param)->PrintOnWorker());
}

HRESULT CPrintImageDlg::PrintOnWorker()
{
    ResizeParams size{m_sentSize.cx, m_sentSize.cy};
    m_resample.SetOptions(1, 80, 50);
    m_resample.SetRange(0, 100);
    m_resample.SetImages(const_cast<CQLImage*>(m_image), &m_sent);
    if (size.width < 1 || size.height < 1 || m_resample.Apply(&size) != S_OK || !m_printer->StartDoc()) {
        m_printer->EndDoc();
        return E_FAIL;
    }
    // The placement is on the sheet; the DC counts from the printable area.
    RECT r = m_placement;
    OffsetRect(&r, -m_printer->m_physicalOffsetX, -m_printer->m_physicalOffsetY);
    bool printed = m_printer->StartPage() != FALSE;
    if (printed) {
        printed = m_printer->DrawImage(&m_sent, r.left, r.top, r.right, r.bottom) != FALSE;
        printed = m_printer->EndPage() != FALSE && printed;
    }
    m_printer->EndDoc();
    return printed ? S_OK : E_FAIL;
}

LRESULT CPrintImageDlg::OnAlgorithmNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 1 && lParam == kPrintJobTag && m_printing)
        FinishPrinting(static_cast<HRESULT>(theAlgorithmThread.GetResult()));
    return 0;
}

void CPrintImageDlg::FinishPrinting(HRESULT result)
{
    m_printResult = result;
    m_printing = 0;
    EndWaitCursor();
    EnableControls(TRUE);
    if (result != S_OK)
        AfxMessageBox("Error occurs!");
    EndDialog(result == S_OK ? IDOK : IDCANCEL);
}

int PrintImage(CWnd* owner)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CImagePrinter printer;
    if (!printer.SetupPrinter())
        return IDCANCEL;
    CPrintImageDlg dialog(&printer, &thePhotoDocument.m_image, owner);
    return static_cast<int>(dialog.DoModal());
}
