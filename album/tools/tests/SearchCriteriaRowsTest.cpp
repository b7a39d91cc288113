// Reading the Search Photo criteria: scope, dates and their refusals,
// swapped bounds, the ISO and focus rows, keywords and tags.
#include "album/tools/SearchCriteriaRows.h"

#include <gtest/gtest.h>

using namespace shelf;

namespace {

void SetIndex(SearchCriteriaRows& rows, const char* name, int index)
{
    auto* p = dynamic_cast<EnumParam*>(rows.Find(name));
    ASSERT_NE(p, nullptr) << name;
    p->index = index;
}
void SetText(SearchCriteriaRows& rows, const char* name, const char* text)
{
    auto* p = dynamic_cast<StringParam*>(rows.Find(name));
    ASSERT_NE(p, nullptr) << name;
    p->text = text;
}
void SetNumber(SearchCriteriaRows& rows, const char* name, int number)
{
    auto* p = dynamic_cast<IntParam*>(rows.Find(name));
    ASSERT_NE(p, nullptr) << name;
    p->number = number;
}

const SearchScope kScope{"/photos/trip/day1/", "/photos/trip/", {"/photos/trip/", "/photos/home/"}};

} // namespace

TEST(SearchCriteriaRows, ListsInOrder)
{
    SearchCriteriaRows rows;
    EXPECT_EQ(rows.List(1).size(), 17u);
    EXPECT_EQ(rows.List(2).size(), 10u);
    EXPECT_EQ(rows.List(3).size(), 5u);
    EXPECT_EQ(rows.List(4).size(), 17u);
    EXPECT_TRUE(rows.List(0).empty());
    EXPECT_EQ(rows.List(4).back()->name, "Keywords");
    // "Stop after reach" is the slider row; the sizes are wide integers.
    EXPECT_EQ(rows.Find("Stop after reach")->kind, 4);
    EXPECT_EQ(rows.Find("To Kbytes")->kind, 0);
    // "To" applies only under During.
    const EffectParam* to = rows.Find("To mm/dd/yyyy");
    EXPECT_FALSE(to->Applies());
    SetIndex(rows, "Time range", 3);
    EXPECT_TRUE(to->Applies());
}

TEST(SearchCriteriaRows, ScopeAndDefaults)
{
    SearchCriteriaRows rows;
    SearchCriteria c;
    std::vector<std::string> folders;
    ASSERT_EQ(rows.Read(kScope, c, folders), 0);
    EXPECT_EQ(folders, std::vector<std::string>{"/photos/trip/day1/"});
    EXPECT_EQ(c.stopCount, 100);
    EXPECT_EQ(c.isoFrom, 0);
    EXPECT_EQ(c.isoTo, SearchCriteria::kNoIsoLimit);
    SetIndex(rows, "Search Scope", 1);
    ASSERT_EQ(rows.Read(kScope, c, folders), 0);
    EXPECT_EQ(folders, std::vector<std::string>{"/photos/trip/"});
    SetIndex(rows, "Search Scope", 2);
    ASSERT_EQ(rows.Read(kScope, c, folders), 0);
    EXPECT_EQ(folders, kScope.albums);
    // Without a current folder only "All albums" can start.
    const SearchScope none{"", "", kScope.albums};
    EXPECT_EQ(rows.Read(none, c, folders), 0);
    for (int scope : {0, 1}) {
        SetIndex(rows, "Search Scope", scope);
        EXPECT_EQ(rows.Read(none, c, folders), 66);
    }
}

TEST(SearchCriteriaRows, Dates)
{
    const struct {
        int range;
        const char* from;
        const char* to;
        int error;
        BYTE test;
    } cases[] = {
        {1, "01/13/2004", "", 0, 1},
        {2, "1-13-2004", "", 0, 2},
        {3, "1:13:2004", "12 31 2005", 0, 4},
        {1, "13/01/2004", "", 68, 0},
        {1, "", "", 68, 0},
        {1, "2/30/1900", "", 68, 0},
        {3, "01/13/2004", "", 69, 0},
        {3, "01/13/2004", "1/32/2004", 69, 0},
        {0, "nonsense", "nonsense", 0, 0},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.from);
        SearchCriteriaRows rows;
        SetIndex(rows, "Time range", t.range);
        SetText(rows, "From (At) mm/dd/yyyy", t.from);
        SetText(rows, "To mm/dd/yyyy", t.to);
        SearchCriteria c;
        std::vector<std::string> folders;
        EXPECT_EQ(rows.Read(kScope, c, folders), t.error);
        if (!t.error) {
            EXPECT_EQ(c.timeTest, t.test);
        }
    }
    SearchDate d;
    ASSERT_TRUE(SearchCriteriaRows::ParseDate("01/13/2004", d));
    EXPECT_EQ(d.year, 2004);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 13);
}

TEST(SearchCriteriaRows, BoundsAreSwappedNotRefused)
{
    SearchCriteriaRows rows;
    SetIndex(rows, "Size range", 1);
    SetNumber(rows, "From (At) Kbytes", 900);
    SetNumber(rows, "To Kbytes", 100);
    SetIndex(rows, "Width range", 1);
    SetNumber(rows, "Width from", 4000);
    SetNumber(rows, "Width to", 10);
    SetIndex(rows, "Height range", 1);
    SetNumber(rows, "Height from", 30);
    SetNumber(rows, "Height to", 20);
    SetIndex(rows, "Visited?", 1);
    SetIndex(rows, "Aspect setting", 7);
    SearchCriteria c;
    std::vector<std::string> folders;
    ASSERT_EQ(rows.Read(kScope, c, folders), 0);
    EXPECT_EQ(c.sizeTest, 4);
    EXPECT_EQ(c.sizeFrom, 100u);
    EXPECT_EQ(c.sizeTo, 900u);
    EXPECT_EQ(c.widthFrom, 10u);
    EXPECT_EQ(c.widthTo, 4000u);
    EXPECT_EQ(c.heightFrom, 20u);
    EXPECT_EQ(c.heightTo, 30u);
    EXPECT_EQ(c.visitedTest, 8);
    EXPECT_FLOAT_EQ(c.aspect, 16.0f / 9);
}

TEST(SearchCriteriaRows, IsoAndFocusRows)
{
    const std::pair<WORD, WORD> iso[] = {{0, SearchCriteria::kNoIsoLimit}, {0, 50}, {50, 100}, {100, 200},
                                         {200, 400}, {400, 800}, {800, SearchCriteria::kNoIsoLimit},
                                         {0, 100}, {0, 200}, {0, 400}};
    const std::pair<float, float> focus[] = {{0, SearchCriteria::kNoFocusLimit}, {0, 5}, {5, 20}, {20, 100},
                                             {100, SearchCriteria::kNoFocusLimit}, {0, 20}, {0, 100}};
    for (int i = 0; i < 10; ++i) {
        SearchCriteriaRows rows;
        SetIndex(rows, "ISO number", i);
        SetIndex(rows, "Focus distance (m)", i < 7 ? i : 0);
        SearchCriteria c;
        std::vector<std::string> folders;
        ASSERT_EQ(rows.Read(kScope, c, folders), 0);
        EXPECT_EQ(c.isoFrom, iso[i].first) << i;
        EXPECT_EQ(c.isoTo, iso[i].second) << i;
        if (i < 7) {
            EXPECT_EQ(c.focusFrom, focus[i].first) << i;
            EXPECT_EQ(c.focusTo, focus[i].second) << i;
        }
    }
}

TEST(SearchCriteriaRows, ExposureRowsKeywordsAndTags)
{
    SearchCriteriaRows rows;
    SetIndex(rows, "Aperture range", 1);
    SetIndex(rows, "F number", 5); // 2.8
    SetIndex(rows, "Shutter speed range", 4);
    SetIndex(rows, "Speed (s)", 12); // /30
    SetIndex(rows, "Flush on?", 2);
    SetIndex(rows, "If photo has no EXIF", 1);
    SetText(rows, "File name keywords", "a;b|c, d");
    SetText(rows, "Keywords", " canon ,,EOS");
    SetText(rows, "Tag keywords(JPG only)", "family trip abcdefghijklmnopqrstuvwxyz0123456 later");
    SearchCriteria c;
    std::vector<std::string> folders;
    ASSERT_EQ(rows.Read(kScope, c, folders), 0);
    EXPECT_EQ(c.apertureTest, 3);
    EXPECT_FLOAT_EQ(c.fNumber, 2.8f);
    EXPECT_EQ(c.shutterTest, 5);
    EXPECT_FLOAT_EQ(c.exposureTime, 1.0f / 30);
    EXPECT_EQ(c.flashTest, 2);
    EXPECT_EQ(c.noExifRule, 1);
    EXPECT_EQ(c.nameKeywords, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(c.modelKeywords, (std::vector<std::string>{"canon", "EOS"}));
    // A tag over 31 characters ends the list.
    ASSERT_EQ(c.tagKeywords.GetCount(), 2);
    EXPECT_STREQ(c.tagKeywords.GetAt(1), "trip");
    EXPECT_FLOAT_EQ(SearchCriteriaRows::SpeedSeconds("0.66"), 0.66f);
    EXPECT_FLOAT_EQ(SearchCriteriaRows::SpeedSeconds("8"), 8.0f);
}
