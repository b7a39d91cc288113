// QuilloCollage's main dialog: the template list, the composed preview and
// the photo menu in normal mode; the box canvas in frame-edit mode.
#pragma once

#include "collage/CollagePreview.h"
#include "collage/CollageTemplate.h"
#include "collage/CommandLine.h"
#include "collage/Compose.h"
#include "collage/FrameBoxCanvas.h"
#include "editor/ui/ThumbListCtrl.h"
#include "platform/afx/Afx.h"

#include <atomic>
#include <thread>
#include <vector>

namespace collage {

inline constexpr UINT kMainDialog = 102;
inline constexpr UINT kListId = 16418;
inline constexpr UINT kBoxMenu = 137;
inline constexpr UINT ID_APPLY_TO_ALL = 32772;
inline constexpr UINT kAboutCommand = 16;
inline constexpr UINT_PTR kTimerId = 123;
// From the composing thread: wParam the generation, lParam 1 on success.
inline constexpr UINT WM_COLLAGE_COMPOSED = WM_USER + 200;

inline constexpr UINT IDC_NAME_LABEL = 1001;
inline constexpr UINT IDC_NAME = 1000;
inline constexpr UINT IDC_SAVE = 1007;
inline constexpr UINT IDC_LOAD_REFERENCE = 1006;
inline constexpr UINT IDC_DELETE_BOX = 1003;
inline constexpr UINT IDC_PREVIOUS_BOX = 1004;
inline constexpr UINT IDC_NEXT_BOX = 1005;
inline constexpr UINT IDC_SELECT = 1010;
inline constexpr UINT IDC_PHOTOS = 1013;
inline constexpr UINT IDC_DELETE = 1017;
inline constexpr UINT IDC_ETCHED = 1008;

// The image filter of the photo and reference file dialogs.
extern const char kImageFilter[];

class CTemplateListPanel : public CThumbListCtrl {
public:
    BOOL Create(const RECT& rect, CWnd* parent);
};

class CCollageDlg : public CDialog {
public:
    explicit CCollageDlg(const CollageStart& start, CWnd* parent = nullptr);
    ~CCollageDlg() override;

    bool EditMode() const { return m_editMode; }
    bool Selecting() const { return m_selecting; }
    CollageTemplate& Template() { return m_template; }
    BoxPhoto* Photos() { return m_photos; }
    const std::vector<TemplateListEntry>& TemplateList() const { return m_list; }
    CFrameBoxCanvas& Canvas() { return m_canvas; }
    CTemplateListPanel& ListPanel() { return m_listPanel; }
    CCollagePreview& Preview() { return m_preview; }
    // Whether a composition is running now.
    bool Composing() const { return m_composer.joinable(); }
    // Runs the timer's rules now.
    void UpdateControls();
    void BuildTemplateList();
    // Chooses a photo for a box through the file dialog; with the paste range.
    bool ChoosePhoto(int box, bool askRange);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg void OnSelect();
    afx_msg void OnPhotos();
    afx_msg void OnDelete();
    afx_msg void OnSave();
    afx_msg void OnLoadReference();
    afx_msg void OnDeleteBox();
    afx_msg void OnPreviousBox();
    afx_msg void OnNextBox();
    afx_msg void OnApplyToAll();
    afx_msg void OnBoxPhoto(UINT nID);
    afx_msg LRESULT OnListNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnComposed(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Layout();
    void ShowModeControls();
    void LoadCommandLinePhoto();
    // Starts a composition of the current template and photos; a running one
    // is given up first.
    void StartCompose();
    void StopCompose();
    // Waits for a running composition and takes its result.
    void FinishCompose();
    void TakeComposition(bool ok);
    int Message(const char* key, UINT type = MB_OK);

    CollageStart m_start;
    bool m_editMode = false;
    bool m_selecting = true;
    bool m_switchWhenComposed = false;
    CollageTemplate m_template;
    BoxPhoto m_photos[kMaxBoxes];
    std::vector<TemplateListEntry> m_list;
    CFrameBoxCanvas m_canvas;
    CTemplateListPanel m_listPanel;
    CCollagePreview m_preview;
    bool m_listShown = false;
    bool m_layoutReady = false;

    std::thread m_composer;
    std::atomic<bool> m_cancel{false};
    UINT m_generation = 0;
    CQLImage m_pending;
};

} // namespace collage
