// "Image Property": the current image's size and its EXIF record as a list
// of items and values; "&Edit ..." edits the record and lists it again.
#pragma once

#include "editor/shell/ExifInfo.h"
#include "editor/ui/HyperlinkListCtrl.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

#include <string>
#include <vector>

inline constexpr UINT IDD_IMAGE_PROPERTY = 146;
inline constexpr UINT IDI_IMAGE_PROPERTY = 147;
inline constexpr UINT IDC_PROPERTY_LIST = 1000;
inline constexpr UINT IDC_EDIT_EXIF = 1071;

struct PropertyRow {
    std::string item;
    std::string value;
    bool operator==(const PropertyRow&) const = default;
};

class CImagePropertyDlg : public CSkinDialog {
public:
    explicit CImagePropertyDlg(CWnd* parent);
    ~CImagePropertyDlg() override;

    // The rows of an image and its record, in the list's order; only rows
    // whose value is not empty.
    static std::vector<PropertyRow> BuildRows(const CQLImage& image, ExifInfo& exif);
    // "%.1fs" from 0.4 s up, else "1/%ds".
    static std::string FormatShutter(double seconds);

    CHyperlinkListCtrl m_list;

protected:
    BOOL OnInitDialog() override;
    // Lists the open photo again (nothing when none is loaded).
    void FillList();
    afx_msg void OnEditExif();
    DECLARE_MESSAGE_MAP()

private:
    HICON m_icon = nullptr;
};
