// JPEG on libjpeg-turbo: decoding straight into the image buffer (JCS_EXT_BGRA),
// encoding straight from it (JCS_EXT_BGRX), DCT-scaled decoding for
// thumbnails, and lossless quarter turns with TurboJPEG.
//
// libjpeg reports errors by longjmp. The functions that call setjmp keep
// every C++ object they own outside the protected stretch or untouched by it,
// and the callbacks that libjpeg calls own none.

#include "platform/codec/CodecInternal.h"

#include "imagecore/ImageLimits.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>
#include <turbojpeg.h>

namespace qlcodec {
namespace {

// A progressive file with more scans than this is refused: real files have
// about ten, and every scan is a pass over the whole coefficient store.
constexpr int kMaxScans = 256;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool prematureEnd;
};

void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) {
        ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        // A file that ends early decodes to grey from there: a failed load.
        if (err->pub.msg_code == JWRN_JPEG_EOF)
            err->prematureEnd = true;
        err->pub.num_warnings++;
    }
}

void OutputMessage(j_common_ptr) {}

void InitErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.prematureEnd = false;
}

struct ScanLimit {
    jpeg_progress_mgr pub;
};

void CheckScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor) {
        j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) {
            cinfo->err->msg_code = JERR_NOT_COMPILED;
            cinfo->err->error_exit(cinfo);
        }
    }
}

// Adobe files store CMYK inverted; others plainly.
void CmykRowToBgra(BYTE* p, UINT width, bool inverted)
{
    for (UINT x = 0; x < width; ++x, p += 4) {
        int c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        const int r = (c * k + 127) / 255;
        const int g = (m * k + 127) / 255;
        const int b = (y * k + 127) / 255;
        p[0] = static_cast<BYTE>(b);
        p[1] = static_cast<BYTE>(g);
        p[2] = static_cast<BYTE>(r);
        p[3] = 255;
    }
}

// The natural (row-major) position of each zigzag index.
constexpr int kNaturalOrder[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// Destination into a buffer from new BYTE[], doubled as needed.
struct ArrayDestination {
    jpeg_destination_mgr pub;
    BYTE* buffer;
    std::size_t capacity;
};

void InitDestination(j_compress_ptr cinfo)
{
    ArrayDestination* d = reinterpret_cast<ArrayDestination*>(cinfo->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = d->capacity;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    ArrayDestination* d = reinterpret_cast<ArrayDestination*>(cinfo->dest);
    const std::size_t bigger = d->capacity * 2;
    BYTE* grown = new (std::nothrow) BYTE[bigger];
    if (!grown) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    std::memcpy(grown, d->buffer, d->capacity);
    delete[] d->buffer;
    d->buffer = grown;
    d->pub.next_output_byte = grown + d->capacity;
    d->pub.free_in_buffer = bigger - d->capacity;
    d->capacity = bigger;
    return TRUE;
}

void TermDestination(j_compress_ptr) {}

// Files of more than one scan keep every DCT coefficient of the picture
// (2 bytes each, 64 a block, blocks padded to whole MCUs) from
// jpeg_start_decompress on, whatever the output scale: checked as a
// full-size buffer is, before it is allocated.
bool CoefficientStoreOk(j_decompress_ptr cinfo)
{
    if (!jpeg_has_multiple_scans(cinfo))
        return true;
    ULONGLONG bytes = 0;
    for (int i = 0; i < cinfo->num_components; ++i) {
        const jpeg_component_info& c = cinfo->comp_info[i];
        const ULONGLONG h = ULONGLONG(c.h_samp_factor), v = ULONGLONG(c.v_samp_factor);
        const ULONGLONG wide = (ULONGLONG(c.width_in_blocks) + h - 1) / h * h;
        const ULONGLONG high = (ULONGLONG(c.height_in_blocks) + v - 1) / v * v;
        bytes += wide * high * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes <= imagecore::DecodeByteLimit();
}

// A Huffman-coded progressive file begins with a DC scan that spends at
// least one bit on every block of its components; a file too short for that
// cannot load (a short file is refused), so it is refused before the
// coefficient store is allocated and zeroed on the header's word alone. A
// first scan that is not a DC scan is a broken progression.
bool FirstScanFits(j_decompress_ptr cinfo, std::size_t size)
{
    if (!cinfo->progressive_mode || cinfo->arith_code)
        return true;
    if (cinfo->Ss != 0 || cinfo->Ah != 0)
        return false;
    ULONGLONG blocks = 0;
    for (int i = 0; i < cinfo->comps_in_scan; ++i) {
        const jpeg_component_info* c = cinfo->cur_comp_info[i];
        blocks += ULONGLONG(c->width_in_blocks) * c->height_in_blocks;
    }
    return ULONGLONG(size) * 8 >= blocks;
}

bool ShapeOrDecode(const BYTE* data, std::size_t size, CQLImage* image, int minSide, bool fast, UINT& fullW,
                   UINT& fullH)
{
    if (!data || size < 4 || size > ~static_cast<unsigned long>(0))
        return false;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ScanLimit progress;
    InitErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (image)
            image->Free();
        return false;
    }
    jpeg_create_decompress(&cinfo);
    progress.pub.progress_monitor = CheckScans;
    cinfo.progress = &progress.pub;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    fullW = cinfo.image_width;
    fullH = cinfo.image_height;
    // A thumbnail's reduced scale does not lift the limit: the coefficient
    // store and the decoding work follow the full size.
    if (!SizeOk(fullW, fullH)
        || (image && (!DecodeSizeOk(fullW, fullH) || !CoefficientStoreOk(&cinfo) || !FirstScanFits(&cinfo, size)))) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!image) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    if (fast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    cinfo.scale_num = 8;
    cinfo.scale_denom = 8;
    if (minSide > 0) {
        for (unsigned num = 1; num <= 8; ++num) {
            cinfo.scale_num = num;
            jpeg_calc_output_dimensions(&cinfo);
            const JDIMENSION longer = cinfo.output_width > cinfo.output_height ? cinfo.output_width : cinfo.output_height;
            if (longer >= static_cast<JDIMENSION>(minSide))
                break;
        }
    }
    jpeg_calc_output_dimensions(&cinfo);
    if (cinfo.output_components != 4 || !MakeImage(*image, cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[16];
        const JDIMENSION first = cinfo.output_scanline;
        JDIMENSION n = cinfo.output_height - first;
        if (n > 16)
            n = 16;
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = Row(*image, first + i);
        const JDIMENSION got = jpeg_read_scanlines(&cinfo, rows, n);
        if (cmyk)
            for (JDIMENSION i = 0; i < got; ++i)
                CmykRowToBgra(rows[i], cinfo.output_width, inverted);
        if (got == 0 || err.prematureEnd)
            break;
    }
    if (!err.prematureEnd && cinfo.output_scanline == cinfo.output_height)
        jpeg_finish_decompress(&cinfo);
    const bool ok = !err.prematureEnd && cinfo.output_scanline == cinfo.output_height;
    jpeg_destroy_decompress(&cinfo);
    if (!ok)
        image->Free();
    return ok;
}

} // namespace

bool DecodeJpeg(const BYTE* data, std::size_t size, CQLImage& image, int minSide, bool fast, UINT* fullWidth,
                UINT* fullHeight)
{
    UINT w = 0, h = 0;
    const bool ok = ShapeOrDecode(data, size, &image, minSide, fast, w, h);
    if (!ok)
        image.Free(); // also when the header was refused before any decoding
    if (fullWidth)
        *fullWidth = ok ? w : 0;
    if (fullHeight)
        *fullHeight = ok ? h : 0;
    return ok;
}

bool ShapeJpeg(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    width = height = 0;
    UINT w = 0, h = 0;
    if (!ShapeOrDecode(data, size, nullptr, 0, false, w, h))
        return false;
    width = w;
    height = h;
    return true;
}

bool EncodeJpeg(const CQLImage& image, int quality, int dpi, const unsigned int* qTable, BYTE*& bytes,
                std::size_t& length)
{
    bytes = nullptr;
    length = 0;
    if (!image.GetAreaByteSize())
        return false;
    const UINT width = Width(image), height = Height(image);
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return false;
    const bool fullChroma = quality > 100;
    int q = fullChroma ? quality - 100 : quality;
    q = q < 1 ? 1 : (q > 100 ? 100 : q);

    jpeg_compress_struct cinfo;
    ErrorManager err;
    ArrayDestination dest;
    InitErrors(err);
    cinfo.err = &err.pub;
    dest.capacity = std::size_t{width} * height / 2 + 65536;
    dest.buffer = new (std::nothrow) BYTE[dest.capacity];
    if (!dest.buffer)
        return false;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        delete[] dest.buffer;
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyOutputBuffer;
    dest.pub.term_destination = TermDestination;
    cinfo.dest = &dest.pub;

    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, q, TRUE);
    if (qTable) {
        unsigned int natural[64];
        for (int k = 0; k < 64; ++k) {
            const unsigned int v = qTable[k];
            natural[kNaturalOrder[k]] = v < 1 ? 1 : (v > 255 ? 255 : v);
        }
        // Scaled by the quality like the standard tables; force_baseline
        // clamps every final entry to 1..255.
        jpeg_add_quant_table(&cinfo, 0, natural, jpeg_quality_scaling(q), TRUE);
    }
    if (fullChroma) {
        for (int c = 0; c < cinfo.num_components; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    const int d = dpi < 1 ? 1 : (dpi > 65535 ? 65535 : dpi);
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1; // dots per inch
    cinfo.X_density = static_cast<UINT16>(d);
    cinfo.Y_density = static_cast<UINT16>(d);

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[16];
        const JDIMENSION first = cinfo.next_scanline;
        JDIMENSION n = cinfo.image_height - first;
        if (n > 16)
            n = 16;
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = Row(image, first + i);
        jpeg_write_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_compress(&cinfo);
    length = dest.capacity - dest.pub.free_in_buffer;
    bytes = dest.buffer;
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool TransformJpeg(const BYTE* data, std::size_t size, int op, std::unique_ptr<BYTE[]>& out, std::size_t& outSize)
{
    out.reset();
    outSize = 0;
    if (!data || size < 4 || size > ~static_cast<unsigned long>(0) || (op != 1 && op != 3))
        return false;
    tjhandle handle = tjInitTransform();
    if (!handle)
        return false;
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    bool ok = tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &w, &h, &subsamp, &colorspace) == 0
        && SizeOk(static_cast<ULONGLONG>(w), static_cast<ULONGLONG>(h)) && subsamp >= 0 && subsamp < TJ_NUMSAMP;
    // The edge that moves to the left (clockwise) or the top (anticlockwise)
    // must hold at least one whole MCU: that is what trimming keeps.
    const int mcuW = ok ? tjMCUWidth[subsamp] : 0, mcuH = ok ? tjMCUHeight[subsamp] : 0;
    ok = ok && (op == 1 ? h >= mcuH : w >= mcuW);
    const int expectW = op == 1 ? (mcuH ? h / mcuH * mcuH : 0) : h;
    const int expectH = op == 1 ? w : (mcuW ? w / mcuW * mcuW : 0);
    unsigned char* dst = nullptr;
    unsigned long dstSize = 0;
    if (ok) {
        tjtransform xform;
        std::memset(&xform, 0, sizeof xform);
        xform.op = op == 1 ? TJXOP_ROT90 : TJXOP_ROT270;
        xform.options = TJXOPT_PERFECT;
        const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
        if (tjTransform(handle, data, static_cast<unsigned long>(size), 1, &dst, &dstSize, &xform, flags) != 0) {
            // Not a whole number of MCUs along the edge that moves: trim it.
            tjFree(dst);
            dst = nullptr;
            dstSize = 0;
            xform.options = TJXOPT_TRIM;
            ok = tjTransform(handle, data, static_cast<unsigned long>(size), 1, &dst, &dstSize, &xform, flags) == 0;
        }
    }
    if (ok) {
        int tw = 0, th = 0;
        ok = tjDecompressHeader3(handle, dst, dstSize, &tw, &th, &subsamp, &colorspace) == 0 && tw > 0 && th > 0
            && (tw == h || tw == expectW) && (th == w || th == expectH);
    }
    if (ok) {
        out.reset(new (std::nothrow) BYTE[dstSize]);
        ok = out != nullptr;
        if (ok) {
            std::memcpy(out.get(), dst, dstSize);
            outSize = dstSize;
        }
    }
    tjFree(dst);
    tjDestroy(handle);
    return ok;
}

} // namespace qlcodec
