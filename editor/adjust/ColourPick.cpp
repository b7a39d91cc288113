#include "editor/adjust/ColourPick.h"

#include "editor/ui/ZoomView.h"
#include "platform/afx/WinApp.h"

namespace {

constexpr int kCursorPick = 204;

} // namespace

void ColourPick::Start(CFilterDlg& dlg)
{
    savedViewMode = dlg.modeBar.GetViewMode();
    dlg.resultView.SetNotifyMode(TRUE);
    dlg.modeBar.SetViewMode(0);
}

void ColourPick::Stop(CFilterDlg& dlg)
{
    dlg.resultView.SetNotifyMode(FALSE);
    dlg.modeBar.SetViewMode(savedViewMode);
}

bool ColourPick::OnNotice(CFilterDlg& dlg, WPARAM code, LPARAM lParam, CPixel* colour) const
{
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(lParam);
    if (!notice || notice->view != &dlg.resultView)
        return false;
    if (code == kZoomNoticeSetCursor) {
        ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kCursorPick)));
        return false;
    }
    if (code != kZoomNoticeButtonDown || !notice->data)
        return false;
    POINT p = *static_cast<const POINT*>(notice->data);
    CQLImage* image = dlg.resultView.GetImage();
    if (!image || !dlg.resultView.ClientToImage(&p))
        return false;
    const BYTE* px = image->GetBuffer(p.x, p.y);
    *colour = CPixel{px[0], px[1], px[2], px[3]};
    return true;
}
