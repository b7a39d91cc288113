// Effects on a dialog's preview run on the process's one pool of threads:
// applying again starts no thread.
#include "algorithms/UnsharpMaskAlgorithm.h"
#include "algorithms/tests/EffectTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::size_t ThreadsOfProcess()
{
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++n;
    }
    return n;
}

TEST(PreviewThreads, ApplyingAgainOnAOneMegapixelPreviewStartsNoThread)
{
    CQLImage source, target;
    effecttest::MakePattern(source, 1224, 816);
    UnsharpMaskAlgorithm fx;
    fx.SetImages(&source, &target);
    fx.SetRange(0, 100);
    const UnsharpMaskParams p = {3, 96, 4};
    ASSERT_EQ(fx.Apply(&p), 0);
    const std::size_t threads = ThreadsOfProcess();
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(fx.Apply(&p), 0);
    EXPECT_EQ(ThreadsOfProcess(), threads);
}

} // namespace
