// "Settings" (dialog 131): the run mode of the schedule.
#pragma once

#include "platform/afx/Dialog.h"

namespace beacon {

class CRunModeDlg : public CDialog {
public:
    explicit CRunModeDlg(CWnd* parent = nullptr) : CDialog(131, parent) {}
    int m_runMode = 0;  // 0 every week, 1 every month, 2 manually

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

} // namespace beacon
