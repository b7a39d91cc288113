#include "editor/shell/PluginManagerDlg.h"

#include "editor/shell/PluginHost.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/PromptForText.h"
#include "platform/win/FileFind.h"
#include "platform/win/FileOps.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr UINT kRestartText = 124;
constexpr int kFolderNameMax = 32;

// A folder name that stays one level below the right pane's folder.
bool IsPlainFolderName(const char* name)
{
    return name[0] != '\0' && std::strcmp(name, "..") != 0 && std::strcmp(name, ".") != 0 &&
           !std::strchr(name, '/') && !std::strchr(name, '\\');
}

} // namespace

BEGIN_MESSAGE_MAP(CPluginManagerDlg, CDialog)
ON_LBN_DBLCLK(CPluginManagerDlg::kLeftList, OnOpenLeft)
ON_LBN_DBLCLK(CPluginManagerDlg::kRightList, OnOpenRight)
ON_LBN_SELCHANGE(CPluginManagerDlg::kLeftList, OnSelChange)
ON_LBN_SELCHANGE(CPluginManagerDlg::kRightList, OnSelChange)
ON_BN_CLICKED(CPluginManagerDlg::kOpenLeft, OnOpenLeft)
ON_BN_CLICKED(CPluginManagerDlg::kOpenRight, OnOpenRight)
ON_BN_CLICKED(CPluginManagerDlg::kMoveRight, OnMoveRight)
ON_BN_CLICKED(CPluginManagerDlg::kMoveLeft, OnMoveLeft)
ON_BN_CLICKED(CPluginManagerDlg::kDelete, OnDelete)
ON_BN_CLICKED(CPluginManagerDlg::kCreateFolder, OnCreateFolder)
END_MESSAGE_MAP()

CPluginManagerDlg::CPluginManagerDlg(CWnd* parent) : CDialog(kTemplate, parent) {}

BOOL CPluginManagerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // GetDlgItem then gives these objects, so the list calls are typed.
    m_left.box.SubclassDlgItem(m_left.list, this);
    m_right.box.SubclassDlgItem(m_right.list, this);
    FillPanes();
    return TRUE;
}

std::string CPluginManagerDlg::FolderPath(const std::string& folder)
{
    return PluginRootPath() + (folder.empty() ? "" : folder + "/");
}

void CPluginManagerDlg::FillPane(Pane& pane)
{
    pane.entries.clear();
    auto* list = static_cast<CListBox*>(GetDlgItem(pane.list));
    if (!list)
        return;
    list->ResetContent();
    SetDlgItemText(pane.text, pane.folder.c_str());
    const std::string path = FolderPath(pane.folder);
    std::vector<PluginListEntry> folders, plugins;
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((path + "*.*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFile(find, &data)) {
        PluginListEntry entry{};
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (data.cFileName[0] == '.')
                continue;
            std::snprintf(entry.displayName, sizeof entry.displayName, "%s", data.cFileName);
            std::snprintf(entry.fileName, sizeof entry.fileName, "%s", data.cFileName);
            entry.isFolder = 1;
            folders.push_back(entry);
        } else if (IsPluginFileName(data.cFileName) && std::strlen(data.cFileName) < sizeof entry.fileName) {
            // A name cut short would name another file: such files are left out.
            auto plugin = LoadEffectPlugin((path + data.cFileName).c_str());
            if (!plugin)
                continue;
            std::snprintf(entry.displayName, sizeof entry.displayName, "%s", plugin->record->name);
            std::snprintf(entry.fileName, sizeof entry.fileName, "%s", data.cFileName);
            plugins.push_back(entry);
        }
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    if (!pane.folder.empty())
        list->SetItemData(list->AddString("[..]"), static_cast<DWORD_PTR>(-1));
    pane.entries = std::move(folders);
    pane.entries.insert(pane.entries.end(), plugins.begin(), plugins.end());
    for (size_t i = 0; i < pane.entries.size(); ++i) {
        const PluginListEntry& entry = pane.entries[i];
        char text[80];
        std::snprintf(text, sizeof text, entry.isFolder ? "[%s]" : "%s", entry.displayName);
        list->SetItemData(list->AddString(text), i);
    }
    UpdateButtons();
}

void CPluginManagerDlg::FillPanes()
{
    FillPane(m_left);
    FillPane(m_right);
}

void CPluginManagerDlg::UpdateButtons()
{
    const bool differ = m_left.folder != m_right.folder;
    auto hasSelection = [this](UINT id) {
        auto* list = static_cast<CListBox*>(GetDlgItem(id));
        return list && list->GetCurSel() != LB_ERR;
    };
    if (CWnd* button = GetDlgItem(kMoveRight))
        button->EnableWindow(differ && hasSelection(kLeftList));
    if (CWnd* button = GetDlgItem(kMoveLeft))
        button->EnableWindow(differ && hasSelection(kRightList));
}

void CPluginManagerDlg::OpenSelected(Pane& pane)
{
    auto* list = static_cast<CListBox*>(GetDlgItem(pane.list));
    const int line = list ? list->GetCurSel() : LB_ERR;
    if (line == LB_ERR)
        return;
    const auto data = static_cast<intptr_t>(list->GetItemData(line));
    if (data == -1) {
        const size_t slash = pane.folder.rfind('/');
        pane.folder.erase(slash == std::string::npos ? 0 : slash);
    } else if (data >= 0 && static_cast<size_t>(data) < pane.entries.size() && pane.entries[data].isFolder) {
        if (!pane.folder.empty())
            pane.folder += '/';
        pane.folder += pane.entries[data].fileName;
    } else {
        return;
    }
    FillPane(pane);
}

const PluginListEntry* CPluginManagerDlg::SelectedPlugin(const Pane& pane)
{
    auto* list = static_cast<CListBox*>(GetDlgItem(pane.list));
    const int line = list ? list->GetCurSel() : LB_ERR;
    if (line == LB_ERR)
        return nullptr;
    const auto data = static_cast<intptr_t>(list->GetItemData(line));
    if (data < 0 || static_cast<size_t>(data) >= pane.entries.size() || pane.entries[data].isFolder)
        return nullptr;
    return &pane.entries[data];
}

void CPluginManagerDlg::MoveSelected(Pane& from, const Pane& to)
{
    const PluginListEntry* entry = SelectedPlugin(from);
    if (!entry)
        return;
    m_changed = 1;
    const std::string source = FolderPath(from.folder) + entry->fileName;
    const std::string target = FolderPath(to.folder) + entry->fileName;
    if (!MoveFileA(source.c_str(), target.c_str())) {
        MessageBox("Can not move this plugin file. Close and restart Quillo, then try anagin.");
        return;
    }
    FillPanes();
}

void CPluginManagerDlg::DeleteSelected()
{
    const PluginListEntry* entry = SelectedPlugin(m_left);
    if (!entry)
        return;
    if (MessageBox("This plugin will be deleted, are you sure?", "Warning", MB_YESNO) != IDYES)
        return;
    if (DeleteFileA((FolderPath(m_left.folder) + entry->fileName).c_str()))
        FillPanes();
}

void CPluginManagerDlg::CreateFolder()
{
    m_changed = 1;
    char name[kFolderNameMax + 1] = {};
    if (!PromptForText(name, kFolderNameMax, "Create Directory", "The name of directory", TRUE, FALSE))
        return;
    if (!IsPlainFolderName(name))
        return;
    if (::mkdir((FolderPath(m_right.folder) + name).c_str(), 0755) == 0)
        FillPanes();
}

int RunPluginManager(CWnd* parent)
{
    CPluginManagerDlg dialog(parent);
    const int result = static_cast<int>(dialog.DoModal());
    if (dialog.m_changed)
        AfxMessageBox(theUITextTable.GetText(kRestartText));
    return result;
}
