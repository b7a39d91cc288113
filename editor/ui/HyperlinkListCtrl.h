// A report list whose cells can carry links: linked cells are drawn in link
// colours with an underlined font, show a hand cursor, and open their link
// through the shell when clicked.
#pragma once

#include "platform/afx/Afx.h"

#include <map>
#include <memory>
#include <string>

struct LinkStyle {
    int underline = 1;
    COLORREF colour = 0xFF0000;
    COLORREF visitedColour = 0x800080;
    HCURSOR cursor = nullptr;
};

class LinkItem : public CObject {
public:
    int visited = 0;
    CString link;
    LinkStyle* style = nullptr;
};

class CHyperlinkListCtrl : public CListCtrl {
    DECLARE_DYNAMIC(CHyperlinkListCtrl)
public:
    CHyperlinkListCtrl();
    ~CHyperlinkListCtrl() override;

    // After the list exists.
    void InitLinks();
    int InsertLinkItem(int index, const char* text, const char* link);
    BOOL SetLinkItemText(int row, int column, const char* text, const char* link);
    // Takes ownership; a record already stored for the cell is deleted.
    void SetCellLink(int row, int column, LinkItem* item);
    LinkItem* GetCellLink(int row, int column) const;
    // The cell under the mouse; FALSE when the mouse is outside the list.
    BOOL CellUnderMouse(int* row, int* column);

protected:
    // Shell "open" of the link.
    virtual void OpenLink(const char* link);

    afx_msg void OnCustomDraw(NMHDR* hdr, LRESULT* result);
    afx_msg void OnItemChanging(NMHDR* hdr, LRESULT* result);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    static std::string CellKey(int row, int column);
    LinkItem* MakeRecord(const char* link);
    void DeleteLinks();

    LinkStyle m_linkStyle;
    LinkStyle m_plainStyle{0, 0, 0, nullptr};
    HCURSOR m_arrow = nullptr;
    CFont m_linkFont;
    CFont m_plainFont;
    std::map<std::string, std::unique_ptr<LinkItem>> m_links;
};
