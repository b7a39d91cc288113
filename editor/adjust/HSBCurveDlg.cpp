#include "editor/adjust/HSBCurveDlg.h"

#include "editor/adjust/SaveColorTheme.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/ZoomView.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kIconPick = 203;
constexpr UINT kIconSaveTheme = 257;
constexpr int kIconMarker = 205;
constexpr int kTextHSBCurve = 85;

HICON ResourceIcon(UINT id)
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

// An HSB triple of bytes as a GDI colour.
COLORREF Hsb(int hue, int saturation, int brightness)
{
    const CPixel rgb = qlcodec::HsbToRgb(CPixel{qlcodec::ClampByte(brightness), qlcodec::ClampByte(saturation),
                                                static_cast<BYTE>(hue), 0});
    return RGB(rgb.r, rgb.g, rgb.b);
}

void Frame(CDC* dc, const RECT& r, COLORREF colour)
{
    CBrush brush(colour);
    dc->FrameRect(&r, &brush);
}

const char kMemoryError[] = "unexpected memory error";

} // namespace

BEGIN_MESSAGE_MAP(CHSBCurveDlg, CFilterDlg)
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_CBN_SELCHANGE(IDC_HSB_MODE, OnMode)
    ON_BN_CLICKED(IDC_HSB_RESET, OnReset)
    ON_BN_CLICKED(IDC_HSB_PICK, OnPick)
    ON_BN_CLICKED(IDC_HSB_SAVE_THEME, OnSaveTheme)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
END_MESSAGE_MAP()

CHSBCurveDlg::CHSBCurveDlg(CWnd* parent) : CFilterDlg(IDD_HSB_CURVE, parent) {}

CHSBCurveDlg::~CHSBCurveDlg()
{
    StopJobAndWait();
}

void CHSBCurveDlg::DoDataExchange(CDataExchange* pDX)
{
    CFilterDlg::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_HSB_MODE, mode);
    DDX_Check(pDX, IDC_HSB_PICK, pickMode);
}

BOOL CHSBCurveDlg::OnInitDialog()
{
    dialogKey = "HSBCurve";
    if (!font.CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH, "Arial")) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    CFilterDlg::OnInitDialog();
    if (result.GetAreaByteSize() == 0) {
        // The base could not copy the photo.
        AfxMessageBox(kMemoryError);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    for (const char* name : {"Hue", "Saturation", "Brightness"})
        SendDlgItemMessage(IDC_HSB_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    UpdateData(FALSE);
    GetDlgItem(IDC_HSB_PICK)->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ResourceIcon(kIconPick)));
    GetDlgItem(IDC_HSB_SAVE_THEME)->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ResourceIcon(kIconSaveTheme)));
    PlaceHandles();
    ready = true;
    Invalidate();
    return TRUE;
}

RECT CHSBCurveDlg::OuterRect() const
{
    RECT r{};
    if (CWnd* frame = GetDlgItem(IDC_HSB_GRAPH)) {
        frame->GetWindowRect(&r);
        ScreenToClient(&r);
    }
    return RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

RECT CHSBCurveDlg::PlotRect() const
{
    const RECT o = OuterRect();
    return RECT{o.left + 5, o.top + 5, o.right - 5, o.bottom - 5};
}

void CHSBCurveDlg::PlaceHandles()
{
    const RECT plot = PlotRect();
    for (int m = 0; m < hsbcurve::kModes; ++m)
        hsbcurve::PlaceHandles(plot, Table(m), hsbPoints[m]);
}

void CHSBCurveDlg::Reset()
{
    hsbCurves = HsbCurveParams{};
    PlaceHandles();
}

int CHSBCurveDlg::HandleAt(POINT p) const
{
    for (int i = 0; i < hsbcurve::kHandles; ++i) {
        const RECT r = hsbcurve::HandleRect(hsbPoints[mode][i]);
        if (::PtInRect(&r, p))
            return i;
    }
    return -1;
}

void CHSBCurveDlg::RunAlgorithm()
{
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &hsbCurves, 0, 0, 100);
}

void CHSBCurveDlg::OnPaint()
{
    CPaintDC dc(this);
    if (ready)
        DrawGraph(&dc);
}

void CHSBCurveDlg::DrawGraph(CDC* dc)
{
    CFont* oldFont = dc->SelectObject(&font);
    const RECT o = OuterRect();
    const RECT P = PlotRect();
    dc->FillSolidRect(&o, RGB(255, 255, 255));
    Frame(dc, o, RGB(0, 0, 0));
    CPen grid(PS_SOLID, 1, RGB(128, 128, 128));
    CPen* oldPen = dc->SelectObject(&grid);
    for (int k = 1; k < 4; ++k) {
        const int y = P.top + (P.bottom - P.top) * k / 4;
        dc->MoveTo(P.left, y);
        dc->LineTo(P.right, y);
    }
    for (int k = 1; k < 6; ++k) {
        const int x = P.left + (P.right - P.left) * k / 6;
        dc->MoveTo(x, P.top);
        dc->LineTo(x, P.bottom);
    }
    const int mid = (P.top + P.bottom) / 2;
    const INT* tables[3] = {hsbCurves.hueShift, hsbCurves.saturationCurve, hsbCurves.brightnessCurve};
    CPen pens[3];
    pens[0].CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    pens[1].CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    pens[2].CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    for (int m = 0; m < 3; ++m) {
        POINT line[256];
        for (int j = 0; j < 256; ++j)
            line[j] = POINT{P.left + 1 + j * (P.right - P.left) / 256, mid - (P.bottom - P.top) * tables[m][j] / 256};
        dc->SelectObject(&pens[m]);
        dc->Polyline(line, 256);
    }
    dc->SelectObject(oldPen);
    for (const hsbcurve::HsbPoint& p : hsbPoints[mode]) {
        const RECT r = hsbcurve::HandleRect(p);
        COLORREF before = RGB(128, 128, 128), after = RGB(128 + p.value, 128 + p.value, 128 + p.value);
        if (mode == 0) {
            before = Hsb(p.x, 255, 128);
            after = Hsb(p.x + p.value, 255, 128);
        } else if (mode == 1) {
            before = Hsb(p.x, 128, 128);
            after = Hsb(p.x, 128 + p.value, 128);
        }
        dc->FillSolidRect(&r, before);
        dc->FillSolidRect(r.left + 5, r.top, 5, r.bottom - r.top, after);
        Frame(dc, r, RGB(0, 0, 0));
    }
    // The hue strip under the plot.
    const int width = P.right - P.left;
    const RECT strip{P.left, P.bottom + 10, P.right, P.bottom + 15};
    for (int c = 0; c < width; ++c)
        dc->FillSolidRect(strip.left + c, strip.top + 1, 1, 3, Hsb(c * 256 / std::max(1, width), 255, 128));
    Frame(dc, strip, RGB(0, 0, 0));
    // The picked colour and its hue on the axis.
    RECT swatch{};
    GetDlgItem(IDC_HSB_SWATCH)->GetWindowRect(&swatch);
    ScreenToClient(&swatch);
    dc->FillSolidRect(&swatch, RGB(pickedColour.r, pickedColour.g, pickedColour.b));
    const int hue = qlcodec::RgbToHsb(pickedColour).r;
    const int sx = (swatch.left + swatch.right) / 2;
    const int y = (P.bottom + swatch.top + 16) / 2;
    const int x = P.left + (P.right - P.left) * hue / 256;
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    dc->SelectObject(&black);
    dc->MoveTo(sx, swatch.top - 2);
    dc->LineTo(sx, y);
    dc->LineTo(x, y);
    dc->SelectObject(oldPen);
    if (HICON icon = ResourceIcon(kIconMarker))
        dc->DrawIcon(x - 4, y - 14, icon);
    dc->SelectObject(oldFont);
}

BOOL CHSBCurveDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (wnd == this && ready) {
        POINT p{};
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        if (dragging || HandleAt(p) != -1) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
            return TRUE;
        }
    }
    return CFilterDlg::OnSetCursor(wnd, hitTest, message);
}

void CHSBCurveDlg::OnLButtonDown(UINT, CPoint point)
{
    dragged = ready ? HandleAt(point) : -1;
    if (dragged == -1)
        return;
    SetCapture();
    dragging = true;
}

void CHSBCurveDlg::OnMouseMove(UINT, CPoint point)
{
    if (!dragging)
        return;
    hsbcurve::Drag(PlotRect(), point.y, hsbPoints[mode], dragged);
    hsbcurve::Rebuild(hsbPoints[mode], Table(mode));
    CClientDC dc(this);
    DrawGraph(&dc);
}

void CHSBCurveDlg::OnLButtonUp(UINT, CPoint)
{
    if (!dragging)
        return;
    ReleaseCapture();
    dragging = false;
    UpdatePreview();
}

void CHSBCurveDlg::OnMode()
{
    UpdateData(TRUE);
    Invalidate(FALSE);
    UpdatePreview();
}

void CHSBCurveDlg::OnReset()
{
    Reset();
    Invalidate(FALSE);
    UpdatePreview();
}

void CHSBCurveDlg::OnPick()
{
    UpdateData(TRUE);
    if (pickMode)
        picker.Start(*this);
    else
        EndPicking();
}

void CHSBCurveDlg::EndPicking()
{
    pickMode = 0;
    CheckDlgButton(IDC_HSB_PICK, 0);
    picker.Stop(*this);
}

LRESULT CHSBCurveDlg::OnViewNotify(WPARAM code, LPARAM lParam)
{
    if (pickMode && picker.OnNotice(*this, code, lParam, &pickedColour)) {
        EndPicking();
        Invalidate(FALSE);
    }
    return 0;
}

void CHSBCurveDlg::OnSaveTheme()
{
    ColorThemeStep step;
    step.type = ColorThemeStep::HsbCurve;
    std::memcpy(step.payload, &hsbCurves, sizeof hsbCurves);
    SaveColorTheme(step);
}

void CHSBCurveDlg::OnOK()
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
    font.DeleteObject();
    if (result.GetAreaByteSize() != 0) {
        CurrentImage()->DuplicateFrom(&result);
        thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(kTextHSBCurve));
    }
    if (CWnd* main = AfxGetMainWnd())
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CFilterDlg::OnOK();
}

void CHSBCurveDlg::OnCancel()
{
    WaitUntilIdle();
    font.DeleteObject();
    CFilterDlg::OnCancel();
}

int RunHSBCurveDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CHSBCurveDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
