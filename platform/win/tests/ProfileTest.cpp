#include "platform/win/Profile.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kSample =
    "; settings\n"
    "[General]\n"
    "Name = Quillo Editor  \n"
    "  Count=12abc\n"
    "Negative = -5\n"
    "Plus=+7\n"
    "Word=abc\n"
    "Empty=\n"
    "Quoted = \"  spaced value  \"\n"
    "QuotedNumber=\" 42\"\n"
    "Single='x'\n"
    "Mismatched=\"abc'\n"
    "Inner = a  b   c\n"
    "Semicolon=a;b\n"
    "; Hidden=1\n"
    "junk line\n"
    "\n"
    "[  Paths  ]\n"
    "Folder=/home/x\n"
    "[Empty]\n"
    "[general]\n"
    "Name=second\n"
    "Late=1\n";

std::string withCrlf(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string getString(const char* section, const char* key, const char* def, const std::string& file,
                      DWORD size = 256, DWORD* ret = nullptr)
{
    std::vector<char> buf(size + 1, '#');
    const DWORD n = GetPrivateProfileString(section, key, def, buf.data(), size, file.c_str());
    if (ret)
        *ret = n;
    return std::string(buf.data(), n);
}

// The list as written, through the first pair of NULs ("#" marks a missing pair).
std::string getList(const char* section, DWORD size, const std::string& file, DWORD* ret)
{
    std::vector<char> buf(size, '#');
    *ret = GetPrivateProfileString(section, nullptr, "unused", buf.data(), size, file.c_str());
    for (size_t i = 0; i + 1 < buf.size(); ++i)
        if (buf[i] == '\0' && buf[i + 1] == '\0')
            return std::string(buf.data(), i + 2);
    return "#";
}

class ProfileRead : public ::testing::Test {
protected:
    TestDir dir;
};

TEST_F(ProfileRead, StringsWithLfAndCrlf)
{
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"general", "NAME", nullptr, "Quillo Editor"},
        {"  General ", " name\t", nullptr, "Quillo Editor"},
        {"General", "Count", nullptr, "12abc"},
        {"General", "Quoted", nullptr, "  spaced value  "},
        {"General", "Single", nullptr, "x"},
        {"General", "Mismatched", nullptr, "\"abc'"},
        {"General", "Inner", nullptr, "a  b   c"},
        {"General", "Semicolon", nullptr, "a;b"},
        {"General", "Empty", "default", ""},
        {"General", "Hidden", "default", "default"},     // commented out
        {"General", "junk line", "default", "default"}, // no '=', not a key
        {"General", "Late", "default", "default"},       // a later duplicate section is not read
        {"General", "Missing", "  def  ", "  def"},      // trailing blanks of the default dropped
        {"General", "Missing", nullptr, ""},
        {"paths", "FOLDER", nullptr, "/home/x"},
        {"Empty", "Name", "default", "default"},
        {"Nowhere", "Name", "default", "default"},
    };
    for (const auto& [name, content] : {std::pair{"LF", kSample}, std::pair{"CRLF", withCrlf(kSample)}}) {
        dir.write("q.ini", content);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + " [" + c.section + "] " + c.key);
            EXPECT_EQ(getString(c.section, c.key, c.def, dir / "q.ini"), c.expected);
        }
    }
}

TEST_F(ProfileRead, Integers)
{
    struct Case {
        const char* section;
        const char* key;
        INT def;
        INT expected;
    };
    const std::vector<Case> cases = {
        {"GENERAL", "count", 99, 12},
        {"General", "Negative", 99, -5},
        {"General", "Plus", 99, 7},
        {"General", "QuotedNumber", 99, 42},
        {"General", "Word", 99, 0},
        {"General", "Empty", 99, 0},
        {"General", "Missing", 99, 99},
        {"General", "Missing", -3, -3},
        {"Nowhere", "Count", 5, 5},
    };
    dir.write("q.ini", kSample);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(static_cast<INT>(GetPrivateProfileInt(c.section, c.key, c.def, (dir / "q.ini").c_str())),
                  c.expected);
    }
}

TEST_F(ProfileRead, MissingFileGivesDefaults)
{
    const std::string file = dir / "absent.ini";
    EXPECT_EQ(getString("General", "Name", "fallback", file), "fallback");
    EXPECT_EQ(GetPrivateProfileInt("General", "Count", 7, file.c_str()), 7u);
    DWORD ret = 1;
    EXPECT_EQ(getList(nullptr, 16, file, &ret), std::string("\0\0", 2));
    EXPECT_EQ(ret, 0u);
}

TEST_F(ProfileRead, ValueTruncation)
{
    dir.write("q.ini", kSample);
    struct Case {
        DWORD size;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{{5, "Quil"}, {1, ""}, {13, "Quillo Edito"}, {14, "Quillo Editor"}}) {
        SCOPED_TRACE(c.size);
        DWORD ret = 0;
        std::vector<char> buf(c.size + 1, '#');
        ret = GetPrivateProfileString("General", "Name", "", buf.data(), c.size, (dir / "q.ini").c_str());
        EXPECT_EQ(ret, c.expected.size());
        EXPECT_EQ(std::string(buf.data()), c.expected);
        EXPECT_EQ(buf[c.size], '#'); // nothing written past the buffer
    }
}

TEST_F(ProfileRead, Enumeration)
{
    dir.write("q.ini", kSample);
    using namespace std::string_literals;
    struct Case {
        const char* section;
        DWORD size;
        std::string expected; // through the final NUL(s)
        DWORD ret;
    };
    const std::vector<Case> cases = {
        {nullptr, 64, "General\0Paths\0Empty\0\0"s, 20},
        {nullptr, 21, "General\0Paths\0Empty\0\0"s, 20},  // exact fit
        {nullptr, 20, "General\0Paths\0Empt\0\0"s, 18},   // last name cut, size - 2
        {nullptr, 12, "General\0Pa\0\0"s, 10},
        {nullptr, 10, "General\0\0"s, 8},
        {"general", 256,
         "Name\0Count\0Negative\0Plus\0Word\0Empty\0Quoted\0QuotedNumber\0Single\0Mismatched\0Inner\0Semicolon\0\0"s,
         90},
        {"Paths", 256, "Folder\0\0"s, 7},
        {"Paths", 5, "Fol\0\0"s, 3},
        {"Empty", 16, "\0\0"s, 0},
        {"Nowhere", 16, "\0\0"s, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section ? c.section : "(sections)") + " size " + std::to_string(c.size));
        DWORD ret = 0;
        EXPECT_EQ(getList(c.section, c.size, dir / "q.ini", &ret), c.expected);
        EXPECT_EQ(ret, c.ret);
    }
}

// Every write case starts from this file: comments, blank lines, odd spacing,
// a CRLF line, a line that is not a key, and no line end at the very end.
const std::string kBase =
    "; Quillo settings\n"
    "\n"
    "[Window]\n"
    "  Left = 10 \n"
    "Top=20\r\n"
    "junk without equals\n"
    "\n"
    "; trailing comment\n"
    "\n"
    "[Recent]\n"
    "File1=\"a b.jpg\"\n"
    "\n"
    "[Bare]\n"
    "; note\n"
    "\n"
    "[Last]\n"
    "x=1";

std::string replaced(std::string s, const std::string& from, const std::string& to)
{
    const size_t at = s.find(from);
    return at == std::string::npos ? "<not found: " + from + ">" : s.replace(at, from.size(), to);
}

class ProfileWrite : public ::testing::Test {
protected:
    TestDir dir;
    std::string file = dir / "q.ini";
};

TEST_F(ProfileWrite, ChangesOnlyWhatIsAsked)
{
    struct Case {
        const char* what;
        const char* section;
        const char* key;
        const char* value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"replace in place", "window", "LEFT", "99", replaced(kBase, "  Left = 10 \n", "Left=99\n")},
        {"replace CRLF line", "Window", "top", "30", replaced(kBase, "Top=20\r\n", "Top=30\n")},
        {"value kept as given", "Recent", "file1", " q ", replaced(kBase, "File1=\"a b.jpg\"\n", "File1= q \n")},
        {"new key after last key", " Window ", " Width ", "640",
         replaced(kBase, "Top=20\r\n", "Top=20\r\nWidth=640\n")},
        {"new key in keyless section", "bare", "k", "v", replaced(kBase, "[Bare]\n", "[Bare]\nk=v\n")},
        {"new key after unterminated last line", "LAST", "y", "2", kBase + "\ny=2\n"},
        {"new section at end", "New", "k", "v v", kBase + "\n[New]\nk=v v\n"},
        {"delete key", "Recent", "FILE1", nullptr, replaced(kBase, "File1=\"a b.jpg\"\n", "")},
        {"delete section", "recent", nullptr, nullptr, replaced(kBase, "[Recent]\nFile1=\"a b.jpg\"\n\n", "")},
        {"delete last section", "Last", nullptr, nullptr, replaced(kBase, "[Last]\nx=1", "")},
        {"delete missing key", "Window", "Nope", nullptr, kBase},
        {"delete key of missing section", "Nowhere", "x", nullptr, kBase},
        {"delete missing section", "Nowhere", nullptr, nullptr, kBase},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("q.ini", kBase);
        EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, file.c_str()));
        EXPECT_EQ(dir.read("q.ini"), c.expected);
        EXPECT_EQ(dir.count(), 1u); // no temporary file left behind
    }
}

TEST_F(ProfileWrite, WrittenValuesReadBack)
{
    ASSERT_TRUE(WritePrivateProfileString("S", "Quoted", "\"  x  \"", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("S", "Number", "-12", file.c_str()));
    EXPECT_EQ(getString("s", "quoted", nullptr, file), "  x  ");
    EXPECT_EQ(static_cast<INT>(GetPrivateProfileInt("s", "number", 0, file.c_str())), -12);
}

TEST_F(ProfileWrite, CreatesMissingFile)
{
    EXPECT_TRUE(WritePrivateProfileString("Section", "Key", "Value", file.c_str()));
    EXPECT_EQ(dir.read("q.ini"), "[Section]\nKey=Value\n");
}

TEST_F(ProfileWrite, DeletingFromMissingFileCreatesNothing)
{
    EXPECT_TRUE(WritePrivateProfileString("Section", "Key", nullptr, file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("Section", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(dir.count(), 0u);
}

TEST_F(ProfileWrite, KeepsFileMode)
{
    dir.write("q.ini", kBase);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(WritePrivateProfileString("Window", "Left", "1", file.c_str()));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ProfileWrite, RefusesLineBreaks)
{
    dir.write("q.ini", kBase);
    EXPECT_FALSE(WritePrivateProfileString("Window", "Left", "1\n[Evil]", file.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("Window", "Le\nft", "1", file.c_str()));
    EXPECT_EQ(dir.read("q.ini"), kBase);
}

TEST_F(ProfileWrite, MissingFolderFails)
{
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", (dir / "no/such/q.ini").c_str()));
}

TEST_F(ProfileWrite, UnwritableFolderFailsAndChangesNothing)
{
    dir.write("q.ini", kBase);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    if (::access(dir.path().c_str(), W_OK) == 0) {
        ::chmod(dir.path().c_str(), 0755);
        GTEST_SKIP() << "permissions do not bind this user";
    }
    EXPECT_FALSE(WritePrivateProfileString("Window", "Left", "99", file.c_str()));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(dir.read("q.ini"), kBase);
    EXPECT_EQ(dir.count(), 1u);
}

// A write that fails half-way (here: the file size limit) leaves the old file whole.
TEST_F(ProfileWrite, FailedWriteLeavesOldFile)
{
    dir.write("q.ini", kBase);
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const BOOL ok = WritePrivateProfileString("Window", "Left", "99", file.c_str());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(dir.read("q.ini"), kBase);
    EXPECT_EQ(dir.count(), 1u);
}

} // namespace
