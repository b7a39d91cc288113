// How a photo enters and leaves the editor: File Open, dropped files, Close,
// Next and Previous photo, and the save question before a photo is given up.
#include "editor/shell/BackgroundWork.h"
#include "editor/shell/EditorApp.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/OverwriteDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/OpenFileDialog.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <string>

namespace {

const char kOpenFilter[] =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|"
    "Jpeg Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|"
    "Compuserve GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|"
    "Truevision Targa(*.tga)|*.tga||";
constexpr int kFileDpi = 72;
// Full colour resolution at 95.
constexpr int kChangePhotoQuality = 195;
constexpr UINT kSaveCommand = 57603;

}  // namespace

std::string CMainFrame::ProgramFolder()
{
    return g_programFolder;
}

void CMainFrame::FreePhoto()
{
    thePhotoDocument.Clear();
    m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.m_paintContainer.m_canvas.SetImage(nullptr, TRUE);
    m_view.RefreshFunctionBar();
    SwitchMenu();
}

void CMainFrame::ShowPhoto(const char* stepName)
{
    thePhotoDocument.m_history.Reset();
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, stepName);
    m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.m_paintContainer.m_canvas.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.RefreshFunctionBar();
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    SwitchMenu();
}

int CMainFrame::AskSaveChanges()
{
    if (!thePhotoDocument.IsModified())
        return 1;
    const int answer =
        MessageBox(theUITextTable.GetText(60), "Warning", MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDNO)
        return 1;
    if (answer != IDYES)
        return 0;
    // Only a photo that really was saved may be given up.
    return RunDialogCommand(kSaveCommand) == IDOK ? 1 : 0;
}

BOOL CMainFrame::SavePhotoBack(int quality)
{
    CPhotoDocument& doc = thePhotoDocument;
    const std::string path = doc.m_path;
    const DWORD type = CQLImageCodec::GetFileType(path.c_str());
    if (type == QL_FILE_JPEG)
        doc.m_history.GetActionText(256, doc.m_exif.GetProcessingText());
    const int saved = RunInBackground(this, [&] {
        CQLImageCodec codec;
        if (type == QL_FILE_JPEG) {
            if (!codec.SaveJpegFile(path.c_str(), &doc.m_image, quality, kFileDpi))
                return 0;
            return doc.m_exif.WriteToFile(TRUE, path.c_str(), TRUE);
        }
        if (!codec.SaveFile(path.c_str(), &doc.m_image))
            return 0;
        return type == QL_FILE_TIFF ? doc.m_exif.WriteToFile(TRUE, path.c_str(), TRUE) : 1;
    });
    if (!saved) {
        AfxMessageBox(theUITextTable.GetText(18), MB_OK | MB_ICONERROR);
        return FALSE;
    }
    doc.m_history.SetModified(FALSE);
    doc.m_fileSize = GetFileSize(path.c_str());
    return TRUE;
}

BOOL CMainFrame::ChangePhoto(const char* path, int saveFirst)
{
    const std::string next = path;
    if (thePhotoDocument.m_history.IsModified() && saveFirst && !SavePhotoBack(kChangePhotoQuality))
        return FALSE;
    FreePhoto();
    if (!OpenImageFile(next.c_str(), 1))
        return FALSE;
    AutoRotateByExif();
    return TRUE;
}

void CMainFrame::OnFileOpen()
{
    if (m_kitMode || IsEditing() || !AskSaveChanges())
        return;
    const DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    std::string path;
    if (theAppSettings.m_userOldStyle) {
        CFileDialog dialog(TRUE, nullptr, nullptr, flags, kOpenFilter, this);
        if (dialog.DoModal() == IDOK)
            path = static_cast<const char*>(dialog.GetPathName());
    } else {
        OpenFileDialog dialog(TRUE, nullptr, nullptr, flags, kOpenFilter, this);
        if (dialog.DoModal() == IDOK)
            path = dialog.GetPathName();
    }
    if (path.empty() || !OpenImageFile(path.c_str(), 1))
        return;
    AutoRotateByExif();
}

void CMainFrame::OnDropFiles(HDROP drop)
{
    char path[512] = {};
    DragQueryFile(drop, 0, path, sizeof path);
    DragFinish(drop);
    // A dropped photo would replace the kit's picture.
    if (m_kitMode || IsEditing() || !path[0])
        return;
    if (CQLImageCodec::GetFileType(path) == QL_FILE_UNKNOWN) {
        AfxMessageBox(theUITextTable.GetText(19));
        return;
    }
    if (!AskSaveChanges() || !OpenImageFile(path, 1))
        return;
    AutoRotateByExif();
}

void CMainFrame::OnFileClose()
{
    if (m_kitMode) {
        SaveAndExitKitMode();
        return;
    }
    if (IsEditing() || !AskSaveChanges())
        return;
    ClearPhoto();
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainFrame::OnNextFile()
{
    GoToFolderPhoto(1);
}

void CMainFrame::OnPrevFile()
{
    GoToFolderPhoto(-1);
}

void CMainFrame::GoToFolderPhoto(int step)
{
    FolderPhotoList& list = thePhotoDocument.m_folderList;
    if (!thePhotoDocument.m_path[0] || m_kitMode || IsEditing())
        return;
    // Asked first, even when there is nothing to save.
    const int answer = AskOverwrite();
    if (answer > 0 && (step > 0 ? list.HasNext() : list.HasPrev()))
        ChangePhoto((std::string(list.GetFolder()) + list.GetEntry(list.GetIndex() + step)).c_str(), answer == 1);
}

void CMainFrame::OnUpdateNextFile(CCmdUI* ui)
{
    ui->Enable(thePhotoDocument.m_folderList.HasNext() && thePhotoDocument.m_path[0] && !m_kitMode &&
               !IsEditing());
}

void CMainFrame::OnUpdatePrevFile(CCmdUI* ui)
{
    ui->Enable(thePhotoDocument.m_folderList.HasPrev() && thePhotoDocument.m_path[0] && !m_kitMode &&
               !IsEditing());
}
