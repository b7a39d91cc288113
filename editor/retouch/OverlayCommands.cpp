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

namespace {

// The sheet with the caller's page first; its caption names the undo step too.
int RunWithFirstPage(CPropertyPage* first, int textId, CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    COverlaySheet sheet(textId, parent);
    sheet.AddPage(first);
    sheet.AddFixedPages();
    sheet.undoTextId = textId;
    return sheet.DoModal();
}

}  // namespace

int RunInsertImageSheet(CWnd* parent)
{
    CInsertImageDlg first;
    return RunWithFirstPage(&first, kTextInsertImage, parent);
}

int RunInsertTextSheet(CWnd* parent)
{
    CInsTextPage first;
    return RunWithFirstPage(&first, kTextInsertText, parent);
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
