// The Print dialog: the size rules, the placement on the sheet, the size
// sent to the printer, the dialog worked by keyboard and mouse, printing
// into a PDF, a printer that cannot start a document, and File > Print.
#include "PrintTestSupport.h"
#include "ShellWindowsTestSupport.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PrintImageDlg.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/Afx.h"
#include "platform/afx/CommCtrl.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <ostream>

namespace {

using printtest::PdfPrinter;
using printtest::ReadPdf;
using Fit = CPrintImageDlg::Fit;

// The editor's worker runs the print jobs; the frame starts it in the program.
class WorkerEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!theAlgorithmThread.m_hThread) {
            ASSERT_TRUE(theAlgorithmThread.CreateThread());
        }
    }
    void TearDown() override
    {
        theAlgorithmThread.PostThreadMessage(WM_QUIT, 0, 0);
        WaitForSingleObject(theAlgorithmThread.m_hThread, 20000);
    }
};
const ::testing::Environment* const kWorker = ::testing::AddGlobalTestEnvironment(new WorkerEnvironment);

// ---- the rules ----

TEST(PrintSize, CutToHundredthsTruncatesWhatWasMeant)
{
    struct Case {
        double value, cut;
    };
    const Case cases[] = {{5.3333, 5.33}, {8.0, 8.0}, {1.999, 1.99}, {0.29, 0.29}, {0.3 - 0.1, 0.2}, {0.05, 0.05},
                          {0, 0}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(CPrintImageDlg::CutToHundredths(c.value), c.cut) << c.value;
}

struct FitCase {
    const char* name;
    Fit fit;
    double width, height;
};
void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }
class PrintFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(PrintFit, OpensAtTheLargestSizeOnThePage)
{
    const FitCase& c = GetParam();
    double width = 0, height = 0;
    CPrintImageDlg::FitToPage(c.fit, &width, &height);
    EXPECT_DOUBLE_EQ(width, c.width);
    EXPECT_DOUBLE_EQ(height, c.height);
}

INSTANTIATE_TEST_SUITE_P(Table, PrintFit,
                         ::testing::Values(FitCase{"Landscape", {8, 10.5, 3000, 2000}, 8.00, 5.33},
                                           FitCase{"Portrait", {8, 10.5, 2000, 3000}, 7.00, 10.50},
                                           FitCase{"Square", {8, 10.5, 1000, 1000}, 8.00, 8.00},
                                           FitCase{"TallStrip", {8, 10.5, 100, 1000}, 1.05, 10.50}),
                         [](const auto& info) { return std::string(info.param.name); });

struct EditCase {
    const char* name;
    Fit fit;
    bool editHeight;
    double wanted;
    double width, height;
};
void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
class PrintEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(PrintEdit, KeepsTheAspectWithinThePage)
{
    const EditCase& c = GetParam();
    double width = 0, height = 0;
    if (c.editHeight)
        CPrintImageDlg::ApplyHeight(c.fit, c.wanted, &width, &height);
    else
        CPrintImageDlg::ApplyWidth(c.fit, c.wanted, &width, &height);
    EXPECT_DOUBLE_EQ(width, c.width);
    EXPECT_DOUBLE_EQ(height, c.height);
}

constexpr Fit kLandscape{8, 10.5, 3000, 2000};
constexpr Fit kPortrait{8, 10.5, 2000, 3000};
INSTANTIATE_TEST_SUITE_P(
    Table, PrintEdit,
    ::testing::Values(EditCase{"WidthWithinPage", kLandscape, false, 4, 4.00, 2.66},
                      EditCase{"WidthBeyondPage", kLandscape, false, 10, 8.00, 5.33},
                      EditCase{"WidthOfTallPhotoLimitedByHeight", kPortrait, false, 8, 7.00, 10.50},
                      EditCase{"WidthTypedToHundredths", kLandscape, false, 0.29, 0.29, 0.19},
                      EditCase{"WidthSpunBelowZero", kLandscape, false, 0.05 - 0.1, 0, 0},
                      EditCase{"HeightWithinPage", kLandscape, true, 2, 3.00, 2.00},
                      EditCase{"HeightBeyondPage", kLandscape, true, 10.5, 8.00, 5.33},
                      EditCase{"HeightOfTallPhoto", kPortrait, true, 12, 7.00, 10.50}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlaceCase {
    const char* name;
    int alignH, alignV;
    RECT placement;
};
void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }
class PrintPlacement : public ::testing::TestWithParam<PlaceCase> {};

// 4 x 2.66 inches at 100 dpi (400 x 266) on a letter sheet of 850 x 1100,
// margins 17 and 22.
TEST_P(PrintPlacement, AlignsBetweenTheMargins)
{
    const PlaceCase& c = GetParam();
    const RECT r = CPrintImageDlg::Placement(4, 2.66, 100, 100, 850, 1100, c.alignH, c.alignV);
    EXPECT_EQ(r.left, c.placement.left);
    EXPECT_EQ(r.top, c.placement.top);
    EXPECT_EQ(r.right, c.placement.right);
    EXPECT_EQ(r.bottom, c.placement.bottom);
}

INSTANTIATE_TEST_SUITE_P(Table, PrintPlacement,
                         ::testing::Values(PlaceCase{"LeftTop", 0, 0, {17, 22, 417, 288}},
                                           PlaceCase{"CenterCenter", 1, 1, {225, 417, 625, 683}},
                                           PlaceCase{"RightBottom", 2, 2, {433, 812, 833, 1078}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PrintSentSize, NoMoreThan300PixelsPerInch)
{
    struct Case {
        int dpi;
        RECT placement;
        SIZE sent;
    };
    const Case cases[] = {
        {600, {60, 60, 3660, 2460}, {1800, 1200}},  // 6 x 4 inches at 600 dpi
        {300, {30, 30, 1830, 1230}, {1800, 1200}},
        {100, {10, 10, 610, 410}, {600, 400}},
        {1200, {0, 0, 1199, 600}, {299, 150}},
    };
    for (const Case& c : cases) {
        const SIZE sent = CPrintImageDlg::SentSize(c.placement, c.dpi);
        EXPECT_EQ(sent.cx, c.sent.cx) << c.dpi;
        EXPECT_EQ(sent.cy, c.sent.cy) << c.dpi;
    }
}

// ---- the dialog ----

CString ItemText(CWnd* dialog, UINT id)
{
    CString text;
    dialog->GetDlgItemText(static_cast<int>(id), text);
    return text;
}

void PressKey(CWnd* dialog, UINT id, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(qlafx::WidgetOf(dialog->GetDlgItem(static_cast<int>(id))->GetSafeHwnd()), &press);
}

void ChooseAlignment(CWnd* dialog, UINT id, int index)
{
    CWnd* combo = dialog->GetDlgItem(static_cast<int>(id));
    combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->GetSafeHwnd()));
}

bool Near(skintest::Bgr a, skintest::Bgr b)
{
    return std::abs(a.b - b.b) < 24 && std::abs(a.g - b.g) < 24 && std::abs(a.r - b.r) < 24;
}

constexpr skintest::Bgr kRed{0, 0, 255}, kGreen{0, 200, 0}, kWhite{255, 255, 255};

class PrintDialog : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        // 3 : 2, red above green.
        shelltest::MakeImage(&m_photo, 300, 200, [](int, int y) {
            return y < 100 ? CPixel{0, 0, 255, 255} : CPixel{0, 200, 0, 255};
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        ShellWindowsTest::TearDown();
    }
    // Answers the set-up dialog with a PDF printer, records message boxes,
    // and hands the Print dialog to work.
    void Hook(const std::string& pdf, std::function<int(CPrintImageDlg*)> work)
    {
        m_choice = PdfPrinter(pdf);
        qlafx::SetModalHook([this, work](CWnd* w, const char* caption, const char* text, UINT) {
            if (!w) {
                m_messages.push_back(text ? text : "");
                return IDOK;
            }
            if (std::string(caption) == "Print Setup") {
                qlafx::AnswerPrintDialog(*static_cast<CPrintDialog*>(w), m_choice);
                return IDOK;
            }
            return work(static_cast<CPrintImageDlg*>(w));
        });
    }
    // The dialog on a letter sheet at 100 dpi, worked by work.
    int Run(const std::string& pdf, std::function<int(CPrintImageDlg*)> work)
    {
        Hook(pdf, std::move(work));
        if (!m_printer.SetupPrinter())
            return -1;
        CPrintImageDlg dialog(&m_printer, &m_photo, nullptr);
        const int result = static_cast<int>(dialog.DoModal());
        m_result = dialog.m_printResult;
        return result;
    }
    static int ClickOk(CPrintImageDlg* dialog)
    {
        dialog->SendDlgItemMessage(IDOK, BM_CLICK);
        return qlafx::kModalRun;
    }

    CQLImage m_photo;
    CImagePrinter m_printer;
    qlafx::PrinterChoice m_choice;
    std::vector<std::string> m_messages;
    HRESULT m_result = S_OK;
    std::string m_pdf = m_folder.Path() + "photo.pdf";
};

TEST_F(PrintDialog, OpensAtTheLargestFitCentred)
{
    Run(m_pdf, [](CPrintImageDlg* d) {
        // Letter, 216 mm across: 8.50 inches, and 2/3 of it high.
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "8.50");
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "5.66");
        EXPECT_EQ(d->SendDlgItemMessage(IDC_PRINT_ALIGN_H, CB_GETCURSEL), 1);
        EXPECT_EQ(d->SendDlgItemMessage(IDC_PRINT_ALIGN_V, CB_GETCURSEL), 1);
        EXPECT_EQ(d->SendDlgItemMessage(IDC_PRINT_ALIGN_H, CB_GETCOUNT), 3);
        EXPECT_EQ(d->m_placement.top, 22 + (1100 - 44 - 566) / 2);
        return IDCANCEL;
    });
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PrintDialog, TypedSizesFollowTheAspectAndThePage)
{
    Run(m_pdf, [](CPrintImageDlg* d) {
        d->SetDlgItemText(IDC_PRINT_WIDTH, "10");
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "8.50") << "cut back to the page";
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "5.66");
        d->SetDlgItemText(IDC_PRINT_WIDTH, "4");
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "4") << "what is typed stays while it fits";
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "2.66");
        d->SetDlgItemText(IDC_PRINT_HEIGHT, "3");
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "4.50");
        d->SetDlgItemText(IDC_PRINT_HEIGHT, "3.");
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "3.");
        d->SetDlgItemText(IDC_PRINT_HEIGHT, "");
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "4.50") << "an empty edit changes nothing";
        EXPECT_DOUBLE_EQ(d->m_height, 3.0);
        return IDCANCEL;
    });
}

TEST_F(PrintDialog, ArrowKeysStepByATenthAndStopAtZero)
{
    Run(m_pdf, [](CPrintImageDlg* d) {
        d->SetDlgItemText(IDC_PRINT_WIDTH, "0.05");
        PressKey(d, IDC_PRINT_WIDTH, Qt::Key_Down);
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "0.00");
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "0.00");
        PressKey(d, IDC_PRINT_WIDTH, Qt::Key_Up);
        PressKey(d, IDC_PRINT_WIDTH, Qt::Key_Up);
        PressKey(d, IDC_PRINT_WIDTH, Qt::Key_Up);
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "0.30");
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "0.20");
        PressKey(d, IDC_PRINT_HEIGHT, Qt::Key_Down);
        EXPECT_EQ(ItemText(d, IDC_PRINT_HEIGHT), "0.10");
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "0.15");
        d->SetDlgItemText(IDC_PRINT_WIDTH, "8.45");
        PressKey(d, IDC_PRINT_WIDTH, Qt::Key_Up);
        EXPECT_EQ(ItemText(d, IDC_PRINT_WIDTH), "8.50") << "limited by the page";
        return IDCANCEL;
    });
}

TEST_F(PrintDialog, AlignmentsMoveThePlacement)
{
    Run(m_pdf, [](CPrintImageDlg* d) {
        d->SetDlgItemText(IDC_PRINT_WIDTH, "4");
        const struct {
            int h, v;
            LONG left, top;
        } cases[] = {{0, 0, 17, 22}, {2, 1, 433, 417}, {1, 2, 225, 812}};
        for (const auto& c : cases) {
            ChooseAlignment(d, IDC_PRINT_ALIGN_H, c.h);
            ChooseAlignment(d, IDC_PRINT_ALIGN_V, c.v);
            EXPECT_EQ(d->m_placement.left, c.left) << c.h << c.v;
            EXPECT_EQ(d->m_placement.top, c.top) << c.h << c.v;
            EXPECT_EQ(d->m_placement.right - d->m_placement.left, 400);
            EXPECT_EQ(d->m_placement.bottom - d->m_placement.top, 266);
        }
        return IDCANCEL;
    });
}

TEST_F(PrintDialog, OkPrintsOnePageWithThePhotoAtItsPlacement)
{
    const int result = Run(m_pdf, [](CPrintImageDlg* d) {
        d->SetDlgItemText(IDC_PRINT_WIDTH, "4");
        ChooseAlignment(d, IDC_PRINT_ALIGN_H, 2);
        ChooseAlignment(d, IDC_PRINT_ALIGN_V, 2);
        return ClickOk(d);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_result, S_OK);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_printer.GetPrinterDC(), nullptr);
    // The photo is the caller's and stays upright.
    EXPECT_EQ(skintest::BgrOf(m_photo.GetPixel2(0, 0)), kRed);

    const printtest::PdfContents pdf = ReadPdf(m_pdf);
    EXPECT_EQ(pdf.pages, 1);
    ASSERT_EQ(pdf.images.size(), 1u);
    const QImage& page = pdf.images[0];
    ASSERT_EQ(page.size(), QSize(850, 1100));
    // Placement (433, 812) - (833, 1078): red above green.
    EXPECT_PRED2(Near, skintest::BgrAt(page, 633, 870), kRed);
    EXPECT_PRED2(Near, skintest::BgrAt(page, 633, 1020), kGreen);
    EXPECT_PRED2(Near, skintest::BgrAt(page, 440, 820), kRed);
    EXPECT_PRED2(Near, skintest::BgrAt(page, 826, 1071), kGreen);
    for (QPoint outside : {QPoint(425, 900), QPoint(841, 900), QPoint(633, 804), QPoint(633, 1086), QPoint(200, 300)})
        EXPECT_PRED2(Near, skintest::BgrAt(page, outside.x(), outside.y()), kWhite) << outside.x() << "," << outside.y();
}

TEST_F(PrintDialog, DocumentThatCannotStartSaysSo)
{
    const std::string missing = m_folder.Path() + "no such folder/photo.pdf";
    const int result = Run(missing, ClickOk);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_result, E_FAIL);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Error occurs!"});
    EXPECT_EQ(m_printer.GetPrinterDC(), nullptr);
}

TEST_F(PrintDialog, EmptyPlacementSaysSoAndPrintsNothing)
{
    const int result = Run(m_pdf, [](CPrintImageDlg* d) {
        d->SetDlgItemText(IDC_PRINT_WIDTH, "0");
        return ClickOk(d);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Error occurs!"});
    EXPECT_EQ(m_printer.GetPrinterDC(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(m_pdf));
}

// The preview: grey frame, the sheet, and the photo centred on it.
TEST_F(PrintDialog, GrabShowsThePhotoCentredOnThePage)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/Canon_40D.jpg", &m_photo))
        GTEST_SKIP() << "corpus photo absent";
    Run(m_pdf, [](CPrintImageDlg* d) {
        CWnd* frame = d->GetDlgItem(IDC_PRINT_PREVIEW);
        const QImage surface = skintest::SurfaceOf(frame->GetSafeHwnd());
        EXPECT_EQ(skintest::BgrAt(surface, 3, 3), (skintest::Bgr{128, 128, 128}));
        RECT client{};
        frame->GetClientRect(&client);
        // Down the sheet's middle: its white top edge, the photo's black
        // frame, its grey bottom edge.
        const int x = (client.right - 5) / 2;
        int pageTop = -1, pageBottom = -1, photoTop = -1, photoBottom = -1;
        for (int y = 0; y < client.bottom; ++y) {
            const skintest::Bgr c = skintest::BgrAt(surface, x, y);
            if (c == skintest::Bgr{255, 255, 255} && pageTop < 0)
                pageTop = y;
            if (c == skintest::Bgr{192, 192, 192})
                pageBottom = y;
            if (c == skintest::Bgr{0, 0, 0}) {
                if (photoTop < 0)
                    photoTop = y;
                photoBottom = y;
            }
        }
        EXPECT_GE(pageTop, 0) << "the sheet";
        EXPECT_GE(photoTop, 0) << "the photo's black frame";
        EXPECT_NEAR(photoTop - pageTop, pageBottom - photoBottom, 3) << "centred on the sheet";
        EXPECT_GT(photoTop - pageTop, 10);
        EXPECT_FALSE(shelltest::SaveGrab(d->GetWidget()->grab().toImage(), "print").empty());
        return IDCANCEL;
    });
}

// ---- File > Print ----

class RecordingCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override { m_enabled = on; }
    BOOL m_enabled = -1;
};

class FilePrint : public PrintDialog {
protected:
    void TearDown() override
    {
        // No longer the main window first, so that its end posts no quit
        // that would end the next test's modal loops.
        m_app.m_pMainWnd = nullptr;
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();  // deletes itself
        CMainFrame::SetDialogRunner(57608, nullptr);
        PrintDialog::TearDown();
    }
    BOOL Enabled()
    {
        RecordingCmdUI ui;
        ui.m_nID = 57608;
        m_frame->OnCmdMsg(57608, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_enabled;
    }
    CMainFrame* m_frame = nullptr;
};

TEST_F(FilePrint, RunsWithPixelsOnlyAndPrintsThePhoto)
{
    RegisterDialogRunners();
    m_frame = new CMainFrame;
    m_app.m_pMainWnd = m_frame;
    ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
    EXPECT_FALSE(Enabled());
    ASSERT_EQ(thePhotoDocument.m_image.DuplicateFrom(&m_photo), 1);
    EXPECT_TRUE(Enabled());

    Hook(m_pdf, ClickOk);
    m_frame->OnCmdMsg(57608, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(m_messages.empty());
    const printtest::PdfContents pdf = ReadPdf(m_pdf);
    EXPECT_EQ(pdf.pages, 1);
    ASSERT_EQ(pdf.images.size(), 1u);
    // Centred at the largest fit: red in the upper half of the photo.
    EXPECT_PRED2(Near, skintest::BgrAt(pdf.images[0], 425, 550 - 100), kRed);
    EXPECT_PRED2(Near, skintest::BgrAt(pdf.images[0], 425, 550 + 100), kGreen);
}

}  // namespace
