#include "glance/GlanceApp.h"

#include "glance/CommandLine.h"
#include "glance/GlanceDlg.h"
#include "glance/GlanceTexts.h"
#include "glance/LoadingThread.h"
#include "glance/XdgAssoc.h"
#include "platform/afx/GdiObjects.h"
#include "platform/afx/Ipc.h"
#include "platform/afx/MessageBox.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Threads.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace glance {

std::string ViewerProfilePath(const std::string& programFolder)
{
    std::string path = qlafx::DefaultProfilePath(programFolder.c_str()).GetString();
    return path.substr(0, path.rfind('/') + 1) + "QuilloView.ini";
}

bool SendHandOver(HWND target, unsigned timeoutMs)
{
    struct Wait {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        bool delivered = false;
    };
    auto wait = std::make_shared<Wait>();
    std::thread([wait, target] {
        bool delivered = false;
        qlafx::SendToOtherProcess(target, WM_GLANCE_HANDOVER, 0, 0, &delivered);
        std::lock_guard lock(wait->lock);
        wait->finished = true;
        wait->delivered = delivered;
        wait->done.notify_all();
    }).detach();
    std::unique_lock lock(wait->lock);
    wait->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return wait->finished; });
    return wait->finished && wait->delivered;
}

GlanceApp::GlanceApp() : CWinApp("QuilloGlance") {}

void GlanceApp::SetProfile()
{
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup(ViewerProfilePath(ProgramFolder()).c_str());
}

BOOL GlanceApp::InitInstance()
{
    CQLImageCodec::Start();
    SetProfile();
    if (m_skin.LoadFromFile(SkinPath("btnst.bmp").c_str()) != 0) {
        AfxMessageBox("Can not init resources");
        CQLImageCodec::Stop();
        m_exitCode = 1;
        return FALSE;
    }
    CBitmap pattern;
    if (pattern.LoadBitmap(136))
        PatternBrush().CreatePatternBrush(&pattern);
    const StartRequest request = ParseCommandLine(m_lpCmdLine);
    m_openPath = request.path;
    if (request.action != StartAction::Open) {
        const std::string folder = ProgramFolder();
        const AssocSetup setup{folder + "QuilloGlance",    folder + "QuilloEditor",  folder + "skin/quillo-glance.png",
                               Texts().GetText("tittle"), Texts().GetText("edittag"), m_pszProfileName};
        if (request.action == StartAction::Register)
            m_exitCode = RegisterAssociations(setup) ? 0 : 1;
        else
            RestoreAssociations(setup);
        CQLImageCodec::Stop();
        return FALSE;
    }
    HANDLE mutex = ::CreateMutex(nullptr, FALSE, "QuilloViewer");
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        HandOver();
    else
        RunViewer();
    if (mutex)
        ::CloseHandle(mutex);
    CQLImageCodec::Stop();
    return FALSE;
}

void GlanceApp::HandOver()
{
    const CString text = GetProfileString("Temp", "Handle", "0");
    const std::uintptr_t handle = std::strtoull(text.GetString(), nullptr, 10);
    if (handle == 0)
        return;
    WriteProfileString("Temp", "Open", m_openPath.c_str());
    // A dead window or one that does not answer in time: end quietly.
    if (!SendHandOver(reinterpret_cast<HWND>(handle), 10000))
        std::_Exit(0);
}

void GlanceApp::RunViewer()
{
    CLoadingThread& loader = LoadingThread();
    GlanceDlg dlg(&loader, m_openPath);
    m_pMainWnd = &dlg;
    loader.CreateThread();
    dlg.DoModal();
    WriteProfileInt("Temp", "Handle", 0);
    m_pMainWnd = nullptr;
    loader.m_hNotifyWnd = nullptr;
    loader.PostThreadMessage(WM_QUIT, 0, 0);
    ::WaitForSingleObject(loader.m_hThread, 10000);
}

} // namespace glance
