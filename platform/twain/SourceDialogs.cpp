#include "platform/twain/SourceDialogs.h"

#include "platform/afx/CommCtrl.h"

#include <cctype>
#include <cstdio>

namespace qltwain {

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kCombo = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kPush = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;

// Posted by the reading thread: progress (wParam percent) and the end.
constexpr UINT WM_SCAN_PROGRESS = WM_USER + 101;
constexpr UINT WM_SCAN_DONE = WM_USER + 102;

std::string Describe(const SaneDeviceInfo& d)
{
    return d.vendor + " " + d.model + " (" + d.name + ")";
}

// A paper source that feeds sheets one after another.
bool IsFeeder(std::string source)
{
    for (char& c : source)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return source.find("feeder") != std::string::npos || source.find("adf") != std::string::npos ||
           source.find("duplex") != std::string::npos;
}

void FillCombo(CWnd* dlg, UINT id, const std::vector<std::string>& items, const std::string& current)
{
    int selected = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        dlg->SendDlgItemMessage(static_cast<int>(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
        if (items[i] == current)
            selected = static_cast<int>(i);
    }
    dlg->SendDlgItemMessage(static_cast<int>(id), CB_SETCURSEL, static_cast<WPARAM>(selected));
    if (CWnd* combo = dlg->GetDlgItem(static_cast<int>(id)))
        combo->EnableWindow(items.size() > 1);
}

std::string ComboText(CWnd* dlg, UINT id)
{
    const int sel = static_cast<int>(dlg->SendDlgItemMessage(static_cast<int>(id), CB_GETCURSEL));
    if (sel < 0)
        return {};
    char text[256] = {};
    dlg->SendDlgItemMessage(static_cast<int>(id), CB_GETLBTEXT, static_cast<WPARAM>(sel),
                            reinterpret_cast<LPARAM>(text));
    return text;
}

TW_UINT16 ConditionOf(SANE_Status status)
{
    switch (status) {
    case SANE_STATUS_JAMMED: return TWCC_PAPERJAM;
    case SANE_STATUS_NO_MEM: return TWCC_LOWMEMORY;
    case SANE_STATUS_ACCESS_DENIED:
    case SANE_STATUS_DEVICE_BUSY: return TWCC_DENIED;
    case SANE_STATUS_COVER_OPEN:
    case SANE_STATUS_NO_DOCS: return TWCC_CHECKDEVICEONLINE;
    default: return TWCC_OPERATIONERROR;
    }
}

} // namespace

// ---- choosing a source -----------------------------------------------------------

CSourceSelectDlg::CSourceSelectDlg(const std::vector<SaneDeviceInfo>& devices, int current, CWnd* parent)
    : m_selected(current), m_devices(devices)
{
    static const qlafx::DialogTemplate kTemplate{
        0, kDialogStyle, 0, 0, 0, 240, 130, "Select Source", "Tahoma", 8,
        {
            {"Static", "Sources:", static_cast<UINT>(-1), 7, 7, 226, 10, kLabel},
            {"ListBox", "", kList, 7, 19, 226, 84,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY},
            {"Button", "Select", IDOK, 129, 109, 50, 14, kDefPush},
            {"Button", "Cancel", IDCANCEL, 183, 109, 50, 14, kPush},
        }};
    InitModalIndirect(&kTemplate, parent);
}

BOOL CSourceSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const SaneDeviceInfo& d : m_devices)
        SendDlgItemMessage(kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Describe(d).c_str()));
    if (m_devices.empty())
        SendDlgItemMessage(kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("No scanner or camera was found."));
    else
        SendDlgItemMessage(kList, LB_SETCURSEL, static_cast<WPARAM>(m_selected >= 0 ? m_selected : 0));
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!m_devices.empty());
    return TRUE;
}

BOOL CSourceSelectDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kList && HIWORD(wParam) == LBN_DBLCLK && !m_devices.empty()) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CSourceSelectDlg::OnOK()
{
    const int sel = static_cast<int>(SendDlgItemMessage(kList, LB_GETCURSEL));
    if (m_devices.empty() || sel < 0 || sel >= static_cast<int>(m_devices.size()))
        return;
    m_selected = sel;
    EndDialog(IDOK);
}

// ---- a source's own dialog -------------------------------------------------------

CSaneSourceDlg::CSaneSourceDlg(SaneDevice& device, const SaneApi& api, const char* caption, int count,
                               CWnd* parent)
    : m_device(device), m_api(api), m_caption(caption ? caption : ""), m_count(count)
{
    m_template = std::make_unique<qlafx::DialogTemplate>(qlafx::DialogTemplate{
        0, kDialogStyle, 0, 0, 0, 220, 122, m_caption.c_str(), "Tahoma", 8,
        {
            {"Static", "Mode:", static_cast<UINT>(-1), 7, 9, 60, 10, kLabel},
            {"ComboBox", "", kMode, 70, 7, 143, 80, kCombo},
            {"Static", "Resolution:", static_cast<UINT>(-1), 7, 27, 60, 10, kLabel},
            {"ComboBox", "", kResolution, 70, 25, 143, 80, kCombo},
            {"Static", "Paper source:", static_cast<UINT>(-1), 7, 45, 60, 10, kLabel},
            {"ComboBox", "", kSource, 70, 43, 143, 80, kCombo},
            {"msctls_progress32", "", kProgress, 7, 66, 206, 10, WS_CHILD | WS_VISIBLE | WS_BORDER},
            {"Static", "Ready.", kStatus, 7, 80, 206, 10, kLabel},
            {"Button", "Scan", IDOK, 109, 101, 50, 14, kDefPush},
            {"Button", "Cancel", IDCANCEL, 163, 101, 50, 14, kPush},
        }});
    InitModalIndirect(m_template.get(), parent);
}

void CSaneSourceDlg::Stop()
{
    if (!m_worker.joinable())
        return;
    m_cancel = true;
    m_worker.join();
}

CSaneSourceDlg::~CSaneSourceDlg()
{
    Stop();
    for (ScannedPage& page : m_pages)
        if (page.dib)
            GlobalFree(page.dib);
}

BOOL CSaneSourceDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillCombo(this, kMode, m_device.StringChoices(SANE_NAME_SCAN_MODE), m_device.GetString(SANE_NAME_SCAN_MODE));
    std::vector<std::string> dpis;
    const int current = m_device.GetResolution();
    std::string currentText;
    for (int dpi : m_device.ResolutionChoices()) {
        dpis.push_back(std::to_string(dpi) + " dpi");
        if (dpi == current)
            currentText = dpis.back();
    }
    FillCombo(this, kResolution, dpis, currentText);
    FillCombo(this, kSource, m_device.StringChoices(SANE_NAME_SCAN_SOURCE),
              m_device.GetString(SANE_NAME_SCAN_SOURCE));
    SendDlgItemMessage(kProgress, PBM_SETRANGE32, 0, 100);
    return TRUE;
}

bool CSaneSourceDlg::ApplyOptions()
{
    SANE_Status status = SANE_STATUS_GOOD;
    const std::string mode = ComboText(this, kMode);
    if (!mode.empty() && mode != m_device.GetString(SANE_NAME_SCAN_MODE))
        status = m_device.SetString(SANE_NAME_SCAN_MODE, mode);
    const int dpi = std::atoi(ComboText(this, kResolution).c_str());
    if (status == SANE_STATUS_GOOD && dpi > 0 && dpi != m_device.GetResolution())
        status = m_device.SetResolution(dpi);
    const std::string source = ComboText(this, kSource);
    if (status == SANE_STATUS_GOOD && !source.empty() && source != m_device.GetString(SANE_NAME_SCAN_SOURCE))
        status = m_device.SetString(SANE_NAME_SCAN_SOURCE, source);
    if (status == SANE_STATUS_GOOD)
        return true;
    const std::string text = std::string("The scanner refused the settings: ") + m_api.strstatus(status) + ".";
    MessageBox(text.c_str(), m_caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CSaneSourceDlg::SetBusy(bool busy)
{
    m_busy = busy;
    for (UINT id : {kMode, kResolution, kSource, static_cast<UINT>(IDOK)})
        if (CWnd* item = GetDlgItem(static_cast<int>(id)))
            item->EnableWindow(!busy);
    if (!busy) {
        // Single choices stay greyed, as when the dialog opened.
        for (UINT id : {kMode, kResolution, kSource})
            if (CWnd* item = GetDlgItem(static_cast<int>(id)))
                item->EnableWindow(SendDlgItemMessage(static_cast<int>(id), CB_GETCOUNT) > 1);
    }
}

void CSaneSourceDlg::OnOK()
{
    if (m_busy || !ApplyOptions())
        return;
    SetBusy(true);
    SetDlgItemText(kStatus, "Scanning...");
    m_cancel = false;
    m_error = SANE_STATUS_GOOD;
    const bool feeder = IsFeeder(m_device.GetString(SANE_NAME_SCAN_SOURCE));
    m_worker = std::thread([this, feeder] { ReadPages(feeder); });
}

void CSaneSourceDlg::ReadPages(bool feeder)
{
    const int most = feeder ? (m_count < 0 ? 32767 : m_count) : 1;
    int read = 0;
    const HWND self = m_hWnd;
    std::vector<ScannedPage> pages;
    while (read < most && !m_cancel) {
        const int done = read;
        auto progress = [&](std::size_t have, std::size_t expected) {
            // A page's share of the whole run; unknown sizes show the page count.
            const int pct = expected ? static_cast<int>((have * 100) / expected) : 0;
            const int whole = feeder && most < 32767 ? (done * 100 + pct) / most : pct;
            if (whole != m_percent.exchange(whole))
                ::PostMessage(self, WM_SCAN_PROGRESS, static_cast<WPARAM>(whole), done + 1);
        };
        SanePage page = m_device.ReadPage(m_cancel, progress);
        if (page.status == SANE_STATUS_GOOD) {
            pages.push_back({page.dib, page.width, page.height, m_device.GetResolution(), 0});
            ++read;
            if (m_pageHook && !m_pageHook(read))
                m_cancel = true;
            continue;
        }
        // An empty feeder after at least one sheet is the normal end.
        if (page.status == SANE_STATUS_NO_DOCS && read > 0)
            break;
        if (page.status != SANE_STATUS_CANCELLED) {
            m_error = page.status;
            pages.push_back({nullptr, 0, 0, 0, ConditionOf(page.status)});
        }
        break;
    }
    m_device.EndScan();
    m_pages = std::move(pages);
    ::PostMessage(self, WM_SCAN_DONE, 0, 0);
}

void CSaneSourceDlg::OnReadDone()
{
    if (m_worker.joinable())
        m_worker.join();
    SetBusy(false);
    if (m_error != SANE_STATUS_GOOD) {
        const std::string text = std::string("Scanning stopped: ") + m_api.strstatus(m_error) + ".";
        SetDlgItemText(kStatus, text.c_str());
        MessageBox(text.c_str(), m_caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    EndDialog(m_pages.empty() ? IDCANCEL : IDOK);
}

void CSaneSourceDlg::OnCancel()
{
    if (!m_busy) {
        EndDialog(IDCANCEL);
        return;
    }
    // The reading thread stops at its next read and reports the end.
    m_cancel = true;
    SetDlgItemText(kStatus, "Cancelling...");
}

LRESULT CSaneSourceDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SCAN_PROGRESS) {
        SendDlgItemMessage(kProgress, PBM_SETPOS, wParam);
        if (!m_cancel) {
            char text[64];
            std::snprintf(text, sizeof text, "Scanning page %d...", static_cast<int>(lParam));
            SetDlgItemText(kStatus, text);
        }
        return 0;
    }
    if (message == WM_SCAN_DONE) {
        OnReadDone();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

} // namespace qltwain
