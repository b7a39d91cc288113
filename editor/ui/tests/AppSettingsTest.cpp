#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Profile.h"
#include "platform/win/Registry.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using skintest::TempFolder;

// A program folder with a profile and the skin pictures, an application
// object reading that profile, and a private registry.
class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_oldConfig = old ? old : "";
        setenv("XDG_CONFIG_HOME", (m_folder.Path() + "config").c_str(), 1);
        std::filesystem::create_directories(m_folder.Path() + "skin");
        m_profile = m_folder.Path() + "Quillo.ini";
        m_app.m_pszProfileName = strdup(m_profile.c_str());
        std::snprintf(m_settings.m_programFolder, sizeof m_settings.m_programFolder, "%s", m_folder.Path().c_str());
    }
    void TearDown() override
    {
        if (m_oldConfig.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", m_oldConfig.c_str(), 1);
        g_skinButtonImage = nullptr;
    }

    void WriteProfile(const char* text)
    {
        std::ofstream(m_profile) << text;
    }
    std::string ReadProfile()
    {
        std::ifstream in(m_profile);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WritePicture(const char* name, int w, int h)
    {
        CQLImage image;
        skintest::Fill(&image, w, h, CPixel{10, 20, 30, 255});
        const std::string path = m_folder.Path() + "skin/" + name;
        if (std::strstr(name, ".bmp"))
            ASSERT_EQ(image.SaveToFile(path.c_str()), 0);
        else
            ASSERT_NE(CQLImageCodec().SaveFile(path.c_str(), &image), 0);
    }
    static UINT Width(const CQLImage& image)
    {
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        return w;
    }

    TempFolder m_folder;
    std::string m_oldConfig;
    std::string m_profile;
    CWinApp m_app{"Quillo"};
    CAppSettings m_settings;
};

constexpr const char* kUserProfile =
    "[General]\nUserName=Ann\nRunTime=4\nFitView=0\nQLFlag=0\nPopBlur=0\nToolText=1\n"
    "[Open]\nTip=0\nUserOldStyle=1\n"
    "[Custom]\nTittle=My Title\nAboutDlg=About me\nNoforum=1\nNoNotify=1\n";

struct MissingCase {
    const char* name;
    const char* missing;
};

class MissingPicture : public AppSettingsTest, public ::testing::WithParamInterface<MissingCase> {};

// A missing picture once ended loading: the later settings kept their
// defaults and saving then wrote those over the user's own.
TEST_P(MissingPicture, EverySettingIsReadAndTheOtherPicturesLoad)
{
    WriteProfile(kUserProfile);
    const struct {
        const char* name;
        const CQLImage* image;
        int width;
    } pictures[] = {{"btnst.bmp", &m_settings.m_buttonImage, 3},
                    {"3dface.bmp", &m_settings.m_faceImage, 5},
                    {"slider.png", &m_settings.m_sliderImage, 7},
                    {"sliderbar.png", &m_settings.m_sliderBarImage, 9},
                    {"checkbox.png", &m_settings.m_checkImage, 32}};
    for (const auto& p : pictures)
        if (std::strcmp(p.name, GetParam().missing) != 0)
            WritePicture(p.name, p.width, 6);

    m_settings.LoadProfileAndSkin();

    EXPECT_STREQ(m_settings.m_userName, "Ann");
    EXPECT_EQ(m_settings.m_runCount, 4);
    EXPECT_EQ(m_settings.m_showTip, 0);
    EXPECT_EQ(m_settings.m_userOldStyle, 1);
    EXPECT_EQ(m_settings.m_fitView, 0);
    EXPECT_EQ(m_settings.m_qlFlag, 0);
    EXPECT_EQ(m_settings.m_popBlur, 0);
    EXPECT_EQ(m_settings.m_toolText, 1);
    EXPECT_STREQ(m_settings.m_customTitle, "My Title");
    EXPECT_STREQ(m_settings.m_customAbout, "About me");
    EXPECT_EQ(m_settings.m_noForum, 1);
    EXPECT_EQ(m_settings.m_noNotify, 1);
    EXPECT_EQ(m_settings.m_startWithSystem, -1) << "no companion setting in the registry";
    for (const auto& p : pictures) {
        const bool missing = std::strcmp(p.name, GetParam().missing) == 0;
        EXPECT_EQ(Width(*p.image), missing ? 0u : static_cast<UINT>(p.width)) << p.name;
    }
    EXPECT_EQ(g_skinButtonImage, std::strcmp(GetParam().missing, "btnst.bmp") == 0 ? nullptr
                                                                                    : &m_settings.m_buttonImage);

    m_settings.SaveProfile();
    const std::string saved = ReadProfile();
    EXPECT_NE(saved.find("FitView=0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Tip=0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ToolText=1"), std::string::npos) << saved;
    EXPECT_NE(saved.find("RunTime=5"), std::string::npos) << saved;
}

INSTANTIATE_TEST_SUITE_P(Skin, MissingPicture,
                         ::testing::Values(MissingCase{"ButtonBands", "btnst.bmp"},
                                           MissingCase{"DialogFace", "3dface.bmp"},
                                           MissingCase{"SliderTrack", "slider.png"},
                                           MissingCase{"CheckGlyphs", "checkbox.png"}, MissingCase{"None", "none"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppSettingsTest, DefaultsLongTextsAndTheCompanionsRegistryValue)
{
    WriteProfile(("[General]\nUserName=Bea\n[Custom]\nTittle=" + std::string(100, 't') + "\n").c_str());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Kelvane\\Setting", 0, nullptr, 0, KEY_WRITE,
                             nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    ASSERT_EQ(RegSetValueEx(key, "StartWithSystem", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one),
              ERROR_SUCCESS);
    RegCloseKey(key);

    m_settings.LoadProfileAndSkin();
    EXPECT_EQ(std::strlen(m_settings.m_customTitle), sizeof m_settings.m_customTitle - 1) << "cut to fit";
    EXPECT_EQ(m_settings.m_showTip, 1);
    EXPECT_EQ(m_settings.m_fitView, 1);
    EXPECT_EQ(m_settings.m_qlFlag, 1);
    EXPECT_EQ(m_settings.m_popBlur, 1);
    EXPECT_EQ(m_settings.m_toolText, 0);
    EXPECT_EQ(m_settings.m_runCount, 0);
    EXPECT_EQ(m_settings.m_startWithSystem, 1);
    EXPECT_NE(m_settings.m_skinBrush.GetSafeHandle(), nullptr) << "the skinned windows' background";

    m_settings.SaveProfile();
    const std::string saved = ReadProfile();
    EXPECT_EQ(saved.find("PopBlur"), std::string::npos) << "never written";
    EXPECT_EQ(saved.find("StartWithSystem"), std::string::npos);
    EXPECT_NE(saved.find("RunTime=1"), std::string::npos);
}

TEST_F(AppSettingsTest, AnEmptyUserNameIsAskedForBeforeTheLaterSettings)
{
    WriteProfile("[Open]\nTip=0\n");
    std::string caption;
    qlafx::SetModalHook([&](CWnd* dialog, const char* title, const char* text, UINT) {
        if (!dialog || text)
            return qlafx::kModalRun;
        caption = title ? title : "";
        dialog->SetDlgItemText(IDC_PROMPT_EDIT, "Cleo");
        dialog->SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    m_settings.LoadProfileAndSkin();
    qlafx::SetModalHook({});
    EXPECT_EQ(caption, "Input User Name");
    EXPECT_STREQ(m_settings.m_userName, "Cleo");
    EXPECT_EQ(m_settings.m_showTip, 0);
}

}  // namespace
