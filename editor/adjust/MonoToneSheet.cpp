#include "editor/adjust/MonoToneSheet.h"

#include "algorithms/ColorTheme.h"
#include "editor/adjust/SaveColorTheme.h"
#include "editor/adjust/SelectionDlg.h"
#include "editor/shell/BackgroundWork.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/FilterBlend.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr int kTextToneMaker = 96;
constexpr int kTextSaveTheme = 104;
constexpr int kTextUnexpectedError = 137;
constexpr int kTextApplyToSelection = 152;
constexpr int kTextModifySelection = 153;
constexpr UINT kIconMaskSet = 343;
constexpr int kHandCursor = 131;
constexpr int kThumbnailSize = 100;
constexpr UINT kSliders[3] = {IDC_MONO_SLIDER_R, IDC_MONO_SLIDER_G, IDC_MONO_SLIDER_B};
constexpr UINT kThumbs[3] = {IDC_MONO_THUMB_R, IDC_MONO_THUMB_G, IDC_MONO_THUMB_B};
constexpr UINT kPercents[3] = {IDC_MONO_PERCENT_R, IDC_MONO_PERCENT_G, IDC_MONO_PERCENT_B};
constexpr const char* kPercentFormats[3] = {"R: %d%%", "G: %d%%", "B: %d%%"};
constexpr UINT kSwatches[3] = {IDC_MONO_SWATCH_SHADOW, IDC_MONO_SWATCH_MID, IDC_MONO_SWATCH_HIGH};
constexpr const char* kMethods[3] = {"Grayscale-Channel Mixer", "Desaturate",
                                     "Channel Mixer-consider nonlinear eye response "};

CQLImage* CurrentImage() { return &thePhotoDocument.m_image; }

int SliderPos(const CWnd* page, UINT id)
{
    return static_cast<int>(page->SendDlgItemMessage(static_cast<int>(id), TBM_GETPOS));
}

void SetSlider(CWnd* page, UINT id, int lo, int hi, int pos)
{
    page->SendDlgItemMessage(static_cast<int>(id), TBM_SETRANGEMIN, FALSE, lo);
    page->SendDlgItemMessage(static_cast<int>(id), TBM_SETRANGEMAX, FALSE, hi);
    page->SendDlgItemMessage(static_cast<int>(id), TBM_SETPOS, TRUE, pos);
}

RECT ChildRect(const CWnd* parent, UINT id)
{
    RECT r{};
    if (HWND child = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) {
        ::GetWindowRect(child, &r);
        ::ScreenToClient(parent->m_hWnd, reinterpret_cast<POINT*>(&r.left));
        ::ScreenToClient(parent->m_hWnd, reinterpret_cast<POINT*>(&r.right));
    }
    return r;
}

}  // namespace

// ---- the block ---------------------------------------------------------------

namespace monotone {

namespace {

int Divisor(int r, int g, int b)
{
    const int d = 300 - r - g - b;
    return d == 0 ? 1 : d;
}

}  // namespace

Weights ShownWeights(int r, int g, int b)
{
    const int d = Divisor(r, g, b);
    return Weights{(10000 - 100 * r) / d, (10000 - 100 * g) / d, (10000 - 100 * b) / d};
}

Weights BlockWeights(int r, int g, int b)
{
    const int d = Divisor(r, g, b);
    return Weights{(100 - r) * 255 / d, (100 - g) * 255 / d, (100 - b) * 255 / d};
}

COLORREF NormaliseSwatch(COLORREF colour)
{
    BYTE pixel[4] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
    CQLImageCodec codec;
    codec.RGB2HSB(pixel, 1);
    pixel[0] = 128;
    codec.HSB2RGB(pixel, 1);
    return RGB(pixel[2], pixel[1], pixel[0]);
}

void HueAndSaturation(COLORREF colour, BYTE* hue, BYTE* saturation)
{
    BYTE pixel[4] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
    CQLImageCodec codec;
    codec.RGB2HSB(pixel, 1);
    *hue = pixel[2];
    *saturation = pixel[1];
}

MonoToneParams MakeBlock(const Settings& s)
{
    MonoToneParams p{};
    const Weights w = BlockWeights(s.sliders[0], s.sliders[1], s.sliders[2]);
    p.method = static_cast<BYTE>(s.method);
    p.weightR = static_cast<BYTE>(w.r);
    p.weightG = static_cast<BYTE>(w.g);
    p.weightB = static_cast<BYTE>(w.b);
    p.strength = static_cast<BYTE>(s.opacity * 255 / 100);
    BYTE* hues[3] = {&p.hueShadow, &p.hueMid, &p.hueHigh};
    BYTE* sats[3] = {&p.satShadow, &p.satMid, &p.satHigh};
    for (int i = 0; i < 3; ++i)
        HueAndSaturation(s.swatches[i], hues[i], sats[i]);
    p.satScale = static_cast<BYTE>(s.amount * 255 / 100);
    return p;
}

}  // namespace monotone

// ---- "Monochrome" ------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMonoPage, CSkinPropertyPage)
    ON_WM_PAINT()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_CBN_SELCHANGE(IDC_MONO_METHOD, OnMethod)
    ON_BN_CLICKED(IDC_MONO_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CMonoPage::CMonoPage(CMonoToneSheet* owner) : CSkinPropertyPage(IDD_MONO_PAGE), sheet(owner) {}

bool CMonoPage::MakeThumbnails(const CQLImage& photo)
{
    UINT w = 0, h = 0;
    photo.GetSize(&w, &h);
    if (w == 0 || h == 0)
        return false;
    const int tw = w >= h ? kThumbnailSize : std::max<int>(1, static_cast<int>(w * kThumbnailSize / h));
    const int th = w >= h ? std::max<int>(1, static_cast<int>(h * kThumbnailSize / w)) : kThumbnailSize;
    CQLImageCodec codec;
    CQLImage small;
    if (!codec.Resample(&photo, &small, tw, th, 1))
        return false;
    for (int c = 0; c < 3; ++c) {
        // Thumbnail 0 shows red (byte 2), 1 green, 2 blue.
        const int channel = 2 - c;
        if (!thumbnails[c].DuplicateFrom(&small))
            return false;
        for (int y = 0; y < th; ++y) {
            BYTE* p = thumbnails[c].GetBuffer(0, y);
            for (int x = 0; x < tw; ++x, p += 4)
                p[0] = p[1] = p[2] = p[channel];
        }
    }
    return true;
}

BOOL CMonoPage::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    // Through messages: the combo has no object of its own class here.
    for (const char* method : kMethods)
        SendDlgItemMessage(IDC_MONO_METHOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(method));
    SendDlgItemMessage(IDC_MONO_METHOD, CB_SETCURSEL, 2);
    SetSlider(this, IDC_MONO_OPACITY, 0, 100, 100);
    RestoreDefaults();
    return TRUE;
}

void CMonoPage::RestoreDefaults()
{
    const monotone::Settings defaults;
    for (int i = 0; i < 3; ++i)
        SetSlider(this, kSliders[i], 0, 100, defaults.sliders[i]);
    ShowPercentages();
}

void CMonoPage::ShowPercentages()
{
    const monotone::Weights w =
        monotone::ShownWeights(SliderPos(this, kSliders[0]), SliderPos(this, kSliders[1]), SliderPos(this, kSliders[2]));
    const int values[3] = {w.r, w.g, w.b};
    for (int i = 0; i < 3; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, kPercentFormats[i], values[i]);
        SetDlgItemText(kPercents[i], text);
    }
}

void CMonoPage::Read(monotone::Settings* s) const
{
    if (!m_hWnd)
        return;
    s->method = std::clamp(static_cast<int>(SendDlgItemMessage(IDC_MONO_METHOD, CB_GETCURSEL)), 0, 2);
    for (int i = 0; i < 3; ++i)
        s->sliders[i] = SliderPos(this, kSliders[i]);
    s->opacity = SliderPos(this, IDC_MONO_OPACITY);
}

void CMonoPage::OnPaint()
{
    CPaintDC dc(this);
    for (int i = 0; i < 3; ++i) {
        const RECT box = ChildRect(this, kThumbs[i]);
        if (thumbnails[i].GetAreaByteSize() == 0 || box.right <= box.left)
            continue;
        const int oldMode = dc.SetStretchBltMode(HALFTONE);
        DrawImageFitted(&dc, box.left, box.top, box.right, box.bottom, &thumbnails[i], RGB(0, 0, 0), FALSE);
        dc.SetStretchBltMode(oldMode);
    }
}

void CMonoPage::Changed()
{
    ShowPercentages();
    sheet->Recompute();
}

void CMonoPage::OnHScroll(UINT code, UINT, CScrollBar*)
{
    if (code != TB_ENDTRACK)
        Changed();
}

void CMonoPage::OnVScroll(UINT code, UINT, CScrollBar*)
{
    if (code != TB_ENDTRACK)
        Changed();
}

void CMonoPage::OnMethod()
{
    Changed();
}

void CMonoPage::OnDefault()
{
    RestoreDefaults();
    sheet->Recompute();
}

// ---- "Color Bias" ------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMonoColorPage, CSkinPropertyPage)
    ON_WM_CTLCOLOR()
    ON_WM_SETCURSOR()
    ON_WM_HSCROLL()
    ON_CONTROL_RANGE(STN_CLICKED, IDC_MONO_SWATCH_SHADOW, IDC_MONO_SWATCH_HIGH, OnSwatch)
END_MESSAGE_MAP()

CMonoColorPage::CMonoColorPage(CMonoToneSheet* owner) : CSkinPropertyPage(IDD_MONO_COLOR_PAGE), sheet(owner) {}

BOOL CMonoColorPage::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    SetSlider(this, IDC_MONO_AMOUNT, 0, 100, monotone::Settings{}.amount);
    return TRUE;
}

void CMonoColorPage::Read(monotone::Settings* s) const
{
    std::copy(std::begin(swatches), std::end(swatches), s->swatches);
    if (m_hWnd)
        s->amount = SliderPos(this, IDC_MONO_AMOUNT);
}

int CMonoColorPage::SwatchOf(const CWnd* wnd) const
{
    const int id = wnd ? wnd->GetDlgCtrlID() : 0;
    for (int i = 0; i < 3; ++i)
        if (id == static_cast<int>(kSwatches[i]))
            return i;
    return -1;
}

// The swatch statics fill themselves with their colour.
HBRUSH CMonoColorPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT type)
{
    const int index = SwatchOf(wnd);
    if (index < 0)
        return CSkinPropertyPage::OnCtlColor(dc, wnd, type);
    brushes[index].DeleteObject();
    brushes[index].CreateSolidBrush(swatches[index]);
    return static_cast<HBRUSH>(brushes[index].GetSafeHandle());
}

BOOL CMonoColorPage::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (SwatchOf(wnd) >= 0) {
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return CSkinPropertyPage::OnSetCursor(wnd, hitTest, message);
}

void CMonoColorPage::OnSwatch(UINT id)
{
    const int index = static_cast<int>(id - IDC_MONO_SWATCH_SHADOW);
    CColorDialog dialog(swatches[index], CC_FULLOPEN | CC_RGBINIT, this);
    if (dialog.DoModal() == IDOK)
        SetSwatch(index, dialog.GetColor());
}

void CMonoColorPage::SetSwatch(int index, COLORREF chosen)
{
    swatches[index] = monotone::NormaliseSwatch(chosen);
    if (CWnd* swatch = GetDlgItem(kSwatches[index]))
        swatch->Invalidate();
    sheet->Recompute();
}

void CMonoColorPage::OnHScroll(UINT code, UINT, CScrollBar*)
{
    if (code != TB_ENDTRACK)
        sheet->Recompute();
}

// ---- the sheet ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMonoToneSheet, CPropertySheet)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_MONO_SAVE_THEME, OnSaveTheme)
    ON_BN_CLICKED(IDC_MONO_SELECT, OnSelectArea)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
    ON_MESSAGE(WM_VIEWMODE_CHANGED, OnViewModeChanged)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnZoomNotify)
END_MESSAGE_MAP()

CMonoToneSheet::CMonoToneSheet(CWnd* parent)
    : CPropertySheet(theUITextTable.GetText(kTextToneMaker), parent), monoPage(this), colorPage(this)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&monoPage);
    AddPage(&colorPage);
}

CMonoToneSheet::~CMonoToneSheet()
{
    WaitForThread();
}

void CMonoToneSheet::WaitForThread()
{
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

BOOL CMonoToneSheet::OnInitDialog()
{
    const BOOL focus = CPropertySheet::OnInitDialog();
    if (CWnd* tab = GetTabControl()) {
        tabs.SubclassWindow(tab->m_hWnd);
        tab->GetWindowRect(&tabRect);
        ScreenToClient(&tabRect);
    }
    const RECT none{0, 0, 10, 10};
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    percentBar.Create(nullptr, "", WS_CHILD | WS_VISIBLE, none, this, IDC_MONO_PERCENT_BAR);
    beforeView.Create("", none, this, IDC_MONO_BEFORE);
    afterView.Create("", none, this, IDC_MONO_AFTER);
    modeBar.Create(RECT{0, 0, CViewModeBar::kCell * CViewModeBar::kModes, CViewModeBar::kCell}, this,
                   IDC_MONO_MODE_BAR);
    saveButton.Create(theUITextTable.GetText(kTextSaveTheme), buttonStyle, none, this, IDC_MONO_SAVE_THEME);
    selectButton.Create(theUITextTable.GetText(kTextApplyToSelection), buttonStyle, none, this, IDC_MONO_SELECT);
    for (CButtonST* b : {&saveButton, &selectButton}) {
        b->SetSkinBackground(&theAppSettings.m_skinBrush);
        b->SetHoverCursor(kHandCursor);
        b->SetFont(GetFont());
    }
    if (!result.DuplicateFrom(CurrentImage()))
        result.Free();
    beforeView.SetImage(CurrentImage(), FALSE);
    afterView.SetImage(&result, FALSE);
    modeBar.mode = viewMode;
    const int w = ::GetSystemMetrics(SM_CXMAXIMIZED) - 5;
    const int h = ::GetSystemMetrics(SM_CYMAXIMIZED) - 5;
    SetWindowPos(nullptr, 0, 0, std::max(w, 640), std::max(h, 480), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
    RECT client;
    GetClientRect(&client);
    Layout(client.right, client.bottom);
    Recompute();
    return focus;
}

void CMonoToneSheet::OnSize(UINT type, int cx, int cy)
{
    CPropertySheet::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED && afterView.m_hWnd)
        Layout(cx, cy);
}

void CMonoToneSheet::Layout(int cx, int cy)
{
    const int tabWidth = std::max<int>(tabRect.right - tabRect.left, 200);
    ::MoveWindow(tabs.m_hWnd ? tabs.m_hWnd : nullptr, 10, 10, tabWidth, cy - 50, FALSE);
    percentBar.MoveWindow(10, cy - 38, tabWidth, 10, FALSE);
    saveButton.MoveWindow(10, cy - 28 - 5, 150, 25, FALSE);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(cx - 220, cy - 30, 100, 25, FALSE);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(cx - 110, cy - 30, 100, 25, FALSE);
    modeBar.MoveWindow(cx - 90, 10, 80, 20, FALSE);
    const int selectWidth = cx <= 360 ? 120 : 200;
    selectButton.MoveWindow(cx - 90 - 10 - selectWidth, 10, selectWidth, 20, FALSE);
    // The views fill the room right of the tab control.
    const int left = 10 + tabWidth + 10, top = 40, right = cx - 10, bottom = cy - 40;
    const int w = std::max(1, right - left), h = std::max(1, bottom - top);
    if (viewMode == 2 || viewMode == 3) {
        const bool across = viewMode == 2;
        const int half = across ? (w - 5) / 2 : (h - 5) / 2;
        beforeView.MoveWindow(left, top, across ? half : w, across ? h : half, FALSE);
        afterView.MoveWindow(across ? left + half + 5 : left, across ? top : top + half + 5, across ? w - half - 5 : w,
                             across ? h : h - half - 5, FALSE);
        beforeView.ShowWindow(SW_SHOW);
    } else {
        beforeView.ShowWindow(SW_HIDE);
        afterView.MoveWindow(left, top, w, h, FALSE);
    }
    beforeView.ZoomToFit(FALSE);
    afterView.ZoomToFit(FALSE);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL CMonoToneSheet::OnEraseBkgnd(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    dc->FillRect(&client, &theAppSettings.m_skinBrush);
    if (selectionMask && selectButton.m_hWnd) {
        const RECT b = ChildRect(this, IDC_MONO_SELECT);
        if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconMaskSet)))
            ::DrawIconEx(dc->GetSafeHdc(), b.left - 16 - 2, b.top + 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
    return TRUE;
}

void CMonoToneSheet::EnableClosing(BOOL enable)
{
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL)})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
}

void CMonoToneSheet::Recompute()
{
    if (jobRunning || theAlgorithmThread.IsBusy()) {
        rerunPending = 1;
        return;
    }
    monotone::Settings settings;
    monoPage.Read(&settings);
    colorPage.Read(&settings);
    block = monotone::MakeBlock(settings);
    algorithm.SetImages(CurrentImage(), &work);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(&algorithm, &block, kJobTag, 0, 100))
        return;
    jobRunning = 1;
    EnableClosing(FALSE);
}

LRESULT CMonoToneSheet::OnAlgorithmNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        percentBar.SetStateAndRedraw(lParam >= 100 ? 0 : static_cast<int>(lParam));
        return 0;
    }
    if (wParam != 1 || lParam != kJobTag || !jobRunning)
        return 0;
    jobRunning = 0;
    lastFailed = theAlgorithmThread.GetResult() != 0 || work.GetAreaByteSize() != CurrentImage()->GetAreaByteSize();
    if (!lastFailed) {
        std::swap(result, work);
        if (selectionMask)
            BlendResult(*CurrentImage(), &result, LayerBlend{}, selectionMask.get(), POINT{0, 0});
    }
    percentBar.SetStateAndRedraw(0);
    EnableClosing(TRUE);
    afterView.SaveZoomState();
    afterView.SetImage(viewMode == 0 ? CurrentImage() : &result, FALSE);
    afterView.RestoreZoomState();
    afterView.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (rerunPending) {
        rerunPending = 0;
        Recompute();
    }
    return 0;
}

void CMonoToneSheet::SetSelectionMask(const CQLChannel* mask)
{
    selectionMask = KeepSelection(mask);
    selectButton.SetWindowText(theUITextTable.GetText(selectionMask ? kTextModifySelection : kTextApplyToSelection));
    Recompute();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CMonoToneSheet::OnSelectArea()
{
    const CQLChannel* mask = nullptr;
    if (RunSelectAreaDlg(this, &mask) == IDOK)
        SetSelectionMask(mask);
}

void CMonoToneSheet::OnSaveTheme()
{
    ColorThemeStep step;
    step.type = ColorThemeStep::MonoTone;
    std::memcpy(step.payload, &block, sizeof block);
    SaveColorTheme(step);
}

LRESULT CMonoToneSheet::OnViewModeChanged(WPARAM wParam, LPARAM)
{
    SetViewMode(static_cast<int>(wParam));
    return 0;
}

void CMonoToneSheet::SetViewMode(int mode)
{
    viewMode = mode == 4 ? 1 : mode;  // this sheet has no histograms
    afterView.SetImage(viewMode == 0 ? CurrentImage() : &result, FALSE);
    RECT client;
    GetClientRect(&client);
    Layout(client.right, client.bottom);
}

LRESULT CMonoToneSheet::OnZoomNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam != kZoomNoticeChanged || !lParam)
        return 0;
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(lParam);
    if (notice->view == &afterView)
        beforeView.CopyViewFrom(&afterView);
    else if (notice->view == &beforeView)
        afterView.CopyViewFrom(&beforeView);
    return 0;
}

void CMonoToneSheet::OnOK()
{
    if (jobRunning)
        return;  // OK comes back once the job has ended
    if (lastFailed || result.GetAreaByteSize() == 0) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    CPropertySheet::OnOK();
}

void CMonoToneSheet::OnCancel()
{
    WaitForThread();
    CPropertySheet::OnCancel();
}

int RunMonoToneSheet(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CMonoToneSheet sheet(parent);
    if (!RunInBackground(AfxGetMainWnd(), [&] { return sheet.monoPage.MakeThumbnails(*CurrentImage()) ? 1 : 0; })) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return IDCANCEL;
    }
    const int code = static_cast<int>(sheet.DoModal());
    if (code == IDOK && sheet.result.GetAreaByteSize() == CurrentImage()->GetAreaByteSize()) {
        *CurrentImage() = std::move(sheet.result);
        thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(kTextToneMaker));
        if (CWnd* main = AfxGetMainWnd())
            main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return code;
}
