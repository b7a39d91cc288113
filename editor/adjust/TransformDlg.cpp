#include "editor/adjust/TransformDlg.h"

#include "algorithms/RotateFlipAlgorithm.h"
#include "editor/adjust/ImageSizeDlg.h"
#include "editor/shell/BackgroundWork.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kTextCropQuestion = 20;
constexpr int kTextTransform = 22;
constexpr int kTextUnexpectedError = 137;
constexpr int kTextLockRatio = 241;
constexpr int kTextUnlockRatio = 242;
constexpr int kTextCropBanner = 244;
constexpr UINT kDialogIcon = 167;
constexpr int kPreviewStrip = 20;
constexpr int kBannerHeight = 24;
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr char kProfileSection[] = "FilterInitMax";
constexpr char kProfileKey[] = "Transform";

struct IconButton {
    UINT id, icon;
};
constexpr IconButton kIconButtons[6] = {{IDC_ROTATE_RIGHT, 159}, {IDC_ROTATE_LEFT, 160}, {IDC_MIRROR, 161},
                                        {IDC_FLIP, 162},         {IDC_CROP_TOOL, 163},   {IDC_TRANSFORM_SIZE, 317}};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

SIZE ImageSize(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

}  // namespace

namespace transform {

RECT BandToImage(POINT from, POINT to, const RECT& drawn, int imageWidth, int imageHeight)
{
    const int dw = std::max(1, Width(drawn)), dh = std::max(1, Height(drawn));
    auto x = [&](LONG v) {
        return std::clamp(static_cast<int>(static_cast<long long>(v - drawn.left) * imageWidth / dw), 0, imageWidth);
    };
    auto y = [&](LONG v) {
        return std::clamp(static_cast<int>(static_cast<long long>(v - drawn.top) * imageHeight / dh), 0, imageHeight);
    };
    return RECT{x(std::min(from.x, to.x)), y(std::min(from.y, to.y)), x(std::max(from.x, to.x)),
                y(std::max(from.y, to.y))};
}

std::string StatusText(const RECT& s)
{
    char text[160];
    std::snprintf(text, sizeof text, "top=%d left=%d bottom=%d right=%d width=%d height=%d", static_cast<int>(s.top),
                  static_cast<int>(s.left), static_cast<int>(s.bottom), static_cast<int>(s.right),
                  static_cast<int>(s.right - s.left), static_cast<int>(s.bottom - s.top));
    return text;
}

bool CropImage(CQLImage* image, const RECT& r)
{
    const SIZE size = ImageSize(*image);
    if (size.cx == 0 || size.cy == 0 || r.left < 0 || r.top < 0 || r.right > size.cx || r.bottom > size.cy ||
        r.right <= r.left || r.bottom <= r.top)
        return false;
    CQLImage cropped;
    if (cropped.Create(static_cast<UINT>(Width(r)), static_cast<UINT>(Height(r))) != 0)
        return false;
    const size_t rowBytes = static_cast<size_t>(Width(r)) * 4;
    for (int y = 0; y < Height(r); ++y)
        std::memcpy(cropped.GetBuffer(0, y), image->GetBuffer(r.left, r.top + y), rowBytes);
    *image = std::move(cropped);
    return true;
}

}  // namespace transform

BEGIN_MESSAGE_MAP(CTransformDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_BN_CLICKED(IDC_ROTATE_RIGHT, OnRotateRight)
    ON_BN_CLICKED(IDC_ROTATE_LEFT, OnRotateLeft)
    ON_BN_CLICKED(IDC_MIRROR, OnMirror)
    ON_BN_CLICKED(IDC_FLIP, OnFlip)
    ON_BN_CLICKED(IDC_CROP_TOOL, OnCropTool)
    ON_BN_CLICKED(IDC_TRANSFORM_SIZE, OnImageSize)
    ON_BN_CLICKED(IDC_LOCK_RATIO, OnLockRatio)
    ON_BN_CLICKED(IDC_TRANSFORM_MORE, OnMore)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
END_MESSAGE_MAP()

CTransformDlg::CTransformDlg(CWnd* parent, HMENU menu) : CSkinDialog(IDD_TRANSFORM, parent), moreMenu(menu) {}

int CTransformDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    return cropView.Create("", RECT{0, 0, 100, 100}, this, IDC_CROP_VIEW) ? 0 : -1;
}

BOOL CTransformDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    for (int i = 0; i < 6; ++i) {
        m_iconButtons[i].SubclassDlgItem(kIconButtons[i].id, this);
        m_iconButtons[i].SetIcons(kIconButtons[i].icon, kIconButtons[i].icon, 32, 32);
    }
    transformChanged = 0;
    if (!moreMenu)
        if (CWnd* more = GetDlgItem(IDC_TRANSFORM_MORE))
            more->ShowWindow(SW_HIDE);
    if (!transformWorkImage.DuplicateFrom(&thePhotoDocument.m_image)) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    cropView.SetImage(&transformWorkImage, FALSE);
    ShowCropView(FALSE);
    if (HICON icon = AfxGetApp()->LoadIcon(kDialogIcon)) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    transformMaximized = static_cast<int>(AfxGetApp()->GetProfileInt(kProfileSection, kProfileKey, 0));
    if (transformMaximized)
        ShowWindow(SW_MAXIMIZE);
    RECT client;
    GetClientRect(&client);
    Layout(Width(client), Height(client));
    SetTimer(kStatusTimer, 50);
    return TRUE;
}

void CTransformDlg::OnSize(UINT nType, int cx, int cy)
{
    CSkinDialog::OnSize(nType, cx, cy);
    if (nType == SIZE_MAXIMIZED)
        transformMaximized = 1;
    else if (nType == SIZE_RESTORED)
        transformMaximized = 0;
    Layout(cx, cy);
}

void CTransformDlg::Layout(int W, int H)
{
    if (!cropView.GetSafeHwnd())
        return;
    auto place = [this](UINT id, int x, int y, int w, int h) {
        if (CWnd* c = GetDlgItem(id))
            c->MoveWindow(x, y, w, h, FALSE);
    };
    place(IDC_ROTATE_LEFT, 10, 5, 35, 35);
    place(IDC_ROTATE_RIGHT, 45, 5, 35, 35);
    place(IDC_MIRROR, 10, 40, 35, 35);
    place(IDC_FLIP, 45, 40, 35, 35);
    place(IDC_CROP_TOOL, 10, H - 110, 35, 35);
    place(IDC_TRANSFORM_SIZE, 45, H - 110, 35, 35);
    place(IDC_LOCK_RATIO, 3, H - 67, 88, 25);
    place(IDC_TRANSFORM_VLINE, 92, 0, 2, H - 34);
    place(IDC_TRANSFORM_HLINE, 5, H - 35, W - 10, 2);
    cropView.MoveWindow(97, 29, W - 102, H - 62, FALSE);
    m_previewArea = RECT{97, 5, W - 5, H - 38};
    place(IDOK, W - 310, H - 30, 100, 25);
    place(IDCANCEL, W - 205, H - 30, 100, 25);
    place(IDC_TRANSFORM_MORE, W - 105, H - 30, 100, 25);
    place(IDC_TRANSFORM_STATUS, 10, H - 30, W - 320, 25);
    Invalidate();
}

void CTransformDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = 400;
    info->ptMinTrackSize.y = 500;
}

// ---- painting -----------------------------------------------------------------

void CTransformDlg::OnPaint()
{
    CPaintDC dc(this);
    if (cropMode)
        DrawBanner(&dc);
    else
        DrawPreview(&dc);
}

void CTransformDlg::DrawPreview(CDC* dc)
{
    const SIZE size = ImageSize(transformWorkImage);
    RECT area = m_previewArea;
    area.top += kPreviewStrip;
    if (size.cx == 0 || Width(area) <= 0 || Height(area) <= 0)
        return;
    m_drawnRect = FitRectToAspect(area, size.cx, size.cy);
    DrawImageFitted(dc, area.left, area.top, area.right, area.bottom, &transformWorkImage, kGrey, TRUE);
    RECT frame = m_drawnRect;
    InflateRect(&frame, 1, 1);
    dc->Draw3dRect(&frame, ::GetSysColor(COLOR_3DSHADOW), ::GetSysColor(COLOR_3DHILIGHT));
    if (m_dragging)
        DrawBand(dc);
}

void CTransformDlg::DrawBanner(CDC* dc)
{
    RECT strip{m_previewArea.left, m_previewArea.top, m_previewArea.right, m_previewArea.top + kBannerHeight};
    dc->FillSolidRect(&strip, kGrey);
    RECT label{strip.left + 2, strip.top + 2, strip.right - 5, strip.bottom - 5};
    RECT shadow = label;
    OffsetRect(&shadow, 2, 2);
    dc->FillSolidRect(&shadow, RGB(0, 0, 0));
    dc->FillSolidRect(&label, RGB(255, 255, 192));
    CFont* old = dc->SelectObject(GetFont());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    dc->DrawText(theUITextTable.GetText(kTextCropBanner), -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SelectObject(old);
}

void CTransformDlg::DrawBand(CDC* dc)
{
    const int oldRop = dc->SetROP2(R2_XORPEN);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc->SelectObject(&pen);
    CBrush* oldBrush = static_cast<CBrush*>(dc->SelectStockObject(NULL_BRUSH));
    dc->Rectangle(std::min(m_bandStart.x, m_bandEnd.x), std::min(m_bandStart.y, m_bandEnd.y),
                  std::max(m_bandStart.x, m_bandEnd.x) + 1, std::max(m_bandStart.y, m_bandEnd.y) + 1);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    dc->SetROP2(oldRop);
}

// ---- rubber band ----------------------------------------------------------------

BOOL CTransformDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    RECT grown = m_drawnRect;
    InflateRect(&grown, 5, 5);
    if (!cropMode && wnd == this && PtInRect(&grown, p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

void CTransformDlg::OnLButtonDown(UINT flags, CPoint point)
{
    RECT grown = m_drawnRect;
    InflateRect(&grown, 5, 5);
    if (cropMode || !PtInRect(&grown, point)) {
        CSkinDialog::OnLButtonDown(flags, point);
        return;
    }
    auto clampTo = [this](POINT p) {
        return POINT{std::clamp(p.x, m_drawnRect.left, m_drawnRect.right),
                     std::clamp(p.y, m_drawnRect.top, m_drawnRect.bottom)};
    };
    m_bandStart = m_bandEnd = clampTo(point);
    m_dragging = TRUE;
    SetCapture();
}

void CTransformDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_dragging) {
        CSkinDialog::OnMouseMove(flags, point);
        return;
    }
    CClientDC dc(this);
    DrawBand(&dc);
    m_bandEnd = POINT{std::clamp(point.x, m_drawnRect.left, m_drawnRect.right),
                      std::clamp(point.y, m_drawnRect.top, m_drawnRect.bottom)};
    DrawBand(&dc);
}

void CTransformDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (!m_dragging) {
        CSkinDialog::OnLButtonUp(flags, point);
        return;
    }
    {
        CClientDC dc(this);
        DrawBand(&dc);
    }
    m_dragging = FALSE;
    ReleaseCapture();
    const SIZE size = ImageSize(transformWorkImage);
    const RECT r = transform::BandToImage(m_bandStart, m_bandEnd, m_drawnRect, size.cx, size.cy);
    if (Width(r) > 0 && Height(r) > 0)
        EnterCropMode(r);
}

// ---- crop -------------------------------------------------------------------------

void CTransformDlg::ShowCropView(BOOL show)
{
    cropView.ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (CWnd* lock = GetDlgItem(IDC_LOCK_RATIO))
        lock->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CTransformDlg::EnterCropMode(const RECT& selection)
{
    cropMode = 1;
    cropView.ZoomToFit(FALSE);
    cropView.SetSelection(selection.left, selection.top, selection.right, selection.bottom, TRUE);
    ShowCropView(TRUE);
    Invalidate();
}

void CTransformDlg::LeaveCropMode()
{
    cropMode = 0;
    cropView.ClearSelection();
    ShowCropView(FALSE);
    Invalidate();
}

BOOL CTransformDlg::WholeImageSelected(const RECT& s) const
{
    const SIZE size = ImageSize(transformWorkImage);
    return s.left == 0 && s.top == 0 && s.right == size.cx && s.bottom == size.cy;
}

void CTransformDlg::OnCropTool()
{
    if (!cropMode) {
        const SIZE size = ImageSize(transformWorkImage);
        EnterCropMode(RECT{0, 0, size.cx, size.cy});
        return;
    }
    ApplyCrop(TRUE);
}

void CTransformDlg::ApplyCrop(BOOL ask)
{
    if (!cropMode)
        return;
    RECT selection;
    cropView.GetSelection(&selection);
    if (ask) {
        if (WholeImageSelected(selection))
            return;
        if (MessageBox(theUITextTable.GetText(kTextCropQuestion), "Crop", MB_YESNO) != IDYES) {
            LeaveCropMode();
            return;
        }
    }
    LeaveCropMode();
    UpdateWindow();
    const int cropped = RunInBackground(this, [&] { return transform::CropImage(&transformWorkImage, selection); });
    if (cropped) {
        transformChanged = 1;
        cropView.SetImage(&transformWorkImage, FALSE);
    }
    Invalidate();
}

LRESULT CTransformDlg::OnViewNotify(WPARAM code, LPARAM)
{
    if (code == kZoomNoticeConfirm)
        ApplyCrop(FALSE);
    return 0;
}

BOOL CTransformDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN)
        return CSkinDialog::PreTranslateMessage(pMsg);
    if (pMsg->wParam == VK_ESCAPE && cropMode)
        LeaveCropMode();
    else if (cropView.GetSafeHwnd())
        cropView.SendMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
    return TRUE;
}

// ---- status -----------------------------------------------------------------------

void CTransformDlg::OnTimer(UINT_PTR id)
{
    if (id == kStatusTimer)
        OnStatusTimer();
}

void CTransformDlg::OnStatusTimer()
{
    RECT s;
    cropView.GetSelection(&s);
    const BOOL has = !IsRectEmpty(&s);
    if (has) {
        if (!EqualRect(&s, &m_shownSelection) || !m_hadSelection)
            SetDlgItemText(IDC_TRANSFORM_STATUS, transform::StatusText(s).c_str());
        ShowCropView(TRUE);
        if (!m_hadSelection)
            SetLockLabel();
    } else if (m_hadSelection || cropView.IsWindowVisible()) {
        SetDlgItemText(IDC_TRANSFORM_STATUS, "");
        ShowCropView(FALSE);
    }
    m_shownSelection = s;
    m_hadSelection = has;
}

void CTransformDlg::SetLockLabel()
{
    SetDlgItemText(IDC_LOCK_RATIO,
                   theUITextTable.GetText(cropView.IsAspectLocked() ? kTextUnlockRatio : kTextLockRatio));
}

void CTransformDlg::OnLockRatio()
{
    cropView.EditAspectLock();
    SetLockLabel();
}

// ---- rotate, flip, size -----------------------------------------------------------

void CTransformDlg::RunRotateFlip(DWORD mode)
{
    CQLImage temporary;
    const int ok = RunInBackground(this, [&] {
        if (!temporary.DuplicateFrom(&transformWorkImage))
            return 0;
        RotateFlipAlgorithm rotate;
        rotate.SetImages(&temporary, &transformWorkImage);
        rotate.SetRange(0, 100);
        if (rotate.Apply(&mode) == 0)
            return 1;
        // A failed turn leaves the work copy as it was.
        transformWorkImage.DuplicateFrom(&temporary);
        return 0;
    });
    if (!ok) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    if (cropMode)
        LeaveCropMode();
    cropView.SetImage(&transformWorkImage, FALSE);
    transformChanged = 1;
    Invalidate();
}

void CTransformDlg::OnRotateRight() { RunRotateFlip(RotateFlipAlgorithm::RotateRight); }
void CTransformDlg::OnRotateLeft() { RunRotateFlip(RotateFlipAlgorithm::RotateLeft); }
void CTransformDlg::OnMirror() { RunRotateFlip(RotateFlipAlgorithm::MirrorLeftRight); }
void CTransformDlg::OnFlip() { RunRotateFlip(RotateFlipAlgorithm::FlipTopBottom); }

void CTransformDlg::OnImageSize()
{
    if (RunImageSizeDlg(this) != IDOK)
        return;
    // The photo was resized with its own step; what was done here is gone.
    RunInBackground(this, [this] { return transformWorkImage.DuplicateFrom(&thePhotoDocument.m_image); });
    if (cropMode)
        LeaveCropMode();
    cropView.SetImage(&transformWorkImage, FALSE);
    transformChanged = 0;
    Invalidate();
}

void CTransformDlg::OnMore()
{
    if (moreMenu) {
        RECT r;
        GetDlgItem(IDC_TRANSFORM_MORE)->GetWindowRect(&r);
        CWnd* main = AfxGetMainWnd();
        ::TrackPopupMenu(moreMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.right, r.top, 0,
                         main ? main->GetSafeHwnd() : GetSafeHwnd(), nullptr);
    }
    OnCancel();
}

// ---- closing ----------------------------------------------------------------------

void CTransformDlg::WriteMaximized()
{
    AfxGetApp()->WriteProfileInt(kProfileSection, kProfileKey, transformMaximized);
}

void CTransformDlg::OnOK()
{
    ApplyCrop(TRUE);
    if (transformChanged) {
        thePhotoDocument.m_image = std::move(transformWorkImage);
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(kTextTransform));
    }
    WriteMaximized();
    KillTimer(kStatusTimer);
    EndDialog(IDOK);
}

void CTransformDlg::OnCancel()
{
    WriteMaximized();
    KillTimer(kStatusTimer);
    CSkinDialog::OnCancel();
}

int RunTransformDlg(CWnd* parent, HMENU moreMenu)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CTransformDlg dialog(parent, moreMenu);
    return static_cast<int>(dialog.DoModal());
}

int RunTransformCommand(CMainFrame* frame)
{
    return RunTransformDlg(frame, nullptr);
}
