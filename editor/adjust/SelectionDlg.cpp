#include "editor/adjust/SelectionDlg.h"

#include "editor/shell/BackgroundWork.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "algorithms/NumericHelpers.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kTextFeatherQuestion = 160;
constexpr int kToolSize = 20;
constexpr int kIconSize = 16;
constexpr int kToolX[CSelectionDlg::kToolCount] = {8, 29, 50, 71, 92, 113, 144};
constexpr int kToolId[CSelectionDlg::kToolCount] = {1, 2, 3, 4, 6, 7, 5};
constexpr COLORREF kToolOn = RGB(192, 200, 220);
constexpr COLORREF kToolFrame = RGB(128, 128, 192);
constexpr COLORREF kFrameFill = RGB(100, 100, 100);

enum ToolId { kToolPolygon = 1, kToolAdd = 2, kToolSubtract = 3, kToolClear = 4, kToolShowMask = 5, kToolInvert = 6,
              kToolRange = 7 };

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

CQLImage* CurrentImage() { return &thePhotoDocument.m_image; }

HICON ResourceIcon(UINT id) { return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id)); }

}  // namespace

BEGIN_MESSAGE_MAP(CSelectionDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
    ON_WM_HSCROLL()
    ON_BN_CLICKED(IDC_SELECTION_CLEAR, OnClear)
    ON_COMMAND_RANGE(ID_SELECT_SHADOW, ID_SELECT_EDGE, OnRangeCommand)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnAlgorithmNotify)
END_MESSAGE_MAP()

CSelectionDlg::CSelectionDlg(CWnd* parent) : CSkinDialog(IDD_SELECTION, parent)
{
    for (int i = 0; i < kToolCount; ++i)
        tools[i] = SelectionToolButton{&toolRects[i], 0, kToolId[i], static_cast<int>(IDI_SELECTION_POLYGON) + i};
}

CSelectionDlg::~CSelectionDlg() = default;

BOOL CSelectionDlg::OnInitDialog()
{
    UINT w = 0, h = 0, mw = 0, mh = 0;
    CurrentImage()->GetSize(&w, &h);
    eraseMask.GetSize(&mw, &mh);
    if (w != mw || h != mh)
        eraseMask.Free();
    mask = &eraseMask;
    CSkinDialog::OnInitDialog();
    MakeScreenCopy();
    tools[0].state = 1;
    // Through messages: the slider has no object of its own class here.
    SendDlgItemMessage(IDC_SELECTION_FEATHER, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendDlgItemMessage(IDC_SELECTION_FEATHER, TBM_SETPOS, TRUE, feather);
    SetTimer(kCursorTimer, 100, nullptr);
    CWinApp* app = AfxGetApp();
    if (!app || app->GetProfileInt("FilterInitMax", profileKey, 1) != 0)
        ShowWindow(SW_MAXIMIZE);
    RECT client;
    GetClientRect(&client);
    Layout(Width(client), Height(client));
    return TRUE;
}

void CSelectionDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = 600;
    info->ptMinTrackSize.y = 500;
}

void CSelectionDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    if (type == SIZE_MAXIMIZED || type == SIZE_RESTORED) {
        const int maximized = type == SIZE_MAXIMIZED;
        if (maximized != wasMaximized && wasMaximized >= 0)
            if (CWinApp* app = AfxGetApp())
                app->WriteProfileInt("FilterInitMax", profileKey, maximized);
        wasMaximized = maximized;
    }
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0)
        Layout(cx, cy);
}

void CSelectionDlg::Layout(int cx, int cy)
{
    const int l = 0, t = 0, r = cx, b = cy;
    auto place = [this](UINT id, int x, int y, int w, int h) {
        if (CWnd* c = GetDlgItem(id))
            c->MoveWindow(x, y, w, h, FALSE);
    };
    place(IDOK, r - 110, t + 10, 100, 22);
    place(IDCANCEL, r - 110, t + 35, 100, 22);
    stripRect = RECT{l + 8, t + 10, r - 118, t + 30};
    place(IDC_SELECTION_FEATHER_LABEL, stripRect.right - 200, t + 15, 50, 15);
    place(IDC_SELECTION_FEATHER, stripRect.right - 150, t + 10, 150, 20);
    place(IDC_SELECTION_HINT, stripRect.left, stripRect.bottom + 4, r - 118 - stripRect.left, 35);
    place(IDC_SELECTION_LINE, stripRect.left, stripRect.bottom + 41, r - 8 - stripRect.left, 2);
    for (int i = 0; i < kToolCount; ++i)
        toolRects[i] = RECT{l + kToolX[i], t + 10, l + kToolX[i] + kToolSize, t + 10 + kToolSize};
    frameRect = RECT{l + 8, t + 75, r - 8, b - 33};
    RECT inner{frameRect.left + 10, frameRect.top + 10, frameRect.right - 10, frameRect.bottom - 10};
    UINT w = 0, h = 0;
    CurrentImage()->GetSize(&w, &h);
    imageRect = Width(inner) > 0 && Height(inner) > 0 && w && h
                    ? FitRectToAspect(inner, static_cast<int>(w), static_cast<int>(h))
                    : RECT{};
    place(IDC_SELECTION_CLEAR, frameRect.right - 110, frameRect.bottom + 4, 100, 20);
    progressRect = RECT{frameRect.left, frameRect.bottom + 4, frameRect.right - 120, frameRect.bottom + 24};
    RenderPreview();
    Invalidate();
}

void CSelectionDlg::MakeScreenCopy()
{
    screenCopy.Free();
    scaled.Free();
    UINT w = 0, h = 0;
    CurrentImage()->GetSize(&w, &h);
    const int sw = std::max(::GetSystemMetrics(SM_CXSCREEN), 640);
    const int sh = std::max(::GetSystemMetrics(SM_CYSCREEN), 480);
    if (w == 0 || h == 0 || (static_cast<int>(w) <= sw && static_cast<int>(h) <= sh))
        return;
    const RECT fit = FitRectToAspect(RECT{0, 0, sw, sh}, static_cast<int>(w), static_cast<int>(h));
    const CQLImage* photo = CurrentImage();
    CQLImage copy;
    if (RunInBackground(this, [&] {
            CQLImageCodec codec;
            return codec.Resample(photo, &copy, Width(fit), Height(fit), 1);
        }))
        screenCopy = std::move(copy);
}

void CSelectionDlg::RenderPreview()
{
    const int w = Width(imageRect), h = Height(imageRect);
    UINT sw = 0, sh = 0;
    scaled.GetSize(&sw, &sh);
    if (w <= 0 || h <= 0) {
        preview.Free();
        return;
    }
    if (static_cast<int>(sw) != w || static_cast<int>(sh) != h) {
        CQLImageCodec codec;
        const CQLImage* source = screenCopy.GetAreaByteSize() ? &screenCopy : CurrentImage();
        if (!codec.Resample(source, &scaled, w, h, 1)) {
            scaled.Free();
            preview.Free();
            return;
        }
    }
    if (!preview.DuplicateFrom(&scaled))
        return;
    if (mask && mask->GetAreaByteSize() != 0) {
        CQLChannel small;
        if (ResizeChannel(mask, &small, w, h, 0, 0, -1, -1))
            selection::TintPreview(&preview, small, showMask != 0, highlightSelected != 0);
    } else if (showMask) {
        for (int y = 0; y < h; ++y) {
            BYTE* p = preview.GetBuffer(0, y);
            for (int x = 0; x < w; ++x, p += 4)
                p[0] = p[1] = p[2] = 255;
        }
    }
}

void CSelectionDlg::OnPaint()
{
    CPaintDC dc(this);
    DrawToolStrip(&dc);
    dc.FillSolidRect(&frameRect, kFrameFill);
    dc.Draw3dRect(&frameRect, RGB(0, 0, 0), RGB(220, 220, 220));
    if (preview.GetAreaByteSize() != 0)
        DrawImageFitted(&dc, imageRect.left, imageRect.top, imageRect.right, imageRect.bottom, &preview, kFrameFill,
                        FALSE);
    if (points.size() > 1) {
        const int oldRop = dc.SetROP2(R2_XORPEN);
        CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
        CPen* oldPen = dc.SelectObject(&pen);
        dc.MoveTo(points[0]);
        for (size_t i = 1; i < points.size(); ++i)
            dc.LineTo(points[i]);
        dc.SelectObject(oldPen);
        dc.SetROP2(oldRop);
    }
    rubberEnd = POINT{-1, -1};
    DrawProgress(&dc);
}

void CSelectionDlg::DrawToolStrip(CDC* dc)
{
    dc->FillRect(&stripRect, &theAppSettings.m_skinBrush);
    for (const SelectionToolButton& tool : tools) {
        const RECT& r = *tool.rect;
        if (tool.state == 1)
            dc->FillSolidRect(&r, kToolOn);
        if (HICON icon = ResourceIcon(static_cast<UINT>(tool.icon)))
            ::DrawIconEx(dc->GetSafeHdc(), r.left + (kToolSize - kIconSize) / 2, r.top + (kToolSize - kIconSize) / 2,
                         icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        if (tool.state != 0)
            dc->Draw3dRect(&r, kToolFrame, kToolFrame);
    }
}

void CSelectionDlg::DrawProgress(CDC* dc)
{
    if (Width(progressRect) <= 0)
        return;
    dc->FillRect(&progressRect, &theAppSettings.m_skinBrush);
    if (progressPercent % 100 == 0)
        return;
    RECT done = progressRect;
    done.right = done.left + Width(progressRect) * progressPercent / 100;
    dc->FillSolidRect(&done, RGB(128, 128, 128));
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", progressPercent);
    CFont* oldFont = dc->SelectObject(GetFont());
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(RGB(220, 220, 220));
    RECT textRect = progressRect;
    textRect.left += 5;
    dc->DrawText(text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void CSelectionDlg::OnProgress(int kind, int percent)
{
    if (kind != 0)
        return;
    progressPercent = percent;
    CClientDC dc(this);
    DrawProgress(&dc);
}

LRESULT CSelectionDlg::OnAlgorithmNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0)
        OnProgress(0, static_cast<int>(lParam));
    else if (wParam == 1)
        OnAlgorithmDone(static_cast<int>(lParam));
    return 0;
}

void CSelectionDlg::OnAlgorithmDone(int) {}

int CSelectionDlg::RunWork(const std::function<int(const selection::Progress&)>& work)
{
    const HWND self = m_hWnd;
    const selection::Progress progress = [self](int percent) {
        ::PostMessage(self, WM_ALGORITHM_NOTIFY, 0, percent);
    };
    const int saved = menuOpen;
    menuOpen = 1;
    const int result = RunInBackground(this, [&] { return work(progress); });
    menuOpen = saved;
    OnProgress(0, 0);
    return result;
}

// ---- tool strip ------------------------------------------------------------

int CSelectionDlg::ToolAt(POINT p) const
{
    for (int i = 0; i < kToolCount; ++i)
        if (::PtInRect(&toolRects[i], p))
            return i;
    return -1;
}

void CSelectionDlg::RefreshToolStates()
{
    for (SelectionToolButton& tool : tools) {
        const bool on = tool.id == kToolPolygon || (tool.id == kToolAdd && mode == selection::kAddSelection)
                        || (tool.id == kToolSubtract && mode == selection::kSubtractSelection)
                        || (tool.id == kToolShowMask && showMask);
        if (on)
            tool.state = 1;
        else if (tool.state == 1)
            tool.state = 0;
    }
    CClientDC dc(this);
    DrawToolStrip(&dc);
}

void CSelectionDlg::SetMode(int newMode, int byKey)
{
    mode = newMode;
    keyMode = byKey;
    RefreshToolStates();
    UpdateCursor();
}

void CSelectionDlg::ClickTool(int id)
{
    switch (id) {
    case kToolAdd:
        SetMode(mode == selection::kAddSelection ? selection::kNewSelection : selection::kAddSelection, 0);
        break;
    case kToolSubtract:
        SetMode(mode == selection::kSubtractSelection ? selection::kNewSelection : selection::kSubtractSelection, 0);
        break;
    case kToolClear:
        mask->Free();
        rawMask.Free();
        RenderPreview();
        Invalidate(FALSE);
        break;
    case kToolInvert:
        selection::InvertMask(mask);
        RenderPreview();
        Invalidate(FALSE);
        break;
    case kToolRange: {
        CMenu menu;
        if (!menu.LoadMenu(IDR_SELECTION_RANGE_MENU) || !menu.GetSubMenu(0))
            break;
        POINT corner{toolRects[5].right, toolRects[5].bottom};
        ClientToScreen(&corner);
        menuOpen = 1;
        const UINT command = static_cast<UINT>(::TrackPopupMenu(menu.GetSubMenu(0)->GetSafeHmenu(),
                                                                TPM_LEFTALIGN | TPM_RETURNCMD, corner.x, corner.y, 0,
                                                                m_hWnd, nullptr));
        menuOpen = 0;
        if (command)
            RunRangeCommand(command);
        break;
    }
    case kToolShowMask:
        showMask = !showMask;
        RenderPreview();
        Invalidate(FALSE);
        break;
    default:
        break;
    }
    RefreshToolStates();
}

void CSelectionDlg::OnRangeCommand(UINT id)
{
    RunRangeCommand(id);
}

void CSelectionDlg::RunRangeCommand(UINT command)
{
    if (command < ID_SELECT_SHADOW || command > ID_SELECT_EDGE)
        return;
    static constexpr int kHues[] = {0, 43, 85, 128, 170, 213};
    static constexpr selection::ToneRange kTones[] = {selection::kShadows, selection::kMidtones,
                                                      selection::kHighlights};
    const int index = static_cast<int>(command - ID_SELECT_SHADOW);
    const CQLImage* image = CurrentImage();
    CQLChannel fresh;
    const int made = RunWork([&](const selection::Progress& progress) {
        if (index < 3)
            return selection::SelectTone(*image, kTones[index], &fresh, progress) ? 1 : 0;
        if (index < 9)
            return selection::SelectHue(*image, kHues[index - 3], &fresh, progress) ? 1 : 0;
        return selection::SelectEdge(*image, &fresh, progress) ? 1 : 0;
    });
    if (!made)
        return;  // no memory: both masks stay as they were
    rawMask = std::move(fresh);
    bool featherIt = false;
    if (index < 9) {
        menuOpen = 1;
        featherIt = MessageBox(theUITextTable.GetText(kTextFeatherQuestion), nullptr, MB_YESNO | MB_ICONQUESTION) == IDYES;
        menuOpen = 0;
    }
    if (featherIt)
        Refeather();
    else
        mask->DuplicateFrom(&rawMask);
    RenderPreview();
    Invalidate(FALSE);
}

// ---- feather ---------------------------------------------------------------

void CSelectionDlg::Refeather()
{
    if (rawMask.GetAreaByteSize() == 0)
        return;
    CQLChannel result;
    const int value = feather;
    if (RunWork([&](const selection::Progress& progress) {
            return selection::FeatherMask(rawMask, value, &result, progress) ? 1 : 0;
        }))
        *mask = std::move(result);
}

void CSelectionDlg::SetFeather(int value)
{
    value = std::clamp(value, 0, 100);
    if (value == feather)
        return;
    feather = value;
    if (SendDlgItemMessage(IDC_SELECTION_FEATHER, TBM_GETPOS) != value)
        SendDlgItemMessage(IDC_SELECTION_FEATHER, TBM_SETPOS, TRUE, value);
    if (rawMask.GetAreaByteSize() == 0)
        return;
    Refeather();
    RenderPreview();
    Invalidate(FALSE);
}

void CSelectionDlg::OnHScroll(UINT code, UINT, CScrollBar* bar)
{
    if (!bar || bar->GetDlgCtrlID() != static_cast<int>(IDC_SELECTION_FEATHER) || code == TB_THUMBTRACK)
        return;
    SetFeather(static_cast<int>(SendDlgItemMessage(IDC_SELECTION_FEATHER, TBM_GETPOS)));
}

void CSelectionDlg::ClearSelection()
{
    mask->Free();
    rawMask.Free();
    RenderPreview();
    Invalidate(FALSE);
    UpdateWindow();
}

void CSelectionDlg::OnClear()
{
    ClearSelection();
}

// ---- polygon ---------------------------------------------------------------

bool CSelectionDlg::NearFirstPoint(POINT p) const
{
    return !points.empty() && std::abs(p.x - points[0].x) < 3 && std::abs(p.y - points[0].y) < 3;
}

void CSelectionDlg::AddPoint(POINT p)
{
    if (points.empty()) {
        if (mode == selection::kNewSelection) {
            mask->Free();
            rawMask.Free();
            RenderPreview();
            Invalidate(FALSE);
        }
        points.push_back(p);
        SetCapture();
        return;
    }
    if (NearFirstPoint(p)) {
        ClosePolygon();
        return;
    }
    points.push_back(p);
    Invalidate(FALSE);
}

void CSelectionDlg::ClosePolygon()
{
    if (points.size() >= 3) {
        points.push_back(points.front());
        UINT w = 0, h = 0;
        CurrentImage()->GetSize(&w, &h);
        const std::vector<POINT> mapped =
            selection::MapPoints(points, imageRect, static_cast<int>(w), static_cast<int>(h));
        CQLChannel fresh;
        if (selection::PolygonMask(mapped, static_cast<int>(w), static_cast<int>(h), &fresh)) {
            selection::CombineMask(&rawMask, &fresh, mode);
            if (rawMask.GetAreaByteSize() == 0)
                mask->Free();
            else
                Refeather();
            RenderPreview();
        }
    }
    points.clear();
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    Invalidate(FALSE);
}

void CSelectionDlg::DrawRubberBand(POINT to)
{
    if (points.empty())
        return;
    CClientDC dc(this);
    dc.IntersectClipRect(&imageRect);
    const int oldRop = dc.SetROP2(R2_XORPEN);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&pen);
    if (rubberEnd.x >= 0) {
        dc.MoveTo(points.back());
        dc.LineTo(rubberEnd);
    }
    dc.MoveTo(points.back());
    dc.LineTo(to);
    rubberEnd = to;
    dc.SelectObject(oldPen);
    dc.SetROP2(oldRop);
}

void CSelectionDlg::OnLButtonDown(UINT flags, CPoint point)
{
    const int tool = ToolAt(point);
    if (tool >= 0 && points.empty()) {
        ClickTool(tools[tool].id);
        return;
    }
    CSkinDialog::OnLButtonDown(flags, point);
}

void CSelectionDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (ignoreNextUp) {
        ignoreNextUp = 0;
        return;
    }
    if (::PtInRect(&imageRect, point) || !points.empty()) {
        POINT p = point;
        p.x = std::clamp<LONG>(p.x, imageRect.left, imageRect.right - 1);
        p.y = std::clamp<LONG>(p.y, imageRect.top, imageRect.bottom - 1);
        AddPoint(p);
        return;
    }
    CSkinDialog::OnLButtonUp(flags, point);
}

void CSelectionDlg::OnLButtonDblClk(UINT, CPoint)
{
    if (!points.empty())
        ClosePolygon();
    ignoreNextUp = 1;
}

void CSelectionDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (!points.empty()) {
        DrawRubberBand(point);
    } else {
        const int hover = ToolAt(point);
        bool changed = false;
        for (int i = 0; i < kToolCount; ++i) {
            if (tools[i].state == 1)
                continue;
            const int state = i == hover ? 2 : 0;
            changed |= tools[i].state != state;
            tools[i].state = state;
        }
        if (changed) {
            CClientDC dc(this);
            DrawToolStrip(&dc);
        }
    }
    CSkinDialog::OnMouseMove(flags, point);
}

// ---- keys and cursor -------------------------------------------------------

BOOL CSelectionDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && !keyMode) {
        if (msg->wParam == VK_SHIFT && mode == selection::kNewSelection)
            SetMode(selection::kAddSelection, 1);
        else if (msg->wParam == VK_CONTROL && mode == selection::kNewSelection)
            SetMode(selection::kSubtractSelection, 1);
    } else if (msg->message == WM_KEYUP && keyMode && (msg->wParam == VK_SHIFT || msg->wParam == VK_CONTROL)) {
        SetMode(selection::kNewSelection, 0);
    }
    return CSkinDialog::PreTranslateMessage(msg);
}

void CSelectionDlg::UpdateCursor()
{
    if (menuOpen)
        return;
    POINT p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    RECT client;
    GetClientRect(&client);
    if (!::PtInRect(&client, p))
        return;
    HCURSOR cursor = nullptr;
    if (ToolAt(p) >= 0) {
        cursor = ::LoadCursor(nullptr, IDC_HAND);
    } else if (::PtInRect(&imageRect, p)) {
        const UINT id = NearFirstPoint(p) ? IDC_CURSOR_POLYGON + 3 : IDC_CURSOR_POLYGON + static_cast<UINT>(mode);
        cursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
    }
    ::SetCursor(cursor ? cursor : ::LoadCursor(nullptr, IDC_ARROW));
}

BOOL CSelectionDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (menuOpen)
        return TRUE;
    if (hitTest != HTCLIENT || wnd != this)
        return CSkinDialog::OnSetCursor(wnd, hitTest, message);
    UpdateCursor();
    return TRUE;
}

void CSelectionDlg::OnTimer(UINT_PTR id)
{
    if (id == kCursorTimer && ::GetActiveWindow() == m_hWnd)
        UpdateCursor();
}

int RunSelectAreaDlg(CWnd* parent, const CQLChannel** result)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CSelectionDlg dlg(parent);
    const int code = static_cast<int>(dlg.DoModal());
    if (code == IDOK && result)
        *result = dlg.GetMask();
    return code;
}
