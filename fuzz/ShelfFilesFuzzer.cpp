// The album's stored files from one input: the property file's records, the
// tag set's text and a project file. An accepted record must write back to
// bytes that read as the same record.
#include "album/shell/FolderNode.h"
#include "album/shell/PhotoEntry.h"
#include "album/shell/TagSet.h"
#include "fuzz/FuzzFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    shelf::PhotoEntries entries;
    shelf::ReadPropertyRecords(file, entries);
    std::fclose(file);
    for (auto& entry : entries) {
        std::string once = entry->EncodeRecord();
        FILE* again = fmemopen(once.data(), once.size(), "rb");
        shelf::PhotoEntry reread;
        if (!reread.Serialize(again, 1) || reread.EncodeRecord() != once)
            std::abort();
        std::fclose(again);
    }

    shelf::CTagSet tags;
    tags.Parse(bytes.c_str());
    for (int i = 0; i < tags.GetCount(); ++i)
        if (!shelf::CTagSet::IsValidTag(tags.GetAt(i)) && std::string(tags.GetAt(i)).find_first_of("\r\n") == std::string::npos)
            std::abort();

    shelf::Project project;
    project.Load(WriteFuzzFile(data, size));
    return 0;
}
