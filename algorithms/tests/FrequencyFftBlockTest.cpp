#include "algorithms/FftBlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The transforms' twiddles use 6.2831852 for 2 pi, so exact values come back
// within about 1e-7 of their size.
constexpr double kTol = 1e-6;

void Fill(FftBlock& block, const std::vector<Complex>& values)
{
    ASSERT_EQ(values.size(), static_cast<std::size_t>(block.size * block.size));
    for (std::size_t i = 0; i < values.size(); ++i)
        block.data[i] = values[i];
}

void ExpectBlock(const FftBlock& block, const std::vector<Complex>& expected, double tol = kTol)
{
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(block.data[i].re, expected[i].re, tol) << "value " << i;
        EXPECT_NEAR(block.data[i].im, expected[i].im, tol) << "value " << i;
    }
}

TEST(FrequencyFftBlockTest, TwoByTwoIsSumsAndDifferences)
{
    // [[a, b], [c, d]] -> [[a+b+c+d, a-b+c-d], [a+b-c-d, a-b-c+d]].
    FftBlock block;
    ASSERT_EQ(block.Create(1), 1);
    EXPECT_EQ(block.size, 2);
    Fill(block, {{1, 0}, {2, 0}, {3, 0}, {5, 0}});
    block.Transform(1);
    ExpectBlock(block, {{11, 0}, {-3, 0}, {-5, 0}, {1, 0}});
    block.Transform(0);
    ExpectBlock(block, {{1, 0}, {2, 0}, {3, 0}, {5, 0}});
}

struct FourByFourCase {
    const char* name;
    std::vector<Complex> input;
    std::vector<Complex> spectrum; // sum of x[r][c] e^(-2 pi i (u r + v c) / 4)
};

std::vector<Complex> Impulse(int r, int c, Complex value = {1, 0})
{
    std::vector<Complex> v(16, Complex{0, 0});
    v[r * 4 + c] = value;
    return v;
}

std::vector<Complex> Constant(Complex value)
{
    return std::vector<Complex>(16, value);
}

// e^(-2 pi i k / 4) for k mod 4: 1, -i, -1, i.
Complex Turn(int k)
{
    static const Complex turns[4] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    return turns[((k % 4) + 4) % 4];
}

std::vector<Complex> ImpulseSpectrum(int r, int c)
{
    std::vector<Complex> v(16);
    for (int u = 0; u < 4; ++u)
        for (int w = 0; w < 4; ++w)
            v[u * 4 + w] = Turn(u * r + w * c);
    return v;
}

std::vector<Complex> RowWave()
{
    // x[r][c] = (-1)^c: all energy at u = 0, v = 2.
    std::vector<Complex> v(16);
    for (int i = 0; i < 16; ++i)
        v[i] = {(i % 2) ? -1.0 : 1.0, 0};
    return v;
}

class FrequencyFftBlockFourByFour : public ::testing::TestWithParam<FourByFourCase> {};

TEST_P(FrequencyFftBlockFourByFour, ForwardMatchesHandSpectrumAndInverseReturns)
{
    FftBlock block;
    ASSERT_EQ(block.Create(2), 1);
    Fill(block, GetParam().input);
    block.Transform(1);
    ExpectBlock(block, GetParam().spectrum);
    block.Transform(0);
    ExpectBlock(block, GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrequencyFftBlockFourByFour,
    ::testing::Values(FourByFourCase{"ImpulseAtOrigin", Impulse(0, 0), Constant({1, 0})},
                      FourByFourCase{"ImpulseInRowZero", Impulse(0, 1), ImpulseSpectrum(0, 1)},
                      FourByFourCase{"ImpulseInColumnZero", Impulse(2, 0), ImpulseSpectrum(2, 0)},
                      FourByFourCase{"ImpulseOffAxis", Impulse(1, 3), ImpulseSpectrum(1, 3)},
                      FourByFourCase{"ImaginaryImpulse", Impulse(0, 0, {0, 2}), Constant({0, 2})},
                      FourByFourCase{"Constant", Constant({3, 0}), Impulse(0, 0, {48, 0})},
                      FourByFourCase{"AlternatingColumns", RowWave(), Impulse(0, 2, {16, 0})}),
    [](const ::testing::TestParamInfo<FourByFourCase>& info) { return info.param.name; });

TEST(FrequencyFftBlockTest, RoundTripOfEverySizeReturnsTheBlock)
{
    for (int power = 0; power <= 9; ++power) {
        FftBlock block;
        ASSERT_EQ(block.Create(power), 1) << power;
        const int n = block.size;
        std::vector<Complex> input(static_cast<std::size_t>(n) * n);
        unsigned seed = 12345;
        for (Complex& v : input) {
            seed = seed * 1103515245u + 12345u;
            v = {static_cast<double>((seed >> 16) % 256), static_cast<double>((seed >> 8) % 7) - 3.0};
        }
        Fill(block, input);
        block.Transform(1);
        block.Transform(0);
        ExpectBlock(block, input, 1e-6 * 256);
    }
}

TEST(FrequencyFftBlockTest, LargeBlockAgreesWithOneDimensionalTransforms)
{
    // The 2-D transform of an outer product is the outer product of the 1-D
    // transforms: checks that rows and columns of a 256 x 256 block each get
    // their own transform.
    constexpr int kPower = 8, kN = 1 << kPower;
    std::vector<Complex> a(kN), b(kN), fa(kN), fb(kN);
    for (int i = 0; i < kN; ++i) {
        a[i] = {std::sin(i * 0.3) + (i % 5), 0};
        b[i] = {static_cast<double>((i * 7) % 11), 0};
    }
    ASSERT_TRUE(Fft(a.data(), fa.data(), kPower));
    ASSERT_TRUE(Fft(b.data(), fb.data(), kPower));
    FftBlock block;
    ASSERT_EQ(block.Create(kPower), 1);
    for (int r = 0; r < kN; ++r)
        for (int c = 0; c < kN; ++c)
            block.data[r * kN + c] = {a[r].re * b[c].re, 0};
    block.Transform(1);
    for (int r = 0; r < kN; r += 17)
        for (int c = 0; c < kN; c += 13) {
            const Complex x = fa[r], y = fb[c];
            const Complex& got = block.data[r * kN + c];
            EXPECT_NEAR(got.re, x.re * y.re - x.im * y.im, 1e-6 * 1e5) << r << "," << c;
            EXPECT_NEAR(got.im, x.re * y.im + x.im * y.re, 1e-6 * 1e5) << r << "," << c;
        }
}

TEST(FrequencyFftBlockTest, CreateRefusesSizesOutsideTheTransformAndKeepsTheOldBlock)
{
    FftBlock block;
    ASSERT_EQ(block.Create(2), 1);
    Complex* before = block.data;
    EXPECT_EQ(block.Create(10), 0);
    EXPECT_EQ(block.Create(-1), 0);
    EXPECT_EQ(block.data, before);
    EXPECT_EQ(block.power, 2);
    block.Free();
    EXPECT_EQ(block.data, nullptr);
    block.Transform(1); // no data: nothing happens
}

} // namespace
