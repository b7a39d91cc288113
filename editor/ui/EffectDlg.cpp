#include "editor/ui/EffectDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/WinApp.h"

#include <cstring>
#include <utility>

namespace {

constexpr int kTextUnexpectedError = 137;

const qlafx::DialogTemplate kEffectTemplate[] = {
    {IDD_EFFECT, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
     0, 0, 0, 180, 210, "Effect", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_EFFECT_HELP, 7, 7, 166, 44, WS_VISIBLE | SS_LEFT},
         {"Static", "", IDC_EFFECT_GRID_PLACE, 7, 56, 166, 120, WS_VISIBLE | SS_LEFT},
         {"Button", "OK", IDOK, 66, 189, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 123, 189, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kEffectTemplate};
qlafx::ResourceRegistrar kRegister(kTable);

// A text field of the plug-in's record, which the plug-in may have filled
// to the last byte without a terminator.
template <size_t N>
std::string FieldText(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

}  // namespace

int CPluginFilterHost::Run(void* values, FilterHost* host)
{
    auto* self = static_cast<CPluginFilterHost*>(host);
    if (!self->apply)
        return E_FAIL;
    return self->apply(static_cast<const char*>(values), host);
}

BEGIN_MESSAGE_MAP(CEffectDlg, CFilterDlg)
    ON_WM_CREATE()
    ON_MESSAGE(WM_PARAMGRID_CHANGED, OnGridChanged)
END_MESSAGE_MAP()

CEffectDlg::CEffectDlg(CWnd* parent) : CFilterDlg(IDD_EFFECT, parent) {}

CEffectDlg::~CEffectDlg()
{
    // The job reads the value text and the host.
    StopJobAndWait();
    if (m_hWnd)
        DestroyWindow();
    DeleteEffectParams(&params);
}

int CEffectDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CFilterDlg::OnCreate(cs) == -1)
        return -1;
    if (!record || !ParseEffectDescription(FieldText(record->paramSpec).c_str(), &params, &options))
        return -1;
    if (!grid.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, IDC_EFFECT_GRID))
        return -1;
    return 0;
}

void CEffectDlg::DoDataExchange(CDataExchange* pDX)
{
    CFilterDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EFFECT_HELP, helpText);
}

BOOL CEffectDlg::OnInitDialog()
{
    dialogKey = "EffectDlg";
    helpText = FieldText(record->description).c_str();
    CFilterDlg::OnInitDialog();
    SetWindowText(FieldText(record->name).c_str());
    grid.SetParamList(&params);
    if (CWnd* place = GetDlgItem(IDC_EFFECT_GRID_PLACE)) {
        RECT r;
        place->GetWindowRect(&r);
        ScreenToClient(&r);
        InflateRect(&r, -1, -1);
        grid.MoveWindow(&r);
        // Only a placeholder: it would paint over the grid.
        place->ShowWindow(SW_HIDE);
    }
    UpdatePreview();
    return TRUE;
}

LRESULT CEffectDlg::OnGridChanged(WPARAM, LPARAM)
{
    UpdatePreview();
    return 0;
}

void CEffectDlg::RunAlgorithm()
{
    // Only ever called with no job pending, so the running apply function
    // never sees this text change.
    valueText = FormatEffectValues(params);
    record->codec = &codec;
    host.apply = record->apply;
    host.SetImages(CurrentImage(), GetWorkImage());
    host.SetParam(valueText.data());
    RunJob(&host, record->apply ? reinterpret_cast<void*>(&CPluginFilterHost::Run) : nullptr, 0, 0, 100);
}

void CEffectDlg::OnOK()
{
    if (waitingForResult)
        return;
    if (WaitForFinalResult() != 0 || result.GetAreaByteSize() == 0) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    // The dialog closes now: hand its result to the photo without a copy.
    std::swap(thePhotoDocument.m_image, result);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, FieldText(record->name).c_str());
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd && main != this)
        main->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    CFilterDlg::OnOK();
}
