#include "editor/ui/ImageComboBox.h"

#include <cstring>

void CImageComboBox::PreSubclassWindow()
{
    ModifyStyle(0, CBS_OWNERDRAWVARIABLE);
    CComboBox::PreSubclassWindow();
}

void CImageComboBox::GetCurSelText(char* out) const
{
    if (!out)
        return;
    out[0] = 0;
    const int sel = GetCurSel();
    if (sel == CB_ERR)
        return;
    if (const auto* text = static_cast<const char*>(GetItemDataPtr(sel)))
        std::strcpy(out, text);
}

int CImageComboBox::FindItemByText(const char* text) const
{
    if (!text)
        return -1;
    for (int i = 0; i < GetCount(); ++i) {
        const auto* data = static_cast<const char*>(GetItemDataPtr(i));
        if (data && std::strcmp(data, text) == 0)
            return i;
    }
    return -1;
}

void CImageComboBox::MeasureItem(LPMEASUREITEMSTRUCT mis) { mis->itemHeight = 18; }

void CImageComboBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (GetCurSel() == CB_ERR || static_cast<int>(dis->itemID) < 0)
        return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    const auto* text = reinterpret_cast<const char*>(dis->itemData);
    if (!dc || !text)
        return;
    CRect r(dis->rcItem);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&r, selected ? RGB(192, 192, 192) : GetSysColor(COLOR_WINDOW));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(selected ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
    const int index = FindItemByText(text);
    const bool hasEntry = m_entries && index >= 0 && index < static_cast<int>(m_entries->size());
    const FolderEntry entry = hasEntry ? (*m_entries)[index] : FolderEntry{6, 0};
    // Only the drop-down list's rows (not the field at the top) are indented.
    const int indent = r.top >= 10 ? 16 * entry.indent : 0;
    if (entry.icon < 6 && m_imageList) {
        m_imageList->Draw(dc, entry.icon, POINT{r.left + indent, r.top + (r.Height() - 16) / 2}, ILD_TRANSPARENT);
        CRect t(r.left + indent + 20, r.top, r.right, r.bottom);
        dc->DrawText(text, &t, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    } else {
        dc->DrawText(text, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    }
}
