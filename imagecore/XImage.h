// The general bitmap: 1, 4, 8 or 24 bits per pixel in DIB form (header,
// palette, bottom-up rows padded to 4 bytes, all in one malloc block), with
// an optional 8-bit alpha plane and an optional 8-bit selection mask.
//
// Coordinates are those of the DIB: x from the left, y from the first row in
// memory, which is the bottom row. Only Crop counts rows from the top. The
// alpha plane and the selection mask are width * height bytes in the same order.
//
// The drawing and GDI bitmap members are built into the ximage_draw library
// (they need the window layer); everything else is headless.
#pragma once

#include "platform/win/GlobalMemory.h"
#include "platform/win/WinTypes.h"

#include <atomic>
#include <cstddef>

class CxImage {
public:
    struct rgb_color {
        BYTE r, g, b;
    };

    // Everything but the pixels, kept together so that Transfer moves it whole.
    struct CXIMAGEINFO {
        DWORD dwEffWidth = 0;      // bytes in a row
        BYTE* pImage = nullptr;    // first pixel row inside the DIB
        CxImage* pGhost = nullptr; // set when the buffers are borrowed from this image
        DWORD dwType = 0;
        LONG xDPI = 72;
        LONG yDPI = 72;
        BYTE nQuality = 75;        // JPEG quality
        BYTE nJpegChroma = 1;      // JPEG chroma sampling flag
        const BYTE* pQuantTable = nullptr;
        LONG nBkgndIndex = -1;     // transparent index, -1 none
        RGBQUAD nBkgndColor{};     // transparent colour
        RGBQUAD nStripColor{};     // background that AlphaStrip blends onto
        BYTE nAlphaMax = 255;
        bool bAlphaPaletteEnabled = false;
        LONG dwFrameDelay = 0;
        LONG nFrame = 0;
        LONG nNumFrames = 0;
        LONG xOffset = 0;
        LONG yOffset = 0;
        bool bEnabled = true;
        RECT rSelectionBox{};
        char szLastError[256] = {};
    };

    explicit CxImage(DWORD imagetype = 0);
    CxImage(DWORD width, DWORD height, DWORD bpp, DWORD imagetype = 0);
    // Copies are explicit and deep: no two images own one buffer. Without
    // copyPixels the copy has the same size and palette and zeroed pixels.
    explicit CxImage(const CxImage& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    CxImage& operator=(const CxImage& src);
    virtual ~CxImage();

    static const char* GetVersion() { return "CxImage 5.00"; }

    // --- Life cycle ---
    // The DIB, or NULL (image left empty) for a zero side, a size that does
    // not fit a DIB or a failed allocation. bpp is raised to 1, 4, 8 or 24.
    void* Create(DWORD width, DWORD height, DWORD bpp, DWORD imagetype = 0);
    void Destroy();
    // Frees this image's buffers and takes over from's; from is left empty.
    void Transfer(CxImage& from);
    // Borrows src's buffers (never freed by this object); src must outlive it.
    void Ghost(CxImage* src);
    // Same flags as the copy constructor; false when an allocation fails.
    bool Copy(const CxImage& src, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);

    // --- Attributes ---
    void* GetDIB() const { return m_pDib; }
    BYTE* GetBits() const { return m_pDib ? m_info.pImage : nullptr; }
    // Header + palette + pixels.
    DWORD GetSize() const;
    DWORD GetWidth() const { return static_cast<DWORD>(m_head.biWidth); }
    DWORD GetHeight() const { return static_cast<DWORD>(m_head.biHeight); }
    DWORD GetEffWidth() const { return m_info.dwEffWidth; }
    DWORD GetNumColors() const { return m_head.biClrUsed; }
    WORD GetBpp() const { return m_head.biBitCount; }
    DWORD GetType() const { return m_info.dwType; }
    const BITMAPINFOHEADER& GetHeader() const { return m_head; }
    bool IsValid() const { return m_pDib != nullptr; }
    bool IsInside(LONG x, LONG y) const;
    // Fills every pixel byte (padding included) with value.
    void Clear(BYTE value = 0);
    // 4 with an alpha plane, else 1 up to 8 bits, 2 above.
    BYTE GetColorType() const;
    const char* GetLastError() const { return m_info.szLastError; }

    LONG GetXDPI() const { return m_info.xDPI; }
    LONG GetYDPI() const { return m_info.yDPI; }
    // Also sets the header's pixels per metre (dpi * 39.37 rounded).
    void SetXDPI(LONG dpi);
    void SetYDPI(LONG dpi);

    BYTE GetJpegQuality() const { return m_info.nQuality; }
    void SetJpegQuality(BYTE q) { m_info.nQuality = q; }
    BYTE GetJpegChroma() const { return m_info.nJpegChroma; }
    void SetJpegChroma(BYTE chroma) { m_info.nJpegChroma = chroma; }
    // The caller keeps the table alive while the image uses it.
    void SetJpgAdpQTable(const BYTE* table) { m_info.pQuantTable = table; }
    const BYTE* GetJpgAdpQTable() const { return m_info.pQuantTable; }
    LONG GetFrameDelay() const { return m_info.dwFrameDelay; }
    void SetFrameDelay(LONG d) { m_info.dwFrameDelay = d; }
    LONG GetFrame() const { return m_info.nFrame; }
    void SetFrame(LONG n) { m_info.nFrame = n; }
    LONG GetNumFrames() const { return m_info.nNumFrames; }
    void SetNumFrames(LONG n) { m_info.nNumFrames = n; }
    void GetOffset(LONG* x, LONG* y) const
    {
        *x = m_info.xOffset;
        *y = m_info.yOffset;
    }
    void SetOffset(LONG x, LONG y)
    {
        m_info.xOffset = x;
        m_info.yOffset = y;
    }
    // Long operations report here and stop when the escape value is set
    // (from any thread); a stopped operation changes nothing.
    LONG GetProgress() const { return m_progress.load(std::memory_order_relaxed); }
    void SetProgress(LONG p) { m_progress.store(p, std::memory_order_relaxed); }
    LONG GetEscape() const { return m_escape.load(std::memory_order_relaxed); }
    void SetEscape(LONG e) { m_escape.store(e, std::memory_order_relaxed); }
    LONG GetTransIndex() const { return m_info.nBkgndIndex; }
    void SetTransIndex(LONG idx) { m_info.nBkgndIndex = idx; }
    // The transparent colour; for palette images the entry of the transparent index.
    RGBQUAD GetTransColor() const;
    void SetTransColor(RGBQUAD rgb) { m_info.nBkgndColor = rgb; }
    bool IsTransparent() const { return m_info.nBkgndIndex >= 0; }
    RGBQUAD GetStripColor() const { return m_info.nStripColor; }
    void SetStripColor(RGBQUAD rgb) { m_info.nStripColor = rgb; }
    bool IsIndexed() const { return m_head.biClrUsed != 0; }
    bool IsEnabled() const { return m_info.bEnabled; }
    void Enable(bool enable = true) { m_info.bEnabled = enable; }

    // --- Palette ---
    DWORD GetPaletteSize() const { return m_head.biClrUsed * 4; }
    RGBQUAD* GetPalette() const;
    // All zero for an index past the palette.
    RGBQUAD GetPaletteColor(BYTE idx) const;
    bool GetRGB(int idx, BYTE* r, BYTE* g, BYTE* b) const;
    void SetPaletteIndex(BYTE idx, BYTE r, BYTE g, BYTE b, BYTE alpha = 0);
    void SetPaletteIndex(BYTE idx, RGBQUAD c);
    void SetPaletteIndex(BYTE idx, COLORREF cr); // reserved byte 0
    // At most the palette's size is copied.
    void SetPalette(const RGBQUAD* pal, DWORD nColors = 256);
    // A missing green array is taken from red, a missing blue one from green.
    void SetPalette(const BYTE* r, const BYTE* g, const BYTE* b, DWORD nColors = 256);
    void SetPalette(const rgb_color* rgb, DWORD nColors = 256);
    void SetGrayPalette();
    void SetStdPalette();
    bool IsGrayScale() const;
    void BlendPalette(COLORREF cr, LONG perc);
    // Swaps two entries and the pixel indices that use them.
    void SwapIndex(BYTE idx1, BYTE idx2);
    BYTE GetNearestIndex(RGBQUAD c) const;
    // qsort comparator of palette entries by (59 G + 30 R + 11 B) / 100.
    static int CompareColors(const void* a, const void* b);

    // --- Pixels ---
    // Outside the image: the transparent index, or 0.
    BYTE GetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE idx);
    // Outside the image: the transparent colour.
    RGBQUAD GetPixelColor(LONG x, LONG y) const;
    void SetPixelColor(LONG x, LONG y, RGBQUAD c);
    void SetPixelColor(LONG x, LONG y, COLORREF cr) { SetPixelColor(x, y, RGBtoRGBQUAD(cr)); }
    static RGBQUAD RGBtoRGBQUAD(COLORREF cr);
    static COLORREF RGBQUADtoRGB(RGBQUAD c);

    // --- Alpha ---
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(BYTE level);
    void AlphaSet(LONG x, LONG y, BYTE level);
    BYTE AlphaGet(LONG x, LONG y) const;
    void AlphaInvert();
    bool AlphaCopy(const CxImage& from);
    bool AlphaFlip();
    bool AlphaMirror();
    // The plane as an 8-bit grey image.
    bool AlphaSplit(CxImage* dest) const;
    BYTE AlphaGetMax() const { return m_info.nAlphaMax; }
    void AlphaSetMax(BYTE max) { m_info.nAlphaMax = max; }
    bool HasAlpha() const { return m_pAlpha != nullptr; }
    BYTE* AlphaGetBits() const { return m_pAlpha; }
    void AlphaPaletteEnable(bool enable = true) { m_info.bAlphaPaletteEnabled = enable; }
    bool IsAlphaPaletteEnabled() const { return m_info.bAlphaPaletteEnabled; }
    void AlphaPaletteClear();
    bool HasAlphaPalette() const;
    // Blends every pixel onto the strip colour and drops the alpha; palette
    // images become 24-bit.
    bool AlphaStrip();

    // --- Selection ---
    bool SelectionCreate();
    void SelectionDelete();
    void SelectionClear();
    void SelectionInvert();
    bool SelectionCopy(const CxImage& from);
    bool IsInsideSelection(LONG x, LONG y) const;
    bool HasSelection() const { return m_pSelection != nullptr; }
    BYTE* SelectionGetBits() const { return m_pSelection; }
    // Left and bottom inclusive, right and top exclusive; empty when left >= right.
    void GetSelectionBox(RECT& r) const { r = m_info.rSelectionBox; }
    // Pixels left <= x < right, min(top, bottom) <= y < max(top, bottom).
    bool SelectionAddRect(RECT r);
    bool SelectionAddEllipse(RECT r);
    // Rings of points; a point with x == -1 ends a ring.
    bool SelectionAddPolygon(const POINT* points, LONG npoints);

    // --- Transforms: false, changing nothing, for an empty image ---
    bool GrayScale();
    bool Flip();
    bool Mirror();
    bool RotateLeft(CxImage* iDst = nullptr);
    bool RotateRight(CxImage* iDst = nullptr);
    bool Rotate180(CxImage* iDst = nullptr);
    // Degrees, positive clockwise.
    bool Rotate(float angle, CxImage* iDst = nullptr);
    bool Negative();
    // Rows counted from the top; the corners are clamped and ordered.
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, CxImage* iDst = nullptr);
    bool Crop(const RECT& rect, CxImage* iDst = nullptr)
    {
        return Crop(rect.left, rect.top, rect.right, rect.bottom, iDst);
    }
    bool Resample(LONG newx, LONG newy, int fast = 1);
    bool IncreaseBpp(DWORD nbit);
    bool DecreaseBpp(DWORD nbit, bool errordiffusion, const RGBQUAD* ppal = nullptr);
    // 1 ordered 4 x 4, anything else Floyd-Steinberg.
    bool Dither(LONG method = 0);

    // --- Exchange ---
    // A moveable, zeroed block holding the whole DIB; NULL when empty.
    HGLOBAL CopyToHandle() const;
    // A CF_DIB block from anyone: its header, sizes and length are checked
    // before anything is copied; false (image unchanged) when refused.
    bool CreateFromHANDLE(HGLOBAL hMem);
    // Unpacks 16- or 32-bit rows (bottom-up, 4-byte padded) into this
    // 24-bit image of the same size. Zero masks mean 5-5-5 for 16 bits and
    // B, G, R bytes for 32.
    bool Bitfield2RGB(const BYTE* src, DWORD redmask, DWORD greenmask, DWORD bluemask, BYTE bpp);

    // --- Colour spaces, point operations, filters, FFT (XImageColour.cpp,
    // XImageFilter.cpp, XImageFFT.cpp) ---
    // A colour-space value packs its first component in rgbRed, the second in
    // rgbGreen, the third in rgbBlue: HSL is hue, saturation, lightness 0..255.
    // Pixel operations change only the selected pixels and visit only the
    // selection's box; they report progress per row and a set escape stops
    // them with nothing changed and false. Threshold, Split*, Combine,
    // HuePalette and FFT2 make whole images and ignore the selection.
    static RGBQUAD RGBtoHSL(RGBQUAD rgb);
    static RGBQUAD HSLtoRGB(RGBQUAD hsl);
    static RGBQUAD HSLtoRGB(COLORREF hsl); // hue in the red, saturation in the green byte
    static RGBQUAD RGBtoYUV(RGBQUAD rgb);
    static RGBQUAD YUVtoRGB(RGBQUAD yuv);
    static RGBQUAD RGBtoYIQ(RGBQUAD rgb);
    static RGBQUAD YIQtoRGB(RGBQUAD yiq);
    static RGBQUAD RGBtoXYZ(RGBQUAD rgb);
    static RGBQUAD XYZtoRGB(RGBQUAD xyz);
    // Each given plane becomes an 8-bit grey image of one component; false
    // when none is given.
    bool SplitRGB(CxImage* r, CxImage* g, CxImage* b);
    bool SplitYUV(CxImage* y, CxImage* u, CxImage* v);
    bool SplitYIQ(CxImage* y, CxImage* i, CxImage* q);
    bool SplitXYZ(CxImage* x, CxImage* y, CxImage* z);
    bool SplitHSL(CxImage* h, CxImage* s, CxImage* l);
    // This image becomes 24-bit of c1's size from three planes in the space
    // (1 HSL, 2 YUV, 3 YIQ, 4 XYZ, else RGB); alpha, when given, its alpha.
    bool Combine(CxImage* c1, CxImage* c2, CxImage* c3, CxImage* alpha, LONG colorspace = 0);
    // 1-bit: white where the grey is above level.
    bool Threshold(BYTE level);
    bool Colorize(BYTE hue, BYTE sat);
    void HuePalette(float correction = 1);
    // v := brightness + contrast / 100 * (v - 128) + 128
    bool Light(LONG brightness, LONG contrast = 100);
    // False, changing nothing, for a gamma of 0 or less.
    bool Gamma(float gamma);
    bool ShiftRGB(LONG r, LONG g, LONG b);
    // rand() taken as 15 bits whatever RAND_MAX is: at most level / 2 either way.
    bool Noise(LONG level);
    // size x size kernel, row by row; sum / divisor + offset (sum + offset
    // when the divisor is 0).
    bool Filter(const LONG* kernel, LONG size, LONG divisor, LONG offset);
    bool Erode(LONG size = 2);
    bool Dilate(LONG size = 2);
    bool Median(LONG size = 3);
    bool Repair(float radius = 0.25f, LONG iterations = 1, LONG colorspace = 0);
    enum ImageOpType {
        OpAdd = 0,
        OpAnd = 1,
        OpXor = 2,
        OpOr = 3,
        OpDarker = 4,  // the pixel that sorts lower by CompareColors
        OpLighter = 5, // the one that sorts higher
        OpChanged = 6, // other's pixel where the two differ
        OpSub = 7,     // this minus other, clamped at 0
        OpBlend = 8,   // towards other by their distance: sum of |differences| / 765
    };
    // other's pixel (x, y) meets this one's (x + xoffset, y + yoffset).
    void Mix(CxImage& other, ImageOpType op, LONG xoffset = 0, LONG yoffset = 0);
    // Mean of (30 R + 59 G + 11 B) / 100 over the selection; 0 when empty.
    float Mean();
    // Zeroes and fills the given 256-entry tables; the largest count, 0 with
    // no table. A colour space 1..4 passes pixels through HSLtoRGB, YUVtoRGB,
    // YIQtoRGB or XYZtoRGB first.
    LONG Histogram(LONG* red, LONG* green = nullptr, LONG* blue = nullptr, LONG* grey = nullptr,
                   LONG colorspace = 0);
    // Direction 1 forward (divided by the count), -1 inverse. A missing
    // destination puts the result into its source.
    bool FFT2(CxImage* srcReal, CxImage* srcImag, CxImage* dstReal, CxImage* dstImag, LONG direction = 1,
              bool forcePow2 = true, bool magnitude = true);

    // --- GDI (ximage_draw) ---
    // Every drawing member returns 1 when drawn, 0 when the image is empty or
    // disabled, the DC is NULL or a size is 0. A negative size means the image's own.
    HBITMAP MakeBitmap(HDC hdc = nullptr) const;
    bool CreateFromHBITMAP(HBITMAP hbmp);
    LONG Stretch(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const;
    LONG Stretch(HDC hdc, const RECT& rect) const;
    LONG Draw2(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1) const;
    LONG Draw2(HDC hdc, const RECT& rect) const;
    LONG Draw(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1, const RECT* pClipRect = nullptr) const;
    LONG Draw(HDC hdc, const RECT& rect, const RECT* pClipRect = nullptr) const;
    LONG Tile(HDC hdc, const RECT* rc) const;

protected:
    static float HueToRGB(float p, float q, float hue);
    bool RepairChannel(CxImage* plane, float radius);
    // 2^power points in place.
    bool FFT(int direction, int power, double* re, double* im);
    bool DFT(int direction, LONG n, double* re, double* im, double* reWork, double* imWork);
    static bool IsPowerof2(LONG n);

private:
    void Startup(DWORD imagetype);
    void FreeBuffers();
    void ResetSelectionBox();
    BYTE* RowPtr(LONG y) const { return m_info.pImage + static_cast<std::size_t>(y) * m_info.dwEffWidth; }
    BYTE GetPixelIndexUnchecked(LONG x, LONG y) const;
    void SetPixelIndexUnchecked(LONG x, LONG y, BYTE idx);
    RGBQUAD GetPixelColorUnchecked(LONG x, LONG y) const;
    std::size_t PlaneSize() const { return static_cast<std::size_t>(GetWidth()) * GetHeight(); }
    // Copies the alpha plane and the selection of this image into dst when
    // the sizes match.
    void CopyPlanesTo(CxImage& dst) const;
    // tmp becomes an image of the given size and depth with this image's
    // information block and as much of its palette as fits.
    bool MakeTarget(CxImage& tmp, DWORD w, DWORD h, DWORD bpp) const;
    void SyncHeader();
    void SetError(const char* text);
    bool Escaped() const { return GetEscape() != 0; }
    // The result goes to iDst when given, else into this image.
    void Deliver(CxImage& tmp, CxImage* iDst);
    bool RotateQuarter(bool right, CxImage* iDst);
    bool ResampleSmooth(LONG newx, LONG newy, CxImage& tmp);

    BYTE* m_pDib = nullptr;
    BITMAPINFOHEADER m_head{};
    CXIMAGEINFO m_info;
    BYTE* m_pSelection = nullptr;
    BYTE* m_pAlpha = nullptr;
    std::atomic<LONG> m_progress{0};
    std::atomic<LONG> m_escape{0};
};
