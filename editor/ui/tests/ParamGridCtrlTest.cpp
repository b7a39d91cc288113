// The parameter grid: rows and scrolling, the in-place editors and what
// their commits store and announce, the "..." dialogs answered through the
// modal hook, and the painted rows.
#include "SkinTestSupport.h"

#include "RecordingParent.h"
#include "editor/ui/EffectParam.h"
#include "editor/ui/ParamGridCtrl.h"
#include "editor/ui/ParamSliderDlg.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

// ---- helpers without a window ----

struct OptionsCase {
    const char* text;
    std::vector<std::string> items;
};

class GridOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(GridOptions, OfferOnlyTheNonEmptyItems)
{
    EXPECT_EQ(SplitOptions(GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(Cases, GridOptions,
                         ::testing::Values(OptionsCase{"true;false;", {"true", "false"}},
                                           OptionsCase{";;a;;b;;", {"a", "b"}},
                                           OptionsCase{"only", {"only"}}, OptionsCase{"", {}},
                                           OptionsCase{";;;", {}}));

TEST(EffectParamFormat, ChoiceShowsTheOptionAtItsIndex)
{
    // Empty options are not counted, as the grid does not list them.
    static const char options[] = ";true;;false;";
    EnumParam choice;
    ASSERT_TRUE(choice.SetValue(options));
    char out[256];
    const struct {
        int index;
        const char* shown;
    } cases[] = {{0, "true"}, {1, "false"}, {2, ""}, {7, ""}, {-1, ""}};
    for (const auto& c : cases) {
        choice.index = c.index;
        EXPECT_STREQ(choice.Format(out), c.shown) << c.index;
    }
    IntParam integer;
    const int32_t v = -42;
    ASSERT_TRUE(integer.SetValue(&v));
    EXPECT_STREQ(integer.Format(out), "-42");
    // The maximum itself is out of range.
    integer.minimum = 0;
    integer.maximum = 10;
    EXPECT_TRUE(integer.IsValid(0));
    EXPECT_TRUE(integer.IsValid(9));
    EXPECT_FALSE(integer.IsValid(10));
    EXPECT_FALSE(integer.IsValid(-1));
}

TEST(ParamSliderDlg, TicksEveryTwentiethAtLeastOne)
{
    const struct {
        int minimum, maximum, step;
    } cases[] = {{0, 1000, 50}, {-1000, 1000, 100}, {0, 10, 1}, {0, 39, 1}, {0, 40, 2}, {5, 5, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(CParamSliderDlg::TickStep(c.minimum, c.maximum), c.step) << c.minimum << ".." << c.maximum;
}

// ---- the grid in a window ----

// An integer parameter that records calls of its value operation, which
// the grid's commits must not make.
class WatchedInt : public IntParam {
public:
    BOOL SetValue(const void* v) override
    {
        ++setValueCalls;
        return IntParam::SetValue(v);
    }
    int setValueCalls = 0;
};

// A 300 x 100 grid: 5 visible rows of 20 pixels, row r at y 20 r + 1.
class GridFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateParent());
        ASSERT_TRUE(m_grid.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &m_parent,
                                  1000));
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        m_grid.DestroyWindow();
        m_parent.DestroyWindow();
    }

    template <class T>
    T* Add(const char* label, int kind)
    {
        auto p = std::make_unique<T>();
        p->label = label;
        p->kind = kind;
        T* raw = p.get();
        m_owned.push_back(std::move(p));
        m_list.push_back(raw);
        return raw;
    }
    void Show() { m_grid.SetParamList(&m_list); }
    void Click(int x, int y)
    {
        m_grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        m_grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void ClickRow(int row) { Click(200, (row - m_grid.m_top) * 20 + 10); }
    int Changes() { return m_parent.Count(); }

    CRecordingParent m_parent{WM_PARAMGRID_CHANGED};
    CParamGridCtrl m_grid;
    std::vector<std::unique_ptr<EffectParam>> m_owned;
    std::vector<EffectParam*> m_list;
};

TEST_F(GridFixture, ShortListHasNoScrollBarAndClicksBelowSelectNothing)
{
    Add<IntParam>("Radius", 4);
    Add<IntParam>("Amount", 4);
    Show();
    EXPECT_EQ(m_grid.m_visibleRows, 5);
    EXPECT_FALSE(m_grid.m_scrollBar.IsWindowVisible());
    EXPECT_EQ(m_grid.RowRect(1), CRect(1, 21, 299, 41));
    EXPECT_EQ(m_grid.LabelRect(1), CRect(1, 21, 151, 41));
    EXPECT_EQ(m_grid.ValueRect(1), CRect(151, 21, 299, 41));
    Click(200, 50);
    EXPECT_EQ(m_grid.m_selected, -1);
    Click(200, 25);
    EXPECT_EQ(m_grid.m_selected, 1);
}

TEST_F(GridFixture, LongListScrollsWithinItsRows)
{
    for (int i = 0; i < 8; ++i)
        Add<IntParam>("n", 4);
    Show();
    EXPECT_TRUE(m_grid.m_scrollBar.IsWindowVisible());
    EXPECT_EQ(m_grid.RowRect(0).right, 300 - 1 - 21);
    const struct {
        UINT code;
        UINT pos;
        int top;
    } steps[] = {
        {SB_LINEDOWN, 0, 1}, {SB_PAGEDOWN, 0, 3}, {SB_LINEDOWN, 0, 3}, {SB_LINEUP, 0, 2},
        {SB_THUMBTRACK, 10, 3}, {SB_THUMBPOSITION, 1, 1}, {SB_PAGEUP, 0, 0}, {SB_LINEUP, 0, 0},
    };
    for (const auto& s : steps) {
        m_grid.SendMessage(WM_VSCROLL, MAKEWPARAM(s.code, s.pos), reinterpret_cast<LPARAM>(m_grid.m_scrollBar.m_hWnd));
        EXPECT_EQ(m_grid.m_top, s.top) << "code " << s.code;
    }
    m_grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    ClickRow(7);
    EXPECT_EQ(m_grid.m_selected, 7);
}

TEST_F(GridFixture, ChoiceCommitsItsIndexOnce)
{
    static const char options[] = ";;soft;;hard;;";
    auto* choice = Add<EnumParam>("Edge", 2);
    choice->SetValue(options);
    choice->index = 1;
    Add<StringParam>("Name", 1);
    Show();
    ClickRow(0);
    ASSERT_EQ(m_grid.m_editor, &m_grid.m_combo);
    EXPECT_TRUE(m_grid.m_combo.IsWindowVisible());
    ASSERT_EQ(m_grid.m_combo.GetCount(), 2);
    EXPECT_EQ(m_grid.m_combo.GetCurSel(), 1);
    // Unchanged: no notice.
    ClickRow(1);
    EXPECT_EQ(Changes(), 0);
    ClickRow(0);
    m_grid.m_combo.SetCurSel(0);
    ClickRow(1);
    EXPECT_EQ(choice->index, 0);
    EXPECT_EQ(Changes(), 1);
}

struct EditCase {
    const char* name;
    int kind;          // 0 integer in a text box, 1 text
    const char* typed;
    UINT limit;
    const char* stored;  // the value's text afterwards
    int changes;
};

const EditCase kEditCases[] = {
    {"IntegerTyped", 0, "42", 7, "42", 1},
    {"IntegerUnchanged", 0, "7", 7, "7", 0},
    {"IntegerReadLikeAtoi", 0, "12abc", 7, "12", 1},
    {"TextTyped", 1, "night", 128, "night", 1},
    {"TextUnchanged", 1, "day", 128, "day", 0},
};

class GridEdit : public GridFixture, public ::testing::WithParamInterface<EditCase> {};

TEST_P(GridEdit, CommitStoresAndAnnouncesAChange)
{
    const EditCase& c = GetParam();
    EffectParam* param;
    WatchedInt* integer = nullptr;
    if (c.kind == 0) {
        integer = Add<WatchedInt>("Steps", 0);
        integer->number = 7;
        param = integer;
    } else {
        auto* text = Add<StringParam>("Mode", 1);
        text->text = "day";
        param = text;
    }
    Add<IntParam>("Other", 4);
    Show();
    ClickRow(0);
    ASSERT_EQ(m_grid.m_editor, &m_grid.m_edit);
    EXPECT_EQ(static_cast<UINT>(m_grid.m_edit.SendMessage(EM_GETLIMITTEXT)), c.limit);
    CString shown;
    m_grid.m_edit.GetWindowText(shown);
    EXPECT_STREQ(shown, c.kind == 0 ? "7" : "day");
    m_grid.m_edit.SetWindowText(c.typed);
    ClickRow(1);
    char out[256];
    EXPECT_STREQ(param->Format(out), c.stored);
    EXPECT_EQ(Changes(), c.changes);
    if (integer) {
        EXPECT_EQ(integer->setValueCalls, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GridEdit, ::testing::ValuesIn(kEditCases),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST_F(GridFixture, CaptionRowsAreNotSelectedAndDisabledRowsGetNoEditor)
{
    static const char options[] = "off;on;";
    auto* caption = Add<StringParam>("Blur", 1);
    caption->state = EffectParam::kCaption;
    auto* choice = Add<EnumParam>("Use", 2);
    choice->SetValue(options);
    auto* amount = Add<StringParam>("Amount", 1);
    amount->controller = choice;
    amount->enablingItems[0] = 1;
    Show();
    ClickRow(0);
    EXPECT_EQ(m_grid.m_selected, -1);
    ClickRow(2);
    EXPECT_EQ(m_grid.m_selected, 2);
    EXPECT_EQ(m_grid.m_editor, nullptr);
    EXPECT_FALSE(m_grid.m_edit.IsWindowVisible());
    choice->index = 1;
    ClickRow(1);
    ClickRow(2);
    EXPECT_EQ(m_grid.m_editor, &m_grid.m_edit);
}

struct SliderCase {
    const char* name;
    bool ok;
    int moveTo;
    int after;
    int changes;
};

class GridSlider : public GridFixture, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(GridSlider, ButtonOpensTheSliderOverTheRange)
{
    const SliderCase& c = GetParam();
    auto* radius = Add<IntParam>("Radius", 4);
    radius->minimum = 0;
    radius->maximum = 1000;
    radius->number = 300;
    Show();
    ClickRow(0);
    ASSERT_EQ(m_grid.m_editor, &m_grid.m_button);
    CRect button;
    m_grid.m_button.GetWindowRect(&button);
    m_grid.ScreenToClient(&button);
    EXPECT_EQ(button, CRect(299 - 1 - 20, 2, 299 - 1, 20));

    std::string caption, minText, maxText;
    int rangeMin = 0, rangeMax = 0, shownValue = 0, page = 0;
    qlafx::SetModalHook([&](CWnd* dlg, const char* cap, const char*, UINT) -> int {
        caption = cap;
        CString s;
        dlg->GetDlgItemText(IDC_PARAM_SLIDER_MIN, s);
        minText = static_cast<const char*>(s);
        dlg->GetDlgItemText(IDC_PARAM_SLIDER_MAX, s);
        maxText = static_cast<const char*>(s);
        rangeMin = static_cast<int>(dlg->SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_GETRANGEMIN));
        rangeMax = static_cast<int>(dlg->SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_GETRANGEMAX));
        page = static_cast<int>(dlg->SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_GETPAGESIZE));
        shownValue = static_cast<int>(dlg->SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_GETPOS));
        dlg->SendDlgItemMessage(IDC_PARAM_SLIDER, TBM_SETPOS, TRUE, c.moveTo);
        dlg->GetDlgItem(c.ok ? IDOK : IDCANCEL)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    m_grid.m_button.SendMessage(BM_CLICK);
    EXPECT_EQ(caption, "Radius");
    EXPECT_EQ(minText, "0");
    EXPECT_EQ(maxText, "1000");
    EXPECT_EQ(rangeMin, 0);
    EXPECT_EQ(rangeMax, 1000);
    EXPECT_EQ(page, 50);
    EXPECT_EQ(shownValue, 300);
    EXPECT_EQ(radius->number, c.after);
    EXPECT_EQ(Changes(), c.changes);
}

INSTANTIATE_TEST_SUITE_P(Cases, GridSlider,
                         ::testing::Values(SliderCase{"Ok", true, 650, 650, 1},
                                           SliderCase{"OkUnchanged", true, 300, 300, 0},
                                           SliderCase{"Cancel", false, 650, 300, 0}),
                         [](const ::testing::TestParamInfo<SliderCase>& info) { return std::string(info.param.name); });

TEST_F(GridFixture, FilePathIsChosenWithoutANotice)
{
    auto* file = Add<StringParam>("Texture", 5);
    file->text = "old.png";
    file->openDialog = 1;
    file->filter = "Pictures|*.png||";
    Show();
    ClickRow(0);
    ASSERT_EQ(m_grid.m_editor, &m_grid.m_button);
    BOOL wasOpen = FALSE;
    std::string initial;
    qlafx::SetModalHook([&](CWnd* dlg, const char*, const char*, UINT) -> int {
        auto* files = dynamic_cast<CFileDialog*>(dlg);
        if (!files)
            return IDCANCEL;
        wasOpen = files->m_bOpenFileDialog;
        initial = files->m_ofn.lpstrFile ? files->m_ofn.lpstrFile : "";
        qlafx::AnswerFileDialog(*files, {"/pictures/new.png"});
        return IDOK;
    });
    m_grid.m_button.SendMessage(BM_CLICK);
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(initial, "old.png");
    EXPECT_EQ(file->text, "/pictures/new.png");
    EXPECT_EQ(Changes(), 0);
}

// The selected row's label cell is navy (COLORREF 0x800000); a caption row
// is black inside its frame; the grid lines are RGB(220, 220, 220).
TEST_F(GridFixture, PaintsSelectionCaptionsAndGridLines)
{
    auto* caption = Add<StringParam>("Blur", 1);
    caption->state = EffectParam::kCaption;
    Add<StringParam>("Name", 1);
    Show();
    ClickRow(1);
    const QImage s = skintest::SurfaceOf(m_grid.m_hWnd);
    EXPECT_EQ(BgrAt(s, 140, 30), (Bgr{128, 0, 0}));
    EXPECT_EQ(BgrAt(s, 140, 6), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 150, 80), (Bgr{220, 220, 220}));
}

TEST_F(GridFixture, LongTextsEndInAnEllipsis)
{
    CClientDC dc(&m_grid);
    const std::string shortText = "Hi";
    EXPECT_EQ(CParamGridCtrl::FitText(&dc, shortText, 150), shortText);
    const std::string longText(80, 'W');
    const std::string fitted = CParamGridCtrl::FitText(&dc, longText, 150);
    ASSERT_GT(fitted.size(), 3u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_LE(dc.GetTextExtent(fitted.c_str(), static_cast<int>(fitted.size())).cx, 150 - 10);
    const std::string body = fitted.substr(0, fitted.size() - 3);
    EXPECT_EQ(body, longText.substr(0, body.size()));
}

}  // namespace
