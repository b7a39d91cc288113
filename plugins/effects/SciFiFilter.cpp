#include "plugins/effects/SciFiFilter.h"

#include "algorithms/MonoToneAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "plugins/effects/SciFiAlgorithm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* kRadiusCn = "半径";
constexpr const char* kAmountCn = "强度";
constexpr const char* kColourCn = "处理颜色";

} // namespace

const EffectTexts kSciFiEnglish = {
    "Sci-fi",
    "Fit for the scene of city and buildings. To make a unreal world.",
    "int 'Radius'{1,128,64};int 'Amount'{0,100,50};enum 'process color'{0,'true','false'};",
};
const EffectTexts kSciFiChinese = {
    "科幻",
    "适合城市与建筑的场景，营造一个超现实的世界。",
    "int '半径'{1,128,64};int '强度'{0,100,50};enum '处理颜色'{0,'是','否'};",
};

BYTE SciFiFilter::ToneLevel(int i)
{
    const double v = i - 10.0 * std::sin(6.283 * i / 256.0);
    return static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 255));
}

int SciFiFilter::SetParam(const char* name, const char* value)
{
    if (IsParamName(name, "Radius", kRadiusCn))
        radius = std::atoi(value);
    else if (IsParamName(name, "Amount", kAmountCn))
        amount = std::atoi(value);
    else if (IsParamName(name, "process color", kColourCn))
        processColour = std::atoi(value) == 0 ? 1 : 0;
    return 1;
}

HRESULT SciFiFilter::Apply(const char* values)
{
    if (PluginFilter::Apply(values) != 0 || !source || !target)
        return E_FAIL;
    if (!target->DuplicateFrom(source) || !work.DuplicateFrom(source))
        return E_FAIL;
    if (processColour) {
        BYTE curve[256];
        for (int i = 0; i < 256; ++i)
            curve[i] = ToneLevel(i);
        UINT w = 0, h = 0;
        target->GetSize(&w, &h);
        imagecore::ParallelFor(0, static_cast<int>(h), w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* p = target->GetBuffer(0, y);
                for (UINT x = 0; x < w; ++x, p += 4) {
                    p[0] = curve[p[0]];
                    p[1] = curve[p[1]];
                    p[2] = curve[p[2]];
                }
            }
        });
        Progress(5);
        // Grey by 78/158/20, mixed at 200, tinted through three points; the
        // third point's saturation is left at 0.
        const MonoToneParams tone{0, 78, 158, 20, 200, 140, 140, 140, 255, 20, 0, 20};
        MonoToneAlgorithm mono;
        mono.SetImages(target, &work);
        if (mono.Apply(&tone) != 0 || Cancelled())
            return E_FAIL;
    }
    Progress(20);
    if (Cancelled())
        return E_FAIL;
    SciFiAlgorithm scifi;
    scifi.SetImages(&work, target);
    scifi.SetCallback(host->GetCallback());
    scifi.SetRange(20, 100);
    scifi.SetCancelSource(host);
    // Values outside the description's ranges come only from a foreign host.
    const SciFiParams p{std::min(radius, 128), std::clamp(amount, 0, 100) * 3, 0};
    return scifi.Apply(&p) == 0 ? 0 : E_FAIL;
}
