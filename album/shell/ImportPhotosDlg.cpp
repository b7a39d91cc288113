#include "album/shell/ImportPhotosDlg.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/TipsDlg.h"
#include "platform/afx/DC.h"
#include "platform/afx/WinApp.h"

namespace shelf {

void CSourceButton::DrawCaption(CDC* dc, BOOL pressed)
{
    char text[257] = {};
    GetWindowText(text, sizeof text);
    if (!text[0] || !dc)
        return;
    CRect client;
    GetClientRect(&client);
    CFont* old = dc->SelectObject(&m_font);
    const SIZE ext = dc->GetTextExtent(text);
    const int shift = pressed ? 1 : 0;
    dc->SetTextColor(m_captionColor);
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut((client.Width() - ext.cx) / 2 + shift, client.Height() - ext.cy - 6 + shift, text);
    dc->SelectObject(old);
}

BOOL CImportPhotosDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    SetWindowPos(nullptr, 0, 0, 360 + window.Width() - client.Width(), 210 + window.Height() - client.Height(),
                 SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    const std::string texture = theAlbum ? theAlbum->GetSkinPath("3dface.bmp") : std::string();
    struct Face {
        CSourceButton* button;
        RECT rect;
        UINT id;
        const char* face;
        int text;
    };
    const Face faces[] = {
        {&m_camera, {10, 10, 160, 160}, kFromCamera, "fromcamera.bmp", 26},
        {&m_disk, {180, 10, 340, 160}, kFromDisk, "fromdisk.bmp", 28},
    };
    for (const Face& f : faces) {
        const std::string file = theAlbum ? theAlbum->GetSkinPath(f.face) : std::string();
        if (f.button->Create(theAlbumTexts.GetText(f.text), f.rect, this, f.id, file.c_str(), nullptr, 0))
            f.button->SetTexture(texture.c_str());
    }
    // Without a source manager there is nothing to scan with.
    m_camera.EnableWindow(m_canAcquire);
    return TRUE;
}

BOOL CImportPhotosDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kFromCamera:
        OnFromCamera();
        return TRUE;
    case kFromScanner:
        m_source = kSourceScanner;
        EndDialog(IDOK);
        return TRUE;
    case kFromDisk:
        m_source = kSourceDisk;
        EndDialog(IDOK);
        return TRUE;
    default:
        return CSkinDialog::OnCommand(wParam, lParam);
    }
}

void CImportPhotosDlg::OnFromCamera()
{
    CWinApp* app = AfxGetApp();
    const int show = static_cast<int>(app->GetProfileInt("Open", "Import", 1));
    int keep = 0;
    if (show)
        keep = (m_showTip ? m_showTip : ShowTip)("import.htm", theAlbumTexts.GetText(61), 1);
    if (!show || !keep)
        app->WriteProfileInt("Open", "Import", 0);
    m_source = kSourceCamera;
    EndDialog(IDOK);
}

} // namespace shelf
