// The noise filters on the synthetic 24-megapixel photo and on a 1-megapixel
// preview, against the peers that do a comparable job on the same pixels
// (binary PPM in): ImageMagick's -enhance (a weighted 5 x 5 average of
// similar pixels, the closest to our edge-directed smoothing), -despeckle
// (speckle removal), -wavelet-denoise (a threshold denoise like the adaptive
// filter) and a 3 x 3 median by `vips rank` (an edge-keeping local filter). Peer times
// include starting the process and reading and writing files; Peer_*Copy is
// that cost alone. Ours run in-process on all cores.
//
// Quality* run once on a clean 1-megapixel picture with seeded colour noise
// (sigma 8) and report the PSNR against the clean picture before (psnr_in)
// and after (psnr_out), for ours and for the peers.
#include "bench/BenchSupport.h"

#include "algorithms/AdaptiveDenoiseAlgorithm.h"
#include "algorithms/NoiseReductionAlgorithm.h"
#include "algorithms/TiledDenoiseAlgorithm.h"
#include "imagecore/QLImage.h"
#include "platform/codec/ColorForms.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const CQLImage& Input(bool photo)
{
    return photo ? SyntheticPhoto() : SyntheticPreview();
}

// A clean photo for the quality cases (the synthetic photo's own fine
// texture is noise that every filter would rightly remove): smooth
// gradients with hard-edged discs and bars.
const CQLImage& CleanPreview()
{
    static CQLImage clean;
    if (clean.GetAreaByteSize() == 0) {
        const int w = static_cast<int>(kPreviewWidth), h = static_cast<int>(kPreviewHeight);
        clean.Create(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int b = 40 + x * 150 / w, g = 60 + y * 140 / h, r = 90 + (x + y) * 100 / (w + h);
                const int dx = x % 200 - 100, dy = y % 200 - 100;
                if (dx * dx + dy * dy < 60 * 60)
                    b = 230 - b, g = 200 - g / 2, r = 30 + r / 3;
                if ((x / 37) % 7 == 3)
                    b /= 2, g /= 2, r /= 2;
                clean.PutPixel(x, y, {static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 255});
            }
    }
    return clean;
}

// The clean preview with seeded noise of sigma 8 on each colour byte.
const CQLImage& NoisyPreview()
{
    static CQLImage noisy;
    if (noisy.GetAreaByteSize() == 0) {
        noisy.DuplicateFrom(&CleanPreview());
        std::mt19937 rng(2024);
        std::normal_distribution<double> noise(0.0, 8.0);
        BYTE* p = noisy.GetBuffer(0, 0);
        for (UINT i = 0; i < noisy.GetAreaByteSize(); i += 4)
            for (int c = 0; c < 3; ++c)
                p[i + c] = qlcodec::ClampByte(p[i + c] + static_cast<int>(std::lround(noise(rng))));
    }
    return noisy;
}

// The next number of a PPM header, past blanks and # comments; -1 when none.
long HeaderNumber(std::FILE* f)
{
    int c = std::fgetc(f);
    while (c == '#' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(f);
        c = std::fgetc(f);
    }
    long v = -1;
    for (; c >= '0' && c <= '9' && v < 1000000; c = std::fgetc(f))
        v = (v < 0 ? 0 : v * 10) + (c - '0');
    return v; // the one blank after the number has been read
}

// A binary 8-bit PPM as written by the peers; false when it is not one.
bool ReadPpm(const std::string& path, CQLImage& image)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f || std::fgetc(f.get()) != 'P' || std::fgetc(f.get()) != '6')
        return false;
    const long w = HeaderNumber(f.get()), h = HeaderNumber(f.get()), maxval = HeaderNumber(f.get());
    if (maxval != 255 || w <= 0 || h <= 0 || w > 100000 || h > 100000 || image.Create(w, h) != 0)
        return false;
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    for (long y = 0; y < h; ++y) {
        if (std::fread(row.data(), 1, row.size(), f.get()) != row.size())
            return false;
        BYTE* d = image.GetBuffer(0, static_cast<int>(y));
        for (long x = 0; x < w; ++x, d += 4) {
            d[0] = row[x * 3 + 2];
            d[1] = row[x * 3 + 1];
            d[2] = row[x * 3];
            d[3] = 255;
        }
    }
    return true;
}

const std::string& InputPpm(bool photo)
{
    return PeerInputPpm(!photo);
}

double Psnr(const CQLImage& a, const CQLImage& b)
{
    const BYTE* p = a.GetBuffer(0, 0);
    const BYTE* q = b.GetBuffer(0, 0);
    double sum = 0;
    std::size_t n = 0;
    for (UINT i = 0; i < a.GetAreaByteSize(); i += 4)
        for (int c = 0; c < 3; ++c, ++n)
            sum += (p[i + c] - q[i + c]) * double(p[i + c] - q[i + c]);
    return 10.0 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(n)));
}

enum class Filter { NoiseReduction, Tiled, Adaptive };

std::unique_ptr<EffectAlgorithm> Make(Filter filter, std::vector<BYTE>& params)
{
    switch (filter) {
    case Filter::NoiseReduction: {
        const NoiseReductionParams p = {5, 1};
        params.assign(reinterpret_cast<const BYTE*>(&p), reinterpret_cast<const BYTE*>(&p) + sizeof p);
        return std::make_unique<NoiseReductionAlgorithm>();
    }
    case Filter::Tiled: {
        const DenoiseParams p = {2, 1};
        params.assign(reinterpret_cast<const BYTE*>(&p), reinterpret_cast<const BYTE*>(&p) + sizeof p);
        return std::make_unique<TiledDenoiseAlgorithm>();
    }
    case Filter::Adaptive:
    default: {
        const AdaptiveDenoiseParams p = {1};
        params.assign(reinterpret_cast<const BYTE*>(&p), reinterpret_cast<const BYTE*>(&p) + sizeof p);
        return std::make_unique<AdaptiveDenoiseAlgorithm>();
    }
    }
}

void Ours(benchmark::State& state, Filter filter, bool photo)
{
    // A working copy: nothing may change the shared input between runs.
    CQLImage src, target;
    src.DuplicateFrom(&Input(photo));
    std::vector<BYTE> params;
    auto fx = Make(filter, params);
    fx->SetImages(&src, &target);
    for (auto _ : state) {
        if (fx->Apply(params.data()) != 0) {
            state.SkipWithError("filter failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void Magick(benchmark::State& state, const std::string& op, bool photo)
{
    // Debian's memory policy for ImageMagick refuses the wavelet transform's
    // buffers for 24 megapixels ("memory allocation failed").
    if (photo && op.find("wavelet") != std::string::npos) {
        state.SkipWithError("ImageMagick's memory policy refuses -wavelet-denoise on 24 megapixels");
        return;
    }
    RunPeer(state, "convert " + InputPpm(photo) + " " + op + " " + BenchFolder() + "/magick-out.ppm");
}

void VipsMedian(benchmark::State& state, bool photo)
{
    RunPeer(state, "vips rank " + InputPpm(photo) + " " + BenchFolder() + "/vips-out.v 3 3 4");
}

void Peer_MagickCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "convert " + InputPpm(photo) + " " + BenchFolder() + "/magick-copy.ppm");
}

void Peer_VipsCopy(benchmark::State& state, bool photo)
{
    RunPeer(state, "vips copy " + InputPpm(photo) + " " + BenchFolder() + "/vips-copy.v");
}

void QualityOurs(benchmark::State& state, Filter filter)
{
    CQLImage src, target;
    src.DuplicateFrom(&NoisyPreview());
    std::vector<BYTE> params;
    auto fx = Make(filter, params);
    fx->SetImages(&src, &target);
    for (auto _ : state)
        if (fx->Apply(params.data()) != 0)
            state.SkipWithError("filter failed");
    state.counters["psnr_in"] = Psnr(NoisyPreview(), CleanPreview());
    state.counters["psnr_out"] = Psnr(target, CleanPreview());
}

void QualityPeer(benchmark::State& state, const std::string& command)
{
    static const std::string noisyPath = WritePpm(NoisyPreview(), "noisy.ppm");
    const std::string out = BenchFolder() + "/quality-out.ppm";
    std::remove(out.c_str());
    std::string cmd = command;
    cmd.replace(cmd.find("IN"), 2, noisyPath);
    cmd.replace(cmd.find("OUT"), 3, out);
    RunPeer(state, cmd);
    CQLImage result;
    if (!ReadPpm(out, result))
        return; // RunPeer has said why
    state.counters["psnr_in"] = Psnr(NoisyPreview(), CleanPreview());
    state.counters["psnr_out"] = Psnr(result, CleanPreview());
}

#define OURS(name, filter, photo) \
    BENCHMARK_CAPTURE(Ours, name, filter, photo)->Unit(benchmark::kMillisecond)->UseRealTime()
#define MAGICK(name, op, photo) \
    BENCHMARK_CAPTURE(Magick, name, op, photo)->Unit(benchmark::kMillisecond)->UseRealTime()

OURS(NoiseReduction_Photo, Filter::NoiseReduction, true);
OURS(TiledDenoise_Photo, Filter::Tiled, true);
OURS(AdaptiveDenoise_Photo, Filter::Adaptive, true);
MAGICK(Enhance_Photo, "-enhance", true);
MAGICK(Despeckle_Photo, "-despeckle", true);
MAGICK(WaveletDenoise_Photo, "-wavelet-denoise 5%", true);
BENCHMARK_CAPTURE(VipsMedian, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_MagickCopy, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_VipsCopy, Photo, true)->Unit(benchmark::kMillisecond)->UseRealTime();

OURS(NoiseReduction_Preview, Filter::NoiseReduction, false);
OURS(TiledDenoise_Preview, Filter::Tiled, false);
OURS(AdaptiveDenoise_Preview, Filter::Adaptive, false);
MAGICK(Enhance_Preview, "-enhance", false);
MAGICK(Despeckle_Preview, "-despeckle", false);
MAGICK(WaveletDenoise_Preview, "-wavelet-denoise 5%", false);
BENCHMARK_CAPTURE(VipsMedian, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_MagickCopy, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer_VipsCopy, Preview, false)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_CAPTURE(QualityOurs, NoiseReduction, Filter::NoiseReduction)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QualityOurs, TiledDenoise, Filter::Tiled)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QualityOurs, AdaptiveDenoise, Filter::Adaptive)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QualityPeer, MagickEnhance, std::string("convert IN -enhance OUT"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QualityPeer, MagickDespeckle, std::string("convert IN -despeckle OUT"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QualityPeer, MagickWaveletDenoise, std::string("convert IN -wavelet-denoise 5% OUT"))->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QualityPeer, VipsMedian, std::string("vips rank IN OUT 3 3 4"))->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
