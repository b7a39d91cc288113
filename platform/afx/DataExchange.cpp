#include "platform/afx/DataExchange.h"

#include "platform/afx/Controls.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/Wnd.h"

#include <cerrno>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr const char* kParseInt = "Please enter an integer.";
constexpr const char* kParseUInt = "Please enter a positive integer.";
constexpr const char* kParseReal = "Please enter a number.";
constexpr const char* kIntRange = "Please enter an integer between %s and %s.";
constexpr const char* kRealRange = "Please enter a number between %s and %s.";
constexpr const char* kMaxChars = "Please enter no more than %d characters.";

using qlafx::WindowTextOf;

// Sets the text only when it differs, so an unchanged box does not flicker
// or send EN_CHANGE.
void SetText(HWND hwnd, const char* text)
{
    if (WindowTextOf(hwnd) != text)
        SetWindowText(hwnd, text);
}

[[noreturn]] void Complain(CDataExchange* pDX, const std::string& prompt)
{
    AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION);
    pDX->Fail();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The whole text must be the number, blanks around it allowed.
bool ParseSigned(const std::string& text, long long minVal, long long maxVal, long long* out)
{
    const char* p = text.c_str();
    while (IsBlank(*p))
        ++p;
    if (!*p)
        return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(p, &end, 10);
    if (end == p || errno == ERANGE)
        return false;
    while (IsBlank(*end))
        ++end;
    if (*end || v < minVal || v > maxVal)
        return false;
    *out = v;
    return true;
}

bool ParseUnsigned(const std::string& text, unsigned long long maxVal, unsigned long long* out)
{
    const char* p = text.c_str();
    while (IsBlank(*p))
        ++p;
    if (!*p || *p == '-')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(p, &end, 10);
    if (end == p || errno == ERANGE)
        return false;
    while (IsBlank(*end))
        ++end;
    if (*end || v > maxVal)
        return false;
    *out = v;
    return true;
}

bool ParseReal(const std::string& text, double* out)
{
    const char* p = text.c_str();
    while (IsBlank(*p))
        ++p;
    if (!*p)
        return false;
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end == p)
        return false;
    while (IsBlank(*end))
        ++end;
    if (*end)
        return false;
    *out = v;
    return true;
}

template <class T>
void TextSigned(CDataExchange* pDX, int nIDC, T& value, const char* fmt)
{
    HWND hwnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseSigned(WindowTextOf(hwnd), std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), &v))
            Complain(pDX, kParseInt);
        value = static_cast<T>(v);
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, fmt, value);
        SetText(hwnd, buf);
    }
}

template <class T>
void TextReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    HWND hwnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double v = 0;
        if (!ParseReal(WindowTextOf(hwnd), &v))
            Complain(pDX, kParseReal);
        value = static_cast<T>(v);
    } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(value));
        SetText(hwnd, buf);
    }
}

// Range checks only run when saving, as filling a box cannot fail.
void FailRange(CDataExchange* pDX, const char* fmt, const char* minText, const char* maxText)
{
    if (!pDX->m_bSaveAndValidate)
        return;
    char prompt[256];
    std::snprintf(prompt, sizeof prompt, fmt, minText, maxText);
    Complain(pDX, prompt);
}

template <class T>
void CheckIntRange(CDataExchange* pDX, T value, T minVal, T maxVal, const char* numberFmt)
{
    if (value >= minVal && value <= maxVal)
        return;
    char lo[32], hi[32];
    std::snprintf(lo, sizeof lo, numberFmt, minVal);
    std::snprintf(hi, sizeof hi, numberFmt, maxVal);
    FailRange(pDX, kIntRange, lo, hi);
}

void CheckRealRange(CDataExchange* pDX, double value, double minVal, double maxVal, int digits)
{
    if (value >= minVal && value <= maxVal)
        return;
    char lo[64], hi[64];
    std::snprintf(lo, sizeof lo, "%.*g", digits, minVal);
    std::snprintf(hi, sizeof hi, "%.*g", digits, maxVal);
    FailRange(pDX, kRealRange, lo, hi);
}

// The radio buttons of the group that starts at first, in order.
template <class F>
void ForEachRadio(HWND first, F&& f)
{
    int index = 0;
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (GetWindowLong(w, GWL_STYLE) & WS_GROUP))
            break;
        if (SendMessage(w, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
            f(w, index++);
    }
}

}  // namespace

// ---- CDataExchange ----

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hwnd = nullptr;
    m_pDlgWnd->GetDlgItem(nIDC, &hwnd);
    if (!hwnd) {
        std::fprintf(stderr, "qlafx: dialog data exchange: no control %d\n", nIDC);
        throw CUserException();
    }
    m_hWndLastControl = hwnd;
    m_bEditLastControl = FALSE;
    return hwnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hwnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hwnd;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl && IsWindow(m_hWndLastControl)) {
        SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

// ---- DDX ----

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hwnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = CString(WindowTextOf(hwnd));
    else
        SetText(hwnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, LPSTR value, int nMaxLen)
{
    HWND hwnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        GetWindowText(hwnd, value, nMaxLen);
    } else {
        SetText(hwnd, value);
        SendMessage(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(nMaxLen > 1 ? nMaxLen - 1 : 1), 0);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { TextSigned(pDX, nIDC, value, "%d"); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { TextSigned(pDX, nIDC, value, "%ld"); }

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    HWND hwnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        unsigned long long v = 0;
        if (!ParseUnsigned(WindowTextOf(hwnd), std::numeric_limits<UINT>::max(), &v))
            Complain(pDX, kParseUInt);
        value = static_cast<UINT>(v);
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%u", value);
        SetText(hwnd, buf);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) { TextReal(pDX, nIDC, value, FLT_DIG); }
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { TextReal(pDX, nIDC, value, DBL_DIG); }

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(SendMessage(hwnd, BM_GETCHECK, 0, 0));
    else
        SendMessage(hwnd, BM_SETCHECK, static_cast<WPARAM>(value < 0 || value > 2 ? 0 : value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND first = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        ForEachRadio(first, [&](HWND w, int i) {
            if (SendMessage(w, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
                value = i;
        });
    } else {
        ForEachRadio(first, [&](HWND w, int i) { SendMessage(w, BM_SETCHECK, i == value ? BST_CHECKED : 0, 0); });
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(SendMessage(hwnd, CB_GETCURSEL, 0, 0));
    else
        SendMessage(hwnd, CB_SETCURSEL, static_cast<WPARAM>(static_cast<LONG_PTR>(index)), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    const bool dropList = (GetWindowLong(hwnd, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        if (!dropList) {
            value = CString(WindowTextOf(hwnd));
            return;
        }
        const LRESULT sel = SendMessage(hwnd, CB_GETCURSEL, 0, 0);
        if (sel < 0) {
            value.Empty();
            return;
        }
        const LRESULT len = SendMessage(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
        std::string s(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
        SendMessage(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(s.data()));
        value = CString(s.c_str());
    } else if (SendMessage(hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(
                                                                                   static_cast<LPCSTR>(value))) ==
                   CB_ERR &&
               !dropList) {
        SetText(hwnd, value);
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(SendMessage(hwnd, LB_GETCURSEL, 0, 0));
    else
        SendMessage(hwnd, LB_SETCURSEL, static_cast<WPARAM>(static_cast<LONG_PTR>(index)), 0);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(SendMessage(hwnd, TBM_GETPOS, 0, 0));
    else
        SendMessage(hwnd, TBM_SETPOS, TRUE, value);
}

void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(SendMessage(hwnd, SBM_GETPOS, 0, 0));
    else
        SendMessage(hwnd, SBM_SETPOS, static_cast<WPARAM>(static_cast<LONG_PTR>(value)), TRUE);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hwnd = pDX->PrepareCtrl(nIDC);
    rControl.SubclassWindow(hwnd);
}

// ---- DDV ----

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    CheckIntRange(pDX, value, minVal, maxVal, "%d");
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    CheckIntRange(pDX, value, minVal, maxVal, "%u");
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    CheckIntRange(pDX, value, minVal, maxVal, "%ld");
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    CheckIntRange(pDX, value, minVal, maxVal, "%u");
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal)
{
    CheckRealRange(pDX, value, minVal, maxVal, FLT_DIG);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal)
{
    CheckRealRange(pDX, value, minVal, maxVal, DBL_DIG);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            char prompt[128];
            std::snprintf(prompt, sizeof prompt, kMaxChars, nChars);
            Complain(pDX, prompt);
        }
    } else if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
        SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}
