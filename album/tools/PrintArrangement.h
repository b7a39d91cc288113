// Puts the copies of a print job list on pages by halving the page, then
// prints the pages, saves them as JPEG files, or saves every copy as a file
// of its own. Free of windows: the page of the print wizard drives it and
// hears of its messages, status lines and progress through the callbacks.
#pragma once

#include "editor/shell/ImagePrinter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace shelf {

struct PagePlacement {
    int job;
    int copy;
    int width; // page units
    int height;
    RECT cell; // on the page, page units
};
static_assert(sizeof(PagePlacement) == 32);

class PrintArrangement {
public:
    enum Mode { Economical = 0, Normal = 1, OnePerPage = 2, SeparateFiles = 3 };

    explicit PrintArrangement(CImagePrinter* printer) : m_printer(printer) {}

    // Places every copy left in the job list; copies that fit no page are
    // reported and dropped. The sizes of placed copies become 0 x 0.
    void Arrange();
    // One page more; nothing when no copy could be placed.
    void MakeNextPage();
    BOOL FillRegion(RECT region, std::vector<PagePlacement>* list, const PrintJob* restriction);
    // Puts page i's cells on the printer or, with a page image, into it and
    // saves it as "<stamp>PageNN.jpg" in the folder.
    void RenderPage(int i);
    // Mode 3: every copy size of every photo as "<stamp>_ImgNNN_SizeNN.jpg".
    void SaveSeparateFiles();
    // The page image of a run into files, page width x page height dots.
    BOOL PreparePageImage();
    // The whole run of Finish: arrangement, document, pages (or mode 3).
    void Run();
    // Every arranged page between StartPage and EndPage (or onPageStart and
    // onPageEnd when set).
    void RenderPages();
    // When a file of this stamp is in the folder, "<stamp>2-", "3-"...
    void ChooseFreeStamp();

    // "%d-%d-%d-%d-%d-" of a local time: year, month, day, hour, minute.
    static std::string MakeStamp(const SYSTEMTIME& time);

    const std::vector<std::vector<PagePlacement>>& Pages() const { return m_pages; }

    int m_mode = Economical;
    std::string m_stamp;
    std::string m_folder;
    int m_printToFile = 0;
    CQLImage m_pageImage;

    // The messages of the run and of the arrangement.
    std::function<void(const std::string& text)> onOutOfPaper;
    std::function<void(const std::string& text)> onError;
    std::function<void(const std::string& text)> onStatus;
    std::function<void(int percent)> onProgress;
    // A run on a worker: the cells for the printer are handed over here
    // instead of being drawn, and the pages are begun and ended here.
    std::function<void(const RECT& cell, std::unique_ptr<CQLImage> image)> onCell;
    std::function<void(int page)> onPageStart;
    std::function<void(int page)> onPageEnd;

private:
    void ReportOutOfPaper(const PrintJob& job);
    // Saves the image as a JPEG of 300 dpi with the EXIF resolution set;
    // an existing file is never replaced.
    BOOL SavePrintFile(const CQLImage& image, const char* suffix);
    std::string FolderPrefix() const;

    CImagePrinter* m_printer;
    std::vector<std::vector<PagePlacement>> m_pages;
    const PrintJob* m_lastPlaced = nullptr;
};

} // namespace shelf
