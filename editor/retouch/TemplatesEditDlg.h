// "Templates Edit": the manager of the frame template library. It lists the
// current category's sub-folders and templates and creates, edits, renames,
// moves and deletes templates and sub-folders, always on the program-wide
// current category, which its opener sets.
#pragma once

#include "editor/retouch/FrameList.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Dialog.h"

#include <vector>

class CMainFrame;

inline constexpr UINT IDD_TEMPLATES_EDIT = 182;
inline constexpr UINT IDC_TEMPLATES_LIST = 1072;
inline constexpr UINT IDC_TEMPLATES_EDIT = 1071;
inline constexpr UINT IDC_TEMPLATES_NEW_SIMPLE = 1074;
inline constexpr UINT IDC_TEMPLATES_DELETE = 1075;
inline constexpr UINT IDC_TEMPLATES_NEW_FREE = 1340;
inline constexpr UINT IDC_TEMPLATES_MOVE = 1396;
inline constexpr UINT IDC_TEMPLATES_RENAME = 1397;
inline constexpr UINT IDC_FOLDER_CREATE = 1398;
inline constexpr UINT IDC_FOLDER_DELETE = 1399;
inline constexpr UINT ID_MOVE_TO_FIRST = 4404;

FrameCategory* GetCurrentFrameCategory();
void SetCurrentFrameCategory(FrameCategory* category);
// The library's messages ("Can not open frame template file", ...) in a
// message box.
void InstallFrameMessages();

class CTemplatesEditDlg : public CDialog {
public:
    explicit CTemplatesEditDlg(CWnd* parent);

    BOOL OnInitDialog() override;

    void Refill();
    // The listed item at list index (null for none or out of range).
    const FrameListItem* ItemAt(int index) const;
    const FrameListItem* Selected() const;
    void UpdateButtons();

    // The commands, also called by the tests.
    void EditTemplate(FrameTemplate* frame);
    void EditFreeShapeTemplate(FrameTemplate* frame);
    void CreateSimple();
    void CreateFreeShape();
    void DeleteSelectedTemplate();
    void RenameSelected();
    // Moves the selected template into child entry index of the category.
    void MoveSelectedTo(size_t child);
    void CreateFolder();
    void DeleteSelectedFolder();
    void OpenSelected();

    CListBox list;
    std::vector<FrameListItem> items;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnSelChange();
    afx_msg void OnDblClk();
    afx_msg void OnEdit();
    afx_msg void OnMoveTo();
    DECLARE_MESSAGE_MAP()

private:
    FrameCategory& Current() const { return *GetCurrentFrameCategory(); }
    void Rescan();
};

// Image > Frame > Edit Frame Template: on a freshly scanned library.
int RunEditFrameTemplates(CMainFrame* frame);
