// Hostile and huge files, made here: each is refused at its header or loads
// at the cost its data backs, thumbnails of huge pictures stream in constant
// memory, and the whole table stays within a bound of peak memory. Streamed
// thumbnails give the whole picture shrunk; the GIF canvas.
#include "platform/codec/CodecInternal.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <jpeglib.h>
#include <zlib.h>

using namespace codectest;

namespace {

using Bytes = std::vector<unsigned char>;
using RowFill = std::function<void(uint32_t y, unsigned char* row)>;

void Le16(Bytes& b, uint32_t v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void Le32(Bytes& b, uint32_t v)
{
    Le16(b, v & 0xFFFF);
    Le16(b, v >> 16);
}
void Be32(Bytes& b, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(static_cast<unsigned char>(v >> s));
}

// A zlib stream of rows, made a row at a time; prefix goes before each row
// (PNG's filter byte) when set.
Bytes Deflate(std::size_t rowBytes, uint32_t rows, const RowFill& fill, bool filterByte)
{
    z_stream z{};
    deflateInit(&z, 6);
    Bytes out, row(rowBytes + (filterByte ? 1 : 0)), chunk(1 << 16);
    for (uint32_t y = 0; y <= rows; ++y) {
        const bool last = y == rows;
        if (!last) {
            fill(y, row.data() + (filterByte ? 1 : 0));
            z.next_in = row.data();
            z.avail_in = static_cast<uInt>(row.size());
        }
        do {
            z.next_out = chunk.data();
            z.avail_out = static_cast<uInt>(chunk.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - z.avail_out));
        } while (z.avail_out == 0 || (last && z.avail_in != 0));
    }
    deflateEnd(&z);
    return out;
}

void PngChunk(Bytes& png, const char* type, const Bytes& data)
{
    Be32(png, static_cast<uint32_t>(data.size()));
    const std::size_t at = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Be32(png, static_cast<uint32_t>(crc32(0, png.data() + at, static_cast<uInt>(png.size() - at))));
}

// A grey PNG (colour type 0), not interlaced.
Bytes GreyPng(uint32_t w, uint32_t h, int bitDepth, const RowFill& fill)
{
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Be32(ihdr, w);
    Be32(ihdr, h);
    ihdr.insert(ihdr.end(), {static_cast<unsigned char>(bitDepth), 0, 0, 0, 0});
    PngChunk(png, "IHDR", ihdr);
    PngChunk(png, "IDAT", Deflate((std::size_t{w} * bitDepth + 7) / 8, h, fill, true));
    PngChunk(png, "IEND", {});
    return png;
}

// A bilevel TIFF (black is 0), deflated, in strips of rowsPerStrip rows.
Bytes BilevelTiff(uint32_t w, uint32_t h, uint32_t rowsPerStrip, const RowFill& fill)
{
    const std::size_t rowBytes = (std::size_t{w} + 7) / 8;
    std::vector<Bytes> strips;
    for (uint32_t y0 = 0; y0 < h; y0 += rowsPerStrip)
        strips.push_back(Deflate(rowBytes, std::min(rowsPerStrip, h - y0),
                                 [&](uint32_t y, unsigned char* row) { fill(y0 + y, row); }, false));
    Bytes t = {'I', 'I', 42, 0};
    Le32(t, 0); // directory offset, patched below
    std::vector<uint32_t> offsets, counts;
    for (const Bytes& s : strips) {
        offsets.push_back(static_cast<uint32_t>(t.size()));
        counts.push_back(static_cast<uint32_t>(s.size()));
        t.insert(t.end(), s.begin(), s.end());
    }
    auto array = [&](const std::vector<uint32_t>& v) {
        const uint32_t at = static_cast<uint32_t>(t.size());
        for (uint32_t x : v)
            Le32(t, x);
        return at;
    };
    const uint32_t offsetsAt = array(offsets), countsAt = array(counts);
    const uint32_t n = static_cast<uint32_t>(strips.size());
    const uint32_t ifd = static_cast<uint32_t>(t.size());
    std::memcpy(t.data() + 4, &ifd, 4);
    struct Tag {
        uint16_t tag, type;
        uint32_t count, value;
    };
    const Tag tags[] = {
        {256, 4, 1, w},     {257, 4, 1, h},  {258, 3, 1, 1}, {259, 3, 1, 8}, // deflate
        {262, 3, 1, 1},     {273, 4, n, n == 1 ? offsets[0] : offsetsAt},   {277, 3, 1, 1},
        {278, 4, 1, rowsPerStrip}, {279, 4, n, n == 1 ? counts[0] : countsAt},
    };
    Le16(t, sizeof tags / sizeof tags[0]);
    for (const Tag& g : tags) {
        Le16(t, g.tag);
        Le16(t, g.type);
        Le32(t, g.count);
        Le32(t, g.value);
    }
    Le32(t, 0);
    return t;
}

// LZW data of one GIF frame with a clear code before every index, so every
// code keeps the first width: valid for any decoder, and simple.
Bytes GifFrameData(const std::vector<unsigned char>& indices)
{
    const int minCode = 2, clear = 4, eoi = 5, bits = 3;
    Bytes packed;
    uint32_t acc = 0;
    int n = 0;
    auto put = [&](int code) {
        acc |= uint32_t(code) << n;
        n += bits;
        while (n >= 8) {
            packed.push_back(static_cast<unsigned char>(acc));
            acc >>= 8;
            n -= 8;
        }
    };
    for (unsigned char i : indices) {
        put(clear);
        put(i);
    }
    put(eoi);
    if (n > 0)
        packed.push_back(static_cast<unsigned char>(acc));
    Bytes out = {static_cast<unsigned char>(minCode)};
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t k = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(static_cast<unsigned char>(k));
        out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + k));
    }
    out.push_back(0);
    return out;
}

struct GifFrame {
    uint16_t left, top, width, height;
    std::vector<unsigned char> indices; // width x height, 0..3
};

// Palette: 0 black, 1 red, 2 green, 3 blue.
Bytes Gif(uint16_t screenW, uint16_t screenH, const std::vector<GifFrame>& frames)
{
    Bytes g = {'G', 'I', 'F', '8', '9', 'a'};
    Le16(g, screenW);
    Le16(g, screenH);
    g.insert(g.end(), {0x81, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    for (const GifFrame& f : frames) {
        g.push_back(0x2C);
        Le16(g, f.left);
        Le16(g, f.top);
        Le16(g, f.width);
        Le16(g, f.height);
        g.push_back(0);
        const Bytes data = GifFrameData(f.indices);
        g.insert(g.end(), data.begin(), data.end());
    }
    g.push_back(0x3B);
    return g;
}

// A frame of one colour.
GifFrame Flat(uint16_t left, uint16_t top, uint16_t width, uint16_t height, unsigned char index)
{
    return {left, top, width, height, std::vector<unsigned char>(std::size_t{width} * height, index)};
}

// BMP headers with two palette entries (0 black, 1 white), the pixel data
// of dataBytes right after them.
Bytes BmpHeaders(int32_t w, int32_t h, uint16_t bits, uint32_t compression, uint64_t dataBytes)
{
    Bytes b = {'B', 'M'};
    Le32(b, static_cast<uint32_t>(14 + 40 + 8 + dataBytes));
    Le32(b, 0);
    Le32(b, 14 + 40 + 8);
    Le32(b, 40);
    Le32(b, static_cast<uint32_t>(w));
    Le32(b, static_cast<uint32_t>(h));
    Le16(b, 1);
    Le16(b, bits);
    Le32(b, compression);
    Le32(b, compression ? static_cast<uint32_t>(dataBytes) : 0);
    Le32(b, 2835);
    Le32(b, 2835);
    Le32(b, 2);
    Le32(b, 0);
    b.insert(b.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    return b;
}

// An 8-bit run-length BMP.
Bytes RleBmp(int32_t w, int32_t h, const Bytes& runs)
{
    Bytes b = BmpHeaders(w, h, 8, 1, runs.size());
    b.insert(b.end(), runs.begin(), runs.end());
    return b;
}

// The header of an uncompressed 1-bit BMP; its rows are the zeros of a
// sparse file of the full length.
Bytes OneBitBmpHeader(int32_t w, int32_t h, uint64_t& fileSize)
{
    const uint64_t rowBytes = (uint64_t(w) + 31) / 32 * 4;
    const uint64_t dataBytes = rowBytes * uint64_t(h < 0 ? -h : h);
    fileSize = 14 + 40 + 8 + dataBytes;
    return BmpHeaders(w, h, 1, 0, dataBytes);
}

// A progressive JPEG of noise, 4:4:4 or 4:2:0.
Bytes ProgressiveJpeg(int w, int h, bool fullChroma)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    if (fullChroma)
        c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
    jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    unsigned seed = 5;
    while (c.next_scanline < c.image_height) {
        for (auto& v : row)
            v = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 24);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    jpeg_destroy_compress(&c);
    return out;
}

// Sets the size in the frame header (SOF0..SOF2).
void PatchJpegSize(Bytes& jpeg, uint16_t w, uint16_t h)
{
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) {
            jpeg[i + 5] = static_cast<unsigned char>(h >> 8);
            jpeg[i + 6] = static_cast<unsigned char>(h);
            jpeg[i + 7] = static_cast<unsigned char>(w >> 8);
            jpeg[i + 8] = static_cast<unsigned char>(w);
            return;
        }
    ADD_FAILURE() << "no frame header";
}

Bytes Cut(Bytes b, std::size_t n)
{
    b.resize(std::min(n, b.size()));
    return b;
}

// Writes bytes, then makes the file `length` long (a sparse tail of zeros).
void WriteSparse(const std::string& path, const Bytes& bytes, uint64_t length)
{
    WriteAllBytes(path, bytes);
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(length)), 0);
}

long PeakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

CPixel At(const CQLImage& image, UINT x, UINT y)
{
    return image.GetPixel2(static_cast<int>(x), static_cast<int>(y));
}

bool Is(CPixel p, BYTE b, BYTE g, BYTE r, BYTE a = 255)
{
    return p.b == b && p.g == g && p.r == r && p.a == a;
}

// Left half white, right half black.
void HalfWhiteBits(uint32_t w, unsigned char* row)
{
    const std::size_t bytes = (std::size_t{w} + 7) / 8;
    std::memset(row, 0, bytes);
    std::memset(row, 0xFF, w / 16);
}

constexpr uint64_t kGiB = uint64_t{1} << 30;

// The thumbnail as the whole picture shrunk would be.
bool Expected(const std::string& path, int maxSide, CQLImage& out)
{
    CQLImageCodec codec;
    CQLImage full;
    return codec.LoadFile(path.c_str(), &full) == 1 && qlcodec::ShrinkToFit(full, out, maxSide);
}

// tolerance: 0, or 1 for pictures whose rows come bottom-up (run-length BMP).
void ExpectStreamedThumbnailMatches(const std::string& path, int maxSide, int tolerance = 0)
{
    SCOPED_TRACE(path + " at " + std::to_string(maxSide));
    CQLImageCodec codec;
    CQLImage expected, thumb;
    const bool loads = Expected(path, maxSide, expected);
    int w = 0, h = 0;
    ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, maxSide, &w, &h, 0), loads ? 1 : 0);
    if (!loads)
        return;
    ASSERT_TRUE(SameSize(thumb, expected));
    EXPECT_LE(MaxDiff(thumb, expected), tolerance);
    int fw = 0, fh = 0;
    ASSERT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &fw, &fh), 1);
    EXPECT_EQ(w, fw);
    EXPECT_EQ(h, fh);
}


TEST(CodecHostile, TableIsRefusedOrLoadedWithinBoundedMemory)
{
    TempDir dir;
    CQLImageCodec codec;

    struct Case {
        std::string name;
        std::string ext;
        std::function<void(const std::string& path)> write;
        bool loads;     // LoadFile succeeds; not tried for a legitimate picture too big for the table's bound
        bool thumbnail; // CreateThumbnail succeeds (always tried)
        UINT w, h;      // full size when either succeeds
    };
    auto bytes = [](std::function<Bytes()> make) {
        return [make](const std::string& path) { WriteAllBytes(path, make()); };
    };
    const uint32_t hugeW = 30000, hugeH = 16000; // 480 megapixels: under the cap, 1.9 GB decoded
    const Bytes tinyJpeg = ProgressiveJpeg(64, 48, false);

    std::vector<Case> cases;
    // A 62-byte GIF: a 65535 x 16383 screen around a 1 x 1 frame.
    cases.push_back({"gif screen around one pixel", ".gif", bytes([] {
                         Bytes g = Gif(65535, 16383, {{30000, 8000, 1, 1, {2}}});
                         // A comment block after the palette brings it to 62 bytes.
                         Bytes comment = {0x21, 0xFE, static_cast<unsigned char>(62 - g.size() - 4)};
                         comment.resize(comment.size() + comment[2], 'a');
                         comment.push_back(0);
                         g.insert(g.begin() + 25, comment.begin(), comment.end());
                         EXPECT_EQ(g.size(), 62u);
                         return g;
                     }),
                     true, true, 1, 1});
    // A truncated 424-byte progressive JPEG claiming 65500 x 16000: over the cap.
    cases.push_back({"progressive jpeg 65500 x 16000, 424 bytes", ".jpg", bytes([&] {
                         Bytes j = ProgressiveJpeg(256, 256, false);
                         PatchJpegSize(j, 65500, 16000);
                         EXPECT_GT(j.size(), 424u);
                         return Cut(j, 424);
                     }),
                     false, false, 0, 0});
    // Under the cap, but the file cannot hold even the first scan: refused
    // before the 768 MB coefficient store is allocated and zeroed.
    cases.push_back({"progressive jpeg 16000 x 16000, 424 bytes", ".jpg", bytes([&] {
                         Bytes j = ProgressiveJpeg(256, 256, false);
                         PatchJpegSize(j, 16000, 16000);
                         return Cut(j, 424);
                     }),
                     false, false, 0, 0});
    // 4:4:4 at 20000 x 20000: 400 megapixels pass, a 2.4 GB coefficient store does not.
    cases.push_back({"progressive jpeg 4:4:4 20000 x 20000", ".jpg", bytes([&] {
                         Bytes j = ProgressiveJpeg(256, 256, true);
                         PatchJpegSize(j, 20000, 20000);
                         return j;
                     }),
                     false, false, 0, 0});
    // A 120-byte RLE BMP claiming 65535 x 16383: over the cap.
    cases.push_back({"rle bmp 65535 x 16383, 120 bytes", ".bmp", bytes([] {
                         Bytes runs;
                         while (runs.size() < 120 - 62 - 2)
                             runs.insert(runs.end(), {255, 1});
                         runs.insert(runs.end(), {0, 1});
                         Bytes b = RleBmp(65535, 16383, runs);
                         EXPECT_EQ(b.size(), 120u);
                         return b;
                     }),
                     false, false, 0, 0});
    // Under the cap and cut short: the rows are filled as the runs reach
    // them, so the refusal costs a row, not 1.9 GB.
    cases.push_back({"rle bmp 30000 x 16000 cut short", ".bmp", bytes([&] {
                         return RleBmp(int32_t(hugeW), int32_t(hugeH), {255, 1, 255, 1, 0, 0, 100, 1});
                     }),
                     false, false, 0, 0});
    // The same ended properly after one row: only a thumbnail is asked of it.
    cases.push_back({"rle bmp 30000 x 16000 thumbnail", ".bmp", bytes([&] {
                         return RleBmp(int32_t(hugeW), int32_t(hugeH), {255, 1, 0, 0, 0, 1});
                     }),
                     false, true, hugeW, hugeH});
    // A 1-bit PNG of 32767 x 32767: over the cap.
    cases.push_back({"1-bit png 32767 x 32767", ".png", bytes([] {
                         return GreyPng(32767, 32767, 1, [](uint32_t, unsigned char* row) { std::memset(row, 0, 4096); });
                     }),
                     false, false, 0, 0});
    cases.push_back({"1-bit png 30000 x 16000 thumbnail", ".png", bytes([&] {
                         return GreyPng(hugeW, hugeH, 1, [&](uint32_t, unsigned char* row) { HalfWhiteBits(hugeW, row); });
                     }),
                     false, true, hugeW, hugeH});
    // A deflated bilevel TIFF of 65535 x 16383 in one strip: over the cap.
    cases.push_back({"bilevel tiff 65535 x 16383", ".tif", bytes([] {
                         return BilevelTiff(65535, 16383, 16383, [](uint32_t, unsigned char* row) { std::memset(row, 0, 8192); });
                     }),
                     false, false, 0, 0});
    cases.push_back({"bilevel tiff 30000 x 16000 in one strip thumbnail", ".tif", bytes([&] {
                         return BilevelTiff(hugeW, hugeH, hugeH, [&](uint32_t, unsigned char* row) { HalfWhiteBits(hugeW, row); });
                     }),
                     false, true, hugeW, hugeH});
    // An uncompressed BMP of 30000 x 16000: 60 MB of sparse zeros, read in blocks.
    cases.push_back({"1-bit bmp 30000 x 16000 thumbnail", ".bmp",
                     [&](const std::string& path) {
                         uint64_t length = 0;
                         const Bytes head = OneBitBmpHeader(int32_t(hugeW), int32_t(hugeH), length);
                         WriteSparse(path, head, length);
                     },
                     false, true, hugeW, hugeH});
    // 8 x 6 pictures padded to 3 GiB: only what the decoder reads is read.
    for (const char* ext : {".png", ".jpg", ".gif", ".bmp", ".tif"}) {
        cases.push_back({std::string("8 x 6 padded to 3 GiB ") + ext, ext,
                         [ext, &codec](const std::string& path) {
                             CQLImage small;
                             MakePicture(small, 8, 6);
                             ASSERT_EQ(codec.SaveFile(path.c_str(), &small), 1);
                             WriteSparse(path, ReadAll(path), 3 * kGiB);
                         },
                         true, true, 8, 6});
    }
    cases.push_back({"complete progressive jpeg", ".jpg", bytes([&] { return tinyJpeg; }), true, true, 64, 48});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("case" + c.ext);
        c.write(path);
        CQLImage image, thumb;
        const bool onlyThumbnail = !c.loads && c.thumbnail;
        if (!onlyThumbnail) {
            EXPECT_EQ(codec.LoadFile(path.c_str(), &image), c.loads ? 1 : 0);
        }
        if (c.loads) {
            EXPECT_EQ(W(image), c.w);
            EXPECT_EQ(H(image), c.h);
        } else {
            EXPECT_TRUE(Empty(image));
        }
        int w = 0, h = 0;
        EXPECT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 512, &w, &h, 0), c.thumbnail ? 1 : 0);
        if (c.thumbnail) {
            EXPECT_EQ(w, int(c.w));
            EXPECT_EQ(h, int(c.h));
            EXPECT_LE(std::max(W(thumb), H(thumb)), 512u);
        }
        std::remove(path.c_str());
    }
    // The whole table, generation included.
    EXPECT_LT(PeakKb(), 600 * 1024);
}

TEST(CodecHostile, HugeThumbnailsKeepTheirPicture)
{
    // Peak memory is the process's: it tells something only when no test
    // before this one in the same process went higher (ctest runs it alone).
    const bool measurable = PeakKb() < 32 * 1024;
    TempDir dir;
    CQLImageCodec codec;
    const uint32_t w = 30000, h = 16000;
    const std::string png = dir.File("half.png"), tif = dir.File("half.tif");
    WriteAllBytes(png, GreyPng(w, h, 1, [&](uint32_t, unsigned char* row) { HalfWhiteBits(w, row); }));
    WriteAllBytes(tif, BilevelTiff(w, h, 4096, [&](uint32_t, unsigned char* row) { HalfWhiteBits(w, row); }));
    for (const std::string& path : {png, tif}) {
        SCOPED_TRACE(path);
        CQLImage thumb;
        int fw = 0, fh = 0;
        ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 100, &fw, &fh, 1), 1);
        EXPECT_EQ(fw, 30000);
        EXPECT_EQ(fh, 16000);
        ASSERT_EQ(W(thumb), 100u);
        ASSERT_EQ(H(thumb), 53u);
        for (UINT y : {0u, 26u, 52u}) {
            EXPECT_TRUE(Is(At(thumb, 10, y), 255, 255, 255));
            EXPECT_TRUE(Is(At(thumb, 90, y), 0, 0, 0));
        }
    }
    // A run-length BMP: 64 white rows at the bottom, the rest entry 0 (black).
    Bytes runs;
    for (int row = 0; row < 64; ++row) {
        for (uint32_t x = 0; x < w; x += 255)
            runs.insert(runs.end(), {255, 1});
        runs.insert(runs.end(), {0, 0});
    }
    runs.insert(runs.end(), {0, 1});
    const std::string bmp = dir.File("rle.bmp");
    WriteAllBytes(bmp, RleBmp(int32_t(w), int32_t(h), runs));
    CQLImage thumb;
    int fw = 0, fh = 0;
    ASSERT_EQ(codec.CreateThumbnail(bmp.c_str(), &thumb, 100, &fw, &fh, 0), 1);
    ASSERT_EQ(H(thumb), 53u);
    EXPECT_TRUE(Is(At(thumb, 0, 0), 0, 0, 0));
    EXPECT_TRUE(Is(At(thumb, 0, 51), 0, 0, 0));
    // The white rows' share of the last thumbnail row (64 of its 302 rows).
    EXPECT_NEAR(At(thumb, 0, 52).r, 64 * 255 / 302, 2);
    EXPECT_NEAR(At(thumb, 99, 52).r, 64 * 255 / 302, 2);
    // Three 480-megapixel pictures thumbnailed: nothing near their 1.9 GB.
    if (measurable) {
        EXPECT_LT(PeakKb(), 64 * 1024);
    }
}

TEST(CodecStream, ThumbnailsOfEveryStreamedFormatMatchTheWholePictureShrunk)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 301, 207, true);
    for (const char* ext : {".png", ".tif", ".gif", ".bmp"}) {
        const std::string path = dir.File(std::string("photo") + ext);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &photo), 1);
        for (int side : {1, 7, 100, 207, 301, 400})
            ExpectStreamedThumbnailMatches(path, side);
    }
}

TEST(CodecStream, CorpusThumbnailsMatchTheWholePictureShrunk)
{
    const std::string corpus = CorpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    namespace fs = std::filesystem;
    int seen = 0;
    for (const char* sub : {"/pngsuite/png", "/pngsuite/bmp", "/exif-samples/tiff"}) {
        if (!fs::is_directory(corpus + sub))
            continue;
        for (const auto& entry : fs::directory_iterator(corpus + sub)) {
            const std::string path = entry.path().string();
            const std::string ext = qlcodec::Extension(path.c_str());
            if (ext != ".png" && ext != ".bmp" && ext != ".tif" && ext != ".tiff")
                continue;
            // Run-length BMP rows come bottom-up: the filter's rounding may differ by one.
            const DWORD type = CQLImageCodec::GetFileType(path.c_str());
            ExpectStreamedThumbnailMatches(path, 16, type == QL_FILE_BMP ? 1 : 0);
            ++seen;
        }
    }
    EXPECT_GT(seen, 100);
}

TEST(CodecGifCanvas, IsTheUnionOfTheFramesInsideTheScreen)
{
    struct Case {
        const char* name;
        int screenW, screenH;
        std::vector<GifFrame> frames;
        UINT w, h;
        UINT firstX, firstY, firstW, firstH; // where the first frame lands
    };
    const Case cases[] = {
        {"one pixel in a huge screen", 65535, 16383, {Flat(30000, 8000, 1, 1, 2)}, 1, 1, 0, 0, 1, 1},
        {"two frames", 100, 100, {Flat(10, 10, 4, 3, 1), Flat(20, 5, 2, 2, 3)}, 12, 8, 0, 5, 4, 3},
        {"frame over the screen's edge", 10, 10, {Flat(8, 7, 4, 4, 1)}, 2, 3, 0, 0, 2, 3},
        {"screen without a size", 0, 0, {Flat(3, 4, 2, 2, 1)}, 2, 2, 0, 0, 2, 2},
        {"frame filling the screen", 5, 4, {Flat(0, 0, 5, 4, 3)}, 5, 4, 0, 0, 5, 4},
        {"second frame outside the screen", 6, 6, {Flat(1, 1, 2, 2, 1), Flat(50, 50, 3, 3, 2)}, 2, 2, 0, 0, 2, 2},
    };
    TempDir dir;
    CQLImageCodec codec;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("canvas.gif");
        WriteAllBytes(path, Gif(uint16_t(c.screenW), uint16_t(c.screenH), c.frames));
        CQLImage image;
        ASSERT_EQ(codec.LoadFile(path.c_str(), &image), 1);
        ASSERT_EQ(W(image), c.w);
        ASSERT_EQ(H(image), c.h);
        const int index = c.frames[0].indices[0];
        const CPixel colour{BYTE(index == 3 ? 255 : 0), BYTE(index == 2 ? 255 : 0), BYTE(index == 1 ? 255 : 0), 255};
        for (UINT y = 0; y < c.h; ++y)
            for (UINT x = 0; x < c.w; ++x) {
                const bool inFirst = x >= c.firstX && x < c.firstX + c.firstW && y >= c.firstY && y < c.firstY + c.firstH;
                const CPixel p = image.GetPixel2(int(x), int(y));
                const CPixel want = inFirst ? colour : CPixel{0, 0, 0, 0};
                EXPECT_TRUE(p == want && p.a == want.a) << x << ", " << y;
            }
        int w = 0, h = 0;
        EXPECT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &w, &h), 1);
        EXPECT_EQ(UINT(w), c.w);
        EXPECT_EQ(UINT(h), c.h);
        ExpectStreamedThumbnailMatches(path, 1);
    }
}

} // namespace
