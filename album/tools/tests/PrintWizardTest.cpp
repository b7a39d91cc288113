// The print wizard: its page jumps, the job lists its pages make, the crop
// of the settings page, and whole runs into page files and onto a printer.
#include "album/tools/PrintWizard.h"

#include "album/shell/tests/ShelfKitTestSupport.h"
#include "album/tools/tests/PrintTestPhotos.h"
#include "editor/shell/tests/PrintTestSupport.h"
#include "editor/ui/tests/SkinTestSupport.h"
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/QtBridge.h"

#include <QCoreApplication>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using shelf::CPrintWizard;
using shelf::PrintItem;

class PrintWizard : public shelfkit::ShelfWindowTest {
protected:
    void TearDown() override
    {
        qlafx::SetModalHook({});
        shelfkit::ShelfWindowTest::TearDown();
    }
    std::string Photo(const char* name, int w, int h, DWORD colour)
    {
        const std::string path = m_folder.Path() + name;
        EXPECT_TRUE(printtest::WritePhoto(path, w, h, colour));
        return path;
    }
    // Runs the wizard with what the person does in it; message boxes are
    // logged and answered with answer.
    int Run(CPrintWizard& wizard, std::function<void(CPropertySheet*)> act, int answer = IDOK)
    {
        qlafx::SetModalHook([&](CWnd* w, const char*, const char* text, UINT) {
            if (w != &wizard.m_sheet) {
                m_messages.push_back(text ? text : "");
                return answer;
            }
            act(&wizard.m_sheet);
            return IDCANCEL;
        });
        return wizard.DoModal();
    }
    static UINT Active(CPropertySheet* sheet) { return sheet->GetActivePage()->m_nIDTemplate; }
    static void Press(CPropertySheet* sheet, UINT button) { sheet->SendMessage(WM_COMMAND, button); }
    // Lets the window thread run until done() holds (the workers post to it).
    static bool RunUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 60000 && !done(); ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QCoreApplication::processEvents();
        return done();
    }
    static void Click(CWnd* page, UINT id)
    {
        page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page->GetDlgItem(id)->m_hWnd));
    }
    static std::string Grab(CWnd* w, const char* name)
    {
        QCoreApplication::processEvents();
        QWidget* widget = w->m_hWnd ? qlafx::WidgetOf(w->m_hWnd) : nullptr;
        if (!widget)
            return "";
        w->UpdateWindow();
        return shelfkit::SaveGrab(widget->grab().toImage(), name);
    }
    // Checks one radio button of a group, as a click does.
    static void Choose(CWnd* page, std::initializer_list<UINT> group, UINT id)
    {
        for (UINT b : group)
            page->SendDlgItemMessage(b, BM_SETCHECK, b == id ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    static void Manual(CPropertySheet* sheet, bool manual)
    {
        Choose(sheet->GetActivePage(), {1051, 1029}, manual ? 1029 : 1051);
    }
    static void Mode(CWnd* page, UINT id)
    {
        Choose(page, {1051, 1029, 1030, 1139}, id);
        Click(page, id);
    }

    skintest::TempFolder m_folder;
    std::vector<std::string> m_messages;
};

// ---- page jumps --------------------------------------------------------------

TEST_F(PrintWizard, PagesJumpByTheFirstChoice)
{
    const std::string photo = Photo("a.jpg", 60, 40, printtest::Colour(200, 40, 40));
    const struct {
        int manual;
        std::vector<UINT> forward; // pages after each Next
        std::vector<UINT> back;    // pages after each Back from the last
    } cases[] = {{0, {185, 187}, {185}}, {1, {178, 187}, {178, 184}}};
    for (const auto& c : cases) {
        CImagePrinter printer;
        printer.SetVirtualPage(300, 11.7, 8.3);
        CPrintWizard wizard(&printer, {photo}, nullptr);
        std::vector<UINT> forward, back;
        Run(wizard, [&](CPropertySheet* sheet) {
            EXPECT_EQ(Active(sheet), 184u);
            Manual(sheet, c.manual);
            for (std::size_t i = 0; i < c.forward.size(); ++i) {
                RunUntil([&] { return !wizard.m_settings.IsLoading(); });
                Press(sheet, ID_WIZNEXT);
                forward.push_back(Active(sheet));
            }
            for (std::size_t i = 0; i < c.back.size(); ++i) {
                Press(sheet, ID_WIZBACK);
                back.push_back(Active(sheet));
            }
        }, IDYES);
        EXPECT_EQ(forward, c.forward) << "manual " << c.manual;
        EXPECT_EQ(back, c.back) << "manual " << c.manual;
        // The photo had no copies on the settings page: warned, kept as a job without copies.
        if (c.manual) {
            ASSERT_EQ(m_messages.size(), 1u);
            EXPECT_NE(m_messages[0].find("has not been set size and number of copies"), std::string::npos);
            ASSERT_EQ(printer.m_jobs.size(), 1u);
            EXPECT_TRUE(printer.m_jobs[0].copySizes.empty());
        }
        m_messages.clear();
    }
}

TEST_F(PrintWizard, OneSizePageFillsTheJobsAndKeepsACopy)
{
    const std::string a = Photo("a.jpg", 60, 40, printtest::Colour(200, 40, 40));
    const std::string b = Photo("b.jpg", 40, 60, printtest::Colour(40, 40, 200));
    CImagePrinter printer;
    printer.SetVirtualPage(300, 11.7, 8.3);
    CPrintWizard wizard(&printer, {a, b}, nullptr);
    std::string grabbed;
    Run(wizard, [&](CPropertySheet* sheet) {
        Press(sheet, ID_WIZNEXT);
        CWnd* page = &wizard.m_page2;
        page->SendDlgItemMessage(1083, CB_SETCURSEL, 8, 0);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(1083, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(page->GetDlgItem(1083)->m_hWnd));
        EXPECT_FALSE(page->GetDlgItem(1080)->IsWindowEnabled());
        // The spin counts down to 1 and no further, up to 100.
        const struct {
            int delta, expected;
        } spins[] = {{1, 1}, {-3, 4}, {5, 1}, {-200, 100}, {98, 2}};
        for (const auto& s : spins) {
            NMUPDOWN nm{};
            nm.hdr.hwndFrom = page->GetDlgItem(1028)->m_hWnd;
            nm.hdr.idFrom = 1028;
            nm.hdr.code = UDN_DELTAPOS;
            nm.iDelta = s.delta;
            page->SendMessage(WM_NOTIFY, 1028, reinterpret_cast<LPARAM>(&nm));
            EXPECT_EQ(page->GetDlgItemInt(1027, nullptr, FALSE), static_cast<UINT>(s.expected)) << s.delta;
        }
        grabbed = Grab(sheet, "print_size");
        Press(sheet, ID_WIZNEXT);
        EXPECT_EQ(Active(sheet), 187u);
    });
    EXPECT_FALSE(grabbed.empty());
    ASSERT_EQ(printer.m_jobs.size(), 2u);
    for (const PrintJob& job : printer.m_jobs) {
        ASSERT_EQ(job.copySizes.size(), 2u);
        EXPECT_EQ(job.copySizes[0].width, 1800);
        EXPECT_EQ(job.copySizes[0].height, 1200);
        EXPECT_EQ(job.copyCrops[1].right, 0);
    }
    EXPECT_STREQ(printer.m_jobs[1].path, b.c_str());
}

// ---- the settings page's crop ------------------------------------------------

struct SettingsPage : PrintWizard {
    // The wizard on the settings page over one photo of w x h, row 8 (6 x 4) selected.
    void OnSettings(int w, int h, const std::function<void(shelf::CPrintSettingsPage&)>& act)
    {
        const std::string photo = Photo("p.jpg", w, h, printtest::Colour(90, 160, 90));
        CImagePrinter printer;
        printer.SetVirtualPage(300, 11.7, 8.3);
        CPrintWizard wizard(&printer, {photo}, nullptr);
        Run(wizard, [&](CPropertySheet* sheet) {
            Manual(sheet, true);
            Press(sheet, ID_WIZNEXT);
            ASSERT_TRUE(RunUntil([&] { return !wizard.m_settings.IsLoading(); }));
            shelf::CPrintSettingsPage& page = wizard.m_settings;
            ASSERT_EQ(page.m_items.size(), 1u);
            page.m_list.SelectItem(0, 0);
            page.OnSelectionChanged();
            page.m_sizeList.SetItemState(8, LVIS_SELECTED, LVIS_SELECTED);
            page.TrackRow();
            ASSERT_EQ(page.m_row, 8);
            act(page);
        });
    }
};

TEST_F(SettingsPage, DefaultCropLetterboxesToThePrintAspect)
{
    // 400 x 200 makes a 200 x 100 thumbnail.
    OnSettings(400, 200, [](shelf::CPrintSettingsPage& page) {
        page.MoveCrop(0); // no such button: nothing moves, but the crop is set
        const RECT crop = page.m_items[0]->crops[8];
        // 6:4 is narrower than 2:1: height grows to 133, centred.
        EXPECT_EQ(crop.left, 0);
        EXPECT_EQ(crop.right, 200);
        EXPECT_EQ(crop.top, -16);
        EXPECT_EQ(crop.bottom, 117);
    });
    // A portrait photo turns the size upright: 4 x 6 on 100 x 200.
    OnSettings(200, 400, [](shelf::CPrintSettingsPage& page) {
        page.MoveCrop(0);
        const RECT crop = page.m_items[0]->crops[8];
        EXPECT_EQ(crop.top, 0);
        EXPECT_EQ(crop.bottom, 200);
        EXPECT_EQ(crop.left, -16);
        EXPECT_EQ(crop.right, 117);
    });
}

TEST_F(SettingsPage, MovesStopAtTheEdgeThenGoUpTo50Beyond)
{
    OnSettings(300, 200, [](shelf::CPrintSettingsPage& page) {
        RECT& crop = page.m_items[0]->crops[8];
        // 200 x 133 thumbnail; 6 x 4 fits it: (0, 0) to (200, 133).
        page.MoveCrop(0);
        ASSERT_EQ(crop.right, 200);
        const struct {
            UINT button;
            int from;       // the crop's left edge before (right button moves it left)
            int expected;   // left after
        } moves[] = {{1070, 3, 0}, {1070, 0, -5}, {1070, -45, -50}, {1070, -50, -50}, {1069, -2, 0}};
        for (const auto& m : moves) {
            const int width = crop.right - crop.left;
            crop.left = m.from;
            crop.right = m.from + width;
            page.MoveCrop(m.button);
            EXPECT_EQ(crop.left, m.expected) << m.button << " from " << m.from;
            EXPECT_EQ(crop.right - crop.left, width) << "a move keeps the crop's size";
        }
        // Down and up the same way against the top and bottom.
        crop = RECT{0, 0, 200, 133};
        for (int i = 0; i < 20; ++i)
            page.MoveCrop(1071);
        EXPECT_EQ(crop.bottom, 133 + 50);
        crop = RECT{0, 3, 200, 136};
        page.MoveCrop(1072);
        EXPECT_EQ(crop.top, 0);
    });
}

TEST_F(SettingsPage, ReduceAndEnlargeFollowThePrintAspect)
{
    OnSettings(300, 200, [](shelf::CPrintSettingsPage& page) {
        RECT& crop = page.m_items[0]->crops[8];
        const struct {
            RECT before;
            bool enlarge;
            RECT after;
        } cases[] = {
            // Reduce by 20 x trunc(4 x 20 / 6) = 13.
            {{0, 0, 200, 133}, false, {10, 6, 190, 126}},
            // Wider than the photo by less than 20: by that much.
            {{-5, 0, 210, 143}, false, {2, 5, 202, 138}},
            // Below half the width: no more.
            {{0, 0, 90, 60}, false, {0, 0, 90, 60}},
            // Enlarge by 12 x 8.
            {{50, 50, 110, 90}, true, {44, 46, 116, 94}},
            // Close to the width: to the width, height by the photo's aspect.
            {{5, 0, 195, 133}, true, {0, -3, 200, 136}},
            // Both beyond the photo: no more.
            {{-10, -10, 210, 143}, true, {-10, -10, 210, 143}},
        };
        for (const auto& c : cases) {
            crop = c.before;
            if (c.enlarge)
                page.EnlargeCrop();
            else
                page.ReduceCrop();
            EXPECT_EQ(crop.left, c.after.left) << c.before.left << "," << c.before.right;
            EXPECT_EQ(crop.top, c.after.top) << c.before.left << "," << c.before.right;
            EXPECT_EQ(crop.right, c.after.right) << c.before.left << "," << c.before.right;
            EXPECT_EQ(crop.bottom, c.after.bottom) << c.before.left << "," << c.before.right;
        }
    });
}

TEST_F(SettingsPage, JobsCarryCopiesAndCropsInThousandths)
{
    OnSettings(300, 200, [](shelf::CPrintSettingsPage& page) {
        PrintItem& item = *page.m_items[0];
        item.copies[8] = 2;
        item.copies[0] = 1;
        item.customWidth = 2.0f;
        item.customHeight = 1.5f;
        item.crops[8] = RECT{-20, 10, 180, 143};
        page.FillJobs();
        const std::vector<PrintJob>& jobs = page.m_printer->m_jobs;
        ASSERT_EQ(jobs.size(), 1u);
        ASSERT_EQ(jobs[0].copySizes.size(), 3u);
        EXPECT_EQ(jobs[0].copySizes[0].width, 600); // custom 2 x 1.5 at 300 dpi
        EXPECT_EQ(jobs[0].copySizes[0].height, 450);
        EXPECT_EQ(jobs[0].copyCrops[0].right, 0);
        EXPECT_EQ(jobs[0].copySizes[1].width, 1800);
        const RECT& crop = jobs[0].copyCrops[2];
        EXPECT_EQ(crop.left, -100);
        EXPECT_EQ(crop.top, 75);
        EXPECT_EQ(crop.right, 900);
        EXPECT_EQ(crop.bottom, 1075);
    });
}

// ---- grabs -------------------------------------------------------------------

TEST_F(PrintWizard, GrabsOfTheFirstAndLastPagesAndTheLoading)
{
    const std::string photo = Photo("a.jpg", 60, 40, printtest::Colour(200, 40, 40));
    CImagePrinter printer;
    printer.SetVirtualPage(300, 11.7, 8.3);
    CPrintWizard wizard(&printer, {photo}, nullptr);
    std::string start, loading, arrange;
    Run(wizard, [&](CPropertySheet* sheet) {
        Manual(sheet, true);
        start = Grab(sheet, "print_start");
        Press(sheet, ID_WIZNEXT);
        RunUntil([&] { return !wizard.m_settings.IsLoading(); });
        CWnd& progress = wizard.m_settings.m_progress;
        progress.SendDlgItemMessage(1082, PBM_SETPOS, 50, 0);
        progress.ShowWindow(SW_SHOW);
        loading = Grab(&progress, "print_loading");
        progress.ShowWindow(SW_HIDE);
        wizard.m_settings.m_items[0]->copies[8] = 1;
        Press(sheet, ID_WIZNEXT);
        ASSERT_EQ(Active(sheet), 187u);
        CWnd* page = &wizard.m_page3;
        Mode(page, 1029);
        EXPECT_EQ(wizard.m_page3.m_mode, 1);
        EXPECT_TRUE(page->GetDlgItem(1139)->IsWindowEnabled()) << "a virtual page prints to files";
        arrange = Grab(sheet, "print_arrange");
    });
    EXPECT_FALSE(start.empty());
    EXPECT_FALSE(loading.empty());
    EXPECT_FALSE(arrange.empty());
}

TEST_F(PrintWizard, GrabOfTheSettingsPageOnCorpusPhotos)
{
    const std::string jolla = shelfkit::CorpusPhoto("exif-samples/jpg/mobile/jolla.jpg");
    const std::string canon = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
    if (jolla.empty() || canon.empty())
        GTEST_SKIP() << "no corpus";
    CImagePrinter printer;
    printer.SetVirtualPage(300, 11.7, 8.3);
    CPrintWizard wizard(&printer, {jolla, canon}, nullptr);
    std::string grabbed;
    Run(wizard, [&](CPropertySheet* sheet) {
        Manual(sheet, true);
        Press(sheet, ID_WIZNEXT);
        ASSERT_TRUE(RunUntil([&] { return !wizard.m_settings.IsLoading(); }));
        shelf::CPrintSettingsPage& page = wizard.m_settings;
        ASSERT_EQ(page.m_items.size(), 2u);
        page.m_list.SelectItem(0, 1);
        page.OnSelectionChanged();
        page.m_sizeList.SetItemState(8, LVIS_SELECTED, LVIS_SELECTED);
        page.TrackRow();
        for (int i = 0; i < 2; ++i) {
            NMUPDOWN nm{};
            nm.hdr.hwndFrom = page.GetDlgItem(1067)->m_hWnd;
            nm.hdr.idFrom = 1067;
            nm.hdr.code = UDN_DELTAPOS;
            nm.iDelta = -1;
            page.SendMessage(WM_NOTIFY, 1067, reinterpret_cast<LPARAM>(&nm));
        }
        EXPECT_EQ(page.m_items[1]->copies[8], 2);
        EXPECT_STREQ(page.m_list.GetItem(1).text, "( 2 Copies )");
        page.MoveCrop(0); // the default crop, before any paint sets it
        const RECT before = page.m_items[1]->crops[8];
        Click(&page, 1069);
        Click(&page, 1069);
        const RECT& after = page.m_items[1]->crops[8];
        EXPECT_GT(after.left, before.left);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        grabbed = Grab(sheet, "print_settings");
    });
    EXPECT_FALSE(grabbed.empty());
}

// ---- whole runs --------------------------------------------------------------

TEST_F(PrintWizard, TypesetRunWritesPageFilesFromItsWorker)
{
    const std::string a = Photo("a.jpg", 60, 40, printtest::Colour(200, 40, 40));
    const std::string b = Photo("b.jpg", 60, 40, printtest::Colour(40, 40, 200));
    const std::string out = m_folder.Path() + "out/";
    fs::create_directories(out);
    CImagePrinter printer;
    printer.SetVirtualPage(300, 11.7, 8.3);
    CPrintWizard wizard(&printer, {a, b}, nullptr);
    const int result = Run(wizard, [&](CPropertySheet* sheet) {
        Press(sheet, ID_WIZNEXT);
        wizard.m_page2.SendDlgItemMessage(1083, CB_SETCURSEL, 8, 0);
        wizard.m_page2.SetDlgItemText(1027, "2");
        Press(sheet, ID_WIZNEXT);
        CWnd* page = &wizard.m_page3;
        Mode(page, 1029);
        Press(sheet, ID_WIZFINISH);
        EXPECT_FALSE(wizard.m_page3.IsRunning()) << "no folder, no page files";
        page->SetDlgItemText(1004, out.c_str());
        Press(sheet, ID_WIZFINISH);
        EXPECT_FALSE(sheet->GetDlgItem(IDCANCEL)->IsWindowEnabled()) << "no cancel while the run goes on";
        EXPECT_TRUE(RunUntil([&] { return wizard.m_page3.m_done; }));
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_TRUE(m_messages.empty()) << m_messages.front();
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.find("Page0"), std::string::npos) << name;
        ++pages;
    }
    EXPECT_EQ(pages, 2) << "normal mode: one page per photo";
}

TEST_F(PrintWizard, PrinterRunPutsEachCellOnItsPage)
{
    const std::string pdf = m_folder.Path() + "pages.pdf";
    const qlafx::PrinterChoice choice = printtest::PdfPrinter(pdf, DMPAPER_A4, 100);
    qlafx::SetModalHook([&choice](CWnd* w, const char*, const char*, UINT) {
        if (w)
            qlafx::AnswerPrintDialog(*static_cast<CPrintDialog*>(w), choice);
        return IDOK;
    });
    CImagePrinter printer;
    ASSERT_TRUE(printer.SetupPrinter());
    const struct {
        const char* name;
        DWORD colour;
    } photos[] = {{"red.jpg", printtest::Colour(230, 30, 30)}, {"blue.jpg", printtest::Colour(30, 30, 230)}};
    std::vector<std::string> paths;
    for (const auto& p : photos)
        paths.push_back(Photo(p.name, 150, 100, p.colour));
    CPrintWizard wizard(&printer, paths, nullptr);
    // Read on the page surface before each page is ended.
    std::vector<std::vector<DWORD>> found;
    wizard.m_page3.m_pageDone = [&](int page) {
        std::vector<DWORD> colours;
        const double s = static_cast<double>(printer.m_physicalWidth - 2 * printer.m_physicalOffsetX) /
                         printer.GetPageWidth();
        for (const shelf::PagePlacement& p : wizard.m_page3.m_run->Pages()[static_cast<std::size_t>(page)]) {
            const COLORREF c = ::GetPixel(printer.GetPrinterDC(), static_cast<int>(s * (p.cell.left + p.cell.right) / 2),
                                          static_cast<int>(s * (p.cell.top + p.cell.bottom) / 2));
            colours.push_back(c);
            EXPECT_TRUE(printtest::Near(0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c),
                                        photos[p.job].colour, 30))
                << "page " << page << " job " << p.job;
        }
        found.push_back(colours);
    };
    const int result = Run(wizard, [&](CPropertySheet* sheet) {
        Press(sheet, ID_WIZNEXT);
        wizard.m_page2.SendDlgItemMessage(1083, CB_SETCURSEL, 7, 0); // 5 x 3.5
        wizard.m_page2.SetDlgItemText(1027, "2");
        Press(sheet, ID_WIZNEXT);
        EXPECT_FALSE(wizard.m_page3.GetDlgItem(1139)->IsWindowEnabled()) << "a printer prints no files";
        Mode(&wizard.m_page3, 1029);
        Press(sheet, ID_WIZFINISH);
        EXPECT_TRUE(RunUntil([&] { return wizard.m_page3.m_done; }));
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].size(), 2u);
    const printtest::PdfContents contents = printtest::ReadPdf(pdf);
    EXPECT_EQ(contents.pages, 2);
    ASSERT_EQ(contents.images.size(), 2u);
    // A4 portrait at 100 dpi.
    EXPECT_NEAR(contents.images[0].width(), 827, 3);
    EXPECT_NEAR(contents.images[0].height(), 1169, 3);
}

} // namespace
