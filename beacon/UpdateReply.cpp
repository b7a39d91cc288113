#include "beacon/UpdateReply.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace beacon {

namespace {

// Copies text into a field of size N, cut to its capacity at a character
// boundary so a UTF-8 title is never left with half a character.
template <std::size_t N>
void CutInto(char (&field)[N], const std::string& text)
{
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

template <std::size_t N>
bool FitInto(char (&field)[N], const std::string& text)
{
    if (text.size() > N - 1)
        return false;
    CutInto(field, text);
    return true;
}

bool IsDigest(const std::string& t)
{
    if (t.size() != 64)
        return false;
    for (char c : t)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

bool ReadReplyLine(const char*& cursor, std::string& line)
{
    while (*cursor == ' ' || *cursor == '\r' || *cursor == '\n')
        ++cursor;
    const char* start = cursor;
    while (*cursor && *cursor != '\r' && *cursor != '\n')
        ++cursor;
    line.assign(start, cursor);
    return line.size() >= 4;
}

const char* ReadReplyToken(const char* pos, std::string& token)
{
    token.clear();
    while (*pos == ',')
        ++pos;
    bool quoted = false;
    for (; *pos; ++pos) {
        if (*pos == '\'')
            quoted = !quoted;
        else if (*pos == ',' && !quoted)
            break;
        else
            token += *pos;
    }
    return pos;
}

bool ParseUpdateRecord(const std::string& line, std::vector<UpdateItem>& items)
{
    if (line.size() > kMaxReplyLine)
        return false;
    UpdateItem item;
    const char* pos = line.c_str();
    std::string token;
    int count = 0;
    do {
        pos = ReadReplyToken(pos, token);
        if (token.size() > kMaxReplyToken)
            return false;
        switch (count) {
        case 0:
            CutInto(item.title, token);
            break;
        case 1:
            if (!FitInto(item.url, token))
                return false;
            break;
        case 2:
            item.sizeKB = std::atof(token.c_str());
            break;
        case 3:
            CutInto(item.timeText, token);
            break;
        case 4:
            if (!FitInto(item.itemId, token))
                return false;
            break;
        case 5:
            item.type = std::atoi(token.c_str());
            break;
        case 6:
            CutInto(item.description, token);
            break;
        case 7:
            if (IsDigest(token)) {
                for (char& c : token)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                CutInto(item.sha256, token);
            }
            break;
        default:
            break;
        }
        ++count;
    } while (*pos);
    if (count < 6)
        return false;
    items.push_back(item);
    return true;
}

const char* TypeText(int type)
{
    static const char* const kTexts[] = {"", "Link", "Frame", "Plugins", "ColorTheme", "Software", "Other"};
    return type >= 1 && type <= 6 ? kTexts[type] : "";
}

UpdateRow MakeUpdateRow(const UpdateItem& item)
{
    UpdateRow row;
    row.image = item.type;
    row.contents = item.title;
    if (item.type == 1)
        row.contents += "  [Doubleclick To Know More]";
    row.type = TypeText(item.type);
    if (item.type > 1) {
        char size[64];
        std::snprintf(size, sizeof size, "%.1fKB", item.sizeKB);
        row.size = size;
        row.time = item.timeText;
    }
    return row;
}

ParseOutcome ParseUpdateList(const char* reply, std::vector<UpdateItem>& items, UpdateListSink& list)
{
    list.DeleteAllRows();
    items.clear();
    ParseOutcome outcome;
    const char* cursor = reply ? reply : "";
    std::string line;
    int counted = 0;
    while (ReadReplyLine(cursor, line)) {
        ++counted;
        if (line[0] == '<')
            continue;
        if (!ParseUpdateRecord(line, items)) {
            items.clear();
            outcome.status = counted == 1 ? line : kErrorOccurs;
            return outcome;
        }
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        list.AddRow(static_cast<int>(i), MakeUpdateRow(items[i]));
    outcome.accepted = true;
    return outcome;
}

} // namespace beacon
