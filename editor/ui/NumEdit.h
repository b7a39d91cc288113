// An edit box that takes only characters of a set (digits by default).
#pragma once

#include "platform/afx/Afx.h"

#include <string>

class CNumEdit : public CEdit {
public:
    // Replaces the set; an empty set refuses every character.
    void SetAllowedChars(const char* chars);
    // Backspace always passes.
    bool Allows(UINT ch) const;
    std::string m_allowed = "0123456789";

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};
