// Real files from ../shared/corpus (skipped when absent): the PNG suite against
// its expected pixels, and camera JPEGs and TIFFs.
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace codectest;
namespace fs = std::filesystem;

namespace {

std::vector<long> ReadJsonArray(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string s = ss.str();
    std::vector<long> v;
    long cur = 0;
    bool inNumber = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            cur = cur * 10 + (c - '0');
            inNumber = true;
        } else if (inNumber) {
            v.push_back(cur);
            cur = 0;
            inNumber = false;
        }
    }
    if (inNumber)
        v.push_back(cur);
    return v;
}

bool Is16Bit(const std::string& stem)
{
    return stem.size() >= 2 && stem.compare(stem.size() - 2, 2, "16") == 0;
}

TEST(CodecCorpus, PngSuiteMatchesItsArrays)
{
    const std::string corpus = CorpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    const fs::path png = fs::path(corpus) / "pngsuite/png";
    const fs::path json = fs::path(corpus) / "pngsuite/json";
    if (!fs::is_directory(png))
        GTEST_SKIP() << "no pngsuite";
    CQLImageCodec codec;
    int checked = 0, refused = 0;
    for (const auto& entry : fs::directory_iterator(png)) {
        if (entry.path().extension() != ".png")
            continue;
        const std::string stem = entry.path().stem().string();
        const std::string path = entry.path().string();
        SCOPED_TRACE(stem);
        CQLImage image, thumb;
        int tw = 0, th = 0;
        if (stem[0] == 'x') {
            EXPECT_EQ(codec.LoadFile(path.c_str(), &image), 0);
            EXPECT_TRUE(Empty(image));
            EXPECT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 16, &tw, &th, 0), 0);
            ++refused;
            continue;
        }
        ASSERT_EQ(codec.LoadFile(path.c_str(), &image), 1);
        // 16-bit files: the _to8 array when there is one (within 1, the rounding it
        // states), else the 16-bit array's high bytes.
        std::string arrayPath = (json / (stem + "_to8.json")).string();
        int tolerance = 1;
        bool sixteen = false;
        if (!Is16Bit(stem) || !fs::exists(arrayPath)) {
            arrayPath = (json / (stem + ".json")).string();
            tolerance = 0;
            sixteen = Is16Bit(stem);
        }
        const std::vector<long> expected = ReadJsonArray(arrayPath);
        ASSERT_EQ(expected.size(), std::size_t(W(image)) * H(image) * 4) << arrayPath;
        int worst = 0;
        for (std::size_t i = 0; i < expected.size(); i += 4) {
            const BYTE* p = image.GetBuffer(0, 0) + i;
            const long rgba[4] = {p[2], p[1], p[0], p[3]};
            for (int k = 0; k < 4; ++k) {
                long e = expected[i + std::size_t(k)];
                if (sixteen)
                    e >>= 8;
                worst = std::max(worst, int(std::abs(rgba[k] - e)));
            }
        }
        EXPECT_LE(worst, tolerance) << arrayPath;
        ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 16, &tw, &th, 1), 1);
        EXPECT_EQ(UINT(tw), W(image));
        EXPECT_EQ(UINT(th), H(image));
        ++checked;
    }
    std::printf("pngsuite: %d files match their arrays, %d corrupt files refused\n", checked, refused);
    EXPECT_GT(checked, 100);
    EXPECT_GT(refused, 10);
}

bool Broken(const std::string& rel)
{
    return rel.find("jpg/invalid/") != std::string::npos || rel.find("jpg/corrupted.jpg") != std::string::npos
        || rel.find("jpg/tests/") != std::string::npos;
}

TEST(CodecCorpus, ExifSamplesLoad)
{
    const std::string corpus = CorpusDir();
    if (corpus.empty() || !fs::is_directory(fs::path(corpus) / "exif-samples"))
        GTEST_SKIP() << "no exif-samples";
    CQLImageCodec codec;
    int loaded = 0, brokenRefused = 0, brokenLoaded = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(corpus) / "exif-samples")) {
        if (!entry.is_regular_file())
            continue;
        std::string ext = entry.path().extension().string();
        for (char& c : ext)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".jpg" && ext != ".jpeg" && ext != ".tif" && ext != ".tiff")
            continue;
        const std::string path = entry.path().string();
        const std::string rel = fs::relative(entry.path(), fs::path(corpus) / "exif-samples").string();
        SCOPED_TRACE(rel);
        CQLImage image, thumb;
        const int ok = codec.LoadFile(path.c_str(), &image);
        int sw = 0, sh = 0;
        const int shaped = CQLImageCodec::GetFileShape(path.c_str(), &sw, &sh);
        int tw = 0, th = 0;
        const int thumbed = codec.CreateThumbnail(path.c_str(), &thumb, 100, &tw, &th, 0);
        if (Broken(rel)) {
            if (ok)
                ++brokenLoaded;
            else
                ++brokenRefused;
            if (!ok) {
                EXPECT_TRUE(Empty(image));
            }
            if (ok && thumbed) {
                EXPECT_EQ(UINT(tw), W(image));
                EXPECT_EQ(UINT(th), H(image));
            }
            continue;
        }
        ASSERT_EQ(ok, 1);
        ++loaded;
        EXPECT_EQ(shaped, 1);
        EXPECT_EQ(UINT(sw), W(image));
        EXPECT_EQ(UINT(sh), H(image));
        ASSERT_EQ(thumbed, 1);
        EXPECT_EQ(UINT(tw), W(image));
        EXPECT_EQ(UINT(th), H(image));
        EXPECT_LE(std::max(W(thumb), H(thumb)), 100u);
        CQLImage exact;
        ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &exact, 100, &tw, &th, 1), 1);
        EXPECT_EQ(UINT(tw), W(image));
    }
    std::printf("exif-samples: %d files loaded; broken files: %d loaded, %d refused\n", loaded, brokenLoaded,
                brokenRefused);
    EXPECT_GT(loaded, 50);
}

} // namespace
