#include "editor/shell/SaveActions.h"

#include "algorithms/JpegSlimSettings.h"
#include "algorithms/JpegSlimmingAlgorithm.h"
#include "editor/shell/BackgroundWork.h"
#include "editor/shell/ExifJpegWriter.h"
#include "editor/shell/JpegQualityDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SaveForPrintDlg.h"
#include "editor/shell/SaveSchemes.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

const char kJpegFilter[] = "Jpeg File Format(*.jpg)|*.jpg||";
const char kTiffFilter[] = "Tagged Image File Format(*.tif)|*.tif||";
const char kCustomFilter[] =
    "Jpeg Files(*.jpg)|*.jpg|Tagged Image File Format(*.tif)|*.tif|Portable Network Graphics(*.png)|*.png|"
    "Windows Bitmap Files(*.bmp)|*.bmp|Truevision Targa(*.tga)|*.tga||";
constexpr int kFileDpi = 72;
constexpr int kBackQuality = 192;  // 92 with full colour resolution
constexpr int kPrintQuality = 90;
// As the decoders' cap: a print size beyond it is refused, not attempted.
constexpr unsigned long long kMaxPixels = 500ull * 1000 * 1000;

std::string Title()
{
    char title[512];
    thePhotoDocument.GetFileTitle(title);
    return title;
}

// The history's applied steps into the EXIF record's processing text.
void PutProcessingText()
{
    thePhotoDocument.m_history.GetActionText(256, thePhotoDocument.m_exif.GetProcessingText());
}

int WriteExif(const char* path)
{
    return thePhotoDocument.m_exif.WriteToFile(TRUE, path, TRUE);
}

// The file type a new file of this name gets: by its extension only.
DWORD TypeByName(const std::string& path)
{
    return CQLImageCodec::GetFileType(std::filesystem::path(path).filename().string().c_str());
}

int FileBytes(const char* path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error || size > 0x7FFFFFFF ? 0 : static_cast<int>(size);
}

}  // namespace

std::string CSaveActions::PrintName(const char* photoTitle, int sizeIndex)
{
    return std::string(photoTitle) + CSaveForPrintDlg::Suffix(sizeIndex);
}

std::string CSaveActions::FastCopyName(const char* photoTitle, const char* schemeName)
{
    const std::string title = photoTitle && photoTitle[0] ? photoTitle : "untittle";
    return title + "." + schemeName + ".jpg";
}

std::string CSaveActions::AskPath(const char* name, const char* filter, const char* defExt)
{
    CFileDialog dialog(FALSE, defExt, name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, m_owner);
    if (dialog.DoModal() != IDOK)
        return {};
    return std::string(dialog.GetPathName());
}

void CSaveActions::ReportFailure()
{
    AfxMessageBox(theUITextTable.GetText(18), MB_OK | MB_ICONERROR);
}

BOOL CSaveActions::Finish(int saved)
{
    if (!saved) {
        ReportFailure();
        return FALSE;
    }
    thePhotoDocument.m_history.SetModified(FALSE);
    return TRUE;
}

BOOL CSaveActions::SaveBack()
{
    CPhotoDocument& doc = thePhotoDocument;
    if (!doc.m_path[0] || !doc.IsLoaded())
        return FALSE;
    const HWND owner = m_owner ? m_owner->GetSafeHwnd() : nullptr;
    if (::MessageBox(owner, theUITextTable.GetText(127), "Warning", MB_YESNO | MB_ICONWARNING) != IDYES)
        return FALSE;
    const std::string path = doc.m_path;
    const DWORD type = CQLImageCodec::GetFileType(path.c_str());
    if (type == QL_FILE_GIF || type == QL_FILE_RAW) {
        ::MessageBox(owner, theUITextTable.GetText(12), "Error", MB_OK | MB_ICONERROR);
        return SaveCustom();
    }
    if (type == QL_FILE_JPEG)
        PutProcessingText();
    const int saved = RunInBackground(m_owner, [&] {
        CQLImageCodec codec;
        if (type == QL_FILE_JPEG) {
            if (!codec.SaveJpegFile(path.c_str(), &doc.m_image, kBackQuality, kFileDpi))
                return 0;
            WriteExif(path.c_str());
            return 1;
        }
        if (!codec.SaveFile(path.c_str(), &doc.m_image))
            return 0;
        if (type == QL_FILE_TIFF)
            WriteExif(path.c_str());
        return 1;
    });
    if (saved)
        doc.m_fileSize = FileBytes(path.c_str());
    return Finish(saved);
}

BOOL CSaveActions::SaveForPrint()
{
    CPhotoDocument& doc = thePhotoDocument;
    CSaveForPrintDlg dialog(m_owner);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    UINT w = 0, h = 0;
    doc.m_image.GetSize(&w, &h);
    int width = 0, height = 0;
    CSaveForPrintDlg::PrintSize(dialog.m_sizeIndex, dialog.m_dpi, static_cast<int>(w), static_cast<int>(h), &width,
                                &height);
    const std::string path = AskPath((PrintName(Title().c_str(), dialog.m_sizeIndex)).c_str(), kJpegFilter, "jpg");
    if (path.empty())
        return FALSE;
    const bool keep = dialog.m_sizeIndex == 0;
    const int dpi = dialog.m_dpi;
    const int saved = RunInBackground(m_owner, [&] {
        CQLImageCodec codec;
        CQLImage resized;
        const CQLImage* image = &doc.m_image;
        if (!keep) {
            if (width < 1 || height < 1 || static_cast<unsigned long long>(width) * height > kMaxPixels ||
                !codec.Resample(&doc.m_image, &resized, width, height, 1))
                return 0;
            image = &resized;
        }
        if (!codec.SaveJpegFile(path.c_str(), image, kPrintQuality, dpi))
            return 0;
        WriteExif(path.c_str());
        return 1;
    });
    return Finish(saved);
}

BOOL CSaveActions::SaveForEdit()
{
    CPhotoDocument& doc = thePhotoDocument;
    const std::string path = AskPath(Title().c_str(), kTiffFilter, "tif");
    if (path.empty())
        return FALSE;
    const int saved = RunInBackground(m_owner, [&] {
        CQLImageCodec codec;
        if (!codec.SaveFile(path.c_str(), &doc.m_image))
            return 0;
        WriteExif(path.c_str());
        return 1;
    });
    return Finish(saved);
}

BOOL CSaveActions::SaveCustom()
{
    CPhotoDocument& doc = thePhotoDocument;
    const std::string path = AskPath(Title().c_str(), kCustomFilter, "jpg");
    if (path.empty())
        return FALSE;
    const DWORD type = TypeByName(path);
    int saved = 0;
    if (type == QL_FILE_JPEG) {
        CJpegQualityDlg quality(m_owner);
        if (quality.DoModal() != IDOK)
            return FALSE;
        const int codecQuality = quality.m_highQuality ? quality.m_quality + 100 : quality.m_quality;
        if (quality.m_exportSteps)
            PutProcessingText();
        saved = RunInBackground(m_owner, [&] {
            CQLImageCodec codec;
            if (!codec.SaveJpegFile(path.c_str(), &doc.m_image, codecQuality, kFileDpi))
                return 0;
            // A file the EXIF writer could not finish is written again, plain.
            if (!WriteExif(path.c_str()))
                return codec.SaveJpegFile(path.c_str(), &doc.m_image, codecQuality, kFileDpi);
            return 1;
        });
    } else {
        saved = RunInBackground(m_owner, [&] {
            CQLImageCodec codec;
            if (!codec.SaveFile(path.c_str(), &doc.m_image))
                return 0;
            if (type == QL_FILE_TIFF || type == QL_FILE_PNG)
                WriteExif(path.c_str());
            return 1;
        });
    }
    return Finish(saved);
}

BOOL CSaveActions::FastCopy(const JpegSlimSettings& scheme, const char* schemeName)
{
    CPhotoDocument& doc = thePhotoDocument;
    const std::string path = AskPath(FastCopyName(Title().c_str(), schemeName).c_str(), kJpegFilter, "jpg");
    if (path.empty())
        return FALSE;
    JpegSlimSettings settings = scheme;
    settings.flags = JpegSlimSettings::kMeasure;
    const int exifBytes = doc.m_exif.GetExifByteSize(TRUE);
    if (settings.includeExif)
        settings.targetKB = BudgetLessExif(settings.targetKB, exifBytes);
    if (!settings.SetPath(path.c_str())) {
        ReportFailure();
        return FALSE;
    }
    const BOOL withExif = settings.includeExif && exifBytes > 0;
    const int saved = RunInBackground(m_owner, [&] {
        JpegSlimmingAlgorithm slimming;
        CQLImage result;
        slimming.SetImages(&doc.m_image, &result);
        if (slimming.Apply(&settings) != 0)
            return 0;
        // The budget left room for the block: it goes into the copy.
        if (withExif)
            ExifJpegWriter::Apply(path.c_str(), doc.m_exif.GetFields());
        return 1;
    });
    if (!saved) {
        ReportFailure();
        return FALSE;
    }
    return TRUE;
}
