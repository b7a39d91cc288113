#include "album/tools/ExifStats.h"

#include "album/shell/tests/ShelfTestSupport.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "imagecore/ParallelFor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

using namespace shelf;

namespace {

// The labels and counts of a group after sorting.
std::vector<std::pair<std::string, int>> Rows(ExifStatsTable& table, int kind)
{
    table.Sort();
    std::vector<std::pair<std::string, int>> rows;
    for (const auto& e : table.Group(kind).entries)
        rows.emplace_back(StatsRowLabel(kind, e), e.count);
    return rows;
}

using RowList = std::vector<std::pair<std::string, int>>;

} // namespace

TEST(ExifStats, ValueClassesAndLabels)
{
    const struct {
        int kind;
        std::vector<double> values; // the record field of the group
        RowList rows;
    } cases[] = {
        {kByShutter, {0.001, 0.002, 1, 1.5, 0.05}, {{"<1/1000(s)", 1}, {"1/1000-1/100(s)", 1}, {"1/100-1/10(s)", 1},
                                                    {"0.1-1.0(s)", 1}, {">1(s)", 1}}},
        {kByDistance, {0.2, 30, 0.1, 0.99, 4, 9.9}, {{"<20cm", 1}, {"20-100cm", 2}, {"1-5m", 1}, {"5-10m", 1},
                                                    {">30m", 1}}},
        {kByFocal, {10, 10.5, 50, 5}, {{"1-10mm", 2}, {"10-20mm", 1}, {"40-50mm", 1}}},
        {kByIso, {6400, 100, 200, 100, 7000}, {{"ISO100", 2}, {"ISO200", 1}}},
        {kByAperture, {2.8, 2.82, 2.9}, {{"F2.8", 2}, {"F2.9", 1}}},
    };
    for (const auto& c : cases) {
        ExifStatsTable table;
        for (double v : c.values) {
            ExifFields f{};
            switch (c.kind) {
            case kByShutter: f.exposureTime = v; break;
            case kByDistance: f.subjectDistance = v; break;
            case kByFocal: f.focalLength = v; break;
            case kByIso: f.isoSpeed = static_cast<short>(v); break;
            default: f.fNumber = v; break;
            }
            table.Classify(f);
        }
        EXPECT_EQ(Rows(table, c.kind), c.rows) << table.Group(c.kind).name;
    }
}

TEST(ExifStats, TextGroups)
{
    ExifStatsTable table;
    const struct {
        const char* model;
        const char* software;
        const char* date;
    } photos[] = {
        {"B", "Quillo 3.1", "2005:07:14 10:00:00"}, {"A", "my quillo app", "2005:13:01 10:00:00"},
        {"b", "Quillo Shelf", "2004/12/31"},       {"A", "Other", "1900:01:01"},
        {"A", "", "2005-07-01"},
    };
    for (const auto& p : photos) {
        ExifFields f{};
        std::strcpy(f.model, p.model);
        std::strcpy(f.software, p.software);
        std::strcpy(f.dateTime, p.date);
        table.Classify(f);
    }
    EXPECT_EQ(Rows(table, kByCamera), (RowList{{"A", 3}, {"B", 2}}));
    EXPECT_EQ(Rows(table, kBySoftware), (RowList{{"Quillo", 2}, {"my quillo app", 1}, {"Other", 1}}));
    EXPECT_EQ(Rows(table, kByShotTime), (RowList{{"2004-12", 1}, {"2005-07", 2}}));
    EXPECT_EQ(ExifStatsTable::MonthOf("2005:07:14 10:00:00"), "2005-07");
    EXPECT_EQ(ExifStatsTable::MonthOf("2005:07"), "");
}

TEST(ExifStats, ScanCountsFoundAndCounted)
{
    shelftest::ScratchFolder root;
    exiftest::JpegWithExif(root.Path() + "a.jpg", {exiftest::Text(272, "CamA"), exiftest::Rational(33437, 28, 10)});
    shelftest::MakeFolder(root.Path() + "sub");
    exiftest::JpegWithExif(root.Path() + "sub/b.jpg", {exiftest::Text(272, "camb")});
    exiftest::SavePhoto(root.Path() + "sub/none.jpg");
    exiftest::SavePhoto(root.Path() + "sub/p.png");
    shelftest::MakeFolder(root.Path() + ".hidden");
    exiftest::JpegWithExif(root.Path() + ".hidden/c.jpg", {exiftest::Text(272, "CamA")});
    std::filesystem::create_directory_symlink(root.Path() + "sub", root.Path() + "link");
    std::filesystem::create_symlink(root.Path() + "a.jpg", root.Path() + "a-link.jpg");
    const struct {
        const char* filter;
        int found, counted;
    } cases[] = {{"", 3, 2}, {"CAMB", 3, 1}, {"none", 3, 0}};
    for (const auto& c : cases) {
        ExifStatsTable table;
        ExifScanCounts counts;
        std::atomic<bool> cancel{false};
        std::vector<std::string> statuses;
        ScanExifFolder(root.Path(), c.filter, table, counts, [&](const std::string& s) { statuses.push_back(s); },
                       cancel);
        EXPECT_EQ(counts.found.load(), c.found) << c.filter;
        EXPECT_EQ(counts.counted.load(), c.counted) << c.filter;
        EXPECT_EQ(statuses.size(), 2u);
        EXPECT_EQ(statuses.front(), root.Path() + "*.*");
    }
    ExifStatsTable table;
    ExifScanCounts counts;
    std::atomic<bool> cancel{true};
    ScanExifFolder(root.Path(), "", table, counts, {}, cancel);
    EXPECT_EQ(counts.found.load(), 0) << "a cancelled scan stops";
}

// More photos than one batch of the scan: every core reads, and the table is
// the one a single thread makes, row for row, ties and all.
TEST(ExifStats, ScanOnAllCoresMatchesOneThread)
{
    shelftest::ScratchFolder root;
    const char* const models[] = {"CamA", "CamB", "CamC"};
    const char* const software[] = {"Quillo 1", "Other", "Third"};
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "p%03d.jpg", i);
        exiftest::JpegWithExif(root.Path() + name,
                               {exiftest::Text(272, models[i % 3]), exiftest::Text(305, software[i % 3 == 0 ? 0 : i % 2 + 1]),
                                exiftest::Rational(33437, static_cast<DWORD>(10 + i % 7 * 8), 10),
                                exiftest::Short(34855, static_cast<WORD>(100 << (i % 4))),
                                exiftest::Rational(37386, static_cast<DWORD>(18 + i % 5 * 17), 1)});
    }
    exiftest::SavePhoto(root.Path() + "none.jpg");
    const auto scan = [&](ExifScanCounts& counts) {
        ExifStatsTable table;
        std::atomic<bool> cancel{false};
        ScanExifFolder(root.Path(), "", table, counts, {}, cancel);
        std::vector<RowList> groups;
        for (int kind = 0; kind < ExifStatsTable::kGroups; ++kind)
            groups.push_back(Rows(table, kind));
        return groups;
    };
    ExifScanCounts all, one;
    const std::vector<RowList> onAllCores = scan(all);
    std::vector<RowList> onOneThread;
    {
        imagecore::ScopedSingleThread single;
        onOneThread = scan(one);
    }
    EXPECT_EQ(all.found.load(), 301);
    EXPECT_EQ(all.counted.load(), 300);
    EXPECT_EQ(one.counted.load(), 300);
    EXPECT_EQ(onAllCores, onOneThread);
    EXPECT_EQ(onAllCores[kByCamera], (RowList{{"CamA", 100}, {"CamB", 100}, {"CamC", 100}}));
}
