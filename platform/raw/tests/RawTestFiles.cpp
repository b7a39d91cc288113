#include "RawTestFiles.h"

#include <tiffio.h>

#include <algorithm>
#include <vector>

void RawTestScene(int x, int y, int width, int height, unsigned short rgb[3])
{
    rgb[0] = static_cast<unsigned short>(4000 + 40000LL * x / width);
    rgb[1] = static_cast<unsigned short>(4000 + 40000LL * y / height);
    rgb[2] = static_cast<unsigned short>(4000 + 20000LL * (x + y) / (width + height));
}

namespace {

// The scene at 8 bits, as a reduced-resolution image of the file.
bool WritePreview(TIFF* tif, const RawTestDng& dng)
{
    const int width = dng.previewWidth;
    const int height = std::max(1, dng.height * width / dng.width);
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
            unsigned short rgb[3];
            RawTestScene(x, y, width, height, rgb);
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c] = static_cast<unsigned char>(rgb[c] >> 8);
        }
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
            return false;
    }
    return true;
}

} // namespace

bool WriteRawTestDng(const std::string& path, const RawTestDng& dng)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    const int samples = dng.mosaic ? 1 : 3;
    static const unsigned char version[4] = {1, 4, 0, 0};
    static const unsigned short dims[2] = {2, 2};
    static const unsigned char pattern[4] = {0, 1, 1, 2};
    // XYZ to linear sRGB: the camera sees sRGB primaries.
    static const float matrix[9] = {3.2406f, -1.5372f, -0.4986f, -0.9689f, 1.8758f, 0.0415f, 0.0557f, -0.2040f, 1.0570f};
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, dng.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, dng.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, dng.mosaic ? 32803 : 34892);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, dng.height);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_MAKE, dng.make);
    TIFFSetField(tif, TIFFTAG_MODEL, dng.model);
    TIFFSetField(tif, TIFFTAG_DATETIME, dng.dateTime);
    TIFFSetField(tif, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, dng.model);
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, matrix);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, 21); // D65
    if (dng.cameraWhiteBalance) {
        static const float neutral[3] = {0.55f, 1.0f, 0.8f};
        TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, neutral);
    }
    if (dng.mosaic) {
        TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, dims);
        TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, pattern);
    }
    std::vector<unsigned short> row(static_cast<std::size_t>(dng.width) * samples);
    bool ok = true;
    for (int y = 0; y < dng.height && ok; ++y) {
        for (int x = 0; x < dng.width; ++x) {
            unsigned short rgb[3];
            RawTestScene(x, y, dng.width, dng.height, rgb);
            if (dng.mosaic)
                row[x] = rgb[(y & 1) + (x & 1)]; // R G / G B
            else
                for (int c = 0; c < 3; ++c)
                    row[x * 3 + c] = rgb[c];
        }
        ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
    }
    if (ok && dng.previewWidth > 0)
        ok = TIFFWriteDirectory(tif) && WritePreview(tif, dng);
    TIFFClose(tif);
    return ok;
}
