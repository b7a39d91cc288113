// The frame of both plug-ins: the value-text parser, and the modules as the
// host meets them (kind, record fill in both languages, one export).
#include "EffectTestSupport.h"

#include "plugins/PluginInterface.h"
#include "plugins/effects/PluginFilter.h"
#include "platform/win/Library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Records what the parser hands over; refuses the name "Stop".
class RecordingFilter : public PluginFilter {
public:
    int SetParam(const char* name, const char* value) override
    {
        if (std::string(name) == "Stop")
            return 0;
        got.emplace_back(name, value);
        return 1;
    }
    Pairs got;
};

struct ParseCase {
    const char* label;
    std::string text;
    bool ok;
    Pairs expected; // what reached SetParam before the parse ended
};

TEST(ValueTextParser, CasesOfTheFormat)
{
    const std::string long126(126 - 6, 'x'); // "'N'='" + x + "'" is 126 long
    const ParseCase cases[] = {
        {"empty", "", false, {}},
        {"no trailing semicolon", "'Radius'='64'", true, {{"Radius", "64"}}},
        {"unquoted value", "'Radius'=64", false, {}},
        {"semicolon inside quotes", "'Name'='a;b';", true, {{"Name", "a;b"}}},
        {"escaped quote", "'Name'='it\\'s;x';'B'='2';", true, {{"Name", "it\\'s;x"}, {"B", "2"}}},
        {"trailing semicolon", "'A'='1';'B'='2';", true, {{"A", "1"}, {"B", "2"}}},
        {"two items, no semicolon", "'A'='1';'B'='2'", true, {{"A", "1"}, {"B", "2"}}},
        {"empty item after", "'A'='1';;", false, {{"A", "1"}}},
        {"no equals", "'A''1';", false, {}},
        {"refused name", "'Stop'='1';'B'='2';", false, {}},
        {"item of 127", "'N'='" + long126 + "x'", true, {{"N", long126 + "x"}}},
        {"item of 128", "'N'='" + long126 + "xx'", false, {}},
        {"name of 31", "'" + std::string(31, 'n') + "'='1'", true, {{std::string(31, 'n'), "1"}}},
        {"name of 32", "'" + std::string(32, 'n') + "'='1'", false, {}},
        {"value of 128", "'V'='" + std::string(128, 'v') + "'", false, {}},
    };
    for (const ParseCase& c : cases) {
        RecordingFilter filter;
        EXPECT_EQ(ParseValueText(c.text.c_str(), &filter) == 0, c.ok) << c.label;
        EXPECT_EQ(filter.got, c.expected) << c.label;
        // The base Apply is the parse.
        RecordingFilter again;
        EXPECT_EQ(again.Apply(c.text.c_str()) == 0, c.ok) << c.label;
    }
}

TEST(ValueTextParser, BaseFilterAcceptsEveryName)
{
    PluginFilter filter;
    EXPECT_EQ(filter.SetParam("anything", "1"), 1);
    EXPECT_EQ(filter.Apply("'x'='1';'y'='2';"), 0);
}

struct ModuleCase {
    const char* file;
    const char* english;
    const char* englishSpec;
    const char* chinese;
};

TEST(EffectModules, AnswerTheHostInBothLanguages)
{
    const ModuleCase modules[] = {
        {"QuilloFx.qli", "Sci-fi",
         "int 'Radius'{1,128,64};int 'Amount'{0,100,50};enum 'process color'{0,'true','false'};", "科幻"},
        {"QuilloDroplet.qli", "Rain on glass",
         "int 'Rain Amount'{0,100,50};int 'Radius'{0,100,75};int 'Fog'{0,100,0};", "玻璃上的雨"},
    };
    for (const ModuleCase& m : modules) {
        HMODULE module = LoadLibraryA((effecttest::CreativeDir() + "/" + m.file).c_str());
        ASSERT_NE(module, nullptr) << m.file;
        auto entry = reinterpret_cast<PluginEntryFunction>(GetProcAddress(module, "PluginEntry"));
        ASSERT_NE(entry, nullptr) << m.file;
        // Nothing else is visible from outside.
        EXPECT_EQ(GetProcAddress(module, "kSciFiEnglish"), nullptr);
        EXPECT_EQ(GetProcAddress(module, "kRainEnglish"), nullptr);
        int kind = -1;
        EXPECT_EQ(entry(kPluginQueryKind, nullptr, &kind), 0);
        EXPECT_EQ(kind, kPluginKindEffect) << m.file;
        for (int32_t charset : {0, 7, 134}) {
            EffectRecord record{};
            record.charset = charset;
            record.ownUI = 5;
            EXPECT_EQ(entry(kPluginFillRecord, &record, nullptr), 0);
            EXPECT_STREQ(record.name, charset == 134 ? m.chinese : m.english) << m.file << charset;
            EXPECT_EQ(record.ownUI, 0);
            EXPECT_EQ(record.reserved, 1);
            EXPECT_NE(record.apply, nullptr);
            EXPECT_EQ(record.runOwnUI, nullptr);
            EXPECT_GT(std::strlen(record.description), 10u);
            if (charset != 134)
                EXPECT_STREQ(record.paramSpec, m.englishSpec);
            else
                EXPECT_EQ(std::string(record.paramSpec).find('\''), std::string(m.englishSpec).find('\''))
                    << "same statements, Chinese labels";
        }
        // Any other message leaves the record alone and still answers 0.
        EffectRecord untouched{};
        kind = -1;
        for (int msg : {1, 3, 99}) {
            EXPECT_EQ(entry(msg, &untouched, &kind), 0);
            EXPECT_EQ(kind, -1);
            EXPECT_EQ(untouched.apply, nullptr);
            EXPECT_EQ(untouched.name[0], 0);
        }
        EXPECT_TRUE(FreeLibrary(module));
    }
}

} // namespace
