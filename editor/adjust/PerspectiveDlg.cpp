#include "editor/adjust/PerspectiveDlg.h"

#include "editor/shell/BackgroundWork.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr int kTextPerspectiveCrop = 116;
constexpr int kTextUnexpectedError = 137;
constexpr int kInset = 10;     // corners placed this far inside
constexpr int kGap = 10;       // between opposite corners
constexpr int kMargin = 5;     // corners kept this far inside
constexpr COLORREF kMarginColour = RGB(192, 192, 192);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

namespace perspective {

void PlaceCorners(POINT c[4], int w, int h)
{
    c[kTopLeft] = POINT{kInset, kInset};
    c[kTopRight] = POINT{w - kInset, kInset};
    c[kBottomLeft] = POINT{kInset, h - kInset};
    c[kBottomRight] = POINT{w - kInset, h - kInset};
}

void ConstrainCorners(POINT c[4], int moved, int w, int h)
{
    for (int l : {kTopLeft, kBottomLeft})
        for (int r : {kTopRight, kBottomRight})
            if (c[l].x > c[r].x - kGap) {
                if (moved == r)
                    c[r].x = c[l].x + kGap;
                else
                    c[l].x = c[r].x - kGap;
            }
    for (int t : {kTopLeft, kTopRight})
        for (int b : {kBottomLeft, kBottomRight})
            if (c[t].y > c[b].y - kGap) {
                if (moved == b)
                    c[b].y = c[t].y + kGap;
                else
                    c[t].y = c[b].y - kGap;
            }
    for (int i = 0; i < 4; ++i) {
        c[i].x = std::clamp<LONG>(c[i].x, kMargin, std::max(kMargin, w - kMargin));
        c[i].y = std::clamp<LONG>(c[i].y, kMargin, std::max(kMargin, h - kMargin));
    }
}

int CornerAt(const POINT c[4], POINT p)
{
    for (int i = 0; i < 4; ++i)
        if (std::abs(c[i].x - p.x) < 4 && std::abs(c[i].y - p.y) < 4)
            return i;
    return -1;
}

PerspectiveParams ToImage(const POINT c[4], int shownW, int shownH, int imageW, int imageH)
{
    auto map = [&](POINT p) {
        return POINT{static_cast<LONG>(static_cast<long long>(p.x) * imageW / std::max(1, shownW)),
                     static_cast<LONG>(static_cast<long long>(p.y) * imageH / std::max(1, shownH))};
    };
    return PerspectiveParams{map(c[kTopLeft]), map(c[kTopRight]), map(c[kBottomLeft]), map(c[kBottomRight])};
}

void MakeOpaque(CQLImage* image)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    for (UINT y = 0; y < h; ++y) {
        BYTE* row = image->GetBuffer(0, static_cast<int>(y));
        for (UINT x = 0; x < w; ++x)
            row[x * 4 + 3] = 255;
    }
}

}  // namespace perspective

BEGIN_MESSAGE_MAP(CPerspectiveDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_BN_CLICKED(IDC_SHOW_SAMPLE, OnShowSample)
END_MESSAGE_MAP()

CPerspectiveDlg::CPerspectiveDlg(CWnd* parent) : CSkinDialog(IDD_PERSPECTIVE, parent) {}

BOOL CPerspectiveDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    char path[600];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, "perspectsample.bmp");
    if (sampleImage.LoadFromFile(path) != 0 || sampleImage.GetAreaByteSize() == 0) {
        MessageBox("File not found!", "", MB_OK);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    shownImage = &thePhotoDocument.m_image;
    ShowWindow(SW_MAXIMIZE);
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, Width(client), Height(client));
    return TRUE;
}

void CPerspectiveDlg::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    auto place = [this](UINT id, int x, int y, int w, int h) {
        if (CWnd* c = GetDlgItem(id))
            c->MoveWindow(x, y, w, h, FALSE);
    };
    place(IDC_PERSPECTIVE_HELP, 10, 10, cx - 20, 80);
    place(IDC_PERSPECTIVE_HINT, 35, 25, cx - 50, 40);
    place(IDC_SHOW_SAMPLE, 35, 60, cx - 50, 20);
    place(IDC_PERSPECTIVE_PANEL, 10, 100, cx - 20, cy - 135);
    place(IDCANCEL, cx - 220, cy - 30, 100, 20);
    place(IDOK, cx - 110, cy - 30, 100, 20);
    cropCorners[0].x = -1;  // placed anew at the next paint
    Invalidate();
}

// The panel is only a place: the dialog paints the picture there itself, so
// that the mouse and the XOR drawing share one surface.
void CPerspectiveDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* panel = GetDlgItem(IDC_PERSPECTIVE_PANEL);
    UINT w = 0, h = 0;
    if (shownImage)
        shownImage->GetSize(&w, &h);
    if (!panel || w == 0 || h == 0)
        return;
    RECT area;
    panel->GetWindowRect(&area);
    ScreenToClient(&area);
    InflateRect(&area, -4, -4);
    if (Width(area) <= 0 || Height(area) <= 0)
        return;
    perspectiveImageRect = FitRectToAspect(area, static_cast<int>(w), static_cast<int>(h));
    DrawImageFitted(&dc, area.left, area.top, area.right, area.bottom, shownImage, kMarginColour, TRUE);
    if (!CornersSet())
        perspective::PlaceCorners(cropCorners, Width(perspectiveImageRect), Height(perspectiveImageRect));
    if (shownImage == &thePhotoDocument.m_image) {
        perspective::ConstrainCorners(cropCorners, cornerDragging ? hotCorner : -1, Width(perspectiveImageRect),
                                      Height(perspectiveImageRect));
        DrawCorners(&dc);
    }
}

void CPerspectiveDlg::DrawCorners(CDC* dc)
{
    using namespace perspective;
    const POINT origin{perspectiveImageRect.left, perspectiveImageRect.top};
    auto at = [&](int i) { return POINT{origin.x + cropCorners[i].x, origin.y + cropCorners[i].y}; };
    const int oldRop = dc->SetROP2(R2_XORPEN);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc->SelectObject(&pen);
    const int order[5] = {kTopLeft, kTopRight, kBottomRight, kBottomLeft, kTopLeft};
    dc->MoveTo(at(order[0]));
    for (int i = 1; i < 5; ++i)
        dc->LineTo(at(order[i]));
    dc->SelectObject(oldPen);
    dc->SetROP2(oldRop);
    for (int i = 0; i < 4; ++i) {
        const POINT p = at(i);
        RECT outer{p.x - 3, p.y - 3, p.x + 4, p.y + 4};
        dc->FrameRect(&outer, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
        RECT inner{p.x - 2, p.y - 2, p.x + 3, p.y + 3};
        dc->FrameRect(&inner, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))));
    }
}

POINT CPerspectiveDlg::ToCornerSpace(POINT client) const
{
    return POINT{client.x - perspectiveImageRect.left, client.y - perspectiveImageRect.top};
}

BOOL CPerspectiveDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    const int corner = CornersSet() && shownImage == &thePhotoDocument.m_image && PtInRect(&perspectiveImageRect, p)
                           ? perspective::CornerAt(cropCorners, ToCornerSpace(p))
                           : -1;
    if (!cornerDragging)
        hotCorner = corner;
    if (corner >= 0 || cornerDragging) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

void CPerspectiveDlg::OnLButtonDown(UINT flags, CPoint point)
{
    if (hotCorner < 0) {
        CSkinDialog::OnLButtonDown(flags, point);
        return;
    }
    cornerDragging = TRUE;
    SetCapture();
}

void CPerspectiveDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (!cornerDragging || hotCorner < 0) {
        CSkinDialog::OnMouseMove(flags, point);
        return;
    }
    cropCorners[hotCorner] = ToCornerSpace(point);
    Invalidate(FALSE);
    UpdateWindow();
}

void CPerspectiveDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (!cornerDragging) {
        CSkinDialog::OnLButtonUp(flags, point);
        return;
    }
    cornerDragging = FALSE;
    ReleaseCapture();
}

// The corners belong to the photo's picture: no crop from the sample.
void CPerspectiveDlg::OnShowSample()
{
    showSample = IsDlgButtonChecked(IDC_SHOW_SAMPLE) == BST_CHECKED;
    shownImage = showSample ? &sampleImage : &thePhotoDocument.m_image;
    if (CWnd* crop = GetDlgItem(IDOK))
        crop->EnableWindow(!showSample);
    Invalidate();
}

void CPerspectiveDlg::OnOK()
{
    if (showSample || !CornersSet())
        return;
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    PerspectiveParams params = perspective::ToImage(cropCorners, Width(perspectiveImageRect),
                                                    Height(perspectiveImageRect), static_cast<int>(w),
                                                    static_cast<int>(h));
    const int ok = RunInBackground(this, [&] {
        PerspectiveAlgorithm mapping;
        mapping.SetImages(&thePhotoDocument.m_image, &perspectiveResult);
        if (mapping.Apply(&params) != 0 || perspectiveResult.GetAreaByteSize() == 0)
            return 0;
        perspective::MakeOpaque(&perspectiveResult);
        return 1;
    });
    if (!ok) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
        return;
    }
    thePhotoDocument.m_image = std::move(perspectiveResult);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextPerspectiveCrop));
    EndDialog(IDOK);
}

int RunPerspectiveDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CPerspectiveDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}

int RunPerspectiveCommand(CMainFrame* frame)
{
    return RunPerspectiveDlg(frame);
}
