// Printing: printer DCs on QPrinter, the print and print set-up dialogs,
// and printing into a PDF file.
//
// A printer DC draws with every CDC/HDC function into a 32-bit page of the
// printable area at the DC's resolution; EndPage puts the page on paper (or
// into the PDF). Device units are the printer's pixels, origin at the top
// left of the printable area, as on Windows.
#pragma once

#include "platform/afx/CommDlg.h"
#include "platform/afx/DC.h"
#include "platform/win/GlobalMemory.h"

#include <memory>
#include <string>

// ---- device mode ----
inline constexpr DWORD DM_ORIENTATION = 0x00000001;
inline constexpr DWORD DM_PAPERSIZE = 0x00000002;
inline constexpr DWORD DM_PAPERLENGTH = 0x00000004;
inline constexpr DWORD DM_PAPERWIDTH = 0x00000008;
inline constexpr DWORD DM_SCALE = 0x00000010;
inline constexpr DWORD DM_COPIES = 0x00000100;
inline constexpr DWORD DM_PRINTQUALITY = 0x00000400;
inline constexpr DWORD DM_YRESOLUTION = 0x00002000;
inline constexpr DWORD DM_COLLATE = 0x00008000;

inline constexpr short DMORIENT_PORTRAIT = 1;
inline constexpr short DMORIENT_LANDSCAPE = 2;
inline constexpr short DMPAPER_LETTER = 1;
inline constexpr short DMPAPER_LEGAL = 5;
inline constexpr short DMPAPER_A3 = 8;
inline constexpr short DMPAPER_A4 = 9;
inline constexpr short DMPAPER_A5 = 11;
inline constexpr short DMCOLLATE_FALSE = 0;
inline constexpr short DMCOLLATE_TRUE = 1;

inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;

// The 156-byte device mode of a printer. Paper sizes are in tenths of a
// millimetre; dmPrintQuality and dmYResolution are dots per inch.
struct DEVMODE {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
static_assert(sizeof(DEVMODE) == 156);
using DEVMODEA = DEVMODE;
using LPDEVMODE = DEVMODE*;

// Offsets (in characters) of three strings that follow the structure.
struct DEVNAMES {
    WORD wDriverOffset;
    WORD wDeviceOffset;
    WORD wOutputOffset;  // a PDF file, or empty for the printer itself
    WORD wDefault;
};

// ---- the header of a 32-bit picture handed to a printer ----
inline constexpr DWORD LCS_CALIBRATED_RGB = 0x00000000;
inline constexpr DWORD LCS_sRGB = 0x73524742;                // 'sRGB'
inline constexpr DWORD LCS_WINDOWS_COLOR_SPACE = 0x57696E20; // 'Win '

struct CIEXYZ {
    LONG ciexyzX;  // 2.30 fixed point
    LONG ciexyzY;
    LONG ciexyzZ;
};
struct CIEXYZTRIPLE {
    CIEXYZ ciexyzRed;
    CIEXYZ ciexyzGreen;
    CIEXYZ ciexyzBlue;
};

// A BITMAPINFOHEADER followed by masks and colour-space fields; StretchDIBits
// takes it in place of a BITMAPINFO.
struct BITMAPV5HEADER {
    DWORD bV5Size;
    LONG bV5Width;
    LONG bV5Height;
    WORD bV5Planes;
    WORD bV5BitCount;
    DWORD bV5Compression;
    DWORD bV5SizeImage;
    LONG bV5XPelsPerMeter;
    LONG bV5YPelsPerMeter;
    DWORD bV5ClrUsed;
    DWORD bV5ClrImportant;
    DWORD bV5RedMask;
    DWORD bV5GreenMask;
    DWORD bV5BlueMask;
    DWORD bV5AlphaMask;
    DWORD bV5CSType;
    CIEXYZTRIPLE bV5Endpoints;
    DWORD bV5GammaRed;
    DWORD bV5GammaGreen;
    DWORD bV5GammaBlue;
    DWORD bV5Intent;
    DWORD bV5ProfileData;
    DWORD bV5ProfileSize;
    DWORD bV5Reserved;
};
static_assert(sizeof(BITMAPV5HEADER) == 124);
using PBITMAPV5HEADER = BITMAPV5HEADER*;

// ---- documents ----
struct DOCINFO {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput;  // a file to print into (PDF); NULL for the device
    LPCSTR lpszDatatype;
    DWORD fwType;
};
using DOCINFOA = DOCINFO;
inline constexpr int SP_ERROR = -1;
inline constexpr int DT_RASPRINTER = 2;

// A printer DC: device is a printer's name, output a PDF file to print
// into (then device may be anything); devmode sets paper, orientation,
// resolution and copies. NULL for an unknown printer.
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODE* devmode);
// The job's id (above 0), or SP_ERROR.
int StartDoc(HDC hdc, const DOCINFO* info);
inline int StartDocA(HDC hdc, const DOCINFO* info) { return StartDoc(hdc, info); }
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);

// ---- the print dialog ----
inline constexpr DWORD PD_ALLPAGES = 0x00000000;
inline constexpr DWORD PD_SELECTION = 0x00000001;
inline constexpr DWORD PD_PAGENUMS = 0x00000002;
inline constexpr DWORD PD_NOSELECTION = 0x00000004;
inline constexpr DWORD PD_NOPAGENUMS = 0x00000008;
inline constexpr DWORD PD_COLLATE = 0x00000010;
inline constexpr DWORD PD_PRINTTOFILE = 0x00000020;
inline constexpr DWORD PD_PRINTSETUP = 0x00000040;
inline constexpr DWORD PD_NOWARNING = 0x00000080;
inline constexpr DWORD PD_RETURNDC = 0x00000100;
inline constexpr DWORD PD_RETURNIC = 0x00000200;
inline constexpr DWORD PD_RETURNDEFAULT = 0x00000400;
inline constexpr DWORD PD_SHOWHELP = 0x00000800;
inline constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;
inline constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x00040000;
inline constexpr DWORD PD_DISABLEPRINTTOFILE = 0x00080000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

struct PRINTDLG {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;   // DEVMODE
    HGLOBAL hDevNames;  // DEVNAMES
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
    void* lpfnPrintHook;
    void* lpfnSetupHook;
    LPCSTR lpPrintTemplateName;
    LPCSTR lpSetupTemplateName;
    HGLOBAL hPrintTemplate;
    HGLOBAL hSetupTemplate;
};

// The print dialog (or, with PD_PRINTSETUP, the print set-up dialog) in
// Qt's own dialog; TRUE with hDevMode, hDevNames and, with PD_RETURNDC,
// hDC filled in. Not answerable by the test hook: use CPrintDialog there.
BOOL PrintDlg(PRINTDLG* ppd);

namespace qlafx {

// What a person chooses in the print dialogs.
struct PrinterChoice {
    std::string printer;  // a printer's name; empty with a PDF file
    std::string pdfFile;  // print into this PDF file instead
    short paperSize = DMPAPER_A4;
    short orientation = DMORIENT_PORTRAIT;
    int dpi = 300;
    int copies = 1;
};

}  // namespace qlafx

class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                          PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    int DoModal() override;
    // The DC made on OK with PD_RETURNDC; the caller deletes it.
    HDC GetPrinterDC() const { return m_pd.hDC; }
    // A new DC for the chosen printer (also kept in m_pd.hDC).
    HDC CreatePrinterDC();
    // The chosen printer's device mode (valid while the dialog lives).
    LPDEVMODE GetDevMode() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    int GetCopies() const;
    BOOL PrintToFile() const { return (m_pd.Flags & PD_PRINTTOFILE) != 0; }

    PRINTDLG m_pd{};
    // What the hook chose (see qlafx::AnswerPrintDialog).
    std::unique_ptr<qlafx::PrinterChoice> m_answer;
};

namespace qlafx {

// The hook's answer for a CPrintDialog.
void AnswerPrintDialog(CPrintDialog& dialog, const PrinterChoice& choice);
// A printer DC printing into a PDF file, as a person without a printer prints.
HDC CreatePdfDC(const PrinterChoice& choice);

}  // namespace qlafx
