// The album window's right-hand pane: a strip of picture buttons above the
// open folder's photo list. It starts the editor and the RAW converter,
// renames, deletes, imports and sets the wallpaper.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "album/shell/ImgButton.h"
#include "album/shell/MenuButton.h"
#include "album/shell/PhotoListView.h"
#include "album/shell/ViewPhotoDlg.h"
#include "platform/afx/Wnd.h"

#include <string>

namespace shelf {

class CFolderPane;
class CLayoutWnd;

// The import button: its face fills the button, the caption sits on it
// right of the face's camera.
class CImportButton : public CImgButton {
public:
    static constexpr int kCaptionLeft = 30;
    void DrawCaption(CDC* dc, BOOL pressed) override;
};

class CCommandBar : public CWnd {
public:
    static constexpr UINT kListId = 1032;
    static constexpr int kBarHeight = 30;
    static constexpr COLORREF kBackground = RGB(64, 64, 64);
    enum ButtonId : UINT {
        kParentFolder = 1018, kView = 4112, kEdit = 1007, kBatch = 4115, kPrint = 4114, kDelete = 1065,
        kSlideShow = 1019, kImport = 1059, kImportRaw = 4120, kSort = 4117, kViewMode = 4118, kSearch = 4119,
    };

    // What the buttons' rules look at.
    struct State {
        bool folderOpen = false;
        bool selected = false;
        bool firstIsFolder = false;
        int selectedCount = 0;
        bool folderHasParent = false;
        bool timeline = false;
        bool folderHasPhotos = false;
        bool projects = false;
        bool editorPresent = false;
        bool developPresent = false;
    };
    struct Enables {
        bool view, edit, print, del, parent, slideShow, sort, import, batch, importRaw, viewMode, search;
    };
    static Enables ButtonRules(const State& s);
    // The old path with the typed name's stem and the old extension.
    static std::string RenamedPath(const std::string& oldPath, const std::string& typed);

    void FillList();
    void ReloadListing(int keepSelection);
    void OnSelectionChanged();
    void ShowInExifBar();
    void UpdateButtons();
    void SetSortMode(int mode);
    void Edit();
    void Rename();
    void DeleteSelected();
    void Import();
    void SetWallpaper();
    // Tools > Slideshow: the folder's photos from the first selected one.
    void SlideShow();
    // The folder's present photos in the model's order, and where the first
    // selected one stands among them (0 when absent).
    std::vector<std::string> SlidePaths(int* start) const;
    void StartDevelop();
    State CurrentState() const;

    std::string EditorProgram() const;
    std::string DevelopProgram() const;

    CImgButton m_edit, m_view, m_print, m_delete, m_parent, m_batch, m_slideShow, m_search, m_importRaw;
    CImportButton m_import;
    CMenuButton m_sort, m_viewMode;
    CPhotoListView m_list;
    // Created hidden with the list; opens on a photo of it.
    std::unique_ptr<CViewPhotoDlg> m_viewPhoto;
    int m_sortMode = 0;
    // The photo the EXIF bar would show: the first selected entry.
    const PhotoEntry* m_pShown = nullptr;
    // Told of every selection change; set by the layout window.
    class CExifBar* m_pExifBar = nullptr;
    CFolderPane* m_pFolderPane = nullptr;
    CLayoutWnd* m_pLayout = nullptr;
    // Other programs, when not the program folder's (tests).
    std::string m_editorProgram;
    std::string m_developProgram;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnThumbListNotify(WPARAM wParam, LPARAM lParam);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateButtons();
    void Refresh();
    void SetButton(CWnd& button, bool enabled);
    std::string SelectedPath() const;
};

} // namespace shelf
