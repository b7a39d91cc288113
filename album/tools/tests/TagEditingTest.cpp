#include "album/tools/TagEditing.h"

#include "editor/shell/ExifInfo.h"
#include "editor/shell/tests/ExifTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace shelf;

namespace {

std::string TagsOf(const std::string& path)
{
    ExifInfo exif;
    EXPECT_TRUE(exif.ReadFromFile(path.c_str())) << path;
    return exif.GetPrivateText();
}

std::string Tagged(const exiftest::TempFolder& folder, const char* name, const std::string& tags)
{
    const std::string path = folder.File(name);
    if (tags.empty())
        return exiftest::JpegWithExif(path, {exiftest::Text(272, "Cam")});
    return exiftest::JpegWithExif(path, {exiftest::Text(272, "Cam"), exiftest::Text(53089, tags)});
}

std::string Text(const CTagSet& set)
{
    char text[300];
    return set.GetText(text, sizeof text);
}

} // namespace

TEST(TagEditing, CommonTagsOfASelection)
{
    exiftest::TempFolder folder;
    const std::string ab = Tagged(folder, "ab.jpg", "a b"), bc = Tagged(folder, "bc.jpg", "b c");
    const std::string none = Tagged(folder, "none.jpg", "");
    const std::string png = exiftest::SavePhoto(folder.File("p.png"));
    const struct {
        std::vector<std::string> paths;
        const char* common;
    } cases[] = {
        {{ab, bc}, "b"}, {{ab, png, bc}, "b"}, {{png, ab}, "a b"}, {{ab, none}, ""}, {{none, ab}, ""}, {{png}, ""},
    };
    for (const auto& c : cases) {
        CTagSet common;
        CommonTags(c.paths, common);
        EXPECT_EQ(Text(common), c.common) << c.paths.size();
    }
}

TEST(TagEditing, AddingRules)
{
    CTagSet working;
    EXPECT_EQ(AddWorkingTag(working, "a"), 0);
    EXPECT_EQ(AddWorkingTag(working, "A"), 0);
    EXPECT_EQ(working.GetCount(), 1) << "equal without regard to case";
    for (const char* bad : {"", "a b", "a\r", "a\n", "12345678901234567890123456789012"})
        EXPECT_EQ(AddWorkingTag(working, bad), 78) << bad;
    for (char c = 'b'; working.GetCount() < 9; ++c)
        ASSERT_EQ(AddWorkingTag(working, (std::string(29, 'x') + c).c_str()), 0);
    ASSERT_EQ(working.GetTextLength(), 1 + 8 * 31);
    // The joined tags stay within the photo's 255 characters, blanks counted.
    EXPECT_EQ(AddWorkingTag(working, "yyyyyy"), 79);
    EXPECT_EQ(AddWorkingTag(working, "a b c d e f"), 79) << "the length is looked at first";
    EXPECT_EQ(AddWorkingTag(working, "A"), 0) << "a tag already there";
    EXPECT_EQ(AddWorkingTag(working, "yyyyy"), 0);
    EXPECT_EQ(working.GetTextLength(), 255);
    EXPECT_EQ(AddWorkingTag(working, "q"), 79);
}

TEST(TagEditing, ApplyAddsAndRemoves)
{
    exiftest::TempFolder folder;
    const std::string ab = Tagged(folder, "ab.jpg", "a b"), bc = Tagged(folder, "bc.jpg", "b c");
    const std::string png = exiftest::SavePhoto(folder.File("p.png"));
    const auto pngBytes = exiftest::FileBytes(png);
    CTagSet opening;
    CommonTags({ab, bc}, opening);
    CTagSet working;
    CommonTags({ab, bc}, working);
    ASSERT_EQ(AddWorkingTag(working, "d"), 0);
    std::vector<int> progress;
    const TagWriteReport report =
        ApplyTags({ab, png, bc}, working, opening, [&](int p) { progress.push_back(p); });
    EXPECT_TRUE(report.skipped.empty() && report.failed.empty());
    EXPECT_EQ(TagsOf(ab), "a b d");
    EXPECT_EQ(TagsOf(bc), "b c d");
    EXPECT_EQ(exiftest::FileBytes(png), pngBytes) << "a non-JPEG stays untouched";
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 66}));

    // Deleting b from the common tags takes it out of both.
    CommonTags({ab, bc}, opening);
    working.RemoveAll();
    CommonTags({ab, bc}, working);
    working.Remove("b");
    ApplyTags({ab, bc}, working, opening, {});
    EXPECT_EQ(TagsOf(ab), "a d");
    EXPECT_EQ(TagsOf(bc), "c d");
}

TEST(TagEditing, UntaggedAndExiflessPhotosGetTheNewTag)
{
    exiftest::TempFolder folder;
    const std::string ab = Tagged(folder, "ab.jpg", "a b"), none = Tagged(folder, "none.jpg", "");
    const std::string bare = exiftest::SavePhoto(folder.File("bare.jpg"));
    CTagSet opening, working;
    CommonTags({ab, none, bare}, opening);
    EXPECT_EQ(opening.GetCount(), 0);
    ASSERT_EQ(AddWorkingTag(working, "new"), 0);
    const TagWriteReport report = ApplyTags({ab, none, bare}, working, opening, {});
    EXPECT_TRUE(report.skipped.empty() && report.failed.empty());
    EXPECT_EQ(TagsOf(ab), "a b new");
    EXPECT_EQ(TagsOf(none), "new");
    EXPECT_EQ(TagsOf(bare), "new");
}

TEST(TagEditing, PhotosThatCannotTakeTheTagsStayUnchanged)
{
    exiftest::TempFolder folder;
    const std::string longWord = Tagged(folder, "long.jpg", "a " + std::string(40, 'w') + " z");
    const std::string full = Tagged(folder, "full.jpg", std::string(30, 'q') + " " + std::string(30, 'r') + " " +
                                                            std::string(30, 's') + " " + std::string(30, 't') + " " +
                                                            std::string(30, 'u') + " " + std::string(30, 'v') + " " +
                                                            std::string(30, 'w') + " " + std::string(30, 'x'));
    const std::string readOnly = Tagged(folder, "ro.jpg", "a");
    ::chmod(folder.Path().c_str(), 0755);
    ::chmod(readOnly.c_str(), 0444);
    const auto longBytes = exiftest::FileBytes(longWord), fullBytes = exiftest::FileBytes(full);
    CTagSet opening, working;
    ASSERT_EQ(AddWorkingTag(working, std::string(31, 'n').c_str()), 0);
    const TagWriteReport report = ApplyTags({longWord, full, readOnly}, working, opening, {});
    EXPECT_EQ(report.skipped, (std::vector<std::string>{longWord, full}));
    EXPECT_EQ(exiftest::FileBytes(longWord), longBytes);
    EXPECT_EQ(exiftest::FileBytes(full), fullBytes);
    if (::geteuid() != 0) {
        EXPECT_EQ(report.failed, (std::vector<std::string>{readOnly}));
    }
}

TEST(TagEditing, DeletingThePhotosLastTagEmptiesItsText)
{
    exiftest::TempFolder folder;
    const std::string b = Tagged(folder, "b.jpg", "b");
    CTagSet opening, working;
    CommonTags({b}, opening);
    ApplyTags({b}, working, opening, {});
    EXPECT_EQ(TagsOf(b), "");
}
