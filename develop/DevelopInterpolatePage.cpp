#include "develop/DevelopInterpolatePage.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"

namespace develop {

BOOL DevelopInterpolatePage::Create(CWnd* parent)
{
    DevelopPage::Create(parent);
    const CUITextMap& t = Texts();
    const char* font = t.GetText("defaultfont");
    if (!m_caption.Create(kCaption, CRect(10, 45, 600, 120), parent) ||
        !m_options[0].Create(kBasic, CRect(30, 120, 280, 150), parent, t.GetText("basicinter"), 0) ||
        !m_options[1].Create(kNormal, CRect(30, 150, 280, 180), parent, t.GetText("goodinter"), 0) ||
        !m_options[2].Create(kBest, CRect(30, 180, 280, 240), parent, t.GetText("bestinter"), 0) ||
        !m_bar.Create(kBar, CRect(310, 100, 410, 120), parent, t.GetText("inprog")) ||
        !m_view.Create(kView, CRect(310, 80, 630, 400), parent))
        return FALSE;
    m_caption.AddItem(t.GetText("interpolatetittle"), font, 18, 0xFFFFFF, nullptr);
    m_caption.AddItem(t.GetText("interline1"), font, 14, 0x808080, nullptr);
    m_caption.AddItem(" ", font, 14, 0x808080, nullptr);
    m_caption.SetItemStyle(2, 7, 0x808080, 0x404040, 0);
    if (!m_view.LoadPicture(Skin().Path("interpolatedemo.bmp").c_str()))
        return FALSE;
    m_controls = {&m_caption, &m_options[0], &m_options[1], &m_options[2], &m_bar, &m_view};
    m_sink = std::make_unique<PostedBarSink>(&m_bar);
    Show(false);
    Refresh(true);
    return TRUE;
}

void DevelopInterpolatePage::Layout(int cx, int cy)
{
    m_bar.MoveWindow(310, cy - 45, cx - 320, 25);
    m_view.MoveWindow(310, 100, cx - 320, cy - 150);
}

void DevelopInterpolatePage::OnEnter()
{
    LayoutToParent();
    m_method = m_threeColour ? 3 : 2;
    m_options[2].EnableWindow(m_threeColour);
    m_bar.SetPercent(0);
    Refresh(true);
}

void DevelopInterpolatePage::Refresh(bool toScreen)
{
    if (toScreen) {
        for (int i = 0; i < 3; ++i)
            m_options[i].SetCheck(m_method == i + 1);
        return;
    }
    m_method = m_options[2].GetCheck() ? 3 : m_options[1].GetCheck() ? 2 : 1;
}

void DevelopInterpolatePage::SetMethod(int method)
{
    // Best only for a three-colour mosaic.
    if (method == 3 && !m_threeColour)
        return;
    m_method = method;
    Refresh(true);
}

void DevelopInterpolatePage::OnNext()
{
    m_request.method = m_method;
    m_request.bar = m_sink.get();
    m_request.callback = &CProcessThread::ProgressCallback;
    m_request.developed = &State().developed;
    ProcessThread().PostJob(&InterpolateJob, &m_request, m_parent ? m_parent->m_hWnd : nullptr);
}

int DevelopInterpolatePage::OnJobMessage(WPARAM type, LPARAM value)
{
    if (type == kJobProgress) {
        m_bar.SetPercent(static_cast<int>(value));
    } else if (type == kJobDone) {
        if (!State().developed.GetBuffer(0, 0)) {
            // Nothing developed: the step stays for another try.
            m_bar.SetPercent(0);
            ShowMessage(m_parent, "exception");
            EnableNext(true);
        } else {
            DevelopPage::OnNext();
        }
    } else if (type == kJobFailed) {
        ShowMessage(m_parent, "exception");
        EnableNext(true);
    }
    return 0;
}

} // namespace develop
