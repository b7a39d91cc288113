#include "AdjustTestSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace adjusttest {

void AdjustDialogTest::SetUp()
{
    ShellWindowsTest::SetUp();
    m_frame = new CMainFrame;
    m_app.m_pMainWnd = m_frame;
    ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
    qlafx::SetModalHook([this](CWnd* dialog, const char* caption, const char* text, UINT) -> int {
        if (!dialog) {
            m_boxes.push_back(Box{caption ? caption : "", text ? text : ""});
            return m_answer ? m_answer(m_boxes.back()) : IDOK;
        }
        return m_work ? m_work(dialog) : IDCANCEL;
    });
}

void AdjustDialogTest::TearDown()
{
    qlafx::SetModalHook({});
    // Not the main window any more: its end would post a quit, which ends
    // the next test's modal loops.
    m_app.m_pMainWnd = nullptr;
    if (m_frame && ::IsWindow(m_frame->m_hWnd))
        m_frame->DestroyWindow();
    m_frame = nullptr;
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    ShellWindowsTest::TearDown();
}

void AdjustDialogTest::OpenPhoto(int w, int h)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x * 7), static_cast<BYTE>(y * 5), static_cast<BYTE>((x + y) * 3), 255};
    });
    thePhotoDocument.m_history.Reset();
    ASSERT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open"), 1);
}

bool AdjustDialogTest::OpenCorpusPhoto(const char* path)
{
    if (!shelltest::LoadCorpusPhoto(path, &thePhotoDocument.m_image))
        return false;
    thePhotoDocument.m_history.Reset();
    return thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open") == 1;
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

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

bool SamePixels(const CQLImage& a, const CQLImage& b)
{
    const SIZE sa = SizeOf(a), sb = SizeOf(b);
    if (sa.cx != sb.cx || sa.cy != sb.cy)
        return false;
    return sa.cx == 0 || std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

}  // namespace adjusttest
