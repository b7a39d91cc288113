// Step 4: the developed image at 8 bits, saved as JPEG or TIFF with the RAW
// file's shooting data, or written to the -o path at once; and a panel
// about the program.
#pragma once

#include "develop/DevelopControls.h"
#include "develop/DevelopPage.h"

#include <string>

namespace develop {

class DevelopSavePage : public DevelopPage {
public:
    enum : UINT {
        kCaption = 8709,
        kTiffDescription = 8710,
        kAbout = 8712,
        kJpegButton = 8961,
        kTiffButton = 8963,
    };

    BOOL Create(CWnd* parent) override;
    void Layout(int cx, int cy) override;
    void OnEnter() override;
    void OnNext() override;

    // The save dialog, then SaveAs.
    void SaveJpeg();
    void SaveTiff();
    // Writes the page image with the shooting data; FALSE (and the message
    // shown) when it failed. Next is enabled either way.
    BOOL SaveAs(const char* path, bool jpeg);

    // Set when the command-line output was tried: whether it was written.
    bool m_outputTried = false;
    bool m_outputWritten = false;

    CQLImage m_image;
    CLinkListCtrl m_about;
    CLinkListCtrl m_caption;
    CImgButton m_jpeg;
    CLinkListCtrl m_jpegDescription;
    CImgButton m_tiff;
    CLinkListCtrl m_tiffDescription;

private:
    void Save(bool jpeg);
};

// The RAW path's folder and name with the extension ext (".jpg").
std::string ProposedName(const std::string& rawPath, const char* ext);

} // namespace develop
