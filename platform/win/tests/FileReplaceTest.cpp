// Replacing files: through symbolic links, never over a read-only file, never
// losing the old file to a full disk, keeping owner and mode, and clearing up
// after crashed writers. Every writer of this module is run through the same
// cases.
#include "platform/win/FileReplace.h"
#include "platform/win/Profile.h"
#include "platform/win/Registry.h"
#include "platform/win/tests/ChildSupport.h"
#include "platform/win/tests/FullDisk.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// One writer under test: where it writes in the folder, and how a value goes
// in and comes back.
struct Writer {
    const char* name;
    const char* file; // relative to the test folder
    std::function<bool(const std::string& file, const std::string& value)> write;
    std::function<std::string(const std::string& file)> read;
};

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string RegistryValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Test", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<none>";
    char buf[512] = {};
    DWORD size = sizeof buf;
    const LONG r = RegQueryValueEx(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

bool SetRegistryValue(const std::string& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) != ERROR_SUCCESS)
        return false;
    const LONG r = RegSetValueEx(key, "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

const Writer kWriters[] = {
    {"contents", "file.dat",
     [](const std::string& file, const std::string& value) { return qlwin::ReplaceFileContents(file, value); },
     [](const std::string& file) { return ReadWhole(file); }},
    {"profile", "Quillo.ini",
     [](const std::string& file, const std::string& value) {
         return WritePrivateProfileString("Window", "Left", value.c_str(), file.c_str()) != FALSE;
     },
     [](const std::string& file) {
         char buf[256] = {};
         GetPrivateProfileString("Window", "Left", "<none>", buf, sizeof buf, file.c_str());
         return std::string(buf);
     }},
    {"registry", "config/quillo/registry.dat",
     [](const std::string&, const std::string& value) { return SetRegistryValue(value); },
     [](const std::string&) { return RegistryValue(); }},
};

class FileReplace : public ::testing::Test {
protected:
    TestDir dir;
    EnvScope config{"XDG_CONFIG_HOME", dir / "config"};

    // Writes a first value through w, then moves the file to real/ and leaves
    // a relative symbolic link in its place. The path of the link.
    std::string MoveBehindLink(const Writer& w)
    {
        const std::string path = dir / w.file;
        EXPECT_TRUE(w.write(path, "first")) << w.name;
        fs::create_directories(dir.path() / "real");
        fs::rename(path, dir.path() / "real" / fs::path(path).filename());
        const fs::path up = fs::relative(dir.path(), fs::path(path).parent_path());
        fs::create_symlink(up / "real" / fs::path(path).filename(), path);
        return path;
    }
};

TEST_F(FileReplace, ASaveThroughALinkReplacesItsTargetAndKeepsTheLink)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        const std::string link = MoveBehindLink(w);
        const fs::path linkText = fs::read_symlink(link);
        const std::string target = (dir.path() / "real" / fs::path(link).filename()).string();

        ASSERT_TRUE(w.write(link, "second"));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), linkText);
        EXPECT_EQ(w.read(target), "second");
        // Nothing but the file in either folder.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 1);
        fs::remove_all(dir.path() / "real");
    }
}

TEST_F(FileReplace, ALinkChainIsFollowedToItsEnd)
{
    dir.write("end.dat", "old");
    fs::create_symlink("end.dat", dir.path() / "middle");
    fs::create_symlink("middle", dir.path() / "start");
    ASSERT_TRUE(qlwin::ReplaceFileContents(dir / "start", "new"));
    EXPECT_EQ(dir.read("end.dat"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "start"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "middle"));
    EXPECT_EQ(dir.count(), 3u);
}

TEST_F(FileReplace, DanglingLinksAndLoopsAreRefused)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path& link)> make;
    };
    const Case cases[] = {
        {"dangling", [](const fs::path& link) { fs::create_symlink("missing.dat", link); }},
        {"loop",
         [](const fs::path& link) {
             fs::create_symlink(link.filename().string() + ".other", link);
             fs::create_symlink(link.filename(), link.string() + ".other");
         }},
        {"self", [](const fs::path& link) { fs::create_symlink(link.filename(), link); }},
    };
    for (const Writer& w : kWriters)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(w.name) + ", " + c.name);
            const fs::path link = dir / w.file;
            fs::create_directories(link.parent_path());
            c.make(link);
            const auto before = fs::read_symlink(link);
            EXPECT_FALSE(w.write(link.string(), "value"));
            EXPECT_TRUE(fs::is_symlink(link));
            EXPECT_EQ(fs::read_symlink(link), before);
            EXPECT_FALSE(fs::exists(dir.path() / "missing.dat"));
            fs::remove(link);
            fs::remove(link.string() + ".other");
            for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
                EXPECT_TRUE(entry.is_directory() || entry.path().filename() == "registry.lock") << entry.path();
        }
}

TEST_F(FileReplace, AReadOnlyFileIsNotReplaced)
{
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        const std::string path = dir / w.file;
        ASSERT_TRUE(w.write(path, "first"));
        const std::string before = ReadWhole(path);
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_FALSE(w.write(path, "second"));
        EXPECT_EQ(ReadWhole(path), before);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0444u);
        ::chmod(path.c_str(), 0644);
    }
}

TEST_F(FileReplace, AFullDiskLeavesTheOldFileWhole)
{
    const std::string big(4096, 'x');
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        const std::string path = dir / w.file;
        ASSERT_TRUE(w.write(path, "first"));
        const std::string before = ReadWhole(path);
        const fs::path folder = fs::path(path).parent_path();
        const auto files = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
        bool written = true;
        {
            FullDisk full;
            ASSERT_TRUE(full.active());
            written = w.write(path, big);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(ReadWhole(path), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), files)
            << "no temporary file is left";
    }
}

TEST_F(FileReplace, TheReplacedFileKeepsOwnerGroupAndMode)
{
    const std::string path = dir / "shared.dat";
    dir.write("shared.dat", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    // Only the superuser may give a file away; anyone else keeps their own.
    const uid_t uid = ::geteuid() == 0 ? 1234 : before.st_uid;
    const gid_t gid = ::geteuid() == 0 ? 5678 : before.st_gid;
    ASSERT_EQ(::chown(path.c_str(), uid, gid), 0);

    ASSERT_TRUE(qlwin::ReplaceFileContents(path, "new"));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, uid);
    EXPECT_EQ(after.st_gid, gid);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced, not written in place";
    EXPECT_EQ(dir.read("shared.dat"), "new");
}

TEST_F(FileReplace, TemporaryFilesOfGoneProcessesAreRemovedByTheNextSave)
{
    // A process that has ended: its id names no process (until reused).
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string alive = std::to_string(::getppid());

    const std::string stale = ".photo.jpg.ql" + std::to_string(gone) + "-3.tmp";
    const std::string kept[] = {
        ".photo.jpg.ql" + alive + "-0.tmp", // its writer still runs
        "photo.ql" + std::to_string(gone) + "-3.tmp", // not hidden: not ours
        ".photo.jpg.ql" + std::to_string(gone) + "-x.tmp", // not the pattern
        ".photo.jpg.ql" + std::to_string(gone) + "-3.tmp.bak",
        "notes.tmp",
    };
    dir.write(stale, "half");
    for (const std::string& name : kept)
        dir.write(name, "keep");
    fs::create_directory(dir.path() / "sub");
    dir.write("sub/" + stale, "other folder");

    ASSERT_TRUE(qlwin::ReplaceFileContents(dir / "photo.jpg", "new"));
    EXPECT_FALSE(fs::exists(dir.path() / stale));
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(dir.path() / name)) << name;
    EXPECT_TRUE(fs::exists(dir.path() / "sub" / stale)) << "only the folder saved into is cleared";
}

TEST_F(FileReplace, FoldersAndSpecialFilesAreNotReplaced)
{
    fs::create_directory(dir.path() / "folder");
    EXPECT_FALSE(qlwin::ReplaceFileContents(dir / "folder", "x"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(qlwin::ReplaceFileContents(dir / "pipe", "x"));
    EXPECT_TRUE(fs::is_fifo(dir.path() / "pipe"));
    EXPECT_EQ(dir.count(), 2u);
}

} // namespace
