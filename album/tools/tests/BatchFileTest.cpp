// Batch files: the exact bytes of a saved chain and the parser's answers to
// good, odd and broken files.
#include "album/tools/BatchFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace shelf;

namespace {

struct Param {
    uint32_t kind;
    std::string name, value;
};

void Put32(std::vector<BYTE>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

void PutText(std::vector<BYTE>& out, const std::string& s)
{
    out.push_back(static_cast<BYTE>(s.size()));
    out.push_back(static_cast<BYTE>(s.size() >> 8));
    out.insert(out.end(), s.begin(), s.end());
}

std::vector<BYTE> Record(uint32_t id, const std::vector<Param>& params)
{
    std::vector<BYTE> r;
    Put32(r, 0);
    Put32(r, id);
    r.push_back(static_cast<BYTE>(params.size()));
    for (const Param& p : params) {
        Put32(r, p.kind);
        PutText(r, p.name);
        PutText(r, p.value);
    }
    const uint32_t n = static_cast<uint32_t>(r.size());
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<BYTE>(n >> (8 * i));
    return r;
}

std::vector<BYTE> Join(std::initializer_list<std::vector<BYTE>> parts)
{
    std::vector<BYTE> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const std::vector<Param> kSaveDefaults = {
    {2, "Format", "Jpeg"},
    {4, "Quality if JPEG", "95"},
    {2, "Keep EXIF info", "true"},
    {2, "High Quality Color(Large Size)", "true"},
    {2, "Rename only", "No"},
};

class BatchFileTest : public ::testing::Test {
protected:
    void SetUp() override { BuildActionTable("/nonexistent-quillo-program/", table, resources); }
    std::vector<int> Selected() const
    {
        std::vector<int> ids;
        for (const auto& a : table)
            if (a.selected)
                ids.push_back(a.id);
        return ids;
    }
    ActionTable table;
    BatchResources resources;
};

TEST_F(BatchFileTest, RotateLeftAndSaveGiveTheExactBytes)
{
    FindAction(table, kRotateLeft)->selected = 1;
    const auto bytes = SerializeBatch(table);
    const auto expected = Join({Record(0, {}), Record(19, kSaveDefaults)});
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size() >= 9 ? bytes[0] : 0, 9);
}

TEST_F(BatchFileTest, HeadingRowsAreNotWrittenAndResizeRoundTrips)
{
    BatchAction* resize = FindAction(table, kResizeByLongSide);
    resize->selected = 1;
    static_cast<IntParam*>(resize->Find("Long side"))->number = 1600;
    static_cast<EnumParam*>(resize->Find("Enlarge: Keep Edge"))->index = 1;
    const auto bytes = SerializeBatch(table);
    const auto expected = Join({Record(6, {{0, "Long side", "1600"}, {2, "Enlarge: Keep Edge", "false"},
                                           {4, "Scale down: Details", "90"}, {4, "Scale down: Sharpen", "20"}}),
                                Record(19, kSaveDefaults)});
    EXPECT_EQ(bytes, expected);

    ActionTable fresh;
    BatchResources res;
    BuildActionTable("/nonexistent-quillo-program/", fresh, res);
    ASSERT_EQ(ParseBatchFile(fresh, bytes.data(), bytes.size()), 1);
    EXPECT_EQ(FindAction(fresh, kResizeByLongSide)->Int("Long side"), 1600);
    EXPECT_EQ(FindAction(fresh, kResizeByLongSide)->Index("Enlarge: Keep Edge"), 1);
    EXPECT_TRUE(FindAction(fresh, kSave)->selected);
}

struct ParseCase {
    const char* name;
    std::vector<BYTE> bytes;
    int result;
    std::vector<int> selected;
};

std::vector<BYTE> Cut(std::vector<BYTE> bytes, size_t drop)
{
    bytes.resize(bytes.size() - drop);
    return bytes;
}

std::vector<BYTE> WithLength(std::vector<BYTE> record, uint32_t length)
{
    for (int i = 0; i < 4; ++i)
        record[i] = static_cast<BYTE>(length >> (8 * i));
    return record;
}

std::vector<ParseCase> ParseCases()
{
    const auto save = Record(19, kSaveDefaults);
    const auto rotate = Record(0, {});
    const auto quality = [](const char* v) { return Record(19, {{4, "Quality if JPEG", v}}); };
    // A name length that runs past the record's end.
    auto longName = Record(10, {{4, "Amount", "50"}});
    longName[9 + 4] = 0x40;
    // The value's length runs past the end of the file, inside a record
    // that claims to be shorter.
    auto longValue = Record(10, {{4, "Amount", "50"}});
    longValue[9 + 4 + 2 + 6] = 0xFF;
    return {
        {"QualityAtItsTopLoads", quality("100"), 1, {19}},
        {"QualityAboveItsTopFails", quality("101"), 0, {}},
        {"QualityAtItsBottomLoads", quality("1"), 1, {19}},
        {"ListValueInOtherCaseLoads", Record(19, {{2, "format", "JPEG"}}), 1, {19}},
        {"UnknownListItemFails", Record(19, {{2, "Format", "Gif"}}), 0, {}},
        {"WideIntegerHasNoRange", Record(6, {{0, "Long side", "99999"}}), 1, {6}},
        {"KindMustMatch", Record(6, {{4, "Long side", "800"}}), 0, {}},
        {"UnknownParameterFails", Record(0, {{4, "Angle", "3"}}), 0, {}},
        {"UnknownActionFails", Record(77, {}), 0, {}},
        {"TruncatedLastRecordKeepsTheEarlierOnes", Join({rotate, Cut(save, 5)}), 1, {0}},
        {"FirstRecordLongerThanTheFileSelectsNothing", Cut(save, 1), 1, {}},
        {"EmptyFileIsBad", {}, 0, {}},
        {"ThreeBytesAreBad", {9, 0, 0}, 0, {}},
        {"RecordOfLengthZeroIsBad", Join({rotate, WithLength(rotate, 0)}), 0, {}},
        {"RecordShorterThanItsHeadIsBad", WithLength(rotate, 8), 0, {}},
        {"RecordNotCoveringItsEntriesIsBad", Join({WithLength(Record(10, {{4, "Amount", "50"}}), 20), rotate}), 0, {}},
        {"NamePastTheRecordIsBad", Join({longName, rotate}), 0, {}},
        {"ValuePastTheFileIsBad", longValue, 0, {}},
        {"RecordLongerThanItsEntriesIsBad", Join({WithLength(Join({rotate, {0}}), 10)}), 0, {}},
    };
}

class BatchParseTest : public BatchFileTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(BatchParseTest, Parses)
{
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseBatchFile(table, c.bytes.data(), c.bytes.size()), c.result);
    EXPECT_EQ(Selected(), c.selected);
}

INSTANTIATE_TEST_SUITE_P(Files, BatchParseTest, ::testing::ValuesIn(ParseCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchFileTest, AFailedLoadDeselectsEverythingButKeepsTakenValues)
{
    const auto bytes = Join({Record(10, {{4, "Amount", "33"}}), Record(19, {{2, "Format", "Gif"}})});
    EXPECT_EQ(ParseBatchFile(table, bytes.data(), bytes.size()), 0);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(FindAction(table, kDefog)->Int("Amount"), 33);
}

TEST_F(BatchFileTest, SavesThroughATemporaryFileAndLoadsBack)
{
    const std::string folder = "/tmp/quillo-batchfile-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/chain.qlbat";
    FindAction(table, kGrayscale)->selected = 1;
    ASSERT_EQ(SaveBatchFile(table, path), BatchFileResult::Ok);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);

    ActionTable other;
    BatchResources res;
    BuildActionTable("/nonexistent-quillo-program/", other, res);
    EXPECT_EQ(LoadBatchFile(other, path), BatchFileResult::Ok);
    EXPECT_TRUE(FindAction(other, kGrayscale)->selected);
    EXPECT_EQ(LoadBatchFile(other, folder + "/missing.qlbat"), BatchFileResult::CannotOpen);
    EXPECT_EQ(SaveBatchFile(table, folder + "/no/such/dir.qlbat"), BatchFileResult::CannotOpen);
    std::filesystem::remove_all(folder);
}

TEST_F(BatchFileTest, TableHoldsTheActionsInDisplayOrderWithSaveSelected)
{
    std::vector<int> ids;
    for (const auto& a : table)
        ids.push_back(a.id);
    // No frame library and no themes here: 16 and 17 are left out.
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 20, 13, 14, 15, 18, 21, 19}));
    EXPECT_EQ(Selected(), std::vector<int>{19});
    EXPECT_EQ(FindAction(table, kAddDate)->Find("Order")->Text(), "MDY");
    EXPECT_EQ(FindAction(table, kSaveForWeb)->Find("Jpeg scheme")->Text(), "");
    EXPECT_FALSE(FindAction(table, kSave)->Find("Quality if JPEG")->Applies() == false);
    static_cast<EnumParam*>(FindAction(table, kSave)->Find("Format"))->index = 1;
    EXPECT_FALSE(FindAction(table, kSave)->Find("Quality if JPEG")->Applies());
}

} // namespace
