#include "editor/retouch/InsertImageDlg.h"

#include "editor/retouch/OverlaySheet.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CmdTarget.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>

const char kInsertImageFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";

namespace {

constexpr int kTextCannotOpen = 5;

}  // namespace

IMPLEMENT_DYNAMIC(CInsertImageDlg, CSkinPropertyPage)

BEGIN_MESSAGE_MAP(CInsertImageDlg, CSkinPropertyPage)
    ON_BN_CLICKED(IDC_INSERT_LOAD, OnLoad)
END_MESSAGE_MAP()

CInsertImageDlg::CInsertImageDlg() : CSkinPropertyPage(IDD_INSERT_IMAGE) {}

BOOL CInsertImageDlg::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    // The file dialog opens once the sheet stands.
    PostMessage(WM_COMMAND, MAKEWPARAM(IDC_INSERT_LOAD, BN_CLICKED), 0);
    return TRUE;
}

void CInsertImageDlg::OnLoad()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kInsertImageFilter, this);
    const bool chosen = dialog.DoModal() == IDOK;
    if (chosen)
        LoadPicture(dialog.GetPathName().GetString());
    // Nothing chosen yet: the whole sheet goes.
    if (path[0] == '\0')
        if (CWnd* sheet = GetParent())
            sheet->PostMessage(WM_COMMAND, IDCANCEL, 0);
}

BOOL CInsertImageDlg::LoadPicture(const char* file)
{
    auto* sheet = dynamic_cast<COverlaySheet*>(GetSheet());
    if (!sheet || !file)
        return FALSE;
    CQLImage picture;
    BeginWaitCursor();
    CQLImageCodec codec;
    const bool loaded = codec.LoadFile(file, &picture) && picture.GetAreaByteSize() != 0;
    EndWaitCursor();
    if (!loaded) {
        MessageBox(theUITextTable.GetText(kTextCannotOpen), nullptr, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    std::snprintf(path, sizeof path, "%s", file);
    SetDlgItemText(IDC_INSERT_PATH, path);
    sheet->objectImage = std::move(picture);
    sheet->objectKind = 0;
    sheet->preview.m_objectIsText = FALSE;
    sheet->PlaceObject(TRUE, nullptr);
    return TRUE;
}
