// The EXIF data of the open photo: a fixed record of camera, exposure, date
// and text fields, the property items as they were read, and a few extras.
// ExifFields is also the album's EXIF export record, byte for byte.
#pragma once

#include "platform/gdiplus/GdiPlus.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <string>

struct ExifFields {
    static constexpr std::size_t kFileSize = 1904;

    DWORD hasExif; // 1 once any camera field was read or set
    DWORD width;
    DWORD height;
    DWORD reserved0;
    double xResolution;
    double yResolution;
    char description[256];
    char dateTime[256]; // year:month:day hour:minute:second
    char software[256];
    char artist[256];
    char copyright[256];
    char model[256];
    char make[256];
    double exposureTime;    // seconds
    double shutterSpeed;    // seconds
    double aperture;        // F-number
    double subjectDistance; // metres
    double exposureBias;    // EV
    short meteringMode;     // -1 unknown
    short lightSource;      // -1 unknown
    short flash;            // 1 fired, 0 not, -1 unknown
    short exposureProgram;  // -1 unknown
    short isoSpeed;         // 0 unknown
    BYTE reserved1[6];
    double focalLength; // millimetres
    double fNumber;
    short colorSpace; // 1 sRGB, -1 unknown
    BYTE reserved2[6];

    // The stored record, little-endian, field by field.
    void Store(BYTE out[kFileSize]) const;
    // false when fewer than kFileSize bytes are given; texts are cut to
    // their last byte so that each ends with a NUL.
    bool Load(const BYTE* data, std::size_t size);
};

class ExifInfo {
public:
    ExifInfo();
    virtual ~ExifInfo();
    ExifInfo(const ExifInfo&) = delete;
    ExifInfo& operator=(const ExifInfo&) = delete;

    // 1 when the file could be opened and its items read, else 0.
    int ReadFromFile(const char* path);
    void Clear();
    ExifFields& GetFields() { return m_fields; }
    const ExifFields& GetFields() const { return m_fields; }
    void SetFields(const ExifFields& fields) { m_fields = fields; }
    char* GetProcessingText() { return m_processing; }
    char* GetPrivateText() { return m_text; }
    void SetWriteSoftware(BOOL write) { m_writeSoftware = write; }
    BOOL GetWriteSoftware() const { return m_writeSoftware; }
    BOOL GetEditedMark() const { return m_edited; }
    WORD GetFocalLength35() const { return m_focal35; }
    WORD GetOrientation() const { return m_orientation; }
    void SetOrientation(WORD orientation) { m_orientation = orientation; }
    WORD GetByteOrder() const { return m_byteOrder; }
    UINT GetItemCount() const { return m_itemCount; }
    const PropertyItem* GetItems() const { return m_items; }

    // Bytes the read items take in a saved file (thumbnail items left out,
    // the maker note only when asked for); 0 when none were read.
    int GetExifByteSize(BOOL withMakerNote) const;

    // Puts the record into the file just written at path: 1 on success or
    // when there is nothing to write, 0 on failure.
    int WriteToFile(BOOL keepMakerNote, const char* path, BOOL always);

private:
    void ReadItem(const PropertyItem& item);

    WORD m_byteOrder = 0x4949; // "II"
    PropertyItem* m_items = nullptr;
    UINT m_itemsSize = 0;
    UINT m_itemCount = 0;
    ExifFields m_fields;
    char m_text[256];       // private tag 53089
    char m_processing[256]; // private tag 53090: the applied edits
    BOOL m_writeSoftware = TRUE;
    BOOL m_edited = FALSE; // private tag 53088 seen or written
    WORD m_focal35 = 0;
    WORD m_orientation = 0;
};

// Six numbers of "year:month:day hour:minute:second"; all zero when a part
// is out of range.
SYSTEMTIME ParseExifDateTime(const char* text);
// ":" and "-" become "/", and the text ends at its first blank.
char* ExifDateToSlashDate(char* text);
char* TrimRight(char* text);

// The shutter box of Edit EXIF data: "a/b" as a ÷ b when both are above 0,
// else a plain number; 0 for anything that does not read whole or is not
// above 0.
double ParseShutterText(const char* text);
// "year:month:day hour:minute:second" of the file's creation time, or of now
// when the file cannot be read: the time of a record that has none.
std::string FileTimeText(const char* path);

// Index of the encoder with this MIME type, with its class id; -1 when none.
int FindEncoder(const char* mimeType, CLSID* clsid);
