#include "album/shell/ScreenSaverSettings.h"

#include "platform/win/FileReplace.h"

#include <algorithm>
#include <cstring>

namespace shelf {

namespace {

void PutInt32(unsigned char* p, std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(u >> (8 * i));
}

} // namespace

bool ScreenSaverSettings::Encode(std::array<unsigned char, kSize>* record) const
{
    if (!FolderFits())
        return false;
    record->fill(0);
    std::memcpy(record->data(), folder.data(), folder.size());
    PutInt32(record->data() + 512, randomShow);
    PutInt32(record->data() + 516, effect);
    PutInt32(record->data() + 520, delay);
    return true;
}

bool ScreenSaverSettings::Write(const std::string& path) const
{
    std::array<unsigned char, kSize> record{};
    if (!Encode(&record))
        return false;
    return qlwin::ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(record.data()), record.size()));
}

int ScreenSaverSettings::StepDelay(int delay, int delta)
{
    return std::clamp(delay - delta, kMinDelay, kMaxDelay);
}

} // namespace shelf
