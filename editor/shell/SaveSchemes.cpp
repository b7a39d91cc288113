#include "editor/shell/SaveSchemes.h"

#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/MessageBox.h"
#include "platform/win/FileFind.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <unistd.h>

namespace {

constexpr int kTextSchemeName = 188;
constexpr int kTextSaveFailed = 189;
constexpr int kTextSaveDone = 231;
constexpr int kMaxNameLength = 255;
constexpr BYTE kPreviewJobMode = 6;

std::string SchemePath(const std::string& folder, const char* name)
{
    return folder + name + ".tsp";
}

} // namespace

std::string SaveSchemeFolder()
{
    return std::string(theAppSettings.m_programFolder) + "SaveSet/";
}

std::vector<SaveScheme> LoadSaveSchemes(const std::string& folder)
{
    std::vector<SaveScheme> schemes;
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((folder + "*.tsp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return schemes;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        SaveScheme scheme;
        if (!LoadTspFile((folder + data.cFileName).c_str(), &scheme.settings))
            continue;
        scheme.name.assign(data.cFileName, std::strlen(data.cFileName) - 4);
        schemes.push_back(std::move(scheme));
    } while (FindNextFile(find, &data));
    FindClose(find);
    std::sort(schemes.begin(), schemes.end(),
              [](const SaveScheme& a, const SaveScheme& b) { return strcasecmp(a.name.c_str(), b.name.c_str()) < 0; });
    return schemes;
}

bool IsSchemeNameAllowed(const char* name)
{
    return name && *name && !std::strchr(name, '/') && !std::strstr(name, "..");
}

int WriteSaveScheme(const std::string& folder, const char* name, const JpegSlimSettings& settings)
{
    if (!IsSchemeNameAllowed(name))
        return 0;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    // A scheme names no output file; the save that uses it gives one.
    JpegSlimSettings record = settings;
    record.valid = 1;
    record.flags = kPreviewJobMode;
    record.SetPath("");
    return SaveTspFile(SchemePath(folder, name).c_str(), record);
}

int DeleteSaveScheme(const std::string& folder, const char* name)
{
    if (!IsSchemeNameAllowed(name))
        return 0;
    return ::unlink(SchemePath(folder, name).c_str()) == 0 ? 1 : 0;
}

int PromptAndSaveScheme(const JpegSlimSettings& settings)
{
    char name[kMaxNameLength + 1] = {};
    const char* ask = theUITextTable.GetText(kTextSchemeName);
    if (!PromptForText(name, kMaxNameLength, ask, ask, TRUE, FALSE))
        return 0;
    const int saved = WriteSaveScheme(SaveSchemeFolder(), name, settings);
    AfxMessageBox(theUITextTable.GetText(saved ? kTextSaveDone : kTextSaveFailed));
    return saved;
}

int BudgetLessExif(int kb, int exifBytes)
{
    const long long budget = (static_cast<long long>(kb) * 1024 - exifBytes) / 1024;
    return budget <= 0 ? 1 : static_cast<int>(std::min<long long>(budget, kb));
}
