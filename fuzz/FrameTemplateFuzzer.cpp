// Frame template files: the chunk reader, the stored pictures and the rename
// walk, which rewrites a scratch copy of the input.
#include "editor/retouch/FrameTemplate.h"
#include "fuzz/FuzzFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

const std::string& ScratchCopy()
{
    static const std::string path = [] {
        char folder[] = "/tmp/quillo-fuzz-frameXXXXXX";
        if (!mkdtemp(folder))
            std::abort();
        return std::string(folder) + "/t.frm";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetFrameMessageHandler([](const char*) {});
    FrameTemplate frame;
    if (!frame.Read(WriteFuzzFile(data, size).c_str()))
        return 0;
    CQLImage picture;
    frame.ReadPicture(false, &picture);
    frame.ReadPicture(true, &picture);

    FILE* copy = std::fopen(ScratchCopy().c_str(), "wb");
    if (!copy || (size && std::fwrite(data, 1, size, copy) != size) || std::fclose(copy) != 0)
        std::abort();
    frame.m_path = ScratchCopy();
    if (frame.Rename("Renamed")) {
        FrameTemplate again;
        if (!again.Read(ScratchCopy().c_str()))
            std::abort(); // a rename never breaks a file that read
    }
    return 0;
}
