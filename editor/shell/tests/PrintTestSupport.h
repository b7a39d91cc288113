// Helpers of the printing tests: a PDF "printer" answered through the modal
// hook, and a small reader of the PDF files Qt writes (pages and the
// pictures they hold).
#pragma once

#include "platform/afx/Print.h"

#include <QImage>

#include <string>
#include <vector>

namespace printtest {

qlafx::PrinterChoice PdfPrinter(const std::string& file, short paper = DMPAPER_LETTER, int dpi = 100);

struct PdfContents {
    int pages = 0;
    std::vector<QImage> images;  // every picture object, decoded
};
// Empty (0 pages) when the file is missing or not a PDF.
PdfContents ReadPdf(const std::string& path);

}  // namespace printtest
