// "Plugins Management": two panes over folders below plugins/, moving,
// deleting effect files and making folders. Changes count from the next
// start; the loaded plug-ins are never touched.
#pragma once

#include "platform/afx/Afx.h"

#include <string>
#include <vector>

struct PluginListEntry {
    char displayName[64];
    char fileName[128];
    int32_t isFolder;
};

class CPluginManagerDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 321;
    static constexpr UINT kRightFolderText = 1311;
    static constexpr UINT kLeftFolderText = 1411;
    static constexpr UINT kLeftList = 1412;
    static constexpr UINT kRightList = 1413;
    static constexpr UINT kMoveRight = 1414;
    static constexpr UINT kMoveLeft = 1415;
    static constexpr UINT kOpenLeft = 1416;
    static constexpr UINT kCreateFolder = 1417;
    static constexpr UINT kOpenRight = 1418;
    static constexpr UINT kDelete = 1419;

    explicit CPluginManagerDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    // One pane: its folder below plugins/ ("/"-joined, empty for plugins/
    // itself), its entries and its list.
    struct Pane {
        std::string folder;
        std::vector<PluginListEntry> entries;
        UINT list;
        UINT text;
        // The list box as an object of its class (subclassed at opening).
        CListBox box;
    };
    Pane m_left{"", {}, kLeftList, kLeftFolderText, {}};
    Pane m_right{"", {}, kRightList, kRightFolderText, {}};
    int m_changed = 0;

    void FillPane(Pane& pane);
    void FillPanes();
    void UpdateButtons();
    void OpenSelected(Pane& pane);
    void MoveSelected(Pane& from, const Pane& to);
    void DeleteSelected();
    void CreateFolder();

protected:
    afx_msg void OnOpenLeft() { OpenSelected(m_left); }
    afx_msg void OnOpenRight() { OpenSelected(m_right); }
    afx_msg void OnMoveRight() { MoveSelected(m_left, m_right); }
    afx_msg void OnMoveLeft() { MoveSelected(m_right, m_left); }
    afx_msg void OnDelete() { DeleteSelected(); }
    afx_msg void OnCreateFolder() { CreateFolder(); }
    afx_msg void OnSelChange() { UpdateButtons(); }
    DECLARE_MESSAGE_MAP()

private:
    // The selected plug-in entry of the pane; nullptr for none, "[..]" or a folder.
    const PluginListEntry* SelectedPlugin(const Pane& pane);
    // plugins/<folder>/ with its trailing "/".
    static std::string FolderPath(const std::string& folder);
};

// Command 2000: runs the dialog, then asks for a restart when it changed
// anything.
int RunPluginManager(CWnd* parent);
