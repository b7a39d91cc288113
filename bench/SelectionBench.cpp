// "Select an Area" at 24 MP: the feather at 30 and 100 (radius 865 and 2,884)
// beside libvips' Gaussian blur of the same plane at sigma radius / 3, and
// the tone, hue and edge selections beside a plain copy of the photo (the
// floor) and libvips' Sobel edges.
#include "BenchSupport.h"

#include "editor/adjust/SelectionMask.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// An ellipse selected in the middle of the photo.
const CQLChannel& RawMask()
{
    static CQLChannel mask;
    if (mask.GetAreaByteSize() == 0) {
        mask.Create(kPhotoWidth, kPhotoHeight);
        const double cx = kPhotoWidth / 2.0, cy = kPhotoHeight / 2.0;
        for (unsigned y = 0; y < kPhotoHeight; ++y)
            for (unsigned x = 0; x < kPhotoWidth; ++x) {
                const double dx = (x - cx) / (kPhotoWidth / 3.0), dy = (y - cy) / (kPhotoHeight / 3.0);
                mask.Set(static_cast<int>(x), static_cast<int>(y), dx * dx + dy * dy < 1 ? 255 : 0);
            }
    }
    return mask;
}

// The plane and the photo as libvips files, written once.
std::string VipsInput(bool plane)
{
    static std::string made[2];
    std::string& path = made[plane ? 1 : 0];
    if (path.empty()) {
        const std::string base = BenchFolder() + (plane ? "/mask" : "/photo");
        if (plane) {
            FILE* f = std::fopen((base + ".pgm").c_str(), "wb");
            if (!f)
                return path;
            std::fprintf(f, "P5\n%u %u\n255\n", kPhotoWidth, kPhotoHeight);
            std::fwrite(RawMask().GetBuffer(0, 0), 1, RawMask().GetAreaByteSize(), f);
            std::fclose(f);
            std::system(("vips copy " + base + ".pgm " + base + ".v >/dev/null 2>&1").c_str());
        } else {
            std::system(("vips copy " + PeerInputPpm() + " " + base + ".v >/dev/null 2>&1").c_str());
        }
        path = base + ".v";
    }
    return path;
}

void BM_SelectionFeather(benchmark::State& state)
{
    const int feather = static_cast<int>(state.range(0));
    const CQLChannel& raw = RawMask();  // made before the timing
    CQLChannel mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(selection::FeatherMask(raw, feather, &mask));
    state.SetLabel("radius " + std::to_string(selection::FeatherRadius(kPhotoWidth, kPhotoHeight, feather)));
}
BENCHMARK(BM_SelectionFeather)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsGaussblurPlane(benchmark::State& state)
{
    const int radius = selection::FeatherRadius(kPhotoWidth, kPhotoHeight, static_cast<int>(state.range(0)));
    RunPeer(state, "vips gaussblur " + VipsInput(true) + " " + BenchFolder() + "/feather.v "
                       + std::to_string(radius / 3.0));
    state.SetLabel("sigma " + std::to_string(radius / 3.0));
}
BENCHMARK(BM_Peer_VipsGaussblurPlane)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyFloor(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImage copy;
    for (auto _ : state)
        benchmark::DoNotOptimize(copy.DuplicateFrom(&photo));
}
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectTone(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLChannel mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(selection::SelectTone(photo, selection::kMidtones, &mask));
}
BENCHMARK(BM_SelectTone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectHue(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLChannel mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(selection::SelectHue(photo, 0, &mask));
}
BENCHMARK(BM_SelectHue)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectEdge(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLChannel mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(selection::SelectEdge(photo, &mask));
}
BENCHMARK(BM_SelectEdge)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsSobel(benchmark::State& state)
{
    RunPeer(state, "vips sobel " + VipsInput(false) + " " + BenchFolder() + "/edges.v");
}
BENCHMARK(BM_Peer_VipsSobel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
