// EnumFontFamiliesEx over the fonts installed here, plus the Windows faces
// that the layer maps onto free fonts, so that lists built from it offer the
// names that stored settings and templates use.
#include "platform/afx/WinGdi.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

namespace {

// The faces CreateFont maps (Gdi.cpp); "Terminal" is a monospaced face.
const struct {
    const char* face;
    BYTE pitchAndFamily;
} kMappedFaces[] = {
    {"Arial", VARIABLE_PITCH | FF_SWISS},
    {"Tahoma", VARIABLE_PITCH | FF_SWISS},
    {"Times New Roman", VARIABLE_PITCH | FF_ROMAN},
    {"Courier New", FIXED_PITCH | FF_MODERN},
    {"Terminal", FIXED_PITCH | FF_MODERN},
};

bool CoversChinese(const QString& family)
{
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese);
}

ENUMLOGFONTEX Record(const std::string& face, BYTE charSet, BYTE pitchAndFamily)
{
    ENUMLOGFONTEX e{};
    std::strncpy(e.elfLogFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    std::strncpy(reinterpret_cast<char*>(e.elfFullName), face.c_str(), LF_FULLFACESIZE - 1);
    std::strncpy(reinterpret_cast<char*>(e.elfStyle), "Regular", LF_FACESIZE - 1);
    std::strncpy(reinterpret_cast<char*>(e.elfScript), charSet == GB2312_CHARSET ? "CHINESE_GB2312" : "Western",
                 LF_FACESIZE - 1);
    e.elfLogFont.lfCharSet = charSet;
    e.elfLogFont.lfWeight = FW_NORMAL;
    e.elfLogFont.lfOutPrecision = OUT_TT_PRECIS;
    e.elfLogFont.lfQuality = DEFAULT_QUALITY;
    e.elfLogFont.lfPitchAndFamily = pitchAndFamily;
    return e;
}

bool SameFace(const char* a, const std::string& b)
{
    return strcasecmp(a, b.c_str()) == 0;
}

}  // namespace

int EnumFontFamiliesEx(HDC, LOGFONT* filter, FONTENUMPROC proc, LPARAM lParam, DWORD)
{
    if (!proc)
        return 0;
    const char* wanted = filter && filter->lfFaceName[0] ? filter->lfFaceName : nullptr;
    const int wantedCharSet = filter ? filter->lfCharSet : DEFAULT_CHARSET;
    std::vector<ENUMLOGFONTEX> records;
    std::set<std::string, bool (*)(const std::string&, const std::string&)> seen(
        [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    if (QGuiApplication::instance()) {
        for (const QString& family : QFontDatabase::families()) {
            const std::string face = family.toStdString();
            if (face.empty() || face.size() >= LF_FACESIZE || !seen.insert(face).second)
                continue;
            const BYTE pitch = QFontDatabase::isFixedPitch(family) ? (FIXED_PITCH | FF_MODERN) : VARIABLE_PITCH;
            records.push_back(Record(face, CoversChinese(family) ? GB2312_CHARSET : ANSI_CHARSET, pitch));
        }
    }
    for (const auto& m : kMappedFaces)
        if (seen.insert(m.face).second)
            records.push_back(Record(m.face, ANSI_CHARSET, m.pitchAndFamily));
    std::sort(records.begin(), records.end(), [](const ENUMLOGFONTEX& a, const ENUMLOGFONTEX& b) {
        return strcasecmp(a.elfLogFont.lfFaceName, b.elfLogFont.lfFaceName) < 0;
    });

    int last = 1;
    for (const ENUMLOGFONTEX& e : records) {
        if (wanted && !SameFace(wanted, e.elfLogFont.lfFaceName))
            continue;
        if (wantedCharSet != DEFAULT_CHARSET && wantedCharSet != e.elfLogFont.lfCharSet)
            continue;
        TEXTMETRIC tm{};
        tm.tmWeight = FW_NORMAL;
        tm.tmCharSet = e.elfLogFont.lfCharSet;
        tm.tmPitchAndFamily = e.elfLogFont.lfPitchAndFamily;
        last = proc(&e.elfLogFont, &tm, TRUETYPE_FONTTYPE, lParam);
        if (last == 0)
            break;
    }
    return last;
}
