// The open dialog's thumbnail list: single selection, a folder icon for
// folder items and a photo icon for files whose thumbnail has not arrived.
#pragma once

#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/ThumbListCtrl.h"

#include <vector>

class OpenFileThumbList : public CThumbListCtrl {
public:
    OpenFileThumbList();

    // The dialog's entries, named by each item's data (the entry's index).
    void SetEntries(const std::vector<ThumbJobEntry>* entries) { m_entries = entries; }
    // Everything painted again at once; counted for the dialog's own checks.
    void RedrawList();
    int GetWholeRedraws() const { return m_wholeRedraws; }

protected:
    HICON GetItemIcon(int index) override;

private:
    const std::vector<ThumbJobEntry>* m_entries = nullptr;
    int m_wholeRedraws = 0;
};
