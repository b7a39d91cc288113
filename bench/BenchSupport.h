// Shared pieces of the benchmark programs: synthetic photos and peer programs.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

class CQLImage;

// A deterministic photo-like image: smooth gradients with fine texture.
void MakeSyntheticPhoto(CQLImage& image, unsigned width, unsigned height);

// The photo every benchmark works on: 24 megapixels, made once.
constexpr unsigned kPhotoWidth = 6000;
constexpr unsigned kPhotoHeight = 4000;
const CQLImage& SyntheticPhoto();

// The same kind of image at about one megapixel, as the editor's previews.
constexpr unsigned kPreviewWidth = 1224;
constexpr unsigned kPreviewHeight = 816;
const CQLImage& SyntheticPreview();

// The photo (or the preview) as a binary PPM in BenchFolder(), written once:
// the input every peer program reads.
const std::string& PeerInputPpm(bool preview = false);

// Any image as a binary PPM named `name` in BenchFolder(); its path.
std::string WritePpm(const CQLImage& image, const std::string& name);

// A scratch folder for the benchmark's files, removed at exit.
const std::string& BenchFolder();

// Times one shell command per iteration, as a peer on the same input.
// Skips when the program (the command's first word) is not installed.
void RunPeer(benchmark::State& state, const std::string& command);
