// The modal one-line text prompt (dialog 198).
#pragma once

#include "platform/win/WinTypes.h"

inline constexpr UINT IDD_PROMPT_TEXT = 198;
inline constexpr int IDC_PROMPT_LABEL = 1012;
inline constexpr int IDC_PROMPT_EDIT = 1158;

// Asks for a text of at most maxLength characters (32 when maxLength is 0
// or less). buffer holds at least maxLength + 1 bytes: on OK it receives
// the text, cut to maxLength bytes on a UTF-8 character boundary, and the
// result is TRUE; on Cancel it is left as it was and the result is FALSE.
// With prefill the edit starts with the buffer's text. With mayCancel 0
// Cancel is disabled and Escape does nothing. OK with an empty edit says
// so and keeps asking.
BOOL PromptForText(char* buffer, int maxLength, const char* caption, const char* prompt, BOOL mayCancel,
                   BOOL prefill);
