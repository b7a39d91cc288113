#include "editor/adjust/WhatsWrongDlg.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/win/Process.h"

#include <cstdio>
#include <iterator>

int ShowFixWizardAfterOpen = 0;

namespace fixwizard {

namespace {

Runner g_runners[kDialogCount] = {};

}  // namespace

Runner SetRunner(Dialog dialog, Runner run)
{
    if (dialog < 0 || dialog >= kDialogCount)
        return nullptr;
    Runner old = g_runners[dialog];
    g_runners[dialog] = run;
    return old;
}

Runner GetRunner(Dialog dialog)
{
    return dialog >= 0 && dialog < kDialogCount ? g_runners[dialog] : nullptr;
}

const Problem kProblemTable[kProblems] = {
    {{10, 30, 160, 160}, 4097, "badexposure", 52, 257, {kAutoExposure, kDynamicRange, kSpotMetering}, 3, 103, false},
    {{160, 30, 310, 160}, 4098, "wrongcolor", 53, 258, {kWhiteBalance, kVisualColor}, 2, 74, false},
    {{160, 180, 310, 310}, 4099, "dullcolor", 54, 262, {kColorEnhancement}, 1, 0, false},
    {{10, 180, 160, 310}, 4100, "fog", 59, 261, {kAutoExposure, kDefog}, 2, 74, false},
    {{460, 30, 610, 160}, 4101, "noise", 55, 260, {kNoiseReduction}, 1, 0, false},
    {{310, 30, 460, 160}, 4113, "barrel", 111, 259, {kCorrectDistortion}, 1, 0, true},
    {{310, 180, 460, 310}, 4102, "portrait", 56, 263, {kDigitalBeauty}, 1, 0, false},
    {{460, 180, 610, 310}, 4104, "redeye", 78, 264, {kRedEye}, 1, 0, false},
    {{460, 330, 610, 460}, 4105, "lowres", 79, 268, {kImageSize}, 1, 0, false},
    {{10, 330, 160, 460}, 4112, "purple", 86, 265, {kAntiPurple}, 1, 0, false},
    {{160, 330, 310, 460}, 4116, "inpaint", 157, 266, {kSmartErase}, 1, 0, false},
    {{310, 330, 460, 460}, 4115, "shape", 142, 267, {kModifyShape}, 1, 0, false},
};

const Feature kFeatureTable[kFeatures] = {
    {"Batch processing", "Process more than one photos at one time. Support batch rename, resize and adjust",
     "This function is in 'QuilloShelf' program!\r\nSelect the photos you wangto edit, and click menu 'Edit-Batch "
     "processing'",
     kDialogCount},
    {"Color Theme", "The predefined or user defined color styles, such as cross processing", nullptr, kColorTheme},
    {"Tone Maker", "Control the style, mood by changing the tone of color.", nullptr, kToneMaker},
    {"Gradient Filter", "Simulate the optical gradient filter.", nullptr, kGradientFilter},
    {"Starlight filter", "Add starlight to highlight in night shot", nullptr, kStarLight},
    {"Lambency(Diffuse) Filter", "Simulate Diffuse Filter, this feature lies in 'Gauss Blur' function", nullptr,
     kGaussDiffuse},
    {"Highlight Diffuse", "Add Diffuse only on highlight object with black background", nullptr, kHighlightDiffuse},
    {"Create Screen Saver", "Put your favorite photos into one folder, and create screensaver",
     "This function is in 'QuilloShelf' program!\r\n\r\nCopy your favorite photos into one folder then select "
     "'Tools-Make Screen Saver'",
     kDialogCount},
    {"Batch Print and Typeset", "Print more than one photos on one paper sheet",
     "This function is in 'QuilloShelf' program!\r\n\r\nSelect the photos need to print in 'Album', then select "
     "'File-Print' or 'File-Typeset before print'",
     kDialogCount},
};

}  // namespace fixwizard

namespace {

using namespace fixwizard;

constexpr UINT kFreeRotateCommand = 4103;
constexpr UINT kDarkCornersCommand = 4114;
constexpr UINT kEffectGalleryCommand = 32895;
constexpr int kWidth = 630, kHeight = 585;

const Problem* FindProblem(UINT command)
{
    for (const Problem& p : kProblemTable)
        if (p.command == command)
            return &p;
    return nullptr;
}

bool CanRun(const Problem& p)
{
    for (int i = 0; i < p.count; ++i)
        if (GetRunner(p.dialogs[i]))
            return true;
    return false;
}

std::string SkinFile(const char* name)
{
    char path[1024];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, name);
    return path;
}

void ShowAll(const std::vector<CWnd*>& group, bool show)
{
    for (CWnd* w : group) {
        if (!w->GetSafeHwnd())
            continue;
        const bool visible = w->IsWindowVisible() != FALSE;
        if (show && !visible)
            w->ShowWindow(SW_SHOW);
        else if (!show && visible)
            w->ShowWindow(SW_HIDE);
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CWhatsWrongDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_CONTROL_RANGE(BN_CLICKED, 4097, 4116, OnProblem)
    ON_BN_CLICKED(IDC_WIZARD_AUTO, OnAutoProcessing)
    ON_BN_CLICKED(IDC_WIZARD_GALLERY, OnEffectGallery)
    ON_BN_CLICKED(IDC_WIZARD_GO, OnGo)
    ON_NOTIFY(TCN_SELCHANGE, IDC_WIZARD_TAB, OnTabChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_WIZARD_FEATURES, OnFeatureDoubleClick)
END_MESSAGE_MAP()

CWhatsWrongDlg::CWhatsWrongDlg(CWnd* parent) : CSkinDialog(IDD_WHATS_WRONG, parent) {}

CWhatsWrongDlg::~CWhatsWrongDlg() = default;

int CWhatsWrongDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    for (int i = 0; i < kProblems; ++i) {
        const Problem& p = kProblemTable[i];
        CImgButton& button = m_problems[i];
        const std::string face = SkinFile((std::string(p.face) + ".bmp").c_str());
        if (!button.Create(theUITextTable.GetText(p.caption), p.rect, this, p.command, face.c_str(),
                           theUITextTable.GetText(p.hint), 0))
            return -1;
        button.LoadBackground(SkinFile("3dface.bmp").c_str());
        if (!button.LoadHotImage(SkinFile((std::string("p_") + p.face + ".bmp").c_str()).c_str()))
            return -1;
        // A problem whose dialogs are not in this build cannot be chosen and
        // shows grey; the others keep their colours.
        const BOOL runs = CanRun(p) ? TRUE : FALSE;
        button.SetGrayEffect(!runs);
        button.EnableWindow(runs);
        m_whatsWrongGroup.push_back(&button);
    }
    return 0;
}

BOOL CWhatsWrongDlg::OnInitDialog()
{
    m_features.SubclassDlgItem(IDC_WIZARD_FEATURES, this);
    m_tab.SubclassDlgItem(IDC_WIZARD_TAB, this);
    CSkinDialog::OnInitDialog();
    m_showAfterOpen = ShowFixWizardAfterOpen != 0;
    CheckDlgButton(IDC_WIZARD_SHOW_AFTER_OPEN, m_showAfterOpen ? BST_CHECKED : BST_UNCHECKED);
    SetWindowPos(nullptr, 0, 0, kWidth, kHeight + GetCaptionHeightDelta(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    m_tab.MoveWindow(3, 3, 619, 500);
    m_tab.InsertItem(0, "What's wrong?");
    m_tab.InsertItem(1, "Other Cool Functions");
    auto place = [this](UINT id, int x, int y, int cx, int cy) -> CWnd* {
        CWnd* item = GetDlgItem(id);
        if (item)
            item->MoveWindow(x, y, cx, cy);
        return item;
    };
    place(IDC_WIZARD_SHOW_AFTER_OPEN, 10, 505, 450, 20);
    place(IDCANCEL, 310, 525, 295, 24);
    for (CWnd* w : {place(IDC_WIZARD_AUTO, 260, 465, 295, 30), place(IDC_WIZARD_GALLERY, 20, 465, 220, 30)})
        if (w)
            m_whatsWrongGroup.push_back(w);
    for (CWnd* w : {place(IDC_WIZARD_GO, 500, 470, 110, 25), place(IDC_WIZARD_FEATURES, 10, 40, 600, 420)})
        if (w)
            m_otherFunctionsGroup.push_back(w);
    // The tab lies under the pages it switches.
    ::SetWindowPos(m_tab.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FillFeatures();
    ShowAll(m_otherFunctionsGroup, false);
    if (!GetRunner(kAutoProcess))
        GetDlgItem(IDC_WIZARD_AUTO)->EnableWindow(FALSE);
    CenterWindow();
    return TRUE;
}

void CWhatsWrongDlg::FillFeatures()
{
    m_features.SetExtendedStyle(m_features.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_features.InsertColumn(0, "Feature", LVCFMT_LEFT, 200);
    m_features.InsertColumn(1, "Desc", LVCFMT_LEFT, 600);
    int item = 0;
    for (int row = 0; row < kFeatures; ++row) {
        const Feature& f = kFeatureTable[row];
        // A row whose dialog is not in this build is left out.
        if (!f.message && !GetRunner(f.dialog))
            continue;
        const int at = m_features.InsertItem(LVIF_TEXT | LVIF_PARAM, item, f.name, 0, 0, 0, row);
        if (at < 0)
            continue;
        m_features.SetItem(at, 1, LVIF_TEXT, f.description, 0, 0, 0, 0);
        ++item;
    }
}

void CWhatsWrongDlg::ShowTab(int tab)
{
    if (m_tab.GetSafeHwnd() && m_tab.GetCurSel() != tab)
        m_tab.SetCurSel(tab);
    ApplyTab();
}

void CWhatsWrongDlg::ApplyTab()
{
    if (!m_tab.GetSafeHwnd())
        return;
    const bool other = m_tab.GetCurSel() == 1;
    ShowAll(other ? m_whatsWrongGroup : m_otherFunctionsGroup, false);
    ShowAll(other ? m_otherFunctionsGroup : m_whatsWrongGroup, true);
}

BOOL CWhatsWrongDlg::OnEraseBkgnd(CDC* dc)
{
    CSkinDialog::OnEraseBkgnd(dc);
    ApplyTab();
    return TRUE;
}

void CWhatsWrongDlg::OnTabChanged(NMHDR*, LRESULT* result)
{
    ApplyTab();
    *result = 0;
}

int CWhatsWrongDlg::RunDialog(Dialog dialog)
{
    Runner run = GetRunner(dialog);
    if (!run)
        return IDCANCEL;
    CWnd* main = AfxGetMainWnd();
    return run(main ? main : this);
}

int CWhatsWrongDlg::RunHidden(Dialog dialog)
{
    ShowWindow(SW_HIDE);
    const int result = RunDialog(dialog);
    ShowWindow(SW_SHOW);
    return result;
}

int CWhatsWrongDlg::RunProblem(UINT command)
{
    if (command == kFreeRotateCommand)
        return RunDialog(kFreeRotate);
    if (command == kDarkCornersCommand)
        return RunDialog(kDarkCorners);
    const Problem* p = FindProblem(command);
    if (!p || !CanRun(*p))
        return IDCANCEL;
    if (p->tipText)
        MessageBox(theUITextTable.GetText(p->tipText), "Quillo", MB_OK | MB_ICONINFORMATION);
    int result = IDCANCEL;
    // Each way runs only when the one before was cancelled; a way that
    // cannot open counts as cancelled.
    for (int i = 0; i < p->count && result != IDOK; ++i)
        result = p->hideWizard ? RunHidden(p->dialogs[i]) : RunDialog(p->dialogs[i]);
    if (result == IDOK)
        RedrawMain();
    return result;
}

void CWhatsWrongDlg::OnProblem(UINT id)
{
    RunProblem(id);
}

void CWhatsWrongDlg::OnAutoProcessing()
{
    RunHidden(kAutoProcess);
}

void CWhatsWrongDlg::OnEffectGallery()
{
    ShellExecute(m_hWnd, "open", CMainFrame::WebAddressOf(kEffectGalleryCommand).c_str(), nullptr, nullptr, SW_HIDE);
}

void CWhatsWrongDlg::RunSelectedFeature()
{
    const int item = m_features.GetNextItem(-1, LVNI_SELECTED);
    if (item >= 0) {
        LVITEM lv{};
        lv.mask = LVIF_PARAM;
        lv.iItem = item;
        if (m_features.GetItem(&lv) && lv.lParam >= 0 && lv.lParam < kFeatures) {
            const Feature& f = kFeatureTable[lv.lParam];
            if (f.message)
                AfxMessageBox(f.message, MB_OK);
            else
                RunDialog(f.dialog);
        }
    }
    RedrawMain();
}

void CWhatsWrongDlg::OnGo()
{
    RunSelectedFeature();
}

void CWhatsWrongDlg::OnFeatureDoubleClick(NMHDR*, LRESULT* result)
{
    RunSelectedFeature();
    *result = 0;
}

void CWhatsWrongDlg::RedrawMain()
{
    if (CWnd* main = AfxGetMainWnd())
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CWhatsWrongDlg::StoreCheckBox()
{
    m_showAfterOpen = IsDlgButtonChecked(IDC_WIZARD_SHOW_AFTER_OPEN) == BST_CHECKED;
    ShowFixWizardAfterOpen = m_showAfterOpen ? 1 : 0;
}

void CWhatsWrongDlg::OnOK()
{
    StoreCheckBox();
    CSkinDialog::OnOK();
}

void CWhatsWrongDlg::OnCancel()
{
    StoreCheckBox();
    CSkinDialog::OnCancel();
}

int RunWhatsWrongDlg(CWnd* parent)
{
    CWhatsWrongDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}

int RunFixWizardAfterOpen(CWnd* parent)
{
    if (!ShowFixWizardAfterOpen)
        return IDCANCEL;
    return RunWhatsWrongDlg(parent);
}
