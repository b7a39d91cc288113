#include "platform/win/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GlobalMemory, BlockIsZeroedSizedAndWritableUntilFreed)
{
    HGLOBAL block = GlobalAlloc(GHND, 40);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 40u);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(bytes[i], 0);
    std::memset(bytes, 0xAB, 40);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(block))[39], 0xAB);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, HandlesThatAreNotLiveBlocksAreRefused)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(block, nullptr);
    GlobalFree(block);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, SIZE_MAX), nullptr);
}
