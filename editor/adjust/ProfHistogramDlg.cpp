#include "editor/adjust/ProfHistogramDlg.h"

#include "editor/adjust/SaveColorTheme.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/ZoomView.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kReadyTimer = 123;
constexpr UINT kIconStraight = 201;
constexpr UINT kIconSmooth = 202;
constexpr UINT kIconPick = 203;
constexpr UINT kIconSaveTheme = 257;
constexpr int kIconMarker = 205;
constexpr int kTextHistograms = 35;
const char kMemoryError[] = "unexpected memory error";

const COLORREF kChannelColours[histcurve::kChannels] = {RGB(128, 128, 128), RGB(120, 0, 0), RGB(0, 120, 0),
                                                         RGB(0, 0, 255)};
const COLORREF kCurveColours[histcurve::kChannels] = {RGB(0, 0, 0), RGB(0x80, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)};

HICON ResourceIcon(UINT id)
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

COLORREF Grey(int v)
{
    return RGB(v, v, v);
}

void Line(CDC* dc, int x0, int y0, int x1, int y1)
{
    dc->MoveTo(x0, y0);
    dc->LineTo(x1, y1);
}

void Frame(CDC* dc, const RECT& r, COLORREF colour)
{
    CBrush brush(colour);
    dc->FrameRect(&r, &brush);
}

} // namespace

BEGIN_MESSAGE_MAP(CProfHistogramDlg, CFilterDlg)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_COMMAND_RANGE(IDC_HIST_POINTS3, IDC_HIST_POINTS7, OnPointCount)
    ON_BN_CLICKED(IDC_HIST_SMOOTH, OnSmooth)
    ON_CBN_SELCHANGE(IDC_HIST_CHANNEL, OnChannel)
    ON_BN_CLICKED(IDC_HIST_AUTO, OnAutoButton)
    ON_BN_CLICKED(IDC_HIST_PICK, OnPick)
    ON_BN_CLICKED(IDC_HIST_SAVE_THEME, OnSaveTheme)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
END_MESSAGE_MAP()

CProfHistogramDlg::CProfHistogramDlg(CWnd* parent) : CFilterDlg(IDD_PROF_HISTOGRAM, parent)
{
    for (auto& table : curves)
        for (int j = 0; j < 256; ++j)
            table[j] = static_cast<BYTE>(j);
}

CProfHistogramDlg::~CProfHistogramDlg()
{
    StopJobAndWait();
}

void CProfHistogramDlg::DoDataExchange(CDataExchange* pDX)
{
    CFilterDlg::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_HIST_CHANNEL, channel);
    DDX_Check(pDX, IDC_HIST_SMOOTH, smooth);
    DDX_Check(pDX, IDC_HIST_PICK, pickMode);
}

BOOL CProfHistogramDlg::OnInitDialog()
{
    dialogKey = "ProfHistogram";
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    CQLImage* current = CurrentImage();
    if (!source16.ConvertFromSimpleBitmap(current, 0) || !result.DuplicateFrom(current)) {
        ::SetCursor(old);
        AfxMessageBox(kMemoryError);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    histcurve::CountHistogram16(source16, histogram16);
    ::SetCursor(old);

    CFilterDlg::OnInitDialog();
    for (const char* name : {"RGB", "R", "G", "B"})
        SendDlgItemMessage(IDC_HIST_CHANNEL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    UpdateData(FALSE);
    SetSmoothIcon();
    GetDlgItem(IDC_HIST_PICK)->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ResourceIcon(kIconPick)));
    CheckRadioButton(IDC_HIST_POINTS3, IDC_HIST_POINTS7, IDC_HIST_POINTS3);
    GetDlgItem(IDC_HIST_SAVE_THEME)->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ResourceIcon(kIconSaveTheme)));
    ResetPoints(pointCount);
    levels.SetAlgorithmInput(&source16);
    ready = true;
    SetTimer(kReadyTimer, 200, nullptr);
    return TRUE;
}

void CProfHistogramDlg::SetSmoothIcon()
{
    GetDlgItem(IDC_HIST_SMOOTH)
        ->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ResourceIcon(smooth ? kIconSmooth : kIconStraight)));
}

RECT CProfHistogramDlg::GraphFrame() const
{
    RECT f{};
    if (CWnd* frame = GetDlgItem(IDC_HIST_GRAPH)) {
        frame->GetWindowRect(&f);
        ScreenToClient(&f);
    }
    return f;
}

RECT CProfHistogramDlg::CurveArea() const
{
    RECT c = GraphFrame();
    c.bottom = std::min(c.bottom, c.right);
    c.left += 1;
    c.bottom -= 1;
    return c;
}

RECT CProfHistogramDlg::StripRect() const
{
    const RECT f = GraphFrame();
    return RECT{f.left, CurveArea().bottom, f.right, f.bottom};
}

RECT CProfHistogramDlg::PlotRect() const
{
    RECT c = CurveArea();
    c.left += 9;
    c.bottom -= 9;
    return RECT{c.left + 10, c.top + 10, c.right - 10, c.bottom - 10};
}

void CProfHistogramDlg::PlaceHandles()
{
    const RECT plot = PlotRect();
    for (auto& channelPoints : points)
        for (int i = 0; i < pointCount; ++i)
            channelPoints[i].rect = histcurve::HandleRect(plot, channelPoints[i].x, channelPoints[i].y);
}

void CProfHistogramDlg::ResetPoints(int n)
{
    pointCount = n;
    for (int ch = 0; ch < histcurve::kChannels; ++ch) {
        histcurve::ResetPoints(points[ch], n);
        for (int j = 0; j < 256; ++j)
            curves[ch][j] = static_cast<BYTE>(j);
    }
    PlaceHandles();
}

void CProfHistogramDlg::RebuildTable(int ch)
{
    histcurve::BuildTable(points[ch], pointCount, smooth != 0, curves[ch]);
}

void CProfHistogramDlg::Auto()
{
    ResetPoints(3);
    UINT w = 0, h = 0;
    CurrentImage()->GetSize(&w, &h);
    const long long pixels = static_cast<long long>(w) * h;
    const int first = channel == 0 ? 0 : 1;
    const int last = channel == 0 ? 0 : 3;
    for (int ch = first; ch <= last; ++ch) {
        histcurve::AutoPoints(&histogram16[0][ch], 4, pixels, points[ch]);
        RebuildTable(ch);
    }
    PlaceHandles();
}

int CProfHistogramDlg::HandleAt(POINT p) const
{
    for (int i = 0; i < pointCount; ++i)
        if (::PtInRect(&points[channel][i].rect, p))
            return i;
    return -1;
}

void CProfHistogramDlg::RunAlgorithm()
{
    tables16.resize(4 * static_cast<std::size_t>(LevelsAlgorithm::kTableSize));
    for (int ch = 0; ch < histcurve::kChannels; ++ch)
        histcurve::Expand16(curves[ch], tables16.data() + ch * LevelsAlgorithm::kTableSize);
    levels.SetImages(CurrentImage(), GetWorkImage());
    levels.SetPerChannel(channel != 0);
    RunJob(&levels, tables16.data(), 0, 0, 100);
}

void CProfHistogramDlg::CountResultHistogram()
{
    std::fill(std::begin(resultHistogram), std::end(resultHistogram), 0u);
    UINT w = 0, h = 0;
    result.GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y) {
        const BYTE* p = result.GetBuffer(0, static_cast<int>(y));
        for (UINT x = 0; x < w; ++x, p += 4) {
            const int v = channel == 0 ? (6 * p[1] + 3 * p[2] + p[0]) / 10 : p[3 - channel];
            ++resultHistogram[v];
        }
    }
    histcurve::SmoothHistogram(resultHistogram);
}

void CProfHistogramDlg::OnAlgorithmDone(int tag, int jobResult)
{
    CFilterDlg::OnAlgorithmDone(tag, jobResult);
    if (!m_hWnd)
        return;
    if (modeBar.GetViewMode() != 0)
        resultView.ZoomToFit(FALSE);
    CountResultHistogram();
    if (!histogramReady) {
        histogramReady = true;
        KillTimer(kReadyTimer);
        Invalidate();
        return;
    }
    CClientDC dc(this);
    DrawStrip(&dc);
}

void CProfHistogramDlg::OnTimer(UINT_PTR id)
{
    if (id != kReadyTimer)
        return;
    KillTimer(kReadyTimer);
    histogramReady = true;
    Invalidate();
}

void CProfHistogramDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!histogramReady)
        return;
    DrawMarker(&dc);
    DrawStrip(&dc);
    DrawCurveArea(&dc);
}

void CProfHistogramDlg::DrawMarker(CDC* dc)
{
    RECT swatch{};
    GetDlgItem(IDC_HIST_SWATCH)->GetWindowRect(&swatch);
    ScreenToClient(&swatch);
    dc->FillSolidRect(&swatch, RGB(pickedColour.r, pickedColour.g, pickedColour.b));
    const int v = channel == 0 ? (pickedColour.b + 6 * pickedColour.g + 3 * pickedColour.r) / 10
                               : (channel == 1 ? pickedColour.r : channel == 2 ? pickedColour.g : pickedColour.b);
    const RECT f = GraphFrame();
    const int x = f.left + v * (f.right - f.left - 28) / 256 + 18;
    const int sx = (swatch.left + swatch.right) / 2;
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(sx, swatch.top);
    dc->LineTo(sx, swatch.top - 15);
    dc->LineTo(x, swatch.top - 15);
    dc->LineTo(x, f.bottom + 1);
    dc->SelectObject(old);
    if (HICON icon = ResourceIcon(kIconMarker))
        dc->DrawIcon(x - 4, f.bottom + 1, icon);
}

void CProfHistogramDlg::DrawStrip(CDC* dc)
{
    RECT s = StripRect();
    dc->FillSolidRect(&s, RGB(255, 255, 255));
    Frame(dc, RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}, RGB(0, 0, 0));
    const int width = s.right - s.left;
    const int height = s.bottom - s.top;
    if (width < histcurve::kMinStripWidth || histogram16.empty())
        return;
    std::uint32_t bins[256] = {};
    const int ch = channel;
    for (int i = 0; i < 65536; ++i)
        bins[i / 256] += histogram16[static_cast<std::size_t>(i)][ch];
    UINT w = 0, h = 0;
    CurrentImage()->GetSize(&w, &h);
    const std::uint32_t scale = histcurve::StripScale(bins, static_cast<long long>(w) * h);
    auto barHeight = [&](std::uint32_t count) {
        const std::uint32_t value = std::min(count, scale);
        const int bar = static_cast<int>(static_cast<long long>(value) * (height - 4) / scale);
        return value != 0 && bar == 0 ? 1 : bar;
    };
    CPen barPen(PS_SOLID, 1, ch == 0 ? RGB(0, 0, 0) : kChannelColours[ch]);
    CPen* old = dc->SelectObject(&barPen);
    for (int i = 18; i < width - 10; ++i) {
        const int bar = barHeight(bins[histcurve::StripBin(i, width)]);
        if (bar > 0)
            Line(dc, s.left + i, s.bottom - 2, s.left + i, s.bottom - 2 - bar);
    }
    std::vector<POINT> line;
    for (int i = 18; i < width - 10; i += 2)
        line.push_back(POINT{s.left + i, s.bottom - 2 - barHeight(resultHistogram[histcurve::StripBin(i, width)])});
    CPen linePen(PS_SOLID, 1, ch == 0 ? RGB(128, 128, 128) : RGB(0, 0, 0));
    dc->SelectObject(&linePen);
    dc->Polyline(line.data(), static_cast<int>(line.size()));
    dc->SelectObject(old);
    Frame(dc, RECT{s.left + 18, s.top + 1, s.right - 10, s.bottom - 1}, RGB(128, 128, 128));
}

void CProfHistogramDlg::DrawCurveArea(CDC* dc)
{
    RECT c = CurveArea();
    c.left += 9;
    c.bottom -= 9;
    dc->FillSolidRect(&c, RGB(255, 255, 255));
    Frame(dc, c, RGB(0, 0, 0));
    const RECT p = PlotRect();
    Frame(dc, p, RGB(0, 0, 0));
    // Grey ramps: down the left (white at the top), along the bottom
    // (dark at the left).
    const int rampH = c.bottom - c.top, rampW = c.right - c.left;
    for (int y = 0; y < rampH; ++y)
        dc->FillSolidRect(c.left - 9, c.top + y, 9, 1, Grey(255 - 255 * y / std::max(1, rampH)));
    for (int x = 0; x < rampW; ++x)
        dc->FillSolidRect(c.left + x, c.bottom, 1, 9, Grey(255 * x / std::max(1, rampW)));
    CPen grid(PS_DOT, 1, RGB(200, 200, 200));
    CPen* old = dc->SelectObject(&grid);
    for (int k = 1; k < 4; ++k) {
        const int x = p.left + (p.right - p.left) * k / 4;
        const int y = p.top + (p.bottom - p.top) * k / 4;
        Line(dc, x, p.top + 1, x, p.bottom - 1);
        Line(dc, p.left + 1, y, p.right - 1, y);
    }
    auto drawCurve = [&](int ch) {
        POINT line[256];
        for (int i = 0; i < 256; ++i)
            line[i] = POINT{p.left + (i * (p.right - p.left) + 128) / 256,
                            p.bottom - ((p.bottom - p.top) * curves[ch][i] + 128) / 256 - 1};
        CPen pen(PS_SOLID, 1, kCurveColours[ch]);
        dc->SelectObject(&pen);
        dc->Polyline(line, 256);
        dc->SelectObject(&grid);
    };
    if (channel == 0) {
        drawCurve(0);
    } else {
        for (int ch = 1; ch <= 3; ++ch)
            if (ch != channel)
                drawCurve(ch);
        drawCurve(channel);
    }
    dc->SelectObject(old);
    for (int i = 0; i < pointCount; ++i) {
        const auto& pt = points[channel][i];
        const RECT& r = pt.rect;
        const int mid = (r.left + r.right) / 2;
        dc->FillSolidRect(r.left, r.top, mid - r.left, r.bottom - r.top, Grey(pt.x));
        dc->FillSolidRect(mid, r.top, r.right - mid, r.bottom - r.top, Grey(pt.y));
        Frame(dc, r, RGB(0, 0, 0));
    }
}

BOOL CProfHistogramDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (wnd == this && histogramReady) {
        POINT p{};
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        if (!dragging)
            hovered = HandleAt(p);
        if (dragging || hovered != -1) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
            return TRUE;
        }
    }
    return CFilterDlg::OnSetCursor(wnd, hitTest, message);
}

void CProfHistogramDlg::OnLButtonDown(UINT, CPoint point)
{
    hovered = HandleAt(point);
    if (hovered == -1 || !histogramReady)
        return;
    SetCapture();
    dragging = true;
}

void CProfHistogramDlg::OnMouseMove(UINT, CPoint point)
{
    if (!dragging)
        return;
    histcurve::DragPoint(PlotRect(), point, points[channel], pointCount, hovered);
    RebuildTable(channel);
    CClientDC dc(this);
    DrawCurveArea(&dc);
}

void CProfHistogramDlg::OnLButtonUp(UINT, CPoint)
{
    if (!dragging)
        return;
    ReleaseCapture();
    dragging = false;
    UpdatePreview();
}

void CProfHistogramDlg::OnPointCount(UINT id)
{
    ResetPoints(id == IDC_HIST_POINTS3 ? 3 : id == IDC_HIST_POINTS5 ? 5 : 7);
    UpdatePreview();
    Invalidate(FALSE);
}

void CProfHistogramDlg::OnSmooth()
{
    UpdateData(TRUE);
    SetSmoothIcon();
    RebuildTable(channel);
    UpdatePreview();
    Invalidate(FALSE);
}

void CProfHistogramDlg::OnChannel()
{
    UpdateData(TRUE);
    Invalidate(FALSE);
    UpdatePreview();
}

void CProfHistogramDlg::OnAutoButton()
{
    UpdateData(TRUE);
    Auto();
    CheckRadioButton(IDC_HIST_POINTS3, IDC_HIST_POINTS7, IDC_HIST_POINTS3);
    Invalidate(FALSE);
    UpdatePreview();
}

void CProfHistogramDlg::OnPick()
{
    UpdateData(TRUE);
    if (pickMode)
        picker.Start(*this);
    else
        EndPicking();
}

void CProfHistogramDlg::EndPicking()
{
    pickMode = 0;
    CheckDlgButton(IDC_HIST_PICK, 0);
    picker.Stop(*this);
}

LRESULT CProfHistogramDlg::OnViewNotify(WPARAM code, LPARAM lParam)
{
    if (pickMode && picker.OnNotice(*this, code, lParam, &pickedColour)) {
        EndPicking();
        Invalidate(FALSE);
    }
    return 0;
}

void CProfHistogramDlg::OnSaveTheme()
{
    SaveColorTheme(histcurve::CurvesStep(channel, curves));
}

void CProfHistogramDlg::OnOK()
{
    if (!ready) {
        CFilterDlg::OnCancel();
        return;
    }
    if (WaitForFinalResult() != 0) {
        // The photo stays as it was; the dialog stays open for another try.
        AfxMessageBox(kMemoryError);
        return;
    }
    KillTimer(kReadyTimer);
    CurrentImage()->DuplicateFrom(&result);
    thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(kTextHistograms));
    if (CWnd* main = AfxGetMainWnd())
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CFilterDlg::OnOK();
}

void CProfHistogramDlg::OnCancel()
{
    KillTimer(kReadyTimer);
    if (ready)
        WaitUntilIdle();
    CFilterDlg::OnCancel();
}

int RunProfHistogramDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CProfHistogramDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
