// GIF on giflib: the first frame on its logical screen. The transparent index
// of the frame's graphic control block reads as alpha 0 (the palette colour
// kept); screen areas that the first frame does not cover are transparent
// black. Written as GIF89a: an exact palette when the picture has at most 256
// colours (255 when some alpha is below 128, which becomes the transparent
// index), else giflib's median-cut quantiser.

#include "platform/codec/CodecInternal.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include <gif_lib.h>

namespace qlcodec {
namespace {

struct SourceReader {
    ByteReader* in;
    ULONGLONG pos;
};

int ReadFromSource(GifFileType* gif, GifByteType* out, int n)
{
    SourceReader* r = static_cast<SourceReader*>(gif->UserData);
    if (n <= 0)
        return 0;
    const std::size_t k = r->in->ReadAt(r->pos, out, static_cast<std::size_t>(n));
    r->pos += k;
    return static_cast<int>(k);
}

GifFileType* OpenGif(SourceReader& reader)
{
    int err = 0;
    return DGifOpen(&reader, ReadFromSource, &err);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int err = 0;
        DGifCloseFile(gif, &err);
    }
};

using GifPtr = std::unique_ptr<GifFileType, GifCloser>;

bool NextImage(GifFileType* gif, int* transparent);
GifFileType* OpenGif(SourceReader& reader);

bool IsInterlaced(ByteReader& in)
{
    SourceReader reader{&in, 0};
    GifPtr gif(OpenGif(reader));
    return gif && NextImage(gif.get(), nullptr) && gif->Image.Interlace;
}

struct Rect {
    ULONGLONG left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

// Reads records up to the next image descriptor, taking the transparent
// index of a graphic control block on the way. False at the end or on an error.
bool NextImage(GifFileType* gif, int* transparent)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK || type == TERMINATE_RECORD_TYPE)
            return false;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
                return false;
            if (transparent && code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                *transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
                    return false;
            }
            continue;
        }
        return type == IMAGE_DESC_RECORD_TYPE && DGifGetImageDesc(gif) == GIF_OK;
    }
}

// The canvas: the union of the frames' rectangles, each clipped to the
// logical screen when it has a size. The frames' data is skipped, not
// decoded; a damaged later frame ends the walk (the first one is what loads).
bool Canvas(ByteReader& in, Rect& canvas)
{
    SourceReader reader{&in, 0};
    GifPtr gif(OpenGif(reader));
    if (!gif)
        return false;
    const bool screen = gif->SWidth > 0 && gif->SHeight > 0;
    bool first = true;
    while (NextImage(gif.get(), nullptr)) {
        const GifImageDesc& d = gif->Image;
        if (first && (d.Left < 0 || d.Top < 0 || d.Width <= 0 || d.Height <= 0))
            return false;
        if (d.Left >= 0 && d.Top >= 0 && d.Width > 0 && d.Height > 0) {
            Rect r{ULONGLONG(d.Left), ULONGLONG(d.Top), ULONGLONG(d.Left) + ULONGLONG(d.Width),
                   ULONGLONG(d.Top) + ULONGLONG(d.Height)};
            if (screen) {
                r.right = std::min<ULONGLONG>(r.right, ULONGLONG(gif->SWidth));
                r.bottom = std::min<ULONGLONG>(r.bottom, ULONGLONG(gif->SHeight));
            }
            if (!r.Empty()) {
                if (canvas.Empty()) {
                    canvas = r;
                } else {
                    canvas.left = std::min(canvas.left, r.left);
                    canvas.top = std::min(canvas.top, r.top);
                    canvas.right = std::max(canvas.right, r.right);
                    canvas.bottom = std::max(canvas.bottom, r.bottom);
                }
            }
        }
        int codeSize = 0;
        GifByteType* block = nullptr;
        bool ok = DGifGetCode(gif.get(), &codeSize, &block) == GIF_OK;
        while (ok && block)
            ok = DGifGetCodeNext(gif.get(), &block) == GIF_OK;
        if (!ok) {
            if (first)
                return false;
            break;
        }
        first = false;
    }
    return !first && !canvas.Empty();
}

bool ReadGif(ByteReader& in, RowSink* sink, UINT& width, UINT& height)
{
    width = height = 0;
    BYTE signature[4];
    if (in.Size() < 13 || in.ReadAt(0, signature, 4) != 4 || std::memcmp(signature, "GIF8", 4) != 0)
        return false;
    Rect canvas;
    if (!Canvas(in, canvas))
        return false;
    const ULONGLONG canvasW = canvas.right - canvas.left, canvasH = canvas.bottom - canvas.top;
    if (!SizeOk(canvasW, canvasH))
        return false;
    if (!sink) {
        width = static_cast<UINT>(canvasW);
        height = static_cast<UINT>(canvasH);
        return true;
    }
    if (!DecodeSizeOk(canvasW, canvasH))
        return false;

    SourceReader reader{&in, 0};
    GifPtr gif(OpenGif(reader));
    int transparent = -1;
    if (!gif || !NextImage(gif.get(), &transparent))
        return false;
    const GifImageDesc& desc = gif->Image;
    if (desc.Interlace && !sink->HoldsPicture())
        return false;

    CPixel palette[256];
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    const int colours = map ? std::min(map->ColorCount, 256) : 0;
    for (int i = 0; i < 256; ++i) {
        if (i < colours)
            palette[i] = CPixel{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 255};
        else if (!map)
            palette[i] = CPixel{BYTE(i), BYTE(i), BYTE(i), 255}; // no palette at all: grey
        else
            palette[i] = CPixel{0, 0, 0, 255};
    }
    if (transparent >= 0 && transparent < 256)
        palette[transparent].a = 0;

    const UINT cw = static_cast<UINT>(canvasW), ch = static_cast<UINT>(canvasH);
    if (!sink->Begin(cw, ch, false))
        return false;
    // The frame's place on the canvas; what lies outside it is dropped.
    const LONGLONG fx = LONGLONG(desc.Left) - LONGLONG(canvas.left);
    const LONGLONG fy = LONGLONG(desc.Top) - LONGLONG(canvas.top);
    const int w = desc.Width, h = desc.Height;
    const UINT x0 = static_cast<UINT>(std::clamp<LONGLONG>(fx, 0, cw));
    const UINT x1 = static_cast<UINT>(std::clamp<LONGLONG>(fx + w, 0, cw));
    constexpr CPixel kClear{0, 0, 0, 0};
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    // Canvas rows are filled as they are reached, never all at once ahead.
    auto blankRow = [&](UINT y) {
        CPixel* dst = sink->RowAt(y);
        std::fill(dst, dst + cw, kClear);
        sink->RowDone(y);
    };
    auto frameRow = [&](int y) {
        const LONGLONG cy = fy + y;
        if (cy < 0 || cy >= LONGLONG(ch))
            return;
        CPixel* dst = sink->RowAt(static_cast<UINT>(cy));
        std::fill(dst, dst + x0, kClear);
        for (UINT x = x0; x < x1; ++x)
            dst[x] = palette[line[static_cast<std::size_t>(LONGLONG(x) - fx)]];
        std::fill(dst + x1, dst + cw, kClear);
        sink->RowDone(static_cast<UINT>(cy));
    };
    const UINT top = static_cast<UINT>(std::clamp<LONGLONG>(fy, 0, ch));
    const UINT bottom = static_cast<UINT>(std::clamp<LONGLONG>(fy + h, 0, ch));
    for (UINT y = 0; y < top; ++y)
        blankRow(y);
    if (desc.Interlace) {
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < h; y += kStep[pass]) {
                if (DGifGetLine(gif.get(), line.data(), w) != GIF_OK)
                    return false;
                frameRow(y);
            }
    } else {
        // Rows past the canvas need not be decoded.
        const int last = static_cast<int>(std::min<LONGLONG>(h, LONGLONG(ch) - fy));
        for (int y = 0; y < last; ++y) {
            if (DGifGetLine(gif.get(), line.data(), w) != GIF_OK)
                return false;
            frameRow(y);
        }
    }
    for (UINT y = std::max(top, bottom); y < ch; ++y)
        blankRow(y);
    width = cw;
    height = ch;
    return true;
}

int WriteToFd(GifFileType* gif, const GifByteType* data, int n)
{
    const int fd = *static_cast<int*>(gif->UserData);
    return WriteAll(fd, data, static_cast<std::size_t>(n)) ? n : 0;
}

} // namespace

bool DecodeGif(ByteReader& in, CQLImage& image)
{
    UINT w = 0, h = 0;
    ImageSink sink(image);
    if (ReadGif(in, &sink, w, h))
        return true;
    image.Free();
    return false;
}

bool DecodeGif(const BYTE* data, std::size_t size, CQLImage& image)
{
    MemoryReader in(data, size);
    return DecodeGif(in, image);
}

bool StreamGif(ByteReader& in, RowSink& sink)
{
    UINT w = 0, h = 0;
    if (ReadGif(in, &sink, w, h))
        return true;
    // An interlaced first frame comes in passes: from a whole picture.
    return IsInterlaced(in) && ThroughWholePicture(sink, [&](CQLImage& whole) { return DecodeGif(in, whole); });
}

bool ShapeGif(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    MemoryReader in(data, size);
    return ReadGif(in, nullptr, width, height);
}

bool EncodeGif(const CQLImage& image, int fd)
{
    if (!image.GetAreaByteSize())
        return false;
    const UINT w = Width(image), h = Height(image);
    if (w > 65535 || h > 65535)
        return false;
    const std::size_t n = std::size_t{w} * h;
    const CPixel* px = reinterpret_cast<const CPixel*>(image.GetBuffer(0, 0));

    bool anyTransparent = false;
    for (std::size_t i = 0; i < n && !anyTransparent; ++i)
        anyTransparent = px[i].a < 128;
    const int maxColours = anyTransparent ? 255 : 256;

    std::vector<GifByteType> indices(n);
    std::vector<GifColorType> colours;
    // Exact palette when there are few colours.
    std::unordered_map<DWORD, int> seen;
    bool exact = true;
    for (std::size_t i = 0; i < n; ++i) {
        if (anyTransparent && px[i].a < 128)
            continue;
        const DWORD key = DWORD{px[i].r} << 16 | DWORD{px[i].g} << 8 | px[i].b;
        auto it = seen.find(key);
        if (it == seen.end()) {
            if (static_cast<int>(seen.size()) == maxColours) {
                exact = false;
                break;
            }
            it = seen.emplace(key, static_cast<int>(seen.size())).first;
            colours.push_back(GifColorType{px[i].r, px[i].g, px[i].b});
        }
        indices[i] = static_cast<GifByteType>(it->second);
    }
    if (!exact) {
        std::vector<GifByteType> r(n), g(n), b(n);
        for (std::size_t i = 0; i < n; ++i) {
            r[i] = px[i].r;
            g[i] = px[i].g;
            b[i] = px[i].b;
        }
        int count = maxColours;
        colours.assign(256, GifColorType{0, 0, 0});
        if (GifQuantizeBuffer(w, h, &count, r.data(), g.data(), b.data(), indices.data(), colours.data()) != GIF_OK)
            return false;
        colours.resize(static_cast<std::size_t>(count));
    }
    int transparentIndex = -1;
    if (anyTransparent) {
        transparentIndex = static_cast<int>(colours.size());
        colours.push_back(GifColorType{0, 0, 0});
        for (std::size_t i = 0; i < n; ++i)
            if (px[i].a < 128)
                indices[i] = static_cast<GifByteType>(transparentIndex);
    }
    const int bits = std::max(1, GifBitSize(static_cast<int>(colours.size())));
    colours.resize(std::size_t{1} << bits, GifColorType{0, 0, 0});

    int err = 0;
    int fdCopy = fd;
    GifFileType* gif = EGifOpen(&fdCopy, WriteToFd, &err);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    bool ok = map != nullptr;
    EGifSetGifVersion(gif, true);
    ok = ok && EGifPutScreenDesc(gif, static_cast<int>(w), static_cast<int>(h), 8, 0, map) == GIF_OK;
    if (ok && transparentIndex >= 0) {
        const GifByteType gce[4] = {1, 0, 0, static_cast<GifByteType>(transparentIndex)};
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, static_cast<int>(w), static_cast<int>(h), false, nullptr) == GIF_OK;
    for (UINT y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif, indices.data() + std::size_t{y} * w, static_cast<int>(w)) == GIF_OK;
    if (EGifCloseFile(gif, &err) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    return ok;
}

} // namespace qlcodec
