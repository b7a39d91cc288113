#include "beacon/UpdateListDlg.h"

#include "beacon/DownloadDlg.h"
#include "beacon/RunModeDlg.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Process.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

namespace beacon {

namespace {

constexpr const char kCaption[] = "Quillo - Check for new updates";

// Rows go into the window's list, each pointing at its record.
class ListSink : public UpdateListSink {
public:
    ListSink(CListCtrl& list, std::vector<UpdateItem>& items) : m_list(list), m_items(items) {}
    void DeleteAllRows() override { m_list.DeleteAllItems(); }
    void AddRow(int index, const UpdateRow& row) override
    {
        const int at = m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, index, row.contents.c_str(), 0, 0,
                                         row.image, reinterpret_cast<LPARAM>(&m_items[index]));
        m_list.SetItemText(at, 1, row.type.c_str());
        if (!row.size.empty() || !row.time.empty()) {
            m_list.SetItemText(at, 2, row.size.c_str());
            m_list.SetItemText(at, 3, row.time.c_str());
        }
    }

private:
    CListCtrl& m_list;
    std::vector<UpdateItem>& m_items;
};

} // namespace

BEGIN_MESSAGE_MAP(CUpdateListDlg, CDialog)
    ON_WM_DESTROY()
    ON_BN_CLICKED(1001, OnSettings)
    ON_BN_CLICKED(1014, DoItemAction)
    ON_COMMAND_RANGE(32771, 32775, OnSpan)
    ON_NOTIFY(LVN_ITEMCHANGED, 1004, OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, 1004, OnDoubleClick)
END_MESSAGE_MAP()

CUpdateListDlg::CUpdateListDlg(CWnd* parent) : CDialog(102, parent) {}

CUpdateListDlg::~CUpdateListDlg()
{
    if (m_downloadThread) {
        m_downloadThread->Stop();
        if (DownloadThread() == m_downloadThread)
            DownloadThread() = nullptr;
        delete m_downloadThread;
    }
    if (m_icon)
        ::DestroyIcon(m_icon);
}

void CUpdateListDlg::SetStatus(const std::string& text)
{
    SetDlgItemText(1003, text.c_str());
    if (CWnd* status = GetDlgItem(1003))
        status->UpdateWindow();
}

std::string CUpdateListDlg::StatusText()
{
    CString text;
    GetDlgItemText(1003, text);
    return text.GetString();
}

BOOL CUpdateListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_downloadThread = new CDownloadThread;
    m_downloadThread->CreateThread();
    m_list.SubclassDlgItem(1004, this);
    if (!CheckSchedule()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_reply.reset(new (std::nothrow) char[kReplyCapacity + 1]);
    if (!m_reply) {
        OnCancel();
        return TRUE;
    }
    m_reply[0] = '\0';
    m_images.Create(134, 16, 8, RGB(0, 255, 0));
    m_list.SetImageList(&m_images, LVSIL_SMALL);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, "Contents", LVCFMT_LEFT, 360);
    m_list.InsertColumn(1, "Type", LVCFMT_LEFT, 60);
    m_list.InsertColumn(2, "Size", LVCFMT_LEFT, 80);
    m_list.InsertColumn(3, "Time", LVCFMT_LEFT, 100);
    if (m_automatic) {
        QueryUpdates(m_sinceTime);
        if (m_list.GetItemCount() == 0) {
            OnCancel();
            return TRUE;
        }
        if (CWnd* check = GetDlgItem(IDOK))
            check->EnableWindow(FALSE);
        BringWindowToTop();
    }
    m_icon = AfxGetApp() ? AfxGetApp()->LoadIcon(128) : nullptr;
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    return TRUE;
}

int CUpdateListDlg::CheckSchedule()
{
    ScheduleTimes times;
    const ScheduleStep step = EvaluateSchedule(m_profile, m_clock(), m_automatic, &times);
    m_lastRun = times.lastRun;
    m_sinceTime = times.sinceTime;
    if (step == ScheduleStep::kEnd)
        return 0;
    if (step == ScheduleStep::kIntroduce) {
        ::MessageBox(m_hWnd,
                     "This program can help you find new version and resources of Quillo.\r\nThis is the first time "
                     "you run this program, you need to setup the run mode",
                     kCaption, MB_OK | MB_ICONINFORMATION);
        CRunModeDlg dlg(this);
        dlg.m_runMode = ReadProfileInt(m_profile, "RunMode", 0);
        if (dlg.DoModal() == IDOK) {
            WriteProfileInt(m_profile, "RunMode", dlg.m_runMode);
        } else {
            WriteProfileInt(m_profile, "RunMode", 2);
            ::MessageBox(m_hWnd,
                         "Select cancel, this programe will run in 'manually mode'.\r\nWhen you need it, you can "
                         "select 'Check updates' from 'Help' menu of Quillo.",
                         kCaption, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    return 1;
}

int CUpdateListDlg::QueryUpdates(std::time_t since)
{
    SetStatus("Connecting...");
    SetStatus("Check for new updates...");
    const std::string last = LastText(since);
    const std::string path = QueryPath(m_serial, last);
    // The exchange runs beside the window, which paints but takes no input.
    std::atomic<bool> done{false};
    ReplyFetch fetch;
    const ServerAddress server = m_server;
    EnableWindow(FALSE);
    std::thread worker([&] {
        fetch = FetchReply(server, path);
        done = true;
    });
    PumpUntil([&] { return done.load(); });
    worker.join();
    EnableWindow(TRUE);
    switch (fetch.result) {
    case ReplyFetch::kInternetFailure:
        AfxMessageBox(fetch.failureText.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return 1;
    case ReplyFetch::kTooLarge:
        SetStatus(kErrorOccurs);
        return 1;
    case ReplyFetch::kCancelled:
        return 1;
    case ReplyFetch::kReply:
        break;
    }
    std::memcpy(m_reply.get(), fetch.body.data(), fetch.body.size());
    m_reply[fetch.body.size()] = '\0';
    ListSink sink(m_list, m_items);
    const ParseOutcome outcome = ParseUpdateList(m_reply.get(), m_items, sink);
    if (!outcome.accepted) {
        SetStatus(outcome.status);
        ShowSelection();
        return 1;
    }
    char text[160];
    std::snprintf(text, sizeof text, "Found %d update(s) since %s", m_list.GetItemCount(), last.c_str());
    SetStatus(text);
    WriteLastRun(m_profile, m_clock());
    ShowSelection();
    return 1;
}

std::time_t CUpdateListDlg::SpanTime(UINT id) const
{
    const std::time_t now = m_clock();
    switch (id) {
    case 32771:
        return m_sinceTime;
    case 32772:
        return now - 604800;
    case 32773:
        return now - 2592000;
    case 32774:
        return now - 31536000;
    default:
        return AllUpdatesTime();
    }
}

void CUpdateListDlg::OnCheck()
{
    CWnd* check = GetDlgItem(IDOK);
    if (!check || !check->IsWindowEnabled())
        return;
    CMenu menu;
    if (!menu.LoadMenu(133))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    RECT rc;
    check->GetWindowRect(&rc);
    if (popup)
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.right, rc.top, this);
}

void CUpdateListDlg::OnSpan(UINT id)
{
    QueryUpdates(SpanTime(id));
    if (CWnd* check = GetDlgItem(IDOK))
        check->EnableWindow(FALSE);
}

const UpdateItem* CUpdateListDlg::SelectedItem()
{
    POSITION pos = m_list.GetFirstSelectedItemPosition();
    if (!pos)
        return nullptr;
    const int row = m_list.GetNextSelectedItem(pos);
    return reinterpret_cast<const UpdateItem*>(m_list.GetItemData(row));
}

void CUpdateListDlg::ShowSelection()
{
    CWnd* action = GetDlgItem(1014);
    const UpdateItem* item = SelectedItem();
    if (!item) {
        SetDlgItemText(1014, "Do Nothing");
        if (action)
            action->EnableWindow(FALSE);
        return;
    }
    SetDlgItemText(1013, item->description);
    SetDlgItemText(1014, item->type == 0 ? "Do Nothing" : item->type == 1 ? "Know More ..." : "Download and Install ...");
    if (action)
        action->EnableWindow(item->type != 0);
}

void CUpdateListDlg::OnItemChanged(NMHDR*, LRESULT* result)
{
    ShowSelection();
    *result = 0;
}

void CUpdateListDlg::OnDoubleClick(NMHDR*, LRESULT* result)
{
    DoItemAction();
    *result = 0;
}

void CUpdateListDlg::DoItemAction()
{
    const UpdateItem* item = SelectedItem();
    ShowSelection();
    if (!item || item->type == 0)
        return;
    if (item->type == 1) {
        ::ShellExecute(m_hWnd, "open", item->url, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    DownloadName name;
    if (!SplitDownloadName(item->url, &name)) {
        const std::string text = std::string("This item's file name can not be used:\r\n") + item->url;
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    DownloadThread() = m_downloadThread;
    CDownloadDlg dlg(this);
    dlg.m_pageUrl = DownloadPageUrl(m_server, item->itemId, m_serial);
    dlg.m_fileName = name.name;
    dlg.m_fileExt = name.ext;
    dlg.m_sizeKB = item->sizeKB;
    dlg.m_type = item->type;
    dlg.m_sha256 = item->sha256;
    dlg.m_programFolder = m_programFolder;
    dlg.m_tempFolder = m_tempFolder;
    dlg.m_clock = m_clock;
    dlg.DoModal();
    ShowSelection();
}

void CUpdateListDlg::OnSettings()
{
    CRunModeDlg dlg(this);
    dlg.m_runMode = ReadProfileInt(m_profile, "RunMode", 0);
    if (dlg.DoModal() == IDOK)
        WriteProfileInt(m_profile, "RunMode", dlg.m_runMode);
}

void CUpdateListDlg::WriteLastSuccess()
{
    m_reply.reset();
    beacon::WriteLastSuccess(m_profile, m_clock());
}

void CUpdateListDlg::OnCancel()
{
    WriteLastSuccess();
    EndDialog(IDCANCEL);
}

void CUpdateListDlg::OnDestroy()
{
    if (m_downloadThread)
        m_downloadThread->Stop();
    m_list.UnsubclassWindow();
    CDialog::OnDestroy();
}

} // namespace beacon
