// "Select a Month": a year and a month, answered with a plain-text calendar.
#pragma once

#include "editor/ui/SkinDialog.h"

#include <string>

inline constexpr UINT IDD_SELECT_MONTH = 323;
inline constexpr UINT IDC_MONTH_YEAR = 1433;
inline constexpr UINT IDC_MONTH_MONTH = 1434;
inline constexpr UINT IDC_MONTH_ENGLISH = 1435;

class CSelectMonthDlg : public CSkinDialog {
public:
    explicit CSelectMonthDlg(CWnd* parent);

    BOOL OnInitDialog() override;

    int firstYear = 0;  // the first entry of the year list
    std::string calendarText;  // set by OK

protected:
    void OnOK() override;
};
