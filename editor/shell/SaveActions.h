// The save modes of the save-mode dialog: each asks what it needs, writes
// the file through the codec (a temporary file renamed over the target) and
// the photo's EXIF block, and tells the user when saving failed.
#pragma once

#include "platform/afx/Afx.h"

#include <string>

struct JpegSlimSettings;

class CSaveActions {
public:
    explicit CSaveActions(CWnd* owner) : m_owner(owner) {}

    // Each returns TRUE when the photo was saved: the photo is then marked
    // unmodified. FALSE after a cancel or a failure (UI text 18 shown).
    BOOL SaveBack();
    BOOL SaveForPrint();
    BOOL SaveForEdit();
    BOOL SaveCustom();
    // A JPEG copy made with a scheme's settings; the photo stays as it is.
    BOOL FastCopy(const JpegSlimSettings& scheme, const char* schemeName);

    // Proposed file names.
    static std::string PrintName(const char* photoTitle, int sizeIndex);
    static std::string FastCopyName(const char* photoTitle, const char* schemeName);

private:
    // The chosen path, empty when the user cancelled.
    std::string AskPath(const char* name, const char* filter, const char* defExt);
    void ReportFailure();
    // UI text 18 for a failed save; a saved photo is marked unmodified.
    BOOL Finish(int saved);

    CWnd* m_owner;
};
