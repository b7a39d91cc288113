// The -i mode: the editor edits the active layer of a layered file that
// QuilloKit reads, shows the kit's merged picture, and hands the result back
// as "<path>.bmp".
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "kit/ComplexImageUtils.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Library.h"

#include <QString>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

constexpr int kKitQuality = 95;
constexpr UINT kOpen = 57601, kSave = 57603, kClose = 57602, kPrint = 57608, kExit = 57665;

BOOL SetText(CBitmapMenu& menu, UINT command, const char* text)
{
    return menu.SetMenuText(command, QString::fromUtf8(text).toStdU16String().c_str(), MF_BYCOMMAND);
}

}  // namespace

BOOL CMainFrame::LoadKit()
{
    HMODULE library = LoadLibrary((ProgramFolder() + kKitLibrary).c_str());
    if (!library)
        return FALSE;
    auto create = reinterpret_cast<CreateQuilloKitInstanceFn>(GetProcAddress(library, "CreateQuilloKitInstance"));
    if (!create)
        return FALSE;
    thePhotoDocument.m_kit = create();
    return thePhotoDocument.m_kit != nullptr;
}

void CMainFrame::TrimMenusForKitMode()
{
    ShowControlBar(&m_toolBar, FALSE, FALSE);
    CBitmapMenu& menu = m_menuImage;
    menu.DeleteMenu(3, MF_BYPOSITION);
    for (UINT command : {kOpen, kSave, kPrint})
        menu.DeleteMenu(command, MF_BYCOMMAND);
    SetText(menu, kClose, theUITextTable.GetText(125));
    SetText(menu, kExit, theUITextTable.GetText(126));
    if (CBitmapMenu* file = menu.SubMenuAt(0)) {
        file->DeleteMenu(1, MF_BYPOSITION);
        file->DeleteMenu(1, MF_BYPOSITION);
    }
    menu.InsertItem(0, MF_BYPOSITION, kClose, theUITextTable.GetText(125));
    // The bar is drawn by the system, from plain text items.
    ::ModifyMenu(menu.GetSafeHmenu(), 0, MF_BYPOSITION | MF_STRING, kClose, theUITextTable.GetText(125));
    if (CBitmapMenu* popup = menu.SubMenuAt(3)) {
        popup->DeleteMenu(2, MF_BYPOSITION);
        popup->DeleteMenu(5, MF_BYPOSITION);
    }
    if (GetMenu() == &m_menuImage)
        DrawMenuBar();
}

BOOL CMainFrame::OpenFromKit(const char* path)
{
    CPhotoDocument& doc = thePhotoDocument;
    if (!doc.m_kit || !doc.m_kit->FromFile(path))
        return FALSE;
    const INTERNAL_IMAGE layer = doc.m_kit->GetImageForEdit();
    if (!IsSoundImage(layer) || doc.m_image.Create(layer.width, layer.height) != 0)
        return FALSE;
    const size_t rowBytes = static_cast<size_t>(layer.width) * 4;
    for (int y = 0; y < layer.height; ++y)
        std::memcpy(doc.m_image.GetBuffer(0, y), layer.bits + rowBytes * y, rowBytes);
    std::snprintf(doc.m_path, sizeof doc.m_path, "%s.bmp", path);
    std::error_code error;
    m_kitResultExisted = std::filesystem::exists(doc.m_path, error);
    const unsigned long long bytes = 4ull * layer.width * layer.height;
    doc.m_fileSize = bytes > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(bytes);
    m_view.m_imageView.m_layeredSource = &doc.m_kit;
    m_view.m_imageView.EnableMergedDisplay(TRUE);
    ShowPhoto(theUITextTable.GetText(21));
    return TRUE;
}

BOOL CMainFrame::SaveAndExitKitMode()
{
    const DWORD type = CQLImageCodec::GetFileType(thePhotoDocument.m_path);
    if (type == QL_FILE_GIF || type == QL_FILE_RAW)
        return FALSE;
    if (!SavePhotoBack(kKitQuality))
        return FALSE;
    m_deleteOnClose = 0;
    PostMessage(WM_COMMAND, kExit);
    return TRUE;
}
