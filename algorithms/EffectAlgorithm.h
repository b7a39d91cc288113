// Base of every image effect: a source, a target, extra images, progress
// reporting mapped into a range, and a cancel request from another thread.
// Plug-ins and the algorithm thread call effects by slot, so the order of the
// virtual operations below is fixed: do not add, remove or reorder any.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <atomic>
#include <vector>

// callback(code, value); code 1 is progress with the mapped percent in value.
using ProgressCallback = int (*)(int code, int value);

class EffectAlgorithm {
public:
    EffectAlgorithm() = default;
    EffectAlgorithm(const EffectAlgorithm&) = delete;
    EffectAlgorithm& operator=(const EffectAlgorithm&) = delete;

    virtual ProgressCallback GetCallback();
    // The input check: E_FAIL without source, target or source pixels, else 0.
    // Every derived Apply calls it first; it also drops a cancel request left
    // over from an earlier run, so one Cancel stops at most the run it meets.
    virtual HRESULT Apply(const void* params);
    virtual void SetRange(int low, int high);
    virtual void AddImage(CQLImage* image);
    virtual void ClearImages();
    virtual void SetImages(CQLImage* source, CQLImage* target);
    virtual void SetCallback(ProgressCallback callback);
    // percent 0..100, mapped into the range; a value equal to the last one
    // reported on this thread is not sent again.
    virtual void Progress(int percent);
    // 1 when a cancel was pending (and clears it), else 0.
    virtual int TestCancel();
    virtual ~EffectAlgorithm();

    // Safe to call from any thread while Apply runs.
    void Cancel() { cancelRequested.store(1, std::memory_order_relaxed); }
    // Target = source size and pixels; 1, or 0 when the target cannot be made.
    int CopySourceToTarget();

    CQLImage* GetSource() const { return source; }
    CQLImage* GetTarget() const { return target; }
    const std::vector<CQLImage*>& GetImages() const { return images; }

    // The last value handed to a callback on the calling thread (two album
    // workers each keep their own).
    static int LastReportedProgress() { return lastReportedProgress; }

protected:
    // The point of this effect's progress range that percent (0..100) of it
    // maps to: what Progress reports, and the bounds of a nested effect's range.
    int RangeAt(int percent) const { return rangeLow + (rangeHigh - rangeLow) * percent / 100; }

    CQLImage* source = nullptr;
    CQLImage* target = nullptr;
    std::vector<CQLImage*> images; // not owned; kept in order of addition
    ProgressCallback callback = nullptr;
    int rangeLow = 0;
    int rangeHigh = 100;
    std::atomic<int> cancelRequested{0};

    static thread_local int lastReportedProgress;
};

// Runs a function given to Apply: effect plug-ins and dialogs whose
// processing lives in a function of its own.
class FilterHost : public EffectAlgorithm {
public:
    using Function = int (*)(void* param, FilterHost* host);

    // params is a Function; E_FAIL when it is null, else what it returns.
    HRESULT Apply(const void* params) override;
    void SetParam(void* p) { param = p; }
    void* GetParam() const { return param; }

private:
    void* param = nullptr;
};
