// The save modes on real files: EXIF kept by Save back, a read-only photo
// left alone, the TIFF of Save for next editing, the print size's JPEG, the
// custom JPEG and the fast copy.
#include "SaveTestSupport.h"

#include "algorithms/JpegSlimSettings.h"
#include "editor/shell/JpegQualityDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SaveActions.h"
#include "editor/shell/SaveForPrintDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommCtrl.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using savetest::kCanon;
using savetest::ReadBytes;

namespace {

class SaveActions : public savetest::SaveTest {
protected:
    void SetUp() override
    {
        SaveTest::SetUp();
        m_owner.CreateParent();
    }
    void TearDown() override
    {
        m_owner.DestroyWindow();
        SaveTest::TearDown();
    }
    CSaveActions Actions() { return CSaveActions(&m_owner); }
    void PushEdit(const char* name)
    {
        CPhotoDocument& doc = thePhotoDocument;
        doc.m_image.PutPixel(1, 1, CPixel{9, 9, 9, 255});
        ASSERT_EQ(doc.m_history.Push(&doc.m_image, name), 1);
    }
    static bool SameSize(const std::string& path, int w, int h)
    {
        int fw = 0, fh = 0;
        return CQLImageCodec::GetFileShape(path.c_str(), &fw, &fh) && fw == w && fh == h;
    }

    skintest::CParentWnd m_owner;
};

}  // namespace

TEST_F(SaveActions, SaveBackKeepsTheExifAndAddsTheAppliedSteps)
{
    if (!OpenCorpusCopy(kCanon, "back.jpg"))
        GTEST_SKIP() << "corpus absent";
    PushEdit("Sharpen");
    PushEdit("Crop");
    ASSERT_TRUE(thePhotoDocument.IsModified());
    const std::string path = thePhotoDocument.m_path;
    const std::string before = ReadBytes(path);

    EXPECT_TRUE(Actions().SaveBack());

    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], theUITextTable.GetText(127));
    EXPECT_NE(ReadBytes(path), before);
    EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), QL_FILE_JPEG);
    ExifInfo back;
    ASSERT_EQ(back.ReadFromFile(path.c_str()), 1);
    EXPECT_STREQ(back.GetFields().make, "Canon");
    EXPECT_STREQ(back.GetFields().model, thePhotoDocument.m_exif.GetFields().model);
    EXPECT_NE(std::strstr(back.GetProcessingText(), "Sharpen,Crop,"), nullptr) << back.GetProcessingText();
    EXPECT_FALSE(thePhotoDocument.IsModified());
    EXPECT_EQ(thePhotoDocument.m_fileSize, static_cast<int>(fs::file_size(path)));
}

TEST_F(SaveActions, SaveBackAnsweredNoWritesNothing)
{
    if (!OpenCorpusCopy(kCanon, "no.jpg"))
        GTEST_SKIP() << "corpus absent";
    PushEdit("Sharpen");
    const std::string before = ReadBytes(thePhotoDocument.m_path);
    m_answers.push_back({"Warning", [](CWnd*) { return IDNO; }});
    EXPECT_FALSE(Actions().SaveBack());
    EXPECT_EQ(ReadBytes(thePhotoDocument.m_path), before);
    EXPECT_TRUE(thePhotoDocument.IsModified());
}

TEST_F(SaveActions, SavingOverAReadOnlyFileFailsAndKeepsEverything)
{
    if (!OpenCorpusCopy(kCanon, "locked.jpg"))
        GTEST_SKIP() << "corpus absent";
    PushEdit("Sharpen");
    const std::string path = thePhotoDocument.m_path;
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string before = ReadBytes(path);

    EXPECT_FALSE(Actions().SaveBack());
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[1], theUITextTable.GetText(18));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(thePhotoDocument.IsModified());

    // The same through Custom saving over it.
    m_messages.clear();
    m_savePath = path;
    m_answers.push_back({"Set JPEG File Quality", [](CWnd* dialog) {
                             dialog->SendDlgItemMessage(IDOK, BM_CLICK);
                             return IDOK;
                         }});
    EXPECT_FALSE(Actions().SaveCustom());
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back(), theUITextTable.GetText(18));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(thePhotoDocument.IsModified());
}

TEST_F(SaveActions, SaveForNextEditingWritesATiffTheCodecReadsBack)
{
    if (!OpenCorpusCopy(kCanon, "edit.jpg"))
        GTEST_SKIP() << "corpus absent";
    PushEdit("Sharpen");
    m_savePath = m_folder.Path() + "edit.tif";
    EXPECT_TRUE(Actions().SaveForEdit());
    EXPECT_EQ(m_proposedNames, std::vector<std::string>{"edit"});
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(CQLImageCodec::GetFileType(m_savePath.c_str()), QL_FILE_TIFF);
    CQLImage back;
    CQLImageCodec codec;
    ASSERT_NE(codec.LoadFile(m_savePath.c_str(), &back), 0);
    UINT w = 0, h = 0, bw = 0, bh = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    back.GetSize(&bw, &bh);
    EXPECT_EQ(bw, w);
    EXPECT_EQ(bh, h);
    EXPECT_EQ(back.GetPixel(1, 1) & 0xFFFFFF, thePhotoDocument.m_image.GetPixel(1, 1) & 0xFFFFFF);
    ExifInfo exif;
    ASSERT_EQ(exif.ReadFromFile(m_savePath.c_str()), 1);
    EXPECT_STREQ(exif.GetFields().make, "Canon");
    EXPECT_FALSE(thePhotoDocument.IsModified());
}

TEST_F(SaveActions, CancellingTheFileDialogSavesNothing)
{
    MakePastedPhoto(40, 30);
    m_savePath.clear();
    EXPECT_FALSE(Actions().SaveForEdit());
    EXPECT_FALSE(Actions().SaveCustom());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(thePhotoDocument.IsModified());
}

TEST_F(SaveActions, SaveForPrintResamplesToThePrintSize)
{
    MakePastedPhoto(300, 240);
    m_savePath = m_folder.Path() + "print.jpg";
    m_answers.push_back({"Save for print", [](CWnd* dialog) {
                             dialog->SendDlgItemMessage(IDC_PRINT_SIZE, CB_SETCURSEL, 8);  // 5 inches
                             dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PRINT_SIZE, CBN_SELCHANGE),
                                                 reinterpret_cast<LPARAM>(dialog->GetDlgItem(IDC_PRINT_SIZE)->m_hWnd));
                             dialog->SetDlgItemText(IDC_PRINT_DPI, "100");
                             dialog->SendDlgItemMessage(IDOK, BM_CLICK);
                             return IDOK;
                         }});
    EXPECT_TRUE(Actions().SaveForPrint());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_proposedNames, std::vector<std::string>{"_5x3.5"});
    // 5 inches at 100 dpi: the longer side 500, 300 x 240 keeps its shape.
    EXPECT_TRUE(SameSize(m_savePath, 500, 400));
    EXPECT_EQ(CQLImageCodec::GetFileType(m_savePath.c_str()), QL_FILE_JPEG);
    // A photo without a file of its own stays modified all the same.
    EXPECT_FALSE(thePhotoDocument.m_history.IsModified());
}

// A3 at 2400 dpi would be 1.25 gigapixels: refused before anything is
// allocated, with the usual message.
TEST_F(SaveActions, PrintSizeBeyondThePixelCapIsRefused)
{
    MakePastedPhoto(40, 32);
    m_savePath = m_folder.Path() + "huge.jpg";
    m_answers.push_back({"Save for print", [](CWnd* dialog) {
                             dialog->SendDlgItemMessage(IDC_PRINT_SIZE, CB_SETCURSEL, 1);
                             dialog->SetDlgItemText(IDC_PRINT_DPI, "2400");
                             dialog->SendDlgItemMessage(IDOK, BM_CLICK);
                             return IDOK;
                         }});
    EXPECT_FALSE(Actions().SaveForPrint());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], theUITextTable.GetText(18));
    EXPECT_FALSE(fs::exists(m_savePath));
}

TEST_F(SaveActions, CustomJpegTakesTheQualityDialogsAnswerAndTheSteps)
{
    if (!OpenCorpusCopy(kCanon, "custom.jpg"))
        GTEST_SKIP() << "corpus absent";
    PushEdit("Soft blur");
    m_savePath = m_folder.Path() + "copy.jpg";
    m_answers.push_back({"Set JPEG File Quality", [](CWnd* dialog) {
                             dialog->SendDlgItemMessage(IDC_QUALITY_LOW, BM_CLICK);
                             dialog->SendDlgItemMessage(IDOK, BM_CLICK);
                             return IDOK;
                         }});
    EXPECT_TRUE(Actions().SaveCustom());
    EXPECT_TRUE(m_messages.empty());
    ExifInfo exif;
    ASSERT_EQ(exif.ReadFromFile(m_savePath.c_str()), 1);
    EXPECT_STREQ(exif.GetFields().make, "Canon");
    EXPECT_NE(std::strstr(exif.GetProcessingText(), "Soft blur,"), nullptr);
    // The dialog remembered its preset; the test file is gone.
    EXPECT_NE(ReadProfile().find("qleJpegQuality=40"), std::string::npos) << ReadProfile();
    EXPECT_FALSE(fs::exists(std::string(theAppSettings.m_tempFolder) + "Preview0.jpg"));
    EXPECT_FALSE(thePhotoDocument.IsModified());
}

TEST_F(SaveActions, CustomPngAndBmpFollowTheirExtension)
{
    MakePastedPhoto(32, 24);
    for (const char* name : {"c.png", "c.bmp", "c.tga", "c.tif"}) {
        m_savePath = m_folder.Path() + name;
        EXPECT_TRUE(Actions().SaveCustom()) << name;
        CQLImage back;
        CQLImageCodec codec;
        EXPECT_NE(codec.LoadFile(m_savePath.c_str(), &back), 0) << name;
    }
    EXPECT_EQ(CQLImageCodec::GetFileType((m_folder.Path() + "c.png").c_str()), QL_FILE_PNG);
    EXPECT_EQ(CQLImageCodec::GetFileType((m_folder.Path() + "c.bmp").c_str()), QL_FILE_BMP);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SaveActions, FastCopyMeetsTheSchemesBudgetLessTheExif)
{
    if (!OpenCorpusCopy(kCanon, "fast.jpg"))
        GTEST_SKIP() << "corpus absent";
    JpegSlimSettings scheme;
    scheme.quality = 90;
    scheme.resizeMode = 0;
    scheme.sizeMode = 2;  // quality search for the budget
    scheme.targetKB = 8;
    scheme.includeExif = 1;
    m_savePath = m_folder.Path() + "fast.web.jpg";
    EXPECT_TRUE(Actions().FastCopy(scheme, "web"));
    EXPECT_TRUE(m_messages.empty());
    ASSERT_TRUE(fs::exists(m_savePath));
    EXPECT_LE(fs::file_size(m_savePath), 8u * 1024 + 1024);
    ExifInfo exif;
    ASSERT_EQ(exif.ReadFromFile(m_savePath.c_str()), 1);
    EXPECT_STREQ(exif.GetFields().make, "Canon");
    // A copy: the photo keeps its file and its state.
    EXPECT_STREQ(fs::path(thePhotoDocument.m_path).filename().c_str(), "fast.jpg");
}

TEST(SaveNames, ProposedNames)
{
    EXPECT_EQ(CSaveActions::PrintName("IMG_0001", 2), "IMG_0001_A4");
    EXPECT_EQ(CSaveActions::PrintName("IMG_0001", 8), "IMG_0001_5x3.5");
    EXPECT_EQ(CSaveActions::PrintName("IMG_0001", 0), "IMG_0001");
    EXPECT_EQ(CSaveActions::FastCopyName("IMG_0001", "web 800"), "IMG_0001.web 800.jpg");
    EXPECT_EQ(CSaveActions::FastCopyName("", "forum"), "untittle.forum.jpg");
}
