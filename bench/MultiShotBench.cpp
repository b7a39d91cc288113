// Merging shots of one scene: the noise-reduction average over four
// 12-megapixel photos and the HDR merge over three, beside ImageMagick's
// mean of the same files; peak memory shows that photos are loaded one at a
// time. And the HDR dialog's preview.
#include "BenchSupport.h"

#include "editor/retouch/HDRDetailDlg.h"
#include "editor/retouch/MultiWork.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned kShotWidth = 4000;
constexpr unsigned kShotHeight = 3000;

// Four JPEG files of one 12-megapixel scene, written once.
const std::vector<std::string>& ShotFiles()
{
    static const std::vector<std::string> files = [] {
        CQLImage shot;
        MakeSyntheticPhoto(shot, kShotWidth, kShotHeight);
        CQLImageCodec codec;
        std::vector<std::string> out;
        for (int i = 0; i < 4; ++i) {
            out.push_back(BenchFolder() + "/shot" + std::to_string(i) + ".jpg");
            codec.SaveJpegFile(out.back().c_str(), &shot, 90, 72);
        }
        return out;
    }();
    return files;
}

template <class Work>
void FillWork(Work& work, int count)
{
    for (int i = 0; i < count; ++i) {
        auto* photo = new MergePhoto;
        std::snprintf(photo->path, sizeof photo->path, "%s", ShotFiles()[i].c_str());
        std::memset(photo->weights, 33, sizeof photo->weights);
        work.photos.push_back(photo);
    }
    work.width = kShotWidth;
    work.height = kShotHeight;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void BM_RunAverage4(benchmark::State& state)
{
    ShotFiles();
    for (auto _ : state) {
        CMultiNRWork work;
        FillWork(work, 4);
        if (CMultiWork::RunAverage(&work, &work.host) != 0)
            state.SkipWithError("merge failed");
    }
    state.SetItemsProcessed(state.iterations() * 4);
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_RunHDR3(benchmark::State& state)
{
    ShotFiles();
    for (auto _ : state) {
        CMultiHDRWork work;
        FillWork(work, 3);
        if (CMultiWork::RunHDR(&work, &work.host) != 0)
            state.SkipWithError("merge failed");
    }
    state.SetItemsProcessed(state.iterations() * 3);
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_PeerMagickMean4(benchmark::State& state)
{
    const auto& f = ShotFiles();
    RunPeer(state, "convert " + f[0] + " " + f[1] + " " + f[2] + " " + f[3] + " -evaluate-sequence mean null:");
    state.SetItemsProcessed(state.iterations() * 4);
}

void BM_PeerMagickMean3(benchmark::State& state)
{
    const auto& f = ShotFiles();
    RunPeer(state, "convert " + f[0] + " " + f[1] + " " + f[2] + " -evaluate-sequence mean null:");
    state.SetItemsProcessed(state.iterations() * 3);
}

// The HDR dialog's preview, recomputed on the interface thread at each
// slider release: three 512-pixel thumbnails.
void BM_HdrPreview512(benchmark::State& state)
{
    CMultiHDRWork work;
    FillWork(work, 3);
    CHDRDetailDlg dlg(&work, nullptr);
    for (CQLImage* thumb : {&dlg.reference, &dlg.brighter, &dlg.darker})
        MakeSyntheticPhoto(*thumb, 512, 384);
    dlg.referencePhoto = work.photos[0];
    dlg.brighterPhoto = work.photos[1];
    dlg.darkerPhoto = work.photos[2];
    for (auto _ : state)
        dlg.ComputePreview();
}

}  // namespace

BENCHMARK(BM_HdrPreview512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunAverage4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickMean4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunHDR3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeerMagickMean3)->Unit(benchmark::kMillisecond)->UseRealTime();
