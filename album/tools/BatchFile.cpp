#include "album/tools/BatchFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <strings.h>
#include <unistd.h>

namespace shelf {
namespace {

constexpr std::size_t kRecordHead = 9;

void Put32(std::vector<BYTE>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

void Put16(std::vector<BYTE>& out, uint16_t v)
{
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

void PutText(std::vector<BYTE>& out, const std::string& text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), 0xFFFF);
    Put16(out, static_cast<uint16_t>(n));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

uint32_t Get32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Get16(const BYTE* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// A text of the record, length-prefixed; false when it runs past end.
bool GetText(const BYTE*& p, const BYTE* end, std::string& text)
{
    if (end - p < 2)
        return false;
    const uint16_t n = Get16(p);
    p += 2;
    if (end - p < n)
        return false;
    text.assign(reinterpret_cast<const char*>(p), n);
    p += n;
    return true;
}

bool TakeValue(EffectParam& param, const std::string& value)
{
    switch (param.kind) {
    case 0: {
        auto& p = static_cast<IntParam&>(param);
        p.number = std::atoi(value.c_str());
        return true;
    }
    case 1:
        return param.SetValue(value.c_str());
    case 2: {
        auto& p = static_cast<EnumParam&>(param);
        const int index = p.Find(value.c_str());
        if (index < 0)
            return false;
        p.index = index;
        return true;
    }
    case 4: {
        auto& p = static_cast<IntParam&>(param);
        const int v = std::atoi(value.c_str());
        if (!p.IsValid(v))
            return false;
        p.number = v;
        return true;
    }
    default:
        return false;
    }
}

EffectParam* FindParam(BatchAction& action, const std::string& name, uint32_t kind)
{
    for (auto& p : action.params)
        if (p->control != EffectParam::kHeading && static_cast<uint32_t>(p->kind) == kind &&
            strcasecmp(p->name.c_str(), name.c_str()) == 0)
            return p.get();
    return nullptr;
}

// One record whose length has been checked to lie inside the file.
bool ParseRecord(ActionTable& table, const BYTE* record, uint32_t length)
{
    if (length < kRecordHead)
        return false;
    BatchAction* action = FindAction(table, static_cast<int>(Get32(record + 4)));
    if (!action)
        return false;
    const int entries = record[8];
    const BYTE* p = record + kRecordHead;
    const BYTE* end = record + length;
    for (int i = 0; i < entries; ++i) {
        if (end - p < 4)
            return false;
        const uint32_t kind = Get32(p);
        p += 4;
        std::string name, value;
        if (!GetText(p, end, name) || !GetText(p, end, value))
            return false;
        EffectParam* param = FindParam(*action, name, kind);
        if (!param || !TakeValue(*param, value))
            return false;
    }
    if (p != end)
        return false;
    action->selected = 1;
    return true;
}

} // namespace

std::vector<BYTE> SerializeBatch(const ActionTable& table)
{
    std::vector<BYTE> out;
    for (const BatchAction& a : table) {
        if (!a.selected)
            continue;
        const std::size_t start = out.size();
        Put32(out, 0);
        Put32(out, static_cast<uint32_t>(a.id));
        out.push_back(0);
        int entries = 0;
        for (const auto& p : a.params) {
            if (p->control == EffectParam::kHeading)
                continue;
            Put32(out, static_cast<uint32_t>(p->kind));
            PutText(out, p->name);
            PutText(out, p->Text());
            ++entries;
        }
        const uint32_t length = static_cast<uint32_t>(out.size() - start);
        for (int i = 0; i < 4; ++i)
            out[start + i] = static_cast<BYTE>(length >> (8 * i));
        out[start + 8] = static_cast<BYTE>(entries);
    }
    return out;
}

int ParseBatchFile(ActionTable& table, const BYTE* data, std::size_t size)
{
    for (BatchAction& a : table)
        a.selected = 0;
    if (!data || size < 4)
        return 0;
    std::size_t offset = 0;
    // A record whose length runs past the end is a cut-off tail: the file
    // ends before it.
    while (size - offset >= 4) {
        const uint32_t length = Get32(data + offset);
        if (length > size - offset)
            break;
        if (!ParseRecord(table, data + offset, length)) {
            for (BatchAction& a : table)
                a.selected = 0;
            return 0;
        }
        offset += length;
    }
    return 1;
}

BatchFileResult SaveBatchFile(const ActionTable& table, const std::string& path)
{
    const std::vector<BYTE> bytes = SerializeBatch(table);
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return BatchFileResult::CannotOpen;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return BatchFileResult::CannotOpen;
    }
    return BatchFileResult::Ok;
}

BatchFileResult LoadBatchFile(ActionTable& table, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return BatchFileResult::CannotOpen;
    // Only records the table can hold make sense: far below this.
    constexpr std::size_t kMaxFile = 16 << 20;
    std::vector<BYTE> bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > kMaxFile)
            return BatchFileResult::BadFile;
    }
    return ParseBatchFile(table, bytes.data(), bytes.size()) ? BatchFileResult::Ok : BatchFileResult::BadFile;
}

} // namespace shelf
