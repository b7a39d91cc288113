// Shared pieces of the codec tests: scratch folders, test pictures, comparisons.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <string>
#include <vector>

namespace codectest {

// A fresh folder for one test, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Smooth gradients with a little texture; alpha 255, or a pattern of alpha
// values when withAlpha is set.
void MakePicture(CQLImage& image, unsigned width, unsigned height, bool withAlpha = false, unsigned seed = 1);
// A picture of at most `colours` distinct colours (blocks).
void MakeFewColours(CQLImage& image, unsigned width, unsigned height, unsigned colours);

// Largest difference of any byte (or of B, G, R only).
int MaxDiff(const CQLImage& a, const CQLImage& b, bool withAlpha = true);
double Psnr(const CQLImage& a, const CQLImage& b);
bool SameSize(const CQLImage& a, const CQLImage& b);
UINT W(const CQLImage& image);
UINT H(const CQLImage& image);
bool Empty(const CQLImage& image);

std::vector<unsigned char> ReadAll(const std::string& path);
void WriteAllBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool Exists(const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);

// The shared corpus folder, or "" when it is absent.
std::string CorpusDir();

} // namespace codectest
