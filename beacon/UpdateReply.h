// The update server's reply: one item a line, comma-separated tokens, single
// quotes around a token that holds commas.
#pragma once

#include <string>
#include <vector>

namespace beacon {

struct UpdateItem {
    char title[256] = {};
    char url[256] = {};
    double sizeKB = 0;
    char timeText[32] = {};
    char itemId[24] = {};
    int type = 0;
    char description[1024] = {};
    // The download's SHA-256 (64 lower-case hex digits), empty when not announced.
    char sha256[65] = {};
};

inline constexpr std::size_t kMaxReplyLine = 1023;
inline constexpr std::size_t kMaxReplyToken = 512;
inline constexpr const char kErrorOccurs[] = "Error Occurs!";

// Skips blanks and line ends, then takes the line; TRUE when it has at least
// 4 characters (a shorter one ends the reply).
bool ReadReplyLine(const char*& cursor, std::string& line);
// Skips commas at pos, then takes a token up to a comma outside quotes or
// the end; returns where it ended.
const char* ReadReplyToken(const char* pos, std::string& token);
// One line into items; false when the line is rejected.
bool ParseUpdateRecord(const std::string& line, std::vector<UpdateItem>& items);

// One list row as shown.
struct UpdateRow {
    int image = 0;
    std::string contents, type, size, time;
};
UpdateRow MakeUpdateRow(const UpdateItem& item);
// "Link", "Frame", ... for types 1 to 6, else "".
const char* TypeText(int type);

// Where the parsed rows go (the window's list, or a test's table).
class UpdateListSink {
public:
    virtual ~UpdateListSink() = default;
    virtual void DeleteAllRows() = 0;
    // index: the record's index in items, which is also the row's.
    virtual void AddRow(int index, const UpdateRow& row) = 0;
};

struct ParseOutcome {
    bool accepted = false;
    std::string status;  // when rejected: the first line itself, or "Error Occurs!"
};

// Empties items and the list, reads every line; on acceptance fills the list.
ParseOutcome ParseUpdateList(const char* reply, std::vector<UpdateItem>& items, UpdateListSink& list);

} // namespace beacon
