#include "imagecore/tests/BmpTestWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace bmptest {

namespace {

void Put16(std::vector<BYTE>& out, DWORD v)
{
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

void Put32(std::vector<BYTE>& out, DWORD v)
{
    Put16(out, v);
    Put16(out, v >> 16);
}

} // namespace

size_t RowBytes(LONG width, int bitCount)
{
    return (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
}

std::vector<BYTE> PadRows(const std::vector<std::vector<BYTE>>& rows, LONG width, int bitCount)
{
    std::vector<BYTE> out;
    for (const std::vector<BYTE>& row : rows) {
        std::vector<BYTE> padded = row;
        padded.resize(RowBytes(width, bitCount), 0);
        out.insert(out.end(), padded.begin(), padded.end());
    }
    return out;
}

std::vector<BYTE> Build(const BmpFile& bmp)
{
    const bool core = bmp.headerSize == 12;
    const bool masksAfterHeader = !bmp.masks.empty() && bmp.headerSize < 52;
    const size_t entry = core ? 3 : 4;
    // Odd sizes are written as a field only; the block itself stays small.
    const size_t infoSize = core ? 12 : std::clamp<size_t>(bmp.headerSize, 40, 124);
    const DWORD defaultOffset = static_cast<DWORD>(14 + infoSize + (masksAfterHeader ? 4 * bmp.masks.size() : 0)
                                                   + entry * bmp.palette.size() + bmp.gap);
    const DWORD offset = bmp.dataOffset.value_or(defaultOffset);

    std::vector<BYTE> info;
    Put32(info, bmp.headerSize);
    if (core) {
        Put16(info, static_cast<DWORD>(bmp.width));
        Put16(info, static_cast<DWORD>(bmp.height));
        Put16(info, 1);
        Put16(info, bmp.bitCount);
    } else {
        Put32(info, static_cast<DWORD>(bmp.width));
        Put32(info, static_cast<DWORD>(bmp.height));
        Put16(info, 1);
        Put16(info, bmp.bitCount);
        Put32(info, bmp.compression);
        Put32(info, static_cast<DWORD>(bmp.rows.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, bmp.colorsUsed);
        Put32(info, 0);
        if (!masksAfterHeader)
            for (DWORD m : bmp.masks)
                Put32(info, m);
        info.resize(infoSize, 0);
    }

    std::vector<BYTE> out = {'B', 'M'};
    Put32(out, static_cast<DWORD>(defaultOffset + bmp.rows.size()));
    Put32(out, 0);
    Put32(out, offset);
    out.insert(out.end(), info.begin(), info.end());
    if (masksAfterHeader)
        for (DWORD m : bmp.masks)
            Put32(out, m);
    for (DWORD c : bmp.palette) {
        out.push_back(static_cast<BYTE>(c));
        out.push_back(static_cast<BYTE>(c >> 8));
        out.push_back(static_cast<BYTE>(c >> 16));
        if (!core)
            out.push_back(0);
    }
    out.resize(out.size() + bmp.gap, 0xEE);
    out.insert(out.end(), bmp.rows.begin(), bmp.rows.end());
    return out;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::vector<BYTE> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempPath(const std::string& name)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string test = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
    for (char& ch : test)
        if (ch == '/')
            ch = '_';
    return ::testing::TempDir() + "imagecore_" + std::to_string(getpid()) + "_" + test + "_" + name;
}

} // namespace bmptest
