// Inside the codec library: the format readers and writers and their shared
// helpers. The fuzz targets call the readers directly.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace qlcodec {

inline constexpr ULONGLONG kMaxSide = 65535;
// The image's 32-bit size field (width x height x 4 + 16) is the limit.
inline constexpr ULONGLONG kMaxPixels = (ULONGLONG{0xFFFFFFFFu} - 16) / 4;

inline bool SizeOk(ULONGLONG width, ULONGLONG height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// The one limit of every decoder, checked before the picture is allocated:
// the pixel cap and half of the physical memory (imagecore/ImageLimits.h).
// The same in the fuzz build, so that fuzzing sees the product's behaviour.
bool DecodeSizeOk(ULONGLONG width, ULONGLONG height);

// Create after the size check; false leaves the image empty.
bool MakeImage(CQLImage& image, ULONGLONG width, ULONGLONG height);

inline UINT Width(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return w;
}
inline UINT Height(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return h;
}
inline bool HasPixels(const CQLImage* image)
{
    return image && image->GetAreaByteSize() != 0;
}
inline BYTE* Row(const CQLImage& image, UINT y)
{
    return image.GetBuffer(0, static_cast<int>(y));
}
bool AnyAlphaBelow255(const CQLImage& image);

// Bytes by offset, from memory or from a file read as it is consumed (a
// mapping would keep every page read in the process's memory).
class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Up to n bytes from offset; fewer only at the end (none past it or on a read error).
    virtual std::size_t ReadAt(ULONGLONG offset, void* out, std::size_t n) = 0;
    virtual ULONGLONG Size() const = 0;
    // The bytes themselves when they are in memory, else null.
    virtual const BYTE* Memory() const { return nullptr; }
};

class MemoryReader final : public ByteReader {
public:
    MemoryReader(const BYTE* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}
    std::size_t ReadAt(ULONGLONG offset, void* out, std::size_t n) override;
    ULONGLONG Size() const override { return m_size; }
    const BYTE* Memory() const override { return m_data; }

private:
    const BYTE* m_data;
    std::size_t m_size;
};

// A regular file through pread, with a read-ahead block for the small
// sequential reads of giflib and libpng.
class FileReader final : public ByteReader {
public:
    FileReader() = default;
    ~FileReader() override;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    // False when path is not a regular file that can be opened.
    bool Open(const char* path);
    std::size_t ReadAt(ULONGLONG offset, void* out, std::size_t n) override;
    ULONGLONG Size() const override { return m_size; }

private:
    int m_fd = -1;
    ULONGLONG m_size = 0;
    std::unique_ptr<BYTE[]> m_block;
    ULONGLONG m_blockAt = 0;
    std::size_t m_blockSize = 0;
};

// A file mapped read-only: only the pages a decoder touches are read.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    // False when path is not a regular file that can be opened and mapped.
    // An empty file maps to no bytes (Data() null, Size() 0).
    bool Open(const char* path);
    const BYTE* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    BYTE* m_data = nullptr;
    std::size_t m_size = 0;
};

// Pictures handed over row by row as they are decoded, so a thumbnail never
// needs the whole picture. Each row once, in order: top-down, or bottom-up
// when Begin says so.
class RowSink {
public:
    virtual ~RowSink() = default;
    // The picture's size, before any row, after the decoder's size checks;
    // false refuses the picture.
    virtual bool Begin(UINT width, UINT height, bool bottomUp) = 0;
    // Where row y is to be written (width pixels).
    virtual CPixel* RowAt(UINT y) = 0;
    // Row y is complete.
    virtual void RowDone(UINT y) = 0;
    // True when rows stay where RowAt put them until the end and are all
    // one block (row y + 1 follows row y): interlaced decoders need that.
    virtual bool HoldsPicture() const = 0;
};

// The whole picture into a CQLImage.
class ImageSink final : public RowSink {
public:
    explicit ImageSink(CQLImage& image) : m_image(image) {}
    bool Begin(UINT width, UINT height, bool bottomUp) override;
    CPixel* RowAt(UINT y) override { return reinterpret_cast<CPixel*>(m_image.GetBuffer(0, static_cast<int>(y))); }
    void RowDone(UINT) override {}
    bool HoldsPicture() const override { return true; }

private:
    CQLImage& m_image;
};

// Decodes the whole picture into an image of its own, then hands its rows
// to sink: for the few layouts that cannot be streamed.
template <class Decode>
bool ThroughWholePicture(RowSink& sink, Decode&& decode)
{
    CQLImage whole;
    if (!decode(whole))
        return false;
    const UINT w = Width(whole), h = Height(whole);
    if (!sink.Begin(w, h, false))
        return false;
    for (UINT y = 0; y < h; ++y) {
        std::memcpy(sink.RowAt(y), whole.GetBuffer(0, static_cast<int>(y)), std::size_t{w} * 4);
        sink.RowDone(y);
    }
    return true;
}

// Whole files in memory.
struct FileBytes {
    std::unique_ptr<BYTE[]> data;
    std::size_t size = 0;
};
// Reads at most maxBytes from the start of a regular file. False when it
// cannot be opened or read, or is not a regular file.
bool ReadFileBytes(const char* path, FileBytes& out, std::size_t maxBytes = ~std::size_t{0});
// The total size of a regular file, or -1.
long long FileSize(const char* path);

// Writes a new temporary file beside path through writer(fd), then renames
// it over path (through a symbolic link to the file it names). The writer
// does not close fd. False, leaving path as it was, when anything fails.
bool WriteReplacing(const char* path, const std::function<bool(int fd, const std::string& tempPath)>& writer);
// Writes all bytes to fd.
bool WriteAll(int fd, const BYTE* data, std::size_t size);

// Lower-case extension with its dot (".jpg"), or "".
std::string Extension(const char* path);

// --- formats -----------------------------------------------------------------
// Decode*: the whole picture into image (B, G, R, A; alpha 255 where the
// format has none). False leaves image empty.
// Shape*: width and height from the header; false when not read.

// JPEG. minSide > 0 asks for the smallest DCT scale (1/8 .. 8/8) whose longer
// side is at least minSide; fast selects the fast integer DCT and plain chroma
// upsampling. fullWidth/fullHeight (may be null) get the unscaled size.
bool DecodeJpeg(const BYTE* data, std::size_t size, CQLImage& image, int minSide = 0, bool fast = false,
                UINT* fullWidth = nullptr, UINT* fullHeight = nullptr);
bool ShapeJpeg(const BYTE* data, std::size_t size, UINT& width, UINT& height);
// Encodes into a buffer allocated with new BYTE[] (capacity may exceed
// length). quality 1..100, 101..200 for 4:4:4; qTable: 64 zigzag entries
// already clamped to 1..255, or null.
bool EncodeJpeg(const CQLImage& image, int quality, int dpi, const unsigned int* qTable, BYTE*& bytes,
                std::size_t& length);
// op 1 clockwise, 3 anticlockwise.
bool TransformJpeg(const BYTE* data, std::size_t size, int op, std::unique_ptr<BYTE[]>& out, std::size_t& outSize);

bool DecodePng(const BYTE* data, std::size_t size, CQLImage& image);
bool DecodePng(ByteReader& in, CQLImage& image);
bool StreamPng(ByteReader& in, RowSink& sink);
bool ShapePng(const BYTE* data, std::size_t size, UINT& width, UINT& height);
bool EncodePng(const CQLImage& image, int fd);

bool DecodeTiff(const BYTE* data, std::size_t size, CQLImage& image);
bool DecodeTiff(ByteReader& in, CQLImage& image);
bool StreamTiff(ByteReader& in, RowSink& sink);
bool ShapeTiff(const BYTE* data, std::size_t size, UINT& width, UINT& height);
bool EncodeTiff(const CQLImage& image, int fd);

// The canvas is the union of the frames' rectangles inside the logical
// screen (all of them when the screen has no size); the first frame is
// drawn on it, the rest of it transparent black.
bool DecodeGif(const BYTE* data, std::size_t size, CQLImage& image);
bool DecodeGif(ByteReader& in, CQLImage& image);
bool StreamGif(ByteReader& in, RowSink& sink);
bool ShapeGif(const BYTE* data, std::size_t size, UINT& width, UINT& height);
bool EncodeGif(const CQLImage& image, int fd);

bool DecodePcx(const BYTE* data, std::size_t size, CQLImage& image);
bool ShapePcx(const BYTE* data, std::size_t size, UINT& width, UINT& height);
bool EncodePcx(const CQLImage& image, int fd);

bool DecodeTga(const BYTE* data, std::size_t size, CQLImage& image);
bool ShapeTga(const BYTE* data, std::size_t size, UINT& width, UINT& height);
bool EncodeTga(const CQLImage& image, int fd);
// Header fields make sense as a TGA (TGA has no signature at its start).
bool LooksLikeTga(const BYTE* data, std::size_t size);
// The TGA 2.0 footer "TRUEVISION-XFILE.\0" ends the data.
bool HasTgaFooter(const BYTE* data, std::size_t size);

bool ShapeBmp(const BYTE* data, std::size_t size, UINT& width, UINT& height);
// RLE8 and RLE4 files only; the others are CQLImage::LoadFromFile's.
bool DecodeBmpRle(const BYTE* data, std::size_t size, CQLImage& image);
bool StreamBmpRle(const BYTE* data, std::size_t size, RowSink& sink);
// Any BMP that either reader takes.
bool LoadBmp(const char* path, CQLImage& image);
bool StreamBmp(const char* path, RowSink& sink);

// Type by the first bytes (and the extension for TGA and RAW); QL_FILE_*.
DWORD SniffType(const BYTE* head, std::size_t headSize, const BYTE* tail, std::size_t tailSize,
                const std::string& ext);
DWORD TypeFromExtension(const std::string& ext);

// Smooth resampling (area average down, bilinear up) and nearest.
bool ResampleSmooth(const CQLImage& source, CQLImage& target, UINT width, UINT height);
bool ResampleNearest(const CQLImage& source, CQLImage& target, UINT width, UINT height);
// Thumbnail: the full picture's longer side fitted into maxSide (never
// enlarged), made from source (the full picture, or a DCT-scaled decode of
// it) with ResampleSmooth; source is moved into target when it already has
// that size. fullWidth/fullHeight 0 mean the source's own size.
bool ShrinkToFit(CQLImage& source, CQLImage& target, int maxSide, UINT fullWidth = 0, UINT fullHeight = 0);
// The thumbnail's size for a picture of fw x fh: as ShrinkToFit makes it.
void ThumbnailSize(UINT fw, UINT fh, int maxSide, UINT& tw, UINT& th);

// Shrinks rows as they come into a thumbnail of ThumbnailSize, with the
// same filter and the same result as ResampleSmooth of the whole picture;
// holds two rows of sums, never the picture.
class ThumbnailSink final : public RowSink {
public:
    ThumbnailSink(CQLImage& target, int maxSide);
    ~ThumbnailSink() override;
    bool Begin(UINT width, UINT height, bool bottomUp) override;
    CPixel* RowAt(UINT y) override;
    void RowDone(UINT y) override;
    bool HoldsPicture() const override { return false; }
    // True once every row came in; the thumbnail is then complete.
    bool Finished() const;
    UINT FullWidth() const { return m_width; }
    UINT FullHeight() const { return m_height; }

private:
    struct State;
    CQLImage& m_target;
    int m_maxSide;
    UINT m_width = 0, m_height = 0;
    State* m_state = nullptr;
};

} // namespace qlcodec
