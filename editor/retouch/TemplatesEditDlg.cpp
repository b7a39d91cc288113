#include "editor/retouch/TemplatesEditDlg.h"

#include "editor/retouch/FreeFrameTemplateDlg.h"
#include "editor/retouch/TemplateEditDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kTextTemplateExists = 98;

FrameCategory* g_current = nullptr;

void ShowFrameMessage(const char* text)
{
    AfxMessageBox(text);
}

} // namespace

FrameCategory* GetCurrentFrameCategory()
{
    return g_current;
}

void SetCurrentFrameCategory(FrameCategory* category)
{
    g_current = category;
}

void InstallFrameMessages()
{
    SetFrameMessageHandler(&ShowFrameMessage);
}

BEGIN_MESSAGE_MAP(CTemplatesEditDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_TEMPLATES_LIST, OnSelChange)
    ON_LBN_DBLCLK(IDC_TEMPLATES_LIST, OnDblClk)
    ON_BN_CLICKED(IDC_TEMPLATES_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_TEMPLATES_NEW_SIMPLE, CreateSimple)
    ON_BN_CLICKED(IDC_TEMPLATES_NEW_FREE, CreateFreeShape)
    ON_BN_CLICKED(IDC_TEMPLATES_DELETE, DeleteSelectedTemplate)
    ON_BN_CLICKED(IDC_TEMPLATES_RENAME, RenameSelected)
    ON_BN_CLICKED(IDC_TEMPLATES_MOVE, OnMoveTo)
    ON_BN_CLICKED(IDC_FOLDER_CREATE, CreateFolder)
    ON_BN_CLICKED(IDC_FOLDER_DELETE, DeleteSelectedFolder)
END_MESSAGE_MAP()

CTemplatesEditDlg::CTemplatesEditDlg(CWnd* parent) : CDialog(IDD_TEMPLATES_EDIT, parent)
{
    InstallFrameMessages();
}

BOOL CTemplatesEditDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!GetCurrentFrameCategory()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    list.SubclassDlgItem(IDC_TEMPLATES_LIST, this);
    Refill();
    return TRUE;
}

void CTemplatesEditDlg::Refill()
{
    list.ResetContent();
    items = ListCategory(Current());
    for (size_t i = 0; i < items.size(); ++i) {
        const int at = list.AddString(ListText(items[i]).c_str());
        list.SetItemData(at, i);
    }
    UpdateButtons();
}

void CTemplatesEditDlg::Rescan()
{
    Current().Clear();
    Current().Scan();
    Refill();
}

const FrameListItem* CTemplatesEditDlg::ItemAt(int index) const
{
    if (index < 0 || index >= list.GetCount())
        return nullptr;
    const DWORD_PTR item = list.GetItemData(index);
    return item < items.size() ? &items[item] : nullptr;
}

const FrameListItem* CTemplatesEditDlg::Selected() const
{
    return ItemAt(list.GetCurSel());
}

void CTemplatesEditDlg::UpdateButtons()
{
    const TemplateListButtons on = ButtonsFor(Selected(), Current());
    const std::pair<UINT, bool> states[] = {{IDC_TEMPLATES_EDIT, on.edit},
                                            {IDC_TEMPLATES_RENAME, on.rename},
                                            {IDC_TEMPLATES_DELETE, on.deleteTemplate},
                                            {IDC_TEMPLATES_MOVE, on.moveTo},
                                            {IDC_FOLDER_DELETE, on.deleteFolder}};
    for (const auto& [id, enabled] : states)
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enabled);
}

void CTemplatesEditDlg::OnSelChange()
{
    UpdateButtons();
}

void CTemplatesEditDlg::OpenSelected()
{
    const FrameListItem* item = Selected();
    if (!item)
        return;
    if (item->kind == FrameItemKind::Template) {
        EditTemplate(item->frame);
        return;
    }
    FrameCategory* next = item->kind == FrameItemKind::Up ? Current().m_parent : item->category;
    if (!next)
        return;
    SetCurrentFrameCategory(next);
    Refill();
}

void CTemplatesEditDlg::OnDblClk()
{
    OpenSelected();
}

void CTemplatesEditDlg::OnEdit()
{
    const FrameListItem* item = Selected();
    if (!item)
        CreateSimple();
    else if (item->kind == FrameItemKind::Template)
        EditTemplate(item->frame);
}

void CTemplatesEditDlg::EditTemplate(FrameTemplate* frame)
{
    if (frame->m_imageBased) {
        EditFreeShapeTemplate(frame);
        return;
    }
    CTemplateEditDlg dialog(this);
    dialog.m_template.CopyFrom(*frame);
    if (dialog.DoModal() == IDOK)
        ChangeTemplate(Current(), *frame, dialog.m_template);
}

void CTemplatesEditDlg::EditFreeShapeTemplate(FrameTemplate* frame)
{
    CFreeFrameTemplateDlg dialog(Current(), this);
    dialog.m_template.CopyFrom(*frame);
    dialog.m_name = frame->m_info.name;
    const std::string temp = theAppSettings.m_tempFolder;
    const std::string landscape = temp + "h.bmp", portrait = temp + "v.bmp";
    if (!frame->ExtractImages(landscape.c_str(), portrait.c_str()))
        return;
    dialog.m_landscapePath = landscape.c_str();
    dialog.m_portraitPath = portrait.c_str();
    dialog.m_signature = frame->m_signature.enabled ? 1 : 0;
    dialog.DoModal();
    std::error_code ec;
    std::filesystem::remove(landscape, ec);
    std::filesystem::remove(portrait, ec);
    Rescan();
}

void CTemplatesEditDlg::CreateSimple()
{
    CTemplateEditDlg dialog(this);
    dialog.m_template.ResetToDefaults();
    if (dialog.DoModal() != IDOK)
        return;
    const std::string path = Current().Folder() + dialog.m_template.m_info.name + ".frm";
    const bool exists = std::filesystem::exists(path);
    if (exists && AfxMessageBox(theUITextTable.GetText(kTextTemplateExists), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    auto* frame = new FrameTemplate;
    frame->CopyFrom(dialog.m_template);
    if (!AddTemplate(Current(), frame) || exists) {
        // A failed write lists nothing new; an overwritten file is listed once.
        Rescan();
        return;
    }
    Refill();
}

void CTemplatesEditDlg::CreateFreeShape()
{
    CFreeFrameTemplateDlg dialog(Current(), this);
    if (dialog.DoModal() == IDOK)
        Rescan();
}

void CTemplatesEditDlg::DeleteSelectedTemplate()
{
    const FrameListItem* item = Selected();
    if (!item || item->kind != FrameItemKind::Template)
        return;
    DeleteTemplate(Current(), item->frame);
    Refill();
}

void CTemplatesEditDlg::RenameSelected()
{
    const FrameListItem* item = Selected();
    if (!item || item->kind != FrameItemKind::Template)
        return;
    char name[32];
    std::snprintf(name, sizeof name, "%s", item->frame->m_info.name);
    if (!PromptForText(name, static_cast<int>(sizeof name) - 1, "Rename", "Please input a new name:", TRUE, TRUE))
        return;
    const int selected = list.GetCurSel();
    RenameTemplate(*item->frame, name);
    Refill();
    list.SetCurSel(selected);
    UpdateButtons();
}

void CTemplatesEditDlg::OnMoveTo()
{
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    const std::vector<std::string> targets = MoveTargets(Current());
    for (size_t i = 0; i < targets.size(); ++i)
        menu.AppendMenu(MF_STRING, ID_MOVE_TO_FIRST + i, targets[i].c_str());
    RECT r{};
    if (CWnd* button = GetDlgItem(IDC_TEMPLATES_MOVE))
        button->GetWindowRect(&r);
    menu.TrackPopupMenu(TPM_LEFTALIGN, r.right, r.top, this);
}

BOOL CTemplatesEditDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (lParam == 0 && id >= ID_MOVE_TO_FIRST && id < ID_MOVE_TO_FIRST + Current().m_children.size()) {
        MoveSelectedTo(id - ID_MOVE_TO_FIRST);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CTemplatesEditDlg::MoveSelectedTo(size_t child)
{
    const FrameListItem* item = Selected();
    if (!item || item->kind != FrameItemKind::Template || child >= Current().m_children.size())
        return;
    if (MoveTemplate(Current(), item->frame, *Current().m_children[child]))
        Refill();
}

void CTemplatesEditDlg::CreateFolder()
{
    char typed[129] = {};
    if (!PromptForText(typed, 128, "Name", "Create sub folder", TRUE, FALSE))
        return;
    char name[32];
    SanitizeName(name, typed);
    if (!name[0] || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return;
    if (NewSubFolder(Current(), name))
        Refill();
}

void CTemplatesEditDlg::DeleteSelectedFolder()
{
    const FrameListItem* item = Selected();
    if (!item || item->kind != FrameItemKind::Folder)
        return;
    if (DeleteSubFolder(Current(), item->category))
        Refill();
}

int RunEditFrameTemplates(CMainFrame* frame)
{
    FrameCategory root(theAppSettings.m_programFolder);
    root.Scan();
    SetCurrentFrameCategory(&root);
    CTemplatesEditDlg dialog(frame);
    const int result = static_cast<int>(dialog.DoModal());
    SetCurrentFrameCategory(nullptr);
    return result;
}
