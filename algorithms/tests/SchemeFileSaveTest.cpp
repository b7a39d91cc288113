// Colour themes (".cth") and slimming schemes (".tsp") replacing their files:
// through a symbolic link, over a read-only file and on a full disk.
#include "algorithms/ColorTheme.h"
#include "algorithms/JpegSlimSettings.h"
#include "platform/win/tests/FullDisk.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

// One writer; `version` tells the writes apart when read back.
struct Writer {
    const char* name;
    const char* ext;
    std::function<bool(const std::string& path, int version)> write;
    std::function<int(const std::string& path)> version; // -1 when unreadable
};

const Writer kWriters[] = {
    {"ColorTheme::Write", ".cth",
     [](const std::string& path, int version) {
         ColorTheme theme;
         std::strcpy(theme.name, "Film");
         theme.steps.resize(static_cast<std::size_t>(version));
         return theme.Write(path);
     },
     [](const std::string& path) {
         ColorTheme theme;
         return theme.Load(path) ? static_cast<int>(theme.stepCount) : -1;
     }},
    {"SaveTspFile", ".tsp",
     [](const std::string& path, int version) {
         JpegSlimSettings settings;
         settings.targetKB = version;
         return SaveTspFile(path.c_str(), settings) == 1;
     },
     [](const std::string& path) {
         JpegSlimSettings settings;
         return LoadTspFile(path.c_str(), &settings) ? settings.targetKB : -1;
     }},
};

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SchemeFileSave, ThroughALinkTheTargetIsReplacedAndTheLinkStays)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        TestDir dir;
        fs::create_directory(dir.path() / "real");
        const std::string target = dir / (std::string("real/scheme") + w.ext);
        ASSERT_TRUE(w.write(target, 1));
        const std::string link = dir / (std::string("link") + w.ext);
        fs::create_symlink(std::string("real/scheme") + w.ext, link);

        ASSERT_TRUE(w.write(link, 2));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(w.version(target), 2);
        EXPECT_EQ(dir.count(), 2u);
    }
}

TEST(SchemeFileSave, AReadOnlyFileIsNotReplaced)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        TestDir dir;
        const std::string path = dir / (std::string("scheme") + w.ext);
        ASSERT_TRUE(w.write(path, 1));
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_FALSE(w.write(path, 2));
        EXPECT_EQ(w.version(path), 1);
        EXPECT_EQ(dir.count(), 1u);
    }
}

TEST(SchemeFileSave, AFullDiskLeavesTheOldFileWhole)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        TestDir dir;
        const std::string path = dir / (std::string("scheme") + w.ext);
        ASSERT_TRUE(w.write(path, 1));
        const std::string before = Bytes(path);
        bool written = true;
        {
            FullDisk full(64);
            ASSERT_TRUE(full.active());
            written = w.write(path, 2);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(Bytes(path), before);
        EXPECT_EQ(dir.count(), 1u) << "no temporary file is left";
    }
}

} // namespace
