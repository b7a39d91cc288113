// The editor's floating tip: a borderless pop-up with a pale yellow gradient,
// a grey frame and lines of text, hidden again once the mouse moves.
#pragma once

#include "platform/afx/Dialog.h"
#include "platform/afx/GdiObjects.h"

#include <string>
#include <vector>

class CHintWnd : public CDialog {
    DECLARE_DYNAMIC(CHintWnd)
public:
    CHintWnd();
    ~CHintWnd() override;

    // Hidden until ShowAt; parent becomes the owner.
    BOOL Create(LPCSTR text, CWnd* parent);
    SIZE CalcTextSize();
    // Sizes the window to the text (moved to (0, 0) until placed).
    void SetText(LPCSTR text);
    // Top-left at (x, y) on the screen, moved back by its own size where it
    // would leave the owner's client area.
    void MoveInParent(int x, int y);
    void ShowAt(int x, int y, LPCSTR text, CWnd* newParent);
    static void HideWnd(CWnd* window);

    char m_text[512] = {};
    COLORREF m_bkColor = RGB(255, 255, 224);
    CFont m_font;
    CWnd* m_owner = nullptr;
    POINT m_cursorAt{};

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};

// The hint window the whole editor shares; made by the main frame.
extern CHintWnd* g_hintWnd;

namespace hint {

// The lines of a tip: split at line feeds, empty lines dropped, carriage
// returns skipped.
std::vector<std::string> SplitLines(const char* text);

}  // namespace hint
