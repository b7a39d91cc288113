// JPEG slimming on the synthetic 24-megapixel photo and on a 1-megapixel
// preview, against libjpeg-turbo's `cjpeg` at the same quality (85, 4:2:0)
// on the same pixels. The figures are the time and the file size ("bytes").
// Ours runs the whole effect: YUV round trip, 8x8 block analysis,
// measurement (encode and decode once, twice with the adaptive table), PSNR
// and the file write. cjpeg's time includes starting the process and
// reading the PPM. Advanced skin clean has no peer that does the same job:
// its times are given alone, with the skin mask made by the effect.
#include "bench/BenchSupport.h"

#include "algorithms/AdvancedSkinCleanAlgorithm.h"
#include "algorithms/JpegSizeAlgorithm.h"
#include "algorithms/JpegSlimmingAlgorithm.h"
#include "imagecore/QLImage.h"

#include <filesystem>
#include <string>

namespace {

const CQLImage& Input(bool photo)
{
    return photo ? SyntheticPhoto() : SyntheticPreview();
}

void Slim(benchmark::State& state, bool photo, int adaptive, int denoise)
{
    const std::string out = BenchFolder() + "/slim.jpg";
    JpegSlimSettings s;
    s.quality = 85;
    s.chromaOption = 0;
    s.adaptive = static_cast<BYTE>(adaptive);
    s.dctDenoise = static_cast<BYTE>(denoise);
    s.resizeMode = 0;
    s.flags = JpegSlimSettings::kMeasure;
    s.SetPath(out.c_str());
    CQLImage target;
    JpegSlimmingAlgorithm slim;
    slim.SetImages(const_cast<CQLImage*>(&Input(photo)), &target);
    for (auto _ : state) {
        if (slim.Apply(&s) != 0) {
            state.SkipWithError("slimming failed");
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
    state.counters["psnr"] = slim.psnr;
}

void EncodeOnly(benchmark::State& state, bool photo)
{
    JpegSizeAlgorithm size;
    size.SetImages(const_cast<CQLImage*>(&Input(photo)), const_cast<CQLImage*>(&Input(photo)));
    size.SetSizeOnly(1);
    const INT quality = 85;
    for (auto _ : state) {
        if (size.Apply(&quality) != 0) {
            state.SkipWithError("encoding failed");
            return;
        }
    }
    state.counters["bytes"] = size.GetJpegSize();
}

void Cjpeg(benchmark::State& state, bool photo)
{
    const std::string out = BenchFolder() + "/cjpeg.jpg";
    RunPeer(state, "cjpeg -quality 85 -outfile " + out + " " + PeerInputPpm(!photo));
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(out, ec);
    if (!ec)
        state.counters["bytes"] = static_cast<double>(bytes);
}

void SkinClean(benchmark::State& state, bool photo, int maskedBlur)
{
    CQLImage source, target;
    source.DuplicateFrom(&Input(photo)); // the effect writes the mask into it
    const AdvancedSkinCleanParams p{40, 55, 20, 6, maskedBlur, 1, 80, 0};
    AdvancedSkinCleanAlgorithm skin;
    skin.SetImages(&source, &target);
    for (auto _ : state) {
        if (skin.Apply(&p) != 0) {
            state.SkipWithError("skin clean failed");
            return;
        }
    }
}

} // namespace

BENCHMARK_CAPTURE(Slim, Photo, true, 0, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Slim, PhotoAdaptive, true, 1, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Slim, PhotoAdaptiveDenoise, true, 1, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EncodeOnly, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Cjpeg, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Slim, Preview, false, 0, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Slim, PreviewAdaptive, false, 1, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EncodeOnly, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Cjpeg, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SkinClean, PhotoMaskedBlur, true, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SkinClean, PhotoNoiseReduction, true, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SkinClean, PreviewMaskedBlur, false, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(SkinClean, PreviewNoiseReduction, false, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
