#include "platform/twain/tests/SaneTestDevice.h"

#include "platform/afx/tests/WndTestSupport.h"
#include "platform/twain/SaneDevice.h"
#include "platform/twain/SourceDialogs.h"
#include "platform/twain/SourceManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace qltwain;
using qltwain::sanetest::RgbPicture;

namespace {

// ---- frames into a bitmap ------------------------------------------------------------

SANE_Parameters Params(SANE_Frame format, int depth, int width, int lines, bool last = true)
{
    SANE_Parameters p{};
    p.format = format;
    p.last_frame = last;
    p.depth = depth;
    p.pixels_per_line = width;
    p.lines = lines;
    const int channels = format == SANE_FRAME_RGB ? 3 : 1;
    p.bytes_per_line = depth == 1 ? (width + 7) / 8 : width * channels * depth / 8;
    return p;
}

RgbPicture Assemble(const std::vector<std::pair<SANE_Parameters, std::vector<std::uint8_t>>>& frames)
{
    DibAssembler dib;
    for (const auto& [params, data] : frames)
        if (!dib.AddFrame(params, data.data(), data.size()))
            return {};
    HGLOBAL block = dib.Finish(300);
    if (!block)
        return {};
    RgbPicture pic = sanetest::FromDib(GlobalLock(block), GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return pic;
}

std::vector<std::uint8_t> Host16(std::initializer_list<std::uint16_t> values)
{
    std::vector<std::uint8_t> out(values.size() * 2);
    std::size_t i = 0;
    for (std::uint16_t v : values) {
        std::memcpy(out.data() + i, &v, 2);
        i += 2;
    }
    return out;
}

TEST(DibAssembler, EveryFrameKindGivesTheSamePixels)
{
    // A 3 x 2 page: red, green, blue over grey 0x10, 0x80, 0xF0.
    const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 16, 16, 16, 128, 128, 128, 240, 240, 240};
    const std::vector<std::uint8_t> grey = {16, 128, 240, 16, 128, 240, 16, 128, 240, 16, 128, 240, 16, 128, 240,
                                            16, 128, 240};
    struct Case {
        const char* name;
        std::vector<std::pair<SANE_Parameters, std::vector<std::uint8_t>>> frames;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"rgb 8", {{Params(SANE_FRAME_RGB, 8, 3, 2), rgb}}, rgb},
        {"rgb 16 takes the high byte",
         {{Params(SANE_FRAME_RGB, 16, 3, 2),
           Host16({0xFF01, 0x00FF, 0x0000, 0x0010, 0xFF99, 0x00AA, 0x0000, 0x00FF, 0xFFFF, 0x1000, 0x1022, 0x10FF,
                   0x8001, 0x8000, 0x8099, 0xF000, 0xF0FF, 0xF080})}},
         rgb},
        {"grey 8 to grey rgb", {{Params(SANE_FRAME_GRAY, 8, 3, 2), {16, 128, 240, 16, 128, 240}}},
         {16, 16, 16, 128, 128, 128, 240, 240, 240, 16, 16, 16, 128, 128, 128, 240, 240, 240}},
        {"grey 16", {{Params(SANE_FRAME_GRAY, 16, 3, 2), Host16({0x10FF, 0x8000, 0xF012, 0x1000, 0x80FF, 0xF0F0})}},
         {16, 16, 16, 128, 128, 128, 240, 240, 240, 16, 16, 16, 128, 128, 128, 240, 240, 240}},
        {"grey 1: a set bit is black", {{Params(SANE_FRAME_GRAY, 1, 3, 2), {0xA0, 0x40}}},
         {0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255}},
        {"three passes in any order",
         {{Params(SANE_FRAME_BLUE, 8, 3, 2, false), {0, 0, 255, 16, 128, 240}},
          {Params(SANE_FRAME_RED, 8, 3, 2, false), {255, 0, 0, 16, 128, 240}},
          {Params(SANE_FRAME_GREEN, 8, 3, 2), {0, 255, 0, 16, 128, 240}}},
         rgb},
        {"unknown height: the data decides", {{Params(SANE_FRAME_RGB, 8, 3, -1), rgb}}, rgb},
    };
    for (const Case& c : cases) {
        const RgbPicture pic = Assemble(c.frames);
        EXPECT_EQ(pic.width, 3) << c.name;
        EXPECT_EQ(pic.height, 2) << c.name;
        EXPECT_EQ(pic.rgb, c.expected) << c.name;
    }
}

TEST(DibAssembler, RefusesWhatItCannotTrust)
{
    SANE_Parameters shortLine = Params(SANE_FRAME_RGB, 8, 3, 2);
    shortLine.bytes_per_line = 8;
    SANE_Parameters odd = Params(SANE_FRAME_GRAY, 8, 3, 2);
    odd.depth = 4;
    const std::vector<std::uint8_t> data(18, 0);
    struct Case {
        const char* name;
        SANE_Parameters params;
        std::size_t size;
    };
    const Case cases[] = {
        {"line shorter than its pixels", shortLine, 18},
        {"depth 4", odd, 18},
        {"rgb at 1 bit", Params(SANE_FRAME_RGB, 1, 3, 2), 2},
        {"less than one line", Params(SANE_FRAME_RGB, 8, 3, 2), 8},
    };
    for (const Case& c : cases) {
        DibAssembler dib;
        EXPECT_FALSE(dib.AddFrame(c.params, data.data(), c.size)) << c.name;
        EXPECT_EQ(dib.Finish(300), nullptr) << c.name;
    }
    // Two of three passes are not a picture.
    DibAssembler partial;
    EXPECT_TRUE(partial.AddFrame(Params(SANE_FRAME_RED, 8, 3, 2, false), data.data(), 6));
    EXPECT_TRUE(partial.AddFrame(Params(SANE_FRAME_GREEN, 8, 3, 2, false), data.data(), 6));
    EXPECT_EQ(partial.Finish(300), nullptr);
}

// ---- the source manager on the test device ---------------------------------------

TW_UINT16 Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    static TW_IDENTITY app{};
    return DsmEntry(&app, dest, dg, dat, msg, data);
}

TW_UINT16 Condition(TW_IDENTITY* dest)
{
    TW_STATUS status{};
    Call(dest, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

struct Session {
    std::vector<RgbPicture> pages;
    std::vector<TW_UINT16> transfers; // each native transfer's return code
    TW_UINT16 lastCondition = 0;
    std::string said;                  // a message box of the source
};

class SourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sanetest::HaveTestBackend())
            GTEST_SKIP() << "SANE's test backend or scanimage is missing";
        m_parent = std::make_unique<CWnd>();
        ASSERT_TRUE(m_parent->CreateEx(0, TestClass(), "parent", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        SetPageHook({});
        if (m_parent)
            m_parent->DestroyWindow();
    }

    // One session: open, scan with the dialog's Scan (feeder chosen when
    // asked), every page transferred, closed again.
    Session Scan(bool feeder, TW_INT16 count = -1)
    {
        Session s;
        HWND parent = m_parent->m_hWnd;
        EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent), TWRC_SUCCESS);
        TW_IDENTITY source{};
        EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &source), TWRC_SUCCESS);
        EXPECT_STREQ(source.Version.Info, "test:0");
        EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_SUCCESS);
        HGLOBAL block = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(block));
        one->ItemType = TWTY_INT16;
        one->Item = static_cast<TW_UINT32>(static_cast<TW_INT32>(count));
        GlobalUnlock(block);
        TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_ONEVALUE, block};
        EXPECT_EQ(Call(&source, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
        GlobalFree(block);
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
            if (!dialog) {
                s.said = text ? text : "";
                return IDOK;
            }
            if (feeder)
                dialog->SendDlgItemMessage(CSaneSourceDlg::kSource, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>("Automatic Document Feeder"));
            dialog->SendMessage(WM_COMMAND, IDOK);
            return qlafx::kModalRun;
        });
        TW_USERINTERFACE ui{1, 0, parent};
        EXPECT_EQ(Call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        qlafx::SetModalHook({});
        // The event the manager posted to the window.
        MSG msg{parent, ::RegisterWindowMessage("QuilloSourceEvent"), 0, 0, 0, {0, 0}};
        TW_EVENT event{&msg, 0};
        EXPECT_EQ(Call(&source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
        if (event.TWMessage == MSG_XFERREADY) {
            TW_PENDINGXFERS pending{1, 0};
            while (pending.Count) {
                TW_IMAGEINFO info{};
                EXPECT_EQ(Call(&source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
                HGLOBAL dib = nullptr;
                const TW_UINT16 rc = Call(&source, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
                s.transfers.push_back(rc);
                if (rc == TWRC_XFERDONE) {
                    s.pages.push_back(sanetest::FromDib(GlobalLock(dib), GlobalSize(dib)));
                    // Packed fields, read by value.
                    const int width = info.ImageWidth, length = info.ImageLength;
                    EXPECT_EQ(s.pages.back().width, width);
                    EXPECT_EQ(s.pages.back().height, length);
                    GlobalUnlock(dib);
                    GlobalFree(dib);
                } else {
                    s.lastCondition = Condition(&source);
                }
                EXPECT_EQ(Call(&source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
            }
            // Then the source asks to be closed.
            EXPECT_EQ(Call(&source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
        }
        EXPECT_EQ(event.TWMessage, MSG_CLOSEDSREQ);
        EXPECT_EQ(Call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
        EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source), TWRC_SUCCESS);
        EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent), TWRC_SUCCESS);
        return s;
    }

    std::unique_ptr<CWnd> m_parent;
};

TEST_F(SourceManagerTest, PagesEqualScanimageByteForByte)
{
    struct Case {
        const char* name;
        std::vector<std::string> conf;
    };
    const Case cases[] = {
        {"colour 8", {"mode Color", "test-picture \"Color pattern\""}},
        {"grey 8", {"mode Gray", "test-picture \"Color pattern\""}},
        {"grey 1", {"mode Gray", "depth 1", "test-picture \"Color pattern\""}},
        {"grey 16", {"mode Gray", "depth 16", "test-picture \"Color pattern\""}},
        {"colour 16", {"mode Color", "depth 16", "test-picture \"Color pattern\""}},
        {"three passes", {"mode Color", "three-pass true", "three-pass-order BGR", "test-picture \"Color pattern\""}},
        {"hand scanner", {"mode Color", "hand-scanner true", "test-picture \"Grid\""}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sanetest::WriteTestConfig(c.conf));
        const RgbPicture expected = sanetest::ScanImage();
        ASSERT_GT(expected.width, 0) << c.name;
        const Session s = Scan(false);
        ASSERT_EQ(s.pages.size(), 1u) << c.name;
        EXPECT_EQ(s.pages[0].width, expected.width) << c.name;
        EXPECT_EQ(s.pages[0].height, expected.height) << c.name;
        EXPECT_TRUE(s.pages[0].rgb == expected.rgb) << c.name;
        // A pattern, not a blank page that would equal anything blank.
        EXPECT_NE(std::count(expected.rgb.begin(), expected.rgb.end(), expected.rgb[0]),
                  static_cast<std::ptrdiff_t>(expected.rgb.size()))
            << c.name;
    }
}

TEST_F(SourceManagerTest, FeederPagesAndCancel)
{
    ASSERT_TRUE(sanetest::WriteTestConfig({"mode Color", "test-picture \"Color pattern\"", "resolution 25.0"}));
    {
        // The test feeder holds ten sheets; the count can stop it earlier.
        EXPECT_EQ(Scan(true).pages.size(), 10u);
        EXPECT_EQ(Scan(true, 3).pages.size(), 3u);
        // The flatbed gives one page a Scan.
        EXPECT_EQ(Scan(false).pages.size(), 1u);
    }
    {
        // A cancel after the first page keeps it.
        SetPageHook([](int pages) { return pages < 1; });
        const Session s = Scan(true);
        SetPageHook({});
        EXPECT_EQ(s.pages.size(), 1u);
        EXPECT_TRUE(s.said.empty());
    }
}

// The test device reports its jam on the first read, while its reader thread
// may still be allocating; its cancel stops that thread asynchronously and
// can leave the allocator locked, so the run hangs about half the time.
TEST_F(SourceManagerTest, AJammedPageIsAFailureWithThePaperJamCode)
{
    GTEST_SKIP() << "SANE's test device can deadlock when a page is cancelled as it starts";
    {
        ASSERT_TRUE(sanetest::WriteTestConfig({"mode Color", "read-status-code \"SANE_STATUS_JAMMED\""}));
        const Session s = Scan(false);
        EXPECT_TRUE(s.pages.empty());
        ASSERT_EQ(s.transfers.size(), 1u);
        EXPECT_EQ(s.transfers[0], TWRC_FAILURE);
        EXPECT_EQ(s.lastCondition, TWCC_PAPERJAM);
        EXPECT_NE(s.said.find("Scanning stopped"), std::string::npos) << s.said;
    }
}

TEST_F(SourceManagerTest, WithoutSaneTheManagerDoesNotOpen)
{
    SetSaneLibrary("libquillo-no-such-sane.so.1");
    HWND parent = m_parent->m_hWnd;
    EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent), TWRC_FAILURE);
    EXPECT_EQ(Condition(nullptr), TWCC_BUMMER);
    SetSaneLibrary("libsane.so.1");
    // Nothing is open: every other triplet is out of sequence.
    TW_IDENTITY source{};
    EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &source), TWRC_FAILURE);
    EXPECT_EQ(Condition(nullptr), TWCC_SEQERROR);
}

} // namespace
