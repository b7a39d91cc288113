// The quality search of "Save with Size ..." against fake encoders whose
// file size is a known function of the quality.
#include "editor/shell/JpegSizeSearch.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

namespace {

// A file of base + perStep bytes for each quality step.
JpegSizeSearch::Encoder Linear(DWORD base, DWORD perStep, std::vector<int>* calls = nullptr)
{
    auto lock = std::make_shared<std::mutex>();
    return [=](int q, DWORD* bytes) {
        if (calls) {
            std::lock_guard<std::mutex> hold(*lock);
            calls->push_back(q);
        }
        *bytes = base + perStep * static_cast<DWORD>(q);
        return true;
    };
}

// The highest quality whose file fits, by trying them all; the search's
// upper bound 100 is never tried itself, so 99 is its top.
int BestByHand(DWORD base, DWORD perStep, long long limit)
{
    int best = 0;
    for (int q = 1; q <= 99; ++q)
        if (base + perStep * static_cast<long long>(q) <= limit)
            best = q;
    return best;
}

}  // namespace

TEST(JpegSizeSearch, WantedSizeBelowFiveKilobytesSearchesForFive)
{
    EXPECT_EQ(JpegSizeSearch(3, 0).WantedKB(), 5);
    EXPECT_EQ(JpegSizeSearch(5, 0).WantedKB(), 5);
    EXPECT_EQ(JpegSizeSearch(200, 0).WantedKB(), 200);
    // 100 bytes a quality step: 5 KB holds quality 51, 3 KB would hold 30.
    EXPECT_EQ(JpegSizeSearch(3, 0).Run(Linear(0, 100), {}, 1), 51);
}

TEST(JpegSizeSearch, ExifBlockAndItsReserveCountInEveryFile)
{
    EXPECT_EQ(JpegSizeSearch(50, 0).Overhead(), 0);
    EXPECT_EQ(JpegSizeSearch(50, 20000).Overhead(), 20256);
    // 40 KB budget, 20256 bytes of EXIF: 20704 bytes left, 400 a step.
    EXPECT_EQ(JpegSizeSearch(40, 20000).Run(Linear(0, 400), {}, 1), 51);
}

TEST(JpegSizeSearch, NoneFitsGivesZero)
{
    std::vector<int> calls;
    EXPECT_EQ(JpegSizeSearch(5, 0).Run(Linear(10000, 10, &calls), {}, 1), 0);
    // Quality 0 is never encoded: it would be quality 100 with the colour offset.
    for (int q : calls)
        EXPECT_GE(q, 1);
}

TEST(JpegSizeSearch, NeverMoreThanEightRounds)
{
    for (DWORD perStep : {1u, 7u, 50u, 100u, 333u, 1000u, 5000u}) {
        for (int wanted : {5, 17, 100, 499}) {
            std::vector<int> calls;
            std::vector<int> bars;
            JpegSizeSearch(wanted, 0).Run(Linear(0, perStep, &calls), [&](int v) { bars.push_back(v); }, 1);
            EXPECT_LE(calls.size(), 8u) << perStep << " " << wanted;
            EXPECT_LE(bars.size(), 8u);
            for (int v : bars) {
                EXPECT_GE(v, 0);
                EXPECT_LE(v, 100);
            }
        }
    }
}

// Seven rounds are enough to pin any quality of a growing size curve.
TEST(JpegSizeSearch, FindsTheHighestQualityThatFits)
{
    struct Case {
        DWORD base, perStep;
        int wantedKB;
    };
    const Case cases[] = {{0, 100, 5}, {2000, 97, 9}, {1000, 1000, 50}, {0, 10, 200}, {40000, 500, 60}, {0, 3, 5}};
    for (const Case& c : cases) {
        const int found = JpegSizeSearch(c.wantedKB, 0).Run(Linear(c.base, c.perStep), {}, 1);
        EXPECT_EQ(found, BestByHand(c.base, c.perStep, c.wantedKB * 1024LL)) << c.base << " " << c.perStep;
    }
}

// A file just over the wanted size does not fit, though its size in whole
// kilobytes equals it.
TEST(JpegSizeSearch, SizeIsComparedInBytes)
{
    auto encoder = [](int q, DWORD* bytes) {
        *bytes = q >= 50 ? 10 * 1024 + 500 : 9 * 1024;
        return true;
    };
    EXPECT_EQ(JpegSizeSearch(10, 0).Run(encoder, {}, 1), 49);
}

TEST(JpegSizeSearch, EncoderFailureEndsTheSearch)
{
    auto failing = [](int q, DWORD* bytes) {
        *bytes = 100;
        return q != 75;
    };
    EXPECT_EQ(JpegSizeSearch(100, 0).Run(failing, {}, 1), -1);
    EXPECT_EQ(JpegSizeSearch(100, 0).Run(failing, {}, 3), -1);
    // A failure in a quality the search never reaches is not an error.
    auto failsHigh = [](int q, DWORD* bytes) {
        *bytes = static_cast<DWORD>(q) * 1000;
        return q != 75;
    };
    EXPECT_EQ(JpegSizeSearch(30, 0).Run(failsHigh, {}, 1), JpegSizeSearch(30, 0).Run(failsHigh, {}, 3));
}

// Encoding the next round's two candidates ahead changes nothing the user
// sees: the same answer and the same progress steps.
TEST(JpegSizeSearch, ParallelSearchMatchesOneByOne)
{
    for (DWORD perStep : {3u, 50u, 97u, 400u, 2500u}) {
        for (int wanted : {5, 12, 64, 150, 400}) {
            std::vector<int> one, three;
            const int a = JpegSizeSearch(wanted, 1000).Run(Linear(500, perStep), [&](int v) { one.push_back(v); }, 1);
            const int b =
                JpegSizeSearch(wanted, 1000).Run(Linear(500, perStep), [&](int v) { three.push_back(v); }, 3);
            EXPECT_EQ(a, b) << perStep << " " << wanted;
            EXPECT_EQ(one, three) << perStep << " " << wanted;
        }
    }
}
