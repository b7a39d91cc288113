// The parameter description of an effect plug-in and the value text that
// goes back to its apply function. Both cross into plug-ins, which parse
// them themselves, so every quirk of the format is kept on purpose.
#pragma once

#include "editor/ui/EffectParam.h"

#include <string>
#include <vector>

// The option texts of the choice parameters; EnumParam values point into
// it, so its entries never move while it lives.
class EffectOptionTable {
public:
    static constexpr int kEntries = 32;
    static constexpr int kEntrySize = 128;

    // A copy of text (at most 127 characters), or nullptr when full or too long.
    const char* Add(const std::string& text);
    void RemoveLast() { if (count > 0) --count; }
    void Clear() { count = 0; }
    int Count() const { return count; }

private:
    char entries[kEntries][kEntrySize] = {};
    int count = 0;
};

// Limits of the description (longer parts are errors).
inline constexpr size_t kMaxKindWordLength = 31;
inline constexpr size_t kMaxNameLength = 31;
inline constexpr size_t kMaxValueLength = 127;

// Parses text into new parameters appended to params (owned by the caller)
// with their option texts in options. On the first error nothing is
// appended, options is left empty and false is returned.
bool ParseEffectDescription(const char* text, std::vector<EffectParam*>* params, EffectOptionTable* options);

// One statement per parameter in list order: "'label'='value';". Quotes in
// a text value are written as \'; caption rows write nothing.
std::string FormatEffectValues(const std::vector<EffectParam*>& params);

// Deletes every parameter and empties the list.
void DeleteEffectParams(std::vector<EffectParam*>* params);
