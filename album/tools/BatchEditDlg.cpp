#include "album/tools/BatchEditDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "album/tools/AlgorithmThread.h"
#include "album/tools/BatchFile.h"
#include "editor/shell/FolderBrowser.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/WinApp.h"
#include "platform/win/ProgramFolder.h"

#include <algorithm>
#include <cstring>

namespace shelf {
namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY;
constexpr DWORD kIcon = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW;
constexpr DWORD kBar = WS_VISIBLE | WS_BORDER;
constexpr UINT kNone = static_cast<UINT>(-1);

const qlafx::DialogTemplate kTemplates[] = {
    {CBatchEditDlg::kTemplate, kDialogStyle, 0, 0, 0, 520, 258, "Batch Edit", "Tahoma", 8,
     {
         {"Static", "All processing", kNone, 7, 5, 130, 9, kLabel},
         {"ListBox", "", 1012, 7, 15, 130, 112, kList},
         {"Button", "", 1014, 142, 42, 24, 22, kIcon},
         {"Button", "", 1015, 142, 70, 24, 22, kIcon},
         {"Static", "Selected processing", kNone, 171, 5, 130, 9, kLabel},
         {"ListBox", "", 1013, 171, 15, 130, 112, kList},
         {"Button", "", 1018, 306, 15, 24, 22, kIcon},
         {"Button", "", 1017, 306, 40, 24, 22, kIcon},
         {"Button", "", 1142, 306, 78, 24, 22, kIcon},
         {"Button", "", 1143, 306, 103, 24, 22, kIcon},
         {"Button", "Property of processing", 1016, 336, 5, 177, 122, kGroup},
         {"Button", "Output", kNone, 7, 130, 506, 62, kGroup},
         {"Button", "Overwrite original photo", 1120, 15, 142, 150, 10, kCheck},
         {"Static", "Path:", kNone, 15, 158, 22, 9, kLabel},
         {"Edit", "", 1022, 40, 156, 330, 13, kEdit},
         {"Button", "...", 1023, 374, 156, 20, 13, kPush},
         {"Button", "Last Folder", 1121, 398, 156, 60, 13, kPush},
         {"Button", "Original Name", 1025, 15, 175, 70, 10, kCheck},
         {"Button", "Number", 1026, 90, 175, 50, 10, kCheck},
         {"Edit", "", 1027, 145, 173, 80, 13, kEdit},
         {"Button", "As Prefix", 1130, 230, 175, 60, 10, kCheck},
         {"Static", "", 1011, 7, 197, 506, 9, kLabel},
         {"msctls_progress32", "", 1010, 7, 208, 506, 9, kBar},
         {"msctls_progress32", "", 1009, 7, 220, 506, 9, kBar},
         {"Button", "&File List", 1122, 7, 238, 60, 14, kPush},
         {"Button", "&Start Now!", IDOK, 399, 238, 60, 14, kDefPush},
         {"Button", "&Cancel", IDCANCEL, 463, 238, 50, 14, kPush},
     }},
    {CBatchFileSelectDlg::kTemplate, kDialogStyle, 0, 0, 0, 300, 200, "Select Files for Batch Processing", "Tahoma", 8,
     {
         {"Button", "File List", kNone, 7, 5, 286, 168, kGroup},
         {"ListBox", "", CBatchFileSelectDlg::kList, 14, 17, 272, 150, kList | LBS_NOINTEGRALHEIGHT},
         {"Button", "&Add", CBatchFileSelectDlg::kAdd, 7, 179, 50, 14, kPush},
         {"Button", "&Del", CBatchFileSelectDlg::kDel, 61, 179, 50, 14, kPush},
         {"Button", "&Next >", IDOK, 189, 179, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 243, 179, 50, 14, kPush},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

constexpr char kImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";
constexpr char kBatchFilter[] = "(*.qlbat)|*.qlbat||";

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Runs the whole batch as the album worker's job.
int RunBatchJob(void* param, FilterHost*)
{
    auto* runner = static_cast<BatchRunner*>(param);
    runner->Run();
    return 0;
}

} // namespace

// ---- file selection ----

BEGIN_MESSAGE_MAP(CBatchFileSelectDlg, CSkinDialog)
    ON_BN_CLICKED(CBatchFileSelectDlg::kAdd, OnAdd)
    ON_BN_CLICKED(CBatchFileSelectDlg::kDel, OnDel)
    ON_LBN_SELCHANGE(CBatchFileSelectDlg::kList, OnSelChange)
END_MESSAGE_MAP()

BOOL CBatchFileSelectDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_list.SubclassDlgItem(kList, this);
    Refill();
    return TRUE;
}

void CBatchFileSelectDlg::Refill()
{
    m_list.ResetContent();
    for (const std::string& path : m_files)
        m_list.AddString(path.c_str());
    GetDlgItem(IDOK)->EnableWindow(!m_files.empty());
    OnSelChange();
}

void CBatchFileSelectDlg::OnSelChange()
{
    GetDlgItem(kDel)->EnableWindow(m_list.GetCurSel() >= 0);
}

void CBatchFileSelectDlg::AddFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        if (std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(path);
    if (m_hWnd)
        Refill();
}

void CBatchFileSelectDlg::OnAdd()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT,
                    kImageFilter, this);
    if (dlg.DoModal() != IDOK)
        return;
    std::vector<std::string> chosen;
    for (POSITION pos = dlg.GetStartPosition(); pos;)
        chosen.push_back(dlg.GetNextPathName(pos).GetString());
    AddFiles(chosen);
}

void CBatchFileSelectDlg::OnDel()
{
    const int row = m_list.GetCurSel();
    if (row < 0 || row >= static_cast<int>(m_files.size()))
        return;
    m_files.erase(m_files.begin() + row);
    Refill();
}

// ---- Batch Edit ----

BEGIN_MESSAGE_MAP(CBatchEditDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_LBN_SELCHANGE(1012, OnAllSelChange)
    ON_LBN_SELCHANGE(1013, OnChosenSelChange)
    ON_LBN_DBLCLK(1012, OnAdd)
    ON_LBN_DBLCLK(1013, OnRemove)
    ON_BN_CLICKED(1014, OnAdd)
    ON_BN_CLICKED(1015, OnRemove)
    ON_BN_CLICKED(1017, OnMoveDown)
    ON_BN_CLICKED(1018, OnMoveUp)
    ON_BN_CLICKED(1142, OnLoadBatch)
    ON_BN_CLICKED(1143, OnSaveBatch)
    ON_BN_CLICKED(1120, OnOverwrite)
    ON_BN_CLICKED(1023, OnBrowse)
    ON_BN_CLICKED(1121, OnLastFolder)
    ON_BN_CLICKED(1122, OnFileList)
    ON_BN_CLICKED(IDOK, OnStart)
    ON_MESSAGE(CBatchEditDlg::kWorkerMessage, OnWorkerMessage)
END_MESSAGE_MAP()

CBatchEditDlg::CBatchEditDlg(CWnd* parent) : CSkinDialog(kTemplate, parent) {}

CBatchEditDlg::~CBatchEditDlg() = default;

int CBatchEditDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    return m_grid.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, kGridId) ? 0 : -1;
}

BOOL CBatchEditDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_all.SubclassDlgItem(1012, this);
    m_chosen.SubclassDlgItem(1013, this);
    CRect frame;
    GetDlgItem(1016)->GetWindowRect(&frame);
    ScreenToClient(&frame);
    frame.DeflateRect(6, 16, 6, 6);
    m_grid.MoveWindow(&frame);
    // Made before the template's children: lift it over the frame it fills.
    m_grid.BringWindowToTop();
    m_grid.SetLabelWidth(frame.Width() / 2);
    const std::pair<CButtonST*, std::pair<int, UINT>> icons[] = {
        {&m_add, {1014, 154}}, {&m_remove, {1015, 153}}, {&m_down, {1017, 152}},
        {&m_up, {1018, 151}},  {&m_load, {1142, 220}},   {&m_save, {1143, 221}},
    };
    for (const auto& [button, ids] : icons) {
        button->SubclassDlgItem(ids.first, this);
        button->SetIcons(ids.second, 0, 32, 32);
    }
    if (m_programFolder.empty())
        m_programFolder = qlwin::ProgramFolder();
    BuildActionTable(m_programFolder, m_table, m_resources);
    FillActionLists();
    SendDlgItemMessage(1022, EM_LIMITTEXT, 511);
    SendDlgItemMessage(1027, EM_LIMITTEXT, 32);
    SetDlgItemText(1022, m_folder.c_str());
    CheckDlgButton(1025, BST_CHECKED);
    SendDlgItemMessage(1010, PBM_SETRANGE32, 0, 100);
    SendDlgItemMessage(1009, PBM_SETRANGE32, 0, 100);
    OnOverwrite();
    return TRUE;
}

void CBatchEditDlg::FillActionLists()
{
    m_all.ResetContent();
    m_chosen.ResetContent();
    for (size_t i = 0; i < m_table.size(); ++i) {
        CListBox& list = m_table[i].selected ? m_chosen : m_all;
        const int row = list.AddString(m_table[i].name.c_str());
        list.SetItemData(row, i);
    }
    m_grid.SetParamList({});
    UpdateButtons();
}

void CBatchEditDlg::UpdateButtons()
{
    const bool chosen = m_chosen.GetCurSel() >= 0;
    GetDlgItem(1014)->EnableWindow(m_all.GetCurSel() >= 0);
    GetDlgItem(1015)->EnableWindow(chosen);
    GetDlgItem(1017)->EnableWindow(chosen);
    GetDlgItem(1018)->EnableWindow(chosen);
    GetDlgItem(1143)->EnableWindow(m_chosen.GetCount() > 1);
}

std::vector<int> CBatchEditDlg::Chain() const
{
    std::vector<int> chain;
    for (int row = 0; row < m_chosen.GetCount(); ++row)
        chain.push_back(static_cast<int>(m_chosen.GetItemData(row)));
    return chain;
}

void CBatchEditDlg::OnAllSelChange()
{
    UpdateButtons();
}

void CBatchEditDlg::OnChosenSelChange()
{
    const int row = m_chosen.GetCurSel();
    std::vector<EffectParam*> params;
    if (row >= 0)
        for (auto& p : m_table[m_chosen.GetItemData(row)].params)
            params.push_back(p.get());
    m_grid.SetParamList(std::move(params));
    UpdateButtons();
}

void CBatchEditDlg::OnAdd()
{
    const int row = m_all.GetCurSel();
    if (row < 0)
        return;
    m_grid.Commit();
    m_table[m_all.GetItemData(row)].selected = 1;
    FillActionLists();
}

void CBatchEditDlg::OnRemove()
{
    const int row = m_chosen.GetCurSel();
    if (row < 0)
        return;
    BatchAction& action = m_table[m_chosen.GetItemData(row)];
    if (action.name == "Save")
        return;
    m_grid.Commit();
    action.selected = 0;
    FillActionLists();
}

void CBatchEditDlg::SwapRows(int a, int b)
{
    CString textA, textB;
    m_chosen.GetText(a, textA);
    m_chosen.GetText(b, textB);
    const DWORD_PTR dataA = m_chosen.GetItemData(a), dataB = m_chosen.GetItemData(b);
    m_chosen.DeleteString(static_cast<UINT>(a));
    m_chosen.InsertString(a, textB.GetString());
    m_chosen.SetItemData(a, dataB);
    m_chosen.DeleteString(static_cast<UINT>(b));
    m_chosen.InsertString(b, textA.GetString());
    m_chosen.SetItemData(b, dataA);
}

void CBatchEditDlg::OnMoveDown()
{
    const int r = m_chosen.GetCurSel();
    // "Save" stays last: nothing passes it.
    if (r < 0 || r >= m_chosen.GetCount() - 2)
        return;
    SwapRows(r, r + 1);
    m_chosen.SetCurSel(r + 1);
    OnChosenSelChange();
}

void CBatchEditDlg::OnMoveUp()
{
    const int r = m_chosen.GetCurSel();
    if (r <= 0 || r == m_chosen.GetCount() - 1)
        return;
    SwapRows(r - 1, r);
    m_chosen.SetCurSel(r - 1);
    OnChosenSelChange();
}

void CBatchEditDlg::OnLoadBatch()
{
    CFileDialog dlg(TRUE, "", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kBatchFilter, this);
    if (dlg.DoModal() != IDOK)
        return;
    const std::string path = dlg.GetPathName().GetString();
    m_grid.SetParamList({});
    const BatchFileResult result = LoadBatchFile(m_table, path);
    if (result == BatchFileResult::CannotOpen) {
        CString text;
        text.Format(theAlbumTexts.GetText(18), FileNameOf(path).c_str());
        AfxMessageBox(text);
        return;
    }
    if (result == BatchFileResult::BadFile)
        AfxMessageBox(theAlbumTexts.GetText(81));
    FillActionLists();
}

void CBatchEditDlg::OnSaveBatch()
{
    m_grid.Commit();
    CFileDialog dlg(FALSE, "", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kBatchFilter, this);
    if (dlg.DoModal() != IDOK)
        return;
    const std::string path = dlg.GetPathName().GetString();
    if (SaveBatchFile(m_table, path) != BatchFileResult::Ok) {
        CString text;
        text.Format(theAlbumTexts.GetText(18), FileNameOf(path).c_str());
        AfxMessageBox(text);
    }
}

void CBatchEditDlg::OnOverwrite()
{
    const BOOL naming = IsDlgButtonChecked(1120) ? FALSE : TRUE;
    for (int id : {1022, 1023, 1121, 1025, 1026, 1027, 1130})
        GetDlgItem(id)->EnableWindow(naming);
}

void CBatchEditDlg::OnBrowse()
{
    char folder[MAX_PATH] = {};
    CString current;
    GetDlgItemText(1022, current);
    if (BrowseForFolder(folder, "Select Folder", this, nullptr, current.GetString()) && folder[0])
        SetDlgItemText(1022, folder);
}

void CBatchEditDlg::OnLastFolder()
{
    CString current;
    GetDlgItemText(1022, current);
    SetDlgItemText(1022, AfxGetApp()->GetProfileString("Batch", "LastDir", current.GetString()).GetString());
}

void CBatchEditDlg::OnFileList()
{
    if (m_files.empty() && m_albumSelection)
        m_files = m_albumSelection();
    CBatchFileSelectDlg dlg(this);
    dlg.m_files = m_files;
    if (dlg.DoModal() == IDOK)
        m_files = dlg.m_files;
}

BatchOutput CBatchEditDlg::ReadOutput() const
{
    BatchOutput o;
    CString text;
    o.overwrite = IsDlgButtonChecked(1120) != 0;
    GetDlgItemText(1022, text);
    o.folder = text.GetString();
    o.originalName = IsDlgButtonChecked(1025) != 0;
    o.number = IsDlgButtonChecked(1026) != 0;
    GetDlgItemText(1027, text);
    o.text = text.GetString();
    o.asPrefix = IsDlgButtonChecked(1130) != 0;
    return o;
}

void CBatchEditDlg::OnStart()
{
    if (m_runner)
        return;
    m_grid.Commit();
    if (m_files.empty() && m_albumSelection)
        m_files = m_albumSelection();
    auto runner = std::make_unique<BatchRunner>(m_table, m_resources);
    runner->SetFiles(m_files);
    runner->SetOutput(ReadOutput());
    runner->SetChain(Chain());
    runner->SetUserName(m_userName);
    const BatchCheck check = runner->Start([this] {
        return MessageBox(theAlbumTexts.GetText(16), "WARNING", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
    });
    CheckDlgButton(1025, runner->Output().originalName ? BST_CHECKED : BST_UNCHECKED);
    switch (check) {
    case BatchCheck::Ok: break;
    case BatchCheck::NoFolder: AfxMessageBox(theAlbumTexts.GetText(23)); return;
    case BatchCheck::CannotCreateFolder: MessageBox(theAlbumTexts.GetText(17), "Error", MB_OK | MB_ICONSTOP); return;
    case BatchCheck::NoAction:
    case BatchCheck::NoSave: AfxMessageBox("Please choose the processing, ending with \"Save\" or \"Save for Web\"."); return;
    case BatchCheck::NoFiles:
    case BatchCheck::Declined: return;
    }
    const HWND self = m_hWnd;
    runner->SetProgressHook([self](int photo, int) { ::PostMessage(self, kWorkerMessage, 0, photo); });
    m_runner = std::move(runner);
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    m_grid.EnableWindow(FALSE);
    SetDlgItemText(1011, m_files.front().c_str());
    RedrawWindow();
    CAlgorithmThread& worker = StartAlgorithmThread();
    worker.SetNotifyWindow(m_hWnd);
    m_job.SetParam(m_runner.get());
    if (!worker.RunAlgorithm(&m_job, reinterpret_cast<void*>(&RunBatchJob), 0, 0, 100)) {
        m_runner.reset();
        GetDlgItem(IDOK)->EnableWindow(TRUE);
        m_grid.EnableWindow(TRUE);
        AfxMessageBox(theAlbumTexts.GetText(84));
    }
}

LRESULT CBatchEditDlg::OnWorkerMessage(WPARAM kind, LPARAM value)
{
    if (!m_runner)
        return 0;
    if (kind == 0) {
        const int n = std::max<int>(1, static_cast<int>(m_files.size()));
        const int done = m_runner->FilesDone();
        SendDlgItemMessage(1010, PBM_SETPOS, static_cast<WPARAM>(value));
        SendDlgItemMessage(1009, PBM_SETPOS, static_cast<WPARAM>((value + 100 * done) / n));
        if (done < n)
            SetDlgItemText(1011, m_files[static_cast<size_t>(done)].c_str());
        return 0;
    }
    if (kind == 1)
        Finish();
    return 0;
}

void CBatchEditDlg::Finish()
{
    m_report = m_runner->LastReport();
    const bool overwrite = m_runner->Output().overwrite;
    const std::string folder = m_runner->Output().folder;
    m_runner.reset();
    if (!overwrite)
        AfxGetApp()->WriteProfileString("Batch", "LastDir", folder.c_str());
    if (!m_cancelWhenDone)
        ShowReport();
    EndDialog(m_cancelWhenDone ? IDCANCEL : IDOK);
}

void CBatchEditDlg::ShowReport() const
{
    std::string text;
    if (m_report.algorithmFailed)
        text = "The batch stopped: \"" + m_report.failedAction + "\" failed on " + m_report.failedPhoto + ".\n";
    const std::pair<const char*, const std::vector<std::string>*> lists[] = {
        {"Could not be read:", &m_report.loadFailures},
        {"Could not be saved:", &m_report.saveFailures},
        {"EXIF could not be written:", &m_report.exifFailures},
        {"Could not be moved:", &m_report.moveFailures},
    };
    for (const auto& [title, files] : lists) {
        if (files->empty())
            continue;
        text += std::string(title) + "\n";
        for (size_t i = 0; i < files->size() && i < 20; ++i)
            text += "  " + (*files)[i] + "\n";
        if (files->size() > 20)
            text += "  ...\n";
    }
    if (!text.empty())
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CBatchEditDlg::OnCancel()
{
    if (!m_runner) {
        CSkinDialog::OnCancel();
        return;
    }
    // The run stops after the photo in hand; the done notice closes us.
    m_cancelWhenDone = true;
    m_runner->Cancel();
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    BeginWaitCursor();
}

} // namespace shelf
