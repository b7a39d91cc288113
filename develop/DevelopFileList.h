// The batch page's list of RAW files: the editor's text list box (selection
// modes, repeating scroll buttons, paging, thumb drag) with an item number
// per row, any length of text and the program's dark look.
#pragma once

#include "editor/ui/TextListBox.h"

#include <string>
#include <vector>

namespace develop {

class DevelopFileList : public CTextListBox {
public:
    BOOL Create(UINT id, const RECT& rect, CWnd* parent);
    // Appends an unselected row; its index.
    int AddItem(const char* text, int data);
    void Clear();
    // By text without regard to case; rows keep their data and selection.
    void Sort();
    int GetCount() const { return static_cast<int>(m_texts.size()); }
    // 0 for a row outside the list.
    int IsSelected(int row) const;
    // -1 for a row outside the list.
    int GetItemData(int row) const;
    // The first row with that data, else -1.
    int FindByData(int key) const;
    // 0 for a row outside the list.
    int SetItemText(int row, const char* text);
    const std::string& GetItemText(int row) const { return m_texts.at(static_cast<std::size_t>(row)); }

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void PaintScrollBar(CDC& dc, const CRect& client, int visible);

    // Beside CTextListBox's rows, which keep the selection.
    std::vector<std::string> m_texts;
    std::vector<int> m_data;
};

} // namespace develop
