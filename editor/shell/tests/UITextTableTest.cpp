#include "editor/shell/UITextTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct TextCase {
    int index;
    const char* text;
};

// Ends of the table, texts that occur twice, control characters, the
// full-width marks (UTF-8 EF BC 9F and EF BC 8C) and a text with quotes.
const TextCase kCases[] = {
    {0, "Move photo"},
    {268, "Enlarge photo by a advanced resample algorithm"},
    {6, "Save"},
    {249, "Save"},
    {35, "Histograms"},
    {163, "Histograms"},
    {22, "Transform"},
    {202, "Transform"},
    {12, "Save back may lose some infomations\nPlease save to other file"},
    {125, "Save and Exit\tCtrl_W"},
    {15, "Trumbnail size : 7.5K pixels.\r\nTipical : 100x75"},
    {160, "Feather by current settings\xEF\xBC\x9F"},
    {181, "Original photo:%dx%d\xEF\xBC\x8C%.1fKB"},
    {183, "Output file size:%.1fKB\xEF\xBC\x8CRatio%.1f:1"},
    {168, "Read CCD data     "},
    {187, "Input a number from %d to %d"},
    {247, "Click \"menu-view-paint mode\" to return previous status"},
    {70, "Spot metering by click the region"},
    {74, "Tip:\nWe will give you two ways to solve this problem, if you are not satisfied with the result of \n"
          "the first one, simply click 'Cancel' to skip it and try the second way."},
    {157, "Unwanted object"},
    {159, "Photography Adjust"},
};

} // namespace

TEST(UITextTable, TextsSitAtTheirPositions)
{
    ASSERT_EQ(theUITextTable.GetCount(), 269);
    for (const TextCase& c : kCases)
        EXPECT_STREQ(theUITextTable.GetText(c.index), c.text) << "position " << c.index;
}

TEST(UITextTable, PositionsWithoutTextKeepTheirPlaceAndOutsideIndexesReadNothing)
{
    for (int index : {71, 72, 73, 158})
        EXPECT_STREQ(theUITextTable.GetText(index), "") << index;
    EXPECT_STREQ(theUITextTable.GetText(-1), "");
    EXPECT_STREQ(theUITextTable.GetText(269), "");
}

TEST(UITextTable, FormatTextsFormatAsListed)
{
    char out[128];
    std::snprintf(out, sizeof out, theUITextTable.GetText(13), 85);
    EXPECT_STREQ(out, "Jpeg Quality 85%");
    std::snprintf(out, sizeof out, theUITextTable.GetText(181), 640, 480, 12.34);
    EXPECT_STREQ(out, "Original photo:640x480\xEF\xBC\x8C" "12.3KB");
}
