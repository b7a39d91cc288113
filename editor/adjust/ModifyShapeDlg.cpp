#include "editor/adjust/ModifyShapeDlg.h"

#include "editor/shell/BackgroundWork.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

namespace {

constexpr int kTextUnexpectedError = 137;
constexpr int kTextModifyShape = 141;
constexpr int kRenderTag = 337;
constexpr int kMinRange = 8;  // a smaller drag counts as none

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

SIZE ImageSize(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

}  // namespace

namespace modifyshape {

std::vector<int> FalloffTable(int radius)
{
    const double sigma = 0.4 * radius;
    std::vector<int> table(static_cast<size_t>(2 * std::max(radius, 0)));
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<int>(std::pow(2.7188282, -static_cast<double>(i * i) / (2 * sigma * sigma)) * 256);
    return table;
}

int CellSize(int radius)
{
    return std::max(radius / 4, 4);
}

bool WarpGrid::Allocate(int imageWidth, int imageHeight, int cell)
{
    cellSize = cell;
    columns = (imageWidth + cell - 1) / cell;
    rows = (imageHeight + cell - 1) / cell;
    try {
        pairs.assign(static_cast<size_t>(columns) * rows * 2, 0.0f);
    } catch (const std::bad_alloc&) {
        pairs.clear();
        return false;
    }
    return true;
}

void Deposit(WarpGrid& grid, const std::vector<int>& falloff, int radius, int x, int y, double dx, double dy)
{
    const int reach = 2 * radius, cell = grid.cellSize;
    // Only nodes inside the 4r box can be nearer than 2r.
    const int j0 = std::max(0, (x - reach) / cell), j1 = std::min(grid.columns - 1, (x + reach) / cell + 1);
    const int i0 = std::max(0, (y - reach) / cell), i1 = std::min(grid.rows - 1, (y + reach) / cell + 1);
    for (int i = i0; i <= i1; ++i)
        for (int j = j0; j <= j1; ++j) {
            const double ry = i * cell - y, rx = j * cell - x;
            const int l = static_cast<int>(std::lround(std::sqrt(ry * ry + rx * rx)));
            if (l >= reach || l >= static_cast<int>(falloff.size()))
                continue;
            const int w = falloff[static_cast<size_t>(l)] / 2;
            if (w == 0)
                continue;
            float* node = grid.Node(j, i);
            node[0] -= static_cast<float>(dx * w / 256);
            node[1] -= static_cast<float>(dy * w / 256);
        }
}

bool Stroke(WarpGrid& grid, const std::vector<int>& falloff, int radius, POINT a, POINT b, const PreviewMap& map)
{
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double f = std::sqrt(ex * ex + ey * ey);
    if (f == 0 || map.scale <= 0)
        return false;
    for (int k = 0; k < f; ++k) {
        const double px = std::round(a.x + k * ex / f), py = std::round(a.y + k * ey / f);
        const int x = static_cast<int>((px - map.active.left) / map.scale + map.visible.left);
        const int y = static_cast<int>((py - map.active.top) / map.scale + map.visible.top);
        const double part = (std::min(f, k + 1.0) - k) / f / map.scale;
        Deposit(grid, falloff, radius, x, y, ex * part, ey * part);
    }
    return true;
}

RECT RangeToImage(POINT from, POINT to, BOOL dragged, const RECT& drawn, int imageWidth, int imageHeight)
{
    RECT r{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)};
    if (!dragged || Width(r) < kMinRange || Height(r) < kMinRange)
        r = RECT{drawn.left + Width(drawn) / 4, drawn.top + Height(drawn) / 4, drawn.right - Width(drawn) / 4,
                 drawn.bottom - Height(drawn) / 4};
    const int dw = std::max(1, Width(drawn)), dh = std::max(1, Height(drawn));
    auto x = [&](LONG v) { return std::clamp<LONG>(static_cast<LONG>((v - drawn.left) * static_cast<long long>(imageWidth) / dw), 0, imageWidth); };
    auto y = [&](LONG v) { return std::clamp<LONG>(static_cast<LONG>((v - drawn.top) * static_cast<long long>(imageHeight) / dh), 0, imageHeight); };
    RECT image{x(r.left), y(r.top), x(r.right), y(r.bottom)};
    // At least one pixel, so that the zoom stays finite.
    image.right = std::max(image.right, std::min<LONG>(image.left + 1, imageWidth));
    image.bottom = std::max(image.bottom, std::min<LONG>(image.top + 1, imageHeight));
    return image;
}

void ZoomOnto(const RECT& range, int previewW, int previewH, int imageWidth, int imageHeight, double* scale,
              RECT* visible)
{
    const int rw = std::max(1, Width(range)), rh = std::max(1, Height(range));
    *scale = rw >= rh ? previewW / (2.0 * rw) : previewH / (2.0 * rh);
    const double cx = (range.left + range.right) / 2.0, cy = (range.top + range.bottom) / 2.0;
    const double hw = previewW / *scale / 2, hh = previewH / *scale / 2;
    *visible = RECT{std::clamp<LONG>(static_cast<LONG>(cx - hw), 0, imageWidth),
                    std::clamp<LONG>(static_cast<LONG>(cy - hh), 0, imageHeight),
                    std::clamp<LONG>(static_cast<LONG>(cx + hw), 0, imageWidth),
                    std::clamp<LONG>(static_cast<LONG>(cy + hh), 0, imageHeight)};
}

}  // namespace modifyshape

BEGIN_MESSAGE_MAP(CModifyShapeDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_HSCROLL()
    ON_BN_CLICKED(IDC_SHAPE_NEXT, OnNext)
    ON_BN_CLICKED(IDC_SHAPE_RESET, OnReset)
    ON_BN_CLICKED(IDC_SHAPE_UNDO, OnUndoRedo)
    ON_BN_CLICKED(IDC_SHOW_ORIGINAL, OnShowOriginal)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnWorkerNotify)
END_MESSAGE_MAP()

CModifyShapeDlg::CModifyShapeDlg(CWnd* parent) : CSkinDialog(IDD_MODIFY_SHAPE, parent) {}

CModifyShapeDlg::~CModifyShapeDlg()
{
    WaitForRender();
}

BOOL CModifyShapeDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (!workImage.DuplicateFrom(&thePhotoDocument.m_image)) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    EnableForStep();
    ShowWindow(SW_MAXIMIZE);
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, Width(client), Height(client));
    return TRUE;
}

void CModifyShapeDlg::EnableForStep()
{
    const BOOL two = InStepTwo();
    for (UINT id : {static_cast<UINT>(IDOK), IDC_SHAPE_RESET, IDC_SHAPE_UNDO})
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(two);
    if (CWnd* next = GetDlgItem(IDC_SHAPE_NEXT))
        next->EnableWindow(!two);
}

void CModifyShapeDlg::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    CWnd* line = GetDlgItem(IDC_SHAPE_SEPARATOR);
    if (!line)
        return;
    RECT r;
    line->GetWindowRect(&r);
    ScreenToClient(&r);
    const int panel = r.right + 5;
    line->MoveWindow(r.left, 0, Width(r), cy, FALSE);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(panel - 85, cy - 35, 80, 25, FALSE);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(panel - 180, cy - 35, 80, 25, FALSE);
    m_previewRect = RECT{panel + 5, 10, cx - 10, cy - 10};
    Invalidate();
}

void CModifyShapeDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = 640;
    info->ptMinTrackSize.y = 400;
}

// ---- painting -----------------------------------------------------------------

void CModifyShapeDlg::OnPaint()
{
    CPaintDC dc(this);
    m_brushOutline.clear();
    const CQLImage& source = showOriginal ? thePhotoDocument.m_image : workImage;
    const SIZE size = ImageSize(source);
    if (size.cx == 0 || Width(m_previewRect) <= 2 || Height(m_previewRect) <= 2)
        return;
    const RECT shown = InStepTwo() ? visibleRect : RECT{0, 0, size.cx, size.cy};
    if (Width(shown) <= 0 || Height(shown) <= 0)
        return;
    RECT inside = m_previewRect;
    InflateRect(&inside, -1, -1);
    m_drawnRect = FitRectToAspect(inside, Width(shown), Height(shown));
    dc.FillSolidRect(&inside, RGB(128, 128, 128));
    const int oldMode = dc.SetStretchBltMode(HALFTONE);
    const BITMAPINFO info = DibHeaderOf(source, Height(shown));
    ::StretchDIBits(dc.GetSafeHdc(), m_drawnRect.left, m_drawnRect.top, Width(m_drawnRect), Height(m_drawnRect),
                    shown.left, 0, Width(shown), Height(shown), source.GetBuffer(0, shown.top), &info, DIB_RGB_COLORS,
                    SRCCOPY);
    dc.SetStretchBltMode(oldMode);
    dc.FrameRect(&m_previewRect, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))));
    activeRect = m_drawnRect;
    InflateRect(&activeRect, -1, -1);
    if (InStepTwo()) {
        scale = static_cast<double>(Width(m_drawnRect)) / Width(visibleRect);
        return;
    }
    if (m_rangeDragged) {
        const int oldRop = dc.SetROP2(R2_XORPEN);
        CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
        CPen* oldPen = dc.SelectObject(&pen);
        CBrush* oldBrush = static_cast<CBrush*>(dc.SelectStockObject(NULL_BRUSH));
        dc.Rectangle(std::min(m_dragStart.x, m_dragEnd.x), std::min(m_dragStart.y, m_dragEnd.y),
                     std::max(m_dragStart.x, m_dragEnd.x), std::max(m_dragStart.y, m_dragEnd.y));
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
        dc.SetROP2(oldRop);
    }
}

void CModifyShapeDlg::XorOutline(CDC* dc)
{
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&activeRect);
    dc->SetROP2(R2_XORPEN);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    dc->SelectObject(&pen);
    dc->Polyline(m_brushOutline.data(), static_cast<int>(m_brushOutline.size()));
    dc->RestoreDC(saved);
}

void CModifyShapeDlg::EraseBrush(CDC* dc)
{
    if (m_brushOutline.empty())
        return;
    XorOutline(dc);
    m_brushOutline.clear();
}

void CModifyShapeDlg::DrawBrush(CDC* dc, POINT centre)
{
    EraseBrush(dc);
    const int radius = std::max(1, static_cast<int>(brushRadius * scale));
    for (int i = 0; i <= 32; ++i) {
        const double a = i * 2 * 3.14159265358979 / 32;
        m_brushOutline.push_back(POINT{centre.x + static_cast<LONG>(std::lround(radius * std::cos(a))),
                                       centre.y + static_cast<LONG>(std::lround(radius * std::sin(a)))});
    }
    XorOutline(dc);
}

// ---- mouse ----------------------------------------------------------------------

BOOL CModifyShapeDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (wnd == this && !InStepTwo() && PtInRect(&m_previewRect, p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

void CModifyShapeDlg::OnLButtonDown(UINT flags, CPoint point)
{
    if (!PtInRect(&m_previewRect, point)) {
        CSkinDialog::OnLButtonDown(flags, point);
        return;
    }
    if (!InStepTwo()) {
        m_dragStart = m_dragEnd = point;
        m_rangeDragged = TRUE;
    } else {
        undoGrid = grid;
        m_lastPoint = point;
    }
    m_dragging = TRUE;
    SetCapture();
}

void CModifyShapeDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (!InStepTwo()) {
        if (m_dragging) {
            m_dragEnd = POINT{std::clamp(point.x, activeRect.left, activeRect.right - 1),
                              std::clamp(point.y, activeRect.top, activeRect.bottom - 1)};
            Invalidate(FALSE);
        }
        CSkinDialog::OnMouseMove(flags, point);
        return;
    }
    CClientDC dc(this);
    if (PtInRect(&activeRect, point))
        DrawBrush(&dc, point);
    else
        EraseBrush(&dc);
    if (m_dragging) {
        ApplyStroke(m_lastPoint, point);
        m_lastPoint = point;
    }
}

void CModifyShapeDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (!m_dragging) {
        CSkinDialog::OnLButtonUp(flags, point);
        return;
    }
    m_dragging = FALSE;
    ReleaseCapture();
    if (InStepTwo())
        ApplyStroke(m_lastPoint, point);
}

void CModifyShapeDlg::ApplyStroke(POINT a, POINT b)
{
    if (showOriginal || !InStepTwo())
        return;
    if (modifyshape::Stroke(grid, falloff, brushRadius, a, b, Map())) {
        ++m_gridVersion;
        Render();
    }
}

// ---- steps and buttons --------------------------------------------------------------

void CModifyShapeDlg::OnNext()
{
    const SIZE size = ImageSize(workImage);
    rangeRect = modifyshape::RangeToImage(m_dragStart, m_dragEnd, m_rangeDragged, m_drawnRect, size.cx, size.cy);
    modifyshape::ZoomOnto(rangeRect, Width(m_previewRect), Height(m_previewRect), size.cx, size.cy, &scale,
                          &visibleRect);
    const int longest = std::max(Width(rangeRect), Height(rangeRect));
    const int limit = std::max(1, longest / 2);
    SendDlgItemMessage(IDC_BRUSH_SIZE, TBM_SETRANGE, TRUE, MAKELPARAM(1, limit));
    brushRadius = std::max(1, 2 * limit / 3);
    SendDlgItemMessage(IDC_BRUSH_SIZE, TBM_SETPOS, TRUE, brushRadius);
    falloff = modifyshape::FalloffTable(brushRadius);
    const int cell = modifyshape::CellSize(brushRadius);
    if (!grid.Allocate(size.cx, size.cy, cell) || !undoGrid.Allocate(size.cx, size.cy, cell)) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
        return;
    }
    m_rangeDragged = FALSE;
    EnableForStep();
    Invalidate();
}

// The fall-off follows the brush when the trackbar is let go.
void CModifyShapeDlg::OnHScroll(UINT code, UINT, CScrollBar*)
{
    if (code != TB_ENDTRACK && code != TB_THUMBPOSITION)
        return;
    brushRadius = std::max(1, static_cast<int>(SendDlgItemMessage(IDC_BRUSH_SIZE, TBM_GETPOS)));
    falloff = modifyshape::FalloffTable(brushRadius);
}

void CModifyShapeDlg::OnReset()
{
    std::fill(grid.pairs.begin(), grid.pairs.end(), 0.0f);
    ++m_gridVersion;
    Render();
}

void CModifyShapeDlg::OnUndoRedo()
{
    std::swap(grid, undoGrid);
    ++m_gridVersion;
    Render();
}

void CModifyShapeDlg::OnShowOriginal()
{
    showOriginal = IsDlgButtonChecked(IDC_SHOW_ORIGINAL) == BST_CHECKED;
    Invalidate();
}

// ---- rendering ------------------------------------------------------------------------

// One render at a time; requests meanwhile collapse into one re-run.
void CModifyShapeDlg::Render()
{
    if (m_jobRunning || theAlgorithmThread.IsBusy()) {
        m_rerun = TRUE;
        return;
    }
    StartRender();
}

void CModifyShapeDlg::StartRender()
{
    m_rerun = FALSE;
    m_warp.SetWarpGrid(grid.pairs.data(), grid.cellSize, grid.columns, grid.rows);
    m_warp.SetImages(&thePhotoDocument.m_image, &m_renderImage);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    m_jobVersion = m_gridVersion;
    m_jobRunning = theAlgorithmThread.RunAlgorithm(&m_warp, nullptr, kRenderTag, 0, 100);
}

LRESULT CModifyShapeDlg::OnWorkerNotify(WPARAM kind, LPARAM value)
{
    if (kind != 1 || value != kRenderTag || !m_jobRunning)
        return 0;
    m_jobRunning = FALSE;
    if (theAlgorithmThread.GetResult() == 0) {
        std::swap(workImage, m_renderImage);
        m_renderedVersion = m_jobVersion;
    }
    if (m_rerun)
        StartRender();
    Invalidate(FALSE);
    return 0;
}

void CModifyShapeDlg::WaitForRender()
{
    while (m_jobRunning && theAlgorithmThread.IsBusy())
        Sleep(10);
}

void CModifyShapeDlg::OnOK()
{
    if (!InStepTwo())
        return;
    WaitForRender();
    if (m_jobRunning) {
        m_jobRunning = FALSE;
        if (theAlgorithmThread.GetResult() == 0) {
            std::swap(workImage, m_renderImage);
            m_renderedVersion = m_jobVersion;
        }
    }
    // The latest strokes may not have been rendered yet.
    if (m_renderedVersion != m_gridVersion) {
        const int ok = RunInBackground(this, [this] {
            ModifyShapeAlgorithm warp;
            warp.SetWarpGrid(grid.pairs.data(), grid.cellSize, grid.columns, grid.rows);
            warp.SetImages(&thePhotoDocument.m_image, &m_renderImage);
            return warp.Apply(nullptr) == 0 ? 1 : 0;
        });
        if (!ok) {
            MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
            return;
        }
        std::swap(workImage, m_renderImage);
        m_renderedVersion = m_gridVersion;
    }
    m_rerun = FALSE;
    thePhotoDocument.m_image = std::move(workImage);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextModifyShape));
    grid = {};
    undoGrid = {};
    EndDialog(IDOK);
}

void CModifyShapeDlg::OnCancel()
{
    m_rerun = FALSE;
    WaitForRender();
    m_jobRunning = FALSE;
    CSkinDialog::OnCancel();
}

int RunModifyShapeDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CModifyShapeDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}

int RunModifyShapeCommand(CMainFrame* frame)
{
    return RunModifyShapeDlg(frame);
}
