#include "glance/XdgAssoc.h"
#include "GlanceTempDir.h"
#include "platform/win/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace glance;

namespace {

constexpr const char* kGlobs = "# comment\n"
                               "50:image/jpeg:*.jpg\n"
                               "50:image/jpeg:*.jpeg\n"
                               "50:image/jpeg:*.jpe\n"
                               "50:image/png:*.png\n"
                               "40:image/x-other:*.png\n"
                               "50:image/bmp:*.bmp\n"
                               "50:image/tiff:*.tif:cs\n"
                               "50:image/tiff:*.tiff\n"
                               "broken line\n";

class XdgAssocTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("data/mime/globs2", kGlobs);
        setenv("XDG_DATA_HOME", (dir.Path() + "data").c_str(), 1);
        setenv("XDG_DATA_DIRS", (dir.Path() + "nothing").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir.Path() + "config").c_str(), 1);
        setup = {"/opt/quillo/QuilloGlance", "/opt/quillo/QuilloEditor", "/opt/quillo/skin/quillo-glance.png",
                 "Quillo Image Viewer",      "Edit by Quillo",          dir.Path() + "QuilloView.ini"};
    }
    void TearDown() override
    {
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_DATA_DIRS");
        unsetenv("XDG_CONFIG_HOME");
    }
    MimeAppsList Apps() const
    {
        MimeAppsList list;
        list.Parse(dir.Read("config/mimeapps.list"));
        return list;
    }
    std::string Saved(const char* ext) const
    {
        char buf[256];
        GetPrivateProfileString("OldFileOpen", ext, "(none)", buf, sizeof buf, setup.profilePath.c_str());
        return buf;
    }

    GlanceTempDir dir;
    AssocSetup setup;
};

} // namespace

TEST(GlanceGlobs, HighestWeightWinsAndCaseIsIgnored)
{
    EXPECT_EQ(MimeTypeInGlobs(kGlobs, "png"), "image/png");
    EXPECT_EQ(MimeTypeInGlobs(kGlobs, "JPG"), "image/jpeg");
    EXPECT_EQ(MimeTypeInGlobs(kGlobs, "tif"), "image/tiff");
    EXPECT_EQ(MimeTypeInGlobs(kGlobs, "tga"), "");
    EXPECT_EQ(MimeTypeInGlobs("", "jpg"), "");
}

TEST(GlanceMimeApps, KeepsOtherLinesAndEditsInPlace)
{
    MimeAppsList list;
    list.Parse("# mine\n[Default Applications]\ntext/plain=edit.desktop\n\n[Other]\nx=y\n");
    EXPECT_EQ(list.Get("Default Applications", "text/plain"), "edit.desktop");
    list.Set("Default Applications", "image/png", "v.desktop");
    list.Set("Added Associations", "image/png", "v.desktop;");
    list.Remove("Default Applications", "text/plain");
    EXPECT_EQ(list.Text(), "# mine\n[Default Applications]\nimage/png=v.desktop\n\n[Other]\nx=y\n"
                           "[Added Associations]\nimage/png=v.desktop;\n");
}

TEST_F(XdgAssocTest, RegisterTakesKnownExtensionsOverAndSavesTheOldDefaultOnce)
{
    dir.Write("config/mimeapps.list", "[Default Applications]\nimage/jpeg=other.desktop\n");
    ASSERT_TRUE(RegisterAssociations(setup));
    const std::string entry = dir.Read("data/applications/quillo-glance.desktop");
    EXPECT_NE(entry.find("Exec=\"/opt/quillo/QuilloGlance\" %f"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=image/jpeg;image/bmp;image/tiff;image/png;"), std::string::npos);
    EXPECT_NE(entry.find("Name=Edit by Quillo"), std::string::npos);
    MimeAppsList apps = Apps();
    for (const char* type : {"image/jpeg", "image/png", "image/bmp", "image/tiff"}) {
        EXPECT_EQ(apps.Get("Default Applications", type), kDesktopEntry) << type;
        EXPECT_EQ(apps.Get("Added Associations", type), "quillo-glance.desktop;") << type;
    }
    EXPECT_EQ(Saved("jpg"), "other.desktop");
    EXPECT_EQ(Saved("png"), "");
    EXPECT_EQ(Saved("tga"), "(none)");  // unknown to the MIME database: left alone

    ASSERT_TRUE(RegisterAssociations(setup));
    EXPECT_EQ(Saved("jpg"), "other.desktop");
}

TEST_F(XdgAssocTest, RestoreGivesBackOnlyOurDefaults)
{
    dir.Write("config/mimeapps.list", "[Default Applications]\nimage/jpeg=other.desktop\nimage/png=mine.desktop\n");
    RestoreAssociations(setup);  // nothing of ours yet
    EXPECT_EQ(Apps().Get("Default Applications", "image/jpeg"), "other.desktop");
    EXPECT_EQ(Apps().Get("Default Applications", "image/png"), "mine.desktop");

    ASSERT_TRUE(RegisterAssociations(setup));
    // The user chose another viewer for BMP meanwhile: it stays.
    MimeAppsList apps = Apps();
    apps.Set("Default Applications", "image/bmp", "paint.desktop");
    dir.Write("config/mimeapps.list", apps.Text());
    RestoreAssociations(setup);
    apps = Apps();
    EXPECT_EQ(apps.Get("Default Applications", "image/jpeg"), "other.desktop");
    EXPECT_EQ(apps.Get("Default Applications", "image/png"), "mine.desktop");
    EXPECT_EQ(apps.Get("Default Applications", "image/bmp"), "paint.desktop");
    EXPECT_EQ(apps.Get("Default Applications", "image/tiff"), "");
    EXPECT_EQ(apps.Get("Added Associations", "image/jpeg"), "");
}

TEST_F(XdgAssocTest, DesktopToolsAcceptTheEntry)
{
    if (std::system("command -v desktop-file-validate >/dev/null && command -v xdg-mime >/dev/null") != 0)
        GTEST_SKIP() << "desktop-file-utils or xdg-utils missing";
    ASSERT_TRUE(RegisterAssociations(setup));
    const std::string entry = dir.Path() + "data/applications/quillo-glance.desktop";
    EXPECT_EQ(std::system(("desktop-file-validate '" + entry + "'").c_str()), 0);
    const std::string out = dir.Path() + "query.txt";
    ASSERT_EQ(std::system(("xdg-mime query default image/jpeg > '" + out + "'").c_str()), 0);
    EXPECT_EQ(dir.Read("query.txt"), "quillo-glance.desktop\n");
}
