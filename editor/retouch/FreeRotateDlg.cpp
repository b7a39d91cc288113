#include "editor/retouch/FreeRotateDlg.h"
#include "editor/retouch/PictureSize.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr int kTextFreeRotate = 77;
constexpr int kTextUnexpectedError = 137;
constexpr UINT kRotateCursor = 252;
constexpr UINT kVerticalGuideIcon = 293;
constexpr UINT kHorizontalGuideIcon = 294;
constexpr COLORREF kPreviewBackground = RGB(220, 220, 220);
constexpr int kGuideGrip = 2;

}  // namespace

namespace freerotate {

double Angle(int dx, int dy)
{
    return std::atan2(static_cast<double>(dy), static_cast<double>(dx));
}

bool HitTest(POINT p, RECT picture)
{
    if (!CRect(picture).PtInRect(p))
        return false;
    const int cx = (picture.left + picture.right) / 2, cy = (picture.top + picture.bottom) / 2;
    return std::abs(p.x - cx) > kCentreDead || std::abs(p.y - cy) > kCentreDead;
}

int ClampGuide(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

}  // namespace freerotate

BEGIN_MESSAGE_MAP(CFreeRotateDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_BN_CLICKED(IDC_ROTATE_CW, OnRotateCW)
    ON_BN_CLICKED(IDC_ROTATE_CCW, OnRotateCCW)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CFreeRotateDlg::CFreeRotateDlg(CWnd* parent) : CSkinDialog(IDD_FREE_ROTATE, parent) {}

CFreeRotateDlg::~CFreeRotateDlg()
{
    // The final run writes this object's result.
    StopAndWait();
}

BOOL CFreeRotateDlg::OnInitDialog()
{
    m_angle = 0.0;
    m_guideX = m_guideY = 100;
    CSkinDialog::OnInitDialog();
    const SIZE s = PictureSize(thePhotoDocument.m_image);
    if (s.cx == 0 || s.cy == 0)
        return FALSE;
    const double scale = static_cast<double>(freerotate::kPreviewSide) / std::max(s.cx, s.cy);
    CQLImageCodec codec;
    if (!codec.Resample(&thePhotoDocument.m_image, &m_previewSource, std::max(1, static_cast<int>(s.cx * scale)),
                        std::max(1, static_cast<int>(s.cy * scale)), 1) ||
        !m_preview.DuplicateFrom(&m_previewSource))
        return FALSE;
    SendDlgItemMessage(IDC_ROTATE_PROGRESS, PBM_SETRANGE32, 0, 100);
    UpdateData(FALSE);
    ShowWindow(SW_MAXIMIZE);
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
    return TRUE;
}

void CFreeRotateDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_ROTATE_AUTO_CROP, m_autoCrop);
}

void CFreeRotateDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    Layout(cx, cy);
}

void CFreeRotateDlg::Layout(int w, int h)
{
    if (!GetDlgItem(IDOK))
        return;
    struct Place {
        UINT id;
        int x, y, w, h;
    };
    const Place places[] = {
        {IDC_ROTATE_LABEL, 5, 8, 300, 18},       {IDC_ROTATE_PICTURE, 5, 30, w - 10, h - 65},
        {IDC_ROTATE_PROGRESS, 5, h - 25, 100, 15}, {IDC_ROTATE_AUTO_CROP, 110, h - 28, 80, 20},
        {IDC_ROTATE_CCW, 200, h - 28, 80, 20},   {IDC_ROTATE_CW, 290, h - 28, 80, 20},
        {IDCANCEL, w - 220, h - 28, 100, 20},    {IDOK, w - 110, h - 28, 100, 20},
    };
    for (const Place& p : places)
        if (CWnd* item = GetDlgItem(p.id))
            item->MoveWindow(p.x, p.y, std::max(p.w, 1), std::max(p.h, 1));
    Invalidate();
}

RECT CFreeRotateDlg::PictureRect() const
{
    CWnd* item = GetDlgItem(IDC_ROTATE_PICTURE);
    if (!item)
        return RECT{};
    CRect r;
    item->GetWindowRect(&r);
    ScreenToClient(&r);
    return r;
}

void CFreeRotateDlg::UpdatePreview()
{
    BeginWaitCursor();
    m_algorithm.SetImages(&m_previewSource, &m_preview);
    m_algorithm.background = kPreviewBackground;
    m_algorithm.SetAlgorithmInput(0);
    if (m_algorithm.Apply(&m_angle) != 0)
        m_preview.DuplicateFrom(&m_previewSource);
    EndWaitCursor();
    Invalidate(FALSE);
}

void CFreeRotateDlg::Nudge(double step)
{
    if (m_running)
        return;
    m_angle += step;
    UpdatePreview();
}

void CFreeRotateDlg::OnRotateCW()
{
    Nudge(freerotate::kStep);
}

void CFreeRotateDlg::OnRotateCCW()
{
    Nudge(-freerotate::kStep);
}

int CFreeRotateDlg::GuideAt(CPoint point) const
{
    if (std::abs(point.x - m_guideX) <= kGuideGrip)
        return 1;
    if (std::abs(point.y - m_guideY) <= kGuideGrip)
        return 2;
    return 0;
}

BOOL CFreeRotateDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    CPoint p;
    GetCursorPos(&p);
    ScreenToClient(&p);
    if (!m_running && freerotate::HitTest(p, PictureRect())) {
        const int guide = GuideAt(p);
        ::SetCursor(guide == 1   ? LoadCursor(nullptr, IDC_SIZEWE)
                    : guide == 2 ? LoadCursor(nullptr, IDC_SIZENS)
                                 : ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kRotateCursor)));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

void CFreeRotateDlg::OnLButtonDown(UINT flags, CPoint point)
{
    CSkinDialog::OnLButtonDown(flags, point);
    if (m_running || !freerotate::HitTest(point, PictureRect()))
        return;
    SetCapture();
    m_dragging = TRUE;
    m_dragStart = point;
    m_dragMode = GuideAt(point);
}

void CFreeRotateDlg::OnMouseMove(UINT flags, CPoint point)
{
    CSkinDialog::OnMouseMove(flags, point);
    if (!m_dragging)
        return;
    const RECT r = PictureRect();
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    if (m_dragMode == 0)
        m_dragDelta = freerotate::Angle(point.x - cx, point.y - cy) -
                      freerotate::Angle(m_dragStart.x - cx, m_dragStart.y - cy);
    else if (m_dragMode == 1)
        m_guideX = freerotate::ClampGuide(point.x, r.left + freerotate::kGuideMargin, r.right - freerotate::kGuideMargin);
    else
        m_guideY = freerotate::ClampGuide(point.y, r.top + freerotate::kGuideMargin, r.bottom - freerotate::kGuideMargin);
    InvalidateRect(&r, FALSE);
}

void CFreeRotateDlg::OnLButtonUp(UINT flags, CPoint point)
{
    CSkinDialog::OnLButtonUp(flags, point);
    if (!m_dragging)
        return;
    ReleaseCapture();
    m_angle += m_dragDelta;
    m_dragDelta = 0.0;
    m_dragging = FALSE;
    UpdatePreview();
}

void CFreeRotateDlg::OnLButtonDblClk(UINT, CPoint)
{
    OnOK();
}

void CFreeRotateDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect picture(PictureRect());
    if (picture.IsRectEmpty())
        return;
    CRect inner = picture;
    inner.DeflateRect(1, 1);
    dc.FillSolidRect(&inner, kPreviewBackground);
    // The preview's scale keeps the unturned picture inside at any angle.
    CRect area = picture;
    area.DeflateRect(10, 10);
    const SIZE source = PictureSize(m_previewSource), shown = PictureSize(m_preview);
    const double diagonal = std::hypot(static_cast<double>(source.cx), static_cast<double>(source.cy));
    const double scale = diagonal > 0 ? std::min(area.Width(), area.Height()) / diagonal : 0;
    const double cx = area.left + area.Width() / 2.0, cy = area.top + area.Height() / 2.0;
    if (!m_dragging || m_dragMode != 0) {
        const int w = static_cast<int>(shown.cx * scale), h = static_cast<int>(shown.cy * scale);
        const int x = static_cast<int>(cx - w / 2.0), y = static_cast<int>(cy - h / 2.0);
        DrawImageFitted(&dc, x, y, x + w, y + h, &m_preview, kPreviewBackground, FALSE);
    } else {
        // The turned outline of the picture while it is dragged.
        const double a = m_angle + m_dragDelta, hw = source.cx * scale / 2, hh = source.cy * scale / 2;
        const double corners[4][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
        POINT points[5];
        for (int i = 0; i < 4; ++i)
            points[i] = POINT{static_cast<LONG>(cx + corners[i][0] * std::cos(a) - corners[i][1] * std::sin(a)),
                              static_cast<LONG>(cy + corners[i][0] * std::sin(a) + corners[i][1] * std::cos(a))};
        points[4] = points[0];
        CPen white(PS_SOLID, 1, RGB(255, 255, 255));
        CPen* old = dc.SelectObject(&white);
        const int rop = dc.SetROP2(R2_XORPEN);
        dc.Polyline(points, 5);
        dc.SetROP2(rop);
        dc.SelectObject(old);
    }
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* old = dc.SelectObject(&blue);
    dc.MoveTo(m_guideX, picture.top + 4);
    dc.LineTo(m_guideX, picture.bottom - 4);
    dc.MoveTo(picture.left + 4, m_guideY);
    dc.LineTo(picture.right - 4, m_guideY);
    dc.SelectObject(old);
    dc.DrawIcon(m_guideX - 4, picture.top + 10, ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kVerticalGuideIcon)));
    dc.DrawIcon(picture.left + 10, m_guideY - 4,
                ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kHorizontalGuideIcon)));
}

void CFreeRotateDlg::OnOK()
{
    if (m_running)
        return;
    UpdateData(TRUE);
    m_algorithm.SetImages(&thePhotoDocument.m_image, &m_result);
    m_algorithm.background = 0;
    m_algorithm.SetAlgorithmInput(m_autoCrop);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(&m_algorithm, &m_angle, 0, 0, 100)) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    m_running = TRUE;
    EnableCommands(FALSE);
}

void CFreeRotateDlg::EnableCommands(BOOL enable)
{
    for (UINT id : {UINT{IDOK}, IDC_ROTATE_CW, IDC_ROTATE_CCW})
        GetDlgItem(id)->EnableWindow(enable);
}

void CFreeRotateDlg::StopAndWait()
{
    if (!m_running)
        return;
    theAlgorithmThread.StopAlgorithm();
    while (theAlgorithmThread.IsBusy())
        Sleep(10);
    m_running = FALSE;
}

void CFreeRotateDlg::OnCancel()
{
    StopAndWait();
    CSkinDialog::OnCancel();
}

LRESULT CFreeRotateDlg::OnAlgorithmNotify(WPARAM kind, LPARAM value)
{
    if (!m_running)
        return 0;
    if (kind == 0) {
        SendDlgItemMessage(IDC_ROTATE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(value));
        return 0;
    }
    if (kind != 1)
        return 0;
    m_running = FALSE;
    SendDlgItemMessage(IDC_ROTATE_PROGRESS, PBM_SETPOS, 0);
    if (theAlgorithmThread.GetResult() != 0 || m_result.GetAreaByteSize() == 0) {
        EnableCommands(TRUE);
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return 0;
    }
    thePhotoDocument.m_image = std::move(m_result);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextFreeRotate));
    thePhotoDocument.m_history.SetRefreshFlag();
    EndDialog(IDOK);
    return 0;
}

int RunFreeRotateDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CFreeRotateDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
