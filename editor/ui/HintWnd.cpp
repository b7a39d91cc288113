#include "editor/ui/HintWnd.h"

#include "editor/ui/SkinDrawing.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

CHintWnd* g_hintWnd = nullptr;

IMPLEMENT_DYNAMIC(CHintWnd, CDialog)

BEGIN_MESSAGE_MAP(CHintWnd, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

constexpr UINT kHintTemplate = 330;
constexpr UINT_PTR kHideTimer = 323;
constexpr int kLineHeight = 14;
constexpr int kCharWidth = 6;
constexpr int kMargin = 10;

const qlafx::DialogTemplate kTemplates[] = {
    {kHintTemplate, WS_POPUP | DS_SETFONT, 0, 0, 0, 128, 14, "", "Tahoma", 8, {}},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace

namespace hint {

std::vector<std::string> SplitLines(const char* text)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\r')
            continue;
        if (*p != '\n') {
            line += *p;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line.clear();
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

}  // namespace hint

CHintWnd::CHintWnd() = default;

CHintWnd::~CHintWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CHintWnd::Create(LPCSTR text, CWnd* parent)
{
    if (!CreatePixelFont(&m_font, "Arial", 14, FALSE))
        return FALSE;
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    if (!CDialog::Create(kHintTemplate, parent))
        return FALSE;
    m_owner = parent;
    SetTimer(kHideTimer, 500);
    return TRUE;
}

SIZE CHintWnd::CalcTextSize()
{
    CWnd* main = AfxGetMainWnd();
    if (!std::strchr(m_text, '\n') && main && main->m_hWnd) {
        if (CDC* dc = main->GetDC()) {
            CFont* old = dc->SelectObject(&m_font);
            SIZE size = dc->GetTextExtent(m_text);
            dc->SelectObject(old);
            main->ReleaseDC(dc);
            return SIZE{size.cx + kMargin, size.cy + kMargin};
        }
    }
    const std::vector<std::string> lines = hint::SplitLines(m_text);
    size_t longest = 0;
    for (const std::string& line : lines)
        longest = std::max(longest, line.size());
    return SIZE{static_cast<LONG>(longest) * kCharWidth + kMargin,
                static_cast<LONG>(lines.size()) * kLineHeight + kMargin};
}

void CHintWnd::SetText(LPCSTR text)
{
    std::snprintf(m_text, sizeof m_text, "%s", text ? text : "");
    const SIZE size = CalcTextSize();
    MoveWindow(0, 0, size.cx, size.cy, FALSE);
}

// Both sides compare on the screen: the owner's client edge there, not its size.
void CHintWnd::MoveInParent(int x, int y)
{
    RECT own;
    GetWindowRect(&own);
    const int w = own.right - own.left, h = own.bottom - own.top;
    if (m_owner && m_owner->m_hWnd) {
        RECT area;
        m_owner->GetClientRect(&area);
        m_owner->ClientToScreen(&area);
        if (x + w > area.right)
            x -= w;
        if (y + h > area.bottom)
            y -= h;
    }
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
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
        ShowWindow(SW_SHOWNOACTIVATE);
        ::GetCursorPos(&m_cursorAt);
    }
    Invalidate();
}

void CHintWnd::HideWnd(CWnd* window)
{
    if (window && window->m_hWnd)
        window->ShowWindow(SW_HIDE);
}

BOOL CHintWnd::OnEraseBkgnd(CDC* pDC)
{
    RECT client;
    GetClientRect(&client);
    FillGradientRect(pDC, client, POINT{0, 0}, POINT{0, client.bottom}, TRUE, RGB(255, 255, 240),
                     RGB(255, 255, 160), nullptr, 0);
    CBrush frame(RGB(128, 128, 128));
    pDC->FrameRect(&client, &frame);
    CFont* old = pDC->SelectObject(&m_font);
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkMode(TRANSPARENT);
    int y = 5;
    for (const std::string& line : hint::SplitLines(m_text)) {
        pDC->TextOut(5, y, line.c_str(), static_cast<int>(line.size()));
        y += kLineHeight;
    }
    pDC->SelectObject(old);
    return TRUE;
}

void CHintWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHideTimer) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    if (!IsWindowVisible())
        return;
    POINT now{};
    ::GetCursorPos(&now);
    if (now.x != m_cursorAt.x || now.y != m_cursorAt.y)
        HideWnd(this);
}
