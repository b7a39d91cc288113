// The small settings dialogs of a drawn frame template: "Template
// Informations", "Size", "Border Shadow", " Settings of Scan Line Border",
// "Settings of Signature" and "Settings of Rectangle". Each copies its
// values in, edits them, and writes them back on OK.
#pragma once

#include "editor/retouch/FrameTemplate.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Dialog.h"

#include <string>
#include <vector>

inline constexpr UINT IDD_TEMPLATE_INFO = 185;
inline constexpr UINT IDD_FRAME_SIZE = 187;
inline constexpr UINT IDD_BORDER_SHADOW = 189;
inline constexpr UINT IDD_RECTANGLE_SETTINGS = 190;
inline constexpr UINT IDD_SCANLINE_SETTINGS = 191;
inline constexpr UINT IDD_SIGNATURE_SETTINGS = 193;
inline constexpr UINT IDR_SIGNATURE_MACROS = 197;

inline constexpr UINT IDC_INFO_COMMENT = 1092;
inline constexpr UINT IDC_INFO_AUTHOR = 1093;
inline constexpr UINT IDC_SIZE_LEFT = 1107;   // then top, right, bottom
inline constexpr UINT IDC_SIZE_SPIN_LEFT = 1111;
inline constexpr UINT IDC_SIZE_UNIT = 1115;
inline constexpr UINT IDC_SIZE_UNIT_LABEL = 1150;
inline constexpr UINT IDC_SHADOW_COLOUR = 1116;
inline constexpr UINT IDC_SHADOW_X = 1117;     // then y, blur
inline constexpr UINT IDC_SHADOW_SPIN_X = 1120;
inline constexpr UINT IDC_SCANLINE_TYPE = 1115;
inline constexpr UINT IDC_SCANLINE_COLOUR = 1116;
inline constexpr UINT IDC_SIGN_TEXT = 1135;
inline constexpr UINT IDC_SIGN_MACROS = 1136;
inline constexpr UINT IDC_SIGN_FONT = 1137;
inline constexpr UINT IDC_SIGN_SIZE_SPIN = 1139;
inline constexpr UINT IDC_SIGN_SIZE = 1140;
inline constexpr UINT IDC_SIGN_ALIGN = 1141;
inline constexpr UINT IDC_SIGN_X = 1142;
inline constexpr UINT IDC_SIGN_Y = 1144;
inline constexpr UINT IDC_SIGN_X_SPIN = 1120;
inline constexpr UINT IDC_SIGN_Y_SPIN = 1121;
inline constexpr UINT IDC_SIGN_COLOUR = 1147;
inline constexpr UINT IDC_SIGN_PREVIEW = 1148;
inline constexpr UINT IDC_RECT_LIST = 1000;
inline constexpr UINT IDC_RECT_SWATCH = 1104;
inline constexpr UINT IDC_RECT_COLOUR = 1116;
inline constexpr UINT IDC_RECT_ADD = 1124;
inline constexpr UINT IDC_RECT_DELETE = 1125;
inline constexpr UINT IDC_RECT_MODIFY = 1127;
inline constexpr UINT IDC_RECT_SIZE = 1129;
inline constexpr UINT IDC_RECT_SIZE_TEXT = 1130;
inline constexpr UINT IDC_RECT_WIDTH = 1131;
inline constexpr UINT IDC_RECT_WIDTH_SPIN = 1132;

// "%d%s,%d%s,%d%s,%d%s": left, top, right, bottom, "%" after percentages.
std::string SizeText(const FrameLength& left, const FrameLength& top, const FrameLength& right,
                     const FrameLength& bottom);
// SelectColor on an image colour; true when it was changed (OK).
bool SelectPixelColour(CPixel& colour, const char* caption);
// The codes that "Insert macros ..." appends, by menu command.
const char* MacroCode(UINT command);

class CTemplateInfoDlg : public CDialog {
public:
    explicit CTemplateInfoDlg(CWnd* parent) : CDialog(IDD_TEMPLATE_INFO, parent) {}
    CString m_author, m_comment;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// "Template Informations" on the template's author and comment; true on OK.
bool EditTemplateInfo(TemplateInfo& info, CWnd* parent);

// The four lengths of a canvas, a border or a rectangle.
class CFrameSizeDlg : public CDialog {
public:
    static constexpr int kMin = -50, kMax = 50;

    explicit CFrameSizeDlg(CWnd* parent) : CDialog(IDD_FRAME_SIZE, parent) {}
    void Load(const FrameLength& left, const FrameLength& top, const FrameLength& right, const FrameLength& bottom);
    // All four take the unit of the combo (0 percent, 1 pixels).
    void Store(FrameLength& left, FrameLength& top, FrameLength& right, FrameLength& bottom) const;

    int m_values[4] = {};
    int m_unit = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnSpin(UINT id, NMHDR* hdr, LRESULT* result);
    DECLARE_MESSAGE_MAP()
};

class CBorderShadowDlg : public CDialog {
public:
    explicit CBorderShadowDlg(CWnd* parent) : CDialog(IDD_BORDER_SHADOW, parent) {}
    void Load(const BorderSettings& border);
    void Store(BorderSettings& border) const;

    int m_x = 0, m_y = 0, m_blur = 0;
    CPixel m_colour{};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnSpin(UINT id, NMHDR* hdr, LRESULT* result);
    afx_msg void OnColour();
    DECLARE_MESSAGE_MAP()
};

class CScanLineDlg : public CDialog {
public:
    explicit CScanLineDlg(CWnd* parent) : CDialog(IDD_SCANLINE_SETTINGS, parent) {}

    int m_pattern = 0;
    CPixel m_colour{};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnColour();
    DECLARE_MESSAGE_MAP()
};

class CSignatureSettingsDlg : public CDialog {
public:
    explicit CSignatureSettingsDlg(CWnd* parent);
    // Text, face, size, x, y, alignment and colour; units stay as they are.
    void Load(const SignatureSettings& s);
    void Store(SignatureSettings& s) const;

    // Inside the preview area: the grey rectangle that stands for the photo.
    static RECT PhotoRect(const RECT& area);
    static POINT Anchor(const RECT& photo, int x, int y);
    // A click at point (in the area's coordinates) as X and Y percentages.
    static POINT ClickToXY(const RECT& photo, POINT point);
    RECT PreviewArea() const;
    void AppendMacro(UINT command);

    CString m_text = "Photo by U";
    CString m_face = "Arial";
    int m_size = 1, m_x = 1, m_y = 1, m_align = 0;
    CPixel m_colour{255, 255, 255, 255};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnSpin(UINT id, NMHDR* hdr, LRESULT* result);
    afx_msg void OnSpinSize(NMHDR* hdr, LRESULT* result);
    afx_msg void OnPlacementChange();
    afx_msg void OnMacros();
    afx_msg void OnFont();
    afx_msg void OnColour();
    DECLARE_MESSAGE_MAP()

private:
    void DrawPreview(CDC* dc);
    // Writes the fields without taking their change notices as edits.
    void WriteFields();
    bool m_ready = false;
    bool m_writing = false;
};

class CRectangleSettingsDlg : public CDialog {
public:
    explicit CRectangleSettingsDlg(CWnd* parent);

    void Add();
    void Modify();
    void DeleteSelected();
    void Select(int index);
    int SelectedIndex() const;

    std::vector<FrameRectangle> m_rectangles;
    FrameRectangle m_edit;
    int m_width = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnSpin(NMHDR* hdr, LRESULT* result);
    afx_msg void OnItemChanged(NMHDR* hdr, LRESULT* result);
    afx_msg void OnListKey(NMHDR* hdr, LRESULT* result);
    afx_msg void OnSize();
    afx_msg void OnColour();
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    DECLARE_MESSAGE_MAP()

private:
    void RebuildList();
    void ShowEdited();
    CListCtrl m_list;
    bool m_rebuilding = false;
};
