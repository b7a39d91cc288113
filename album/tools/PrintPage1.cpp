#include "album/tools/PrintPage1.h"

#include "platform/afx/DataExchange.h"

namespace shelf {

BOOL CPrintPage1::OnSetActive()
{
    GetSheet()->SetWizardButtons(PSWIZB_NEXT);
    return CSkinPropertyPage::OnSetActive();
}

void CPrintPage1::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_Radio(pDX, 1051, m_manual);
}

LRESULT CPrintPage1::OnWizardNext()
{
    if (!UpdateData(TRUE))
        return -1;
    return m_manual ? 178 : 0;
}

} // namespace shelf
