// The headline comparisons, in-process on both sides and on the same number
// of threads: each case is timed as <case>/ours and <case>/peer, on the same
// pixels or the same file, and bench/run prints their ratios.
//   JPEG load and save of the 24-megapixel photo: TurboJPEG (one thread, as
//     ours), into a new buffer and from pixels in memory to a file;
//   a 100-pixel thumbnail of that JPEG, blur, unsharp mask (blur, difference
//     and sum as one libvips chain), the resize effect to half and the codec's
//     smooth halving (against a linear kernel): the libvips C API;
//   undo snapshots: LZ4 and zlib (level 1) on the photo's buffer cut into as
//     many chunks as our codec takes, in parallel, each packing into a new
//     block as our codec does;
//   point operations: a memcpy of the same buffer on all cores, the memory
//     floor.
// Thread scaling, timed as <case>/ours on all threads and <case>/peer on one
// (imagecore::ScopedSingleThread), so the ratio is the share of the
// one-thread time that all threads take: the 16-bit levels, automatic
// levels and automatic exposure on the photo.
// Peers missing at build time (libvips, LZ4) are left out.
#include "bench/BenchSupport.h"

#include "algorithms/AutoExposureAlgorithm.h"
#include "algorithms/AutoLevelsAlgorithm.h"
#include "algorithms/ChannelMixerAlgorithm.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "algorithms/LevelsAlgorithm.h"
#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/ThresholdAlgorithm.h"
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/shell/SnapshotCodec.h"
#include "imagecore/16BitBitmap.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <turbojpeg.h>
#include <zlib.h>
#if defined(QUILLO_PEER_LZ4)
#include <lz4.h>
#endif
#if defined(QUILLO_PEER_VIPS)
#include <vips/vips.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

unsigned Threads()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

CQLImage* Photo()
{
    return const_cast<CQLImage*>(&SyntheticPhoto());
}

const std::string& PhotoJpeg()
{
    static const std::string path = [] {
        std::string p = BenchFolder() + "/headline.jpg";
        CQLImageCodec codec;
        if (!codec.SaveJpegFile(p.c_str(), Photo(), 90, 72))
            std::abort();
        return p;
    }();
    return path;
}

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
            bytes.clear();
        std::fclose(f);
    }
    return bytes;
}

// ---- JPEG

void JpegLoadOurs(benchmark::State& state)
{
    CQLImageCodec codec;
    for (auto _ : state) {
        CQLImage image; // a new image each time, as opening a photo
        if (!codec.LoadFile(PhotoJpeg().c_str(), &image))
            state.SkipWithError("load failed");
    }
}

void JpegLoadPeer(benchmark::State& state)
{
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        const std::vector<unsigned char> jpeg = ReadFile(PhotoJpeg());
        std::unique_ptr<unsigned char[]> pixels(new unsigned char[std::size_t{kPhotoWidth} * kPhotoHeight * 4]);
        if (tjDecompress2(tj, jpeg.data(), static_cast<unsigned long>(jpeg.size()), pixels.get(), kPhotoWidth, 0,
                          kPhotoHeight, TJPF_BGRX, 0)
            != 0)
            state.SkipWithError("tjDecompress2 failed");
        benchmark::DoNotOptimize(pixels.get());
    }
    tjDestroy(tj);
}

void JpegSaveOurs(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/headline-save.jpg";
    CQLImageCodec codec;
    for (auto _ : state)
        if (!codec.SaveJpegFile(out.c_str(), Photo(), 90, 72))
            state.SkipWithError("save failed");
}

void JpegSavePeer(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/headline-peer.jpg";
    tjhandle tj = tjInitCompress();
    for (auto _ : state) {
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(tj, Photo()->GetBuffer(0, 0), kPhotoWidth, 0, kPhotoHeight, TJPF_BGRX, &jpeg, &size,
                        TJSAMP_420, 90, 0)
            != 0) {
            state.SkipWithError("tjCompress2 failed");
            break;
        }
        std::FILE* f = std::fopen(out.c_str(), "wb");
        if (!f || std::fwrite(jpeg, 1, size, f) != size)
            state.SkipWithError("write failed");
        if (f)
            std::fclose(f);
        tjFree(jpeg);
    }
    tjDestroy(tj);
}

void ThumbnailOurs(benchmark::State& state)
{
    CQLImageCodec codec;
    for (auto _ : state) {
        CQLImage thumb;
        int w = 0, h = 0;
        if (!codec.CreateThumbnail(PhotoJpeg().c_str(), &thumb, 100, &w, &h, 0))
            state.SkipWithError("thumbnail failed");
    }
}

// ---- Effects on the photo into a reused target

template <class Effect, class Params>
void RunOurs(benchmark::State& state, const CQLImage& input, const Params& params)
{
    Effect fx;
    CQLImage target;
    fx.SetImages(const_cast<CQLImage*>(&input), &target);
    fx.SetRange(0, 100);
    fx.Apply(&params); // untimed: makes the target, as every later run finds it
    for (auto _ : state) {
        if (fx.Apply(&params) != 0) {
            state.SkipWithError("effect failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

// An effect on the photo on all threads, or on one.
void RunOnThreads(benchmark::State& state, bool oneThread, EffectAlgorithm& fx, const void* params)
{
    std::unique_ptr<imagecore::ScopedSingleThread> single;
    if (oneThread)
        single = std::make_unique<imagecore::ScopedSingleThread>();
    CQLImage target;
    fx.SetImages(Photo(), &target);
    fx.SetRange(0, 100);
    fx.Apply(params); // untimed: makes the target and the work copies, as a dialog's first run
    for (auto _ : state) {
        if (fx.Apply(params) != 0) {
            state.SkipWithError("effect failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

// Levels with black at 10 % and white at 90 % on the photo as 16 bits.
void Levels16(benchmark::State& state, bool oneThread)
{
    static C16BitBitmap input;
    if (!input.GetWidth())
        input.ConvertFromSimpleBitmap(Photo(), 0);
    std::vector<WORD> table(LevelsAlgorithm::kTableSize);
    for (int v = 0; v < LevelsAlgorithm::kTableSize; ++v)
        table[v] = static_cast<WORD>(std::clamp((v - 6554LL) * 65535 / (58982 - 6554), 0LL, 65535LL));
    LevelsAlgorithm fx;
    fx.SetAlgorithmInput(&input);
    RunOnThreads(state, oneThread, fx, table.data());
}

void MemcpyAllCores(benchmark::State& state, const CQLImage& input)
{
    CQLImage target;
    target.DuplicateFrom(&input);
    UINT w = 0, h = 0;
    input.GetSize(&w, &h);
    for (auto _ : state) {
        imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
            std::memcpy(target.GetBuffer(0, y0), input.GetBuffer(0, y0), std::size_t(y1 - y0) * w * 4);
        });
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

// ---- Snapshots: the peers on as many chunks as the codec takes, in parallel

struct Chunks {
    std::size_t count = std::min<std::size_t>(kPhotoHeight, Threads() * 4);
    std::size_t bytes = std::size_t{kPhotoWidth} * kPhotoHeight * 4;
    std::size_t Begin(std::size_t c) const { return bytes * c / count / 4 * 4; }
    std::size_t Size(std::size_t c) const { return Begin(c + 1) - Begin(c); }
};

template <class Pack>
void PeerPack(benchmark::State& state, std::size_t bound, Pack&& pack)
{
    const Chunks chunks;
    const BYTE* src = Photo()->GetBuffer(0, 0);
    std::vector<std::size_t> size(chunks.count);
    for (auto _ : state) {
        // A new block each time, as every undo step keeps its own.
        std::unique_ptr<BYTE[]> out(new BYTE[bound * chunks.count]);
        imagecore::ParallelFor(0, static_cast<int>(chunks.count), chunks.bytes / chunks.count, [&](int c0, int c1) {
            for (int c = c0; c < c1; ++c)
                size[c] = pack(src + chunks.Begin(c), chunks.Size(c), out.get() + bound * c, bound);
        });
        benchmark::DoNotOptimize(out.get());
    }
    std::size_t total = 0;
    for (std::size_t s : size)
        total += s;
    state.counters["block_MB"] = total / 1e6;
}

template <class Pack, class Unpack>
void PeerUnpack(benchmark::State& state, std::size_t bound, Pack&& pack, Unpack&& unpack)
{
    const Chunks chunks;
    const BYTE* src = Photo()->GetBuffer(0, 0);
    std::vector<BYTE> packed(bound * chunks.count);
    std::vector<std::size_t> size(chunks.count);
    for (std::size_t c = 0; c < chunks.count; ++c)
        size[c] = pack(src + chunks.Begin(c), chunks.Size(c), packed.data() + bound * c, bound);
    CQLImage target;
    target.DuplicateFrom(Photo());
    BYTE* dst = target.GetBuffer(0, 0);
    for (auto _ : state)
        imagecore::ParallelFor(0, static_cast<int>(chunks.count), chunks.bytes / chunks.count, [&](int c0, int c1) {
            for (int c = c0; c < c1; ++c)
                if (!unpack(packed.data() + bound * c, size[c], dst + chunks.Begin(c), chunks.Size(c)))
                    std::abort();
        });
}

std::size_t ChunkBound(std::size_t (*bound)(std::size_t))
{
    const Chunks chunks;
    return bound(chunks.bytes / chunks.count + 4);
}

std::size_t ZlibPack(const BYTE* s, std::size_t n, BYTE* d, std::size_t cap)
{
    uLongf length = static_cast<uLongf>(cap);
    return compress2(d, &length, s, static_cast<uLong>(n), 1) == Z_OK ? length : 0;
}

bool ZlibUnpack(const BYTE* s, std::size_t n, BYTE* d, std::size_t size)
{
    uLongf length = static_cast<uLongf>(size);
    return uncompress(d, &length, s, static_cast<uLong>(n)) == Z_OK && length == size;
}

std::size_t ZlibBound(std::size_t n)
{
    return compressBound(static_cast<uLong>(n));
}

void SnapshotPackOurs(benchmark::State& state)
{
    DWORD length = 0;
    BYTE* first = nullptr;
    SnapshotCodec::Encode(Photo(), &first, &length); // untimed, as the first of many undo steps
    delete[] first;
    for (auto _ : state) {
        BYTE* block = nullptr;
        if (!SnapshotCodec::Encode(Photo(), &block, &length))
            state.SkipWithError("encode failed");
        delete[] block;
    }
    state.counters["block_MB"] = length / 1e6;
}

void SnapshotUnpackOurs(benchmark::State& state)
{
    BYTE* block = nullptr;
    DWORD length = 0;
    if (!SnapshotCodec::Encode(Photo(), &block, &length))
        std::abort();
    CQLImage image;
    image.DuplicateFrom(Photo());
    for (auto _ : state)
        if (!SnapshotCodec::Decode(&image, block, length))
            state.SkipWithError("decode failed");
    delete[] block;
}

#if defined(QUILLO_PEER_LZ4)
std::size_t Lz4Pack(const BYTE* s, std::size_t n, BYTE* d, std::size_t cap)
{
    return static_cast<std::size_t>(LZ4_compress_default(reinterpret_cast<const char*>(s), reinterpret_cast<char*>(d),
                                                         static_cast<int>(n), static_cast<int>(cap)));
}

bool Lz4Unpack(const BYTE* s, std::size_t n, BYTE* d, std::size_t size)
{
    return LZ4_decompress_safe(reinterpret_cast<const char*>(s), reinterpret_cast<char*>(d), static_cast<int>(n),
                               static_cast<int>(size))
           == static_cast<int>(size);
}

std::size_t Lz4Bound(std::size_t n)
{
    return static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(n)));
}
#endif

// ---- libvips on an image over the photo's own buffer, all threads

#if defined(QUILLO_PEER_VIPS)
bool VipsReady()
{
    static const bool ready = [] {
        if (VIPS_INIT("bench_headline") != 0)
            return false;
        vips_concurrency_set(static_cast<int>(Threads()));
        vips_cache_set_max(0); // every iteration computes its pixels
        return true;
    }();
    return ready;
}

VipsImage* VipsPhoto()
{
    return vips_image_new_from_memory(Photo()->GetBuffer(0, 0), Photo()->GetAreaByteSize(), kPhotoWidth, kPhotoHeight,
                                      4, VIPS_FORMAT_UCHAR);
}

// Builds an operation on the photo and writes its pixels to memory.
void RunVips(benchmark::State& state, const std::function<VipsImage*(VipsImage*)>& build)
{
    if (!VipsReady()) {
        state.SkipWithError("libvips did not start");
        return;
    }
    for (auto _ : state) {
        VipsImage* in = VipsPhoto();
        VipsImage* out = build(in);
        std::size_t size = 0;
        void* pixels = out ? vips_image_write_to_memory(out, &size) : nullptr;
        if (!pixels)
            state.SkipWithError(vips_error_buffer());
        g_free(pixels);
        if (out)
            g_object_unref(out);
        g_object_unref(in);
    }
}

// Our radius r is a standard deviation of r / 2.
double Sigma(int radius)
{
    return radius / 2.0;
}

VipsImage* VipsBlur(VipsImage* in, int radius)
{
    VipsImage* out = nullptr;
    return vips_gaussblur(in, &out, Sigma(radius), "precision", VIPS_PRECISION_INTEGER, nullptr) == 0 ? out : nullptr;
}

// in + (in - blur) * amount / 128, as our unsharp mask without its edge mask.
VipsImage* VipsUnsharp(VipsImage* in, int radius, int amount)
{
    VipsImage* blur = VipsBlur(in, radius);
    if (!blur)
        return nullptr;
    const double k = amount / 128.0;
    VipsImage *a = nullptr, *b = nullptr, *sum = nullptr, *out = nullptr;
    const bool ok = vips_linear1(in, &a, 1 + k, 0, nullptr) == 0 && vips_linear1(blur, &b, k, 0, nullptr) == 0
                    && vips_subtract(a, b, &sum, nullptr) == 0 && vips_cast_uchar(sum, &out, nullptr) == 0;
    for (VipsImage* image : {blur, a, b, sum})
        if (image)
            g_object_unref(image);
    return ok ? out : nullptr;
}

void ThumbnailPeer(benchmark::State& state)
{
    if (!VipsReady()) {
        state.SkipWithError("libvips did not start");
        return;
    }
    for (auto _ : state) {
        VipsImage* thumb = nullptr;
        if (vips_thumbnail(PhotoJpeg().c_str(), &thumb, 100, nullptr) != 0) {
            state.SkipWithError(vips_error_buffer());
            break;
        }
        std::size_t size = 0;
        g_free(vips_image_write_to_memory(thumb, &size));
        g_object_unref(thumb);
    }
}
#endif

void Register(const std::string& name, std::function<void(benchmark::State&)> fn)
{
    benchmark::RegisterBenchmark(name.c_str(), [fn](benchmark::State& state) { fn(state); })
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime() // the CPU column: all threads' time, which a loaded machine disturbs less
        ->UseRealTime();
}

const int registered = [] {
    Register("JpegLoad/ours", JpegLoadOurs);
    Register("JpegLoad/peer", JpegLoadPeer);
    Register("JpegSave/ours", JpegSaveOurs);
    Register("JpegSave/peer", JpegSavePeer);

    Register("Thumbnail/ours", ThumbnailOurs);
    Register("Blur5/ours", [](benchmark::State& s) { RunOurs<SmoothAlgorithm>(s, SyntheticPhoto(), SmoothParams{5}); });
    Register("Blur50/ours", [](benchmark::State& s) { RunOurs<SmoothAlgorithm>(s, SyntheticPhoto(), SmoothParams{50}); });
    Register("Unsharp5/ours",
             [](benchmark::State& s) { RunOurs<UnsharpMaskAlgorithm>(s, SyntheticPhoto(), UnsharpMaskParams{5, 100, 0}); });
    Register("ResizeHalf/ours", [](benchmark::State& s) {
        RunOurs<ResampleAlgorithm>(s, SyntheticPhoto(), ResizeParams{kPhotoWidth / 2, kPhotoHeight / 2});
    });
    Register("HalveSmooth/ours", [](benchmark::State& s) {
        CQLImageCodec codec;
        CQLImage out;
        codec.Resample(Photo(), &out, kPhotoWidth / 2, kPhotoHeight / 2, 1);
        for (auto _ : s)
            if (!codec.Resample(Photo(), &out, kPhotoWidth / 2, kPhotoHeight / 2, 1))
                s.SkipWithError("resample failed");
    });
#if defined(QUILLO_PEER_VIPS)
    Register("HalveSmooth/peer", [](benchmark::State& s) {
        RunVips(s, [](VipsImage* in) {
            VipsImage* out = nullptr;
            return vips_resize(in, &out, 0.5, "kernel", VIPS_KERNEL_LINEAR, nullptr) == 0 ? out : nullptr;
        });
    });
    Register("Thumbnail/peer", ThumbnailPeer);
    Register("Blur5/peer", [](benchmark::State& s) { RunVips(s, [](VipsImage* in) { return VipsBlur(in, 5); }); });
    Register("Blur50/peer", [](benchmark::State& s) { RunVips(s, [](VipsImage* in) { return VipsBlur(in, 50); }); });
    Register("Unsharp5/peer",
             [](benchmark::State& s) { RunVips(s, [](VipsImage* in) { return VipsUnsharp(in, 5, 100); }); });
    Register("ResizeHalf/peer", [](benchmark::State& s) {
        RunVips(s, [](VipsImage* in) {
            VipsImage* out = nullptr;
            return vips_resize(in, &out, 0.5, nullptr) == 0 ? out : nullptr;
        });
    });
#endif

    Register("SnapshotPack/ours", SnapshotPackOurs);
    Register("SnapshotUnpack/ours", SnapshotUnpackOurs);
#if defined(QUILLO_PEER_LZ4)
    Register("SnapshotPack/peer", [](benchmark::State& s) { PeerPack(s, ChunkBound(Lz4Bound), Lz4Pack); });
    Register("SnapshotUnpack/peer",
             [](benchmark::State& s) { PeerUnpack(s, ChunkBound(Lz4Bound), Lz4Pack, Lz4Unpack); });
#endif
    Register("SnapshotPackZlib/ours", SnapshotPackOurs);
    Register("SnapshotPackZlib/peer", [](benchmark::State& s) { PeerPack(s, ChunkBound(ZlibBound), ZlibPack); });
    Register("SnapshotUnpackZlib/ours", SnapshotUnpackOurs);
    Register("SnapshotUnpackZlib/peer",
             [](benchmark::State& s) { PeerUnpack(s, ChunkBound(ZlibBound), ZlibPack, ZlibUnpack); });

    // Point operations against the all-core memory floor, on the photo and
    // (white balance) on a preview.
    Register("WhiteBalance/ours",
             [](benchmark::State& s) { RunOurs<WhiteBalanceAlgorithm>(s, SyntheticPhoto(), DWORD{0x00806070}); });
    Register("WhiteBalance/peer", [](benchmark::State& s) { MemcpyAllCores(s, SyntheticPhoto()); });
    Register("WhiteBalancePreview/ours",
             [](benchmark::State& s) { RunOurs<WhiteBalanceAlgorithm>(s, SyntheticPreview(), DWORD{0x00806070}); });
    Register("WhiteBalancePreview/peer", [](benchmark::State& s) { MemcpyAllCores(s, SyntheticPreview()); });
    Register("Threshold/ours",
             [](benchmark::State& s) { RunOurs<ThresholdAlgorithm>(s, SyntheticPhoto(), ThresholdParams{0, 128, 16, 50}); });
    Register("Threshold/peer", [](benchmark::State& s) { MemcpyAllCores(s, SyntheticPhoto()); });
    Register("HsbTable/ours", [](benchmark::State& s) {
        RunOurs<HueSaturationAlgorithm>(s, SyntheticPhoto(), HueSaturationParams{20, 30, 15});
    });
    Register("HsbTable/peer", [](benchmark::State& s) { MemcpyAllCores(s, SyntheticPhoto()); });
    Register("ChannelMixer/ours", [](benchmark::State& s) {
        RunOurs<ChannelMixerAlgorithm>(s, SyntheticPhoto(),
                                       ChannelMixerParams{0, {80, 20, 0, 5}, {10, 90, 0, 0}, {0, 30, 70, -5}, {}});
    });
    Register("ChannelMixer/peer", [](benchmark::State& s) { MemcpyAllCores(s, SyntheticPhoto()); });

    // Thread scaling: all threads over one.
    Register("LevelsThreads/ours", [](benchmark::State& s) { Levels16(s, false); });
    Register("LevelsThreads/peer", [](benchmark::State& s) { Levels16(s, true); });
    for (const bool one : {false, true})
        Register(std::string("AutoLevelsThreads") + (one ? "/peer" : "/ours"), [one](benchmark::State& s) {
            AutoLevelsAlgorithm fx;
            const INT perChannel = 0;
            RunOnThreads(s, one, fx, &perChannel);
        });
    for (const bool one : {false, true})
        Register(std::string("AutoExposureThreads") + (one ? "/peer" : "/ours"), [one](benchmark::State& s) {
            AutoExposureAlgorithm fx;
            const INT allChannels = 0;
            RunOnThreads(s, one, fx, &allChannels);
        });
    return 0;
}();

} // namespace
