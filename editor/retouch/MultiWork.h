// Merging several shots of one scene into the open photo: noise reduction
// by averaging, an anti-shake merge of short exposures and an HDR merge.
// Each work lives for one run; its run function executes on the algorithm
// thread and builds a private result that the interface thread takes over.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <vector>

// Progress notice to the progress dialog: wParam percent, lParam 0 or the
// number of the photo in work plus one. 101 ends a run that succeeded,
// 102 one that failed or was stopped.
inline constexpr UINT WM_MULTI_PROGRESS = 0x0400 + 102; // WM_USER+102
inline constexpr int kMultiDone = 101;
inline constexpr int kMultiFailed = 102;

struct MergePhoto {
    CQLImage thumb;       // longest side 100
    char path[512] = {};
    char name[256] = {};  // file name without folder and extension
    int aligned = 1;
    // A pixel (x, y) of the reference is taken from
    // (T0 x + T1 y + T2, T3 x + T4 y + T5) of this photo.
    double transform[6] = {1, 0, 0, 0, 1, 0};
    FILETIME created = {};
    BYTE weights[256] = {}; // HDR weight by luminance
};

// Luminance of the merge, from 8-bit channels.
inline int MergeLuminance(int b, int g, int r) { return (6 * g + 3 * r + b) / 10; }

// The window calls of the work; the dialogs install the real ones, tests
// record them.
struct MultiWorkCalls {
    int (*messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type) = nullptr;
    BOOL (*postMessage)(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) = nullptr;
    // Hands the run function to the algorithm thread: notices to notify.
    BOOL (*runJob)(HWND notify, FilterHost* host, FilterHost::Function run) = nullptr;
};

class CMultiWork {
public:
    CMultiWork();
    CMultiWork(const CMultiWork&) = delete;
    CMultiWork& operator=(const CMultiWork&) = delete;

    virtual void ShowHelp() {}
    virtual void Start(HWND notify) { notifyWnd = notify; }
    virtual const char* GetDescription() const = 0;
    virtual ~CMultiWork();
    // The steps between the photo choice and the merge; FALSE when cancelled.
    virtual BOOL Prepare() { return TRUE; }
    virtual void Merge() {}

    // Step 1, the work's own steps and the merge, then one undo step; TRUE
    // when the open photo was replaced.
    BOOL Run();
    void ClearImages();
    // Messages go to owner. FALSE (record dropped) when refused.
    BOOL AddPhoto(const char* path, HWND owner = nullptr);

    // Run functions for the algorithm thread: param is the work. 0 when the
    // result is ready, E_FAIL after a failure or a stop.
    static int RunAverage(void* param, FilterHost* host);
    static int RunHDR(void* param, FilterHost* host);

    // (B, G, R, 255) of photo at the reference point (x, y) mapped by t;
    // false when the point falls outside.
    static bool SampleBilinear(const CQLImage& photo, int x, int y, const double t[6], CPixel* out);
    // Stretches the levels between the darkest and lightest 1/3000 of the
    // channel values to 0..255, unless they span 64 or less.
    static void AutoContrastStretch(CQLImage& image);

    int PhotoCount() const { return static_cast<int>(photos.size()); }
    const CQLImage& GetResult() const { return result; }
    CQLImage& GetResult() { return result; }

    char name[32];
    std::vector<MergePhoto*> photos; // owned
    int minPhotos = 2;
    int maxPhotos = 256;
    int width = 0;
    int height = 0;
    int referenceIndex = 0;
    HWND notifyWnd = nullptr;
    FilterHost host;

    static MultiWorkCalls calls;

protected:
    bool AllocateAccumulators(bool weighted);
    bool Accumulate(int i, FilterHost* host);
    bool AccumulateWeighted(int i, FilterHost* host);
    void MergeAverage();
    void MergeStretch();
    void MergeWeighted();
    void CropToCoverage();
    void Notify(int percent, int photo) const;
    void StartJob(HWND notify, FilterHost::Function run);
    int Finish(int code);

    // Per pixel: B, G, R sums; the number of photos that cover it; the HDR
    // weight sum. Wide enough for 256 photos and three weights of 100.
    std::vector<uint32_t> sums;
    std::vector<uint16_t> coverage;
    std::vector<uint32_t> weightSum;
    CQLImage result;

private:
    bool LoadPhoto(int i, CQLImage& photo) const;
    template <class Add>
    bool AccumulateWith(int i, FilterHost* host, Add add);
};

class CMultiNRWork : public CMultiWork {
public:
    CMultiNRWork();
    void ShowHelp() override;
    void Start(HWND notify) override { StartJob(notify, RunAverage); }
    const char* GetDescription() const override;
    BOOL Prepare() override;
    void Merge() override { MergeAverage(); }
};

class CMultiASWork : public CMultiNRWork {
public:
    CMultiASWork();
    void ShowHelp() override;
    const char* GetDescription() const override;
    void Merge() override { MergeStretch(); }
};

class CMultiHDRWork : public CMultiWork {
public:
    CMultiHDRWork();
    void ShowHelp() override;
    void Start(HWND notify) override { StartJob(notify, RunHDR); }
    const char* GetDescription() const override;
    BOOL Prepare() override;
};
