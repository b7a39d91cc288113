#include "develop/BatchConverter.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawParser.h"
#include "platform/win/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <unistd.h>

namespace develop {

namespace {

std::string Stem(const std::string& name)
{
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

} // namespace

BatchConverter::BatchConverter(BatchSettings settings, BatchReport& report, const std::atomic<int>& cancel)
    : m_settings(std::move(settings)), m_report(report), m_cancel(cancel)
{
}

int BatchConverter::BatchPercent(int step, int row, int count)
{
    if (count <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(row) * 100 + step) * 100 / (100LL * count));
}

std::string BatchConverter::FreeOutputPath(const std::string& folder, const std::string& stem, const std::string& ext)
{
    std::string path = folder + stem + ext;
    for (int n = 2; Exists(path); ++n)
        path = folder + stem + "_" + std::to_string(n) + ext;
    return path;
}

void BatchConverter::Stage(int row, const BatchEntry& entry, int batchStep, const char* key, int percent)
{
    m_report.BatchPercent(BatchPercent(batchStep, row, static_cast<int>(m_settings.order.size())));
    if (key)
        m_report.FileStage(entry.name + ":" + Texts().GetText(key), percent);
    else
        m_report.FileStage(std::string(), percent);
}

void BatchConverter::Run()
{
    const int rows = static_cast<int>(m_settings.order.size());
    for (int row = 0; row < rows && !Cancelled(); ++row) {
        const int index = m_settings.order[row];
        if (index < 0 || index >= static_cast<int>(m_settings.entries.size()))
            continue;
        const BatchEntry& entry = m_settings.entries[index];
        m_report.SelectRow(row);
        if (const char* key = ConvertRow(row, entry))
            m_report.Status(index, entry.name + " - " + Texts().GetText(key));
        // What this file's development freed goes back to the system, so
        // that photos of many sizes do not leave the heap ever larger.
        ::malloc_trim(0);
    }
    // Nothing of the last file stays in the library or here.
    CRawParser parser;
    parser.Close();
    m_image.Free();
    m_image8.Free();
}

const char* BatchConverter::ConvertRow(int row, const BatchEntry& entry)
{
    CRawParser parser;
    Stage(row, entry, 1, "loadccd", 1);
    parser.SetAutoBalance(m_settings.autoBalance);
    const int loaded = parser.LoadCCDDataOnly(entry.path.c_str(), nullptr);
    if (Cancelled()) {
        parser.Close();
        return nullptr;
    }
    Stage(row, entry, 30, "interpolate", 30);
    if (loaded == 0)
        return "notsupport";
    bool developed;
    if (loaded == 2) {
        parser.FinalConvert();
        Stage(row, entry, 55, "convertrgb", 65);
        developed = parser.ImageToBitmap(&m_image) != 0;
    } else {
        parser.Interpolate(3);
        Stage(row, entry, 65, "convertrgb", 65);
        parser.FinalConvert();
        m_report.BatchPercent(BatchPercent(75, row, static_cast<int>(m_settings.order.size())));
        m_report.FileStage(entry.name + ":" + Texts().GetText("convertrgb"), 75);
        developed = parser.ImageToBitmap(&m_image) != 0;
        if (developed)
            parser.UniformImage(&m_image);
    }
    parser.Close();
    Stage(row, entry, 80, "saving", 80);
    if (Cancelled())
        return nullptr;
    // A failed development must not save the previous file's pixels.
    if (!developed || !ConvertTo8Bit(m_image, &m_image8, m_settings.sharpen))
        return "exception";
    return Save(entry, row);
}

const char* BatchConverter::Save(const BatchEntry& entry, int row)
{
    // Encoded and given its shooting data under a temporary name, so that
    // an output appears only whole.
    const std::string ext = m_settings.jpeg ? ".jpg" : ".tif";
    const std::string temp =
        m_settings.folder + ".ql-batch" + std::to_string(::getpid()) + "-" + std::to_string(row) + ext;
    CQLImageCodec codec;
    const int saved = m_settings.jpeg ? codec.SaveJpegFile(temp.c_str(), &m_image8, 199, 72)
                                      : codec.SaveFile(temp.c_str(), &m_image8);
    if (!saved) {
        ::DeleteFile(temp.c_str());
        return "errsave";
    }
    Stage(row, entry, 95, "saving", 95);
    CRawParser parser;
    if (m_settings.jpeg)
        parser.AddExifToJpeg(temp.c_str());
    else
        parser.AddExifToTiff(temp.c_str());
    // Never over an existing file: a name taken meanwhile gets the next number.
    const std::string stem = Stem(entry.name);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string out = FreeOutputPath(m_settings.folder, stem, ext);
        if (::MoveFile(temp.c_str(), out.c_str()))
            return "ok";
        if (!Exists(out))
            break;
    }
    ::DeleteFile(temp.c_str());
    return "errsave";
}

} // namespace develop
