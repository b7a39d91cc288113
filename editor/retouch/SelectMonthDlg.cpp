#include "editor/retouch/SelectMonthDlg.h"

#include "editor/retouch/MonthCalendar.h"
#include "platform/afx/CommCtrl.h"

#include <cstdio>
#include <ctime>

CSelectMonthDlg::CSelectMonthDlg(CWnd* parent) : CSkinDialog(IDD_SELECT_MONTH, parent) {}

BOOL CSelectMonthDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900;
    firstYear = year - 10;
    for (int y = firstYear; y <= year + 19; ++y) {
        char item[16];
        std::snprintf(item, sizeof item, "%d", y);
        SendDlgItemMessage(IDC_MONTH_YEAR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendDlgItemMessage(IDC_MONTH_YEAR, CB_SETCURSEL, 10);
    for (int m = 1; m <= 12; ++m) {
        char item[8];
        std::snprintf(item, sizeof item, "%d", m);
        SendDlgItemMessage(IDC_MONTH_MONTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendDlgItemMessage(IDC_MONTH_MONTH, CB_SETCURSEL, static_cast<WPARAM>(local.tm_mon));
    CheckDlgButton(IDC_MONTH_ENGLISH, BST_CHECKED);
    if (CWnd* english = GetDlgItem(IDC_MONTH_ENGLISH))
        english->ShowWindow(SW_HIDE);
    return TRUE;
}

void CSelectMonthDlg::OnOK()
{
    const int yearIndex = static_cast<int>(SendDlgItemMessage(IDC_MONTH_YEAR, CB_GETCURSEL));
    const int monthIndex = static_cast<int>(SendDlgItemMessage(IDC_MONTH_MONTH, CB_GETCURSEL));
    if (yearIndex < 0 || monthIndex < 0)
        return;
    calendarText = MonthCalendarText(firstYear + yearIndex, monthIndex + 1,
                                     IsDlgButtonChecked(IDC_MONTH_ENGLISH) == BST_CHECKED);
    CSkinDialog::OnOK();
}
