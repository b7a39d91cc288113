#include "editor/retouch/OverlaySheet.h"

#include "editor/retouch/OverlayLayout.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDialog.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr int kButtonWidth = 100, kButtonHeight = 25;
// Job tags on the algorithm thread.
constexpr int kBlendTag = 0, kTextTag = 1;

bool HasPixels(const CQLImage& image)
{
    return image.GetAreaByteSize() != 0;
}

}  // namespace

// ---- COverlayPreview ----

IMPLEMENT_DYNAMIC(COverlayPreview, COverlayView)

BEGIN_MESSAGE_MAP(COverlayPreview, COverlayView)
    ON_WM_LBUTTONUP()
    ON_WM_KEYUP()
END_MESSAGE_MAP()

void COverlayPreview::OnLButtonUp(UINT flags, CPoint point)
{
    ZoomView::OnLButtonUp(flags, point);
    NotifyIfMoved();
}

void COverlayPreview::OnKeyUp(UINT, UINT, UINT)
{
    NotifyIfMoved();
}

void COverlayPreview::NotifyIfMoved()
{
    RECT now{};
    GetSelection(&now);
    if (EqualRect(&now, &m_lastSelection))
        return;
    m_lastSelection = now;
    Notify(kZoomNoticeOverlayChanged, nullptr);
}

// ---- COverlaySheet ----

IMPLEMENT_DYNAMIC(COverlaySheet, CPropertySheet)

BEGIN_MESSAGE_MAP(COverlaySheet, CPropertySheet)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnPreviewNotify)
END_MESSAGE_MAP()

COverlaySheet::COverlaySheet(int captionTextId, CWnd* parent, UINT selectPage)
    : CPropertySheet(theUITextTable.GetText(captionTextId), parent, selectPage)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    EnableStackedTabs(TRUE);
    effectPage.onChanged = [this] { StartRender(); };
    navigationPage.view = &preview;
}

COverlaySheet::~COverlaySheet()
{
    StopAndWait();
    // The preview goes before the page whose navigator follows it.
    navigationPage.navigator.SetView(nullptr);
    if (m_hWnd)
        DestroyWindow();
    for (CWnd* button : m_skinnedButtons)
        delete button;
}

void COverlaySheet::AddFixedPages()
{
    AddPage(&layerPage);
    AddPage(&effectPage);
    AddPage(&navigationPage);
}

int COverlaySheet::DoModal()
{
    m_closing = FALSE;
    const int result = CPropertySheet::DoModal();
    StopAndWait();
    m_initialised = FALSE;
    if (result != IDOK || !HasPixels(objectImage) || !HasPixels(resultImage))
        return result;
    thePhotoDocument.m_image = std::move(resultImage);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(undoTextId));
    thePhotoDocument.m_history.SetRefreshFlag();
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}

BOOL COverlaySheet::OnInitDialog()
{
    if (!resultImage.DuplicateFrom(&thePhotoDocument.m_image)) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    // The preview comes first: the first page places its object while it
    // is being made.
    const RECT small{0, 0, 100, 100};
    if (!preview.Create("", small, this, IDC_OVERLAY_PREVIEW) ||
        !progress.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, small, this, IDC_OVERLAY_PROGRESS)) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    progress.SetRange(0, 100);
    preview.SetSmoothScaling(TRUE);
    preview.SetImage(&resultImage, FALSE);
    m_initialised = TRUE;

    const BOOL result = CPropertySheet::OnInitDialog();
    GetClientRect(&m_pageRect);
    if (CWnd* tab = GetTabControl())
        tabControl.SubclassWindow(tab->m_hWnd);
    SkinPushButtons();
    // The maximised window's size, centred.
    const int w = std::max(::GetSystemMetrics(SM_CXMAXIMIZED) - 8, static_cast<int>(m_pageRect.right) + 200);
    const int h = std::max(::GetSystemMetrics(SM_CYMAXIMIZED) - 8, static_cast<int>(m_pageRect.bottom) + 60);
    SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    Layout();
    preview.ZoomToFit(FALSE);
    if (HasPixels(objectImage))  // a pasted picture
        PlaceObject(FALSE, nullptr);
    return result;
}

void COverlaySheet::SkinPushButtons()
{
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL)})
        if (CWnd* button = GetDlgItem(static_cast<int>(id)))
            if (!skin::IsSkinnedOrOwned(m_skinnedButtons, button->m_hWnd))
                skin::SubclassPushButton(m_skinnedButtons, button->m_hWnd);
}

void COverlaySheet::Layout()
{
    if (!m_initialised || !preview.m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    const int w = client.right, h = client.bottom;
    RECT tab{10, 10, m_pageRect.right - 10, m_pageRect.bottom - 45};
    if (CWnd* t = GetTabControl()) {
        t->GetWindowRect(&tab);
        ScreenToClient(&tab);
    }
    const int okX = std::max(10, static_cast<int>(m_pageRect.right) - 310);
    const int cancelX = std::max(okX + kButtonWidth + 10, static_cast<int>(m_pageRect.right) - 200);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(okX, h - 35, kButtonWidth, kButtonHeight);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(cancelX, h - 35, kButtonWidth, kButtonHeight);
    progress.MoveWindow(tab.left, tab.bottom + 8, tab.right - tab.left, 10);
    // The pages keep the width the layer gave them; the preview starts
    // beside them.
    const int left = std::max(static_cast<int>(m_pageRect.right) - 85, static_cast<int>(tab.right) + 10);
    preview.MoveWindow(left, 5, std::max(0, w - 10 - left), std::max(0, h - 10 - 5));
}

void COverlaySheet::OnSize(UINT type, int cx, int cy)
{
    CPropertySheet::OnSize(type, cx, cy);
    Layout();
}

BOOL COverlaySheet::OnEraseBkgnd(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, RGB(192, 192, 192));
    RECT inner = client;
    InflateRect(&inner, -1, -1);
    dc->Draw3dRect(&inner, RGB(240, 240, 240), RGB(140, 140, 140));
    InflateRect(&inner, -1, -1);
    dc->FillRect(&inner, &theAppSettings.m_skinBrush);
    return TRUE;
}

HBRUSH COverlaySheet::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    if (ctlColor != CTLCOLOR_STATIC)
        return CPropertySheet::OnCtlColor(dc, wnd, ctlColor);
    dc->SetTextColor(RGB(100, 100, 128));
    return skin::SkinBrushFor(dc);
}

OverlayEffects COverlaySheet::CurrentEffects() const
{
    const CEffecPage& p = effectPage;
    OverlayEffects e;
    e.shadowOn = p.shadowOn;
    e.shadowX = p.shadowX;
    e.shadowY = p.shadowY;
    e.shadowBlur = static_cast<int32_t>(p.shadowBlur);
    std::memcpy(e.shadowColour, p.shadowColour, 4);
    e.embossOn = p.embossOn;
    e.embossDepth = static_cast<int32_t>(p.embossDepth);
    e.embossBlur = static_cast<int32_t>(p.embossBlur);
    e.embossOpacity = static_cast<int32_t>(p.embossOpacity);
    e.embossDirection = p.embossDirection;
    e.emissionOn = p.emissionOn;
    e.emissionDepth = static_cast<int32_t>(p.emissionDepth);
    e.emissionBlur = static_cast<int32_t>(p.emissionBlur);
    std::memcpy(e.emissionColour, p.emissionColour, 4);
    return e;
}

void COverlaySheet::SetEffects(const OverlayEffects& e)
{
    CEffecPage& p = effectPage;
    const auto setMembers = [&] {
        p.shadowOn = e.shadowOn;
        p.shadowX = e.shadowX;
        p.shadowY = e.shadowY;
        p.shadowBlur = static_cast<uint32_t>(e.shadowBlur);
        std::memcpy(p.shadowColour, e.shadowColour, 4);
        p.embossOn = e.embossOn;
        p.embossDepth = static_cast<uint32_t>(e.embossDepth);
        p.embossBlur = static_cast<uint32_t>(e.embossBlur);
        p.embossOpacity = static_cast<uint32_t>(e.embossOpacity);
        p.emissionOn = e.emissionOn;
        p.emissionDepth = static_cast<uint32_t>(e.emissionDepth);
        p.emissionBlur = static_cast<uint32_t>(e.emissionBlur);
        std::memcpy(p.emissionColour, e.emissionColour, 4);
    };
    setMembers();
    if (!p.m_hWnd)
        return;  // the page shows the members when it is made
    // Each written edit makes the page read all of them: write every one
    // from the new values, then set the members once more.
    const struct {
        UINT id;
        int value;
    } edits[] = {{IDC_SHADOW_X, e.shadowX},           {IDC_SHADOW_Y, e.shadowY},
                 {IDC_SHADOW_BLUR, e.shadowBlur},     {IDC_EMBOSS_DEPTH, e.embossDepth},
                 {IDC_EMBOSS_BLUR, e.embossBlur},     {IDC_EFFECTS_OPACITY, e.embossOpacity},
                 {IDC_EMISSION_DEPTH, e.emissionDepth}, {IDC_EMISSION_BLUR, e.emissionBlur}};
    for (const auto& edit : edits)
        p.SetDlgItemInt(static_cast<int>(edit.id), static_cast<UINT>(edit.value), TRUE);
    p.CheckDlgButton(IDC_SHADOW_ON, e.shadowOn ? BST_CHECKED : BST_UNCHECKED);
    p.CheckDlgButton(IDC_EMBOSS_ON, e.embossOn ? BST_CHECKED : BST_UNCHECKED);
    p.CheckDlgButton(IDC_EMISSION_ON, e.emissionOn ? BST_CHECKED : BST_UNCHECKED);
    setMembers();
    p.EnableGroups();
    p.Invalidate();
}

OverlayBlendParams COverlaySheet::CurrentJob() const
{
    RECT selection{};
    preview.GetSelection(&selection);
    return MakeOverlayJob(selection, layerPage.mode, layerPage.opacity, objectKind, CurrentEffects());
}

void COverlaySheet::PlaceObject(BOOL showNavigator, const RECT* rect)
{
    if (!m_initialised || !HasPixels(objectImage))
        return;
    UINT ow = 0, oh = 0, pw = 0, ph = 0;
    objectImage.GetSize(&ow, &oh);
    resultImage.GetSize(&pw, &ph);
    RECT place{};
    if (rect)
        place = *rect;
    if (!rect || !ShiftRectIntoPhoto(&place, static_cast<int>(pw), static_cast<int>(ph)))
        place = FitObjectRect(static_cast<int>(ow), static_cast<int>(oh), static_cast<int>(pw), static_cast<int>(ph));
    preview.SetSelection(place.left, place.top, place.right, place.bottom, TRUE);
    preview.SetAspectLock(TRUE, static_cast<float>(ow) / static_cast<float>(oh));
    ++m_objectVersion;  // the next render may not be skipped
    StartRender();
    preview.RepaintNow();
    if (showNavigator)
        SetActivePage(&navigationPage);
}

void COverlaySheet::EnableCloseButtons(BOOL enable)
{
    for (int id : {IDOK, IDCANCEL})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
}

void COverlaySheet::StartRender()
{
    if (!m_initialised || m_closing || !m_hWnd || !HasPixels(objectImage))
        return;
    EnableCloseButtons(FALSE);
    if (m_textRendering) {
        m_rerun = TRUE;  // after the drawing is placed
        return;
    }
    if (m_rendering) {
        // The run under way is out of date: stop it and run once more after.
        m_rerun = TRUE;
        theAlgorithmThread.StopAlgorithm();
        return;
    }
    const OverlayBlendParams job = CurrentJob();
    if (job.width <= 0 || job.height <= 0 ||
        (m_renderedVersion == m_objectVersion && std::memcmp(&job, &m_job, sizeof job) == 0)) {
        EnableCloseButtons(TRUE);
        return;
    }
    m_job = job;
    m_renderedVersion = m_objectVersion;
    // The thread reads its own copy: the page may render a new object meanwhile.
    m_blend.ClearImages();
    m_jobObject.DuplicateFrom(&objectImage);
    m_blend.SetImages(&thePhotoDocument.m_image, &m_work);
    m_blend.AddImage(&m_jobObject);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(&m_blend, &m_job, kBlendTag, 0, 100)) {
        m_renderedVersion = -1;
        EnableCloseButtons(TRUE);
        return;
    }
    m_rendering = TRUE;
    ++m_rendersStarted;
}

void COverlaySheet::RenderText(const TextStyle& style, const std::string& text, BOOL showNavigator)
{
    m_wantedStyle = style;
    m_wantedText = text;
    m_textWanted = TRUE;
    m_textShowNavigator = m_textShowNavigator || showNavigator;
    if (!m_initialised || m_closing || !m_hWnd)
        return;
    EnableCloseButtons(FALSE);
    if (m_textRendering)
        return;  // drawn again with these values when the drawing ends
    if (m_rendering) {
        theAlgorithmThread.StopAlgorithm();  // its merge is out of date
        return;
    }
    StartTextJob();
}

int COverlaySheet::RenderTextJob(void* param, FilterHost*)
{
    auto* job = static_cast<TextJob*>(param);
    return RenderTextObject(job->style, job->text, &job->object, &job->kind) ? 0 : static_cast<int>(E_FAIL);
}

void COverlaySheet::StartTextJob()
{
    m_textWanted = FALSE;
    m_textJob.style = m_wantedStyle;
    m_textJob.text = m_wantedText;
    m_textHost.SetParam(&m_textJob);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    auto function = &COverlaySheet::RenderTextJob;
    if (!theAlgorithmThread.RunAlgorithm(&m_textHost, reinterpret_cast<void*>(function), kTextTag, 0, 100)) {
        EnableCloseButtons(TRUE);
        return;
    }
    m_textRendering = TRUE;
}

void COverlaySheet::PlaceText(CQLImage&& object, int kind, BOOL showNavigator)
{
    UINT oldW = 0, oldH = 0, newW = 0, newH = 0;
    objectImage.GetSize(&oldW, &oldH);
    object.GetSize(&newW, &newH);
    RECT placed{};
    preview.GetSelection(&placed);
    objectImage = std::move(object);
    objectKind = kind;
    preview.m_objectIsText = TRUE;
    if (oldW == 0 || oldH == 0 || IsRectEmpty(&placed)) {
        PlaceObject(showNavigator, nullptr);
        return;
    }
    // The old rectangle scaled by new size / old size on each axis.
    const long long w = static_cast<long long>(placed.right - placed.left) * newW / oldW;
    const long long h = static_cast<long long>(placed.bottom - placed.top) * newH / oldH;
    const RECT kept{placed.left, placed.top, static_cast<LONG>(placed.left + std::max(1LL, w)),
                    static_cast<LONG>(placed.top + std::max(1LL, h))};
    PlaceObject(showNavigator, &kept);
}

void COverlaySheet::ContinueAfterJob()
{
    if (m_closing)
        return;
    if (m_textWanted) {
        StartTextJob();
        return;
    }
    if (m_rerun) {
        m_rerun = FALSE;
        StartRender();
        return;
    }
    EnableCloseButtons(TRUE);
}

LRESULT COverlaySheet::OnAlgorithmNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        const int percent = static_cast<int>(lParam);
        progress.SetPos(percent >= 100 ? 0 : percent);
        return 0;
    }
    if (wParam != 1)
        return 0;
    const bool succeeded = theAlgorithmThread.GetResult() == 0;
    if (lParam == kTextTag) {
        if (!m_textRendering)
            return 0;
        m_textRendering = FALSE;
        // A newer text waits: this drawing is out of date.
        if (succeeded && !m_textWanted && !m_closing) {
            const BOOL show = m_textShowNavigator;
            m_textShowNavigator = FALSE;
            m_rerun = FALSE;  // placing merges anew
            PlaceText(std::move(m_textJob.object), m_textJob.kind, show);
        }
        if (!m_rendering)
            ContinueAfterJob();
        return 0;
    }
    if (!m_rendering)
        return 0;
    m_rendering = FALSE;
    progress.SetPos(0);
    if (succeeded) {
        std::swap(resultImage, m_work);
        preview.RepaintNow();
    } else {
        m_renderedVersion = -1;  // not shown: the same job must run again
    }
    ContinueAfterJob();
    return 0;
}

LRESULT COverlaySheet::OnPreviewNotify(WPARAM wParam, LPARAM)
{
    if (wParam == kZoomNoticeOverlayChanged)
        StartRender();
    else if (wParam == kZoomNoticeConfirm && !IsRendering() && !m_rerun && !m_textWanted)
        PressButton(PSBTN_OK);
    return 0;
}

void COverlaySheet::OnOK()
{
    // The merged photo must be the one the pages show.
    if (IsRendering() || m_rerun || m_textWanted)
        return;
    CPropertySheet::OnOK();
}

void COverlaySheet::OnCancel()
{
    StopAndWait();
    CPropertySheet::OnCancel();
}

void COverlaySheet::StopAndWait()
{
    m_closing = TRUE;
    m_rerun = FALSE;
    m_textWanted = FALSE;
    if (!IsRendering())
        return;
    theAlgorithmThread.StopAlgorithm();
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    m_rendering = FALSE;
    m_textRendering = FALSE;
}
