// The wizard's skinned controls: what they tell the parent, and their edges.
#include "develop/DevelopControls.h"
#include "develop/DevelopTexts.h"

#include "DevelopUiTestSupport.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/ProgramFolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace develop;

namespace {

// The parent: records every notification.
class Recorder : public CWnd {
public:
    struct Note {
        UINT kind, id;
        LPARAM value;
    };
    std::vector<Note> notes;

protected:
    afx_msg LRESULT OnNote(WPARAM wParam, LPARAM lParam)
    {
        notes.push_back({static_cast<UINT>(wParam >> 16), static_cast<UINT>(wParam & 0xFFFF), lParam});
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Recorder, CWnd)
    ON_MESSAGE(WM_DEVELOP_NOTIFY, OnNote)
END_MESSAGE_MAP()

class DevelopControlsTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CQLImageCodec::Start();
        qlwin::SetProgramFolder(QUILLO_PROGRAM_DIR);
        static CWinApp app("QuilloDevelop");
        ASSERT_TRUE(Skin().Load());
    }
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "controls", WS_POPUP | WS_VISIBLE, CRect(0, 0, 700, 300), nullptr, 0));
    }
    void TearDown() override { parent.DestroyWindow(); }
    void Mouse(CWnd& w, UINT message, int x, int y) { w.SendMessage(message, 0, MAKELPARAM(x, y)); }
    std::vector<Recorder::Note> Notes()
    {
        Pump(20);
        auto n = parent.notes;
        parent.notes.clear();
        return n;
    }

    Recorder parent;
};

TEST_F(DevelopControlsTest, SliderArrowsTrackAndDrag)
{
    DevelopSlider slider;
    ASSERT_TRUE(slider.Create(8706, CRect(0, 0, 600, 50), &parent, "Exposure"));
    const DevelopSlider::Geometry g0 = slider.Layout(CRect(0, 0, 600, 50));
    struct Case {
        int minimum, maximum, start;
        int x;          // where the press lands: -1 left arrow, -2 right arrow, -3 just right of the thumb, else track x
        int expected;
    };
    const Case cases[] = {
        {-10, 20, -10, -1, -10},  // at the minimum the left arrow still notifies
        {-10, 20, 20, -2, 20},
        {0, 100, 50, -1, 49},
        {0, 100, 98, -3, 100},  // right of the thumb: +5, clamped
        {0, 100, 50, g0.track.left + 1, 45},
    };
    for (const Case& c : cases) {
        slider.SetRange(c.minimum, c.maximum);
        slider.SetPos(c.start);
        const DevelopSlider::Geometry g = slider.Layout(CRect(0, 0, 600, 50));
        const CPoint at = c.x == -1   ? g.leftArrow.CenterPoint()
                          : c.x == -2 ? g.rightArrow.CenterPoint()
                          : c.x == -3 ? CPoint(g.thumb.right + 1, g.track.top + 8)
                                      : CPoint(c.x, g.track.top + 8);
        ASSERT_TRUE(c.x != -3 || at.x < g.track.right);
        Mouse(slider, WM_LBUTTONDOWN, at.x, at.y);
        EXPECT_EQ(slider.GetPos(), c.expected);
        const auto notes = Notes();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].kind, kNotifySlider);
        EXPECT_EQ(notes[0].id, 8706u);
        EXPECT_EQ(notes[0].value, c.expected);
    }
    // At the minimum the thumb sits at the track's left end.
    slider.SetRange(-10, 20);
    slider.SetPos(-10);
    EXPECT_EQ(slider.Layout(CRect(0, 0, 600, 50)).thumbX, g0.track.left);

    // Dragging past either end clamps; only the release notifies.
    slider.SetRange(0, 100);
    slider.SetPos(50);
    const DevelopSlider::Geometry g = slider.Layout(CRect(0, 0, 600, 50));
    Mouse(slider, WM_LBUTTONDOWN, g.thumbX, g.thumb.CenterPoint().y);
    ASSERT_TRUE(slider.m_dragging);
    Mouse(slider, WM_MOUSEMOVE, 900, 30);
    EXPECT_EQ(slider.GetPos(), 100);
    Mouse(slider, WM_MOUSEMOVE, -300, 30);
    EXPECT_EQ(slider.GetPos(), 0);
    EXPECT_TRUE(Notes().empty());
    Mouse(slider, WM_LBUTTONUP, -300, 30);
    const auto notes = Notes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].value, 0);
}

TEST_F(DevelopControlsTest, SliderValueText)
{
    DevelopSlider slider;
    ASSERT_TRUE(slider.Create(1, CRect(0, 0, 600, 50), &parent, ""));
    struct Case {
        int minimum, maximum, pos;
        double scale;
        const char* text;
    };
    const Case cases[] = {{-10, 20, 10, 0.1, "1"}, {-10, 20, -5, 0.1, "-0.5"}, {-10, 20, 13, 0.1, "1.3"},
                          {-50, 50, -50, 40, "-2000"}, {0, 100, 50, 2, "100"}};
    for (const Case& c : cases) {
        slider.SetRange(c.minimum, c.maximum);
        slider.SetPos(c.pos);
        slider.SetScale(c.scale);
        EXPECT_EQ(slider.ValueText(), c.text);
    }
}

TEST_F(DevelopControlsTest, PercentBarShowsNothingAtTheEnds)
{
    DevelopPercentBar bar;
    ASSERT_TRUE(bar.Create(9221, CRect(0, 0, 300, 25), &parent, "Generating preview... "));
    const auto drawn = [&](int percent) {
        bar.SetPercent(percent);
        CQLImage grab;
        CClientDC dc(&bar);
        bar.SendMessage(WM_PAINT);
        bool any = false;
        for (int x = 0; x < 300; x += 3)
            for (int y = 0; y < 25; ++y)
                any = any || dc.GetPixel(x, y) != kDevelopBack;
        return any;
    };
    EXPECT_FALSE(drawn(0));
    EXPECT_FALSE(drawn(100));
    EXPECT_TRUE(drawn(40));
    bar.SetPercent(250);
    EXPECT_EQ(bar.GetPercent(), 100);
    bar.SetPercent(-4);
    EXPECT_EQ(bar.GetPercent(), 0);
}

TEST_F(DevelopControlsTest, ButtonClicksOnlyWhenReleasedOnIt)
{
    CImgButton button;
    ASSERT_TRUE(button.Create(8196, CRect(10, 10, 110, 30), &parent, "Next >"));
    Mouse(button, WM_MOUSEMOVE, 5, 5);
    Mouse(button, WM_LBUTTONDOWN, 5, 5);
    Mouse(button, WM_LBUTTONUP, 5, 5);
    auto notes = Notes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].kind, kNotifyClick);
    EXPECT_EQ(notes[0].id, 8196u);
    // Pressed, dragged off, released: no click.
    Mouse(button, WM_MOUSEMOVE, 5, 5);
    Mouse(button, WM_LBUTTONDOWN, 5, 5);
    Mouse(button, WM_MOUSEMOVE, 300, 5);
    Mouse(button, WM_LBUTTONUP, 300, 5);
    EXPECT_TRUE(Notes().empty());
    // Disabled: nothing.
    button.EnableWindow(FALSE);
    Mouse(button, WM_LBUTTONDOWN, 5, 5);
    Mouse(button, WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(Notes().empty());
}

TEST_F(DevelopControlsTest, CheckBoxTellsAndLetsTheParentDecide)
{
    DevelopCheckBox box;
    ASSERT_TRUE(box.Create(8713, CRect(0, 0, 100, 20), &parent, "Preview:", 1));
    struct Case {
        bool enabled;
        int kind, checked, row;
    };
    const Case rows[] = {{false, 1, 1, 0}, {false, 1, 0, 1}, {false, 0, 1, 2}, {false, 0, 0, 3},
                         {true, 1, 1, 4},  {true, 1, 0, 5},  {true, 0, 1, 6},  {true, 0, 0, 7}};
    for (const Case& c : rows) {
        DevelopCheckBox b;
        ASSERT_TRUE(b.Create(1, CRect(0, 0, 100, 20), &parent, "", c.kind));
        b.EnableWindow(c.enabled);
        b.SetCheck(c.checked);
        EXPECT_EQ(b.SkinRow(), c.row);
        b.DestroyWindow();
    }
    Mouse(box, WM_LBUTTONDOWN, 4, 4);
    const auto notes = Notes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].kind, kNotifyOption);
    EXPECT_EQ(box.GetCheck(), 0);
}

TEST(DevelopCaptionWrap, WordsEndAfterBlanksAndCommasAndWideCharactersStandAlone)
{
    const auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
    struct Case {
        const char* text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"Best. Best quality but slowly", 120, {"Best. Best ", "quality but ", "slowly"}},
        {"one,two,three", 80, {"one,two,", "three"}},
        {"short", 200, {"short"}},
        // Three-byte characters: each a word of its own, never split.
        {"\xe9\xab\x98\xe8\xb4\xa8\xe9\x87\x8f", 60, {"\xe9\xab\x98\xe8\xb4\xa8", "\xe9\x87\x8f"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapCaption(c.text, c.width, measure), c.lines) << c.text;
}

TEST_F(DevelopControlsTest, CaptionListLinksPostTheirCommand)
{
    develop::CLinkListCtrl list;
    ASSERT_TRUE(list.Create(8712, CRect(0, 0, 300, 120), &parent));
    list.AddItem("About", "Tahoma", 18, 0xFFFFFF, nullptr);
    list.AddItem("Contact us", "Tahoma", 14, 0xC0A0A0, "mailto:someone@example.org");
    list.SetItemStyle(0, 7, 0x808080, 0x404040, 0);
    EXPECT_EQ(list.GetCount(), 2);
    list.SendMessage(WM_PAINT);
    const CRect link = list.m_entries[1].rect;
    ASSERT_GT(link.Width(), 0);
    EXPECT_GT(link.top, list.m_entries[0].rect.bottom);
    Mouse(list, WM_LBUTTONDOWN, link.left + 2, link.top + 2);
    Mouse(list, WM_LBUTTONDOWN, 2, list.m_entries[0].rect.top + 2);  // not a link
    const auto notes = Notes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].kind, kNotifyLink);
    EXPECT_STREQ(reinterpret_cast<const char*>(notes[0].value), "mailto:someone@example.org");
    list.SetItemText(0, "Changed");
    EXPECT_STREQ(list.m_entries[0].text, "Changed");
}

} // namespace
