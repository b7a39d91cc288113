#include "editor/retouch/MultiWork.h"

#include "algorithms/AntiShakeAlgorithm.h"
#include "editor/shell/UITextTable.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Exposes the merge steps that the run functions chain.
class TestWork : public CMultiNRWork {
public:
    using CMultiWork::coverage;
    using CMultiWork::CropToCoverage;
    using CMultiWork::MergeStretch;
    using CMultiWork::result;
    using CMultiWork::sums;

    void Shape(int w, int h, int photoCount)
    {
        width = w;
        height = h;
        for (int i = 0; i < photoCount; ++i)
            photos.push_back(new MergePhoto);
        sums.assign(static_cast<size_t>(w) * h * 3, 0);
        coverage.assign(static_cast<size_t>(w) * h, static_cast<uint16_t>(photoCount));
        ASSERT_EQ(result.Create(w, h), 0);
    }
};

struct Recorder {
    static inline std::vector<std::string> messages;
    static inline std::vector<int> finals;
    static int Box(HWND, LPCSTR text, LPCSTR, UINT)
    {
        messages.push_back(text);
        return 1; // IDOK
    }
    static BOOL Post(HWND, UINT, WPARAM percent, LPARAM)
    {
        if (percent > 100)
            finals.push_back(static_cast<int>(percent));
        return TRUE;
    }
};

// The merge keeps each pixel's coverage count in alpha.
void ExpectFullyCovered(const CQLImage& image, int n)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            ASSERT_EQ(image.GetPixel2(x, y).a, n) << x << "," << y;
}

class MultiWorkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("quillo-multi-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "other");
        Recorder::messages.clear();
        Recorder::finals.clear();
        CMultiWork::calls = {Recorder::Box, Recorder::Post};
    }
    void TearDown() override
    {
        CMultiWork::calls = {};
        std::filesystem::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // A textured picture, so that averaging would show any misplaced sample.
    std::string Write(const std::string& name, int w, int h, int shade = 0)
    {
        CQLImage image;
        EXPECT_EQ(image.Create(w, h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.PutPixel(x, y, CPixel{static_cast<BYTE>((x * 7 + y) & 255), static_cast<BYTE>((y * 5 + shade) & 255),
                                            static_cast<BYTE>((x ^ y) & 255), 255});
        EXPECT_EQ(image.SaveToFile(Path(name).c_str()), 0);
        return Path(name);
    }
    std::string WriteFlat(const std::string& name, int w, int h, BYTE v)
    {
        CQLImage image;
        EXPECT_EQ(image.Create(w, h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.PutPixel(x, y, CPixel{v, v, v, 255});
        EXPECT_EQ(image.SaveToFile(Path(name).c_str()), 0);
        return Path(name);
    }

    std::filesystem::path dir;
};

TEST_F(MultiWorkTest, NamesAndBoundsOfTheThreeWorks)
{
    CMultiNRWork nr;
    CMultiASWork as;
    CMultiHDRWork hdr;
    EXPECT_STREQ(nr.name, "Multi-NR");
    EXPECT_STREQ(as.name, "Multi-AS");
    EXPECT_STREQ(hdr.name, "Multi-HDR");
    EXPECT_EQ(nr.maxPhotos, 256);
    EXPECT_EQ(as.maxPhotos, 256);
    EXPECT_EQ(hdr.minPhotos, 2);
    EXPECT_EQ(hdr.maxPhotos, 3);
    EXPECT_STREQ(nr.GetDescription(), theUITextTable.GetText(222));
    EXPECT_STREQ(hdr.GetDescription(), theUITextTable.GetText(223));
    EXPECT_STREQ(as.GetDescription(), theUITextTable.GetText(224));
}

TEST_F(MultiWorkTest, AddPhotoRefusesWithTheSystemsMessages)
{
    CMultiNRWork work;
    ASSERT_TRUE(work.AddPhoto(Write("first.bmp", 640, 600).c_str()));
    EXPECT_EQ(work.width, 640);
    EXPECT_EQ(work.height, 600);
    EXPECT_STREQ(work.photos[0]->name, "first");
    EXPECT_EQ(work.photos[0]->thumb.GetAreaByteSize(), 100u * 94 * 4);

    struct Case {
        std::string file;
        int w, h;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"narrow.bmp", 599, 800, "This function need big images at least 600x600"},
        {"low.bmp", 800, 599, "This function need big images at least 600x600"},
        {"bigger.bmp", 700, 600, "For same scene, the image size must be same with main image"},
        {"other/FIRST.bmp", 640, 600, "This image is in list already"},
        {"second.bmp", 640, 600, nullptr},
    };
    for (const Case& c : cases) {
        Recorder::messages.clear();
        const BOOL added = work.AddPhoto(Write(c.file, c.w, c.h).c_str());
        EXPECT_EQ(added, c.message == nullptr) << c.file;
        if (c.message) {
            ASSERT_EQ(Recorder::messages.size(), 1u) << c.file;
            EXPECT_EQ(Recorder::messages[0], c.message);
        } else {
            EXPECT_TRUE(Recorder::messages.empty());
        }
    }
    EXPECT_EQ(work.PhotoCount(), 2);

    // A file that is no picture is refused without a message of its own.
    Recorder::messages.clear();
    std::filesystem::create_directories(dir / "x");
    EXPECT_FALSE(work.AddPhoto(Path("missing.jpg").c_str()));
    EXPECT_TRUE(Recorder::messages.empty());
    EXPECT_EQ(work.PhotoCount(), 2);
}

TEST(MultiWorkSample, BilinearAgainstHandValues)
{
    CQLImage image;
    ASSERT_EQ(image.Create(4, 3), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.PutPixel(x, y, CPixel{0, 0, 255, 0});
    image.PutPixel(1, 0, CPixel{100, 10, 255, 0});
    image.PutPixel(0, 1, CPixel{200, 20, 255, 0});
    image.PutPixel(1, 1, CPixel{40, 30, 255, 0});

    const double shift[6] = {1, 0, 0.5, 0, 1, 0.25}; // fu 128, fv 64
    CPixel p{};
    ASSERT_TRUE(CMultiWork::SampleBilinear(image, 0, 0, shift, &p));
    // top (0*128 + 100*128) >> 8 = 50; bottom (200*128 + 40*128) >> 8 = 120;
    // (50*192 + 120*64) >> 8 = 67.
    EXPECT_EQ(p.b, 67);
    EXPECT_EQ(p.g, (((10 * 128) >> 8) * 192 + (((20 * 128 + 30 * 128) >> 8) * 64)) >> 8);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.a, 255);

    const double identity[6] = {1, 0, 0, 0, 1, 0};
    ASSERT_TRUE(CMultiWork::SampleBilinear(image, 1, 1, identity, &p));
    EXPECT_EQ(p.b, 40);

    struct Outside {
        int x, y;
        double t[6];
    } outside[] = {
        {3, 0, {1, 0, 0, 0, 1, 0}},     // the last column has no right neighbour
        {0, 2, {1, 0, 0, 0, 1, 0}},     // nor the last row one below
        {0, 0, {1, 0, -0.1, 0, 1, 0}},  // left of the picture
        {0, 0, {1, 0, 0, 0, 1, -0.5}},  // above it
        {0, 0, {1, 0, 2.999, 0, 1, 0}}, // just inside
    };
    for (const Outside& o : outside)
        EXPECT_EQ(CMultiWork::SampleBilinear(image, o.x, o.y, o.t, &p), &o == &outside[4]) << o.t[2] << " " << o.t[5];
}

TEST_F(MultiWorkTest, IdenticalPhotosAverageToTheInputCroppedToTheSampledArea)
{
    CMultiNRWork work;
    work.notifyWnd = reinterpret_cast<HWND>(1);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        std::filesystem::copy_file(Write("src.bmp", 600, 620), Path(name), std::filesystem::copy_options::overwrite_existing);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        ASSERT_TRUE(work.AddPhoto(Path(name).c_str()));
    ASSERT_EQ(CMultiWork::RunAverage(&work, &work.host), 0);
    EXPECT_EQ(Recorder::finals, std::vector<int>{kMultiDone});

    CQLImage source;
    ASSERT_EQ(source.LoadFromFile(Path("src.bmp").c_str()), 0);
    UINT w = 0, h = 0;
    work.GetResult().GetSize(&w, &h);
    // The sampler needs a right and a lower neighbour: the last column and
    // row are uncovered, and the corner (599, 1) of that column trims row 0.
    ASSERT_EQ(w, 599u);
    ASSERT_EQ(h, 618u);
    for (int y = 0; y < 618; y += 7)
        for (int x = 0; x < 599; x += 3)
            ASSERT_EQ(work.GetResult().GetPixel2(x, y), source.GetPixel2(x, y + 1)) << x << "," << y;
}

TEST_F(MultiWorkTest, StoredShiftsCropToTheCommonArea)
{
    CMultiNRWork work;
    ASSERT_TRUE(work.AddPhoto(Write("a.bmp", 640, 600).c_str()));
    ASSERT_TRUE(work.AddPhoto(Write("b.bmp", 640, 600).c_str()));
    // Photo b shows the scene 12 pixels further right and 5 lower.
    work.photos[1]->transform[2] = 12;
    work.photos[1]->transform[5] = 5;
    ASSERT_EQ(CMultiWork::RunAverage(&work, &work.host), 0);
    UINT w = 0, h = 0;
    work.GetResult().GetSize(&w, &h);
    // Photo b covers x < 627 and y < 594 of the reference; the corners of
    // each uncovered strip trim the other direction: box (5, 13)..(627, 587).
    EXPECT_EQ(w, 622u);
    EXPECT_EQ(h, 574u);
    ExpectFullyCovered(work.GetResult(), 2);
}

TEST_F(MultiWorkTest, TwoHundredFiftySixPhotosCountAsFullyCovered)
{
    CMultiNRWork work;
    const std::string path = Write("one.bmp", 600, 600);
    ASSERT_TRUE(work.AddPhoto(path.c_str()));
    for (int i = 1; i < 256; ++i) {
        work.photos.push_back(new MergePhoto);
        std::snprintf(work.photos.back()->path, sizeof work.photos.back()->path, "%s", path.c_str());
    }
    ASSERT_EQ(CMultiWork::RunAverage(&work, &work.host), 0);
    UINT w = 0, h = 0;
    work.GetResult().GetSize(&w, &h);
    EXPECT_EQ(w, 599u);
    EXPECT_EQ(h, 598u); // as with any identical photos
    CQLImage source;
    ASSERT_EQ(source.LoadFromFile(path.c_str()), 0);
    EXPECT_EQ(work.GetResult().GetPixel2(598, 597), source.GetPixel2(598, 598));
    EXPECT_EQ(work.GetResult().GetPixel2(100, 200).a, 255); // count 256, held as far as a byte goes
}

TEST_F(MultiWorkTest, APhotoThatVanishesEndsTheRunWithOneFailureNotice)
{
    CMultiNRWork work;
    work.notifyWnd = reinterpret_cast<HWND>(1);
    ASSERT_TRUE(work.AddPhoto(Write("a.bmp", 600, 600).c_str()));
    ASSERT_TRUE(work.AddPhoto(Write("b.bmp", 600, 600).c_str()));
    std::filesystem::remove(Path("b.bmp"));
    EXPECT_EQ(CMultiWork::RunAverage(&work, &work.host), E_FAIL);
    EXPECT_EQ(Recorder::finals, std::vector<int>{kMultiFailed});
    EXPECT_EQ(work.GetResult().GetAreaByteSize(), 0u);

    // A file replaced by one of another size fails the same way.
    Recorder::finals.clear();
    Write("b.bmp", 700, 600);
    EXPECT_EQ(CMultiWork::RunAverage(&work, &work.host), E_FAIL);
    EXPECT_EQ(Recorder::finals, std::vector<int>{kMultiFailed});
}

TEST_F(MultiWorkTest, HdrWeightsEachPhotoByItsOwnLuminance)
{
    CMultiHDRWork work;
    work.notifyWnd = reinterpret_cast<HWND>(1);
    ASSERT_TRUE(work.AddPhoto(WriteFlat("dark.bmp", 600, 600, 40).c_str()));
    ASSERT_TRUE(work.AddPhoto(WriteFlat("light.bmp", 600, 600, 70).c_str()));
    std::fill(std::begin(work.photos[0]->weights), std::end(work.photos[0]->weights), 0);
    std::fill(std::begin(work.photos[1]->weights), std::end(work.photos[1]->weights), 0);
    work.photos[0]->weights[40] = 30;
    work.photos[1]->weights[70] = 10;
    ASSERT_EQ(CMultiWork::RunHDR(&work, &work.host), 0);
    // (30*40 + 10*70) / 40 = 47; with the black of the unsampled last column
    // and row the levels span 1..46, too little for the contrast stretch.
    EXPECT_EQ(work.GetResult().GetPixel2(10, 10), (CPixel{47, 47, 47, 0}));
    EXPECT_EQ(Recorder::finals, std::vector<int>{kMultiDone});

    // Weights of 0 everywhere count as 1 and give black.
    work.photos[0]->weights[40] = 0;
    work.photos[1]->weights[70] = 0;
    ASSERT_EQ(CMultiWork::RunHDR(&work, &work.host), 0);
    EXPECT_EQ(work.GetResult().GetPixel2(10, 10), (CPixel{0, 0, 0, 0}));
}

TEST(MultiWorkMerge, AntiShakeStretchPutsTheBrightestHalfPercentAtWhite)
{
    TestWork work;
    work.Shape(20, 10, 2); // 200 pixels: the brightest one is counted
    std::fill(work.sums.begin(), work.sums.end(), 255u);
    for (int k = 0; k < 3; ++k)
        work.sums[k] = 510;
    work.MergeStretch();
    // White level one below the brightest: 509.
    EXPECT_EQ(work.result.GetPixel2(1, 0).b, 255 * 255 / 509);
    EXPECT_EQ(work.result.GetPixel2(0, 0).b, 255);
}

TEST(MultiWorkMerge, AutoContrastStretchLeavesANarrowSpan)
{
    struct Case {
        int low, high;
        bool changes;
    } cases[] = {{100, 164, false}, {100, 166, false}, {100, 167, true}, {0, 255, true}};
    for (const Case& c : cases) {
        CQLImage image;
        const int count = c.high - c.low + 1;
        ASSERT_EQ(image.Create(count, 50), 0);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < count; ++x) {
                const BYTE v = static_cast<BYTE>(c.low + x);
                image.PutPixel(x, y, CPixel{v, v, v, 7});
            }
        CMultiWork::AutoContrastStretch(image);
        // 3000 to 6000 pixels: one value is enough to set black (lowest
        // level + 1) and white (highest level - 1).
        const int black = c.low + 1, white = c.high - 1;
        for (int x = 0; x < count; ++x) {
            const int v = c.low + x;
            const int want = c.changes ? std::clamp((v - black) * 255 / (white - black), 0, 255) : v;
            ASSERT_EQ(image.GetPixel2(x, 0).g, want) << c.low << ".." << c.high << " at " << v;
            ASSERT_EQ(image.GetPixel2(x, 0).a, 7);
        }
    }
}

TEST(MultiWorkMerge, CropToCoverageBoxes)
{
    struct Case {
        const char* what;
        int holeX0, holeY0, holeX1, holeY1; // uncovered [x0, x1) x [y0, y1)
        int left, top, right, bottom;        // expected box
    } cases[] = {
        {"hole only at the corner", 0, 0, 1, 1, 0, 0, 100, 80},
        // A strip also trims the rows or columns its corners reach.
        {"right strip", 90, 0, 100, 80, 0, 10, 90, 70},
        {"bottom strip", 0, 75, 100, 80, 4, 0, 96, 75},
        {"left strip", 0, 0, 5, 80, 5, 4, 100, 76},
        {"top strip", 0, 0, 100, 3, 2, 3, 99, 80},
        {"crop under 10 pixels refused", 0, 0, 100, 75, 0, 0, 100, 80},
    };
    for (const Case& c : cases) {
        TestWork work;
        work.Shape(100, 80, 2);
        for (int y = c.holeY0; y < c.holeY1; ++y)
            for (int x = c.holeX0; x < c.holeX1; ++x)
                work.coverage[static_cast<size_t>(y) * 100 + x] = 1;
        work.result.PutPixel(c.left, c.top, CPixel{1, 2, 3, 4});
        work.CropToCoverage();
        UINT w = 0, h = 0;
        work.result.GetSize(&w, &h);
        EXPECT_EQ(static_cast<int>(w), c.right - c.left) << c.what;
        EXPECT_EQ(static_cast<int>(h), c.bottom - c.top) << c.what;
        EXPECT_EQ(work.result.GetPixel2(0, 0), (CPixel{1, 2, 3, 4})) << c.what;
    }
}

// Three crops of a real photo at known offsets, aligned by the anti-shake
// algorithm as the step dialog runs it, then merged.
TEST_F(MultiWorkTest, RealCropsAlignAndMergeToTheCommonArea)
{
    const std::string corpus = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/Reconyx_HC500_Hyperfire.jpg";
    CQLImage full;
    CQLImageCodec codec;
    if (!std::filesystem::exists(corpus) || !codec.LoadFile(corpus.c_str(), &full))
        GTEST_SKIP() << "corpus photo absent";
    struct Shot {
        const char* name;
        int dx, dy;
    } shots[] = {{"s0.bmp", 0, 0}, {"s1.bmp", 14, 9}, {"s2.bmp", -11, 6}};
    const int x0 = 100, y0 = 60;
    CMultiNRWork work;
    for (const Shot& s : shots) {
        CQLImage crop;
        ASSERT_EQ(crop.Create(1200, 900), 0);
        for (int y = 0; y < 900; ++y)
            std::memcpy(crop.GetBuffer(0, y), full.GetBuffer(x0 + s.dx, y0 + s.dy + y), 1200 * 4);
        ASSERT_EQ(crop.SaveToFile(Path(s.name).c_str()), 0);
        ASSERT_TRUE(work.AddPhoto(Path(s.name).c_str()));
    }
    CQLImage reference;
    ASSERT_TRUE(codec.LoadFile(work.photos[0]->path, &reference));
    for (int i = 1; i < 3; ++i) {
        CQLImage photo;
        ASSERT_TRUE(codec.LoadFile(work.photos[i]->path, &photo));
        AntiShakeAlgorithm algorithm;
        algorithm.SetImages(&reference, &photo);
        const AntiShakeParams params{1, 2, 2}; // anti-shake on, "Large", "Slow, accurately"
        ASSERT_EQ(algorithm.Apply(&params), 0);
        ASSERT_TRUE(algorithm.IsTransformValid());
        const ShakeMapping& m = algorithm.GetMapping();
        double* t = work.photos[i]->transform;
        t[0] = m.xFromX, t[1] = m.xFromY, t[2] = m.xOffset, t[3] = m.yFromX, t[4] = m.yFromY, t[5] = m.yOffset;
        // The reference point (x, y) lies at (x - dx, y - dy) of the shifted crop.
        EXPECT_NEAR(t[2], -shots[i].dx, 1.0) << i;
        EXPECT_NEAR(t[5], -shots[i].dy, 1.0) << i;
    }
    ASSERT_EQ(CMultiWork::RunAverage(&work, &work.host), 0);
    UINT w = 0, h = 0;
    work.GetResult().GetSize(&w, &h);
    // Common area: x from 14 to 1188, y from 9 to 899.
    EXPECT_LE(w, 1175u);
    EXPECT_GE(w, 1140u);
    EXPECT_LE(h, 890u);
    EXPECT_GE(h, 850u);
    ExpectFullyCovered(work.GetResult(), 3);
}

}  // namespace
