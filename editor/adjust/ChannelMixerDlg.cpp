#include "editor/adjust/ChannelMixerDlg.h"

#include "algorithms/ColorTheme.h"
#include "editor/adjust/SaveColorTheme.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <cstring>

namespace {

constexpr int kTextChannelMixer = 167;
constexpr UINT kIconSaveTheme = 257;
constexpr UINT kSliders[4] = {IDC_MIXER_R, IDC_MIXER_G, IDC_MIXER_B, IDC_MIXER_CONSTANT};

}  // namespace

const ChannelMixerParams CChannelMixerDlg::kDefaults{0, {100, 0, 0, 0}, {0, 100, 0, 0}, {0, 0, 100, 0}, {30, 60, 10, 0}};

BEGIN_MESSAGE_MAP(CChannelMixerDlg, CToneSliderDlg)
    ON_BN_CLICKED(IDC_MIXER_RGB, OnRgb)
    ON_BN_CLICKED(IDC_MIXER_BRIGHTNESS, OnBrightness)
    ON_CBN_SELCHANGE(IDC_MIXER_OUTPUT, OnOutput)
    ON_BN_CLICKED(IDC_MIXER_RESET, OnReset)
    ON_BN_CLICKED(IDC_MIXER_SAVE_THEME, OnSaveTheme)
END_MESSAGE_MAP()

CChannelMixerDlg::CChannelMixerDlg(CWnd* parent)
    : CToneSliderDlg(IDD_CHANNEL_MIXER, parent, "ColorMixer", kTextChannelMixer, true)
{
}

CChannelMixerDlg::~CChannelMixerDlg()
{
    StopJobAndWait();
}

BOOL CChannelMixerDlg::OnInitDialog()
{
    CToneSliderDlg::OnInitDialog();
    if (!ready)
        return TRUE;
    for (const char* name : {"R of RGB", "G of RGB", "B of RGB"})
        SendDlgItemMessage(IDC_MIXER_OUTPUT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessage(IDC_MIXER_OUTPUT, CB_SETCURSEL, 0);
    CheckRadioButton(IDC_MIXER_RGB, IDC_MIXER_BRIGHTNESS, IDC_MIXER_RGB);
    GetDlgItem(IDC_MIXER_SAVE_THEME)
        ->SendMessage(BM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconSaveTheme))));
    for (UINT id : kSliders)
        SetSlider(id, -200, 200, 0);
    LoadSliders();
    UpdatePreview();
    return TRUE;
}

INT* CChannelMixerDlg::ShownRow()
{
    if (mode == 1)
        return mixer.luma;
    switch (SendDlgItemMessage(IDC_MIXER_OUTPUT, CB_GETCURSEL)) {
    case 1: return mixer.green;
    case 2: return mixer.blue;
    default: return mixer.red;
    }
}

void CChannelMixerDlg::LoadSliders()
{
    const INT* row = ShownRow();
    for (int i = 0; i < 4; ++i)
        SetSlider(kSliders[i], -200, 200, row[i]);
}

void CChannelMixerDlg::OnSliderReleased(UINT id)
{
    INT* row = ShownRow();
    for (int i = 0; i < 4; ++i)
        if (kSliders[i] == id)
            row[i] = SliderPos(id);
    UpdatePreview();
}

void CChannelMixerDlg::SetMode(int newMode)
{
    mode = newMode;
    GetDlgItem(IDC_MIXER_OUTPUT)->EnableWindow(mode == 0);
    LoadSliders();
    UpdatePreview();
}

void CChannelMixerDlg::OnRgb()
{
    SetMode(0);
}

void CChannelMixerDlg::OnBrightness()
{
    SetMode(1);
}

void CChannelMixerDlg::OnOutput()
{
    LoadSliders();
    UpdatePreview();
}

void CChannelMixerDlg::OnReset()
{
    mixer = kDefaults;
    LoadSliders();
    UpdatePreview();
}

void CChannelMixerDlg::OnSaveTheme()
{
    ColorThemeStep step;
    step.type = ColorThemeStep::ChannelMixer;
    mixer.lumaOnly = mode;
    std::memcpy(step.payload, &mixer, sizeof mixer);
    SaveColorTheme(step);
}

void CChannelMixerDlg::RunAlgorithm()
{
    mixer.lumaOnly = mode;
    // The job reads its own copy: the sliders may change the block meanwhile.
    running = mixer;
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &running, 0, 0, 100);
}

int RunChannelMixerDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CChannelMixerDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
