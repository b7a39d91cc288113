#include "album/shell/WelcomeWizard.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/FolderNode.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/WinApp.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>

namespace shelf {

namespace {

CPropertySheet* SheetOf(CWnd* page) { return dynamic_cast<CPropertySheet*>(page->GetParent()); }

void SetButtons(CWnd* page, DWORD buttons)
{
    if (CPropertySheet* sheet = SheetOf(page))
        sheet->SetWizardButtons(buttons);
}

// A page comes up: its buttons, and its caption on the wizard's title bar.
void Activated(CPropertyPage* page, DWORD buttons)
{
    SetButtons(page, buttons);
    if (CPropertySheet* sheet = SheetOf(page))
        sheet->SetTitle(page->GetTitle().GetString());
}

std::string ItemText(const CWnd* page, UINT id)
{
    CString text;
    page->GetDlgItemText(static_cast<int>(id), text);
    return text.GetString();
}

void WriteUserName(const std::string& name)
{
    if (theAlbum)
        theAlbum->m_userName = name;
    AfxGetApp()->WriteProfileString("General", "UserName", name.c_str());
}

// Can a file be made in folder? A file of our own unique name is created
// exclusively and removed; nothing of the user's is touched.
bool FolderWritable(const std::string& folder)
{
    static std::atomic<int> serial{0};
    const std::string probe = folder + ".quillo-write-test-" + std::to_string(getpid()) + "-" +
                              std::to_string(serial++) + ".tmp";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

int BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data)
{
    if (msg == BFFM_INITIALIZED && data)
        ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, data);
    return 0;
}

} // namespace

// ---- page 1: the user's name --------------------------------------------------------

BOOL CWelComPage1::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    SendDlgItemMessage(kName, EM_LIMITTEXT, kMaxName);
    return TRUE;
}

BOOL CWelComPage1::OnSetActive()
{
    const CString name = AfxGetApp()->GetProfileString("General", "UserName", "");
    SetDlgItemText(kName, name.GetString());
    Activated(this, 0);
    UpdateButtons();
    return CSkinPropertyPage::OnSetActive();
}

void CWelComPage1::UpdateButtons() { SetButtons(this, ItemText(this, kName).empty() ? 0 : PSWIZB_NEXT); }

BOOL CWelComPage1::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kName && HIWORD(wParam) == EN_CHANGE)
        UpdateButtons();
    return CSkinPropertyPage::OnCommand(wParam, lParam);
}

LRESULT CWelComPage1::OnWizardNext()
{
    m_name = ItemText(this, kName);
    if (m_name.empty())
        return -1;
    WriteUserName(m_name);
    return 0;
}

// ---- page 2: what kind of album -----------------------------------------------------

BOOL CWelComPage2::OnSetActive()
{
    Activated(this, PSWIZB_BACK | PSWIZB_NEXT);
    CheckDlgButton(kNewFolder, m_choice == kChoiceNew);
    CheckDlgButton(kExisting, m_choice == kChoiceExisting);
    return CSkinPropertyPage::OnSetActive();
}

BOOL CWelComPage2::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kNewFolder:
        m_choice = kChoiceNew;
        break;
    case kExisting:
        m_choice = kChoiceExisting;
        break;
    case kNoThanks:
        m_choice = kChoiceNone;
        // Leaving the page with this choice ends the wizard.
        if (CPropertySheet* sheet = SheetOf(this))
            sheet->PressButton(PSBTN_NEXT);
        return TRUE;
    default:
        break;
    }
    return CSkinPropertyPage::OnCommand(wParam, lParam);
}

LRESULT CWelComPage2::OnWizardNext()
{
    if (m_choice != kChoiceNone)
        return 0;
    if (CPropertySheet* sheet = SheetOf(this)) {
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        sheet->PressButton(PSBTN_FINISH);
    }
    return -1;
}

// ---- page 3: the album's name, place and categories ---------------------------------

const CWelComPage3::Category CWelComPage3::kCategories[8] = {
    {1057, "Architecture", false}, {1060, "Digital processed", false}, {1061, "Events", false},
    {1055, "Landscape", true},     {1062, "Nature", true},             {1063, "Other", false},
    {1056, "Pets", true},          {1054, "Portrait", true},
};

std::string CWelComPage3::FollowName(const std::string& location, const std::string& name)
{
    const std::size_t slash = location.rfind('/');
    std::string result = slash == std::string::npos ? std::string() : location.substr(0, slash + 1);
    for (char c : name)
        result += (c == '"' || c == '*' || c == '/' || c == ':' || c == '?' || c == '\\' || c == '~') ? '_' : c;
    return result;
}

BOOL CWelComPage3::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    SendDlgItemMessage(kAlbumName, EM_LIMITTEXT, kMaxName);
    for (const Category& c : kCategories)
        CheckDlgButton(c.id, c.checked);
    const std::string start = (theAlbum ? theAlbum->m_programFolder : std::string()) + "Photo";
    SetDlgItemText(kLocation, start.c_str());
    return TRUE;
}

BOOL CWelComPage3::OnSetActive()
{
    const int show = Choice() == CWelComPage2::kChoiceNew ? SW_SHOW : SW_HIDE;
    if (CWnd* group = GetDlgItem(kGroup))
        group->ShowWindow(show);
    for (const Category& c : kCategories)
        if (CWnd* box = GetDlgItem(c.id))
            box->ShowWindow(show);
    if (ItemText(this, kAlbumName).empty() && m_pUserName) {
        const std::string name = *m_pUserName + "'s Photo";
        SetDlgItemText(kAlbumName, name.c_str());
        Follow();
    }
    Activated(this, PSWIZB_BACK | PSWIZB_NEXT);
    return CSkinPropertyPage::OnSetActive();
}

void CWelComPage3::Follow()
{
    if (Choice() != CWelComPage2::kChoiceNew || m_following)
        return;
    ++m_following; // our own change of the location is no edit of the name
    SetDlgItemText(kLocation, FollowName(ItemText(this, kLocation), ItemText(this, kAlbumName)).c_str());
    --m_following;
}

BOOL CWelComPage3::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kAlbumName && HIWORD(wParam) == EN_CHANGE) {
        Follow();
    } else if (LOWORD(wParam) == kBrowse && HIWORD(wParam) == BN_CLICKED) {
        OnBrowse();
        return TRUE;
    }
    return CSkinPropertyPage::OnCommand(wParam, lParam);
}

void CWelComPage3::OnBrowse()
{
    const std::string start = ItemText(this, kLocation);
    char display[MAX_PATH] = {};
    BROWSEINFO bi{};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = display;
    bi.lpszTitle = theAlbumTexts.GetText(49);
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolder(&bi);
    if (!chosen)
        return;
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDList(chosen, path)) {
        std::string folder = path;
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        if (Choice() == CWelComPage2::kChoiceNew)
            folder = FollowName(folder, ItemText(this, kAlbumName));
        ++m_following;
        SetDlgItemText(kLocation, folder.c_str());
        --m_following;
    }
    ILFree(chosen);
}

bool CWelComPage3::CreateProject()
{
    std::string location = ItemText(this, kLocation);
    if (location.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(location, ec);
    if (location.back() != '/')
        location += '/';
    if (!FolderWritable(location))
        return false;
    auto project = std::make_unique<Project>();
    project->m_root.m_name = location;
    project->m_root.m_label = ItemText(this, kAlbumName);
    project->m_bLoaded = 1;
    if (Choice() == CWelComPage2::kChoiceNew)
        for (const Category& c : kCategories)
            if (IsDlgButtonChecked(c.id))
                std::filesystem::create_directory(location + c.name, ec);
    if (!theAlbum || !project->m_root.ScanSubfolders(location, 1))
        return false;
    theAlbum->m_projects.push_back(std::move(project));
    const int count = SaveProjectList(theAlbum->m_folderSet, theAlbum->m_projects);
    AfxGetApp()->WriteProfileInt("Project", "Number", count);
    WriteUserName(theAlbum->m_userName);
    return true;
}

LRESULT CWelComPage3::OnWizardNext()
{
    if (CreateProject())
        return 0;
    MessageBox(theAlbumTexts.GetText(2));
    return -1;
}

// ---- page 4: done ----------------------------------------------------------------

BOOL CWelComPage4::OnSetActive()
{
    Activated(this, PSWIZB_FINISH);
    return CSkinPropertyPage::OnSetActive();
}

int RunWelcomeWizard(CWnd* parent)
{
    CWelComPage1 page1;
    CWelComPage2 page2;
    CWelComPage3 page3;
    CWelComPage4 page4;
    page3.m_pChoice = &page2.m_choice;
    page3.m_pUserName = &page1.m_name;
    CQLSheet sheet;
    sheet.m_pParentWnd = parent;
    sheet.AddPage(&page1);
    sheet.AddPage(&page2);
    sheet.AddPage(&page3);
    sheet.AddPage(&page4);
    sheet.SetWizardMode();
    return sheet.DoModal();
}

} // namespace shelf
