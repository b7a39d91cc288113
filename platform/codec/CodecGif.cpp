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

struct MemReader {
    const BYTE* data;
    std::size_t size;
    std::size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int n)
{
    MemReader* r = static_cast<MemReader*>(gif->UserData);
    if (n <= 0)
        return 0;
    std::size_t k = static_cast<std::size_t>(n);
    if (k > r->size - r->pos)
        k = r->size - r->pos;
    std::memcpy(out, r->data + r->pos, k);
    r->pos += k;
    return static_cast<int>(k);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int err = 0;
        DGifCloseFile(gif, &err);
    }
};

bool ReadGif(const BYTE* data, std::size_t size, CQLImage* image, UINT& width, UINT& height)
{
    width = height = 0;
    if (!data || size < 13 || std::memcmp(data, "GIF8", 4) != 0)
        return false;
    MemReader reader{data, size, 0};
    int err = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, ReadFromMemory, &err));
    if (!gif)
        return false;
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) != GIF_OK)
            return false;
        if (type == TERMINATE_RECORD_TYPE)
            return false; // no image at all
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) != GIF_OK)
                return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif.get(), &ext) != GIF_OK)
                    return false;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            return false;
        if (DGifGetImageDesc(gif.get()) != GIF_OK)
            return false;
        break;
    }

    const GifImageDesc& desc = gif->Image;
    if (desc.Left < 0 || desc.Top < 0 || desc.Width <= 0 || desc.Height <= 0)
        return false;
    const ULONGLONG right = ULONGLONG(desc.Left) + ULONGLONG(desc.Width);
    const ULONGLONG bottom = ULONGLONG(desc.Top) + ULONGLONG(desc.Height);
    const ULONGLONG canvasW = std::max<ULONGLONG>(gif->SWidth > 0 ? ULONGLONG(gif->SWidth) : 0, right);
    const ULONGLONG canvasH = std::max<ULONGLONG>(gif->SHeight > 0 ? ULONGLONG(gif->SHeight) : 0, bottom);
    if (!SizeOk(canvasW, canvasH))
        return false;
    if (!image) {
        width = static_cast<UINT>(canvasW);
        height = static_cast<UINT>(canvasH);
        return true;
    }

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

    if (!MakeImage(*image, canvasW, canvasH))
        return false;
    if (right < canvasW || bottom < canvasH || desc.Left > 0 || desc.Top > 0)
        std::memset(image->GetBuffer(0, 0), 0, image->GetAreaByteSize());

    const int w = desc.Width, h = desc.Height;
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    auto putRow = [&](int y) {
        CPixel* dst = reinterpret_cast<CPixel*>(Row(*image, static_cast<UINT>(desc.Top + y))) + desc.Left;
        for (int x = 0; x < w; ++x)
            dst[x] = palette[line[static_cast<std::size_t>(x)]];
    };
    if (desc.Interlace) {
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < h; y += kStep[pass]) {
                if (DGifGetLine(gif.get(), line.data(), w) != GIF_OK) {
                    image->Free();
                    return false;
                }
                putRow(y);
            }
    } else {
        for (int y = 0; y < h; ++y) {
            if (DGifGetLine(gif.get(), line.data(), w) != GIF_OK) {
                image->Free();
                return false;
            }
            putRow(y);
        }
    }
    width = static_cast<UINT>(canvasW);
    height = static_cast<UINT>(canvasH);
    return true;
}

int WriteToFd(GifFileType* gif, const GifByteType* data, int n)
{
    const int fd = *static_cast<int*>(gif->UserData);
    return WriteAll(fd, data, static_cast<std::size_t>(n)) ? n : 0;
}

} // namespace

bool DecodeGif(const BYTE* data, std::size_t size, CQLImage& image)
{
    UINT w = 0, h = 0;
    if (ReadGif(data, size, &image, w, h))
        return true;
    image.Free();
    return false;
}

bool ShapeGif(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    return ReadGif(data, size, nullptr, width, height);
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
