// The printing context that the editor's Print dialog and the album share:
// the chosen printer's DC and device values, the header pictures are handed
// to the printer with, and the album's loaded photo and job list.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Print.h"

#include <vector>

// One photo of an album print run; every copy has a size and a crop.
struct PrintJob {
    struct Size {
        int width;  // page units; 0: placed already or dropped
        int height;
    };
    char path[512] = {};
    std::vector<Size> copySizes;
    std::vector<RECT> copyCrops;  // thousandths of the photo; all 0: the whole photo
};

// Swaps the image's rows top to bottom in place.
void FlipImageRows(CQLImage* image);

class CImagePrinter {
public:
    CImagePrinter() = default;
    ~CImagePrinter();
    CImagePrinter(const CImagePrinter&) = delete;
    CImagePrinter& operator=(const CImagePrinter&) = delete;

    // The print set-up dialog; TRUE when a printer was chosen that can
    // stretch pictures, its DC and device values then kept. A DC left from
    // an earlier choice is deleted first.
    BOOL SetupPrinter();
    void GetPageSizeInches(double* width, double* height) const;
    // Page units to inches: tenths of a millimetre with a printer, else
    // dots at the device mode's dots per centimetre.
    double LengthToInches(int length) const;

    // Without a DC these do nothing and succeed. EndDoc deletes the DC
    // whether or not a document was started.
    BOOL StartDoc();
    void EndDoc();
    BOOL StartPage();
    BOOL EndPage();
    // Flips the image's rows in place and stretches the whole image into
    // the rectangle (device pixels); TRUE when drawn or without a DC.
    BOOL DrawImage(CQLImage* image, int left, int top, int right, int bottom);
    // The member header for a 32-bit bottom-up picture of this size.
    const BITMAPV5HEADER* MakeBitmapHeader(int width, int height);

    HDC GetPrinterDC() const { return m_printerDC; }

    // The album's cells (album/tools/PrintEngine.cpp).
    int InchesToUnits(float inches) const;
    // A page without a printer, in dots at dpi; any DC is deleted.
    void SetVirtualPage(int dpi, double widthInches, double heightInches);
    int GetPageWidth() const { return m_pageWidth; }
    int GetPageHeight() const { return m_pageHeight; }
    // -1 when the cell does not fit the region; else 1.0, or its share of
    // the region when it would still fit a half of it (*halvable = 1).
    double FitCell(int cellWidth, int cellHeight, int left, int top, int right, int bottom, RECT* cellRect,
                   int* halvable) const;
    int ComputeSlots(float widthInches, float heightInches, int slotSize[2], RECT* cellRect) const;
    RECT FitWholePhoto(int left, int top, int right, int bottom) const;
    BOOL CropToCell(CQLImage* out, int left, int top, int right, int bottom, int cropLeft, int cropTop, int cropRight,
                    int cropBottom) const;
    BOOL ResizeForPrint(CQLImage* src, CQLImage* dst, int left, int top, int right, int bottom) const;
    BOOL PrintCell(const char* path, int left, int top, int right, int bottom, int cropLeft, int cropTop,
                   int cropRight, int cropBottom, CQLImage* pageImage);
    // PrintCell in two steps: the cell made from its photo (any thread),
    // then put into the page image or on the printer's page.
    BOOL MakeCell(const char* path, int left, int top, int right, int bottom, int cropLeft, int cropTop,
                  int cropRight, int cropBottom, CQLImage* cell);
    BOOL PutCell(CQLImage* cell, int left, int top, int right, int bottom, CQLImage* pageImage);

    char m_lastPath[1024] = {};
    CQLImage m_photo;
    HDC m_printerDC = nullptr;
    DEVMODE m_devMode{};
    int m_pageWidth = 0;   // printable area, tenths of a millimetre
    int m_pageHeight = 0;
    int m_dpiX = 0;
    int m_dpiY = 0;
    int m_physicalWidth = 0;  // the sheet, device pixels
    int m_physicalHeight = 0;
    // Where the printable area (the DC's origin) lies on the sheet.
    int m_physicalOffsetX = 0;
    int m_physicalOffsetY = 0;
    BITMAPV5HEADER m_header{};
    std::vector<PrintJob> m_jobs;
    int m_highQuality = 1;

private:
    void DeleteDC();
    // Keeps the device values of a DC that can print pictures.
    void TakeDeviceValues(HDC dc, const DEVMODE* devMode);
};
