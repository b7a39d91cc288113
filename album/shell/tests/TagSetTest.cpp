#include "album/shell/TagSet.h"

#include "ShelfTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using shelf::CTagSet;
using shelftest::ReadBytes;
using shelftest::ScratchFolder;
using shelftest::WriteBytes;

namespace {
std::string tags(const CTagSet& set)
{
    std::string all;
    for (int i = 0; i < set.GetCount(); ++i)
        all += std::string(set.GetAt(i)) + "|";
    return all;
}
} // namespace

TEST(TagSet, LoadTable)
{
    const std::string word32(32, 'w');
    const struct {
        const char* what;
        std::string file;
        int result;
        std::string expected;
    } cases[] = {
        {"duplicates kept", "sea Sun sea", 1, "sea|Sun|sea|"},
        {"32-character word stops", "a bb " + word32 + " c", 0, "a|bb|"},
        {"31 characters accepted", "x " + std::string(31, 'y'), 1, "x|" + std::string(31, 'y') + "|"},
        {"first line only", "a b\nc d", 1, "a|b|"},
        {"CR LF line end", "a b\r\nc", 1, "a|b|"},
        {"runs of blanks", "  a   b ", 1, "a|b|"},
        {"empty file", "", 1, ""},
    };
    ScratchFolder folder;
    const std::string path = folder.Path() + "TagSet.ql";
    for (const auto& c : cases) {
        WriteBytes(path, c.file);
        CTagSet set;
        EXPECT_EQ(set.LoadFrom(path), c.result) << c.what;
        EXPECT_EQ(tags(set), c.expected) << c.what;
    }
    CTagSet set;
    EXPECT_EQ(set.LoadFrom(folder.Path() + "none.ql"), 0);
}

TEST(TagSet, AddRemoveAndFindIgnoreCase)
{
    CTagSet set;
    ASSERT_EQ(set.Parse("sea Sun sea"), 1);
    set.Add("SEA");
    EXPECT_EQ(set.GetCount(), 3);
    set.Add("Beach");
    EXPECT_EQ(set.Find("beach"), 3);
    EXPECT_EQ(set.Remove("SUN"), 1);
    EXPECT_EQ(set.Remove("sun"), 0);
    EXPECT_EQ(tags(set), "sea|sea|Beach|");
    EXPECT_EQ(set.GetAt(3), nullptr);
    EXPECT_EQ(set.GetAt(-1), nullptr);
    set.RemoveAll();
    EXPECT_EQ(set.GetCount(), 0);
}

TEST(TagSet, InvalidTagsAreRefused)
{
    const struct {
        const char* text;
        int valid;
    } cases[] = {
        {"ok", 1}, {"", 0}, {"two words", 0}, {"cr\r", 0}, {"lf\n", 0},
        {"0123456789012345678901234567890", 1},  // 31
        {"01234567890123456789012345678901", 0}, // 32: would end every later load
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CTagSet::IsValidTag(c.text), c.valid) << c.text;
        CTagSet set;
        set.Add(c.text);
        EXPECT_EQ(set.GetCount(), c.valid) << c.text;
    }
    EXPECT_EQ(CTagSet::IsValidTag(nullptr), 0);
}

TEST(TagSet, TextNeedsRoomForItsTerminator)
{
    CTagSet set;
    set.Parse("sea sun");
    ASSERT_EQ(set.GetTextLength(), 7);
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(set.GetText(buffer, 7), nullptr);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(set.GetText(buffer, 8), buffer);
    EXPECT_STREQ(buffer, "sea sun");
}

TEST(TagSet, SaveWritesOneLineWithoutLineEnd)
{
    ScratchFolder folder;
    const std::string path = folder.Path() + "TagSet.ql";
    CTagSet empty;
    ASSERT_EQ(empty.SaveTo(path), 1);
    EXPECT_EQ(ReadBytes(path), "");

    CTagSet set;
    set.Add("sea");
    set.Add("Sun");
    ASSERT_EQ(set.SaveTo(path), 1);
    EXPECT_EQ(ReadBytes(path), "sea Sun");
    CTagSet again;
    EXPECT_EQ(again.LoadFrom(path), 1);
    EXPECT_EQ(tags(again), "sea|Sun|");
    EXPECT_EQ(set.SaveTo(folder.Path() + "missing/TagSet.ql"), 0);
}
