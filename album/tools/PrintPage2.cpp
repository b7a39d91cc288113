#include "album/tools/PrintPage2.h"

#include "album/tools/PrintSizes.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/DataExchange.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace shelf {

BEGIN_MESSAGE_MAP(CPrintPage2, CSkinPropertyPage)
    ON_CBN_SELCHANGE(1083, OnSizeChanged)
    ON_EN_CHANGE(1080, OnEditChanged)
    ON_EN_CHANGE(1081, OnEditChanged)
    ON_NOTIFY(UDN_DELTAPOS, 1028, OnCopiesSpin)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CPrintPage2::OnInitDialog()
{
    for (const PrintSizeRow& row : kPrintSizes)
        SendDlgItemMessage(1083, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.pageName));
    CSkinPropertyPage::OnInitDialog();
    EnableCustomEdits();
    return TRUE;
}

BOOL CPrintPage2::OnSetActive()
{
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CSkinPropertyPage::OnSetActive();
}

void CPrintPage2::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_CBIndex(pDX, 1083, m_sizeRow);
    DDX_Text(pDX, 1080, m_customWidth);
    DDV_MinMaxFloat(pDX, m_customWidth, 0.5f, 20.0f);
    DDX_Text(pDX, 1081, m_customHeight);
    DDV_MinMaxFloat(pDX, m_customHeight, 0.5f, 20.0f);
    DDX_Text(pDX, 1027, m_copies);
    DDV_MinMaxUInt(pDX, m_copies, 1, 100);
}

void CPrintPage2::EnableCustomEdits()
{
    const int row = static_cast<int>(SendDlgItemMessage(1083, CB_GETCURSEL, 0, 0));
    for (int id : {1080, 1081})
        if (CWnd* edit = GetDlgItem(id))
            edit->EnableWindow(row == 0);
}

void CPrintPage2::OnSizeChanged()
{
    m_sizeRow = static_cast<int>(SendDlgItemMessage(1083, CB_GETCURSEL, 0, 0));
    EnableCustomEdits();
    Invalidate();
}

void CPrintPage2::OnEditChanged() { Invalidate(); }

void CPrintPage2::OnCopiesSpin(NMHDR* header, LRESULT* result)
{
    const auto* nm = reinterpret_cast<const NMUPDOWN*>(header);
    BOOL ok = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(1027, &ok, FALSE));
    const int copies = std::clamp((ok ? typed : static_cast<int>(m_copies)) - nm->iDelta, 1, 100);
    m_copies = static_cast<UINT>(copies);
    SetDlgItemInt(1027, m_copies, FALSE);
    *result = 1;
}

void CPrintPage2::SizeInches(float* width, float* height) const
{
    if (m_sizeRow > 0 && m_sizeRow < kPrintSizeRows) {
        *width = kPrintSizes[m_sizeRow].width * 0.01f;
        *height = kPrintSizes[m_sizeRow].height * 0.01f;
    } else {
        *width = m_customWidth;
        *height = m_customHeight;
    }
}

void CPrintPage2::FillJobs()
{
    m_printer->m_jobs.clear();
    float width = 0, height = 0;
    SizeInches(&width, &height);
    const PrintJob::Size size{m_printer->InchesToUnits(width), m_printer->InchesToUnits(height)};
    for (const std::string& path : m_paths) {
        PrintJob job;
        std::snprintf(job.path, sizeof job.path, "%s", path.c_str());
        job.copySizes.assign(m_copies, size);
        job.copyCrops.assign(m_copies, RECT{});
        m_printer->m_jobs.push_back(std::move(job));
    }
}

LRESULT CPrintPage2::OnWizardNext()
{
    if (!UpdateData(TRUE))
        return -1;
    FillJobs();
    return 187;
}

void CPrintPage2::OnPaint()
{
    CPaintDC dc(this);
    DrawPreview(&dc);
}

void CPrintPage2::DrawPreview(CDC* dc)
{
    CWnd* preview = GetDlgItem(1085);
    if (!preview || !m_printer)
        return;
    CRect area;
    preview->GetWindowRect(&area);
    ScreenToClient(&area);
    dc->FillSolidRect(&area, RGB(0xDC, 0xDC, 0xDC));
    const int pageWidth = m_printer->GetPageWidth(), pageHeight = m_printer->GetPageHeight();
    if (pageWidth <= 0 || pageHeight <= 0)
        return;
    CRect inner = area;
    inner.DeflateRect(10, 10);
    // The page's aspect, centred.
    double scale = std::min(static_cast<double>(inner.Width()) / pageWidth,
                            static_cast<double>(inner.Height()) / pageHeight);
    const int w = static_cast<int>(pageWidth * scale), h = static_cast<int>(pageHeight * scale);
    CRect page(inner.left + (inner.Width() - w) / 2, inner.top + (inner.Height() - h) / 2, 0, 0);
    page.right = page.left + w;
    page.bottom = page.top + h;
    CRect shadow = page;
    shadow.OffsetRect(5, 5);
    dc->FillSolidRect(&shadow, RGB(0x80, 0x80, 0x80));
    dc->FillSolidRect(&page, RGB(0, 0, 0));
    CRect paper = page;
    paper.DeflateRect(1, 1);
    dc->FillSolidRect(&paper, RGB(255, 255, 255));

    // The edits as typed, without the range checks of Next.
    float width = 0, height = 0;
    SizeInches(&width, &height);
    if (m_sizeRow == 0) {
        char text[64] = {};
        GetDlgItemText(1080, text, sizeof text);
        width = static_cast<float>(std::atof(text));
        GetDlgItemText(1081, text, sizeof text);
        height = static_cast<float>(std::atof(text));
    }
    int slot[2] = {};
    RECT cell{};
    if (m_printer->ComputeSlots(width, height, slot, &cell) <= 0 || cell.right <= cell.left ||
        cell.bottom <= cell.top || slot[0] <= 0 || slot[1] <= 0)
        return;
    CBrush black(RGB(0, 0, 0));
    for (int y = 0; y < pageHeight - slot[1] + 2; y += slot[1])
        for (int x = 0; x <= pageWidth - slot[0] + 2; x += slot[0]) {
            const RECT r{page.left + static_cast<int>((cell.left + x) * scale),
                         page.top + static_cast<int>((cell.top + y) * scale),
                         page.left + static_cast<int>((cell.right + x) * scale),
                         page.top + static_cast<int>((cell.bottom + y) * scale)};
            dc->FrameRect(&r, &black);
        }
}

} // namespace shelf
