#include "album/tools/HtmlTemplate.h"
#include "album/tools/WebExportText.h"
#include "editor/shell/ExifInfo.h"

#include <gtest/gtest.h>

#include <string>

using namespace shelf;

namespace {

std::string Rendered(const HtmlTemplate& page)
{
    std::string out;
    EXPECT_TRUE(page.Render(out));
    return out;
}

} // namespace

TEST(HtmlTemplate, ParsesTokensAndWritesValues)
{
    const std::string name31(31, 'N'), name32(32, 'N');
    struct Case {
        std::string text;
        int ok;
        std::vector<std::string> names;
        std::string written; // with every value "v"
    } cases[] = {
        {"<p>$A$ and $b$</p>", 1, {"A", "b"}, "<p>v and v</p>"},
        {"cost $$A$ now", 1, {"A"}, "cost  v now"},
        {"$$$$", 1, {}, "   "},
        {"x $A$ y $open", 1, {"A"}, "x v y "},
        {"$A$$B$", 1, {"A "}, "vB"}, // "$$" turns the first "$" into a blank
        {"$" + name31 + "$", 1, {name31}, "v"},
        {"$" + name32 + "$", 0, {}, ""},
        {"", 1, {}, ""},
        {"$A$ twice $A$", 1, {"A", "A"}, "v twice "}, // only the first is set
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HtmlTemplate page;
        ASSERT_EQ(page.Parse(c.text), c.ok);
        std::vector<std::string> names;
        for (const auto& token : page.Tokens())
            names.push_back(token.first);
        EXPECT_EQ(names, c.names);
        for (auto& name : names)
            page.SetValue(name.c_str(), "v");
        EXPECT_EQ(Rendered(page), c.written);
    }
}

TEST(HtmlTemplate, LooksUpFirstTokenIgnoringCase)
{
    HtmlTemplate page;
    ASSERT_EQ(page.Parse("$Title$-$TITLE$-$x$"), 1);
    EXPECT_EQ(page.Find("title"), 0);
    EXPECT_EQ(page.Find("X"), 2);
    EXPECT_EQ(page.Find("none"), -1);
    EXPECT_EQ(page.SetValue("TITLE", "a&b"), 1);
    EXPECT_EQ(page.SetValue("none", "z"), 0);
    EXPECT_EQ(Rendered(page), "a&b--");
    page.ClearValues();
    EXPECT_EQ(Rendered(page), "--");
}

TEST(HtmlTemplate, ReadsFilesAndRefusesMissingOnes)
{
    HtmlTemplate page;
    EXPECT_EQ(page.Read("/nonexistent/quillo/template.htm"), 0);
    EXPECT_TRUE(page.Tokens().empty());
    EXPECT_EQ(page.Write("/nonexistent/quillo/out.htm"), 0);
}

TEST(WebExportText, EscapesNamesForDiskHtmlAndUrls)
{
    struct Case {
        std::string name, disk, html, url;
    } cases[] = {
        {"plain.jpg", "plain.jpg", "plain.jpg", "plain.jpg"},
        {"Caf\xC3\xA9", "Cafc3a9", "Caf\xC3\xA9", "Caf%C3%A9"},
        {"tab\x01x", "tab 1x", "tab\x01x", "tab%01x"},
        {"a #1 & \"b\".jpg", "a #1 & \"b\".jpg", "a #1 &amp; &quot;b&quot;.jpg", "a%20%231%20%26%20%22b%22.jpg"},
        {"<script>'%?", "<script>'%?", "&lt;script&gt;&#39;%?", "%3Cscript%3E%27%25%3F"},
        {"\x7F~", "7f~", "\x7F~", "%7F~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EscapeWebName(c.name), c.disk);
        EXPECT_EQ(HtmlText(c.name), c.html);
        EXPECT_EQ(UrlName(c.name), c.url);
    }
    EXPECT_EQ(CutAtDot("my.photo.jpg"), "my");
    EXPECT_EQ(CutAtDot("none"), "none");
}

TEST(WebExportText, ReadsSideFilesAndReportsTheBadLine)
{
    const std::string longKey(65, 'k'), key64(64, 'k'), longValue(1001, 'v'), value1000(1000, 'v');
    struct Case {
        std::string text;
        int badLine;
        std::size_t pairs;
    } cases[] = {
        {"TITTLE=Sunset\r\n  camera = X\n\n", 0, 2},
        {"a=1\nno equals sign\nb=2\n", 2, 1},
        {key64 + "=x\n" + longKey + "=x\n", 2, 1},
        {"a=" + value1000 + "\nb=" + longValue + "\n", 2, 1},
        {"\n\n  \nbad", 4, 0},
        {"k==v", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        SideFile side;
        EXPECT_EQ(ParseSideFile(c.text, side), c.badLine);
        EXPECT_EQ(side.pairs.size(), c.pairs);
    }
    SideFile side;
    ASSERT_EQ(ParseSideFile("TITTLE=Sunset\r\n  camera = X\nk==v", side), 0);
    EXPECT_EQ(side.Value("tittle"), "Sunset");
    EXPECT_EQ(side.Value("camera "), " X");
    EXPECT_EQ(side.Value("k"), "=v");
    EXPECT_EQ(ReadSideFile("/nonexistent/quillo/photo.jpg.txt", side), 0);
    EXPECT_TRUE(side.pairs.empty());
}

TEST(WebExportText, ShowsExifFacts)
{
    struct Case {
        double fNumber, aperture, exposure, shutter, bias;
        short iso;
        const char* apertureText;
        const char* shutterText;
        const char* evText;
        const char* isoText;
    } cases[] = {
        {2.8, 3.0, 0.004, 0, -0.7, 200, "F2.80", "1/250s", "-0.70Ev", "ISO200"},
        {0, 5.6, 0.5, 0, 0.00005, 0, "F5.60", "0.5s", "", ""},
        {0, 0, 0.01, 0.004, 1.0 / 3, static_cast<short>(40000), "", "1/250s", "+0.33Ev", "ISO40000"},
        {0, 0, 0, 0, 0, 0, "", "", "", ""},
        {0, 0, 0.4, 0, -0.0001, 100, "", "0.4s", "", "ISO100"},
        {0, 0, 1e-12, 0, 0, 0, "", "1/2000000000s", "", ""},
    };
    for (const Case& c : cases) {
        ExifFields exif{};
        exif.fNumber = c.fNumber;
        exif.aperture = c.aperture;
        exif.exposureTime = c.exposure;
        exif.shutterSpeed = c.shutter;
        exif.exposureBias = c.bias;
        exif.isoSpeed = c.iso;
        EXPECT_EQ(ApertureText(exif), c.apertureText);
        EXPECT_EQ(ShutterText(exif), c.shutterText);
        EXPECT_EQ(EvText(exif), c.evText);
        EXPECT_EQ(IsoText(exif), c.isoText);
    }
    ExifFields exif{};
    std::snprintf(exif.dateTime, sizeof exif.dateTime, "2021:05:06 07:08:09");
    EXPECT_EQ(TimeText(exif), "2021/05/06");
}
