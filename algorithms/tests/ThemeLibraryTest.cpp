// Saving colour themes into the theme folder (new, append, overwrite,
// declined, refused) and scanning the folder tree.
#include "algorithms/ColorTheme.h"
#include "algorithms/ColorThemeFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ColorTheme Theme(const char* name, int steps, BYTE mark = 1)
{
    ColorTheme t;
    std::strncpy(t.name, name, sizeof t.name - 1);
    for (int i = 0; i < steps; ++i) {
        ColorThemeStep s;
        s.type = ColorThemeStep::Curves;
        s.payload[0] = static_cast<BYTE>(mark + i);
        t.steps.push_back(s);
    }
    return t;
}

class ThemeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quillo-themes-XXXXXX";
        root = std::string(::mkdtemp(pattern)) + "/";
        ColorTheme::SetProgramFolder(root);
        ColorTheme::SetAskHook([this](const char* q) {
            asked.emplace_back(q);
            const bool a = !answers.empty() && answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return a;
        });
    }
    void TearDown() override
    {
        ColorTheme::SetAskHook({});
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root);
    }
    std::string Path(const char* file) const { return ColorTheme::Folder() + file; }

    std::string root;
    std::vector<bool> answers;
    std::vector<std::string> asked;
};

const char kAppend[] = "Theme exist.\nAppend this step to it?";
const char kOverwrite[] = "Overwrite the old file?";

} // namespace

TEST_F(ThemeLibraryTest, FileNamesKeepTheTypedNameInTheHeader)
{
    struct Case {
        std::string typed, file;
    };
    const Case cases[] = {
        {"a/b:c", "a_b_c"},
        {"\"*?\\~x", "_____x"},
        {"Warm sepia", "Warm sepia"},
        {std::string(300, 'n'), std::string(251, 'n')},
        // 2-byte characters: cut before a half character.
        {std::string(1, 'x') + [] { std::string s; for (int i = 0; i < 150; ++i) s += "\xC3\xA9"; return s; }(),
         std::string(1, 'x') + [] { std::string s; for (int i = 0; i < 125; ++i) s += "\xC3\xA9"; return s; }()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorTheme::FileNameFor(c.typed), c.file) << c.typed;

    ColorTheme t = Theme("a/b:c", 2);
    ASSERT_EQ(t.Save(ColorTheme::FileNameFor("a/b:c"), true), ColorTheme::SaveResult::Written);
    EXPECT_EQ(Bytes(Path("a_b_c.cth")).size(), 1281u + 2 * 3076u);
    ColorTheme back;
    ASSERT_TRUE(back.Load("a_b_c.cth", false));
    EXPECT_EQ(back.Name(), "a/b:c");
    EXPECT_EQ(back.stepCount, 2);
    EXPECT_TRUE(asked.empty());
}

TEST_F(ThemeLibraryTest, ExistingThemeAnswers)
{
    struct Case {
        const char* what;
        std::vector<bool> answers;
        ColorTheme::SaveResult result;
        std::size_t steps;
        const char* name;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {"append keeps the first header", {true}, ColorTheme::SaveResult::Written, 3, "first", {kAppend}},
        {"overwrite", {false, true}, ColorTheme::SaveResult::Written, 1, "second", {kAppend, kOverwrite}},
        {"No, No keeps the file", {false, false}, ColorTheme::SaveResult::Declined, 2, "first", {kAppend, kOverwrite}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Theme("first", 2).Save("t", false), ColorTheme::SaveResult::Written);
        const std::vector<char> before = Bytes(Path("t.cth"));
        answers = c.answers;
        asked.clear();
        EXPECT_EQ(Theme("second", 1, 9).Save("t", true), c.result) << c.what;
        ColorTheme back;
        ASSERT_TRUE(back.Load(Path("t.cth"), true));
        EXPECT_EQ(back.steps.size(), c.steps) << c.what;
        EXPECT_EQ(back.Name(), c.name) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
        if (c.result == ColorTheme::SaveResult::Declined)
            EXPECT_EQ(Bytes(Path("t.cth")), before);
        if (c.steps == 3)
            EXPECT_EQ(back.steps[2].payload[0], 9);
    }
}

TEST_F(ThemeLibraryTest, AppendBeyond255StepsIsRefusedAndTheFileKept)
{
    ASSERT_EQ(Theme("full", 255).Save("full", false), ColorTheme::SaveResult::Written);
    const std::vector<char> before = Bytes(Path("full.cth"));
    answers = {true};
    EXPECT_EQ(Theme("one", 1).Save("full", true), ColorTheme::SaveResult::Failed);
    EXPECT_EQ(Bytes(Path("full.cth")), before);
}

TEST_F(ThemeLibraryTest, FolderThatCannotBeMadeFails)
{
    std::ofstream(root + "ColorTheme") << "a file where the folder belongs";
    EXPECT_EQ(Theme("x", 1).Save("x", false), ColorTheme::SaveResult::Failed);
}

TEST_F(ThemeLibraryTest, ReadOnlyFolderFailsAndKeepsTheFile)
{
    ASSERT_EQ(Theme("kept", 1).Save("kept", false), ColorTheme::SaveResult::Written);
    const std::vector<char> before = Bytes(Path("kept.cth"));
    fs::permissions(ColorTheme::Folder(), fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(Path("probe")).good())
        GTEST_SKIP() << "the folder stays writable for this user";
    answers = {false, true};
    EXPECT_EQ(Theme("new", 2).Save("kept", true), ColorTheme::SaveResult::Failed);
    EXPECT_EQ(Theme("new", 2).Save("other", false), ColorTheme::SaveResult::Failed);
    EXPECT_EQ(Bytes(Path("kept.cth")), before);
}

TEST_F(ThemeLibraryTest, ScanSkipsDotFoldersFindsAnyCaseAndSurvivesLinkLoops)
{
    const std::string folder = ColorTheme::Folder();
    fs::create_directories(folder + "Sub/.hidden");
    fs::create_directories(folder + ".git");
    ASSERT_EQ(Theme("b", 1).Save("b", false), ColorTheme::SaveResult::Written);
    ASSERT_EQ(Theme("A", 1).Save("A", false), ColorTheme::SaveResult::Written);
    fs::rename(folder + "A.cth", folder + "A.CTH");
    Theme("in sub", 1).Write(folder + "Sub/c.cth");
    Theme("hidden", 1).Write(folder + "Sub/.hidden/d.cth");
    Theme("dot", 1).Write(folder + ".git/e.cth");
    std::ofstream(folder + "notes.txt") << "x";
    fs::create_directory_symlink(folder, folder + "Sub/loop");

    ColorThemeFolder root;
    root.Scan(folder);
    ASSERT_EQ(root.themes.size(), 2u);
    EXPECT_EQ(root.themes[0].Name(), "A");  // case-blind order
    EXPECT_EQ(root.themes[1].Name(), "b");
    ASSERT_EQ(root.children.size(), 1u);
    const ColorThemeFolder& sub = *root.children[0];
    EXPECT_EQ(sub.name, "Sub");
    EXPECT_EQ(sub.parent, &root);
    ASSERT_EQ(sub.themes.size(), 1u);
    EXPECT_EQ(sub.themes[0].Name(), "in sub");
    EXPECT_TRUE(sub.children.empty());  // the loop is not entered again

    ColorThemeFolder missing;
    missing.Scan(root.path + "nothing/");
    EXPECT_TRUE(missing.Empty());
}
