// "Image Size" with the bilinear method on a 24 MP photo to half its size:
// the codec's resample and the four-neighbour sharpen, beside `vips resize
// 0.5` then `vips sharpen` on the same photo. The peer reads and writes its
// own .v format (a plain copy of the pixels), made once before timing.
#include "BenchSupport.h"

#include "editor/adjust/ImageSizeDlg.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdlib>
#include <string>

namespace {

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
    const std::string input = folder + "/imagesize-in.v";
    if (std::system(("vips copy " + PeerInputPpm() + " " + input + " >/dev/null 2>&1").c_str()) != 0) {
        state.SkipWithError("vips is not installed");
        return;
    }
    RunPeer(state, "vips resize " + input + " " + folder + "/imagesize-half.v 0.5 && vips sharpen " + folder +
                       "/imagesize-half.v " + folder + "/imagesize-sharp.v");
}

}  // namespace

BENCHMARK(ImageSizeBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_VipsResizeSharpen)->Unit(benchmark::kMillisecond)->UseRealTime();
