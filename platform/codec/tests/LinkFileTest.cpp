#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace codectest;

namespace {

TEST(LinkFile, CreateReadAndFollow)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, loaded, thumb;
    MakePicture(photo, 40, 30);
    ASSERT_EQ(mkdir(dir.File("album").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(dir.File("other").c_str(), 0700), 0);
    const std::string target = dir.File("other/photo.jpg");
    ASSERT_EQ(codec.SaveFile(target.c_str(), &photo), 1);

    CQLLinkFile link;
    ASSERT_EQ(link.Create(target.c_str(), (dir.File("album") + "/").c_str()), 1);
    EXPECT_EQ(std::string(link.GetLinkPath()), dir.File("album/photo.jpg.qlk"));
    // The same photo again: the same link, no second file.
    ASSERT_EQ(link.Create(target.c_str(), dir.File("album").c_str()), 1);
    EXPECT_EQ(FilesIn(dir.File("album")), (std::vector<std::string>{"photo.jpg.qlk"}));
    // Another photo of the same name gets a numbered link.
    ASSERT_EQ(codec.SaveFile(dir.File("photo.jpg").c_str(), &photo), 1);
    ASSERT_EQ(link.Create(dir.File("photo.jpg").c_str(), dir.File("album").c_str()), 1);
    EXPECT_EQ(std::string(link.GetLinkPath()), dir.File("album/photo.jpg (2).qlk"));

    CQLLinkFile reader;
    ASSERT_EQ(reader.Read(dir.File("album/photo.jpg.qlk").c_str()), 1);
    EXPECT_EQ(std::string(reader.GetOrgFile()), target);
    EXPECT_EQ(CQLImageCodec::GetFileType(reader.GetOrgFile()), 2u);
    FILETIME c{}, a{}, w{};
    ASSERT_EQ(reader.GetFileTime(&c, &a, &w), 1);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    const unsigned long long ticks = (unsigned long long)w.dwHighDateTime << 32 | w.dwLowDateTime;
    EXPECT_EQ(ticks / 10000000ULL - 11644473600ULL, (unsigned long long)st.st_mtime);
    EXPECT_NE(c.dwHighDateTime, 0u);
    EXPECT_EQ(reader.GetFileTime(nullptr, nullptr, nullptr), 1);

    // The codec follows a link when loading.
    EXPECT_EQ(CQLImageCodec::GetFileType(dir.File("album/photo.jpg.qlk").c_str()), 255u);
    ASSERT_EQ(codec.LoadFile(dir.File("album/photo.jpg.qlk").c_str(), &loaded), 1);
    EXPECT_EQ(W(loaded), 40u);
    int tw = 0, th = 0;
    ASSERT_EQ(codec.CreateThumbnail(dir.File("album/photo.jpg.qlk").c_str(), &thumb, 10, &tw, &th, 0), 1);
    EXPECT_EQ(tw, 40);

    // Target gone: no times.
    ASSERT_EQ(unlink(target.c_str()), 0);
    EXPECT_EQ(reader.GetFileTime(&c, &a, &w), 0);
}

TEST(LinkFile, RefusesWhatIsNotALink)
{
    TempDir dir;
    CQLLinkFile link;
    EXPECT_EQ(link.Read(dir.File("missing.qlk").c_str()), 0);
    WriteAllBytes(dir.File("bad.qlk"), {'n', 'o', 'p', 'e'});
    EXPECT_EQ(link.Read(dir.File("bad.qlk").c_str()), 0);
    WriteAllBytes(dir.File("empty-target.qlk"), std::vector<unsigned char>(std::begin("QuilloLink 1\n\n"), std::end("QuilloLink 1\n\n") - 1));
    EXPECT_EQ(link.Read(dir.File("empty-target.qlk").c_str()), 0);
    EXPECT_EQ(link.Read(nullptr), 0);
    EXPECT_STREQ(link.GetOrgFile(), "");
    FILETIME t{};
    EXPECT_EQ(link.GetFileTime(&t, &t, &t), 0);
    EXPECT_EQ(link.Create("", dir.Path().c_str()), 0);
    EXPECT_EQ(link.Create("/a/b.jpg", dir.File("no/such").c_str()), 0);
    CQLImageCodec codec;
    CQLImage image;
    EXPECT_EQ(codec.LoadFile(dir.File("bad.qlk").c_str(), &image), 0);
}

} // namespace
