#include "platform/afx/ResourceTables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const qlafx::StringEntry kStrings[] = {{7001, "Hello"}, {7002, "Open %1 with %2?"}, {7003, ""}};
const qlafx::StringEntry kOverride[] = {{7001, "Bonjour"}};
const qlafx::DialogTemplate kDialogs[] = {{7100, WS_POPUP, 0, 0, 0, 10, 10, "T", nullptr, 0, {}}};
const qlafx::MenuTable kMenus[] = {{7200, {{"&File", 0, MF_POPUP, {{"&Open", 57601, 0, {}}, {nullptr, 0, MF_SEPARATOR, {}}}}}}};
const qlafx::ResourceTable kTable{.strings = kStrings, .dialogs = kDialogs, .menus = kMenus};
const qlafx::ResourceTable kLater{.strings = kOverride};

class ResourceTables : public ::testing::Test {
protected:
    qlafx::ResourceRegistrar m_reg{kTable};
};

struct LoadCase {
    UINT id;
    int size;
    int expectedLength;
    const char* expectedText;
};

class LoadStringTable : public ResourceTables, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadStringTable, CopiesWhatFits)
{
    const LoadCase& c = GetParam();
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(LoadString(nullptr, c.id, buf, c.size), c.expectedLength);
    if (c.size > 0)
        EXPECT_STREQ(buf, c.expectedText);
    else
        EXPECT_EQ(buf[0], 'x');  // no room: nothing written
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadStringTable,
                         ::testing::Values(LoadCase{7001, 32, 5, "Hello"}, LoadCase{7001, 6, 5, "Hello"},
                                           LoadCase{7001, 3, 2, "He"}, LoadCase{7001, 1, 0, ""},
                                           LoadCase{7001, 0, 0, ""}, LoadCase{7999, 32, 0, ""},
                                           LoadCase{7003, 32, 0, ""}));

TEST_F(ResourceTables, CStringLoadStringAndFormat)
{
    CString s;
    EXPECT_TRUE(s.LoadString(7001));
    EXPECT_EQ(s, "Hello");
    EXPECT_FALSE(s.LoadString(7999));
    AfxFormatString2(s, 7002, "a.jpg", "Quillo");
    EXPECT_EQ(s, "Open a.jpg with Quillo?");
    AfxFormatString1(s, 7002, "b.png");
    EXPECT_EQ(s, "Open b.png with ?");
}

TEST_F(ResourceTables, LaterTablesWinAndUnregisterRestores)
{
    {
        qlafx::ResourceRegistrar later(kLater);
        EXPECT_STREQ(qlafx::FindString(7001), "Bonjour");
        EXPECT_STREQ(qlafx::FindString(7002), "Open %1 with %2?");
    }
    EXPECT_STREQ(qlafx::FindString(7001), "Hello");
}

TEST_F(ResourceTables, DialogsAndMenusByIdLike)
{
    ASSERT_NE(qlafx::FindDialog(7100), nullptr);
    EXPECT_STREQ(qlafx::FindDialog(7100)->caption, "T");
    EXPECT_EQ(qlafx::FindDialog(7101), nullptr);
    const qlafx::MenuTable* menu = qlafx::FindMenu(7200);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->items.size(), 1u);
    EXPECT_EQ(menu->items[0].items[0].id, 57601u);
    EXPECT_EQ(qlafx::FindToolbar(7200), nullptr);
    EXPECT_EQ(qlafx::FindAccelerators(7200), nullptr);
}

}  // namespace
