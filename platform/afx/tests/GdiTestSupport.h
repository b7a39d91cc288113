// Helpers of the drawing tests: a white window surface with its DC, and
// pixel reads straight from the surface.
#pragma once

#include "platform/afx/DC.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <gtest/gtest.h>

namespace gditest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

inline COLORREF PixelOf(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// Bounding box of the pixels that differ from background.
inline QRect InkBox(const QImage& img, COLORREF background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (PixelOf(img, x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

inline int CountColor(const QImage& img, COLORREF color)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += PixelOf(img, x, y) == color;
    return n;
}

// Regions compare by their rectangles; this compares the pixels covered.
inline ::testing::AssertionResult SameArea(const QRegion& a, const QRegion& b)
{
    if ((a ^ b).isEmpty())
        return ::testing::AssertionSuccess();
    const QRect d = (a ^ b).boundingRect();
    return ::testing::AssertionFailure() << "areas differ within (" << d.x() << "," << d.y() << " " << d.width() << "x"
                                         << d.height() << ")";
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(64, 48); }
    void TearDown() override
    {
        if (m_hdc)
            qlafx::ReleaseSurfaceDC(m_hdc);
    }
    void Reset(int w, int h)
    {
        if (m_hdc)
            qlafx::ReleaseSurfaceDC(m_hdc);
        m_surface = QImage(w, h, QImage::Format_RGB32);
        m_surface.fill(Qt::white);
        m_hdc = qlafx::CreateSurfaceDC(&m_surface, nullptr);
    }
    COLORREF Px(int x, int y) const { return PixelOf(m_surface, x, y); }
    QRect Ink() const { return InkBox(m_surface, RGB(255, 255, 255)); }
    // The set of pixels not white, as a region.
    QRegion InkRegion() const
    {
        QRegion r;
        for (int y = 0; y < m_surface.height(); ++y)
            for (int x = 0; x < m_surface.width(); ++x)
                if (Px(x, y) != RGB(255, 255, 255))
                    r += QRect(x, y, 1, 1);
        return r;
    }

    QImage m_surface;
    HDC m_hdc = nullptr;
};

} // namespace gditest
