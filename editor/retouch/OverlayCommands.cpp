#include "editor/retouch/OverlayCommands.h"

#include "editor/retouch/InsTextPage.h"
#include "editor/retouch/InsertImageDlg.h"
#include "editor/retouch/OverlaySheet.h"
#include "editor/shell/PhotoDocument.h"

namespace {

constexpr int kTextPaste = 51;
constexpr int kTextInsertImage = 63;
constexpr int kTextPasteImage = 64;
constexpr int kTextInsertText = 65;

}  // namespace

int RunInsertImageSheet(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CInsertImageDlg first;
    COverlaySheet sheet(kTextInsertImage, parent);
    sheet.AddPage(&first);
    sheet.AddFixedPages();
    sheet.undoTextId = kTextInsertImage;
    return sheet.DoModal();
}

int RunInsertTextSheet(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CInsTextPage first;
    COverlaySheet sheet(kTextInsertText, parent);
    sheet.AddPage(&first);
    sheet.AddFixedPages();
    sheet.undoTextId = kTextInsertText;
    return sheet.DoModal();
}

int RunPasteSheet(CWnd* parent, CQLImage&& picture)
{
    if (!thePhotoDocument.IsLoaded() || picture.GetAreaByteSize() == 0)
        return IDCANCEL;
    COverlaySheet sheet(kTextPasteImage, parent);
    sheet.AddFixedPages();
    sheet.objectImage = std::move(picture);
    sheet.objectKind = 0;
    sheet.undoTextId = kTextPaste;
    return sheet.DoModal();
}
