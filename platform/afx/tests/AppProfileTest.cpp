#include "platform/afx/WinApp.h"
#include "platform/afx/Wnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class AppProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("qlafx-app-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    fs::path m_folder;
};

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(AppProfile, ProfileFunctionsWriteQuilloIniInTheProgramFolder)
{
    CWinApp app("Quillo");
    EXPECT_EQ(AfxGetApp(), &app);
    const std::string folder = m_folder.string() + "/";
    const CString path = qlafx::DefaultProfilePath(folder.c_str());
    EXPECT_EQ(path, CString((folder + "Quillo.ini").c_str()));
    app.m_pszProfileName = strdup(path);
    EXPECT_TRUE(app.WriteProfileInt("General", "Zoom", -25));
    EXPECT_TRUE(app.WriteProfileString("Interface", "Skin", "Dark"));
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("general", "ZOOM", 0)), -25) << "sections and keys ignore case";
    EXPECT_EQ(app.GetProfileString("Interface", "Skin"), "Dark");
    EXPECT_EQ(app.GetProfileString("Interface", "Missing", "fallback"), "fallback");
    EXPECT_EQ(app.GetProfileInt("Interface", "Missing", 7), 7u);
    const std::string text = ReadAll(m_folder / "Quillo.ini");
    EXPECT_NE(text.find("[General]"), std::string::npos);
    EXPECT_NE(text.find("Zoom=-25"), std::string::npos);
    EXPECT_NE(text.find("Skin=Dark"), std::string::npos);
}

TEST_F(AppProfile, UnwritableProgramFolderFallsBackToTheConfigFolder)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
    const CString path = qlafx::DefaultProfilePath((m_folder / "no-such-folder/").c_str());
    EXPECT_EQ(path, CString((m_folder / "config/quillo/Quillo.ini").c_str()));
    EXPECT_TRUE(fs::is_directory(m_folder / "config/quillo"));
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(App, GlobalsFollowTheApplicationObject)
{
    {
        CWinApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxGetThread(), &app);
        EXPECT_NE(AfxGetInstanceHandle(), nullptr);
        EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
        CWnd main;
        ASSERT_TRUE(main.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr));
        app.m_pMainWnd = &main;
        EXPECT_EQ(AfxGetMainWnd(), &main);
        main.DestroyWindow();
        EXPECT_EQ(app.m_pMainWnd, nullptr) << "the main window forgets itself when destroyed";
        MSG msg;
        EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) == FALSE || msg.message == WM_QUIT);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}
