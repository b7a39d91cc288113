#include "album/shell/NavigationHistory.h"
#include "album/shell/TimelineMonths.h"
#include "album/shell/tests/ShelfTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using shelf::NavigationHistory;

namespace {

// Leaving A for B, B for C: the pane adds the folder it leaves.
NavigationHistory Visited(std::initializer_list<const char*> left)
{
    NavigationHistory h;
    for (const char* path : left)
        h.Add(path);
    return h;
}

TEST(NavigationHistory, BackBackForwardFromTheOpenFolder)
{
    NavigationHistory h = Visited({"/a/", "/b/"}); // C is open
    // Back from the newest place records the open folder first.
    ASSERT_FALSE(h.CanGoForward());
    h.Add("/c/");
    h.Back();
    EXPECT_EQ(h.Back(), "/b//");
    EXPECT_EQ(h.Back(), "/a//");
    EXPECT_FALSE(h.CanGoBack());
    EXPECT_EQ(h.Back(), "");
    EXPECT_EQ(h.Forward(), "/b//");
    EXPECT_EQ(h.Forward(), "/c//");
    EXPECT_EQ(h.Forward(), "");
}

TEST(NavigationHistory, OpeningAfterBackDropsTheForwardEntries)
{
    NavigationHistory h = Visited({"/a/", "/b/"}); // C is open
    h.Add("/c/");                                  // Back, Back as the pane does it
    h.Back();
    h.Back();
    ASSERT_EQ(h.Back(), "/a//");
    ASSERT_TRUE(h.CanGoForward());
    h.Add("/a/"); // a new folder opened from A
    EXPECT_EQ(h.Entries(), (std::vector<std::string>{"/a//"}));
    EXPECT_FALSE(h.CanGoForward());
    EXPECT_TRUE(h.CanGoBack());
}

TEST(NavigationHistory, TwelveVisitsKeepTheLastTen)
{
    NavigationHistory h;
    for (int i = 0; i < 12; ++i)
        h.Add("/f" + std::to_string(i) + "/");
    ASSERT_EQ(h.Entries().size(), 10u);
    EXPECT_EQ(h.Entries().front(), "/f2//");
    EXPECT_EQ(h.Entries().back(), "/f11//");
    EXPECT_EQ(h.Index(), 10);
    EXPECT_EQ(h.Back(), "/f11//") << "the folder left last";
}

TEST(NavigationHistory, AddLeavesTheCallersTextAlone)
{
    const std::string path = "/photos/trip/";
    NavigationHistory h;
    h.Add(path);
    EXPECT_EQ(path, "/photos/trip/");
    EXPECT_EQ(h.Entries().at(0), "/photos/trip//");
}

TEST(NavigationHistory, ClearEmptiesEverything)
{
    NavigationHistory h = Visited({"/a/", "/b/"});
    h.Clear();
    EXPECT_TRUE(h.Entries().empty());
    EXPECT_EQ(h.Index(), 0);
    EXPECT_FALSE(h.CanGoBack());
    EXPECT_FALSE(h.CanGoForward());
}

TEST(TimelineMonths, SortedByBytesWithTheYearIconAlternating)
{
    const auto months = shelf::OrderTimelineMonths({"Y2005-M01", "Y2004-M12", "Y2005-M03", "Y2006-M07", "Y2004-M02"});
    std::vector<std::pair<std::string, int>> got;
    for (const auto& m : months)
        got.emplace_back(m.name, m.image);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, int>>{{"Y2004-M02", 2},
                                                             {"Y2004-M12", 2},
                                                             {"Y2005-M01", 3},
                                                             {"Y2005-M03", 3},
                                                             {"Y2006-M07", 2}}));
}

TEST(TimelineMonths, OnlyFoldersBeginningWithADigitOrY)
{
    shelftest::ScratchFolder folder;
    for (const char* name : {"Y2005-M01", "2004", "yearly", "Other", "Y2004-M12"})
        shelftest::MakeFolder(folder.Path() + name);
    shelftest::WriteBytes(folder.Path() + "Y2003-M01", "a file, not a month");
    std::vector<std::string> names;
    for (const auto& m : shelf::ListTimelineMonths(folder.Path()))
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"2004", "Y2004-M12", "Y2005-M01"}));
    EXPECT_TRUE(shelf::ListTimelineMonths(folder.Path() + "missing/").empty());
}

} // namespace
