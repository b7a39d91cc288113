// The fixture of the frame dialog tests: the main frame with the editor's
// runners, a scratch template library, modal dialogs handed to onDialog and
// message boxes recorded and answered from a queue (IDOK when it is empty).
#pragma once

#include "../../shell/tests/ShellWindowsTestSupport.h"
#include "FrameDialogTestSupport.h"

#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

void RegisterDialogRunners();

namespace framedialogtest {

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

class FrameWindowsTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        RegisterDialogRunners();
        m_frame = new CMainFrame;
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
        m_program = m_folder.Path() + "program/";
        MakeLibrary(m_program);
        m_root = std::make_unique<FrameCategory>(m_program);
        m_root->Scan();
        SetCurrentFrameCategory(m_root.get());
        qlafx::SetModalHook([this](CWnd* dialog, const char*, const char* text, UINT) -> int {
            if (!dialog) {
                m_boxes.emplace_back(text ? text : "");
                if (m_answers.empty())
                    return IDOK;
                const int answer = m_answers.front();
                m_answers.pop_front();
                return answer;
            }
            return onDialog ? onDialog(dialog) : IDCANCEL;
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        SetCurrentFrameCategory(nullptr);
        m_root.reset();
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        m_app.m_pMainWnd = nullptr;
        ShellWindowsTest::TearDown();
    }
    void OpenPhoto(int w, int h)
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), 120, 255};
        });
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    // The corpus photo of the grabs; false (the test skips) when absent.
    bool OpenCorpusPhoto()
    {
        const char* photo = "exif-samples/jpg/hdr/canon_hdr_NO.jpg";
        if (!shelltest::LoadCorpusPhoto(photo, &thePhotoDocument.m_image))
            return false;
        // The camera fields fill the signature's %C and %S.
        thePhotoDocument.m_exif.ReadFromFile((std::string(QUILLO_CORPUS_DIR) + "/" + photo).c_str());
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
        return true;
    }
    static std::string Grab(CWnd* window, const char* name)
    {
        qlafx::ProcessPendingEvents();
        return shelltest::SaveGrab(window->GetWidget()->grab().toImage(), name);
    }
    static void Click(CWnd* dialog, UINT id)
    {
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)->m_hWnd));
    }

    CMainFrame* m_frame = nullptr;
    std::string m_program;
    std::unique_ptr<FrameCategory> m_root;
    std::function<int(CWnd*)> onDialog;
    std::vector<std::string> m_boxes;
    std::deque<int> m_answers;
};

} // namespace framedialogtest
