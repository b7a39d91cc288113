#include "album/shell/AlbumTextTable.h"
#include "album/shell/ShelfCommands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace shelf;

TEST(AlbumTextTable, TextsVerbatimAndOutsideIdsEmpty)
{
    EXPECT_STREQ(theAlbumTexts.GetText(0), "Delete the folder and the subfolder!\nAre you sure?");
    EXPECT_STREQ(theAlbumTexts.GetText(55), "Photo \"%s\" has not been set size and number of copies,\n Continue?");
    EXPECT_STREQ(theAlbumTexts.GetText(76), "All files support EXIF|*.jpg;*.jpeg;*.tif;*.tiff;*.exif||");
    EXPECT_STREQ(theAlbumTexts.GetText(90), "Preview");
    EXPECT_STREQ(theAlbumTexts.GetText(62), "QuilloShelf need restart. Delete and exit Programme now?");
    for (int id : {-1, 57, 58, 59, 91, 1000})
        EXPECT_STREQ(theAlbumTexts.GetText(id), "") << id;
}

TEST(ShelfCommands, EveryCommandOnceWithItsText)
{
    std::set<UINT> ids;
    for (const auto& c : ShelfCommands())
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    EXPECT_EQ(ids.size(), 45u);
    ASSERT_NE(FindShelfCommand(32815), nullptr);
    EXPECT_STREQ(FindShelfCommand(32815)->menuText, "&View/&Back \tAlt<-");
    EXPECT_EQ(FindShelfCommand(1), nullptr);
}

// The update rule of every command over a table of states.
TEST(ShelfCommands, UpdateRulesOverStates)
{
    CommandState none;
    CommandState jpegShown;
    jpegShown.selected = jpegShown.photoShown = jpegShown.shownIsJpeg = true;
    jpegShown.folderOpen = jpegShown.folderHasParent = jpegShown.folderHasPhotos = true;
    CommandState pngShown = jpegShown;
    pngShown.shownIsJpeg = false;
    CommandState exifShown = jpegShown;
    exifShown.shownHasExif = true;
    CommandState timeline = exifShown;
    timeline.timeline = true;
    timeline.clipboardFiles = true;
    CommandState clipboard;
    clipboard.clipboardFiles = true;
    CommandState complete;
    complete.allComplete = true;
    complete.canGoBack = true;
    CommandState forward;
    forward.canGoForward = true;
    CommandState rootOpen;
    rootOpen.folderOpen = true; // a project's root: no parent, no photos

    const CommandState* states[] = {&none, &jpegShown, &pngShown, &exifShown, &timeline,
                                    &clipboard, &complete, &forward, &rootOpen};
    // One row per command: enabled in none, jpegShown, pngShown, exifShown,
    // timeline, clipboard, complete, forward, rootOpen.
    const struct {
        UINT id;
        const char* enabled;
    } rows[] = {
        {32773, "111111111"}, {32774, "111111111"}, {32778, "011110000"}, {32777, "011110000"},
        {32779, "011100001"}, {32802, "111111111"}, {32813, "011100000"}, {32822, "011110000"},
        {57607, "011110000"}, {57665, "111111111"}, {32780, "011110000"}, {32785, "111111111"},
        {32817, "010110000"}, {32818, "010110000"}, {32823, "011110000"}, {32782, "011110000"},
        {32783, "011110000"}, {57634, "011110000"}, {57635, "011110000"}, {57637, "000001000"},
        {32771, "111111111"}, {32772, "111111111"}, {32799, "000000100"}, {32800, "000000100"},
        {32801, "111111111"}, {59410, "111111111"}, {32775, "111111111"}, {32815, "000000100"},
        {32816, "000000010"}, {32781, "011110000"}, {32814, "011110000"}, {32791, "111111111"},
        {32793, "011110000"}, {32809, "011100001"}, {32794, "011110000"}, {32810, "010110000"},
        {32811, "000110000"}, {32812, "010110000"}, {32819, "011100001"}, {32795, "111111111"},
        {32796, "011110001"}, {57666, "111111111"}, {32797, "111111111"}, {32820, "111111111"},
        {57664, "111111111"},
    };
    ASSERT_EQ(std::size(rows), ShelfCommands().size());
    for (const auto& row : rows) {
        const ShelfCommand* command = FindShelfCommand(row.id);
        ASSERT_NE(command, nullptr) << row.id;
        for (std::size_t s = 0; s < std::size(states); ++s)
            EXPECT_EQ(IsEnabled(command->rule, *states[s]), row.enabled[s] == '1') << row.id << " state " << s;
    }
}
