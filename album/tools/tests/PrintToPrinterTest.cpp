// A print run on a printer: the set-up answered with a PDF file, the pages
// read back from it.
#include "album/tools/PrintArrangement.h"

#include "album/tools/tests/PrintTestPhotos.h"
#include "editor/shell/tests/PrintTestSupport.h"
#include "editor/shell/tests/ShellWindowsTestSupport.h"
#include "platform/afx/Afx.h"

#include <gtest/gtest.h>

namespace {

class AlbumPrintPdf : public shelltest::ShellWindowsTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
    std::string m_pdf = m_folder.Path() + "pages.pdf";
};

TEST_F(AlbumPrintPdf, PagesHoldEachCellAtItsPlace)
{
    const qlafx::PrinterChoice choice = printtest::PdfPrinter(m_pdf, DMPAPER_A4, 100);
    qlafx::SetModalHook([&choice](CWnd* w, const char*, const char*, UINT) {
        if (!w)
            return IDOK;
        qlafx::AnswerPrintDialog(*static_cast<CPrintDialog*>(w), choice);
        return IDOK;
    });
    const struct {
        const char* name;
        DWORD colour;
    } photos[] = {{"red.jpg", printtest::Colour(230, 30, 30)}, {"blue.jpg", printtest::Colour(30, 30, 230)}};

    CImagePrinter printer;
    ASSERT_TRUE(printer.SetupPrinter());
    for (const auto& p : photos) {
        const std::string path = m_folder.Path() + p.name;
        ASSERT_TRUE(printtest::WritePhoto(path, 150, 100, p.colour));
        PrintJob job;
        std::snprintf(job.path, sizeof job.path, "%s", path.c_str());
        for (int copy = 0; copy < 2; ++copy) {
            job.copySizes.push_back({printer.InchesToUnits(5.0f), printer.InchesToUnits(3.5f)});
            job.copyCrops.push_back(RECT{});
        }
        printer.m_jobs.push_back(job);
    }
    shelf::PrintArrangement arrangement(&printer);
    arrangement.m_mode = shelf::PrintArrangement::Normal;
    std::vector<std::string> messages;
    arrangement.onError = [&](const std::string& text) { messages.push_back(text); };
    arrangement.onOutOfPaper = arrangement.onError;
    const int pageWidth = printer.GetPageWidth();
    const double scale = static_cast<double>(printer.m_physicalWidth - 2 * printer.m_physicalOffsetX) / pageWidth;
    arrangement.Run();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(printer.GetPrinterDC(), nullptr);

    const auto& pages = arrangement.Pages();
    ASSERT_EQ(pages.size(), 2u);
    const printtest::PdfContents pdf = printtest::ReadPdf(m_pdf);
    ASSERT_EQ(pdf.pages, 2);
    ASSERT_EQ(pdf.images.size(), 2u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const QImage& page = pdf.images[i];
        ASSERT_EQ(pages[i].size(), 2u);
        for (const shelf::PagePlacement& p : pages[i]) {
            const int x = static_cast<int>(scale * (p.cell.left + p.cell.right) / 2) + printer.m_physicalOffsetX;
            const int y = static_cast<int>(scale * (p.cell.top + p.cell.bottom) / 2) + printer.m_physicalOffsetY;
            const QRgb rgb = page.pixel(x, y);
            const DWORD colour = 0xFF000000u | (rgb & 0xFFFFFF);
            EXPECT_TRUE(printtest::Near(colour, photos[p.job].colour, 30)) << "page " << i << " at " << x << "," << y;
        }
        EXPECT_TRUE(printtest::Near(0xFF000000u | (page.pixel(2, 2) & 0xFFFFFF), 0xFFFFFFFF, 8));
    }
}

} // namespace
