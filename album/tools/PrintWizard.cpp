#include "album/tools/PrintWizard.h"

namespace shelf {

CPrintWizard::CPrintWizard(CImagePrinter* printer, const std::vector<std::string>& paths, CWnd* owner)
{
    m_sheet.m_pParentWnd = owner;
    m_sheet.SetWizardMode();
    m_sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_sheet.AddPage(&m_page1);
    m_sheet.AddPage(&m_page2);
    m_sheet.AddPage(&m_settings);
    m_sheet.AddPage(&m_page3);
    m_page2.m_printer = m_settings.m_printer = m_page3.m_printer = printer;
    m_page3.m_manual = &m_page1.m_manual;
    m_page2.m_paths = paths;
    m_settings.m_paths = paths;
}

} // namespace shelf
