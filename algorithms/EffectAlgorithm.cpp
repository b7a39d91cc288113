#include "algorithms/EffectAlgorithm.h"

#include <cstring>

thread_local int EffectAlgorithm::lastReportedProgress = 0;

EffectAlgorithm::~EffectAlgorithm() = default;

ProgressCallback EffectAlgorithm::GetCallback()
{
    return callback;
}

HRESULT EffectAlgorithm::Apply(const void*)
{
    cancelRequested.store(0, std::memory_order_relaxed);
    if (!source || !target || source->GetAreaByteSize() == 0)
        return E_FAIL;
    return 0;
}

void EffectAlgorithm::SetRange(int low, int high)
{
    rangeLow = low;
    rangeHigh = high;
}

void EffectAlgorithm::AddImage(CQLImage* image)
{
    images.push_back(image);
}

void EffectAlgorithm::ClearImages()
{
    images.clear();
}

void EffectAlgorithm::SetImages(CQLImage* src, CQLImage* dst)
{
    source = src;
    target = dst;
}

void EffectAlgorithm::SetCallback(ProgressCallback cb)
{
    callback = cb;
}

void EffectAlgorithm::Progress(int percent)
{
    // 32-bit arithmetic, division truncating toward zero, as every caller expects.
    const int value = RangeAt(percent);
    if (value == lastReportedProgress || !callback)
        return;
    callback(1, value);
    lastReportedProgress = value;
}

int EffectAlgorithm::TestCancel()
{
    return cancelRequested.exchange(0, std::memory_order_relaxed) != 0 ? 1 : 0;
}

int EffectAlgorithm::CopySourceToTarget()
{
    if (!source || !target)
        return 0;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    if (target->Create(w, h) != 0)
        return 0;
    if (target != source && target->GetAreaByteSize() != 0)
        std::memcpy(target->GetBuffer(0, 0), source->GetBuffer(0, 0), target->GetAreaByteSize());
    return 1;
}

HRESULT FilterHost::Apply(const void* params)
{
    cancelRequested.store(0, std::memory_order_relaxed);
    // The function pointer arrives through the untyped slot.
    Function fn = reinterpret_cast<Function>(const_cast<void*>(params));
    if (!fn)
        return E_FAIL;
    return fn(param, this);
}
