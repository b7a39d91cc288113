// Undo snapshots of a 24-megapixel photo (6000 x 4000, synthetic): packing
// and unpacking with the snapshot codec on all cores, against zlib at its
// fastest level on the same pixels in the same run (the usual way to squeeze
// an undo copy). Block sizes are reported as counters. BM_PushAsync is what
// the user interface waits for on each undo step: the packing and the
// hand-over to the writer thread, the disk write running behind it.
#include "bench/BenchSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SnapshotCodec.h"
#include "imagecore/QLImage.h"

#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

void BM_SnapshotPack(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    DWORD length = 0;
    for (auto _ : state) {
        BYTE* block = nullptr;
        if (!SnapshotCodec::Encode(&photo, &block, &length))
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(block);
        delete[] block;
    }
    state.counters["block_MB"] = length / 1e6;
    state.counters["ratio"] = double(photo.GetAreaByteSize()) / length;
}
BENCHMARK(BM_SnapshotPack)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SnapshotUnpack(benchmark::State& state)
{
    BYTE* block = nullptr;
    DWORD length = 0;
    if (!SnapshotCodec::Encode(&SyntheticPhoto(), &block, &length))
        std::abort();
    CQLImage image;
    for (auto _ : state) {
        if (!SnapshotCodec::Decode(&image, block, length))
            state.SkipWithError("decode failed");
        benchmark::ClobberMemory();
    }
    delete[] block;
}
BENCHMARK(BM_SnapshotUnpack)->Unit(benchmark::kMillisecond)->UseRealTime();

// zlib level 1 over the photo's colour bytes (3 of 4 per pixel, as the
// snapshot keeps), one core.
std::vector<BYTE> ColourBytes()
{
    const CQLImage& photo = SyntheticPhoto();
    const BYTE* p = photo.GetBuffer(0, 0);
    std::vector<BYTE> rgb(std::size_t{kPhotoWidth} * kPhotoHeight * 3);
    for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i) {
        rgb[3 * i] = p[4 * i];
        rgb[3 * i + 1] = p[4 * i + 1];
        rgb[3 * i + 2] = p[4 * i + 2];
    }
    return rgb;
}

void BM_Peer_ZlibPack(benchmark::State& state)
{
    const std::vector<BYTE> rgb = ColourBytes();
    std::vector<BYTE> out(compressBound(uLong(rgb.size())));
    uLongf length = 0;
    for (auto _ : state) {
        length = uLongf(out.size());
        if (compress2(out.data(), &length, rgb.data(), uLong(rgb.size()), 1) != Z_OK)
            state.SkipWithError("compress failed");
    }
    state.counters["block_MB"] = length / 1e6;
    state.counters["ratio"] = double(SyntheticPhoto().GetAreaByteSize()) / length;
}
BENCHMARK(BM_Peer_ZlibPack)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Peer_ZlibUnpack(benchmark::State& state)
{
    const std::vector<BYTE> rgb = ColourBytes();
    std::vector<BYTE> packed(compressBound(uLong(rgb.size())));
    uLongf length = uLongf(packed.size());
    if (compress2(packed.data(), &length, rgb.data(), uLong(rgb.size()), 1) != Z_OK)
        std::abort();
    std::vector<BYTE> out(rgb.size());
    for (auto _ : state) {
        uLongf size = uLongf(out.size());
        if (uncompress(out.data(), &size, packed.data(), length) != Z_OK)
            state.SkipWithError("uncompress failed");
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Peer_ZlibUnpack)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PushAsync(benchmark::State& state)
{
    setenv("TMPDIR", BenchFolder().c_str(), 1);
    AsyncUndoHistory history;
    history.Reset();
    int steps = 0;
    for (auto _ : state) {
        // A long history would fill the disk: start over every 8 steps,
        // outside the timing.
        if (++steps % 8 == 0) {
            state.PauseTiming();
            history.Reset();
            state.ResumeTiming();
        }
        if (!history.Push(&SyntheticPhoto(), "Step"))
            state.SkipWithError("push failed");
    }
}
BENCHMARK(BM_PushAsync)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
