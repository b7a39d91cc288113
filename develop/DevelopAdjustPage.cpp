#include "develop/DevelopAdjustPage.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"

namespace develop {

namespace {

struct SliderSpec {
    const char* key;
    int minimum, maximum, pos;
    double scale;
};
constexpr SliderSpec kSliders[6] = {
    {"exposure", -10, 20, 0, 0.1}, {"dynamic", -70, 30, 0, 1},  {"temperature", -50, 50, 0, 40},
    {"saturate", 0, 100, 50, 2},   {"sharpen", -50, 50, 25, 2}, {"grain", 0, 100, 0, 1},
};

} // namespace

BOOL DevelopAdjustPage::Create(CWnd* parent)
{
    DevelopPage::Create(parent);
    const CUITextMap& t = Texts();
    if (!m_caption.Create(kCaption, CRect(10, 45, 300, 120), parent) ||
        !m_view.Create(kView, CRect(310, 80, 630, 400), parent))
        return FALSE;
    m_caption.AddItem(t.GetText("adjtittle"), t.GetText("defaultfont"), 18, 0xFFFFFF, nullptr);
    m_controls = {&m_caption, &m_view};
    for (int i = 0; i < 6; ++i) {
        const SliderSpec& s = kSliders[i];
        if (!m_sliders[i].Create(kExposure + i, CRect(10, 120 + 50 * i, 280, 170 + 50 * i), parent, t.GetText(s.key)))
            return FALSE;
        m_sliders[i].SetRange(s.minimum, s.maximum);
        m_sliders[i].SetPos(s.pos);
        m_sliders[i].SetScale(s.scale);
        m_controls.push_back(&m_sliders[i]);
    }
    if (!m_preview.Create(kPreviewCheck, CRect(310, 80, 410, 100), parent, t.GetText("preview"), 1) ||
        !m_bar.Create(kBar, CRect(310, 100, 410, 120), parent, t.GetText("inprog")))
        return FALSE;
    m_preview.SetCheck(1);
    m_controls.push_back(&m_preview);
    m_controls.push_back(&m_bar);
    for (int i = 0; i < 4; ++i) {
        if (!m_zoom[i].Create(kZoomIn + i, CRect(0, 0, 20, 20), parent, ""))
            return FALSE;
        m_zoom[i].SetIcon(141 + i);
        m_controls.push_back(&m_zoom[i]);
    }
    Show(false);
    return TRUE;
}

void DevelopAdjustPage::Layout(int cx, int cy)
{
    m_view.MoveWindow(310, 100, cx - 320, cy - 150);
    m_bar.MoveWindow(310, cy - 45, cx - 320, 25);
    for (int i = 0; i < 4; ++i)
        m_zoom[i].MoveWindow(cx - 100 + 21 * i, 78, 20, 20);
}

void DevelopAdjustPage::Refresh(bool toScreen)
{
    if (!toScreen) {
        m_showAdjusted = m_preview.GetCheck();
        return;
    }
    m_preview.SetCheck(m_showAdjusted);
    ShowPreviewImage();
}

void DevelopAdjustPage::ShowPreviewImage()
{
    if (!m_showAdjusted || !m_adjusted.GetBuffer(0, 0)) {
        m_view.SetImage16(&State().developed);
        return;
    }
    // While a run writes the adjusted image it is shown when the run ends.
    if (!m_running)
        m_view.SetImage16(&m_adjusted);
}

void DevelopAdjustPage::TogglePreview()
{
    m_showAdjusted = m_showAdjusted ? 0 : 1;
    Refresh(true);
}

void DevelopAdjustPage::OnEnter()
{
    m_nextPending = false;
    m_view.SetImage16(m_adjusted.GetBuffer(0, 0) ? &m_adjusted : &State().developed);
    LayoutToParent();
    m_view.FitToWindow();
    m_bar.SetPercent(0);
    EnableNext(true);
    StartPreviewJob();
}

void DevelopAdjustPage::StartPreviewJob()
{
    if (m_running || ProcessThread().IsBusy()) {
        m_restart = true;
        m_job->RequestStop();
        return;
    }
    m_params.exposure = m_sliders[0].GetPos();
    m_params.dynamic = m_sliders[1].GetPos();
    m_params.temperature = m_sliders[2].GetPos();
    m_params.saturation = 2 * m_sliders[3].GetPos();
    m_params.sharpen = m_sliders[4].GetPos();
    m_params.grain = m_sliders[5].GetPos();
    m_job->SetImages(&State().developed, &m_adjusted);
    // The view keeps its last rendering while the image under it is written.
    m_view.Freeze(true);
    m_running = true;
    ++m_runs;
    if (!ProcessThread().PostJobObject(m_job, &m_params, m_parent ? m_parent->m_hWnd : nullptr, 0, 0, 100)) {
        m_running = false;
        m_view.Freeze(false);
    }
}

int DevelopAdjustPage::OnJobMessage(WPARAM type, LPARAM value)
{
    if (type == kJobProgress) {
        m_bar.SetPercent(static_cast<int>(value));
        return 0;
    }
    if (type != kJobDone && type != kJobFailed)
        return 0;
    m_running = false;
    m_view.Freeze(false);
    m_bar.SetPercent(0);
    if (m_restart) {
        // A stopped run's image is never shown; the last values run now.
        m_restart = false;
        StartPreviewJob();
        return 0;
    }
    if (type == kJobFailed) {
        if (m_nextPending) {
            m_nextPending = false;
            ShowMessage(m_parent, "exception");
            EnableNext(true);
        }
        return 0;
    }
    if (m_nextPending) {
        GoOn();
        return 0;
    }
    ShowPreviewImage();
    return 0;
}

void DevelopAdjustPage::OnNext()
{
    // A run, and a restart after it, end first: the saved image has the
    // last slider values.
    if (m_running || m_restart) {
        m_nextPending = true;
        return;
    }
    GoOn();
}

void DevelopAdjustPage::GoOn()
{
    m_nextPending = false;
    if (m_adjusted.GetBuffer(0, 0)) {
        // The adjusted image becomes the current one; the page keeps none,
        // so a later photo never shows this one's.
        m_view.SetImage16(nullptr);
        State().developed = std::move(m_adjusted);
        m_adjusted.Free();
    }
    DevelopPage::OnNext();
}

void DevelopAdjustPage::OnCommand(UINT id)
{
    switch (id) {
    case kZoomIn: m_view.ZoomIn(0, 0); break;
    case kZoomOut: m_view.ZoomOut(0, 0); break;
    case kActualSize: m_view.ActualSize(); break;
    case kFit: m_view.FitToWindow(); break;
    default: break;
    }
}

} // namespace develop
