// The printing context: the bitmap header, row flipping, the printer chosen
// in the set-up dialog, and one page printed into a PDF file.
#include "PrintTestSupport.h"
#include "ShellWindowsTestSupport.h"

#include "editor/shell/ImagePrinter.h"
#include "platform/afx/Afx.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

using printtest::PdfPrinter;
using printtest::ReadPdf;

DWORD DwordAt(const BYTE* p, int offset)
{
    DWORD v = 0;
    std::memcpy(&v, p + offset, 4);
    return v;
}

TEST(ImagePrinterHeader, HoldsTheSizeAndA32BitWindowsColourSpace)
{
    CImagePrinter printer;
    const auto* bytes = reinterpret_cast<const BYTE*>(printer.MakeBitmapHeader(1800, 1200));
    ASSERT_EQ(static_cast<const void*>(bytes), static_cast<const void*>(&printer.m_header));
    struct Field {
        int offset;
        DWORD value;
    };
    const Field fields[] = {{0, 124}, {4, 1800}, {8, 1200}, {12, 1 | (32u << 16)}, {16, 0 /* BI_RGB */},
                            {56, 0x57696E20 /* 'Win ' */}};
    for (int offset = 0; offset < 124; offset += 4) {
        DWORD expected = 0;
        for (const Field& f : fields)
            if (f.offset == offset)
                expected = f.value;
        EXPECT_EQ(DwordAt(bytes, offset), expected) << "offset " << offset;
    }
    // A second picture leaves nothing of the first.
    printer.MakeBitmapHeader(7, 5);
    EXPECT_EQ(DwordAt(bytes, 4), 7u);
    EXPECT_EQ(DwordAt(bytes, 8), 5u);
}

TEST(FlipImageRows, SwapsRowsTopToBottom)
{
    for (int height : {1, 2, 3, 6}) {
        CQLImage image;
        shelltest::MakeImage(&image, 3, height, [](int x, int y) {
            return CPixel{static_cast<BYTE>(y), static_cast<BYTE>(x), 7, 255};
        });
        FlipImageRows(&image);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3; ++x) {
                const CPixel p = image.GetPixel2(x, y);
                EXPECT_EQ(p.b, height - 1 - y) << height << " rows, at " << x << "," << y;
                EXPECT_EQ(p.g, x);
            }
    }
}

TEST(ImagePrinterWithoutPrinter, DocumentCallsSucceedAndPagesCountInDots)
{
    CImagePrinter printer;
    CQLImage image;
    shelltest::MakeImage(&image, 2, 2, [](int, int) { return CPixel{1, 2, 3, 255}; });
    EXPECT_TRUE(printer.StartDoc());
    EXPECT_TRUE(printer.StartPage());
    EXPECT_TRUE(printer.DrawImage(&image, 0, 0, 10, 10));
    EXPECT_TRUE(printer.EndPage());
    printer.EndDoc();
    // A page without a printer: 118 dots per centimetre, as at 300 dpi.
    printer.m_devMode.dmScale = 118;
    EXPECT_NEAR(printer.LengthToInches(1500), 5.0047, 1e-4);
}

class ImagePrinterPdf : public shelltest::ShellWindowsTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
    // Answers the set-up dialog with choice (or cancels it) and records
    // every message box.
    void AnswerSetup(const qlafx::PrinterChoice* choice)
    {
        qlafx::SetModalHook([this, choice](CWnd* w, const char* caption, const char* text, UINT) {
            if (!w) {
                m_messages.push_back(text ? text : "");
                return IDOK;
            }
            m_captions.push_back(caption ? caption : "");
            if (!choice)
                return IDCANCEL;
            qlafx::AnswerPrintDialog(*static_cast<CPrintDialog*>(w), *choice);
            return IDOK;
        });
    }
    std::string m_pdf = m_folder.Path() + "page.pdf";
    std::vector<std::string> m_messages, m_captions;
};

TEST_F(ImagePrinterPdf, SetupKeepsTheChosenPrintersValues)
{
    const qlafx::PrinterChoice choice = PdfPrinter(m_pdf, DMPAPER_LETTER, 100);
    AnswerSetup(&choice);
    CImagePrinter printer;
    ASSERT_TRUE(printer.SetupPrinter());
    EXPECT_EQ(m_captions, std::vector<std::string>{"Print Setup"});
    EXPECT_NE(printer.GetPrinterDC(), nullptr);
    EXPECT_EQ(printer.m_devMode.dmSize, sizeof(DEVMODE));
    EXPECT_EQ(printer.m_devMode.dmPaperSize, DMPAPER_LETTER);
    EXPECT_EQ(printer.m_pageWidth, 2160);  // 216 mm printable, a file has no edge
    EXPECT_EQ(printer.m_pageHeight, 2790);
    EXPECT_EQ(printer.m_dpiX, 100);
    EXPECT_EQ(printer.m_dpiY, 100);
    EXPECT_EQ(printer.m_physicalWidth, 850);
    EXPECT_EQ(printer.m_physicalHeight, 1100);
    double w = 0, h = 0;
    printer.GetPageSizeInches(&w, &h);
    EXPECT_NEAR(w, 8.504, 1e-3);
    EXPECT_NEAR(h, 10.984, 1e-3);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ImagePrinterPdf, CancelledSetupKeepsNoPrinter)
{
    AnswerSetup(nullptr);
    CImagePrinter printer;
    EXPECT_FALSE(printer.SetupPrinter());
    EXPECT_EQ(printer.GetPrinterDC(), nullptr);
}

// A 40 x 20 picture, red above blue, stretched over 400 x 200 device
// pixels at (100, 300): it lands there upright, and the DC is gone after.
TEST_F(ImagePrinterPdf, PrintsOnePageWithThePictureInItsRectangle)
{
    const qlafx::PrinterChoice choice = PdfPrinter(m_pdf, DMPAPER_LETTER, 100);
    AnswerSetup(&choice);
    CImagePrinter printer;
    ASSERT_TRUE(printer.SetupPrinter());
    CQLImage image;
    shelltest::MakeImage(&image, 40, 20, [](int, int y) {
        return y < 10 ? CPixel{0, 0, 255, 255} : CPixel{255, 0, 0, 255};
    });
    ASSERT_TRUE(printer.StartDoc());
    ASSERT_TRUE(printer.StartPage());
    ASSERT_TRUE(printer.DrawImage(&image, 100, 300, 500, 500));
    ASSERT_TRUE(printer.EndPage());
    printer.EndDoc();
    EXPECT_EQ(printer.GetPrinterDC(), nullptr);

    const printtest::PdfContents pdf = ReadPdf(m_pdf);
    EXPECT_EQ(pdf.pages, 1);
    ASSERT_EQ(pdf.images.size(), 1u);
    const QImage& page = pdf.images[0];
    ASSERT_EQ(page.size(), QSize(850, 1100));
    const auto near = [](skintest::Bgr a, skintest::Bgr b) {
        return std::abs(a.b - b.b) < 24 && std::abs(a.g - b.g) < 24 && std::abs(a.r - b.r) < 24;
    };
    EXPECT_PRED2(near, skintest::BgrAt(page, 300, 340), (skintest::Bgr{0, 0, 255}));
    EXPECT_PRED2(near, skintest::BgrAt(page, 300, 460), (skintest::Bgr{255, 0, 0}));
    for (QPoint outside : {QPoint(90, 400), QPoint(510, 400), QPoint(300, 290), QPoint(300, 510)})
        EXPECT_PRED2(near, skintest::BgrAt(page, outside.x(), outside.y()), (skintest::Bgr{255, 255, 255}))
            << outside.x() << "," << outside.y();
}

TEST_F(ImagePrinterPdf, DocumentThatCannotStartStillFreesThePrinter)
{
    const qlafx::PrinterChoice choice = PdfPrinter(m_folder.Path() + "no such folder/page.pdf");
    AnswerSetup(&choice);
    CImagePrinter printer;
    ASSERT_TRUE(printer.SetupPrinter());
    EXPECT_FALSE(printer.StartDoc());
    printer.EndDoc();
    EXPECT_EQ(printer.GetPrinterDC(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() + "no such folder"));
}

}  // namespace
