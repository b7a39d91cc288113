// QuilloDevelop's 16-bit work on the 24-megapixel photo widened to 16 bits:
// the adjust job with the default sliders and with every slider moved,
// beside ImageMagick doing the like (gain, saturation, unsharp, noise) on the
// same picture as a 16-bit TIFF; how soon a stop ends a run in the middle of
// the sharpen step; and the 16-to-8-bit conversion without and with
// sharpening beside ImageMagick's -depth 8.
#include "BenchSupport.h"
#include "Photo16Support.h"

#include "develop/DevelopAdjustJob.h"
#include "develop/DevelopState.h"
#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

void RunAdjust(benchmark::State& state, const develop::AdjustParams& params)
{
    develop::DevelopAdjustJob job;
    C16BitBitmap target;
    job.SetImages(&Photo16(), &target);
    for (auto _ : state) {
        if (job.Run(&params) != 0) {
            state.SkipWithError("adjust failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void Adjust_Defaults(benchmark::State& state) { RunAdjust(state, develop::AdjustParams{}); }

void Adjust_EverySlider(benchmark::State& state)
{
    RunAdjust(state, develop::AdjustParams{10, 20, 30, 160, 40, 30});
}

void Peer_MagickAdjust(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputTiff16() +
                       " -evaluate multiply 1.5 -modulate 100,130 -unsharp 0x1 -attenuate 0.3 +noise Gaussian " +
                       BenchFolder() + "/adjusted.tif");
}

// The job's progress: set once a run is inside the sharpen step.
std::atomic<bool> g_inSharpen{false};
UINT WatchProgress(UINT, UINT value)
{
    if (value > 60 && value < 80)
        g_inSharpen = true;
    return 0;
}

// From the interface thread's RequestStop to the end of Run.
void Adjust_StopInSharpen(benchmark::State& state)
{
    develop::DevelopAdjustJob job;
    C16BitBitmap target;
    job.SetImages(&Photo16(), &target);
    job.SetCallback(WatchProgress);
    const develop::AdjustParams params{0, 0, 0, 100, 40, 30};
    for (auto _ : state) {
        g_inSharpen = false;
        std::atomic<bool> ended{false};
        std::chrono::steady_clock::time_point end;
        std::thread worker([&] {
            job.Run(&params);
            end = std::chrono::steady_clock::now();
            ended = true;
        });
        while (!g_inSharpen && !ended)
            std::this_thread::yield();
        const auto start = std::chrono::steady_clock::now();
        job.RequestStop();
        worker.join();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void Convert(benchmark::State& state)
{
    const int amount = static_cast<int>(state.range(0));
    CQLImage out;
    for (auto _ : state) {
        if (!develop::ConvertTo8Bit(Photo16(), &out, amount)) {
            state.SkipWithError("conversion failed");
            return;
        }
        benchmark::DoNotOptimize(out.GetBuffer(0, 0));
    }
}

void Peer_MagickDepth8(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputTiff16() + " -depth 8 " + BenchFolder() + "/depth8.ppm");
}

} // namespace

BENCHMARK(Adjust_Defaults)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Adjust_EverySlider)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickAdjust)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(Adjust_StopInSharpen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(Convert)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickDepth8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
