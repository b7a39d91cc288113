#include "develop/DevelopBatchPage.h"

#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"
#include "editor/shell/FolderBrowser.h"
#include "editor/ui/FontCache.h"
#include "platform/afx/CmdTarget.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"

#include <algorithm>

namespace develop {

namespace {

// A prefix of text that ends on a character boundary.
std::size_t NextCharacterEnd(const std::string& text, std::size_t at)
{
    if (at >= text.size())
        return text.size();
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        ++at;
    return at;
}

// The file-name buffer of the add-files dialog: room for tens of thousands
// of names.
constexpr std::size_t kNamesBuffer = 4 << 20;

} // namespace

std::string FolderCaption(const std::string& folder, int width, const std::function<int(const std::string&)>& measure)
{
    if (folder.size() < 32)
        return folder;
    std::size_t end = 0;
    for (int i = 0; i < 32; ++i)
        end = NextCharacterEnd(folder, end);
    for (; end < folder.size(); end = NextCharacterEnd(folder, end))
        if (measure(folder.substr(0, end)) >= width)
            return folder.substr(0, end) + "...";
    return folder;
}

// The worker's reports, queued for the window thread.
class DevelopBatchPage::PostedReport : public BatchReport {
public:
    explicit PostedReport(DevelopBatchPage& page) : m_page(page) {}
    void SelectRow(int row) override { m_page.Push({Report::kSelect, row, {}}); }
    void BatchPercent(int percent) override { m_page.Push({Report::kBatch, percent, {}}); }
    void FileStage(const std::string& text, int percent) override { m_page.Push({Report::kFile, percent, text}); }
    void Status(int entry, const std::string& text) override { m_page.Push({Report::kStatus, entry, text}); }

private:
    DevelopBatchPage& m_page;
};

DevelopBatchPage::DevelopBatchPage() : m_report(std::make_unique<PostedReport>(*this)) {}

DevelopBatchPage::~DevelopBatchPage() = default;

BOOL DevelopBatchPage::Create(CWnd* parent)
{
    DevelopPage::Create(parent);
    const CUITextMap& t = Texts();
    const char* font = t.GetText("defaultfont");
    if (!m_title.Create(kTitle, CRect(10, 45, 300, 80), parent) ||
        !m_hint.Create(kHint, CRect(310, 80, 630, 100), parent) ||
        !m_balanceCaption.Create(kBalanceCaption, CRect(10, 80, 300, 100), parent) ||
        !m_camera.Create(kCameraOption, CRect(30, 110, 300, 130), parent, t.GetText("orgwb"), 0) ||
        !m_auto.Create(kAutoOption, CRect(30, 130, 300, 150), parent, t.GetText("autowb"), 0) ||
        !m_sharpen.Create(kSharpen, CRect(10, 160, 280, 220), parent, t.GetText("sharpenonly")) ||
        !m_notice.Create(kNotice, CRect(30, 220, 300, 290), parent) ||
        !m_folderCaption.Create(kFolderCaption, CRect(10, 290, 250, 330), parent) ||
        !m_browse.Create(kBrowseButton, CRect(30, 330, 130, 350), parent, t.GetText("browse")) ||
        !m_jpegBox.Create(kJpegOption, CRect(30, 360, 300, 380), parent, t.GetText("jpg"), 0) ||
        !m_tiffBox.Create(kTiffOption, CRect(30, 380, 300, 400), parent, t.GetText("tif"), 0) ||
        !m_list.Create(kList, CRect(310, 100, 600, 340), parent) ||
        !m_add.Create(kAddButton, CRect(0, 0, 32, 32), parent, "") ||
        !m_remove.Create(kRemoveButton, CRect(0, 0, 32, 32), parent, "") ||
        !m_fileBar.Create(kFileBar, CRect(310, 340, 600, 370), parent, "") ||
        !m_batchBar.Create(kBatchBar, CRect(310, 370, 600, 400), parent, ""))
        return FALSE;
    m_title.AddItem(t.GetText("batchtittle"), font, 18, 0xFFFFFF, nullptr);
    m_hint.AddItem(t.GetText("batchfile"), font, 14, 0xC0C0C0, nullptr);
    m_balanceCaption.AddItem(t.GetText("wb"), font, 14, 0xFFFFFF, nullptr);
    m_sharpen.SetRange(0, 100);
    m_sharpen.SetPos(50);
    m_sharpen.SetScale(1);
    for (const char* key : {"othertip", "othertip2", "othertip3"})
        m_notice.AddItem(t.GetText(key), font, 14, 0x808080, nullptr);
    m_folderCaption.AddItem(t.GetText("outfolder"), font, 14, 0xFFFFFF, nullptr);
    m_folderCaption.AddItem(t.GetText("nofolder"), font, 12, 0xC0C0C0, nullptr);
    m_folderCaption.SetItemStyle(1, 6, 0x404040, 0x808080, 0x808080);
    m_add.SetIcon(146);
    m_remove.SetIcon(147);
    m_camera.SetCheck(1);
    m_jpegBox.SetCheck(1);
    m_controls = {&m_title,  &m_hint,  &m_balanceCaption, &m_camera,  &m_auto,    &m_sharpen,
                  &m_notice, &m_folderCaption, &m_browse,  &m_jpegBox, &m_tiffBox, &m_list,
                  &m_add,    &m_remove, &m_fileBar,       &m_batchBar};
    Show(false);
    return TRUE;
}

void DevelopBatchPage::SetNextCaption(const char* key)
{
    if (m_parent && m_parent->m_hWnd)
        if (CWnd* next = m_parent->GetDlgItem(kNextButton)) {
            next->SetWindowText(Texts().GetText(key));
            next->Invalidate();
        }
}

void DevelopBatchPage::EnableButtons(bool enable)
{
    for (CWnd* button : {static_cast<CWnd*>(&m_add), static_cast<CWnd*>(&m_remove), static_cast<CWnd*>(&m_browse)})
        if (button->m_hWnd) {
            button->EnableWindow(enable ? TRUE : FALSE);
            button->Invalidate();
        }
}

void DevelopBatchPage::OnEnter()
{
    SetNextCaption("go");
    LayoutToParent();
    EnableButtons(true);
    m_fileBar.SetWindowText("");
    m_fileBar.SetPercent(0);
    m_batchBar.SetPercent(0);
    m_cancel = 0;
    Refresh(true);
}

void DevelopBatchPage::Layout(int cx, int cy)
{
    const int w = cx - 320;
    m_list.MoveWindow(310, 100, w, cy - 200);
    m_fileBar.MoveWindow(310, cy - 85, w, 30);
    m_batchBar.MoveWindow(310, cy - 55, w, 30);
    m_add.MoveWindow(cx - 50, 78, 20, 20);
    m_remove.MoveWindow(cx - 30, 78, 20, 20);
}

void DevelopBatchPage::Refresh(bool toScreen)
{
    if (!toScreen) {
        m_autoBalance = m_auto.GetCheck() ? 1 : 0;
        m_jpeg = m_jpegBox.GetCheck() ? 1 : 0;
        return;
    }
    m_camera.SetCheck(m_autoBalance == 0);
    m_auto.SetCheck(m_autoBalance);
    m_jpegBox.SetCheck(m_jpeg);
    m_tiffBox.SetCheck(!m_jpeg);
    EnableNext(!Running() && !m_folder.empty() && !m_entries.empty());
}

void DevelopBatchPage::AddFiles()
{
    CFileDialog dialog(TRUE, "", "", OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       Texts().GetText("fileformat"), m_parent);
    std::vector<char> names(kNamesBuffer, '\0');
    dialog.m_ofn.lpstrFile = names.data();
    dialog.m_ofn.nMaxFile = static_cast<DWORD>(names.size());
    if (dialog.DoModal() != IDOK)
        return;
    for (POSITION pos = dialog.GetStartPosition(); pos;)
        AddFile(dialog.GetNextPathName(pos).GetString());
    RefreshList();
}

void DevelopBatchPage::AddFile(const char* path)
{
    if (!path || !*path)
        return;
    const std::string full = path;
    // One file is one path, letter case and all.
    for (const BatchEntry& e : m_entries)
        if (e.path == full)
            return;
    const std::string::size_type slash = full.rfind('/');
    BatchEntry entry;
    entry.path = full;
    entry.name = slash == std::string::npos ? full : full.substr(slash + 1);
    if (m_folder.empty())
        SetOutputFolder(slash == std::string::npos ? "./" : full.substr(0, slash + 1).c_str());
    m_entries.push_back(std::move(entry));
}

void DevelopBatchPage::RefreshList()
{
    m_list.Clear();
    for (int i = 0; i < static_cast<int>(m_entries.size()); ++i)
        m_list.AddItem(m_entries[i].path.c_str(), i);
    m_list.Sort();
    if (m_list.m_hWnd)
        m_list.Invalidate(FALSE);
    Refresh(true);
}

void DevelopBatchPage::RemoveSelected()
{
    std::vector<BatchEntry> kept;
    for (int row = 0; row < m_list.GetCount(); ++row) {
        const int index = m_list.GetItemData(row);
        if (!m_list.IsSelected(row) && index >= 0 && index < static_cast<int>(m_entries.size()))
            kept.push_back(m_entries[index]);
    }
    m_entries = std::move(kept);
    RefreshList();
}

void DevelopBatchPage::SetOutputFolder(const char* path)
{
    m_folder = path ? path : "";
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder.push_back('/');
    std::string shown = Texts().GetText("nofolder");
    if (!m_folder.empty() && m_folderCaption.m_hWnd) {
        CRect client;
        m_folderCaption.GetClientRect(&client);
        CClientDC dc(&m_folderCaption);
        CFontCache& fonts = CFontCache::Instance();
        fonts.SelectFont(Texts().GetText("defaultfont"), 12);
        shown = FolderCaption(m_folder, client.Width() - 32,
                              [&](const std::string& s) { return static_cast<int>(fonts.MeasureText(&dc, s.c_str()).cx); });
    } else if (!m_folder.empty()) {
        shown = m_folder;
    }
    m_folderCaption.SetItemText(1, shown.c_str());
    Refresh(true);
    if (m_folderCaption.m_hWnd)
        m_folderCaption.RedrawWindow();
}

void DevelopBatchPage::BrowseOutputFolder()
{
    char chosen[MAX_PATH] = {};
    if (BrowseForFolder(chosen, Texts().GetText("selectfolder"), m_parent, nullptr, m_folder.c_str()))
        SetOutputFolder(chosen);
}

void DevelopBatchPage::OnNext()
{
    if (Running())
        return;
    // Everything the run needs is read here, on the window thread.
    Refresh(false);
    BatchSettings settings;
    settings.entries = m_entries;
    for (int row = 0; row < m_list.GetCount(); ++row)
        settings.order.push_back(m_list.GetItemData(row));
    settings.folder = m_folder;
    settings.autoBalance = m_autoBalance;
    settings.jpeg = m_jpeg != 0;
    settings.sharpen = m_sharpen.GetPos();
    SetNextCaption("next");
    EnableNext(false);
    EnableButtons(false);
    m_converter = std::make_unique<BatchConverter>(std::move(settings), *m_report, m_cancel);
    AfxBeginWaitCursor();
    if (!ProcessThread().PostJob(&DevelopBatchPage::ConvertFiles, this, m_parent ? m_parent->m_hWnd : nullptr)) {
        AfxEndWaitCursor();
        m_converter.reset();
        SetNextCaption("go");
        EnableButtons(true);
        Refresh(true);
    }
}

UINT DevelopBatchPage::ConvertFiles(LPVOID argument)
{
    static_cast<DevelopBatchPage*>(argument)->m_converter->Run();
    return 0;
}

void DevelopBatchPage::Push(Report report)
{
    {
        std::lock_guard lock(m_lock);
        m_reports.push_back(std::move(report));
    }
    if (m_parent && m_parent->m_hWnd)
        ::PostMessage(m_parent->m_hWnd, WM_DEVELOP_JOB, kBatchReports, 0);
}

void DevelopBatchPage::TakeReports()
{
    std::deque<Report> reports;
    {
        std::lock_guard lock(m_lock);
        reports.swap(m_reports);
    }
    for (const Report& r : reports) {
        switch (r.kind) {
        case Report::kSelect: m_list.SelectRow(r.value, 0); break;
        case Report::kBatch: m_batchBar.SetPercent(r.value); break;
        case Report::kFile:
            m_fileBar.SetWindowText(r.text.c_str());
            m_fileBar.SetPercent(r.value);
            m_fileBar.Invalidate();
            break;
        case Report::kStatus: m_list.SetItemText(m_list.FindByData(r.value), r.text.c_str()); break;
        }
    }
}

int DevelopBatchPage::OnJobMessage(WPARAM type, LPARAM value)
{
    if (type == kBatchReports) {
        TakeReports();
    } else if (type == kJobDone && Running() &&
               value == reinterpret_cast<LPARAM>(&DevelopBatchPage::ConvertFiles)) {
        TakeReports();
        m_converter.reset();
        AfxEndWaitCursor();
        if (m_parent && m_parent->m_hWnd)
            m_parent->PostMessage(WM_DEVELOP_JOB, kGoToNextStep, 0);
    }
    return 0;
}

} // namespace develop
