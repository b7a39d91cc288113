// The undo steps of the open photo: for each step the action's name and the
// place of its snapshot in one history file in the temporary folder. Steps
// with the same name in a row form a group, shown as one row of the history
// bar that can be expanded.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <memory>
#include <vector>

struct UndoStep {
    char name[256];
    LONGLONG offset; // of the snapshot block in the history file
    LONG length;     // of the block
    LONG number;     // from 0
};

struct UndoGroup {
    std::vector<UndoStep> steps;
    BOOL expanded = FALSE; // set by the history bar
};

// One row of the history bar's list.
enum : int {
    kHistoryGroupHead = 0, // an expanded group, pointing at its last step; its steps follow
    kHistoryCollapsed = 1, // a collapsed group of several steps, pointing at its last step
    kHistorySingle = 2,    // a group of one step
    kHistoryGroupStep = 3, // one step of an expanded group
};

struct HistoryListEntry {
    int kind;
    const UndoStep* step;
    int groupIndex;
    UndoGroup* group;
};

// The history bar's refresh notice: wParam 1, lParam the first step of the
// last group.
inline constexpr UINT WM_HISTORY_REFRESH = 0x0400 + 723;

// The window functions the history calls on its owner; the window layer
// installs them, and without them the history runs headless.
struct HistoryWindowCalls {
    LRESULT (*sendMessage)(HWND, UINT, WPARAM, LPARAM) = nullptr;
    BOOL (*redrawWindow)(HWND, const RECT*, HRGN, UINT) = nullptr;
    int (*messageBox)(HWND, LPCSTR, LPCSTR, UINT) = nullptr;
};

class UndoHistory {
public:
    UndoHistory() = default;
    // Removes the history file.
    virtual ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Writes a snapshot block at the write position; 1, or 0 on failure.
    virtual int WriteBlock(std::unique_ptr<BYTE[]> data, DWORD length, LONGLONG* offset);

    // Deletes the history file and forgets every step. The first call names
    // the file, after removing history files that no running editor holds.
    void Reset();
    // Records the image as a new step. 0 after a failure: the history is
    // reset, undo is off for what came before, the photo stays marked
    // modified and the user is told once.
    int Push(const CQLImage* image, const char* actionName);
    // The same with the image's snapshot block already made (SnapshotCodec),
    // so that the encoding can run away from the interface thread.
    int PushSnapshot(std::unique_ptr<BYTE[]> block, DWORD length, const char* actionName);
    int Undo(CQLImage* image);
    int Redo(CQLImage* image);
    BOOL CanUndo() const { return m_current > 1; }
    BOOL CanRedo() const { return m_current < m_count; }
    // Shows step n; 0 (image and position unchanged) when it cannot be read.
    int GoToStep(CQLImage* image, int n);
    int GetCurrent() const { return m_current; }
    int GetCount() const { return m_count; }
    void SetRefreshFlag() { m_refresh = TRUE; }
    void BuildList(std::vector<HistoryListEntry>& list, int* currentIndex);
    // The names of the applied steps, each followed by a comma.
    char* GetActionText(int size, char* buffer) const;
    void SetOwner(HWND owner) { m_owner = owner; }
    HWND GetOwner() const { return m_owner; }

    BOOL IsModified() const { return m_modified; }
    void SetModified(BOOL modified) { m_modified = modified; }
    const std::vector<UndoGroup>& GetGroups() const { return m_groups; }
    UndoGroup* GetGroup(int index) { return &m_groups[index]; }
    // Empty until the first reset.
    const char* GetFilePath() const { return m_path; }

    static void SetWindowCalls(const HistoryWindowCalls& calls);

protected:
    // Returns when every queued block is in the file.
    virtual void WaitForWrites() {}

    LONGLONG m_writePos = 0;
    char m_path[512] = {};

private:
    void BuildFileName();
    int Fail();
    void CutFrom(int number);

    HWND m_owner = nullptr;
    std::vector<UndoGroup> m_groups;
    int m_current = 0;
    int m_count = 0;
    BOOL m_refresh = FALSE;
    BOOL m_modified = FALSE;
    // Step 0 no longer is the photo as opened: a push failed since.
    BOOL m_baseModified = FALSE;
    BOOL m_failureShown = FALSE;
};

// Removes the history files in folder whose editor no longer runs.
void SweepStaleHistoryFiles(const char* folder);
