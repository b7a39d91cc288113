#include "album/tools/PrintArrangement.h"

#include "algorithms/ResampleAlgorithm.h"
#include "editor/shell/ExifInfo.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace shelf {

namespace {

constexpr int kJpegQuality = 98;
constexpr int kFileDpi = 300;

bool FileExists(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0;
}

bool AnyCopyLeft(const std::vector<PrintJob>& jobs)
{
    for (const PrintJob& job : jobs)
        for (const PrintJob::Size& size : job.copySizes)
            if (size.width != 0)
                return true;
    return false;
}

std::string Format(const char* format, const char* text)
{
    char buffer[1200];
    std::snprintf(buffer, sizeof buffer, format, text);
    return buffer;
}

} // namespace

std::string PrintArrangement::MakeStamp(const SYSTEMTIME& time)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%d-%d-%d-", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
    return buffer;
}

void PrintArrangement::ReportOutOfPaper(const PrintJob& job)
{
    if (onOutOfPaper)
        onOutOfPaper(Format("Print file %s out of paper size", job.path));
}

void PrintArrangement::Arrange()
{
    m_pages.clear();
    const int pageWidth = m_printer->GetPageWidth(), pageHeight = m_printer->GetPageHeight();
    for (PrintJob& job : m_printer->m_jobs)
        for (PrintJob::Size& size : job.copySizes) {
            if (size.width == 0)
                continue;
            int halvable = 0;
            if (m_printer->FitCell(size.width, size.height, 0, 0, pageWidth, pageHeight, nullptr, &halvable) == -1) {
                ReportOutOfPaper(job);
                size = {0, 0};
            }
        }
    while (AnyCopyLeft(m_printer->m_jobs)) {
        const std::size_t before = m_pages.size();
        MakeNextPage();
        if (m_pages.size() > before)
            continue;
        // A page that takes nothing would be followed by more of the same:
        // what is left cannot be printed.
        for (PrintJob& job : m_printer->m_jobs)
            for (PrintJob::Size& size : job.copySizes)
                if (size.width != 0) {
                    ReportOutOfPaper(job);
                    size = {0, 0};
                }
    }
}

void PrintArrangement::MakeNextPage()
{
    const RECT page{0, 0, m_printer->GetPageWidth(), m_printer->GetPageHeight()};
    if (m_mode != OnePerPage) {
        m_lastPlaced = nullptr;
        std::vector<PagePlacement> list;
        FillRegion(page, &list, nullptr);
        if (!list.empty())
            m_pages.push_back(std::move(list));
        return;
    }
    std::vector<PrintJob>& jobs = m_printer->m_jobs;
    for (std::size_t j = 0; j < jobs.size(); ++j)
        for (std::size_t c = 0; c < jobs[j].copySizes.size(); ++c) {
            PrintJob::Size& size = jobs[j].copySizes[c];
            if (size.width == 0)
                continue;
            const PrintJob::Size taken = size;
            size = {0, 0};
            RECT cell{};
            int halvable = 0;
            if (m_printer->FitCell(taken.width, taken.height, page.left, page.top, page.right, page.bottom, &cell,
                                   &halvable) <= 0) {
                ReportOutOfPaper(jobs[j]);
                return;
            }
            m_pages.push_back({PagePlacement{static_cast<int>(j), static_cast<int>(c), taken.width, taken.height, cell}});
            return;
        }
}

BOOL PrintArrangement::FillRegion(RECT region, std::vector<PagePlacement>* list, const PrintJob* restriction)
{
    const int width = region.right - region.left, height = region.bottom - region.top;
    if (m_printer->LengthToInches(width) < 0.5 || m_printer->LengthToInches(height) < 0.5)
        return FALSE;
    const bool wholePage = region.left == 0 && region.top == 0 && region.right == m_printer->GetPageWidth() &&
                           region.bottom == m_printer->GetPageHeight();
    std::vector<PrintJob>& jobs = m_printer->m_jobs;

    int bestJob = -1, bestCopy = -1;
    RECT bestCell{};
    double best = -1;
    auto search = [&](const PrintJob* only, bool report) -> bool {
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            if (only && std::strcmp(jobs[j].path, only->path) != 0)
                continue;
            for (std::size_t c = 0; c < jobs[j].copySizes.size(); ++c) {
                PrintJob::Size& size = jobs[j].copySizes[c];
                if (size.width == 0)
                    continue;
                RECT cell{};
                int halvable = 0;
                const double r = m_printer->FitCell(size.width, size.height, region.left, region.top, region.right,
                                                    region.bottom, &cell, &halvable);
                if (r > 0 && r > best) {
                    best = r;
                    bestJob = static_cast<int>(j);
                    bestCopy = static_cast<int>(c);
                    bestCell = cell;
                } else if (r <= 0 && wholePage && report) {
                    ReportOutOfPaper(jobs[j]);
                    size = {0, 0};
                    return false;
                }
            }
        }
        return true;
    };
    if (!search(restriction, true))
        return FALSE;
    bool place = best > 0.5;
    if (!place && m_mode == Economical && restriction) {
        best = -1;
        search(nullptr, false);
        place = best > 0.45;
    }
    if (place) {
        PrintJob::Size& size = jobs[static_cast<std::size_t>(bestJob)].copySizes[static_cast<std::size_t>(bestCopy)];
        list->push_back(PagePlacement{bestJob, bestCopy, size.width, size.height, bestCell});
        size = {0, 0};
        m_lastPlaced = &jobs[static_cast<std::size_t>(bestJob)];
        return TRUE;
    }

    RECT first = region, second = region;
    if (width > height) {
        first.right -= width / 2;
        second.left += width / 2;
    } else {
        first.bottom -= height / 2;
        second.top += height / 2;
    }
    const BOOL a = FillRegion(first, list, m_lastPlaced);
    const BOOL b = FillRegion(second, list, m_lastPlaced);
    return a || b;
}

std::string PrintArrangement::FolderPrefix() const
{
    std::string prefix = m_folder;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    return prefix;
}

BOOL PrintArrangement::SavePrintFile(const CQLImage& image, const char* suffix)
{
    const std::string path = FolderPrefix() + m_stamp + suffix;
    if (FileExists(path))
        return FALSE;
    CQLImageCodec codec;
    if (!codec.SaveJpegFile(path.c_str(), &image, kJpegQuality, kFileDpi))
        return FALSE;
    ExifInfo exif;
    exif.ReadFromFile(path.c_str());
    exif.GetFields().xResolution = kFileDpi;
    exif.GetFields().yResolution = kFileDpi;
    exif.SetWriteSoftware(FALSE);
    return exif.WriteToFile(FALSE, path.c_str(), TRUE) != 0;
}

void PrintArrangement::RenderPage(int i)
{
    const std::vector<PagePlacement>& page = m_pages[static_cast<std::size_t>(i)];
    if (m_printToFile) {
        UINT w = 0, h = 0;
        m_pageImage.GetSize(&w, &h);
        if (w && h)
            std::memset(m_pageImage.GetBuffer(0, 0), 0xFF, static_cast<std::size_t>(w) * h * 4);
    }
    const int pages = static_cast<int>(m_pages.size());
    const int placements = static_cast<int>(page.size());
    for (int k = 0; k < placements; ++k) {
        const PagePlacement& p = page[static_cast<std::size_t>(k)];
        const PrintJob& job = m_printer->m_jobs[static_cast<std::size_t>(p.job)];
        char status[1200];
        std::snprintf(status, sizeof status, "Page %d : %s - Copy %d", i + 1, job.path, k + 1);
        if (onStatus)
            onStatus(status);
        const RECT& crop = job.copyCrops[static_cast<std::size_t>(p.copy)];
        BOOL printed = FALSE;
        if (onCell && !m_printToFile) {
            auto cell = std::make_unique<CQLImage>();
            printed = m_printer->MakeCell(job.path, p.cell.left, p.cell.top, p.cell.right, p.cell.bottom, crop.left,
                                          crop.top, crop.right, crop.bottom, cell.get());
            if (printed)
                onCell(p.cell, std::move(cell));
        } else {
            printed = m_printer->PrintCell(job.path, p.cell.left, p.cell.top, p.cell.right, p.cell.bottom, crop.left,
                                           crop.top, crop.right, crop.bottom, m_printToFile ? &m_pageImage : nullptr);
        }
        if (!printed && onError)
            onError(Format("Error occurs when print file %s.", job.path));
        if (onProgress)
            onProgress(k * (100 / pages) / placements + i * 100 / pages);
    }
    if (m_printToFile) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "Page%02d.jpg", i + 1);
        if (!SavePrintFile(m_pageImage, suffix) && onError)
            onError(Format("Error occurs when print file %s.", (FolderPrefix() + m_stamp + suffix).c_str()));
    }
}

void PrintArrangement::SaveSeparateFiles()
{
    std::vector<PrintJob>& jobs = m_printer->m_jobs;
    const int count = static_cast<int>(jobs.size());
    for (int j = 0; j < count; ++j) {
        PrintJob& job = jobs[static_cast<std::size_t>(j)];
        CQLImageCodec codec;
        if (!codec.LoadFile(job.path, &m_printer->m_photo))
            continue;
        std::snprintf(m_printer->m_lastPath, sizeof m_printer->m_lastPath, "%s", job.path);
        for (std::size_t c = 0; c < job.copySizes.size(); ++c) {
            if (onStatus) {
                char status[1200];
                std::snprintf(status, sizeof status, "%s, Size %d", job.path, static_cast<int>(c));
                onStatus(status);
            }
            const PrintJob::Size size = job.copySizes[c];
            if (c > 0 && size.width == job.copySizes[c - 1].width && size.height == job.copySizes[c - 1].height)
                continue;
            const RECT& crop = job.copyCrops[c];
            CQLImage cell, resized;
            if (!m_printer->CropToCell(&cell, 0, 0, size.width, size.height, crop.left, crop.top, crop.right,
                                       crop.bottom))
                break;
            BOOL resampled = FALSE;
            if (m_printer->m_highQuality) {
                ResampleAlgorithm resample;
                resample.SetOptions(1, 90, 50);
                resample.SetImages(&cell, &resized);
                ResizeParams target{size.width, size.height};
                resampled = resample.Apply(&target) == 0;
            } else {
                resampled = codec.Resample(&cell, &resized, size.width, size.height, 1) != 0;
            }
            if (!resampled)
                continue;
            char suffix[40];
            std::snprintf(suffix, sizeof suffix, "_Img%03d_Size%02d.jpg", j, static_cast<int>(c));
            if (!SavePrintFile(resized, suffix) && onError)
                onError(Format("Error occurs when print file %s.", job.path));
        }
        if (onProgress)
            onProgress(100 * (j + 1) / count);
    }
}

BOOL PrintArrangement::PreparePageImage()
{
    const int width = m_printer->GetPageWidth(), height = m_printer->GetPageHeight();
    return width > 0 && height > 0 && m_pageImage.Create(static_cast<UINT>(width), static_cast<UINT>(height)) == 0;
}

void PrintArrangement::ChooseFreeStamp()
{
    // Files of an earlier run in the same minute stay: this run's stamp
    // gains a counter instead.
    const std::string base = m_stamp;
    auto taken = [&] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(FolderPrefix(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.compare(0, m_stamp.size(), m_stamp) == 0 &&
                (name.compare(m_stamp.size(), 4, "Page") == 0 || name.compare(m_stamp.size(), 4, "_Img") == 0))
                return true;
        }
        return false;
    };
    for (int counter = 2; taken(); ++counter)
        m_stamp = base + std::to_string(counter) + "-";
}

void PrintArrangement::Run()
{
    if (m_printToFile || m_mode == SeparateFiles)
        ChooseFreeStamp();
    if (m_mode == SeparateFiles) {
        SaveSeparateFiles();
        return;
    }
    Arrange();
    if (m_printer->StartDoc())
        RenderPages();
    m_printer->EndDoc();
}

void PrintArrangement::RenderPages()
{
    for (int i = 0; i < static_cast<int>(m_pages.size()); ++i) {
        if (onPageStart)
            onPageStart(i);
        else
            m_printer->StartPage();
        RenderPage(i);
        if (onPageEnd)
            onPageEnd(i);
        else
            m_printer->EndPage();
    }
}

} // namespace shelf
