// JPEG save schemes: named JPEG slimming settings kept as ".tsp" files in
// the program folder's SaveSet folder. "Jpeg Slimming" lists, saves and
// deletes them; the save-mode dialog lists them for a fast copy.
#pragma once

#include "algorithms/JpegSlimSettings.h"

#include <string>
#include <vector>

struct SaveScheme {
    std::string name; // the file name without ".tsp"
    JpegSlimSettings settings;
};

// "<program folder>SaveSet/".
std::string SaveSchemeFolder();

// The schemes of folder ("*.tsp", names without regard to case), sorted by
// name. A file that cannot be read, is short or holds a field out of range
// is left out.
std::vector<SaveScheme> LoadSaveSchemes(const std::string& folder = SaveSchemeFolder());

// A name that stays a file inside the folder: not empty, no "/", no "..".
bool IsSchemeNameAllowed(const char* name);

// Writes folder/name.tsp (the folder made when missing) through a temporary
// file and a rename: valid 1, job mode 6, no output path. Non-zero on
// success; an existing scheme survives a failure.
int WriteSaveScheme(const std::string& folder, const char* name, const JpegSlimSettings& settings);

// Deletes folder/name.tsp; non-zero on success.
int DeleteSaveScheme(const std::string& folder, const char* name);

// Asks for a name ("Input a file name for saving scheme"), writes the scheme
// into SaveSchemeFolder() and tells the user how it went. Non-zero when saved.
int PromptAndSaveScheme(const JpegSlimSettings& settings);

// A size in KB less an EXIF block: (kb x 1024 - exifBytes) / 1024, rounded
// down; a result at or below 0 becomes 1, so a budget never asks for nothing.
int BudgetLessExif(int kb, int exifBytes);
