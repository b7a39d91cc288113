#include "platform/win/ShellFolders.h"
#include "platform/win/tests/ChildSupport.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(UserDirs, ValuesOfTheConfigFile)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"XDG_PICTURES_DIR=\"$HOME/Pictures\"\n", "/home/u/Pictures"},
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"/data/Bilder\"\n", "/data/Bilder"},
        {"XDG_PICTURES_DIR=\"$HOME/My\\ \\\"Pics\\\"\"", "/home/u/My \"Pics\""},
        {"XDG_PICTURES_DIR=\"$HOME\"", "/home/u"},
        {"XDG_PICTURES_DIR=\"relative/path\"", ""},
        {"XDG_PICTURES_DIR=\"$HOMEx/a\"", ""},
        {"XDG_PICTURES_DIR=$HOME/unquoted", ""},
        {"XDG_PICTURES_DIRX=\"/x\"", ""},
        {"XDG_PICTURES_DIR=\"/first\"\nXDG_PICTURES_DIR=\"/second\"", "/second"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qlwin::UserDirFromConfig(c.text, "XDG_PICTURES_DIR", "/home/u"), c.expected) << c.text;
}

class ShellFolders : public ::testing::Test {
protected:
    TestDir dir;
    EnvScope home{"HOME", (dir / "home")};
    EnvScope config{"XDG_CONFIG_HOME", (dir / "config")};
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "home");
        std::filesystem::create_directories(dir.path() / "config");
    }
};

TEST_F(ShellFolders, FoldersFromTheUserDirsFile)
{
    dir.write("config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    std::filesystem::create_directories(dir.path() / "home/Bilder");
    char out[MAX_PATH];
    EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, out, CSIDL_MYPICTURES, FALSE));
    EXPECT_EQ(std::string(out), dir / "home/Bilder");
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, out, CSIDL_PERSONAL, FALSE)) << "not there yet";
    EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, out), S_OK);
    EXPECT_EQ(std::string(out), dir / "home/Dokumente");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "home/Dokumente"));
}

TEST_F(ShellFolders, DefaultsWithoutTheFile)
{
    char out[MAX_PATH];
    EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, out, CSIDL_MYPICTURES, FALSE));
    EXPECT_EQ(std::string(out), dir / "home");
    EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, out, CSIDL_DESKTOPDIRECTORY, TRUE));
    EXPECT_EQ(std::string(out), dir / "home/Desktop");
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, out, 0x1234, TRUE)) << "a folder we do not know";
}

} // namespace
