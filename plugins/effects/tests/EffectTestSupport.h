// Helpers of the effect plug-in tests: pictures, comparisons, a host that
// records progress, and a loaded copy of a plug-in module for its folder.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <functional>
#include <string>
#include <vector>

namespace effecttest {

// w x h from colour(x, y) (B, G, R, A).
void Fill(CQLImage* image, int w, int h, const std::function<CPixel(int, int)>& colour);
bool SameImage(const CQLImage& a, const CQLImage& b);
// The codec's round trip to its YUV form and back.
void YuvRoundTrip(CQLImage* image);

// A host over source and target whose progress goes to Values().
class RecordingHost : public FilterHost {
public:
    RecordingHost(CQLImage* source, CQLImage* target);
    ~RecordingHost() override;
    static std::vector<int>& Values();
};

// A module loaded from a folder of the test's own: the plug-in file copied
// beside (or without) a texture.
class ModuleCopy {
public:
    ModuleCopy(const std::string& folder, const char* moduleFile);
    ~ModuleCopy();
    HMODULE Handle() const { return module; }

private:
    HMODULE module = nullptr;
};

std::string CreativeDir();

} // namespace effecttest
