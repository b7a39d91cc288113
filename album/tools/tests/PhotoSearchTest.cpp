// The photo search: tone and colour rules at their thresholds, EXIF values
// and exposure classes, dates, the walk over fixture folders with and
// without property files, stopping, and the folder sheet.
#include "album/tools/PhotoSearch.h"

#include "album/shell/tests/ShelfTestSupport.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

using namespace shelf;

namespace {

struct Rgb {
    BYTE r, g, b;
};
constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{128, 128, 128}, kGreen{0, 160, 0},
    kSky{60, 120, 200}, kSkin{200, 150, 120}, kRed{220, 0, 0}, kBlue{0, 0, 220};

// A 10 x 10 thumbnail: count pixels of one colour, the rest of another.
CQLImage Thumb(Rgb some, int count, Rgb rest)
{
    CQLImage image;
    image.Create(10, 10);
    for (int i = 0; i < 100; ++i) {
        const Rgb c = i < count ? some : rest;
        BYTE* p = image.GetBuffer(i % 10, i / 10);
        p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 255;
    }
    return image;
}

bool Matches(const SearchCriteria& c, const CQLImage& thumb)
{
    CQLImageCodec codec;
    ToneStats stats;
    MeasureTone(thumb, codec, stats);
    return ToneMatches(c, stats);
}

SearchCriteria With(std::function<void(SearchCriteria&)> set)
{
    SearchCriteria c;
    set(c);
    return c;
}

} // namespace

TEST(PhotoSearchTone, RulesAtTheirThresholds)
{
    const struct {
        const char* rule;
        SearchCriteria criteria;
        Rgb some, rest;
        int atThreshold; // passes with this many pixels of "some", fails with one fewer
    } cases[] = {
        {"low", With([](auto& c) { c.tone = 1; }), kBlack, kGrey, 50},
        {"high", With([](auto& c) { c.tone = 2; }), kWhite, kGrey, 50},
        {"green yes", With([](auto& c) { c.green = 1; }), kGreen, kGrey, 15},
        {"sky yes", With([](auto& c) { c.sky = 1; }), kSky, kGrey, 15},
        {"skin yes", With([](auto& c) { c.skin = 1; }), kSkin, kGrey, 8},
        {"warm", With([](auto& c) { c.temperature = 1; }), kRed, kBlue, 70},
        {"cold", With([](auto& c) { c.temperature = 2; }), kBlue, kRed, 70},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.rule);
        EXPECT_TRUE(Matches(t.criteria, Thumb(t.some, t.atThreshold, t.rest)));
        EXPECT_FALSE(Matches(t.criteria, Thumb(t.some, t.atThreshold - 1, t.rest)));
    }
    // "No" sides: at most 15 %, so 15 passes and 16 fails.
    for (auto [colour, c] : {std::pair{kGreen, With([](auto& c) { c.green = 2; })},
                             std::pair{kSky, With([](auto& c) { c.sky = 2; })}}) {
        EXPECT_TRUE(Matches(c, Thumb(colour, 15, kGrey)));
        EXPECT_FALSE(Matches(c, Thumb(colour, 16, kGrey)));
    }
    // Skin at most 80 %.
    const SearchCriteria skin = With([](auto& c) { c.skin = 1; });
    EXPECT_TRUE(Matches(skin, Thumb(kSkin, 80, kGrey)));
    EXPECT_FALSE(Matches(skin, Thumb(kSkin, 81, kGrey)));
}

TEST(PhotoSearchTone, HighContrastNeedsBothEnds)
{
    CQLImage image;
    const auto contrast = With([](auto& c) { c.tone = 3; });
    const auto make = [](int dark, int bright) {
        CQLImage t = Thumb(kBlack, dark, kGrey);
        for (int i = dark; i < dark + bright; ++i) {
            BYTE* p = t.GetBuffer(i % 10, i / 10);
            p[0] = p[1] = p[2] = 255;
        }
        return t;
    };
    EXPECT_TRUE(Matches(contrast, make(30, 30)));
    EXPECT_FALSE(Matches(contrast, make(30, 29)));
    EXPECT_TRUE(Matches(contrast, make(55, 5)));
    EXPECT_FALSE(Matches(contrast, make(56, 4)));
}

TEST(PhotoSearchTone, MeanSaturationRules)
{
    ToneStats s;
    s.pixels = 100;
    // Mono by saturation alone: the hues are spread all over.
    for (int h = 0; h < 100; ++h)
        s.hueCount[h * 2] = 1;
    const auto mono = With([](auto& c) { c.tone = 4; });
    s.meanSaturation = 12;
    EXPECT_TRUE(ToneMatches(mono, s));
    s.meanSaturation = 13;
    EXPECT_FALSE(ToneMatches(mono, s));
    // Above 12, 90 % of the pixels within the 32 bins round the mean hue (wrapping).
    ToneStats h;
    h.pixels = 100;
    h.meanSaturation = 100;
    h.meanHue = 5;
    h.hueCount[250] = 90; // mean - 11, modulo 256
    h.hueCount[128] = 10;
    EXPECT_TRUE(ToneMatches(mono, h));
    h.hueCount[250] = 89;
    h.hueCount[128] = 11;
    EXPECT_FALSE(ToneMatches(mono, h));

    const auto colourful = With([](auto& c) { c.tone = 5; });
    s.meanSaturation = 64;
    EXPECT_TRUE(ToneMatches(colourful, s));
    s.meanSaturation = 63;
    EXPECT_FALSE(ToneMatches(colourful, s));

    // Temperature: a mean saturation below 16 fails; contrast of both needs 80 % and 10 % each.
    ToneStats t;
    t.pixels = 100;
    t.totalWeight = 100;
    t.hueWeight[10] = 10;   // warm
    t.hueWeight[150] = 70;  // cold
    t.hueWeight[60] = 20;
    const auto both = With([](auto& c) { c.temperature = 3; });
    t.meanSaturation = 16;
    EXPECT_TRUE(ToneMatches(both, t));
    t.meanSaturation = 15;
    EXPECT_FALSE(ToneMatches(both, t));
    t.meanSaturation = 16;
    t.hueWeight[10] = 9;
    t.hueWeight[60] = 21;
    EXPECT_FALSE(ToneMatches(both, t));
}

TEST(PhotoSearchExif, ValueTests)
{
    ExposureFacts f;
    f.fNumber = 2.8f;
    f.exposureTime = 1.0f / 60;
    f.flash = 0;
    f.iso = 12800;
    f.distance = 1.25f;
    f.model = "Canon EOS 40D";
    const struct {
        const char* what;
        std::function<void(SearchCriteria&)> set;
        bool hasExif;
        bool match;
    } cases[] = {
        {"any", [](auto&) {}, true, true},
        {"aperture equal within 0.05", [](auto& c) { c.apertureTest = 3, c.fNumber = 2.84f; }, true, true},
        {"aperture equal off", [](auto& c) { c.apertureTest = 3, c.fNumber = 3.2f; }, true, false},
        {"aperture near", [](auto& c) { c.apertureTest = 5, c.fNumber = 4.2f; }, true, true},
        {"aperture at least", [](auto& c) { c.apertureTest = 6, c.fNumber = 4.0f; }, true, false},
        {"shutter equal", [](auto& c) { c.shutterTest = 3, c.exposureTime = 1.0f / 60; }, true, true},
        {"shutter near", [](auto& c) { c.shutterTest = 5, c.exposureTime = 1.0f / 30; }, true, true},
        {"shutter near off", [](auto& c) { c.shutterTest = 5, c.exposureTime = 1.0f / 15; }, true, false},
        {"shutter at most", [](auto& c) { c.shutterTest = 7, c.exposureTime = 1.0f / 100; }, true, false},
        {"flash fired", [](auto& c) { c.flashTest = 1; }, true, false},
        {"flash not fired", [](auto& c) { c.flashTest = 2; }, true, true},
        {"iso over 800, no upper bound", [](auto& c) { c.isoFrom = 800; }, true, true},
        {"iso [400,800]", [](auto& c) { c.isoFrom = 400, c.isoTo = 800; }, true, false},
        {"focus [0.5,2]", [](auto& c) { c.focusFrom = 5, c.focusTo = 20; }, true, true},
        {"focus [2,10]", [](auto& c) { c.focusFrom = 20, c.focusTo = 100; }, true, false},
        {"model keywords", [](auto& c) { c.modelKeywords = {"canon", "40d"}; }, true, true},
        {"model keyword missing", [](auto& c) { c.modelKeywords = {"canon", "nikon"}; }, true, false},
        {"no EXIF included", [](auto& c) { c.apertureTest = 3, c.fNumber = 8; }, false, true},
        {"no EXIF skipped", [](auto& c) { c.noExifRule = 1; }, false, false},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        SearchCriteria c;
        t.set(c);
        EXPECT_EQ(ExifValuesMatch(c, t.hasExif, f), t.match);
    }
    // Under the skip rule a missing value fails its test.
    ExposureFacts missing;
    missing.iso = 100;
    SearchCriteria skip;
    skip.noExifRule = 1;
    skip.apertureTest = 7;
    skip.fNumber = 8;
    EXPECT_FALSE(ExifValuesMatch(skip, true, missing));
    skip.noExifRule = 0;
    EXPECT_TRUE(ExifValuesMatch(skip, true, missing));
}

TEST(PhotoSearchExif, ExposureClasses)
{
    const struct {
        float f, t;
        WORD iso;
        int flash;
        float q;
        bool day, night, other;
    } cases[] = {
        {8.0f, 1.0f / 125, 100, 0, 0.05f, true, false, false},  // 100 / 125 / 16
        {2.0f, 1.0f, 0, 0, 50.0f, false, true, false},          // ISO 0 counts as 100
        {4.0f, 0.01f, 100, 1, 0.75f, true, false, true},        // the flash triples it
        {2.0f, 0.04f, 100, 0, 2.0f, false, false, true},
        {2.0f, 0.06f, 100, 0, 3.0f, false, true, true},
    };
    for (const auto& t : cases) {
        ExposureFacts f;
        f.fNumber = t.f, f.exposureTime = t.t, f.iso = t.iso, f.flash = t.flash;
        EXPECT_NEAR(ExposureQuantity(f), t.q, 1e-4) << t.f << " " << t.t;
        EXPECT_EQ(ExposureClassMatches(1, f), t.day);
        EXPECT_EQ(ExposureClassMatches(2, f), t.night);
        EXPECT_EQ(ExposureClassMatches(3, f), t.other);
    }
}

TEST(PhotoSearchTime, InclusiveEndsAndSwappedDuring)
{
    SearchCriteria c;
    c.fromDate = {2004, 1, 13};
    c.toDate = {2004, 2, 1};
    const SearchDate from{2004, 1, 13}, inside{2004, 1, 31}, to{2004, 2, 1}, after{2004, 2, 2};
    c.timeTest = 1;
    EXPECT_TRUE(TimeMatches(c, from));
    EXPECT_FALSE(TimeMatches(c, inside));
    c.timeTest = 2;
    EXPECT_TRUE(TimeMatches(c, from));
    EXPECT_TRUE(TimeMatches(c, after));
    c.timeTest = 4;
    for (const auto& d : {from, inside, to})
        EXPECT_TRUE(TimeMatches(c, d));
    EXPECT_FALSE(TimeMatches(c, after));
    std::swap(c.fromDate, c.toDate);
    for (const auto& d : {from, inside, to, after})
        EXPECT_FALSE(TimeMatches(c, d));
}

namespace {

using Notice = std::pair<WPARAM, LPARAM>;

// Runs the walk to its end (or maxSteps) and keeps the notices.
std::vector<Notice> Walk(PhotoSearch& search, int maxSteps = 1000)
{
    std::vector<Notice> notices;
    const auto notify = [&](WPARAM w, LPARAM l) { notices.emplace_back(w, l); };
    for (int i = 0; i < maxSteps && search.Step(notify); ++i) {
    }
    return notices;
}

std::vector<std::string> Names(const PhotoSearch& search)
{
    std::vector<std::string> names;
    for (int i = 0; i < search.GetResultCount(); ++i) {
        std::string name;
        search.GetResult(i, nullptr, &name, nullptr);
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PhotoSearchWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace exiftest;
        const std::string& d = m_root.Path();
        JpegWithExif(d + "canon_a.jpg", {Text(0x0110, "Canon EOS 40D"), Rational(0x829D, 28, 10),
                                         Rational(0x829A, 1, 60), Short(0x8827, 400)});
        JpegWithExif(d + "nikon_b.jpg", {Text(0x0110, "NIKON D70"), Rational(0x829D, 80, 10)});
        SavePhoto(d + "plain.jpg");
        SavePhoto(d + "drawing.png");
        shelftest::WriteBytes(d + "notes.txt", "not a picture");
        shelftest::MakeFolder(d + "sub");
        SavePhoto(d + "sub/canon_sub.jpg");
    }
    // A property file for the root, as the folder cache writes it, with
    // one entry that names the model differently from the file.
    void WriteEntries()
    {
        PhotoEntries entries;
        auto e = std::make_unique<PhotoEntry>();
        std::strcpy(e->m_info.szFileName, "plain.jpg");
        std::strcpy(e->m_info.szModel, "Canon PowerShot");
        e->m_info.fFNumber = 4.0f;
        e->m_info.wISO = 100;
        e->m_info.nWidth = 64;
        e->m_info.nHeight = 48;
        e->m_info.nFileSize = 5000;
        e->m_info.stDateTaken = {2004, 1, 0, 13, 10, 0, 0, 0};
        e->m_thumb.Create(100, 75);
        e->m_info.nThumbState = kThumbDone;
        entries.push_back(std::move(e));
        ASSERT_TRUE(SavePropertyRecords(m_root.Path() + kPropertyFileName, entries));
    }
    std::vector<std::string> Run(std::function<void(SearchCriteria&)> set)
    {
        SearchCriteria c;
        set(c);
        m_search.Start(std::move(c), {m_root.Path()});
        m_notices = Walk(m_search);
        return Names(m_search);
    }

    shelftest::ScratchFolder m_root;
    PhotoSearch m_search;
    std::vector<Notice> m_notices;
};

using Names_ = std::vector<std::string>;

} // namespace

TEST_F(PhotoSearchWalk, WithoutPropertyFileEveryPictureIsReadItself)
{
    EXPECT_EQ(Run([](auto&) {}), (Names_{"canon_a.jpg", "canon_sub.jpg", "drawing.png", "nikon_b.jpg", "plain.jpg"}));
    EXPECT_EQ(m_notices.back(), Notice(2, 0));
    EXPECT_EQ(Run([](auto& c) { c.nameKeywords = {"CANON"}; }), (Names_{"canon_a.jpg", "canon_sub.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.modelKeywords = {"canon"}; }), (Names_{"canon_a.jpg", "canon_sub.jpg", "drawing.png", "plain.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.modelKeywords = {"canon"}, c.noExifRule = 1; }), (Names_{"canon_a.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.apertureTest = 3, c.fNumber = 2.8f, c.noExifRule = 1; }), (Names_{"canon_a.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.fileFormat = 5; }), (Names_{"drawing.png"}));
    EXPECT_EQ(Run([](auto& c) { c.visitedTest = 8; }), Names_{});
    EXPECT_EQ(Run([](auto& c) {
                  c.timeTest = 4;
                  c.fromDate = {2200, 1, 1};
                  c.toDate = {1901, 1, 1};
              }),
              Names_{});
}

TEST_F(PhotoSearchWalk, EntriesOfThePropertyFileAreUsed)
{
    WriteEntries();
    EXPECT_EQ(Run([](auto& c) { c.visitedTest = 8; }), (Names_{"plain.jpg"}));
    // The entry's model and date, not the file's (which has none).
    EXPECT_EQ(Run([](auto& c) { c.modelKeywords = {"powershot"}, c.noExifRule = 1; }), (Names_{"plain.jpg"}));
    EXPECT_EQ(Run([](auto& c) {
                  c.timeTest = 4, c.fromDate = {2004, 1, 13}, c.toDate = {2004, 1, 13}, c.visitedTest = 8;
              }),
              (Names_{"plain.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.widthTest = 4, c.widthFrom = 60, c.widthTo = 70, c.visitedTest = 8; }),
              (Names_{"plain.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.aspect = 4.0f / 3, c.visitedTest = 8; }), (Names_{"plain.jpg"}));
    EXPECT_EQ(Run([](auto& c) { c.aspect = -1, c.visitedTest = 8; }), Names_{});
    EXPECT_EQ(Run([](auto& c) { c.sizeTest = 4, c.sizeFrom = 4, c.sizeTo = 4, c.visitedTest = 8; }),
              (Names_{"plain.jpg"}));
    // The hit takes the entry's thumbnail.
    CQLImage thumb;
    ASSERT_TRUE(m_search.GetResult(0, nullptr, nullptr, &thumb));
    UINT w = 0, h = 0;
    thumb.GetSize(&w, &h);
    EXPECT_EQ(w, 100u);
    EXPECT_EQ(h, 75u);
}

TEST_F(PhotoSearchWalk, EntryNamesCompareExactly)
{
    PhotoEntries entries;
    auto e = std::make_unique<PhotoEntry>();
    std::strcpy(e->m_info.szFileName, "PLAIN.JPG");
    entries.push_back(std::move(e));
    ASSERT_TRUE(SavePropertyRecords(m_root.Path() + kPropertyFileName, entries));
    EXPECT_EQ(Run([](auto& c) { c.visitedTest = 8; }), Names_{});
}

TEST_F(PhotoSearchWalk, StopCountIsPostedBeforeTheHitThatReachesIt)
{
    Run([](auto& c) { c.stopCount = 2; });
    std::vector<Notice> order;
    for (const Notice& n : m_notices)
        if (n.first != 0)
            order.push_back(n);
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order[0], Notice(1, 0));
    EXPECT_EQ(order[1], Notice(2, 0));
    EXPECT_EQ(order[2], Notice(1, 1));
    // The search goes on until it is stopped; the end is noticed again.
    EXPECT_EQ(m_notices.back(), Notice(2, 0));
    EXPECT_EQ(m_search.GetResultCount(), 5);
}

TEST_F(PhotoSearchWalk, StopInTheMiddleOfAFolder)
{
    SearchCriteria c;
    m_search.Start(std::move(c), {m_root.Path()});
    std::vector<Notice> notices;
    const auto notify = [&](WPARAM w, LPARAM l) { notices.emplace_back(w, l); };
    ASSERT_TRUE(m_search.Step(notify)); // lists the root
    ASSERT_TRUE(m_search.Step(notify)); // one file
    EXPECT_GT(m_search.QueuedFiles(), 0u);
    m_search.Stop();
    EXPECT_FALSE(m_search.IsRunning());
    EXPECT_FALSE(m_search.Step(notify));
    EXPECT_EQ(m_search.QueuedFiles(), 0u);
    EXPECT_LE(m_search.GetResultCount(), 1);
    // A new search starts from scratch.
    m_search.Start(SearchCriteria{}, {m_root.Path()});
    Walk(m_search);
    EXPECT_EQ(m_search.GetResultCount(), 5);
}

TEST_F(PhotoSearchWalk, LinkedFoldersAreNotWalked)
{
    shelftest::ScratchFolder other;
    exiftest::SavePhoto(other.Path() + "elsewhere.jpg");
    std::filesystem::create_directory_symlink(other.Path(), m_root.Path() + "link");
    EXPECT_EQ(Run([](auto& c) { c.nameKeywords = {"elsewhere"}; }), Names_{});
}

TEST(PhotoSearchSheet, ThumbnailsInCellsAndADamagedFile)
{
    shelftest::ScratchFolder folder;
    PhotoEntries entries;
    const auto add = [&](const char* name, int w, int h, BYTE grey) {
        auto e = std::make_unique<PhotoEntry>();
        std::strcpy(e->m_info.szFileName, name);
        if (w) {
            e->m_thumb.Create(w, h);
            std::memset(e->m_thumb.GetBuffer(0, 0), grey, std::size_t(w) * h * 4);
        }
        entries.push_back(std::move(e));
    };
    add("a.jpg", 100, 50, 10);
    add("none.jpg", 0, 0, 0);
    add("small.jpg", 60, 40, 20); // neither side 100: no cell
    add("b.jpg", 80, 100, 30);
    const std::string path = folder.Path() + kPropertyFileName;
    ASSERT_TRUE(SavePropertyRecords(path, entries));
    // A cut last record, as a damaged file ends.
    std::string bytes = shelftest::ReadBytes(path);
    const std::string record = entries[0]->EncodeRecord();
    bytes += record.substr(0, record.size() - 5);
    shelftest::WriteBytes(path, bytes);

    CQLImage sheet;
    ASSERT_TRUE(BuildFolderSheet(folder.Path(), sheet));
    UINT w = 0, h = 0;
    sheet.GetSize(&w, &h);
    EXPECT_EQ(w, 880u);
    EXPECT_EQ(h, 880u);
    EXPECT_EQ(sheet.GetBuffer(0, 0)[0], 240);
    // The property file keeps thumbnails lossy: near the grey written.
    EXPECT_NEAR(sheet.GetBuffer(10, 35)[0], 10, 4); // a.jpg: (5 + 5, 5 + 30)
    EXPECT_EQ(sheet.GetBuffer(10, 34)[0], 240);
    EXPECT_NEAR(sheet.GetBuffer(130, 10)[0], 30, 8); // b.jpg in the second cell: (115 + 15, 5 + 5)
    EXPECT_EQ(sheet.GetBuffer(129, 10)[0], 240);
    EXPECT_EQ(sheet.GetBuffer(260, 60)[0], 240); // the third cell stays empty

    shelftest::ScratchFolder empty;
    EXPECT_FALSE(BuildFolderSheet(empty.Path(), sheet));
}
