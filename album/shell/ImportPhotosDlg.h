// Import Photos: two big picture buttons, from a camera or scanner, or from
// files on a disk.
#pragma once

#include "album/shell/ImgButton.h"
#include "album/shell/SkinDialog.h"

namespace shelf {

// A big source button: the caption centred under the picture.
class CSourceButton : public CImgButton {
public:
    void DrawCaption(CDC* dc, BOOL pressed) override;
};

class CImportPhotosDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 159;
    static constexpr UINT kFromCamera = 11, kFromScanner = 12, kFromDisk = 13;
    enum Source { kSourceCamera = 0, kSourceScanner = 1, kSourceDisk = 2 };

    explicit CImportPhotosDlg(CWnd* parent = nullptr) : CSkinDialog(kTemplate, parent) {}
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    int m_source = kSourceDisk;
    // A source manager is there to scan with.
    int m_canAcquire = 0;
    // Where the camera tip is shown; tests replace it.
    int (*m_showTip)(const char* page, const char* caption, int showCheck) = nullptr;
    CSourceButton m_camera;
    CSourceButton m_disk;

private:
    void OnFromCamera();
};

} // namespace shelf
