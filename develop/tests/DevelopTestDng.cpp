#include "DevelopTestDng.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

unsigned short Linear(BYTE v) { return static_cast<unsigned short>(std::pow(v / 255.0, 2.2) * 60000.0); }

bool WritePreview(TIFF* tif, const CQLImage& photo, int width)
{
    UINT pw = 0, ph = 0;
    photo.GetSize(&pw, &ph);
    const int height = std::max(1, static_cast<int>(ph) * width / static_cast<int>(pw));
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const BYTE* p = photo.GetBuffer(x * static_cast<int>(pw) / width, y * static_cast<int>(ph) / height);
            row[x * 3] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
            return false;
    }
    return true;
}

} // namespace

bool WritePhotoDng(const std::string& path, const CQLImage& photo, bool mosaic, int previewWidth)
{
    UINT w = 0, h = 0;
    photo.GetSize(&w, &h);
    if (w < 2 || h < 2)
        return false;
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    const int width = static_cast<int>(w) & ~1, height = static_cast<int>(h) & ~1;
    const int samples = mosaic ? 1 : 3;
    static const unsigned char version[4] = {1, 4, 0, 0};
    static const unsigned short dims[2] = {2, 2};
    static const unsigned char pattern[4] = {0, 1, 1, 2};
    static const float matrix[9] = {3.2406f, -1.5372f, -0.4986f, -0.9689f, 1.8758f, 0.0415f, 0.0557f, -0.2040f, 1.0570f};
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, mosaic ? 32803 : 34892);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_MAKE, "Quillotest");
    TIFFSetField(tif, TIFFTAG_MODEL, "Sensor Two");
    TIFFSetField(tif, TIFFTAG_DATETIME, "2022:03:04 05:06:07");
    TIFFSetField(tif, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, "Sensor Two");
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, matrix);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, 21);
    if (mosaic) {
        TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, dims);
        TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, pattern);
    }
    std::vector<unsigned short> row(static_cast<std::size_t>(width) * samples);
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        for (int x = 0; x < width; ++x) {
            const BYTE* p = photo.GetBuffer(x, y);
            const unsigned short rgb[3] = {Linear(p[2]), Linear(p[1]), Linear(p[0])};
            if (mosaic)
                row[x] = rgb[(y & 1) + (x & 1)];
            else
                for (int c = 0; c < 3; ++c)
                    row[x * 3 + c] = rgb[c];
        }
        ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
    }
    if (ok && previewWidth > 0)
        ok = TIFFWriteDirectory(tif) && WritePreview(tif, photo, previewWidth);
    TIFFClose(tif);
    return ok;
}
