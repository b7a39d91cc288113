// PNG on libpng: every colour type and depth becomes B, G, R, A (palette and
// grey expanded, tRNS as alpha, 16 bits reduced to their high byte, as the
// PNG suite's _to8 arrays do). No gamma correction is applied.

#include "platform/codec/CodecInternal.h"

#include <csetjmp>
#include <cstring>

#include <png.h>

namespace qlcodec {
namespace {

struct SourceReader {
    ByteReader* in;
    ULONGLONG pos;
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t n)
{
    SourceReader* r = static_cast<SourceReader*>(png_get_io_ptr(png));
    if (r->in->ReadAt(r->pos, out, n) != n)
        png_error(png, "truncated");
    r->pos += n;
}

void QuietError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void QuietWarning(png_structp, png_const_charp) {}

struct FdWriter {
    int fd;
    bool ok;
};

void WriteToFd(png_structp png, png_bytep data, png_size_t n)
{
    FdWriter* w = static_cast<FdWriter*>(png_get_io_ptr(png));
    if (!WriteAll(w->fd, data, n)) {
        w->ok = false;
        png_error(png, "write failed");
    }
}

void FlushNothing(png_structp) {}

bool ReadPng(ByteReader& in, RowSink* sink, UINT& width, UINT& height, bool* interlaced = nullptr)
{
    width = height = 0;
    BYTE signature[8];
    if (in.ReadAt(0, signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return false;
    SourceReader reader{&in, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromSource);
    png_set_user_limits(png, static_cast<png_uint_32>(kMaxSide), static_cast<png_uint_32>(kMaxSide));
    png_set_chunk_malloc_max(png, 16 * 1024 * 1024);
    png_read_info(png, info);

    png_uint_32 w = 0, h = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (!SizeOk(w, h) || (sink && !DecodeSizeOk(w, h))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (!sink) {
        png_destroy_read_struct(&png, &info, nullptr);
        width = w;
        height = h;
        return true;
    }

    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (hasTrns)
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !hasTrns)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    // Interlaced rows come back in every pass: only a whole picture takes them.
    if (passes > 1 && !sink->HoldsPicture()) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (interlaced)
            *interlaced = true;
        return false;
    }
    if (png_get_rowbytes(png, info) != std::size_t{w} * 4 || !sink->Begin(w, h, false)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y) {
            png_read_row(png, reinterpret_cast<png_bytep>(sink->RowAt(y)), nullptr);
            if (pass == passes - 1)
                sink->RowDone(y);
        }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    width = w;
    height = h;
    return true;
}

} // namespace

bool DecodePng(ByteReader& in, CQLImage& image)
{
    UINT w = 0, h = 0;
    ImageSink sink(image);
    if (ReadPng(in, &sink, w, h))
        return true;
    image.Free();
    return false;
}

bool DecodePng(const BYTE* data, std::size_t size, CQLImage& image)
{
    MemoryReader in(data, size);
    return DecodePng(in, image);
}

bool StreamPng(ByteReader& in, RowSink& sink)
{
    UINT w = 0, h = 0;
    bool interlaced = false;
    if (ReadPng(in, &sink, w, h, &interlaced))
        return true;
    // Interlaced rows are only complete in the last pass: from a whole picture.
    return interlaced && ThroughWholePicture(sink, [&](CQLImage& whole) { return DecodePng(in, whole); });
}

bool ShapePng(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    MemoryReader in(data, size);
    return ReadPng(in, nullptr, width, height);
}

bool EncodePng(const CQLImage& image, int fd)
{
    if (!image.GetAreaByteSize())
        return false;
    const UINT w = Width(image), h = Height(image);
    const bool alpha = AnyAlphaBelow255(image);
    FdWriter writer{fd, true};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &writer, WriteToFd, FlushNothing);
    png_set_compression_level(png, 4);
    png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // drops the fourth byte
    for (UINT y = 0; y < h; ++y)
        png_write_row(png, Row(image, y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return writer.ok;
}

} // namespace qlcodec
