// Small DNG files written with libtiff for the RAW tests and benchmarks.
#pragma once

#include <string>

struct RawTestDng {
    int width = 64;
    int height = 48;
    bool mosaic = true; // RGGB colour-filter mosaic, else three linear samples
    const char* make = "Quillotest";
    const char* model = "Sensor One";
    const char* dateTime = "2021:06:15 10:20:30";
    bool cameraWhiteBalance = false; // an as-shot neutral that is not grey
    int previewWidth = 0;            // an 8-bit RGB preview in a second directory
};

// The scene: smooth ramps of red, green and blue, 16-bit.
void RawTestScene(int x, int y, int width, int height, unsigned short rgb[3]);
// false when the file cannot be written.
bool WriteRawTestDng(const std::string& path, const RawTestDng& dng);
