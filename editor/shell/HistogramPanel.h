// The "Histograms" page of the main view: red, green and blue histograms of
// the current photo with a smoothed brightness curve over them, counted from
// at most about 65,536 sampled pixels per paint.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

#include <cstdint>
#include <vector>

class CHistogramPanel : public CWnd {
    DECLARE_DYNAMIC(CHistogramPanel)
public:
    static constexpr int kMaxPanel = 500;  // panels this large keep their buffer
    static constexpr long long kSampleTarget = 65536;

    CHistogramPanel() = default;
    ~CHistogramPanel() override;

    // Every n-th pixel is counted: 1 up to 65,536 pixels, else n / 65,536.
    static long long SampleStride(long long pixels);
    // Counts the sampled pixels of image; returns how many were counted.
    long long Count(const CQLImage& image);
    // The bar scale: the largest colour count, at most counted / 50, at least 1.
    int Scale(long long counted) const;
    // Draws background, bars and curve into the buffer (bars and curve only
    // for an image with pixels).
    void Render(const CQLImage* image);
    // The background's noise comes from this generator, so tests can repeat it.
    void SeedNoise(uint32_t seed) { m_noise = seed; }

    CQLImage m_buffer;
    uint32_t m_brightness[256] = {};
    uint32_t m_red[256] = {};
    uint32_t m_green[256] = {};
    uint32_t m_blue[256] = {};
    std::vector<int> m_curve;  // one value per buffer column, rows from the bottom
    BOOL m_curveValid = FALSE;

protected:
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    int NextNoise();
    uint32_t m_noise = 1;
};

// Fills the client area of wnd with the skin's pattern brush; the history
// bar and the histogram panel share it.
BOOL FillSkinBackground(CWnd* wnd, CDC* dc);
