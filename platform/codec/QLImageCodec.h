// QuilloCodec: loading, saving, thumbnails, lossless JPEG turns and colour
// forms for the whole suite, on libjpeg-turbo, TurboJPEG,
// libpng, libtiff and giflib, with our own BMP (CQLImage), PCX and TGA code.
//
// Thread safety: no shared mutable state. Any number of codec objects may be
// used at once on different threads; one object is not to be used by two
// threads at the same time (its adaptive table is its own).
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <string>

// File types of GetFileType.
enum : DWORD {
    QL_FILE_BMP = 0,
    QL_FILE_GIF = 1,
    QL_FILE_JPEG = 2,
    QL_FILE_PNG = 3,
    QL_FILE_PCX = 4,
    QL_FILE_TIFF = 5,
    QL_FILE_TGA = 6,
    QL_FILE_RAW = 7,
    QL_FILE_UNKNOWN = 10,
    QL_FILE_LINK = 255,
};

// The interface that effect plug-ins receive. They call it by slot, so the
// order of the virtual operations below is fixed: do not add,
// remove or reorder any.
class IQLImageCodec {
public:
    virtual int CreateThumbnail(const char* path, CQLImage* image, int maxSide, int* width, int* height, int flag) = 0;
    virtual int Rotate(const CQLImage* source, CQLImage* target, float angle) = 0;
    virtual void RGB2HSB(void* pixels, int count) = 0;
    virtual void HSB2RGB(void* pixels, int count) = 0;
    virtual int Resample(const CQLImage* source, CQLImage* target, int width, int height, int mode) = 0;
    virtual int YUVToRGB(CQLImage* image) = 0;
    virtual int RGBToYUV(CQLImage* image) = 0;
    virtual int SaveJpegFile(const char* path, const CQLImage* image, int quality, int dpi) = 0;
    virtual int SaveFile(const char* path, const CQLImage* image) = 0;
    virtual int LoadFile(const char* path, CQLImage* image) = 0;
    virtual ~IQLImageCodec() = default;
};

class CQLImageCodec : public IQLImageCodec {
public:
    CQLImageCodec() = default;
    CQLImageCodec(const CQLImageCodec&) = default;
    CQLImageCodec& operator=(const CQLImageCodec&) = default;
    ~CQLImageCodec() override = default;

    // Start before any other use, Stop at the end. Both may be called more
    // than once and do nothing: every format library is set up per call.
    static void Start();
    static void Stop();

    // A path is typed by content when the file exists and holds bytes, by
    // extension otherwise (output paths not written yet). A bare name (no
    // folder part) is typed by its extension only. QL_FILE_* values.
    static DWORD GetFileType(const char* path);

    // The picture's size from its header, without decoding. Non-zero on
    // success; 0 (and 0 x 0) when the file is missing or not read.
    static int GetFileShape(const char* path, int* width, int* height);

    // Thumbnail whose longer side is at most maxSide (never enlarged), with
    // the full picture's size in *width and *height. flag 0 quick, 1 exact:
    // JPEG files are decoded at a reduced DCT scale, the smallest that gives a
    // longer side of at least maxSide (quick: fast integer DCT, plain chroma
    // upsampling) or at least 2 x maxSide (exact: accurate DCT, smooth chroma
    // upsampling), then area-averaged down. PNG, TIFF, GIF and BMP rows go
    // through the same area average as they are decoded, so the picture is
    // never held whole (interlaced PNG and GIF, and TIFF strips too tall to
    // read in bands, are decoded whole first); PCX and TGA are decoded whole.
    // Pictures over LoadFile's limit are refused. Non-zero on success; on
    // failure the image is empty.
    int CreateThumbnail(const char* path, CQLImage* image, int maxSide, int* width, int* height, int flag) override;

    // Turns by angle degrees, positive clockwise as seen on screen, into a
    // target just large enough for the turned picture. Multiples of 90 are
    // exact pixel turns; other angles sample bilinearly. Target pixels that
    // the picture does not cover are 0, 0, 0 with alpha 0 (transparent
    // black). source may equal target. Non-zero on success.
    int Rotate(const CQLImage* source, CQLImage* target, float angle) override;

    // In place, count 32-bit pixels; see ColorForms.h for the formulas.
    void RGB2HSB(void* pixels, int count) override;
    void HSB2RGB(void* pixels, int count) override;

    // Scales source into target (created at width x height). mode 1 smooth:
    // area average along an axis that shrinks, bilinear along one that grows,
    // all four bytes, on all cores; mode 0 fast: nearest pixel. source may
    // equal target. Non-zero on success; 0 for an empty source or size.
    int Resample(const CQLImage* source, CQLImage* target, int width, int height, int mode) override;

    // Whole image in place; see ColorForms.h. Non-zero on success (0 for an
    // empty image).
    int YUVToRGB(CQLImage* image) override;
    int RGBToYUV(CQLImage* image) override;

    // quality 1..100 with 4:2:0 chroma; 101..200 is quality - 100 with full
    // colour resolution (4:4:4). dpi goes into the JFIF header. Uses the
    // adaptive table when one is set. Writes a temporary file beside the
    // file the path names (through symbolic links) and renames it over that
    // file; a read-only photo is not replaced. Non-zero on success.
    int SaveJpegFile(const char* path, const CQLImage* image, int quality, int dpi) override;

    // Format from the extension: .jpg/.jpeg/.jpe/.jfif (quality 95, 72 dpi),
    // .bmp/.dib (24-bit), .png, .tif/.tiff (LZW), .gif (first frame, exact
    // palette up to 256 colours, else quantised; alpha below 128 becomes the
    // transparent index), .pcx (24-bit RLE), .tga (RLE, 32-bit when any alpha
    // is not 255). Formats without alpha drop it. Temporary file and rename,
    // as SaveJpegFile. Non-zero on success.
    int SaveFile(const char* path, const CQLImage* image) override;

    // Any supported format by content, at full size, B, G, R, A with alpha
    // 255 where the format has none. EXIF orientation is not applied. BMP
    // includes RLE8 and RLE4; pixels their runs skip are palette entry 0.
    // A GIF's picture is the union of its frames' rectangles inside its
    // logical screen, with the first frame drawn on it. A picture over 500
    // megapixels, or whose buffer would take more than half of the physical
    // memory, is refused before anything is allocated (the editor then shows
    // "Can not open file, too big image size"). The file is read as the
    // decoder consumes it, never whole. Non-zero on success; on failure the
    // image is left empty.
    int LoadFile(const char* path, CQLImage* image) override;

    // JPEG in memory. DecodeJpegMem: non-zero on success, image empty on
    // failure. SaveToJpegMem: quality as SaveJpegFile; *bytes is allocated
    // with new BYTE[] and the caller frees it with delete[]; non-zero on
    // success (then *bytes and *length are set), 0 with *bytes = nullptr.
    static int DecodeJpegMem(const BYTE* bytes, DWORD length, CQLImage* image);
    int SaveToJpegMem(BYTE** bytes, DWORD* length, const CQLImage* image, int quality);

    // Lossless quarter turn of a JPEG file: 1 clockwise, 3 anticlockwise.
    // Markers (EXIF, ICC...) are kept as they are. When the picture's size is
    // not a whole number of MCUs along the edge that moves, the partial MCU
    // row or column is trimmed (at most 15 pixels), as jpegtran -trim does;
    // a picture smaller than one MCU there cannot be turned (0). Temporary
    // file and rename. Non-zero on success.
    static int LosslessJPGTransform(const char* path, int operation);

    // 64 entries in zigzag order (as JPEG slimming builds them), copied into
    // this object. Every later JPEG save of this object uses them as the
    // luminance base table, scaled by the save's quality as the library
    // scales its standard tables (quality 50 = the table as given), each
    // entry clamped to 1..255; chrominance keeps the standard table. A null
    // pointer goes back to the standard tables.
    void SetJpegAdaptiveQTable(const unsigned int* table);

private:
    unsigned int m_qTable[64] = {}; // zigzag order, clamped to 1..255
    bool m_hasQTable = false;
};

// A small file that stands for another photo file: extension ".qlk", a first
// line "QuilloLink 1" and a second line with the target's path, UTF-8.
class CQLLinkFile {
public:
    static constexpr const char* kExtension = ".qlk";

    // Writes a link to photoPath into folder, named after the photo
    // ("name.jpg.qlk"). A link of that name to the same photo is kept as it
    // is; one to another photo gets a numbered name ("name.jpg (2).qlk").
    // Non-zero on success; the link's path is then GetLinkPath().
    int Create(const char* photoPath, const char* folder);
    // Non-zero when path is a link file; GetOrgFile then gives its target.
    int Read(const char* path);
    const char* GetOrgFile() const { return m_target.c_str(); }
    const char* GetLinkPath() const { return m_link.c_str(); }
    // The target photo's creation, last access and last write times, from
    // the file system. Non-zero on success; 0 when no link was read or the
    // target is gone. Any pointer may be null.
    int GetFileTime(FILETIME* creation, FILETIME* access, FILETIME* write) const;

private:
    std::string m_link;
    std::string m_target;
};
