#include "album/tools/DateAlbum.h"

#include "album/shell/tests/ShelfTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using shelftest::ScratchFolder;
using shelftest::WriteBytes;
namespace fs = std::filesystem;

namespace {
ExifFields withDate(const char* text)
{
    ExifFields fields{};
    std::strcpy(fields.dateTime, text);
    return fields;
}

int linksIn(const fs::path& folder)
{
    int count = 0;
    if (fs::is_directory(folder))
        for (const auto& item : fs::directory_iterator(folder))
            count += item.path().extension() == CQLLinkFile::kExtension;
    return count;
}
} // namespace

TEST(DateAlbum, PhotosAreFiledByMonth)
{
    ScratchFolder program;
    const std::string photo = program.Path() + "photo.jpg";
    WriteBytes(photo, "x");
    const std::string time = program.Path() + "FolderSet/Virtual/Time/";
    const struct {
        const char* date;
        const char* month; // null: nothing filed
    } cases[] = {
        {"2005:07:14 10:20:30", "Y2005-M07"},
        {"1970:01:01 00:00:00", "Y0-M00"}, // rejected by the EXIF date parser
        {"2005:13:01 00:00:00", "Y0-M00"},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        fs::remove_all(program.Path() + "FolderSet");
        fs::create_directory(program.Path() + "FolderSet");
        const ExifFields fields = withDate(c.date);
        shelf::AddToVirtualDateAlbum(program.Path(), photo.c_str(), &fields);
        EXPECT_TRUE(fs::is_directory(program.Path() + "FolderSet/Virtual")) << c.date;
        if (!c.month) {
            EXPECT_FALSE(fs::exists(time)) << c.date;
            continue;
        }
        ASSERT_EQ(linksIn(time + c.month), 1) << c.date;
        CQLLinkFile link;
        ASSERT_NE(link.Read(fs::directory_iterator(time + c.month)->path().c_str()), 0);
        EXPECT_STREQ(link.GetOrgFile(), photo.c_str());
    }
    // Without the FolderSet folder nothing is made.
    fs::remove_all(program.Path() + "FolderSet");
    const ExifFields dated = withDate("2005:07:14 10:20:30");
    shelf::AddToVirtualDateAlbum(program.Path(), photo.c_str(), &dated);
    EXPECT_FALSE(fs::exists(program.Path() + "FolderSet"));
    fs::create_directory(program.Path() + "FolderSet");
    // Filed twice: the link of that name to the same photo is kept.
    const ExifFields fields = withDate("2005:07:14 10:20:30");
    shelf::AddToVirtualDateAlbum(program.Path(), photo.c_str(), &fields);
    shelf::AddToVirtualDateAlbum(program.Path(), photo.c_str(), &fields);
    EXPECT_EQ(linksIn(time + "Y2005-M07"), 1);
}
