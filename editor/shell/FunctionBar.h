// The main view's left column: a large picture button per group of functions
// with a small button beside it that drops the group's menu, or in compact
// mode a column of small menu buttons. The mode is kept in the profile.
#pragma once

#include "editor/ui/ImgButton.h"
#include "editor/ui/MenuButton.h"
#include "platform/afx/Afx.h"

class CMainFrame;

// Runs one command's dialog modally; its result (IDOK redraws the frame).
using FrameDialogRunner = int (*)(CMainFrame* frame);

class CFunctionBar : public CWnd {
    DECLARE_DYNAMIC(CFunctionBar)
public:
    static constexpr UINT kId = 0xFF1100;
    static constexpr int kNormalWidth = 140;
    static constexpr int kCompactWidth = 38;

    // Buttons.
    static constexpr UINT kTransform = 4113, kTransformMenu = 4114;
    static constexpr UINT kExposure = 4115, kExposureMenu = 4116;
    static constexpr UINT kColor = 4117, kColorMenu = 4118;
    static constexpr UINT kFrame = 4119, kFrameMenu = 4120;
    static constexpr UINT kEnhance = 4121, kEnhanceMenu = 4128;
    static constexpr UINT kMore = 4129, kForum = 4130, kLogo = 4131, kToCompact = 4132, kToNormal = 4133;
    static constexpr UINT kCompactTransform = 4134, kCompactExposure = 4135, kCompactColor = 4136;
    static constexpr UINT kCompactFilter = 4137, kCompactFrame = 4144, kCompactNet = 4145;

    // The more button drops the longer menu below the first height, the
    // shorter one below the second, and is not needed from there on.
    static constexpr int kMoreLongBelow = 320;
    static constexpr int kMoreShortBelow = 410;
    static constexpr UINT kMoreLongMenu = 223;
    static constexpr UINT kMoreShortMenu = 224;
    // The compact web menu's item that opens the logo's address.
    static constexpr UINT kLogoCmd = 12289;
    static constexpr int kLogoLineMax = 127;

    CFunctionBar() = default;
    ~CFunctionBar() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Enables the buttons by the current photo and the kit mode, then redraws.
    void UpdateButtons();
    // The column's width in the current mode.
    int Width() const { return m_compact ? kCompactWidth : kNormalWidth; }
    // Opens the logo's address; nothing when there is no logo.
    void OpenLogo();

    // The dialog a group button runs; a button without one stays disabled.
    // Returns the runner it replaced.
    static FrameDialogRunner SetButtonRunner(UINT buttonId, FrameDialogRunner run);
    // What target's update handler says of command, as a menu would show it.
    static BOOL CommandEnabled(CWnd* target, UINT command);

    // The logo file's first line (the address) and second line (the tool
    // tip), line ends removed. FALSE, both emptied, when the file is missing,
    // has fewer lines, an empty address or a line over kLogoLineMax.
    static BOOL ReadLogoFile(const char* path, char* address, char* tip);

    // The frame whose dialogs the group buttons run, and its kit-mode flag;
    // set by the frame before it creates the view.
    CMainFrame* m_frame = nullptr;
    const int* m_kitMode = nullptr;

    CImgButton m_transform, m_exposure, m_color, m_frameButton, m_enhance;
    CImgButton m_forum, m_logo, m_toCompact, m_toNormal;
    CMenuButton m_compactTransform, m_compactExposure, m_compactColor, m_compactFilter, m_compactFrame;
    CMenuButton m_compactNet;
    CMenuButton m_transformMenu, m_exposureMenu, m_colorMenu, m_frameMenu, m_enhanceMenu, m_more;
    int m_compact = 0;
    char m_logoAddress[kLogoLineMax + 1] = {};
    char m_logoTip[kLogoLineMax + 1] = {};

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg void OnGroupButton(UINT id);
    afx_msg void OnForum();
    afx_msg void OnLogo();
    afx_msg void OnToCompact();
    afx_msg void OnToNormal();
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateButtons();
    BOOL CreateFace(CImgButton& button, UINT id, const char* face, const char* caption, const char* tip,
                    const RECT& place, int layout);
    BOOL CreateMenuFace(CMenuButton& button, UINT id, const char* face, UINT menu, const RECT& place);
    void SkinBackground(CImgButton& button);
    void AddPluginMenu(CMenuButton& button);
    void SetMoreMenu(UINT menu);
    void ShowForMode();
    void PlaceMoreButton(int cx, int cy);
    void SetCompact(int compact);
    BOOL KitMode() const { return m_kitMode && *m_kitMode; }
    void DrawNormalBackground(CDC* dc, const RECT& client);
    void DrawCompactBackground(CDC* dc, const RECT& client);
};
