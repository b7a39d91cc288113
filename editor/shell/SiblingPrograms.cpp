// The programs the editor starts from its program folder: QuilloDevelop for
// RAW files, QuilloSnap for captures, QuilloCollage for frames, QuilloBeacon
// for updates; the help page; and the copy of the filter file.
#include "editor/shell/FolderBrowser.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/win/Folders.h"
#include "platform/win/Process.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr char kDevelop[] = "QuilloDevelop";
constexpr char kSnap[] = "QuilloSnap";
constexpr char kCollage[] = "QuilloCollage";
constexpr char kBeacon[] = "QuilloBeacon";
constexpr char kHelpPage[] = "QuilloEditor.html";
constexpr char kFilterFile[] = "Quillo.8bf";
constexpr char kCaptureResult[] = "qlcap.bmp";
constexpr char kCollageResult[] = "qlmframe.bmp";

struct SiblingCommand {
    UINT id;
    const char* program;
};
const SiblingCommand kSiblingCommands[] = {{32898, kDevelop}, {32905, kSnap}, {32906, kCollage}, {32857, kBeacon}};

// The private temporary folder with its '/'; "" when it cannot be had.
std::string TempFolder()
{
    char folder[MAX_PATH] = {};
    const DWORD n = GetTempPath(sizeof folder, folder);
    return n > 0 && n < sizeof folder ? folder : "";
}

// A result file of an earlier run must never be taken for this run's.
void RemoveFile(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove(path, error);
}

// Copies through a temporary file beside the target and a rename, so a
// failed copy never leaves half a file under the target's name.
BOOL CopyReplacing(const std::string& from, const std::string& to)
{
    namespace fs = std::filesystem;
    const std::string temp = to + ".part";
    std::error_code error;
    if (!fs::copy_file(from, temp, fs::copy_options::overwrite_existing, error) || error) {
        fs::remove(temp, error);
        return FALSE;
    }
    fs::rename(temp, to, error);
    if (error) {
        fs::remove(temp, error);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL CMainFrame::HasSibling(const char* name)
{
    return ::access((ProgramFolder() + name).c_str(), X_OK) == 0;
}

int CMainFrame::RunSibling(const char* name, const char* arg1, const char* arg2, const char* arg3, const char* arg4)
{
    const std::string path = ProgramFolder() + name;
    ShowWindow(SW_HIDE);
    const std::intptr_t code = _spawnl(_P_WAIT, path.c_str(), name, arg1, arg2, arg3, arg4, nullptr);
    ShowWindow(SW_SHOW);
    return static_cast<int>(code);
}

BOOL CMainFrame::LoadSiblingResult(const char* path, int textId)
{
    CQLImage result;
    const BOOL loaded = result.LoadFromFile(path) == 0;
    RemoveFile(path);
    if (!loaded)
        return FALSE;
    // Into an empty editor the result is a new photo, nothing of an earlier one.
    if (!thePhotoDocument.IsLoaded()) {
        thePhotoDocument.m_exif.Clear();
        thePhotoDocument.m_history.Reset();
    }
    thePhotoDocument.m_image = std::move(result);
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(textId));
    m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.RefreshFunctionBar();
    SwitchMenu();
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL CMainFrame::OpenRawResult(const char* path)
{
    const BOOL opened = OpenImageFile(path, 0);
    RemoveFile(path);
    if (!opened)
        return FALSE;
    // The photo has no file of its own: nothing may be saved over the JPEG's name.
    thePhotoDocument.m_path[0] = '\0';
    m_view.RefreshFunctionBar();
    return TRUE;
}

void CMainFrame::OnOpenRawWizard()
{
    if (!HasSibling(kDevelop) || m_kitMode || IsEditing() || !AskSaveChanges())
        return;
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, theUITextTable.GetText(166),
                       this);
    if (dialog.DoModal() != IDOK)
        return;
    const std::string raw = static_cast<const char*>(dialog.GetPathName());
    char name[_MAX_FNAME] = {};
    _splitpath(raw.c_str(), nullptr, nullptr, name, nullptr);
    const std::string temp = TempFolder();
    if (temp.empty())
        return;
    const std::string jpeg = temp + name + ".jpg";
    RemoveFile(jpeg);
    RunSibling(kDevelop, "-i", raw.c_str(), "-o", jpeg.c_str());
    if (std::filesystem::exists(jpeg))
        OpenRawResult(jpeg.c_str());
}

void CMainFrame::OnCapture()
{
    if (!HasSibling(kSnap) || m_kitMode || IsEditing())
        return;
    if (thePhotoDocument.IsLoaded()) {
        OnFileClose();
        if (thePhotoDocument.IsLoaded())
            return;
    }
    const std::string temp = TempFolder();
    if (temp.empty())
        return;
    const std::string result = temp + kCaptureResult;
    RemoveFile(result);
    RunSibling(kSnap);
    LoadSiblingResult(result.c_str(), 236);
}

void CMainFrame::OnCollageFrame()
{
    // Also posted by the frame dialog's button, whatever the menu shows.
    if (!HasSibling(kCollage) || m_kitMode || IsEditing())
        return;
    const std::string temp = TempFolder();
    if (temp.empty())
        return;
    const std::string result = temp + kCollageResult;
    RemoveFile(result);
    RunSibling(kCollage, thePhotoDocument.m_path);
    LoadSiblingResult(result.c_str(), 237);
}

void CMainFrame::OnCheckUpdates()
{
    _spawnl(_P_NOWAIT, (ProgramFolder() + kBeacon).c_str(), kBeacon, nullptr);
}

void CMainFrame::OnUpdateSibling(CCmdUI* ui)
{
    for (const SiblingCommand& c : kSiblingCommands)
        if (c.id == ui->m_nID) {
            // Only the update check leaves the kit's picture alone.
            ui->Enable(HasSibling(c.program) && (!m_kitMode || c.program == kBeacon));
            return;
        }
    ui->Enable(FALSE);
}

void CMainFrame::OnHelpTopics()
{
    ShellExecute(m_hWnd, "open", (ProgramFolder() + kHelpPage).c_str(), nullptr, nullptr, SW_SHOW);
}

void CMainFrame::OnCopyPhotoshopPlugin()
{
    const std::string filter = ProgramFolder() + kFilterFile;
    if (!std::filesystem::exists(filter))
        return;
    MessageBox(theUITextTable.GetText(234), nullptr, MB_OK | MB_ICONINFORMATION);
    char folder[MAX_PATH] = {};
    if (!BrowseForFolder(folder, "", this, nullptr, nullptr))
        return;
    std::string target = folder;
    if (target.empty() || target.back() != '/')
        target += '/';
    if (!CopyReplacing(filter, target + kFilterFile)) {
        MessageBox(theUITextTable.GetText(18), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(theUITextTable.GetText(235), nullptr, MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::OnUpdateCopyPhotoshopPlugin(CCmdUI* ui)
{
    ui->Enable(std::filesystem::exists(ProgramFolder() + kFilterFile));
}
