// Tip of the Day: one line of the program's tips file at a time, going on
// where the last showing stopped.
#pragma once

#include "editor/ui/SkinDialog.h"
#include "platform/afx/GdiObjects.h"

#include <cstdio>
#include <string>

inline constexpr UINT IDC_TIP_STARTUP = 1001;
inline constexpr UINT IDC_TIP_NEXT = 1002;
inline constexpr UINT IDC_TIP_TEXT = 1004;
inline constexpr UINT IDS_TIP_FILE_ABSENT = 107;
inline constexpr UINT IDS_TIP_FILE_TROUBLE = 108;

class CTipDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 103;
    // Longer lines are shown in pieces of this many bytes.
    static constexpr size_t kMaxTip = 2000;

    // Opens the tips file and reads the first tip to show.
    explicit CTipDlg(CWnd* parent = nullptr);
    // Keeps the read position for the next showing.
    ~CTipDlg() override;

    BOOL OnInitDialog() override;

    // Moves to the next tip, from the start again after the last one.
    void ReadNextTip();
    const CString& GetTip() const { return m_tip; }

    // "Tip"/"StartUp" holds 0: the tips are wanted at start-up.
    BOOL m_showAtStartup = FALSE;

protected:
    // Close: keeps the start-up choice.
    void OnOK() override;
    afx_msg void OnNextTip();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    void OpenTipsFile();
    bool ReadPiece(std::string& piece);
    void GiveBackCutCharacter(std::string& piece);

    FILE* m_file = nullptr;
    CString m_tip;
    bool m_midLine = false;   // the last piece did not end its line
    bool m_skipLine = false;  // the line being read is not a tip
    CBrush m_white;
};
