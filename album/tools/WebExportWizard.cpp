#include "album/tools/WebExportWizard.h"

#include "album/shell/AlbumGlobals.h"
#include "album/tools/WebExportThread.h"
#include "editor/shell/FolderBrowser.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/Controls.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/win/Process.h"
#include "platform/win/ProgramFolder.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace shelf {

namespace {

void LimitText(CWnd* page, UINT id, std::size_t chars)
{
    page->SendDlgItemMessage(id, EM_LIMITTEXT, static_cast<WPARAM>(chars));
}

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// The album's program folder, where "webexport/" lies.
std::string ProgramDir()
{
    return theAlbum && !theAlbum->m_programFolder.empty() ? WithSlash(theAlbum->m_programFolder)
                                                          : qlwin::ProgramFolder();
}

} // namespace

// ---- page 1: destination and album texts ----

BEGIN_MESSAGE_MAP(CWebExportPage1, CSkinPropertyPage)
    ON_BN_CLICKED(1005, OnBrowse)
END_MESSAGE_MAP()

CWebExportPage1::CWebExportPage1(WebExportSettings& settings)
    : CSkinPropertyPage(kTemplate), m_settings(settings)
{
}

BOOL CWebExportPage1::OnInitDialog()
{
    m_destination = m_settings.destination.c_str();
    m_title = m_settings.title.c_str();
    m_description = m_settings.description.c_str();
    m_copyright = m_settings.copyright.c_str();
    m_email = m_settings.email.c_str();
    CSkinPropertyPage::OnInitDialog();
    LimitText(this, 1004, WebExportSettings::kMaxPath);
    LimitText(this, 1100, WebExportSettings::kMaxTitle);
    LimitText(this, 1007, WebExportSettings::kMaxDescription);
    LimitText(this, 1101, WebExportSettings::kMaxCopyright);
    LimitText(this, 1102, WebExportSettings::kMaxEmail);
    return TRUE;
}

void CWebExportPage1::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, 1004, m_destination);
    DDV_MaxChars(pDX, m_destination, WebExportSettings::kMaxPath);
    DDX_Text(pDX, 1100, m_title);
    DDV_MaxChars(pDX, m_title, WebExportSettings::kMaxTitle);
    DDX_Text(pDX, 1007, m_description);
    DDV_MaxChars(pDX, m_description, WebExportSettings::kMaxDescription);
    DDX_Text(pDX, 1101, m_copyright);
    DDV_MaxChars(pDX, m_copyright, WebExportSettings::kMaxCopyright);
    DDX_Text(pDX, 1102, m_email);
    DDV_MaxChars(pDX, m_email, WebExportSettings::kMaxEmail);
}

BOOL CWebExportPage1::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_NEXT);
    return CSkinPropertyPage::OnSetActive();
}

void CWebExportPage1::OnBrowse()
{
    UpdateData(TRUE);
    char folder[MAX_PATH] = {};
    if (BrowseForFolder(folder, "Select Folder", this, nullptr, m_destination.GetString()) && folder[0]) {
        m_destination = folder;
        UpdateData(FALSE);
    }
}

LRESULT CWebExportPage1::OnWizardNext()
{
    if (!UpdateData(TRUE))
        return -1;
    // The page the export writes first is the one a new export replaces.
    struct stat info {};
    const std::string index = WithSlash(m_destination.GetString()) + "Web/index.htm";
    if (::stat(index.c_str(), &info) == 0 &&
        MessageBox("There are pages created before, overwrite them?", "Warning", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return -1;
    // The tree and the photo counts of page 2 stay as they are.
    m_settings.destination = m_destination.GetString();
    m_settings.title = m_title.GetString();
    m_settings.description = m_description.GetString();
    m_settings.copyright = m_copyright.GetString();
    m_settings.email = m_email.GetString();
    return 0;
}

// ---- page 2: the folder tree ----

BEGIN_MESSAGE_MAP(CWebExportPage2, CSkinPropertyPage)
    ON_NOTIFY(TVN_SELCHANGED, 1001, OnSelChanged)
    ON_BN_CLICKED(1103, OnFlagClicked)
    ON_BN_CLICKED(1104, OnFlagClicked)
END_MESSAGE_MAP()

CWebExportPage2::CWebExportPage2(WebExportSettings& settings, std::string folder)
    : CSkinPropertyPage(kTemplate), m_settings(settings), m_folder(std::move(folder))
{
}

BOOL CWebExportPage2::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    m_tree.SubclassDlgItem(1001, this);
    LimitText(this, 1002, WebExportFolder::kMaxTitle);
    LimitText(this, 1105, WebExportFolder::kMaxDescription);
    m_settings.photosFound = 0;
    m_settings.root = ScanWebExportTree(m_folder, &m_settings.photosFound);
    Insert(*m_settings.root, TVI_ROOT);
    m_tree.Expand(static_cast<HTREEITEM>(m_settings.root->treeItem), TVE_EXPAND);
    SetButtonStates();
    return TRUE;
}

void CWebExportPage2::Insert(WebExportFolder& node, HTREEITEM parent)
{
    const HTREEITEM item = m_tree.InsertItem(node.title.c_str(), parent, TVI_LAST);
    m_tree.SetItemData(item, reinterpret_cast<DWORD_PTR>(&node));
    node.treeItem = item;
    for (auto& child : node.children)
        Insert(*child, item);
}

BOOL CWebExportPage2::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (m_settings.root) {
        m_settings.root->title = m_settings.title;
        m_settings.root->description = m_settings.description;
        m_tree.SetItemText(static_cast<HTREEITEM>(m_settings.root->treeItem), m_settings.root->title.c_str());
    }
    if (!m_selected && m_settings.root)
        m_tree.SelectItem(static_cast<HTREEITEM>(m_settings.root->treeItem));
    ShowSelected();
    SetButtonStates();
    return CSkinPropertyPage::OnSetActive();
}

BOOL CWebExportPage2::OnKillActive()
{
    StoreSelected();
    return CSkinPropertyPage::OnKillActive();
}

void CWebExportPage2::StoreSelected()
{
    if (!m_selected)
        return;
    CString text;
    m_selected->exportFlag = IsDlgButtonChecked(1103) ? 1 : 0;
    m_selected->sameAsParent = IsDlgButtonChecked(1104) ? 1 : 0;
    GetDlgItemText(1105, text);
    m_selected->description = text.GetString();
    GetDlgItemText(1002, text);
    m_selected->title = text.GetString();
}

void CWebExportPage2::ShowSelected()
{
    const WebExportFolder* node = m_selected;
    CheckDlgButton(1103, node && node->exportFlag ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(1104, node && node->sameAsParent ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(1002, node ? node->title.c_str() : "");
    SetDlgItemText(1105, node ? node->description.c_str() : "");
}

void CWebExportPage2::SetButtonStates()
{
    const bool selected = m_selected != nullptr;
    const bool exported = selected && IsDlgButtonChecked(1103);
    GetDlgItem(1103)->EnableWindow(selected);
    GetDlgItem(1002)->EnableWindow(exported);
    GetDlgItem(1104)->EnableWindow(exported);
    GetDlgItem(1105)->EnableWindow(exported && !IsDlgButtonChecked(1104));
}

void CWebExportPage2::OnSelChanged(NMHDR*, LRESULT* result)
{
    StoreSelected();
    const HTREEITEM item = m_tree.GetSelectedItem();
    m_selected = item ? reinterpret_cast<WebExportFolder*>(m_tree.GetItemData(item)) : nullptr;
    ShowSelected();
    SetButtonStates();
    *result = 0;
}

void CWebExportPage2::OnFlagClicked()
{
    StoreSelected();
    SetButtonStates();
}

// ---- page 3: thumbnails, table, filter and templates ----

BEGIN_MESSAGE_MAP(CWebExportPage3, CSkinPropertyPage)
    ON_BN_CLICKED(1110, OnDateFilter)
    ON_BN_CLICKED(1114, OnBrowseIndex)
    ON_BN_CLICKED(1115, OnBrowsePage)
    ON_BN_CLICKED(1116, OnCustomize)
END_MESSAGE_MAP()

CWebExportPage3::CWebExportPage3(WebExportSettings& settings) : CSkinPropertyPage(kTemplate), m_settings(settings) {}

BOOL CWebExportPage3::OnInitDialog()
{
    m_thumbSize = static_cast<UINT>(m_settings.thumbSize);
    m_perLine = static_cast<UINT>(m_settings.perLine);
    m_visitor = m_settings.visitorDownload;
    m_dateFilter = m_settings.dateFilter;
    m_onlyPages = m_settings.onlyPages;
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    char date[40];
    std::snprintf(date, sizeof date, "%02d/%02d/%d", today.tm_mon + 1, today.tm_mday, today.tm_year + 1900);
    m_date = date;
    m_indexTemplate = (ProgramDir() + "webexport/thumbindex.htm").c_str();
    m_pageTemplate = (ProgramDir() + "webexport/image.htm").c_str();
    CSkinPropertyPage::OnInitDialog();
    LimitText(this, 1088, 32);
    LimitText(this, 1112, WebExportSettings::kMaxPath);
    LimitText(this, 1113, WebExportSettings::kMaxPath);
    GetDlgItem(1088)->EnableWindow(m_dateFilter);
    return TRUE;
}

void CWebExportPage3::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, 1080, m_thumbSize);
    DDV_MinMaxUInt(pDX, m_thumbSize, WebExportSettings::kMinThumb, WebExportSettings::kMaxThumb);
    DDX_Text(pDX, 1107, m_perLine);
    DDV_MinMaxUInt(pDX, m_perLine, WebExportSettings::kMinPerLine, WebExportSettings::kMaxPerLine);
    DDX_Check(pDX, 1108, m_visitor);
    DDX_Check(pDX, 1110, m_dateFilter);
    DDX_Text(pDX, 1088, m_date);
    DDV_MaxChars(pDX, m_date, 32);
    DDX_Check(pDX, 1111, m_onlyPages);
    DDX_Text(pDX, 1112, m_indexTemplate);
    DDV_MaxChars(pDX, m_indexTemplate, WebExportSettings::kMaxPath);
    DDX_Text(pDX, 1113, m_pageTemplate);
    DDV_MaxChars(pDX, m_pageTemplate, WebExportSettings::kMaxPath);
}

BOOL CWebExportPage3::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CSkinPropertyPage::OnSetActive();
}

void CWebExportPage3::OnDateFilter()
{
    UpdateData(TRUE);
    GetDlgItem(1088)->EnableWindow(IsDlgButtonChecked(1110));
}

void CWebExportPage3::BrowseTemplate(UINT id)
{
    CFileDialog dialog(TRUE, nullptr, "*.htm", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, nullptr, this);
    if (dialog.DoModal() == IDOK)
        SetDlgItemText(id, dialog.GetPathName());
}

void CWebExportPage3::OnBrowseIndex() { BrowseTemplate(1112); }
void CWebExportPage3::OnBrowsePage() { BrowseTemplate(1113); }

void CWebExportPage3::OnCustomize()
{
    MessageBox("The pages are made from two templates: copy thumbindex.htm and image.htm from the folder "
               "\"webexport\" of the program, change them in any text editor and choose the copies here. The help "
               "file lists every $NAME$ a template may hold. For further help, write to " QUILLO_SHELF_MAIL ".",
               nullptr, MB_OK | MB_ICONINFORMATION);
}

bool ParseWebExportDate(const char* text, WebExportDate& date)
{
    int numbers[3] = {};
    int count = 0;
    const char* p = text;
    while (count < 3) {
        if (*p < '0' || *p > '9')
            return false;
        long value = 0;
        while (*p >= '0' && *p <= '9' && value < 100000)
            value = value * 10 + (*p++ - '0');
        if (*p >= '0' && *p <= '9')
            return false;
        numbers[count++] = static_cast<int>(value);
        if (count < 3) {
            if (!*p || !std::strchr(":/- ", *p))
                return false;
            ++p;
        }
    }
    if (*p)
        return false;
    const WebExportDate parsed{numbers[2], numbers[0], numbers[1]};
    if (parsed.month < 1 || parsed.month > 12 || parsed.day < 1 || parsed.day > 31 || parsed.year < 1901 ||
        parsed.year > 2200)
        return false;
    date = parsed;
    return true;
}

LRESULT CWebExportPage3::OnWizardNext()
{
    if (!UpdateData(TRUE))
        return -1;
    WebExportDate date;
    if (!ParseWebExportDate(m_date.GetString(), date)) {
        AfxMessageBox("Bad time format");
        GetDlgItem(1088)->SetFocus();
        return -1;
    }
    m_settings.thumbSize = static_cast<int>(m_thumbSize);
    m_settings.perLine = static_cast<int>(m_perLine);
    m_settings.visitorDownload = m_visitor;
    m_settings.dateFilter = m_dateFilter;
    m_settings.date = date;
    m_settings.onlyPages = m_onlyPages;
    m_settings.indexTemplate = m_indexTemplate.GetString();
    m_settings.pageTemplate = m_pageTemplate.GetString();
    return 0;
}

// ---- page 4: the export ----

BEGIN_MESSAGE_MAP(CWebExportPage4, CSkinPropertyPage)
    ON_MESSAGE(WM_WEB_EXPORT, OnProgress)
    ON_BN_CLICKED(1109, OnViewResult)
END_MESSAGE_MAP()

CWebExportPage4::CWebExportPage4(WebExportSettings& settings) : CSkinPropertyPage(kTemplate), m_settings(settings) {}

CWebExportPage4::~CWebExportPage4() { StopWorker(); }

void CWebExportPage4::StopWorker()
{
    m_settings.cancel = 1;
    if (m_worker.joinable())
        m_worker.join();
}

BOOL CWebExportPage4::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_DISABLEDFINISH);
    StopWorker();
    SendDlgItemMessage(1082, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessage(1082, PBM_SETPOS, 0);
    GetDlgItem(1109)->EnableWindow(FALSE);
    const HWND window = m_hWnd;
    m_settings.notify = [window](unsigned wParam) { ::PostMessage(window, WM_WEB_EXPORT, wParam, 0); };
    m_settings.cancel = 0;
    m_settings.running = 1;
    m_worker = std::thread([this] { WebExportThread(m_settings); });
    return CSkinPropertyPage::OnSetActive();
}

LRESULT CWebExportPage4::OnProgress(WPARAM wParam, LPARAM)
{
    if (wParam != kWebExportDone) {
        SendDlgItemMessage(1082, PBM_SETPOS, wParam);
        return 0;
    }
    if (m_worker.joinable())
        m_worker.join();
    SendDlgItemMessage(1082, PBM_SETPOS, 0);
    for (const std::string& message : m_settings.TakeMessages())
        AfxMessageBox(message.c_str(), MB_OK);
    GetDlgItem(1109)->EnableWindow(TRUE);
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_FINISH);
    return 0;
}

BOOL CWebExportPage4::OnQueryCancel()
{
    // The worker tests the flag between photos; nothing is left half written.
    StopWorker();
    return TRUE;
}

BOOL CWebExportPage4::OnWizardFinish()
{
    StopWorker();
    return TRUE;
}

void CWebExportPage4::OnViewResult()
{
    const std::string index = WithSlash(m_settings.destination) + "Web/index.htm";
    ::ShellExecute(m_hWnd, "open", index.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// ---- the sheet ----

CWebExportWizard::CWebExportWizard(const std::string& folder, const std::string& displayName, CWnd* parent)
    : m_page1(m_settings), m_page2(m_settings, folder), m_page3(m_settings), m_page4(m_settings)
{
    m_pParentWnd = parent;
    SetTitle(kWebExportCaption);
    m_settings.destination = folder;
    m_settings.title = displayName;
    CWinApp* app = AfxGetApp();
    const CString user = app ? app->GetProfileString("General", "UserName", "") : CString();
    char copyright[WebExportSettings::kMaxCopyright + 1];
    std::snprintf(copyright, sizeof copyright, "Copyright %s.", user.GetString());
    m_settings.copyright = copyright;
    m_settings.visitorDownload = app ? static_cast<int>(app->GetProfileInt("ExportWeb", "Keep Original", 0)) : 0;
    m_settings.thumbSize = 128;
    m_settings.perLine = 4;
    m_settings.sourceRoot = WithSlash(folder);
    m_settings.resourceFolder = ProgramDir() + "webexport/";
    for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&m_page1, &m_page2, &m_page3, &m_page4})
        AddPage(page);
    SetWizardMode();
}

} // namespace shelf
