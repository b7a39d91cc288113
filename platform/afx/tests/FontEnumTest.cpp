// Font families: every installed family once, the mapped Windows faces, the
// character set by coverage, filters and stopping early.
#include "platform/afx/WinGdi.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

struct Listed {
    std::map<std::string, int> charSets;
    int calls = 0;
    int stopAfter = 0;  // 0: never stop
};

int Collect(const LOGFONT* font, const TEXTMETRIC* metrics, DWORD type, LPARAM lParam)
{
    auto* listed = reinterpret_cast<Listed*>(lParam);
    EXPECT_EQ(type, TRUETYPE_FONTTYPE);
    EXPECT_EQ(metrics->tmCharSet, font->lfCharSet);
    ++listed->calls;
    listed->charSets[font->lfFaceName] = font->lfCharSet;
    return listed->stopAfter == 0 || listed->calls < listed->stopAfter;
}

Listed Enumerate(const char* face, BYTE charSet, int stopAfter = 0)
{
    LOGFONT filter{};
    filter.lfCharSet = charSet;
    std::strncpy(filter.lfFaceName, face, LF_FACESIZE - 1);
    Listed listed;
    listed.stopAfter = stopAfter;
    EnumFontFamiliesEx(nullptr, &filter, Collect, reinterpret_cast<LPARAM>(&listed), 0);
    return listed;
}

TEST(FontEnumTest, ListsInstalledFamiliesOnceAndTheMappedFaces)
{
    const Listed all = Enumerate("", DEFAULT_CHARSET);
    EXPECT_EQ(all.calls, static_cast<int>(all.charSets.size())) << "a family listed twice";
    for (const char* face : {"Arial", "Tahoma", "Times New Roman", "Courier New", "Terminal"})
        EXPECT_EQ(all.charSets.count(face), 1u) << face;
    for (const QString& family : QFontDatabase::families()) {
        const std::string name = family.toStdString();
        if (name.size() >= LF_FACESIZE)
            continue;
        ASSERT_EQ(all.charSets.count(name), 1u) << name;
        const bool chinese = QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese);
        EXPECT_EQ(all.charSets.at(name), chinese ? GB2312_CHARSET : ANSI_CHARSET) << name;
    }
}

TEST(FontEnumTest, FiltersByFaceAndCharSetAndStopsOnZero)
{
    const Listed arial = Enumerate("arial", DEFAULT_CHARSET);
    EXPECT_EQ(arial.calls, 1);
    EXPECT_EQ(arial.charSets.count("Arial"), 1u);
    EXPECT_EQ(Enumerate("No Such Face 123", DEFAULT_CHARSET).calls, 0);
    const Listed chinese = Enumerate("", GB2312_CHARSET);
    for (const auto& [face, set] : chinese.charSets)
        EXPECT_EQ(set, GB2312_CHARSET) << face;
    EXPECT_EQ(Enumerate("", DEFAULT_CHARSET, 2).calls, 2);
}

}  // namespace
