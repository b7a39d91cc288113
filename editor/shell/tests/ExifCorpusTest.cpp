// The camera files of the shared corpus, read by ExifInfo and compared with
// what the exiv2 program prints for them.
#include "editor/shell/ExifInfo.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(QUILLO_CORPUS_DIR) / "exif-samples";

bool HasExiv2Program()
{
    return std::system("exiv2 --version >/dev/null 2>&1") == 0;
}

struct Value {
    std::string type;
    std::string text;
};

// exiv2's keys, types and values for the fields compared; empty when it
// cannot read the file.
std::map<std::string, Value> Exiv2Values(const fs::path& file)
{
    static const char* const kKeys[] = {
        "Exif.Image.Make",         "Exif.Image.Model",         "Exif.Image.DateTime",
        "Exif.Image.DateTimeOriginal", "Exif.Photo.DateTimeOriginal", "Exif.Image.ExposureTime",
        "Exif.Photo.ExposureTime", "Exif.Image.FNumber",       "Exif.Photo.FNumber",
        "Exif.Image.ISOSpeedRatings", "Exif.Photo.ISOSpeedRatings", "Exif.Image.Orientation"};
    std::string command = "exiv2 -q -Pkyv";
    for (const char* key : kKeys)
        command += std::string(" -K ") + key;
    command += " '" + file.string() + "' 2>/dev/null";
    std::map<std::string, Value> values;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return values;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream in(line);
        std::string key, type;
        in >> key >> type;
        std::string text;
        std::getline(in, text);
        const std::size_t start = text.find_first_not_of(' ');
        text = start == std::string::npos ? "" : text.substr(start);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        values.emplace(key, Value{type, text}); // the first of a key, as the items list it
    }
    pclose(pipe);
    return values;
}

const Value* Pick(const std::map<std::string, Value>& v, const char* a, const char* b = nullptr)
{
    auto it = v.find(a);
    if (it != v.end())
        return &it->second;
    if (b && (it = v.find(b)) != v.end())
        return &it->second;
    return nullptr;
}

bool IsRational(const Value* v)
{
    return v && (v->type == "Rational" || v->type == "SRational");
}

bool IsNumber(const Value* v)
{
    return v && (v->type == "Short" || v->type == "Long");
}

double Fraction(const std::string& text)
{
    long long num = 0, den = 0;
    if (std::sscanf(text.c_str(), "%lld/%lld", &num, &den) != 2 || den == 0)
        return 0;
    return double(num) / double(den);
}

std::vector<fs::path> CameraFiles()
{
    std::vector<fs::path> files;
    if (!fs::is_directory(kSamples))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(kSamples)) {
        if (!entry.is_regular_file())
            continue;
        std::string ext = entry.path().extension().string();
        for (char& c : ext)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".jpg" || ext == ".jpeg" || ext == ".tif" || ext == ".tiff")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ExifCorpus, FieldsAgreeWithExiv2)
{
    const std::vector<fs::path> files = CameraFiles();
    if (files.empty())
        GTEST_SKIP() << "no corpus at " << kSamples;
    if (!HasExiv2Program())
        GTEST_SKIP() << "the exiv2 program is not installed";
    int compared = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        ExifInfo exif;
        const int read = exif.ReadFromFile(file.c_str());
        const std::map<std::string, Value> v = Exiv2Values(file);
        if (!read || v.empty())
            continue; // a broken file: refused or read, without a crash
        ++compared;
        const ExifFields& f = exif.GetFields();
        auto text = [](const Value* value, const char* ours) {
            if (!value || value->type != "Ascii")
                return;
            std::string want = value->text.substr(0, 255);
            while (!want.empty() && want.back() == ' ')
                want.pop_back();
            EXPECT_EQ(std::string(ours), want);
        };
        text(Pick(v, "Exif.Image.Make"), f.make);
        text(Pick(v, "Exif.Image.Model"), f.model);
        const Value* original = Pick(v, "Exif.Image.DateTimeOriginal", "Exif.Photo.DateTimeOriginal");
        if (original && original->type == "Ascii" && !original->text.empty())
            text(original, f.dateTime);
        else if (!original)
            text(Pick(v, "Exif.Image.DateTime"), f.dateTime);
        const Value* exposure = Pick(v, "Exif.Image.ExposureTime", "Exif.Photo.ExposureTime");
        if (IsRational(exposure)) {
            EXPECT_NEAR(f.exposureTime, Fraction(exposure->text), 1e-9 * (1 + f.exposureTime));
        }
        const Value* fnumber = Pick(v, "Exif.Image.FNumber", "Exif.Photo.FNumber");
        if (IsRational(fnumber)) {
            EXPECT_NEAR(f.fNumber, Fraction(fnumber->text), 1e-9 * (1 + f.fNumber));
        }
        const Value* iso = Pick(v, "Exif.Image.ISOSpeedRatings", "Exif.Photo.ISOSpeedRatings");
        if (IsNumber(iso)) {
            EXPECT_EQ(static_cast<WORD>(f.isoSpeed), static_cast<WORD>(std::atol(iso->text.c_str())));
        }
        const Value* orientation = Pick(v, "Exif.Image.Orientation");
        if (IsNumber(orientation)) {
            EXPECT_EQ(exif.GetOrientation(), static_cast<WORD>(std::atol(orientation->text.c_str())));
        }
    }
    EXPECT_GT(compared, 20);
}

// Every file in the corpus, broken ones included, is read or refused; a
// second read of the same record gives the same fields.
TEST(ExifCorpus, EveryFileIsReadOrRefused)
{
    const std::vector<fs::path> files = CameraFiles();
    if (files.empty())
        GTEST_SKIP() << "no corpus at " << kSamples;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        ExifInfo exif;
        const int first = exif.ReadFromFile(file.c_str());
        BYTE a[ExifFields::kFileSize], b[ExifFields::kFileSize];
        exif.GetFields().Store(a);
        EXPECT_EQ(exif.ReadFromFile(file.c_str()), first);
        exif.GetFields().Store(b);
        EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
        if (!first) {
            EXPECT_EQ(exif.GetFields().hasExif, 0u);
        }
    }
}

} // namespace
