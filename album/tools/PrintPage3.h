// The print wizard's last page: how the copies go on paper, then the run
// on a worker that makes the cells, page images and page files while the
// page keeps painting; the printer's pages are drawn on the window thread.
#pragma once

#include "album/shell/SkinPropertyPage.h"
#include "album/tools/PrintArrangement.h"

#include <functional>
#include <string>
#include <thread>

namespace shelf {

class CPrintPage3 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 187;
    // From the run's worker: wParam the kind, lParam what goes with it.
    static constexpr UINT WM_PRINT_RUN = WM_APP + 187;
    enum RunEvent : int { kProgress, kStatus, kError, kPageStart, kCell, kPageEnd, kDone };

    CPrintPage3() : CSkinPropertyPage(kTemplate) {}
    ~CPrintPage3() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;
    BOOL OnQueryCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;

    bool IsRunning() const { return m_worker.joinable(); }

    CImagePrinter* m_printer = nullptr;
    const int* m_manual = nullptr;
    CQLImage m_samples[3];
    int m_mode = PrintArrangement::Economical;
    int m_printToFile = 0;
    CString m_folder;
    int m_highQuality = 1;
    CString m_status;
    std::unique_ptr<PrintArrangement> m_run;
    // Called on the window thread before each printed page is ended.
    std::function<void(int page)> m_pageDone;
    int m_done = 0; // the run has ended

protected:
    afx_msg void OnModeChanged();
    afx_msg void OnBrowse();
    afx_msg void OnPaint();
    afx_msg LRESULT OnRunEvent(WPARAM kind, LPARAM data);
    DECLARE_MESSAGE_MAP()

private:
    void StartRun();
    void Post(RunEvent kind, LPARAM data = 0);
    void Finished();

    std::thread m_worker;
    HWND m_window = nullptr;
    int m_docStarted = 0;
};

} // namespace shelf
