#include "editor/adjust/SpotMeteringDlg.h"

#include "editor/adjust/ToneFunctions.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/WinApp.h"

namespace {

constexpr int kTextExposureCorrection = 57;
constexpr int kTextSpotHint = 58;
constexpr UINT kCursorSpot = 232;

}  // namespace

CSpotMeteringDlg::CSpotMeteringDlg(CWnd* parent) : CWhiteBalanceDlg(parent)
{
    captionText = kTextExposureCorrection;
    hintText = kTextSpotHint;
    undoText = kTextExposureCorrection;
}

BOOL CSpotMeteringDlg::OnInitDialog()
{
    beforeCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kCursorSpot));
    CWhiteBalanceDlg::OnInitDialog();
    if (CWnd* autoButton = GetDlgItem(IDC_BALANCE_AUTO))
        autoButton->ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CSpotMeteringDlg::StartClickJob(POINT p)
{
    clicked = p;
    host.SetImages(&thePhotoDocument.m_image, &pending);
    host.SetParam(this);
    return StartJob(&host, reinterpret_cast<void*>(&CSpotMeteringDlg::Meter));
}

int CSpotMeteringDlg::Meter(void* dialog, FilterHost* host)
{
    auto* self = static_cast<CSpotMeteringDlg*>(dialog);
    const CQLImage& photo = *host->GetSource();
    self->meteredMean = tone::MeanLuminance(photo, tone::MeterSquare(photo, self->clicked));
    BYTE table[256];
    if (!tone::SpotMeteringTable(self->meteredMean, table))
        return 1;
    return tone::ApplyTable(photo, host->GetTarget(), table, host) ? 0 : static_cast<int>(E_FAIL);
}

int RunSpotMeteringDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CSpotMeteringDlg dialog(parent);
    const int result = static_cast<int>(dialog.DoModal());
    if (result == IDOK && AfxGetMainWnd())
        AfxGetMainWnd()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}
