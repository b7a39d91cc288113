#include "editor/adjust/NRCleanDlg.h"

#include "editor/adjust/RepairRules.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

namespace {

constexpr int kTextDigitalBeauty = 37;
constexpr int kTextUnexpectedError = 137;

} // namespace

BEGIN_MESSAGE_MAP(CNRCleanDlg, CRepairDlg)
    ON_BN_CLICKED(IDC_CLEAN_TEXTURE, OnCheck)
    ON_BN_CLICKED(IDC_CLEAN_USER_NR, OnCheck)
END_MESSAGE_MAP()

CNRCleanDlg::CNRCleanDlg(CWnd* parent) : CRepairDlg(IDD_NR_CLEAN, kTextDigitalBeauty, parent) {}

CNRCleanDlg::~CNRCleanDlg()
{
    StopJobAndWait();
}

void CNRCleanDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_CLEAN_WHOLE, wholeImage);
    DDX_Slider(pDX, IDC_CLEAN_SKIN, skinLevel);
    DDX_Slider(pDX, IDC_CLEAN_PINK, morePink);
    DDX_Slider(pDX, IDC_CLEAN_AMOUNT, amount);
    DDX_Slider(pDX, IDC_CLEAN_RADIUS, radius);
    DDX_Check(pDX, IDC_CLEAN_USER_NR, userNoiseReduction);
    DDX_Check(pDX, IDC_CLEAN_TEXTURE, fakeTexture);
}

BOOL CNRCleanDlg::OnInitDialog()
{
    dialogKey = "NRClean";
    CRepairDlg::OnInitDialog();
    if (!source.DuplicateFrom(CurrentImage())) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    UINT w = 0, h = 0;
    source.GetSize(&w, &h);
    radius = repair::SkinCleanStartRadius(static_cast<int>(w), static_cast<int>(h));
    InitSlider(sliders[0], IDC_CLEAN_WHOLE, -50, 50, wholeImage);
    InitSlider(sliders[1], IDC_CLEAN_SKIN, 0, 100, skinLevel);
    InitSlider(sliders[2], IDC_CLEAN_PINK, 0, 100, morePink);
    InitSlider(sliders[3], IDC_CLEAN_AMOUNT, 0, 100, amount);
    InitSlider(sliders[4], IDC_CLEAN_RADIUS, 2, 32, radius);
    UpdateData(FALSE);
    UpdatePreview();
    return TRUE;
}

void CNRCleanDlg::OnCheck()
{
    UpdatePreview();
}

void CNRCleanDlg::RunAlgorithm()
{
    block = repair::SkinCleanParams(skinLevel, wholeImage, morePink, radius, userNoiseReduction, fakeTexture, amount);
    algorithm.SetImages(&source, GetWorkImage());
    RunJob(&algorithm, &block, 0, 0, 100);
}
