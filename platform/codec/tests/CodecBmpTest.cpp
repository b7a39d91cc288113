// Run-length BMPs (RLE8, RLE4) through LoadFile, GetFileShape and
// CreateThumbnail: hand-built streams with their expected pixels, and bad
// streams that must fail cleanly.
#include "imagecore/tests/BmpTestWriter.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace codectest;
using bmptest::BmpFile;

namespace {

// Entry i is 0x00RRGGBB = i * 0x100804 + 0x0A0000: every entry differs in every byte.
std::vector<DWORD> Palette(std::size_t n)
{
    std::vector<DWORD> pal;
    for (DWORD i = 0; i < n; ++i)
        pal.push_back(i * 0x100804u + 0x0A0000u);
    return pal;
}

BmpFile Rle(int bits, LONG w, LONG h, std::vector<BYTE> stream)
{
    BmpFile f;
    f.width = w;
    f.height = h;
    f.bitCount = static_cast<WORD>(bits);
    f.compression = bits == 8 ? 1 : 2;
    f.palette = Palette(bits == 8 ? 256 : 16);
    f.rows = std::move(stream);
    return f;
}

// Expected pixels as palette indices, rows top to bottom as in memory.
void ExpectIndices(const CQLImage& image, const std::vector<DWORD>& pal, LONG w, LONG h,
                   const std::vector<std::vector<int>>& rows)
{
    ASSERT_EQ(W(image), static_cast<UINT>(w));
    ASSERT_EQ(H(image), static_cast<UINT>(h));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(h));
    for (LONG y = 0; y < h; ++y) {
        ASSERT_EQ(rows[static_cast<std::size_t>(y)].size(), static_cast<std::size_t>(w));
        for (LONG x = 0; x < w; ++x) {
            const CPixel p = image.GetPixel2(x, y);
            const DWORD want = pal[static_cast<std::size_t>(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])];
            EXPECT_EQ(DWORD{p.r} << 16 | DWORD{p.g} << 8 | p.b, want) << "pixel " << x << "," << y;
            EXPECT_EQ(p.a, 255) << "pixel " << x << "," << y;
        }
    }
}

struct GoodCase {
    const char* name;
    BmpFile file;
    std::vector<std::vector<int>> want; // top row first
};

std::vector<GoodCase> GoodCases()
{
    BmpFile shortPalette = Rle(8, 3, 1, {2, 200, 1, 3, 0, 1});
    shortPalette.palette = Palette(4);
    shortPalette.colorsUsed = 4;
    BmpFile gapBeforeData = Rle(8, 2, 1, {1, 4, 1, 5, 0, 1});
    gapBeforeData.gap = 6;
    return {
        {"RLE8 runs, end of line, end of bitmap", Rle(8, 4, 2, {2, 1, 2, 2, 0, 0, 4, 3, 0, 1}),
         {{3, 3, 3, 3}, {1, 1, 2, 2}}},
        {"RLE8 absolute run of odd length with its padding byte", Rle(8, 5, 1, {0, 3, 5, 6, 7, 0, 2, 8, 0, 1}),
         {{5, 6, 7, 8, 8}}},
        {"RLE8 absolute run of even length", Rle(8, 4, 1, {0, 4, 1, 2, 3, 4, 0, 1}), {{1, 2, 3, 4}}},
        {"RLE4 run alternates high and low nibble", Rle(4, 5, 1, {5, 0x12, 0, 1}), {{1, 2, 1, 2, 1}}},
        {"RLE4 each run starts on the high nibble", Rle(4, 4, 1, {1, 0x34, 3, 0x56, 0, 1}), {{3, 5, 6, 5}}},
        {"RLE4 absolute run of 3 takes two bytes", Rle(4, 5, 1, {0, 3, 0x34, 0x50, 2, 0x66, 0, 1}),
         {{3, 4, 5, 6, 6}}},
        {"RLE4 absolute run of 5 takes three bytes and a pad", Rle(4, 5, 1, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}),
         {{1, 2, 3, 4, 5}}},
        {"delta skips right and up; skipped pixels are entry 0",
         Rle(8, 4, 3, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}),
         {{0, 0, 0, 0}, {0, 0, 0, 2}, {1, 0, 0, 0}}},
        {"early end of bitmap leaves the rest entry 0", Rle(8, 3, 2, {3, 5, 0, 1}), {{0, 0, 0}, {5, 5, 5}}},
        {"end of line mid-row leaves the rest of the row", Rle(4, 3, 2, {1, 0x70, 0, 0, 3, 0x77, 0, 1}),
         {{7, 7, 7}, {7, 0, 0}}},
        {"run past the row end is clipped, not wrapped", Rle(8, 3, 2, {5, 7, 0, 0, 1, 4, 0, 1}),
         {{4, 0, 0}, {7, 7, 7}}},
        {"absolute run past the row end is clipped", Rle(8, 3, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}),
         {{1, 2, 3}}},
        {"RLE4 absolute run past the row end is clipped", Rle(4, 3, 1, {0, 6, 0x12, 0x34, 0x56, 0, 0, 1}),
         {{1, 2, 3}}},
        {"delta past the row end drops what follows on that row",
         Rle(8, 2, 2, {0, 2, 200, 0, 1, 6, 0, 0, 1, 6, 0, 1}), {{6, 0}, {0, 0}}},
        {"delta past the last row ends the picture", Rle(8, 2, 2, {1, 1, 0, 2, 0, 5, 9}),
         {{0, 0}, {1, 0}}},
        {"every row reached without an end of bitmap", Rle(8, 2, 1, {2, 3, 0, 0}), {{3, 3}}},
        {"indices past a short palette read as entry 0", shortPalette, {{0, 0, 3}}},
        {"pixel data after a gap at the data offset", gapBeforeData, {{4, 5}}},
    };
}

TEST(CodecBmpRle, StreamsDecodeToTheirPixels)
{
    TempDir dir;
    CQLImageCodec codec;
    for (const GoodCase& c : GoodCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("rle.bmp");
        bmptest::WriteFile(path, bmptest::Build(c.file));
        CQLImage image;
        ASSERT_EQ(codec.LoadFile(path.c_str(), &image), 1);
        ExpectIndices(image, c.file.palette, c.file.width, c.file.height, c.want);

        int w = 0, h = 0;
        EXPECT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &w, &h), 1);
        EXPECT_EQ(w, c.file.width);
        EXPECT_EQ(h, c.file.height);
        // Small pictures are never enlarged: the thumbnail is the picture.
        for (int flag : {0, 1}) {
            CQLImage thumb;
            w = h = 0;
            ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 100, &w, &h, flag), 1);
            EXPECT_EQ(w, c.file.width);
            EXPECT_EQ(h, c.file.height);
            EXPECT_EQ(MaxDiff(thumb, image), 0);
        }
    }
}

struct BadCase {
    const char* name;
    std::vector<BYTE> bytes;
    bool shapeReadable; // the headers are fine, only the pixel stream is bad
};

std::vector<BadCase> BadCases()
{
    auto build = [](BmpFile f) { return bmptest::Build(f); };
    auto with = [](BmpFile f, auto change) {
        change(f);
        return bmptest::Build(f);
    };
    const BmpFile twoRows = Rle(8, 4, 2, {2, 1, 0, 0, 4, 3, 0, 1});
    return {
        {"stream cut inside a run pair", build(Rle(8, 4, 2, {2, 1, 0})), true},
        {"stream cut inside absolute data", build(Rle(8, 4, 1, {0, 5, 1, 2})), true},
        {"absolute run missing its padding byte", build(Rle(8, 4, 2, {0, 3, 1, 2, 3})), true},
        {"RLE4 absolute data cut", build(Rle(4, 8, 1, {0, 7, 0x12, 0x34})), true},
        {"delta cut", build(Rle(8, 4, 2, {0, 2, 1})), true},
        {"stream ends with rows still to come", build(Rle(8, 2, 2, {2, 1, 0, 0})), true},
        {"no pixel data at all", build(Rle(8, 2, 2, {})), true},
        {"data offset past the end of the file", with(twoRows, [](BmpFile& f) { f.dataOffset = 0xFFFFFFF0u; }), true},
        {"top-down run-length rows", with(twoRows, [](BmpFile& f) { f.height = -2; }), false},
        {"RLE8 on 4 bits", with(twoRows, [](BmpFile& f) { f.bitCount = 4; f.palette = Palette(16); }), false},
        {"RLE4 on 8 bits", with(twoRows, [](BmpFile& f) { f.compression = 2; }), false},
        {"RLE8 on 24 bits", with(twoRows, [](BmpFile& f) { f.bitCount = 24; f.palette.clear(); }), false},
        {"palette cut off", [&] {
             std::vector<BYTE> b = build(twoRows);
             b.resize(54 + 100);
             return b;
         }(), false},
    };
}

TEST(CodecBmpRle, BadStreamsFailAndLeaveTheImageEmpty)
{
    TempDir dir;
    CQLImageCodec codec;
    for (const BadCase& c : BadCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("bad.bmp");
        WriteAllBytes(path, c.bytes);
        CQLImage image, thumb;
        MakePicture(image, 3, 3);
        MakePicture(thumb, 3, 3);
        EXPECT_EQ(codec.LoadFile(path.c_str(), &image), 0);
        EXPECT_TRUE(Empty(image));
        int w = -1, h = -1;
        EXPECT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 16, &w, &h, 1), 0);
        EXPECT_TRUE(Empty(thumb));
        EXPECT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &w, &h), c.shapeReadable ? 1 : 0);
    }
}

// A small encoder, independent of the reader: literal stretches as absolute
// runs (short ones as encoded runs of one), repeats as encoded runs, an end of
// line per row and an end of bitmap.
std::vector<BYTE> Encode(const std::vector<std::vector<int>>& bottomUpRows, int bits)
{
    std::vector<BYTE> out;
    auto pack = [&](const std::vector<int>& v) {
        for (std::size_t i = 0; i < v.size(); i += (bits == 4 ? 2 : 1))
            out.push_back(bits == 4 ? static_cast<BYTE>(v[i] << 4 | (i + 1 < v.size() ? v[i + 1] : 0))
                                    : static_cast<BYTE>(v[i]));
    };
    for (const std::vector<int>& row : bottomUpRows) {
        std::size_t i = 0;
        while (i < row.size()) {
            std::size_t run = 1;
            while (i + run < row.size() && run < 255 && row[i + run] == row[i])
                ++run;
            if (run >= 2) {
                out.push_back(static_cast<BYTE>(run));
                out.push_back(static_cast<BYTE>(bits == 4 ? row[i] << 4 | row[i] : row[i]));
                i += run;
                continue;
            }
            std::size_t lit = 1;
            while (i + lit < row.size() && lit < 255 && row[i + lit] != row[i + lit - 1])
                ++lit;
            if (lit < 3) {
                out.push_back(1);
                out.push_back(static_cast<BYTE>(bits == 4 ? row[i] << 4 : row[i]));
                ++i;
                continue;
            }
            out.push_back(0);
            out.push_back(static_cast<BYTE>(lit));
            const std::size_t start = out.size();
            pack(std::vector<int>(row.begin() + static_cast<long>(i), row.begin() + static_cast<long>(i + lit)));
            if ((out.size() - start) & 1)
                out.push_back(0);
            i += lit;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

class CodecBmpRleBits : public ::testing::TestWithParam<int> {};

TEST_P(CodecBmpRleBits, MatchesTheSameIndicesStoredUncompressed)
{
    const int bits = GetParam();
    const LONG w = 37, h = 23; // odd sides: partial bytes and padded rows
    std::vector<std::vector<int>> rows; // bottom-up, as stored
    unsigned seed = 5;
    for (LONG y = 0; y < h; ++y) {
        std::vector<int> row;
        for (LONG x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            // Stretches of repeats and of noise.
            row.push_back(((x / 6 + y) & 1) ? static_cast<int>((seed >> 16) % (bits == 4 ? 16 : 256))
                                            : static_cast<int>(y % 7));
        }
        rows.push_back(row);
    }
    BmpFile plain;
    plain.width = w;
    plain.height = h;
    plain.bitCount = static_cast<WORD>(bits);
    plain.palette = Palette(bits == 8 ? 256 : 16);
    std::vector<std::vector<BYTE>> packed;
    for (const std::vector<int>& row : rows) {
        std::vector<BYTE> b;
        for (std::size_t i = 0; i < row.size(); i += (bits == 4 ? 2 : 1))
            b.push_back(bits == 4 ? static_cast<BYTE>(row[i] << 4 | (i + 1 < row.size() ? row[i + 1] : 0))
                                  : static_cast<BYTE>(row[i]));
        packed.push_back(b);
    }
    plain.rows = bmptest::PadRows(packed, w, bits);

    TempDir dir;
    const std::string plainPath = dir.File("plain.bmp"), rlePath = dir.File("rle.bmp");
    bmptest::WriteFile(plainPath, bmptest::Build(plain));
    bmptest::WriteFile(rlePath, bmptest::Build(Rle(bits, w, h, Encode(rows, bits))));
    CQLImageCodec codec;
    CQLImage a, b;
    ASSERT_EQ(codec.LoadFile(plainPath.c_str(), &a), 1);
    ASSERT_EQ(codec.LoadFile(rlePath.c_str(), &b), 1);
    ASSERT_TRUE(SameSize(a, b));
    EXPECT_EQ(MaxDiff(a, b), 0);

    // The thumbnail is made from the decoded picture.
    CQLImage thumb;
    int tw = 0, th = 0;
    ASSERT_EQ(codec.CreateThumbnail(rlePath.c_str(), &thumb, 10, &tw, &th, 0), 1);
    EXPECT_EQ(tw, w);
    EXPECT_EQ(th, h);
    EXPECT_EQ(std::max(W(thumb), H(thumb)), 10u);
}

INSTANTIATE_TEST_SUITE_P(Bits, CodecBmpRleBits, ::testing::Values(4, 8));

TEST(CodecBmpRle, RunLengthFilesStayRefusedByTheImageClass)
{
    // CQLImage::LoadFromFile keeps its own codes: 9 for what it does not read.
    TempDir dir;
    const std::string path = dir.File("rle.bmp");
    bmptest::WriteFile(path, bmptest::Build(Rle(8, 2, 1, {2, 3, 0, 1})));
    CQLImage image;
    EXPECT_EQ(image.LoadFromFile(path.c_str()), 9);
    EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), static_cast<DWORD>(QL_FILE_BMP));
}

} // namespace
