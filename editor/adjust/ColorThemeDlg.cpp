#include "editor/adjust/ColorThemeDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>

namespace {

constexpr int kThumbnailWidth = 100;
constexpr int kTextNoTheme = 83;
constexpr int kTextColorTheme = 84;

const char kMemoryError[] = "unexpected memory error";

} // namespace

BEGIN_MESSAGE_MAP(CColorThemeDlg, CFilterDlg)
    ON_WM_CREATE()
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnListNotify)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_THEME_AMOUNT, OnAmountReleased)
END_MESSAGE_MAP()

CColorThemeDlg::CColorThemeDlg(CWnd* parent) : CFilterDlg(IDD_COLOR_THEME, parent) {}

CColorThemeDlg::~CColorThemeDlg()
{
    StopJobAndWait();
}

void CColorThemeDlg::DoDataExchange(CDataExchange* pDX)
{
    CFilterDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_THEME_AMOUNT, amount);
}

int CColorThemeDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CFilterDlg::OnCreate(cs) == -1)
        return -1;
    if (!list.Create(AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 100, 100},
                     this, IDC_THEME_LIST))
        return -1;
    list.SetHalftone(TRUE);
    return 0;
}

BOOL CColorThemeDlg::OnInitDialog()
{
    dialogKey = "ColorTheme";
    CFilterDlg::OnInitDialog();
    amountSlider.SubclassDlgItem(IDC_THEME_AMOUNT, this);
    amountSlider.SetRange(0, 100);
    UpdateData(FALSE);
    UINT w = 0, h = 0;
    CurrentImage()->GetSize(&w, &h);
    CQLImageCodec codec;
    const int height = std::max(1, static_cast<int>(h) * kThumbnailWidth / std::max(1, static_cast<int>(w)));
    if (w == 0 || !codec.Resample(CurrentImage(), &thumbnail, kThumbnailWidth, height, 1)) {
        CDialog::OnCancel();
        return TRUE;
    }
    ColorTheme::SetProgramFolder(theAppSettings.m_programFolder);
    root.Scan(ColorTheme::Folder());
    if (root.Empty()) {
        AfxMessageBox(theUITextTable.GetText(kTextNoTheme));
        CDialog::OnCancel();
        return TRUE;
    }
    FillList();
    RecalcLayout();
    return TRUE;
}

void CColorThemeDlg::RecalcLayout()
{
    CFilterDlg::RecalcLayout();
    if (!layoutReady || !list.m_hWnd)
        return;
    const int width = templateRect.right - templateRect.left;
    RECT c;
    GetClientRect(&c);
    const int height = c.bottom - c.top;
    list.MoveWindow(5, 5, width - 10, std::max(10, height - 125));
    if (CWnd* group = GetDlgItem(IDC_THEME_AMOUNT_GROUP))
        group->MoveWindow(5, height - 115, width - 10, 40);
    if (amountSlider.m_hWnd)
        amountSlider.MoveWindow(10, height - 100, width - 20, 20);
}

void CColorThemeDlg::FreePreviews()
{
    list.DeleteAllItems();
    previews.clear();
}

void CColorThemeDlg::FillList()
{
    FreePreviews();
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (current->parent)
        list.AddItem("..", nullptr);
    for (const auto& child : current->children)
        list.AddItem(child->name.c_str(), nullptr);
    folderItems = list.GetItemCount();
    for (std::size_t i = 0; i < current->themes.size(); ++i) {
        auto preview = std::make_unique<CQLImage>();
        ColorThemeAlgorithm render;
        render.SetImages(&thumbnail, preview.get());
        render.SetAmount(100);
        if (render.Apply(&current->themes[i]) != 0)
            continue;  // a theme that cannot play is left out
        const int index = list.AddItem(current->themes[i].Name().c_str(), preview.get());
        list.SetItemData(index, static_cast<DWORD>(i));
        previews.push_back(std::move(preview));
    }
    ::SetCursor(old);
    list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

const ColorTheme* CColorThemeDlg::SelectedTheme() const
{
    const int selected = list.GetCurSel();
    if (selected < folderItems)
        return nullptr;
    const DWORD index = list.GetItemData(selected);
    return index < current->themes.size() ? &current->themes[index] : nullptr;
}

LRESULT CColorThemeDlg::OnListNotify(WPARAM code, LPARAM)
{
    const int selected = list.GetCurSel();
    if (code == ThumbListSelChange) {
        if (selected >= folderItems)
            UpdatePreview();
    } else if (code == ThumbListActivate && selected >= 0 && selected < folderItems) {
        if (current->parent && selected == 0)
            current = current->parent;
        else
            current = current->children[static_cast<std::size_t>(selected - (current->parent ? 1 : 0))].get();
        FillList();
    }
    return 0;
}

void CColorThemeDlg::OnAmountReleased(NMHDR*, LRESULT* result)
{
    *result = 0;
    UpdatePreview();
}

void CColorThemeDlg::RunAlgorithm()
{
    const ColorTheme* theme = SelectedTheme();
    if (!theme)
        return;
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    algorithm.SetAmount(amount);
    RunJob(&algorithm, const_cast<ColorTheme*>(theme), 0, 0, 100);
}

void CColorThemeDlg::OnOK()
{
    // Without a chosen theme the photo stays as it is.
    if (jobsStarted == 0) {
        FreePreviews();
        CFilterDlg::OnOK();
        return;
    }
    if (WaitForFinalResult() != 0) {
        // The photo stays as it was; the dialog stays open for another try.
        AfxMessageBox(kMemoryError);
        return;
    }
    FreePreviews();
    if (result.GetAreaByteSize() != 0) {
        CurrentImage()->DuplicateFrom(&result);
        thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(kTextColorTheme));
    }
    if (CWnd* main = AfxGetMainWnd())
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CFilterDlg::OnOK();
}

void CColorThemeDlg::OnCancel()
{
    WaitUntilIdle();
    FreePreviews();
    CFilterDlg::OnCancel();
}

int RunColorThemeDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CColorThemeDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
