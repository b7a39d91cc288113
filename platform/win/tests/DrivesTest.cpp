#include "platform/win/Drives.h"
#include "platform/win/Wallpaper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const char kMounts[] =
    "sysfs /sys sysfs rw,nosuid 0 0\n"
    "proc /proc proc rw 0 0\n"
    "/dev/sda2 / ext4 rw,relatime 0 0\n"
    "tmpfs /run tmpfs rw 0 0\n"
    "/dev/sda1 /boot/efi vfat rw 0 0\n"
    "/dev/sdb1 /media/My\\040Photos exfat rw 0 0\n"
    "/dev/sdc1 /srv/data xfs rw 0 0\n"
    "server:/share /mnt/nfs nfs4 rw 0 0\n"
    "/dev/sda2 / ext4 rw,relatime 0 0\n"
    "/dev/sdd1 /data btrfs rw 0 0\n";

TEST(FixedDrives, HomeRootAndLocalDiskMountsOnceEach)
{
    const auto drives = qlwin::ParseFixedDrives(kMounts, "/home/ann");
    std::vector<std::string> roots;
    for (const auto& d : drives)
        roots.push_back(d.root);
    EXPECT_EQ(roots, (std::vector<std::string>{"/home/ann/", "/", "/boot/efi/", "/media/My Photos/", "/srv/data/",
                                               "/data/"}));
    EXPECT_EQ(drives[0].name, "Home");
}

TEST(FixedDrives, RootIsListedEvenWithoutADiskLine)
{
    const auto drives = qlwin::ParseFixedDrives("overlay / overlay rw 0 0\n", "/");
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].root, "/");
}

TEST(FixedDrives, LabelIsNameThenRootInParentheses)
{
    EXPECT_EQ(qlwin::DriveLabel({"/home/ann/", "Home"}), "Home(/home/ann/)");
    EXPECT_EQ(qlwin::DriveLabel({"/", ""}), "(/)");
    EXPECT_EQ(qlwin::DriveLabel({"/d/", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}), "ABCDEFGHIJKLMNOPQRST(/d/)");
}

TEST(FixedDrives, TheRunningSystemHasHomeAndRootAsFixed)
{
    EXPECT_EQ(GetDriveType("/"), DRIVE_FIXED);
    const char* home = std::getenv("HOME");
    if (home && std::filesystem::is_directory(home)) {
        EXPECT_EQ(GetDriveType(home), DRIVE_FIXED);
        char name[64] = "x";
        EXPECT_TRUE(GetVolumeInformation(home, name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0));
        EXPECT_STREQ(name, "Home");
    }
    EXPECT_EQ(GetDriveType("/no/such/folder/"), DRIVE_NO_ROOT_DIR);
}

TEST(Wallpaper, HookReceivesThePathAndDataFolderFollowsXdg)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "qlwin-wallpaper-test";
    std::filesystem::remove_all(dir);
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    const std::string folder = qlwin::UserDataFolder();
    EXPECT_EQ(folder, dir.string() + "/quillo/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    std::string seen;
    qlwin::SetWallpaperHook([&](const char* path) {
        seen = path;
        return TRUE;
    });
    EXPECT_TRUE(qlwin::SetDesktopWallpaper("/x/Quillo Wallpaper.bmp"));
    EXPECT_EQ(seen, "/x/Quillo Wallpaper.bmp");
    EXPECT_FALSE(qlwin::SetDesktopWallpaper(""));
    qlwin::SetWallpaperHook({});
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    std::filesystem::remove_all(dir);
}

} // namespace
