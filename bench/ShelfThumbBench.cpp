// The album's folder cache: the thumbnail of one camera-sized JPEG against
// vipsthumbnail on the same file; the first visit of a folder of 1,000 camera
// JPEGs from OpenFolder to the ready message against vipsthumbnail run one
// process per core over the same names; a second visit of a folder whose
// property file is complete (no job may be queued; the name lookup is hashed);
// and the switch to another folder while 900 jobs are queued.
#include "BenchSupport.h"

#include "album/shell/AlbumScanner.h"
#include "album/shell/AnalyseWork.h"
#include "album/shell/FolderEntries.h"
#include "editor/shell/ExifInfo.h"
#include "platform/afx/Afx.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>
#include <QElapsedTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

// A 4000 x 3000 photo at quality 92, written once.
const std::string& CameraJpeg()
{
    static const std::string path = [] {
        CQLImage photo;
        MakeSyntheticPhoto(photo, 4000, 3000);
        const std::string file = BenchFolder() + "/camera.jpg";
        CQLImageCodec().SaveJpegFile(file.c_str(), &photo, 92, 72);
        return file;
    }();
    return path;
}

void BM_MakeThumbnail(benchmark::State& state)
{
    CQLImageCodec codec;
    for (auto _ : state) {
        shelf::ThumbnailResult result;
        shelf::MakeThumbnail(codec, CameraJpeg().c_str(), static_cast<int>(state.range(0)), result);
        if (!result.made)
            state.SkipWithError("no thumbnail");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MakeThumbnail)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PeerVipsThumbnail(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/vips-thumb.jpg";
    RunPeer(state, "vipsthumbnail --size 100x100 -o " + out + " " + CameraJpeg());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PeerVipsThumbnail)->Unit(benchmark::kMillisecond);

// A folder of count photo names whose property file records every one as done.
std::string CompleteFolder(int count)
{
    const std::string folder = BenchFolder() + "/visit" + std::to_string(count) + "/";
    if (fs::exists(folder + shelf::kPropertyFileName))
        return folder;
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        std::ofstream(folder + "IMG_" + std::to_string(10000 + i) + ".JPG") << 'x';
    shelf::FolderNode node;
    node.m_name = folder;
    shelf::FolderEntries entries;
    entries.m_pCurrent = &node;
    std::vector<shelf::AnalyseJob> jobs;
    entries.ScanFolder(jobs);
    for (const auto& entry : entries.m_entries) {
        entry->m_thumb.Create(100, 75);
        entry->m_info.nThumbState = shelf::kThumbDone;
    }
    entries.SavePropertyFile(&node);
    return folder;
}

void BM_SecondVisit(benchmark::State& state)
{
    const std::string folder = CompleteFolder(static_cast<int>(state.range(0)));
    shelf::FolderNode node;
    node.m_name = folder;
    for (auto _ : state) {
        shelf::FolderEntries entries;
        entries.m_pCurrent = &node;
        entries.LoadPropertyFile();
        std::vector<shelf::AnalyseJob> jobs;
        if (entries.ScanFolder(jobs) != 0 || entries.m_bDirty)
            state.SkipWithError("a complete folder queued jobs");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SecondVisit)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The camera folder: 1,000 names hard-linked to 20 distinct 4000 x 3000
// JPEGs at quality 92 with the EXIF a camera writes; kept between runs,
// because making it takes a while.
constexpr int kCameraPhotos = 1000;
constexpr int kDistinctPhotos = 20;

std::string CameraFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::string base = cache && *cache ? cache : std::string(std::getenv("HOME") ? std::getenv("HOME") : "/tmp") + "/.cache";
    const std::string root = base + "/quillo-bench/shelf-camera/";
    const std::string photos = root + "photos/";
    if (fs::exists(photos + "IMG_" + std::to_string(10000 + kCameraPhotos - 1) + ".JPG"))
        return photos;
    fs::create_directories(root + "distinct");
    fs::create_directories(photos);
    CQLImageCodec codec;
    for (int n = 0; n < kDistinctPhotos; ++n) {
        CQLImage photo;
        MakeSyntheticPhoto(photo, 4000, 3000);
        // Each photo its own: a shifted band of colour.
        for (int y = n * 100; y < n * 100 + 600; ++y)
            for (int x = 0; x < 4000; ++x)
                photo.GetBuffer(x, y)[n % 3] ^= static_cast<BYTE>(40 + n * 9);
        const std::string file = root + "distinct/photo" + std::to_string(n) + ".jpg";
        codec.SaveJpegFile(file.c_str(), &photo, 92, 72);
        ExifInfo exif;
        ExifFields& f = exif.GetFields();
        f.hasExif = 1;
        std::snprintf(f.make, sizeof f.make, "Quillo Camera Works");
        std::snprintf(f.model, sizeof f.model, "QC-%d", 10 + n);
        std::snprintf(f.dateTime, sizeof f.dateTime, "2024:05:%02d 10:%02d:00", 1 + n, n);
        f.exposureTime = 1.0 / (60 + 10 * n);
        f.fNumber = 2.8 + n * 0.1;
        f.isoSpeed = static_cast<short>(100 * (1 + n % 8));
        exif.WriteToFile(FALSE, file.c_str(), TRUE);
    }
    for (int i = 0; i < kCameraPhotos; ++i) {
        const std::string name = photos + "IMG_" + std::to_string(10000 + i) + ".JPG";
        std::error_code error;
        fs::create_hard_link(root + "distinct/photo" + std::to_string(i % kDistinctPhotos) + ".jpg", name, error);
    }
    return photos;
}

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "bench_shelfthumb";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
}

class CReadyWnd : public CWnd {
public:
    std::atomic<int> m_ready{0};

protected:
    LRESULT OnReady(WPARAM, LPARAM)
    {
        ++m_ready;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReadyWnd, CWnd)
    ON_MESSAGE(shelf::WM_ALBUM_ANALYSE, OnReady)
END_MESSAGE_MAP()

// Notes when the first screenful of entries has been repainted.
class ScreenfulList : public shelf::IAnalyseNotify {
public:
    explicit ScreenfulList(const QElapsedTimer& clock) : m_clock(clock) {}
    void RepaintEntry(shelf::PhotoEntry*, std::uint64_t) override
    {
        if (++m_count == 50)
            m_screenfulNs = m_clock.nsecsElapsed();
    }
    void DropItems() override {}
    std::atomic<int> m_count{0};
    std::atomic<qint64> m_screenfulNs{0};

private:
    const QElapsedTimer& m_clock;
};

void PumpUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// (a) The first visit: OpenFolder to WM_USER+2440 with no property file.
void BM_FirstVisit(benchmark::State& state)
{
    EnsureApplication();
    const std::string folder = CameraFolder();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    double openMs = 0, screenfulMs = 0, totalS = 0, afterScreenfulS = 0;
    for (auto _ : state) {
        std::filesystem::remove(folder + shelf::kPropertyFileName);
        CReadyWnd wnd;
        wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
        QElapsedTimer clock;
        ScreenfulList list(clock);
        shelf::AlbumScanner scanner;
        scanner.m_programFolder = BenchFolder() + "/"; // the date albums
        scanner.SetNotifyList(&list);
        scanner.SetNotifyWindow(wnd.m_hWnd);
        shelf::FolderNode root;
        root.ScanSubfolders(folder, 1);
        clock.start();
        scanner.OpenFolder(&root);
        openMs += clock.nsecsElapsed() / 1e6;
        PumpUntil([&] { return wnd.m_ready.load() > 0; });
        const double total = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(total);
        totalS += total;
        screenfulMs += list.m_screenfulNs / 1e6;
        afterScreenfulS += total - list.m_screenfulNs / 1e9;
        if (list.m_count < kCameraPhotos)
            state.SkipWithError("not every entry was repainted");
        scanner.SetNotifyList(nullptr);
        scanner.CloseFolder();
        wnd.DestroyWindow();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["open_ms"] = openMs / runs;
    state.counters["screenful_ms"] = screenfulMs / runs;
    state.counters["thumbs_per_s"] = kCameraPhotos * runs / totalS;
    state.counters["per_core_after_screenful"] = (kCameraPhotos - 50) * runs / afterScreenfulS / cores;
    state.counters["cores"] = cores;
}
BENCHMARK(BM_FirstVisit)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// (b) The peer over the same names: one vipsthumbnail process per core,
// each decoding on one thread.
void BM_PeerVipsFolder(benchmark::State& state)
{
    if (std::system("command -v vipsthumbnail >/dev/null 2>&1") != 0) {
        state.SkipWithError("vipsthumbnail is not installed (bench/run installs the peers)");
        return;
    }
    const std::string folder = CameraFolder();
    const std::string out = BenchFolder() + "/vips-folder/";
    fs::create_directories(out);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::string command = "cd '" + folder + "' && ls | grep '\\.JPG$' | VIPS_CONCURRENCY=1 xargs -P " +
                                std::to_string(cores) + " -n 25 vipsthumbnail --size 100x100 -o '" + out +
                                "%s.jpg'";
    double totalS = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("peer failed: " + command).c_str());
            return;
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        totalS += seconds;
    }
    // The work is in the child processes: rates from the wall clock.
    state.counters["thumbs_per_s"] = kCameraPhotos * static_cast<double>(state.iterations()) / totalS;
    state.counters["per_core"] = kCameraPhotos * static_cast<double>(state.iterations()) / totalS / cores;
}
BENCHMARK(BM_PeerVipsFolder)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// (d) OpenFolder of another folder while about 900 jobs are queued: the
// time the caller is blocked.
void BM_SwitchWhileQueued(benchmark::State& state)
{
    EnsureApplication();
    const std::string folder = CameraFolder();
    const std::string other = CompleteFolder(50); // a screenful
    for (auto _ : state) {
        std::filesystem::remove(folder + shelf::kPropertyFileName);
        shelf::AlbumScanner scanner;
        scanner.m_programFolder = BenchFolder() + "/";
        shelf::FolderNode root;
        root.ScanSubfolders(folder, 1);
        shelf::FolderNode next;
        next.ScanSubfolders(other, 1);
        scanner.OpenFolder(&root);
        while (scanner.GetThread()->m_nCount > 900)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state.counters["queued"] = scanner.GetThread()->m_nCount.load();
        QElapsedTimer clock;
        clock.start();
        scanner.OpenFolder(&next);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        scanner.CloseFolder();
    }
}
BENCHMARK(BM_SwitchWhileQueued)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
