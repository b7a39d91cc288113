// The editor's prompts, captions, tooltips and undo-step names, read by
// position. Positions are fixed: callers use the numbers they were given.
#pragma once

#include <vector>

class CUITextTable {
public:
    CUITextTable();
    virtual ~CUITextTable();
    CUITextTable(const CUITextTable&) = delete;
    CUITextTable& operator=(const CUITextTable&) = delete;

    // The text at index (UTF-8, never freed); "" for an index outside the
    // table rather than a wild read.
    const char* GetText(int index) const;
    int GetCount() const { return static_cast<int>(m_texts.size()); }

private:
    std::vector<const char*> m_texts;
};

extern CUITextTable theUITextTable;
