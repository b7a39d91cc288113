#include "develop/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* name;
    std::string line;
    develop::CommandLineValues expected;
};

const std::string kLongPath = "/photos/" + std::string(592, 'a');

const Case kCases[] = {
    {"QuotedPathsWithBlanks", R"(-i "/my photos/IMG 1.CR2" -o "/tmp/out put.jpg")",
     {"/my photos/IMG 1.CR2", "/tmp/out put.jpg", "", ""}},
    {"LeadingAndRepeatedBlanks", "   -f    /albums/raw   ", {"", "", "", "/albums/raw"}},
    {"UpperCaseOptionIgnoredWithItsValue", "-I a.nef -o b.jpg", {"", "b.jpg", "", ""}},
    {"ValueBeforeAnyOptionIgnored", "stray -b 7", {"", "", "7", ""}},
    {"UnclosedQuoteStoresNothing", R"(-o out.jpg -i "/no/close)", {"", "out.jpg", "", ""}},
    {"UnclosedQuoteEndsParsing", R"(-i "open -o x.jpg)", {}},
    {"OptionTakesAnOptionAsItsValue", "-o -i in.cr2", {"", "-i", "", ""}},
    {"OptionAtTheEndStoresNothing", "-i a.cr2 -o", {"a.cr2", "", "", ""}},
    {"LastValueWins", "-i first.cr2 -i second.cr2", {"second.cr2", "", "", ""}},
    {"QuotedTokenNeedsNoBlankAfterIt", R"(-i "a b"-o c.jpg)", {"a b", "c.jpg", "", ""}},
    {"EmptyQuotedValue", R"(-o "" -i x.cr2)", {"x.cr2", "", "", ""}},
    {"TabIsNoBlank", "-i\ta.cr2", {}},
    {"LongPathKeptWhole", "-i \"" + kLongPath + "\"", {kLongPath, "", "", ""}},
    {"Empty", "", {}},
};

class CommandLineTest : public testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, Parses)
{
    const Case& c = GetParam();
    const develop::CommandLineValues v = develop::ParseCommandLine(c.line.c_str());
    EXPECT_EQ(v.input, c.expected.input);
    EXPECT_EQ(v.output, c.expected.output);
    EXPECT_EQ(v.batch, c.expected.batch);
    EXPECT_EQ(v.folder, c.expected.folder);
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(CommandLine, NullLineGivesNoValues)
{
    const develop::CommandLineValues v = develop::ParseCommandLine(nullptr);
    EXPECT_TRUE(v.input.empty() && v.output.empty() && v.batch.empty() && v.folder.empty());
}

} // namespace
