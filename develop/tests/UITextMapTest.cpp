#include "develop/UITextMap.h"

#include <gtest/gtest.h>

TEST(UITextMap, FindsKeysWithoutRegardToCaseAndMissingIsEmpty)
{
    CUITextMap map;
    EXPECT_STREQ(map.GetText("preview"), "");
    map.Add("tittle", "Viewer");
    map.Add("preview", "Preview text");
    map.Add("Edittag", "Edit");
    map.Add("empty", nullptr);
    map.Sort();
    EXPECT_STREQ(map.GetText("Preview"), "Preview text");
    EXPECT_STREQ(map.GetText("EDITTAG"), "Edit");
    EXPECT_STREQ(map.GetText("tittle"), "Viewer");
    EXPECT_STREQ(map.GetText("missing"), "");
    EXPECT_STREQ(map.GetText("empty"), "");
    EXPECT_STREQ(map.GetText(nullptr), "");
}
