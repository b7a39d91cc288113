#include "album/shell/HintWnd.h"

#include "album/shell/FillGradient.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstdio>

namespace shelf {

// The editor's class of the same name is the base: the runtime class is
// spelled out, as the macro cannot name a qualified base.
CRuntimeClass CHintWnd::classCHintWnd = {"CHintWnd", static_cast<int>(sizeof(CHintWnd)), 0xFFFF, nullptr,
                                  &::CHintWnd::classCHintWnd};
CRuntimeClass* CHintWnd::GetRuntimeClass() const { return &classCHintWnd; }

BEGIN_MESSAGE_MAP(CHintWnd, ::CHintWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {
constexpr UINT_PTR kHideTimer = 323;
constexpr int kMargin = 10;
} // namespace

BOOL CHintWnd::Create(LPCSTR text, CWnd* parent)
{
    if (!CreatePixelFont(&m_font, "Arial", 14, FALSE))
        return FALSE;
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    if (!CDialog::Create(kTemplate, parent))
        return FALSE;
    m_owner = parent;
    SetTimer(kHideTimer, 500);
    return TRUE;
}

SIZE CHintWnd::CalcTextSize()
{
    const std::vector<std::string> lines = hint::SplitLines(m_text);
    int widest = 0;
    if (CDC* dc = GetDC()) {
        CFont* old = dc->SelectObject(&m_font);
        for (const std::string& line : lines)
            widest = std::max(widest, static_cast<int>(dc->GetTextExtent(line.c_str()).cx));
        dc->SelectObject(old);
        ReleaseDC(dc);
    }
    return SIZE{widest + kMargin, static_cast<LONG>(lines.size()) * kLineHeight + kMargin};
}

void CHintWnd::SetText(LPCSTR text)
{
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    const SIZE size = CalcTextSize();
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CHintWnd::ShowAt(int x, int y, LPCSTR text, CWnd* newParent)
{
    if (newParent) {
        SetParent(newParent);
        m_owner = newParent;
    }
    SetText(text);
    MoveInParent(x, y);
    if (!IsWindowVisible()) {
        ShowWindow(SW_SHOWNA);
        ::GetCursorPos(&m_cursorAt);
    }
    Invalidate();
}

BOOL CHintWnd::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    FillGradient(dc, client, CPoint(0, 0), CPoint(0, client.bottom), TRUE, RGB(255, 255, 240), RGB(255, 255, 160),
                 nullptr, 0);
    dc->Draw3dRect(&client, RGB(128, 128, 128), RGB(128, 128, 128));
    CFont* old = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    int y = 5;
    for (const std::string& line : hint::SplitLines(m_text)) {
        dc->TextOut(5, y, line.c_str());
        y += kLineHeight;
    }
    dc->SelectObject(old);
    return TRUE;
}

} // namespace shelf
