// The general bitmap on a 24-megapixel photo: box-filtered shrink, bilinear
// enlargement, quarter turn and grey conversion, against libvips doing the
// same to the same pixels.
#include "bench/BenchSupport.h"

#include "imagecore/QLImage.h"
#include "imagecore/XImage.h"

#include <cstdlib>
#include <string>

namespace {

// The synthetic photo as a 24-bit bitmap (made once).
const CxImage& Photo24()
{
    static const CxImage* photo = [] {
        auto* img = new CxImage(kPhotoWidth, kPhotoHeight, 24);
        const CQLImage& src = SyntheticPhoto();
        for (unsigned y = 0; y < kPhotoHeight; ++y) {
            BYTE* d = img->GetBits() + static_cast<std::size_t>(kPhotoHeight - 1 - y) * img->GetEffWidth();
            for (unsigned x = 0; x < kPhotoWidth; ++x) {
                const BYTE* s = src.GetBuffer(static_cast<int>(x), static_cast<int>(y));
                d[3 * x] = s[0];
                d[3 * x + 1] = s[1];
                d[3 * x + 2] = s[2];
            }
        }
        return img;
    }();
    return *photo;
}

// The same photo in libvips' own format, for the peers.
const std::string& PhotoVips()
{
    static const std::string path = [] {
        const std::string bmp = BenchFolder() + "/ximage.bmp";
        const std::string v = BenchFolder() + "/ximage.v";
        const_cast<CQLImage&>(SyntheticPhoto()).SaveToFile(bmp.c_str());
        std::system(("vips copy " + bmp + " " + v + " >/dev/null 2>&1").c_str());
        return v;
    }();
    return path;
}

void BM_ShrinkBox4(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CxImage img(Photo24());
        state.ResumeTiming();
        benchmark::DoNotOptimize(img.Resample(kPhotoWidth / 4, kPhotoHeight / 4, 0));
    }
}
BENCHMARK(BM_ShrinkBox4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsShrink4(benchmark::State& state)
{
    RunPeer(state, "vips shrink " + PhotoVips() + " " + BenchFolder() + "/shrink.v 4 4");
}
BENCHMARK(BM_Peer_VipsShrink4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EnlargeBilinear(benchmark::State& state)
{
    CxImage small(Photo24());
    small.Resample(kPhotoWidth / 4, kPhotoHeight / 4, 1);
    for (auto _ : state) {
        state.PauseTiming();
        CxImage img(small);
        state.ResumeTiming();
        benchmark::DoNotOptimize(img.Resample(kPhotoWidth, kPhotoHeight, 0));
    }
}
BENCHMARK(BM_EnlargeBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsEnlargeBilinear(benchmark::State& state)
{
    const std::string small = BenchFolder() + "/small.v";
    std::system(("vips shrink " + PhotoVips() + " " + small + " 4 4 >/dev/null 2>&1").c_str());
    RunPeer(state, "vips resize " + small + " " + BenchFolder() + "/big.v 4 --kernel linear");
}
BENCHMARK(BM_Peer_VipsEnlargeBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RotateRight(benchmark::State& state)
{
    CxImage out;
    for (auto _ : state)
        benchmark::DoNotOptimize(const_cast<CxImage&>(Photo24()).RotateRight(&out));
}
BENCHMARK(BM_RotateRight)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsRot90(benchmark::State& state)
{
    RunPeer(state, "vips rot " + PhotoVips() + " " + BenchFolder() + "/rot.v d90");
}
BENCHMARK(BM_Peer_VipsRot90)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GrayScale(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CxImage img(Photo24());
        state.ResumeTiming();
        benchmark::DoNotOptimize(img.GrayScale());
    }
}
BENCHMARK(BM_GrayScale)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsGrey(benchmark::State& state)
{
    RunPeer(state, "vips colourspace " + PhotoVips() + " " + BenchFolder() + "/grey.v b-w");
}
BENCHMARK(BM_Peer_VipsGrey)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
