#include "platform/afx/Print.h"

#include <QFile>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMinDpi = 72;
// Pages are drawn as images of the printable area: beyond this the page
// alone would take hundreds of megabytes.
constexpr int kMaxDpi = 600;
// A PDF chosen in Qt's dialog would say 1200 dpi; its page image is embedded
// whole, and photo printing sends no more than 300 pixels per inch anyway.
constexpr int kPdfDpi = 300;

struct PaperId {
    short dm;
    QPageSize::PageSizeId qt;
};
constexpr PaperId kPapers[] = {{DMPAPER_LETTER, QPageSize::Letter}, {DMPAPER_LEGAL, QPageSize::Legal},
                               {DMPAPER_A3, QPageSize::A3},         {DMPAPER_A4, QPageSize::A4},
                               {DMPAPER_A5, QPageSize::A5}};

QPageSize PageSizeOf(const DEVMODE* dm)
{
    if (dm && (dm->dmFields & DM_PAPERSIZE))
        for (const PaperId& p : kPapers)
            if (p.dm == dm->dmPaperSize)
                return QPageSize(p.qt);
    if (dm && (dm->dmFields & DM_PAPERWIDTH) && (dm->dmFields & DM_PAPERLENGTH) && dm->dmPaperWidth > 0 &&
        dm->dmPaperLength > 0)
        return QPageSize(QSizeF(dm->dmPaperWidth / 10.0, dm->dmPaperLength / 10.0), QPageSize::Millimeter);
    return QPageSize(QPageSize::A4);
}

short DmPaperOf(const QPageSize& size)
{
    for (const PaperId& p : kPapers)
        if (p.qt == size.id())
            return p.dm;
    return 256;  // DMPAPER_USER
}

// The printer behind a printer DC and the page being drawn.
class PrinterDevice : public qlafx::DcDevice {
public:
    PrinterDevice() : printer(QPrinter::HighResolution) {}
    ~PrinterDevice() override
    {
        if (painter.isActive())
            painter.end();
    }

    // The page image follows the printer's printable area.
    void Relayout()
    {
        dpi = printer.resolution();
        const QPageLayout layout = printer.pageLayout();
        full = layout.fullRectPixels(dpi);
        paint = layout.paintRectPixels(dpi);
        if (page.size() != paint.size())
            page = QImage(paint.size(), QImage::Format_RGB32);
        page.fill(0xFFFFFFFFu);
    }

    int DeviceCaps(int index) const override
    {
        const QRectF mm = printer.pageLayout().paintRect(QPageLayout::Millimeter);
        switch (index) {
        case DRIVERVERSION: return 0x4000;
        case TECHNOLOGY: return DT_RASPRINTER;
        case HORZSIZE: return qRound(mm.width());
        case VERTSIZE: return qRound(mm.height());
        case HORZRES: return paint.width();
        case VERTRES: return paint.height();
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case NUMCOLORS: return -1;
        case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        case LOGPIXELSX:
        case LOGPIXELSY: return dpi;
        case COLORRES: return 24;
        case PHYSICALWIDTH: return full.width();
        case PHYSICALHEIGHT: return full.height();
        case PHYSICALOFFSETX: return paint.left();
        case PHYSICALOFFSETY: return paint.top();
        default: return 0;
        }
    }

    bool IsPdf() const { return printer.outputFormat() == QPrinter::PdfFormat; }

    QPrinter printer;
    QPainter painter;
    QImage page;
    QRect full, paint;
    int dpi = 300;
    int pages = 0;
    bool inPage = false;
};

PrinterDevice* PrinterOf(HDC hdc) { return dynamic_cast<PrinterDevice*>(qlafx::DeviceOf(hdc)); }

void ToPdf(QPrinter& printer, const char* file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromUtf8(file));
    // A file has no unprintable edge.
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

DEVMODE DevModeOf(const qlafx::PrinterChoice& c)
{
    DEVMODE dm{};
    std::strncpy(reinterpret_cast<char*>(dm.dmDeviceName), c.printer.c_str(), CCHDEVICENAME - 1);
    dm.dmSpecVersion = 0x0401;
    dm.dmSize = sizeof(DEVMODE);
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_SCALE | DM_COPIES |
                  DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLLATE;
    dm.dmOrientation = c.orientation;
    dm.dmPaperSize = c.paperSize;
    DEVMODE paperOnly{};
    paperOnly.dmFields = DM_PAPERSIZE;
    paperOnly.dmPaperSize = c.paperSize;
    const QSizeF mm = PageSizeOf(&paperOnly).size(QPageSize::Millimeter);
    dm.dmPaperWidth = static_cast<short>(qRound(mm.width() * 10));
    dm.dmPaperLength = static_cast<short>(qRound(mm.height() * 10));
    dm.dmScale = 100;
    dm.dmCopies = static_cast<short>(std::clamp(c.copies, 1, 9999));
    dm.dmPrintQuality = static_cast<short>(c.dpi);
    dm.dmYResolution = static_cast<short>(c.dpi);
    dm.dmCollate = DMCOLLATE_TRUE;
    return dm;
}

HGLOBAL DevNamesOf(const qlafx::PrinterChoice& c)
{
    const std::string driver = "";
    const std::string& device = c.printer;
    const std::string& output = c.pdfFile;
    const size_t head = sizeof(DEVNAMES);
    const size_t size = head + driver.size() + 1 + device.size() + 1 + output.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, size);
    auto* p = static_cast<char*>(GlobalLock(block));
    if (!p)
        return block;
    DEVNAMES names{};
    names.wDriverOffset = static_cast<WORD>(head);
    names.wDeviceOffset = static_cast<WORD>(head + driver.size() + 1);
    names.wOutputOffset = static_cast<WORD>(names.wDeviceOffset + device.size() + 1);
    std::memcpy(p, &names, sizeof names);
    std::memcpy(p + names.wDriverOffset, driver.c_str(), driver.size() + 1);
    std::memcpy(p + names.wDeviceOffset, device.c_str(), device.size() + 1);
    std::memcpy(p + names.wOutputOffset, output.c_str(), output.size() + 1);
    GlobalUnlock(block);
    return block;
}

qlafx::PrinterChoice ChoiceOf(const QPrinter& printer)
{
    qlafx::PrinterChoice c;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        c.pdfFile = printer.outputFileName().toStdString();
    else
        c.printer = printer.printerName().toStdString();
    c.paperSize = DmPaperOf(printer.pageLayout().pageSize());
    c.orientation =
        printer.pageLayout().orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    c.dpi = c.pdfFile.empty() ? std::clamp(printer.resolution(), kMinDpi, kMaxDpi) : kPdfDpi;
    c.copies = printer.copyCount();
    return c;
}

// Fills the dialog's answer blocks and, when asked, its DC.
BOOL TakeChoice(PRINTDLG* pd, const qlafx::PrinterChoice& c)
{
    GlobalFree(pd->hDevMode);
    GlobalFree(pd->hDevNames);
    const DEVMODE dm = DevModeOf(c);
    pd->hDevMode = GlobalAlloc(GHND, sizeof(DEVMODE));
    if (void* p = GlobalLock(pd->hDevMode)) {
        std::memcpy(p, &dm, sizeof dm);
        GlobalUnlock(pd->hDevMode);
    }
    pd->hDevNames = DevNamesOf(c);
    pd->nCopies = static_cast<WORD>(dm.dmCopies);
    pd->hDC = nullptr;
    if (pd->Flags & (PD_RETURNDC | PD_RETURNIC)) {
        pd->hDC = CreateDC(nullptr, c.printer.c_str(), c.pdfFile.empty() ? nullptr : c.pdfFile.c_str(), &dm);
        if (!pd->hDC)
            return FALSE;
    }
    return TRUE;
}

bool AskQt(PRINTDLG* pd, QWidget* owner, qlafx::PrinterChoice* out)
{
    QPrinter printer(QPrinter::HighResolution);
    if (pd->Flags & PD_RETURNDEFAULT) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return false;
        printer.setPrinterName(info.printerName());
        *out = ChoiceOf(printer);
        return true;
    }
    QPrintDialog dlg(&printer, owner);
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintShowPageSize;
    if (!(pd->Flags & PD_NOPAGENUMS) && !(pd->Flags & PD_PRINTSETUP))
        options |= QAbstractPrintDialog::PrintPageRange;
    if (!(pd->Flags & PD_NOSELECTION) && !(pd->Flags & PD_PRINTSETUP))
        options |= QAbstractPrintDialog::PrintSelection;
    // Qt lists the PDF file as a printer only with this option. Here it is a
    // printer of its own (a driver's raw output to a file does not exist),
    // so it stays offered when print-to-file is hidden: without it a
    // machine with no printer could not print at all.
    options |= QAbstractPrintDialog::PrintToFile;
    options |= QAbstractPrintDialog::PrintCollateCopies;
    dlg.setOptions(options);
    if (pd->Flags & PD_PRINTSETUP)
        dlg.setWindowTitle(QStringLiteral("Print Setup"));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *out = ChoiceOf(printer);
    return true;
}

}  // namespace

// ---- printer DCs ----

HDC CreateDC(LPCSTR, LPCSTR device, LPCSTR output, const DEVMODE* devmode)
{
    auto dev = std::make_unique<PrinterDevice>();
    QPrinter& p = dev->printer;
    if (output && *output) {
        ToPdf(p, output);
    } else {
        if (!device || !*device || QPrinterInfo::printerInfo(QString::fromUtf8(device)).isNull())
            return nullptr;
        p.setPrinterName(QString::fromUtf8(device));
    }
    const bool haveDpi = devmode && (devmode->dmFields & DM_PRINTQUALITY) && devmode->dmPrintQuality > 0;
    p.setResolution(std::clamp(haveDpi ? static_cast<int>(devmode->dmPrintQuality) : 300, kMinDpi, kMaxDpi));
    p.setPageSize(PageSizeOf(devmode));
    if (devmode && (devmode->dmFields & DM_ORIENTATION))
        p.setPageOrientation(devmode->dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape
                                                                            : QPageLayout::Portrait);
    if (devmode && (devmode->dmFields & DM_COPIES) && devmode->dmCopies > 0)
        p.setCopyCount(devmode->dmCopies);
    if (output && *output)
        p.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    dev->Relayout();
    QImage* surface = &dev->page;
    return qlafx::CreateDeviceDC(surface, std::move(dev));
}

int StartDoc(HDC hdc, const DOCINFO* info)
{
    PrinterDevice* dev = PrinterOf(hdc);
    if (!dev || dev->painter.isActive())
        return SP_ERROR;
    if (info && info->lpszDocName)
        dev->printer.setDocName(QString::fromUtf8(info->lpszDocName));
    if (info && info->lpszOutput && *info->lpszOutput) {
        ToPdf(dev->printer, info->lpszOutput);
        dev->Relayout();
    }
    if (!dev->painter.begin(&dev->printer))
        return SP_ERROR;
    dev->pages = 0;
    dev->inPage = false;
    return 1;
}

int StartPage(HDC hdc)
{
    PrinterDevice* dev = PrinterOf(hdc);
    if (!dev || !dev->painter.isActive() || dev->inPage)
        return SP_ERROR;
    if (dev->pages > 0 && !dev->printer.newPage())
        return SP_ERROR;
    dev->page.fill(0xFFFFFFFFu);
    dev->inPage = true;
    return 1;
}

int EndPage(HDC hdc)
{
    PrinterDevice* dev = PrinterOf(hdc);
    if (!dev || !dev->inPage)
        return SP_ERROR;
    // The painter's origin is the printable area's top left, in device pixels.
    dev->painter.drawImage(QRect(QPoint(0, 0), dev->paint.size()), dev->page);
    dev->inPage = false;
    ++dev->pages;
    return 1;
}

int EndDoc(HDC hdc)
{
    PrinterDevice* dev = PrinterOf(hdc);
    if (!dev || !dev->painter.isActive())
        return SP_ERROR;
    if (dev->inPage)
        EndPage(hdc);
    return dev->painter.end() ? 1 : SP_ERROR;
}

int AbortDoc(HDC hdc)
{
    PrinterDevice* dev = PrinterOf(hdc);
    if (!dev || !dev->painter.isActive())
        return SP_ERROR;
    dev->printer.abort();
    dev->painter.end();
    dev->inPage = false;
    // Nothing of an abandoned document is left behind.
    if (dev->IsPdf())
        QFile::remove(dev->printer.outputFileName());
    return 1;
}

BOOL PrintDlg(PRINTDLG* ppd)
{
    if (!ppd)
        return FALSE;
    qlafx::PrinterChoice choice;
    if (!AskQt(ppd, qlafx::WidgetOf(ppd->hwndOwner), &choice))
        return FALSE;
    return TakeChoice(ppd, choice);
}

// ---- CPrintDialog ----

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    m_pd.lStructSize = sizeof(PRINTDLG);
    m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = m_pd.nMinPage = m_pd.nMaxPage = 1;
}

CPrintDialog::~CPrintDialog()
{
    GlobalFree(m_pd.hDevMode);
    GlobalFree(m_pd.hDevNames);
}

int CPrintDialog::DoModal()
{
    const int hook = AskHook(m_pd.Flags & PD_PRINTSETUP ? "Print Setup" : "Print");
    qlafx::PrinterChoice choice;
    if (hook == qlafx::kModalRun) {
        if (!AskQt(&m_pd, OwnerWidget(), &choice))
            return IDCANCEL;
    } else {
        if (hook != IDOK || !m_answer)
            return IDCANCEL;
        choice = *m_answer;
    }
    return TakeChoice(&m_pd, choice) ? IDOK : IDCANCEL;
}

HDC CPrintDialog::CreatePrinterDC()
{
    const LPDEVMODE dm = GetDevMode();
    if (!dm)
        return nullptr;
    const CString output = GetPortName();
    m_pd.hDC = CreateDC(nullptr, GetDeviceName(), output.IsEmpty() ? nullptr : output.GetString(), dm);
    return m_pd.hDC;
}

LPDEVMODE CPrintDialog::GetDevMode() const
{
    // Blocks are never moved, so the pointer stays good while the block lives.
    auto* dm = static_cast<LPDEVMODE>(GlobalLock(m_pd.hDevMode));
    GlobalUnlock(m_pd.hDevMode);
    return dm;
}

namespace {

// One of the strings of a DEVNAMES block.
CString DevName(HGLOBAL names, WORD DEVNAMES::*offset)
{
    const auto* p = static_cast<const char*>(GlobalLock(names));
    CString name;
    if (p)
        name = p + reinterpret_cast<const DEVNAMES*>(p)->*offset;
    GlobalUnlock(names);
    return name;
}

}  // namespace

CString CPrintDialog::GetDeviceName() const { return DevName(m_pd.hDevNames, &DEVNAMES::wDeviceOffset); }
CString CPrintDialog::GetPortName() const { return DevName(m_pd.hDevNames, &DEVNAMES::wOutputOffset); }

int CPrintDialog::GetCopies() const
{
    const LPDEVMODE dm = GetDevMode();
    return dm && (m_pd.Flags & PD_USEDEVMODECOPIES) ? dm->dmCopies : m_pd.nCopies;
}

namespace qlafx {

void AnswerPrintDialog(CPrintDialog& dialog, const PrinterChoice& choice)
{
    dialog.m_answer = std::make_unique<PrinterChoice>(choice);
}

HDC CreatePdfDC(const PrinterChoice& choice)
{
    if (choice.pdfFile.empty())
        return nullptr;
    const DEVMODE dm = DevModeOf(choice);
    return CreateDC(nullptr, "", choice.pdfFile.c_str(), &dm);
}

}  // namespace qlafx
