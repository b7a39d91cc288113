#include "album/shell/FolderEntries.h"

#include "ShelfTestSupport.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Timing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace shelf;
using shelftest::MakeFolder;
using shelftest::ScratchFolder;
using shelftest::WriteBytes;
namespace fs = std::filesystem;

namespace {

// A scanner model on a project root whose children were scanned.
struct Album {
    explicit Album(const std::string& path) { root.ScanSubfolders(path, 1); }
    std::vector<AnalyseJob> Open(FolderNode* node)
    {
        entries.m_pCurrent = node;
        entries.LoadPropertyFile();
        std::vector<AnalyseJob> jobs;
        const int queued = entries.ScanFolder(jobs);
        EXPECT_EQ(queued, static_cast<int>(jobs.size()));
        return jobs;
    }
    PhotoEntry* Find(const char* name)
    {
        for (const auto& e : entries.m_entries)
            if (std::strcmp(e->m_info.szFileName, name) == 0)
                return e.get();
        return nullptr;
    }
    // What the thumbnail thread leaves behind: a thumbnail, state done.
    void FinishAll()
    {
        for (const auto& e : entries.m_entries)
            if (!e->m_bFolder) {
                e->m_thumb.Create(2, 2);
                e->m_info.nThumbState = kThumbDone;
            }
    }
    FolderNode root;
    FolderEntries entries;
};

std::string names(const std::vector<AnalyseJob>& jobs)
{
    std::string all;
    for (const auto& job : jobs)
        all += fs::path(job.path).filename().string() + " ";
    return all;
}

void solidThumb(PhotoEntry& e, int w, int h, BYTE b, BYTE g, BYTE r)
{
    e.m_thumb.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = e.m_thumb.GetBuffer(x, y);
            p[0] = b, p[1] = g, p[2] = r, p[3] = 255;
        }
}

} // namespace

TEST(FolderEntries, FirstVisitAddsPhotosAndSubfoldersAndQueuesThePhotos)
{
    ScratchFolder folder;
    for (const char* name : {"b.jpg", "IMG.JPG", "img.jpg", "notes.txt", "c.png"})
        WriteBytes(folder.Path() + name, "x");
    MakeFolder(folder.Path() + "Sub");
    MakeFolder(folder.Path() + ".hidden");
    Album album(folder.Path());
    const auto jobs = album.Open(&album.root);

    EXPECT_EQ(names(jobs), "b.jpg c.png IMG.JPG img.jpg ");
    EXPECT_EQ(album.entries.m_entries.size(), 5u); // and Sub; not .hidden nor notes.txt
    EXPECT_EQ(album.entries.m_bDirty, 1);
    PhotoEntry* sub = album.Find("Sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->m_bFolder, 1);
    EXPECT_EQ(sub->m_pNode, album.root.FindChild("Sub"));
    EXPECT_NE(album.Find("IMG.JPG"), album.Find("img.jpg"));
    for (const auto& job : jobs) {
        EXPECT_EQ(job.mode, 0);
        EXPECT_EQ(job.generation, album.entries.m_generation);
        EXPECT_EQ(job.path, folder.Path() + job.entry->m_info.szFileName);
        EXPECT_EQ(job.entry->m_info.nFileSize, 1);
    }
    EXPECT_EQ(album.entries.IsAllComplete(), 0);
}

TEST(FolderEntries, SecondVisitQueuesOnlyWhatChangedAndPrunesWhatWentAway)
{
    ScratchFolder folder;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        WriteBytes(folder.Path() + name, "x");
    {
        Album first(folder.Path());
        first.Open(&first.root);
        first.FinishAll();
        first.Find("d.jpg")->m_info.nThumbState = kThumbFirstPass;
        ASSERT_TRUE(first.entries.SaveAndPrune(&first.root));
        EXPECT_EQ(first.entries.m_bDirty, 0);
    }
    {
        Album unchanged(folder.Path());
        EXPECT_EQ(names(unchanged.Open(&unchanged.root)), "d.jpg ");
    }
    // All done and untouched: nothing queued, nothing to save.
    {
        Album done(folder.Path());
        done.Open(&done.root);
        done.FinishAll();
        done.entries.SavePropertyFile(&done.root);
        Album again(folder.Path());
        EXPECT_TRUE(again.Open(&again.root).empty());
        EXPECT_EQ(again.entries.m_bDirty, 0);
        EXPECT_EQ(again.entries.IsAllComplete(), 1);
    }
    fs::last_write_time(folder.Path() + "b.jpg", fs::last_write_time(folder.Path() + "b.jpg") + std::chrono::seconds(5));
    fs::remove(folder.Path() + "c.jpg");
    Album later(folder.Path());
    const auto jobs = later.Open(&later.root);
    EXPECT_EQ(names(jobs), "b.jpg ");
    EXPECT_EQ(jobs[0].mode, 0);
    EXPECT_EQ(later.Find("c.jpg")->m_bPresent, 0);
    const auto generation = later.entries.m_generation;
    ASSERT_TRUE(later.entries.SaveAndPrune(&later.root));
    EXPECT_EQ(later.Find("c.jpg"), nullptr);
    EXPECT_GT(later.entries.m_generation, generation); // the queued job is stale now
    EXPECT_EQ(later.entries.m_entries.size(), 3u);
}

TEST(FolderEntries, FirstPassEntriesAreQueuedInModeOne)
{
    ScratchFolder folder;
    WriteBytes(folder.Path() + "a.jpg", "x");
    Album first(folder.Path());
    first.Open(&first.root);
    first.FinishAll();
    first.Find("a.jpg")->m_info.nThumbState = kThumbFirstPass;
    first.entries.SavePropertyFile(&first.root);
    Album again(folder.Path());
    const auto jobs = again.Open(&again.root);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].mode, 1);
}

TEST(FolderEntries, SubfolderPreviewIsAMosaicOfItsFirstPhotos)
{
    ScratchFolder folder;
    MakeFolder(folder.Path() + "Two");
    MakeFolder(folder.Path() + "Blank");
    PhotoEntries two;
    two.push_back(std::make_unique<PhotoEntry>());
    solidThumb(*two.back(), 80, 40, 0, 0, 200);   // red, wide: 40 x 20
    two.push_back(std::make_unique<PhotoEntry>());
    solidThumb(*two.back(), 50, 100, 200, 0, 0);  // blue, tall: 20 x 40
    ASSERT_TRUE(SavePropertyRecords(folder.Path() + "Two/" + kPropertyFileName, two));
    PhotoEntries blank;
    blank.push_back(std::make_unique<PhotoEntry>());
    blank.push_back(std::make_unique<PhotoEntry>());
    solidThumb(*blank.back(), 10, 10, 0, 200, 0);
    ASSERT_TRUE(SavePropertyRecords(folder.Path() + "Blank/" + kPropertyFileName, blank));

    Album album(folder.Path());
    album.Open(&album.root);
    const CQLImage& mosaic = album.Find("Two")->m_thumb;
    UINT w = 0, h = 0;
    mosaic.GetSize(&w, &h);
    ASSERT_EQ(w, 100u);
    ASSERT_EQ(h, 100u);
    auto rgb = [&](int x, int y) {
        const BYTE* p = mosaic.GetBuffer(x, y);
        return (p[2] << 16) | (p[1] << 8) | p[0];
    };
    EXPECT_EQ(rgb(0, 0), 0xF0F0F0);
    auto red = [&](int x, int y) { return (rgb(x, y) >> 16) > 150 && (rgb(x, y) & 0xFF) < 50; };
    auto blue = [&](int x, int y) { return (rgb(x, y) & 0xFF) > 150 && (rgb(x, y) >> 16) < 50; };
    EXPECT_TRUE(red(27, 27));                               // red cell at 7..46 x 17..36
    EXPECT_EQ(rgb(27, 12), 0xF0F0F0);                       // above the wide cell
    EXPECT_TRUE(blue(72, 27));                              // blue cell at 62..81 x 7..46
    EXPECT_EQ(rgb(57, 27), 0xF0F0F0);                       // left of the tall cell
    EXPECT_EQ(rgb(27, 72), 0xF0F0F0);                       // lower quadrants empty
    EXPECT_EQ(rgb(72, 72), 0xF0F0F0);
    EXPECT_EQ(album.Find("Blank")->m_thumb.GetAreaByteSize(), 0u);
}

TEST(FolderEntries, RefreshingAnAncestorKeepsAValidCurrentFolder)
{
    ScratchFolder folder;
    MakeFolder(folder.Path() + "A/B/C");
    MakeFolder(folder.Path() + "A/B/C/D");
    WriteBytes(folder.Path() + "A/B/C/p.jpg", "x");
    Album album(folder.Path());
    FolderNode* a = album.root.FindChild("A");
    a->RefreshChildren();
    FolderNode* c = a->FindChild("B")->FindChild("C");
    ASSERT_NE(c, nullptr);
    c->ScanSubfolders(c->GetPath(), 1);
    album.Open(c);
    ASSERT_NE(album.Find("D"), nullptr);

    album.entries.RefreshChildren(&album.root);
    ASSERT_NE(album.entries.m_pCurrent, nullptr);
    EXPECT_EQ(album.entries.m_pCurrent->GetPath(), folder.Path() + "A/B/C/");
    EXPECT_EQ(album.Find("D")->m_pNode, album.entries.m_pCurrent->FindChild("D"));
    EXPECT_NE(album.Find("D")->m_pNode, nullptr);
    EXPECT_EQ(album.entries.m_entries.size(), 2u);

    fs::remove_all(folder.Path() + "A/B");
    album.entries.RefreshChildren(&album.root);
    EXPECT_EQ(album.entries.m_pCurrent, nullptr);
    EXPECT_TRUE(album.entries.m_entries.empty());
}

TEST(FolderEntries, LinkFilesTakeTheirTargetsTimesAndBrokenOnesAreSkipped)
{
    ScratchFolder folder;
    MakeFolder(folder.Path() + "photos");
    MakeFolder(folder.Path() + "links");
    CQLImage pixel;
    pixel.Create(2, 2);
    ASSERT_EQ(pixel.SaveToFile((folder.Path() + "photos/real.bmp").c_str()), 0);
    WriteBytes(folder.Path() + "photos/gone.bmp", "x");
    CQLLinkFile link;
    ASSERT_NE(link.Create((folder.Path() + "photos/real.bmp").c_str(), (folder.Path() + "links/").c_str()), 0);
    ASSERT_NE(link.Create((folder.Path() + "photos/gone.bmp").c_str(), (folder.Path() + "links/").c_str()), 0);
    fs::remove(folder.Path() + "photos/gone.bmp");

    Album album(folder.Path());
    const auto jobs = album.Open(album.root.FindChild("links"));
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(names(jobs), "real.bmp.qlk ");
    FILETIME written{};
    ASSERT_NE(link.Read(jobs[0].path.c_str()), 0);
    ASSERT_NE(link.GetFileTime(nullptr, nullptr, &written), 0);
    SYSTEMTIME expected{};
    FileTimeToSystemTime(&written, &expected);
    EXPECT_EQ(std::memcmp(&expected, &jobs[0].entry->m_info.stLastWrite, sizeof expected), 0);
}
