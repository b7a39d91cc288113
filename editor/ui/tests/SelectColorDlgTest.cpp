// The Select Color dialog answered through the modal test hook, and the
// checkerboard swatch it paints.
#include "SkinTestSupport.h"

#include "editor/ui/SelectColorDlg.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <QImage>

#include <array>
#include <string>
#include <vector>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

// ---- the swatch painter ----

struct SwatchCase {
    const char* name;
    int r, g, b, a;
    Bgr overGrey;   // (a (c - 128) + 32640) / 255
    Bgr overWhite;  // a c / 255 + 255 - a
};

const SwatchCase kSwatchCases[] = {
    {"Transparent", 200, 100, 0, 0, {128, 128, 128}, {255, 255, 255}},
    {"Opaque", 200, 100, 0, 255, {0, 100, 200}, {0, 100, 200}},
    // R (64*72+32640)/255 = 146, G (64*-28+32640)/255 = 120, B (64*-128+32640)/255 = 95;
    // R 12800/255+191 = 241, G 6400/255+191 = 216, B 191.
    {"QuarterOpaque", 200, 100, 0, 64, {95, 120, 146}, {191, 216, 241}},
};

class AlphaSwatch : public ::testing::TestWithParam<SwatchCase> {};

// Rectangle (2, 1)-(18, 13) on a black surface: 3 x 2 squares of 5 pixels,
// a 1-pixel column and a 2-pixel row left over in the grey colour.
TEST_P(AlphaSwatch, ChecksTheRectangleFromItsTopLeft)
{
    const SwatchCase& c = GetParam();
    QImage surface(20, 14, QImage::Format_RGB32);
    surface.fill(Qt::black);
    HDC hdc = qlafx::CreateSurfaceDC(&surface, nullptr);
    DrawAlphaSwatch(CDC::FromHandle(hdc), RECT{2, 1, 18, 13}, c.r, c.g, c.b, c.a);
    qlafx::ReleaseSurfaceDC(hdc);

    struct Probe {
        int x, y;
        bool white;
    };
    const Probe probes[] = {
        {2, 1, false},  {6, 5, false},   // top-left square, both corners
        {7, 1, true},   {11, 5, true},   // column 1, row 0
        {12, 1, false},                  // column 2, row 0
        {2, 6, true},   {7, 6, false}, {12, 10, true},
        {17, 1, false}, {17, 10, false}, // the left-over column
        {7, 11, false}, {12, 12, false}, // the left-over rows
    };
    for (const Probe& p : probes)
        EXPECT_EQ(BgrAt(surface, p.x, p.y), p.white ? c.overWhite : c.overGrey) << "at " << p.x << "," << p.y;
    EXPECT_EQ(BgrAt(surface, 1, 1), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(surface, 18, 12), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(surface, 2, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(surface, 2, 13), (Bgr{0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Cases, AlphaSwatch, ::testing::ValuesIn(kSwatchCases),
                         [](const ::testing::TestParamInfo<SwatchCase>& info) { return std::string(info.param.name); });

// ---- the dialog through SelectColor ----

std::string ItemText(CWnd* dlg, int id)
{
    CString s;
    dlg->GetDlgItemText(id, s);
    return std::string(static_cast<const char*>(s));
}

void Spin(CWnd* dlg, int id, int delta)
{
    NMUPDOWN nm{};
    nm.hdr.hwndFrom = dlg->GetDlgItem(id)->m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(id);
    nm.hdr.code = UDN_DELTAPOS;
    nm.iDelta = delta;
    dlg->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&nm));
}

enum class Act { None, Type, Spin, Pick };

struct DialogCase {
    const char* name;
    std::array<unsigned char, 4> seed;  // B, G, R, A
    Act act;
    int id;               // the edit typed into or the spin turned
    const char* typed;    // Act::Type
    int delta;            // Act::Spin
    COLORREF picked;      // Act::Pick: the chooser's answer
    bool ok;              // OK, else Cancel
    BOOL result;
    std::array<unsigned char, 4> after;
    const char* redShown; // the red edit after the action
};

const DialogCase kDialogCases[] = {
    {"OkKeepsTheSeed", {10, 20, 30, 40}, Act::None, 0, nullptr, 0, 0, true, TRUE, {10, 20, 30, 40}, "30"},
    {"TypedRed", {10, 20, 30, 40}, Act::Type, IDC_SELCOLOR_RED, "255", 0, 0, true, TRUE, {10, 20, 255, 40}, "255"},
    {"TypedOpacity", {10, 20, 30, 40}, Act::Type, IDC_SELCOLOR_OPACITY, "0", 0, 0, true, TRUE, {10, 20, 30, 0}, "30"},
    {"CancelKeepsTheColour", {10, 20, 30, 40}, Act::Type, IDC_SELCOLOR_BLUE, "99", 0, 0, false, FALSE,
     {10, 20, 30, 40}, "30"},
    // value - delta: an up arrow's delta of -5 adds 5.
    {"SpinUp", {10, 20, 30, 40}, Act::Spin, IDC_SELCOLOR_SPIN_RED, nullptr, -5, 0, true, TRUE, {10, 20, 35, 40}, "35"},
    {"SpinDown", {10, 20, 30, 40}, Act::Spin, IDC_SELCOLOR_SPIN_GREEN, nullptr, 3, 0, true, TRUE, {10, 17, 30, 40},
     "30"},
    {"SpinStopsAt255", {10, 20, 250, 40}, Act::Spin, IDC_SELCOLOR_SPIN_RED, nullptr, -10, 0, true, TRUE,
     {10, 20, 255, 40}, "255"},
    {"SpinStopsAt0", {10, 20, 30, 40}, Act::Spin, IDC_SELCOLOR_SPIN_OPACITY, nullptr, 50, 0, true, TRUE,
     {10, 20, 30, 0}, "30"},
    {"PickKeepsOpacity", {10, 20, 30, 40}, Act::Pick, 0, nullptr, 0, RGB(1, 2, 3), true, TRUE, {3, 2, 1, 40}, "1"},
};

class SelectColorDialog : public ::testing::TestWithParam<DialogCase> {
protected:
    void TearDown() override { qlafx::SetModalHook({}); }
};

TEST_P(SelectColorDialog, WritesTheFourBytesBackOnOk)
{
    const DialogCase& c = GetParam();
    std::string shown[4], redAfter, caption;
    COLORREF chooserSeed = 0;
    int boxes = 0;
    qlafx::SetModalHook([&](CWnd* dlg, const char* cap, const char*, UINT) -> int {
        if (!dlg) {
            ++boxes;
            return IDOK;
        }
        if (auto* chooser = dynamic_cast<CColorDialog*>(dlg)) {
            chooserSeed = chooser->GetColor();
            qlafx::AnswerColorDialog(*chooser, c.picked);
            return IDOK;
        }
        caption = cap;
        const int ids[4] = {IDC_SELCOLOR_RED, IDC_SELCOLOR_GREEN, IDC_SELCOLOR_BLUE, IDC_SELCOLOR_OPACITY};
        for (int i = 0; i < 4; ++i)
            shown[i] = ItemText(dlg, ids[i]);
        if (c.act == Act::Type)
            dlg->SetDlgItemText(c.id, c.typed);
        else if (c.act == Act::Spin)
            Spin(dlg, c.id, c.delta);
        else if (c.act == Act::Pick)
            dlg->GetDlgItem(IDC_SELCOLOR_PICK)->SendMessage(BM_CLICK);
        redAfter = ItemText(dlg, IDC_SELCOLOR_RED);
        dlg->GetDlgItem(c.ok ? IDOK : IDCANCEL)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    std::array<unsigned char, 4> colour = c.seed;
    EXPECT_EQ(SelectColor(colour.data(), nullptr), c.result);
    EXPECT_EQ(colour, c.after);
    EXPECT_EQ(caption, "Select Color");
    EXPECT_EQ(shown[0], std::to_string(c.seed[2]));
    EXPECT_EQ(shown[1], std::to_string(c.seed[1]));
    EXPECT_EQ(shown[2], std::to_string(c.seed[0]));
    EXPECT_EQ(shown[3], std::to_string(c.seed[3]));
    EXPECT_EQ(redAfter, c.redShown);
    if (c.act == Act::Pick) {
        EXPECT_EQ(chooserSeed, RGB(c.seed[2], c.seed[1], c.seed[0]));
    }
    EXPECT_EQ(boxes, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectColorDialog, ::testing::ValuesIn(kDialogCases),
                         [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

TEST(SelectColor, CaptionReplacesTheTitle)
{
    std::string caption;
    qlafx::SetModalHook([&](CWnd* dlg, const char* cap, const char*, UINT) -> int {
        if (dlg)
            caption = cap;
        return IDCANCEL;
    });
    unsigned char colour[4] = {1, 2, 3, 4};
    EXPECT_FALSE(SelectColor(colour, "Set Shadow Color"));
    qlafx::SetModalHook({});
    EXPECT_EQ(caption, "Set Shadow Color");
}

// The swatch control's surface after pending paints.
QImage SwatchOf(CWnd* dlg)
{
    return skintest::SurfaceOf(dlg->GetDlgItem(IDC_SELCOLOR_SWATCH)->m_hWnd);
}

// Seed R 255 G 0 B 0 at opacity 128: over grey R (128*127+32640)/255 = 191,
// G and B (128*-128+32640)/255 = 63; over white R 255, G and B 127.
TEST(SelectColor, SwatchFollowsTheEditsAndTheSpins)
{
    QImage seeded, typed, spun, refused;
    int boxes = 0;
    qlafx::SetModalHook([&](CWnd* dlg, const char*, const char*, UINT) -> int {
        if (!dlg) {
            ++boxes;
            return IDOK;
        }
        seeded = SwatchOf(dlg);
        // An edit change repaints at once.
        dlg->SetDlgItemText(IDC_SELCOLOR_OPACITY, "0");
        typed = SwatchOf(dlg);
        // A spin only marks the swatch; the timer repaints it.
        Spin(dlg, IDC_SELCOLOR_SPIN_OPACITY, -255);
        PumpUntil([&] { return BgrAt(SwatchOf(dlg), 0, 0) == (Bgr{0, 0, 255}); });
        spun = SwatchOf(dlg);
        // Out of range: the check says so and the swatch stays.
        dlg->SetDlgItemText(IDC_SELCOLOR_OPACITY, "300");
        refused = SwatchOf(dlg);
        dlg->GetDlgItem(IDCANCEL)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    unsigned char colour[4] = {0, 0, 255, 128};
    EXPECT_FALSE(SelectColor(colour, nullptr));
    qlafx::SetModalHook({});

    ASSERT_FALSE(seeded.isNull());
    EXPECT_EQ(BgrAt(seeded, 0, 0), (Bgr{63, 63, 191}));
    EXPECT_EQ(BgrAt(seeded, 5, 0), (Bgr{127, 127, 255}));
    EXPECT_EQ(BgrAt(seeded, 5, 5), (Bgr{63, 63, 191}));
    EXPECT_EQ(BgrAt(typed, 0, 0), (Bgr{128, 128, 128}));
    EXPECT_EQ(BgrAt(typed, 5, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(BgrAt(spun, 0, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(BgrAt(spun, 5, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(BgrAt(refused, 0, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(BgrAt(refused, 5, 0), (Bgr{0, 0, 255}));
}

}  // namespace
