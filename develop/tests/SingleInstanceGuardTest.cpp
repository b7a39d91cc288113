#include "develop/SingleInstanceGuard.h"

#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

using develop::SingleInstanceGuard;

std::string UniqueName(const char* what) { return std::string("QuilloDevelopTest-") + what + std::to_string(::getpid()); }

TEST(SingleInstanceGuard, SecondCopyIsRefusedUntilTheFirstEnds)
{
    const std::string name = UniqueName("guard");
    {
        SingleInstanceGuard first;
        ASSERT_TRUE(first.Acquire(name.c_str()));
        EXPECT_TRUE(first.IsHeld());
        SingleInstanceGuard second;
        EXPECT_FALSE(second.Acquire(name.c_str()));
        EXPECT_FALSE(second.IsHeld());
        SingleInstanceGuard other;
        EXPECT_TRUE(other.Acquire(UniqueName("other").c_str())) << "another name is another program";
    }
    SingleInstanceGuard again;
    EXPECT_TRUE(again.Acquire(name.c_str())) << "released with the first";
}

TEST(SingleInstanceGuard, SecondCopyRestoresAWindowOfThatName)
{
    const std::string name = UniqueName("window");
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), name.c_str(), WS_POPUP, 0, 0, 40, 30, nullptr, nullptr));
    EXPECT_FALSE(wnd.IsWindowVisible());
    SingleInstanceGuard first, second;
    ASSERT_TRUE(first.Acquire(name.c_str()));
    EXPECT_FALSE(wnd.IsWindowVisible()) << "the first copy shows nothing";
    EXPECT_FALSE(second.Acquire(name.c_str()));
    EXPECT_TRUE(wnd.IsWindowVisible());
    wnd.DestroyWindow();
}

TEST(SingleInstanceGuard, ProgramName)
{
    EXPECT_STREQ(develop::kInstanceMutexName, "OrvantaQuilloDevelop");
}

} // namespace
