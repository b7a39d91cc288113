// Image core on a 24-megapixel photo: grey channel, BMP save and load,
// against ImageMagick and libvips doing the same to the same file.
#include "bench/BenchSupport.h"

#include "imagecore/QLImage.h"

namespace {

constexpr unsigned kWidth = kPhotoWidth;
constexpr unsigned kHeight = kPhotoHeight;


const std::string& PhotoBmp()
{
    static const std::string path = [] {
        std::string p = BenchFolder() + "/photo.bmp";
        const_cast<CQLImage&>(SyntheticPhoto()).SaveToFile(p.c_str());
        return p;
    }();
    return path;
}

void BM_BuildGrayChannel(benchmark::State& state)
{
    CQLImage image;
    image.DuplicateFrom(&SyntheticPhoto());
    for (auto _ : state)
        benchmark::DoNotOptimize(image.BuildGrayChannel());
    state.SetBytesProcessed(state.iterations() * image.GetAreaByteSize());
}
BENCHMARK(BM_BuildGrayChannel)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsGrey(benchmark::State& state)
{
    const std::string v = BenchFolder() + "/photo.v";
    std::system(("vips copy " + PhotoBmp() + " " + v + " >/dev/null 2>&1").c_str());
    RunPeer(state, "vips colourspace " + v + " " + BenchFolder() + "/grey.v b-w");
}
BENCHMARK(BM_Peer_VipsGrey)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BmpSave(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/save.bmp";
    for (auto _ : state)
        benchmark::DoNotOptimize(const_cast<CQLImage&>(SyntheticPhoto()).SaveToFile(out.c_str()));
}
BENCHMARK(BM_BmpSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BmpLoad(benchmark::State& state)
{
    const std::string& in = PhotoBmp();
    CQLImage image;
    for (auto _ : state)
        benchmark::DoNotOptimize(image.LoadFromFile(in.c_str()));
}
BENCHMARK(BM_BmpLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

// Load and save in one step, which is what a peer program's run costs.
void BM_BmpLoadSave(benchmark::State& state)
{
    const std::string& in = PhotoBmp();
    const std::string out = BenchFolder() + "/copy.bmp";
    CQLImage image;
    for (auto _ : state) {
        image.LoadFromFile(in.c_str());
        benchmark::DoNotOptimize(image.SaveToFile(out.c_str()));
    }
}
BENCHMARK(BM_BmpLoadSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_ImageMagickBmpCopy(benchmark::State& state)
{
    RunPeer(state, "convert " + PhotoBmp() + " BMP3:" + BenchFolder() + "/im.bmp");
}
BENCHMARK(BM_Peer_ImageMagickBmpCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsBmpCopy(benchmark::State& state)
{
    RunPeer(state, "vips copy " + PhotoBmp() + " " + BenchFolder() + "/vips.bmp");
}
BENCHMARK(BM_Peer_VipsBmpCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
