// The update server's reply: any bytes parse into records whose fields stay
// inside their capacity, or are rejected with a status text.
#include "beacon/UpdateReply.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct CountingSink : beacon::UpdateListSink {
    void DeleteAllRows() override { rows = 0; }
    void AddRow(int index, const beacon::UpdateRow&) override
    {
        if (index != rows++)
            std::abort();
    }
    int rows = 0;
};

template <std::size_t N>
void CheckField(const char (&field)[N])
{
    if (!std::memchr(field, 0, N))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The window keeps at most 99,999 bytes, NUL-terminated.
    const std::string reply(reinterpret_cast<const char*>(data), size < 99999 ? size : 99999);
    std::vector<beacon::UpdateItem> items;
    CountingSink sink;
    const beacon::ParseOutcome out = beacon::ParseUpdateList(reply.c_str(), items, sink);
    if (out.accepted ? !out.status.empty() : (out.status.empty() || !items.empty()))
        std::abort();
    if (out.accepted && sink.rows != static_cast<int>(items.size()))
        std::abort();
    for (const beacon::UpdateItem& item : items) {
        CheckField(item.title);
        CheckField(item.url);
        CheckField(item.timeText);
        CheckField(item.itemId);
        CheckField(item.description);
        CheckField(item.sha256);
        beacon::MakeUpdateRow(item);
    }
    return 0;
}
