// The source manager's windows: the list of sources to choose from, and a
// source's own dialog that scans its pages on a worker thread.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/twain/SaneDevice.h"
#include "platform/twain/Twain.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace qltwain {

class CSourceSelectDlg : public CDialog {
public:
    static constexpr UINT kList = 1001;
    CSourceSelectDlg(const std::vector<SaneDeviceInfo>& devices, int current, CWnd* parent);
    BOOL OnInitDialog() override;

    int m_selected; // index into the devices, -1 for none

protected:
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    const std::vector<SaneDeviceInfo>& m_devices;
};

// One page handed over, or the failure that ended the reading (condition
// code set, no bitmap).
struct ScannedPage {
    HGLOBAL dib = nullptr;
    int width = 0, height = 0, dpi = 0;
    TW_UINT16 failure = 0;
};

class CSaneSourceDlg : public CDialog {
public:
    static constexpr UINT kMode = 1001, kResolution = 1002, kSource = 1003, kProgress = 1004, kStatus = 1005;
    // count: the most pages to read, -1 for as many as the feeder holds.
    CSaneSourceDlg(SaneDevice& device, const SaneApi& api, const char* caption, int count, CWnd* parent);
    ~CSaneSourceDlg() override;
    BOOL OnInitDialog() override;

    // Stops and joins the reading thread (a dialog ended from outside).
    void Stop();
    // The pages read (the caller owns their bitmaps once the dialog ends).
    std::vector<ScannedPage> m_pages;
    // Tests: called on the reading thread after each page.
    std::function<bool(int)> m_pageHook;

protected:
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool ApplyOptions();
    void ReadPages(bool feeder);
    void OnReadDone();
    void SetBusy(bool busy);

    SaneDevice& m_device;
    const SaneApi& m_api;
    std::string m_caption;
    int m_count;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_percent{0};
    bool m_busy = false;
    SANE_Status m_error = SANE_STATUS_GOOD;
    std::unique_ptr<qlafx::DialogTemplate> m_template;
};

} // namespace qltwain
