#include "editor/adjust/DigitalBeautyDlg.h"

#include "editor/adjust/NRCleanDlg.h"
#include "editor/adjust/RepairDlg.h"
#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/PictureSize.h"
#include "editor/retouch/SkinEffectDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"
#include "imagecore/ParallelFor.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

constexpr int kTextDigitalBeauty = 37;
constexpr int kTextStep1 = 38;
constexpr int kTextHeader = 39;
constexpr int kTextOriginal = 195;
constexpr int kTextUnexpected = 137;
constexpr const char* kVariantNames[3] = {"More bright", "More pink", "More bright and more pink"};
constexpr UINT kIconWindow = 228;
constexpr COLORREF kPictureColour = RGB(64, 64, 64);
constexpr int kBands = 100;

// The routines' per-pixel arithmetic for every weight and value, so that a
// pixel costs three look-ups: Bright[h][s] = (G[s] * h + (255 - h) * s) / 255
// with G[i] = pow(i / 255, 0.65) * 255; Down[m][v] and Up[m][v] mix v with
// its pinked value by m / 255.
struct Tables {
    BYTE bright[128][256];
    BYTE down[256][256];
    BYTE up[256][256];
    Tables()
    {
        int curve[256], lower[256], raise[256];
        for (int i = 0; i < 256; ++i) {
            curve[i] = static_cast<int>(std::pow(i / 255.0, 0.65) * 255);
            const int k = 3825 - 15 * i;
            raise[i] = std::min(255, i + 15 * i / 255);
            lower[i] = std::max(0, i - k / 255);
        }
        for (int h = 0; h < 128; ++h)
            for (int v = 0; v < 256; ++v)
                bright[h][v] = static_cast<BYTE>((curve[v] * h + (255 - h) * v) / 255);
        for (int m = 0; m < 256; ++m)
            for (int v = 0; v < 256; ++v) {
                down[m][v] = static_cast<BYTE>((m * lower[v] + v * (255 - m)) / 255);
                up[m][v] = static_cast<BYTE>(((255 - m) * v + m * raise[v]) / 255);
            }
    }
};

const Tables& MixTables()
{
    static const Tables* tables = new Tables;
    return *tables;
}

// Runs fn(s, t) on every pixel in bands of rows, the rows of a band on all
// cores, with the progress after each band (never fewer than 1000 pixels).
template <class PixelFn>
int ForEachPixel(FilterHost* host, PixelFn fn)
{
    const CQLImage* source = host->GetSource();
    CQLImage* target = host->GetTarget();
    if (!source || !target)
        return E_FAIL;
    const SIZE s = PictureSize(*source), t = PictureSize(*target);
    if (s.cx != t.cx || s.cy != t.cy || s.cx <= 0 || s.cy <= 0)
        return E_FAIL;
    const int w = static_cast<int>(s.cx), h = static_cast<int>(s.cy);
    const int bands = std::clamp(static_cast<int>(static_cast<long long>(w) * h / 1000), 1, kBands);
    for (int band = 0; band < bands; ++band) {
        const int from = h * band / bands, to = h * (band + 1) / bands;
        imagecore::ParallelFor(from, to, static_cast<std::size_t>(w) * 4, [&](int r0, int r1) {
            for (int r = r0; r < r1; ++r) {
                const BYTE* sp = source->GetBuffer(0, r);
                BYTE* tp = target->GetBuffer(0, r);
                for (int x = 0; x < w; ++x, sp += 4, tp += 4)
                    fn(sp, tp);
            }
        });
        host->Progress((band + 1) * 100 / bands);
    }
    host->Progress(100);
    return 0;
}

}  // namespace

namespace digitalbeauty {

int Brighten(void*, FilterHost* host)
{
    const Tables& t = MixTables();
    return ForEachPixel(host, [&t](const BYTE* s, BYTE* d) {
        const int m = d[3];
        if (m <= 1)
            return;
        const BYTE* mix = t.bright[m / 2];
        d[0] = mix[s[0]];
        d[1] = mix[s[1]];
        d[2] = mix[s[2]];
        d[3] = s[3];
    });
}

int Pink(void*, FilterHost* host)
{
    // In place: the source is the target.
    const Tables& t = MixTables();
    return ForEachPixel(host, [&t](const BYTE*, BYTE* d) {
        const int m = d[3];
        d[2] = t.down[m][d[2]];
        d[1] = t.down[m][d[1]];
        d[0] = t.up[m][d[0]];
    });
}

}  // namespace digitalbeauty

BEGIN_MESSAGE_MAP(CDigitalBeautyDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_CONTROL_RANGE(BN_CLICKED, IDC_BEAUTY_VIEW_FIRST, IDC_BEAUTY_VIEW_FIRST + 3, OnView)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotice)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CDigitalBeautyDlg::CDigitalBeautyDlg(CWnd* parent) : CSkinDialog(IDD_DIGITAL_BEAUTY, parent) {}

CDigitalBeautyDlg::~CDigitalBeautyDlg()
{
    // The jobs read and write this object's images.
    m_closing = TRUE;
    if (m_runningTag >= 0)
        theAlgorithmThread.StopAlgorithm();
    while (theAlgorithmThread.IsBusy() && m_runningTag >= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int CDigitalBeautyDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    const RECT none{0, 0, 100, 100};
    for (int i = 0; i <= kVariants; ++i) {
        CQLImage* image = i == 0 ? &thePhotoDocument.m_image : &m_variants[i - 1];
        const char* name = i == 0 ? theUITextTable.GetText(kTextOriginal) : kVariantNames[i - 1];
        if (!m_views[i].Create(name, none, this, IDC_BEAUTY_VIEW_FIRST + i, image))
            return -1;
    }
    return 0;
}

BOOL CDigitalBeautyDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (!CreatePixelFont(&m_headerFont, "Arial", 22, FALSE))
        return FALSE;
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kIconWindow))) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    SendDlgItemMessage(IDC_BEAUTY_PROGRESS, PBM_SETRANGE32, 0, 100);
    m_laidOut = true;
    ShowWindow(SW_RESTORE);
    ShowWindow(SW_MAXIMIZE);
    CRect client;
    GetClientRect(&client);
    RecalcLayout(client.Width(), client.Height());
    for (int i = 1; i <= kVariants; ++i)
        m_views[i].EnableWindow(FALSE);
    Choose(0);
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    // The mask is found on a copy: the photo's own alpha stays.
    CQLImage& mask = m_variants[0];
    if (!mask.DuplicateFrom(&thePhotoDocument.m_image)) {
        Failed();
        return TRUE;
    }
    m_maskJob->SetImages(&mask, &mask);
    if (!Run(m_maskJob, nullptr, kMaskTag, 0, 20))
        Failed();
    return TRUE;
}

void CDigitalBeautyDlg::RecalcLayout(int w, int h)
{
    if (!m_laidOut)
        return;
    auto place = [this](UINT id, int x, int y, int cx, int cy) {
        if (CWnd* item = GetDlgItem(id))
            item->MoveWindow(x, y, std::max(cx, 1), std::max(cy, 1));
    };
    place(IDCANCEL, w - 100, h - 30, 90, 25);
    place(IDOK, w - 200, h - 30, 90, 25);
    place(IDC_BEAUTY_PROGRESS, 5, h - 30, w - 210, 25);
    place(IDC_BEAUTY_SEPARATOR, 5, h - 40, w - 10, 2);
    // A 2 x 2 grid under the header, 5 pixels apart.
    const RECT grid{5 + 4, 5 + 40, w - 5 - 4, h - 55 - 4};
    const int cw = std::max(2, static_cast<int>(grid.right - grid.left - 5) / 2);
    const int ch = std::max(2, static_cast<int>(grid.bottom - grid.top - 5) / 2);
    for (int i = 0; i <= kVariants; ++i)
        m_views[i].MoveWindow(grid.left + (i % 2) * (cw + 5), grid.top + (i / 2) * (ch + 5), cw, ch);
    Invalidate();
}

void CDigitalBeautyDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    RecalcLayout(cx, cy);
}

BOOL CDigitalBeautyDlg::OnEraseBkgnd(CDC* dc)
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

BOOL CDigitalBeautyDlg::Run(EffectAlgorithm* algorithm, const void* argument, int tag, int low, int high)
{
    if (m_closing || !theAlgorithmThread.RunAlgorithm(algorithm, const_cast<void*>(argument), tag, low, high))
        return FALSE;
    m_runningTag = tag;
    m_jobs.push_back(Job{tag, low, high});
    return TRUE;
}

BOOL CDigitalBeautyDlg::RunHost(FilterHost::Function fn, CQLImage* source, CQLImage* target, int tag, int low,
                                int high)
{
    m_host.SetImages(source, target);
    return Run(&m_host, reinterpret_cast<const void*>(fn), tag, low, high);
}

BOOL CDigitalBeautyDlg::Next(int doneTag)
{
    CQLImage& bright = m_variants[0];
    CQLImage& pink = m_variants[1];
    CQLImage& brightPink = m_variants[2];
    switch (doneTag) {
    case kMaskTag:
        // The smoothed mask goes to the pink picture, then to all three.
        m_smooth.SetAlphaOnly(1);
        m_smooth.SetImages(&bright, &pink);
        return Run(&m_smooth, &m_smoothParams, kSmoothTag, 20, 40);
    case kSmoothTag:
        if (!bright.DuplicateFrom(&pink) || !brightPink.DuplicateFrom(&pink))
            return FALSE;
        return RunHost(&digitalbeauty::Brighten, &thePhotoDocument.m_image, &bright, kBrightTag, 40, 50);
    case kBrightTag:
        VariantDone(1);
        return RunHost(&digitalbeauty::Pink, &pink, &pink, kPinkTag, 50, 75);
    case kPinkTag:
        VariantDone(2);
        return RunHost(&digitalbeauty::Brighten, &pink, &brightPink, kBrightPinkTag, 75, 100);
    case kBrightPinkTag:
        VariantDone(3);
        GetDlgItem(IDOK)->EnableWindow(TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CDigitalBeautyDlg::OnAlgorithmNotify(WPARAM kind, LPARAM value)
{
    if (kind == 0) {
        SendDlgItemMessage(IDC_BEAUTY_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(value));
        return 0;
    }
    if (kind != 1 || value != m_runningTag)
        return 0;
    m_runningTag = -1;
    if (m_closing)
        return 0;
    if (theAlgorithmThread.GetResult() != 0 || !Next(static_cast<int>(value)))
        Failed();
    return 0;
}

void CDigitalBeautyDlg::VariantDone(int index)
{
    m_ready[index - 1] = TRUE;
    m_views[index].EnableWindow(TRUE);
    m_views[index].FitAndRedraw();
}

void CDigitalBeautyDlg::Failed()
{
    m_runningTag = -1;
    SendDlgItemMessage(IDC_BEAUTY_PROGRESS, PBM_SETPOS, 0);
    if (!m_closing)
        AfxMessageBox(theUITextTable.GetText(kTextUnexpected), MB_OK | MB_ICONERROR);
}

void CDigitalBeautyDlg::Choose(int index)
{
    if (index < 0 || index > kVariants || (index > 0 && !m_ready[index - 1]))
        return;
    m_variantChoice = index;
    for (int i = 0; i <= kVariants; ++i)
        m_views[i].SetSelected(i == index);
}

void CDigitalBeautyDlg::OnView(UINT id)
{
    Choose(static_cast<int>(id - IDC_BEAUTY_VIEW_FIRST));
}

LRESULT CDigitalBeautyDlg::OnViewNotice(WPARAM code, LPARAM data)
{
    CPreviewButton::SyncRow(m_views, static_cast<int>(std::size(m_views)), code, data);
    return 0;
}

void CDigitalBeautyDlg::WaitUntilIdle()
{
    CWinApp* app = AfxGetApp();
    if (app)
        app->DoWaitCursor(1);
    m_closing = TRUE;
    while (m_runningTag >= 0 && theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_runningTag = -1;
    if (app)
        app->DoWaitCursor(-1);
}

void CDigitalBeautyDlg::OnOK()
{
    WaitUntilIdle();
    const int choice = m_variantChoice;
    CQLImage& photo = thePhotoDocument.m_image;
    if (choice > 0 && m_ready[choice - 1]) {
        const CQLImage& chosen = m_variants[choice - 1];
        const SIZE s = PictureSize(photo), c = PictureSize(chosen);
        if (s.cx == c.cx && s.cy == c.cy) {
            const int w = static_cast<int>(s.cx);
            imagecore::ParallelFor(0, static_cast<int>(s.cy), static_cast<std::size_t>(w) * 4, [&](int r0, int r1) {
                for (int r = r0; r < r1; ++r) {
                    const BYTE* from = chosen.GetBuffer(0, r);
                    BYTE* to = photo.GetBuffer(0, r);
                    for (int x = 0; x < w; ++x, from += 4, to += 4)
                        std::memcpy(to, from, 3);
                }
            });
        }
    }
    for (CPreviewButton& view : m_views)
        view.m_view.SetImage(nullptr, FALSE);
    m_headerFont.DeleteObject();
    for (CQLImage& v : m_variants)
        v.Free();
    EndDialog(IDOK);
}

void CDigitalBeautyDlg::OnCancel()
{
    WaitUntilIdle();
    m_headerFont.DeleteObject();
    EndDialog(IDCANCEL);
}

int RunDigitalBeautyDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CDigitalBeautyDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}

namespace {

// The photo before step 1 goes back after a Cancel.
int CancelDigitalBeauty(CQLImage* before)
{
    thePhotoDocument.m_image = std::move(*before);
    return IDCANCEL;
}

}  // namespace

int RunDigitalBeauty(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CQLImage before;
    if (!before.DuplicateFrom(&thePhotoDocument.m_image)) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpected), MB_OK | MB_ICONERROR);
        return IDCANCEL;
    }
    {
        CEraseSpotsDlg spots(parent);
        spots.SetTexts(theUITextTable.GetText(kTextDigitalBeauty), theUITextTable.GetText(kTextStep1));
        spots.SetWizardButtons(TRUE, FALSE, TRUE, FALSE);
        if (spots.DoModal() != IDOK)
            return CancelDigitalBeauty(&before);
    }
    {
        CDigitalBeautyDlg tone(parent);
        if (tone.DoModal() != IDOK)
            return CancelDigitalBeauty(&before);
    }
    CSkinEffectDlg effects(parent);
    if (effects.DoModal() != IDOK) {
        // "Advanced Digital Beauty..." goes on from steps 1 and 2; the
        // dialog records its own "Digital Beauty" step.
        if (effects.m_advancedChosen && RunRepairDlg<CNRCleanDlg>(parent) == IDOK)
            return IDOK;
        return CancelDigitalBeauty(&before);
    }
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextDigitalBeauty));
    return IDOK;
}
