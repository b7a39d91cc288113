#include "collage/Compose.h"
#include "CollageTestSupport.h"
#include "imagecore/ParallelFor.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace collage;
using namespace collage::test;

namespace {

// Photo pixel (x, y) is B = 10x, G = 10y, R = x + y.
void MakePhoto(CQLImage& photo, int w, int h)
{
    photo.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            photo.PutPixel(x, y, CPixel{BYTE(10 * x), BYTE(10 * y), BYTE(x + y), 255});
}

TEST(HlsHue, PrimaryAndSecondaryColours)
{
    struct {
        int b, g, r, hue;
    } cases[] = {
        {0, 0, 255, 0}, {0, 255, 0, 85}, {255, 0, 0, 170}, {0, 255, 255, 43},
        {255, 255, 0, 128}, {255, 0, 255, 213}, {90, 90, 90, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HlsHue(c.b, c.g, c.r), c.hue) << c.b << "," << c.g << "," << c.r;
}

// Frame 10 x 5 of grey 100: box 0 over columns 0..3, box 1 over 5..8, both
// rows 0..3; row 4 is see-through outside every box.
class TwoBoxes : public testing::Test {
protected:
    void SetUp() override
    {
        tpl.frame.Create(10, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 10; ++x) {
                BYTE a = 255;
                if (y < 4 && x != 4 && x != 9)
                    a = 0;
                if (y == 4 && x < 4)
                    a = 0;
                if (y == 4 && x == 9)
                    a = 51;
                tpl.frame.PutPixel(x, y, CPixel{100, 100, 100, a});
            }
        tpl.frame.PutPixel(1, 2, CPixel{100, 100, 100, 128});
        tpl.boxes = {Rect(0, 0, 4, 4), Rect(5, 0, 9, 4)};
        ASSERT_EQ(BuildBoxMap(tpl, [] { return true; }), BoxMapResult::Done);
        MakePhoto(photos[0].photo, 8, 6);
        std::strcpy(photos[0].path, "/photos/p.jpg");
        photos[0].range = RECT{2, 1, 6, 5};      // a shift by (2, 1)
        std::strcpy(photos[1].path, "/photos/p.jpg");
        photos[1].range = RECT{0, 0, 2, 2};      // half size: bilinear in between
    }
    CollageTemplate tpl;
    BoxPhoto photos[kMaxBoxes];
};

TEST_F(TwoBoxes, SharedPhotoWithTwoRangesGivesHandComputedPixels)
{
    CQLImage out;
    ASSERT_TRUE(ComposeCollage(tpl, photos, &out));
    struct {
        int x, y;
        CPixel expect;
        BYTE alpha;
    } cases[] = {
        {0, 0, {0, 0, 0, 0}, 0},            // a box's left edge is outside it
        {1, 0, {30, 10, 4, 0}, 0},          // photo (3, 1)
        {3, 3, {50, 40, 9, 0}, 0},          // photo (5, 4)
        {1, 2, {(128 * 100 + 127 * 30) / 255, (128 * 100 + 127 * 30) / 255, (128 * 100 + 127 * 6) / 255, 0}, 128},
        {4, 0, {100, 100, 100, 0}, 255},    // opaque frame kept
        {7, 1, {10, 5, 1, 0}, 0},           // photo (1, 0.5)
        {6, 0, {5, 0, 0, 0}, 0},            // photo (0.5, 0)
        {6, 1, {5, 5, 0, 0}, 0},            // photo (0.5, 0.5)
        {0, 4, {0, 0, 0, 0}, 0},            // outside every box: black
        {9, 4, {20, 20, 20, 0}, 51},        // black under the frame's own colour
    };
    for (const auto& c : cases) {
        const CPixel p = out.GetPixel2(c.x, c.y);
        EXPECT_EQ(p.b, c.expect.b) << c.x << "," << c.y;
        EXPECT_EQ(p.g, c.expect.g) << c.x << "," << c.y;
        EXPECT_EQ(p.r, c.expect.r) << c.x << "," << c.y;
        EXPECT_EQ(p.a, c.alpha) << c.x << "," << c.y;
    }
}

TEST_F(TwoBoxes, BoxWithoutPhotoShowsTheCheckerboard)
{
    std::strcpy(photos[1].path, "/photos/other.jpg");
    CQLImage out;
    ASSERT_TRUE(ComposeCollage(tpl, photos, &out));
    EXPECT_EQ(out.GetPixel2(7, 0).b, 128);   // 7 + 0 odd
    EXPECT_EQ(out.GetPixel2(6, 0).b, 220);
    EXPECT_EQ(out.GetPixel2(1, 0).b, 30) << "box 0 keeps its photo";
}

TEST_F(TwoBoxes, SingularBoxIsComposedWithoutItsPhoto)
{
    for (int i = 0; i < 4; ++i)
        tpl.boxes[1].p[i] = {5 + i, i};
    CQLImage out;
    ASSERT_TRUE(ComposeCollage(tpl, photos, &out));
    EXPECT_EQ(out.GetPixel2(6, 0).b, 220);
}

TEST_F(TwoBoxes, MapNamingAMissingBoxFails)
{
    tpl.boxMap.Set(2, 2, 5);
    CQLImage out;
    EXPECT_FALSE(ComposeCollage(tpl, photos, &out));
}

TEST(Compose, SameResultOnOneCoreAndAll)
{
    CollageTemplate tpl;
    MakeFrame(tpl, 1200, 800, {Rect(50, 50, 580, 750), Rect(620, 50, 1150, 750)});
    FrameBox tilted;
    tilted.p[0] = {660, 80};
    tilted.p[1] = {1120, 40};
    tilted.p[2] = {1150, 740};
    tilted.p[3] = {630, 760};
    tpl.boxes = {Rect(50, 50, 580, 750), tilted};
    ASSERT_EQ(BuildBoxMap(tpl, [] { return true; }), BoxMapResult::Done);
    BoxPhoto photos[kMaxBoxes];
    MakePhoto(photos[0].photo, 25, 25);
    photos[0].range = RECT{0, 0, 25, 25};
    MakePhoto(photos[1].photo, 20, 24);
    photos[1].range = RECT{2, 3, 18, 22};
    CQLImage all, one;
    ASSERT_TRUE(ComposeCollage(tpl, photos, &all));
    {
        imagecore::ScopedSingleThread single;
        ASSERT_TRUE(ComposeCollage(tpl, photos, &one));
    }
    EXPECT_EQ(std::memcmp(all.GetBuffer(0, 0), one.GetBuffer(0, 0), all.GetAreaByteSize()), 0);
}

TEST(Matting, BlueScreenBecomesTransparent)
{
    CQLImage picture;
    picture.Create(200, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            picture.PutPixel(x, y, x < 100 ? CPixel{255, 0, 0, 255} : CPixel{30, 120, 220, 255});
    EXPECT_EQ(MattingKey(&picture, MattingColour::Blue), 100u * 100u);
    EXPECT_EQ(picture.GetPixel2(10, 10).a, 0);
    EXPECT_EQ(picture.GetPixel2(99, 99).a, 0);
    const CPixel kept = picture.GetPixel2(150, 50);
    EXPECT_EQ(kept.a, 255);
    EXPECT_EQ(kept.b, 30);
    EXPECT_EQ(kept.g, 120);
    EXPECT_EQ(kept.r, 220);
}

TEST(Matting, WrongKeyLeavesNothingTransparent)
{
    CQLImage picture;
    picture.Create(50, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            picture.PutPixel(x, y, CPixel{255, 0, 0, 255});
    // All pixels share one alpha: the threshold lies above it.
    EXPECT_EQ(MattingKey(&picture, MattingColour::Green), 0u);
}

} // namespace
