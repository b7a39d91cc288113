#include "editor/shell/SnapshotCodec.h"

#include "editor/shell/SnapshotKernels.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/Simd.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>
#include <new>
#include <vector>

namespace {

constexpr int kModeHighRle = 2;
constexpr int kModeLowRle = 1;
constexpr std::size_t kMaxBlock = 0x7FFFFFFF;

// Channel byte of each plane in plane order (alpha first when stored).
constexpr int kAlphaByte = 3;
constexpr int kColourBytes[3] = {2, 1, 0};

void PutLE32(BYTE* p, DWORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
    p[3] = BYTE(v >> 24);
}

DWORD GetLE32(const BYTE* p)
{
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

using imagecore::SimdLevel;

// Run-length stream of one nibble of each value, from the bitmap of the
// places where that nibble changes; stops as soon as it holds more than
// limit bytes and then returns limit + 1. The cost goes with the number of
// runs.
template <int Shift>
long BuildRle(const BYTE* v, std::size_t n, const std::uint64_t* changes, BYTE* out, long limit)
{
    if (n == 0)
        return 0;
    long count = 0;
    std::size_t start = 0;
    unsigned cur = (v[0] >> Shift) & 15;
    auto emit = [&](std::size_t end) {
        std::size_t length = end - start;
        while (length > 15) {
            if (count >= limit)
                return false;
            out[count++] = BYTE(0xF0 | cur);
            length -= 15;
        }
        if (count >= limit)
            return false;
        out[count++] = BYTE(length << 4 | cur);
        return true;
    };
    const std::size_t words = (n + 63) / 64;
    for (std::size_t w = 0; w < words; ++w)
        for (std::uint64_t bits = changes[w]; bits; bits &= bits - 1) {
            const std::size_t at = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
            if (!emit(at))
                return limit + 1;
            start = at;
            cur = (v[at] >> Shift) & 15;
        }
    return emit(n) ? count : limit + 1;
}

// One row of n coded values out of a row of width pixels; returns the bytes
// written: at most the mode byte and width + 1 bytes of streams. highRle and
// lowRle take width / 2 bytes each, the bitmaps BitmapWords(n) words each.
std::size_t EncodeRow(const BYTE* v, std::size_t n, UINT width, BYTE* out, BYTE* highRle, BYTE* lowRle,
                      std::uint64_t* highBits, std::uint64_t* lowBits, SimdLevel level)
{
    const long t = static_cast<long>(width / 2) - 1;
    std::size_t highChanges = 0, lowChanges = 0;
    snapshotkernels::ChangeBits(v, n, highBits, lowBits, &highChanges, &lowChanges, level);
    // A run-length stream holds at least changes + 1 bytes, so a count above
    // the limit settles the mode without building the stream.
    const long high =
        n != 0 && static_cast<long>(highChanges) + 1 > t ? t + 1 : BuildRle<4>(v, n, highBits, highRle, t);
    if (high > t) {
        out[0] = 0;
        std::size_t size = 1 + snapshotkernels::PackNibbles(v, n, out + 1, true, level);
        return size + snapshotkernels::PackNibbles(v, n, out + size, false, level);
    }
    const long low = n != 0 && static_cast<long>(lowChanges) + 1 > t ? t + 1 : BuildRle<0>(v, n, lowBits, lowRle, t);
    std::memcpy(out + 1, highRle, static_cast<std::size_t>(high));
    std::size_t size = 1 + static_cast<std::size_t>(high);
    if (low > t) {
        out[0] = kModeHighRle;
        return size + snapshotkernels::PackNibbles(v, n, out + size, false, level);
    }
    out[0] = kModeHighRle | kModeLowRle;
    std::memcpy(out + size, lowRle, static_cast<std::size_t>(low));
    return size + static_cast<std::size_t>(low);
}

// Slack after each nibble buffer: runs are written 16 bytes at a time.
constexpr std::size_t kSlack = 16;

// A checked row into n values; values and low are scratch of n + kSlack
// bytes each. Reads stop before end.
void DecodeValues(const BYTE* p, const BYTE* end, std::size_t n, BYTE* values, BYTE* low, SimdLevel level)
{
    const int mode = *p++;
    if (mode & kModeHighRle) {
        p = snapshotkernels::ExpandRuns(p, end, n, values, true, level);
    } else {
        snapshotkernels::UnpackNibbles(p, n, values, true, level);
        p += (n + 1) / 2;
    }
    if (mode & kModeLowRle) {
        snapshotkernels::ExpandRuns(p, end, n, low, false, level);
        snapshotkernels::OrBytes(values, low, n, level);
    } else {
        snapshotkernels::UnpackNibbles(p, n, values, false, level);
    }
}

std::size_t CountCoded(const BYTE* alphaRow, UINT width)
{
    std::size_t n = 0;
    for (UINT x = 0; x < width; ++x)
        n += alphaRow[x] != 0;
    return n;
}

// The worst-case work area of the encoder, kept for the next call: undo
// steps are packed one after another at the same size, and a fresh area
// would be faulted in page by page each time. A second encoder running at
// the same moment takes an area of its own.
std::mutex g_areaMutex;
std::unique_ptr<BYTE[]> g_area;
std::size_t g_areaSize = 0;

class WorkArea {
public:
    explicit WorkArea(std::size_t size)
        : m_lock(g_areaMutex, std::try_to_lock)
    {
        if (m_lock.owns_lock()) {
            if (g_areaSize < size) {
                g_area.reset();
                g_areaSize = 0;
                g_area.reset(new (std::nothrow) BYTE[size]);
                if (g_area)
                    g_areaSize = size;
            }
            m_data = g_area.get();
            return;
        }
        m_own.reset(new (std::nothrow) BYTE[size]);
        m_data = m_own.get();
    }
    BYTE* Data() const { return m_data; }

private:
    std::unique_lock<std::mutex> m_lock;
    std::unique_ptr<BYTE[]> m_own;
    BYTE* m_data = nullptr;
};

} // namespace

int SnapshotCodec::Encode(const CQLImage* image, BYTE** block, DWORD* length, BOOL withAlpha)
{
    *block = nullptr;
    *length = 0;
    UINT width = 0, height = 0;
    image->GetSize(&width, &height);
    const bool alpha = withAlpha != 0;
    const int planes = alpha ? 4 : 3;
    // An image with a zero side has no pixels; a zero width still has rows.
    const std::size_t rows = std::size_t{height} * planes;
    BYTE header[kHeaderSize];
    PutLE32(header, width);
    PutLE32(header + 4, height);
    header[8] = alpha ? 1 : 0;
    std::memcpy(header + 9, "Reserved", 8);
    if (rows == 0) {
        BYTE* out = new (std::nothrow) BYTE[kHeaderSize];
        if (!out)
            return 0;
        std::memcpy(out, header, kHeaderSize);
        *block = out;
        *length = kHeaderSize;
        return 1;
    }

    // Rows are coded in parallel, each chunk of rows into a worst-case region
    // per plane of the work area (row k of the block at k * rowCap, k =
    // plane * height + y); then the regions are copied together in order.
    const std::size_t rowCap = std::size_t{width} + 2;
    WorkArea area(rows * rowCap);
    BYTE* work = area.Data();
    if (!work)
        return 0;
    const SimdLevel level = imagecore::ActiveSimdLevel();
    const std::size_t hw = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t chunkCount = std::min<std::size_t>(height, hw * 4);
    const auto firstRow = [&](std::size_t c) { return height * c / chunkCount; };
    const auto region = [&](int plane, std::size_t c) { return (plane * std::size_t{height} + firstRow(c)) * rowCap; };
    std::vector<std::size_t> regionSize(planes * chunkCount, 0);
    std::atomic<bool> failed{false};
    const BYTE* pixels = image->GetAreaByteSize() ? image->GetBuffer(0, 0) : nullptr;
    imagecore::ParallelFor(0, static_cast<int>(chunkCount), rows * width / chunkCount, [&](int c0, int c1) {
        const std::size_t words = snapshotkernels::BitmapWords(width);
        std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[std::size_t{width} * 6 + 8]);
        std::unique_ptr<std::uint64_t[]> bits(new (std::nothrow) std::uint64_t[2 * words]);
        if (!scratch || !bits) {
            failed = true;
            return;
        }
        // Planes B, G, R, A of the row, the coded values of a masked row, the
        // two run-length streams.
        BYTE* plane[4];
        for (int i = 0; i < 4; ++i)
            plane[i] = scratch.get() + std::size_t(i) * width;
        BYTE* coded = plane[3] + width;
        BYTE* highRle = coded + width;
        BYTE* lowRle = highRle + width / 2 + 2;
        BYTE* const colour[3] = {plane[2], plane[1], plane[0]}; // stored order: red, green, blue
        for (int c = c0; c < c1; ++c) {
            std::size_t used[4] = {};
            for (std::size_t y = firstRow(c); y < firstRow(c + 1); ++y) {
                if (pixels)
                    snapshotkernels::SplitPixels(pixels + y * width * 4, width, plane[0], plane[1], plane[2],
                                                 alpha ? plane[3] : nullptr, level);
                for (int p = 0; p < planes; ++p) {
                    const BYTE* v = alpha ? (p == 0 ? plane[3] : colour[p - 1]) : colour[p];
                    std::size_t n = width;
                    if (alpha && p > 0) {
                        n = 0;
                        for (UINT x = 0; x < width; ++x)
                            if (plane[3][x])
                                coded[n++] = v[x];
                        v = coded;
                    }
                    BYTE* dst = work + region(p, c) + used[p];
                    used[p] += EncodeRow(v, n, width, dst, highRle, lowRle, bits.get(), bits.get() + words, level);
                }
            }
            for (int p = 0; p < planes; ++p)
                regionSize[p * chunkCount + c] = used[p];
        }
    });
    if (failed)
        return 0;
    std::vector<std::size_t> offset(regionSize.size());
    std::size_t size = kHeaderSize;
    for (std::size_t r = 0; r < regionSize.size(); ++r) {
        offset[r] = size;
        size += regionSize[r];
    }
    if (size > kMaxBlock)
        return 0;
    BYTE* out = new (std::nothrow) BYTE[size];
    if (!out)
        return 0;
    std::memcpy(out, header, kHeaderSize);
    imagecore::ParallelFor(0, static_cast<int>(regionSize.size()), size / regionSize.size(), [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r)
            std::memcpy(out + offset[r], work + region(r / static_cast<int>(chunkCount), r % chunkCount),
                        regionSize[r]);
    });
    *block = out;
    *length = static_cast<DWORD>(size);
    return 1;
}

int SnapshotCodec::Decode(CQLImage* image, const BYTE* block, DWORD length)
{
    if (!block || length < kHeaderSize)
        return 0;
    const UINT width = GetLE32(block);
    const UINT height = GetLE32(block + 4);
    if (block[8] > 1)
        return 0;
    const bool alpha = block[8] == 1;
    const int planes = alpha ? 4 : 3;
    const std::size_t rows = std::size_t{height} * planes;
    // Every row takes at least its mode byte.
    if (rows > length - kHeaderSize)
        return 0;
    const SimdLevel level = imagecore::ActiveSimdLevel();

    // Check the whole block first and note where each row starts. No lengths
    // are stored; without alpha every row holds width values and the rows
    // are found on all cores.
    std::vector<std::size_t> rowStart;
    std::vector<BYTE> alphaPlane;
    if (!alpha) {
        const std::size_t rowBytes = 2 * std::size_t{width} + 2;
        const std::size_t segments =
            std::min<std::size_t>(imagecore::ThreadCount() * 4, (length - kHeaderSize) / (64 * rowBytes));
        if (!snapshotkernels::FindRowStarts(block, length, kHeaderSize, rows, width, segments, rowStart, level))
            return 0;
    } else {
        // The coded pixels of a colour row are counted on the alpha plane,
        // which is decoded once it is found: this walk is sequential.
        rowStart.resize(rows);
        std::size_t pos = kHeaderSize;
        for (std::size_t k = 0; k < rows; ++k) {
            std::size_t n = width;
            if (k == height) {
                alphaPlane.resize(std::size_t{width} * height + kSlack);
                std::vector<BYTE> low(std::size_t{width} + kSlack);
                for (std::size_t y = 0; y < height; ++y)
                    DecodeValues(block + rowStart[y], block + length, width, alphaPlane.data() + y * width,
                                 low.data(), level);
            }
            if (k >= height)
                n = CountCoded(alphaPlane.data() + (k % height) * width, width);
            const std::size_t size = snapshotkernels::RowSize(block + pos, length - pos, n, level);
            if (size == 0)
                return 0;
            rowStart[k] = pos;
            pos += size;
        }
    }

    CQLImage fresh;
    UINT oldWidth = 0, oldHeight = 0;
    image->GetSize(&oldWidth, &oldHeight);
    const bool sameSize = image->GetAreaByteSize() != 0 && oldWidth == width && oldHeight == height;
    CQLImage* target = sameSize ? image : &fresh;
    if (target->Create(width, height) != 0)
        return 0;
    if (target->GetAreaByteSize() != 0) {
        BYTE* pixels = target->GetBuffer(0, 0);
        imagecore::ParallelFor(0, static_cast<int>(height), std::size_t{width} * planes, [&](int y0, int y1) {
            // Planes R, G, B (stored order), alpha, the low nibbles of a
            // run-length row.
            const std::size_t stride = std::size_t{width} + kSlack;
            std::vector<BYTE> scratch(5 * stride);
            BYTE* plane[3] = {scratch.data(), scratch.data() + stride, scratch.data() + 2 * stride};
            BYTE* opacity = scratch.data() + 3 * stride;
            BYTE* low = scratch.data() + 4 * stride;
            // A new buffer has no alpha of its own: opaque, as loaded photos are.
            if (!alpha && !sameSize)
                std::memset(opacity, 255, width);
            for (int y = y0; y < y1; ++y) {
                BYTE* row = pixels + std::size_t(y) * width * 4;
                if (alpha) {
                    const BYTE* a = alphaPlane.data() + std::size_t(y) * width;
                    const std::size_t n = CountCoded(a, width);
                    for (int c = 0; c < 3; ++c) {
                        DecodeValues(block + rowStart[std::size_t(c + 1) * height + y], block + length, n,
                                     plane[c], low, level);
                        const int byte = kColourBytes[c];
                        std::size_t i = 0;
                        for (UINT x = 0; x < width; ++x)
                            if (a[x])
                                row[x * 4 + byte] = plane[c][i++];
                    }
                    for (UINT x = 0; x < width; ++x)
                        row[x * 4 + kAlphaByte] = a[x];
                    continue;
                }
                for (int c = 0; c < 3; ++c)
                    DecodeValues(block + rowStart[std::size_t(c) * height + y], block + length, width,
                                 plane[c], low, level);
                // The image's own buffer keeps its alpha.
                snapshotkernels::MergePixels(plane[2], plane[1], plane[0], sameSize ? nullptr : opacity, width, row,
                                             level);
            }
        });
    }
    if (!sameSize)
        *image = std::move(fresh);
    return 1;
}
