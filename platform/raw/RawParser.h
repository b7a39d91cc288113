// CRawParser: camera RAW files through LibRaw, in the call order a
// development takes (construct, SetAutoBalance, LoadCCDDataOnly, Interpolate,
// FinalConvert, ImageToBitmap, UniformImage, Close). Loaded data belong to the
// library, not the object: one process-wide LibRaw state behind a mutex, so
// a later object works on what an earlier one loaded.
#pragma once

#include "platform/win/WinTypes.h"

class C16BitBitmap;
class CQLImage;

class CRawParser {
public:
    // Progress during Interpolate: (1, percent).
    typedef UINT (*ProgressCallback)(UINT code, UINT value);

    CRawParser();
    ~CRawParser();
    CRawParser(const CRawParser&) = delete;
    CRawParser& operator=(const CRawParser&) = delete;

    // Harmless when repeated or while a development runs.
    static void Start();
    static void Stop();

    // 1 automatic, 0 the camera's white balance; before loading.
    void SetAutoBalance(int automatic);
    // Opens and unpacks: 0 failure, 2 full-colour data without a mosaic, 1 a
    // mosaic that needs Interpolate. out is never read.
    int LoadCCDDataOnly(const char* path, C16BitBitmap* out);
    // 1 linear, 2 PPG, 3 AHD; progress through the callback, 100 at the end.
    // 1 on success.
    int Interpolate(int method);
    // Colour conversion of data that needed no interpolation. 1 on success.
    int FinalConvert();
    // Linear 16-bit B, G, R, the camera's orientation applied. 1 or 0.
    int ImageToBitmap(C16BitBitmap* bitmap);
    void UniformImage(C16BitBitmap* bitmap);
    void Close();
    void SetCallback(ProgressCallback callback);

    int LoadThumbnail(const char* path, CQLImage* out);
    // The last loaded file's shooting data into a JPEG or TIFF just written.
    // 1 on success.
    int AddExifToJpeg(const char* path);
    int AddExifToTiff(const char* path);

    // Filled by LoadCCDDataOnly.
    int m_nWhiteBalance = 0; // as SetAutoBalance
    int m_nThreeColor = 0;   // non-zero for a three-colour RGB mosaic
    char m_szMake[64] = {};
    char m_szModel[64] = {};
    WORD m_wFlash = 0;
    WORD m_wISO = 0;
    float m_fExposure = 0;    // seconds
    float m_fFNumber = 0;
    float m_fFocalLength = 0; // mm
    char m_szDateTime[20] = {}; // "YYYY:MM:DD hh:mm:ss"

private:
    void CopyShootingData();
    int AddExif(const char* path);
    ProgressCallback m_callback = nullptr;
};
