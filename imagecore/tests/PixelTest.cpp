#include "imagecore/Pixel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PixelTest, EqualityIgnoresAlpha)
{
    EXPECT_TRUE((CPixel{1, 2, 3, 4} == CPixel{1, 2, 3, 200}));
    EXPECT_FALSE((CPixel{1, 2, 3, 4} != CPixel{1, 2, 3, 200}));
    EXPECT_TRUE((CPixel{1, 2, 3, 4} != CPixel{1, 2, 4, 4}));
    EXPECT_TRUE((CPixel{1, 2, 3, 4} != CPixel{0, 2, 3, 4}));
}

TEST(PixelTest, DifferenceIsSumOfAbsoluteColourDifferences)
{
    EXPECT_EQ((CPixel{10, 20, 30, 0} - CPixel{13, 15, 30, 99}), 3 + 5 + 0);
    EXPECT_EQ((CPixel{0, 0, 0, 0} - CPixel{255, 255, 255, 0}), 765);
    EXPECT_EQ((CPixel{255, 255, 255, 0} - CPixel{0, 0, 0, 255}), 765);
}

struct AddCase {
    CPixel start;
    bool subtract;
    int value;
    CPixel expected;
};

TEST(PixelTest, AddAndSubtractClampEachColourAndKeepAlpha)
{
    const std::vector<AddCase> cases = {
        {{10, 100, 250, 7}, false, 10, {20, 110, 255, 7}},
        {{10, 100, 250, 7}, true, 20, {0, 80, 230, 7}},
        {{10, 100, 250, 7}, false, -20, {0, 80, 230, 7}},
        {{0, 128, 255, 9}, false, 1000, {255, 255, 255, 9}},
        {{0, 128, 255, 9}, true, 1000, {0, 0, 0, 9}},
        {{1, 2, 3, 4}, false, 0x7fffffff, {255, 255, 255, 4}},
        {{1, 2, 3, 4}, true, 0x7fffffff, {0, 0, 0, 4}},
    };
    for (const AddCase& c : cases) {
        CPixel p = c.start;
        if (c.subtract)
            p -= c.value;
        else
            p += c.value;
        const std::string what = (c.subtract ? "-= " : "+= ") + std::to_string(c.value);
        EXPECT_EQ(p.b, c.expected.b) << what;
        EXPECT_EQ(p.g, c.expected.g) << what;
        EXPECT_EQ(p.r, c.expected.r) << what;
        EXPECT_EQ(p.a, c.expected.a) << what;
    }
}

TEST(PixelTest, GetGrayStoresIntoAlphaGetGray2ChangesNothing)
{
    CPixel p{7, 200, 100, 1}; // (6*200 + 3*100 + 7) / 10 = 150
    EXPECT_EQ(p.GetGray2(), 150);
    EXPECT_EQ(p.a, 1);
    EXPECT_EQ(p.GetGray(), 150);
    EXPECT_EQ(p.a, 150);
    EXPECT_EQ((CPixel{255, 255, 255, 0}.GetGray2()), 255);
}

} // namespace
