// The settings of JPEG slimming: the parameter block of the slimming effect
// and, byte for byte, the content of a ".tsp" scheme file (548 bytes,
// little-endian, written and read field by field).
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>

struct JpegSlimSettings {
    static constexpr std::size_t kFileSize = 548;
    static constexpr std::size_t kPathSize = 515;

    INT valid = 1;          // 1 in every written file; not read by the effect
    INT quality = 85;       // JPEG quality
    BYTE chromaOption = 1;  // full colour resolution; 2 = decide by the colour test
    BYTE includeExif = 1;   // not read by the effect
    BYTE adaptive = 0;      // try the adaptive quantisation table
    BYTE dctDenoise = 0;    // shrink small DCT coefficients
    INT smoothPercent = 0;  // weight of the smoothed photo, 0..100
    BYTE resizeMode = 3;    // 1 width, 2 height, 3 longer side, else none
    INT resizeLength = 1280;
    BYTE sizeMode = 0;      // 0 keep quality, 1 fit by scaling, 2 by quality search
    INT targetKB = 200;     // size budget in units of 1024 bytes
    BYTE flags = 6;         // kMeasure: measure, fit and save; kNoWrite: write nothing
    char path[kPathSize] = {};

    static constexpr BYTE kMeasure = 2;
    static constexpr BYTE kNoWrite = 4;

    // Copies path into the field; false (field unchanged) when it does not fit.
    bool SetPath(const char* text);
    // True when the path field holds its terminating zero.
    bool PathTerminated() const;
};

// The record as stored; false when the path field is not terminated.
bool FormatTsp(const JpegSlimSettings& settings, BYTE out[JpegSlimSettings::kFileSize]);
// Reads the first 548 bytes. False (settings unchanged) for a short record,
// a valid field other than 1, a flag byte other than 0 or 1, a high-quality
// colour value above 2, a size mode above 3, a trade-off above 2, a job
// mode other than 2 or 6, a number outside what the dialog can hold, or a
// path without its terminating zero.
bool ParseTsp(const BYTE* data, std::size_t size, JpegSlimSettings* settings);

// Whole files. Saving writes a temporary file beside the path and renames it
// over, so a failure leaves an existing scheme as it was. Non-zero on success.
int SaveTspFile(const char* path, const JpegSlimSettings& settings);
int LoadTspFile(const char* path, JpegSlimSettings* settings);
