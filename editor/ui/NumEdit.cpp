#include "editor/ui/NumEdit.h"

BEGIN_MESSAGE_MAP(CNumEdit, CEdit)
    ON_WM_CREATE()
    ON_WM_CHAR()
END_MESSAGE_MAP()

void CNumEdit::SetAllowedChars(const char* chars) { m_allowed = chars ? chars : ""; }

bool CNumEdit::Allows(UINT ch) const
{
    if (ch == VK_BACK)
        return true;
    return ch != 0 && ch < 256 && m_allowed.find(static_cast<char>(ch)) != std::string::npos;
}

int CNumEdit::OnCreate(LPCREATESTRUCT cs)
{
    if (CEdit::OnCreate(cs) == -1)
        return -1;
    LimitText(10);
    return 0;
}

void CNumEdit::OnChar(UINT nChar, UINT, UINT)
{
    if (Allows(nChar))
        Default();
}
