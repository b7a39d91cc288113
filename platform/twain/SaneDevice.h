// SANE reached through dlopen, so that a machine without it still runs the
// program: the device list, one open device's scan options, and pages read
// into bottom-up 24-bit device-independent bitmaps.
#pragma once

#include "platform/win/GlobalMemory.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qltwain {

struct SaneDeviceInfo {
    std::string name, vendor, model, type;
};

// The library's entry points; Load fails when libsane or one of them is missing.
struct SaneApi {
    SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback) = nullptr;
    void (*exit)() = nullptr;
    SANE_Status (*get_devices)(const SANE_Device***, SANE_Bool) = nullptr;
    SANE_Status (*open)(SANE_String_Const, SANE_Handle*) = nullptr;
    void (*close)(SANE_Handle) = nullptr;
    const SANE_Option_Descriptor* (*get_option_descriptor)(SANE_Handle, SANE_Int) = nullptr;
    SANE_Status (*control_option)(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*) = nullptr;
    SANE_Status (*get_parameters)(SANE_Handle, SANE_Parameters*) = nullptr;
    SANE_Status (*start)(SANE_Handle) = nullptr;
    SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) = nullptr;
    void (*cancel)(SANE_Handle) = nullptr;
    SANE_String_Const (*strstatus)(SANE_Status) = nullptr;

    // The library stays loaded for the life of the process once found.
    bool Load(const char* library);
};

// Assembles the frames of one page (a single RGB or grey frame, or three
// one-colour frames) into a DIB: 40-byte header, 24 bits, rows bottom-up and
// padded to 4 bytes. 16-bit samples give their high byte; 1-bit grey is
// black where a bit is set.
class DibAssembler {
public:
    // Takes one frame's parameters and all its bytes (lines may be -1 in the
    // parameters; the line count then comes from the data).
    bool AddFrame(const SANE_Parameters& params, const std::uint8_t* data, std::size_t size);
    // The bitmap when every colour has come, else NULL.
    HGLOBAL Finish(int dpi);
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    std::vector<std::uint8_t> m_rgb; // packed R, G, B per pixel, top row first
    int m_width = 0, m_height = 0;
    bool m_have[3] = {false, false, false};
};

// One page read: the bitmap, or the status that ended the reading.
struct SanePage {
    SANE_Status status = SANE_STATUS_GOOD;
    HGLOBAL dib = nullptr;
    int width = 0, height = 0;
};

class SaneDevice {
public:
    explicit SaneDevice(const SaneApi& api) : m_api(api) {}
    ~SaneDevice() { Close(); }
    SaneDevice(const SaneDevice&) = delete;
    SaneDevice& operator=(const SaneDevice&) = delete;

    SANE_Status Open(const std::string& name);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }

    // String options ("mode", "source"): the choices and the current value.
    std::vector<std::string> StringChoices(const char* option) const;
    std::string GetString(const char* option) const;
    SANE_Status SetString(const char* option, const std::string& value);
    // "resolution" in whole dots per inch (integer or fixed-point option).
    int GetResolution() const;
    // The resolutions to offer: the device's list, or the usual ones within its range.
    std::vector<int> ResolutionChoices() const;
    SANE_Status SetResolution(int dpi);

    // Reads one page (straight into its bitmap when it comes in one frame of
    // known height); progress gets (bytes so far, bytes expected or 0).
    // cancel is polled between reads; a cancel gives SANE_STATUS_CANCELLED.
    // Pages are read one after the other; this ends the batch.
    void EndScan();
    SanePage ReadPage(const std::atomic<bool>& cancel,
                      const std::function<void(std::size_t, std::size_t)>& progress = {});

private:
    int FindOption(const char* name) const;
    SANE_Status StreamPage(const std::atomic<bool>& cancel, const SANE_Parameters& params, int dpi, SanePage* page,
                           const std::function<void(std::size_t, std::size_t)>& progress);
    SANE_Status ReadFrame(const std::atomic<bool>& cancel, SANE_Parameters* params, std::vector<std::uint8_t>* data,
                          const std::function<void(std::size_t, std::size_t)>& progress);

    const SaneApi& m_api;
    SANE_Handle m_handle = nullptr;
};

} // namespace qltwain
