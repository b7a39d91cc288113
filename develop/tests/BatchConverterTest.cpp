// Batch conversion on DNG files written by the tests: the bars' steps, the
// statuses, names that never overwrite, cancelling and the shooting data.
#include "develop/BatchConverter.h"
#include "develop/DevelopTexts.h"

#include "RawTestFiles.h"
#include "editor/shell/ExifInfo.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using develop::BatchConverter;
using develop::BatchEntry;
using develop::BatchSettings;

class Recorder : public develop::BatchReport {
public:
    void SelectRow(int row) override { rows.push_back(row); }
    void BatchPercent(int percent) override
    {
        if (batch.empty() || batch.back() != percent)
            batch.push_back(percent);
    }
    void FileStage(const std::string& text, int percent) override
    {
        stages.push_back(text);
        file.push_back(percent);
        if (onStage)
            onStage(text);
    }
    void Status(int entry, const std::string& text) override { status[entry] = text; }

    std::vector<int> rows, batch, file;
    std::vector<std::string> stages;
    std::map<int, std::string> status;
    std::function<void(const std::string&)> onStage;
};

std::string Text(const char* key) { return develop::Texts().GetText(key); }

class BatchConverterTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("qlbatch-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "out");
        out_ = (dir_ / "out").string() + "/";
    }
    void TearDown() override
    {
        fs::permissions(dir_ / "out", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    BatchEntry Dng(const std::string& relative, bool mosaic)
    {
        RawTestDng dng;
        dng.mosaic = mosaic;
        dng.cameraWhiteBalance = true;
        const fs::path path = dir_ / relative;
        fs::create_directories(path.parent_path());
        EXPECT_TRUE(WriteRawTestDng(path.string(), dng));
        return {path.filename().string(), path.string()};
    }

    BatchEntry Bytes(const std::string& name, const std::string& content)
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return {name, path.string()};
    }

    BatchSettings Settings(std::vector<BatchEntry> entries)
    {
        BatchSettings s;
        s.entries = std::move(entries);
        for (int i = 0; i < static_cast<int>(s.entries.size()); ++i)
            s.order.push_back(i);
        s.folder = out_;
        return s;
    }

    void Run(BatchSettings settings, Recorder& recorder, const std::atomic<int>& cancel)
    {
        BatchConverter(std::move(settings), recorder, cancel).Run();
    }
    void Run(BatchSettings settings, Recorder& recorder)
    {
        std::atomic<int> cancel{0};
        Run(std::move(settings), recorder, cancel);
    }

    std::vector<std::string> Outputs() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_ / "out"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    std::string out_;
};

TEST(BatchPercent, StepsOfRowsInTheWholeBatch)
{
    struct Case {
        int step, row, count, expected;
    } cases[] = {
        {1, 0, 1, 1}, {95, 0, 1, 95}, {1, 0, 2, 0}, {30, 0, 2, 15}, {95, 1, 2, 97},
        {65, 2, 3, 88}, {80, 3, 4, 95}, {1, 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BatchConverter::BatchPercent(c.step, c.row, c.count), c.expected)
            << c.step << " " << c.row << "/" << c.count;
}

TEST_F(BatchConverterTest, OneFileBarsForMosaicAndLinearData)
{
    struct Case {
        const char* name;
        bool mosaic;
        std::vector<int> steps;
    } cases[] = {
        {"mosaic.dng", true, {1, 30, 65, 75, 80, 95}},
        {"linear.dng", false, {1, 30, 55, 80, 95}},
    };
    for (const Case& c : cases) {
        Recorder r;
        Run(Settings({Dng(c.name, c.mosaic)}), r);
        EXPECT_EQ(r.batch, c.steps) << c.name;
        EXPECT_EQ(r.rows, std::vector<int>{0});
        ASSERT_FALSE(r.stages.empty());
        EXPECT_EQ(r.stages.front(), std::string(c.name) + ":" + Text("loadccd"));
        EXPECT_EQ(r.status[0], std::string(c.name) + " - " + Text("ok"));
    }
    EXPECT_EQ(Outputs(), (std::vector<std::string>{"linear.jpg", "mosaic.jpg"}));
}

TEST_F(BatchConverterTest, LongerBatchesShareTheBar)
{
    Recorder r;
    Run(Settings({Dng("a.dng", true), Dng("b.dng", false)}), r);
    EXPECT_EQ(r.batch, (std::vector<int>{0, 15, 32, 37, 40, 47, 50, 65, 77, 90, 97}));
    EXPECT_EQ(r.rows, (std::vector<int>{0, 1}));
}

TEST_F(BatchConverterTest, StatusesOfFailuresAndTheBatchGoesOn)
{
    // A JPEG under a RAW name, then a real one: the batch goes on.
    std::ifstream jpeg(fs::path(CORPUS_DIR) / "exif-samples/jpg/Canon_40D.jpg", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(jpeg)), {});
    if (bytes.empty())
        bytes = "\xFF\xD8\xFF\xE0 not a raw file";
    const std::string longName(300, 'n');
    BatchSettings s = Settings({Bytes("photo.nef", bytes), Dng("good.dng", true), {longName, (dir_ / "gone").string()}});
    Recorder r;
    Run(s, r);
    EXPECT_EQ(r.status[0], "photo.nef - " + Text("notsupport"));
    EXPECT_EQ(r.status[1], "good.dng - " + Text("ok"));
    EXPECT_EQ(r.status[2], longName + " - " + Text("notsupport")) << "kept whole";
    EXPECT_EQ(Outputs(), std::vector<std::string>{"good.jpg"});
}

TEST_F(BatchConverterTest, UnwritableFolderCanNotSave)
{
    BatchSettings s = Settings({Dng("a.dng", true), Dng("b.dng", false)});
    if (::geteuid() == 0) {
        // Root writes into read-only folders: a folder that is a file instead.
        std::ofstream(dir_ / "plain") << "x";
        s.folder = (dir_ / "plain").string() + "/";
    } else {
        fs::permissions(dir_ / "out", fs::perms::owner_read | fs::perms::owner_exec);
    }
    Recorder r;
    Run(s, r);
    EXPECT_EQ(r.status[0], "a.dng - " + Text("errsave"));
    EXPECT_EQ(r.status[1], "b.dng - " + Text("errsave"));
    fs::permissions(dir_ / "out", fs::perms::owner_all, fs::perm_options::add);
    EXPECT_TRUE(Outputs().empty());
}

TEST_F(BatchConverterTest, CancelWhileLoadingWritesNothingForThatEntry)
{
    std::atomic<int> cancel{0};
    Recorder r;
    r.onStage = [&](const std::string& text) {
        if (text == "b.dng:" + Text("loadccd"))
            cancel = 1;
    };
    Run(Settings({Dng("a.dng", true), Dng("b.dng", true), Dng("c.dng", true)}), r, cancel);
    EXPECT_EQ(Outputs(), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(r.status.count(1), 0u);
    EXPECT_EQ(r.rows, (std::vector<int>{0, 1}));
}

TEST_F(BatchConverterTest, OutputsCarryShootingDataInBothFormats)
{
    for (const bool jpeg : {true, false}) {
        BatchSettings s = Settings({Dng(jpeg ? "j.dng" : "t.dng", true)});
        s.jpeg = jpeg;
        Recorder r;
        Run(s, r);
        const std::string out = out_ + (jpeg ? "j.jpg" : "t.tif");
        EXPECT_EQ(CQLImageCodec::GetFileType(out.c_str()), static_cast<DWORD>(jpeg ? QL_FILE_JPEG : QL_FILE_TIFF));
        ExifInfo exif;
        ASSERT_EQ(exif.ReadFromFile(out.c_str()), 1) << out;
        EXPECT_STREQ(exif.GetFields().make, "Quillotest");
        EXPECT_STREQ(exif.GetFields().model, "Sensor One");
    }
}

TEST_F(BatchConverterTest, NothingIsOverwritten)
{
    // Two inputs named alike in two folders, and an output that was there.
    std::ofstream(dir_ / "out" / "y.jpg") << "keep";
    BatchSettings s = Settings({Dng("one/x.dng", true), Dng("two/x.dng", false), Dng("y.dng", true)});
    Recorder r;
    Run(s, r);
    EXPECT_EQ(Outputs(), (std::vector<std::string>{"x.jpg", "x_2.jpg", "y.jpg", "y_2.jpg"}));
    std::ifstream kept(dir_ / "out" / "y.jpg");
    std::string content;
    kept >> content;
    EXPECT_EQ(content, "keep");
    EXPECT_EQ(CQLImageCodec::GetFileType((out_ + "x_2.jpg").c_str()), static_cast<DWORD>(QL_FILE_JPEG));
}

TEST(FreeOutputPath, NumbersBeforeTheExtension)
{
    const fs::path dir = fs::temp_directory_path() / ("qlbatch-free-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string folder = dir.string() + "/";
    EXPECT_EQ(BatchConverter::FreeOutputPath(folder, "p", ".jpg"), folder + "p.jpg");
    std::ofstream(dir / "p.jpg") << "1";
    std::ofstream(dir / "p_2.jpg") << "2";
    EXPECT_EQ(BatchConverter::FreeOutputPath(folder, "p", ".jpg"), folder + "p_3.jpg");
    EXPECT_EQ(BatchConverter::FreeOutputPath(folder, "p", ".tif"), folder + "p.tif");
    fs::remove_all(dir);
}

} // namespace
