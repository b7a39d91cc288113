#include "editor/shell/SnapshotCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<BYTE> Encode(const CQLImage& image, BOOL alpha = FALSE)
{
    BYTE* block = nullptr;
    DWORD length = 0;
    EXPECT_EQ(SnapshotCodec::Encode(&image, &block, &length, alpha), 1);
    std::vector<BYTE> out(block, block + length);
    delete[] block;
    return out;
}

void Fill(CQLImage& image, UINT w, UINT h, BYTE b, BYTE g, BYTE r, BYTE a = 255)
{
    ASSERT_EQ(image.Create(w, h), 0);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            image.PutPixel(int(x), int(y), CPixel{b, g, r, a});
}

std::vector<BYTE> Header(DWORD w, DWORD h, BYTE alpha)
{
    std::vector<BYTE> v = {BYTE(w), BYTE(w >> 8), BYTE(w >> 16), BYTE(w >> 24),
                           BYTE(h), BYTE(h >> 8), BYTE(h >> 16), BYTE(h >> 24), alpha};
    for (char c : std::string("Reserved"))
        v.push_back(BYTE(c));
    return v;
}

TEST(SnapshotCodec, EqualRowCodesAsTwoRuns)
{
    CQLImage image;
    Fill(image, 8, 1, 0x37, 0x37, 0x37);
    std::vector<BYTE> want = Header(8, 1, 0);
    for (int plane = 0; plane < 3; ++plane)
        want.insert(want.end(), {0x03, 0x83, 0x87});
    EXPECT_EQ(Encode(image), want);
}

TEST(SnapshotCodec, AlternatingHighNibblesArePacked)
{
    CQLImage image;
    ASSERT_EQ(image.Create(40, 1), 0);
    for (int x = 0; x < 40; ++x)
        image.PutPixel(x, 0, CPixel{0, 0, BYTE(x % 2 ? 0x15 : 0x05), 255});
    const std::vector<BYTE> block = Encode(image);
    // Red: mode 0, 20 bytes of 0x01 (high 0 then 1) and 20 of 0x55.
    ASSERT_GE(block.size(), 17u + 41);
    EXPECT_EQ(block[17], 0);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(block[18 + i], 0x01);
        EXPECT_EQ(block[38 + i], 0x55);
    }
    // Green and blue are 40 zeros: runs 15, 15, 10 in each stream.
    const std::vector<BYTE> flat = {0x03, 0xF0, 0xF0, 0xA0, 0xF0, 0xF0, 0xA0};
    EXPECT_EQ(std::vector<BYTE>(block.begin() + 58, block.end()),
              [&] { std::vector<BYTE> v(flat); v.insert(v.end(), flat.begin(), flat.end()); return v; }());
}

TEST(SnapshotCodec, OnePixelBlockIs26Bytes)
{
    CQLImage image;
    Fill(image, 1, 1, 0x12, 0x34, 0x56);
    std::vector<BYTE> want = Header(1, 1, 0);
    want.insert(want.end(), {0x00, 0x50, 0x60, 0x00, 0x30, 0x40, 0x00, 0x10, 0x20});
    const std::vector<BYTE> block = Encode(image);
    EXPECT_EQ(block.size(), 26u);
    EXPECT_EQ(block, want);

    CQLImage back;
    ASSERT_EQ(SnapshotCodec::Decode(&back, block.data(), DWORD(block.size())), 1);
    EXPECT_EQ(back.GetPixel2(0, 0), (CPixel{0x12, 0x34, 0x56, 0}));
}

TEST(SnapshotCodec, AlphaZeroPixelsTakeNoNibbles)
{
    CQLImage image;
    ASSERT_EQ(image.Create(4, 1), 0);
    const BYTE alphas[4] = {0xFF, 0x00, 0x00, 0xFF};
    for (int x = 0; x < 4; ++x)
        image.PutPixel(x, 0, CPixel{0x11, 0x11, 0x11, alphas[x]});
    std::vector<BYTE> want = Header(4, 1, 1);
    // Alpha F,0,0,F: three high runs > t = 1, so packed.
    want.insert(want.end(), {0x00, 0xF0, 0x0F, 0xF0, 0x0F});
    // Each colour row codes two pixels: one run of two in each stream.
    for (int plane = 0; plane < 3; ++plane)
        want.insert(want.end(), {0x03, 0x21, 0x21});
    const std::vector<BYTE> block = Encode(image, TRUE);
    EXPECT_EQ(block, want);

    // Masked pixels keep what the target held.
    CQLImage target;
    Fill(target, 4, 1, 0x99, 0x88, 0x77, 0x00);
    ASSERT_EQ(SnapshotCodec::Decode(&target, block.data(), DWORD(block.size())), 1);
    EXPECT_EQ(target.GetPixel2(0, 0), (CPixel{0x11, 0x11, 0x11, 0xFF}));
    EXPECT_EQ(target.GetPixel2(1, 0), (CPixel{0x99, 0x88, 0x77, 0x00}));
    EXPECT_EQ(target.GetPixel2(3, 0).a, 0xFF);
}

TEST(SnapshotCodec, OddRowEndingTheBlockIsRestored)
{
    // Width 3, noisy: every row packed, the last blue byte sits in the last
    // byte of the block (upper nibble of the high and low streams' last byte).
    CQLImage image;
    ASSERT_EQ(image.Create(3, 2), 0);
    const BYTE v[6] = {0x1F, 0xE2, 0x3D, 0xC4, 0x5B, 0xA6};
    for (int i = 0; i < 6; ++i)
        image.PutPixel(i % 3, i / 3, CPixel{v[i], BYTE(v[i] ^ 0xFF), v[(i + 1) % 6], 255});
    const std::vector<BYTE> block = Encode(image);
    EXPECT_EQ(block.back(), BYTE(0xA6 << 4));
    CQLImage back;
    ASSERT_EQ(SnapshotCodec::Decode(&back, block.data(), DWORD(block.size())), 1);
    EXPECT_EQ(back.GetPixel2(2, 1).b, 0xA6);
}

struct RoundTripCase {
    UINT width, height;
    int smoothness; // 0 noise, else the gradient's step
    BOOL alpha;
};

class SnapshotRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SnapshotRoundTrip, DecodesWhatWasEncoded)
{
    const RoundTripCase c = GetParam();
    std::mt19937 rng(c.width * 131 + c.height);
    CQLImage image;
    ASSERT_EQ(image.Create(c.width, c.height), 0);
    for (UINT y = 0; y < c.height; ++y)
        for (UINT x = 0; x < c.width; ++x) {
            const BYTE noise = BYTE(rng());
            const BYTE base = c.smoothness ? BYTE((x + y) / c.smoothness * 3) : noise;
            image.PutPixel(int(x), int(y),
                           CPixel{BYTE(base ^ (noise & 3)), base, BYTE(255 - base), BYTE(rng() % 3 ? 255 : 0)});
        }
    const std::vector<BYTE> block = Encode(image, c.alpha);
    CQLImage back;
    ASSERT_EQ(SnapshotCodec::Decode(&back, block.data(), DWORD(block.size())), 1);
    UINT w = 0, h = 0;
    back.GetSize(&w, &h);
    ASSERT_EQ(w, c.width);
    ASSERT_EQ(h, c.height);
    for (UINT y = 0; y < c.height; ++y)
        for (UINT x = 0; x < c.width; ++x) {
            const CPixel a = image.GetPixel2(int(x), int(y));
            const CPixel b = back.GetPixel2(int(x), int(y));
            if (c.alpha && a.a == 0) {
                ASSERT_EQ(b.a, 0);
                continue;
            }
            ASSERT_EQ(a, b) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SnapshotRoundTrip,
                         ::testing::Values(RoundTripCase{1, 1, 0, FALSE}, RoundTripCase{2, 3, 0, FALSE},
                                           RoundTripCase{17, 5, 0, FALSE}, RoundTripCase{64, 9, 7, FALSE},
                                           RoundTripCase{301, 40, 50, FALSE}, RoundTripCase{33, 33, 0, TRUE},
                                           RoundTripCase{90, 12, 20, TRUE}, RoundTripCase{1000, 300, 9, FALSE}));

TEST(SnapshotCodec, ZeroWidthImageKeepsItsRows)
{
    CQLImage image;
    ASSERT_EQ(image.Create(0, 2), 0);
    const std::vector<BYTE> block = Encode(image);
    EXPECT_EQ(block.size(), 17u + 6); // six rows of a lone mode byte
    CQLImage back;
    EXPECT_EQ(SnapshotCodec::Decode(&back, block.data(), DWORD(block.size())), 1);
}

// A block cut anywhere, or with a bad mode or flag, is refused and the
// image keeps its pixels.
TEST(SnapshotCodec, DamagedBlocksLeaveTheImageAlone)
{
    CQLImage image;
    ASSERT_EQ(image.Create(9, 4), 0);
    for (int i = 0; i < 36; ++i)
        image.PutPixel(i % 9, i / 9, CPixel{BYTE(i * 7), BYTE(i * 3), BYTE(i), 255});
    const std::vector<BYTE> block = Encode(image);

    CQLImage target;
    Fill(target, 9, 4, 1, 2, 3);
    for (std::size_t cut = 0; cut < block.size(); ++cut) {
        ASSERT_EQ(SnapshotCodec::Decode(&target, block.data(), DWORD(cut)), 0) << cut;
        ASSERT_EQ(target.GetPixel2(8, 3), (CPixel{1, 2, 3, 255}));
    }
    std::vector<BYTE> badMode = block;
    badMode[17] = 4;
    EXPECT_EQ(SnapshotCodec::Decode(&target, badMode.data(), DWORD(badMode.size())), 0);
    std::vector<BYTE> badFlag = block;
    badFlag[8] = 2;
    EXPECT_EQ(SnapshotCodec::Decode(&target, badFlag.data(), DWORD(badFlag.size())), 0);
    // A claimed size far beyond the block fails before anything is allocated.
    std::vector<BYTE> huge = block;
    huge[4] = huge[5] = huge[6] = 0xFF;
    EXPECT_EQ(SnapshotCodec::Decode(&target, huge.data(), DWORD(huge.size())), 0);
    EXPECT_EQ(target.GetPixel2(0, 0), (CPixel{1, 2, 3, 255}));
    UINT w = 0, h = 0;
    target.GetSize(&w, &h);
    EXPECT_EQ(w, 9u);
    EXPECT_EQ(h, 4u);
}

TEST(SnapshotCodec, ReaderAcceptsModeOne)
{
    // Two pixels 0x12 and 0x34 as mode 1: high packed, low run-length coded.
    std::vector<BYTE> block = Header(2, 1, 0);
    block.insert(block.end(), {0x01, 0x13, 0x12, 0x14});
    for (int plane = 0; plane < 2; ++plane)
        block.insert(block.end(), {0x03, 0x20, 0x20});
    CQLImage back;
    ASSERT_EQ(SnapshotCodec::Decode(&back, block.data(), DWORD(block.size())), 1);
    EXPECT_EQ(back.GetPixel2(0, 0).r, 0x12);
    EXPECT_EQ(back.GetPixel2(1, 0).r, 0x34);
}

} // namespace
