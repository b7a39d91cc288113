#include "Photo16Support.h"

#include "BenchSupport.h"
#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"

#include <tiffio.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

const C16BitBitmap& Photo16()
{
    static const C16BitBitmap* photo = [] {
        auto* bitmap = new C16BitBitmap;
        if (!bitmap->ConvertFromSimpleBitmap(&SyntheticPhoto(), 0))
            std::abort();
        return bitmap;
    }();
    return *photo;
}

const std::string& PeerInputTiff16()
{
    static const std::string path = [] {
        const C16BitBitmap& photo = Photo16();
        const std::string file = BenchFolder() + "/photo16.tif";
        TIFF* tif = TIFFOpen(file.c_str(), "w");
        if (!tif)
            std::abort();
        const int w = photo.GetWidth(), h = photo.GetHeight();
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
        std::vector<uint16_t> row(static_cast<std::size_t>(w) * 3);
        for (int y = 0; y < h; ++y) {
            const C16BitPixel* p = photo.GetBuffer(0, y);
            for (int x = 0; x < w; ++x) {
                row[x * 3] = p[x].r;
                row[x * 3 + 1] = p[x].g;
                row[x * 3 + 2] = p[x].b;
            }
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
                std::abort();
        }
        TIFFClose(tif);
        return file;
    }();
    return path;
}
