// The geometry dialogs' full-size work on a 24 MP photo, each beside vips on
// the same photo: Transform's quarter turn beside `vips rot d90`, and Image
// Size's bilinear half with the four-neighbour sharpen beside `vips resize
// 0.5` then `vips sharpen`. The peer reads and writes its own .v format (a
// plain copy of the pixels), made once before timing.
#include "BenchSupport.h"

#include "algorithms/RotateFlipAlgorithm.h"
#include "editor/adjust/ImageSizeDlg.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdlib>
#include <string>

namespace {

// The photo in vips' own format; empty when vips is not installed.
std::string VipsInput()
{
    static const std::string input = [] {
        const std::string path = BenchFolder() + "/geometry-in.v";
        return std::system(("vips copy " + PeerInputPpm() + " " + path + " >/dev/null 2>&1").c_str()) == 0
                   ? path
                   : std::string();
    }();
    return input;
}

void TransformRotate(benchmark::State& state)
{
    CQLImage source;
    source.DuplicateFrom(&SyntheticPhoto());
    CQLImage target;
    const DWORD mode = RotateFlipAlgorithm::RotateRight;
    for (auto _ : state) {
        RotateFlipAlgorithm rotate;
        rotate.SetImages(&source, &target);
        if (rotate.Apply(&mode) != 0) {
            state.SkipWithError("rotate failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void Peer_VipsRotate(benchmark::State& state)
{
    const std::string input = VipsInput();
    if (input.empty()) {
        state.SkipWithError("vips is not installed");
        return;
    }
    RunPeer(state, "vips rot " + input + " " + BenchFolder() + "/geometry-rot.v d90");
}

void ImageSizeBilinear(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImageCodec codec;
    for (auto _ : state) {
        CQLImage half;
        if (!codec.Resample(&photo, &half, kPhotoWidth / 2, kPhotoHeight / 2, 1)) {
            state.SkipWithError("resample failed");
            return;
        }
        imagesize::SharpenFourNeighbour(&half);
        benchmark::DoNotOptimize(half.GetBuffer(0, 0));
    }
}

void Peer_VipsResizeSharpen(benchmark::State& state)
{
    const std::string folder = BenchFolder();
    const std::string input = VipsInput();
    if (input.empty()) {
        state.SkipWithError("vips is not installed");
        return;
    }
    RunPeer(state, "vips resize " + input + " " + folder + "/imagesize-half.v 0.5 && vips sharpen " + folder +
                       "/imagesize-half.v " + folder + "/imagesize-sharp.v");
}

}  // namespace

BENCHMARK(TransformRotate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_VipsRotate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageSizeBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_VipsResizeSharpen)->Unit(benchmark::kMillisecond)->UseRealTime();
