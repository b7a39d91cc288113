#include "SnapTestSupport.h"

#include "platform/afx/Wnd.h"
#include "platform/codec/QLImageCodec.h"
#include "snap/SnapApp.h"
#include "snap/SnapTexts.h"

#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace snaptest {

void SetUpProgram()
{
    static bool done = [] {
        snap::SetProgramFolder(std::string(QUILLO_PROGRAM_DIR) + "/");
        snap::FillSnapTexts();
        CQLImageCodec::Start();
        snap::CSnapApp::LoadSkinBrush();
        return true;
    }();
    (void)done;
}

std::string SaveGrab(const QImage& grab, const char* name)
{
    std::filesystem::create_directories(QUILLO_TEST_OUT);
    const std::string path = std::string(QUILLO_TEST_OUT) + "/" + name + ".png";
    return grab.save(QString::fromStdString(path)) ? path : std::string();
}

bool LoadCorpusPhoto(const char* path, int maxSide, CQLImage* image)
{
    const std::string full = std::string(QUILLO_CORPUS_DIR) + "/" + path;
    if (!std::filesystem::exists(full))
        return false;
    CQLImageCodec codec;
    int w = 0, h = 0;
    return codec.CreateThumbnail(full.c_str(), image, maxSide, &w, &h, 1) != 0;
}

void ToSnapshot(const CQLImage& picture, CQLImage* snapshot)
{
    UINT w = 0, h = 0;
    picture.GetSize(&w, &h);
    snapshot->Create(w, h);
    for (UINT y = 0; y < h; ++y)
        std::memcpy(snapshot->GetBuffer(0, static_cast<int>(y)), picture.GetBuffer(0, static_cast<int>(y)),
                    static_cast<size_t>(w) * 4);
}

QImage WindowGrab(CWnd* wnd)
{
    QWidget* w = qlafx::WidgetOf(wnd->m_hWnd);
    return w ? w->grab().toImage() : QImage();
}

TempDir::TempDir()
{
    if (const char* t = std::getenv("TMPDIR")) {
        m_hadTmp = true;
        m_oldTmp = t;
    }
    char tmpl[] = "/tmp/snaptest-XXXXXX";
    path = mkdtemp(tmpl);
    setenv("TMPDIR", path.c_str(), 1);
}

TempDir::~TempDir()
{
    if (m_hadTmp)
        setenv("TMPDIR", m_oldTmp.c_str(), 1);
    else
        unsetenv("TMPDIR");
    std::filesystem::remove_all(path);
}

std::string TempDir::ResultPath() const
{
    return path + "/quillo-" + std::to_string(geteuid()) + "/qlcap.bmp";
}

FakeOverlay::FakeOverlay(int mode, const CQLImage& screen, std::vector<qlcapture::ScreenWindow> windows)
    : CCaptureOverlayDlg(mode), m_screen(screen), m_windows(std::move(windows))
{
}

void FakeOverlay::TakeSnapshot()
{
    ++m_snapshots;
    m_snapshot.DuplicateFrom(&m_screen);
}

RECT FakeOverlay::DesktopRect()
{
    UINT w = 0, h = 0;
    m_screen.GetSize(&w, &h);
    return RECT{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
}

} // namespace snaptest
