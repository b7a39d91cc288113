// The effect dialogs' layer blend over a 24-megapixel result, per mode, with
// and without a mask. Peers on the same two pictures: vips composite2 in the
// matching modes (native .v files in and out, the cheapest files it has) and
// ImageMagick's -compose <mode> -composite on PPM. Ours is in-process, in
// place, on all cores.
#include "bench/BenchSupport.h"
#include "editor/ui/FilterBlend.h"

#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <cstdlib>
#include <string>

namespace {

// The effect's output: the photo with its channels rotated.
const CQLImage& ResultPicture()
{
    static const CQLImage* picture = [] {
        auto* image = new CQLImage;
        image->DuplicateFrom(&SyntheticPhoto());
        BYTE* p = image->GetBuffer(0, 0);
        for (UINT i = 0; i < image->GetAreaByteSize(); i += 4) {
            const BYTE b = p[i];
            p[i] = p[i + 1];
            p[i + 1] = p[i + 2];
            p[i + 2] = b;
        }
        return image;
    }();
    return *picture;
}

const CQLChannel& Mask()
{
    static const CQLChannel* mask = [] {
        auto* m = new CQLChannel;
        m->Create(kPhotoWidth, kPhotoHeight);
        for (unsigned y = 0; y < kPhotoHeight; ++y)
            for (unsigned x = 0; x < kPhotoWidth; ++x)
                m->Set(static_cast<int>(x), static_cast<int>(y), static_cast<BYTE>((x + y) & 255));
        return m;
    }();
    return *mask;
}

void Blend(benchmark::State& state, int mode, bool masked)
{
    CQLImage result;
    result.DuplicateFrom(&ResultPicture());
    const CQLChannel* mask = masked ? &Mask() : nullptr;
    const LayerBlend layer{mode, 200, true};
    for (auto _ : state) {
        BlendResult(SyntheticPhoto(), &result, layer, mask, POINT{0, 0});
        benchmark::DoNotOptimize(result.GetBuffer(0, 0));
    }
    state.SetLabel(masked ? "24 MP, masked" : "24 MP");
}

// The mask alone, no layer mode (the "Apply to Selection" path).
void MaskOnly(benchmark::State& state)
{
    CQLImage result;
    result.DuplicateFrom(&ResultPicture());
    for (auto _ : state) {
        BlendResult(SyntheticPhoto(), &result, LayerBlend{}, &Mask(), POINT{0, 0});
        benchmark::DoNotOptimize(result.GetBuffer(0, 0));
    }
    state.SetLabel("24 MP");
}

const std::string& PeerFile(const char* extension, bool result)
{
    static std::string files[2][2];
    const int e = extension[0] == 'v' ? 1 : 0;
    std::string& path = files[e][result ? 1 : 0];
    if (path.empty()) {
        const std::string ppm = result ? WritePpm(ResultPicture(), "blend-result.ppm") : PeerInputPpm();
        path = ppm;
        if (e == 1) {
            path = BenchFolder() + (result ? "/blend-result.v" : "/blend-source.v");
            std::system(("vips copy " + ppm + " " + path + " >/dev/null 2>&1").c_str());
        }
    }
    return path;
}

void PeerVips(benchmark::State& state, const char* mode)
{
    RunPeer(state, "vips composite2 " + PeerFile("v", false) + " " + PeerFile("v", true) + " " + BenchFolder()
                       + "/vips-blend.v " + mode);
}

void PeerMagick(benchmark::State& state, const char* mode)
{
    RunPeer(state, "convert " + PeerFile("ppm", false) + " " + PeerFile("ppm", true) + " -compose " + mode
                       + " -composite " + BenchFolder() + "/magick-blend.ppm");
}

struct ModeNames {
    int mode;
    const char* ours;
    const char* vips;    // nullptr: no matching mode
    const char* magick;
};

const ModeNames kModes[] = {
    {kBlendNormal, "Normal", "over", "Over"},
    {kBlendMultiply, "Multiply", "multiply", "Multiply"},
    {kBlendScreen, "Screen", "screen", "Screen"},
    {kBlendLighten, "Lighten", "lighten", "Lighten"},
    {kBlendDarken, "Darken", "darken", "Darken"},
    {kBlendOverlap, "Overlap", "overlay", "Overlay"},
    {kBlendHardLight, "HardLight", "hard-light", "HardLight"},
    {kBlendSoftLight, "SoftLight", "soft-light", "SoftLight"},
    {kBlendDifference, "Difference", "difference", "Difference"},
};

const bool kRegistered = [] {
    for (const ModeNames& m : kModes) {
        const std::string name = m.ours;
        benchmark::RegisterBenchmark(("Blend_" + name).c_str(), Blend, m.mode, false)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BlendMasked_" + name).c_str(), Blend, m.mode, true)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Peer_Vips_" + name).c_str(), PeerVips, m.vips)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("Peer_Magick_" + name).c_str(), PeerMagick, m.magick)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::RegisterBenchmark("MaskOnly", MaskOnly)->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
