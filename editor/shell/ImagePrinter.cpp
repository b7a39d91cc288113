#include "editor/shell/ImagePrinter.h"

#include "platform/afx/Afx.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr double kInchesPerCentimetre = 0.39370079331436747;
constexpr double kInchesPerCentimetreVirtual = 0.39370078;

}  // namespace

void FlipImageRows(CQLImage* image)
{
    UINT width = 0, height = 0;
    image->GetSize(&width, &height);
    if (width == 0 || height < 2)
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<BYTE> row(rowBytes);
    for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        BYTE* a = image->GetBuffer(0, static_cast<int>(top));
        BYTE* b = image->GetBuffer(0, static_cast<int>(bottom));
        std::memcpy(row.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, row.data(), rowBytes);
    }
}

CImagePrinter::~CImagePrinter()
{
    DeleteDC();
}

void CImagePrinter::DeleteDC()
{
    if (m_printerDC)
        ::DeleteDC(m_printerDC);
    m_printerDC = nullptr;
}

BOOL CImagePrinter::SetupPrinter()
{
    DeleteDC();
    CPrintDialog dialog(TRUE, PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE |
                                  PD_RETURNDC);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    HDC dc = dialog.GetPrinterDC();
    if (!dc)
        return FALSE;
    if (!(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB)) {
        ::DeleteDC(dc);
        AfxMessageBox("Printer does not support StretchDIBits.");
        return FALSE;
    }
    TakeDeviceValues(dc, dialog.GetDevMode());
    return TRUE;
}

void CImagePrinter::TakeDeviceValues(HDC dc, const DEVMODE* devMode)
{
    m_printerDC = dc;
    if (devMode)
        std::memcpy(&m_devMode, devMode, sizeof m_devMode);
    m_pageWidth = GetDeviceCaps(dc, HORZSIZE) * 10;
    m_pageHeight = GetDeviceCaps(dc, VERTSIZE) * 10;
    m_dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    m_dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    m_physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    m_physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    m_physicalOffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    m_physicalOffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
}

void CImagePrinter::GetPageSizeInches(double* width, double* height) const
{
    *width = LengthToInches(m_pageWidth);
    *height = LengthToInches(m_pageHeight);
}

double CImagePrinter::LengthToInches(int length) const
{
    if (m_printerDC)
        return length * 0.01 * kInchesPerCentimetre;
    // A page without a printer counts in dots; dmScale holds dots per centimetre.
    return m_devMode.dmScale > 0 ? length / static_cast<double>(m_devMode.dmScale) * kInchesPerCentimetreVirtual : 0;
}

BOOL CImagePrinter::StartDoc()
{
    if (!m_printerDC)
        return TRUE;
    DOCINFO info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "Quillo Image File";
    return ::StartDocA(m_printerDC, &info) > 0;
}

void CImagePrinter::EndDoc()
{
    if (!m_printerDC)
        return;
    ::EndDoc(m_printerDC);
    DeleteDC();
}

BOOL CImagePrinter::StartPage()
{
    return !m_printerDC || ::StartPage(m_printerDC) > 0;
}

BOOL CImagePrinter::EndPage()
{
    return !m_printerDC || ::EndPage(m_printerDC) > 0;
}

const BITMAPV5HEADER* CImagePrinter::MakeBitmapHeader(int width, int height)
{
    m_header = BITMAPV5HEADER{};
    m_header.bV5Size = sizeof(BITMAPV5HEADER);
    m_header.bV5Width = width;
    m_header.bV5Height = height;
    m_header.bV5Planes = 1;
    m_header.bV5BitCount = 32;
    m_header.bV5Compression = BI_RGB;
    m_header.bV5CSType = LCS_WINDOWS_COLOR_SPACE;
    return &m_header;
}

BOOL CImagePrinter::DrawImage(CQLImage* image, int left, int top, int right, int bottom)
{
    if (!m_printerDC)
        return TRUE;
    UINT width = 0, height = 0;
    image->GetSize(&width, &height);
    if (width == 0 || height == 0)
        return FALSE;
    // The header says bottom-up rows; the image holds them top-down.
    FlipImageRows(image);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(MakeBitmapHeader(static_cast<int>(width), static_cast<int>(height)));
    const int drawn = StretchDIBits(m_printerDC, left, top, right - left, bottom - top, 0, 0, static_cast<int>(width),
                                    static_cast<int>(height), image->GetBuffer(0, 0), info, DIB_RGB_COLORS, SRCCOPY);
    return drawn > 0;
}
