// PCX and TGA, our own code. Every header field is checked before anything
// the size of the image is allocated; every read is bounds-checked; running
// out of data before the last row is a failed load.
//
// PCX read: 1 bit x 1 plane (black and white), 1 bit x 2..4 planes and
// 2 or 4 bits x 1 plane (header palette), 8 bits x 1 plane (the 256-colour
// palette at the end of the file, grey when it is missing), 8 bits x 3 planes
// (RGB) and x 4 planes (RGBA); RLE or uncompressed. Written: 8 bits x 3
// planes, RLE, 72 dpi.
// TGA read: colour-mapped (8- or 16-bit indices; 15-, 16-, 24-, 32-bit
// entries), true colour (15, 16, 24, 32 bits) and grey (8 bits, 16 with
// alpha), plain or RLE, either origin. Alpha comes from the pixel only when
// the descriptor announces attribute bits; a 32-bit file whose alpha is 0
// everywhere reads as opaque. Written: RLE true colour, 24 bits, or 32 when
// some alpha is not 255, bottom-up, with the TGA 2.0 footer.

#include "platform/codec/CodecInternal.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qlcodec {
namespace {

inline UINT Le16(const BYTE* p)
{
    return UINT{p[0]} | (UINT{p[1]} << 8);
}

inline void Put16(BYTE* p, UINT v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

// --- PCX ---------------------------------------------------------------------

struct PcxHeader {
    UINT width = 0;
    UINT height = 0;
    UINT bits = 0;
    UINT planes = 0;
    UINT bytesPerLine = 0;
    bool rle = true;
};

bool ReadPcxHeader(const BYTE* d, std::size_t size, PcxHeader& h)
{
    if (!d || size < 128 || d[0] != 0x0A || d[2] > 1)
        return false;
    const UINT xmin = Le16(d + 4), ymin = Le16(d + 6), xmax = Le16(d + 8), ymax = Le16(d + 10);
    if (xmax < xmin || ymax < ymin)
        return false;
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    h.bits = d[3];
    h.planes = d[65];
    h.bytesPerLine = Le16(d + 66);
    h.rle = d[2] == 1;
    const UINT b = h.bits, p = h.planes;
    const bool known = (b == 1 && p >= 1 && p <= 4) || (b == 2 && p == 1) || (b == 4 && p == 1)
        || (b == 8 && (p == 1 || p == 3 || p == 4));
    if (!known || !SizeOk(h.width, h.height))
        return false;
    if (ULONGLONG{h.bytesPerLine} * 8 < ULONGLONG{h.width} * b)
        return false;
    return true;
}

// Streams decoded PCX bytes; RLE runs may continue into the next line.
struct PcxStream {
    const BYTE* p;
    const BYTE* end;
    bool rle;
    UINT runLeft = 0;
    BYTE runValue = 0;

    bool Fill(BYTE* out, std::size_t n)
    {
        std::size_t i = 0;
        while (i < n) {
            if (runLeft > 0) {
                const std::size_t k = std::min<std::size_t>(runLeft, n - i);
                std::memset(out + i, runValue, k);
                i += k;
                runLeft -= static_cast<UINT>(k);
                continue;
            }
            if (p >= end)
                return false;
            const BYTE c = *p++;
            if (rle && (c & 0xC0) == 0xC0) {
                if (p >= end)
                    return false;
                runLeft = c & 0x3Fu;
                runValue = *p++;
            } else {
                out[i++] = c;
            }
        }
        return true;
    }
};

// --- TGA ---------------------------------------------------------------------

struct TgaHeader {
    UINT idLength = 0;
    UINT mapType = 0;
    UINT type = 0;
    UINT mapFirst = 0;
    UINT mapLength = 0;
    UINT mapEntryBits = 0;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 0;
    UINT descriptor = 0;
};

bool ReadTgaHeader(const BYTE* d, std::size_t size, TgaHeader& h)
{
    if (!d || size < 18)
        return false;
    h.idLength = d[0];
    h.mapType = d[1];
    h.type = d[2];
    h.mapFirst = Le16(d + 3);
    h.mapLength = Le16(d + 5);
    h.mapEntryBits = d[7];
    h.width = Le16(d + 12);
    h.height = Le16(d + 14);
    h.depth = d[16];
    h.descriptor = d[17];
    if (h.mapType > 1 || (h.descriptor & 0xC0) != 0)
        return false;
    const UINT base = h.type & ~8u;
    if (h.type != base && h.type != base + 8)
        return false;
    if (base == 1) {
        if (h.mapType != 1 || (h.depth != 8 && h.depth != 16) || h.mapLength == 0)
            return false;
    } else if (base == 2) {
        if (h.depth != 15 && h.depth != 16 && h.depth != 24 && h.depth != 32)
            return false;
    } else if (base == 3) {
        if (h.depth != 8 && h.depth != 16)
            return false;
    } else {
        return false;
    }
    if (h.mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24
        && h.mapEntryBits != 32)
        return false;
    return SizeOk(h.width, h.height);
}

CPixel From16(UINT v, bool withAlpha)
{
    const UINT b = v & 31, g = (v >> 5) & 31, r = (v >> 10) & 31;
    return CPixel{static_cast<BYTE>((b * 255 + 15) / 31), static_cast<BYTE>((g * 255 + 15) / 31),
                  static_cast<BYTE>((r * 255 + 15) / 31), static_cast<BYTE>(withAlpha ? ((v & 0x8000) ? 255 : 0) : 255)};
}

CPixel FromBytes(const BYTE* p, UINT bytes, bool withAlpha)
{
    switch (bytes) {
    case 2: return From16(Le16(p), withAlpha);
    case 3: return CPixel{p[0], p[1], p[2], 255};
    default: return CPixel{p[0], p[1], p[2], withAlpha ? p[3] : BYTE{255}};
    }
}

// Streams TGA pixels (raw bytes of one pixel each); RLE packets may continue
// into the next row.
struct TgaStream {
    const BYTE* p;
    const BYTE* end;
    UINT bpp;
    bool rle;
    UINT left = 0;
    bool repeat = false;
    const BYTE* value = nullptr;

    const BYTE* Next()
    {
        if (!rle) {
            if (static_cast<std::size_t>(end - p) < bpp)
                return nullptr;
            const BYTE* v = p;
            p += bpp;
            return v;
        }
        if (left == 0) {
            if (p >= end)
                return nullptr;
            const BYTE h = *p++;
            left = (h & 0x7Fu) + 1;
            repeat = (h & 0x80) != 0;
            if (repeat) {
                if (static_cast<std::size_t>(end - p) < bpp)
                    return nullptr;
                value = p;
                p += bpp;
            }
        }
        --left;
        if (repeat)
            return value;
        if (static_cast<std::size_t>(end - p) < bpp)
            return nullptr;
        const BYTE* v = p;
        p += bpp;
        return v;
    }
};

// RLE packets of one row of pixel bytes (bpp bytes each), at most 128 a packet.
void RleRow(const BYTE* row, UINT count, UINT bpp, std::vector<BYTE>& out)
{
    UINT i = 0;
    while (i < count) {
        UINT run = 1;
        while (i + run < count && run < 128 && std::memcmp(row + (i + run) * bpp, row + i * bpp, bpp) == 0)
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<BYTE>(0x80 | (run - 1)));
            out.insert(out.end(), row + i * bpp, row + (i + 1) * bpp);
            i += run;
            continue;
        }
        UINT raw = 1;
        while (i + raw < count && raw < 128) {
            if (i + raw + 1 < count && std::memcmp(row + (i + raw) * bpp, row + (i + raw + 1) * bpp, bpp) == 0)
                break;
            ++raw;
        }
        out.push_back(static_cast<BYTE>(raw - 1));
        out.insert(out.end(), row + i * bpp, row + (i + raw) * bpp);
        i += raw;
    }
}

} // namespace

// --- PCX ---------------------------------------------------------------------

bool ShapePcx(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    width = height = 0;
    PcxHeader h;
    if (!ReadPcxHeader(data, size, h))
        return false;
    width = h.width;
    height = h.height;
    return true;
}

bool DecodePcx(const BYTE* data, std::size_t size, CQLImage& image)
{
    image.Free();
    PcxHeader h;
    if (!ReadPcxHeader(data, size, h))
        return false;

    CPixel palette[256];
    for (int i = 0; i < 16; ++i)
        palette[i] = CPixel{data[16 + 3 * i + 2], data[16 + 3 * i + 1], data[16 + 3 * i], 255};
    const BYTE* end = data + size;
    if (h.bits == 1 && h.planes == 1) {
        palette[0] = CPixel{0, 0, 0, 255};
        palette[1] = CPixel{255, 255, 255, 255};
    } else if (h.bits == 8 && h.planes == 1) {
        if (size >= 128 + 769 && data[size - 769] == 0x0C) {
            const BYTE* pal = data + size - 768;
            for (int i = 0; i < 256; ++i)
                palette[i] = CPixel{pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 255};
            end = data + size - 769;
        } else {
            for (int i = 0; i < 256; ++i)
                palette[i] = CPixel{BYTE(i), BYTE(i), BYTE(i), 255};
        }
    }

    const std::size_t lineBytes = std::size_t{h.bytesPerLine} * h.planes;
    std::vector<BYTE> line(lineBytes);
    if (!DecodeSizeOk(h.width, h.height) || !MakeImage(image, h.width, h.height))
        return false;
    PcxStream stream{data + 128, end, h.rle};
    const UINT w = h.width;
    const std::size_t bpl = h.bytesPerLine;
    for (UINT y = 0; y < h.height; ++y) {
        if (!stream.Fill(line.data(), lineBytes)) {
            image.Free();
            return false;
        }
        CPixel* dst = reinterpret_cast<CPixel*>(Row(image, y));
        const BYTE* s = line.data();
        if (h.bits == 8 && h.planes >= 3) {
            for (UINT x = 0; x < w; ++x)
                dst[x] = CPixel{s[2 * bpl + x], s[bpl + x], s[x], h.planes == 4 ? s[3 * bpl + x] : BYTE{255}};
        } else if (h.bits == 8) {
            for (UINT x = 0; x < w; ++x)
                dst[x] = palette[s[x]];
        } else if (h.bits == 4) {
            for (UINT x = 0; x < w; ++x)
                dst[x] = palette[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        } else if (h.bits == 2) {
            for (UINT x = 0; x < w; ++x)
                dst[x] = palette[(s[x >> 2] >> (6 - 2 * (x & 3))) & 3];
        } else {
            for (UINT x = 0; x < w; ++x) {
                UINT index = 0;
                for (UINT plane = 0; plane < h.planes; ++plane)
                    index |= ((s[plane * bpl + (x >> 3)] >> (7 - (x & 7))) & 1u) << plane;
                dst[x] = palette[index];
            }
        }
    }
    return true;
}

bool EncodePcx(const CQLImage& image, int fd)
{
    if (!image.GetAreaByteSize())
        return false;
    const UINT w = Width(image), h = Height(image);
    if (w > 65535 || h > 65535)
        return false;
    // Lines are padded to an even length, except where that would not fit
    // the 16-bit field (65535 pixels wide).
    const UINT bpl = std::min((w + 1) & ~1u, 65535u);
    BYTE header[128] = {};
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    Put16(header + 8, w - 1);
    Put16(header + 10, h - 1);
    Put16(header + 12, 72);
    Put16(header + 14, 72);
    header[65] = 3;
    Put16(header + 66, bpl);
    Put16(header + 68, 1);
    std::vector<BYTE> out(header, header + 128);
    out.reserve(128 + std::size_t{bpl} * 3 * h / 2);
    std::vector<BYTE> plane(bpl, 0);
    for (UINT y = 0; y < h; ++y) {
        const BYTE* s = Row(image, y);
        for (int c = 2; c >= 0; --c) { // R, G, B planes
            for (UINT x = 0; x < w; ++x)
                plane[x] = s[4 * x + static_cast<UINT>(c)];
            UINT i = 0;
            while (i < bpl) {
                UINT run = 1;
                while (i + run < bpl && run < 63 && plane[i + run] == plane[i])
                    ++run;
                if (run > 1 || (plane[i] & 0xC0) == 0xC0)
                    out.push_back(static_cast<BYTE>(0xC0 | run));
                out.push_back(plane[i]);
                i += run;
            }
        }
        if (out.size() > (std::size_t{1} << 22)) {
            if (!WriteAll(fd, out.data(), out.size()))
                return false;
            out.clear();
        }
    }
    return WriteAll(fd, out.data(), out.size());
}

// --- TGA ---------------------------------------------------------------------

bool LooksLikeTga(const BYTE* data, std::size_t size)
{
    TgaHeader h;
    return ReadTgaHeader(data, size, h);
}

bool HasTgaFooter(const BYTE* data, std::size_t size)
{
    static const char kSig[] = "TRUEVISION-XFILE.";
    return data && size >= 26 && std::memcmp(data + size - 18, kSig, 18) == 0;
}

bool ShapeTga(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    width = height = 0;
    TgaHeader h;
    if (!ReadTgaHeader(data, size, h))
        return false;
    width = h.width;
    height = h.height;
    return true;
}

bool DecodeTga(const BYTE* data, std::size_t size, CQLImage& image)
{
    image.Free();
    TgaHeader h;
    if (!ReadTgaHeader(data, size, h))
        return false;
    std::size_t pos = 18 + std::size_t{h.idLength};
    const UINT attrBits = h.descriptor & 15;
    const UINT base = h.type & 7;

    std::vector<CPixel> palette;
    if (h.mapType == 1) {
        const UINT entryBytes = (h.mapEntryBits + 7) / 8;
        const std::size_t mapBytes = std::size_t{h.mapLength} * entryBytes;
        if (pos > size || size - pos < mapBytes)
            return false;
        if (base == 1) {
            palette.resize(h.mapLength);
            for (UINT i = 0; i < h.mapLength; ++i)
                palette[i] = FromBytes(data + pos + std::size_t{i} * entryBytes, entryBytes, attrBits > 0);
        }
        pos += mapBytes;
    }
    if (pos > size)
        return false;

    const UINT bpp = (h.depth + 7) / 8;
    if (!DecodeSizeOk(h.width, h.height) || !MakeImage(image, h.width, h.height))
        return false;
    TgaStream stream{data + pos, data + size, bpp, (h.type & 8) != 0};
    const bool topDown = (h.descriptor & 0x20) != 0;
    const bool rightToLeft = (h.descriptor & 0x10) != 0;
    const UINT w = h.width;
    bool allAlphaZero = true;
    for (UINT r = 0; r < h.height; ++r) {
        CPixel* dst = reinterpret_cast<CPixel*>(Row(image, topDown ? r : h.height - 1 - r));
        for (UINT c = 0; c < w; ++c) {
            const BYTE* v = stream.Next();
            if (!v) {
                image.Free();
                return false;
            }
            CPixel px;
            if (base == 1) {
                const UINT index = bpp == 1 ? v[0] : Le16(v);
                px = (index >= h.mapFirst && index - h.mapFirst < palette.size()) ? palette[index - h.mapFirst]
                                                                                 : CPixel{0, 0, 0, 255};
            } else if (base == 3) {
                px = CPixel{v[0], v[0], v[0], bpp == 2 ? v[1] : BYTE{255}};
            } else {
                px = FromBytes(v, bpp, attrBits > 0);
            }
            allAlphaZero = allAlphaZero && px.a == 0;
            dst[rightToLeft ? w - 1 - c : c] = px;
        }
    }
    if (allAlphaZero && base == 2 && bpp == 4) {
        // Writers that leave the alpha byte at 0 mean an opaque picture.
        BYTE* p = image.GetBuffer(0, 0);
        for (std::size_t i = 3; i < image.GetAreaByteSize(); i += 4)
            p[i] = 255;
    }
    return true;
}

bool EncodeTga(const CQLImage& image, int fd)
{
    if (!image.GetAreaByteSize())
        return false;
    const UINT w = Width(image), h = Height(image);
    if (w > 65535 || h > 65535)
        return false;
    const bool alpha = AnyAlphaBelow255(image);
    const UINT bpp = alpha ? 4 : 3;
    BYTE header[18] = {};
    header[2] = 10; // RLE true colour
    Put16(header + 12, w);
    Put16(header + 14, h);
    header[16] = static_cast<BYTE>(bpp * 8);
    header[17] = alpha ? 8 : 0; // bottom-up
    std::vector<BYTE> out(header, header + 18);
    std::vector<BYTE> row(std::size_t{w} * bpp);
    for (UINT r = 0; r < h; ++r) {
        const BYTE* s = Row(image, h - 1 - r);
        BYTE* d = row.data();
        for (UINT x = 0; x < w; ++x, s += 4, d += bpp)
            std::memcpy(d, s, bpp);
        RleRow(row.data(), w, bpp, out);
        if (out.size() > (std::size_t{1} << 22)) {
            if (!WriteAll(fd, out.data(), out.size()))
                return false;
            out.clear();
        }
    }
    static const BYTE kFooter[26] = {0, 0, 0, 0, 0, 0, 0, 0, 'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O',
                                     'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};
    out.insert(out.end(), kFooter, kFooter + 26);
    return WriteAll(fd, out.data(), out.size());
}

} // namespace qlcodec
