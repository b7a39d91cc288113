// The shared core's plumbing, each beside a peer in the same run:
// - one parallel loop over a 1-megapixel preview through the pool, beside the
//   same split with a thread started and joined per chunk (the cost the pool
//   removes from every preview);
// - the dithered 16-bit to 8-bit conversion of the 24-megapixel photo (its
//   thread scaling: run once plainly and once under `taskset -c 0`);
// - JPEG decoding of the photo into a new image, beside TurboJPEG decoding
//   the same bytes into a new buffer;
// - the first write of a fresh photo-sized image on all cores, beside the
//   same write into one already written (the cost of first touch).
#include "bench/BenchSupport.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <turbojpeg.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// The preview's rows, touched once each: all the work there is besides the split.
void TouchRows(BYTE* pixels, int y0, int y1)
{
    for (int y = y0; y < y1; ++y)
        pixels[static_cast<std::size_t>(y) * kPreviewWidth * 4] += 1;
}

void BM_PooledLoopPreview(benchmark::State& state)
{
    std::vector<BYTE> pixels(std::size_t{kPreviewWidth} * kPreviewHeight * 4);
    for (auto _ : state)
        imagecore::ParallelFor(0, kPreviewHeight, kPreviewWidth,
                               [&](int y0, int y1) { TouchRows(pixels.data(), y0, y1); });
    benchmark::DoNotOptimize(pixels.data());
}
BENCHMARK(BM_PooledLoopPreview)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Peer_ThreadPerChunkPreview(benchmark::State& state)
{
    std::vector<BYTE> pixels(std::size_t{kPreviewWidth} * kPreviewHeight * 4);
    const std::size_t chunks = imagecore::ThreadCount();
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i + 1 < chunks; ++i)
            threads.emplace_back([&, i] {
                TouchRows(pixels.data(), static_cast<int>(kPreviewHeight * i / chunks),
                          static_cast<int>(kPreviewHeight * (i + 1) / chunks));
            });
        TouchRows(pixels.data(), static_cast<int>(kPreviewHeight * (chunks - 1) / chunks), kPreviewHeight);
        for (std::thread& t : threads)
            t.join();
    }
    benchmark::DoNotOptimize(pixels.data());
}
BENCHMARK(BM_Peer_ThreadPerChunkPreview)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DitherTo8BitPhoto(benchmark::State& state)
{
    C16BitBitmap photo, work;
    photo.ConvertFromSimpleBitmap(&SyntheticPhoto(), 1);
    CQLImage out;
    for (auto _ : state) {
        state.PauseTiming();
        work.DuplicateFrom(&photo); // the conversion diffuses into its bitmap
        state.ResumeTiming();
        work.ConvertToSimpleBitmap(&out, 1);
    }
    benchmark::DoNotOptimize(out.GetBuffer(0, 0));
}
BENCHMARK(BM_DitherTo8BitPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::vector<BYTE>& PhotoJpegBytes()
{
    static const std::vector<BYTE> bytes = [] {
        CQLImageCodec codec;
        BYTE* data = nullptr;
        DWORD length = 0;
        if (!codec.SaveToJpegMem(&data, &length, &SyntheticPhoto(), 90))
            std::abort();
        std::vector<BYTE> copy(data, data + length);
        delete[] data;
        return copy;
    }();
    return bytes;
}

void BM_JpegDecodeIntoNewImage(benchmark::State& state)
{
    const std::vector<BYTE>& jpeg = PhotoJpegBytes();
    for (auto _ : state) {
        CQLImage image;
        if (!CQLImageCodec::DecodeJpegMem(jpeg.data(), static_cast<DWORD>(jpeg.size()), &image))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.GetBuffer(0, 0));
    }
}
BENCHMARK(BM_JpegDecodeIntoNewImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_TurboJpegDecodeIntoNewBuffer(benchmark::State& state)
{
    const std::vector<BYTE>& jpeg = PhotoJpegBytes();
    tjhandle handle = tjInitDecompress();
    const std::size_t bytes = std::size_t{kPhotoWidth} * kPhotoHeight * 4;
    for (auto _ : state) {
        BYTE* buffer = static_cast<BYTE*>(std::malloc(bytes));
        if (tjDecompress2(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), buffer, kPhotoWidth, 0,
                          kPhotoHeight, TJPF_BGRA, 0) != 0)
            state.SkipWithError("TurboJPEG failed");
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
    tjDestroy(handle);
}
BENCHMARK(BM_Peer_TurboJpegDecodeIntoNewBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

void FillOnAllCores(CQLImage& image)
{
    imagecore::ParallelFor(0, kPhotoHeight, kPhotoWidth, [&](int y0, int y1) {
        std::memset(image.GetBuffer(0, y0), 0x5A, std::size_t{kPhotoWidth} * 4 * static_cast<std::size_t>(y1 - y0));
    });
}

void BM_FirstWriteOfNewImage(benchmark::State& state)
{
    for (auto _ : state) {
        CQLImage image;
        image.Create(kPhotoWidth, kPhotoHeight);
        FillOnAllCores(image);
        benchmark::DoNotOptimize(image.GetBuffer(0, 0));
    }
}
BENCHMARK(BM_FirstWriteOfNewImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_WriteOfReusedImage(benchmark::State& state)
{
    CQLImage image;
    image.Create(kPhotoWidth, kPhotoHeight);
    FillOnAllCores(image);
    for (auto _ : state) {
        FillOnAllCores(image);
        benchmark::DoNotOptimize(image.GetBuffer(0, 0));
    }
}
BENCHMARK(BM_Peer_WriteOfReusedImage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
