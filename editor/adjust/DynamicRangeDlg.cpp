#include "editor/adjust/DynamicRangeDlg.h"

#include "editor/shell/PhotoDocument.h"

namespace {

constexpr int kTextDynamicRange = 93;

}  // namespace

CDynamicRangeDlg::CDynamicRangeDlg(CWnd* parent)
    : CToneSliderDlg(IDD_DYNAMIC_RANGE, parent, "Danamic range", kTextDynamicRange, true)
{
}

CDynamicRangeDlg::~CDynamicRangeDlg()
{
    StopJobAndWait();
}

BOOL CDynamicRangeDlg::OnInitDialog()
{
    CToneSliderDlg::OnInitDialog();
    if (!ready)
        return TRUE;
    SetSlider(IDC_DYNAMIC_SHADOW, 0, 100, 50);
    SetSlider(IDC_DYNAMIC_HIGHLIGHT, 0, 100, 0);
    UpdatePreview();
    return TRUE;
}

void CDynamicRangeDlg::RunAlgorithm()
{
    // The four bytes {128, shadow, 128, highlight}; the levels stretch that
    // follows them keeps the effect's own default.
    params = DynamicRangeParams{};
    params.reserved = 128;
    params.shadowAmount = static_cast<BYTE>(SliderPos(IDC_DYNAMIC_SHADOW));
    params.highlightAmount = 128;
    params.highlightOn = static_cast<BYTE>(SliderPos(IDC_DYNAMIC_HIGHLIGHT));
    host.SetImages(CurrentImage(), GetWorkImage());
    host.SetParam(this);
    RunJob(&host, reinterpret_cast<void*>(&CDynamicRangeDlg::Run), 0, 0, 100);
}

int CDynamicRangeDlg::Run(void* dialog, FilterHost* host)
{
    auto* self = static_cast<CDynamicRangeDlg*>(dialog);
    const CQLImage* photo = host->GetSource();
    CQLImage* target = host->GetTarget();
    if (!self->sourceCopy.DuplicateFrom(photo))
        return E_FAIL;
    self->algorithm.SetImages(&self->sourceCopy, target);
    self->algorithm.SetCallback(host->GetCallback());
    self->algorithm.SetRange(0, 100);
    const HRESULT hr = self->algorithm.Apply(&self->params);
    if (hr != 0 || target->GetAreaByteSize() != photo->GetAreaByteSize())
        return E_FAIL;
    const BYTE* s = photo->GetBuffer(0, 0);
    BYTE* t = target->GetBuffer(0, 0);
    for (UINT i = 0; i < photo->GetAreaByteSize(); i += 4)
        t[i + 3] = s[i + 3];
    return 0;
}

int RunDynamicRangeDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CDynamicRangeDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
