#include "editor/retouch/SkinEffectDlg.h"
#include "editor/retouch/PictureSize.h"

#include "editor/adjust/NRCleanDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"
#include "imagecore/ParallelFor.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace {

constexpr int kTextHeader = 40;
constexpr int kTextViewNames[4] = {195, 196, 197, 198};  // "Original", "Soft light", "Cleaned skin", "Cleaned more"
constexpr UINT kIconWindow = 228;
constexpr COLORREF kPictureColour = RGB(64, 64, 64);
constexpr int kBands = 50;

// Runs fn(s, y, o) on every pixel in bands of rows, the rows of a band on all
// cores, with the progress after each band.
template <class PixelFn>
int Blend(FilterHost* host, PixelFn fn)
{
    const CQLImage* source = host->GetSource();
    CQLImage* target = host->GetTarget();
    const auto& images = host->GetImages();
    if (!source || !target || images.empty() || !images[0])
        return E_FAIL;
    const CQLImage* blurred = images[0];
    const SIZE s = PictureSize(*source), b = PictureSize(*blurred);
    if (s.cx != b.cx || s.cy != b.cy || !host->CopySourceToTarget())
        return E_FAIL;
    const int h = static_cast<int>(s.cy), w = static_cast<int>(s.cx);
    for (int band = 0; band < kBands; ++band) {
        const int from = h * band / kBands, to = h * (band + 1) / kBands;
        imagecore::ParallelFor(from, to, static_cast<std::size_t>(w), [&](int r0, int r1) {
            for (int r = r0; r < r1; ++r) {
                const BYTE* sp = source->GetBuffer(0, r);
                const BYTE* yp = blurred->GetBuffer(0, r);
                BYTE* op = target->GetBuffer(0, r);
                for (int x = 0; x < w; ++x, sp += 4, yp += 4, op += 4)
                    fn(sp, yp, op);
            }
        });
        host->Progress((band + 1) * 100 / kBands);
    }
    host->Progress(100);
    return 0;
}

// O = min(255, (S * (255 - f) + Y * f) / 255) on blue, green and red.
inline void Mix(const BYTE* s, const BYTE* y, BYTE* o, int f)
{
    for (int k = 0; k < 3; ++k)
        o[k] = static_cast<BYTE>(std::min(255, (s[k] * (255 - f) + y[k] * f) / 255));
}

}  // namespace

namespace skineffect {

int Radius(int width, int height)
{
    return std::clamp(std::max(width, height) / 60, 4, 32);
}

int CleanedSkin(void*, FilterHost* host)
{
    return Blend(host, [](const BYTE* s, const BYTE* y, BYTE* o) {
        if (s[3] > 1)
            Mix(s, y, o, s[3] / 2);
    });
}

int CleanedMore(void*, FilterHost* host)
{
    return Blend(host, [](const BYTE* s, const BYTE* y, BYTE* o) {
        const int f = static_cast<int>(s[3] * 0.751879699248120259);
        if (f > 0)
            Mix(s, y, o, f);
    });
}

int SoftLight(void*, FilterHost* host)
{
    return Blend(host, [](const BYTE* s, const BYTE* y, BYTE* o) {
        for (int k = 0; k < 3; ++k)
            o[k] = static_cast<BYTE>((s[k] * 3 + y[k] * 2) / 5);
    });
}

}  // namespace skineffect

BEGIN_MESSAGE_MAP(CSkinEffectDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_CONTROL_RANGE(BN_CLICKED, IDC_SKIN_VIEW_FIRST, IDC_SKIN_VIEW_FIRST + 3, OnView)
    ON_BN_CLICKED(IDC_SKIN_ADVANCED, OnAdvanced)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotice)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CSkinEffectDlg::CSkinEffectDlg(CWnd* parent) : CSkinDialog(IDD_SKIN_EFFECT, parent) {}

CSkinEffectDlg::~CSkinEffectDlg()
{
    // The jobs read and write this object's images.
    m_closing = TRUE;
    if (m_runningTag >= 0)
        theAlgorithmThread.StopAlgorithm();
    while (theAlgorithmThread.IsBusy() && m_runningTag >= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int CSkinEffectDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    const RECT none{0, 0, 100, 100};
    for (int i = 0; i <= kVariants; ++i) {
        CQLImage* image = i == 0 ? &thePhotoDocument.m_image : &m_variants[i - 1];
        if (!m_views[i].Create(theUITextTable.GetText(kTextViewNames[i]), none, this, IDC_SKIN_VIEW_FIRST + i, image))
            return -1;
    }
    return 0;
}

BOOL CSkinEffectDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (!CreatePixelFont(&m_headerFont, "Arial", 22, FALSE))
        return FALSE;
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconWindow))) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    SendDlgItemMessage(IDC_SKIN_PROGRESS, PBM_SETRANGE32, 0, 100);
    m_laidOut = true;
    ShowWindow(SW_RESTORE);
    ShowWindow(SW_MAXIMIZE);
    CRect client;
    GetClientRect(&client);
    RecalcLayout(client.Width(), client.Height());
    Choose(0);
    const SIZE s = PictureSize(thePhotoDocument.m_image);
    m_radius = skineffect::Radius(s.cx, s.cy);
    GetDlgItem(IDC_SKIN_ADVANCED)->EnableWindow(FALSE);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    m_blurParams.radius = m_radius;
    m_blur.SetImages(&thePhotoDocument.m_image, &m_blurred);
    if (!Run(&m_blur, &m_blurParams, kBlurTag, 0, 45))
        ChainEnded();
    return TRUE;
}

void CSkinEffectDlg::RecalcLayout(int w, int h)
{
    if (!m_laidOut)
        return;
    auto place = [this](UINT id, int x, int y, int cx, int cy) {
        if (CWnd* item = GetDlgItem(id))
            item->MoveWindow(x, y, std::max(cx, 1), std::max(cy, 1));
    };
    place(IDCANCEL, w - 100, h - 30, 90, 25);
    place(IDOK, w - 200, h - 30, 90, 25);
    place(IDC_SKIN_ADVANCED, w - 410, h - 30, 200, 25);
    place(IDC_SKIN_PROGRESS, 5, h - 30, w - 425, 25);
    place(IDC_SKIN_SEPARATOR, 5, h - 35, w - 10, 2);
    // A 2 x 2 grid under the header: the original top left, "Soft light"
    // top right, "Cleaned skin" and "Cleaned more" below.
    const RECT grid{5 + 4, 5 + 40, w - 5 - 4, h - 55 - 4};
    const int cw = std::max(2, static_cast<int>(grid.right - grid.left) / 2);
    const int ch = std::max(2, static_cast<int>(grid.bottom - grid.top) / 2);
    for (int i = 0; i <= kVariants; ++i)
        m_views[i].MoveWindow(grid.left + (i % 2) * cw, grid.top + (i / 2) * ch, cw, ch);
    Invalidate();
}

void CSkinEffectDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    RecalcLayout(cx, cy);
}

BOOL CSkinEffectDlg::OnEraseBkgnd(CDC* dc)
{
    CSkinDialog::OnEraseBkgnd(dc);
    if (!m_laidOut)
        return TRUE;
    CRect client;
    GetClientRect(&client);
    const CRect area(5, 5, client.right - 5, client.bottom - 55);
    dc->FillSolidRect(&area, kPictureColour);
    dc->Draw3dRect(&area, RGB(0, 0, 0), RGB(200, 200, 200));
    CFont* old = dc->SelectObject(&m_headerFont);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    dc->TextOut(area.left + 5, area.top + 5, theUITextTable.GetText(kTextHeader));
    dc->SelectObject(old);
    return TRUE;
}

BOOL CSkinEffectDlg::Run(EffectAlgorithm* algorithm, void* argument, int tag, int low, int high)
{
    if (m_closing || !theAlgorithmThread.RunAlgorithm(algorithm, argument, tag, low, high))
        return FALSE;
    m_runningTag = tag;
    return TRUE;
}

BOOL CSkinEffectDlg::RunBlend(FilterHost::Function blend, int variant, int tag, int low, int high)
{
    m_host.SetImages(&thePhotoDocument.m_image, &m_variants[variant - 1]);
    m_host.ClearImages();
    m_host.AddImage(&m_blurred);
    return Run(&m_host, reinterpret_cast<void*>(blend), tag, low, high);
}

LRESULT CSkinEffectDlg::OnAlgorithmNotify(WPARAM kind, LPARAM value)
{
    if (kind == 0) {
        SendDlgItemMessage(IDC_SKIN_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(value));
        return 0;
    }
    if (kind != 1 || value != m_runningTag)
        return 0;
    m_runningTag = -1;
    const bool ok = theAlgorithmThread.GetResult() == 0;
    BOOL next = FALSE;
    if (ok) {
        switch (value) {
        case kBlurTag:
            next = RunBlend(&skineffect::CleanedSkin, 2, kCleanedSkinTag, 45, 50);
            break;
        case kCleanedSkinTag:
            m_ready[1] = TRUE;
            m_views[2].FitAndRedraw();
            next = RunBlend(&skineffect::CleanedMore, 3, kCleanedMoreTag, 50, 60);
            break;
        case kCleanedMoreTag:
            m_ready[2] = TRUE;
            m_views[3].FitAndRedraw();
            // The second blur, multi-scale and twice as wide, for "Soft light".
            m_smooth.SetMultiScaleMode(1);
            m_radius *= 2;
            m_smoothParams.radius = m_radius;
            m_smooth.SetImages(&thePhotoDocument.m_image, &m_blurred);
            next = Run(&m_smooth, &m_smoothParams, kSmoothTag, 60, 90);
            break;
        case kSmoothTag:
            next = RunBlend(&skineffect::SoftLight, 1, kSoftLightTag, 90, 100);
            break;
        case kSoftLightTag:
            m_ready[0] = TRUE;
            m_views[1].FitAndRedraw();
            GetDlgItem(IDC_SKIN_ADVANCED)->EnableWindow(TRUE);
            break;
        default:
            break;
        }
    }
    if (!next)
        ChainEnded();
    return 0;
}

void CSkinEffectDlg::ChainEnded()
{
    m_runningTag = -1;
    SendDlgItemMessage(IDC_SKIN_PROGRESS, PBM_SETPOS, 0);
}

void CSkinEffectDlg::Choose(int index)
{
    if (index < 0 || index > kVariants || (index > 0 && !m_ready[index - 1]))
        return;
    m_selected = index;
    for (int i = 0; i <= kVariants; ++i)
        m_views[i].SetSelected(i == index);
}

void CSkinEffectDlg::OnView(UINT id)
{
    Choose(static_cast<int>(id - IDC_SKIN_VIEW_FIRST));
}

LRESULT CSkinEffectDlg::OnViewNotice(WPARAM code, LPARAM data)
{
    CPreviewButton::SyncRow(m_views, static_cast<int>(std::size(m_views)), code, data);
    return 0;
}

void CSkinEffectDlg::WaitUntilIdle()
{
    m_closing = TRUE;
    while (m_runningTag >= 0 && theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_runningTag = -1;
}

void CSkinEffectDlg::OnOK()
{
    WaitUntilIdle();
    if (m_selected > 0) {
        CQLImage& chosen = m_variants[m_selected - 1];
        for (CPreviewButton& view : m_views)
            view.m_view.SetImage(nullptr, FALSE);
        thePhotoDocument.m_image = std::move(chosen);
    }
    m_headerFont.DeleteObject();
    EndDialog(IDOK);
}

void CSkinEffectDlg::OnCancel()
{
    WaitUntilIdle();
    m_headerFont.DeleteObject();
    EndDialog(IDCANCEL);
}

void CSkinEffectDlg::OnAdvanced()
{
    WaitUntilIdle();
    for (CPreviewButton& view : m_views)
        view.m_view.SetImage(nullptr, FALSE);
    m_blurred.Free();
    for (CQLImage& v : m_variants)
        v.Free();
    m_headerFont.DeleteObject();
    m_advancedChosen = TRUE;
    EndDialog(IDCANCEL);
}

int RunSkinEffectDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CSkinEffectDlg dialog(parent);
    const int result = static_cast<int>(dialog.DoModal());
    if (dialog.m_advancedChosen)
        return RunRepairDlg<CNRCleanDlg>(parent);
    return result;
}
