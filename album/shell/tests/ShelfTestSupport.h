// Scratch folders and small file helpers for the album's tests.
#pragma once

#include <string>

namespace shelftest {

// A fresh empty folder for one test, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // With a trailing '/'.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
void MakeFolder(const std::string& path);

} // namespace shelftest
