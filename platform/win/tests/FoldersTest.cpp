#include "platform/win/Folders.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(GetModuleFileName, RunningExecutable)
{
    char buf[4096];
    const DWORD n = GetModuleFileName(nullptr, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, std::strlen(buf));
    EXPECT_EQ(buf[0], '/');
    EXPECT_EQ(std::filesystem::path(buf).filename(), "qlwin_tests");
}

TEST(GetModuleFileName, TruncatesAsWindows)
{
    char full[4096];
    ASSERT_GT(GetModuleFileName(nullptr, full, sizeof full), 5u);
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(GetModuleFileName(nullptr, buf, 5), 5u);
    EXPECT_EQ(std::string(buf), std::string(full, 4));
    EXPECT_EQ(buf[5], '#');
}

// Points $TMPDIR at a folder of the test's own for the test's duration.
class TempPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("TMPDIR"))
            oldTmp_ = old;
        ::setenv("TMPDIR", (dir.path().string() + "/").c_str(), 1);
        expected = dir.path().string() + "/quillo-" + std::to_string(::geteuid()) + "/";
    }
    void TearDown() override
    {
        if (oldTmp_)
            ::setenv("TMPDIR", oldTmp_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    TestDir dir;
    std::string expected;

private:
    std::optional<std::string> oldTmp_;
};

TEST_F(TempPath, CreatesPrivateFolder)
{
    char buf[MAX_PATH];
    EXPECT_EQ(GetTempPath(MAX_PATH, buf), expected.size());
    EXPECT_EQ(std::string(buf), expected);
    struct stat st {};
    ASSERT_EQ(::lstat(expected.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());

    // Second use finds the folder and gives the same answer.
    EXPECT_EQ(GetTempPath(MAX_PATH, buf), expected.size());
}

TEST_F(TempPath, NarrowsWidenedFolder)
{
    ASSERT_EQ(::mkdir(expected.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(expected.c_str(), 0777), 0);
    char buf[MAX_PATH];
    EXPECT_EQ(GetTempPath(MAX_PATH, buf), expected.size());
    struct stat st {};
    ASSERT_EQ(::stat(expected.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

TEST_F(TempPath, SmallBufferGetsRequiredSize)
{
    char buf[4] = "abc";
    EXPECT_EQ(GetTempPath(sizeof buf, buf), expected.size() + 1);
    EXPECT_EQ(GetTempPath(0, nullptr), expected.size() + 1);
    EXPECT_EQ(GetTempPath(static_cast<DWORD>(expected.size()), buf), expected.size() + 1);
}

TEST_F(TempPath, RefusesWhatIsNotOurDirectory)
{
    const std::string folder = expected.substr(0, expected.size() - 1);
    const std::string elsewhere = dir / "elsewhere";
    struct Case {
        const char* what;
        std::function<bool()> plant;
        bool needsRoot;
    };
    const std::vector<Case> cases = {
        {"symbolic link to a folder",
         [&] { return ::mkdir(elsewhere.c_str(), 0700) == 0 && ::symlink(elsewhere.c_str(), folder.c_str()) == 0; },
         false},
        {"dangling symbolic link", [&] { return ::symlink(elsewhere.c_str(), folder.c_str()) == 0; }, false},
        {"regular file", [&] { dir.write(folder.substr(folder.rfind('/') + 1), "x"); return true; }, false},
        {"folder of another user",
         [&] { return ::mkdir(folder.c_str(), 0700) == 0 && ::chown(folder.c_str(), ::geteuid() + 1, -1) == 0; },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && ::geteuid() != 0)
            continue; // only root can give a folder away
        std::filesystem::remove_all(folder);
        std::filesystem::remove_all(elsewhere);
        ASSERT_TRUE(c.plant());
        char buf[MAX_PATH] = "";
        EXPECT_EQ(GetTempPath(MAX_PATH, buf), 0u);
        struct stat st {};
        if (::stat(elsewhere.c_str(), &st) == 0) {
            EXPECT_EQ(st.st_mode & 07777, 0700u); // the link's target was not touched
        }
    }
}

TEST(SplitPath, Table)
{
    struct Case {
        const char* path;
        const char* dir;
        const char* fname;
        const char* ext;
    };
    const std::vector<Case> cases = {
        {"/usr/lib/quillo/QuilloFx.qli", "/usr/lib/quillo/", "QuilloFx", ".qli"},
        {"photo.tar.gz", "", "photo.tar", ".gz"},
        {"/a.b/c", "/a.b/", "c", ""},
        {"dir/", "dir/", "", ""},
        {"/", "/", "", ""},
        {"", "", "", ""},
        {".hidden", "", "", ".hidden"},
        {"name.", "", "name", "."},
        {"a//b.c", "a//", "b", ".c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        char drive[_MAX_DRIVE] = "X";
        char dir[_MAX_DIR] = "X";
        char fname[_MAX_FNAME] = "X";
        char ext[_MAX_EXT] = "X";
        _splitpath(c.path, drive, dir, fname, ext);
        EXPECT_STREQ(drive, "");
        EXPECT_STREQ(dir, c.dir);
        EXPECT_STREQ(fname, c.fname);
        EXPECT_STREQ(ext, c.ext);
    }
}

TEST(SplitPath, NullPartsAndLongNames)
{
    char fname[_MAX_FNAME];
    _splitpath("/x/y.z", nullptr, nullptr, fname, nullptr);
    EXPECT_STREQ(fname, "y");

    const std::string longName(400, 'n');
    _splitpath(("/x/" + longName + ".e").c_str(), nullptr, nullptr, fname, nullptr);
    EXPECT_EQ(std::string(fname), longName.substr(0, _MAX_FNAME - 1));
}

} // namespace
