// TIFF on libtiff: the first page through the RGBA interface (every
// photometric, depth and compression that libtiff reads; 16 bits reduced to
// 8), rows in the order the file stores them (the Orientation tag is not
// applied, as EXIF orientation is not applied to JPEG). Written as 8-bit RGB
// or RGBA, LZW with the horizontal predictor, 72 dpi.

#include "platform/codec/CodecInternal.h"

#include "imagecore/ImageLimits.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>
#include <unistd.h>

#include <tiffio.h>

namespace qlcodec {
namespace {

// A band of rows read at once through the RGBA interface when the rows go
// to a thumbnail rather than into the picture.
constexpr std::size_t kBandBytes = std::size_t{32} << 20;

struct SourceTiff {
    ByteReader* in;
    toff_t pos;
};

tsize_t ReadProc(thandle_t h, tdata_t buf, tsize_t n)
{
    SourceTiff* m = static_cast<SourceTiff*>(h);
    if (n <= 0)
        return 0;
    const std::size_t k = m->in->ReadAt(m->pos, buf, static_cast<std::size_t>(n));
    m->pos += k;
    return static_cast<tsize_t>(k);
}

tsize_t WriteProc(thandle_t, tdata_t, tsize_t)
{
    return 0;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence)
{
    SourceTiff* m = static_cast<SourceTiff*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = m->pos;
    else if (whence == SEEK_END)
        base = m->in->Size();
    else if (whence != SEEK_SET)
        return static_cast<toff_t>(-1);
    m->pos = base + off; // off is unsigned; wraps for negative moves
    return m->pos;
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t h)
{
    return static_cast<SourceTiff*>(h)->in->Size();
}

// Bytes already in memory are handed over as they are; a file is read.
int MapProc(thandle_t h, tdata_t* base, toff_t* size)
{
    const ByteReader* in = static_cast<SourceTiff*>(h)->in;
    if (!in->Memory())
        return 0;
    *base = const_cast<BYTE*>(in->Memory());
    *size = in->Size();
    return 1;
}

void UnmapProc(thandle_t, tdata_t, toff_t) {}

int QuietHandler(TIFF*, void*, const char*, const char*, va_list)
{
    return 1; // handled: print nothing
}

TIFF* OpenSource(SourceTiff& source)
{
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    if (!opts)
        return nullptr;
    // No strip or tile buffer larger than a picture may be.
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(imagecore::DecodeByteLimit()));
    TIFFOpenOptionsSetErrorHandlerExtR(opts, QuietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, QuietHandler, nullptr);
    TIFF* tif = TIFFClientOpenExt("picture", "r", &source, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                  UnmapProc, opts);
    TIFFOpenOptionsFree(opts);
    return tif;
}

// Strips of 8-bit RGB or RGBA (unassociated alpha), or of 1- or 8-bit grey:
// read a row at a time, which keeps unassociated alpha exact (the RGBA
// interface premultiplies it) and never holds more than a row besides the
// picture, even when the whole picture is one strip. Grey comes out as the
// RGBA interface gives it. -1 when the file is not of that kind, else 1 or 0.
int ReadScanlines(TIFF* tif, RowSink& sink, uint32_t w, uint32_t h)
{
    uint16_t bps = 0, spp = 0, planar = 0, photometric = 0, extraCount = 0;
    uint16_t* extra = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) != 1 || TIFFIsTiled(tif)
        || planar != PLANARCONFIG_CONTIG)
        return -1;
    const bool rgb = photometric == PHOTOMETRIC_RGB && bps == 8 && spp == 3 && extraCount == 0;
    const bool rgba = photometric == PHOTOMETRIC_RGB && bps == 8 && spp == 4 && extraCount == 1 && extra
        && extra[0] == EXTRASAMPLE_UNASSALPHA;
    const bool grey = (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE)
        && (bps == 1 || bps == 8) && spp == 1 && extraCount == 0;
    if (!rgb && !rgba && !grey)
        return -1;
    const std::size_t rowBytes = (std::size_t{w} * spp * bps + 7) / 8;
    if (TIFFScanlineSize64(tif) != rowBytes)
        return 0;
    BYTE greyMap[256];
    for (int v = 0; v < 256; ++v) {
        const int level = bps == 1 ? (v ? 255 : 0) : v;
        greyMap[v] = static_cast<BYTE>(photometric == PHOTOMETRIC_MINISWHITE ? 255 - level : level);
    }
    std::unique_ptr<BYTE[]> line(new (std::nothrow) BYTE[rowBytes]);
    if (!line || !sink.Begin(w, h, false))
        return 0;
    for (uint32_t y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, line.get(), y, 0) != 1)
            return 0;
        const BYTE* s = line.get();
        BYTE* d = reinterpret_cast<BYTE*>(sink.RowAt(y));
        if (grey && bps == 1) {
            for (uint32_t x = 0; x < w; ++x, d += 4) {
                const BYTE v = greyMap[(s[x >> 3] >> (7 - (x & 7))) & 1];
                d[0] = d[1] = d[2] = v;
                d[3] = 255;
            }
        } else if (grey) {
            for (uint32_t x = 0; x < w; ++x, d += 4) {
                d[0] = d[1] = d[2] = greyMap[s[x]];
                d[3] = 255;
            }
        } else {
            for (uint32_t x = 0; x < w; ++x, s += spp, d += 4) {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
                d[3] = rgba ? s[3] : 255;
            }
        }
        sink.RowDone(y);
    }
    return 1;
}

// libtiff's packed word is R, G, B, A from the lowest byte up.
void SwapRedBlue(BYTE* p, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, p += 4) {
        const BYTE r = p[0];
        p[0] = p[2];
        p[2] = r;
    }
}

// Everything else through the RGBA interface, in bands of whole strips or
// tile rows, so that each strip or tile is decoded once and nothing the size
// of the picture is held besides it. Rows as stored: no flip for the
// Orientation tag. -1 when the bands would be too large for a sink that
// does not hold the picture.
int ReadThroughRgba(TIFF* tif, RowSink& sink, uint32_t w, uint32_t h)
{
    char message[1024] = {};
    TIFFRGBAImage rgba;
    std::memset(&rgba, 0, sizeof rgba);
    if (TIFFRGBAImageOK(tif, message) != 1 || TIFFRGBAImageBegin(&rgba, tif, 1, message) != 1)
        return 0;
    struct End {
        TIFFRGBAImage* img;
        ~End() { TIFFRGBAImageEnd(img); }
    } end{&rgba};
    rgba.req_orientation = rgba.orientation;
    if (rgba.width != w || rgba.height != h)
        return 0;
    uint32_t band = h;
    if (TIFFIsTiled(tif)) {
        uint32_t tileLength = 0;
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
        band = tileLength;
    } else {
        uint32_t rowsPerStrip = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        band = rowsPerStrip;
    }
    if (band == 0 || band > h)
        band = h;
    // Small strips are read several at a time.
    const std::size_t rowBytes = std::size_t{w} * 4;
    band = static_cast<uint32_t>(std::min<ULONGLONG>(h, ULONGLONG(band) * std::max<std::size_t>(1, kBandBytes / (rowBytes * band))));
    const bool direct = sink.HoldsPicture();
    std::vector<uint32_t> scratch;
    if (!direct) {
        if (rowBytes * band > kBandBytes * 2)
            return -1;
        try {
            scratch.resize(std::size_t{w} * band);
        } catch (...) {
            return 0;
        }
    }
    if (!sink.Begin(w, h, false))
        return 0;
    for (uint32_t y0 = 0; y0 < h; y0 += band) {
        const uint32_t n = std::min(band, h - y0);
        uint32_t* raster = direct ? reinterpret_cast<uint32_t*>(sink.RowAt(y0)) : scratch.data();
        rgba.row_offset = static_cast<int>(y0);
        if (TIFFRGBAImageGet(&rgba, raster, w, n) != 1)
            return 0;
        for (uint32_t i = 0; i < n; ++i) {
            BYTE* row = reinterpret_cast<BYTE*>(raster + std::size_t{w} * i);
            SwapRedBlue(row, w);
            if (!direct)
                std::memcpy(sink.RowAt(y0 + i), row, rowBytes);
            sink.RowDone(y0 + i);
        }
    }
    return 1;
}

// -1 when the rows cannot be streamed into sink (see ReadThroughRgba).
int ReadTiff(ByteReader& in, RowSink* sink, UINT& width, UINT& height)
{
    width = height = 0;
    BYTE order[2];
    if (in.Size() < 8 || in.ReadAt(0, order, 2) != 2)
        return 0;
    const bool ii = order[0] == 'I' && order[1] == 'I';
    const bool mm = order[0] == 'M' && order[1] == 'M';
    if (!ii && !mm)
        return 0;
    SourceTiff source{&in, 0};
    TIFF* tif = OpenSource(source);
    if (!tif)
        return 0;
    uint32_t w = 0, h = 0;
    int result = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) == 1 && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) == 1
        && SizeOk(w, h) && (!sink || DecodeSizeOk(w, h));
    if (result == 1 && sink) {
        result = ReadScanlines(tif, *sink, w, h);
        if (result < 0)
            result = ReadThroughRgba(tif, *sink, w, h);
    }
    TIFFClose(tif);
    if (result == 1) {
        width = w;
        height = h;
    }
    return result;
}

} // namespace

bool DecodeTiff(ByteReader& in, CQLImage& image)
{
    UINT w = 0, h = 0;
    ImageSink sink(image);
    if (ReadTiff(in, &sink, w, h) == 1)
        return true;
    image.Free();
    return false;
}

bool DecodeTiff(const BYTE* data, std::size_t size, CQLImage& image)
{
    MemoryReader in(data, size);
    return DecodeTiff(in, image);
}

bool StreamTiff(ByteReader& in, RowSink& sink)
{
    UINT w = 0, h = 0;
    const int result = ReadTiff(in, &sink, w, h);
    if (result >= 0)
        return result == 1;
    // Strips too tall to be read in bands: from a whole picture.
    return ThroughWholePicture(sink, [&](CQLImage& whole) { return DecodeTiff(in, whole); });
}

bool ShapeTiff(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    MemoryReader in(data, size);
    return ReadTiff(in, nullptr, width, height) == 1;
}

bool EncodeTiff(const CQLImage& image, int fd)
{
    if (!image.GetAreaByteSize())
        return false;
    const int own = ::dup(fd);
    if (own < 0)
        return false;
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    if (!opts) {
        ::close(own);
        return false;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(opts, QuietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, QuietHandler, nullptr);
    TIFF* tif = TIFFFdOpenExt(own, "image.tif", "w", opts);
    TIFFOpenOptionsFree(opts);
    if (!tif) {
        ::close(own);
        return false;
    }
    const UINT w = Width(image), h = Height(image);
    const bool alpha = AnyAlphaBelow255(image);
    const int spp = alpha ? 4 : 3;
    bool ok = true;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
    if (alpha) {
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 72.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 72.0);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[std::size_t{w} * 4]);
    ok = row != nullptr;
    for (UINT y = 0; ok && y < h; ++y) {
        const BYTE* s = Row(image, y);
        BYTE* d = row.get();
        for (UINT x = 0; x < w; ++x, s += 4, d += spp) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            if (alpha)
                d[3] = s[3];
        }
        ok = TIFFWriteScanline(tif, row.get(), y, 0) == 1;
    }
    if (ok)
        ok = TIFFFlush(tif) == 1;
    TIFFClose(tif); // closes own
    return ok;
}

} // namespace qlcodec
