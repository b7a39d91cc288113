// Thumbnails made from rows as they are decoded: the same pixels as the
// whole picture shrunk, for every layout; and the GIF canvas.
#include "platform/codec/CodecInternal.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace codectest;

namespace {

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

// GIF data: palette 0 black, 1 red, 2 green, 3 blue; every index coded
// after a clear code, so all codes are 3 bits.
std::vector<unsigned char> Gif(int screenW, int screenH,
                               const std::vector<std::vector<int>>& frames) // left, top, w, h, index
{
    std::vector<unsigned char> g = {'G', 'I', 'F', '8', '9', 'a', static_cast<unsigned char>(screenW),
                                    static_cast<unsigned char>(screenW >> 8), static_cast<unsigned char>(screenH),
                                    static_cast<unsigned char>(screenH >> 8), 0x81, 0, 0,
                                    0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    for (const auto& f : frames) {
        g.push_back(0x2C);
        for (int i = 0; i < 4; ++i) {
            g.push_back(static_cast<unsigned char>(f[std::size_t(i)]));
            g.push_back(static_cast<unsigned char>(f[std::size_t(i)] >> 8));
        }
        g.push_back(0);
        std::vector<unsigned char> packed;
        unsigned acc = 0;
        int n = 0;
        auto put = [&](unsigned code) {
            acc |= code << n;
            for (n += 3; n >= 8; n -= 8, acc >>= 8)
                packed.push_back(static_cast<unsigned char>(acc));
        };
        for (int p = 0; p < f[2] * f[3]; ++p) {
            put(4);
            put(static_cast<unsigned>(f[4]));
        }
        put(5);
        if (n > 0)
            packed.push_back(static_cast<unsigned char>(acc));
        g.push_back(2);
        for (std::size_t at = 0; at < packed.size(); at += 255) {
            const std::size_t k = std::min<std::size_t>(255, packed.size() - at);
            g.push_back(static_cast<unsigned char>(k));
            g.insert(g.end(), packed.begin() + long(at), packed.begin() + long(at + k));
        }
        g.push_back(0);
    }
    g.push_back(0x3B);
    return g;
}

TEST(CodecGifCanvas, IsTheUnionOfTheFramesInsideTheScreen)
{
    struct Case {
        const char* name;
        int screenW, screenH;
        std::vector<std::vector<int>> frames;
        UINT w, h;
        UINT firstX, firstY, firstW, firstH; // where the first frame lands
    };
    const Case cases[] = {
        {"one pixel in a huge screen", 65535, 16383, {{30000, 8000, 1, 1, 2}}, 1, 1, 0, 0, 1, 1},
        {"two frames", 100, 100, {{10, 10, 4, 3, 1}, {20, 5, 2, 2, 3}}, 12, 8, 0, 5, 4, 3},
        {"frame over the screen's edge", 10, 10, {{8, 7, 4, 4, 1}}, 2, 3, 0, 0, 2, 3},
        {"screen without a size", 0, 0, {{3, 4, 2, 2, 1}}, 2, 2, 0, 0, 2, 2},
        {"frame filling the screen", 5, 4, {{0, 0, 5, 4, 3}}, 5, 4, 0, 0, 5, 4},
        {"second frame outside the screen", 6, 6, {{1, 1, 2, 2, 1}, {50, 50, 3, 3, 2}}, 2, 2, 0, 0, 2, 2},
    };
    TempDir dir;
    CQLImageCodec codec;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("canvas.gif");
        WriteAllBytes(path, Gif(c.screenW, c.screenH, c.frames));
        CQLImage image;
        ASSERT_EQ(codec.LoadFile(path.c_str(), &image), 1);
        ASSERT_EQ(W(image), c.w);
        ASSERT_EQ(H(image), c.h);
        const int index = c.frames[0][4];
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
