#include "platform/raw/RawDevelop.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/raw/RawInternal.h"
#include "platform/raw/RawTone.h"

#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace rawlib {

namespace {

constexpr unsigned kMaxSide = 65535;
constexpr unsigned long long kMaxPixels = 500000000ULL;

struct FlashReader {
    int value = 0;
};

// EXIF tag 0x9209 (Flash): bit 0 tells whether it fired.
void ReadFlash(void* context, int tag, int type, int len, unsigned int order, void* ifp, INT64)
{
    if ((tag & 0xFFFF) != 0x9209 || type != 3 || len < 1 || !ifp)
        return;
    unsigned char b[2] = {};
    if (static_cast<LibRaw_abstract_datastream*>(ifp)->read(b, 1, 2) != 2)
        return;
    const int v = order == 0x4949 ? b[0] | b[1] << 8 : b[0] << 8 | b[1];
    static_cast<FlashReader*>(context)->value = (v & 1) ? 1 : 0;
}

unsigned long long HalfPhysicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? (unsigned long long)pages * pageSize / 2 : 0;
}

unsigned MaxRawMemoryMb()
{
    const unsigned long long mb = HalfPhysicalMemory() >> 20;
    return mb > 0 && mb < 2048 ? static_cast<unsigned>(mb) : 2048;
}

// Whether the file recorded a white balance: multipliers, or the grey-card
// sums some formats carry, or the library's mark for the camera's automatic
// setting.
bool HasCameraBalance(const LibRaw& raw)
{
    const libraw_colordata_t& c = raw.imgdata.color;
    if (c.cam_mul[0] == -1 || (c.cam_mul[0] > 0 && c.cam_mul[1] > 0 && c.cam_mul[2] > 0))
        return true;
    for (const auto& row : c.white)
        for (const unsigned short v : row)
            if (v != 0)
                return true;
    return false;
}

// LibRaw's four-word image, our 16-bit bitmap and an 8-bit result at once.
constexpr unsigned long long kBytesPerPixel = 8 + 6 + 4;

} // namespace

bool OpenChecked(LibRaw& raw, const char* path, int* flash)
{
    if (!path || !*path)
        return false;
    FlashReader reader;
    raw.imgdata.params.max_raw_memory_mb = MaxRawMemoryMb();
    raw.set_exifparser_handler(ReadFlash, &reader);
    const int err = raw.open_file(path);
    raw.set_exifparser_handler(nullptr, nullptr);
    if (err != LIBRAW_SUCCESS)
        return false;
    const libraw_image_sizes_t& s = raw.imgdata.sizes;
    const unsigned long long w = s.width, h = s.height;
    if (w == 0 || h == 0 || s.raw_width > kMaxSide || s.raw_height > kMaxSide || w > kMaxSide || h > kMaxSide ||
        w * h > kMaxPixels || (unsigned long long)s.raw_width * s.raw_height > kMaxPixels)
        return false;
    const unsigned long long half = HalfPhysicalMemory();
    if (half && w * h * kBytesPerPixel > half)
        return false;
    if (flash)
        *flash = reader.value;
    return true;
}

void SetDevelopParams(LibRaw& raw, int quality, bool autoBalance, bool half)
{
    libraw_output_params_t& p = raw.imgdata.params;
    p.output_bps = 16;
    p.gamm[0] = 1.0;
    p.gamm[1] = 1.0;
    p.no_auto_bright = 1;
    p.output_color = 1;
    // Asked for the camera's balance on a file that recorded none, LibRaw
    // would balance on the picture's average and turn a scene of one colour
    // grey; the colour matrix's daylight balance is what the camera meant.
    p.use_camera_wb = !autoBalance && HasCameraBalance(raw) ? 1 : 0;
    p.use_auto_wb = autoBalance ? 1 : 0;
    p.half_size = half ? 1 : 0;
    p.user_qual = quality <= 1 ? 0 : quality == 2 ? 2 : 3;
}

bool IsMosaic(const LibRaw& raw)
{
    return raw.imgdata.idata.filters != 0;
}

bool CopyDeveloped(LibRaw& raw, C16BitBitmap& out)
{
    int err = 0;
    libraw_processed_image_t* image = raw.dcraw_make_mem_image(&err);
    const std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> owned(
        image, [](libraw_processed_image_t* p) { LibRaw::dcraw_clear_mem(p); });
    if (!image || err != LIBRAW_SUCCESS || image->type != LIBRAW_IMAGE_BITMAP || image->bits != 16 ||
        (image->colors != 3 && image->colors != 1) || !out.Fit(image->width, image->height))
        return false;
    const int w = image->width, colors = image->colors;
    const auto* data = reinterpret_cast<const unsigned short*>(image->data);
    imagecore::ParallelFor(0, image->height, static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const unsigned short* in = data + static_cast<std::size_t>(y) * w * colors;
            C16BitPixel* px = out.GetBuffer(0, y);
            for (int x = 0; x < w; ++x, in += colors) {
                px[x].r = in[0];
                px[x].g = in[colors == 3 ? 1 : 0];
                px[x].b = in[colors == 3 ? 2 : 0];
            }
        }
    });
    return true;
}

} // namespace rawlib

bool RawFileShape(const char* path, int& width, int& height)
{
    width = height = 0;
    try {
        auto raw = std::make_unique<LibRaw>();
        if (!rawlib::OpenChecked(*raw, path))
            return false;
        const libraw_image_sizes_t& s = raw->imgdata.sizes;
        const bool turned = (s.flip & 4) != 0;
        width = turned ? s.height : s.width;
        height = turned ? s.width : s.height;
        return true;
    } catch (...) {
        width = height = 0;
        return false;
    }
}

bool DevelopRawFile(const char* path, bool half, C16BitBitmap& out, bool* mosaic)
{
    try {
        auto raw = std::make_unique<LibRaw>();
        if (!rawlib::OpenChecked(*raw, path) || raw->unpack() != LIBRAW_SUCCESS)
            return false;
        const bool isMosaic = rawlib::IsMosaic(*raw);
        rawlib::SetDevelopParams(*raw, 3, false, half);
        if (raw->dcraw_process() != LIBRAW_SUCCESS || !rawlib::CopyDeveloped(*raw, out))
            return false;
        if (isMosaic)
            UniformRawImage(out);
        if (mosaic)
            *mosaic = isMosaic;
        return true;
    } catch (...) {
        out.Free();
        return false;
    }
}

bool LoadRawAs8Bit(const char* path, bool half, CQLImage& image)
{
    C16BitBitmap developed;
    bool mosaic = false;
    return DevelopRawFile(path, half, developed, &mosaic) && ConvertRawTo8Bit(developed, image, mosaic ? kRawOpenSharpening : 0);
}

namespace {

bool DecodeJpegThumb(const unsigned char* data, unsigned long size, CQLImage& image)
{
    tjhandle tj = tjInitDecompress();
    if (!tj)
        return false;
    int w = 0, h = 0, sub = 0, space = 0;
    bool ok = tjDecompressHeader3(tj, data, size, &w, &h, &sub, &space) == 0 && w > 0 && h > 0 &&
              w <= 65535 && h <= 65535 && (unsigned long long)w * h <= 500000000ULL;
    CQLImage result;
    ok = ok && result.Create(static_cast<UINT>(w), static_cast<UINT>(h)) == 0 &&
         tjDecompress2(tj, data, size, result.GetBuffer(0, 0), w, w * 4, h, TJPF_BGRX, 0) == 0;
    tjDestroy(tj);
    if (!ok)
        return false;
    for (int y = 0; y < h; ++y) {
        BYTE* p = result.GetBuffer(0, y);
        for (int x = 0; x < w; ++x)
            p[x * 4 + 3] = 255;
    }
    image = std::move(result);
    return true;
}

bool CopyBitmapThumb(const libraw_thumbnail_t& t, CQLImage& image)
{
    const unsigned long long need = (unsigned long long)t.twidth * t.theight * 3;
    if (t.tcolors != 3 || t.twidth == 0 || t.theight == 0 || !t.thumb || t.tlength < need)
        return false;
    CQLImage result;
    if (result.Create(t.twidth, t.theight) != 0)
        return false;
    const auto* in = reinterpret_cast<const unsigned char*>(t.thumb);
    for (int y = 0; y < t.theight; ++y) {
        BYTE* p = result.GetBuffer(0, y);
        for (int x = 0; x < t.twidth; ++x, in += 3, p += 4) {
            p[0] = in[2];
            p[1] = in[1];
            p[2] = in[0];
            p[3] = 255;
        }
    }
    image = std::move(result);
    return true;
}

} // namespace

int LoadRawThumbnail(const char* path, CQLImage& image)
{
    try {
        auto raw = std::make_unique<LibRaw>();
        if (!rawlib::OpenChecked(*raw, path))
            return 1;
        const int err = raw->unpack_thumb();
        if (err == LIBRAW_NO_THUMBNAIL || (err == LIBRAW_SUCCESS && !raw->imgdata.thumbnail.thumb))
            return 2;
        if (err == LIBRAW_UNSUPPORTED_THUMBNAIL)
            return 3;
        if (err != LIBRAW_SUCCESS)
            return 4;
        const libraw_thumbnail_t& t = raw->imgdata.thumbnail;
        if (t.tformat == LIBRAW_THUMBNAIL_JPEG)
            return DecodeJpegThumb(reinterpret_cast<const unsigned char*>(t.thumb), t.tlength, image) ? 0 : 4;
        if (t.tformat == LIBRAW_THUMBNAIL_BITMAP)
            return CopyBitmapThumb(t, image) ? 0 : 4;
        return 3;
    } catch (...) {
        return 4;
    }
}

void UniformRawImage(C16BitBitmap& bitmap)
{
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (w <= 0 || h <= 0)
        return;
    std::vector<unsigned> counts(65536, 0);
    for (int y = 0; y < h; ++y) {
        const C16BitPixel* p = bitmap.GetBuffer(0, y);
        for (int x = 0; x < w; ++x)
            ++counts[std::max({p[x].r, p[x].g, p[x].b})];
    }
    const unsigned long long want = std::max<unsigned long long>(1, (unsigned long long)w * h / 100);
    unsigned long long seen = 0;
    int level = 65535;
    while (level > 0 && (seen += counts[level]) < want)
        --level;
    if (level <= 0 || level >= 65535)
        return;
    // 16.16 fixed point, rounded up so that the level itself reaches 65535.
    const unsigned scale = static_cast<unsigned>(((65535ULL << 16) + level - 1) / level);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 3, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            WORD* v = reinterpret_cast<WORD*>(bitmap.GetBuffer(0, y));
            for (int i = 0; i < w * 3; ++i)
                v[i] = static_cast<WORD>(std::min<unsigned long long>(65535, ((unsigned long long)v[i] * scale) >> 16));
        }
    });
}
