#include "editor/shell/JpegOptimizeDlg.h"

#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "editor/shell/ExifJpegWriter.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/HintWnd.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Timing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr int kTextSaveForWeb = 9;
constexpr int kTextCannotSave = 18;
constexpr int kTextPreparing = 180;
constexpr int kTextOriginalPhoto = 181;
constexpr int kTextOriginalFile = 182;
constexpr int kTextOutputSize = 183;
constexpr int kTextOutputQuality = 184;
constexpr int kTextLimitedQuality = 185;
constexpr int kTextCustomize = 186;
constexpr int kTextNumberRange = 187;
constexpr int kTextHqColorHelp = 190;
constexpr int kTextAdaptiveHelp = 191;
constexpr int kTextOptimizeMoreHelp = 192;

constexpr int kMinNumber = 1, kMaxNumber = 10000;
constexpr UINT kMsgStart = WM_USER + 700;
constexpr UINT_PTR kNumberTimer = 1;
constexpr UINT kNumberDelayMs = 500;
constexpr int kSaveCopyWidth = 80;

const char* const kSizeModes[] = {"Do not change", "Width less than", "Height less than", "Long side less than"};
const char* const kTradeOffs[] = {"No limit", "Shrink image size for smaller file",
                                  "Decrease JPG quality for smaller file"};
const char kJpegFilter[] = "Jpeg File Format(*.jpg)|*.jpg||";

SaveWithSizeRunner g_saveWithSize = nullptr;

SIZE SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

bool SameSize(SIZE a, SIZE b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

std::string FolderOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? std::string(path, static_cast<std::size_t>(slash - path + 1)) : std::string();
}

// The colour test of "Auto set", run on the worker.
struct ColourTest {
    const CQLImage* image;
    int answer;
};

int RunColourTest(void* param, FilterHost*)
{
    auto* test = static_cast<ColourTest*>(param);
    test->answer = JpegSlimmingAlgorithm::HasStrongEdges(test->image);
    return 0;
}

} // namespace

void SetSaveWithSizeRunner(SaveWithSizeRunner run)
{
    g_saveWithSize = run;
}

SIZE SlimmedSize(int w, int h, int sizeMode, int pixels)
{
    if (sizeMode == 3)
        sizeMode = h < w ? 1 : 2;
    const long long n = pixels;
    if (sizeMode == 1 && n < w)
        return SIZE{static_cast<LONG>(n), static_cast<LONG>(std::max(1LL, h * n / w))};
    if (sizeMode == 2 && n < h)
        return SIZE{static_cast<LONG>(std::max(1LL, w * n / h)), static_cast<LONG>(n)};
    return SIZE{w, h};
}

int ResizeSharpenAmount(double scale)
{
    return scale < 0.5 ? 30 : static_cast<int>((1.0 - scale) * 50.0 + 5.0);
}

std::string ProposedJpegName(const char* title, int sizeMode, int width, int height, double outputKB)
{
    std::string name = title && *title ? title : "untittle";
    char part[64];
    if (sizeMode != 0) {
        std::snprintf(part, sizeof part, ".%dx%d", width, height);
        name += part;
    }
    std::snprintf(part, sizeof part, ".%.1fK", outputKB);
    return name + part + ".jpg";
}

BEGIN_MESSAGE_MAP(CJpegOptimizeDlg, CFilterDlg)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnWorkerNotify)
    ON_MESSAGE(kMsgStart, OnStart)
    ON_CBN_SELCHANGE(IDC_JPEG_SCHEME, OnSchemeSelected)
    ON_BN_CLICKED(IDC_JPEG_SCHEME_SAVE, OnSaveScheme)
    ON_BN_CLICKED(IDC_JPEG_SCHEME_DELETE, OnDeleteScheme)
    ON_BN_CLICKED(IDC_JPEG_HQ_COLOR, OnOptionClicked)
    ON_BN_CLICKED(IDC_JPEG_INCLUDE_EXIF, OnOptionClicked)
    ON_BN_CLICKED(IDC_JPEG_ADAPTIVE, OnOptionClicked)
    ON_BN_CLICKED(IDC_JPEG_OPTIMIZE_MORE, OnOptionClicked)
    ON_CBN_SELCHANGE(IDC_JPEG_SIZE_MODE, OnSizeModeChanged)
    ON_CBN_SELCHANGE(IDC_JPEG_TRADE_OFF, OnTradeOffChanged)
    ON_EN_CHANGE(IDC_JPEG_PIXELS, OnNumberChanged)
    ON_EN_CHANGE(IDC_JPEG_LIMIT, OnNumberChanged)
    ON_EN_KILLFOCUS(IDC_JPEG_PIXELS, OnNumberLeft)
    ON_EN_KILLFOCUS(IDC_JPEG_LIMIT, OnNumberLeft)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_JPEG_QUALITY, OnSliderReleased)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_JPEG_BLUR, OnSliderReleased)
    ON_WM_HSCROLL()
    ON_WM_TIMER()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_JPEG_AUTO_SET, OnAutoSet)
    ON_BN_CLICKED(IDC_JPEG_ADJUST_BY_SIZE, OnAdjustBySize)
    ON_BN_CLICKED(IDC_JPEG_SAVE_COPY, OnSaveCopy)
    ON_BN_CLICKED(IDC_JPEG_HQ_COLOR_HELP, OnHelpHqColor)
    ON_BN_CLICKED(IDC_JPEG_ADAPTIVE_HELP, OnHelpAdaptive)
    ON_BN_CLICKED(IDC_JPEG_OPTIMIZE_MORE_HELP, OnHelpOptimizeMore)
END_MESSAGE_MAP()

CJpegOptimizeDlg::CJpegOptimizeDlg(CWnd* parent, CMainFrame* frame)
    : CFilterDlg(IDD_JPEG_OPTIMIZE, parent), m_frame(frame)
{
    dialogKey = "JpegOptimizeDlg";
    m_exifBytes = thePhotoDocument.m_exif.GetExifByteSize(FALSE);
}

CJpegOptimizeDlg::~CJpegOptimizeDlg()
{
    StopJobAndWait();
}

// ---- values and controls ---------------------------------------------------

void CJpegOptimizeDlg::DoDataExchange(CDataExchange* pDX)
{
    CFilterDlg::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_JPEG_SCHEME, m_scheme);
    DDX_Slider(pDX, IDC_JPEG_QUALITY, m_quality);
    DDX_Check(pDX, IDC_JPEG_HQ_COLOR, m_hqColor);
    DDX_Check(pDX, IDC_JPEG_INCLUDE_EXIF, m_includeExif);
    DDX_Check(pDX, IDC_JPEG_ADAPTIVE, m_adaptive);
    DDX_Check(pDX, IDC_JPEG_OPTIMIZE_MORE, m_optimizeMore);
    DDX_Slider(pDX, IDC_JPEG_BLUR, m_blur);
    DDX_CBIndex(pDX, IDC_JPEG_SIZE_MODE, m_sizeMode);
    DDX_CBIndex(pDX, IDC_JPEG_TRADE_OFF, m_tradeOff);
    if (pDX->m_bSaveAndValidate) {
        // A number being typed counts once it is in range.
        m_pixels = ReadNumber(IDC_JPEG_PIXELS, m_pixels);
        m_limitKB = ReadNumber(IDC_JPEG_LIMIT, m_limitKB);
    } else {
        SetDlgItemInt(IDC_JPEG_PIXELS, static_cast<UINT>(m_pixels), FALSE);
        SetDlgItemInt(IDC_JPEG_LIMIT, static_cast<UINT>(m_limitKB), FALSE);
    }
}

int CJpegOptimizeDlg::ReadNumber(UINT id, int fallback) const
{
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(static_cast<int>(id), &ok, FALSE);
    return ok && value >= kMinNumber && value <= kMaxNumber ? static_cast<int>(value) : fallback;
}

void CJpegOptimizeDlg::ShowValues()
{
    ++m_showing;
    UpdateData(FALSE);
    --m_showing;
}

JpegSlimSettings CJpegOptimizeDlg::CollectSettings(BYTE jobMode, const char* path) const
{
    JpegSlimSettings s;
    s.valid = 1;
    s.quality = m_quality;
    s.chromaOption = static_cast<BYTE>(m_hqColor != 0);
    s.includeExif = static_cast<BYTE>(m_includeExif != 0);
    s.adaptive = static_cast<BYTE>(m_adaptive != 0);
    s.dctDenoise = static_cast<BYTE>(m_optimizeMore != 0);
    s.smoothPercent = m_blur;
    s.resizeMode = static_cast<BYTE>(m_sizeMode);
    s.resizeLength = m_pixels;
    s.sizeMode = static_cast<BYTE>(m_tradeOff);
    s.targetKB = BudgetLessExif(m_limitKB, ExifBytesIncluded());
    s.flags = jobMode;
    s.SetPath(path);
    return s;
}

int CJpegOptimizeDlg::ExifBytesIncluded() const
{
    return m_includeExif && m_exifBytes > 0 ? m_exifBytes : 0;
}

double CJpegOptimizeDlg::OutputKB() const
{
    return (static_cast<double>(m_outputBytes) + ExifBytesIncluded()) / 1024.0;
}

void CJpegOptimizeDlg::UpdateEnabling()
{
    auto enable = [this](UINT id, bool on) {
        if (CWnd* item = GetDlgItem(static_cast<int>(id)))
            item->EnableWindow(on ? TRUE : FALSE);
    };
    enable(IDC_JPEG_PIXELS, m_sizeMode != 0);
    enable(IDC_JPEG_LIMIT, m_tradeOff != 0);
    enable(IDC_JPEG_INCLUDE_EXIF, m_exifBytes > 0);
    enable(IDC_JPEG_ADJUST_BY_SIZE, g_saveWithSize && !m_saveTag);
    enable(IDC_JPEG_SCHEME_DELETE, SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETCURSEL) > 0);
}

void CJpegOptimizeDlg::EnableSaveButtons(BOOL on)
{
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), IDC_JPEG_SAVE_COPY})
        if (CWnd* item = GetDlgItem(static_cast<int>(id)))
            item->EnableWindow(on);
    // A new layer set-up would restart the preview and stop the save.
    if (!on) {
        m_layerWasEnabled = layerButton.IsWindowEnabled();
        layerButton.EnableWindow(FALSE);
    } else if (m_layerWasEnabled) {
        layerButton.EnableWindow(TRUE);
    }
    UpdateEnabling();
}

// ---- opening and layout ------------------------------------------------------

HBRUSH CJpegOptimizeDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT type)
{
    // A disabled number box asks as a static would; it keeps the edit's
    // own face rather than the dialog's pattern.
    if (wnd && (wnd->GetDlgCtrlID() == static_cast<int>(IDC_JPEG_PIXELS)
                || wnd->GetDlgCtrlID() == static_cast<int>(IDC_JPEG_LIMIT)))
        return CDialog::OnCtlColor(dc, wnd, type);
    return CFilterDlg::OnCtlColor(dc, wnd, type);
}

BOOL CJpegOptimizeDlg::OnInitDialog()
{
    CFilterDlg::OnInitDialog();
    if (!m_untouched.DuplicateFrom(CurrentImage())) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_qualitySlider.SubclassDlgItem(IDC_JPEG_QUALITY, this);
    m_qualitySlider.SetRange(1, 100);
    m_blurSlider.SubclassDlgItem(IDC_JPEG_BLUR, this);
    m_blurSlider.SetRange(0, 100);
    for (const char* text : kSizeModes)
        SendDlgItemMessage(IDC_JPEG_SIZE_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    for (const char* text : kTradeOffs)
        SendDlgItemMessage(IDC_JPEG_TRADE_OFF, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessage(IDC_JPEG_PIXELS, EM_LIMITTEXT, 5);
    SendDlgItemMessage(IDC_JPEG_LIMIT, EM_LIMITTEXT, 5);
    LoadSchemeList();
    ShowValues();
    UpdateEnabling();
    // The first resize shows its hint over the dialog, so it waits until
    // the dialog is up.
    PostMessage(kMsgStart);
    return TRUE;
}

LRESULT CJpegOptimizeDlg::OnStart(WPARAM, LPARAM)
{
    if (!ApplySizeRule()) {
        // The photo was left as it was.
        CFilterDlg::OnCancel();
        return 0;
    }
    m_started = 1;
    UpdateEnabling();
    OnAutoSet();
    return 0;
}

void CJpegOptimizeDlg::RecalcLayout()
{
    CFilterDlg::RecalcLayout();
    if (!layoutReady)
        return;
    const int w = templateRect.right - templateRect.left;
    RECT c;
    GetClientRect(&c);
    const int bottomRow = c.bottom - 35;
    if (CWnd* copy = GetDlgItem(IDC_JPEG_SAVE_COPY))
        copy->MoveWindow(w - 270, bottomRow, kSaveCopyWidth, 25);
    // The information list takes the height the taller dialog gives.
    if (CWnd* info = GetDlgItem(IDC_JPEG_INFO)) {
        RECT r;
        info->GetWindowRect(&r);
        ScreenToClient(&r);
        info->MoveWindow(r.left, r.top, r.right - r.left, std::max(40, static_cast<int>(bottomRow - 10 - r.top)));
    }
}

// ---- the size rule -----------------------------------------------------------

BOOL CJpegOptimizeDlg::ApplySizeRule()
{
    const SIZE original = SizeOf(m_untouched);
    const SIZE wanted = SlimmedSize(original.cx, original.cy, m_sizeMode, m_pixels);
    if (SameSize(wanted, m_appliedSize))
        return TRUE;
    StopPreview();
    CQLImage* current = CurrentImage();
    if (SameSize(wanted, original)) {
        if (!current->DuplicateFrom(&m_untouched))
            return FALSE;
    } else {
        CQLImage resized;
        ResampleAlgorithm resample;
        resample.SetOptions(0, 90, ResizeSharpenAmount(static_cast<double>(wanted.cx) / original.cx));
        resample.SetImages(&m_untouched, &resized);
        ResizeParams size{wanted.cx, wanted.cy};
        if (RunOnWorker(&resample, &size, true) != 0)
            return FALSE;
        std::swap(*current, resized);
    }
    m_appliedSize = wanted;
    sourceView.SetImage(current, FALSE);
    RecalcLayout();
    return TRUE;
}

void CJpegOptimizeDlg::StopPreview()
{
    rerunPending = 0;
    if (!JobPending())
        return;
    theAlgorithmThread.StopAlgorithm();
    WaitUntilIdle();
    rerunPending = 0;
}

int CJpegOptimizeDlg::RunOnWorker(EffectAlgorithm* alg, void* argument, bool showHint)
{
    CWnd* focused = CWnd::GetFocus();
    const HWND focus = focused ? focused->m_hWnd : nullptr;
    m_preparing = 1;
    EnableWindow(FALSE);
    StopPreview();
    CWinApp* app = AfxGetApp();
    if (app)
        app->DoWaitCursor(1);
    if (showHint && g_hintWnd && g_hintWnd->m_hWnd) {
        RECT r;
        GetWindowRect(&r);
        g_hintWnd->ShowAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, theUITextTable.GetText(kTextPreparing), this);
    }
    int result = E_FAIL;
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    m_workerJob = 1;
    if (theAlgorithmThread.RunAlgorithm(alg, argument, kTagPrepare, 0, 90)) {
        // Until its notice came, so that no later job takes it for its own.
        while (m_workerJob && m_hWnd) {
            qlafx::ProcessPendingEvents();
            Sleep(2);
        }
        result = theAlgorithmThread.GetResult();
    }
    m_workerJob = 0;
    percentBar.SetStateAndRedraw(0);
    if (showHint && g_hintWnd && g_hintWnd->m_hWnd) {
        CHintWnd::HideWnd(g_hintWnd);
        // The hint belongs to the main window; this dialog goes away.
        if (CWnd* main = AfxGetMainWnd(); main && main != this) {
            g_hintWnd->SetParent(main);
            g_hintWnd->m_owner = main;
        }
    }
    if (app)
        app->DoWaitCursor(-1);
    m_preparing = 0;
    EnableWindow(TRUE);
    if (focus && ::IsWindow(focus))
        ::SetFocus(focus);
    return result;
}

LRESULT CJpegOptimizeDlg::OnWorkerNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 1 && m_workerJob && lParam == kTagPrepare) {
        m_workerJob = 0;
        return 0;
    }
    return OnAlgorithmNotify(wParam, lParam);
}

// ---- preview -----------------------------------------------------------------

void CJpegOptimizeDlg::RunAlgorithm()
{
    if (!m_started || m_preparing)
        return;
    m_settings = CollectSettings(JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite, "");
    m_slim.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&m_slim, &m_settings, kTagPreview, 0, 100);
}

void CJpegOptimizeDlg::OnAlgorithmDone(int tag, int result)
{
    // The numbers are taken before a queued re-run starts the next job.
    if (result == 0 && (tag == kTagPreview || tag == kTagSave || tag == kTagSaveCopy)) {
        m_outputBytes = m_slim.jpegSize;
        m_outputSize = SizeOf(this->result);
        m_qualityScore = m_slim.GetQualityScore();
        m_limitedQuality = m_slim.chosenQuality;
        FillInformation();
    }
    if (tag == kTagSave || tag == kTagSaveCopy) {
        FinishSave(tag, result);
        if (tag == kTagSave && result == 0)
            return; // closing
    }
    CFilterDlg::OnAlgorithmDone(tag, result);
}

void CJpegOptimizeDlg::FillInformation()
{
    const SIZE photo = SizeOf(*CurrentImage());
    const double pixelBytes = static_cast<double>(photo.cx) * photo.cy * 3;
    const double outputPixelBytes = static_cast<double>(m_outputSize.cx) * m_outputSize.cy * 3;
    std::vector<std::string> lines;
    char line[512];
    std::snprintf(line, sizeof line, theUITextTable.GetText(kTextOutputSize), OutputKB(),
                  m_outputBytes ? outputPixelBytes / m_outputBytes : 0.0);
    lines.emplace_back(line);
    std::snprintf(line, sizeof line, theUITextTable.GetText(kTextOutputQuality), m_qualityScore);
    lines.emplace_back(line);
    if (m_limitedQuality > 0) {
        std::snprintf(line, sizeof line, theUITextTable.GetText(kTextLimitedQuality), m_limitedQuality);
        lines.emplace_back(line);
    }
    std::snprintf(line, sizeof line, theUITextTable.GetText(kTextOriginalPhoto), static_cast<int>(photo.cx),
                  static_cast<int>(photo.cy), pixelBytes / 1024.0);
    lines.emplace_back(line);
    if (thePhotoDocument.m_path[0]) {
        std::snprintf(line, sizeof line, theUITextTable.GetText(kTextOriginalFile), thePhotoDocument.m_fileSize / 1024.0);
        lines.emplace_back(line);
    }
    SendDlgItemMessage(IDC_JPEG_INFO, LB_RESETCONTENT);
    for (const std::string& text : lines)
        SendDlgItemMessage(IDC_JPEG_INFO, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// ---- changes ------------------------------------------------------------------

void CJpegOptimizeDlg::ValuesChanged(bool sizeRule)
{
    if (m_showing || !m_started || m_preparing)
        return;
    UpdateData(TRUE);
    m_custom = 1;
    m_scheme = 0;
    SendDlgItemMessage(IDC_JPEG_SCHEME, CB_SETCURSEL, 0);
    UpdateEnabling();
    if (m_saveTag) {
        // The save under way keeps its values; the preview follows these
        // when it ends.
        m_changedWhileSaving = 1;
        return;
    }
    if (sizeRule)
        ApplySizeRule();
    UpdatePreview();
}

void CJpegOptimizeDlg::OnOptionClicked()
{
    ValuesChanged(false);
}

void CJpegOptimizeDlg::OnSizeModeChanged()
{
    ValuesChanged(true);
}

void CJpegOptimizeDlg::OnTradeOffChanged()
{
    ValuesChanged(false);
}

void CJpegOptimizeDlg::OnSliderReleased(NMHDR*, LRESULT* result)
{
    *result = 0;
    ValuesChanged(false);
}

void CJpegOptimizeDlg::OnHScroll(UINT code, UINT, CScrollBar*)
{
    // Keys end with TB_ENDTRACK; the skinned sliders' mouse work arrives as
    // NM_RELEASEDCAPTURE.
    if (code == TB_ENDTRACK)
        ValuesChanged(false);
}

void CJpegOptimizeDlg::OnNumberChanged()
{
    if (m_showing || !m_started)
        return;
    // Typing "1024" resizes once, not four times.
    SetTimer(kNumberTimer, kNumberDelayMs, nullptr);
}

void CJpegOptimizeDlg::OnTimer(UINT_PTR id)
{
    if (id != kNumberTimer) {
        CFilterDlg::OnTimer(id);
        return;
    }
    KillTimer(kNumberTimer);
    ApplyNumbers();
}

void CJpegOptimizeDlg::ApplyNumbers()
{
    const int pixels = ReadNumber(IDC_JPEG_PIXELS, m_pixels);
    const int limit = ReadNumber(IDC_JPEG_LIMIT, m_limitKB);
    if (pixels != m_pixels || limit != m_limitKB)
        ValuesChanged(pixels != m_pixels);
}

void CJpegOptimizeDlg::OnNumberLeft()
{
    if (m_showing || !m_started || m_preparing)
        return;
    KillTimer(kNumberTimer);
    ApplyNumbers();
    for (UINT id : {IDC_JPEG_PIXELS, IDC_JPEG_LIMIT}) {
        const int kept = id == IDC_JPEG_PIXELS ? m_pixels : m_limitKB;
        if (ReadNumber(id, -1) == kept)
            continue;
        char text[128];
        std::snprintf(text, sizeof text, theUITextTable.GetText(kTextNumberRange), kMinNumber, kMaxNumber);
        ShowValues();
        AfxMessageBox(text);
        return;
    }
}

// ---- schemes ------------------------------------------------------------------

void CJpegOptimizeDlg::LoadSchemeList()
{
    m_schemes = LoadSaveSchemes();
    SendDlgItemMessage(IDC_JPEG_SCHEME, CB_RESETCONTENT);
    SendDlgItemMessage(IDC_JPEG_SCHEME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(theUITextTable.GetText(kTextCustomize)));
    SendDlgItemMessage(IDC_JPEG_SCHEME, CB_SETITEMDATA, 0, static_cast<LPARAM>(-1));
    for (std::size_t i = 0; i < m_schemes.size(); ++i) {
        const LRESULT line = SendDlgItemMessage(IDC_JPEG_SCHEME, CB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(m_schemes[i].name.c_str()));
        SendDlgItemMessage(IDC_JPEG_SCHEME, CB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(i));
    }
    m_scheme = 0;
    SendDlgItemMessage(IDC_JPEG_SCHEME, CB_SETCURSEL, 0);
}

void CJpegOptimizeDlg::OnSchemeSelected()
{
    SelectScheme(static_cast<int>(SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETCURSEL)));
}

void CJpegOptimizeDlg::SelectScheme(int line)
{
    const LRESULT data = line < 0 ? -1 : SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETITEMDATA, static_cast<WPARAM>(line));
    if (data < 0 || static_cast<std::size_t>(data) >= m_schemes.size()) {
        m_custom = 1;
        UpdateEnabling();
        return;
    }
    const JpegSlimSettings& s = m_schemes[static_cast<std::size_t>(data)].settings;
    m_quality = std::clamp(static_cast<int>(s.quality), 1, 100);
    m_hqColor = s.chromaOption != 0;
    m_includeExif = s.includeExif != 0;
    m_adaptive = s.adaptive != 0;
    m_optimizeMore = s.dctDenoise != 0;
    m_blur = std::clamp(static_cast<int>(s.smoothPercent), 0, 100);
    m_sizeMode = s.resizeMode;
    m_pixels = std::clamp(static_cast<int>(s.resizeLength), kMinNumber, kMaxNumber);
    m_tradeOff = s.sizeMode;
    m_limitKB = std::clamp(static_cast<int>(s.targetKB), kMinNumber, kMaxNumber);
    m_scheme = line;
    m_custom = 0;
    ShowValues();
    UpdateEnabling();
    if (m_saveTag)
        m_changedWhileSaving = 1;
    if (!m_started || m_saveTag)
        return;
    ApplySizeRule();
    UpdatePreview();
}

void CJpegOptimizeDlg::OnSaveScheme()
{
    UpdateData(TRUE);
    PromptAndSaveScheme(CollectSettings(JpegSlimSettings::kMeasure | JpegSlimSettings::kNoWrite, ""));
}

void CJpegOptimizeDlg::OnDeleteScheme()
{
    const int line = static_cast<int>(SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETCURSEL));
    if (line <= 0)
        return;
    const LRESULT data = SendDlgItemMessage(IDC_JPEG_SCHEME, CB_GETITEMDATA, static_cast<WPARAM>(line));
    if (data >= 0 && static_cast<std::size_t>(data) < m_schemes.size())
        DeleteSaveScheme(SaveSchemeFolder(), m_schemes[static_cast<std::size_t>(data)].name.c_str());
    LoadSchemeList();
    m_custom = 1;
    UpdateEnabling();
}

// ---- buttons --------------------------------------------------------------------

void CJpegOptimizeDlg::OnAutoSet()
{
    if (m_preparing || m_saveTag)
        return;
    ColourTest test{CurrentImage(), m_hqColor};
    FilterHost host;
    host.SetImages(CurrentImage(), CurrentImage());
    host.SetParam(&test);
    if (RunOnWorker(&host, reinterpret_cast<void*>(&RunColourTest), false) == 0) {
        m_hqColor = test.answer;
        ShowValues();
    }
    ValuesChanged(false);
}

void CJpegOptimizeDlg::OnAdjustBySize()
{
    if (!g_saveWithSize || m_preparing || m_saveTag)
        return;
    UpdateData(TRUE);
    // The photo as the slimming prepares it, before any JPEG.
    JpegSlimSettings prepare = CollectSettings(0, "");
    CQLImage prepared;
    m_slim.SetImages(CurrentImage(), &prepared);
    if (RunOnWorker(&m_slim, &prepare, true) != 0)
        return;
    int quality = m_quality;
    if (g_saveWithSize(this, &prepared, m_hqColor, ExifBytesIncluded(), m_adaptive ? m_slim.GetAdaptiveTable() : nullptr,
                       &quality)
        != IDOK)
        return;
    m_quality = std::clamp(quality, 1, 100);
    ShowValues();
    ValuesChanged(false);
}

void CJpegOptimizeDlg::OnHelpHqColor()
{
    AfxMessageBox(theUITextTable.GetText(kTextHqColorHelp), MB_OK | MB_ICONINFORMATION);
}

void CJpegOptimizeDlg::OnHelpAdaptive()
{
    AfxMessageBox(theUITextTable.GetText(kTextAdaptiveHelp), MB_OK | MB_ICONINFORMATION);
}

void CJpegOptimizeDlg::OnHelpOptimizeMore()
{
    AfxMessageBox(theUITextTable.GetText(kTextOptimizeMoreHelp), MB_OK | MB_ICONINFORMATION);
}

// ---- saving ---------------------------------------------------------------------

void CJpegOptimizeDlg::OnSaveCopy()
{
    SaveJpeg(kTagSaveCopy);
}

void CJpegOptimizeDlg::OnOK()
{
    SaveJpeg(kTagSave);
}

void CJpegOptimizeDlg::SaveJpeg(int tag)
{
    if (m_saveTag || m_preparing || !m_started)
        return;
    // The name tells the size of the preview made with these values.
    if (WaitForFinalResult() != 0) {
        AfxMessageBox(theUITextTable.GetText(kTextCannotSave));
        return;
    }
    char title[512];
    thePhotoDocument.GetFileTitle(title);
    const std::string name = ProposedJpegName(title, m_sizeMode, m_outputSize.cx, m_outputSize.cy, OutputKB());
    const std::string folder = FolderOf(thePhotoDocument.m_path);
    CFileDialog dialog(FALSE, "jpg", name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kJpegFilter, this);
    if (!folder.empty())
        dialog.m_ofn.lpstrInitialDir = folder.c_str();
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    JpegSlimSettings settings = CollectSettings(JpegSlimSettings::kMeasure, "");
    if (!settings.SetPath(path)) {
        AfxMessageBox(theUITextTable.GetText(kTextCannotSave));
        return;
    }
    m_settings = settings;
    m_savePath = static_cast<const char*>(path);
    m_saveTag = tag;
    m_changedWhileSaving = 0;
    EnableSaveButtons(FALSE);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    m_slim.SetImages(CurrentImage(), GetWorkImage());
    if (!RunJob(&m_slim, &m_settings, tag, 0, 100)) {
        m_saveTag = 0;
        EnableSaveButtons(TRUE);
        AfxMessageBox(theUITextTable.GetText(kTextCannotSave));
    }
}

void CJpegOptimizeDlg::FinishSave(int tag, int jobResult)
{
    m_saveTag = 0;
    EnableSaveButtons(TRUE);
    if (jobResult != 0) {
        // The file was written through a temporary one: nothing is left half done.
        AfxMessageBox(theUITextTable.GetText(kTextCannotSave));
        return;
    }
    // A failed EXIF write leaves the JPEG as the codec wrote it.
    if (ExifBytesIncluded() > 0)
        ExifJpegWriter::Apply(m_savePath.c_str(), thePhotoDocument.m_exif.GetFields());
    if (tag == kTagSave) {
        BecomeSavedFile();
        CFilterDlg::OnOK();
        return;
    }
    if (m_changedWhileSaving) {
        m_changedWhileSaving = 0;
        ApplySizeRule();
        UpdatePreview();
    }
}

void CJpegOptimizeDlg::BecomeSavedFile()
{
    // The photo is now the picture the file holds, one undo step away from
    // what it was, and it is that file: a later save back writes there, not
    // over the original.
    CPhotoDocument& doc = thePhotoDocument;
    std::swap(doc.m_image, result);
    doc.m_history.Push(&doc.m_image, theUITextTable.GetText(kTextSaveForWeb));
    std::snprintf(doc.m_path, sizeof doc.m_path, "%s", m_savePath.c_str());
    doc.m_fileSize = GetFileSize(doc.m_path);
    doc.m_exif.ReadFromFile(doc.m_path);
    doc.m_folderList.SetCurrent(doc.m_path);
    doc.m_history.SetModified(FALSE);
    if (m_frame && m_frame->m_hWnd)
        m_frame->SetPhotoTitle(doc.m_path);
}

void CJpegOptimizeDlg::OnCancel()
{
    if (m_saveTag || m_preparing)
        return;
    KillTimer(kNumberTimer);
    StopJobAndWait();
    if (m_untouched.GetAreaByteSize() != 0)
        std::swap(*CurrentImage(), m_untouched);
    CFilterDlg::OnCancel();
}

int RunJpegOptimizeDlg(CMainFrame* frame)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CJpegOptimizeDlg dialog(frame, frame);
    const int answer = static_cast<int>(dialog.DoModal());
    if (frame && frame->m_hWnd) {
        frame->m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
        frame->SwitchMenu();
    }
    return answer;
}
