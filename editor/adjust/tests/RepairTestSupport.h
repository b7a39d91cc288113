// The fixture of the repair and lens-effect dialog tests: the adjustment
// dialog fixture, a dialog of one type run over the open photo, waiting for
// its jobs, and a grab of it.
#pragma once

#include "AdjustTestSupport.h"

#include "editor/adjust/RepairDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/QtBridge.h"

#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <string>

namespace repairtest {

class RepairDialogTest : public adjusttest::AdjustDialogTest {
protected:
    // Runs Dlg over the open photo; work gets it once it is up, m_other
    // any dialog it opens in turn.
    template <class Dlg>
    int Run(std::function<int(Dlg*)> work)
    {
        m_work = [this, work](CWnd* dialog) {
            if (auto* dlg = dynamic_cast<Dlg*>(dialog))
                return work(dlg);
            return m_other ? m_other(dialog) : IDCANCEL;
        };
        return RunRepairDlg<Dlg>(m_frame);
    }
    // A program folder of this test whose skin lacks one file.
    void UseSkinWithout(const char* name)
    {
        const std::string folder = m_folder.Path() + "program/";
        std::filesystem::create_directories(folder);
        std::filesystem::copy(std::string(QUILLO_PROGRAM_DIR) + "/skin", folder + "skin",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(folder + "skin/" + name);
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", folder.c_str());
    }
    // Until no job of the dialog is left.
    static bool WaitForJobs(CFilterDlg* dlg)
    {
        return adjusttest::PumpUntil([dlg] { return !dlg->JobPending() && !theAlgorithmThread.IsBusy(); });
    }
    // The corpus photo as the open photo, the frame sized for a grab.
    bool OpenForGrab(const char* path)
    {
        const std::string full = std::string("exif-samples/jpg/") + path;
        if (!OpenCorpusPhoto(full.c_str()))
            return false;
        m_frame->MoveWindow(0, 0, 1100, 760);
        return true;
    }
    static std::string Grab(CWnd* dlg, const char* name)
    {
        dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qlafx::ProcessPendingEvents();
        return shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), name);
    }
    // A slider moved by the person: position, then the release notice.
    static void MoveSlider(CWnd* dlg, UINT id, int pos)
    {
        CWnd* slider = dlg->GetDlgItem(id);
        slider->SendMessage(TBM_SETPOS, TRUE, pos);
        NMHDR nm{slider->m_hWnd, id, static_cast<UINT>(NM_RELEASEDCAPTURE)};
        dlg->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
    }
    // The name of the last step on the photo's history.
    static std::string LastStep()
    {
        char text[1024] = {};
        std::string names = thePhotoDocument.m_history.GetActionText(sizeof text, text);
        if (!names.empty() && names.back() == ',')
            names.pop_back();
        return names.substr(names.rfind(',') == std::string::npos ? 0 : names.rfind(',') + 1);
    }
    std::function<int(CWnd*)> m_other;

    static void SelectCombo(CWnd* dlg, UINT id, int index)
    {
        dlg->SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index));
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(dlg->GetDlgItem(id)->m_hWnd));
    }
    static void Click(CWnd* dlg, UINT id) { dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

} // namespace repairtest
