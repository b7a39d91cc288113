// The overlay sheet: pasted, loaded and text objects, the blend job from
// the pages, collapsed re-runs, what OK and Cancel leave in the document,
// the text page's settings files, and "Select a Month".
#include "editor/ui/tests/EffectDialogTestEnv.h"
#include "editor/ui/tests/SkinTestSupport.h"

#include "editor/retouch/InsTextPage.h"
#include "editor/retouch/InsertImageDlg.h"
#include "editor/retouch/OverlayCommands.h"
#include "editor/retouch/OverlaySheet.h"
#include "editor/retouch/SelectMonthDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using effecttest::PumpUntil;

namespace {

const std::string kCorpus = QUILLO_CORPUS_DIR;
const std::string kPhoto = kCorpus + "/exif-samples/jpg/hdr/canon_hdr_NO.jpg";
const std::string kObject = kCorpus + "/exif-samples/jpg/Canon_PowerShot_S40.jpg";

class OverlaySheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        thePhotoDocument.Clear();
        if (const char* file = thePhotoDocument.m_history.GetFilePath(); file[0])
            std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        skintest::Fill(&thePhotoDocument.m_image, 600, 400, CPixel{40, 60, 80, 255});
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        thePhotoDocument.Clear();
    }
    static bool LoadCorpus(const std::string& path, CQLImage* image)
    {
        CQLImageCodec codec;
        return std::filesystem::exists(path) && codec.LoadFile(path.c_str(), image) && image->GetAreaByteSize() != 0;
    }
    static void WaitIdle(COverlaySheet* sheet)
    {
        ASSERT_TRUE(PumpUntil([&] { return !sheet->IsRendering(); }));
        qlafx::ProcessPendingEvents();
    }
    static void SaveGrab(CWnd& wnd, const char* name)
    {
        wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        const QImage grab = wnd.GetWidget()->grab().toImage();
        std::filesystem::create_directories(QUILLO_GRAB_DIR);
        const std::string path = std::string(QUILLO_GRAB_DIR) + "/" + name;
        EXPECT_TRUE(grab.save(QString::fromStdString(path)));
        std::printf("grab: %s\n", path.c_str());
    }
    static std::string History()
    {
        char text[512] = {};
        return thePhotoDocument.m_history.GetActionText(sizeof text, text);
    }
    // A picture of w x h: opaque white.
    static CQLImage Picture(int w, int h)
    {
        CQLImage p;
        skintest::Fill(&p, w, h, CPixel{255, 255, 255, 255});
        return p;
    }
    // Runs the hook's work on the sheet once it stands; the sheet then ends
    // with the hook's answer.
    static void OnSheet(const std::function<int(COverlaySheet*)>& work)
    {
        qlafx::SetModalHook([work](CWnd* dialog, const char*, const char*, UINT) -> int {
            if (auto* sheet = dynamic_cast<COverlaySheet*>(dialog))
                return work(sheet);
            return qlafx::kModalRun;
        });
    }
};

TEST_F(OverlaySheetTest, PasteMergesTheFittedPictureAndPushesPaste)
{
    RECT placed{};
    OnSheet([&](COverlaySheet* sheet) {
        WaitIdle(sheet);
        sheet->preview.GetSelection(&placed);
        // The layer page is the first: Screen at 200.
        CWnd* page = sheet->GetActivePage();
        page->SendDlgItemMessage(IDC_LAYER_MODE, CB_SETCURSEL, 1);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LAYER_MODE, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(page->GetDlgItem(IDC_LAYER_MODE)->m_hWnd));
        page->SetDlgItemText(IDC_LAYER_OPACITY, "200");
        sheet->effectPage.shadowOn = 1;
        sheet->effectPage.shadowX = 7;
        sheet->StartRender();
        WaitIdle(sheet);
        const OverlayBlendParams job = sheet->LastJob();
        EXPECT_EQ(job.mode, 1);
        EXPECT_EQ(job.opacity, 200);
        EXPECT_EQ(job.fill, 0);
        EXPECT_EQ(job.shadow, 1);
        EXPECT_EQ(job.shadowDx, 7);
        EXPECT_EQ(job.width, 500);
        sheet->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return IDOK;
    });
    EXPECT_EQ(RunPasteSheet(nullptr, Picture(1000, 200)), IDOK);
    EXPECT_EQ(placed.right - placed.left, 500);  // halved once to fit 600 x 400
    EXPECT_EQ(placed.bottom - placed.top, 100);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(History(), "Open,Paste,");
    // Screen with white brightens the photo where the picture lies.
    EXPECT_GT(thePhotoDocument.m_image.GetPixel2(250, 50).g, 60);
    EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(300, 300).g, 60);
}

TEST_F(OverlaySheetTest, ChangesDuringARenderCollapseIntoOneRerunWithTheLastValues)
{
    OnSheet([&](COverlaySheet* sheet) {
        // The first render was started by placing the pasted picture.
        EXPECT_TRUE(sheet->IsRendering());
        EXPECT_FALSE(sheet->GetDlgItem(IDOK)->IsWindowEnabled());
        const int started = sheet->RendersStarted();
        CWnd* page = sheet->GetActivePage();
        for (const char* v : {"10", "20", "30"})
            page->SetDlgItemText(IDC_LAYER_OPACITY, v);
        WaitIdle(sheet);
        EXPECT_EQ(sheet->RendersStarted(), started + 1);
        EXPECT_EQ(sheet->LastJob().opacity, 30);
        EXPECT_TRUE(sheet->GetDlgItem(IDOK)->IsWindowEnabled());
        // Nothing changed: a zoom notice renders nothing again.
        sheet->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeOverlayChanged, 0);
        EXPECT_FALSE(sheet->IsRendering());
        return IDCANCEL;
    });
    EXPECT_EQ(RunPasteSheet(nullptr, Picture(100, 80)), IDCANCEL);
}

TEST_F(OverlaySheetTest, CancelDuringARenderLeavesThePhotoAndTheHistory)
{
    CQLImage before;
    before.DuplicateFrom(&thePhotoDocument.m_image);
    OnSheet([&](COverlaySheet* sheet) {
        EXPECT_TRUE(sheet->IsRendering());
        sheet->GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
        sheet->GetDlgItem(IDCANCEL)->SendMessage(BM_CLICK);
        EXPECT_FALSE(sheet->IsRendering());
        return IDCANCEL;
    });
    EXPECT_EQ(RunPasteSheet(nullptr, Picture(300, 300)), IDCANCEL);
    EXPECT_EQ(std::memcmp(before.GetBuffer(0, 0), thePhotoDocument.m_image.GetBuffer(0, 0), before.GetAreaByteSize()),
              0);
    EXPECT_EQ(History(), "Open,");
}

TEST_F(OverlaySheetTest, AcceptIconWaitsForTheRender)
{
    OnSheet([&](COverlaySheet* sheet) {
        EXPECT_TRUE(sheet->IsRendering());
        sheet->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeConfirm, 0);
        qlafx::ProcessPendingEvents();
        EXPECT_TRUE(sheet->m_hWnd && sheet->IsWindowVisible());  // still open
        WaitIdle(sheet);
        sheet->SendMessage(WM_ZOOMVIEW_NOTIFY, kZoomNoticeConfirm, 0);
        return qlafx::kModalRun;  // the pressed OK ends it
    });
    EXPECT_EQ(RunPasteSheet(nullptr, Picture(50, 50)), IDOK);
    EXPECT_EQ(History(), "Open,Paste,");
}

TEST_F(OverlaySheetTest, InsertImageCancelledOrUnreadableClosesTheSheet)
{
    const std::string broken = std::filesystem::temp_directory_path() / "quillo-overlay-broken.jpg";
    std::ofstream(broken) << "not a picture";
    std::vector<std::string> boxes;
    for (const bool choose : {false, true}) {
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
            if (!dialog) {
                boxes.push_back(text ? text : "");
                return IDOK;
            }
            if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
                if (!choose)
                    return IDCANCEL;
                qlafx::AnswerFileDialog(*files, {broken});
                return IDOK;
            }
            return qlafx::kModalRun;
        });
        EXPECT_EQ(RunInsertImageSheet(nullptr), IDCANCEL) << choose;
    }
    EXPECT_EQ(boxes, (std::vector<std::string>{"Can not open file"}));
    EXPECT_EQ(History(), "Open,");
    std::filesystem::remove(broken);
}

TEST_F(OverlaySheetTest, AFailedLoadKeepsThePreviousObject)
{
    CQLImage object;
    if (!LoadCorpus(kObject, &object))
        GTEST_SKIP() << "corpus photo absent";
    const std::string broken = std::filesystem::temp_directory_path() / "quillo-overlay-broken2.jpg";
    std::ofstream(broken) << "not a picture";
    std::string answer = kObject;
    UINT w = 0, h = 0, w2 = 0, h2 = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
        if (!dialog)
            return IDOK;
        if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
            qlafx::AnswerFileDialog(*files, {answer});
            return IDOK;
        }
        if (auto* sheet = dynamic_cast<COverlaySheet*>(dialog)) {
            EXPECT_TRUE(PumpUntil([&] { return sheet->objectImage.GetAreaByteSize() != 0; }));
            sheet->objectImage.GetSize(&w, &h);
            answer = broken;
            auto* first = dynamic_cast<CInsertImageDlg*>(sheet->GetPage(0));
            EXPECT_FALSE(first->LoadPicture(broken.c_str()));
            sheet->objectImage.GetSize(&w2, &h2);
            WaitIdle(sheet);
            return IDCANCEL;
        }
        return qlafx::kModalRun;
    });
    EXPECT_EQ(RunInsertImageSheet(nullptr), IDCANCEL);
    EXPECT_GT(w, 0u);
    EXPECT_EQ(w2, w);
    EXPECT_EQ(h2, h);
    std::filesystem::remove(broken);
}

TEST_F(OverlaySheetTest, GrabOfAnImagePlacedInScreenMode)
{
    if (!LoadCorpus(kPhoto, &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    if (!std::filesystem::exists(kObject))
        GTEST_SKIP() << "corpus photo absent";
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
        if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
            qlafx::AnswerFileDialog(*files, {kObject});
            return IDOK;
        }
        auto* sheet = dynamic_cast<COverlaySheet*>(dialog);
        if (!sheet)
            return qlafx::kModalRun;
        EXPECT_TRUE(PumpUntil([&] { return sheet->objectImage.GetAreaByteSize() != 0; }));
        WaitIdle(sheet);
        // The loaded picture brought the navigation page forward.
        EXPECT_EQ(sheet->GetActivePage(), &sheet->navigationPage);
        sheet->layerPage.mode = 1;
        sheet->layerPage.opacity = 200;
        sheet->StartRender();
        WaitIdle(sheet);
        EXPECT_EQ(sheet->LastJob().mode, 1);
        // Zoomed in on the object: the navigator frames that part.
        sheet->preview.SetScrollZoom(0, 0, 0.5);
        qlafx::ProcessPendingEvents();
        sheet->navigationPage.navigator.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const RECT box = sheet->navigationPage.navigator.GetBox();
        const RECT view = sheet->navigationPage.navigator.GetViewRect();
        EXPECT_EQ(view.left, box.left);
        EXPECT_LT(view.right, box.right);
        SaveGrab(*sheet, "overlay-image.png");
        return IDCANCEL;
    });
    EXPECT_EQ(RunInsertImageSheet(nullptr), IDCANCEL);
}

class TextSheetTest : public OverlaySheetTest {
protected:
    static CInsTextPage* TextPage(COverlaySheet* sheet) { return dynamic_cast<CInsTextPage*>(sheet->GetPage(0)); }
    static void Click(CWnd* page, UINT id) { page->GetDlgItem(static_cast<int>(id))->SendMessage(BM_CLICK); }
};

TEST_F(TextSheetTest, GrabOfTwoLinesInABalloonWithShadow)
{
    if (!LoadCorpus(kPhoto, &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    OnSheet([&](COverlaySheet* sheet) {
        CInsTextPage* page = TextPage(sheet);
        WaitIdle(sheet);
        EXPECT_EQ(sheet->objectKind, 1);  // the default text, plain
        EXPECT_TRUE(sheet->objectImage.GetAreaByteSize() != 0);
        page->SetText("Quillo\r\nEvening lamps");
        page->SetDlgItemText(IDC_TEXT_SIZE, "60");
        Click(page, IDC_BALLOON_NONE + 3);  // ellipse
        Click(page, IDC_BALLOON_TAIL0 + 3);  // down-right
        EXPECT_EQ(page->balloonShape, 2);
        EXPECT_EQ(page->balloonTail, 3);
        WaitIdle(sheet);
        EXPECT_EQ(sheet->objectKind, 0);
        sheet->SetActivePage(&sheet->effectPage);
        sheet->effectPage.GetDlgItem(IDC_SHADOW_ON)->SendMessage(BM_CLICK);
        sheet->SetActivePage(0);
        WaitIdle(sheet);
        EXPECT_EQ(sheet->LastJob().shadow, 1);
        EXPECT_EQ(sheet->LastJob().fill, 0);
        SaveGrab(*sheet, "overlay-text.png");
        return IDCANCEL;
    });
    EXPECT_EQ(RunInsertTextSheet(nullptr), IDCANCEL);
    EXPECT_EQ(History(), "Open,");
}

TEST_F(TextSheetTest, TextRequestsDuringADrawingCollapseIntoTheLast)
{
    OnSheet([&](COverlaySheet* sheet) {
        WaitIdle(sheet);
        TextStyle style;
        style.size = 40;
        for (const char* text : {"a", "ab", "a much longer line"})
            sheet->RenderText(style, text, FALSE);
        EXPECT_TRUE(sheet->IsRendering());
        EXPECT_FALSE(sheet->GetDlgItem(IDOK)->IsWindowEnabled());
        WaitIdle(sheet);
        CQLImage expected;
        int kind = 0;
        EXPECT_TRUE(RenderTextObject(style, "a much longer line", &expected, &kind));
        UINT w = 0, h = 0, ew = 0, eh = 0;
        sheet->objectImage.GetSize(&w, &h);
        expected.GetSize(&ew, &eh);
        EXPECT_EQ(w, ew);
        EXPECT_EQ(h, eh);
        EXPECT_TRUE(sheet->GetDlgItem(IDOK)->IsWindowEnabled());
        return IDCANCEL;
    });
    EXPECT_EQ(RunInsertTextSheet(nullptr), IDCANCEL);
}

TEST_F(TextSheetTest, OkPushesInsertTextAndWritesTheDefaults)
{
    skintest::TempFolder folder;
    OnSheet([&](COverlaySheet* sheet) {
        CInsTextPage* page = TextPage(sheet);
        page->defaultPath = folder.Path() + "default.tset";
        page->SetDlgItemText(IDC_TEXT_SIZE, "48");
        Click(page, IDC_TEXT_BOLD);
        WaitIdle(sheet);
        EXPECT_EQ(page->size, 48);
        EXPECT_EQ(page->bold, 1);
        sheet->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return IDOK;
    });
    EXPECT_EQ(RunInsertTextSheet(nullptr), IDOK);
    EXPECT_EQ(History(), "Open,Insert Text,");
    TextSettings saved;
    ASSERT_TRUE(LoadTextSettings((folder.Path() + "default.tset").c_str(), &saved));
    EXPECT_EQ(saved.size, 48);
    EXPECT_EQ(saved.bold, 1);
}

TEST_F(TextSheetTest, SettingsFilesAndTheSizeSpin)
{
    skintest::TempFolder folder;
    const std::string file = folder.Path() + "mine.tset";
    const std::string bad = folder.Path() + "bad.tset";
    std::ofstream(bad) << "short";
    std::vector<std::string> boxes;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) -> int {
        if (!dialog) {
            boxes.push_back(text ? text : "");
            return IDOK;
        }
        auto* sheet = dynamic_cast<COverlaySheet*>(dialog);
        if (!sheet)
            return qlafx::kModalRun;
        CInsTextPage* page = TextPage(sheet);
        page->SetDlgItemText(IDC_TEXT_SIZE, "200");
        Click(page, IDC_TEXT_ITALIC);
        sheet->layerPage.mode = 4;
        sheet->effectPage.embossOn = 1;
        sheet->effectPage.shadowX = -20;
        sheet->effectPage.emissionBlur = 9;
        EXPECT_TRUE(page->SaveSettings(file.c_str()));
        // Spinning up past 200 starts again at 1.
        NMUPDOWN spin{};
        spin.hdr.hwndFrom = page->GetDlgItem(IDC_TEXT_SIZE_SPIN)->m_hWnd;
        spin.hdr.idFrom = IDC_TEXT_SIZE_SPIN;
        spin.hdr.code = UDN_DELTAPOS;
        spin.iDelta = -1;
        page->SendMessage(WM_NOTIFY, IDC_TEXT_SIZE_SPIN, reinterpret_cast<LPARAM>(&spin));
        EXPECT_EQ(page->size, 1);
        Click(page, IDC_TEXT_ITALIC);
        sheet->layerPage.mode = 0;
        // The effects page made and showing other values.
        sheet->SetActivePage(&sheet->effectPage);
        sheet->SetActivePage(0);
        OverlayEffects plain;
        sheet->SetEffects(plain);
        EXPECT_EQ(sheet->effectPage.embossOn, 0);
        EXPECT_FALSE(page->LoadSettings(bad.c_str()));
        EXPECT_EQ(page->size, 1);
        EXPECT_TRUE(page->LoadSettings(file.c_str()));
        EXPECT_EQ(page->size, 200);
        EXPECT_EQ(page->italic, 1);
        EXPECT_EQ(sheet->layerPage.mode, 4);
        EXPECT_EQ(sheet->effectPage.embossOn, 1);
        EXPECT_EQ(sheet->effectPage.shadowX, -20);
        EXPECT_EQ(sheet->effectPage.emissionBlur, 9u);
        EXPECT_EQ(sheet->effectPage.GetDlgItemInt(IDC_SHADOW_X, nullptr, TRUE), static_cast<UINT>(-20));
        EXPECT_EQ(sheet->effectPage.GetDlgItemInt(IDC_EMISSION_BLUR, nullptr, TRUE), 9u);
        char shown[8] = {};
        page->GetDlgItemText(IDC_TEXT_SIZE, shown, sizeof shown);
        EXPECT_STREQ(shown, "200");
        WaitIdle(sheet);
        return IDCANCEL;
    });
    EXPECT_EQ(RunInsertTextSheet(nullptr), IDCANCEL);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Can not open file"}));
}

TEST_F(TextSheetTest, CalendarReplacesTheTextInTerminal)
{
    OnSheet([&](COverlaySheet* sheet) {
        CInsTextPage* page = TextPage(sheet);
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
            auto* month = dynamic_cast<CSelectMonthDlg*>(dialog);
            if (!month)
                return qlafx::kModalRun;
            month->SendDlgItemMessage(IDC_MONTH_YEAR, CB_SETCURSEL, static_cast<WPARAM>(2026 - month->firstYear));
            month->SendDlgItemMessage(IDC_MONTH_MONTH, CB_SETCURSEL, 1);
            EXPECT_FALSE(month->GetDlgItem(IDC_MONTH_ENGLISH)->IsWindowVisible());
            EXPECT_EQ(month->SendDlgItemMessage(IDC_MONTH_YEAR, CB_GETCOUNT), 30);
            SaveGrab(*month, "select-month.png");
            month->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
            return IDOK;
        });
        Click(page, IDC_TEXT_CALENDAR);
        EXPECT_EQ(page->text.substr(0, 8), "SUN  MON");
        EXPECT_EQ(page->faceName, "Terminal");
        WaitIdle(sheet);
        return IDCANCEL;
    });
    EXPECT_EQ(RunInsertTextSheet(nullptr), IDCANCEL);
}

}  // namespace
