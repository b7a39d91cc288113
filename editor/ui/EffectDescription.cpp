#include "editor/ui/EffectDescription.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>

namespace {

constexpr int kMaxEnumStatements = EffectOptionTable::kEntries;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// atoi without its undefined overflow: out-of-range numbers saturate.
int ReadInt(const std::string& text)
{
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

class DescriptionParser {
public:
    DescriptionParser(std::string text, std::vector<EffectParam*>* params, EffectOptionTable* options)
        : s(std::move(text)), params(params), options(options)
    {
    }

    bool Run()
    {
        if (s.empty())
            return false;
        while (i < s.size()) {
            if (s[i] == ';')
                return false;  // empty statement
            if (!Statement())
                return false;
            if (i < s.size())
                ++i;  // the ';'
        }
        return true;
    }

private:
    bool AtStatementEnd() const { return i >= s.size() || s[i] == ';'; }
    void SkipToStatementEnd()
    {
        while (!AtStatementEnd())
            ++i;
    }

    bool Statement()
    {
        const size_t kindStart = i;
        while (i < s.size() && !IsBlank(s[i])) {
            if (s[i] == ';')
                return false;
            ++i;
        }
        if (i >= s.size() || i - kindStart > kMaxKindWordLength)
            return false;
        const std::string kind = s.substr(kindStart, i - kindStart);

        while (i < s.size() && IsBlank(s[i]))
            ++i;
        if (AtStatementEnd() || s[i] != '\'')
            return false;
        const size_t nameStart = ++i;
        while (i < s.size() && s[i] != '\'') {
            if (s[i] == ';')
                return false;
            ++i;
        }
        if (i >= s.size() || i - nameStart > kMaxNameLength)
            return false;
        const std::string name = s.substr(nameStart, i - nameStart);
        ++i;
        while (i < s.size() && (IsBlank(s[i]) || s[i] == '\''))
            ++i;

        if (strcasecmp(kind.c_str(), "bar") == 0) {
            auto caption = std::make_unique<StringParam>();
            caption->state = EffectParam::kCaption;
            caption->label = name;
            params->push_back(caption.release());
            SkipToStatementEnd();
            return true;
        }

        std::vector<std::string> values;
        if (!ValueList(&values))
            return false;
        if (!MakeParam(kind, name, values))
            return false;
        SkipToStatementEnd();
        return true;
    }

    bool ValueList(std::vector<std::string>* values)
    {
        if (AtStatementEnd() || s[i] != '{')
            return false;
        ++i;
        for (;;) {
            while (i < s.size() && (IsBlank(s[i]) || s[i] == ','))
                ++i;
            if (AtStatementEnd())
                return false;
            if (s[i] == '}') {
                ++i;
                return true;
            }
            std::string value;
            if (s[i] == '\'') {
                const size_t start = ++i;
                // The closing quote is the first one not after a backslash;
                // the backslash stays in the value.
                while (i < s.size() && !(s[i] == '\'' && s[i - 1] != '\\'))
                    ++i;
                if (i >= s.size())
                    return false;
                value = s.substr(start, i - start);
                ++i;
                if (i >= s.size() || (s[i] != ',' && s[i] != '}'))
                    return false;
            } else {
                while (i < s.size() && s[i] != ',' && s[i] != '}') {
                    if (s[i] == ';')
                        return false;
                    if (!IsBlank(s[i]))
                        value += s[i];
                    ++i;
                }
                if (i >= s.size())
                    return false;
            }
            if (value.size() > kMaxValueLength)
                return false;
            values->push_back(std::move(value));
        }
    }

    bool MakeParam(const std::string& kind, const std::string& name, const std::vector<std::string>& values)
    {
        if (strcasecmp(kind.c_str(), "Int") == 0) {
            if (values.size() != 3)
                return false;
            auto param = std::make_unique<IntParam>();
            param->label = name;
            param->minimum = ReadInt(values[0]);
            param->maximum = ReadInt(values[1]);
            const int32_t initial = ReadInt(values[2]);
            if (param->SetValue(&initial))
                params->push_back(param.release());
            return true;
        }
        if (strcasecmp(kind.c_str(), "string") == 0) {
            if (values.size() != 2)
                return false;
            auto param = std::make_unique<StringParam>();
            param->label = name;
            if (param->SetValue(values[1].c_str()))
                params->push_back(param.release());
            return true;
        }
        if (strcasecmp(kind.c_str(), "enum") == 0) {
            if (values.size() < 3 || ++enumStatements > kMaxEnumStatements)
                return false;
            std::string joined;
            for (size_t k = 1; k < values.size(); ++k)
                joined += values[k] + ';';
            const char* optionText = options->Add(joined);
            if (!optionText)
                return false;
            auto param = std::make_unique<EnumParam>();
            param->label = name;
            param->index = ReadInt(values[0]);
            if (param->SetValue(optionText))
                params->push_back(param.release());
            return true;
        }
        return true;  // an unknown kind with a good list makes nothing
    }

    std::string s;
    size_t i = 0;
    std::vector<EffectParam*>* params;
    EffectOptionTable* options;
    int enumStatements = 0;
};

void AppendQuoted(std::string* out, const std::string& text)
{
    for (char c : text) {
        if (c == '\'')
            *out += '\\';
        *out += c;
    }
}

}  // namespace

const char* EffectOptionTable::Add(const std::string& text)
{
    if (count >= kEntries || text.size() >= kEntrySize)
        return nullptr;
    char* entry = entries[count++];
    std::memcpy(entry, text.c_str(), text.size() + 1);
    return entry;
}

bool ParseEffectDescription(const char* text, std::vector<EffectParam*>* params, EffectOptionTable* options)
{
    std::string cleaned;
    for (const char* p = text ? text : ""; *p; ++p)
        if (*p != '\n' && *p != '\r')
            cleaned += *p;
    std::vector<EffectParam*> made;
    DescriptionParser parser(std::move(cleaned), &made, options);
    const int optionsBefore = options->Count();
    if (!parser.Run()) {
        DeleteEffectParams(&made);
        while (options->Count() > optionsBefore)
            options->RemoveLast();
        return false;
    }
    params->insert(params->end(), made.begin(), made.end());
    return true;
}

std::string FormatEffectValues(const std::vector<EffectParam*>& params)
{
    std::string out;
    for (EffectParam* param : params) {
        if (!param || param->state == EffectParam::kCaption)
            continue;
        std::string value;
        if (auto* text = dynamic_cast<StringParam*>(param); text && param->kind == 1)
            AppendQuoted(&value, text->text);
        else if (auto* choice = dynamic_cast<EnumParam*>(param); choice && param->kind == 2)
            value = std::to_string(choice->index);
        else if (auto* number = dynamic_cast<IntParam*>(param); number && param->kind == 4)
            value = std::to_string(number->number);
        else
            continue;  // kinds the description never makes
        out += '\'';
        out += param->label;
        out += "'='";
        out += value;
        out += "';";
    }
    return out;
}

void DeleteEffectParams(std::vector<EffectParam*>* params)
{
    for (EffectParam* param : *params)
        delete param;
    params->clear();
}
