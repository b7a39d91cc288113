#include "EffectDialogTestEnv.h"

#include "SkinTestSupport.h"

#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

namespace effecttest {
namespace {

std::string g_profile;

class Environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        folder = std::make_unique<skintest::TempFolder>();
        setenv("XDG_CONFIG_HOME", (folder->Path() + "config").c_str(), 1);
        g_profile = folder->Path() + "Quillo.ini";
        std::ofstream(g_profile) << "[General]\nUserName=Test\n";
        app = std::make_unique<CWinApp>("Quillo");
        app->m_pszProfileName = strdup(g_profile.c_str());
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
        theAppSettings.LoadProfileAndSkin();
        CQLImageCodec::Start();
        ASSERT_TRUE(theAlgorithmThread.CreateThread());
    }
    void TearDown() override
    {
        theAlgorithmThread.PostThreadMessage(WM_QUIT, 0, 0);
        WaitForSingleObject(theAlgorithmThread.m_hThread, 20000);
    }

    std::unique_ptr<skintest::TempFolder> folder;
    std::unique_ptr<CWinApp> app;
};

const ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);

}  // namespace

const std::string& ProfilePath()
{
    return g_profile;
}

int ProfileInt(const char* section, const char* key)
{
    return static_cast<int>(GetPrivateProfileInt(section, key, -1, g_profile.c_str()));
}

bool PumpUntil(const std::function<bool()>& done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        qlafx::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace effecttest
