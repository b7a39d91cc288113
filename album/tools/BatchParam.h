// The album's typed parameter records: each owns its value, may be a heading
// row, and may apply only while a controlling list shows one of up to four
// items. Integer bounds are both allowed.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace shelf {

class EffectParam {
public:
    enum Control { kRow = 1, kHeading = 2 };

    EffectParam(int kind, const char* name) : kind(kind), name(name) {}
    virtual ~EffectParam() = default;
    EffectParam(const EffectParam&) = delete;
    EffectParam& operator=(const EffectParam&) = delete;

    // v: an int for integers, a zero-terminated text otherwise.
    virtual bool SetValue(const void* v) = 0;
    virtual bool IsValid(int v) const = 0;
    virtual std::string Text() const = 0;

    // Whether the row applies now: no controller, or its index is listed.
    bool Applies() const;
    // Makes this row apply only while controller's index is one of values.
    void ControlledBy(const EffectParam* controller, std::initializer_list<int> values);

    int kind;
    int control = kRow;
    std::string name;
    const EffectParam* controller = nullptr;
    int controlValues[4] = {-1, -1, -1, -1};
};

// Kind 1.
class StringParam : public EffectParam {
public:
    StringParam(const char* name, const char* value) : EffectParam(1, name), text(value) {}
    bool SetValue(const void* v) override;
    bool IsValid(int) const override { return true; }
    std::string Text() const override { return text; }

    std::string text;
};

// Kind 2: the items as one text separated by ';' (runs count as one, empty
// items skipped) and the selected index.
class EnumParam : public EffectParam {
public:
    EnumParam(const char* name, const char* items, int index) : EffectParam(2, name), items(items), index(index) {}
    bool SetValue(const void* v) override;
    bool IsValid(int v) const override { return v >= 0 && v < static_cast<int>(Items().size()); }
    std::string Text() const override;
    std::vector<std::string> Items() const;
    // The index of the item equal to text without regard to case; -1 when none.
    int Find(const char* text) const;

    std::string items;
    int index;
};

// Kind 4 (and 0, the wide variant).
class IntParam : public EffectParam {
public:
    IntParam(const char* name, int value, int minimum, int maximum, int kind = 4)
        : EffectParam(kind, name), number(value), minimum(minimum), maximum(maximum)
    {
    }
    bool SetValue(const void* v) override;
    bool IsValid(int v) const override { return minimum <= v && v <= maximum; }
    std::string Text() const override { return std::to_string(number); }

    int number;
    int minimum;
    int maximum;
};

class WideIntParam : public IntParam {
public:
    WideIntParam(const char* name, int value, int minimum = -1000000, int maximum = 1000000)
        : IntParam(name, value, minimum, maximum, 0)
    {
    }
};

// A heading bar row: no value of its own.
class HeadingParam : public StringParam {
public:
    explicit HeadingParam(const char* name) : StringParam(name, "") { control = kHeading; }
};

std::vector<std::string> SplitItems(const std::string& items);

} // namespace shelf
