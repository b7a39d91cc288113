// ".tset" files: every stored field comes back; a malformed file changes
// nothing; the calendar text of "Select a Month".
#include "editor/retouch/MonthCalendar.h"
#include "editor/retouch/TextSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class TextSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("quillo-tset-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }

    static TextSettings Changed()
    {
        TextSettings s;
        s.layerMode = 8;
        s.layerOpacity = 17;
        OverlayEffects& e = s.effects;
        e.shadowOn = 1;
        e.shadowX = -64;
        e.shadowY = 33;
        e.shadowBlur = 32;
        const BYTE shadow[4] = {1, 2, 3, 4}, emission[4] = {5, 6, 7, 8};
        std::memcpy(e.shadowColour, shadow, 4);
        e.embossOn = 1;
        e.embossDepth = 32;
        e.embossBlur = 7;
        e.embossOpacity = 0;
        e.emissionOn = 1;
        e.emissionDepth = 9;
        e.emissionBlur = 0;
        std::memcpy(e.emissionColour, emission, 4);
        std::strcpy(s.faceName, "DejaVu Sans Mono");
        s.italic = 1;
        s.underline = 1;
        s.bold = 1;
        const BYTE text[4] = {10, 20, 30, 40};
        std::memcpy(s.textColour, text, 4);
        s.vertical = 1;
        s.alignment = 2;
        s.size = 200;
        return s;
    }

    std::filesystem::path dir;
};

TEST_F(TextSettingsTest, RoundTripRestoresEveryStoredFieldButNotTheDirection)
{
    TextSettings saved = Changed();
    saved.effects.embossDirection = 6;
    ASSERT_TRUE(SaveTextSettings(Path("a.tset").c_str(), saved));
    EXPECT_EQ(std::filesystem::file_size(Path("a.tset")), kTextSettingsFileSize);
    EXPECT_FALSE(std::filesystem::exists(Path("a.tset.tmp")));
    TextSettings loaded;
    loaded.effects.embossDirection = 3;
    ASSERT_TRUE(LoadTextSettings(Path("a.tset").c_str(), &loaded));
    EXPECT_EQ(loaded.effects.embossDirection, 3);  // not stored
    loaded.effects.embossDirection = 6;
    EXPECT_EQ(std::memcmp(&loaded, &saved, sizeof saved), 0);
}

TEST_F(TextSettingsTest, FieldsSitAtTheirOffsets)
{
    BYTE data[kTextSettingsFileSize];
    FormatTextSettings(Changed(), data);
    const auto at = [&](size_t o) {
        int32_t v;
        std::memcpy(&v, data + o, 4);
        return v;
    };
    EXPECT_EQ(at(0), 8);
    EXPECT_EQ(at(4), 17);
    EXPECT_EQ(at(20), 0x08070605);  // emission colour bytes
    EXPECT_EQ(at(52), -64);
    EXPECT_EQ(at(92), 100);
    EXPECT_STREQ(reinterpret_cast<const char*>(data + 96), "DejaVu Sans Mono");
    EXPECT_EQ(at(96 + 84), 2);
    EXPECT_EQ(at(96 + 88), 200);
    for (size_t o : {60, 76, 88, 96 + 92})
        EXPECT_EQ(at(o), 0) << o;
}

// Each malformed file is refused and leaves every setting as it was.
TEST_F(TextSettingsTest, MalformedFilesChangeNothing)
{
    BYTE good[kTextSettingsFileSize];
    FormatTextSettings(Changed(), good);
    const auto withInt = [&](size_t offset, int32_t value) {
        std::vector<BYTE> b(good, good + sizeof good);
        std::memcpy(b.data() + offset, &value, 4);
        return b;
    };
    std::vector<BYTE> noNul(good, good + sizeof good);
    std::memset(noNul.data() + 96, 'A', 64);
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"short", std::vector<BYTE>(good, good + 150)},
        {"empty", {}},
        {"length 99", withInt(92, 99)},
        {"no NUL", noNul},
        {"mode 9", withInt(0, 9)},
        {"opacity 256", withInt(4, 256)},
        {"size 0", withInt(96 + 88, 0)},
        {"size 201", withInt(96 + 88, 201)},
        {"alignment 3", withInt(96 + 84, 3)},
        {"emboss depth 0", withInt(32, 0)},
        {"shadow x 65", withInt(52, 65)},
        {"emission blur 33", withInt(40, 33)},
    };
    const TextSettings before;
    for (const auto& c : cases) {
        const std::string path = Path("bad.tset");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(c.bytes.data()),
                                                   static_cast<std::streamsize>(c.bytes.size()));
        TextSettings s = before;
        EXPECT_FALSE(LoadTextSettings(path.c_str(), &s)) << c.name;
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << c.name;
    }
    TextSettings s;
    EXPECT_FALSE(LoadTextSettings(Path("missing.tset").c_str(), &s));
}

TEST_F(TextSettingsTest, FailedSaveKeepsTheOldFile)
{
    const std::string path = Path("keep.tset");
    ASSERT_TRUE(SaveTextSettings(path.c_str(), Changed()));
    // A folder where the temporary file would go makes the write fail.
    std::filesystem::create_directory(path + ".tmp");
    EXPECT_FALSE(SaveTextSettings(path.c_str(), TextSettings{}));
    TextSettings loaded;
    ASSERT_TRUE(LoadTextSettings(path.c_str(), &loaded));
    EXPECT_EQ(loaded.size, 200);
}

std::vector<std::string> Rows(const std::string& text)
{
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        rows.push_back(text.substr(start, at - start));
    rows.push_back(text.substr(start));
    return rows;
}

TEST(MonthCalendarTest, FebruaryTwentyTwentySixHasFourFullWeeks)
{
    EXPECT_EQ(WeekdayOf(2026, 2, 1), 0);
    const std::vector<std::string> rows = Rows(MonthCalendarText(2026, 2, true));
    ASSERT_EQ(rows.size(), 7u);  // header, empty line, four weeks, nothing after the last break
    EXPECT_EQ(rows[0], "SUN  MON  TUE  WED  THU  FRI  SAT ");
    EXPECT_EQ(rows[1], "");
    EXPECT_EQ(rows[2], "  1    2    3    4    5    6    7  ");
    EXPECT_EQ(rows[5], " 22   23   24   25   26   27   28  ");
    EXPECT_EQ(rows[6], "");
}

TEST(MonthCalendarTest, AMonthStartingOnSaturdayBreaksAfterItsFirstDay)
{
    EXPECT_EQ(WeekdayOf(2025, 11, 1), 6);
    const std::vector<std::string> rows = Rows(MonthCalendarText(2025, 11, true));
    EXPECT_EQ(rows[2], std::string(30, ' ') + "  1  ");
    EXPECT_EQ(rows[3].substr(0, 5), "  2  ");
    EXPECT_EQ(rows.back(), " 30  ");  // a Sunday, alone on the last row
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_NE(MonthCalendarText(2026, 2, false).substr(0, 3), "SUN");
}

}  // namespace
