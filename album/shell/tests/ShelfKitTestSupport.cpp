#include "ShelfKitTestSupport.h"

#include "album/shell/FolderPane.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/Afx.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace shelfkit {

namespace {
// The profile functions need an application object.
CWinApp& testApp()
{
    static CWinApp app("QuilloShelf");
    return app;
}
} // namespace

void ShelfWindowTest::SetUp()
{
    m_globals = std::make_unique<shelf::AlbumGlobals>();
    shelf::theAlbum = m_globals.get();
    ASSERT_EQ(m_globals->InitPaths(std::string(QUILLO_PROGRAM_DIR) + "/"), 0) << "skin/btnsta.bmp missing";
    g_skinButtonImage = &m_globals->m_skin;
    // No window test lists the machine's own disks.
    shelf::CFolderPane::s_driveSource = [] { return std::vector<qlwin::FixedDrive>{}; };
    if (m_globals->m_patternBitmap.LoadBitmap(228))
        m_globals->m_patternBrush.CreatePatternBrush(&m_globals->m_patternBitmap);
    m_profile = (std::filesystem::temp_directory_path() /
                 ("shelf-profile-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini"))
                    .string();
    std::filesystem::remove(m_profile);
    CWinApp* app = &testApp();
    m_oldProfile = app->m_pszProfileName;
    app->m_pszProfileName = m_profile.c_str();
    // A user is known: the frame runs no welcome wizard.
    app->WriteProfileString("General", "UserName", "Tester");
}

void ShelfWindowTest::TearDown()
{
    if (CWinApp* app = AfxGetApp())
        app->m_pszProfileName = m_oldProfile;
    std::filesystem::remove(m_profile);
    g_skinButtonImage = nullptr;
    shelf::CFolderPane::s_driveSource = nullptr;
    shelf::theAlbum = nullptr;
    m_globals.reset();
}

std::string ShelfWindowTest::ProfileText() const
{
    std::ifstream in(m_profile);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SaveGrab(const QImage& grab, const char* name)
{
    std::filesystem::create_directories(QUILLO_GRAB_DIR);
    const std::string path = std::string(QUILLO_GRAB_DIR) + "/" + name + ".png";
    return grab.save(QString::fromStdString(path)) ? path : std::string();
}

std::string CorpusPhoto(const char* relative)
{
    const std::string path = std::string(QUILLO_CORPUS_DIR) + "/" + relative;
    return std::filesystem::exists(path) ? path : std::string();
}

} // namespace shelfkit
