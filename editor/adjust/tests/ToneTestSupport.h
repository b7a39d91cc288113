// Small helpers of the adjustment dialog tests.
#pragma once

#include "../../shell/tests/ShellWindowsTestSupport.h"

#include "editor/shell/MainFrame.h"
#include "imagecore/QLImage.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace adjusttest {

// Pumps events until done() or ms pass; false on timeout.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 60000)
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

inline bool SamePixels(const CQLImage& a, const CQLImage& b)
{
    return a.GetAreaByteSize() == b.GetAreaByteSize()
           && std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

// The main frame with the editor's runners; a dialog of type Dlg that runs
// modally is handed to m_work, message boxes are recorded and answered OK,
// any other dialog goes to OtherDialog.
template <class Dlg>
class ToneDialogTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        RegisterDialogRunners();
        m_frame = new CMainFrame;
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
        qlafx::SetModalHook([this](CWnd* dialog, const char*, const char* text, UINT) -> int {
            if (!dialog) {
                m_boxes.emplace_back(text ? text : "");
                return IDOK;
            }
            if (auto* dlg = dynamic_cast<Dlg*>(dialog))
                return m_work ? m_work(dlg) : IDCANCEL;
            return OtherDialog(dialog);
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        m_app.m_pMainWnd = nullptr;
        ShellWindowsTest::TearDown();
    }
    virtual int OtherDialog(CWnd*) { return IDCANCEL; }
    // Runs the dialog from the frame's command; work gets it once it is up.
    void RunCommand(UINT command, std::function<int(Dlg*)> work)
    {
        m_work = std::move(work);
        m_frame->SendMessage(WM_COMMAND, command, 0);
    }

    CMainFrame* m_frame = nullptr;
    std::function<int(Dlg*)> m_work;
    std::vector<std::string> m_boxes;
};

} // namespace adjusttest
