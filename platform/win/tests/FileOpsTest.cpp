#include "platform/win/FileOps.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/time.h>

namespace fs = std::filesystem;

namespace {

// A NUL-separated list ending with an empty string.
std::string List(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& p : paths)
        list += p + '\0';
    return list + '\0';
}

// One shell operation with the lists it points at.
struct ShellOp {
    std::string from;
    std::string to;
    SHFILEOPSTRUCT op;
    ShellOp(UINT func, std::string fromList, std::string toList, FILEOP_FLAGS flags)
        : from(std::move(fromList)), to(std::move(toList)), op{nullptr, func, nullptr, nullptr, flags, FALSE, nullptr, ""}
    {
    }
    int Run()
    {
        op.pFrom = from.c_str();
        op.pTo = to.empty() ? nullptr : to.c_str();
        return SHFileOperation(&op);
    }
    BOOL Aborted() const { return op.fAnyOperationsAborted; }
};

TEST(MoveFile, NeverReplacesAnExistingFile)
{
    TestDir dir;
    dir.write("a.jpg", "new");
    dir.write("b.jpg", "old");
    SetLastError(0);
    EXPECT_FALSE(MoveFileA((dir / "a.jpg").c_str(), (dir / "b.jpg").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(dir.read("a.jpg"), "new");
    EXPECT_EQ(dir.read("b.jpg"), "old");

    EXPECT_TRUE(MoveFile((dir / "a.jpg").c_str(), (dir / "c.jpg").c_str()));
    EXPECT_EQ(dir.read("c.jpg"), "new");
    EXPECT_FALSE(fs::exists(dir.path() / "a.jpg"));

    EXPECT_FALSE(MoveFile((dir / "a.jpg").c_str(), (dir / "d.jpg").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    EXPECT_TRUE(MoveFileEx((dir / "c.jpg").c_str(), (dir / "b.jpg").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(dir.read("b.jpg"), "new") << "replacing only when asked";
}

TEST(MoveFile, FoldersMoveButNotOntoAFile)
{
    TestDir dir;
    fs::create_directory(dir.path() / "plugins");
    dir.write("plugins/fx.qli", "x");
    dir.write("taken", "");
    EXPECT_FALSE(MoveFile((dir / "plugins").c_str(), (dir / "taken").c_str()));
    EXPECT_TRUE(MoveFile((dir / "plugins").c_str(), (dir / "moved").c_str()));
    EXPECT_EQ(dir.read("moved/fx.qli"), "x");
}

TEST(CopyFile, FailIfExistsKeepsTheTarget)
{
    TestDir dir;
    dir.write("src", "source");
    dir.write("dst", "target");
    ::chmod((dir / "src").c_str(), 0640);
    EXPECT_FALSE(CopyFile((dir / "src").c_str(), (dir / "dst").c_str(), TRUE));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(dir.read("dst"), "target");
    EXPECT_TRUE(CopyFile((dir / "src").c_str(), (dir / "dst").c_str(), FALSE));
    EXPECT_EQ(dir.read("dst"), "source");
    EXPECT_TRUE(CopyFile((dir / "src").c_str(), (dir / "new").c_str(), TRUE));
    EXPECT_EQ(fs::status(dir.path() / "new").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(CopyFile((dir / "none").c_str(), (dir / "dst").c_str(), FALSE));
    EXPECT_EQ(dir.read("dst"), "source") << "a failed copy leaves the target";
    EXPECT_EQ(dir.count(), 3u) << "and no temporary file";
}

TEST(DeleteFile, FilesAndLinksButNotFoldersOrReadOnlyFiles)
{
    TestDir dir;
    dir.write("keep", "k");
    dir.write("locked.jpg", "l");
    ::chmod((dir / "locked.jpg").c_str(), 0444);
    EXPECT_FALSE(DeleteFile((dir / "locked.jpg").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.read("locked.jpg"), "l");
    fs::create_directory(dir.path() / "folder");
    fs::create_symlink(dir.path() / "keep", dir.path() / "link");
    EXPECT_FALSE(DeleteFileA((dir / "folder").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DeleteFile((dir / "link").c_str()));
    EXPECT_EQ(dir.read("keep"), "k");
    EXPECT_FALSE(DeleteFile((dir / "link").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(Directories, CreateAndRemove)
{
    TestDir dir;
    EXPECT_TRUE(CreateDirectoryA((dir / "FolderSet").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectory((dir / "FolderSet").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectory((dir / "missing/child").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    dir.write("FolderSet/x", "");
    EXPECT_FALSE(RemoveDirectory((dir / "FolderSet").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
}

TEST(FileAttributes, TimesSizesAndKinds)
{
    TestDir dir;
    dir.write("photo.jpg", "12345");
    // 2001-01-01 00:00:00 UTC: 978307200 s after 1970, so
    // (978307200 + 11644473600) * 10^7 ticks = 126227808000000000 after 1601.
    const timeval times[2] = {{978307200, 0}, {978307200, 0}};
    ASSERT_EQ(::utimes((dir / "photo.jpg").c_str(), times), 0);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA((dir / "photo.jpg").c_str(), GetFileExInfoStandard, &data));
    const auto ticks = [](FILETIME t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    EXPECT_EQ(ticks(data.ftLastWriteTime), 126227808000000000u);
    EXPECT_GE(ticks(data.ftCreationTime), ticks(data.ftLastWriteTime))
        << "birth time (now) where kept, else the modification time";
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);

    fs::create_directory(dir.path() / ".hidden");
    EXPECT_EQ(GetFileAttributes((dir / ".hidden").c_str()), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(GetFileAttributes((dir / "none").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes("/"), FILE_ATTRIBUTE_DIRECTORY);
}

// A tree with links that point out of it, at files that must survive.
TEST(ShellDelete, NeverFollowsLinksOutOfTheTree)
{
    TestDir dir;
    fs::create_directories(dir.path() / "outside/deep");
    dir.write("outside/precious.jpg", "p");
    dir.write("outside/deep/more.jpg", "m");
    fs::create_directories(dir.path() / "album/sub");
    dir.write("album/a.jpg", "a");
    dir.write("album/sub/b.jpg", "b");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "album/sub/linked folder");
    fs::create_symlink(dir.path() / "outside/precious.jpg", dir.path() / "album/linked.jpg");

    ShellOp op(FO_DELETE, List({dir / "album"}), "", 0);
    EXPECT_EQ(op.Run(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "album")));
    EXPECT_EQ(dir.read("outside/precious.jpg"), "p");
    EXPECT_EQ(dir.read("outside/deep/more.jpg"), "m");
}

TEST(ShellDelete, SeveralPathsAndTheConfirmationHook)
{
    TestDir dir;
    dir.write("a", "");
    dir.write("b", "");
    static std::vector<std::string> asked;
    asked.clear();
    qlwin::SetFileConfirmHook([](HWND, qlwin::FileQuestion q, const char* path) {
        asked.push_back(path);
        return q == qlwin::FileQuestion::Delete && std::string(path).back() == 'a';
    });
    ShellOp op(FO_DELETE, List({dir / "a", dir / "b"}), "", 0);
    EXPECT_EQ(op.Run(), 0);
    EXPECT_TRUE(op.Aborted());
    EXPECT_EQ(asked, (std::vector<std::string>{dir / "a", dir / "b"}));
    EXPECT_FALSE(fs::exists(dir.path() / "a"));
    EXPECT_TRUE(fs::exists(dir.path() / "b")) << "the user said no";

    asked.clear();
    op = ShellOp(FO_DELETE, List({dir / "b"}), "", FOF_NOCONFIRMATION);
    EXPECT_EQ(op.Run(), 0);
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(fs::exists(dir.path() / "b"));
    qlwin::SetFileConfirmHook(nullptr);

    op = ShellOp(FO_DELETE, List({dir / "b"}), "", 0);
    EXPECT_EQ(op.Run(), static_cast<int>(ERROR_FILE_NOT_FOUND));
}

TEST(ShellCopy, NameClashes)
{
    struct Case {
        const char* name;
        FILEOP_FLAGS flags;
        const char* kept;      // content of "to/x.jpg" afterwards
        const char* renamedTo; // where the copy went instead, or ""
        BOOL aborted;
    };
    const Case cases[] = {
        {"rename on collision", FOF_RENAMEONCOLLISION, "old", "x (2).jpg", FALSE},
        {"no confirmation replaces", FOF_NOCONFIRMATION, "new", "", FALSE},
        {"no hook: nothing replaced", 0, "old", "", TRUE},
    };
    for (const Case& c : cases) {
        TestDir dir;
        fs::create_directories(dir.path() / "from");
        fs::create_directories(dir.path() / "to");
        dir.write("from/x.jpg", "new");
        dir.write("to/x.jpg", "old");
        ShellOp op(FO_COPY, List({dir / "from/x.jpg"}), List({dir / "to"}), c.flags);
        EXPECT_EQ(op.Run(), 0) << c.name;
        EXPECT_EQ(op.Aborted(), c.aborted) << c.name;
        EXPECT_EQ(dir.read("to/x.jpg"), c.kept) << c.name;
        if (*c.renamedTo) {
            EXPECT_EQ(dir.read(std::string("to/") + c.renamedTo), "new") << c.name;
        }
        EXPECT_EQ(dir.read("from/x.jpg"), "new");
    }
}

TEST(ShellCopy, RenameOnCollisionFindsTheNextFreeNumber)
{
    TestDir dir;
    dir.write("x.jpg", "1");
    dir.write("x (2).jpg", "2");
    ShellOp op(FO_COPY, List({dir / "x.jpg"}), List({dir.path().string()}), FOF_RENAMEONCOLLISION);
    EXPECT_EQ(op.Run(), 0) << "a copy onto itself";
    EXPECT_EQ(dir.read("x (3).jpg"), "1");
    op = ShellOp(FO_COPY, List({dir / "x.jpg"}), List({dir.path().string()}), 0);
    EXPECT_EQ(op.Run(), DE_SAMEFILE);
}

TEST(ShellCopy, FolderTreesCopyLinksAsLinks)
{
    TestDir dir;
    fs::create_directories(dir.path() / "src/sub");
    dir.write("src/sub/a.jpg", "a");
    dir.write("outside.jpg", "o");
    fs::create_symlink(dir.path() / "outside.jpg", dir.path() / "src/link.jpg");
    ShellOp op(FO_COPY, List({dir / "src"}), List({dir / "dst"}), 0);
    EXPECT_EQ(op.Run(), 0);
    EXPECT_EQ(dir.read("dst/sub/a.jpg"), "a");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dst/link.jpg"));
    EXPECT_EQ(fs::read_symlink(dir.path() / "dst/link.jpg"), dir.path() / "outside.jpg");

    op = ShellOp(FO_COPY, List({dir / "src"}), List({dir / "src/sub"}), 0);
    EXPECT_EQ(op.Run(), DE_DESTSUBTREE);
    EXPECT_FALSE(fs::exists(dir.path() / "src/sub/src"));
}

TEST(ShellMove, SeveralFilesIntoAFolderWithoutReplacing)
{
    TestDir dir;
    dir.write("a.jpg", "a");
    dir.write("b.jpg", "b");
    fs::create_directory(dir.path() / "target");
    dir.write("target/b.jpg", "old b");
    ShellOp op(FO_MOVE, List({dir / "a.jpg", dir / "b.jpg"}), List({dir / "target"}), 0);
    EXPECT_EQ(op.Run(), 0);
    EXPECT_TRUE(op.Aborted());
    EXPECT_EQ(dir.read("target/a.jpg"), "a");
    EXPECT_EQ(dir.read("target/b.jpg"), "old b");
    EXPECT_EQ(dir.read("b.jpg"), "b") << "not moved, not lost";
    EXPECT_FALSE(fs::exists(dir.path() / "a.jpg"));

    op = ShellOp(FO_MOVE, List({dir / "missing.jpg"}), List({dir / "target"}), 0);
    EXPECT_EQ(op.Run(), static_cast<int>(ERROR_FILE_NOT_FOUND));
}

TEST(ShellRename, RefusesATakenName)
{
    TestDir dir;
    dir.write("a", "a");
    dir.write("b", "b");
    ShellOp op(FO_RENAME, List({dir / "a"}), List({dir / "b"}), FOF_NOCONFIRMATION);
    EXPECT_EQ(op.Run(), static_cast<int>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(dir.read("b"), "b");
    op = ShellOp(FO_RENAME, List({dir / "a"}), List({dir / "c"}), 0);
    EXPECT_EQ(op.Run(), 0);
    EXPECT_EQ(dir.read("c"), "a");
}

} // namespace
