// Dialog data exchange: DDX_ functions move values between members and
// controls, DDV_ functions check them. A failed check tells the user
// (AfxMessageBox), puts the focus back on the control and makes UpdateData
// return FALSE.
#pragma once

#include "platform/afx/AfxString.h"
#include "platform/afx/WinUser.h"

class CWnd;

// Thrown by CDataExchange::Fail and caught by UpdateData.
class CUserException {};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    // The control nIDC of the dialog; the one a later Fail returns to.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Focus to the last control (an edit box gets its text selected), then
    // ends the exchange.
    [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// A char buffer of nMaxLen bytes (NUL included).
void DDX_Text(CDataExchange* pDX, int nIDC, LPSTR value, int nMaxLen);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);  // UINT and DWORD
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of a WS_GROUP group; value its index (-1: none).
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
void DDX_Scroll(CDataExchange* pDX, int nIDC, int& value);
// Subclasses control nIDC with rControl the first time.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
// Also limits the edit box to nChars when filling it.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
