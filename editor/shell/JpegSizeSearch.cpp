#include "editor/shell/JpegSizeSearch.h"

#include <thread>
#include <vector>

namespace {

constexpr int kExifReserve = 256;

struct SearchState {
    int low = 0, high = 100, best = 0, rounds = 0;
    bool done = false;

    int Next() const { return (low + high) / 2; }
    void Apply(int q, bool fits)
    {
        ++rounds;
        if (!fits) {
            high = q;
            done = q < 1;
        } else {
            best = q;
            done = q >= high - 1;
            low = q;
        }
        done = done || rounds >= JpegSizeSearch::kMaxRounds;
    }
    int Bar() const { return low - high + 100; }
};

struct Measure {
    int quality = -1;
    bool ok = false;
    DWORD bytes = 0;
};

}  // namespace

JpegSizeSearch::JpegSizeSearch(int wantedKB, int exifSize)
    : m_wantedKB(wantedKB < kMinWantedKB ? kMinWantedKB : wantedKB),
      m_overhead(exifSize > 0 ? exifSize + kExifReserve : 0)
{
}

// Exactly, in bytes: a file a few hundred bytes over the wanted size does
// not fit because its size divided by 1024 rounds down to it.
bool JpegSizeSearch::Fits(DWORD bytes) const
{
    return static_cast<long long>(bytes) + m_overhead <= static_cast<long long>(m_wantedKB) * 1024;
}

int JpegSizeSearch::Run(const Encoder& encode, const Progress& progress, int parallel) const
{
    // Quality 0 is only reached once quality 1 was too large; encoding it
    // would mean quality 100 with the colour offset, so it is not tried.
    auto measure = [&encode](Measure& m) {
        m.ok = m.quality < 1 || encode(m.quality, &m.bytes);
        if (m.quality < 1)
            m.bytes = ~DWORD{0};
    };
    SearchState s;
    while (!s.done) {
        Measure now{s.Next()};
        // The qualities of the next round, one for each answer of this one.
        Measure ifLarger, ifFits;
        std::vector<std::thread> ahead;
        if (parallel > 1) {
            SearchState larger = s, fits = s;
            larger.Apply(now.quality, false);
            fits.Apply(now.quality, true);
            if (!larger.done) {
                ifLarger.quality = larger.Next();
                ahead.emplace_back(measure, std::ref(ifLarger));
            }
            if (!fits.done) {
                ifFits.quality = fits.Next();
                ahead.emplace_back(measure, std::ref(ifFits));
            }
        }
        measure(now);
        for (std::thread& t : ahead)
            t.join();
        if (!now.ok)
            return -1;
        const bool fits = Fits(now.bytes);
        s.Apply(now.quality, fits);
        if (progress)
            progress(s.Bar());
        if (s.done || parallel <= 1)
            continue;
        const Measure& next = fits ? ifFits : ifLarger;
        if (!next.ok)
            return -1;
        s.Apply(next.quality, Fits(next.bytes));
        if (progress)
            progress(s.Bar());
    }
    return s.best;
}
