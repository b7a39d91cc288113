#include "editor/retouch/PaintToolPanel.h"

#include "editor/retouch/PaintCanvas.h"
#include "editor/retouch/PaintHost.h"
#include "editor/retouch/PaintPictureIds.h"
#include "editor/retouch/PaintState.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/HintWnd.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CPaintToolPanel, CWnd)

BEGIN_MESSAGE_MAP(CPaintToolPanel, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kFace = RGB(220, 220, 220);
constexpr COLORREF kLight = RGB(240, 240, 240);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kRightStrip = RGB(192, 192, 192);
constexpr int kSliderWidth = 85;
constexpr int kBoxSize = 30;
constexpr int kFieldSize = 80;  // hue bar width, square side
constexpr int kTextBestFit = 4;
constexpr UINT kZoomMenuFirst = 0x9000;
constexpr int kMenuPercents[] = {25, 33, 50, 66, 100, 200, 400};

COLORREF ToColorRef(int32_t colour)
{
    BYTE b[4];
    std::memcpy(b, &colour, 4);
    return RGB(b[2], b[1], b[0]);
}

int32_t FromColorRef(COLORREF colour)
{
    const BYTE b[4] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
    int32_t out;
    std::memcpy(&out, b, 4);
    return out;
}

COLORREF HsbColour(int hue, int saturation, int brightness)
{
    BYTE p[4] = {static_cast<BYTE>(brightness), static_cast<BYTE>(saturation), static_cast<BYTE>(hue), 0};
    qlcodec::HsbToRgbPixel(p);
    return RGB(p[2], p[1], p[0]);
}

HICON ResourceIcon(int id)
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
}

void DrawIcon32(CDC* dc, const RECT& r, HICON icon)
{
    if (!icon)
        return;
    const int x = (r.left + r.right) / 2 - 16, y = (r.top + r.bottom) / 2 - 16;
    ::DrawIconEx(dc->GetSafeHdc(), x, y, icon, 32, 32, 0, nullptr, DI_NORMAL);
}

void DrawSeparator(CDC* dc, int x, int y, int width)
{
    dc->FillSolidRect(x, y, width, 1, kShadow);
    dc->FillSolidRect(x, y + 1, width, 1, RGB(255, 255, 255));
}

void DrawPixels(CDC* dc, int x, int y, const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    ::SetDIBitsToDevice(dc->GetSafeHdc(), x, y, w, h, 0, 0, 0, h, image.GetBuffer(0, 0), &info, DIB_RGB_COLORS);
}

}  // namespace

CPaintToolPanel::CPaintToolPanel()
{
    thePaintState.Reset();
    thePaintState.panel = this;
}

CPaintToolPanel::~CPaintToolPanel()
{
    if (thePaintState.panel == this)
        thePaintState.panel = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

int CPaintToolPanel::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    LOGFONT font{};
    font.lfHeight = 12;
    font.lfWeight = FW_NORMAL;
    std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "Arial");
    m_font.CreateFontIndirect(&font);
    m_markerIcon = ResourceIcon(kPaintMarkerIcon);
    CHintWnd::HideWnd(g_hintWnd);
    BuildToolList();
    SetTimer(kHintTimer, 100, nullptr);
    return 0;
}

void CPaintToolPanel::BuildToolList()
{
    m_entries.clear();
    m_entries.reserve(64);
    auto add = [this](int id, RECT rect, int icon, int activeIcon, const char* tip, bool selectable) {
        PaintToolEntry entry{};
        entry.rect = rect;
        entry.icon = ResourceIcon(icon);
        entry.activeIcon = ResourceIcon(activeIcon);
        std::snprintf(entry.tooltip, sizeof entry.tooltip, "%s", tip);
        entry.id = id;
        entry.selectable = selectable;
        m_entries.push_back(entry);
    };
    add(kZoomTool, RECT{8, 8, 48, 48}, kPaintZoomIcon, kPaintZoomActiveIcon,
        "Zoom In/Out\nPress 'Ctrl' for Zoom out\nAccelerator: Alt +/-", true);
    add(kMoveTool, RECT{52, 8, 92, 48}, kPaintMoveIcon, kPaintMoveActiveIcon, "Move", true);
    add(kPickTool, RECT{}, kPaintPickIcon, kPaintPickIcon, "Pick color", true);
    add(kSwapAction, RECT{}, kPaintSwapIcon, kPaintSwapIcon, "Swap color", false);
    add(kResetAction, RECT{}, kPaintResetIcon, kPaintResetIcon, "Reset color", false);
    m_current = m_previous = 0;
    m_entries[0].selected = 1;
    for (size_t i = 0; i < m_modules.size(); ++i) {
        PaintToolEntry entry{};
        PaintHost::FillRecord(entry.record, m_modules[i].module);
        if (!m_modules[i].entry || m_modules[i].entry(kPluginFillRecord, &entry.record, nullptr) != 0)
            continue;  // a refusal leaves its cell empty
        const int column = static_cast<int>(i % 3), row = static_cast<int>(i / 3);
        entry.rect = RECT{4 + 30 * column, 85 + 30 * row, 34 + 30 * column, 115 + 30 * row};
        entry.icon = entry.record.icon;
        entry.activeIcon = entry.record.icon2;
        std::memcpy(entry.tooltip, entry.record.tooltip, sizeof entry.record.tooltip);
        entry.tooltip[sizeof entry.record.tooltip - 1] = '\0';
        entry.id = static_cast<int32_t>(i) + kFirstPluginId;
        entry.selectable = 1;
        m_entries.push_back(entry);
    }
    RECT client{0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&client);
    PlaceColourButtons(client.right, client.bottom);
}

void CPaintToolPanel::PlaceColourButtons(int w, int h)
{
    if (m_entries.size() <= kResetAction)
        return;
    m_entries[kPickTool].rect = RECT{w - 25, h - 35, w - 5, h - 15};
    m_entries[kSwapAction].rect = RECT{w - 25, h - 55, w - 5, h - 35};
    m_entries[kResetAction].rect = RECT{w - 25, h - 75, w - 5, h - 55};
}

void CPaintToolPanel::OnSize(UINT, int cx, int cy)
{
    PlaceColourButtons(cx, cy);
}

int CPaintToolPanel::GetCurrentToolId() const
{
    return m_current >= 0 && m_current < static_cast<int>(m_entries.size()) ? m_entries[m_current].id : kZoomTool;
}

PaintToolRecord* CPaintToolPanel::FindToolRecord(int id)
{
    if (id >= kZoomTool && id <= kResetAction)
        return nullptr;
    for (PaintToolEntry& entry : m_entries) {
        if (entry.id == id)
            return &entry.record;
    }
    return nullptr;
}

BrushSettings CPaintToolPanel::GetBrush() const
{
    return thePaintState.brush;
}

void CPaintToolPanel::SetForegroundColour(int colour)
{
    thePaintState.foreground = colour;
    DeriveForegroundHsb(thePaintState);
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

bool CPaintToolPanel::CanvasHasImage() const
{
    return m_canvas && m_canvas->HasImage();
}

int CPaintToolPanel::HitTest(POINT point) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (::PtInRect(&m_entries[i].rect, point))
            return static_cast<int>(i);
    }
    const RECT readout = ReadoutRect();
    return ::PtInRect(&readout, point) ? kReadoutItem : -1;
}

RECT CPaintToolPanel::SwatchRect() const
{
    RECT c{0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&c);
    return RECT{c.left + 8, c.bottom - 75, c.left + 48, c.bottom - 35};
}

RECT CPaintToolPanel::HueHitRect() const
{
    RECT c{0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&c);
    return RECT{c.left + 10, c.bottom - 100 - 15, c.left + 10 + kFieldSize, c.bottom - 94 + 5};
}

RECT CPaintToolPanel::SquareRect() const
{
    RECT c{0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&c);
    return RECT{c.left + 10, c.bottom - 200, c.left + 10 + kFieldSize, c.bottom - 120};
}

RECT CPaintToolPanel::SliderBlock() const
{
    RECT c{0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&c);
    return RECT{5, c.bottom - 235, 5 + kSliderWidth, c.bottom - 215 + 6};
}

// --- drawing ----------------------------------------------------------------

void CPaintToolPanel::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

BOOL CPaintToolPanel::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers the client area
}

void CPaintToolPanel::Draw(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, kFace);
    dc->FillSolidRect(client.right - 5, 0, 5, client.bottom, kRightStrip);
    for (const PaintToolEntry& entry : m_entries)
        DrawEntry(dc, entry);
    DrawColourField(dc);
    DrawBrushArea(dc);
    DrawReadout(dc);
    DrawSeparator(dc, 10, 80, 80);
}

void CPaintToolPanel::DrawEntry(CDC* dc, const PaintToolEntry& entry)
{
    const bool image = CanvasHasImage();
    const bool hovered = m_hover >= 0 && m_hover < static_cast<int>(m_entries.size()) && &m_entries[m_hover] == &entry;
    if (entry.selected) {
        dc->FillSolidRect(&entry.rect, kLight);
        dc->Draw3dRect(&entry.rect, kShadow, kLight);
        DrawIcon32(dc, entry.rect, image ? entry.activeIcon : entry.icon);
        return;
    }
    dc->FillSolidRect(&entry.rect, kFace);
    if (hovered && image) {
        dc->Draw3dRect(&entry.rect, kLight, kShadow);
        DrawIcon32(dc, entry.rect, entry.activeIcon);
    } else {
        DrawIcon32(dc, entry.rect, entry.icon);
    }
}

void CPaintToolPanel::DrawColourField(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    const int l = client.left, b = client.bottom;
    const bool image = CanvasHasImage();
    const PaintState& state = thePaintState;
    RECT back{l + 28, b - 55, l + 68, b - 15};
    dc->FillSolidRect(&back, ToColorRef(state.background.colour));
    dc->Draw3dRect(&back, kShadow, RGB(255, 255, 255));
    RECT fore = SwatchRect();
    dc->FillSolidRect(&fore, ToColorRef(state.foreground));
    dc->Draw3dRect(&fore, kShadow, RGB(255, 255, 255));
    DrawSeparator(dc, 10, b - 88, 80);

    // The hue bar and its marker.
    for (int x = 0; x < kFieldSize; ++x)
        dc->FillSolidRect(l + 10 + x, b - 100, 1, 6, HsbColour(x * 256 / kFieldSize, image ? 255 : 0, 128));
    dc->FillSolidRect(l + 5, b - 115, 90, 15, kFace);
    if (m_markerIcon)
        ::DrawIconEx(dc->GetSafeHdc(), l + 10 + kFieldSize * state.hue / 256 - 7, b - 115, m_markerIcon, 16, 16, 0,
                     nullptr, DI_NORMAL);

    // The saturation and brightness square for the foreground's hue.
    dc->FillSolidRect(l + 5, b - 205, kFieldSize + 10, kFieldSize + 10, kFace);
    CQLImage square;
    if (square.Create(kFieldSize, kFieldSize) == 0) {
        for (int y = 0; y < kFieldSize; ++y) {
            BYTE* row = square.GetBuffer(0, y);
            const int brightness = (79 - y) * 256 / kFieldSize;
            for (int x = 0; x < kFieldSize; ++x) {
                BYTE* p = row + x * 4;
                p[0] = static_cast<BYTE>(brightness);
                p[1] = static_cast<BYTE>(image ? x * 256 / kFieldSize : 0);
                p[2] = static_cast<BYTE>(state.hue);
                p[3] = 255;
            }
            qlcodec::HsbToRgb(row, kFieldSize);
        }
        DrawPixels(dc, l + 10, b - 200, square);
    }
    if (m_markerIcon)
        ::DrawIconEx(dc->GetSafeHdc(), l + 10 + state.saturation * kFieldSize / 256 - 7,
                     b - 120 - state.brightness * kFieldSize / 256 - 7, m_markerIcon, 16, 16, 0, nullptr, DI_NORMAL);
    RECT edge{l + 5, b - 205, l + 95, b - 115};
    dc->Draw3dRect(&edge, kShadow, RGB(255, 255, 255));
}

void CPaintToolPanel::DrawBrushArea(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    const int h = client.bottom;
    const RECT box{5, h - 270, 5 + kBoxSize, h - 240};
    dc->FillSolidRect(box.left, box.top, kBoxSize + 70, kBoxSize + 30, kFace);
    const bool image = CanvasHasImage();
    BrushSettings brush = thePaintState.brush;
    ImageDesc desc{};
    if (PaintHost::MakeBrush(&desc, &brush) == 0) {
        const CQLImage& shape = thePaintState.brushImage;
        if (brush.size < kBoxSize) {
            dc->FillSolidRect(&box, RGB(255, 255, 255));
            const int margin = (kBoxSize - brush.size) / 2;
            DrawPixels(dc, box.left + margin, box.top + margin, shape);
        } else if (desc.width < 500) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = desc.width;
            info.bmiHeader.biHeight = -desc.height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            const int oldMode = dc->SetStretchBltMode(HALFTONE);
            ::StretchDIBits(dc->GetSafeHdc(), box.left, box.top, kBoxSize, kBoxSize, 0, 0, desc.width, desc.height,
                            desc.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
            dc->SetStretchBltMode(oldMode);
        }
        RECT edge = box;
        ::InflateRect(&edge, 1, 1);
        dc->Draw3dRect(&edge, kShadow, RGB(255, 255, 255));
    }
    CFont* oldFont = dc->SelectObject(&m_font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(RGB(0, 0, 0));
    char text[32];
    std::snprintf(text, sizeof text, "Size:%d", brush.size);
    dc->TextOut(38, box.top, text);
    std::snprintf(text, sizeof text, "Blur:%d%%", brush.softness);
    dc->TextOut(38, box.top + 10, text);
    std::snprintf(text, sizeof text, "Opacity:%d", brush.opacity);
    dc->TextOut(38, box.top + 20, text);
    const char* letters[] = {"S", "B", "O"};
    for (int row = 0; row < 3; ++row)
        dc->TextOut(95, h - 235 + 10 * row - 3, letters[row]);
    if (brush.size > kBoxSize) {
        dc->SetTextColor(RGB(255, 0, 0));
        dc->TextOut(box.left + 3, box.top, "+");
    }
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);

    const int fills[] = {static_cast<int>(std::sqrt(static_cast<double>(brush.size)) * kSliderWidth * 0.0625),
                         static_cast<int>(kSliderWidth * brush.softness * 0.01),
                         static_cast<int>(kSliderWidth * brush.opacity * 0.01)};
    CBrush black;
    black.CreateSolidBrush(RGB(0, 0, 0));
    for (int row = 0; row < 3; ++row) {
        const RECT r{5, h - 235 + 10 * row, 5 + kSliderWidth, h - 229 + 10 * row};
        dc->FillSolidRect(&r, kFace);
        dc->FillSolidRect(r.left, r.top, std::clamp(fills[row], 0, kSliderWidth), 6,
                          image ? RGB(0, 0, 0) : kShadow);
        dc->FrameRect(&r, &black);
    }
    DrawSeparator(dc, box.left, box.top - 6, kSliderWidth);
}

void CPaintToolPanel::DrawReadout(CDC* dc)
{
    RECT r = ReadoutRect();
    dc->FillSolidRect(&r, kFace);
    if (!CanvasHasImage())
        return;
    char text[32];
    std::snprintf(text, sizeof text, "%d%%", static_cast<int>(100 / thePaintState.view.scale));
    CFont* oldFont = dc->SelectObject(&m_font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    dc->DrawText(text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
    if (m_readoutPressed)
        dc->Draw3dRect(&r, kShadow, kLight);
    else if (m_hover == kReadoutItem)
        dc->Draw3dRect(&r, kLight, kShadow);
}

void CPaintToolPanel::RedrawReadout()
{
    if (!m_hWnd)
        return;
    const RECT r = ReadoutRect();
    RedrawWindow(&r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CPaintToolPanel::RedrawEntry(int index)
{
    if (!m_hWnd)
        return;
    if (index == kReadoutItem) {
        RedrawReadout();
        return;
    }
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    // Icons are wider than the colour buttons: the neighbours come along.
    RECT r = m_entries[index].rect;
    ::InflateRect(&r, 6, 6);
    RedrawWindow(&r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CPaintToolPanel::RedrawColourField()
{
    if (!m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    const RECT r{0, client.bottom - 205, client.right, client.bottom};
    RedrawWindow(&r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CPaintToolPanel::RedrawBrushArea()
{
    if (!m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    const RECT r{0, client.bottom - 280, client.right, client.bottom - 205};
    RedrawWindow(&r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// --- input ------------------------------------------------------------------

void CPaintToolPanel::ColourDrag(CPoint point)
{
    PaintState& state = thePaintState;
    if (m_dragMode == 1) {
        const RECT bar = HueHitRect();
        state.hue = std::clamp((point.x - bar.left) * 256 / kFieldSize, 0, 254);
    } else if (m_dragMode == 2) {
        const RECT square = SquareRect();
        state.saturation = std::clamp((point.x - square.left) * 256 / kFieldSize, 0, 255);
        state.brightness = std::clamp((square.bottom - point.y) * 256 / kFieldSize, 0, 255);
    } else {
        return;
    }
    ForegroundFromHsb(state);
    RedrawColourField();
}

bool CPaintToolPanel::SliderClick(CPoint point)
{
    const RECT block = SliderBlock();
    const RECT hit{block.left - 5, block.top, block.right + 5, block.bottom};
    if (!::PtInRect(&hit, point))
        return false;
    const int dy = point.y - block.top;
    if (dy % 10 > 6)
        return true;  // between the rows
    BrushSettings& brush = thePaintState.brush;
    const int dx = point.x - block.left;
    switch (dy / 10) {
    case 0: {
        const double root = dx * 16.0 / kSliderWidth;
        brush.size = static_cast<int>(std::lround(root * root));
        break;
    }
    case 1: brush.softness = dx * 100 / kSliderWidth; break;
    case 2: brush.opacity = dx * 100 / kSliderWidth; break;
    default: return true;
    }
    brush.softness = std::clamp(brush.softness, 0, 100);
    brush.opacity = std::clamp(brush.opacity, 0, 100);
    brush.size = std::clamp(brush.size, 1, 256);
    RedrawBrushArea();
    return true;
}

void CPaintToolPanel::PickColourByDialog()
{
    CColorDialog dialog(ToColorRef(thePaintState.foreground), CC_FULLOPEN | CC_RGBINIT, this);
    if (dialog.DoModal() == IDOK)
        SetForegroundColour(FromColorRef(dialog.GetColor()));
}

void CPaintToolPanel::OpenZoomMenu()
{
    m_readoutPressed = true;
    RedrawReadout();
    CMenu menu;
    menu.CreatePopupMenu();
    const int percent = static_cast<int>(100 / thePaintState.view.scale);
    for (size_t i = 0; i < std::size(kMenuPercents); ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%d%%", kMenuPercents[i]);
        menu.AppendMenu(MF_STRING | (kMenuPercents[i] == percent ? MF_CHECKED : 0), kZoomMenuFirst + i, text);
    }
    menu.AppendMenu(MF_SEPARATOR, 0, static_cast<LPCSTR>(nullptr));
    menu.AppendMenu(MF_STRING, CPaintCanvas::kBestFitCmd, theUITextTable.GetText(kTextBestFit));
    POINT at{86, 60};
    ClientToScreen(&at);
    const UINT command = static_cast<UINT>(
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, this));
    if (command && m_canvas && m_canvas->m_hWnd)
        m_canvas->SendMessage(WM_COMMAND, command, 0);
    m_readoutPressed = false;
    RedrawReadout();
}

void CPaintToolPanel::OnLButtonDown(UINT, CPoint point)
{
    if (!CanvasHasImage())
        return;
    if (const RECT swatch = SwatchRect(); ::PtInRect(&swatch, point)) {
        PickColourByDialog();
        return;
    }
    if (const RECT hue = HueHitRect(); ::PtInRect(&hue, point)) {
        SetCapture();
        m_dragMode = 1;
        ColourDrag(point);
        return;
    }
    if (const RECT square = SquareRect(); ::PtInRect(&square, point)) {
        SetCapture();
        m_dragMode = 2;
        ColourDrag(point);
        return;
    }
    if (SliderClick(point))
        return;
    const int item = HitTest(point);
    if (item == kReadoutItem) {
        OpenZoomMenu();
        return;
    }
    if (item < 0)
        return;
    PaintToolEntry& entry = m_entries[item];
    if (!entry.selectable) {
        entry.selected = 1;
        RedrawEntry(item);
        return;
    }
    if (item == m_current)
        return;
    m_entries[m_current].selected = 0;
    RedrawEntry(m_current);
    m_previous = m_current;
    m_current = item;
    entry.selected = 1;
    RedrawEntry(item);
}

void CPaintToolPanel::OnLButtonUp(UINT, CPoint)
{
    if (m_dragMode) {
        m_dragMode = 0;
        ReleaseCapture();
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        PaintToolEntry& entry = m_entries[i];
        if (entry.selectable || !entry.selected)
            continue;
        entry.selected = 0;
        RedrawEntry(static_cast<int>(i));
        RunAction(entry.id);
    }
}

void CPaintToolPanel::RunAction(int id)
{
    PaintState& state = thePaintState;
    if (id == kSwapAction) {
        std::swap(state.foreground, state.background.colour);
        DeriveForegroundHsb(state);
    } else if (id == kResetAction) {
        state.foreground = 0;
        state.hue = state.saturation = state.brightness = 0;
        state.background.colour = static_cast<int32_t>(0xFFFFFFFF);
    } else {
        return;
    }
    RedrawColourField();
}

void CPaintToolPanel::OnLButtonDblClk(UINT, CPoint point)
{
    if (!m_canvas)
        return;
    const int item = HitTest(point);
    if (item == kZoomTool)
        m_canvas->ActualSize();
    else if (item == kMoveTool)
        m_canvas->BestFit();
}

void CPaintToolPanel::OnMouseMove(UINT, CPoint point)
{
    if (m_dragMode)
        ColourDrag(point);
}

BOOL CPaintToolPanel::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT at{};
    ::GetCursorPos(&at);
    ScreenToClient(&at);
    if (CanvasHasImage() && HitTest(at) != -1) {
        ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kPaintHandCursor)));
        return TRUE;
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CPaintToolPanel::OnTimer(UINT_PTR id)
{
    if (id == kHintTimer)
        OnHintTick();
}

void CPaintToolPanel::OnHintTick()
{
    POINT at{};
    ::GetCursorPos(&at);
    ScreenToClient(&at);
    const int item = HitTest(at);
    const bool hintShown = g_hintWnd && g_hintWnd->m_hWnd && g_hintWnd->IsWindowVisible();
    if (item != m_hover) {
        const int old = m_hover;
        m_hover = item;
        m_hoverTicks = 0;
        RedrawEntry(old);
        RedrawEntry(item);
        if (hintShown)
            CHintWnd::HideWnd(g_hintWnd);
        return;
    }
    if (item == -1 || !CanvasHasImage())
        return;
    if (++m_hoverTicks != 3 || item == kReadoutItem || hintShown || !IsWindowVisible())
        return;
    if (!g_hintWnd || !g_hintWnd->m_hWnd)
        return;
    POINT corner{m_entries[item].rect.right, m_entries[item].rect.bottom};
    ClientToScreen(&corner);
    g_hintWnd->ShowAt(corner.x, corner.y, m_entries[item].tooltip, this);
}
