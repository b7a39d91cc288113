// Resample (smooth and fast) and Rotate.
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace codectest;

namespace {

void Fill(CQLImage& image, unsigned w, unsigned h, CPixel value)
{
    ASSERT_EQ(image.Create(w, h), 0);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x)
            image.PutPixel(int(x), int(y), value);
}

TEST(CodecResample, FlatStaysFlatAtAnySize)
{
    CQLImageCodec codec;
    CQLImage flat, out;
    Fill(flat, 97, 61, CPixel{10, 200, 77, 133});
    for (auto [w, h] : {std::pair{13, 7}, std::pair{97, 61}, std::pair{300, 5}, std::pair{1, 1}, std::pair{500, 400}}) {
        for (int mode : {0, 1}) {
            ASSERT_EQ(codec.Resample(&flat, &out, w, h, mode), 1);
            ASSERT_EQ(W(out), unsigned(w));
            ASSERT_EQ(H(out), unsigned(h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(out.GetPixel(x, y), flat.GetPixel(0, 0));
        }
    }
}

TEST(CodecResample, BoxAverageWhenShrinking)
{
    CQLImageCodec codec;
    CQLImage src, out;
    ASSERT_EQ(src.Create(4, 2), 0);
    const BYTE v[8] = {0, 100, 200, 40, 10, 20, 30, 50};
    for (int i = 0; i < 8; ++i)
        src.PutPixel(i % 4, i / 4, CPixel{v[i], v[i], v[i], 255});
    ASSERT_EQ(codec.Resample(&src, &out, 2, 1, 1), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).b, (0 + 100 + 10 + 20 + 2) / 4);
    EXPECT_EQ(out.GetPixel2(1, 0).b, (200 + 40 + 30 + 50 + 2) / 4);
    // A third: fractional coverage.
    ASSERT_EQ(codec.Resample(&src, &out, 3, 2, 1), 1);
    EXPECT_NEAR(out.GetPixel2(0, 0).b, (0 * 1.0 + 100 * (1 / 3.0)) / (4 / 3.0), 0.51);
}

TEST(CodecResample, SameSizeIsACopyAndInPlaceWorks)
{
    CQLImageCodec codec;
    CQLImage photo, copy, out;
    MakePicture(photo, 50, 40, true);
    ASSERT_EQ(codec.Resample(&photo, &out, 50, 40, 1), 1);
    EXPECT_EQ(MaxDiff(photo, out), 0);
    copy.DuplicateFrom(&photo);
    ASSERT_EQ(codec.Resample(&copy, &copy, 25, 20, 1), 1);
    ASSERT_EQ(codec.Resample(&photo, &out, 25, 20, 1), 1);
    EXPECT_EQ(MaxDiff(copy, out), 0);
    // Enlarging then shrinking comes back close.
    ASSERT_EQ(codec.Resample(&photo, &out, 200, 160, 1), 1);
    ASSERT_EQ(codec.Resample(&out, &out, 50, 40, 1), 1);
    EXPECT_GT(Psnr(photo, out), 30.0);
}

TEST(CodecResample, NearestPicksPixels)
{
    CQLImageCodec codec;
    CQLImage src, out;
    ASSERT_EQ(src.Create(4, 1), 0);
    for (int x = 0; x < 4; ++x)
        src.PutPixel(x, 0, CPixel{BYTE(x * 10), 0, 0, 255});
    ASSERT_EQ(codec.Resample(&src, &out, 2, 1, 0), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).b, 10);
    EXPECT_EQ(out.GetPixel2(1, 0).b, 30);
    ASSERT_EQ(codec.Resample(&src, &out, 8, 1, 0), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).b, 0);
    EXPECT_EQ(out.GetPixel2(1, 0).b, 0);
    EXPECT_EQ(out.GetPixel2(7, 0).b, 30);
}

TEST(CodecResample, RefusesEmptyAndBadSizes)
{
    CQLImageCodec codec;
    CQLImage empty, photo, out;
    MakePicture(photo, 4, 4);
    EXPECT_EQ(codec.Resample(&empty, &out, 10, 10, 1), 0);
    EXPECT_EQ(codec.Resample(nullptr, &out, 10, 10, 1), 0);
    EXPECT_EQ(codec.Resample(&photo, nullptr, 10, 10, 1), 0);
    EXPECT_EQ(codec.Resample(&photo, &out, 0, 10, 1), 0);
    EXPECT_EQ(codec.Resample(&photo, &out, 10, -1, 1), 0);
    EXPECT_EQ(codec.Resample(&photo, &out, 70000, 1, 1), 0);
}

TEST(CodecRotate, QuarterTurnsAreExact)
{
    CQLImageCodec codec;
    CQLImage src, out;
    ASSERT_EQ(src.Create(2, 1), 0);
    src.PutPixel(0, 0, CPixel{1, 0, 0, 255});
    src.PutPixel(1, 0, CPixel{2, 0, 0, 255});
    ASSERT_EQ(codec.Rotate(&src, &out, 90.0f), 1); // clockwise: left pixel on top
    ASSERT_EQ(W(out), 1u);
    ASSERT_EQ(H(out), 2u);
    EXPECT_EQ(out.GetPixel2(0, 0).b, 1);
    EXPECT_EQ(out.GetPixel2(0, 1).b, 2);
    ASSERT_EQ(codec.Rotate(&src, &out, 270.0f), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).b, 2);
    EXPECT_EQ(out.GetPixel2(0, 1).b, 1);
    ASSERT_EQ(codec.Rotate(&src, &out, -90.0f), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).b, 2);
    ASSERT_EQ(codec.Rotate(&src, &out, 180.0f), 1);
    EXPECT_EQ(out.GetPixel2(0, 0).b, 2);
    EXPECT_EQ(out.GetPixel2(1, 0).b, 1);

    CQLImage photo, back;
    MakePicture(photo, 31, 17, true);
    ASSERT_EQ(codec.Rotate(&photo, &out, 90.0f), 1);
    ASSERT_EQ(codec.Rotate(&out, &back, 270.0f), 1);
    EXPECT_EQ(MaxDiff(photo, back), 0);
    ASSERT_EQ(codec.Rotate(&photo, &out, 720.0f), 1);
    EXPECT_EQ(MaxDiff(photo, out), 0);
    back.DuplicateFrom(&photo);
    ASSERT_EQ(codec.Rotate(&back, &back, 90.0f), 1); // in place
    EXPECT_EQ(W(back), 17u);
    EXPECT_EQ(back.GetPixel(16, 0), photo.GetPixel(0, 0));
}

TEST(CodecRotate, FreeAngleBoundsAndCorners)
{
    CQLImageCodec codec;
    CQLImage src, out;
    Fill(src, 100, 50, CPixel{50, 60, 70, 255});
    ASSERT_EQ(codec.Rotate(&src, &out, 30.0f), 1);
    const double c = std::cos(30 * M_PI / 180), s = std::sin(30 * M_PI / 180);
    EXPECT_EQ(W(out), unsigned(std::ceil(100 * c + 50 * s)));
    EXPECT_EQ(H(out), unsigned(std::ceil(100 * s + 50 * c)));
    // Corners are transparent black, the centre is the picture.
    EXPECT_EQ(out.GetPixel(0, 0), 0u);
    EXPECT_EQ(out.GetPixel(int(W(out)) - 1, int(H(out)) - 1), 0u);
    EXPECT_EQ(out.GetPixel(int(W(out)) / 2, int(H(out)) / 2), src.GetPixel(0, 0));
    // Clockwise: the picture's top-left corner becomes the top-most point, left of the centre
    // (anticlockwise it would be the top-right corner, right of the centre).
    int topX = -1;
    for (int x = 0; x < int(W(out)) && topX < 0; ++x)
        if (out.GetPixel2(x, 1).a == 255)
            topX = x;
    EXPECT_LT(topX, int(W(out)) / 2);
    EXPECT_EQ(codec.Rotate(&src, &out, NAN), 0);
    CQLImage empty;
    EXPECT_EQ(codec.Rotate(&empty, &out, 10.0f), 0);
}

} // namespace
