#include "album/shell/AlbumGlobals.h"

#include "ShelfTestSupport.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace shelf;
using shelftest::ScratchFolder;
namespace fs = std::filesystem;

TEST(AlbumGlobals, PathsFromAFolderWithBlanksAndTheSkinStrip)
{
    ScratchFolder scratch;
    const std::string program = scratch.Path() + "My Programs/Quillo Shelf/";
    fs::create_directories(program + "skin");
    AlbumGlobals globals;
    EXPECT_NE(globals.InitPaths(program), 0); // no strip yet
    EXPECT_TRUE(fs::is_directory(program + "FolderSet"));
    EXPECT_EQ(globals.m_profilePath, program + "Quillo.ini");
    EXPECT_EQ(globals.m_folderSet, program + "FolderSet/");
    EXPECT_EQ(globals.GetSkinPath("start.lgb"), program + "skin/start.lgb");

    CQLImage strip;
    ASSERT_EQ(strip.Create(30, 60), 0);
    ASSERT_EQ(strip.SaveToFile((program + "skin/btnsta.bmp").c_str()), 0);
    EXPECT_EQ(globals.InitPaths(program), 0); // FolderSet already there
    EXPECT_NE(globals.m_skin.GetAreaByteSize(), 0u);
}

TEST(AlbumGlobals, DateAlbumsGoBelowTheProgramFolder)
{
    ScratchFolder scratch;
    const std::string program = scratch.Path() + "program/";
    const std::string photos = scratch.Path() + "photos/";
    fs::create_directories(program);
    fs::create_directories(photos);
    exiftest::JpegWithExif(photos + "dated.jpg", {exiftest::Text(0x0132, "2005:07:14 10:20:30")});
    AlbumGlobals globals;
    globals.InitPaths(program);
    FolderNode root;
    ASSERT_EQ(root.ScanSubfolders(photos, 1), 1);
    ASSERT_EQ(globals.m_scanner.OpenFolder(&root), 1);
    const std::string month = program + "FolderSet/Virtual/Time/Y2005-M07";
    EXPECT_TRUE(PumpUntil([&] { return globals.m_scanner.IsAllComplete() && fs::is_directory(month); }));
    globals.m_scanner.CloseFolder();
}
