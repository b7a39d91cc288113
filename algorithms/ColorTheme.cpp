#include "algorithms/ColorTheme.h"
#include "platform/win/FileReplace.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

constexpr std::size_t NameSize = 256;
constexpr std::size_t CountOffset = 256;
constexpr std::size_t MaxFileNameBytes = 255;
const char AskAppend[] = "Theme exist.\nAppend this step to it?";
const char AskOverwrite[] = "Overwrite the old file?";

std::string g_programFolder;
ColorTheme::AskHook g_ask;

bool Ask(const char* question)
{
    return g_ask && g_ask(question);
}

} // namespace

std::string ColorTheme::Name() const
{
    const std::size_t length = std::find(name, name + NameSize - 1, '\0') - name;
    return std::string(name, length);
}

void ColorTheme::Parse(const BYTE* data, std::size_t size)
{
    std::memset(name, 0, sizeof name);
    if (size > 0)
        std::memcpy(name, data, std::min(size, NameSize));
    const std::size_t declared = size > CountOffset ? data[CountOffset] : 0;
    const std::size_t whole = size > HeaderSize ? (size - HeaderSize) / ColorThemeStep::Size : 0;
    const std::size_t count = std::min(declared, whole);

    steps.assign(count, ColorThemeStep{});
    const BYTE* p = data + HeaderSize;
    for (std::size_t i = 0; i < count; ++i, p += ColorThemeStep::Size) {
        steps[i].type = p[0]; // bytes 1..3 are reserved
        std::memcpy(steps[i].payload, p + 4, ColorThemeStep::PayloadSize);
    }
    stepCount = static_cast<BYTE>(count);
}

bool ColorTheme::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    // Nothing past the largest theme can be read, so no more is taken in.
    std::vector<BYTE> bytes(MaxFileSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return false;
    Parse(bytes.data(), static_cast<std::size_t>(in.gcount()));
    return true;
}

std::vector<BYTE> ColorTheme::Serialize() const
{
    const std::size_t count = std::min(steps.size(), MaxSteps);
    std::vector<BYTE> bytes(HeaderSize + count * ColorThemeStep::Size, 0);
    std::memcpy(bytes.data(), name, NameSize);
    bytes[CountOffset] = static_cast<BYTE>(count);
    BYTE* p = bytes.data() + HeaderSize;
    for (std::size_t i = 0; i < count; ++i, p += ColorThemeStep::Size) {
        p[0] = steps[i].type;
        std::memcpy(p + 4, steps[i].payload, ColorThemeStep::PayloadSize);
    }
    return bytes;
}

bool ColorTheme::Write(const std::string& path) const
{
    const std::vector<BYTE> bytes = Serialize();
    return qlwin::WriteReplacing(
        path, [&](int fd, const std::string&) { return qlwin::WriteAllTo(fd, bytes.data(), bytes.size()); });
}

void ColorTheme::SetProgramFolder(const std::string& programFolder)
{
    g_programFolder = programFolder;
}

std::string ColorTheme::Folder()
{
    return g_programFolder + "ColorTheme/";
}

void ColorTheme::SetAskHook(AskHook hook)
{
    g_ask = std::move(hook);
}

std::string ColorTheme::FileNameFor(const std::string& typed)
{
    std::string out = typed;
    for (char& c : out)
        if (std::strchr("\"*/:?\\~", c) && c != '\0')
            c = '_';
    std::size_t length = std::min(out.size(), MaxFileNameBytes - 4);
    // Never end inside a multi-byte character.
    while (length > 0 && length < out.size() && (static_cast<unsigned char>(out[length]) & 0xC0) == 0x80)
        --length;
    out.resize(length);
    return out;
}

ColorTheme::SaveResult ColorTheme::Save(const std::string& fileName, bool ask) const
{
    std::error_code ec;
    std::filesystem::create_directories(Folder(), ec);
    const std::string path = Folder() + fileName + ".cth";
    if (ask && std::filesystem::exists(path, ec)) {
        if (Ask(AskAppend)) {
            ColorTheme old;
            if (old.Load(path)) {
                if (old.steps.size() + steps.size() > MaxSteps)
                    return SaveResult::Failed;
                old.steps.insert(old.steps.end(), steps.begin(), steps.end());
                return old.Write(path) ? SaveResult::Written : SaveResult::Failed;
            }
        } else if (!Ask(AskOverwrite)) {
            return SaveResult::Declined;
        }
    }
    return Write(path) ? SaveResult::Written : SaveResult::Failed;
}

bool ColorTheme::Load(const std::string& path, bool fullPath)
{
    return Load(fullPath ? path : Folder() + path);
}
