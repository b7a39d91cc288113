// One parameter of an effect plug-in's parameter dialog, edited in place by
// the parameter grid. The kind says how the grid shows it: 0 integer in a
// text box, 1 text, 2 choice, 3 a button only, 4 integer with range (a
// slider), 5 file path.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class EffectParam {
public:
    enum State { kDisabled = 0, kEnabled = 1, kCaption = 2 };

    explicit EffectParam(int32_t kind) : kind(kind) {}
    virtual ~EffectParam() = default;
    EffectParam(const EffectParam&) = delete;
    EffectParam& operator=(const EffectParam&) = delete;

    virtual BOOL SetValue(const void* v) = 0;
    virtual BOOL IsValid(int v) = 0;
    // Writes the value as text into out (room for 256 bytes) and returns out.
    virtual char* Format(char* out) = 0;

    int32_t kind;
    int32_t state = kEnabled;
    std::string label;
    EffectParam* controller = nullptr;  // enables this one by its index
    int32_t reserved = 0;
    BYTE enablingItems[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

// Kind 1 (and 5, a file path, with its dialog's settings).
class StringParam : public EffectParam {
public:
    StringParam() : EffectParam(1) {}
    // v: a zero-terminated text, copied.
    BOOL SetValue(const void* v) override;
    BOOL IsValid(int) override { return TRUE; }
    char* Format(char* out) override;

    std::string text;
    int32_t openDialog = 1;  // kind 5: an open dialog, else a save dialog
    std::string filter;      // kind 5: "Label|*.a||"
};

// Kind 2: the options are one text with ';' after each, not owned.
class EnumParam : public EffectParam {
public:
    EnumParam() : EffectParam(2) {}
    // v: the option text, kept as it is.
    BOOL SetValue(const void* v) override;
    BOOL IsValid(int) override { return TRUE; }
    // The option at index among the non-empty options (as the grid lists
    // them), empty when there is none.
    char* Format(char* out) override;

    const char* options = nullptr;
    int32_t index = 0;
};

// Kind 4 (and 0, the integer in a text box).
class IntParam : public EffectParam {
public:
    IntParam() : EffectParam(4) {}
    // v: points at an int32, copied.
    BOOL SetValue(const void* v) override;
    // minimum <= v < maximum.
    BOOL IsValid(int v) override { return minimum <= v && v < maximum; }
    char* Format(char* out) override;

    int32_t number = 0;
    int32_t minimum = -1000;
    int32_t maximum = 1000;
};

// The non-empty items of a ';'-separated option text: runs of ';' count as
// one separator.
std::vector<std::string> SplitOptions(const char* options);
