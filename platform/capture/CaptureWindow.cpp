#include "platform/capture/CaptureWindow.h"

#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/ResourceTables.h"
#include "platform/capture/FrameConvert.h"
#include "platform/capture/VideoSource.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr UINT kSourceDialog = 31101, kFormatDialog = 31102;
constexpr UINT_PTR kPreviewTimer = 1;

const qlafx::DialogTemplate kDialogs[] = {
    {kSourceDialog, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 220, 40, "Video Source", nullptr, 0,
     {{"Button", "Close", IDOK, 165, 20, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON}}},
    {kFormatDialog, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 180, 110, "Video Format", nullptr, 0,
     {{"Static", "Frame size:", static_cast<UINT>(-1), 7, 7, 100, 8, WS_CHILD | WS_VISIBLE},
      {"ListBox", "", kFormatSizeList, 7, 18, 110, 85, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP},
      {"Button", "OK", IDOK, 123, 18, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
      {"Button", "Cancel", IDCANCEL, 123, 36, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP}}},
};
const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

// One capture window's driver, its reading thread and the newest frame.
struct Capture {
    std::mutex sourceLock;  // the source is read by the thread, set by the dialogs
    std::unique_ptr<qlcapture::VideoSource> source;
    int index = -1;
    std::thread reader;
    std::atomic<bool> stop{false};

    std::mutex frameLock;
    qlcapture::VideoFrame newest;
    unsigned newestSeq = 0;
    unsigned shownSeq = 0;

    qlcapture::VideoFrame shown;  // the frame the callback has, on the window's thread
    CAPVIDEOCALLBACK callback = nullptr;
    UINT rate = 66;
    bool preview = false;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    void Read()
    {
        qlcapture::VideoFrame f;
        while (!stop) {
            bool got;
            {
                // Stored under the source's lock: a size change in between
                // would leave an old-size frame as the newest.
                std::lock_guard lock(sourceLock);
                got = source->ReadFrame(&f, 50);
                if (got) {
                    std::lock_guard frames(frameLock);
                    std::swap(newest, f);
                    ++newestSeq;
                }
            }
            if (!got) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }

    void Disconnect()
    {
        if (reader.joinable()) {
            stop = true;
            reader.join();
        }
        if (source)
            source->Stop();
        source.reset();
        index = -1;
        stop = false;
    }
};

std::map<HWND, std::unique_ptr<Capture>>& Captures()
{
    static auto* m = new std::map<HWND, std::unique_ptr<Capture>>;
    return *m;
}

Capture* CaptureOf(HWND w)
{
    auto it = Captures().find(w);
    return it == Captures().end() ? nullptr : it->second.get();
}

// The settings of the source, a trackbar (or a check box) each, applied as
// they move.
class CVideoSourceDlg : public CDialog {
public:
    CVideoSourceDlg(Capture* cap, CWnd* parent) : CDialog(kSourceDialog, parent), m_cap(cap) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        {
            std::lock_guard lock(m_cap->sourceLock);
            m_controls = m_cap->source->Controls();
        }
        const HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        RECT unit{0, 0, 4, 8};
        MapDialogRect(&unit);
        const int row = unit.bottom * 2, left = unit.right * 2;
        int y = unit.bottom;
        for (std::size_t i = 0; i < m_controls.size(); ++i, y += row) {
            const auto& c = m_controls[i];
            const UINT id = kSourceFirstControl + static_cast<UINT>(i);
            if (c.toggle) {
                HWND box = ::CreateWindowEx(0, "Button", c.name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                                            left, y, unit.right * 30, unit.bottom * 3 / 2, m_hWnd,
                                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
                ::SendMessage(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
                ::SendMessage(box, BM_SETCHECK, c.value ? BST_CHECKED : BST_UNCHECKED, 0);
                continue;
            }
            HWND label = ::CreateWindowEx(0, "Static", c.name.c_str(), WS_CHILD | WS_VISIBLE, left, y + 2,
                                          unit.right * 14, unit.bottom, m_hWnd, nullptr, nullptr, nullptr);
            ::SendMessage(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
            HWND bar = ::CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ,
                                        left + unit.right * 14, y, unit.right * 22, unit.bottom * 3 / 2, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
            ::SendMessage(bar, TBM_SETRANGEMIN, FALSE, c.minimum);
            ::SendMessage(bar, TBM_SETRANGEMAX, FALSE, c.maximum);
            ::SendMessage(bar, TBM_SETPOS, TRUE, c.value);
        }
        // Close below the settings.
        const int closeY = y + unit.bottom / 2;
        if (CWnd* close = GetDlgItem(IDOK)) {
            RECT r;
            close->GetWindowRect(&r);
            ScreenToClient(&r);
            close->MoveWindow(r.left, closeY, r.right - r.left, r.bottom - r.top);
            RECT win, client;
            GetWindowRect(&win);
            GetClientRect(&client);
            const int height = closeY + (r.bottom - r.top) + unit.bottom;
            SetWindowPos(nullptr, 0, 0, win.right - win.left, (win.bottom - win.top) - client.bottom + height,
                         SWP_NOMOVE | SWP_NOZORDER);
        }
        return TRUE;
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        const UINT id = LOWORD(wParam);
        if (HIWORD(wParam) == BN_CLICKED && id >= kSourceFirstControl && id < kSourceFirstControl + m_controls.size()) {
            const bool on = IsDlgButtonChecked(static_cast<int>(id)) == BST_CHECKED;
            Apply(id - kSourceFirstControl, on ? 1 : 0);
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }

    afx_msg void OnHScroll(UINT, UINT, CScrollBar* bar)
    {
        if (!bar)
            return;
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(bar->m_hWnd));
        if (id >= kSourceFirstControl && id < kSourceFirstControl + m_controls.size())
            Apply(id - kSourceFirstControl, static_cast<int>(::SendMessage(bar->m_hWnd, TBM_GETPOS, 0, 0)));
    }
    DECLARE_MESSAGE_MAP()

private:
    void Apply(std::size_t index, int value)
    {
        std::lock_guard lock(m_cap->sourceLock);
        m_cap->source->SetControl(m_controls[index].id, value);
    }

    Capture* m_cap;
    std::vector<qlcapture::VideoControl> m_controls;
};

BEGIN_MESSAGE_MAP(CVideoSourceDlg, CDialog)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

// The source's frame sizes; OK sets the chosen one.
class CVideoFormatDlg : public CDialog {
public:
    CVideoFormatDlg(Capture* cap, CWnd* parent) : CDialog(kFormatDialog, parent), m_cap(cap) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        qlcapture::VideoSize now;
        {
            std::lock_guard lock(m_cap->sourceLock);
            m_sizes = m_cap->source->Sizes();
            now = m_cap->source->Size();
        }
        for (std::size_t i = 0; i < m_sizes.size(); ++i) {
            const std::string text = std::to_string(m_sizes[i].width) + " x " + std::to_string(m_sizes[i].height);
            SendDlgItemMessage(kFormatSizeList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            if (m_sizes[i] == now)
                SendDlgItemMessage(kFormatSizeList, LB_SETCURSEL, i);
        }
        return TRUE;
    }

    void OnOK() override
    {
        const LRESULT sel = SendDlgItemMessage(kFormatSizeList, LB_GETCURSEL);
        if (sel >= 0 && static_cast<std::size_t>(sel) < m_sizes.size()) {
            std::lock_guard lock(m_cap->sourceLock);
            m_cap->source->SetSize(m_sizes[static_cast<std::size_t>(sel)]);
            // A frame read before is of the old size: never hand it out.
            std::lock_guard frames(m_cap->frameLock);
            m_cap->shownSeq = m_cap->newestSeq;
        }
        CDialog::OnOK();
    }

private:
    Capture* m_cap;
    std::vector<qlcapture::VideoSize> m_sizes;
};

void FillFormat(const Capture& cap, BITMAPINFOHEADER* h)
{
    int w = cap.shown.width, ht = cap.shown.height;
    if (w == 0 && cap.source) {
        w = cap.source->Size().width;
        ht = cap.source->Size().height;
    }
    *h = BITMAPINFOHEADER{};
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = w;
    h->biHeight = ht;  // bottom-up
    h->biPlanes = 1;
    h->biBitCount = 24;
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(qlcapture::DibStride24(w) * static_cast<std::size_t>(ht));
}

void DeliverNewest(HWND hwnd, Capture& cap)
{
    if (!cap.preview)
        return;
    {
        std::lock_guard lock(cap.frameLock);
        if (cap.newestSeq == cap.shownSeq)
            return;
        cap.shownSeq = cap.newestSeq;
        cap.shown = cap.newest;
    }
    if (!cap.callback)
        return;
    VIDEOHDR hdr{};
    hdr.lpData = cap.shown.bits.data();
    hdr.dwBufferLength = hdr.dwBytesUsed = static_cast<DWORD>(cap.shown.bits.size());
    hdr.dwTimeCaptured = static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - cap.start).count());
    hdr.dwFlags = 0x1 | 0x8;  // done, key frame
    cap.callback(hwnd, &hdr);
}

LRESULT CaptureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Capture* cap = CaptureOf(hwnd);
    if (!cap)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CAP_DRIVER_CONNECT: {
        cap->Disconnect();
        cap->source = qlcapture::OpenVideoSource(static_cast<int>(wParam));
        if (!cap->source || !cap->source->Start()) {
            cap->source.reset();
            return FALSE;
        }
        cap->index = static_cast<int>(wParam);
        cap->reader = std::thread([cap] { cap->Read(); });
        return TRUE;
    }
    case WM_CAP_DRIVER_DISCONNECT:
        if (!cap->source)
            return FALSE;
        ::KillTimer(hwnd, kPreviewTimer);
        cap->preview = false;
        cap->Disconnect();
        return TRUE;
    case WM_CAP_SET_PREVIEWRATE:
        cap->rate = static_cast<UINT>(wParam) ? static_cast<UINT>(wParam) : 1;
        if (cap->preview)
            ::SetTimer(hwnd, kPreviewTimer, cap->rate, nullptr);
        return TRUE;
    case WM_CAP_SET_PREVIEW:
        if (!cap->source)
            return FALSE;
        cap->preview = wParam != 0;
        if (cap->preview)
            ::SetTimer(hwnd, kPreviewTimer, cap->rate, nullptr);
        else
            ::KillTimer(hwnd, kPreviewTimer);
        return TRUE;
    case WM_CAP_SET_CALLBACK_FRAME:
        cap->callback = reinterpret_cast<CAPVIDEOCALLBACK>(lParam);
        return TRUE;
    case WM_CAP_GET_VIDEOFORMAT:
        if (!cap->source)
            return 0;
        if (lParam && wParam >= sizeof(BITMAPINFOHEADER))
            FillFormat(*cap, reinterpret_cast<BITMAPINFOHEADER*>(lParam));
        return sizeof(BITMAPINFOHEADER);
    case WM_CAP_DRIVER_GET_CAPS: {
        if (!cap->source || !lParam || wParam < sizeof(CAPDRIVERCAPS))
            return FALSE;
        auto* caps = reinterpret_cast<CAPDRIVERCAPS*>(lParam);
        *caps = CAPDRIVERCAPS{};
        std::lock_guard lock(cap->sourceLock);
        caps->wDeviceIndex = static_cast<UINT>(cap->index);
        caps->fHasDlgVideoSource = !cap->source->Controls().empty();
        caps->fHasDlgVideoFormat = cap->source->Sizes().size() > 1;
        caps->fCaptureInitialized = TRUE;
        return TRUE;
    }
    case WM_CAP_DLG_VIDEOSOURCE: {
        if (!cap->source)
            return FALSE;
        CVideoSourceDlg dlg(cap, CWnd::FromHandle(::GetParent(hwnd)));
        dlg.DoModal();
        return TRUE;
    }
    case WM_CAP_DLG_VIDEOFORMAT: {
        if (!cap->source)
            return FALSE;
        CVideoFormatDlg dlg(cap, CWnd::FromHandle(::GetParent(hwnd)));
        dlg.DoModal();
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == kPreviewTimer) {
            DeliverNewest(hwnd, *cap);
            return 0;
        }
        break;
    case WM_DESTROY:
        ::KillTimer(hwnd, kPreviewTimer);
        cap->Disconnect();
        break;
    case WM_NCDESTROY:
        Captures().erase(hwnd);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

const char* CaptureClass()
{
    static const char* name = [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = CaptureProc;
        wc.lpszClassName = "QuilloCaptureWindow";
        ::RegisterClass(&wc);
        return "QuilloCaptureWindow";
    }();
    return name;
}

} // namespace

HWND capCreateCaptureWindow(LPCSTR name, DWORD style, int x, int y, int width, int height, HWND parent, int id)
{
    const char* cls = CaptureClass();
    // The record exists before the window: WM_CREATE and later messages find it.
    auto cap = std::make_unique<Capture>();
    HWND hwnd = ::CreateWindowEx(0, cls, name, style, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    if (hwnd)
        Captures()[hwnd] = std::move(cap);
    return hwnd;
}
