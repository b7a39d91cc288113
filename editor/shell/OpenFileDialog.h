// "Open File": the editor's own open dialog. A folder browser with a "Look
// in" list, a thumbnail list made on the algorithm thread, a file and EXIF
// information panel, shortcuts to well-known folders, and hand-overs to the
// traditional dialog, RAW opening and capture.
#pragma once

#include "editor/shell/OpenFileThumbList.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/ImageComboBox.h"
#include "editor/ui/SkinDialog.h"
#include "platform/afx/CommCtrl.h"

#include <deque>
#include <string>
#include <vector>

struct ExifFields;

inline constexpr UINT IDD_OPEN_FILE = 286;
inline constexpr UINT IDC_OPEN_LOOK_IN = 1354;
inline constexpr UINT IDC_OPEN_BACK = 1355;
inline constexpr UINT IDC_OPEN_UP = 1356;
inline constexpr UINT IDC_OPEN_VIEW = 1357;
inline constexpr UINT IDC_OPEN_CLASSIC = 1358;
inline constexpr UINT IDC_OPEN_INFO = 1359;
inline constexpr UINT IDC_OPEN_NAME_LABEL = 1360;
inline constexpr UINT IDC_OPEN_TYPE_LABEL = 1361;
inline constexpr UINT IDC_OPEN_TYPE = 1362;
inline constexpr UINT IDC_OPEN_NAME = 1076;
inline constexpr UINT IDC_OPEN_DOCUMENTS = 1458;
inline constexpr UINT IDC_OPEN_PICTURES = 1459;
inline constexpr UINT IDC_OPEN_DESKTOP = 1460;
inline constexpr UINT IDC_OPEN_CURRENT = 1461;
inline constexpr UINT IDC_OPEN_RAW = 1496;
inline constexpr UINT IDC_OPEN_CAPTURE = 1536;
inline constexpr UINT IDC_OPEN_LIST = 1000;
// The "Open Raw" button's pop-up.
inline constexpr UINT IDR_OPEN_RAW_MENU = 370;

// One entry of the "File Type:" combo: its name and the extensions of its patterns.
struct OpenFileType {
    std::string name;
    std::vector<std::string> extensions;
};

// A "Look in" line or a folder of the Back history.
struct LookInEntry {
    char text[64];
    char path[512]; // with its trailing '/'
    int indent;
    int icon;       // image of bitmap 292: 0 root, 1 optical, 2 other volume, 3 folder, 4 open folder, 5 home
};

class OpenFileDialog : public CSkinDialog {
public:
    OpenFileDialog(BOOL openFileDialog, LPCSTR defaultExt, LPCSTR fileName, DWORD flags, LPCSTR filter,
                   CWnd* parent);
    ~OpenFileDialog() override;

    const char* GetPathName() const { return m_chosen; }

    // The folder names of a path: split at '/' and '\', empty names skipped.
    static std::vector<std::string> SplitPath(const char* folder);
    // "Name|*.a;*.b|Name|*.c||": one type per pair whose patterns give extensions.
    static std::vector<OpenFileType> ParseFilter(const char* filter);
    // Folders first, then by name without regard to case.
    static bool ListsBefore(const ThumbJobEntry* a, const ThumbJobEntry* b);
    // The panel's EXIF lines for one record (without the closing lines).
    static std::vector<std::string> ExifLines(const ExifFields& fields);
    // The panel's lines for a file of the folder.
    static std::vector<std::string> InformationLines(const char* folder, const char* name);
    // The mounted volumes of a mount table (/proc/self/mounts) under /media,
    // /mnt and /run/media, named by their last path component.
    static std::vector<LookInEntry> VolumesOf(const std::string& mountTable);

    // Goes to folder: FALSE, with everything kept, when it cannot be listed.
    BOOL MoveTo(const char* folder, BOOL pushHistory);
    const char* GetFolder() const { return m_folder; }
    const std::vector<LookInEntry>& GetHistory() const { return m_history; }
    const std::vector<LookInEntry>& GetLookIn() const { return m_lookIn; }
    const std::vector<OpenFileType>& GetTypes() const { return m_types; }
    // The entries of the listing and the order they are shown in.
    const std::vector<ThumbJobEntry>& GetEntries() const { return *m_entries; }
    const std::vector<ThumbJobEntry*>& GetShown() const { return m_shown; }
    OpenFileThumbList& GetList() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnBack();
    afx_msg void OnUp();
    afx_msg void OnClassic();
    afx_msg void OnDocuments();
    afx_msg void OnPictures();
    afx_msg void OnDesktop();
    afx_msg void OnCurrentPhoto();
    afx_msg void OnOpenRaw();
    afx_msg void OnCapture();
    afx_msg void OnLookInChange();
    afx_msg void OnTypeChange();
    afx_msg LRESULT OnListNotify(WPARAM code, LPARAM lParam);
    afx_msg LRESULT OnThumbnailNotice(WPARAM code, LPARAM index);
    DECLARE_MESSAGE_MAP()

private:
    void Layout();
    void FillTypes();
    void FillLookIn();
    void UpdateButtons();
    // Empties the listing and lists the current folder; FALSE when it cannot be read.
    BOOL ListFolder();
    void ShowList();
    void ShowInformation(int shown);
    // Ends with the file of the current folder.
    void ChooseFile(const char* name);
    void OpenFolderItem(const char* name);
    void EndWith(int result);
    void CloseAndPost(UINT command);
    BOOL IsEnabledInMainFrame(UINT command);
    void SetEntryText(LookInEntry* entry, const char* text, const char* path, int indent, int icon);
    int FindShown(int entryIndex) const;

    DWORD m_flags;
    std::string m_defaultExt;
    std::string m_filter;
    char m_folder[512] = {};
    char m_chosen[512] = {};
    std::vector<OpenFileType> m_types;
    std::vector<LookInEntry> m_lookIn;
    std::vector<FolderEntry> m_lookInIcons;
    std::vector<LookInEntry> m_history;
    // Every listing gets a list of its own: a thumbnail decoded for an old
    // listing can never land in a same-named entry of a new one. Old lists
    // stay (empty) until the dialog goes, as the worker may still hold one.
    std::deque<std::vector<ThumbJobEntry>> m_lists;
    std::vector<ThumbJobEntry>* m_entries;
    std::vector<ThumbJobEntry*> m_shown;
    int m_initialised = 0;

    OpenFileThumbList m_list;
    CImageComboBox m_lookInCombo;
    CImageList m_lookInImages;
    CButtonST m_back, m_up, m_view, m_raw, m_capture;
};
