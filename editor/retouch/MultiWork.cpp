#include "editor/retouch/MultiWork.h"

#include "editor/shell/UITextTable.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <strings.h>

namespace {

enum : int {
    kTextSizeDiffers = 132,
    kTextAlreadyListed = 133,
    kTextTooSmall = 135,
    kTextNrDescription = 222,
    kTextHdrDescription = 223,
    kTextAsDescription = 224,
    kTextNrName = 225,
    kTextAsName = 226,
    kTextHdrName = 227,
};

constexpr int kMinSide = 600;

void SetName(char (&name)[32], const char* text)
{
    std::snprintf(name, sizeof name, "%s", text);
}

// File name without folder and extension.
void FileTitle(const char* path, char* out, size_t size)
{
    const char* slash = std::strrchr(path, '/');
    const char* start = slash ? slash + 1 : path;
    const char* dot = std::strrchr(start, '.');
    const size_t length = dot ? static_cast<size_t>(dot - start) : std::strlen(start);
    std::snprintf(out, size, "%.*s", static_cast<int>(std::min(length, size - 1)), start);
}

}  // namespace

MultiWorkCalls CMultiWork::calls;

CMultiWork::CMultiWork()
{
    SetName(name, "MultiWork");
    host.SetParam(this);
}

CMultiWork::~CMultiWork()
{
    ClearImages();
}

void CMultiWork::ClearImages()
{
    for (MergePhoto* p : photos)
        delete p;
    photos.clear();
}

BOOL CMultiWork::AddPhoto(const char* path, HWND owner)
{
    auto refuse = [owner](int text) {
        if (text && calls.messageBox)
            calls.messageBox(owner, theUITextTable.GetText(text), nullptr, 0);  // MB_OK
        return FALSE;
    };
    auto photo = std::make_unique<MergePhoto>();
    int w = 0, h = 0;
    CQLImageCodec codec;
    if (!codec.CreateThumbnail(path, &photo->thumb, 100, &w, &h, 0))
        return refuse(0);
    if (w < kMinSide || h < kMinSide)
        return refuse(kTextTooSmall);
    if (photos.empty()) {
        width = w;
        height = h;
    } else if (w != width || h != height) {
        return refuse(kTextSizeDiffers);
    }
    std::snprintf(photo->path, sizeof photo->path, "%s", path);
    FileTitle(path, photo->name, sizeof photo->name);
    for (const MergePhoto* p : photos)
        if (strcasecmp(p->name, photo->name) == 0)
            return refuse(kTextAlreadyListed);
    photos.push_back(photo.release());
    return TRUE;
}

bool CMultiWork::SampleBilinear(const CQLImage& photo, int x, int y, const double t[6], CPixel* out)
{
    UINT w = 0, h = 0;
    photo.GetSize(&w, &h);
    const double u = t[0] * x + t[1] * y + t[2];
    const double v = t[3] * x + t[4] * y + t[5];
    if (!(u >= 0 && u < static_cast<double>(w) - 1 && v >= 0 && v < static_cast<double>(h) - 1))
        return false;
    const int iu = static_cast<int>(u), iv = static_cast<int>(v);
    const int fu = static_cast<int>((u - iu) * 256), fv = static_cast<int>((v - iv) * 256);
    const BYTE* p00 = photo.GetBuffer(iu, iv);
    const BYTE* p01 = photo.GetBuffer(iu, iv + 1);
    BYTE c[3];
    for (int k = 0; k < 3; ++k) {
        const int top = (p00[k] * (256 - fu) + p00[4 + k] * fu) >> 8;
        const int bottom = (p01[k] * (256 - fu) + p01[4 + k] * fu) >> 8;
        c[k] = static_cast<BYTE>((top * (256 - fv) + bottom * fv) >> 8);
    }
    *out = CPixel{c[0], c[1], c[2], 255};
    return true;
}

void CMultiWork::Notify(int percent, int photo) const
{
    if (calls.postMessage && notifyWnd)
        calls.postMessage(notifyWnd, WM_MULTI_PROGRESS, static_cast<WPARAM>(percent), static_cast<LPARAM>(photo));
}

void CMultiWork::StartJob(HWND notify, FilterHost::Function run)
{
    notifyWnd = notify;
    // The run builds its own result; the open photo is only read by the UI.
    if (!calls.runJob || !calls.runJob(notify, &host, run))
        Notify(kMultiFailed, 0);
}

// Every run ends here, with exactly one final notice.
int CMultiWork::Finish(int code)
{
    sums = {};
    coverage = {};
    weightSum = {};
    if (code != 0)
        result.Free();
    Notify(code == 0 ? kMultiDone : kMultiFailed, 0);
    return code;
}

bool CMultiWork::AllocateAccumulators(bool weighted)
{
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    try {
        sums.assign(pixels * 3, 0);
        coverage.assign(pixels, 0);
        weightSum.assign(weighted ? pixels : 0, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return width > 0 && height > 0 && result.Create(width, height) == 0;
}

bool CMultiWork::LoadPhoto(int i, CQLImage& photo) const
{
    CQLImageCodec codec;
    if (!codec.LoadFile(photos[i]->path, &photo))
        return false;
    UINT w = 0, h = 0;
    photo.GetSize(&w, &h);
    // The file may have changed since it was chosen.
    return static_cast<int>(w) == width && static_cast<int>(h) == height;
}

template <class Add>
bool CMultiWork::AccumulateWith(int i, FilterHost* host, Add add)
{
    CQLImage photo;
    if (!LoadPhoto(i, photo))
        return false;
    const int n = PhotoCount();
    const int lo = i * 100 / n, hi = (i * 100 + 100) / n;
    Notify(lo + (hi - lo) / 5, 0);
    const double* t = photos[i]->transform;
    std::atomic<bool> stopped{false};
    imagecore::ParallelFor(0, height, static_cast<size_t>(width), [&](int y0, int y1) {
        for (int y = y0; y < y1 && !stopped.load(std::memory_order_relaxed); ++y) {
            const size_t row = static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                CPixel p;
                if (SampleBilinear(photo, x, y, t, &p))
                    add(row + x, p);
            }
        }
    });
    return host->TestCancel() == 0;
}

bool CMultiWork::Accumulate(int i, FilterHost* host)
{
    return AccumulateWith(i, host, [this](size_t at, CPixel p) {
        sums[at * 3] += p.b;
        sums[at * 3 + 1] += p.g;
        sums[at * 3 + 2] += p.r;
        ++coverage[at];
    });
}

bool CMultiWork::AccumulateWeighted(int i, FilterHost* host)
{
    const BYTE* weights = photos[i]->weights;
    return AccumulateWith(i, host, [this, weights](size_t at, CPixel p) {
        const uint32_t w = weights[MergeLuminance(p.b, p.g, p.r)];
        sums[at * 3] += w * p.b;
        sums[at * 3 + 1] += w * p.g;
        sums[at * 3 + 2] += w * p.r;
        ++coverage[at];
        weightSum[at] += w;
    });
}

// The result's alpha keeps the coverage count, as far as a byte holds it.
static void PutMerged(CQLImage& image, int width, size_t at, uint32_t b, uint32_t g, uint32_t r, uint16_t count)
{
    const int x = static_cast<int>(at % width), y = static_cast<int>(at / width);
    image.PutPixel(x, y, CPixel{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r),
                                static_cast<BYTE>(std::min<uint16_t>(count, 255))});
}

void CMultiWork::MergeAverage()
{
    const uint32_t n = static_cast<uint32_t>(std::max(1, PhotoCount()));
    for (size_t at = 0; at < coverage.size(); ++at)
        PutMerged(result, width, at, sums[at * 3] / n, sums[at * 3 + 1] / n, sums[at * 3 + 2] / n, coverage[at]);
}

void CMultiWork::MergeStretch()
{
    std::vector<uint32_t> histogram(65536, 0);
    int top = 0;
    for (size_t at = 0; at < coverage.size(); ++at) {
        const int l = static_cast<int>((3 * sums[at * 3 + 2] + 6 * sums[at * 3 + 1] + sums[at * 3]) / 10);
        ++histogram[l];
        top = std::max(top, l);
    }
    const uint64_t wanted = coverage.size() / 200;
    int white = top;
    if (wanted > 0) {
        uint64_t counted = 0;
        do {
            counted += histogram[white];
            --white;
        } while (counted < wanted && white >= 0);
    }
    const uint64_t w = static_cast<uint64_t>(std::max(1, white));
    auto stretch = [w](uint32_t sum) { return static_cast<uint32_t>(std::min<uint64_t>(255, sum * uint64_t{255} / w)); };
    for (size_t at = 0; at < coverage.size(); ++at)
        PutMerged(result, width, at, stretch(sums[at * 3]), stretch(sums[at * 3 + 1]), stretch(sums[at * 3 + 2]), coverage[at]);
}

void CMultiWork::MergeWeighted()
{
    for (size_t at = 0; at < coverage.size(); ++at) {
        const uint32_t c = std::max<uint32_t>(1, weightSum[at]);
        PutMerged(result, width, at, sums[at * 3] / c, sums[at * 3 + 1] / c, sums[at * 3 + 2] / c, coverage[at]);
    }
    AutoContrastStretch(result);
}

void CMultiWork::AutoContrastStretch(CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    const size_t pixels = static_cast<size_t>(w) * h;
    if (pixels == 0)
        return;
    size_t histogram[256] = {};
    BYTE* bits = image.GetBuffer(0, 0);
    for (size_t i = 0; i < pixels; ++i)
        for (int k = 0; k < 3; ++k)
            ++histogram[bits[i * 4 + k]];
    const size_t t = pixels / 3000;
    int level = 0;
    size_t sum = 0;
    for (; level < 255; ++level)
        if ((sum += histogram[level]) >= t)
            break;
    const int black = level + 1;
    sum = 0;
    for (level = 255; level > 0; --level)
        if ((sum += histogram[level]) >= t)
            break;
    const int white = level - 1;
    if (white - black <= 64)
        return;
    BYTE map[256];
    for (int v = 0; v < 256; ++v)
        map[v] = static_cast<BYTE>(std::clamp((v - black) * 255 / (white - black), 0, 255));
    for (size_t i = 0; i < pixels; ++i)
        for (int k = 0; k < 3; ++k)
            bits[i * 4 + k] = map[bits[i * 4 + k]];
}

void CMultiWork::CropToCoverage()
{
    const uint16_t n = static_cast<uint16_t>(PhotoCount());
    int left = 0, top = 0, right = width, bottom = height;
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = coverage.data() + static_cast<size_t>(y) * width;
        const int dy = y < height / 2 ? y : height - y;
        for (int x = 0; x < width; ++x) {
            if (row[x] >= n)
                continue;
            const int dx = x < width / 2 ? x : width - x;
            if (dx == 0 && dy == 0)
                continue;
            if (dx < dy) {
                if (x < width / 2)
                    left = std::max(left, x);
                else
                    right = std::min(right, x);
            } else if (y < height / 2) {
                top = std::max(top, y);
            } else {
                bottom = std::min(bottom, y);
            }
        }
    }
    // The rule above keeps the last uncovered column or row on the left and
    // top, where an average would darken it: step over any edge of the box
    // that is not fully covered.
    auto covered = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (coverage[static_cast<size_t>(y) * width + x] < n && (x | y) != 0)
                    return false;
        return true;
    };
    for (bool moved = true; moved && right >= left + 10 && bottom >= top + 10;) {
        moved = false;
        if (!covered(left, top, left + 1, bottom))
            ++left, moved = true;
        if (!covered(left, top, right, top + 1))
            ++top, moved = true;
    }
    if (right < left + 10 || bottom < top + 10)
        return;
    if (left == 0 && top == 0 && right == width && bottom == height)
        return;
    CQLImage cropped;
    if (cropped.Create(right - left, bottom - top) != 0)
        return;  // too little memory for the copy: the merge stays uncropped
    for (int y = top; y < bottom; ++y)
        std::memcpy(cropped.GetBuffer(0, y - top), result.GetBuffer(left, y), static_cast<size_t>(right - left) * 4);
    result = std::move(cropped);
}

int CMultiWork::RunAverage(void* param, FilterHost* host)
{
    auto* work = static_cast<CMultiWork*>(param);
    const int n = work->PhotoCount();
    if (n == 0 || !work->AllocateAccumulators(false))
        return work->Finish(E_FAIL);
    for (int i = 0; i < n; ++i) {
        work->Notify(i * 100 / n, i + 1);
        if (!work->Accumulate(i, host))
            return work->Finish(E_FAIL);
    }
    work->Notify(95, 0);
    work->Merge();
    work->CropToCoverage();
    return work->Finish(0);
}

int CMultiWork::RunHDR(void* param, FilterHost* host)
{
    auto* work = static_cast<CMultiWork*>(param);
    const int n = work->PhotoCount();
    if (n == 0 || !work->AllocateAccumulators(true))
        return work->Finish(E_FAIL);
    for (int i = 0; i < n; ++i) {
        work->Notify(i * 100 / n, i + 1);
        if (!work->AccumulateWeighted(i, host))
            return work->Finish(E_FAIL);
    }
    work->Notify(95, 0);
    work->MergeWeighted();
    work->CropToCoverage();
    return work->Finish(0);
}

CMultiNRWork::CMultiNRWork()
{
    SetName(name, theUITextTable.GetText(kTextNrName));
}

const char* CMultiNRWork::GetDescription() const
{
    return theUITextTable.GetText(kTextNrDescription);
}

CMultiASWork::CMultiASWork()
{
    SetName(name, theUITextTable.GetText(kTextAsName));
}

const char* CMultiASWork::GetDescription() const
{
    return theUITextTable.GetText(kTextAsDescription);
}

CMultiHDRWork::CMultiHDRWork()
{
    SetName(name, theUITextTable.GetText(kTextHdrName));
    maxPhotos = 3;
}

const char* CMultiHDRWork::GetDescription() const
{
    return theUITextTable.GetText(kTextHdrDescription);
}
