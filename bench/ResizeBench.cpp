// The resize effect on the synthetic 24-megapixel photo and on a 1-megapixel
// preview: to half, to 1.5 times and to a third, against `vips resize` and
// ImageMagick's `convert -resize` on the same pixels (binary PPM in, each
// peer's cheapest output out). Peer times include starting the process and
// reading and writing the files: Peer_*Copy time that alone. Ours are
// in-process. Everything runs on all cores, the peers too. ImageMagick's
// system policy caps its pixel cache at 256 MiB, so its 9000 x 6000 result
// goes through a disk cache and takes minutes: that case is skipped.
#include "bench/BenchSupport.h"

#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/RotateFlipAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const CQLImage& Input(bool photo)
{
    return photo ? SyntheticPhoto() : SyntheticPreview();
}

const std::string& InputPpm(bool photo)
{
    return PeerInputPpm(!photo);
}

// num / den of the input's sides.
void Ours(benchmark::State& state, bool photo, int num, int den)
{
    const CQLImage& src = Input(photo);
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    const ResizeParams size{static_cast<INT>(w * num / den), static_cast<INT>(h * num / den)};
    CQLImage target;
    ResampleAlgorithm resize;
    resize.SetImages(const_cast<CQLImage*>(&src), &target);
    for (auto _ : state) {
        if (resize.Apply(&size) != 0) {
            state.SkipWithError("resize failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}

std::string Scale(int num, int den)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(num) / den);
    return text;
}

void Vips(benchmark::State& state, bool photo, int num, int den)
{
    RunPeer(state, "vips resize " + InputPpm(photo) + " " + BenchFolder() + "/vips-out.v " + Scale(num, den));
}

void Magick(benchmark::State& state, bool photo, int num, int den)
{
    const CQLImage& src = Input(photo);
    UINT w = 0, h = 0;
    src.GetSize(&w, &h);
    // Debian's memory policy for ImageMagick sends a 54-megapixel result
    // through its disk cache: minutes per run, which says nothing of resizing.
    if (photo && num > den) {
        state.SkipWithError("ImageMagick's memory policy puts the enlarged photo in its disk cache");
        return;
    }
    const std::string geometry = std::to_string(w * num / den) + "x" + std::to_string(h * num / den) + "!";
    RunPeer(state, "convert " + InputPpm(photo) + " -resize " + geometry + " " + BenchFolder() + "/magick-out.ppm");
}

void Peer_VipsCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "vips copy " + InputPpm(photo) + " " + BenchFolder() + "/vips-copy.v");
}

void Peer_MagickCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + InputPpm(photo) + " " + BenchFolder() + "/magick-copy.ppm");
}

void RotateRight(benchmark::State& state)
{
    CQLImage target;
    RotateFlipAlgorithm turn;
    turn.SetImages(const_cast<CQLImage*>(&SyntheticPhoto()), &target);
    const DWORD mode = RotateFlipAlgorithm::RotateRight;
    for (auto _ : state) {
        turn.Apply(&mode);
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

#define RESIZE_CASE(name, photo, num, den)                                                       \
    BENCHMARK_CAPTURE(Ours, name, photo, num, den)->Unit(benchmark::kMillisecond)->UseRealTime();  \
    BENCHMARK_CAPTURE(Vips, name, photo, num, den)->Unit(benchmark::kMillisecond)->UseRealTime();  \
    BENCHMARK_CAPTURE(Magick, name, photo, num, den)->Unit(benchmark::kMillisecond)->UseRealTime()

RESIZE_CASE(Photo_Half, true, 1, 2);
RESIZE_CASE(Photo_OneAndHalf, true, 3, 2);
RESIZE_CASE(Photo_Third, true, 1, 3);
RESIZE_CASE(Preview_Half, false, 1, 2);
RESIZE_CASE(Preview_OneAndHalf, false, 3, 2);
RESIZE_CASE(Preview_Third, false, 1, 3);
BENCHMARK_CAPTURE(Peer_VipsCopy, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_MagickCopy, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_VipsCopy, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_MagickCopy, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RotateRight)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
