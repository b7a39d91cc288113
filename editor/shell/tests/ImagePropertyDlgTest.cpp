// The image property list: its rows for a record, the photo without EXIF,
// the Canon 40D's camera rows in the running dialog, and its Edit button.
#include "ShellWindowsTestSupport.h"

#include "editor/shell/EditExifDlg.h"
#include "editor/shell/ImagePropertyDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/MessageBox.h"

#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct ShutterCase {
    double seconds;
    const char* text;
};

class ShutterText : public testing::TestWithParam<ShutterCase> {};

TEST_P(ShutterText, LongOnesInSecondsShortOnesAsFractions)
{
    EXPECT_EQ(CImagePropertyDlg::FormatShutter(GetParam().seconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, ShutterText,
                         testing::Values(ShutterCase{0.4, "0.4s"}, ShutterCase{0.004, "1/250s"},
                                         ShutterCase{2.5, "2.5s"}, ShutterCase{0.39, "1/3s"},
                                         ShutterCase{1.0 / 60, "1/60s"}, ShutterCase{0.000125, "1/8000s"}));

class PropertyRows : public shelltest::ShellWindowsTest {
protected:
    std::vector<PropertyRow> Rows() { return CImagePropertyDlg::BuildRows(m_image, m_exif); }
    CQLImage m_image;
    ExifInfo m_exif;
};

TEST_F(PropertyRows, PhotoWithoutExifShowsSizeAndTwoBlankRows)
{
    shelltest::MakeImage(&m_image, 8, 6, [](int, int) { return CPixel{1, 2, 3, 255}; });
    m_exif.Clear();
    const std::vector<PropertyRow> expected{{"Image Size", "8 by 6"}, {" ", " "}, {" ", " "}};
    EXPECT_EQ(Rows(), expected);
}

TEST_F(PropertyRows, EveryFieldInItsOrderAndForm)
{
    shelltest::MakeImage(&m_image, 4, 3, [](int, int) { return CPixel{}; });
    m_exif.Clear();
    ExifFields& f = m_exif.GetFields();
    f.xResolution = 300;
    f.yResolution = 72.6;
    std::strcpy(f.description, "Harbour");
    std::strcpy(f.model, "Cam 1");
    f.exposureTime = 0.004;
    f.shutterSpeed = 0.004;
    f.fNumber = 5.6;
    f.aperture = 5.6;
    f.isoSpeed = static_cast<short>(static_cast<WORD>(40000));
    f.subjectDistance = 2.5;
    f.focalLength = 35.7;
    f.flash = 1;
    f.exposureProgram = 7;
    f.meteringMode = 9;
    f.colorSpace = 2;
    f.exposureBias = -0.5;
    std::strcpy(m_exif.GetProcessingText(), "Sharpen");
    const std::vector<PropertyRow> expected{
        {"Image Size", "4 by 3"},        {"X Resolusion", "300 dpi"},      {"Y Resolusion", "72 dpi"},
        {" ", " "},                      {"Tittle   ", "Harbour"},        {"Camera", "Cam 1"},
        {" ", " "},                      {"Exposure Time", "0.004s"},     {"Shutter Speed", "1/250s"},
        {"FNumber", "F5.6"},             {"Aperture Value", "F5.6"},      {"ISO Speed", "40000"},
        {"Focus Distance", "2.5m"},      {"Focal Length", "35mm"},        {"Flash", "On"},
        {"Exposure Program", "Protrait Program"}, {"Metering Mode", "Unknown"}, {"Color Space", "Unknown - 2"},
        {"Exposure Compensation", "-0.50 Step"},  {"Processings Before", "Sharpen"}};
    EXPECT_EQ(Rows(), expected);
}

const char kCanon[] = "exif-samples/jpg/Canon_40D.jpg";

class ImagePropertyDialog : public shelltest::ShellWindowsTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
    // The Canon 40D as the open photo; false when the corpus is absent.
    bool OpenCanon()
    {
        const std::string path = std::string(QUILLO_CORPUS_DIR) + "/" + kCanon;
        if (!shelltest::LoadCorpusPhoto(kCanon, &thePhotoDocument.m_image))
            return false;
        std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", path.c_str());
        return thePhotoDocument.m_exif.ReadFromFile(path.c_str()) == 1;
    }
    static std::vector<PropertyRow> ListRows(CImagePropertyDlg* dlg)
    {
        std::vector<PropertyRow> rows;
        for (int i = 0; i < dlg->m_list.GetItemCount(); ++i)
            rows.push_back({dlg->m_list.GetItemText(i, 0).GetString(), dlg->m_list.GetItemText(i, 1).GetString()});
        return rows;
    }
};

TEST_F(ImagePropertyDialog, ListsTheCanonCameraRowsGrab)
{
    if (!OpenCanon())
        GTEST_SKIP() << "corpus photo absent";
    std::vector<PropertyRow> rows;
    qlafx::SetModalHook([&](CWnd* w, const char* caption, const char*, UINT) {
        auto* dlg = dynamic_cast<CImagePropertyDlg*>(w);
        if (!dlg)
            return IDOK;
        EXPECT_STREQ(caption, "Image Property");
        EXPECT_NE(dlg->GetIcon(TRUE), nullptr);
        EXPECT_NE(dlg->GetIcon(FALSE), nullptr);
        rows = ListRows(dlg);
        EXPECT_FALSE(shelltest::SaveGrab(dlg->GetWidget()->grab().toImage(), "image_property").empty());
        return IDOK;
    });
    CImagePropertyDlg dlg(nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    auto has = [&rows](const PropertyRow& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
    EXPECT_TRUE(has({"Image Size", "100 by 68"}));
    EXPECT_TRUE(has({"Camera", "Canon EOS 40D"}));
    EXPECT_TRUE(has({"Exposure Time", "0.00625s"}));
    EXPECT_TRUE(has({"FNumber", "F7.1"}));
    EXPECT_TRUE(has({"ISO Speed", "100"}));
    EXPECT_TRUE(has({"Focal Length", "135mm"}));
}

TEST_F(ImagePropertyDialog, EditChangesTheRecordAndListsItAgain)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, 10, 10, [](int, int) { return CPixel{9, 9, 9, 255}; });
    thePhotoDocument.m_exif.Clear();
    std::vector<PropertyRow> after;
    qlafx::SetModalHook([&](CWnd* w, const char*, const char*, UINT) {
        if (auto* edit = dynamic_cast<CEditExifDlg*>(w)) {
            edit->SetDlgItemText(IDC_EXIF_SHUTTER, "1/125");
            edit->SetDlgItemText(IDC_EXIF_MODEL, "Pinhole");
            edit->SendDlgItemMessage(IDOK, BM_CLICK);
            return IDOK;
        }
        auto* dlg = dynamic_cast<CImagePropertyDlg*>(w);
        if (!dlg)
            return IDOK;
        dlg->SendDlgItemMessage(IDC_EDIT_EXIF, BM_CLICK);
        after = ListRows(dlg);
        return IDOK;
    });
    CImagePropertyDlg dlg(nullptr);
    dlg.DoModal();
    auto has = [&after](const PropertyRow& row) { return std::find(after.begin(), after.end(), row) != after.end(); };
    EXPECT_TRUE(has({"Camera", "Pinhole"}));
    EXPECT_TRUE(has({"Shutter Speed", "1/125s"}));
    EXPECT_TRUE(has({"Author", "Tester"}));
}

TEST_F(ImagePropertyDialog, EmptyWithoutAPhoto)
{
    int rows = -1;
    qlafx::SetModalHook([&](CWnd* w, const char*, const char*, UINT) {
        if (auto* dlg = dynamic_cast<CImagePropertyDlg*>(w))
            rows = dlg->m_list.GetItemCount();
        return IDOK;
    });
    CImagePropertyDlg dlg(nullptr);
    dlg.DoModal();
    EXPECT_EQ(rows, 0);
}

}  // namespace

namespace {

// The frame's Image Properties (menu, toolbar, image view's menu) and its
// EXIF editor command reach the dialogs once the runners are registered.
class PropertyCommands : public shelltest::ShellWindowsTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        m_app.m_pMainWnd = nullptr;
        for (UINT id : {32784u, 32851u})
            CMainFrame::SetDialogRunner(id, nullptr);
        ShellWindowsTest::TearDown();
    }
    CMainFrame* m_frame = nullptr;
};

TEST_F(PropertyCommands, OpenTheirDialogs)
{
    RegisterDialogRunners();
    m_frame = new CMainFrame;
    m_app.m_pMainWnd = m_frame;
    ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
    shelltest::MakeImage(&thePhotoDocument.m_image, 6, 4, [](int, int) { return CPixel{5, 5, 5, 255}; });
    std::vector<std::string> shown;
    qlafx::SetModalHook([&](CWnd* w, const char* caption, const char*, UINT) {
        if (w)
            shown.push_back(caption);
        return IDCANCEL;
    });
    m_frame->SendMessage(WM_COMMAND, 32784);
    m_frame->SendMessage(WM_COMMAND, 32851);
    EXPECT_EQ(shown, (std::vector<std::string>{"Image Property", "Edit EXIF data"}));
}

}  // namespace
