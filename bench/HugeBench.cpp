// Huge pictures: LoadFile and CreateThumbnail on a 20,000 x 20,000 PNG and
// TIFF (400 megapixels, generated here a row at a time), each measured in a
// child process of its own for time and peak memory (the child's maximum
// resident set, from wait4), beside vipsthumbnail on the same files. The
// bar: a thumbnail's peak memory within 2x vipsthumbnail's, its time no
// slower. BM_Baseline_Child is what every child costs doing nothing.
//
// Counters: peak_MB is the child's peak resident memory. The peers run
// once with one worker thread (as our thumbnail, which runs on one core)
// and once with libvips' default threads.
#include "bench/BenchSupport.h"

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <png.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr unsigned kSide = 20000;

// A photo-like row: gradients with a little texture, R, G, B.
void FillRow(unsigned y, std::vector<unsigned char>& row)
{
    for (unsigned x = 0; x < kSide; ++x) {
        const unsigned t = ((x * 7u + y * 13u) ^ (x >> 3)) & 15u;
        row[x * 3] = static_cast<unsigned char>((x * 255u / kSide + t) & 255u);
        row[x * 3 + 1] = static_cast<unsigned char>((y * 255u / kSide + t) & 255u);
        row[x * 3 + 2] = static_cast<unsigned char>(((x + y) * 127u / kSide + 2 * t) & 255u);
    }
}

const std::string& HugePng()
{
    static const std::string path = [] {
        const std::string p = BenchFolder() + "/huge.png";
        std::FILE* f = std::fopen(p.c_str(), "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (!f || !png || !info || setjmp(png_jmpbuf(png)))
            std::abort();
        png_init_io(png, f);
        png_set_compression_level(png, 1);
        png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<unsigned char> row(kSide * 3);
        for (unsigned y = 0; y < kSide; ++y) {
            FillRow(y, row);
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return p;
    }();
    return path;
}

// RGB, LZW with the horizontal predictor, strips of about 8 KB: as our own
// SaveFile writes TIFF.
const std::string& HugeTiff()
{
    static const std::string path = [] {
        const std::string p = BenchFolder() + "/huge.tif";
        TIFF* tif = TIFFOpen(p.c_str(), "w8"); // BigTIFF: the file may pass 4 GB
        if (!tif)
            std::abort();
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kSide);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kSide);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
        std::vector<unsigned char> row(kSide * 3);
        for (unsigned y = 0; y < kSide; ++y) {
            FillRow(y, row);
            if (TIFFWriteScanline(tif, row.data(), y, 0) != 1)
                std::abort();
        }
        TIFFClose(tif);
        return p;
    }();
    return path;
}

struct Cost {
    double seconds = 0;
    double peakMb = 0;
    bool ok = false;
};

Cost Wait(pid_t pid, std::chrono::steady_clock::time_point start)
{
    int status = 0;
    rusage usage{};
    Cost c;
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        c.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        c.peakMb = usage.ru_maxrss / 1024.0;
        c.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return c;
}

// work() in a forked child (the parent holds no threads and no pictures).
Cost InChild(const std::function<bool()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work() ? 0 : 1);
    return Wait(pid, start);
}

Cost Spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return {};
    return Wait(pid, start);
}

void Report(benchmark::State& state, const std::function<Cost()>& run)
{
    double peak = 0;
    for (auto _ : state) {
        const Cost c = run();
        if (!c.ok) {
            state.SkipWithError("failed");
            return;
        }
        state.SetIterationTime(c.seconds);
        peak = std::max(peak, c.peakMb);
    }
    state.counters["peak_MB"] = peak;
}

void BM_Baseline_Child(benchmark::State& state)
{
    Report(state, [] { return InChild([] { return true; }); });
}

void Load(benchmark::State& state, const std::string& (*file)())
{
    const std::string& path = file();
    Report(state, [&] {
        return InChild([&] {
            CQLImageCodec codec;
            CQLImage image;
            return codec.LoadFile(path.c_str(), &image) == 1;
        });
    });
}

void Thumbnail(benchmark::State& state, const std::string& (*file)())
{
    const std::string& path = file();
    Report(state, [&] {
        return InChild([&] {
            CQLImageCodec codec;
            CQLImage thumb;
            int w = 0, h = 0;
            return codec.CreateThumbnail(path.c_str(), &thumb, 100, &w, &h, 1) == 1 && w == int(kSide);
        });
    });
}

void VipsThumbnail(benchmark::State& state, const std::string& (*file)(), bool oneThread)
{
    const std::string& path = file();
    const std::string out = BenchFolder() + "/vips-thumb.png";
    if (oneThread)
        setenv("VIPS_CONCURRENCY", "1", 1);
    Report(state, [&] { return Spawn({"vipsthumbnail", path, "-s", "100", "-o", out}); });
    unsetenv("VIPS_CONCURRENCY");
}

void BM_PngLoad(benchmark::State& s) { Load(s, HugePng); }
void BM_PngThumbnail(benchmark::State& s) { Thumbnail(s, HugePng); }
void BM_Peer_VipsThumbnailPng1Thread(benchmark::State& s) { VipsThumbnail(s, HugePng, true); }
void BM_Peer_VipsThumbnailPng(benchmark::State& s) { VipsThumbnail(s, HugePng, false); }
void BM_TiffLoad(benchmark::State& s) { Load(s, HugeTiff); }
void BM_TiffThumbnail(benchmark::State& s) { Thumbnail(s, HugeTiff); }
void BM_Peer_VipsThumbnailTiff1Thread(benchmark::State& s) { VipsThumbnail(s, HugeTiff, true); }
void BM_Peer_VipsThumbnailTiff(benchmark::State& s) { VipsThumbnail(s, HugeTiff, false); }

#define HUGE_BENCH(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3)
HUGE_BENCH(BM_Baseline_Child);
HUGE_BENCH(BM_PngLoad);
HUGE_BENCH(BM_PngThumbnail);
HUGE_BENCH(BM_Peer_VipsThumbnailPng1Thread);
HUGE_BENCH(BM_Peer_VipsThumbnailPng);
HUGE_BENCH(BM_TiffLoad);
HUGE_BENCH(BM_TiffThumbnail);
HUGE_BENCH(BM_Peer_VipsThumbnailTiff1Thread);
HUGE_BENCH(BM_Peer_VipsThumbnailTiff);

} // namespace
