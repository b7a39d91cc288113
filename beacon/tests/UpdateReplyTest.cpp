// The reply grammar: lines, tokens, records and the list they fill.
#include "beacon/UpdateReply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using beacon::ParseUpdateList;
using beacon::UpdateItem;
using beacon::UpdateRow;

struct TableSink : beacon::UpdateListSink {
    void DeleteAllRows() override { rows.clear(); }
    void AddRow(int index, const UpdateRow& row) override
    {
        EXPECT_EQ(index, static_cast<int>(rows.size()));
        rows.push_back(row);
    }
    std::vector<UpdateRow> rows;
};

struct ListCase {
    const char* name;
    std::string reply;
    bool accepted;
    std::string status;  // when rejected
    std::vector<std::vector<std::string>> rows;  // contents, type, size, time
};

class ReplyLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(ReplyLists, ParseAsWritten)
{
    const ListCase& c = GetParam();
    std::vector<UpdateItem> items(3);  // an earlier reply's records go
    TableSink sink;
    sink.rows.resize(2);
    const auto outcome = ParseUpdateList(c.reply.c_str(), items, sink);
    EXPECT_EQ(outcome.accepted, c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(outcome.status, c.status);
    }
    ASSERT_EQ(sink.rows.size(), c.rows.size());
    EXPECT_EQ(items.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        EXPECT_EQ(sink.rows[i].contents, c.rows[i][0]);
        EXPECT_EQ(sink.rows[i].type, c.rows[i][1]);
        EXPECT_EQ(sink.rows[i].size, c.rows[i][2]);
        EXPECT_EQ(sink.rows[i].time, c.rows[i][3]);
        EXPECT_EQ(sink.rows[i].image, items[i].type);
    }
}

const std::string kLong513(513, 'x');
const std::string kLongLine = "a,b,1,t,1,2," + std::string(505, 'd') + "," + std::string(510, 'e') + ",x";
const std::string kHash = "9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08";

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyLists,
    ::testing::Values(
        ListCase{"Empty", "", true, "", {}},
        ListCase{"BlanksAndLineEnds", "  \r\n\r\n  \n", true, "", {}},
        ListCase{"NoNewUpdates", "No new updates", false, "No new updates", {}},
        ListCase{"SixTokenFrame", "Frame 1,files/a.frm,12.5,2008-01-05,77,2", true, "",
                 {{"Frame 1", "Frame", "12.5KB", "2008-01-05"}}},
        ListCase{"QuotedComma", "'A, B',u,1,t,9,0,''", true, "", {{"A, B", "", "", ""}}},
        ListCase{"LinkRow", "News,http://x.invalid/n,0,2008-1-1,5,1,Read it", true, "",
                 {{"News  [Doubleclick To Know More]", "Link", "", ""}}},
        ListCase{"ThreeCharacterLineEndsReading", "Frame 1,a.frm,1,t,1,2\r\nabc\r\nbad line", true, "",
                 {{"Frame 1", "Frame", "1.0KB", "t"}}},
        ListCase{"TokenOf513Rejected", "a,b,1,t,1,2," + kLong513, false, "a,b,1,t,1,2," + kLong513, {}},
        ListCase{"TokenOf512Kept", "a,b,1,t,1,2," + std::string(512, 'y'), true, "", {{"a", "Frame", "1.0KB", "t"}}},
        ListCase{"MarkupLinesSkippedButCounted", "<html>\r\nnot a record\r\n</html>", false, "Error Occurs!", {}},
        ListCase{"MarkupAroundRecords", "<div>\r\nx,y.cth,2,t,3,4\r\n<br/>", true, "", {{"x", "ColorTheme", "2.0KB", "t"}}},
        ListCase{"SecondLineRejected", "a,b,1,t,1,2\r\nfive tokens,b,1,t,1", false, "Error Occurs!", {}},
        ListCase{"LineOver1023Rejected", kLongLine, false, kLongLine, {}},
        ListCase{"OverlongUrlRejected", "a," + std::string(256, 'u') + ",1,t,1,2", false,
                 "a," + std::string(256, 'u') + ",1,t,1,2", {}},
        ListCase{"OverlongItemIdRejected", "a,b,1,t," + std::string(24, 'i') + ",2", false,
                 "a,b,1,t," + std::string(24, 'i') + ",2", {}},
        ListCase{"UnknownTypeHasNoTypeText", "a,b.bin,3.25,t,1,9", true, "", {{"a", "", "3.2KB", "t"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateReply, Utf8TitleKeepsItsBytesAndCommaAfterItSplits)
{
    std::vector<UpdateItem> items;
    ASSERT_TRUE(beacon::ParseUpdateRecord("Rahmen gr\xC3\xBCn,b.frm,1,t,1,2,Sch\xC3\xB6n", items));
    EXPECT_STREQ(items[0].title, "Rahmen gr\xC3\xBCn");
    EXPECT_STREQ(items[0].url, "b.frm");
    EXPECT_STREQ(items[0].description, "Sch\xC3\xB6n");
    // A lead byte right before the comma does not swallow it.
    ASSERT_TRUE(beacon::ParseUpdateRecord("\xC3,u,1,t,1,2", items));
    EXPECT_STREQ(items[1].url, "u");
}

TEST(UpdateReply, FieldsAreCutAtTheirCapacity)
{
    std::vector<UpdateItem> items;
    const std::string title = std::string(254, 't') + "\xC3\xBC" + "zz";  // the cut falls inside the ü
    ASSERT_TRUE(beacon::ParseUpdateRecord("'" + title + "',u,1," + std::string(40, 'm') + ",id,2," +
                                              std::string(510, 'd'),
                                          items));
    EXPECT_EQ(std::string(items[0].title), std::string(254, 't'));
    EXPECT_EQ(std::string(items[0].timeText), std::string(31, 'm'));
    EXPECT_EQ(std::string(items[0].description).size(), 510u);
}

TEST(UpdateReply, EighthTokenIsTheDigestWhenItIsOne)
{
    std::vector<UpdateItem> items;
    ASSERT_TRUE(beacon::ParseUpdateRecord("a,b.frm,1,t,1,2,d," + kHash + ",later", items));
    ASSERT_TRUE(beacon::ParseUpdateRecord("a,b.frm,1,t,1,2,d,nothex", items));
    ASSERT_TRUE(beacon::ParseUpdateRecord("a,b.frm,1,t,1,2", items));
    std::string lower = kHash;
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(std::string(items[0].sha256), lower);
    EXPECT_STREQ(items[1].sha256, "");
    EXPECT_STREQ(items[2].sha256, "");
    EXPECT_STREQ(items[2].description, "");
}

TEST(UpdateReply, TokensAndLines)
{
    std::string tok;
    const char* text = ",,a'b,c'd,e";
    const char* end = beacon::ReadReplyToken(text, tok);
    EXPECT_EQ(tok, "ab,cd");
    EXPECT_EQ(*end, ',');
    end = beacon::ReadReplyToken(end, tok);
    EXPECT_EQ(tok, "e");
    EXPECT_EQ(*end, '\0');
    // A comma at the very end adds one empty token: six tokens.
    std::vector<UpdateItem> items;
    EXPECT_TRUE(beacon::ParseUpdateRecord("a,b,1,t,9,", items));
    EXPECT_FALSE(beacon::ParseUpdateRecord("a,b,1,t,9", items));

    const char* cursor = " \r\n line one\r\nxy";
    std::string line;
    EXPECT_TRUE(beacon::ReadReplyLine(cursor, line));
    EXPECT_EQ(line, "line one");
    EXPECT_FALSE(beacon::ReadReplyLine(cursor, line));
    EXPECT_EQ(line, "xy");
}

} // namespace
