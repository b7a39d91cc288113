#include "develop/DevelopTexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char* const kKeys[] = {
    "tittle", "sub-tittle", "next", "cancel", "defaultfont", "openline1", "step1", "open", "wb", "autowb",
    "orgwb", "fileformat", "notsupport", "exception", "nothumbnail", "nosupportthumbnail", "preview",
    "adjtittle", "exposure", "dynamic", "temperature", "saturate", "sharpen", "grain", "inprog", "savetittle",
    "saveline1", "jpg", "tif", "jpgdesc1", "jpgdesc2", "tifdesc1", "nextphoto", "interpolatetittle",
    "interline1", "basicinter", "goodinter", "bestinter", "loadccd", "interpolate", "convertrgb", "saving",
    "batch", "go", "batchtittle", "batchfile", "othertip", "othertip2", "othertip3", "outfolder", "nofolder",
    "noitem", "browse", "sharpenonly", "selectfolder", "ok", "errsave", "recommend1", "recommend2",
    "recommend3", "recommend4", "about1", "about2", "about3", "about4", "about5", "dropinfirstpage"};

TEST(DevelopTexts, EveryKeyIsFoundAfterSorting)
{
    CUITextMap table;
    develop::DevelopDefaultTexts(table);
    EXPECT_EQ(table.GetCount(), 67u);
    static_assert(sizeof kKeys / sizeof kKeys[0] == 67);
    for (const char* key : kKeys)
        EXPECT_STRNE(table.GetText(key), "") << key;
}

TEST(DevelopTexts, CaptionsAsShown)
{
    struct Case {
        const char* key;
        const char* text;
    };
    const Case cases[] = {
        {"Preview", "Preview:"},
        {"tittle", "ORVANTA QuilloDevelop"},
        {"sub-tittle", "Parsing, Pre-Adjustment and Converting ... "},
        {"EXCEPTION", "Unexpected Error"},
        {"next", "Next >"},
        {"loadccd", "Please wait, Loading CCD Data ... "},
        {"jpgdesc1", "Lossy compression, smaller file size(about 5:1), "},
        {"othertip3", " in adjustment page of step-by-step mode."},
        {"about1", "About \"Orvanta's QuilloDevelop\""},
        {"about4", "Contact us"},
        {"recommend3", "Quillo"},
        {"missing", ""},
    };
    const CUITextMap& table = develop::Texts();
    for (const Case& c : cases)
        EXPECT_STREQ(table.GetText(c.key), c.text) << c.key;
}

TEST(DevelopTexts, FileFilterHasPairsOfNameAndPattern)
{
    const std::string filter = develop::Texts().GetText("fileformat");
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter.compare(filter.size() - 2, 2, "||"), 0);
    int bars = 0;
    for (char c : filter.substr(0, filter.size() - 2))
        bars += c == '|';
    EXPECT_EQ(bars % 2, 1) << "name|pattern pairs joined by bars";
    EXPECT_NE(filter.find("Adobe(*.dng)|*.dng"), std::string::npos);
}

TEST(DevelopTexts, RightsNoticeTakesTheYear)
{
    const char* notice = develop::Texts().GetText("about2");
    const char* mark = std::strstr(notice, "%d");
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(std::strchr(mark + 2, '%'), nullptr) << "one conversion only";
    char line[256];
    std::snprintf(line, sizeof line, notice, 2026);
    EXPECT_NE(std::strstr(line, "2026"), nullptr);
}

} // namespace
