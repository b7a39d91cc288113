// The frame's editing commands: quarter turns and mirrors, automatic levels
// and the direct effects on the algorithm thread, undo and redo, the
// clipboard, and the turn of a photo by its EXIF orientation.
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PhotoEditJob.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/Clipboard.h"

#include <QImage>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kEditJobTag = 10429;
constexpr UINT kRotateRight = 32785, kRotateLeft = 32786;

// Every command that changes or replaces the photo outside the dialog table.
constexpr UINT kPhotoCommands[] = {57601, 57602, 32881, 32882, 57637, 57643, 57644, 32898, 32900, 32905, 32906,
                                   32785, 32786, 32787, 32775, 32788, 32831, 32846, 32843, 32844, 32870, 32879};

}  // namespace

BOOL CMainFrame::ChangesPhoto(UINT id)
{
    return IsDialogCommand(id) || std::find(std::begin(kPhotoCommands), std::end(kPhotoCommands), id) !=
                                      std::end(kPhotoCommands);
}

BOOL CMainFrame::StartEdit(UINT command)
{
    CPhotoEditJob::Kind kind;
    int textId = 0;
    if (IsEditing() || theAlgorithmThread.IsBusy() || !thePhotoDocument.IsLoaded() ||
        !CPhotoEditJob::FromCommand(command, &kind, &textId))
        return FALSE;
    auto job = std::make_unique<CPhotoEditJob>(kind);
    job->SetImages(&thePhotoDocument.m_image, nullptr);
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(job.get(), nullptr, kEditJobTag, 0, 100))
        return FALSE;
    m_editJob = std::move(job);
    m_editCommand = command;
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
    return TRUE;
}

LRESULT CMainFrame::OnAlgorithmNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam != 1 || lParam != kEditJobTag || !m_editJob)
        return 0;
    std::unique_ptr<CPhotoEditJob> job = std::move(m_editJob);
    const BOOL byExif = std::exchange(m_rotatingByExif, FALSE);
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
    CPhotoEditJob::Kind kind;
    int textId = 0;
    if (theAlgorithmThread.GetResult() != 0 || !CPhotoEditJob::FromCommand(m_editCommand, &kind, &textId))
        return 0;
    thePhotoDocument.m_image = std::move(job->m_result);
    if (byExif)
        thePhotoDocument.m_exif.SetOrientation(1);
    const char* name = theUITextTable.GetText(textId);
    if (job->m_snapshot)
        thePhotoDocument.m_history.PushSnapshot(std::move(job->m_snapshot), job->m_snapshotLength, name);
    else
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, name);
    m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.RefreshFunctionBar();
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    return 0;
}

void CMainFrame::WaitForEdit()
{
    if (!m_editJob)
        return;
    while (theAlgorithmThread.IsBusy())
        ::Sleep(5);
    m_editJob.reset();
    m_rotatingByExif = FALSE;
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CMainFrame::OnEditCommand(UINT id)
{
    StartEdit(id);
}

void CMainFrame::OnUpdateEditCommand(CCmdUI* ui)
{
    ui->Enable(thePhotoDocument.IsLoaded() && !IsEditing());
}

void CMainFrame::OnUndo()
{
    if (m_view.m_paintMode) {
        m_view.m_paintContainer.m_canvas.Undo();
        return;
    }
    if (!IsEditing() && thePhotoDocument.m_history.CanUndo())
        ShowHistoryStep(&UndoHistory::Undo);
}

void CMainFrame::OnRedo()
{
    if (!m_view.m_paintMode && !IsEditing() && thePhotoDocument.m_history.CanRedo())
        ShowHistoryStep(&UndoHistory::Redo);
}

void CMainFrame::ShowHistoryStep(int (UndoHistory::*step)(CQLImage*))
{
    AfxBeginWaitCursor();
    if ((thePhotoDocument.m_history.*step)(&thePhotoDocument.m_image)) {
        m_view.m_imageView.SetImage(&thePhotoDocument.m_image, TRUE);
        m_view.RefreshFunctionBar();
        RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    AfxEndWaitCursor();
}

void CMainFrame::OnUpdateUndo(CCmdUI* ui)
{
    if (m_view.m_paintMode) {
        ui->Enable(m_view.m_paintContainer.m_canvas.CanUndo());
        return;
    }
    ui->Enable(!IsEditing() && thePhotoDocument.m_history.CanUndo());
}

void CMainFrame::OnUpdateRedo(CCmdUI* ui)
{
    ui->Enable(!m_view.m_paintMode && !IsEditing() && thePhotoDocument.m_history.CanRedo());
}

void CMainFrame::AutoRotateByExif()
{
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    if (w <= h)
        return;
    const WORD orientation = thePhotoDocument.m_exif.GetOrientation();
    if (orientation != 6 && orientation != 8)
        return;
    // The stored value describes the photo until the turn is made.
    m_rotatingByExif = StartEdit(orientation == 6 ? kRotateRight : kRotateLeft);
}

// ---- Clipboard ----

HGLOBAL MakeDibBlock(const CQLImage& image, RECT rect)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    const LONG left = std::max<LONG>(rect.left, 0), top = std::max<LONG>(rect.top, 0);
    const LONG right = std::min<LONG>(rect.right, static_cast<LONG>(w));
    const LONG bottom = std::min<LONG>(rect.bottom, static_cast<LONG>(h));
    if (right <= left || bottom <= top || image.GetAreaByteSize() == 0)
        return nullptr;
    const size_t width = static_cast<size_t>(right - left), height = static_cast<size_t>(bottom - top);
    const size_t rowBytes = width * 4;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, sizeof(BITMAPINFOHEADER) + rowBytes * height);
    if (!block)
        return nullptr;
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::memcpy(bytes, &header, sizeof header);
    BYTE* out = bytes + sizeof header;
    for (LONG y = bottom - 1; y >= top; --y, out += rowBytes) {
        std::memcpy(out, image.GetBuffer(left, y), rowBytes);
        for (size_t x = 0; x < width; ++x)
            out[x * 4 + 3] = 255;
    }
    GlobalUnlock(block);
    return block;
}

BOOL CopyImageToClipboard(CWnd* owner, const CQLImage& image, RECT rect)
{
    HGLOBAL block = MakeDibBlock(image, rect);
    if (!block)
        return FALSE;
    if (!::OpenClipboard(owner ? owner->GetSafeHwnd() : nullptr)) {
        GlobalFree(block);
        AfxMessageBox("Cannot open the Clipboard");
        return FALSE;
    }
    EmptyClipboard();
    const BOOL taken = SetClipboardData(CF_DIB, block) != nullptr;
    CloseClipboard();
    if (!taken)
        GlobalFree(block);
    return taken;
}

namespace {
CMainFrame::PasteSheetRunner g_pasteSheet = nullptr;
}

void CMainFrame::SetPasteSheetRunner(PasteSheetRunner run)
{
    g_pasteSheet = run;
}

// The clipboard picture as a new image; FALSE when refused or out of memory.
static BOOL ImageFromClipboardBlock(const void* block, size_t size, CQLImage& image)
{
    QImage picture;
    if (!qlafx::ImageFromDib(block, size, picture) ||
        image.Create(static_cast<UINT>(picture.width()), static_cast<UINT>(picture.height())) != 0)
        return FALSE;
    // ARGB32 and RGB32 lie in memory as B, G, R, A, as our images do.
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(image.GetBuffer(0, y), picture.constScanLine(y), static_cast<size_t>(picture.width()) * 4);
    return TRUE;
}

BOOL CMainFrame::PasteDibOverPhoto(const void* block, size_t size)
{
    CQLImage picture;
    if (!g_pasteSheet || !thePhotoDocument.IsLoaded() || !ImageFromClipboardBlock(block, size, picture))
        return FALSE;
    return g_pasteSheet(this, std::move(picture)) == IDOK;
}

BOOL CMainFrame::PasteDib(const void* block, size_t size)
{
    if (thePhotoDocument.IsLoaded() || !ImageFromClipboardBlock(block, size, thePhotoDocument.m_image))
        return FALSE;
    thePhotoDocument.m_path[0] = '\0';
    thePhotoDocument.m_fileSize = 0;
    thePhotoDocument.m_exif.Clear();
    thePhotoDocument.m_history.Reset();
    ShowPhoto(theUITextTable.GetText(51));
    return TRUE;
}

void CMainFrame::OnPaste()
{
    if (IsEditing() || (thePhotoDocument.IsLoaded() && !g_pasteSheet) || !::OpenClipboard(m_hWnd))
        return;
    // The sheet is modal: it gets its own copy, and the clipboard is closed first.
    std::vector<BYTE> copy;
    if (HGLOBAL block = GetClipboardData(CF_DIB)) {
        const auto* bytes = static_cast<const BYTE*>(GlobalLock(block));
        if (bytes)
            copy.assign(bytes, bytes + GlobalSize(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    if (copy.empty())
        return;
    if (thePhotoDocument.IsLoaded())
        PasteDibOverPhoto(copy.data(), copy.size());
    else
        PasteDib(copy.data(), copy.size());
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainFrame::OnUpdatePaste(CCmdUI* ui)
{
    BOOL enable = FALSE;
    if (!IsEditing() && (!thePhotoDocument.IsLoaded() || g_pasteSheet) && ::OpenClipboard(m_hWnd)) {
        if (HGLOBAL block = GetClipboardData(CF_DIB)) {
            const auto* bytes = static_cast<const BYTE*>(GlobalLock(block));
            BITMAPINFOHEADER header{};
            if (bytes && GlobalSize(block) >= sizeof header) {
                std::memcpy(&header, bytes, sizeof header);
                enable = header.biBitCount == 24 || header.biBitCount == 32;
            }
            GlobalUnlock(block);
        }
        CloseClipboard();
    }
    ui->Enable(enable);
}
