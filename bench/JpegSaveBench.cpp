// What saving adds to JPEG slimming on the 24-megapixel photo (quality 85,
// 4:2:0, no resize), against one JPEG encode and write by the peers at the
// same quality on the same pixels.
//   SlimSave/ours: per iteration the effect runs as the preview does (measure,
//     nothing written), then as the save does (measure and write); the time
//     is the save's run less the preview's, so it is what the save costs on
//     top of the measurement.
//   SlimSave/peer: TurboJPEG in-process (one thread), encode and write.
//   SlimSave/cjpeg: the cjpeg program, with its start and its PPM read.
//   SlimJob/save, SlimJob/preview: the two whole runs, for scale.
#include "bench/BenchSupport.h"

#include "algorithms/JpegSlimmingAlgorithm.h"
#include "imagecore/QLImage.h"

#include <turbojpeg.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kQuality = 85;

JpegSlimSettings Settings(bool save, const std::string& path)
{
    JpegSlimSettings s;
    s.quality = kQuality;
    s.chromaOption = 0;
    s.adaptive = 0;
    s.resizeMode = 0;
    s.sizeMode = 0;
    s.flags = save ? JpegSlimSettings::kMeasure : JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite;
    s.SetPath(save ? path.c_str() : "");
    return s;
}

double Seconds(JpegSlimmingAlgorithm& slim, const JpegSlimSettings& s, bool* ok)
{
    const auto start = std::chrono::steady_clock::now();
    *ok = slim.Apply(&s) == 0 && *ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void SlimSaveOurs(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/slim-save.jpg";
    const JpegSlimSettings preview = Settings(false, out), save = Settings(true, out);
    CQLImage target;
    JpegSlimmingAlgorithm slim;
    slim.SetImages(const_cast<CQLImage*>(&SyntheticPhoto()), &target);
    for (auto _ : state) {
        bool ok = true;
        const double measured = Seconds(slim, preview, &ok);
        const double saved = Seconds(slim, save, &ok);
        if (!ok) {
            state.SkipWithError("slimming failed");
            return;
        }
        state.SetIterationTime(saved > measured ? saved - measured : 0.0);
    }
    state.counters["bytes"] = slim.jpegSize;
}

void SlimSavePeer(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/slim-peer.jpg";
    tjhandle tj = tjInitCompress();
    unsigned long bytes = 0;
    for (auto _ : state) {
        unsigned char* jpeg = nullptr;
        if (tjCompress2(tj, SyntheticPhoto().GetBuffer(0, 0), kPhotoWidth, 0, kPhotoHeight, TJPF_BGRX, &jpeg, &bytes,
                        TJSAMP_420, kQuality, 0)
            != 0) {
            state.SkipWithError("tjCompress2 failed");
            break;
        }
        std::FILE* f = std::fopen(out.c_str(), "wb");
        if (!f || std::fwrite(jpeg, 1, bytes, f) != bytes)
            state.SkipWithError("write failed");
        if (f)
            std::fclose(f);
        tjFree(jpeg);
    }
    tjDestroy(tj);
    state.counters["bytes"] = static_cast<double>(bytes);
}

void SlimSaveCjpeg(benchmark::State& state)
{
    RunPeer(state, "cjpeg -quality " + std::to_string(kQuality) + " -outfile " + BenchFolder() + "/slim-cjpeg.jpg "
                       + PeerInputPpm());
}

void SlimJob(benchmark::State& state, bool save)
{
    const JpegSlimSettings s = Settings(save, BenchFolder() + "/slim-job.jpg");
    CQLImage target;
    JpegSlimmingAlgorithm slim;
    slim.SetImages(const_cast<CQLImage*>(&SyntheticPhoto()), &target);
    for (auto _ : state)
        if (slim.Apply(&s) != 0) {
            state.SkipWithError("slimming failed");
            return;
        }
}

} // namespace

BENCHMARK(SlimSaveOurs)->Name("SlimSave/ours")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(8);
BENCHMARK(SlimSavePeer)->Name("SlimSave/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SlimSaveCjpeg)->Name("SlimSave/cjpeg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SlimJob, save, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SlimJob, preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
