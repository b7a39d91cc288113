#include "EffectTestSupport.h"

#include "platform/codec/QLImageCodec.h"
#include "platform/win/Library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace effecttest {

namespace {

int Record(int code, int value)
{
    if (code == 1)
        RecordingHost::Values().push_back(value);
    return 0;
}

} // namespace

void Fill(CQLImage* image, int w, int h, const std::function<CPixel(int, int)>& colour)
{
    ASSERT_EQ(image->Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->PutPixel(x, y, colour(x, y));
}

bool SameImage(const CQLImage& a, const CQLImage& b)
{
    return a.GetAreaByteSize() == b.GetAreaByteSize() &&
           std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

void YuvRoundTrip(CQLImage* image)
{
    CQLImageCodec codec;
    codec.RGBToYUV(image);
    codec.YUVToRGB(image);
}

RecordingHost::RecordingHost(CQLImage* source, CQLImage* target)
{
    SetImages(source, target);
    SetCallback(Record);
    Values().clear();
}

RecordingHost::~RecordingHost()
{
    Values().clear();
}

std::vector<int>& RecordingHost::Values()
{
    static std::vector<int> values;
    return values;
}

ModuleCopy::ModuleCopy(const std::string& folder, const char* moduleFile)
{
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + moduleFile;
    std::filesystem::copy_file(CreativeDir() + "/" + moduleFile, path,
                               std::filesystem::copy_options::overwrite_existing);
    module = LoadLibraryA(path.c_str());
}

ModuleCopy::~ModuleCopy()
{
    if (module)
        FreeLibrary(module);
}

std::string CreativeDir()
{
    return QUILLO_CREATIVE_DIR;
}

} // namespace effecttest
