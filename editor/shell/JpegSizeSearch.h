// The quality search of "Save with Size ...": a binary search of at most
// eight rounds for the highest JPEG quality whose file, with the EXIF block
// that goes into it, is not larger than the wanted size.
#pragma once

#include "platform/win/WinTypes.h"

#include <functional>

class JpegSizeSearch {
public:
    static constexpr int kMaxRounds = 8;
    static constexpr int kMinWantedKB = 5;

    // Encodes at quality 0..100 (before the high-quality colour offset) and
    // gives the encoded bytes; false when the encoder failed. Called from
    // several threads at once when the search runs in parallel.
    using Encoder = std::function<bool(int quality, DWORD* bytes)>;
    // The progress bar's value after each round (0..100).
    using Progress = std::function<void(int value)>;

    // wantedKB below 5 counts as 5; exifSize 0 means no EXIF block, else the
    // block and 256 bytes go into every measured file.
    JpegSizeSearch(int wantedKB, int exifSize);

    // The highest quality that fits, 0 when none did; -1 when an encode
    // failed. parallel > 1 encodes the two qualities that may follow a round
    // beside it, so two rounds take the time of one; the rounds, their order
    // and the result are those of the one-by-one search.
    int Run(const Encoder& encode, const Progress& progress, int parallel = 3) const;

    int WantedKB() const { return m_wantedKB; }
    int Overhead() const { return m_overhead; }

private:
    // The bytes fit the wanted size.
    bool Fits(DWORD bytes) const;

    int m_wantedKB;
    int m_overhead;
};
