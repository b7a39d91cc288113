// Shared by the capture program's window tests.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/MessageBox.h"
#include "snap/CaptureOverlayDlg.h"

#include <QImage>

#include <string>
#include <vector>

namespace snaptest {

// Program folder, texts, codec and skin brush, once.
void SetUpProgram();
// Saves build/tests/<name>.png; the path, or "" when not written.
std::string SaveGrab(const QImage& grab, const char* name);
// The corpus photo (path under the corpus folder) fitted into maxSide;
// false when absent.
bool LoadCorpusPhoto(const char* path, int maxSide, CQLImage* image);
// A picture copied as an overlay snapshot.
void ToSnapshot(const CQLImage& picture, CQLImage* snapshot);
QImage WindowGrab(CWnd* wnd);

class HookGuard {
public:
    explicit HookGuard(qlafx::ModalHook hook) { qlafx::SetModalHook(std::move(hook)); }
    ~HookGuard() { qlafx::SetModalHook({}); }
};

// A private temporary folder (TMPDIR) for one test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string ResultPath() const;  // where qlcap.bmp goes
    std::string path;

private:
    std::string m_oldTmp;
    bool m_hadTmp = false;
};

// The overlay on a fake screen: a fixed snapshot and a fixed window list.
class FakeOverlay : public snap::CCaptureOverlayDlg {
public:
    FakeOverlay(int mode, const CQLImage& screen, std::vector<qlcapture::ScreenWindow> windows = {});
    void TakeSnapshot() override;
    int m_snapshots = 0;

protected:
    RECT DesktopRect() override;
    std::vector<qlcapture::ScreenWindow> ScreenWindows() override { return m_windows; }
    qlcapture::ScreenWindow ChildAt(const qlcapture::ScreenWindow& w, int, int) override { return w; }

private:
    const CQLImage& m_screen;
    std::vector<qlcapture::ScreenWindow> m_windows;
};

} // namespace snaptest
