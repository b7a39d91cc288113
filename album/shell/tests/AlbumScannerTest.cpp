#include "album/shell/AlbumScanner.h"

#include "ShelfTestSupport.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>

using namespace shelf;
using shelftest::ScratchFolder;
namespace fs = std::filesystem;

namespace {

void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class CReadyWnd : public CWnd {
public:
    int m_ready = 0;

protected:
    LRESULT OnReady(WPARAM, LPARAM)
    {
        ++m_ready;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReadyWnd, CWnd)
    ON_MESSAGE(WM_ALBUM_ANALYSE, OnReady)
END_MESSAGE_MAP()

// Records the repaint requests by entry name, on the thread that asks.
class RecordingList : public IAnalyseNotify {
public:
    void RepaintEntry(PhotoEntry* entry, std::uint64_t generation) override
    {
        std::lock_guard lock(m_lock);
        ++m_repaints[entry->m_info.szFileName];
        m_generations.push_back(generation);
    }
    void DropItems() override
    {
        std::lock_guard lock(m_lock);
        ++m_drops;
    }
    int Repaints(const std::string& name)
    {
        std::lock_guard lock(m_lock);
        return m_repaints[name];
    }
    int Total()
    {
        std::lock_guard lock(m_lock);
        int all = 0;
        for (const auto& [name, count] : m_repaints)
            all += count;
        return all;
    }
    std::vector<std::uint64_t> Generations()
    {
        std::lock_guard lock(m_lock);
        return m_generations;
    }

private:
    std::mutex m_lock;
    std::map<std::string, int> m_repaints;
    std::vector<std::uint64_t> m_generations;
    int m_drops = 0;
};

void writePhotos(const std::string& folder, int count)
{
    CQLImage photo;
    photo.Create(64, 48);
    std::memset(photo.GetBuffer(0, 0), 120, photo.GetAreaByteSize());
    CQLImageCodec codec;
    for (int i = 0; i < count; ++i)
        ASSERT_NE(codec.SaveFile((folder + "p" + std::to_string(i) + ".jpg").c_str(), &photo), 0);
}

PhotoEntries savedRecords(const std::string& folder)
{
    PhotoEntries records;
    LoadPropertyRecords(folder + kPropertyFileName, records);
    return records;
}

class Scanner : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        m_scanner.SetNotifyList(&m_list);
    }
    void TearDown() override
    {
        m_scanner.SetNotifyList(nullptr);
        m_wnd.DestroyWindow();
    }
    FolderNode* Root()
    {
        if (m_root.m_name.empty())
            m_root.ScanSubfolders(m_folder.Path(), 1);
        return &m_root;
    }

    ScratchFolder m_folder;
    FolderNode m_root;
    CReadyWnd m_wnd;
    RecordingList m_list;
    AlbumScanner m_scanner;
};

} // namespace

TEST_F(Scanner, ThreePhotosGiveThreeRunsAndOneReadyMessage)
{
    writePhotos(m_folder.Path(), 3);
    m_scanner.SetNotifyWindow(m_wnd.m_hWnd);
    ASSERT_EQ(m_scanner.OpenFolder(Root()), 1);
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_ready > 0; }));
    Pump(100);
    EXPECT_EQ(m_wnd.m_ready, 1);
    EXPECT_EQ(m_list.Total(), 3);
    EXPECT_EQ(m_scanner.IsAllComplete(), 1);
    const PhotoEntries records = savedRecords(m_folder.Path());
    ASSERT_EQ(records.size(), 3u);
    for (const auto& r : records) {
        EXPECT_EQ(r->m_info.nThumbState, kThumbDone);
        EXPECT_EQ(r->m_info.nWidth, 64);
        EXPECT_GT(r->m_thumb.GetAreaByteSize(), 0u);
    }
    // Opened again, nothing is queued and nothing is announced.
    m_scanner.OpenFolder(Root());
    EXPECT_TRUE(m_scanner.GetThread()->IsIdle());
}

TEST_F(Scanner, ModifiedPhotoWithExposureDataGetsASecondPass)
{
    using namespace exiftest;
    const std::string path = JpegWithExif(m_folder.Path() + "cam.jpg", {Text(0x0110, "Cam"), Rational(0x829A, 1, 125)});
    m_scanner.SetNotifyWindow(m_wnd.m_hWnd);
    m_scanner.OpenFolder(Root());
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_ready == 1; }));
    EXPECT_EQ(m_list.Repaints("cam.jpg"), 1); // its record was new: one pass

    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(10));
    m_scanner.OpenFolder(Root());
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_ready == 2; }));
    EXPECT_EQ(m_list.Repaints("cam.jpg"), 3); // state 1, then 2
    const PhotoEntries records = savedRecords(m_folder.Path());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->m_info.nThumbState, kThumbDone);
    EXPECT_STREQ(records[0]->m_info.szModel, "Cam");
}

TEST_F(Scanner, AnotherFolderDropsTheQueuedJobsAtOnce)
{
    const std::string a = m_folder.Path() + "a/", b = m_folder.Path() + "b/";
    fs::create_directories(a);
    fs::create_directories(b);
    writePhotos(a, 100);
    writePhotos(b, 2);
    m_scanner.SetNotifyWindow(m_wnd.m_hWnd);
    Root();
    m_scanner.OpenFolder(m_root.FindChild("a"));
    m_scanner.OpenFolder(m_root.FindChild("b"));
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_ready > 0; }));
    // Each folder's entries have a generation of their own: b's got two
    // repaints, and a's few stopped at the switch.
    const std::uint64_t generationOfB = m_scanner.m_model.m_generation;
    const auto generations = m_list.Generations();
    EXPECT_EQ(std::count(generations.begin(), generations.end(), generationOfB), 2);
    EXPECT_LT(generations.size(), 100u + 2u);
    EXPECT_EQ(savedRecords(b).size(), 2u);
    // The first folder kept only what was complete.
    for (const auto& r : savedRecords(a))
        EXPECT_GT(r->m_thumb.GetAreaByteSize(), 0u);
}

// The folder left is written off the caller's path; coming straight back
// reads what was left, finished thumbnails and all.
TEST_F(Scanner, ComingBackAtOnceReadsTheFolderJustLeft)
{
    const std::string a = m_folder.Path() + "a/", b = m_folder.Path() + "b/";
    fs::create_directories(a);
    fs::create_directories(b);
    writePhotos(a, 40);
    Root();
    m_scanner.OpenFolder(m_root.FindChild("a"));
    ASSERT_TRUE(PumpUntil([&] { return m_list.Total() >= 3; }));
    m_scanner.OpenFolder(m_root.FindChild("b"));
    const int finished = m_list.Total();
    m_scanner.OpenFolder(m_root.FindChild("a"));
    int complete = 0;
    {
        std::lock_guard lock(m_scanner.GetThread()->m_mutex);
        for (const auto& entry : m_scanner.m_model.m_entries)
            complete += entry->IsComplete();
    }
    EXPECT_GE(complete, std::min(finished, 3));
    m_scanner.CloseFolder();
}

TEST_F(Scanner, ALateWindowStillGetsOneReadyMessage)
{
    writePhotos(m_folder.Path(), 2);
    m_scanner.OpenFolder(Root());
    ASSERT_TRUE(PumpUntil([&] { return m_scanner.GetThread()->IsIdle() && fs::exists(m_folder.Path() + kPropertyFileName); }));
    Pump(50);
    m_scanner.SetNotifyWindow(m_wnd.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_ready > 0; }));
    Pump(50);
    EXPECT_EQ(m_wnd.m_ready, 1);
}

TEST_F(Scanner, RescanAndRebuildAfterThePass)
{
    writePhotos(m_folder.Path(), 2);
    m_scanner.SetNotifyWindow(m_wnd.m_hWnd);
    m_scanner.OpenFolder(Root());
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.m_ready > 0; }));
    fs::remove(m_folder.Path() + "p1.jpg");
    writePhotos(m_folder.Path(), 0);
    ASSERT_EQ(m_scanner.Rescan(), 1);
    EXPECT_EQ(savedRecords(m_folder.Path()).size(), 1u);
    PhotoEntry* entry = m_scanner.m_model.m_entries.front().get();
    m_scanner.RebuildThumbnail(entry);
    EXPECT_GT(entry->m_thumb.GetAreaByteSize(), 0u);
    m_scanner.CloseFolder();
    EXPECT_EQ(m_scanner.Rescan(), 0);
}

// Run under ThreadSanitizer too (QUILLO_TSAN): the UI side and the thread
// with its decode pool meet on every call here.
TEST_F(Scanner, OpenSwitchRescanCloseLoop)
{
    const std::string a = m_folder.Path() + "a/", b = m_folder.Path() + "b/";
    fs::create_directories(a);
    fs::create_directories(b);
    writePhotos(a, 12);
    writePhotos(b, 5);
    m_scanner.SetNotifyWindow(m_wnd.m_hWnd);
    Root();
    for (int round = 0; round < 10; ++round) {
        m_scanner.OpenFolder(m_root.FindChild("a"));
        m_scanner.OpenFolder(m_root.FindChild("b"));
        m_scanner.Rescan();
        Pump(5);
        m_scanner.CloseFolder();
        EXPECT_TRUE(m_scanner.GetThread()->IsIdle());
    }
    m_scanner.OpenFolder(m_root.FindChild("a"));
    ASSERT_TRUE(PumpUntil([&] { return m_scanner.IsAllComplete() && m_scanner.GetThread()->IsIdle(); }));
    EXPECT_EQ(savedRecords(a).size(), 12u);
}
