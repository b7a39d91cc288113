#include "album/shell/tests/ShelfTestSupport.h"
#include "album/tools/WebExportThread.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sys/time.h>

namespace fs = std::filesystem;
using namespace shelf;
using shelftest::ReadBytes;
using shelftest::WriteBytes;

namespace {

const std::string kTemplates = QUILLO_SOURCE_DIR "/assets/webexport/";
const std::string kOdd = "a #1 & \"b\".jpg";    // an awkward name
const std::string kCafe = "Caf\xC3\xA9";         // non-ASCII folder name

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string Decode(const std::string& url)
{
    std::string out;
    for (std::size_t i = 0; i < url.size(); ++i)
        if (url[i] == '%' && i + 2 < url.size()) {
            out += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += url[i];
        }
    return out;
}

// Every file under folder, by relative path, with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).native()] = ReadBytes(entry.path().native());
    return files;
}

class WebExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        CQLImageCodec::Start();
        m_album = m_scratch.Path() + "album/";
        m_resources = m_scratch.Path() + "webexport/";
        shelftest::MakeFolder(m_album);
        shelftest::MakeFolder(m_resources);
        for (const char* name : {"folder.gif", "prev.gif", "next.gif"})
            WriteBytes(m_resources + name, std::string("GIF89a") + name);
    }

    std::string Photo(const std::string& relative)
    {
        return exiftest::SavePhoto(m_album + relative);
    }

    // Settings over the album as the wizard fills them.
    std::unique_ptr<WebExportSettings> Settings(const std::string& destination)
    {
        auto s = std::make_unique<WebExportSettings>();
        s->destination = destination;
        s->sourceRoot = m_album;
        s->resourceFolder = m_resources;
        s->indexTemplate = kTemplates + "thumbindex.htm";
        s->pageTemplate = kTemplates + "image.htm";
        s->email = "me@example.org";
        s->copyright = "Copyright <Ann> & Bob.";
        s->root = ScanWebExportTree(m_album, &s->photosFound);
        s->root->title = "My \"album\"";
        s->root->description = "Trip <b>";
        s->notify = [this](unsigned w) { m_posts.push_back(w); };
        return s;
    }

    std::string Web(const std::string& relative) const { return m_scratch.Path() + "out/Web/" + relative; }

    shelftest::ScratchFolder m_scratch;
    std::string m_album, m_resources;
    std::vector<unsigned> m_posts;
};

// Every href and src of every page, decoded, names a file that exists.
void ExpectLinksResolve(const std::string& web)
{
    const std::regex link("(href|src)=\"([^\"]*)\"");
    int pages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(web)) {
        if (entry.path().extension() != ".htm")
            continue;
        ++pages;
        const std::string page = ReadBytes(entry.path().native());
        for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[2];
            if (target.rfind("mailto:", 0) == 0)
                continue;
            EXPECT_TRUE(fs::exists(entry.path().parent_path() / Decode(target)))
                << entry.path() << " links to " << target;
        }
    }
    EXPECT_GT(pages, 0);
}

} // namespace

TEST_F(WebExport, WritesTheGalleryWithEscapedNamesAndLinks)
{
    using namespace exiftest;
    JpegWithExif(m_album + kOdd, {Text(272, "<script>alert(1)</script>"), Text(306, "2021:05:06 07:08:09"),
                                  Rational(33434, 1, 250), Rational(33437, 28, 10), Short(34855, 200),
                                  SRational(37380, -7, 10)});
    Photo("my.photo.jpg");
    Photo("sunset.jpg");
    WriteBytes(m_album + "sunset.jpg.txt", "TITTLE=Sunset & <b>\nCAMERA=Old <cam>\n");
    Photo("broken.jpg");
    WriteBytes(m_album + "broken.jpg.txt", "a=1\nno equals\n");
    WriteBytes(m_album + "notes.xyz", "not a photo");
    shelftest::MakeFolder(m_album + kCafe);
    Photo(kCafe + "/inner.jpg");
    shelftest::MakeFolder(m_album + "empty");
    shelftest::MakeFolder(m_album + ".hidden");
    Photo(".hidden/secret.jpg");

    auto s = Settings(m_scratch.Path() + "out");
    s->visitorDownload = 1;
    EXPECT_EQ(s->photosFound, 5);
    EXPECT_EQ(s->root->FindChild("empty")->exportFlag, 0);
    WebExportThread(*s);

    EXPECT_EQ(s->TakeMessages(), (std::vector<std::string>{"Format error at line 2 of file :\n broken.jpg.txt "}));
    ASSERT_FALSE(m_posts.empty());
    EXPECT_EQ(m_posts.back(), kWebExportDone);
    EXPECT_EQ(m_posts, (std::vector<unsigned>{20, 40, 60, 80, 100, 200}));
    EXPECT_EQ(s->running.load(), 0);

    for (const char* file : {"index.htm", "folder.gif", "prev.gif", "next.gif", "a #1 & \"b\"_thumb.jpg",
                             "a #1 & \"b\"_small.jpg", "a #1 & \"b\".htm", "my.photo.htm", "Cafc3a9/index.htm",
                             "Cafc3a9/inner.htm", "Cafc3a9/inner_small.jpg"})
        EXPECT_TRUE(fs::exists(Web(file))) << file;
    EXPECT_FALSE(fs::exists(Web("empty"))) << "an empty folder is not exported";
    EXPECT_FALSE(fs::exists(Web(".hidden")));
    EXPECT_EQ(ReadBytes(Web(kOdd)), ReadBytes(m_album + kOdd)) << "the visitor copy";
    CQLImage thumb;
    CQLImageCodec codec;
    ASSERT_TRUE(codec.LoadFile(Web("sunset_thumb.jpg").c_str(), &thumb));
    UINT width = 0, height = 0;
    thumb.GetSize(&width, &height);
    EXPECT_EQ(std::max(width, height), 128u);

    const std::string index = ReadBytes(Web("index.htm"));
    EXPECT_EQ(index.find("href=\"Caf%C3%A9"), std::string::npos);
    EXPECT_NE(index.find("href=\"Cafc3a9/index.htm\""), std::string::npos);
    EXPECT_EQ(index.find("empty/index.htm"), std::string::npos) << "only exported folders are linked";
    EXPECT_NE(index.find("<font size=\"2\">my</font>"), std::string::npos);
    EXPECT_NE(index.find("<font size=\"2\">Sunset &amp; &lt;b&gt;</font>"), std::string::npos);
    EXPECT_NE(index.find("My &quot;album&quot;"), std::string::npos);
    EXPECT_NE(index.find("Trip &lt;b&gt;"), std::string::npos);
    EXPECT_NE(index.find("Copyright &lt;Ann&gt; &amp; Bob."), std::string::npos);
    EXPECT_NE(index.find("data-per-line=\"4\""), std::string::npos);
    EXPECT_EQ(Count(index, "\n<tr>"), 2) << "1 folder and 4 photos at 4 a line";
    EXPECT_EQ(Count(index, "\n</tr>"), 1);

    const std::string odd = ReadBytes(Web("a #1 & \"b\".htm"));
    for (const char* fact : {"F2.80", "1/250s", "ISO200", "-0.70Ev", "2021/05/06", "&lt;script&gt;alert(1)"})
        EXPECT_NE(odd.find(fact), std::string::npos) << fact;
    EXPECT_NE(odd.find("<a href=\"a%20%231%20%26%20%22b%22.jpg\"><img src=\"a%20%231%20%26%20%22b%22_small.jpg\""),
              std::string::npos) << odd;
    EXPECT_EQ(odd.find("PREVLINK"), std::string::npos);
    EXPECT_EQ(odd.find("prev.gif"), std::string::npos) << "the first photo has no previous one";
    EXPECT_NE(odd.find("<a href=\"broken.htm\"><img src=\"next.gif\""), std::string::npos);
    const std::string sunset = ReadBytes(Web("sunset.htm"));
    EXPECT_NE(sunset.find("Old &lt;cam&gt;"), std::string::npos) << "side-file keys override the page's values";
    EXPECT_EQ(sunset.find("next.gif"), std::string::npos) << "the last photo has no next one";
    const std::string inner = ReadBytes(Web("Cafc3a9/inner.htm"));
    EXPECT_NE(inner.find("href=\"../index.htm\""), std::string::npos);
    const std::string innerIndex = ReadBytes(Web("Cafc3a9/index.htm"));
    EXPECT_NE(innerIndex.find("<a href=\"../index.htm\" ><img src=\"../folder.gif\" border=\"0\"><br>..</a>"),
              std::string::npos);
    EXPECT_NE(innerIndex.find("Trip &lt;b&gt;"), std::string::npos) << "same as parent takes the parent's text";

    // No text from a file or EXIF appears unescaped anywhere.
    for (const auto& [path, bytes] : Tree(Web(""))) {
        if (fs::path(path).extension() != ".htm")
            continue;
        EXPECT_EQ(bytes.find("<script>"), std::string::npos) << path;
        EXPECT_EQ(bytes.find("\"b\""), std::string::npos) << path;
        EXPECT_EQ(bytes.find("<Ann>"), std::string::npos) << path;
    }
    ExpectLinksResolve(Web(""));
}

TEST_F(WebExport, RowsFollowThePerLineNumber)
{
    struct Case {
        int photos, perLine, rows, closed;
    } cases[] = {{6, 4, 2, 1}, {8, 4, 2, 2}, {3, 3, 1, 1}, {0, 4, 0, 0}, {1, 8, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.photos << " at " << c.perLine);
        fs::remove_all(m_album);
        fs::remove_all(m_scratch.Path() + "rows");
        shelftest::MakeFolder(m_album);
        for (int i = 0; i < c.photos; ++i)
            Photo("p" + std::to_string(i) + ".jpg");
        auto s = Settings(m_scratch.Path() + "rows");
        s->perLine = c.perLine;
        s->onlyPages = 1;
        WebExportThread(*s);
        if (c.photos == 0) {
            EXPECT_FALSE(fs::exists(m_scratch.Path() + "rows/Web/index.htm")) << "an empty album is not exported";
            continue;
        }
        const std::string index = ReadBytes(m_scratch.Path() + "rows/Web/index.htm");
        EXPECT_EQ(Count(index, "\n<tr>"), c.rows);
        EXPECT_EQ(Count(index, "\n</tr>"), c.closed);
        EXPECT_FALSE(fs::exists(m_scratch.Path() + "rows/Web/p0_thumb.jpg")) << "only pages";
    }
}

TEST_F(WebExport, CollidingNamesGetANumber)
{
    Photo("x.jpg");
    Photo("x.png");
    Photo("c3a9.jpg");
    Photo("\xC3\xA9.jpg");
    auto s = Settings(m_scratch.Path() + "out");
    WebExportThread(*s);
    for (const char* file : {"x.htm", "x_2.htm", "x_2_thumb.jpg", "c3a9.htm", "c3a9_2.htm", "c3a9_2_small.jpg"})
        EXPECT_TRUE(fs::exists(Web(file))) << file;
    ExpectLinksResolve(Web(""));
}

TEST_F(WebExport, ReportsBrokenTemplates)
{
    Photo("p.jpg");
    WriteBytes(m_scratch.Path() + "noTable.htm", "<p>$TITTLE$</p>");
    WriteBytes(m_scratch.Path() + "noImage.htm", "<p>$TITTLE$</p>");
    WriteBytes(m_scratch.Path() + "long.htm", "$" + std::string(32, 'L') + "$");
    struct Case {
        std::string index, page, resources, message;
    } cases[] = {
        {"noTable.htm", "", m_resources, "Can not find '$TABLE$' in index template file."},
        {"", "noImage.htm", m_resources, "Can not find '$IMAGE$' in page template file."},
        {"long.htm", "", m_resources, "Miss files or bad template format"},
        {"", "missing.htm", m_resources, "Miss files or bad template format"},
        {"", "", m_scratch.Path() + "nowhere/", "Miss files or bad template format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        m_posts.clear();
        auto s = Settings(m_scratch.Path() + "bad");
        if (!c.index.empty())
            s->indexTemplate = m_scratch.Path() + c.index;
        if (!c.page.empty())
            s->pageTemplate = m_scratch.Path() + c.page;
        s->resourceFolder = c.resources;
        WebExportThread(*s);
        EXPECT_EQ(s->TakeMessages(), std::vector<std::string>{c.message});
        EXPECT_EQ(m_posts, std::vector<unsigned>{kWebExportDone});
        EXPECT_FALSE(fs::exists(m_scratch.Path() + "bad/Web/index.htm"));
    }
}

TEST_F(WebExport, DateFilterKeepsOldPagesAndRewritesNeighbours)
{
    for (int i = 0; i < 5; ++i)
        Photo("p" + std::to_string(i) + ".jpg");
    WebExportThread(*Settings(m_scratch.Path() + "out"));
    for (int i = 0; i < 5; ++i) {
        WriteBytes(Web("p" + std::to_string(i) + ".htm"), "OLD");
        WriteBytes(Web("p" + std::to_string(i) + "_thumb.jpg"), "OLD");
    }
    // p2 changes after the filter date; the others are older than it.
    const timeval later[2] = {{1900000000, 0}, {1900000000, 0}};
    ASSERT_EQ(::utimes((m_album + "p2.jpg").c_str(), later), 0);
    const std::time_t tomorrow = std::time(nullptr) + 86400;
    std::tm tm{};
    gmtime_r(&tomorrow, &tm);
    auto s = Settings(m_scratch.Path() + "out");
    s->dateFilter = 1;
    s->date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    WebExportThread(*s);
    const char* pages[] = {"OLD", "new", "new", "new", "OLD"};
    const char* thumbs[] = {"OLD", "OLD", "new", "OLD", "OLD"};
    for (int i = 0; i < 5; ++i) {
        const std::string name = "p" + std::to_string(i);
        EXPECT_EQ(ReadBytes(Web(name + ".htm")) == "OLD" ? "OLD" : "new", std::string(pages[i])) << name;
        EXPECT_EQ(ReadBytes(Web(name + "_thumb.jpg")) == "OLD" ? "OLD" : "new", std::string(thumbs[i])) << name;
    }
    EXPECT_EQ(Count(ReadBytes(Web("index.htm")), "_thumb.jpg\""), 5) << "kept photos stay in the table";
}

TEST_F(WebExport, SerialAndParallelRunsGiveTheSameTree)
{
    for (int i = 0; i < 9; ++i)
        Photo(std::string("p") + std::to_string(i) + ".jpg");
    shelftest::MakeFolder(m_album + "sub");
    for (int i = 0; i < 4; ++i)
        Photo("sub/q" + std::to_string(i) + ".jpg");
    auto serial = Settings(m_scratch.Path() + "serial");
    serial->threads = 1;
    WebExportThread(*serial);
    const std::vector<unsigned> serialPosts = m_posts;
    m_posts.clear();
    auto parallel = Settings(m_scratch.Path() + "parallel");
    parallel->threads = 4;
    WebExportThread(*parallel);
    EXPECT_EQ(m_posts, serialPosts) << "progress rises in steps either way";
    const auto a = Tree(m_scratch.Path() + "serial"), b = Tree(m_scratch.Path() + "parallel");
    EXPECT_EQ(a.size(), 3u + 1 + 9 * 3 + 1 + 4 * 3);
    EXPECT_TRUE(a == b);
}

TEST_F(WebExport, CancelLeavesNoHalfWrittenFile)
{
    for (int i = 0; i < 12; ++i)
        Photo("p" + std::to_string(i) + ".jpg");
    auto s = Settings(m_scratch.Path() + "out");
    WebExportSettings* raw = s.get();
    s->threads = 2;
    s->notify = [this, raw](unsigned w) {
        m_posts.push_back(w);
        raw->cancel = 1;
    };
    WebExportThread(*s);
    EXPECT_EQ(m_posts.back(), kWebExportDone);
    EXPECT_LT(m_posts.size(), 12u);
    EXPECT_FALSE(fs::exists(Web("index.htm"))) << "a cancelled folder writes no index";
    CQLImageCodec codec;
    for (const auto& [path, bytes] : Tree(Web(""))) {
        EXPECT_EQ(path.find(".tmp"), std::string::npos) << path;
        if (fs::path(path).extension() == ".jpg") {
            CQLImage image;
            EXPECT_TRUE(codec.LoadFile(Web(path).c_str(), &image)) << path;
        }
        EXPECT_NE(fs::path(path).extension(), ".htm") << "no photo pages after a cancel";
    }
}

TEST(WebExportTree, ScansFoldersAndCountsPhotos)
{
    shelftest::ScratchFolder scratch;
    const std::string root = scratch.Path() + "Trip";
    shelftest::MakeFolder(root);
    for (const char* folder : {"/b", "/a", "/a/deep", "/web", "/.git", "/none"})
        shelftest::MakeFolder(root + folder);
    for (const char* photo : {"/x.jpg", "/a/y.jpg", "/a/deep/z.jpg", "/web/w.jpg", "/b/v.jpg"})
        exiftest::SavePhoto(root + photo);
    WriteBytes(root + "/a/readme.txt", "hello");
    CQLLinkFile link;
    ASSERT_TRUE(link.Create((root + "/x.jpg").c_str(), (root + "/b").c_str()));
    fs::create_directory_symlink(root + "/a", root + "/b/loop");
    int total = 0;
    const auto tree = ScanWebExportTree(root + "//", &total);
    EXPECT_EQ(tree->title, "Trip");
    EXPECT_EQ(tree->sourceName, "Trip/");
    EXPECT_EQ(total, 5) << "x, y, z, v and the link";
    ASSERT_EQ(tree->children.size(), 3u);
    EXPECT_EQ(tree->children[0]->title, "a");
    EXPECT_EQ(tree->children[0]->children[0]->SourceSubPath(), "a/deep/");
    EXPECT_EQ(tree->children[0]->children[0]->OutputSubPath(), "a/deep/");
    EXPECT_EQ(tree->children[1]->photoCount, 2);
    EXPECT_TRUE(tree->children[1]->children.empty()) << "a link to a folder is not followed";
    EXPECT_EQ(tree->children[2]->exportFlag, 0);
    EXPECT_EQ(tree->FindChild("A"), tree->children[0].get());

    const std::string many = scratch.Path() + "many";
    for (int i = 0; i < 300; ++i)
        shelftest::MakeFolder(many + "/f" + std::to_string(1000 + i));
    std::function<int(const WebExportFolder&)> count = [&](const WebExportFolder& node) {
        int n = 1;
        for (const auto& child : node.children)
            n += count(*child);
        return n;
    };
    EXPECT_EQ(count(*ScanWebExportTree(many, nullptr)), kMaxWebFolders);
}
