// The album's floating hint: the editor's hint window on the album's
// template 229, sized to its lines, on a pale yellow gradient.
#pragma once

#include "editor/ui/HintWnd.h"

namespace shelf {

class CHintWnd : public ::CHintWnd {
    DECLARE_DYNAMIC(CHintWnd)
public:
    static constexpr UINT kTemplate = 229;
    static constexpr int kLineHeight = 14;

    BOOL Create(LPCSTR text, CWnd* parent);
    // Widest line + 10 by 14 a line + 10.
    SIZE CalcTextSize();
    void SetText(LPCSTR text);
    void ShowAt(int x, int y, LPCSTR text, CWnd* newParent);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
