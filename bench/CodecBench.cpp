// The codec library on a 24-megapixel photo (6000 x 4000, synthetic, saved by
// us as a quality-90 JPEG), each against a peer on the same file in the same
// run: JPEG load against djpeg, JPEG save against cjpeg, a 100-pixel
// thumbnail against vipsthumbnail and ImageMagick. Peer times include the
// start of their process (BM_Peer_ProcessStart measures that alone); ours
// are in-process. Everything here runs on one core (the peers are told so),
// except where noted.
//
// JPEG save is timed twice, because cjpeg must read its pixels from a file
// while our save starts from pixels in memory: from memory against cjpeg on
// PPM (its cheapest input; BM_Peer_ReadPpmOnly is the reading alone), and
// as the same job on both sides, a 24-bit BMP file to a JPEG file (our
// LoadFile and SaveJpegFile against cjpeg on that BMP, which cjpeg buffers
// whole because its rows are stored bottom-up). Both encoders use the same settings: quality 90, 4:2:0, the
// accurate integer DCT, no Huffman optimisation.
#include "bench/BenchSupport.h"

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr unsigned kWidth = kPhotoWidth;
constexpr unsigned kHeight = kPhotoHeight;


const std::string& PhotoJpeg()
{
    static const std::string path = [] {
        std::string p = BenchFolder() + "/photo.jpg";
        CQLImageCodec codec;
        if (!codec.SaveJpegFile(p.c_str(), &SyntheticPhoto(), 90, 72))
            std::abort();
        return p;
    }();
    return path;
}

// The same pixels as binary PPM, cjpeg's plainest input.
const std::string& PhotoPpm()
{
    static const std::string path = [] {
        std::string p = BenchFolder() + "/photo.ppm";
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (!f)
            std::abort();
        std::fprintf(f, "P6\n%u %u\n255\n", kWidth, kHeight);
        std::vector<unsigned char> row(kWidth * 3);
        for (unsigned y = 0; y < kHeight; ++y) {
            const BYTE* s = SyntheticPhoto().GetBuffer(0, static_cast<int>(y));
            for (unsigned x = 0; x < kWidth; ++x, s += 4) {
                row[x * 3] = s[2];
                row[x * 3 + 1] = s[1];
                row[x * 3 + 2] = s[0];
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        std::fclose(f);
        return p;
    }();
    return path;
}

// The same pixels as a 24-bit bottom-up BMP, as our SaveFile writes it;
// cjpeg reads BMP too.
const std::string& PhotoBmp()
{
    static const std::string path = [] {
        std::string p = BenchFolder() + "/photo.bmp";
        CQLImageCodec codec;
        if (!codec.SaveFile(p.c_str(), &SyntheticPhoto()))
            std::abort();
        return p;
    }();
    return path;
}

void BM_Peer_ProcessStart(benchmark::State& state)
{
    // What every peer figure below includes besides the work itself.
    RunPeer(state, "/bin/true");
}
BENCHMARK(BM_Peer_ProcessStart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegLoad(benchmark::State& state)
{
    const std::string& in = PhotoJpeg();
    CQLImageCodec codec;
    CQLImage image;
    for (auto _ : state)
        if (!codec.LoadFile(in.c_str(), &image))
            state.SkipWithError("load failed");
}
BENCHMARK(BM_JpegLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_DjpegLoad(benchmark::State& state)
{
    RunPeer(state, "djpeg -ppm -outfile /dev/null " + PhotoJpeg());
}
BENCHMARK(BM_Peer_DjpegLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegSave(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/save.jpg";
    CQLImageCodec codec;
    for (auto _ : state)
        if (!codec.SaveJpegFile(out.c_str(), &SyntheticPhoto(), 90, 72))
            state.SkipWithError("save failed");
}
BENCHMARK(BM_JpegSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_CjpegSaveFromPpm(benchmark::State& state)
{
    RunPeer(state, "cjpeg -quality 90 -outfile " + BenchFolder() + "/peer.jpg " + PhotoPpm());
}
BENCHMARK(BM_Peer_CjpegSaveFromPpm)->Unit(benchmark::kMillisecond)->UseRealTime();

// cjpeg's share of the line above that is not encoding: a process that
// reads the same PPM from the page cache and throws it away.
void BM_Peer_ReadPpmOnly(benchmark::State& state)
{
    RunPeer(state, "cat " + PhotoPpm() + " >/dev/null");
}
BENCHMARK(BM_Peer_ReadPpmOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// How much of the BMP-to-JPEG job below is reading the BMP (its rows are
// converted on all cores; the JPEG encoder runs on one).
void BM_BmpLoad(benchmark::State& state)
{
    const std::string& in = PhotoBmp();
    CQLImageCodec codec;
    CQLImage image;
    for (auto _ : state)
        if (!codec.LoadFile(in.c_str(), &image))
            state.SkipWithError("load failed");
}
BENCHMARK(BM_BmpLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BmpToJpeg(benchmark::State& state)
{
    const std::string& in = PhotoBmp();
    const std::string out = BenchFolder() + "/from-bmp.jpg";
    CQLImageCodec codec;
    CQLImage image;
    for (auto _ : state)
        if (!codec.LoadFile(in.c_str(), &image) || !codec.SaveJpegFile(out.c_str(), &image, 90, 72))
            state.SkipWithError("load or save failed");
}
BENCHMARK(BM_BmpToJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_CjpegBmpToJpeg(benchmark::State& state)
{
    RunPeer(state, "cjpeg -quality 90 -outfile " + BenchFolder() + "/peer-bmp.jpg " + PhotoBmp());
}
BENCHMARK(BM_Peer_CjpegBmpToJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void Thumbnail(benchmark::State& state, int flag)
{
    const std::string& in = PhotoJpeg();
    CQLImageCodec codec;
    CQLImage thumb;
    int w = 0, h = 0;
    for (auto _ : state)
        if (!codec.CreateThumbnail(in.c_str(), &thumb, 100, &w, &h, flag))
            state.SkipWithError("thumbnail failed");
}

void BM_Thumbnail100Quick(benchmark::State& state)
{
    Thumbnail(state, 0);
}
BENCHMARK(BM_Thumbnail100Quick)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Thumbnail100Exact(benchmark::State& state)
{
    Thumbnail(state, 1);
}
BENCHMARK(BM_Thumbnail100Exact)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsThumbnail(benchmark::State& state)
{
    // vipsthumbnail shrinks on load too; one worker thread.
    RunPeer(state, "env VIPS_CONCURRENCY=1 vipsthumbnail " + PhotoJpeg() + " -s 100 -o " + BenchFolder()
                       + "/vips-thumb.jpg");
}
BENCHMARK(BM_Peer_VipsThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_ConvertThumbnail(benchmark::State& state)
{
    RunPeer(state, "/usr/bin/convert -limit thread 1 " + PhotoJpeg() + " -thumbnail 100x100 " + BenchFolder()
                       + "/im-thumb.jpg");
}
BENCHMARK(BM_Peer_ConvertThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_ConvertThumbnailShrinkOnLoad(benchmark::State& state)
{
    RunPeer(state, "/usr/bin/convert -limit thread 1 -define jpeg:size=200x200 " + PhotoJpeg()
                       + " -thumbnail 100x100 " + BenchFolder() + "/im-thumb2.jpg");
}
BENCHMARK(BM_Peer_ConvertThumbnailShrinkOnLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

// Smooth resampling to a quarter of the area, on all cores.
void BM_ResampleHalf(benchmark::State& state)
{
    CQLImageCodec codec;
    CQLImage out;
    for (auto _ : state)
        if (!codec.Resample(&SyntheticPhoto(), &out, kWidth / 2, kHeight / 2, 1))
            state.SkipWithError("resample failed");
}
BENCHMARK(BM_ResampleHalf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_VipsResizeHalf(benchmark::State& state)
{
    RunPeer(state, "vips resize " + PhotoJpeg() + " " + BenchFolder() + "/half.v 0.5 --kernel linear");
}
BENCHMARK(BM_Peer_VipsResizeHalf)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
