// CxImage's two-dimensional FFT at 512 x 512 and 500 x 500 (rounded up to
// 512, and at its own size through the direct transform), and the 5 x 5 median and convolution on two megapixels, against
// vips fwfft, rank (the median) and conv on the same pixels. Bar: within 3x vips.
#include "BenchSupport.h"

#include "imagecore/QLImage.h"
#include "imagecore/XImage.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr unsigned kSide2MP = 1632; // 1632 x 1224: two megapixels

// The synthetic photo's top-left corner as a CxImage (24-bit or grey).
void Corner(CxImage& img, unsigned w, unsigned h, bool grey)
{
    const CQLImage& photo = SyntheticPhoto();
    img.Create(w, h, 24);
    for (unsigned y = 0; y < h; ++y) {
        BYTE* d = img.GetBits() + static_cast<size_t>(h - 1 - y) * img.GetEffWidth();
        const BYTE* s = photo.GetBuffer(0, static_cast<int>(y));
        for (unsigned x = 0; x < w; ++x, d += 3, s += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    if (grey)
        img.GrayScale();
}

// The same pixels for the peer: PGM for grey, PPM for colour.
std::string PeerFile(const CxImage& img, const std::string& name)
{
    const std::string path = BenchFolder() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    const bool grey = img.GetBpp() == 8;
    out << (grey ? "P5\n" : "P6\n") << img.GetWidth() << " " << img.GetHeight() << "\n255\n";
    for (LONG y = static_cast<LONG>(img.GetHeight()) - 1; y >= 0; --y) {
        for (LONG x = 0; x < static_cast<LONG>(img.GetWidth()); ++x) {
            const RGBQUAD c = img.GetPixelColor(x, y);
            if (grey)
                out.put(static_cast<char>(c.rgbRed));
            else
                out.put(static_cast<char>(c.rgbRed)).put(static_cast<char>(c.rgbGreen)).put(static_cast<char>(c.rgbBlue));
        }
    }
    return path;
}

void BM_FFT2(benchmark::State& state)
{
    const unsigned side = static_cast<unsigned>(state.range(0));
    CxImage src;
    Corner(src, side, side, true);
    CxImage host, re, im;
    for (auto _ : state)
        benchmark::DoNotOptimize(host.FFT2(&src, nullptr, &re, &im, 1, true, true));
}
BENCHMARK(BM_FFT2)->Arg(512)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_FFT2_OwnSize(benchmark::State& state)
{
    const unsigned side = static_cast<unsigned>(state.range(0));
    CxImage src;
    Corner(src, side, side, true);
    CxImage host, re, im;
    for (auto _ : state)
        benchmark::DoNotOptimize(host.FFT2(&src, nullptr, &re, &im, 1, false, true));
}
BENCHMARK(BM_FFT2_OwnSize)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_VipsFwfft(benchmark::State& state)
{
    const unsigned side = static_cast<unsigned>(state.range(0));
    CxImage src;
    Corner(src, side, side, true);
    const std::string in = PeerFile(src, "fft" + std::to_string(side) + ".pgm");
    RunPeer(state, "vips fwfft " + in + " " + BenchFolder() + "/fft.v");
}
BENCHMARK(BM_VipsFwfft)->Arg(512)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_Median5(benchmark::State& state)
{
    CxImage src;
    Corner(src, kSide2MP, kSide2MP * 3 / 4, false);
    for (auto _ : state) {
        state.PauseTiming();
        CxImage work(src);
        state.ResumeTiming();
        benchmark::DoNotOptimize(work.Median(5));
    }
}
BENCHMARK(BM_Median5)->Unit(benchmark::kMillisecond);

void BM_Filter5(benchmark::State& state)
{
    CxImage src;
    Corner(src, kSide2MP, kSide2MP * 3 / 4, false);
    LONG kernel[25];
    std::fill(kernel, kernel + 25, 1);
    for (auto _ : state) {
        state.PauseTiming();
        CxImage work(src);
        state.ResumeTiming();
        benchmark::DoNotOptimize(work.Filter(kernel, 5, 25, 0));
    }
}
BENCHMARK(BM_Filter5)->Unit(benchmark::kMillisecond);

const std::string& TwoMegapixels()
{
    static const std::string path = [] {
        CxImage src;
        Corner(src, kSide2MP, kSide2MP * 3 / 4, false);
        return PeerFile(src, "two.ppm");
    }();
    return path;
}

void BM_VipsMedian5(benchmark::State& state)
{
    // A 5 x 5 rank filter at index 12 is the median.
    RunPeer(state, "vips rank " + TwoMegapixels() + " " + BenchFolder() + "/median.v 5 5 12");
}
BENCHMARK(BM_VipsMedian5)->Unit(benchmark::kMillisecond);

void BM_VipsConv5(benchmark::State& state)
{
    const std::string mask = BenchFolder() + "/box5.mat";
    {
        std::ofstream out(mask);
        out << "5 5 25 0\n";
        for (int i = 0; i < 5; ++i)
            out << "1 1 1 1 1\n";
    }
    RunPeer(state, "vips conv " + TwoMegapixels() + " " + BenchFolder() + "/conv.v " + mask + " --precision integer");
}
BENCHMARK(BM_VipsConv5)->Unit(benchmark::kMillisecond);

} // namespace
