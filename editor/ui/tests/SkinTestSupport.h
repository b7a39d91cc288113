// Helpers of the skin tests: small pictures made in code, a parent window
// that reflects owner drawing to its controls, and pixel reads.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"
#include "platform/afx/QtBridge.h"

#include <QImage>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace skintest {

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Bgr& c)
{
    return os << "(B" << c.b << " G" << c.g << " R" << c.r << ")";
}
inline Bgr BgrOf(const CPixel& p) { return {p.b, p.g, p.r}; }
inline Bgr BgrOf(COLORREF c) { return {GetBValue(c), GetGValue(c), GetRValue(c)}; }
inline Bgr BgrAt(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return {qBlue(p), qGreen(p), qRed(p)};
}

// An image of one colour.
void Fill(CQLImage* image, int w, int h, CPixel colour);

// The surface of a window after pending paints ran.
QImage SurfaceOf(HWND hwnd);

// A plain top-level parent: the default handling reflects WM_DRAWITEM and
// WM_CTLCOLOR to the controls, and commands and notifications are recorded.
class CParentWnd : public CWnd {
public:
    BOOL CreateParent(int x = 0, int y = 0, int cx = 300, int cy = 200);
    std::vector<UINT> m_commands;    // control ids of WM_COMMAND
    std::vector<UINT> m_notifyCodes; // WM_NOTIFY codes

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// Restores the skin pictures of the settings object after a test that
// replaced them.
class SkinTest : public ::testing::Test {
protected:
    void TearDown() override;
};

// A fresh private folder for files a test writes; removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }  // ends in '/'

private:
    std::string m_path;
};

}  // namespace skintest
