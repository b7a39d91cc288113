#include "develop/DevelopOpenPage.h"

#include "develop/BalancePreview.h"
#include "develop/DevelopInterpolatePage.h"
#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/WinApp.h"
#include "platform/raw/RawParser.h"

#include <filesystem>

namespace develop {

BOOL DevelopOpenPage::Create(CWnd* parent)
{
    DevelopPage::Create(parent);
    const CUITextMap& t = Texts();
    const char* font = t.GetText("defaultfont");
    if (!m_open.Create(kOpenButton, CRect(50, 120, 130, 150), parent, t.GetText("open")) ||
        !m_step.Create(kStepCaption, CRect(10, 45, 300, 120), parent) ||
        !m_fileName.Create(kFileName, CRect(10, 130, 20, 160), parent) ||
        !m_balanceCaption.Create(kBalanceCaption, CRect(10, 170, 300, 190), parent) ||
        !m_camera.Create(kCameraOption, CRect(30, 190, 300, 210), parent, t.GetText("orgwb"), 0) ||
        !m_auto.Create(kAutoOption, CRect(30, 210, 300, 230), parent, t.GetText("autowb"), 0) ||
        !m_previewCaption.Create(kPreviewCaption, CRect(310, 80, 630, 100), parent) ||
        !m_view.Create(kView, CRect(310, 80, 630, 400), parent) ||
        !m_bar.Create(kBar, CRect(310, 100, 410, 120), parent, t.GetText("inprog")) ||
        !m_batch.Create(kBatchButton, CRect(30, 250, 180, 275), parent, t.GetText("batch")))
        return FALSE;
    m_open.SetIcon(135);
    m_batch.SetIcon(145);
    m_step.AddItem(t.GetText("step1"), font, 18, 0xFFFFFF, nullptr);
    m_step.AddItem(" ", font, 14, 0, nullptr);
    m_step.AddItem(t.GetText("openline1"), font, 14, 0xFFFFFF, nullptr);
    m_balanceCaption.AddItem(t.GetText("wb"), font, 14, 0xFFFFFF, nullptr);
    m_previewCaption.AddItem(t.GetText("Preview"), font, 14, 0xFFFFFF, nullptr);
    m_camera.EnableWindow(FALSE);
    m_auto.EnableWindow(FALSE);
    if (!m_view.LoadPicture(Skin().Path("logo.bmp").c_str()))
        return FALSE;
    m_controls = {&m_open, &m_step, &m_fileName, &m_balanceCaption, &m_camera,
                  &m_auto, &m_previewCaption, &m_view, &m_bar, &m_batch};
    Show(false);
    const std::string& input = State().commandLine.input;
    if (!input.empty() && OpenFile(input.c_str()))
        m_batch.MoveWindow(0, 0, 0, 0);
    return TRUE;
}

void DevelopOpenPage::Layout(int cx, int cy)
{
    const int w = cx - 320;
    m_view.MoveWindow(310, 100, w, cy - 150);
    m_bar.MoveWindow(310, cy - 45, w, 25);
    if (!State().rawPath.empty())
        m_open.MoveWindow(10, 130, 30, 30);
    else
        m_open.MoveWindow(30, 120, 100, 30);
}

void DevelopOpenPage::Refresh(bool toScreen)
{
    if (!toScreen) {
        m_autoBalance = m_auto.GetCheck() ? 1 : 0;
        return;
    }
    m_auto.SetCheck(m_autoBalance == 1);
    m_camera.SetCheck(m_autoBalance == 0);
    UINT w = 0, h = 0;
    m_thumbnail.GetSize(&w, &h);
    if (w && h)
        m_view.SetImage8(m_autoBalance == 1 ? &m_balanced : &m_thumbnail);
}

void DevelopOpenPage::OnEnter()
{
    DevelopPage::OnEnter();
    if (m_view.Mode() != 0)
        m_view.LoadPicture(Skin().Path("logo.bmp").c_str());
    m_bar.SetPercent(0);
    // A file still chosen (back from a later step) can be loaded again.
    if (!State().rawPath.empty())
        EnableNext(true);
    LayoutToParent();
}

int DevelopOpenPage::OnJobMessage(WPARAM type, LPARAM value)
{
    if (type == kJobProgress)
        m_bar.SetPercent(static_cast<int>(value));
    return 0;
}

BOOL DevelopOpenPage::ChooseFile()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, Texts().GetText("fileformat"),
                       m_parent);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    return OpenFile(dialog.GetPathName().GetString());
}

BOOL DevelopOpenPage::OpenFile(const char* path)
{
    WaitCursor wait;
    m_thumbnail.Free();
    m_balanced.Free();
    int r;
    {
        CRawParser parser;
        r = parser.LoadThumbnail(path, &m_thumbnail);
    }
    switch (r) {
    case 0:
        State().rawPath = path;
        BalancePreview(m_thumbnail, m_balanced, m_reference);
        m_view.SetImage8(m_autoBalance == 1 ? &m_balanced : &m_thumbnail);
        break;
    case 2:
    case 3:
        m_thumbnail.Free();
        ShowMessage(m_parent, r == 2 ? "nothumbnail" : "nosupportthumbnail");
        State().rawPath = path;
        m_view.LoadPicture(Skin().Path("logo.bmp").c_str());
        break;
    default:
        m_thumbnail.Free();
        ShowMessage(m_parent, r == 1 ? "notsupport" : "exception");
        return FALSE;
    }
    LayoutToParent();
    const std::string name = std::filesystem::path(State().rawPath).filename().string();
    if (m_fileName.GetCount() == 0) {
        m_fileName.AddItem(name.c_str(), Texts().GetText("defaultfont"), 14, 0xFFFFFF, nullptr);
        m_fileName.SetItemStyle(0, 6, 0x404040, 0x808080, 0x808080);
    } else {
        m_fileName.SetItemText(0, name.c_str());
    }
    m_fileName.MoveWindow(50, 130, 149, 30);
    EnableNext(true);
    m_camera.EnableWindow(TRUE);
    m_auto.EnableWindow(TRUE);
    Refresh(true);
    if (m_parent && m_parent->m_hWnd)
        m_parent->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return TRUE;
}

void DevelopOpenPage::OnNext()
{
    WaitCursor wait;
    m_thumbnail.Free();
    m_balanced.Free();
    m_view.LoadPicture(Skin().Path("logo.bmp").c_str());
    PostedBarSink bar(&m_bar);
    const LoadOutcome outcome = LoadRawStep(m_autoBalance, bar, State());
    if (outcome.loaded == 0) {
        // Nothing was loaded: the step stays, with the file still chosen.
        ShowMessage(m_parent, "exception");
        EnableNext(true);
        return;
    }
    if (outcome.skipInterpolation) {
        m_next = m_adjustPage;
    } else {
        m_next = m_interpolatePage;
        if (m_interpolatePage)
            m_interpolatePage->m_threeColour = outcome.threeColour;
    }
    DevelopPage::OnNext();
}

} // namespace develop
