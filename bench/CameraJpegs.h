// Camera-size JPEGs for the album's benchmarks, made once per folder name:
// each photo differs (shifted texture), quality 92, with the EXIF of a corpus
// camera photo when the corpus is there.
#pragma once

#include <string>
#include <vector>

constexpr int kCameraJpegCount = 100;
constexpr unsigned kCameraJpegWidth = 4000, kCameraJpegHeight = 3000;

// The files, in BenchFolder()/<folder>/, "photo0.jpg" onwards.
const std::vector<std::string>& CameraJpegs(const std::string& folder);
