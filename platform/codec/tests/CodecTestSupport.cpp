#include "platform/codec/tests/CodecTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace codectest {

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "qlcodec-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void MakePicture(CQLImage& image, unsigned width, unsigned height, bool withAlpha, unsigned seed)
{
    if (image.Create(width, height) != 0)
        std::abort();
    unsigned noise = seed * 2654435761u + 17;
    for (unsigned y = 0; y < height; ++y) {
        BYTE* p = image.GetBuffer(0, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, p += 4) {
            noise = noise * 1664525u + 1013904223u;
            const unsigned n = (noise >> 28) & 7;
            p[0] = static_cast<BYTE>(std::min(255u, x * 247 / std::max(1u, width - 1) + n));
            p[1] = static_cast<BYTE>(std::min(255u, y * 247 / std::max(1u, height - 1) + n));
            p[2] = static_cast<BYTE>(std::min(255u, (x + 2 * y) * 97 / std::max(1u, width + height) + 80 + n));
            p[3] = withAlpha ? static_cast<BYTE>((x * 37 + y * 11) & 255) : 255;
        }
    }
}

void MakeFewColours(CQLImage& image, unsigned width, unsigned height, unsigned colours)
{
    if (image.Create(width, height) != 0)
        std::abort();
    for (unsigned y = 0; y < height; ++y) {
        BYTE* p = image.GetBuffer(0, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, p += 4) {
            const unsigned c = ((x / 3) + (y / 2) * 7) % colours;
            p[0] = static_cast<BYTE>(c * 53);
            p[1] = static_cast<BYTE>(c * 29 + 7);
            p[2] = static_cast<BYTE>(255 - c * 13);
            p[3] = 255;
        }
    }
}

UINT W(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return w;
}

UINT H(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return h;
}

bool Empty(const CQLImage& image)
{
    return image.GetAreaByteSize() == 0 && image.GetBuffer(0, 0) == nullptr;
}

bool SameSize(const CQLImage& a, const CQLImage& b)
{
    return W(a) == W(b) && H(a) == H(b);
}

int MaxDiff(const CQLImage& a, const CQLImage& b, bool withAlpha)
{
    if (!SameSize(a, b))
        return 1000;
    const BYTE* p = a.GetBuffer(0, 0);
    const BYTE* q = b.GetBuffer(0, 0);
    int m = 0;
    for (std::size_t i = 0; i < a.GetAreaByteSize(); ++i) {
        if (!withAlpha && (i & 3) == 3)
            continue;
        m = std::max(m, std::abs(int(p[i]) - int(q[i])));
    }
    return m;
}

double Psnr(const CQLImage& a, const CQLImage& b)
{
    if (!SameSize(a, b) || a.GetAreaByteSize() == 0)
        return 0;
    const BYTE* p = a.GetBuffer(0, 0);
    const BYTE* q = b.GetBuffer(0, 0);
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.GetAreaByteSize(); ++i) {
        if ((i & 3) == 3)
            continue;
        const double d = double(p[i]) - double(q[i]);
        sum += d * d;
        ++n;
    }
    if (sum == 0)
        return 99;
    return 10 * std::log10(255.0 * 255.0 / (sum / n));
}

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteAllBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path)
{
    return fs::exists(path);
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CorpusDir()
{
    const std::string dir = QUILLO_CORPUS_DIR;
    return fs::is_directory(dir) ? dir : std::string();
}

} // namespace codectest
