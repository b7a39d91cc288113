// The common dialogs: open and save file, colour, font and the folder
// browser. The file dialog is a layer dialog hosting Qt's own (non-native)
// file widget, so a subclass gets its messages (timers, paint, owner
// drawing) and may add controls through a template of its own; colours and
// fonts are chosen in Qt's own dialogs; the folder browser is a layer
// dialog so that its callback gets the browser's messages.
//
// Tests answer every one of them through qlafx::SetModalHook (MessageBox.h)
// without showing anything. The file dialog and the folder browser are real
// windows: the hook gets them once they are shown (the file dialog with its
// title as caption, text NULL and type 0), may work their controls, and its
// answer ends them; the file dialog's choice is given with
// qlafx::AnswerFileDialog before returning IDOK. CColorDialog, CFontDialog
// and CPrintDialog have no window (m_hWnd NULL): the hook fills in the choice
// with the qlafx::Answer* function of the dialog's kind and returns IDOK, or
// returns IDCANCEL; kModalRun shows the real dialog.
#pragma once

#include "platform/afx/Dialog.h"
#include "platform/afx/WinGdi.h"

#include <string>
#include <vector>

using POSITION = struct QlPosition*;

// ---- open and save ----
inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_SHOWHELP = 0x00000010;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_NODEREFERENCELINKS = 0x00100000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

// The place of the file widget in a template of the file dialog's own
// (OFN_ENABLETEMPLATE, lpTemplateName MAKEINTRESOURCE(id)). The template's
// other controls keep their places beside it; without stc32 they go below
// the file widget.
inline constexpr int stc32 = 0x045F;

// CommDlgExtendedError
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

struct OPENFILENAME {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;  // label, NUL, patterns (";"-separated), NUL, ..., NUL NUL
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;  // 1-based
    LPSTR lpstrFile;     // in: the initial name; out: the path, or folder NUL names NUL NUL
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    void* lpfnHook;
    LPCSTR lpTemplateName;
};
using LPOPENFILENAME = OPENFILENAME*;

// Why the last common dialog failed; 0 when it was cancelled.
DWORD CommDlgExtendedError();

// ---- colour ----
inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;
inline constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
inline constexpr DWORD CC_SHOWHELP = 0x00000008;
inline constexpr DWORD CC_ENABLEHOOK = 0x00000010;
inline constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
inline constexpr DWORD CC_ANYCOLOR = 0x00000100;

struct CHOOSECOLOR {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors;  // 16 colours
    DWORD Flags;
    LPARAM lCustData;
    void* lpfnHook;
    LPCSTR lpTemplateName;
};

// ---- font ----
inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_PRINTERFONTS = 0x00000002;
inline constexpr DWORD CF_BOTH = CF_SCREENFONTS | CF_PRINTERFONTS;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_EFFECTS = 0x00000100;
inline constexpr DWORD CF_TTONLY = 0x00040000;
inline constexpr DWORD CF_NOVERTFONTS = 0x01000000;

struct CHOOSEFONT {
    DWORD lStructSize;
    HWND hwndOwner;
    HDC hDC;
    LOGFONT* lpLogFont;
    INT iPointSize;  // tenths of a point
    DWORD Flags;
    COLORREF rgbColors;
    LPARAM lCustData;
    void* lpfnHook;
    LPCSTR lpTemplateName;
    HINSTANCE hInstance;
    LPSTR lpszStyle;
    WORD nFontType;
    INT nSizeMin;
    INT nSizeMax;
};

// ---- folder browser ----
inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;
inline constexpr UINT BIF_STATUSTEXT = 0x0004;
inline constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;
inline constexpr UINT BIF_EDITBOX = 0x0010;
inline constexpr UINT BIF_VALIDATE = 0x0020;
inline constexpr UINT BIF_NEWDIALOGSTYLE = 0x0040;

// Callback messages (to the callback) and messages to the browser.
inline constexpr UINT BFFM_INITIALIZED = 1;
inline constexpr UINT BFFM_SELCHANGED = 2;
inline constexpr UINT BFFM_VALIDATEFAILED = 3;
inline constexpr UINT BFFM_SETSTATUSTEXT = WM_USER + 100;
inline constexpr UINT BFFM_ENABLEOK = WM_USER + 101;
inline constexpr UINT BFFM_SETSELECTION = WM_USER + 102;
inline constexpr UINT BFFM_SETOKTEXT = WM_USER + 105;

// Ids of the browser's controls.
inline constexpr int IDC_BROWSE_TITLE = 0x3742;
inline constexpr int IDC_BROWSE_STATUS = 0x3743;
inline constexpr int IDC_BROWSE_PATH = 0x3744;
inline constexpr int IDC_BROWSE_CHOOSE = 0x3745;

// An item of the shell's namespace: here always a file-system path.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

using BFFCALLBACK = int (*)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFO {
    HWND hwndOwner;
    LPCITEMIDLIST pidlRoot;  // NULL: the whole file system
    LPSTR pszDisplayName;    // MAX_PATH: the chosen folder's name
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
};
using LPBROWSEINFO = BROWSEINFO*;

// The chosen folder (free it with CoTaskMemFree), NULL when cancelled.
// BFFM_SETSELECTION takes a path (wParam TRUE) or an item (FALSE).
LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi);
// The item's path (MAX_PATH buffer); FALSE for an item that is not a path.
BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath);
// An item for an existing path, NULL for none.
LPITEMIDLIST ILCreateFromPath(LPCSTR pszPath);
void ILFree(LPITEMIDLIST pidl);
void CoTaskMemFree(void* pv);

// The desktop folder of the shell's namespace, enough to turn a path into
// an item: ParseDisplayName (wide path) and Release.
struct IShellFolder {
    virtual HRESULT ParseDisplayName(HWND hwnd, void* pbc, const wchar_t* pszDisplayName, ULONG* pchEaten,
                                     LPITEMIDLIST* ppidl, ULONG* pdwAttributes);
    virtual ULONG Release();
    virtual ~IShellFolder() = default;
};
using LPSHELLFOLDER = IShellFolder*;
HRESULT SHGetDesktopFolder(IShellFolder** ppshf);

// ---- MFC classes ----

class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd) : CDialog() { m_pParentWnd = pParentWnd; }

protected:
    // The hook's answer, else kModalRun.
    int AskHook(const char* title);
    // The Qt widget the real dialog is parented to (NULL: none).
    QWidget* OwnerWidget() const;
};

class QFileDialog;

class CFileDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter is MFC's form: "Label|*.a;*.b|Label|*.c||".
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    // IDOK with the choice in m_ofn, else IDCANCEL.
    int DoModal() override;

    // While the dialog runs, the file under the selection (empty for none);
    // afterwards the chosen path.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // Every chosen path in turn (multiple selection).
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    OPENFILENAME m_ofn{};
    BOOL m_bOpenFileDialog;

    // What the hook chose (see qlafx::AnswerFileDialog).
    std::vector<std::string> m_answer;
    int m_answerFilter = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    // The selection moved to another file or folder; the folder shown changed.
    virtual void OnFileNameChange() {}
    virtual void OnFolderChange() {}
    // The Qt file widget while the dialog runs, else NULL.
    QFileDialog* FileWidget() const { return m_fileWidget; }

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void BuildTemplate();
    void MakeFileWidget();
    void SetUpNames(QFileDialog* widget);
    void PlaceFileWidget(int cx, int cy);
    void FileWidgetDone(int result);
    bool TakeChoice(const std::string& folder, const std::vector<std::string>& names);
    std::string InitialFolder() const;

    char m_szFileName[260]{};
    char m_szFileTitle[64]{};
    std::string m_strFilter;  // NUL-separated
    std::string m_strDefExt;
    qlafx::DialogTemplate m_tmpl{};
    QFileDialog* m_fileWidget = nullptr;
    std::vector<std::string> m_nameFilters;  // as the widget lists them
    bool m_wildName = false;
    std::string m_selection;
    // The widget's place when the window was made, and the client size then.
    RECT m_place{};
    SIZE m_client{};
    // Qt's choice when the person chose in the widget.
    bool m_chosenInWidget = false;
    std::string m_chosenFolder;
    std::vector<std::string> m_chosenNames;
};

class CColorDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    int DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
    static COLORREF* GetSavedCustomColors();

    CHOOSECOLOR m_cc{};
};

class CFontDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFontDialog)
public:
    explicit CFontDialog(const LOGFONT* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);
    int DoModal() override;
    void GetCurrentFont(LOGFONT* lplf) const { *lplf = m_lf; }
    CString GetFaceName() const { return m_lf.lfFaceName; }
    int GetSize() const { return m_cf.iPointSize; }
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
    BOOL IsItalic() const { return m_lf.lfItalic; }

    CHOOSEFONT m_cf{};
    LOGFONT m_lf{};
};

namespace qlafx {

// A file filter of the dialogs: its label and patterns.
struct FileFilter {
    std::string label;
    std::vector<std::string> patterns;
};
// The pairs of an OPENFILENAME filter (NUL-separated, ending in NUL NUL);
// patterns are split at ';' with blanks trimmed.
std::vector<FileFilter> ParseFileFilter(const char* filter);
// MFC's "|"-separated form turned into the NUL-separated one.
std::string FilterFromMfc(const char* mfcFilter);
// Whether a file name (no folder) matches one of the patterns, without
// regard to case, as the dialog lists files.
bool MatchesFilter(const FileFilter& filter, const char* name);

// The hook's answers. Paths are full paths, or names in the dialog's
// initial folder; several only with OFN_ALLOWMULTISELECT, all in one
// folder. filterIndex (1-based, 0 keeps it) is the filter the person chose.
void AnswerFileDialog(CFileDialog& dialog, const std::vector<std::string>& paths, int filterIndex = 0);
void AnswerColorDialog(CColorDialog& dialog, COLORREF color);
void AnswerFontDialog(CFontDialog& dialog, const LOGFONT& font, int pointSize);

}  // namespace qlafx
