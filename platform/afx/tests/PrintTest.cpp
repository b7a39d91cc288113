// Printer DCs printing into PDF files: the device values, the pages that
// come out, drawing onto a page, and the print dialog answered by the hook.
#include "platform/afx/Afx.h"
#include "platform/afx/Print.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <sstream>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class TempFolder {
public:
    TempFolder()
    {
        char tmpl[] = "/tmp/qlafx-print-XXXXXX";
        m_path = ::mkdtemp(tmpl) ? tmpl : "";
    }
    ~TempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The page objects of a PDF and their /MediaBox sizes in points.
struct PdfPages {
    int pageObjects = 0;
    std::vector<std::pair<double, double>> mediaBoxes;
};

PdfPages ReadPdf(const std::string& pdf)
{
    PdfPages out;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (at + 11 < pdf.size() && pdf[at + 11] != 's')
            ++out.pageObjects;
    for (size_t at = pdf.find("/MediaBox"); at != std::string::npos; at = pdf.find("/MediaBox", at + 1)) {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (std::sscanf(pdf.c_str() + at, "/MediaBox [%lf %lf %lf %lf]", &x0, &y0, &x1, &y1) == 4)
            out.mediaBoxes.emplace_back(x1 - x0, y1 - y0);
    }
    return out;
}

struct PaperCase {
    const char* name;
    short paper;
    short orientation;
    int dpi;
    int pages;
    double widthInches, heightInches;  // the sheet as it lies
    int widthMm, heightMm;             // HORZSIZE, VERTSIZE
};
void PrintTo(const PaperCase& c, std::ostream* os) { *os << c.name; }

class PdfPrintTest : public testing::TestWithParam<PaperCase> {};

TEST_P(PdfPrintTest, DeviceValuesAndPagesFollowThePaper)
{
    const PaperCase& c = GetParam();
    TempFolder dir;
    qlafx::PrinterChoice choice;
    choice.pdfFile = dir.File("out.pdf");
    choice.paperSize = c.paper;
    choice.orientation = c.orientation;
    choice.dpi = c.dpi;
    HDC dc = qlafx::CreatePdfDC(choice);
    ASSERT_NE(dc, nullptr);

    const int width = static_cast<int>(c.widthInches * c.dpi + 0.5);
    const int height = static_cast<int>(c.heightInches * c.dpi + 0.5);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), c.dpi);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), c.dpi);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), width);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), height);
    // A file has no unprintable edge: the printable area is the sheet.
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), width);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), height);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 0);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), c.widthMm);
    EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), c.heightMm);
    EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);

    DOCINFO doc{sizeof(DOCINFO), "Quillo Image File", nullptr, nullptr, 0};
    ASSERT_GT(StartDoc(dc, &doc), 0);
    for (int i = 0; i < c.pages; ++i) {
        ASSERT_GT(StartPage(dc), 0);
        RECT r{width / 4, height / 4, width / 2, height / 2};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ASSERT_GT(EndPage(dc), 0);
    }
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);

    const std::string pdf = ReadAll(choice.pdfFile);
    ASSERT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    const PdfPages pages = ReadPdf(pdf);
    EXPECT_EQ(pages.pageObjects, c.pages);
    ASSERT_EQ(static_cast<int>(pages.mediaBoxes.size()), c.pages);
    for (const auto& [w, h] : pages.mediaBoxes) {
        EXPECT_NEAR(w, c.widthInches * 72, 0.5);
        EXPECT_NEAR(h, c.heightInches * 72, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PdfPrintTest,
    testing::Values(PaperCase{"LetterPortrait", DMPAPER_LETTER, DMORIENT_PORTRAIT, 100, 1, 8.5, 11, 216, 279},
                    PaperCase{"LetterLandscape", DMPAPER_LETTER, DMORIENT_LANDSCAPE, 100, 1, 11, 8.5, 279, 216},
                    PaperCase{"A4At150", DMPAPER_A4, DMORIENT_PORTRAIT, 150, 1, 210 / 25.4, 297 / 25.4, 210, 297},
                    PaperCase{"A5LandscapeTwoPages", DMPAPER_A5, DMORIENT_LANDSCAPE, 72, 2, 210 / 25.4, 148 / 25.4,
                              210, 148}),
    [](const testing::TestParamInfo<PaperCase>& i) { return std::string(i.param.name); });

TEST(PrinterDC, DrawingLandsOnThePage)
{
    TempFolder dir;
    qlafx::PrinterChoice choice;
    choice.pdfFile = dir.File("draw.pdf");
    choice.paperSize = DMPAPER_LETTER;
    choice.dpi = 72;
    HDC dc = qlafx::CreatePdfDC(choice);
    ASSERT_NE(dc, nullptr);
    DOCINFO doc{sizeof(DOCINFO), "test", nullptr, nullptr, 0};
    ASSERT_GT(StartDoc(dc, &doc), 0);
    ASSERT_GT(StartPage(dc), 0);
    // A 2 x 1 red/blue DIB stretched over 100 x 50 device pixels at (10, 20).
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = 2;
    bmi.bmiHeader.biHeight = 1;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    const std::uint32_t pixels[2] = {0x00FF0000u, 0x000000FFu};  // B, G, R, 0 in memory: red, blue
    StretchDIBits(dc, 10, 20, 100, 50, 0, 0, 2, 1, pixels, &bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(GetPixel(dc, 30, 40), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 90, 40), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 200, 200), RGB(255, 255, 255));
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    EXPECT_EQ(ReadPdf(ReadAll(choice.pdfFile)).pageObjects, 1);
}

TEST(PrinterDC, CallsOutOfOrderFail)
{
    TempFolder dir;
    qlafx::PrinterChoice choice;
    choice.pdfFile = dir.File("order.pdf");
    HDC dc = qlafx::CreatePdfDC(choice);
    ASSERT_NE(dc, nullptr);
    EXPECT_LE(StartPage(dc), 0);
    EXPECT_LE(EndPage(dc), 0);
    EXPECT_LE(EndDoc(dc), 0);
    DOCINFO doc{sizeof(DOCINFO), "x", nullptr, nullptr, 0};
    ASSERT_GT(StartDoc(dc, &doc), 0);
    EXPECT_LE(StartDoc(dc, &doc), 0);
    EXPECT_LE(EndPage(dc), 0);
    // An abandoned document leaves no file.
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_GT(AbortDoc(dc), 0);
    DeleteDC(dc);
    EXPECT_FALSE(FileExists(choice.pdfFile));
    EXPECT_EQ(CreateDC(nullptr, "No Such Printer 42", nullptr, nullptr), nullptr);
    EXPECT_LE(StartDoc(nullptr, &doc), 0);
}

TEST(PrinterDC, DocumentOutputNamesThePdf)
{
    TempFolder dir;
    qlafx::PrinterChoice choice;
    choice.pdfFile = dir.File("first.pdf");
    HDC dc = qlafx::CreatePdfDC(choice);
    const std::string other = dir.File("second.pdf");
    DOCINFO doc{sizeof(DOCINFO), "x", other.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &doc), 0);
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    EXPECT_TRUE(FileExists(other));
    EXPECT_FALSE(FileExists(choice.pdfFile));
}

TEST(PrintDialog, SetupReturnsADcOfTheChosenPrinter)
{
    TempFolder dir;
    qlafx::PrinterChoice choice;
    choice.pdfFile = dir.File("setup.pdf");
    choice.paperSize = DMPAPER_LETTER;
    choice.orientation = DMORIENT_LANDSCAPE;
    choice.dpi = 200;
    choice.copies = 3;
    CPrintDialog dlg(TRUE, PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE |
                               PD_RETURNDC);
    qlafx::SetModalHook([&](CWnd* w, const char* caption, const char*, UINT) {
        EXPECT_EQ(w, &dlg);
        EXPECT_STREQ(caption, "Print Setup");
        qlafx::AnswerPrintDialog(dlg, choice);
        return IDOK;
    });
    const int result = dlg.DoModal();
    qlafx::SetModalHook({});
    ASSERT_EQ(result, IDOK);
    HDC dc = dlg.GetPrinterDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2200);  // 11 in at 200 dpi
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 1700);
    const DEVMODE* dm = dlg.GetDevMode();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->dmSize, sizeof(DEVMODE));
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_LETTER);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm->dmPaperWidth, 2159);  // 8.5 in in tenths of a millimetre
    EXPECT_EQ(dm->dmPaperLength, 2794);
    EXPECT_EQ(dm->dmPrintQuality, 200);
    EXPECT_EQ(dm->dmYResolution, 200);
    EXPECT_EQ(dlg.GetCopies(), 3);
    EXPECT_EQ(dlg.GetPortName(), choice.pdfFile.c_str());
    DeleteDC(dc);
    // The same printer again from the dialog's device mode and names.
    HDC again = dlg.CreatePrinterDC();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetDeviceCaps(again, LOGPIXELSX), 200);
    DeleteDC(again);
}

// Qt's own dialog, worked as a person would. The PDF file is offered even
// with print-to-file hidden (without a printer it is the only choice), and
// a PDF chosen there prints at 300 dpi, not at the 1200 Qt would say.
TEST(PrintDialog, QtDialogOffersAPdfFileEvenWithPrintToFileHidden)
{
    TempFolder dir;
    const std::string file = dir.File("chosen.pdf");
    CPrintDialog dlg(TRUE, PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE |
                               PD_RETURNDC);
    QString title;
    bool offered = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QPrintDialog* qt = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible())
                qt = d;
        if (!qt)
            return;
        timer.stop();
        title = qt->windowTitle();
        auto* printers = qt->findChild<QComboBox*>("printers");
        auto* name = qt->findChild<QLineEdit*>("filename");
        const int pdf = printers ? printers->findText("Print to File (PDF)") : -1;
        offered = pdf >= 0 && name;
        if (!offered) {
            qt->reject();
            return;
        }
        printers->setCurrentIndex(pdf);
        name->setText(QString::fromStdString(file));
        qt->accept();
    });
    timer.start(10);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(offered);
    EXPECT_EQ(title, "Print Setup");
    EXPECT_EQ(dlg.GetPortName(), file.c_str());
    HDC dc = dlg.GetPrinterDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
    EXPECT_EQ(dlg.GetDevMode()->dmPrintQuality, 300);
    DeleteDC(dc);
}

TEST(PrintDialog, CancelGivesNoDc)
{
    CPrintDialog dlg(FALSE);
    qlafx::SetModalHook([](CWnd*, const char*, const char*, UINT) { return IDCANCEL; });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    qlafx::SetModalHook({});
    EXPECT_EQ(dlg.GetPrinterDC(), nullptr);
}

}  // namespace
