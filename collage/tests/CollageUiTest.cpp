#include "collage/BoxDrawing.h"
#include "collage/BoxGeometry.h"
#include "collage/CollageDlg.h"
#include "collage/CollageTexts.h"
#include "collage/PasteRangeDlg.h"
#include "collage/SmallDialogs.h"
#include "CollageTestSupport.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

using namespace collage;
using namespace collage::test;

namespace {

void Pump(int ms = 30)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

template <class Done>
bool PumpUntil(Done done, int ms = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

std::string Corpus(const char* rel) { return std::string(QUILLO_CORPUS_DIR) + "/" + rel; }

void SaveGrab(CWnd& wnd, const char* name)
{
    std::filesystem::create_directories(QUILLO_TEST_OUT);
    const QImage grab = qlafx::WidgetOf(wnd.m_hWnd)->grab().toImage();
    EXPECT_TRUE(grab.save(QString::fromStdString(std::string(QUILLO_TEST_OUT) + "/" + name + ".png")));
}

void Click(CWnd& dlg, UINT id)
{
    CWnd* button = dlg.GetDlgItem(id);
    ASSERT_NE(button, nullptr);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button->m_hWnd));
}

void Mouse(CWnd& wnd, UINT msg, POINT p, WPARAM flags = 0)
{
    wnd.SendMessage(msg, flags, MAKELPARAM(p.x, p.y));
}

// A frame picture in orange with blue windows where the photos go.
void WriteBlueScreen(const std::string& path, int w, int h, const std::vector<FrameBox>& windows)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(QColor(225, 130, 40));
    for (const FrameBox& b : windows)
        for (int y = b.p[0].y; y < b.p[2].y; ++y)
            for (int x = b.p[0].x; x < b.p[2].x; ++x)
                img.setPixel(x, y, qRgb(0, 0, 255));
    ASSERT_TRUE(img.save(QString::fromStdString(path)));
}

// Every dialog of the program answered by the test: file dialogs with
// m_files in turn, others with m_answers by caption (IDOK by default).
class CollageUiTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CQLImageCodec::Start();
        FillCollageTexts();
        static CWinApp app("QuilloCollage");
    }
    void SetUp() override
    {
        setenv("TMPDIR", dir.path.c_str(), 1);
        SetProgramFolder(dir.path + "program/");
        std::filesystem::create_directories(dir.path + "program/Frame");
        for (const auto& e : std::filesystem::directory_iterator(std::string(QUILLO_PROGRAM_DIR) + "/Frame"))
            if (e.path().extension() == ".mfm")
                std::filesystem::copy_file(e.path(), dir.path + "program/Frame/" + e.path().filename().string());
        qlafx::SetModalHook([this](CWnd* dialog, const char* caption, const char* text, UINT) -> int {
            if (auto* file = dynamic_cast<CFileDialog*>(dialog)) {
                if (m_files.empty())
                    return IDCANCEL;
                qlafx::AnswerFileDialog(*file, {m_files.front()});
                m_files.erase(m_files.begin());
                return IDOK;
            }
            const std::string asked = dialog ? caption : text;
            m_asked.push_back(asked);
            if (m_work && dialog && dynamic_cast<CCollageDlg*>(dialog))
                return m_work(static_cast<CCollageDlg*>(dialog));
            auto it = m_answers.find(asked);
            return it != m_answers.end() ? it->second : (dialog ? IDOK : IDYES);
        });
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        unsetenv("TMPDIR");
    }

    std::unique_ptr<CCollageDlg> Open(const CollageStart& start)
    {
        auto dlg = std::make_unique<CCollageDlg>(start);
        if (!dlg->Create(kMainDialog))
            return nullptr;
        dlg->SetWindowPos(nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOMOVE);
        dlg->ShowWindow(SW_SHOW);
        Pump();
        return dlg;
    }
    int ItemNamed(CCollageDlg& dlg, const char* name)
    {
        for (int i = 0; i < dlg.ListPanel().GetItemCount(); ++i)
            if (std::strcmp(dlg.TemplateList()[dlg.ListPanel().GetItemData(i)].name, name) == 0)
                return i;
        return -1;
    }
    // Picks the template and waits until its composition shows.
    bool SelectTemplate(CCollageDlg& dlg, const char* name)
    {
        const int item = ItemNamed(dlg, name);
        if (item < 0)
            return false;
        dlg.ListPanel().SelectItem(0, item);
        Click(dlg, IDC_SELECT);
        return PumpUntil([&] { return !dlg.Selecting() && !dlg.Composing(); });
    }
    std::string ResultFile() const { return dir.path + "quillo-" + std::to_string(geteuid()) + "/qlmframe.bmp"; }
    bool HaveCorpus() const { return std::filesystem::exists(Corpus("exif-samples/jpg/gps/DSCN0010.jpg")); }

    TempDir dir;
    std::vector<std::string> m_files;
    std::vector<std::string> m_asked;
    std::map<std::string, int> m_answers;
    std::function<int(CCollageDlg*)> m_work;
};

TEST_F(CollageUiTest, ListShowsTheStarterTemplates)
{
    auto dlg = Open({});
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(dlg->EditMode());
    EXPECT_EQ(dlg->ListPanel().GetItemCount(), 5);
    // Nothing selected: Select does nothing, Delete is disabled.
    Click(*dlg, IDC_SELECT);
    Pump();
    EXPECT_TRUE(dlg->Selecting());
    dlg->UpdateControls();
    EXPECT_FALSE(dlg->GetDlgItem(IDC_DELETE)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDOK)->IsWindowEnabled());
    char text[64] = {};
    dlg->GetDlgItemText(IDC_SELECT, text, sizeof text);
    EXPECT_STREQ(text, "Select Frame");
    dlg->ListPanel().SelectItem(0, ItemNamed(*dlg, "Three in a row"));
    dlg->UpdateControls();
    EXPECT_TRUE(dlg->GetDlgItem(IDC_DELETE)->IsWindowEnabled());
    Pump();
    SaveGrab(*dlg, "collage_list");
    dlg->DestroyWindow();
}

TEST_F(CollageUiTest, PreviewComposesThePhotosChosenForTheBoxes)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    CollageStart start;
    start.photoPath = Corpus("exif-samples/jpg/gps/DSCN0010.jpg");
    auto dlg = Open(start);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(SelectTemplate(*dlg, "Three in a row"));
    char text[64] = {};
    dlg->GetDlgItemText(IDC_SELECT, text, sizeof text);
    EXPECT_STREQ(text, "Another Frame");
    EXPECT_TRUE(dlg->Preview().IsWindowVisible());
    EXPECT_FALSE(dlg->ListPanel().IsWindowVisible());

    // Box 2 through its command, as the menu and the preview give it.
    m_files = {Corpus("exif-samples/jpg/hdr/canon_hdr_NO.jpg")};
    dlg->SendMessage(WM_COMMAND, kBoxCommand + 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->Composing(); }));
    Pump(100);
    EXPECT_STREQ(dlg->Photos()[1].name, "canon_hdr_NO.jpg");

    CQLImage expect;
    ASSERT_TRUE(ComposeCollage(dlg->Template(), dlg->Photos(), &expect));
    const CQLImage& shown = dlg->Preview().Result();
    ASSERT_EQ(shown.GetAreaByteSize(), expect.GetAreaByteSize());
    EXPECT_EQ(std::memcmp(shown.GetBuffer(0, 0), expect.GetBuffer(0, 0), expect.GetAreaByteSize()), 0);
    SaveGrab(*dlg, "collage_preview");

    // The photo menu: Apply to All, a separator, one item per box.
    std::vector<std::string> items;
    qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) {
        char buf[300];
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            buf[0] = 0;
            GetMenuString(menu, i, buf, sizeof buf, MF_BYPOSITION);
            items.push_back(buf);
        }
        return 0u;
    });
    Click(*dlg, IDC_PHOTOS);
    qlafx::SetPopupMenuHook({});
    EXPECT_EQ(items, (std::vector<std::string>{"Apply to All", "", "File 01 - DSCN0010.jpg",
                                                "File 02 - canon_hdr_NO.jpg", "File 03 - "}));
    dlg->DestroyWindow();
}

TEST_F(CollageUiTest, PreviewDoubleClickAsksForThatBoxOnly)
{
    auto dlg = Open({});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(SelectTemplate(*dlg, "Two side by side"));
    CollageTemplate& tpl = dlg->Template();
    CRect client;
    dlg->Preview().GetClientRect(&client);
    const RECT fit = FitPicture(client, tpl.FrameWidth(), tpl.FrameHeight());
    // On box 2: its photo is asked for (the file dialog, cancelled here).
    m_asked.clear();
    int fileDialogs = 0;
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
        fileDialogs += dynamic_cast<CFileDialog*>(dialog) != nullptr;
        return IDCANCEL;
    });
    Mouse(dlg->Preview(), WM_LBUTTONDBLCLK, PictureToWindow(BoxPoint{1200, 500}, fit, tpl.FrameWidth(), tpl.FrameHeight()));
    Pump();
    EXPECT_EQ(fileDialogs, 1);
    // On the frame (no box): nothing.
    Mouse(dlg->Preview(), WM_LBUTTONDBLCLK, PictureToWindow(BoxPoint{20, 20}, fit, tpl.FrameWidth(), tpl.FrameHeight()));
    Pump();
    EXPECT_EQ(fileDialogs, 1);
    dlg->DestroyWindow();
}

TEST_F(CollageUiTest, OkLeavesTheComposedResultForTheEditor)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    std::filesystem::create_directories(std::filesystem::path(ResultFile()).parent_path());
    PutFileBytes(ResultFile(), {1, 2, 3});
    CollageStart start;
    start.photoPath = Corpus("exif-samples/jpg/gps/DSCN0010.jpg");
    CCollageDlg dlg(start);
    bool oldResultGone = false;
    m_work = [&](CCollageDlg* d) {
        oldResultGone = !std::filesystem::exists(ResultFile());
        EXPECT_TRUE(SelectTemplate(*d, "Tilted snapshot"));
        Click(*d, IDOK);
        return qlafx::kModalRun;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(oldResultGone);
    ASSERT_TRUE(std::filesystem::exists(ResultFile()));
    CQLImage saved, expect;
    ASSERT_EQ(saved.LoadFromFile(ResultFile().c_str()), 0);
    ASSERT_TRUE(ComposeCollage(dlg.Template(), dlg.Photos(), &expect));
    UINT w, h;
    saved.GetSize(&w, &h);
    ASSERT_EQ(static_cast<int>(w), dlg.Template().FrameWidth());
    int differing = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            differing += saved.GetPixel2(x, y) != expect.GetPixel2(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(CollageUiTest, CancelAndEditModeLeaveNoResult)
{
    struct {
        const char* what;
        bool edit;
        UINT button;
    } cases[] = {{"cancel", false, IDCANCEL}, {"edit then OK", true, IDOK}};
    for (const auto& c : cases) {
        CollageStart start;
        start.editMode = c.edit;
        CCollageDlg dlg(start);
        m_work = [&](CCollageDlg* d) {
            if (!c.edit)
                EXPECT_TRUE(SelectTemplate(*d, "Four squares"));
            EXPECT_EQ(d->EditMode(), c.edit);
            Click(*d, c.button);
            return qlafx::kModalRun;
        };
        EXPECT_EQ(dlg.DoModal(), static_cast<int>(c.button)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(ResultFile())) << c.what;
    }
}

TEST_F(CollageUiTest, EditModeDrawsBoxesAndSavesATemplateTheListShows)
{
    const std::string reference = dir.path + "bluescreen.png";
    WriteBlueScreen(reference, 400, 300, {Rect(20, 20, 190, 280), Rect(210, 40, 380, 260)});
    CollageStart start;
    start.editMode = true;
    auto dlg = Open(start);
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(dlg->ListPanel().IsWindowVisible());
    EXPECT_TRUE(dlg->Canvas().IsWindowVisible());
    m_files = {reference};
    Click(*dlg, IDC_LOAD_REFERENCE);
    EXPECT_EQ(m_asked, std::vector<std::string>{"Select the color for transparency"});
    CFrameBoxCanvas& canvas = dlg->Canvas();
    ASSERT_TRUE(canvas.HasFrame());
    EXPECT_EQ(canvas.Template().frame.GetPixel2(100, 100).a, 0);
    EXPECT_EQ(canvas.Template().frame.GetPixel2(5, 5).a, 255);

    const RECT fit = canvas.FittedRect();
    auto at = [&](int x, int y) { return PictureToWindow(BoxPoint{x, y}, fit, 400, 300); };
    auto drag = [&](POINT a, POINT b) {
        Mouse(canvas, WM_MOUSEMOVE, a);
        Mouse(canvas, WM_LBUTTONDOWN, a, MK_LBUTTON);
        Mouse(canvas, WM_MOUSEMOVE, b, MK_LBUTTON);
        Mouse(canvas, WM_LBUTTONUP, b);
    };
    drag(at(18, 18), at(192, 282));
    ASSERT_EQ(canvas.Template().boxes.size(), 1u);
    // Shift over empty frame gives a new box; without it, a turn.
    Mouse(canvas, WM_MOUSEMOVE, at(200, 150));
    EXPECT_EQ(canvas.GetMode(), CFrameBoxCanvas::Rotate);
    Mouse(canvas, WM_MOUSEMOVE, at(200, 150), MK_SHIFT);
    EXPECT_EQ(canvas.GetMode(), CFrameBoxCanvas::NewBox);
    Mouse(canvas, WM_LBUTTONDOWN, at(208, 38), MK_LBUTTON | MK_SHIFT);
    Mouse(canvas, WM_MOUSEMOVE, at(382, 262), MK_LBUTTON | MK_SHIFT);
    Mouse(canvas, WM_LBUTTONUP, at(382, 262), MK_SHIFT);
    ASSERT_EQ(canvas.Template().boxes.size(), 2u);
    EXPECT_EQ(canvas.Selected(), 1);
    dlg->UpdateControls();
    EXPECT_TRUE(dlg->GetDlgItem(IDC_PREVIOUS_BOX)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_NEXT_BOX)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_SAVE)->IsWindowEnabled()) << "no name yet";
    Pump();
    SaveGrab(*dlg, "collage_edit");

    dlg->SetDlgItemText(IDC_NAME, "a/b:c?");
    dlg->UpdateControls();
    EXPECT_TRUE(dlg->GetDlgItem(IDC_SAVE)->IsWindowEnabled());
    Click(*dlg, IDC_SAVE);
    const std::string saved = dir.path + "program/Frame/a_b_c_.mfm";
    ASSERT_TRUE(std::filesystem::exists(saved));
    CollageTemplate read;
    ASSERT_TRUE(ReadTemplate(saved, &read));
    EXPECT_STREQ(read.name, "a/b:c?");
    EXPECT_EQ(read.boxes.size(), 2u);
    dlg->DestroyWindow();

    // The list of the next start shows it.
    auto list = Open({});
    ASSERT_TRUE(list);
    EXPECT_GE(ItemNamed(*list, "a/b:c?"), 0);
    list->DestroyWindow();
}

TEST_F(CollageUiTest, BoxEditingByMouseKeepsBoxesSound)
{
    CollageStart start;
    start.editMode = true;
    auto dlg = Open(start);
    ASSERT_TRUE(dlg);
    CFrameBoxCanvas& canvas = dlg->Canvas();
    MakeFrame(canvas.Template(), 400, 300, {Rect(0, 0, 400, 300)});
    canvas.ResetFrame();
    const RECT fit = canvas.FittedRect();
    auto at = [&](int x, int y) { return PictureToWindow(BoxPoint{x, y}, fit, 400, 300); };
    auto drag = [&](POINT a, POINT b, WPARAM keys = 0) {
        Mouse(canvas, WM_MOUSEMOVE, a, keys);
        Mouse(canvas, WM_LBUTTONDOWN, a, MK_LBUTTON | keys);
        Mouse(canvas, WM_MOUSEMOVE, b, MK_LBUTTON | keys);
        Mouse(canvas, WM_LBUTTONUP, b, keys);
    };
    // Eight boxes in two rows of four; the ninth is refused.
    for (int i = 0; i < 9; ++i) {
        const int x = 10 + (i % 4) * 95, y = i < 4 ? 20 : 160;
        drag(at(x, y), at(x + 80, y + (i < 8 ? 120 : 40)), MK_SHIFT);
    }
    ASSERT_EQ(canvas.Template().boxes.size(), 8u);
    EXPECT_EQ(canvas.Selected(), 7);
    // A click without movement adds nothing.
    canvas.DeleteSelectedBox();
    ASSERT_EQ(canvas.Template().boxes.size(), 7u);
    drag(at(300, 200), at(300, 200), MK_SHIFT);
    EXPECT_EQ(canvas.Template().boxes.size(), 7u);

    canvas.SelectBox(0);
    const FrameBox before = canvas.Template().boxes[0];
    // A corner dragged across the other diagonal is refused.
    Mouse(canvas, WM_MOUSEMOVE, at(10, 20));
    ASSERT_EQ(canvas.GetMode(), CFrameBoxCanvas::Corner);
    drag(at(10, 20), at(85, 135));
    EXPECT_EQ(canvas.Template().boxes[0].p[0].x, before.p[0].x);
    EXPECT_EQ(canvas.Template().boxes[0].p[0].y, before.p[0].y);
    // A quarter turn would take it out of the frame: refused.
    Mouse(canvas, WM_MOUSEMOVE, at(50, 150));
    ASSERT_EQ(canvas.GetMode(), CFrameBoxCanvas::Rotate);
    drag(at(50, 150), at(92, 80));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(canvas.Template().boxes[0].p[i].x, before.p[i].x);
        EXPECT_EQ(canvas.Template().boxes[0].p[i].y, before.p[i].y);
    }
    // Inside another box: a click selects it.
    Mouse(canvas, WM_MOUSEMOVE, at(150, 60));
    EXPECT_EQ(canvas.GetMode(), CFrameBoxCanvas::Select);
    drag(at(150, 60), at(150, 60));
    EXPECT_EQ(canvas.Selected(), 1);
    // Moving the selected box by the mouse.
    Mouse(canvas, WM_MOUSEMOVE, at(150, 60));
    EXPECT_EQ(canvas.GetMode(), CFrameBoxCanvas::Move);
    dlg->DestroyWindow();
}

TEST_F(CollageUiTest, PasteRangeBestRatioAndRescale)
{
    if (!HaveCorpus())
        GTEST_SKIP() << "corpus absent";
    CQLImage photo;
    ASSERT_TRUE(CQLImageCodec().LoadFile(Corpus("exif-samples/jpg/gps/DSCN0010.jpg").c_str(), &photo));
    UINT pw, ph;
    photo.GetSize(&pw, &ph);
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    const FrameBox tall = Rect(0, 0, 150, 300);
    CPasteRangeDlg dlg(&photo, RECT{0, 0, LONG(pw), LONG(ph)}, tall, true, &owner);
    ASSERT_TRUE(dlg.Create(kPasteRangeDialog, &owner));
    dlg.ShowWindow(SW_SHOW);
    Click(dlg, IDC_RANGE_BEST);
    const RECT best = BestRatioRange(pw, ph, BoxSize{150, 300});
    EXPECT_EQ(dlg.m_range.left, best.left);
    EXPECT_EQ(dlg.m_range.right, best.right);
    EXPECT_EQ(dlg.m_range.top, 0);
    Pump();
    SaveGrab(dlg, "collage_paste_range");
    Click(dlg, IDC_RANGE_ALL);
    EXPECT_EQ(dlg.m_range.right, LONG(pw));
    // OK: the whole photo is far more than four boxes: it is made smaller.
    const double g = PasteRangeScale(dlg.m_range, BoxSize{150, 300});
    ASSERT_LT(g, 1.0);
    Click(dlg, IDOK);
    UINT nw, nh;
    photo.GetSize(&nw, &nh);
    EXPECT_EQ(nw, static_cast<UINT>(g * pw));
    EXPECT_EQ(nh, static_cast<UINT>(g * ph));
    EXPECT_EQ(dlg.m_range.right, static_cast<LONG>(pw * g));
    owner.DestroyWindow();
}

TEST_F(CollageUiTest, MattingDialogPreselectsBlue)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CMattingDlg dlg(&owner);
    ASSERT_TRUE(dlg.Create(kMattingDialog, &owner));
    dlg.ShowWindow(SW_SHOW);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_MATTING_RED, IDC_MATTING_GREEN), static_cast<int>(IDC_MATTING_BLUE));
    char text[32] = {};
    dlg.GetDlgItemText(IDOK, text, sizeof text);
    EXPECT_STREQ(text, "Matting");
    Pump();
    SaveGrab(dlg, "collage_matting");
    dlg.CheckRadioButton(IDC_MATTING_RED, IDC_MATTING_GREEN, IDC_MATTING_GREEN);
    Click(dlg, IDOK);
    EXPECT_EQ(dlg.m_colour, MattingColour::Green);
    owner.DestroyWindow();
}

TEST_F(CollageUiTest, SystemMenuAboutAndDeleteAsks)
{
    auto dlg = Open({});
    ASSERT_TRUE(dlg);
    qlafx::SetPopupMenuHook([](HMENU, QMenu*) { return 16u; });
    m_asked.clear();
    dlg->SendMessage(WM_SYSKEYDOWN, VK_SPACE, 0x20000000);
    qlafx::SetPopupMenuHook({});
    EXPECT_EQ(m_asked, std::vector<std::string>{"About QuilloCollage"});

    const int item = ItemNamed(*dlg, "Four squares");
    dlg->ListPanel().SelectItem(0, item);
    m_answers["Are you sure to delete this frame file?"] = IDNO;
    Click(*dlg, IDC_DELETE);
    EXPECT_EQ(dlg->ListPanel().GetItemCount(), 5);
    m_answers["Are you sure to delete this frame file?"] = IDYES;
    Click(*dlg, IDC_DELETE);
    EXPECT_EQ(dlg->ListPanel().GetItemCount(), 4);
    EXPECT_FALSE(std::filesystem::exists(dir.path + "program/Frame/Four squares.mfm"));
    dlg->DestroyWindow();
}

} // namespace
