// Small helpers of the frame template tests: a scratch folder and hand-made
// chunk files.
#pragma once

#include "platform/win/WinTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace frametest {

using Bytes = std::vector<BYTE>;

inline void PutInt(Bytes& b, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<BYTE>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

// One chunk: id, declared length, then the data given (which may be shorter).
inline Bytes Chunk(BYTE id, const Bytes& data, std::int64_t declared = -2)
{
    Bytes b{id};
    PutInt(b, static_cast<std::int32_t>(declared == -2 ? static_cast<std::int64_t>(data.size()) : declared));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes Text(const std::string& s, std::size_t field)
{
    Bytes b(s.begin(), s.end());
    b.resize(field, 0);
    return b;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("quillo-frame-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;
};

}  // namespace frametest
