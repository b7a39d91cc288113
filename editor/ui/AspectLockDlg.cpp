#include "editor/ui/AspectLockDlg.h"

#include "platform/afx/ResourceTables.h"

#include <cstdlib>

namespace {

const qlafx::DialogTemplate kAspectLockTemplate[] = {
    {IDD_ASPECT_LOCK, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 220, 150,
     "Lock/Unlock", "MS Shell Dlg", 8,
     {
         {"Button", "Lock Proportion", IDC_LOCK_PROPORTION, 7, 7, 120, 10,
          WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "Proportion", 0xFFFF, 7, 22, 206, 102, WS_VISIBLE | BS_GROUPBOX},
         {"ComboBox", "", IDC_RATIO_CHOICE, 14, 35, 110, 120,
          WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Width : Height = ", 0xFFFF, 14, 56, 70, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_CUSTOM_WIDTH, 14, 68, 40, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"Static", ":", 0xFFFF, 57, 70, 6, 8, WS_VISIBLE | SS_CENTER},
         {"Edit", "", IDC_CUSTOM_HEIGHT, 66, 68, 40, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"Static", "", IDC_RATIO_PREVIEW, 132, 35, 74, 80, WS_VISIBLE | SS_LEFT},
         {"Button", "OK", IDOK, 108, 130, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 163, 130, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kAspectLockTemplate};
qlafx::ResourceRegistrar kRegister(kTable);

constexpr UINT_PTR kPreviewTimer = 123;
constexpr double kMinCustom = 0.1, kMaxCustom = 1000;

}  // namespace

const char* const CAspectLockDlg::kChoiceNames[kChoiceCount] = {
    "Current", "Custom...", "1' photo (Landscape)", "1' photo (Portrait)", "2' photo (Landscape)",
    "2' photo (Portrait)", "5' photo (Landscape)", "5' photo (Portrait)", "6' photo (Landscape)",
    "6' photo (Portrait)", "7' photo (Landscape)", "7' photo (Portrait)", "8' photo (Landscape)",
    "8' photo (Portrait)", "1:1", "2:1", "3:2", "4:3", "16:9", "1:2", "2:3", "3:4"};

BEGIN_MESSAGE_MAP(CAspectLockDlg, CDialog)
    ON_BN_CLICKED(IDC_LOCK_PROPORTION, OnLockChanged)
    ON_CBN_SELCHANGE(IDC_RATIO_CHOICE, OnChoiceChanged)
    ON_EN_CHANGE(IDC_CUSTOM_WIDTH, OnCustomChanged)
    ON_EN_CHANGE(IDC_CUSTOM_HEIGHT, OnCustomChanged)
    ON_WM_TIMER()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CAspectLockDlg::CAspectLockDlg(CWnd* parent) : CDialog(IDD_ASPECT_LOCK, parent) {}

float CAspectLockDlg::ChoiceRatio(int choice)
{
    static const float kRatios[kChoiceCount] = {
        0, 0, 15.0f / 11, 11.0f / 15, 4.0f / 3, 3.0f / 4, 10.0f / 7, 0.7f, 1.5f, 2.0f / 3, 1.4f,
        5.0f / 7, 4.0f / 3, 3.0f / 4, 1.0f, 2.0f, 1.5f, 4.0f / 3, 16.0f / 9, 0.5f, 2.0f / 3, 3.0f / 4};
    return choice >= 0 && choice < kChoiceCount ? kRatios[choice] : 0;
}

RECT CAspectLockDlg::PreviewRect(RECT area, float ratio)
{
    InflateRect(&area, -10, -10);
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || ratio <= 0)
        return RECT{};
    if (static_cast<double>(w) / h > ratio) {
        const int cut = static_cast<int>((w - h * ratio) / 2);
        area.left += cut;
        area.right -= cut;
    } else {
        const int cut = static_cast<int>((h - w / ratio) / 2);
        area.top += cut;
        area.bottom -= cut;
    }
    return area;
}

BOOL CAspectLockDlg::OnInitDialog()
{
    for (const char* name : kChoiceNames)
        SendDlgItemMessage(IDC_RATIO_CHOICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    CDialog::OnInitDialog();
    UpdateEnabling();
    SetTimer(kPreviewTimer, 100);
    return TRUE;
}

void CAspectLockDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_LOCK_PROPORTION, m_lockRatio);
    DDX_CBIndex(pDX, IDC_RATIO_CHOICE, m_ratioChoice);
    DDX_Text(pDX, IDC_CUSTOM_WIDTH, m_customWidth);
    DDV_MinMaxDouble(pDX, m_customWidth, kMinCustom, kMaxCustom);
    DDX_Text(pDX, IDC_CUSTOM_HEIGHT, m_customHeight);
    DDV_MinMaxDouble(pDX, m_customHeight, kMinCustom, kMaxCustom);
}

int CAspectLockDlg::CurrentChoice() const
{
    return static_cast<int>(SendDlgItemMessage(IDC_RATIO_CHOICE, CB_GETCURSEL));
}

void CAspectLockDlg::UpdateEnabling()
{
    const BOOL locked = IsDlgButtonChecked(IDC_LOCK_PROPORTION) == BST_CHECKED;
    const int choice = CurrentChoice();
    if (CWnd* w = GetDlgItem(IDC_RATIO_CHOICE))
        w->EnableWindow(locked);
    for (UINT id : {IDC_CUSTOM_WIDTH, IDC_CUSTOM_HEIGHT})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(locked && choice == kChoiceCustom);
    m_previewDirty = TRUE;
}

void CAspectLockDlg::OnLockChanged()
{
    m_lockRatio = IsDlgButtonChecked(IDC_LOCK_PROPORTION) == BST_CHECKED;
    UpdateEnabling();
}

void CAspectLockDlg::OnChoiceChanged()
{
    UpdateData(TRUE);
    if (m_ratioChoice == kChoiceCurrent)
        m_lockedRatio = m_currentRatio;
    else if (m_ratioChoice > kChoiceCustom)
        m_lockedRatio = ChoiceRatio(m_ratioChoice);
    UpdateEnabling();
}

// Checked quietly while typing (a half-typed "0." is no error); OK checks
// with the range message.
void CAspectLockDlg::OnCustomChanged()
{
    if (CurrentChoice() != kChoiceCustom)
        return;
    char text[64];
    double values[2] = {};
    const UINT ids[2] = {IDC_CUSTOM_WIDTH, IDC_CUSTOM_HEIGHT};
    for (int i = 0; i < 2; ++i) {
        GetDlgItemText(static_cast<int>(ids[i]), text, sizeof text);
        char* end = nullptr;
        values[i] = std::strtod(text, &end);
        if (end == text || *end != '\0' || values[i] < kMinCustom || values[i] > kMaxCustom)
            return;
    }
    m_customWidth = values[0];
    m_customHeight = values[1];
    m_lockedRatio = static_cast<float>(m_customWidth / m_customHeight);
    m_previewDirty = TRUE;
}

void CAspectLockDlg::OnPaint()
{
    Default();
    m_previewDirty = TRUE;
}

void CAspectLockDlg::OnTimer(UINT_PTR id)
{
    if (id != kPreviewTimer || !m_previewDirty)
        return;
    m_previewDirty = FALSE;
    DrawPreview();
}

void CAspectLockDlg::DrawPreview()
{
    CWnd* preview = GetDlgItem(IDC_RATIO_PREVIEW);
    if (!preview)
        return;
    RECT area;
    preview->GetClientRect(&area);
    CClientDC dc(preview);
    dc.FillSolidRect(&area, RGB(64, 64, 64));
    if (IsDlgButtonChecked(IDC_LOCK_PROPORTION) != BST_CHECKED)
        return;
    RECT r = PreviewRect(area, m_lockedRatio);
    if (IsRectEmpty(&r))
        return;
    RECT shadow = r;
    OffsetRect(&shadow, 3, 3);
    dc.FillSolidRect(&shadow, RGB(0, 0, 0));
    OffsetRect(&r, -2, -2);
    dc.FillSolidRect(&r, RGB(255, 255, 255));
}
