#include "editor/shell/OpenFileThumbList.h"

#include "platform/afx/WinApp.h"

namespace {

constexpr UINT kIconFolder = 288;
constexpr UINT kIconFile = 289;

} // namespace

OpenFileThumbList::OpenFileThumbList()
{
    SetMultiSelect(FALSE);
}

void OpenFileThumbList::RedrawList()
{
    ++m_wholeRedraws;
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HICON OpenFileThumbList::GetItemIcon(int index)
{
    const DWORD entry = GetItemData(index);
    if (!m_entries || entry >= m_entries->size())
        return nullptr;
    const bool folder = (*m_entries)[entry].done == 1;
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(folder ? kIconFolder : kIconFile));
}
