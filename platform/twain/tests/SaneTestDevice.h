// SANE's "test" backend for tests: a private configuration folder whose
// dll.conf names only "test" (nothing under /etc is read), its options in
// test.conf, and scanimage's picture of the same page to compare with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qltwain::sanetest {

// The process's configuration folder, made and named to SANE before the
// first use (libsane reads SANE_CONFIG_DIR once). "" when it could not be.
const std::string& SaneConfigDir();
// Writes test.conf: the backend's defaults with these lines after them
// ("mode Color", "depth 16", ...). Read at the next sane_init.
bool WriteTestConfig(const std::vector<std::string>& lines);
// The test backend and scanimage are there.
bool HaveTestBackend();

// A picture as 8-bit R, G, B, top row first.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};
// scanimage's PNM of test:0 with the current test.conf (16-bit samples give
// their high byte, PBM black is 0); empty on failure.
RgbPicture ScanImage(const std::vector<std::string>& args = {});
// A 24-bit bottom-up DIB's pixels in the same form; empty when malformed.
RgbPicture FromDib(const void* dib, std::size_t size);

} // namespace qltwain::sanetest
