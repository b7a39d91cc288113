#include "album/tools/PrintArrangement.h"

#include "album/shell/tests/ShelfTestSupport.h"
#include "album/tools/tests/PrintTestPhotos.h"
#include "editor/shell/ExifInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

using shelf::PrintArrangement;
using shelftest::ScratchFolder;
namespace fs = std::filesystem;

namespace {

struct Copy {
    float width; // inches
    float height;
};

void AddJob(CImagePrinter* printer, const std::string& path, const std::vector<Copy>& copies)
{
    PrintJob job;
    std::snprintf(job.path, sizeof job.path, "%s", path.c_str());
    for (const Copy& c : copies) {
        job.copySizes.push_back({printer->InchesToUnits(c.width), printer->InchesToUnits(c.height)});
        job.copyCrops.push_back(RECT{});
    }
    printer->m_jobs.push_back(job);
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct PrintRun {
    CImagePrinter printer;
    PrintArrangement arrangement{&printer};
    std::vector<std::string> messages;

    explicit PrintRun(int mode)
    {
        printer.SetVirtualPage(300, 11.7, 8.3);
        arrangement.m_mode = mode;
        arrangement.onOutOfPaper = [this](const std::string& text) { messages.push_back(text); };
        arrangement.onError = [this](const std::string& text) { messages.push_back(text); };
    }
    // The job of each placement, page by page.
    std::vector<std::vector<int>> JobsByPage() const
    {
        std::vector<std::vector<int>> pages;
        for (const auto& page : arrangement.Pages()) {
            pages.emplace_back();
            for (const auto& p : page)
                pages.back().push_back(p.job);
        }
        return pages;
    }
};

} // namespace

TEST(PrintArrangement, ModesPutCopiesOnPages)
{
    using Pages = std::vector<std::vector<int>>;
    const struct {
        int mode;
        int copiesEach; // of 6 x 4, for photos a and b
        Pages expected;
    } cases[] = {
        // Normal: a page holds copies of one photo only.
        {PrintArrangement::Normal, 2, Pages{{0, 0}, {1, 1}}},
        {PrintArrangement::Normal, 1, Pages{{0}, {1}}},
        // Economical: the half left over takes the other photo.
        {PrintArrangement::Economical, 1, Pages{{0, 1}}},
        {PrintArrangement::Economical, 2, Pages{{0, 0}, {1, 1}}},
        // One copy a page.
        {PrintArrangement::OnePerPage, 2, Pages{{0}, {0}, {1}, {1}}},
    };
    for (const auto& c : cases) {
        PrintRun run(c.mode);
        for (const char* path : {"/a.jpg", "/b.jpg"})
            AddJob(&run.printer, path, std::vector<Copy>(static_cast<std::size_t>(c.copiesEach), Copy{6, 4}));
        run.arrangement.Arrange();
        EXPECT_EQ(run.JobsByPage(), c.expected) << "mode " << c.mode << ", " << c.copiesEach << " each";
        EXPECT_TRUE(run.messages.empty());
        // Each cell lies on the page.
        for (const auto& page : run.arrangement.Pages())
            for (const auto& p : page) {
                EXPECT_GE(p.cell.left, 0);
                EXPECT_GE(p.cell.top, 0);
                EXPECT_LE(p.cell.right, 3510);
                EXPECT_LE(p.cell.bottom, 2490);
            }
    }
}

TEST(PrintArrangement, CopiesThatFitNoPageAreDroppedWithAMessage)
{
    const struct {
        int mode;
        Copy copy;
        int pages;
    } cases[] = {
        // Larger than the page: dropped, the other photo still printed.
        {PrintArrangement::Normal, {12, 9}, 1},
        {PrintArrangement::OnePerPage, {12, 9}, 1},
        // Too small for any region of half an inch or more to be its own:
        // never placed, so the arrangement must end all the same.
        {PrintArrangement::Economical, {0.2f, 0.2f}, 1},
        {PrintArrangement::Normal, {0.2f, 0.2f}, 1},
    };
    for (const auto& c : cases) {
        PrintRun run(c.mode);
        AddJob(&run.printer, "/big.jpg", {c.copy, c.copy});
        AddJob(&run.printer, "/fine.jpg", {{6, 4}});
        run.arrangement.Arrange();
        EXPECT_EQ(static_cast<int>(run.arrangement.Pages().size()), c.pages) << c.copy.width;
        ASSERT_FALSE(run.messages.empty()) << c.copy.width;
        EXPECT_EQ(run.messages.front(), "Print file /big.jpg out of paper size");
        for (const PrintJob& job : run.printer.m_jobs)
            for (const auto& size : job.copySizes)
                EXPECT_EQ(size.width, 0);
    }
}

TEST(PrintArrangement, TypesetPagesAreSavedAsJpegFiles)
{
    ScratchFolder folder;
    const std::string photo = folder.Path() + "p.jpg";
    ASSERT_TRUE(printtest::WritePhoto(photo, 300, 200, printtest::Colour(200, 40, 40)));
    const std::string out = folder.Path() + "out";
    shelftest::MakeFolder(out);

    for (int runIndex = 0; runIndex < 2; ++runIndex) {
        PrintRun run(PrintArrangement::Normal);
        AddJob(&run.printer, photo, {{6, 4}});
        run.arrangement.m_printToFile = 1;
        run.arrangement.m_folder = out;
        run.arrangement.m_stamp = PrintArrangement::MakeStamp(SYSTEMTIME{2024, 3, 4, 7, 9, 5, 0, 0});
        ASSERT_TRUE(run.arrangement.PreparePageImage());
        run.arrangement.Run();
        EXPECT_TRUE(run.messages.empty());
    }
    // A second run in the same minute keeps the first one's file.
    EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"2024-3-7-9-5-2-Page01.jpg", "2024-3-7-9-5-Page01.jpg"}));

    const std::string page = out + "/2024-3-7-9-5-Page01.jpg";
    int width = 0, height = 0;
    ASSERT_TRUE(CQLImageCodec::GetFileShape(page.c_str(), &width, &height));
    EXPECT_EQ(width, 3510);
    EXPECT_EQ(height, 2490);
    ExifInfo exif;
    ASSERT_TRUE(exif.ReadFromFile(page.c_str()));
    EXPECT_EQ(exif.GetFields().xResolution, 300.0);
    EXPECT_EQ(exif.GetFields().yResolution, 300.0);

    // The cell is in the left half, the right half white.
    CQLImage image;
    CQLImageCodec codec;
    ASSERT_TRUE(codec.LoadFile(page.c_str(), &image));
    EXPECT_TRUE(printtest::Near(image.GetPixel(877, 1245), printtest::Colour(200, 40, 40)));
    EXPECT_TRUE(printtest::Near(image.GetPixel(2600, 1245), 0xFFFFFFFF));
}

TEST(PrintArrangement, SeparateFilesSkipRepeatedSizes)
{
    ScratchFolder folder;
    const std::string photo = folder.Path() + "p.jpg";
    ASSERT_TRUE(printtest::WritePhoto(photo, 300, 200, printtest::Colour(40, 40, 200)));
    const std::string out = folder.Path() + "out";
    shelftest::MakeFolder(out);

    PrintRun run(PrintArrangement::SeparateFiles);
    AddJob(&run.printer, photo, {{6, 4}, {6, 4}, {5, 3.5f}});
    run.arrangement.m_printToFile = 1;
    run.arrangement.m_folder = out + "/";
    run.arrangement.m_stamp = "s-";
    std::vector<int> progress;
    run.arrangement.onProgress = [&](int percent) { progress.push_back(percent); };
    run.arrangement.Run();

    EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"s-_Img000_Size00.jpg", "s-_Img000_Size02.jpg"}));
    EXPECT_EQ(progress, std::vector<int>{100});
    const struct {
        const char* name;
        int width, height;
    } sizes[] = {{"s-_Img000_Size00.jpg", 1800, 1200}, {"s-_Img000_Size02.jpg", 1500, 1050}};
    for (const auto& s : sizes) {
        int width = 0, height = 0;
        ASSERT_TRUE(CQLImageCodec::GetFileShape((out + "/" + s.name).c_str(), &width, &height));
        EXPECT_EQ(width, s.width);
        EXPECT_EQ(height, s.height);
    }
}

TEST(PrintArrangement, StampHasNoPadding)
{
    EXPECT_EQ(PrintArrangement::MakeStamp(SYSTEMTIME{2024, 3, 4, 7, 9, 5, 0, 0}), "2024-3-7-9-5-");
    EXPECT_EQ(PrintArrangement::MakeStamp(SYSTEMTIME{2025, 12, 0, 31, 23, 59, 0, 0}), "2025-12-31-23-59-");
}
