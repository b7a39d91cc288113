// The parameter description and the value text as one table: each row is a
// description, whether it parses, the rows it makes and the value text of
// its initial values.
#include "editor/ui/EffectDescription.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParsedDescription {
    std::vector<EffectParam*> params;
    EffectOptionTable options;
    bool ok = false;

    explicit ParsedDescription(const std::string& text) { ok = ParseEffectDescription(text.c_str(), &params, &options); }
    ~ParsedDescription() { DeleteEffectParams(&params); }

    // One letter per parameter: I integer, S text, E choice, C caption.
    std::string Shape() const
    {
        std::string shape;
        for (EffectParam* p : params)
            shape += p->state == EffectParam::kCaption ? 'C' : p->kind == 4 ? 'I' : p->kind == 2 ? 'E' : 'S';
        return shape;
    }
};

struct Case {
    const char* name;
    std::string description;
    bool ok;
    const char* shape;
    const char* values;
};

std::string Repeat(char c, size_t n) { return std::string(n, c); }

std::string Enums(int count)
{
    std::string text;
    for (int k = 0; k < count; ++k)
        text += "enum 'e" + std::to_string(k) + "'{0,'a','b'};";
    return text;
}

const Case kCases[] = {
    {"example", "int 'Radius'{1,128,64};int 'Amount'{0,100,50};enum 'process color'{0,'true','false'};", true, "IIE",
     "'Radius'='64';'Amount'='50';'process color'='0';"},
    {"caption row writes nothing", "bar 'Colours';", true, "C", ""},
    {"caption kind without regard to case, rest unread", "BaR 'Top' {junk;int 'a'{0,9,1};", true, "CI", "'a'='1';"},
    {"kind word without regard to case, blanks dropped", "INT 'x'{0, 10, 5};", true, "I", "'x'='5';"},
    {"blanks inside an unquoted value dropped", "int 'x'{0,1 0,- 3};", true, "I", "'x'='-3';"},
    {"last statement without semicolon", "int 'x'{0,10,5}", true, "I", "'x'='5';"},
    {"line breaks anywhere dropped", "in\r\nt 'x'{0,\n10,5};\nint 'y'{0,3,2};\n", true, "II", "'x'='5';'y'='2';"},
    {"blanks and quotes after the name skipped", "int 'x'' ' {0,10,5};", true, "I", "'x'='5';"},
    {"commas before values skipped", "int 'x'{,,0,,10,,5,};", true, "I", "'x'='5';"},
    {"Int with two values", "Int 'x'{0,10};", false, "", ""},
    {"Int with four values", "Int 'x'{0,10,5,6};", false, "", ""},
    {"Int without braces", "Int 'x'0,10,5;", false, "", ""},
    {"missing closing brace", "int 'x'{0,10,5;", false, "", ""},
    {"missing closing brace at the end", "int 'x'{0,10,5", false, "", ""},
    {"enum selects by index", "enum 'e'{1,'a','b'};", true, "E", "'e'='1';"},
    {"enum with one option too few", "enum 'e'{1,'a'};", false, "", ""},
    {"enum with an empty option", "enum 'e'{0,'','b'};", true, "E", "'e'='0';"},
    {"string keeps the backslash and quotes again", "string 's'{0,'it\\'s'};", true, "S", "'s'='it\\\\'s';"},
    {"string may hold a semicolon", "string 's'{x,'a;b'};int 'n'{0,5,1};", true, "SI", "'s'='a;b';'n'='1';"},
    {"string empty value", "string 's'{0,''};", true, "S", "'s'='';"},
    {"string with one value", "string 's'{'x'};", false, "", ""},
    {"string with three values", "string 's'{0,'a','b'};", false, "", ""},
    {"quoted value followed by other text", "string 's'{0,'a'b};", false, "", ""},
    {"unterminated quoted value", "string 's'{0,'abc", false, "", ""},
    {"unknown kind accepted, makes nothing", "foo 'x'{1};", true, "", ""},
    {"unknown kind with a broken list fails", "foo 'x'{1;", false, "", ""},
    {"empty text", "", false, "", ""},
    {"empty statement", "int 'x'{0,10,5};;int 'y'{0,10,5};", false, "", ""},
    {"leading semicolon", ";int 'x'{0,10,5};", false, "", ""},
    {"no blank after the kind word", "int'x'{0,10,5};", false, "", ""},
    {"name without opening quote", "int x{0,10,5};", false, "", ""},
    {"name not closed", "int 'x{0,10,5}", false, "", ""},
    {"semicolon inside the name", "int 'a;b'{0,10,5};", false, "", ""},
    {"error after good statements fails the whole", "int 'x'{0,10,5};Int 'y'{0};", false, "", ""},
    {"kind word of 31", Repeat('k', 31) + " 'x'{1};", true, "", ""},
    {"kind word of 32", Repeat('k', 32) + " 'x'{1};", false, "", ""},
    {"name of 31", "int '" + Repeat('n', 31) + "'{0,10,5};", true, "I", nullptr},
    {"name of 32", "int '" + Repeat('n', 32) + "'{0,10,5};", false, "", ""},
    {"quoted value of 127", "string 's'{0,'" + Repeat('v', 127) + "'};", true, "S", nullptr},
    {"quoted value of 128", "string 's'{0,'" + Repeat('v', 128) + "'};", false, "", ""},
    {"unquoted value of 128", "foo 's'{" + Repeat('1', 128) + "};", false, "", ""},
    {"option text of 127", "enum 'e'{0,'" + Repeat('a', 62) + "','" + Repeat('b', 63) + "'};", true, "E", "'e'='0';"},
    {"option text of 128", "enum 'e'{0,'" + Repeat('a', 63) + "','" + Repeat('b', 63) + "'};", false, "", ""},
    {"32 enum statements", Enums(32), true, "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE", nullptr},
    {"33 enum statements", Enums(33), false, "", ""},
    {"huge integer saturates", "int 'x'{0,99999999999,-99999999999};", true, "I", "'x'='-2147483648';"},
};

class EffectDescriptionTable : public ::testing::TestWithParam<Case> {};

TEST_P(EffectDescriptionTable, ParsesAndWritesValues)
{
    const Case& c = GetParam();
    ParsedDescription parsed(c.description);
    ASSERT_EQ(parsed.ok, c.ok);
    EXPECT_EQ(parsed.Shape(), c.shape);
    if (c.values) {
        EXPECT_EQ(FormatEffectValues(parsed.params), c.values);
    }
    if (!c.ok) {
        EXPECT_EQ(parsed.options.Count(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EffectDescriptionTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(EffectDescription, ExampleParametersCarryRangesAndOptions)
{
    ParsedDescription parsed("int 'Radius'{1,128,64};enum 'process color'{0,'true','false'};bar 'Colours';");
    ASSERT_TRUE(parsed.ok);
    auto* radius = dynamic_cast<IntParam*>(parsed.params[0]);
    ASSERT_NE(radius, nullptr);
    EXPECT_EQ(radius->label, "Radius");
    EXPECT_EQ(radius->minimum, 1);
    EXPECT_EQ(radius->maximum, 128);
    EXPECT_EQ(radius->number, 64);
    EXPECT_TRUE(radius->IsValid(127));
    EXPECT_FALSE(radius->IsValid(128));  // the maximum itself is not valid
    EXPECT_FALSE(radius->IsValid(0));
    auto* colour = dynamic_cast<EnumParam*>(parsed.params[1]);
    ASSERT_NE(colour, nullptr);
    EXPECT_STREQ(colour->options, "true;false;");
    char text[256];
    EXPECT_STREQ(colour->Format(text), "true");
    EXPECT_EQ(parsed.params[2]->label, "Colours");
    EXPECT_EQ(parsed.params[2]->kind, 1);
}

TEST(EffectDescription, EnumSelectsTheIndexedItem)
{
    ParsedDescription parsed("enum 'e'{1,'a','b'};");
    ASSERT_TRUE(parsed.ok);
    char text[256];
    EXPECT_STREQ(parsed.params[0]->Format(text), "b");
}

// The value text grows past the 255 characters of the old fixed buffer.
TEST(EffectDescription, ValueTextIsNotCutAtAnyLength)
{
    std::string description;
    for (int k = 0; k < 8; ++k)
        description += "string 's" + std::to_string(k) + "'{0,'" + std::string(100, 'q') + "'};";
    ParsedDescription parsed(description);
    ASSERT_TRUE(parsed.ok);
    const std::string values = FormatEffectValues(parsed.params);
    EXPECT_EQ(values.size(), 8u * (1 + 2 + 3 + 100 + 2));  // 's0'='q...';
    EXPECT_EQ(values.substr(values.size() - 4), "qq';");
}

// A failed parse appends nothing to a list that already holds parameters and
// leaves the options of the earlier parse in place.
TEST(EffectDescription, FailureKeepsEarlierContent)
{
    std::vector<EffectParam*> params;
    EffectOptionTable options;
    ASSERT_TRUE(ParseEffectDescription("enum 'a'{0,'x','y'};", &params, &options));
    EXPECT_FALSE(ParseEffectDescription("enum 'b'{0,'x','y'};int 'c'{1};", &params, &options));
    EXPECT_EQ(params.size(), 1u);
    EXPECT_EQ(options.Count(), 1);
    DeleteEffectParams(&params);
}

}  // namespace
