#include "platform/win/FileFind.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileFind : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"A.QLI", "b.qli", ".hidden.qli", "abc.txt", "ABC", "aXc.Frm", "abcd.frm"})
            dir.write(name, "12345");
        std::filesystem::create_directory(dir.path() / "sub");
    }

    // Sorted names a pattern finds in the test folder; empty when FindFirstFile
    // gives INVALID_HANDLE_VALUE.
    std::vector<std::string> find(const std::string& pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATA data {};
        HANDLE h = FindFirstFile((dir / pattern).c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do
            names.emplace_back(data.cFileName);
        while (FindNextFile(h, &data));
        EXPECT_TRUE(FindClose(h));
        std::sort(names.begin(), names.end());
        return names;
    }

    WIN32_FIND_DATA findOne(const std::string& name)
    {
        WIN32_FIND_DATA data {};
        HANDLE h = FindFirstFile((dir / name).c_str(), &data);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << name;
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        return data;
    }

    TestDir dir;
};

TEST_F(FileFind, WildcardsIgnoreCase)
{
    using Names = std::vector<std::string>;
    const Names all = {".", "..", ".hidden.qli", "A.QLI", "ABC", "aXc.Frm", "abc.txt", "abcd.frm", "b.qli", "sub"};
    struct Case {
        const char* pattern;
        Names expected;
    };
    const std::vector<Case> cases = {
        {"*.qli", {".hidden.qli", "A.QLI", "b.qli"}},
        {"*.QLI", {".hidden.qli", "A.QLI", "b.qli"}},
        {"a?c.*", {"ABC", "aXc.Frm", "abc.txt"}}, // a trailing ".*" also matches no extension
        {"*.frm", {"aXc.Frm", "abcd.frm"}},
        {"*c*.f?m", {"aXc.Frm", "abcd.frm"}},
        {"*.*", all},
        {"*", all},
        {"a.qli", {"A.QLI"}},
        {"SUB", {"sub"}},
        {"..", {".."}},
        {"*.bmp", {}},
        {"a?c", {"ABC"}},
        {"missing/*.*", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(find(c.pattern), c.expected);
    }
}

TEST_F(FileFind, NoMatchAndMissingFolderGiveInvalidHandle)
{
    WIN32_FIND_DATA data {};
    EXPECT_EQ(FindFirstFile((dir / "*.bmp").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFile((dir / "missing/*.*").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(FindNextFile(INVALID_HANDLE_VALUE, &data));
}

TEST_F(FileFind, Attributes)
{
    ASSERT_EQ(::chmod((dir / "abc.txt").c_str(), 0444), 0);
    ASSERT_EQ(::symlink((dir / "b.qli").c_str(), (dir / "link.qli").c_str()), 0);
    struct Case {
        const char* name;
        DWORD attributes;
        DWORD size;
    };
    const std::vector<Case> cases = {
        {"b.qli", FILE_ATTRIBUTE_NORMAL, 5},
        {"link.qli", FILE_ATTRIBUTE_NORMAL, 5}, // a link to a file looks like the file
        {".hidden.qli", FILE_ATTRIBUTE_HIDDEN, 5},
        {"abc.txt", FILE_ATTRIBUTE_READONLY, 5},
        {"sub", FILE_ATTRIBUTE_DIRECTORY, 0},
        {".", FILE_ATTRIBUTE_DIRECTORY, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WIN32_FIND_DATA data = findOne(c.name);
        EXPECT_EQ(data.dwFileAttributes, c.attributes);
        EXPECT_EQ(data.nFileSizeHigh, 0u);
        EXPECT_EQ(data.nFileSizeLow, c.size);
    }
}

TEST_F(FileFind, LargeSizeAndTimes)
{
    // 2001-09-09 01:46:40.5 UTC, Unix time 1000000000.5.
    const timespec times[2] = {{1000000000, 500000000}, {1000000000, 500000000}};
    const std::string path = dir / "big.bin";
    dir.write("big.bin", "");
    ASSERT_EQ(::truncate(path.c_str(), 0x100000010LL), 0); // sparse, over 4 GiB
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    const WIN32_FIND_DATA data = findOne("big.bin");
    EXPECT_EQ(data.nFileSizeHigh, 1u);
    EXPECT_EQ(data.nFileSizeLow, 0x10u);
    const auto ticks = [](FILETIME t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    constexpr std::uint64_t expected = (1000000000ull + 11644473600ull) * 10000000ull + 5000000ull;
    EXPECT_EQ(ticks(data.ftLastWriteTime), expected);
    EXPECT_EQ(ticks(data.ftLastAccessTime), expected);
    // Birth time when the file system keeps one, else the modification time; never before it here.
    EXPECT_GE(ticks(data.ftCreationTime), expected);
}

} // namespace
