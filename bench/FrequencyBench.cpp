// The frequency-domain filters on the 24-megapixel photo and the 1-megapixel
// preview, with the peers that do a comparable job on the same pixels:
// ImageMagick's -fft/-ift and libvips' fwfft/invfft are whole-image Fourier
// round trips (the work our block transforms do, without a filter between);
// ImageMagick's -despeckle and -wavelet-denoise remove noise as the spectral
// filter does. Nothing among the peers descreens: the Fourier round trips
// give its scale only. Peer times include starting the process and the file
// I/O (BM_Peer_MagickCopy is that cost alone). The Fourier round trips of
// the whole photo take ImageMagick 13 s and libvips over 30 s and are left
// out.
//
// Quality: BM_Quality_* run once on a smooth grey photo with seeded noise
// (sigma 8), descreening also on the same photo under a dot screen of period
// 3 pixels, and report the PSNR against the clean photo before and after as
// counters.
#include "bench/BenchSupport.h"

#include "algorithms/DescreenAlgorithm.h"
#include "algorithms/FftBlock.h"
#include "algorithms/FftDenoiseAlgorithm.h"
#include "imagecore/QLImage.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const CQLImage& Input(int preview)
{
    return preview ? SyntheticPreview() : SyntheticPhoto();
}

const char* Label(int preview)
{
    return preview ? "1 MP preview" : "24 MP photo";
}

void BM_FftBlockRoundTrip(benchmark::State& state)
{
    FftBlock block;
    if (!block.Create(FftDenoiseAlgorithm::kBlockPower)) {
        state.SkipWithError("no memory");
        return;
    }
    for (int i = 0; i < block.size * block.size; ++i)
        block.data[i] = {static_cast<double>(i % 251), 0.0};
    for (auto _ : state) {
        block.Transform(1);
        block.Transform(0);
        benchmark::DoNotOptimize(block.data[0].re);
    }
    state.SetLabel("256 x 256, one core");
}
BENCHMARK(BM_FftBlockRoundTrip)->Unit(benchmark::kMillisecond);

void BM_Descreen(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    CQLImage dst;
    DescreenAlgorithm fx;
    fx.SetImages(const_cast<CQLImage*>(&Input(preview)), &dst);
    const DescreenParams p = {0, 50, static_cast<INT>(state.range(1)), 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(fx.Apply(&p));
    state.SetLabel(std::string(Label(preview)) + (p.lumaOnly ? ", luma only" : ", three channels"));
}
BENCHMARK(BM_Descreen)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FftDenoise(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    CQLImage dst;
    FftDenoiseAlgorithm fx;
    fx.SetImages(const_cast<CQLImage*>(&Input(preview)), &dst);
    const INT p = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fx.Apply(&p));
    state.SetLabel(Label(preview));
}
BENCHMARK(BM_FftDenoise)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickFftRoundTrip(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm(true) + " -fft -ift " + BenchFolder() + "/fft.ppm");
    state.SetLabel(Label(1));
}
BENCHMARK(BM_Peer_MagickFftRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsFftRoundTrip(benchmark::State& state)
{
    const std::string folder = BenchFolder();
    RunPeer(state, "vips fwfft " + PeerInputPpm(true) + " " + folder + "/fwfft.v && vips invfft " + folder + "/fwfft.v "
                       + folder + "/invfft.v");
    state.SetLabel(Label(1));
}
BENCHMARK(BM_Peer_VipsFftRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickDespeckle(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    RunPeer(state, "convert " + PeerInputPpm(preview) + " -despeckle " + BenchFolder() + "/despeckle.ppm");
    state.SetLabel(Label(preview));
}
BENCHMARK(BM_Peer_MagickDespeckle)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_Peer_MagickWaveletDenoise(benchmark::State& state)
{
    RunPeer(state, "convert " + PeerInputPpm(true) + " -wavelet-denoise 5% " + BenchFolder() + "/wavelet.ppm");
    state.SetLabel(Label(1));
}
BENCHMARK(BM_Peer_MagickWaveletDenoise)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_MagickCopy(benchmark::State& state)
{
    const int preview = static_cast<int>(state.range(0));
    RunPeer(state, "convert " + PeerInputPpm(preview) + " " + BenchFolder() + "/copy.ppm");
    state.SetLabel(Label(preview));
}
BENCHMARK(BM_Peer_MagickCopy)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// --- Quality ----------------------------------------------------------------

constexpr int kQualityWidth = 1224;
constexpr int kQualityHeight = 816;

// Grey ramp, wave and disc: the clean photo.
int CleanLevel(int x, int y)
{
    double v = 90 + 80.0 * x / kQualityWidth + 30 * std::sin(y * 0.01);
    const double dx = x - kQualityWidth * 0.3, dy = y - kQualityHeight * 0.6;
    if (dx * dx + dy * dy < 150 * 150)
        v = 200 - 0.3 * std::sqrt(dx * dx + dy * dy);
    return static_cast<int>(std::lround(v));
}

void MakeGrey(CQLImage& image, const std::vector<int>& levels)
{
    image.Create(kQualityWidth, kQualityHeight);
    for (int y = 0; y < kQualityHeight; ++y)
        for (int x = 0; x < kQualityWidth; ++x) {
            const int v = std::max(0, std::min(255, levels[static_cast<std::size_t>(y) * kQualityWidth + x]));
            image.PutPixel(x, y, {static_cast<BYTE>(v), static_cast<BYTE>(v), static_cast<BYTE>(v), 255});
        }
}

struct QualityPhotos {
    CQLImage clean;
    CQLImage noisy;
    CQLImage screened;
};

const QualityPhotos& Photos()
{
    static QualityPhotos photos;
    if (photos.clean.GetAreaByteSize() == 0) {
        std::vector<int> clean, noisy, screened;
        std::uint32_t seed = 2024;
        for (int y = 0; y < kQualityHeight; ++y)
            for (int x = 0; x < kQualityWidth; ++x) {
                const int c = CleanLevel(x, y);
                double n = 0; // four uniforms: about normal, sigma 8
                for (int k = 0; k < 4; ++k) {
                    seed = seed * 1664525u + 1013904223u;
                    n += (seed >> 8) / 16777216.0 - 0.5;
                }
                clean.push_back(c);
                noisy.push_back(static_cast<int>(std::lround(c + n * 13.86)));
                // A dot screen of period 3 pixels, amplitude 24.
                screened.push_back(static_cast<int>(
                    std::lround(c + 12 * (std::cos(2.0943951 * x) + std::cos(2.0943951 * y)))));
            }
        MakeGrey(photos.clean, clean);
        MakeGrey(photos.noisy, noisy);
        MakeGrey(photos.screened, screened);
    }
    return photos;
}

double Psnr(const CQLImage& a, const CQLImage& b)
{
    double se = 0;
    for (int y = 0; y < kQualityHeight; ++y)
        for (int x = 0; x < kQualityWidth; ++x) {
            const double d = a.GetPixel2(x, y).g - b.GetPixel2(x, y).g;
            se += d * d;
        }
    return 10 * std::log10(255.0 * 255.0 * kQualityWidth * kQualityHeight / se);
}

void BM_Quality_FftDenoise(benchmark::State& state)
{
    const QualityPhotos& photos = Photos();
    CQLImage dst;
    FftDenoiseAlgorithm fx;
    fx.SetImages(const_cast<CQLImage*>(&photos.noisy), &dst);
    const INT p = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fx.Apply(&p));
    state.counters["dB_before"] = Psnr(photos.clean, photos.noisy);
    state.counters["dB_after"] = Psnr(photos.clean, dst);
}
BENCHMARK(BM_Quality_FftDenoise)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Quality_Descreen(benchmark::State& state)
{
    const QualityPhotos& photos = Photos();
    const bool noisy = state.range(1) != 0;
    const CQLImage& input = noisy ? photos.noisy : photos.screened;
    CQLImage dst;
    DescreenAlgorithm fx;
    fx.SetImages(const_cast<CQLImage*>(&input), &dst);
    const DescreenParams p = {static_cast<INT>(state.range(0)), 50, 0, 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(fx.Apply(&p));
    state.counters["dB_before"] = Psnr(photos.clean, input);
    state.counters["dB_after"] = Psnr(photos.clean, dst);
    state.SetLabel(std::string(p.patternSize == 0 ? "small" : p.patternSize == 1 ? "medium" : "big")
                   + (noisy ? " pattern, seeded noise" : " pattern, screen"));
}
BENCHMARK(BM_Quality_Descreen)->ArgsProduct({{0, 1, 2}, {0, 1}})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reads back a binary PPM written by a peer into a grey image (green byte).
bool ReadPpm(const std::string& path, CQLImage& image)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    int w = 0, h = 0, maxval = 0;
    const bool header = std::fscanf(f, "P6 %d %d %d", &w, &h, &maxval) == 3 && std::fgetc(f) != EOF;
    bool ok = header && w == kQualityWidth && h == kQualityHeight && maxval == 255;
    std::vector<unsigned char> row(static_cast<std::size_t>(w > 0 ? w : 0) * 3);
    if (ok)
        ok = image.Create(w, h) == 0;
    for (int y = 0; ok && y < h; ++y) {
        ok = std::fread(row.data(), 1, row.size(), f) == row.size();
        for (int x = 0; ok && x < w; ++x)
            image.PutPixel(x, y, {row[x * 3 + 2], row[x * 3 + 1], row[x * 3], 255});
    }
    std::fclose(f);
    return ok;
}

void PeerQuality(benchmark::State& state, const std::string& option)
{
    const QualityPhotos& photos = Photos();
    const std::string in = BenchFolder() + "/noisy.bmp", out = BenchFolder() + "/denoised.ppm";
    photos.noisy.SaveToFile(in.c_str());
    RunPeer(state, "convert " + in + " " + option + " " + out);
    CQLImage dst;
    if (!ReadPpm(out, dst)) {
        state.SkipWithError("no peer output");
        return;
    }
    state.counters["dB_before"] = Psnr(photos.clean, photos.noisy);
    state.counters["dB_after"] = Psnr(photos.clean, dst);
}

void BM_Quality_Peer_MagickDespeckle(benchmark::State& state)
{
    PeerQuality(state, "-despeckle");
}
BENCHMARK(BM_Quality_Peer_MagickDespeckle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Quality_Peer_MagickWaveletDenoise(benchmark::State& state)
{
    PeerQuality(state, "-wavelet-denoise 5%");
}
BENCHMARK(BM_Quality_Peer_MagickWaveletDenoise)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
