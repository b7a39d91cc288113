#include "imagecore/QLImage.h"
#include "imagecore/tests/BmpTestWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using bmptest::BmpFile;

DWORD Le(const std::vector<BYTE>& f, size_t at, int bytes)
{
    DWORD v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | f[at + static_cast<size_t>(i)];
    return v;
}

// 0x00RRGGBB plus alpha, as pixels are easiest to write in tables.
struct Rgba {
    DWORD rgb;
    BYTE a;
};

void ExpectPixels(const CQLImage& img, int w, int h, const std::vector<Rgba>& want, const std::string& what)
{
    UINT gw = 0;
    UINT gh = 0;
    img.GetSize(&gw, &gh);
    ASSERT_EQ(gw, static_cast<UINT>(w)) << what;
    ASSERT_EQ(gh, static_cast<UINT>(h)) << what;
    ASSERT_EQ(want.size(), static_cast<size_t>(w * h)) << what;
    for (int i = 0; i < w * h; ++i) {
        const CPixel p = img.GetPixel2(i % w, i / w);
        const DWORD rgb = DWORD{p.r} << 16 | DWORD{p.g} << 8 | p.b;
        EXPECT_EQ(rgb, want[static_cast<size_t>(i)].rgb) << what << " pixel " << i % w << "," << i / w;
        EXPECT_EQ(p.a, want[static_cast<size_t>(i)].a) << what << " pixel " << i % w << "," << i / w;
    }
}

// Loads bytes written to a temporary file.
LONG LoadBytes(CQLImage& img, const std::vector<BYTE>& bytes, const std::string& name)
{
    const std::string path = bmptest::TempPath(name);
    bmptest::WriteFile(path, bytes);
    const LONG result = img.LoadFromFile(path.c_str());
    std::remove(path.c_str());
    return result;
}

// ---- 24-bit writing and reading back -------------------------------------

class BmpRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(BmpRoundTrip, WritesTheDocumentedHeaderAndReadsBackTheSameColours)
{
    const int w = GetParam();
    const int h = 3;
    CQLImage img;
    ASSERT_EQ(img.Create(static_cast<UINT>(w), h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.PutPixel(x, y, CPixel{static_cast<BYTE>(x * 8 + 1), static_cast<BYTE>(y * 50 + 2), static_cast<BYTE>(x ^ (y * 3)), 9});

    const std::string path = bmptest::TempPath("roundtrip.bmp");
    ASSERT_EQ(img.SaveToFile(path.c_str()), 0);
    const std::vector<BYTE> f = bmptest::ReadFile(path);
    const size_t row = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    ASSERT_EQ(f.size(), 54 + row * h);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Le(f, 2, 4), 54 + row * h); // file size
    EXPECT_EQ(Le(f, 6, 4), 0u);           // reserved
    EXPECT_EQ(Le(f, 10, 4), 54u);         // data offset
    EXPECT_EQ(Le(f, 14, 4), 40u);         // header size
    EXPECT_EQ(Le(f, 18, 4), static_cast<DWORD>(w));
    EXPECT_EQ(Le(f, 22, 4), static_cast<DWORD>(h)); // positive: bottom-up
    EXPECT_EQ(Le(f, 26, 2), 1u);                    // planes
    EXPECT_EQ(Le(f, 28, 2), 24u);
    EXPECT_EQ(Le(f, 30, 4), 0u); // compression
    EXPECT_EQ(Le(f, 34, 4), row * h);
    EXPECT_EQ(Le(f, 38, 4), 4730u);
    EXPECT_EQ(Le(f, 42, 4), 0u);
    EXPECT_EQ(Le(f, 46, 4), 0u);
    EXPECT_EQ(Le(f, 50, 4), 0u);
    // First stored row is the bottom image row, B, G, R, zero padded.
    for (int x = 0; x < w; ++x) {
        const CPixel p = img.GetPixel2(x, h - 1);
        EXPECT_EQ(f[54 + 3 * x], p.b);
        EXPECT_EQ(f[54 + 3 * x + 1], p.g);
        EXPECT_EQ(f[54 + 3 * x + 2], p.r);
    }
    for (int y = 0; y < h; ++y)
        for (size_t i = static_cast<size_t>(w) * 3; i < row; ++i)
            EXPECT_EQ(f[54 + y * row + i], 0) << "padding";

    CQLImage back;
    ASSERT_EQ(back.LoadFromFile(path.c_str()), 0);
    std::remove(path.c_str());
    std::vector<Rgba> want;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const CPixel p = img.GetPixel2(x, y);
            want.push_back({DWORD{p.r} << 16 | DWORD{p.g} << 8 | p.b, 255});
        }
    ExpectPixels(back, w, h, want, "width " + std::to_string(w));
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpRoundTrip, ::testing::Values(1, 3, 5, 31, 33));

TEST(BmpWrite, WidthFiveHasSixteenByteRows)
{
    CQLImage img;
    ASSERT_EQ(img.Create(5, 2), 0);
    const std::string path = bmptest::TempPath("w5.bmp");
    ASSERT_EQ(img.SaveToFile(path.c_str()), 0);
    EXPECT_EQ(bmptest::ReadFile(path).size(), 54u + 2 * 16);
    std::remove(path.c_str());
}

TEST(BmpWrite, FailuresReturnAnErrorAndLeaveNoFile)
{
    CQLImage img;
    ASSERT_EQ(img.Create(2, 2), 0);
    const std::string missingDir = bmptest::TempPath("no_such_dir") + "/x.bmp";
    EXPECT_EQ(img.SaveToFile(missingDir.c_str()), 2);
    EXPECT_FALSE(std::filesystem::exists(missingDir));

    CQLImage empty;
    const std::string path = bmptest::TempPath("empty.bmp");
    EXPECT_EQ(empty.SaveToFile(path.c_str()), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(BmpWrite, FullDeviceGivesAnErrorFromTheWriteAndFromTheClose)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    // 1 x 1 fits the stdio buffer, so only fclose sees the error; 200 x 200 fails in fwrite.
    for (UINT side : {1u, 200u}) {
        CQLImage img;
        ASSERT_EQ(img.Create(side, side), 0);
        EXPECT_EQ(img.SaveToFile("/dev/full"), 2) << side;
        EXPECT_TRUE(std::filesystem::exists("/dev/full")); // a device is never removed
    }
}

TEST(BmpWrite, WriteFailureOnARegularFileRemovesThePartialFile)
{
    // A file size limit makes the write fail part way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    if (old.rlim_max != RLIM_INFINITY && old.rlim_max < 4096)
        GTEST_SKIP() << "file size limit already below the test's";
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CQLImage img;
    const LONG created = img.Create(100, 100);
    const std::string path = bmptest::TempPath("short.bmp");
    const LONG result = img.SaveToFile(path.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(created, 0);
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// ---- Palette images ---------------------------------------------------------

// Packs top-down palette indices into bottom-up padded file rows.
std::vector<BYTE> PackIndices(const std::vector<int>& idx, int w, int h, int bits)
{
    std::vector<std::vector<BYTE>> rows;
    for (int y = h - 1; y >= 0; --y) {
        std::vector<BYTE> row((static_cast<size_t>(w) * bits + 7) / 8, 0);
        for (int x = 0; x < w; ++x) {
            const int v = idx[static_cast<size_t>(y * w + x)];
            const int bit = x * bits; // most significant bits first
            row[static_cast<size_t>(bit / 8)] |= static_cast<BYTE>(v << (8 - bits - bit % 8));
        }
        rows.push_back(row);
    }
    return bmptest::PadRows(rows, w, bits);
}

struct IndexedCase {
    const char* name;
    DWORD headerSize;
    WORD bits;
    int w, h;
    std::vector<DWORD> palette; // entries written to the file
    DWORD colorsUsed;
    std::vector<int> indices; // top-down
    std::vector<DWORD> want;  // 0xRRGGBB, top-down
};

TEST(BmpReadIndexed, PaletteImagesReadThroughTheirPalette)
{
    const DWORD A = 0x102030, B = 0xA0B0C0, C = 0xFF0001, D = 0x00FF7F;
    const std::vector<IndexedCase> cases = {
        {"1-bit across a byte", 40, 1, 10, 2, {A, B}, 0,
         {0, 1, 1, 0, 1, 0, 0, 1, 1, 0,
          1, 1, 1, 1, 1, 1, 1, 1, 0, 1},
         {A, B, B, A, B, A, A, B, B, A,
          B, B, B, B, B, B, B, B, A, B}},
        {"4-bit, index past a 3-entry palette", 40, 4, 5, 2, {A, B, C}, 3,
         {0, 1, 2, 7, 15,
          2, 1, 0, 3, 2},
         {A, B, C, A, A,
          C, B, A, A, C}},
        {"8-bit, index past a 4-entry palette", 40, 8, 3, 2, {A, B, C, D}, 4,
         {3, 200, 1,
          0, 2, 255},
         {D, A, B,
          A, C, A}},
        {"8-bit, colours used far too large is clamped to 256", 40, 8, 2, 1,
         std::vector<DWORD>(256, C), 0xFFFFFFFF,
         {0, 255},
         {C, C}},
        {"core header, 4-bit, 3-byte entries", 12, 4, 3, 2, std::vector<DWORD>{A, B, C, D, A, B, C, D, A, B, C, D, A, B, C, D}, 0,
         {1, 2, 3,
          0, 3, 2},
         {B, C, D,
          A, D, C}},
    };
    for (const IndexedCase& c : cases) {
        BmpFile f;
        f.headerSize = c.headerSize;
        f.width = c.w;
        f.height = c.h;
        f.bitCount = c.bits;
        f.colorsUsed = c.colorsUsed;
        f.palette = c.palette;
        f.rows = PackIndices(c.indices, c.w, c.h, c.bits);
        CQLImage img;
        ASSERT_EQ(LoadBytes(img, bmptest::Build(f), "indexed.bmp"), 0) << c.name;
        std::vector<Rgba> want;
        for (DWORD rgb : c.want)
            want.push_back({rgb, 255});
        ExpectPixels(img, c.w, c.h, want, c.name);
    }
}

// ---- Direct colour: 16, 24 and 32 bits -----------------------------------

std::vector<BYTE> Words(const std::vector<DWORD>& values, int bytesEach)
{
    std::vector<BYTE> out;
    for (DWORD v : values)
        for (int i = 0; i < bytesEach; ++i)
            out.push_back(static_cast<BYTE>(v >> (8 * i)));
    return out;
}

struct DirectCase {
    const char* name;
    BmpFile file;
    int w, h;
    std::vector<Rgba> want; // top-down
};

BmpFile Direct(DWORD headerSize, LONG w, LONG h, WORD bits, DWORD compression, std::vector<DWORD> masks, std::vector<BYTE> rows)
{
    BmpFile f;
    f.headerSize = headerSize;
    f.width = w;
    f.height = h;
    f.bitCount = bits;
    f.compression = compression;
    f.masks = std::move(masks);
    f.rows = std::move(rows);
    return f;
}

std::vector<DirectCase> DirectCases()
{
    std::vector<DirectCase> cases;
    // 5-6-5 masks after a 40-byte header; 1 pixel in 5 or 6 bits scales to 8 (1 -> 8, 2 of 63 -> 8).
    cases.push_back({"16-bit 5-6-5 bit fields",
                     Direct(40, 3, 2, 16, 3, {0xF800, 0x07E0, 0x001F},
                            bmptest::PadRows({Words({0x0841, 0xFFFF, 0x0000}, 2), Words({0xF800, 0x07E0, 0x001F}, 2)}, 3, 16)),
                     3, 2,
                     {{0xFF0000, 255}, {0x00FF00, 255}, {0x0000FF, 255}, {0x080808, 255}, {0xFFFFFF, 255}, {0x000000, 255}}});
    cases.push_back({"16-bit uncompressed is 5-5-5, top bit ignored",
                     Direct(40, 3, 1, 16, 0, {}, bmptest::PadRows({Words({0x7FFF, 0x8000, 0x7C00}, 2)}, 3, 16)), 3, 1,
                     {{0xFFFFFF, 255}, {0x000000, 255}, {0xFF0000, 255}}});
    cases.push_back({"32-bit 10-10-10 bit fields keep the top 8 bits",
                     Direct(40, 1, 1, 32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF},
                            Words({(1023u << 20) | (512u << 10) | 3u}, 4)),
                     1, 1, {{0xFF8000, 255}}});
    cases.push_back({"32-bit uncompressed has no alpha",
                     Direct(40, 2, 1, 32, 0, {}, {1, 2, 3, 4, 5, 6, 7, 0}), 2, 1,
                     {{0x030201, 255}, {0x070605, 255}}});
    cases.push_back({"32-bit B, G, R, A masks in a 56-byte header",
                     Direct(56, 2, 1, 32, 3, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, {1, 2, 3, 4, 5, 6, 7, 0}), 2, 1,
                     {{0x030201, 4}, {0x070605, 0}}});
    cases.push_back({"32-bit R, G, B, A byte order through masks",
                     Direct(108, 1, 1, 32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, {1, 2, 3, 4}), 1, 1,
                     {{0x010203, 4}}});
    cases.push_back({"32-bit masks in a 52-byte header, no alpha mask",
                     Direct(52, 1, 1, 32, 3, {0x00FF0000, 0x0000FF00, 0x000000FF}, {1, 2, 3, 4}), 1, 1,
                     {{0x030201, 255}}});
    cases.push_back({"24-bit top-down",
                     Direct(40, 2, -2, 24, 0, {}, bmptest::PadRows({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}, 2, 24)), 2, 2,
                     {{0x030201, 255}, {0x060504, 255}, {0x090807, 255}, {0x0C0B0A, 255}}});
    {
        BmpFile f = Direct(124, 1, 2, 24, 0, {}, bmptest::PadRows({{1, 2, 3}, {4, 5, 6}}, 1, 24));
        f.gap = 20; // rows start at the data offset, not right after the header
        cases.push_back({"124-byte header with a gap before the rows", f, 1, 2, {{0x060504, 255}, {0x030201, 255}}});
    }
    {
        BmpFile f = Direct(40, 1, 1, 24, 0, {}, {1, 2, 3, 0});
        f.dataOffset = 0;
        cases.push_back({"data offset 0 means right after the header", f, 1, 1, {{0x030201, 255}}});
    }
    {
        BmpFile f = Direct(40, 1, 1, 24, 0, {}, {1, 2, 3, 0});
        f.dataOffset = 20;
        cases.push_back({"data offset inside the header is ignored", f, 1, 1, {{0x030201, 255}}});
    }
    return cases;
}

TEST(BmpReadDirect, DirectColourFormatsReadWithTheirMasks)
{
    for (const DirectCase& c : DirectCases()) {
        CQLImage img;
        ASSERT_EQ(LoadBytes(img, bmptest::Build(c.file), "direct.bmp"), 0) << c.name;
        ExpectPixels(img, c.w, c.h, c.want, c.name);
    }
}

// ---- Hostile and broken files ----------------------------------------------

struct BadCase {
    const char* name;
    std::vector<BYTE> bytes;
    LONG want;
};

BmpFile Valid24(LONG w, LONG h)
{
    BmpFile f = Direct(40, w, h, 24, 0, {}, {});
    f.rows.assign(bmptest::RowBytes(w, 24) * static_cast<size_t>(h < 0 ? -h : h), 0x40);
    return f;
}

std::vector<BYTE> Cut(std::vector<BYTE> bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

std::vector<BadCase> BadCases()
{
    auto sized = [](LONG w, LONG h) {
        BmpFile f = Valid24(1, 1);
        f.width = w;
        f.height = h;
        return bmptest::Build(f);
    };
    auto with = [](BmpFile f, auto change) {
        change(f);
        return bmptest::Build(f);
    };
    BmpFile pal8 = Direct(40, 4, 1, 8, 0, {}, {0, 1, 0, 1});
    pal8.palette.assign(256, 0x123456);
    const std::vector<BYTE> good = bmptest::Build(Valid24(3, 3));
    std::vector<BYTE> magic = good;
    magic[0] = 'X';

    return {
        {"width 65536", sized(65536, 1), 9},
        {"width 0x7fffffff", sized(0x7fffffff, 1), 9},
        {"height 0x7fffffff", sized(1, 0x7fffffff), 9},
        {"height INT_MIN", sized(1, static_cast<LONG>(0x80000000u)), 9},
        {"30000 x 30000 on a tiny file", sized(30000, 30000), 9},
        {"30000 x -30000 on a tiny file", sized(30000, -30000), 9},
        {"zero width", sized(0, 1), 9},
        {"zero height", sized(1, 0), 9},
        {"negative width", sized(-4, 1), 9},
        {"truncated header", Cut(good, 30), 9},
        {"only the magic", Cut(good, 2), 9},
        {"empty file", {}, 9},
        {"truncated palette", Cut(bmptest::Build(pal8), 54 + 100), 9},
        {"truncated rows", Cut(good, good.size() - 1), 9},
        {"8-bit with colours used huge and a 2-entry palette",
         with(Direct(40, 4, 4, 8, 0, {}, std::vector<BYTE>(16, 1)), [](BmpFile& f) {
             f.palette = {1, 2};
             f.colorsUsed = 0xFFFFFFFF;
         }),
         9},
        {"bit count 2", with(Valid24(1, 1), [](BmpFile& f) { f.bitCount = 2; }), 9},
        {"bit count 0", with(Valid24(1, 1), [](BmpFile& f) { f.bitCount = 0; }), 9},
        {"bit count 64", with(Valid24(1, 1), [](BmpFile& f) { f.bitCount = 64; }), 9},
        {"RLE8", with(pal8, [](BmpFile& f) { f.compression = 1; }), 9},
        {"RLE4", with(pal8, [](BmpFile& f) { f.bitCount = 4; f.compression = 2; }), 9},
        {"embedded JPEG", with(Valid24(1, 1), [](BmpFile& f) { f.compression = 4; }), 9},
        {"embedded PNG", with(Valid24(1, 1), [](BmpFile& f) { f.compression = 5; }), 9},
        {"bit fields on 24 bits", with(Valid24(1, 1), [](BmpFile& f) { f.compression = 3; f.masks = {0xFF0000, 0xFF00, 0xFF}; }), 9},
        {"non-contiguous mask", bmptest::Build(Direct(40, 1, 1, 32, 3, {0x00FF00FF, 0x0000FF00, 0xFF}, {1, 2, 3, 4})), 9},
        {"16-bit mask wider than the pixel", bmptest::Build(Direct(40, 1, 1, 16, 3, {0x1F0000, 0x07E0, 0x1F}, {1, 2, 0, 0})), 9},
        {"bit-field masks cut off", Cut(bmptest::Build(Direct(40, 1, 1, 32, 3, {0xFF0000, 0xFF00, 0xFF}, {1, 2, 3, 4})), 60), 9},
        {"header size 0", with(Valid24(1, 1), [](BmpFile& f) { f.headerSize = 0; }), 9},
        {"header size 64", with(Valid24(1, 1), [](BmpFile& f) { f.headerSize = 64; }), 9},
        {"header size 0xFFFFFFFF", with(Valid24(1, 1), [](BmpFile& f) { f.headerSize = 0xFFFFFFFF; }), 9},
        {"data offset past the end", with(Valid24(1, 1), [](BmpFile& f) { f.dataOffset = 0xFFFFFFF0; }), 9},
        {"wrong magic", magic, 9},
    };
}

TEST(BmpReadBroken, RefusedWithoutTouchingTheImage)
{
    for (const BadCase& c : BadCases()) {
        CQLImage img;
        ASSERT_EQ(img.Create(2, 2), 0);
        EXPECT_EQ(LoadBytes(img, c.bytes, "bad.bmp"), c.want) << c.name;
        // Refused before any image-sized allocation: the old image is still there.
        UINT w = 0;
        UINT h = 0;
        img.GetSize(&w, &h);
        EXPECT_TRUE(w == 2 && h == 2) << c.name;
    }
}

TEST(BmpReadBroken, MissingFileAndFolderGiveTwo)
{
    CQLImage img;
    EXPECT_EQ(img.LoadFromFile(bmptest::TempPath("does_not_exist.bmp").c_str()), 2);
    EXPECT_EQ(img.LoadFromFile(bmptest::TempPath("no_dir/x.bmp").c_str()), 2);
}

// ---- Shared corpus: BMPs written by another program ------------------------

std::vector<int> ReadNumbers(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    std::vector<int> out;
    for (size_t i = 0; i < text.size();) {
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            int v = 0;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
                v = v * 10 + (text[i++] - '0');
            out.push_back(v);
        } else {
            ++i;
        }
    }
    return out;
}

TEST(BmpCorpus, ThirtyTwoBitFilesMatchTheirExpectedPixels)
{
    const std::filesystem::path root = std::filesystem::path(QUILLO_CORPUS_DIR) / "pngsuite";
    if (!std::filesystem::is_directory(root / "bmp"))
        GTEST_SKIP() << "corpus not present: " << root;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root / "bmp")) {
        if (entry.path().extension() != ".bmp")
            continue;
        const std::string name = entry.path().stem().string();
        std::filesystem::path json = root / "json" / (name + "_to8.json");
        const bool approx = std::filesystem::exists(json);
        if (!approx)
            json = root / "json" / (name + ".json");
        if (!std::filesystem::exists(json))
            continue;
        SCOPED_TRACE(name);
        CQLImage img;
        ASSERT_EQ(img.LoadFromFile(entry.path().c_str()), 0);
        UINT w = 0;
        UINT h = 0;
        img.GetSize(&w, &h);
        std::vector<int> want = ReadNumbers(json);
        ASSERT_EQ(want.size(), size_t{w} * h * 4);
        // A few 16-bit files have no 8-bit list: scale their values down.
        const bool wide = *std::max_element(want.begin(), want.end()) > 255;
        if (wide)
            for (int& v : want)
                v = (v * 255 + 32767) / 65535;
        const int tolerance = approx || wide ? 1 : 0;
        int bad = 0;
        for (UINT i = 0; i < w * h && bad < 5; ++i) {
            const CPixel p = img.GetPixel2(static_cast<int>(i % w), static_cast<int>(i / w));
            const int got[4] = {p.r, p.g, p.b, p.a};
            const int* expected = &want[i * 4];
            // A fully transparent pixel has no colour to compare.
            const int first = (got[3] == 0 && expected[3] == 0) ? 3 : 0;
            for (int k = first; k < 4; ++k) {
                if (std::abs(got[k] - expected[k]) > tolerance) {
                    ADD_FAILURE() << "pixel " << i % w << "," << i / w << " byte " << k << ": " << got[k]
                                  << " want " << expected[k];
                    ++bad;
                }
            }
        }
        ++files;
    }
    EXPECT_GT(files, 100);
}

} // namespace
