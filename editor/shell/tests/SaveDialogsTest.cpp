// The save dialogs: the save-mode dialog's modes, titles and grabs, the
// print sizes, "Save with Size ..." on a real photo and the JPEG quality
// dialog's test encodes.
#include "SaveTestSupport.h"

#include "editor/shell/JpegQualityDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SaveForPrintDlg.h"
#include "editor/shell/SaveSchemes.h"
#include "editor/shell/SaveModeDlg.h"
#include "editor/shell/SaveWithSizeDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommCtrl.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;
using savetest::kCanon;
using savetest::PumpUntil;

namespace {

class SaveDialogs : public savetest::SaveTest {
protected:
    void TearDown() override
    {
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
        SaveTest::TearDown();
    }
    // A program folder of the test's own with the real skin and two schemes.
    void UseSchemes()
    {
        const std::string program = m_folder.Path() + "program/";
        fs::create_directories(program);
        fs::create_directory_symlink(std::string(QUILLO_PROGRAM_DIR) + "/skin", program + "skin");
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", program.c_str());
        JpegSlimSettings web;
        web.resizeMode = 3;
        web.resizeLength = 64;
        ASSERT_NE(WriteSaveScheme(SaveSchemeFolder(), "web 800", web), 0);
        JpegSlimSettings forum;
        forum.sizeMode = 2;
        forum.targetKB = 150;
        ASSERT_NE(WriteSaveScheme(SaveSchemeFolder(), "forum 150K", forum), 0);
    }
    // Runs dialog modally; work gets it after it opened, then it is cancelled.
    void RunAndCancel(CDialog& dialog, const char* caption, const std::function<void(CDialog*)>& work)
    {
        m_answers.push_back({caption, [&](CWnd* d) {
                                 work(static_cast<CDialog*>(d));
                                 return IDCANCEL;
                             }});
        dialog.DoModal();
        m_answers.pop_back();
    }
    static QImage Grab(CWnd* window)
    {
        window->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        QCoreApplication::processEvents();
        return window->GetWidget()->grab().toImage();
    }
};

bool TitleIsLink(const CLinkListCtrl& text)
{
    return !text.m_entries.empty() && text.m_entries[0].command[0] != '\0';
}

}  // namespace

TEST(SaveModeHandlers, TitlesAreMatchedByTheirFirstCharacters)
{
    struct Case {
        WPARAM wParam;
        const char* handler;
        UINT command;
    };
    const Case cases[] = {
        {0x20000 + 18945, "OnSaveBack", ID_SAVE_BACK},
        {0x20000 + 18946, "OnSaveWeb", ID_SAVE_WEB},
        {0x20000 + 18947, "OnSavePrint", ID_SAVE_PRINT},
        {0x20000 + 18948, "OnSaveEdit", ID_SAVE_EDIT},
        {0x20000 + 18949, "OnSaveCustom", ID_SAVE_CUSTOM},
        {0x20000, "OnSavePrin", ID_SAVE_PRINT},       // ten characters are enough
        {0x2FFFF, "OnSavePrinter", ID_SAVE_PRINT},
        {0x20000, "OnSaveWebsite", ID_SAVE_WEB},
        {0x20000, "OnSavePri", 0},                     // nine are not
        {0x20000, "OnSave", 0},
        {0x20000, "", 0},
        {0x20000, nullptr, 0},
        {0x1FFFF, "OnSavePrint", 0},                   // outside 0x20000..0x2FFFF
        {0x30000, "OnSavePrint", 0},
        {18947, "OnSavePrint", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSaveModeDlg::HandlerCommand(c.wParam, c.handler), c.command)
            << std::hex << c.wParam << " " << (c.handler ? c.handler : "(null)");
}

TEST(SaveForPrintSizes, LongSideIsDpiTimesInches)
{
    struct Case {
        int index, dpi, w, h, outW, outH;
    };
    const Case cases[] = {
        {1, 300, 3000, 2400, 4950, 3960},  // A3 landscape
        {1, 300, 2400, 3000, 3960, 4950},  // A3 portrait
        {0, 300, 3000, 2400, 3000, 2400},  // kept
        {0, 1, 17, 5, 17, 5},
        {2, 300, 3000, 2000, 3510, 2340},  // A4: 11.7 inches
        {2, 330, 3000, 3000, 3861, 3861},  // square counts as portrait; 11.7 x 330 exactly
        {3, 100, 400, 300, 830, 622},      // A5
        {4, 200, 100, 50, 2400, 1200},
        {5, 72, 50, 100, 360, 720},
        {6, 300, 4000, 3000, 2400, 1800},
        {7, 300, 4000, 3000, 1800, 1350},
        {8, 2400, 4000, 3000, 12000, 9000},
        {9, 300, 40, 30, 40, 30},          // out of range: kept
    };
    for (const Case& c : cases) {
        int w = -1, h = -1;
        CSaveForPrintDlg::PrintSize(c.index, c.dpi, c.w, c.h, &w, &h);
        EXPECT_EQ(w, c.outW) << c.index << " " << c.dpi;
        EXPECT_EQ(h, c.outH) << c.index << " " << c.dpi;
    }
    const char* const suffixes[] = {"", "_A3", "_A4", "_A5", "_12", "_10", "_8x6", "_6x4", "_5x3.5"};
    for (int i = 0; i < CSaveForPrintDlg::kSizeCount; ++i)
        EXPECT_STREQ(CSaveForPrintDlg::Suffix(i), suffixes[i]);
}

TEST_F(SaveDialogs, SaveModeDialogOnACorpusPhoto)
{
    if (!OpenCorpusCopy(kCanon, "Canon_40D.jpg"))
        GTEST_SKIP() << "corpus absent";
    UseSchemes();
    CSaveModeDlg dialog(nullptr);
    RunAndCancel(dialog, "Please select save mode", [&](CDialog*) {
        for (int i = 0; i < CSaveModeDlg::kModes; ++i) {
            EXPECT_TRUE(dialog.m_buttons[i].IsWindowEnabled()) << i;
            EXPECT_TRUE(TitleIsLink(dialog.m_texts[i])) << i;
        }
        EXPECT_TRUE(TitleIsLink(dialog.m_texts[0]));
        EXPECT_STREQ(dialog.m_texts[0].m_entries[0].command, "OnSaveBack");
        EXPECT_STREQ(dialog.m_texts[2].m_entries[0].text, theUITextTable.GetText(8));
        EXPECT_EQ(dialog.m_texts[0].m_entries.size(), 3u);  // title and two lines
        EXPECT_EQ(dialog.SendDlgItemMessage(IDC_SAVE_SCHEMES, LB_GETCOUNT), 2);
        // The layout: five rows, each face 70 x 70 in its square.
        CRect client, face;
        dialog.GetClientRect(&client);
        const int r = (client.Height() - 150) / 5;
        for (int i = 0; i < CSaveModeDlg::kModes; ++i) {
            dialog.m_buttons[i].GetWindowRect(&face);
            dialog.ScreenToClient(&face);
            EXPECT_EQ(face.Width(), r - 2 * ((r - 70) / 2));
            EXPECT_EQ(face.top, 5 + i * r + (r - 70) / 2);
        }
        CRect list;
        dialog.GetDlgItem(IDC_SAVE_SCHEMES)->GetWindowRect(&list);
        dialog.ScreenToClient(&list);
        EXPECT_EQ(list.top, client.Height() - 110);
        EXPECT_EQ(list.Height(), 70);
        EXPECT_FALSE(shelltest::SaveGrab(Grab(&dialog), "save_mode").empty());
    });
}

TEST_F(SaveDialogs, PastedPhotoHasSaveBackGreyWithoutLink)
{
    if (!shelltest::LoadCorpusPhoto(kCanon, &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus absent";
    thePhotoDocument.m_path[0] = '\0';
    CSaveModeDlg dialog(nullptr);
    RunAndCancel(dialog, "Please select save mode", [&](CDialog*) {
        EXPECT_FALSE(dialog.m_buttons[0].IsWindowEnabled());
        EXPECT_FALSE(TitleIsLink(dialog.m_texts[0]));
        EXPECT_EQ(dialog.m_texts[0].m_entries[0].textColor, RGB(128, 128, 128));
        EXPECT_TRUE(dialog.m_buttons[2].IsWindowEnabled());
        EXPECT_FALSE(dialog.RunMode(ID_SAVE_BACK));
        EXPECT_FALSE(shelltest::SaveGrab(Grab(&dialog), "save_mode_no_path").empty());
    });
}

TEST_F(SaveDialogs, TitleClickRunsItsMode)
{
    MakePastedPhoto(60, 40);
    CSaveModeDlg dialog(nullptr);
    m_answers.push_back({"Save for print", [](CWnd*) { return IDCANCEL; }});
    RunAndCancel(dialog, "Please select save mode", [&](CDialog* d) {
        d->PostMessage(WM_USER + 518, 0x20000 + 18947, reinterpret_cast<LPARAM>("OnSavePrint"));
        d->PostMessage(WM_USER + 518, 0x30000, reinterpret_cast<LPARAM>("OnSaveEdit"));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(std::count(m_captions.begin(), m_captions.end(), "Save for print"), 1);
    // The out-of-range click opened no file dialog.
    EXPECT_EQ(m_captions.size(), 2u);
}

// Save for web runs "Jpeg Slimming"; its Cancel leaves the save modes open.
TEST_F(SaveDialogs, SaveForWebRunsTheJpegOptimiser)
{
    MakePastedPhoto(120, 90);
    CSaveModeDlg dialog(nullptr);
    m_answers.push_back({"Jpeg Slimming", [](CWnd* d) {
                             d->SendMessage(WM_COMMAND, IDCANCEL);
                             return IDCANCEL;
                         }});
    bool open = false;
    RunAndCancel(dialog, "Please select save mode", [&](CDialog* d) {
        d->PostMessage(WM_USER + 518, 0x20000 + 18946, reinterpret_cast<LPARAM>("OnSaveWeb"));
        PumpUntil([&] { return std::count(m_captions.begin(), m_captions.end(), "Jpeg Slimming") == 1; });
        open = ::IsWindowVisible(d->m_hWnd);
    });
    EXPECT_EQ(std::count(m_captions.begin(), m_captions.end(), "Jpeg Slimming"), 1);
    EXPECT_TRUE(open);
    EXPECT_TRUE(thePhotoDocument.IsModified());
}

TEST_F(SaveDialogs, ModesAreReachedByTheKeyboard)
{
    MakePastedPhoto(60, 40);
    CSaveModeDlg dialog(nullptr);
    m_answers.push_back({"Save for print", [](CWnd*) { return IDCANCEL; }});
    RunAndCancel(dialog, "Please select save mode", [&](CDialog* d) {
        EXPECT_TRUE(dialog.m_buttons[2].GetStyle() & WS_TABSTOP);
        d->GotoDlgCtrl(&dialog.m_buttons[2]);
        dialog.m_buttons[2].SendMessage(WM_KEYDOWN, VK_SPACE, 0);
        dialog.m_buttons[2].SendMessage(WM_KEYUP, VK_SPACE, 0);
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(std::count(m_captions.begin(), m_captions.end(), "Save for print"), 1);
}

TEST_F(SaveDialogs, FailedSaveKeepsTheDialogOpen)
{
    MakePastedPhoto(60, 40);
    m_savePath = m_folder.Path() + "missing/folder/x.tif";
    CSaveModeDlg dialog(nullptr);
    int result = 0;
    m_answers.push_back({"Please select save mode", [&](CWnd* d) {
                             d->SendMessage(WM_COMMAND, ID_SAVE_EDIT);
                             result = ::IsWindowVisible(d->m_hWnd);
                             return IDCANCEL;
                         }});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], theUITextTable.GetText(18));
    EXPECT_TRUE(thePhotoDocument.IsModified());
}

TEST_F(SaveDialogs, SuccessfulSaveEndsWithOk)
{
    MakePastedPhoto(60, 40);
    m_savePath = m_folder.Path() + "ok.tif";
    CSaveModeDlg dialog(nullptr);
    m_answers.push_back({"Please select save mode", [&](CWnd* d) {
                             d->SendMessage(WM_COMMAND, ID_SAVE_EDIT);
                             return IDCANCEL;
                         }});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(fs::exists(m_savePath));
}

// A double click on a scheme saves a copy through it and leaves the
// dialog open; the photo stays as it was.
TEST_F(SaveDialogs, SchemeDoubleClickSavesAFastCopy)
{
    if (!OpenCorpusCopy(kCanon, "Canon_40D.jpg"))
        GTEST_SKIP() << "corpus absent";
    UseSchemes();
    const std::string photo = thePhotoDocument.m_path;
    m_savePath = m_folder.Path() + "copy.jpg";
    CSaveModeDlg dialog(nullptr);
    RunAndCancel(dialog, "Please select save mode", [&](CDialog* d) {
        CWnd* list = d->GetDlgItem(IDC_SAVE_SCHEMES);
        const LRESULT line = list->SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>("web 800"));
        ASSERT_GE(line, 0);
        list->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(line));
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SAVE_SCHEMES, LBN_DBLCLK), reinterpret_cast<LPARAM>(list->m_hWnd));
        EXPECT_TRUE(::IsWindowVisible(d->m_hWnd));
    });
    ASSERT_TRUE(fs::exists(m_savePath));
    EXPECT_EQ(m_proposedNames, std::vector<std::string>{"Canon_40D.web 800.jpg"});
    int w = 0, h = 0;
    ASSERT_NE(CQLImageCodec::GetFileShape(m_savePath.c_str(), &w, &h), 0);
    EXPECT_EQ(std::max(w, h), 64);
    EXPECT_EQ(thePhotoDocument.m_path, photo);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SaveDialogs, SaveForPrintEnablesTheResolutionWithASize)
{
    CSaveForPrintDlg dialog(nullptr);
    RunAndCancel(dialog, "Save for print", [&](CDialog* d) {
        EXPECT_EQ(d->SendDlgItemMessage(IDC_PRINT_SIZE, CB_GETCOUNT), 9);
        EXPECT_FALSE(d->GetDlgItem(IDC_PRINT_DPI)->IsWindowEnabled());
        d->SendDlgItemMessage(IDC_PRINT_SIZE, CB_SETCURSEL, 2);
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PRINT_SIZE, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(d->GetDlgItem(IDC_PRINT_SIZE)->m_hWnd));
        EXPECT_TRUE(d->GetDlgItem(IDC_PRINT_DPI)->IsWindowEnabled());
        CString dpi;
        d->GetDlgItemText(IDC_PRINT_DPI, dpi);
        EXPECT_STREQ(dpi, "300");
        EXPECT_FALSE(shelltest::SaveGrab(Grab(d), "save_for_print").empty());
        // 2401 dpi is refused by OK.
        d->SetDlgItemText(IDC_PRINT_DPI, "2401");
        m_messages.clear();
        d->SendDlgItemMessage(IDOK, BM_CLICK);
        EXPECT_EQ(m_messages.size(), 1u);
    });
}

TEST_F(SaveDialogs, SaveWithSizeFindsAQualityThatFits)
{
    CQLImage photo;
    if (!shelltest::LoadCorpusPhoto(kCanon, &photo))
        GTEST_SKIP() << "corpus absent";
    CSaveWithSizeDlg dialog(nullptr, &photo);
    dialog.m_wantedKB = 6;
    dialog.m_highQuality = 0;
    m_answers.push_back({"Save with Size ...", [&](CWnd* d) {
                             EXPECT_FALSE(shelltest::SaveGrab(Grab(d), "save_with_size").empty());
                             d->SendDlgItemMessage(IDOK, BM_CLICK);
                             EXPECT_FALSE(d->GetDlgItem(IDOK)->IsWindowEnabled());
                             EXPECT_FALSE(d->GetDlgItem(IDCANCEL)->IsWindowEnabled());
                             d->SendMessage(WM_CLOSE);  // ignored while searching
                             return qlafx::kModalRun;
                         }});
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_GT(dialog.m_quality, 0);
    ASSERT_LT(dialog.m_quality, 100);
    auto bytesAt = [&](int q) {
        CQLImageCodec codec;
        BYTE* data = nullptr;
        DWORD length = 0;
        EXPECT_NE(codec.SaveToJpegMem(&data, &length, &photo, q), 0);
        delete[] data;
        return length;
    };
    EXPECT_LE(bytesAt(dialog.m_quality), 6u * 1024);
    EXPECT_GT(bytesAt(dialog.m_quality + 1), 6u * 1024);
}

TEST_F(SaveDialogs, SaveWithSizeOfThreeKilobytesSearchesForFive)
{
    MakePastedPhoto(8, 8);
    CSaveWithSizeDlg dialog(nullptr, &thePhotoDocument.m_image);
    dialog.m_wantedKB = 3;
    m_answers.push_back({"Save with Size ...", [&](CWnd* d) {
                             d->SendDlgItemMessage(IDOK, BM_CLICK);
                             return qlafx::kModalRun;
                         }});
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_wantedKB, 5);
    EXPECT_EQ(dialog.m_quality, 99);  // a tiny picture fits at any quality
}

TEST_F(SaveDialogs, JpegQualityDialogTestEncodesAndRemembers)
{
    if (!OpenCorpusCopy(kCanon, "Canon_40D.jpg"))
        GTEST_SKIP() << "corpus absent";
    WriteProfile("[Interface]\nqleJpegQuality=70\nqleJpegHQColor=1\n");
    CJpegQualityDlg dialog(nullptr);
    EXPECT_EQ(dialog.m_quality, 70);
    EXPECT_EQ(dialog.m_highQuality, 1);
    const std::string testFile = std::string(theAppSettings.m_tempFolder) + "Preview0.jpg";
    m_answers.push_back({"Set JPEG File Quality", [&](CWnd* d) {
                             auto* q = static_cast<CJpegQualityDlg*>(d);
                             EXPECT_TRUE(PumpUntil([&] { return q->m_testSize != 0; }));
                             EXPECT_TRUE(fs::exists(testFile));
                             UINT w = 0, h = 0, pw = 0, ph = 0;
                             q->m_previewImage.GetSize(&pw, &ph);
                             thePhotoDocument.m_image.GetSize(&w, &h);
                             EXPECT_EQ(pw, w);
                             EXPECT_EQ(ph, h);
                             CString text;
                             d->GetDlgItemText(IDC_QUALITY_SIZES, text);
                             EXPECT_EQ(text, CJpegQualityDlg::SizeText(thePhotoDocument.m_fileSize, q->m_testSize));
                             EXPECT_EQ(q->SendDlgItemMessage(IDC_QUALITY_SLIDER, TBM_GETPOS), 70);
                             EXPECT_FALSE(shelltest::SaveGrab(Grab(d), "jpeg_quality").empty());

                             // A lower quality gives a smaller test file.
                             const DWORD before = q->m_testSize;
                             d->SendDlgItemMessage(IDC_QUALITY_LOW, BM_CLICK);
                             EXPECT_TRUE(PumpUntil([&] { return q->m_testSize != before; }));
                             EXPECT_LT(q->m_testSize, before);

                             // Narrow without the preview, wide again with it.
                             CRect wide, narrow;
                             d->GetWindowRect(&wide);
                             d->SendDlgItemMessage(IDC_QUALITY_PREVIEW, BM_CLICK);
                             EXPECT_TRUE(PumpUntil([&] { return q->m_preview == 0; }));
                             d->GetWindowRect(&narrow);
                             EXPECT_LT(narrow.Width(), wide.Width() / 2);
                             d->SendDlgItemMessage(IDC_QUALITY_PREVIEW, BM_CLICK);
                             EXPECT_TRUE(PumpUntil([&] { return q->m_preview == 1; }));
                             d->GetWindowRect(&narrow);
                             EXPECT_EQ(narrow.Width(), wide.Width());
                             d->SendDlgItemMessage(IDOK, BM_CLICK);
                             return IDOK;
                         }});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_quality, 40);
    EXPECT_EQ(dialog.m_highQuality, 0);
    EXPECT_FALSE(fs::exists(testFile));
    const std::string profile = ReadProfile();
    EXPECT_NE(profile.find("qleJpegQuality=40"), std::string::npos) << profile;
    EXPECT_NE(profile.find("qleJpegHQColor=0"), std::string::npos) << profile;
}

TEST_F(SaveDialogs, SizeTextOfAPhotoWithoutFile)
{
    EXPECT_STREQ(CJpegQualityDlg::SizeText(0, 2048), "Original file size : 0.00K\r\nCompressed to : 2.00K");
}

// A newer slider position replaces one waiting: the last request is what
// the test file ends up with.
TEST_F(SaveDialogs, TestEncoderKeepsOnlyTheNewestRequest)
{
    MakePastedPhoto(400, 300);
    const std::string path = m_folder.Path() + "t.jpg";
    skintest::CParentWnd owner;
    ASSERT_TRUE(owner.CreateParent());
    CJpegTestEncoder encoder;
    encoder.Start(owner.m_hWnd, WM_APP + 7, &thePhotoDocument.m_image, path);
    for (int q = 1; q <= 100; ++q)
        encoder.Request(q);
    encoder.WaitUntilIdle();
    CQLImage back;
    DWORD bytes = 0;
    ASSERT_TRUE(encoder.TakeResult(&back, &bytes));
    encoder.Stop();
    CQLImageCodec codec;
    BYTE* data = nullptr;
    DWORD length = 0;
    ASSERT_NE(codec.SaveToJpegMem(&data, &length, &thePhotoDocument.m_image, 100), 0);
    delete[] data;
    EXPECT_EQ(bytes, static_cast<DWORD>(fs::file_size(path)));
    EXPECT_NEAR(static_cast<double>(bytes), static_cast<double>(length), 64.0);
    owner.DestroyWindow();
}
