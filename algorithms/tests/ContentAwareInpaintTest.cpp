#include "algorithms/InpaintAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using effecttest::Bytes;

void FillMask(CQLChannel& mask, int w, int h, int x0, int y0, int x1, int y1, BYTE value)
{
    if (mask.GetAreaByteSize() == 0) {
        mask.Create(w, h);
        std::memset(mask.GetBuffer(0, 0), 0, mask.GetAreaByteSize());
    }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            mask.Set(x, y, value);
}

HRESULT Inpaint(InpaintAlgorithm& fx, CQLImage& src, CQLImage& dst, CQLChannel* mask, int blockSize)
{
    fx.SetImages(&src, &dst);
    const InpaintParams p{mask, blockSize, 0, 1};
    return fx.Apply(&p);
}

// A 4 x 4 hole of colour 200 in a flat grey-100 area: every candidate costs 0,
// which must still win. Inside the block the feather is 255, so the paste
// weight is the mask value m: (m x 100 + (255 - m) x 200) / 255.
TEST(Inpaint, HoleInAFlatAreaIsFilledWeightedByTheMask)
{
    struct Case {
        BYTE maskValue;
        int filled;
    };
    for (const Case c : {Case{255, 100}, Case{192, 124}}) {
        CQLImage src, dst, expected;
        effecttest::MakeFlat(src, 40, 40, 100, 200);
        effecttest::MakeFlat(expected, 40, 40, 100, 200);
        for (int y = 18; y < 22; ++y)
            for (int x = 18; x < 22; ++x) {
                src.PutPixel(x, y, {200, 200, 200, 200});
                expected.PutPixel(x, y, {static_cast<BYTE>(c.filled), static_cast<BYTE>(c.filled),
                                         static_cast<BYTE>(c.filled), 200});
            }
        CQLChannel mask;
        FillMask(mask, 40, 40, 18, 18, 22, 22, c.maskValue);
        InpaintAlgorithm fx;
        ASSERT_EQ(Inpaint(fx, src, dst, &mask, 8), 0) << int(c.maskValue);
        EXPECT_EQ(Bytes(dst), Bytes(expected)) << int(c.maskValue);
    }
}

// A hole on the left edge runs on a copy padded with opaque black. The patch
// then holds black padding beside grey; the candidate straight above matches
// it exactly (cost 0), so the hole takes the grey of the image.
TEST(Inpaint, HoleAtTheBorderIsFilledThroughThePaddedCopy)
{
    CQLImage src, dst, expected;
    effecttest::MakeFlat(src, 30, 30, 100);
    effecttest::MakeFlat(expected, 30, 30, 100);
    for (int y = 10; y < 14; ++y)
        for (int x = 0; x < 4; ++x)
            src.PutPixel(x, y, {10, 220, 30, 255});
    CQLChannel mask;
    FillMask(mask, 30, 30, 0, 10, 4, 14, 255);
    InpaintAlgorithm fx;
    ASSERT_EQ(Inpaint(fx, src, dst, &mask, 4), 0);
    UINT w = 0, h = 0;
    dst.GetSize(&w, &h);
    ASSERT_EQ(w, 30u);
    ASSERT_EQ(h, 30u);
    EXPECT_EQ(Bytes(dst), Bytes(expected));
}

std::vector<int> g_reports;
InpaintAlgorithm* g_cancelling = nullptr; // cancelled at the first report when set
int Record(int, int value)
{
    g_reports.push_back(value);
    if (g_cancelling)
        g_cancelling->Cancel();
    return 0;
}

// The padded run reports through this object's range and stops on this
// object's cancel.
TEST(Inpaint, PaddedRunKeepsTheRangeAndTheCancel)
{
    CQLImage src, dst;
    effecttest::MakePattern(src, 30, 30);
    CQLChannel mask;
    FillMask(mask, 30, 30, 0, 10, 4, 14, 255);
    InpaintAlgorithm fx;
    fx.SetCallback(Record);
    fx.SetRange(10, 70);
    effecttest::ForgetLastProgress();
    g_reports.clear();
    g_cancelling = nullptr;
    ASSERT_EQ(Inpaint(fx, src, dst, &mask, 4), 0);
    ASSERT_FALSE(g_reports.empty());
    EXPECT_EQ(g_reports.front(), 16); // Progress 10 of 10..70
    EXPECT_EQ(g_reports.back(), 70);
    for (std::size_t i = 1; i < g_reports.size(); ++i)
        EXPECT_GT(g_reports[i], g_reports[i - 1]);

    effecttest::ForgetLastProgress();
    g_cancelling = &fx;
    EXPECT_EQ(Inpaint(fx, src, dst, &mask, 4), E_FAIL);
    g_cancelling = nullptr;
}

// width x height < 5 x the non-zero mask pixels is too large. Weight-only
// values (bit 7 clear) count but need no fill, so an accepted mask ends at
// once with the target a copy of the source.
TEST(Inpaint, MaskOfOneFifthIsAcceptedOnePixelMoreIsNot)
{
    CQLImage src, dst;
    effecttest::MakePattern(src, 20, 10);
    CQLChannel mask;
    FillMask(mask, 20, 10, 5, 3, 15, 7, 1); // 40 of 200 pixels
    InpaintAlgorithm fx;
    ASSERT_EQ(Inpaint(fx, src, dst, &mask, 4), 0);
    EXPECT_EQ(Bytes(dst), Bytes(src));

    mask.Set(15, 3, 1); // 41
    CQLImage untouched;
    effecttest::MakeFlat(untouched, 3, 2, 77, 66);
    const std::vector<BYTE> before = Bytes(untouched);
    EXPECT_EQ(Inpaint(fx, src, untouched, &mask, 4), InpaintAlgorithm::kCannotFill);
    EXPECT_EQ(Bytes(untouched), before);
}

TEST(Inpaint, RefusedInputsLeaveTheTargetAlone)
{
    CQLImage src;
    effecttest::MakePattern(src, 40, 40);
    CQLChannel mask, otherSize;
    FillMask(mask, 40, 40, 18, 18, 22, 22, 255);
    FillMask(otherSize, 40, 39, 18, 18, 22, 22, 255);
    struct Case {
        const char* what;
        CQLChannel* mask;
        int blockSize;
        HRESULT result;
    };
    const Case cases[] = {
        {"block size 1", &mask, 1, E_FAIL},
        {"block size 0", &mask, 0, E_FAIL},
        {"block larger than the photo", &mask, 41, E_FAIL},
        {"block size far beyond any image", &mask, 0x7FFFFFFF, E_FAIL},
        {"no mask", nullptr, 8, E_FAIL},
        {"mask of another size", &otherSize, 8, InpaintAlgorithm::kCannotFill},
    };
    for (const Case& c : cases) {
        CQLImage dst;
        effecttest::MakeFlat(dst, 3, 2, 77, 66);
        const std::vector<BYTE> before = Bytes(dst);
        InpaintAlgorithm fx;
        EXPECT_EQ(Inpaint(fx, src, dst, c.mask, c.blockSize), c.result) << c.what;
        EXPECT_EQ(Bytes(dst), before) << c.what;
    }
}

// Strokes of one pixel never keep a smoothed value above 229 at sigma 8.
// A square of side a keeps about erf(a / (2 sigma sqrt 2))^2 x 255 at its
// centre: 248 for a = 40 at sigma 8, so the estimate grows past 8 and with
// the side, up to the last doubling (64).
TEST(Inpaint, EstimateRadiusFollowsTheStrokeThickness)
{
    InpaintAlgorithm fx;
    CQLChannel thin, square40, square80;
    FillMask(thin, 120, 120, 10, 50, 110, 51, 255);
    EXPECT_EQ(fx.EstimateRadius(&thin), 8);
    EXPECT_EQ(fx.EstimateRadius(nullptr), 8);
    FillMask(square40, 120, 120, 40, 40, 80, 80, 255);
    FillMask(square80, 120, 120, 20, 20, 100, 100, 255);
    const int r40 = fx.EstimateRadius(&square40);
    const int r80 = fx.EstimateRadius(&square80);
    EXPECT_GT(r40, 8);
    EXPECT_GT(r80, r40);
    EXPECT_LE(r80, 64);
}

} // namespace
