// BMP reading and writing of CQLImage, without the codec library.
// Every header field is read byte by byte (little-endian) and checked before
// anything the size of the image is allocated.

#include "imagecore/BmpHeader.h"
#include "imagecore/ImageLimits.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

using imagecore::ParallelFor;

namespace {

constexpr LONG kCannotOpen = 2;
constexpr LONG kNoMemory = 8;
constexpr LONG kBadFile = 9;

constexpr ULONGLONG kMaxSide = 65535;
// Rows are read and written in blocks of about this size and converted in parallel.
constexpr std::size_t kBlockBytes = 4 * 1024 * 1024;


DWORD Le16(const BYTE* p)
{
    return DWORD{p[0]} | (DWORD{p[1]} << 8);
}

DWORD Le32(const BYTE* p)
{
    return DWORD{p[0]} | (DWORD{p[1]} << 8) | (DWORD{p[2]} << 16) | (DWORD{p[3]} << 24);
}

void Put16(BYTE* p, DWORD v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

void Put32(BYTE* p, DWORD v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

using imagecore::BmpLayout;
using imagecore::BmpMaskChannel;

// Contiguous masks only; a zero mask gives the constant fill.
bool MakeMaskChannel(DWORD mask, BYTE fill, BmpMaskChannel& ch)
{
    std::fill(std::begin(ch.lut), std::end(ch.lut), fill);
    ch.mask = mask;
    ch.shift = 0;
    if (mask == 0)
        return true;
    const int low = std::countr_zero(mask);
    const ULONGLONG run = ULONGLONG{mask} >> low;
    if ((run & (run + 1)) != 0)
        return false;
    const int bits = std::popcount(mask);
    const int used = std::min(bits, 8); // wider masks keep their top 8 bits
    ch.shift = low + (bits - used);
    const int max = (1 << used) - 1;
    for (int v = 0; v <= max; ++v)
        ch.lut[v] = static_cast<BYTE>((v * 255 + max / 2) / max);
    return true;
}

bool IsKnownHeaderSize(DWORD size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool SetUpMasks(BmpLayout& bmp, DWORD compression, DWORD r, DWORD g, DWORD b, DWORD a)
{
    if (compression == imagecore::kBmpRgb) {
        if (bmp.bitCount == 16) {
            r = 0x7C00;
            g = 0x03E0;
            b = 0x001F;
        } else {
            r = 0x00FF0000;
            g = 0x0000FF00;
            b = 0x000000FF;
        }
        a = 0;
    }
    if (bmp.bitCount == 16) {
        a = 0; // 16-bit pixels carry no alpha here
        if ((r | g | b) > 0xFFFF)
            return false;
    }
    if (!MakeMaskChannel(r, 0, bmp.red) || !MakeMaskChannel(g, 0, bmp.green)
        || !MakeMaskChannel(b, 0, bmp.blue) || !MakeMaskChannel(a, 255, bmp.alpha))
        return false;
    bmp.plainBgra = bmp.bitCount == 32 && r == 0x00FF0000 && g == 0x0000FF00 && b == 0x000000FF
        && (a == 0 || a == 0xFF000000);
    return true;
}

void ConvertIndexed(const BmpLayout& bmp, const BYTE* src, CPixel* dst)
{
    const CPixel* pal = bmp.palette;
    const int w = bmp.width;
    switch (bmp.bitCount) {
    case 1:
        for (int x = 0; x < w; ++x)
            dst[x] = pal[(src[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (int x = 0; x < w; ++x)
            dst[x] = pal[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        break;
    default:
        for (int x = 0; x < w; ++x)
            dst[x] = pal[src[x]];
        break;
    }
}

inline CPixel FromMasks(const BmpLayout& bmp, DWORD v)
{
    return CPixel{bmp.blue.lut[(v & bmp.blue.mask) >> bmp.blue.shift],
                  bmp.green.lut[(v & bmp.green.mask) >> bmp.green.shift],
                  bmp.red.lut[(v & bmp.red.mask) >> bmp.red.shift],
                  bmp.alpha.lut[(v & bmp.alpha.mask) >> bmp.alpha.shift]};
}

void ConvertRow(const BmpLayout& bmp, const BYTE* src, CPixel* dst)
{
    const int w = bmp.width;
    switch (bmp.bitCount) {
    case 24:
        for (int x = 0; x < w; ++x, src += 3)
            dst[x] = CPixel{src[0], src[1], src[2], 255};
        break;
    case 32:
        if (bmp.plainBgra && bmp.alpha.mask != 0) {
            for (int x = 0; x < w; ++x, src += 4)
                dst[x] = CPixel{src[0], src[1], src[2], src[3]};
        } else if (bmp.plainBgra) {
            for (int x = 0; x < w; ++x, src += 4)
                dst[x] = CPixel{src[0], src[1], src[2], 255};
        } else {
            for (int x = 0; x < w; ++x, src += 4)
                dst[x] = FromMasks(bmp, Le32(src));
        }
        break;
    case 16:
        for (int x = 0; x < w; ++x, src += 2)
            dst[x] = FromMasks(bmp, Le16(src));
        break;
    default:
        ConvertIndexed(bmp, src, dst);
        break;
    }
}

std::size_t BlockRows(ULONGLONG rowBytes, int rows)
{
    const ULONGLONG fit = std::max<ULONGLONG>(1, kBlockBytes / rowBytes);
    return static_cast<std::size_t>(std::min<ULONGLONG>(fit, static_cast<ULONGLONG>(rows)));
}

} // namespace

bool imagecore::ParseBmpHeaders(const BYTE* data, std::size_t size, BmpLayout& bmp)
{
    if (!data || size < 18 || data[0] != 'B')
        return false;
    const DWORD dataOffset = Le32(data + 10);
    const DWORD headerSize = Le32(data + 14);
    if (!IsKnownHeaderSize(headerSize) || size - 14 < headerSize)
        return false;
    const BYTE* info = data + 14;
    std::size_t pos = 14 + std::size_t{headerSize};

    const bool core = headerSize == 12;
    LONGLONG width = 0;
    LONGLONG height = 0;
    DWORD compression = kBmpRgb;
    DWORD colorsUsed = 0;
    if (core) {
        width = Le16(info + 4);
        height = Le16(info + 6);
        bmp.bitCount = static_cast<int>(Le16(info + 10));
    } else {
        width = static_cast<LONG>(Le32(info + 4));
        height = static_cast<LONG>(Le32(info + 8));
        bmp.bitCount = static_cast<int>(Le16(info + 14));
        compression = Le32(info + 16);
        colorsUsed = Le32(info + 32);
    }
    bmp.topDown = height < 0;
    if (height < 0)
        height = -height;
    if (width <= 0 || height <= 0 || static_cast<ULONGLONG>(width) > kMaxSide
        || static_cast<ULONGLONG>(height) > kMaxSide)
        return false;
    bmp.width = static_cast<int>(width);
    bmp.height = static_cast<int>(height);

    const int bits = bmp.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const bool direct = bits == 16 || bits == 32;
    // Run-length rows only run bottom-up.
    const bool rle = (compression == kBmpRle8 && bits == 8) || (compression == kBmpRle4 && bits == 4);
    if (rle && bmp.topDown)
        return false;
    if (compression != kBmpRgb && !rle && !(compression == kBmpBitFields && direct))
        return false;
    bmp.compression = compression;

    if (direct) {
        DWORD masks[4] = {0, 0, 0, 0};
        if (compression == kBmpBitFields && headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = Le32(info + 40 + 4 * i);
            if (headerSize >= 56)
                masks[3] = Le32(info + 52);
        } else if (compression == kBmpBitFields) {
            if (size - pos < 12)
                return false;
            for (int i = 0; i < 3; ++i)
                masks[i] = Le32(data + pos + 4 * static_cast<std::size_t>(i));
            pos += 12;
        }
        if (!SetUpMasks(bmp, compression, masks[0], masks[1], masks[2], masks[3]))
            return false;
    } else if (bits <= 8) {
        const DWORD maxEntries = DWORD{1} << bits;
        const DWORD entries = (colorsUsed == 0 || core) ? maxEntries : std::min(colorsUsed, maxEntries);
        const std::size_t entrySize = core ? 3 : 4;
        if ((size - pos) / entrySize < entries)
            return false;
        for (DWORD i = 0; i < entries; ++i) {
            const BYTE* e = data + pos + i * entrySize;
            bmp.palette[i] = CPixel{e[0], e[1], e[2], 255};
        }
        pos += entries * entrySize;
        // Indices past the palette read as its first entry.
        std::fill(bmp.palette + entries, bmp.palette + 256, bmp.palette[0]);
    }

    bmp.rowBytes = rle ? 0 : (ULONGLONG(bmp.width) * bits + 31) / 32 * 4;
    bmp.dataStart = dataOffset >= pos ? dataOffset : pos;
    return true;
}

std::size_t imagecore::BmpBlockRows(const BmpLayout& layout)
{
    // At most kBlockBytes of file rows and of picture rows alike, so a
    // reader that stages the converted rows holds no more than that.
    return BlockRows(std::max<ULONGLONG>(layout.rowBytes, ULONGLONG(layout.width) * 4), layout.height);
}

LONG imagecore::ReadBmpRows(const char* path, const std::function<LONG(const BmpLayout&)>& start,
                            const std::function<CPixel*(int y)>& dest,
                            const std::function<void(int y0, int n)>& blockDone)
{
    // O_NONBLOCK: a FIFO under the file's name must not wait for a writer.
    const int fd = path ? ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
    if (fd < 0)
        return kCannotOpen;
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return kBadFile;

    // The headers are read whole and checked before anything the size of the image is allocated.
    BYTE head[imagecore::kBmpMaxHeaderBytes];
    const ssize_t headBytes = ::pread(fd, head, sizeof head, 0);
    BmpLayout layout;
    // Run-length files are left to the codec library.
    if (headBytes <= 0 || !imagecore::ParseBmpHeaders(head, static_cast<std::size_t>(headBytes), layout)
        || layout.compression == imagecore::kBmpRle8 || layout.compression == imagecore::kBmpRle4)
        return kBadFile;
    if (static_cast<ULONGLONG>(st.st_size) < layout.dataStart + layout.rowBytes * ULONGLONG(layout.height))
        return kBadFile;
    if (const LONG err = start(layout); err != 0)
        return err;

    const std::size_t rowBytes = static_cast<std::size_t>(layout.rowBytes);
    const std::size_t blockRows = imagecore::BmpBlockRows(layout);
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[blockRows * rowBytes]);
    if (!block)
        return kNoMemory;

    const int h = layout.height;
    for (int y0 = 0; y0 < h;) {
        const int n = static_cast<int>(std::min<std::size_t>(blockRows, static_cast<std::size_t>(h - y0)));
        // File rows of picture rows y0 .. y0 + n - 1; bottom-up files store them in reverse.
        const int firstFileRow = layout.topDown ? y0 : h - y0 - n;
        const std::size_t want = rowBytes * static_cast<std::size_t>(n);
        std::size_t got = 0;
        while (got < want) {
            const ssize_t k = ::pread(fd, block.get() + got, want - got,
                                      static_cast<off_t>(layout.dataStart + ULONGLONG(firstFileRow) * rowBytes + got));
            if (k < 0 && errno == EINTR)
                continue;
            if (k <= 0)
                return kBadFile;
            got += static_cast<std::size_t>(k);
        }
        ParallelFor(0, n, static_cast<std::size_t>(layout.width), [&](int i0, int i1) {
            for (int i = i0; i < i1; ++i) {
                const int y = y0 + i;
                const int inBlock = layout.topDown ? i : n - 1 - i;
                ConvertRow(layout, block.get() + static_cast<std::size_t>(inBlock) * rowBytes, dest(y));
            }
        });
        blockDone(y0, n);
        y0 += n;
    }
    return 0;
}

LONG CQLImage::LoadFromFile(const char* path)
{
    bool created = false;
    const LONG err = imagecore::ReadBmpRows(
        path,
        [&](const BmpLayout& layout) -> LONG {
            if (!imagecore::DecodeSizeAllowed(ULONGLONG(layout.width), ULONGLONG(layout.height)))
                return E_FAIL; // too big a picture: refused before allocating it
            created = true;
            return Create(static_cast<UINT>(layout.width), static_cast<UINT>(layout.height));
        },
        [&](int y) { return PixelAt(0, y); }, [](int, int) {});
    if (err != 0 && created)
        Free(); // a half-read picture is not kept
    return err;
}

LONG CQLImage::SaveToFile(const char* path) const
{
    if (!m_buf.bits)
        return E_FAIL;
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return kCannotOpen;
    // Only a regular file we just wrote may be removed; never a device such as /dev/full.
    struct stat st {};
    const bool regular = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    auto fail = [&](LONG err) {
        if (f)
            std::fclose(f);
        if (regular)
            std::remove(path);
        return err;
    };

    const std::size_t rowBytes = (std::size_t{m_buf.width} * 3 + 3) & ~std::size_t{3};
    const DWORD imageBytes = static_cast<DWORD>(rowBytes * m_buf.height);
    BYTE header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, 54 + imageBytes);
    Put32(header + 10, 54);
    Put32(header + 14, 40);
    Put32(header + 18, m_buf.width);
    Put32(header + 22, m_buf.height);
    Put16(header + 26, 1);
    Put16(header + 28, 24);
    Put32(header + 34, imageBytes);
    Put32(header + 38, 4730);
    if (std::fwrite(header, 1, sizeof header, f) != sizeof header)
        return fail(kCannotOpen);

    const int h = static_cast<int>(m_buf.height);
    const std::size_t blockRows = BlockRows(rowBytes, h);
    // Zeroed once: the padding at the end of each row stays 0.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[blockRows * rowBytes]());
    if (!block)
        return fail(kNoMemory);
    for (int row = 0; row < h;) {
        const int n = static_cast<int>(std::min<std::size_t>(blockRows, static_cast<std::size_t>(h - row)));
        ParallelFor(0, n, m_buf.width, [&](int i0, int i1) {
            for (int i = i0; i < i1; ++i) {
                const CPixel* src = PixelAt(0, h - 1 - (row + i)); // bottom row first
                BYTE* dst = block.get() + static_cast<std::size_t>(i) * rowBytes;
                for (UINT x = 0; x < m_buf.width; ++x, dst += 3) {
                    dst[0] = src[x].b;
                    dst[1] = src[x].g;
                    dst[2] = src[x].r;
                }
            }
        });
        if (std::fwrite(block.get(), rowBytes, static_cast<std::size_t>(n), f) != static_cast<std::size_t>(n))
            return fail(kCannotOpen);
        row += n;
    }
    const int closed = std::fclose(f);
    f = nullptr;
    if (closed != 0)
        return fail(kCannotOpen);
    return 0;
}
