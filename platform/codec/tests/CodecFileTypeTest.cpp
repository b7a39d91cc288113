// GetFileType as a table: by content for real files, by extension for bare
// names and paths not written yet.
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace codectest;

namespace {

TEST(CodecFileType, BareNamesByExtension)
{
    const std::pair<const char*, DWORD> table[] = {
        {"a.bmp", 0}, {"A.DIB", 0}, {"a.gif", 1}, {"a.jpg", 2}, {"a.JPEG", 2}, {"a.jpe", 2}, {"a.jfif", 2},
        {"a.png", 3}, {"a.pcx", 4}, {"a.tif", 5}, {"a.TIFF", 5}, {"a.tga", 6}, {"a.raw", 7}, {"a.nef", 7},
        {"a.cr2", 7}, {"a.crw", 7}, {"a.orf", 7}, {"a.mrw", 7}, {"a.raf", 7}, {"a.pef", 7}, {"a.dcr", 7},
        {"a.srf", 7}, {"a.erf", 7}, {"a.DNG", 7}, {"a.arw", 7}, {"a.rw2", 7}, {"a.qlk", 255}, {"a.txt", 10},
        {"a", 10}, {"", 10}, {"dir.jpg/name", 10}, {"/no/such/folder/out.png", 3}, {"C:\\photos\\x.jpg", 2},
        {"a.jpg.qlk", 255},
    };
    for (const auto& [name, type] : table)
        EXPECT_EQ(CQLImageCodec::GetFileType(name), type) << name;
    EXPECT_EQ(CQLImageCodec::GetFileType(nullptr), 10u);
}

TEST(CodecFileType, BareNamesIgnoreTheWorkingFolder)
{
    // The album types the bare names of a listing: a same-named file in the
    // working folder, whatever it holds, must not decide.
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 4, 4);
    ASSERT_EQ(codec.SaveFile(dir.File("photo.jpg.png").c_str(), &photo), 1);
    std::filesystem::rename(dir.File("photo.jpg.png"), dir.File("photo.jpg"));
    WriteAllBytes(dir.File("notes.png"), {'h', 'i'});
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const DWORD photoType = CQLImageCodec::GetFileType("photo.jpg");
    const DWORD notesType = CQLImageCodec::GetFileType("notes.png");
    const DWORD pathType = CQLImageCodec::GetFileType("./photo.jpg");
    std::filesystem::current_path(before);
    EXPECT_EQ(photoType, 2u);
    EXPECT_EQ(notesType, 3u);
    EXPECT_EQ(pathType, 3u) << "a path is still typed by its content";
}

TEST(CodecFileType, RealFilesByContent)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 20, 10);
    const std::pair<const char*, DWORD> written[] = {
        {"p.bmp", 0}, {"p.gif", 1}, {"p.jpg", 2}, {"p.png", 3}, {"p.pcx", 4}, {"p.tif", 5}, {"p.tga", 6},
    };
    for (const auto& [name, type] : written) {
        const std::string path = dir.File(name);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &photo), 1) << name;
        EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), type) << name;
        // Content wins over a wrong name (the TGA footer makes a TGA known by content).
        const std::string renamed = dir.File(std::string("renamed-") + name + ".dat");
        std::filesystem::copy_file(path, renamed);
        EXPECT_EQ(CQLImageCodec::GetFileType(renamed.c_str()), type) << name;
    }
    // A TIFF under a RAW name is a RAW file; a text file under a photo name is nothing.
    std::filesystem::copy_file(dir.File("p.tif"), dir.File("cam.nef"));
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.File("cam.nef").c_str()), 7u);
    WriteAllBytes(dir.File("note.jpg"), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.File("note.jpg").c_str()), 10u);
    // An empty file has no content to go by: its name decides.
    WriteAllBytes(dir.File("empty.jpg"), {});
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.File("empty.jpg").c_str()), 2u);
    // A folder is typed by its name.
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.Path().c_str()), 10u);
    // A link file is 255 by content under any name.
    CQLLinkFile link;
    ASSERT_EQ(link.Create(dir.File("p.jpg").c_str(), dir.Path().c_str()), 1);
    EXPECT_EQ(CQLImageCodec::GetFileType(link.GetLinkPath()), 255u);
    std::filesystem::copy_file(link.GetLinkPath(), dir.File("link.bin"));
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.File("link.bin").c_str()), 255u);
    // RAW signatures of their own.
    WriteAllBytes(dir.File("x.bin"), {'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M', 'C', 'C', 'D', '-', 'R', 'A', 'W', ' '});
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.File("x.bin").c_str()), 7u);
}

} // namespace
