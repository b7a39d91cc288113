// A colour theme: a named list of recorded adjustment steps, stored as a
// ".cth" file (little-endian, no magic, no version): 256 name bytes, a step
// count byte, 1024 reserved bytes, then the steps of 3076 bytes each.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct ColorThemeStep {
    enum : BYTE { Curves = 0, HsbCurve = 1, MonoTone = 2, FilmAspect = 3, Glow = 4, ChannelMixer = 5 };
    static constexpr std::size_t Size = 3076;
    static constexpr std::size_t PayloadSize = 3072;

    BYTE type = 0;                  // low byte of the stored int32; 3 reserved bytes follow
    BYTE payload[PayloadSize] = {}; // meaning depends on the type; unused bytes zero
};

struct ColorTheme {
    static constexpr std::size_t HeaderSize = 1281;
    static constexpr std::size_t MaxSteps = 255;
    static constexpr std::size_t MaxFileSize = HeaderSize + MaxSteps * ColorThemeStep::Size;

    char name[256] = {}; // as typed; not necessarily NUL-terminated in a file
    BYTE stepCount = 0;  // steps actually held after a read
    std::vector<ColorThemeStep> steps;

    // The name as a string of at most 255 characters.
    std::string Name() const;

    // Reads a theme from file bytes. Header bytes that are missing stay zero;
    // at most stepCount whole steps are taken (a partial step and anything
    // after the counted steps are dropped), and stepCount becomes the number
    // taken. Never fails: any bytes make a theme.
    void Parse(const BYTE* data, std::size_t size);
    // false only when the file cannot be opened or read.
    bool Load(const std::string& path);

    // The file bytes: at most 255 steps, reserved bytes zero.
    std::vector<BYTE> Serialize() const;
    // Replaces the file through a temporary file and a rename; false, with
    // the old file intact, when it cannot be written.
    bool Write(const std::string& path) const;

    // The theme folder, "ColorTheme/" under the program folder (which ends
    // in a slash).
    static void SetProgramFolder(const std::string& programFolder);
    static std::string Folder();
    // Answers Save's yes/no questions (message boxes in the editor); with
    // none set every answer is No.
    using AskHook = std::function<bool(const char* question)>;
    static void SetAskHook(AskHook hook);
    // The typed name with " * / : ? \ ~ as '_', cut on a UTF-8 boundary so
    // that it stays a valid file name with ".cth" added.
    static std::string FileNameFor(const std::string& typed);

    enum class SaveResult { Written, Declined, Failed };
    // Writes the theme as fileName (no extension) + ".cth" in the folder,
    // made when missing. With ask an existing file is appended to (its name
    // kept; refused beyond MaxSteps, file kept) or overwritten as the hook
    // answers.
    SaveResult Save(const std::string& fileName, bool ask) const;
    // path names a file in the folder, or is used as it is with fullPath.
    bool Load(const std::string& path, bool fullPath);
};
