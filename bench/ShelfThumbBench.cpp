// The album's folder cache: the thumbnail of one camera-sized JPEG against
// vipsthumbnail on the same file, and a second visit of a folder whose
// property file is complete (no job may be queued; the name lookup is hashed).
#include "BenchSupport.h"

#include "album/shell/AnalyseWork.h"
#include "album/shell/FolderEntries.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

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

} // namespace
