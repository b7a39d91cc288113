#include "imagecore/XIOFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class XIOFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/ximage-iofile-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
        m_path = m_dir + "/data.bin";
    }
    void TearDown() override
    {
        std::remove(m_path.c_str());
        rmdir(m_dir.c_str());
    }
    std::string m_dir, m_path;
};

TEST_F(XIOFileTest, WritesSeeksAndReadsAsTheRuntimeDoes)
{
    CxIOFile f;
    ASSERT_TRUE(f.Open(m_path.c_str(), "w+b"));
    EXPECT_FALSE(f.Open(m_path.c_str(), "rb")); // a handle is attached
    const unsigned char data[6] = {10, 20, 30, 40, 50, 60};
    EXPECT_EQ(f.Write(data, 2, 3), 3u);
    EXPECT_TRUE(f.PutC(70));
    ASSERT_TRUE(f.Seek(2, 0));
    EXPECT_EQ(f.Size(), 7);
    EXPECT_EQ(f.Tell(), 2); // Size keeps the position
    unsigned char out[8] = {};
    EXPECT_EQ(f.Read(out, 2, 4), 2u); // 5 bytes left: two whole items
    EXPECT_EQ(out[0], 30);
    EXPECT_EQ(out[3], 60);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), 0);
    ASSERT_TRUE(f.Seek(-1, 2));
    EXPECT_EQ(f.GetC(), 70);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Flush());
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(f.Close()); // nothing attached any more
}

TEST_F(XIOFileTest, LeavesACallersHandleOpen)
{
    std::FILE* fp = std::fopen(m_path.c_str(), "w+b");
    ASSERT_NE(fp, nullptr);
    {
        CxIOFile f(fp);
        EXPECT_TRUE(f.PutC(1));
        EXPECT_TRUE(f.Close());
    }
    EXPECT_EQ(std::fputc(2, fp), 2); // still open
    EXPECT_EQ(std::fclose(fp), 0);
}

TEST_F(XIOFileTest, WithoutHandle)
{
    CxIOFile f;
    unsigned char b = 0;
    EXPECT_EQ(f.Read(&b, 1, 1), 0u);
    EXPECT_EQ(f.Write(&b, 1, 1), 0u);
    EXPECT_FALSE(f.Seek(0, 0));
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_FALSE(f.Flush());
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), -1);
    EXPECT_FALSE(f.PutC(1));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Close());
    EXPECT_FALSE(f.Open((m_dir + "/missing/x").c_str(), "rb"));
}

} // namespace
