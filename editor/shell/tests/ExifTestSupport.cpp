#include "ExifTestSupport.h"

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace exiftest {

namespace {

void Put16(std::vector<BYTE>& v, WORD x)
{
    v.push_back(BYTE(x));
    v.push_back(BYTE(x >> 8));
}
void Put32(std::vector<BYTE>& v, DWORD x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(BYTE(x >> (8 * i)));
}

} // namespace

Entry Text(WORD tag, const std::string& text)
{
    std::vector<BYTE> d(text.begin(), text.end());
    d.push_back(0);
    return {tag, 2, DWORD(d.size()), d};
}
Entry Short(WORD tag, WORD value)
{
    std::vector<BYTE> d;
    Put16(d, value);
    return {tag, 3, 1, d};
}
Entry Long(WORD tag, DWORD value)
{
    std::vector<BYTE> d;
    Put32(d, value);
    return {tag, 4, 1, d};
}
Entry Rational(WORD tag, DWORD num, DWORD den)
{
    std::vector<BYTE> d;
    Put32(d, num);
    Put32(d, den);
    return {tag, 5, 1, d};
}
Entry SRational(WORD tag, LONG num, LONG den)
{
    std::vector<BYTE> d;
    Put32(d, DWORD(num));
    Put32(d, DWORD(den));
    return {tag, 10, 1, d};
}
Entry Undefined(WORD tag, const std::vector<BYTE>& bytes)
{
    return {tag, 7, DWORD(bytes.size()), bytes};
}

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/qlexif-XXXXXX";
    if (mkdtemp(pattern))
        m_path = pattern;
}

TempFolder::~TempFolder()
{
    if (!m_path.empty())
        std::filesystem::remove_all(m_path);
}

void MakePhoto(CQLImage& image)
{
    image.Create(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            image.PutPixel(x, y, CPixel{BYTE(x * 10), BYTE(y * 15), BYTE((x + y) * 5), 255});
}

std::string SavePhoto(const std::string& path)
{
    CQLImage image;
    MakePhoto(image);
    CQLImageCodec codec;
    EXPECT_NE(codec.SaveFile(path.c_str(), &image), 0);
    return path;
}

std::string JpegWithExif(const std::string& path, const std::vector<Entry>& entries)
{
    SavePhoto(path);
    std::vector<BYTE> file = FileBytes(path);
    // TIFF header, IFD0, then the values that do not fit in an entry.
    std::vector<BYTE> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    Put16(tiff, WORD(entries.size()));
    DWORD valueAt = DWORD(8 + 2 + 12 * entries.size() + 4);
    std::vector<BYTE> values;
    for (const Entry& e : entries) {
        Put16(tiff, e.tag);
        Put16(tiff, e.type);
        Put32(tiff, e.count);
        if (e.data.size() <= 4) {
            std::vector<BYTE> inline4 = e.data;
            inline4.resize(4, 0);
            tiff.insert(tiff.end(), inline4.begin(), inline4.end());
        } else {
            Put32(tiff, valueAt + DWORD(values.size()));
            values.insert(values.end(), e.data.begin(), e.data.end());
            if (values.size() & 1)
                values.push_back(0);
        }
    }
    Put32(tiff, 0);
    tiff.insert(tiff.end(), values.begin(), values.end());
    const std::size_t length = 2 + 6 + tiff.size();
    std::vector<BYTE> app1 = {0xFF, 0xE1, BYTE(length >> 8), BYTE(length), 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    // After the codec's APP0.
    EXPECT_EQ(file[3], 0xE0);
    const std::size_t after = 4 + (std::size_t(file[4]) << 8 | file[5]);
    file.insert(file.begin() + long(after), app1.begin(), app1.end());
    WriteBytes(path, file);
    return path;
}

std::vector<BYTE> FileBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(f), {});
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

bool SamePixels(const CQLImage& a, const std::string& path)
{
    CQLImageCodec codec;
    CQLImage b;
    if (!codec.LoadFile(path.c_str(), &b))
        return false;
    UINT w1, h1, w2, h2;
    a.GetSize(&w1, &h1);
    b.GetSize(&w2, &h2);
    return w1 == w2 && h1 == h2 && std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

} // namespace exiftest
