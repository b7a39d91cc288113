#include "editor/shell/SnapshotCodec.h"

#include "imagecore/ParallelFor.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <memory>
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

constexpr std::uint64_t kLowNibbles = 0x0F0F0F0F0F0F0F0Full;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// Bytes whose nibble (high or low) differs between the eight values at v and
// the eight before them: 0x01 in each such byte.
template <int Shift>
std::uint64_t ChangeFlags(const BYTE* v)
{
    std::uint64_t a, b;
    std::memcpy(&a, v, 8);
    std::memcpy(&b, v - 1, 8);
    const std::uint64_t x = ((a ^ b) >> Shift) & kLowNibbles;
    // A nibble of 1..15 plus 15 reaches bit 4 of its byte; 0 does not.
    return ((x + kLowNibbles) >> 4) & kOnes;
}

// Run-length stream of one nibble of each value; stops as soon as it holds
// more than limit bytes and then returns limit + 1. Runs are found eight
// values at a time, so the cost goes with the number of runs.
template <int Shift>
long BuildRle(const BYTE* v, std::size_t n, BYTE* out, long limit)
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
    std::size_t i = 1;
    for (; i + 8 <= n; i += 8) {
        for (std::uint64_t flags = ChangeFlags<Shift>(v + i); flags; flags &= flags - 1) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctzll(flags) >> 3);
            if (!emit(at))
                return limit + 1;
            start = at;
            cur = (v[at] >> Shift) & 15;
        }
    }
    for (; i < n; ++i) {
        const unsigned nib = (v[i] >> Shift) & 15;
        if (nib == cur)
            continue;
        if (!emit(i))
            return limit + 1;
        start = i;
        cur = nib;
    }
    return emit(n) ? count : limit + 1;
}

std::size_t PackHigh(const BYTE* v, std::size_t n, BYTE* out)
{
    const std::size_t pairs = n / 2;
    for (std::size_t i = 0; i < pairs; ++i)
        out[i] = BYTE((v[2 * i] & 0xF0) | (v[2 * i + 1] >> 4));
    if (n & 1)
        out[pairs] = BYTE(v[n - 1] & 0xF0);
    return (n + 1) / 2;
}

std::size_t PackLow(const BYTE* v, std::size_t n, BYTE* out)
{
    const std::size_t pairs = n / 2;
    for (std::size_t i = 0; i < pairs; ++i)
        out[i] = BYTE((v[2 * i] << 4) | (v[2 * i + 1] & 0x0F));
    if (n & 1)
        out[pairs] = BYTE(v[n - 1] << 4);
    return (n + 1) / 2;
}

// How often the high and the low nibble change from one value to the next.
// A run-length stream holds at least changes + 1 bytes, so a count above the
// limit settles the mode without building the stream.
void CountChanges(const BYTE* v, std::size_t n, std::size_t* high, std::size_t* low)
{
    std::size_t h = 0, l = 0, i = 1;
    for (; i + 8 <= n; i += 8) {
        h += (ChangeFlags<4>(v + i) * kOnes) >> 56;
        l += (ChangeFlags<0>(v + i) * kOnes) >> 56;
    }
    for (; i < n; ++i) {
        const unsigned x = v[i] ^ v[i - 1];
        h += (x & 0xF0) != 0;
        l += (x & 0x0F) != 0;
    }
    *high = h;
    *low = l;
}

// One row of n coded values out of a row of width pixels; returns the bytes
// written: at most the mode byte and width + 1 bytes of streams.
std::size_t EncodeRow(const BYTE* v, std::size_t n, UINT width, BYTE* out, BYTE* highRle, BYTE* lowRle)
{
    const long t = static_cast<long>(width / 2) - 1;
    std::size_t highChanges = 0, lowChanges = 0;
    CountChanges(v, n, &highChanges, &lowChanges);
    const long high = n != 0 && static_cast<long>(highChanges) + 1 > t ? t + 1 : BuildRle<4>(v, n, highRle, t);
    if (high > t) {
        out[0] = 0;
        std::size_t size = 1 + PackHigh(v, n, out + 1);
        return size + PackLow(v, n, out + size);
    }
    const long low = n != 0 && static_cast<long>(lowChanges) + 1 > t ? t + 1 : BuildRle<0>(v, n, lowRle, t);
    std::memcpy(out + 1, highRle, static_cast<std::size_t>(high));
    std::size_t size = 1 + static_cast<std::size_t>(high);
    if (low > t) {
        out[0] = kModeHighRle;
        return size + PackLow(v, n, out + size);
    }
    out[0] = kModeHighRle | kModeLowRle;
    std::memcpy(out + size, lowRle, static_cast<std::size_t>(low));
    return size + static_cast<std::size_t>(low);
}

// Bytes a stream of n values takes from p, or 0 with ok false when the block
// ends first.
std::size_t StreamSize(bool rle, std::size_t n, const BYTE* p, std::size_t avail, bool& ok)
{
    if (!rle) {
        const std::size_t size = (n + 1) / 2;
        ok = size <= avail;
        return size;
    }
    std::size_t filled = 0, used = 0;
    while (filled < n) {
        if (used >= avail) {
            ok = false;
            return 0;
        }
        filled += p[used++] >> 4;
    }
    ok = true;
    return used;
}

// Size of the row at p (mode byte included); 0 when malformed or truncated.
std::size_t RowSize(const BYTE* p, std::size_t avail, std::size_t n)
{
    if (avail < 1 || p[0] > 3)
        return 0;
    const int mode = p[0];
    bool ok = false;
    std::size_t size = 1;
    size += StreamSize(mode & kModeHighRle, n, p + size, avail - size, ok);
    if (!ok)
        return 0;
    size += StreamSize(mode & kModeLowRle, n, p + size, avail - size, ok);
    return ok ? size : 0;
}

// Slack after each nibble buffer: runs are written 16 bytes at a time.
constexpr std::size_t kSlack = 16;

// One nibble stream of a checked row into n bytes of buf (nibble in the
// upper four bits when Shift is 4); returns the byte after the stream.
template <int Shift>
const BYTE* DecodeStream(const BYTE* p, bool rle, std::size_t n, BYTE* buf)
{
    if (rle) {
        std::size_t i = 0;
        while (i < n) {
            const BYTE b = *p++;
            const std::uint64_t pattern = std::uint64_t((b & 15) << Shift) * kOnes;
            std::memcpy(buf + i, &pattern, 8);
            std::memcpy(buf + i + 8, &pattern, 8);
            i = std::min<std::size_t>(i + (b >> 4), n);
        }
        return p;
    }
    std::size_t i = 0;
    for (; i + 1 < n; i += 2, ++p) {
        buf[i] = BYTE(((*p >> 4) & 15) << Shift);
        buf[i + 1] = BYTE((*p & 15) << Shift);
    }
    if (n & 1)
        buf[i] = BYTE(((*p++ >> 4) & 15) << Shift);
    return p;
}

// A checked row into n values at v, stride bytes apart; high and low are
// scratch of n + kSlack bytes each.
void DecodeRow(const BYTE* p, std::size_t n, BYTE* v, std::size_t stride, BYTE* high, BYTE* low)
{
    const int mode = *p++;
    p = DecodeStream<4>(p, mode & kModeHighRle, n, high);
    DecodeStream<0>(p, mode & kModeLowRle, n, low);
    for (std::size_t i = 0; i < n; ++i)
        v[i * stride] = BYTE(high[i] | low[i]);
}

std::size_t CountCoded(const BYTE* alphaRow, UINT width)
{
    std::size_t n = 0;
    for (UINT x = 0; x < width; ++x)
        n += alphaRow[x] != 0;
    return n;
}

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
    const std::size_t rowCap = std::size_t{width} + 2;
    const std::size_t cap = kHeaderSize + rows * rowCap;

    BYTE* out = new (std::nothrow) BYTE[cap];
    if (!out)
        return 0;
    PutLE32(out, width);
    PutLE32(out + 4, height);
    out[8] = alpha ? 1 : 0;
    std::memcpy(out + 9, "Reserved", 8);
    if (rows == 0) {
        *block = out;
        *length = kHeaderSize;
        return 1;
    }

    // Rows are coded in parallel, each chunk of the row sequence into its own
    // worst-case region, then the chunks are moved together.
    const std::size_t hw = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t chunkCount = std::min<std::size_t>(rows, hw * 4);
    std::vector<std::size_t> chunkSize(chunkCount, 0);
    std::atomic<bool> failed{false};
    const BYTE* pixels = image->GetAreaByteSize() ? image->GetBuffer(0, 0) : nullptr;
    imagecore::ParallelFor(0, static_cast<int>(chunkCount), rows * width / chunkCount, [&](int c0, int c1) {
        std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[std::size_t{width} * 2 + 4]);
        if (!scratch) {
            failed = true;
            return;
        }
        BYTE* values = scratch.get();
        BYTE* highRle = values + width;
        BYTE* lowRle = highRle + width / 2 + 2;
        for (int c = c0; c < c1; ++c) {
            const std::size_t first = rows * c / chunkCount, last = rows * (c + 1) / chunkCount;
            BYTE* dst = out + kHeaderSize + first * rowCap;
            std::size_t used = 0;
            for (std::size_t k = first; k < last; ++k) {
                const int plane = static_cast<int>(k / height);
                const std::size_t y = k % height;
                const BYTE* row = pixels ? pixels + y * width * 4 : nullptr;
                const int byte = alpha ? (plane == 0 ? kAlphaByte : kColourBytes[plane - 1]) : kColourBytes[plane];
                std::size_t n = 0;
                if (alpha && plane > 0) {
                    for (UINT x = 0; x < width; ++x)
                        if (row[x * 4 + kAlphaByte])
                            values[n++] = row[x * 4 + byte];
                } else {
                    for (UINT x = 0; x < width; ++x)
                        values[x] = row[x * 4 + byte];
                    n = width;
                }
                used += EncodeRow(values, n, width, dst + used, highRle, lowRle);
            }
            chunkSize[c] = used;
        }
    });
    if (failed) {
        delete[] out;
        return 0;
    }
    std::size_t size = kHeaderSize;
    for (std::size_t c = 0; c < chunkCount; ++c) {
        const std::size_t first = rows * c / chunkCount;
        std::memmove(out + size, out + kHeaderSize + first * rowCap, chunkSize[c]);
        size += chunkSize[c];
    }
    if (size > kMaxBlock) {
        delete[] out;
        return 0;
    }
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

    // Check the whole block first and note where each row starts.
    std::vector<std::size_t> rowStart(rows);
    std::vector<BYTE> alphaPlane;
    std::size_t pos = kHeaderSize;
    for (std::size_t k = 0; k < rows; ++k) {
        std::size_t n = width;
        if (alpha && k == height) {
            // The alpha plane is complete: decode it to count the coded
            // pixels of the colour rows.
            alphaPlane.resize(std::size_t{width} * height);
            std::vector<BYTE> scratch(2 * (std::size_t{width} + kSlack));
            for (std::size_t y = 0; y < height; ++y)
                DecodeRow(block + rowStart[y], width, alphaPlane.data() + y * width, 1, scratch.data(),
                          scratch.data() + width + kSlack);
        }
        if (alpha && k >= height)
            n = CountCoded(alphaPlane.data() + (k % height) * width, width);
        const std::size_t size = RowSize(block + pos, length - pos, n);
        if (size == 0)
            return 0;
        rowStart[k] = pos;
        pos += size;
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
            std::vector<BYTE> values(width);
            std::vector<BYTE> scratch(2 * (std::size_t{width} + kSlack));
            BYTE* high = scratch.data();
            BYTE* low = high + width + kSlack;
            for (int y = y0; y < y1; ++y) {
                BYTE* row = pixels + std::size_t(y) * width * 4;
                int plane = 0;
                if (alpha) {
                    const BYTE* a = alphaPlane.data() + std::size_t(y) * width;
                    for (UINT x = 0; x < width; ++x)
                        row[x * 4 + kAlphaByte] = a[x];
                    plane = 1;
                }
                for (int c = 0; c < 3; ++c, ++plane) {
                    const BYTE* src = block + rowStart[std::size_t(plane) * height + y];
                    const int byte = kColourBytes[c];
                    if (alpha) {
                        const std::size_t n = CountCoded(alphaPlane.data() + std::size_t(y) * width, width);
                        DecodeRow(src, n, values.data(), 1, high, low);
                        std::size_t i = 0;
                        for (UINT x = 0; x < width; ++x)
                            if (row[x * 4 + kAlphaByte])
                                row[x * 4 + byte] = values[i++];
                    } else {
                        DecodeRow(src, width, row + byte, 4, high, low);
                    }
                }
                // A new buffer has no alpha of its own: opaque, as loaded photos are.
                if (!alpha && !sameSize)
                    for (UINT x = 0; x < width; ++x)
                        row[x * 4 + kAlphaByte] = 255;
            }
        });
    }
    if (!sameSize)
        *image = std::move(fresh);
    return 1;
}
