// JPEG save schemes: the list of a SaveSet folder, saving with the name
// prompt, deleting, and the size budget less the EXIF block.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/SaveSchemes.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/MessageBox.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kSaveDone[] = "Save done.You can see it from list when next entering this function.";
const char kSaveFailed[] = "Save failed. Check the filename for illegal characters and make sure you have right to "
                           "access the disk.";

JpegSlimSettings Web()
{
    JpegSlimSettings s;
    s.quality = 72;
    s.includeExif = 0;
    s.adaptive = 1;
    s.resizeMode = 3;
    s.resizeLength = 800;
    s.sizeMode = 2;
    s.targetKB = 150;
    return s;
}

std::vector<std::string> Names(const std::vector<SaveScheme>& schemes)
{
    std::vector<std::string> names;
    for (const SaveScheme& s : schemes)
        names.push_back(s.name);
    return names;
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

class SaveSchemes : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        m_schemes = m_folder.Path() + "SaveSet/";
        qlafx::SetModalHook([this](CWnd* dialog, const char*, const char* text, UINT) -> int {
            if (!dialog) {
                m_boxes.emplace_back(text ? text : "");
                return IDOK;
            }
            m_prompts.emplace_back(text ? text : "");
            if (m_typed.empty())
                return IDCANCEL;
            dialog->SetDlgItemText(IDC_PROMPT_EDIT, m_typed.c_str());
            dialog->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
            return qlafx::kModalRun;
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
        ShellWindowsTest::TearDown();
    }
    // The program folder is the test's own, so saving lands in m_schemes.
    void UseOwnProgramFolder()
    {
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", m_folder.Path().c_str());
    }

    std::string m_schemes;
    std::string m_typed;
    std::vector<std::string> m_boxes;
    std::vector<std::string> m_prompts;
};

TEST_F(SaveSchemes, WrittenSchemeIsListedWithItsValues)
{
    JpegSlimSettings s = Web();
    s.flags = 2;
    s.SetPath("/home/someone/out.jpg");
    ASSERT_NE(WriteSaveScheme(m_schemes, "web 800", s), 0);
    const std::vector<SaveScheme> list = LoadSaveSchemes(m_schemes);
    ASSERT_EQ(Names(list), std::vector<std::string>{"web 800"});
    const JpegSlimSettings& got = list[0].settings;
    EXPECT_EQ(got.valid, 1);
    EXPECT_EQ(got.quality, 72);
    EXPECT_EQ(got.includeExif, 0);
    EXPECT_EQ(got.adaptive, 1);
    EXPECT_EQ(got.resizeMode, 3);
    EXPECT_EQ(got.resizeLength, 800);
    EXPECT_EQ(got.sizeMode, 2);
    EXPECT_EQ(got.targetKB, 150);
    // A scheme keeps no output file of an earlier save.
    EXPECT_EQ(got.flags, 6);
    EXPECT_STREQ(got.path, "");
}

TEST_F(SaveSchemes, HostileShortAndForeignFilesAreNotListed)
{
    ASSERT_NE(WriteSaveScheme(m_schemes, "good", Web()), 0);
    BYTE record[JpegSlimSettings::kFileSize];
    ASSERT_TRUE(FormatTsp(Web(), record));
    const std::vector<BYTE> whole(record, record + sizeof record);

    WriteBytes(m_schemes + "short.tsp", std::vector<BYTE>(whole.begin(), whole.begin() + 100));
    WriteBytes(m_schemes + "empty.tsp", {});
    std::vector<BYTE> quality = whole;
    quality[4] = 101;
    WriteBytes(m_schemes + "quality.tsp", quality);
    std::vector<BYTE> mode = whole;
    mode[16] = 7;
    WriteBytes(m_schemes + "mode.tsp", mode);
    std::vector<BYTE> open = whole;
    std::fill(open.begin() + 33, open.end(), 'x'); // path without its end
    WriteBytes(m_schemes + "open.tsp", open);
    std::vector<BYTE> longer = whole;
    longer.resize(600, 0xEE); // trailing bytes past the record are ignored
    WriteBytes(m_schemes + "LONGER.TSP", longer);
    WriteBytes(m_schemes + "notes.txt", whole);
    fs::create_directories(m_schemes + "folder.tsp");

    EXPECT_EQ(Names(LoadSaveSchemes(m_schemes)), (std::vector<std::string>{"good", "LONGER"}));
}

TEST_F(SaveSchemes, MissingFolderListsNothing)
{
    EXPECT_TRUE(LoadSaveSchemes(m_folder.Path() + "nowhere/").empty());
}

TEST_F(SaveSchemes, NamesThatLeaveTheFolderAreRefused)
{
    struct Case {
        const char* name;
        bool allowed;
    };
    const Case cases[] = {
        {"web 800", true}, {"e-mail.1024", true}, {"", false}, {"a/b", false},
        {"/etc/x", false}, {"..", false},         {"../up", false}, {"x..y", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSchemeNameAllowed(c.name), c.allowed) << c.name;
        EXPECT_EQ(WriteSaveScheme(m_schemes, c.name, Web()) != 0, c.allowed) << c.name;
    }
    EXPECT_FALSE(fs::exists(m_folder.Path() + "up.tsp"));
    EXPECT_EQ(DeleteSaveScheme(m_schemes, "../SaveSet/web 800"), 0);
    EXPECT_TRUE(fs::exists(m_schemes + "web 800.tsp"));
}

TEST_F(SaveSchemes, PromptSavesIntoTheProgramFolderAndSaysSo)
{
    UseOwnProgramFolder();
    m_typed = "forum";
    EXPECT_NE(PromptAndSaveScheme(Web()), 0);
    EXPECT_EQ(m_boxes, std::vector<std::string>{kSaveDone});
    EXPECT_EQ(Names(LoadSaveSchemes()), std::vector<std::string>{"forum"});
}

TEST_F(SaveSchemes, RefusedOrUnwritableNameSaysSaveFailed)
{
    UseOwnProgramFolder();
    m_typed = "../escape";
    EXPECT_EQ(PromptAndSaveScheme(Web()), 0);
    EXPECT_FALSE(fs::exists(m_folder.Path() + "escape.tsp"));
    // A file where the folder should be: nothing can be written.
    fs::remove_all(m_schemes);
    std::ofstream(m_folder.Path() + "SaveSet") << "x";
    m_typed = "fine";
    EXPECT_EQ(PromptAndSaveScheme(Web()), 0);
    EXPECT_EQ(m_boxes, (std::vector<std::string>{kSaveFailed, kSaveFailed}));
}

TEST_F(SaveSchemes, CancelledPromptSavesNothingAndSaysNothing)
{
    UseOwnProgramFolder();
    EXPECT_EQ(PromptAndSaveScheme(Web()), 0);
    EXPECT_EQ(m_prompts.size(), 1u);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_FALSE(fs::exists(m_schemes));
}

TEST_F(SaveSchemes, DeletedSchemeLeavesTheList)
{
    ASSERT_NE(WriteSaveScheme(m_schemes, "a", Web()), 0);
    ASSERT_NE(WriteSaveScheme(m_schemes, "b", Web()), 0);
    EXPECT_NE(DeleteSaveScheme(m_schemes, "a"), 0);
    EXPECT_EQ(Names(LoadSaveSchemes(m_schemes)), std::vector<std::string>{"b"});
    EXPECT_EQ(DeleteSaveScheme(m_schemes, "a"), 0);
}

TEST_F(SaveSchemes, ShippedSchemesAreListed)
{
    const std::vector<SaveScheme> shipped = LoadSaveSchemes(std::string(QUILLO_PROGRAM_DIR) + "/SaveSet/");
    EXPECT_EQ(Names(shipped), (std::vector<std::string>{"E-mail 1024 pixels", "Forum 150 KB", "Web 800 pixels"}));
    for (const SaveScheme& s : shipped) {
        EXPECT_EQ(s.settings.resizeMode, 3) << s.name;
        EXPECT_STREQ(s.settings.path, "") << s.name;
    }
}

TEST(SaveSchemeBudget, LimitLessExifRoundsDownAndNeverReachesZero)
{
    struct Case {
        int kb, exif, budget;
    };
    const Case cases[] = {
        {200, 20 * 1024, 180}, {200, 0, 200},  {200, 1, 199}, {5, 1500, 3},
        {20, 20 * 1024, 1},    {10, 65535, 1}, {1, 0, 1},     {10000, 65535, 9936},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BudgetLessExif(c.kb, c.exif), c.budget) << c.kb << " KB less " << c.exif;
}

} // namespace
