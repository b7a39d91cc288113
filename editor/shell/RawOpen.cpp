// Camera RAW files decoded in the editor itself: "Open Raw (Directly) ..."
// develops the file through the RAW library, step by step off the interface
// thread, with the hint window saying which step runs.
#include "editor/shell/BackgroundWork.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/HintWnd.h"
#include "imagecore/16BitBitmap.h"
#include "platform/raw/RawParser.h"
#include "platform/raw/RawTone.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kOpenFileText = 21;
constexpr int kCannotOpenText = 5;
constexpr int kReadText = 168, kGenerateText = 169, kAdjustText = 170, kConvertText = 171;

}  // namespace

void CMainFrame::ShowRawStep(int textId)
{
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    m_hint.SetText(theUITextTable.GetText(textId));
    CRect hint;
    m_hint.GetWindowRect(&hint);
    m_hint.ShowAt(client.CenterPoint().x - hint.Width() / 2, client.CenterPoint().y - hint.Height() / 2,
                  theUITextTable.GetText(textId), this);
}

int CMainFrame::OpenRawDirect(const char* path)
{
    const std::string file = path ? path : "";
    CRawParser parser;
    parser.m_nWhiteBalance = 0;
    C16BitBitmap developed;
    CQLImage image;
    ShowRawStep(kReadText);
    const int loaded = RunInBackground(this, [&] { return parser.LoadCCDDataOnly(file.c_str(), nullptr); });
    bool ok = loaded != 0;
    if (ok && loaded != 2) {
        ShowRawStep(kGenerateText);
        ok = RunInBackground(this, [&] { return parser.Interpolate(3); }) != 0;
    }
    if (ok) {
        ShowRawStep(kAdjustText);
        ok = RunInBackground(this, [&] { return parser.FinalConvert(); }) != 0;
    }
    if (ok) {
        ShowRawStep(kConvertText);
        ok = RunInBackground(this, [&] {
                 if (!parser.ImageToBitmap(&developed))
                     return 0;
                 if (loaded != 2)
                     parser.UniformImage(&developed);
                 parser.Close();
                 return ConvertRawTo8Bit(developed, image, loaded != 2 ? kRawOpenSharpening : 0);
             }) != 0;
    }
    parser.Close();
    CHintWnd::HideWnd(&m_hint);
    if (!ok)
        return 0;
    CPhotoDocument& doc = thePhotoDocument;
    UINT width = 0, height = 0;
    image.GetSize(&width, &height);
    doc.m_image = std::move(image);
    doc.m_exif.Clear();
    ExifFields fields = {};
    fields.hasExif = 1;
    fields.width = width;
    fields.height = height;
    fields.xResolution = fields.yResolution = 72.0;
    std::snprintf(fields.make, sizeof fields.make, "%s", parser.m_szMake);
    std::snprintf(fields.model, sizeof fields.model, "%s", parser.m_szModel);
    std::snprintf(fields.dateTime, sizeof fields.dateTime, "%s", parser.m_szDateTime);
    fields.exposureTime = parser.m_fExposure;
    fields.aperture = parser.m_fFNumber;
    fields.focalLength = parser.m_fFocalLength;
    fields.isoSpeed = static_cast<short>(parser.m_wISO > 32767 ? 32767 : parser.m_wISO);
    fields.flash = static_cast<short>(parser.m_wFlash);
    doc.m_exif.SetFields(fields);
    return 1;
}

void CMainFrame::OnOpenRawDirect()
{
    if (m_kitMode || IsEditing() || !AskSaveChanges())
        return;
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, theUITextTable.GetText(166),
                       this);
    if (dialog.DoModal() != IDOK)
        return;
    OpenRawFileDirect(static_cast<const char*>(dialog.GetPathName()));
}

BOOL CMainFrame::OpenRawFileDirect(const char* path)
{
    if (!OpenRawDirect(path)) {
        AfxMessageBox(theUITextTable.GetText(kCannotOpenText), MB_OK | MB_ICONERROR);
        return FALSE;
    }
    // The photo has no file of its own: nothing may be saved over the RAW file.
    thePhotoDocument.m_path[0] = '\0';
    thePhotoDocument.m_fileSize = 0;
    ShowPhoto(theUITextTable.GetText(kOpenFileText));
    return TRUE;
}
