// CQLImageCodec: file types, loading and saving by format, thumbnails, shapes,
// the JPEG entry points and the colour forms.

#include "platform/codec/QLImageCodec.h"

#include "imagecore/ParallelFor.h"
#include "platform/codec/CodecInternal.h"
#include "platform/codec/ColorForms.h"
#include "platform/raw/RawDevelop.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qlcodec;

namespace qlcodec {

namespace {

constexpr char kLinkMagic[] = "QuilloLink 1\n";

bool IsRawExtension(const std::string& ext)
{
    // The extensions of the editor's RAW open filter.
    static const char* const kRaw[] = {".raw", ".nef", ".cr2", ".crw", ".orf", ".mrw", ".raf",
                                       ".pef", ".dcr", ".srf", ".erf", ".dng", ".arw", ".rw2"};
    for (const char* r : kRaw)
        if (ext == r)
            return true;
    return false;
}

bool IsTgaExtension(const std::string& ext)
{
    return ext == ".tga" || ext == ".tpic" || ext == ".icb" || ext == ".vda" || ext == ".vst";
}

bool Starts(const BYTE* head, std::size_t size, const char* magic, std::size_t n)
{
    return size >= n && std::memcmp(head, magic, n) == 0;
}

} // namespace

DWORD TypeFromExtension(const std::string& ext)
{
    if (ext == ".bmp" || ext == ".dib")
        return QL_FILE_BMP;
    if (ext == ".gif")
        return QL_FILE_GIF;
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
        return QL_FILE_JPEG;
    if (ext == ".png")
        return QL_FILE_PNG;
    if (ext == ".pcx")
        return QL_FILE_PCX;
    if (ext == ".tif" || ext == ".tiff")
        return QL_FILE_TIFF;
    if (IsTgaExtension(ext))
        return QL_FILE_TGA;
    if (IsRawExtension(ext))
        return QL_FILE_RAW;
    if (ext == CQLLinkFile::kExtension)
        return QL_FILE_LINK;
    return QL_FILE_UNKNOWN;
}

DWORD SniffType(const BYTE* head, std::size_t n, const BYTE* tail, std::size_t tailSize, const std::string& ext)
{
    if (Starts(head, n, "\xFF\xD8\xFF", 3))
        return QL_FILE_JPEG;
    if (Starts(head, n, "\x89PNG\r\n\x1A\n", 8))
        return QL_FILE_PNG;
    if (Starts(head, n, "GIF87a", 6) || Starts(head, n, "GIF89a", 6))
        return QL_FILE_GIF;
    if (Starts(head, n, "BM", 2))
        return QL_FILE_BMP;
    if (Starts(head, n, kLinkMagic, sizeof kLinkMagic - 1))
        return QL_FILE_LINK;
    // Camera RAW files with a signature of their own.
    if (Starts(head, n, "FUJIFILMCCD-RAW", 15) || Starts(head, n, "\0MRM", 4) || Starts(head, n, "IIRO", 4)
        || Starts(head, n, "IIRS", 4) || Starts(head, n, "MMOR", 4) || Starts(head, n, "IIU\0", 4)
        || Starts(head, n, "II\x1A\0\0\0HEAPCCDR", 14))
        return QL_FILE_RAW;
    if (Starts(head, n, "II*\0", 4) || Starts(head, n, "MM\0*", 4) || Starts(head, n, "II+\0", 4)
        || Starts(head, n, "MM\0+", 4)) {
        // Most RAW formats are TIFF inside: the name tells them apart.
        if (IsRawExtension(ext) || (n >= 10 && head[8] == 'C' && head[9] == 'R'))
            return QL_FILE_RAW;
        return QL_FILE_TIFF;
    }
    if (n >= 4 && head[0] == 0x0A && (head[1] <= 5 && head[1] != 1) && head[2] <= 1
        && (head[3] == 1 || head[3] == 2 || head[3] == 4 || head[3] == 8))
        return QL_FILE_PCX;
    if (HasTgaFooter(tail, tailSize) || (IsTgaExtension(ext) && LooksLikeTga(head, n)))
        return QL_FILE_TGA;
    if (IsRawExtension(ext))
        return QL_FILE_RAW; // left to the RAW library
    return QL_FILE_UNKNOWN;
}

} // namespace qlcodec

namespace {

constexpr std::size_t kHead = 64;
constexpr std::size_t kTail = 26;

// Type of an existing, non-empty file by content; QL_FILE_UNKNOWN + 1 when
// the file cannot be read or holds nothing.
constexpr DWORD kNotRead = 0xFFFFFFFF;

DWORD ContentType(const char* path)
{
    if (!path || !*path)
        return kNotRead;
    // O_NONBLOCK: a FIFO under a photo's name must not hang the caller.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return kNotRead;
    struct stat st {};
    BYTE head[kHead];
    BYTE tail[kTail];
    std::size_t n = 0, t = 0;
    DWORD type = kNotRead;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        const ssize_t got = ::pread(fd, head, kHead, 0);
        if (got > 0) {
            n = static_cast<std::size_t>(got);
            if (st.st_size >= static_cast<off_t>(kTail)) {
                const ssize_t tg = ::pread(fd, tail, kTail, st.st_size - static_cast<off_t>(kTail));
                t = tg > 0 ? static_cast<std::size_t>(tg) : 0;
            }
            type = SniffType(head, n, tail, t, Extension(path));
        }
    }
    ::close(fd);
    return type;
}

std::string LinkTarget(const char* path)
{
    CQLLinkFile link;
    return link.Read(path) ? std::string(link.GetOrgFile()) : std::string();
}

// The file's type by content, following a link file one level: path then
// points at the target's path, which target holds.
DWORD ContentTypeFollowingLink(const char*& path, std::string& target)
{
    const DWORD type = ContentType(path);
    if (type != QL_FILE_LINK)
        return type;
    target = LinkTarget(path);
    path = target.c_str();
    const DWORD targetType = ContentType(path);
    return targetType == QL_FILE_LINK ? QL_FILE_UNKNOWN : targetType;
}

bool DecodeBytes(DWORD type, const BYTE* data, std::size_t size, CQLImage& image)
{
    switch (type) {
    case QL_FILE_JPEG: return DecodeJpeg(data, size, image);
    case QL_FILE_PNG: return DecodePng(data, size, image);
    case QL_FILE_TIFF: return DecodeTiff(data, size, image);
    case QL_FILE_GIF: return DecodeGif(data, size, image);
    case QL_FILE_PCX: return DecodePcx(data, size, image);
    case QL_FILE_TGA: return DecodeTga(data, size, image);
    default: return false;
    }
}

// Decodes a file of a known type from its mapping, so only what the decoder
// reads is read; the BMP reader reads its file itself.
bool LoadTyped(const char* path, DWORD type, CQLImage& image)
{
    if (type == QL_FILE_BMP)
        return LoadBmp(path, image);
    if (type == QL_FILE_RAW)
        return LoadRawAs8Bit(path, false, image);
    if (type == QL_FILE_PNG || type == QL_FILE_TIFF || type == QL_FILE_GIF) {
        FileReader in;
        if (!in.Open(path))
            return false;
        return type == QL_FILE_PNG ? DecodePng(in, image)
            : type == QL_FILE_TIFF ? DecodeTiff(in, image)
                                   : DecodeGif(in, image);
    }
    MappedFile f;
    return f.Open(path) && DecodeBytes(type, f.Data(), f.Size(), image);
}

// The rows of a PNG, TIFF, GIF or BMP file into sink; false for the other types.
bool StreamTyped(const char* path, DWORD type, RowSink& sink)
{
    if (type == QL_FILE_BMP)
        return StreamBmp(path, sink);
    FileReader in;
    if (!in.Open(path))
        return false;
    switch (type) {
    case QL_FILE_PNG: return StreamPng(in, sink);
    case QL_FILE_TIFF: return StreamTiff(in, sink);
    case QL_FILE_GIF: return StreamGif(in, sink);
    default: return false;
    }
}

bool ShapeBytes(DWORD type, const BYTE* data, std::size_t size, UINT& w, UINT& h)
{
    switch (type) {
    case QL_FILE_BMP: return ShapeBmp(data, size, w, h);
    case QL_FILE_JPEG: return ShapeJpeg(data, size, w, h);
    case QL_FILE_PNG: return ShapePng(data, size, w, h);
    case QL_FILE_TIFF: return ShapeTiff(data, size, w, h);
    case QL_FILE_GIF: return ShapeGif(data, size, w, h);
    case QL_FILE_PCX: return ShapePcx(data, size, w, h);
    case QL_FILE_TGA: return ShapeTga(data, size, w, h);
    default: return false;
    }
}

template <class Fn>
void ForPixels(void* pixels, int count, Fn&& fn)
{
    if (!pixels || count <= 0)
        return;
    constexpr int kChunk = 4096;
    BYTE* p = static_cast<BYTE*>(pixels);
    const int chunks = count / kChunk + (count % kChunk != 0); // count + kChunk - 1 could overflow
    imagecore::ParallelFor(0, chunks, kChunk, [&](int c0, int c1) {
        for (int c = c0; c < c1; ++c) {
            const int first = c * kChunk;
            fn(p + std::size_t(first) * 4, static_cast<std::size_t>(std::min(kChunk, count - first)));
        }
    });
}

} // namespace

void CQLImageCodec::Start() {}

void CQLImageCodec::Stop() {}

DWORD CQLImageCodec::GetFileType(const char* path)
{
    if (!path)
        return QL_FILE_UNKNOWN;
    // A bare name (the album and the viewer type the names of a listing) is
    // typed by its extension alone, never by a same-named file in the
    // working folder.
    if (!std::strpbrk(path, "/\\"))
        return TypeFromExtension(Extension(path));
    const DWORD byContent = ContentType(path);
    return byContent != kNotRead ? byContent : TypeFromExtension(Extension(path));
}

int CQLImageCodec::LoadFile(const char* path, CQLImage* image)
{
    if (!image)
        return 0;
    std::string target;
    const DWORD type = ContentTypeFollowingLink(path, target);
    if (!LoadTyped(path, type, *image)) {
        image->Free();
        return 0;
    }
    return 1;
}

int CQLImageCodec::GetFileShape(const char* path, int* width, int* height)
{
    if (width)
        *width = 0;
    if (height)
        *height = 0;
    std::string target;
    const DWORD type = ContentTypeFollowingLink(path, target);
    if (type == QL_FILE_RAW) {
        int w = 0, h = 0;
        if (!RawFileShape(path, w, h))
            return 0;
        if (width)
            *width = w;
        if (height)
            *height = h;
        return 1;
    }
    if (type > QL_FILE_TGA)
        return 0;
    UINT w = 0, h = 0;
    MappedFile f;
    if (!f.Open(path) || !ShapeBytes(type, f.Data(), f.Size(), w, h))
        return 0;
    if (width)
        *width = static_cast<int>(w);
    if (height)
        *height = static_cast<int>(h);
    return 1;
}

int CQLImageCodec::CreateThumbnail(const char* path, CQLImage* image, int maxSide, int* width, int* height, int flag)
{
    if (width)
        *width = 0;
    if (height)
        *height = 0;
    if (!image)
        return 0;
    if (maxSide < 1) {
        image->Free();
        return 0;
    }
    std::string target;
    const DWORD type = ContentTypeFollowingLink(path, target);
    CQLImage full;
    UINT fw = 0, fh = 0;
    bool ok;
    if (type == QL_FILE_JPEG) {
        MappedFile f;
        const int minSide = flag ? static_cast<int>(std::min(2LL * maxSide, 65535LL)) : maxSide;
        ok = f.Open(path) && DecodeJpeg(f.Data(), f.Size(), full, minSide, flag == 0, &fw, &fh)
            && ShrinkToFit(full, *image, maxSide, fw, fh);
    } else if (type == QL_FILE_PNG || type == QL_FILE_TIFF || type == QL_FILE_GIF || type == QL_FILE_BMP) {
        // Rows go through the shrinking filter as they are decoded: the
        // picture is never held whole.
        ThumbnailSink sink(*image, maxSide);
        ok = StreamTyped(path, type, sink) && sink.Finished();
        fw = sink.FullWidth();
        fh = sink.FullHeight();
    } else if (type == QL_FILE_RAW) {
        // The camera's embedded preview, else a quick half-size development.
        int w = 0, h = 0;
        ok = RawFileShape(path, w, h) && (LoadRawThumbnail(path, full) == 0 || LoadRawAs8Bit(path, true, full)) &&
             ShrinkToFit(full, *image, maxSide);
        fw = static_cast<UINT>(w);
        fh = static_cast<UINT>(h);
    } else {
        ok = type <= QL_FILE_TGA && LoadTyped(path, type, full);
        fw = Width(full);
        fh = Height(full);
        ok = ok && ShrinkToFit(full, *image, maxSide, fw, fh);
    }
    if (!ok) {
        image->Free();
        return 0;
    }
    if (width)
        *width = static_cast<int>(fw);
    if (height)
        *height = static_cast<int>(fh);
    return 1;
}

int CQLImageCodec::SaveFile(const char* path, const CQLImage* image)
{
    if (!path || !HasPixels(image))
        return 0;
    const DWORD type = TypeFromExtension(Extension(path));
    const CQLImage& img = *image;
    if (type == QL_FILE_JPEG)
        return SaveJpegFile(path, image, 95, 72);
    if (type == QL_FILE_BMP)
        return WriteReplacing(path, [&](int, const std::string& temp) { return img.SaveToFile(temp.c_str()) == 0; });
    bool (*encode)(const CQLImage&, int) = nullptr;
    switch (type) {
    case QL_FILE_PNG: encode = EncodePng; break;
    case QL_FILE_TIFF: encode = EncodeTiff; break;
    case QL_FILE_GIF: encode = EncodeGif; break;
    case QL_FILE_PCX: encode = EncodePcx; break;
    case QL_FILE_TGA: encode = EncodeTga; break;
    default: return 0;
    }
    const bool ok = WriteReplacing(path, [&](int fd, const std::string&) { return encode(img, fd); });
    return ok ? 1 : 0;
}

int CQLImageCodec::SaveJpegFile(const char* path, const CQLImage* image, int quality, int dpi)
{
    if (!path || !HasPixels(image))
        return 0;
    BYTE* bytes = nullptr;
    std::size_t length = 0;
    if (!EncodeJpeg(*image, quality, dpi, m_hasQTable ? m_qTable : nullptr, bytes, length))
        return 0;
    const std::unique_ptr<BYTE[]> owned(bytes);
    return WriteReplacing(path, [&](int fd, const std::string&) { return WriteAll(fd, bytes, length); }) ? 1 : 0;
}

int CQLImageCodec::SaveToJpegMem(BYTE** bytes, DWORD* length, const CQLImage* image, int quality)
{
    if (bytes)
        *bytes = nullptr;
    if (length)
        *length = 0;
    if (!bytes || !length || !HasPixels(image))
        return 0;
    BYTE* buffer = nullptr;
    std::size_t size = 0;
    if (!EncodeJpeg(*image, quality, 72, m_hasQTable ? m_qTable : nullptr, buffer, size))
        return 0;
    if (size > 0xFFFFFFFFu) {
        delete[] buffer;
        return 0;
    }
    *bytes = buffer; // new BYTE[]: the caller frees it with delete[]
    *length = static_cast<DWORD>(size);
    return 1;
}

int CQLImageCodec::DecodeJpegMem(const BYTE* bytes, DWORD length, CQLImage* image)
{
    if (!image)
        return 0;
    if (!bytes || !DecodeJpeg(bytes, length, *image)) {
        image->Free();
        return 0;
    }
    return 1;
}

int CQLImageCodec::LosslessJPGTransform(const char* path, int operation)
{
    if ((operation != 1 && operation != 3) || ContentType(path) != QL_FILE_JPEG)
        return 0;
    FileBytes f;
    if (!ReadFileBytes(path, f))
        return 0;
    std::unique_ptr<BYTE[]> out;
    std::size_t outSize = 0;
    if (!TransformJpeg(f.data.get(), f.size, operation, out, outSize))
        return 0;
    return WriteReplacing(path, [&](int fd, const std::string&) { return WriteAll(fd, out.get(), outSize); }) ? 1 : 0;
}

void CQLImageCodec::SetJpegAdaptiveQTable(const unsigned int* table)
{
    if (!table) {
        m_hasQTable = false;
        return;
    }
    for (int i = 0; i < 64; ++i)
        m_qTable[i] = std::clamp(table[i], 1u, 255u);
    m_hasQTable = true;
}

void CQLImageCodec::RGB2HSB(void* pixels, int count)
{
    ForPixels(pixels, count, [](BYTE* p, std::size_t n) { RgbToHsb(p, n); });
}

void CQLImageCodec::HSB2RGB(void* pixels, int count)
{
    ForPixels(pixels, count, [](BYTE* p, std::size_t n) { HsbToRgb(p, n); });
}

namespace {

// Converts every row of the image in place, on all cores.
template <class Convert>
int ConvertRows(CQLImage* image, Convert convert)
{
    if (!HasPixels(image))
        return 0;
    const UINT w = Width(*image);
    imagecore::ParallelFor(0, static_cast<int>(Height(*image)), w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            convert(Row(*image, static_cast<UINT>(y)), w);
    });
    return 1;
}

} // namespace

int CQLImageCodec::RGBToYUV(CQLImage* image)
{
    return ConvertRows(image, [](BYTE* row, UINT w) { RgbToYuv(row, w); });
}

int CQLImageCodec::YUVToRGB(CQLImage* image)
{
    return ConvertRows(image, [](BYTE* row, UINT w) { YuvToRgb(row, w); });
}
