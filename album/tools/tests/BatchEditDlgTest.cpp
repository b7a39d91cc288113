// The Batch Edit and file selection dialogs: list rules, the slider of the
// grid, a whole run through the album worker, and their grabs.
#include "album/tools/BatchEditDlg.h"

#include "album/shell/tests/ShelfKitTestSupport.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>
#include <QWidget>

#include <filesystem>

using namespace shelf;
namespace fs = std::filesystem;

namespace {

std::string Grab(CWnd* dialog, const char* name)
{
    QCoreApplication::processEvents();
    return shelfkit::SaveGrab(qlafx::WidgetOf(dialog->m_hWnd)->grab().toImage(), name);
}

std::vector<std::string> CorpusPhotos(size_t count)
{
    std::vector<std::string> out;
    for (const char* name : {"Canon_40D.jpg", "Nikon_D70.jpg", "Fujifilm_FinePix_E500.jpg", "Kodak_CX7530.jpg",
                             "Canon_PowerShot_S40.jpg", "Nikon_COOLPIX_P1.jpg"}) {
        const std::string path = shelfkit::CorpusPhoto((std::string("exif-samples/jpg/") + name).c_str());
        if (!path.empty() && out.size() < count)
            out.push_back(path);
    }
    return out;
}

std::vector<std::string> Rows(CWnd* dialog, int id)
{
    std::vector<std::string> rows;
    const int n = static_cast<int>(dialog->SendDlgItemMessage(id, LB_GETCOUNT));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        dialog->SendDlgItemMessage(id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text);
    }
    return rows;
}

int RowOf(CWnd* dialog, int id, const char* text)
{
    return static_cast<int>(dialog->SendDlgItemMessage(id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                       reinterpret_cast<LPARAM>(text)));
}

void Choose(CWnd* dialog, int id, const char* text)
{
    dialog->SendDlgItemMessage(id, LB_SETCURSEL, RowOf(dialog, id, text));
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)->m_hWnd));
}

void Click(CWnd* dialog, int id)
{
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)->m_hWnd));
}

bool Enabled(CWnd* dialog, int id)
{
    return dialog->GetDlgItem(id)->IsWindowEnabled() != FALSE;
}

class BatchEditDlgTest : public shelfkit::ShelfWindowTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        shelfkit::ShelfWindowTest::TearDown();
    }
};

TEST_F(BatchEditDlgTest, ListRulesAndTheGrab)
{
    CBatchEditDlg dlg;
    dlg.m_programFolder = std::string(QUILLO_PROGRAM_DIR) + "/";
    dlg.m_files = CorpusPhotos(5);
    dlg.m_folder = "/tmp/quillo-batch-out";
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* d, const char*, const char*, UINT) {
        if (!d)
            return IDOK;
        EXPECT_EQ(Rows(d, 1013), std::vector<std::string>{"Save"});
        EXPECT_FALSE(Enabled(d, 1143)) << "only Save: nothing to keep in a batch file";
        // Moving up and adding again restores table order.
        Choose(d, 1012, "Add date");
        Click(d, 1014);
        Choose(d, 1012, "Grayscale");
        Click(d, 1014);
        EXPECT_EQ(Rows(d, 1013), (std::vector<std::string>{"Grayscale", "Add date", "Save"}));
        Choose(d, 1013, "Add date");
        Click(d, 1018);
        EXPECT_EQ(Rows(d, 1013), (std::vector<std::string>{"Add date", "Grayscale", "Save"}));
        Click(d, 1017);
        Click(d, 1017); // never past "Save"
        EXPECT_EQ(Rows(d, 1013), (std::vector<std::string>{"Grayscale", "Add date", "Save"}));
        Choose(d, 1013, "Save");
        Click(d, 1015);
        Click(d, 1018);
        EXPECT_EQ(Rows(d, 1013).back(), "Save") << "Save is neither removed nor moved";
        Choose(d, 1013, "Grayscale");
        Click(d, 1015);
        Choose(d, 1012, "Resize by long side");
        Click(d, 1014);
        EXPECT_EQ(Rows(d, 1013), (std::vector<std::string>{"Resize by long side", "Add date", "Save"}));
        EXPECT_TRUE(Enabled(d, 1143));
        // Overwrite disables the naming controls.
        d->CheckDlgButton(1120, BST_CHECKED);
        Click(d, 1120);
        EXPECT_FALSE(Enabled(d, 1022));
        EXPECT_FALSE(Enabled(d, 1130));
        d->CheckDlgButton(1120, BST_UNCHECKED);
        Click(d, 1120);
        EXPECT_TRUE(Enabled(d, 1027));
        // The grid on "Add date", its Order set to DMY.
        auto* batch = static_cast<CBatchEditDlg*>(d);
        static_cast<EnumParam*>(FindAction(batch->Table(), kAddDate)->Find("Order"))->index = 2;
        Choose(d, 1013, "Add date");
        batch->Grid().SelectRow(1);
        EXPECT_EQ(batch->Grid().m_editor, &batch->Grid().m_combo);
        Grab(d, "batch_edit");
        grabbed = Grab(d, "batch_edit");
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(grabbed.empty());
}

TEST_F(BatchEditDlgTest, SliderOfTheGridEditsTheQuality)
{
    CBatchEditDlg dlg;
    dlg.m_programFolder = std::string(QUILLO_PROGRAM_DIR) + "/";
    std::string grabbed;
    int slider = -1;
    qlafx::SetModalHook([&](CWnd* d, const char* caption, const char*, UINT) {
        if (!d)
            return IDOK;
        if (std::string(caption) == "Quality if JPEG") {
            slider = static_cast<int>(d->SendDlgItemMessage(CParamSliderDlg::kSlider, TBM_GETPOS));
            grabbed = Grab(d, "param_slider");
            d->SendDlgItemMessage(CParamSliderDlg::kSlider, TBM_SETPOS, TRUE, 80);
            d->SendMessage(WM_COMMAND, IDOK);
            return IDOK;
        }
        auto* batch = static_cast<CBatchEditDlg*>(d);
        Choose(d, 1013, "Save");
        batch->Grid().SelectRow(1);
        batch->Grid().SendMessage(WM_COMMAND, MAKEWPARAM(CParamGridCtrl::kButtonId, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(batch->Grid().m_button.m_hWnd));
        EXPECT_EQ(FindAction(batch->Table(), kSave)->Int("Quality if JPEG"), 80);
        return IDCANCEL;
    });
    dlg.DoModal();
    EXPECT_EQ(slider, 95);
    EXPECT_FALSE(grabbed.empty());
}

TEST_F(BatchEditDlgTest, FileSelectionKeepsExactTextsOnce)
{
    const auto photos = CorpusPhotos(5);
    CBatchFileSelectDlg dlg;
    dlg.m_files = {photos.empty() ? "/a/x.jpg" : photos[0]};
    std::string grabbed;
    qlafx::SetModalHook([&](CWnd* d, const char* caption, const char*, UINT) {
        if (!d)
            return IDOK;
        EXPECT_STREQ(caption, "Select Files for Batch Processing");
        auto* select = static_cast<CBatchFileSelectDlg*>(d);
        select->AddFiles(photos);
        select->AddFiles({"/a/X.jpg", "/a/x.jpg", "/a/X.jpg"});
        EXPECT_TRUE(Enabled(d, IDOK));
        EXPECT_FALSE(Enabled(d, CBatchFileSelectDlg::kDel));
        grabbed = Grab(d, "batch_files");
        d->SendDlgItemMessage(CBatchFileSelectDlg::kList, LB_SETCURSEL, RowOf(d, CBatchFileSelectDlg::kList, "/a/X.jpg"));
        Click(d, CBatchFileSelectDlg::kDel);
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> expected = photos;
    if (photos.empty())
        expected = {"/a/x.jpg"};
    else
        expected.push_back("/a/x.jpg");
    EXPECT_EQ(dlg.m_files, expected);
    EXPECT_FALSE(grabbed.empty());
}

TEST_F(BatchEditDlgTest, StartRunsTheChainOnTheWorkerAndCloses)
{
    const std::string root = "/tmp/quillo-batchdlg-" + std::to_string(getpid());
    fs::create_directories(root + "/src");
    CQLImage image;
    image.Create(120, 80);
    CQLImageCodec codec;
    ASSERT_TRUE(codec.SaveFile((root + "/src/a.png").c_str(), &image));
    ASSERT_TRUE(codec.SaveFile((root + "/src/b.png").c_str(), &image));
    CBatchEditDlg dlg;
    dlg.m_programFolder = std::string(QUILLO_PROGRAM_DIR) + "/";
    dlg.m_files = {root + "/src/a.png", root + "/src/b.png"};
    dlg.m_folder = root + "/out";
    std::vector<std::string> boxes;
    qlafx::SetModalHook([&](CWnd* d, const char*, const char* text, UINT) {
        if (!d) {
            boxes.emplace_back(text ? text : "");
            return IDOK;
        }
        Choose(d, 1012, "Rotate left");
        Click(d, 1014);
        Click(d, IDOK);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(dlg.Report().Clean());
    int w = 0, h = 0;
    EXPECT_TRUE(CQLImageCodec::GetFileShape((root + "/out/b.jpg").c_str(), &w, &h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(80, 120));
    EXPECT_STREQ(AfxGetApp()->GetProfileString("Batch", "LastDir", "").GetString(), (root + "/out").c_str());
    fs::remove_all(root);
}

} // namespace
