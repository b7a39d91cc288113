#include "platform/win/Timing.h"

#include <gtest/gtest.h>

TEST(Timing, TickCountAdvancesAcrossSleep)
{
    const DWORD start = GetTickCount();
    Sleep(20);
    EXPECT_GE(static_cast<DWORD>(GetTickCount() - start), 20u);
}
