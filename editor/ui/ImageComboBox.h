// An owner-drawn combo box of folders: each item's data is its text, drawn
// with the folder's icon and indented by its level in the drop-down list.
#pragma once

#include "platform/afx/Afx.h"

#include <vector>

struct FolderEntry {
    int icon;    // index in the image list; 6 and above: no icon
    int indent;  // folder level
};

class CImageComboBox : public CComboBox {
public:
    void SetFolderEntries(const std::vector<FolderEntry>* entries) { m_entries = entries; }
    // The selected item's text, "" when nothing is selected.
    void GetCurSelText(char* out) const;
    // The item whose data is text, else -1.
    int FindItemByText(const char* text) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    CImageList* m_imageList = nullptr;
    const std::vector<FolderEntry>* m_entries = nullptr;

protected:
    void PreSubclassWindow() override;
};
