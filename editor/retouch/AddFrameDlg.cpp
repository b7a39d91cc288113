#include "editor/retouch/AddFrameDlg.h"

#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace {

constexpr UINT kIconFolder = 288;
constexpr UINT kIconTemplate = 289;
constexpr UINT kBitmapLookIn = 292;
constexpr UINT kIconFrameButton = 315;
constexpr int kTextAddFrame = 32;

HICON ResourceIcon(UINT id)
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

// Fits w x h into side x side, keeping the aspect ratio.
SIZE FitInto(UINT w, UINT h, int side)
{
    if (w > h)
        return {side, std::max(1, static_cast<int>(std::uint64_t{h} * side / w))};
    return {std::max(1, static_cast<int>(std::uint64_t{w} * side / h)), side};
}

} // namespace

HICON CFrameGrid::GetItemIcon(int index)
{
    const DWORD entry = GetItemData(index);
    if (!entries || entry >= entries->size())
        return nullptr;
    return ResourceIcon((*entries)[entry].IsFolder() ? kIconFolder : kIconTemplate);
}

BEGIN_MESSAGE_MAP(CAddFrameDlg, CFilterDlg)
    ON_WM_CREATE()
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnGridNotify)
    ON_MESSAGE(WM_FRAME_PREVIEW_READY, OnPreviewReady)
    ON_BN_CLICKED(IDC_FRAME_ADVANCE, OnAdvance)
    ON_BN_CLICKED(IDC_FRAME_COLLAGE, OnCollage)
    ON_BN_CLICKED(IDC_FRAME_ICON, OnIconButton)
END_MESSAGE_MAP()

CAddFrameDlg::CAddFrameDlg(CWnd* parent) : CFilterDlg(IDD_ADD_FRAME, parent), root(theAppSettings.m_programFolder)
{
    InstallFrameMessages();
}

CAddFrameDlg::~CAddFrameDlg()
{
    StopJobAndWait();
    ReleaseLoader();
}

int CAddFrameDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CFilterDlg::OnCreate(cs) == -1)
        return -1;
    if (!grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 100, 100}, this, IDC_FRAME_GRID))
        return -1;
    grid.SetMultiSelect(FALSE);
    grid.entries = &entries;
    const CQLImage* photo = CurrentImage();
    UINT w = 0, h = 0;
    photo->GetSize(&w, &h);
    if (w == 0 || h == 0)
        return -1;
    const SIZE fit = FitInto(w, h, kPhotoCopySide);
    CQLImageCodec codec;
    if (!codec.Resample(photo, &photoCopy, fit.cx, fit.cy, 1))
        return -1;
    return 0;
}

BOOL CAddFrameDlg::OnInitDialog()
{
    dialogKey = "AddFrame";
    CFilterDlg::OnInitDialog();
    loader = StartFrameLoadThread();
    images.Create(kBitmapLookIn, 16, 0, RGB(0, 255, 0));
    const CString user = AfxGetApp()->GetProfileString("General", "UserName", "");
    std::snprintf(userName, sizeof userName, "%s", static_cast<const char*>(user));
    renderer.SetUserText(userName);
    root.Scan();
    shown = &root;
    FillGrid();
    iconButton.SubclassDlgItem(IDC_FRAME_ICON, this);
    iconButton.SetIcons(kIconFrameButton, 0, 32, 32);
    const std::string collage = std::string(theAppSettings.m_programFolder) + "QuilloCollage";
    if (CWnd* button = GetDlgItem(IDC_FRAME_COLLAGE))
        button->EnableWindow(std::filesystem::exists(collage));
    grid.SetFocus();
    return FALSE;
}

void CAddFrameDlg::StopLoader(int pollMs)
{
    if (loader)
        loader->Stop(pollMs);
}

void CAddFrameDlg::ReleaseLoader()
{
    if (!loader)
        return;
    loader->Stop(10);
    loader->SetTarget(nullptr);
}

void CAddFrameDlg::FillGrid()
{
    grid.DeleteAllItems();
    StopLoader(100);
    entries.clear();
    chosen = -1;
    const std::vector<FrameListItem> items = ListCategory(*shown);
    entries.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        FrameListEntry& entry = entries[i];
        entry.item = items[i];
        std::snprintf(entry.text, sizeof entry.text, "%s", GridText(items[i]).c_str());
        const int index = grid.AddItem(entry.text, nullptr);
        grid.SetItemData(index, static_cast<DWORD>(i));
    }
    if (loader) {
        loadTarget = {&entries, &photoCopy, &thePhotoDocument.m_exif.GetFields(), m_hWnd};
        loader->SetTarget(&loadTarget);
        passGeneration = loader->Generation();
        loader->PostPass();
    }
    grid.Invalidate();
}

const FrameListEntry* CAddFrameDlg::EntryAt(int index) const
{
    if (index < 0 || index >= grid.GetItemCount())
        return nullptr;
    const DWORD entry = grid.GetItemData(index);
    return entry < entries.size() ? &entries[entry] : nullptr;
}

LRESULT CAddFrameDlg::OnPreviewReady(WPARAM index, LPARAM generation)
{
    if (static_cast<unsigned>(generation) != passGeneration || index >= entries.size())
        return 0;
    // The loader is done with this entry: it never writes a preview twice.
    for (int i = 0; i < grid.GetItemCount(); ++i)
        if (grid.GetItemData(i) == index) {
            grid.SetItemThumbnail(i, &entries[index].preview);
            grid.RefreshItem(i);
        }
    return 0;
}

LRESULT CAddFrameDlg::OnGridNotify(WPARAM code, LPARAM)
{
    if (code == ThumbListSelChange)
        OnSelection();
    else if (code == ThumbListActivate)
        OnActivate();
    return 0;
}

void CAddFrameDlg::OnSelection()
{
    const int selected = grid.GetCurSel();
    if (selected < 0)
        return;
    chosen = selected;
    const FrameListEntry* entry = EntryAt(chosen);
    if (!entry || entry->IsFolder())
        return;
    UpdatePreview();
}

void CAddFrameDlg::OnActivate()
{
    BeginWaitCursor();
    StopLoader(30);
    EndWaitCursor();
    const int selected = grid.GetCurSel();
    if (selected < 0)
        return;
    if (selected != chosen)
        OnSelection();
    const FrameListEntry* entry = EntryAt(selected);
    if (!entry || !entry->IsFolder())
        return;
    FrameCategory* next = entry->item.kind == FrameItemKind::Up ? shown->m_parent : entry->item.category;
    if (!next)
        return;
    shown = next;
    FillGrid();
}

BOOL CAddFrameDlg::PreTranslateMessage(MSG* msg)
{
    // Enter on the grid opens a folder as a double click does.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && msg->hwnd == grid.m_hWnd) {
        const FrameListEntry* entry = EntryAt(grid.GetCurSel());
        if (entry && entry->IsFolder()) {
            OnActivate();
            return TRUE;
        }
    }
    return CFilterDlg::PreTranslateMessage(msg);
}

void CAddFrameDlg::RunAlgorithm()
{
    const FrameListEntry* entry = EntryAt(chosen);
    if (!entry || entry->IsFolder())
        return;
    jobTemplate.CopyFrom(*entry->item.frame);
    renderer.SetImages(CurrentImage(), GetWorkImage());
    renderer.SetExif(&thePhotoDocument.m_exif.GetFields());
    RunJob(&renderer, &jobTemplate, 0, 0, 100);
}

POINT CAddFrameDlg::GetResultOffset()
{
    return renderer.GetResultOffset();
}

void CAddFrameDlg::RecalcLayout()
{
    CFilterDlg::RecalcLayout();
    if (!layoutReady || !grid.m_hWnd)
        return;
    const int w = templateRect.right - templateRect.left;
    RECT c;
    GetClientRect(&c);
    const int h = c.bottom - c.top;
    if (CWnd* advance = GetDlgItem(IDC_FRAME_ADVANCE))
        advance->MoveWindow(w - 110, h - 75, 105, 30);
    grid.MoveWindow(5, 5, w - 10, h - 95);
    if (CWnd* collage = GetDlgItem(IDC_FRAME_COLLAGE))
        collage->MoveWindow(w - 325, h - 75, 90, 30);
    if (CWnd* icon = GetDlgItem(IDC_FRAME_ICON))
        icon->MoveWindow(5, h - 80, 40, 40);
}

void CAddFrameDlg::OnAdvance()
{
    WaitUntilIdle();
    StopLoader(100);
    SetCurrentFrameCategory(shown);
    CTemplatesEditDlg dialog(this);
    dialog.DoModal();
    // The list may have rescanned the folders around the one shown here;
    // the category it ended on is always alive.
    if (FrameCategory* current = GetCurrentFrameCategory())
        shown = current;
    SetCurrentFrameCategory(nullptr);
    FillGrid();
}

void CAddFrameDlg::OnCollage()
{
    OnCancel();
    if (CWnd* main = AfxGetMainWnd())
        main->PostMessage(WM_COMMAND, ID_FRAME_COLLAGE_COMMAND, 0);
}

void CAddFrameDlg::OnIconButton() {}

void CAddFrameDlg::OnOK()
{
    ReleaseLoader();
    if (WaitForFinalResult() != 0 || result.GetAreaByteSize() == 0) {
        CFilterDlg::OnCancel();
        return;
    }
    CurrentImage()->DuplicateFrom(&result);
    thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(kTextAddFrame));
    CFilterDlg::OnOK();
}

void CAddFrameDlg::OnCancel()
{
    WaitUntilIdle();
    ReleaseLoader();
    CFilterDlg::OnCancel();
}

int RunAddFrameDlg(CMainFrame* frame)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CAddFrameDlg dialog(frame);
    return static_cast<int>(dialog.DoModal());
}
