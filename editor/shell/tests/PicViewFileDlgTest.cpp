// The traditional open dialog: the preview of the selected photo, redrawn
// on the timer tick after a paint, and the choice it returns.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/PicViewFileDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/tests/FileDialogTestSupport.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char kFilter[] = "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap "
                       "Files(*.bmp)|*.bmp|Jpeg Files(*.jpg;*.jpeg)|*.jpg;*.jpeg||";

// The preview pane's centre on its surface.
skintest::Bgr PreviewCentre(CWnd* dlg)
{
    CWnd* preview = dlg->GetDlgItem(IDC_PICVIEW_PREVIEW);
    const QImage surface = skintest::SurfaceOf(preview->m_hWnd);
    return skintest::BgrAt(surface, surface.width() / 2, surface.height() / 2);
}

class PicViewFileDialog : public shelltest::ShellWindowsTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
};

TEST_F(PicViewFileDialog, PreviewsTheSelectedPhotoGrab)
{
    const std::string corpus = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg";
    if (!std::filesystem::exists(corpus + "/Canon_40D.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    const std::string folder = std::filesystem::canonical(corpus).string();
    const std::string canon = folder + "/Canon_40D.jpg";
    CPicViewFileDlg dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
    dlg.m_ofn.lpstrInitialDir = folder.c_str();
    const skintest::Bgr empty{64, 64, 64};
    skintest::Bgr before{}, after{};
    qlafx::SetModalHook([&](CWnd* w, const char* caption, const char*, UINT) {
        if (w != &dlg)
            return IDOK;
        EXPECT_STREQ(caption, "Open");
        EXPECT_TRUE(PumpUntil([&] { return !dlg.m_previewDirty; }, 5000));
        before = PreviewCentre(w);
        EXPECT_TRUE(PickInList(FileWidgetOf(w), canon));
        EXPECT_NE(dlg.m_thumbnail.GetAreaByteSize(), 0);
        EXPECT_TRUE(PumpUntil([&] { return !dlg.m_previewDirty; }, 5000));
        after = PreviewCentre(w);
        EXPECT_FALSE(shelltest::SaveGrab(w->GetWidget()->grab().toImage(), "picview_file_dlg").empty());
        static_cast<QDialog*>(FileWidgetOf(w))->accept();
        return qlafx::kModalRun;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(std::string(dlg.GetPathName().GetString()), canon);
    EXPECT_EQ(before, empty);
    EXPECT_NE(after, empty);
}

TEST_F(PicViewFileDialog, APaintMarksThePreviewAndTheNextTickRedrawsIt)
{
    const std::string text = m_folder.Path() + "notes.txt";
    std::ofstream(text) << "not a photo";
    CPicViewFileDlg dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "Any|*.*||");
    dlg.m_ofn.lpstrInitialDir = m_folder.Path().c_str();
    bool markedByPaint = false, clearedByTimer = false;
    qlafx::SetModalHook([&](CWnd* w, const char*, const char*, UINT) {
        if (w != &dlg)
            return IDOK;
        PumpUntil([&] { return !dlg.m_previewDirty; }, 5000);
        w->Invalidate();
        w->UpdateWindow();
        markedByPaint = dlg.m_previewDirty;
        clearedByTimer = PumpUntil([&] { return !dlg.m_previewDirty; }, 5000);
        // A file that is no photo leaves the pane empty.
        EXPECT_TRUE(PickInList(FileWidgetOf(w), text));
        EXPECT_EQ(dlg.m_thumbnail.GetAreaByteSize(), 0);
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(markedByPaint);
    EXPECT_TRUE(clearedByTimer);
}

}  // namespace
