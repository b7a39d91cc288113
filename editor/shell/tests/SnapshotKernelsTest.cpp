// The vector paths of the snapshot codec against the scalar one, byte for
// byte, on random rows and on widths that are not a multiple of any vector.
#include "editor/shell/SnapshotCodec.h"
#include "editor/shell/SnapshotKernels.h"
#include "imagecore/QLImage.h"
#include "imagecore/Simd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using imagecore::SimdLevel;

constexpr SimdLevel kVectorLevels[] = {SimdLevel::Sse4, SimdLevel::Avx2};
constexpr std::size_t kWidths[] = {0, 1, 2, 15, 16, 17, 31, 32, 33, 63, 64, 65, 97, 127, 128, 129, 1000, 4099};

bool Runs(SimdLevel level)
{
    return static_cast<int>(level) <= static_cast<int>(imagecore::CpuSimdLevel());
}

// Random values with long stretches of equal high or low nibbles, so that
// change bitmaps and run lengths see both runs and noise.
std::vector<BYTE> Values(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<BYTE> v(n);
    BYTE cur = static_cast<BYTE>(rng());
    for (BYTE& b : v) {
        const unsigned r = rng() % 8;
        if (r == 0)
            cur = static_cast<BYTE>(rng());
        else if (r == 1)
            cur = static_cast<BYTE>((cur & 0xF0) | (rng() & 0x0F));
        b = cur;
    }
    return v;
}

TEST(SnapshotKernels, EveryLevelGivesTheScalarBytes)
{
    for (std::size_t n : kWidths) {
        const std::vector<BYTE> pixels = Values(4 * n, unsigned(n));
        const std::vector<BYTE> values = Values(n, unsigned(n) + 99);
        const std::vector<BYTE> packedHigh = Values(n / 2 + 1, unsigned(n) + 7);

        // Scalar results.
        std::vector<BYTE> sb(n), sg(n), sr(n), sa(n), merged(4 * n);
        snapshotkernels::SplitPixels(pixels.data(), n, sb.data(), sg.data(), sr.data(), sa.data(), SimdLevel::Scalar);
        snapshotkernels::MergePixels(sr.data(), sb.data(), sa.data(), sg.data(), n, merged.data(), SimdLevel::Scalar);
        const std::size_t words = snapshotkernels::BitmapWords(n);
        std::vector<std::uint64_t> hiBits(words), loBits(words);
        std::size_t hiCount = 0, loCount = 0;
        snapshotkernels::ChangeBits(values.data(), n, hiBits.data(), loBits.data(), &hiCount, &loCount,
                                    SimdLevel::Scalar);
        std::vector<BYTE> packHi(n / 2 + 1), packLo(n / 2 + 1);
        snapshotkernels::PackNibbles(values.data(), n, packHi.data(), true, SimdLevel::Scalar);
        snapshotkernels::PackNibbles(values.data(), n, packLo.data(), false, SimdLevel::Scalar);
        std::vector<BYTE> unpacked(n);
        snapshotkernels::UnpackNibbles(packedHigh.data(), n, unpacked.data(), true, SimdLevel::Scalar);
        snapshotkernels::UnpackNibbles(packLo.data(), n, unpacked.data(), false, SimdLevel::Scalar);
        std::vector<BYTE> ored(values);
        snapshotkernels::OrBytes(ored.data(), pixels.data(), n, SimdLevel::Scalar);

        for (SimdLevel level : kVectorLevels) {
            if (!Runs(level))
                continue;
            SCOPED_TRACE(testing::Message() << "level " << int(level) << " n " << n);
            std::vector<BYTE> b(n), g(n), r(n), a(n), m(4 * n);
            snapshotkernels::SplitPixels(pixels.data(), n, b.data(), g.data(), r.data(), a.data(), level);
            EXPECT_TRUE(b == sb && g == sg && r == sr && a == sa);
            snapshotkernels::SplitPixels(pixels.data(), n, b.data(), g.data(), r.data(), nullptr, level);
            EXPECT_TRUE(b == sb && g == sg && r == sr);
            snapshotkernels::MergePixels(sr.data(), sb.data(), sa.data(), sg.data(), n, m.data(), level);
            EXPECT_EQ(m, merged);

            std::vector<std::uint64_t> hb(words, ~0ull), lb(words, ~0ull); // stale bits must go
            std::size_t hc = 0, lc = 0;
            snapshotkernels::ChangeBits(values.data(), n, hb.data(), lb.data(), &hc, &lc, level);
            EXPECT_EQ(hb, hiBits);
            EXPECT_EQ(lb, loBits);
            EXPECT_EQ(hc, hiCount);
            EXPECT_EQ(lc, loCount);

            std::vector<BYTE> ph(n / 2 + 1), pl(n / 2 + 1);
            EXPECT_EQ(snapshotkernels::PackNibbles(values.data(), n, ph.data(), true, level), (n + 1) / 2);
            snapshotkernels::PackNibbles(values.data(), n, pl.data(), false, level);
            EXPECT_EQ(ph, packHi);
            EXPECT_EQ(pl, packLo);

            std::vector<BYTE> u(n, 0xEE); // the high pass overwrites whatever was there
            snapshotkernels::UnpackNibbles(packedHigh.data(), n, u.data(), true, level);
            snapshotkernels::UnpackNibbles(packLo.data(), n, u.data(), false, level);
            EXPECT_EQ(u, unpacked);

            std::vector<BYTE> o(values);
            snapshotkernels::OrBytes(o.data(), pixels.data(), n, level);
            EXPECT_EQ(o, ored);
        }
    }
}

// Run-length streams of random runs: the size is found at every level, and
// a stream cut anywhere is refused at every level.
TEST(SnapshotKernels, RunStreamSizeAtEveryLevel)
{
    std::mt19937 rng(5);
    for (std::size_t n : kWidths) {
        std::vector<BYTE> stream;
        for (std::size_t filled = 0; filled < n;) {
            const BYTE run = static_cast<BYTE>(rng() % 16); // runs of 0 occur in damaged blocks
            stream.push_back(static_cast<BYTE>(run << 4 | (rng() & 15)));
            filled += run;
        }
        const std::size_t whole = stream.size();
        stream.resize(whole + 40, 0xFF); // what follows the stream in a block
        for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse4, SimdLevel::Avx2}) {
            if (!Runs(level))
                continue;
            bool ok = false;
            EXPECT_EQ(snapshotkernels::RunStreamSize(stream.data(), stream.size(), n, ok, level), whole)
                << "level " << int(level) << " n " << n;
            EXPECT_TRUE(ok);
            if (whole > 0) {
                snapshotkernels::RunStreamSize(stream.data(), whole - 1, n, ok, level);
                EXPECT_FALSE(ok) << "level " << int(level) << " n " << n;
            }
        }
    }
}

// Random runs (runs of 0 among them) expand to the scalar bytes at every
// level, slack included, and end at the same byte, with the stream ending
// where the memory does.
TEST(SnapshotKernels, ExpandRunsAtEveryLevel)
{
    std::mt19937 rng(11);
    for (std::size_t n : kWidths) {
        for (const unsigned longest : {1u, 4u, 15u}) {
            std::vector<BYTE> stream;
            for (std::size_t filled = 0; filled < n;) {
                const BYTE run = static_cast<BYTE>(rng() % (longest + 1));
                stream.push_back(static_cast<BYTE>(run << 4 | (rng() & 15)));
                filled += run;
            }
            for (const bool high : {true, false}) {
                std::vector<BYTE> want(n + 16, 0xA5);
                const BYTE* wantEnd = snapshotkernels::ExpandRuns(stream.data(), stream.data() + stream.size(), n,
                                                                  want.data(), high, SimdLevel::Scalar);
                EXPECT_EQ(wantEnd, stream.data() + stream.size());
                for (SimdLevel level : kVectorLevels) {
                    if (!Runs(level))
                        continue;
                    std::vector<BYTE> got(n + 16, 0xA5);
                    EXPECT_EQ(snapshotkernels::ExpandRuns(stream.data(), stream.data() + stream.size(), n, got.data(),
                                                          high, level),
                              wantEnd);
                    EXPECT_EQ(got, want) << "level " << int(level) << " n " << n << " high " << high;
                }
            }
        }
    }
}

// Without an alpha plane the merge keeps the pixels' alpha at every level.
TEST(SnapshotKernels, MergeKeepsTheAlphaItIsNotGiven)
{
    for (std::size_t n : kWidths) {
        const std::vector<BYTE> planes = Values(3 * n, unsigned(n) + 3);
        const std::vector<BYTE> before = Values(4 * n, unsigned(n) + 4);
        for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse4, SimdLevel::Avx2}) {
            if (!Runs(level))
                continue;
            std::vector<BYTE> px(before);
            snapshotkernels::MergePixels(planes.data(), planes.data() + n, planes.data() + 2 * n, nullptr, n,
                                         px.data(), level);
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_EQ(px[4 * i], planes[i]) << int(level);
                ASSERT_EQ(px[4 * i + 1], planes[n + i]) << int(level);
                ASSERT_EQ(px[4 * i + 2], planes[2 * n + i]) << int(level);
                ASSERT_EQ(px[4 * i + 3], before[4 * i + 3]) << int(level);
            }
        }
    }
}

// Row starts found over many ranges at once are those of the plain walk
// (one range), on good blocks, blocks cut short, damaged blocks and bytes
// that look like rows everywhere.
TEST(SnapshotKernels, RowStartsDoNotDependOnTheRanges)
{
    struct Block {
        std::vector<BYTE> bytes;
        std::size_t n, rows;
    };
    std::vector<Block> blocks;
    for (const UINT width : {1u, 5u, 40u, 301u}) {
        for (const int kind : {0, 1, 2}) {
            const UINT height = 60;
            CQLImage image;
            ASSERT_EQ(image.Create(width, height), 0);
            const std::vector<BYTE> noise = Values(image.GetAreaByteSize(), width + kind);
            for (std::size_t i = 0; i < noise.size(); ++i) // smooth, noisy or dark and noisy
                image.GetBuffer(0, 0)[i] = kind == 0 ? BYTE(i / 4 % width / 16) : kind == 1 ? noise[i] : BYTE(noise[i] & 3);
            BYTE* block = nullptr;
            DWORD length = 0;
            ASSERT_EQ(SnapshotCodec::Encode(&image, &block, &length), 1);
            blocks.push_back({std::vector<BYTE>(block, block + length), width, std::size_t{height} * 3});
            delete[] block;
        }
    }
    std::mt19937 rng(3);
    const std::size_t good = blocks.size();
    for (std::size_t b = 0; b < good; ++b) {
        Block cut = blocks[b];
        cut.bytes.resize(cut.bytes.size() - 1 - rng() % 40);
        blocks.push_back(cut);
        Block flipped = blocks[b];
        for (int k = 0; k < 20; ++k)
            flipped.bytes[SnapshotCodec::kHeaderSize + rng() % (flipped.bytes.size() - SnapshotCodec::kHeaderSize)] =
                BYTE(rng() % 5);
        blocks.push_back(flipped);
    }
    for (const BYTE fill : {BYTE(0x00), BYTE(0x02), BYTE(0x03), BYTE(0x13)})
        blocks.push_back({std::vector<BYTE>(5000, fill), 40, 300});
    std::vector<BYTE> mixed(20000);
    for (BYTE& x : mixed)
        x = BYTE(rng() % 4 == 0 ? rng() % 4 : rng());
    blocks.push_back({mixed, 33, 200});

    for (const Block& block : blocks) {
        std::vector<std::size_t> want;
        const bool wantOk = snapshotkernels::FindRowStarts(block.bytes.data(), block.bytes.size(),
                                                           SnapshotCodec::kHeaderSize, block.rows, block.n, 1, want,
                                                           SimdLevel::Scalar);
        for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse4, SimdLevel::Avx2}) {
            if (!Runs(level))
                continue;
            for (const std::size_t segments : {1u, 2u, 3u, 7u, 64u, 1000u}) {
                SCOPED_TRACE(testing::Message() << "level " << int(level) << " segments " << segments << " n "
                                                << block.n << " size " << block.bytes.size());
                std::vector<std::size_t> got;
                const bool ok = snapshotkernels::FindRowStarts(block.bytes.data(), block.bytes.size(),
                                                               SnapshotCodec::kHeaderSize, block.rows, block.n,
                                                               segments, got, level);
                ASSERT_EQ(ok, wantOk);
                if (ok) {
                    ASSERT_EQ(got, want);
                }
            }
        }
    }
}

// Whole blocks: the same bytes at every level, and each level decodes them.
TEST(SnapshotKernels, BlocksAreTheSameAtEveryLevel)
{
    struct Case {
        UINT width, height;
        BOOL alpha;
    };
    for (const Case c : {Case{1, 3, FALSE}, Case{77, 9, FALSE}, Case{130, 4, TRUE}, Case{517, 6, FALSE}}) {
        CQLImage image;
        ASSERT_EQ(image.Create(c.width, c.height), 0);
        const std::vector<BYTE> bytes = Values(image.GetAreaByteSize(), c.width);
        std::memcpy(image.GetBuffer(0, 0), bytes.data(), bytes.size());
        const auto encode = [&] {
            BYTE* block = nullptr;
            DWORD length = 0;
            EXPECT_EQ(SnapshotCodec::Encode(&image, &block, &length, c.alpha), 1);
            std::vector<BYTE> out(block, block + length);
            delete[] block;
            return out;
        };
        std::vector<BYTE> scalar;
        {
            imagecore::ScopedSimdCeiling ceiling(SimdLevel::Scalar);
            scalar = encode();
        }
        for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse4, SimdLevel::Avx2}) {
            if (!Runs(level))
                continue;
            SCOPED_TRACE(testing::Message() << "level " << int(level) << " width " << c.width);
            imagecore::ScopedSimdCeiling ceiling(level);
            EXPECT_EQ(encode(), scalar);
            // Into a new image and over one of the same size with its own alpha.
            CQLImage fresh, same;
            ASSERT_EQ(same.Create(c.width, c.height), 0);
            std::memset(same.GetBuffer(0, 0), 0x5C, same.GetAreaByteSize());
            ASSERT_EQ(SnapshotCodec::Decode(&fresh, scalar.data(), DWORD(scalar.size())), 1);
            ASSERT_EQ(SnapshotCodec::Decode(&same, scalar.data(), DWORD(scalar.size())), 1);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const bool alphaByte = i % 4 == 3;
                const bool masked = c.alpha && bytes[i - i % 4 + 3] == 0;
                const BYTE wantFresh = alphaByte && !c.alpha ? 255 : (masked && !alphaByte ? 0 : bytes[i]);
                const BYTE wantSame = (alphaByte && !c.alpha) || (masked && !alphaByte) ? 0x5C : bytes[i];
                if (!(masked && !alphaByte)) {
                    ASSERT_EQ(fresh.GetBuffer(0, 0)[i], wantFresh) << i;
                }
                ASSERT_EQ(same.GetBuffer(0, 0)[i], wantSame) << i;
            }
        }
    }
}

} // namespace
