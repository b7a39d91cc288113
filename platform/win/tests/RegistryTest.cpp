#include "platform/win/Process.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryFile.h"
#include "platform/win/tests/ChildSupport.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every test gets its own configuration folder, so its registry file is new.
class Registry : public ::testing::Test {
protected:
    TestDir dir;
    EnvScope config{"XDG_CONFIG_HOME", dir.path().string()};
    std::string file = dir / "quillo/registry.dat";

    HKEY Create(HKEY root, const char* sub, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(root, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition),
                  ERROR_SUCCESS);
        return key;
    }
    LONG Open(HKEY root, const char* sub, HKEY* key)
    {
        return RegOpenKeyEx(root, sub, 0, KEY_READ, key);
    }
    static LONG SetText(HKEY key, const char* name, const char* text)
    {
        return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(std::strlen(text) + 1));
    }
    static std::string Text(HKEY key, const char* name)
    {
        char buf[512] = {};
        DWORD size = sizeof buf;
        if (RegQueryValueEx(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
            return "<none>";
        return std::string(buf);
    }
};

TEST_F(Registry, KeysAreMadeWithTheirParentsAndOpenWithoutRegardToCase)
{
    HKEY key = nullptr;
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, "QuilloFile\\shell\\open\\command", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    DWORD disposition = 0;
    HKEY command = Create(HKEY_CLASSES_ROOT, "QuilloFile\\shell\\open\\command", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(command);
    HKEY again = Create(HKEY_CLASSES_ROOT, "quillofile\\SHELL\\open\\command", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(again);

    for (const char* path : {"QuilloFile", "QuilloFile\\shell", "QUILLOFILE\\Shell\\Open"}) {
        ASSERT_EQ(Open(HKEY_CLASSES_ROOT, path, &key), ERROR_SUCCESS) << path;
        RegCloseKey(key);
    }
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "QuilloFile", &key), ERROR_FILE_NOT_FOUND) << "other root";
}

TEST_F(Registry, ValuesKeepTypeAndBytes)
{
    HKEY key = Create(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Quillo");
    EXPECT_EQ(SetText(key, "Channel", "Retail"), ERROR_SUCCESS);
    EXPECT_EQ(SetText(key, nullptr, "default text"), ERROR_SUCCESS);
    const DWORD startWithSystem = 0xFFFFFFFF;
    EXPECT_EQ(RegSetValueEx(key, "StartWithSystem", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&startWithSystem), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Quillo", &key), ERROR_SUCCESS);
    EXPECT_EQ(Text(key, "channel"), "Retail");
    EXPECT_EQ(Text(key, ""), "default text") << "\"\" and NULL both name the default value";
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueEx(key, "StartWithSystem", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 0xFFFFFFFFu);
    EXPECT_EQ(Text(key, "Missing"), "<none>");
    RegCloseKey(key);
}

TEST_F(Registry, SmallBuffersGetTheSizeNeeded)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\QlTest");
    ASSERT_EQ(SetText(key, "Name", "abcdef"), ERROR_SUCCESS);
    struct Case {
        DWORD size;
        LONG rc;
        DWORD sizeAfter;
    };
    // "abcdef" and its NUL are 7 bytes.
    for (const Case& c : {Case{64, ERROR_SUCCESS, 7}, Case{7, ERROR_SUCCESS, 7}, Case{6, ERROR_MORE_DATA, 7},
                          Case{0, ERROR_MORE_DATA, 7}}) {
        char buf[64];
        std::memset(buf, 'x', sizeof buf);
        DWORD size = c.size;
        EXPECT_EQ(RegQueryValueEx(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), c.rc) << c.size;
        EXPECT_EQ(size, c.sizeAfter);
        if (c.rc == ERROR_MORE_DATA) {
            EXPECT_EQ(buf[0], 'x') << "nothing written into a buffer too small";
        }
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 7u);
    RegCloseKey(key);
}

TEST_F(Registry, DeletingValuesAndKeys)
{
    HKEY key = Create(HKEY_CLASSES_ROOT, "QuilloFile\\DefaultIcon");
    ASSERT_EQ(SetText(key, nullptr, "/opt/quillo/QuilloEditor.exe"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, nullptr), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "QuilloFile"), ERROR_ACCESS_DENIED) << "it has a sub-key";
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "QuilloFile\\DefaultIcon"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "QuilloFile"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, "QuilloFile"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, ""), ERROR_ACCESS_DENIED) << "a root stays";
}

TEST_F(Registry, HandlesAreChecked)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\QlTest");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetText(key, "x", "y"), ERROR_INVALID_HANDLE);
    HKEY out = nullptr;
    EXPECT_EQ(Open(key, "x", &out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CLASSES_ROOT), ERROR_SUCCESS);
}

TEST_F(Registry, AFileItCannotReadIsNeitherUsedNorReplaced)
{
    std::filesystem::create_directories(dir.path() / "quillo");
    dir.write("quillo/registry.dat", "QLRG-garbage");
    const std::string before = dir.read("quillo/registry.dat");
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\QlTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr),
              ERROR_BADDB);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software", &key), ERROR_BADDB);
    EXPECT_EQ(dir.read("quillo/registry.dat"), before);
}

TEST_F(Registry, ValuesLastAcrossProcesses)
{
    ASSERT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "regset", "Channel", "from child", nullptr), 0);
    HKEY key = nullptr;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\QlTest", &key), ERROR_SUCCESS);
    EXPECT_EQ(Text(key, "Channel"), "from child");
    RegCloseKey(key);

    key = Create(HKEY_CURRENT_USER, "Software\\QlTest");
    ASSERT_EQ(SetText(key, "Reply", "from parent"), ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string out = dir / "reply.txt";
    ASSERT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "regget", "Reply", out.c_str(), nullptr), 0);
    EXPECT_EQ(dir.read("reply.txt"), "from parent");
}

TEST_F(Registry, ConcurrentWritersLoseNothing)
{
    constexpr int kWriters = 4;
    constexpr int kValues = 25;
    std::vector<std::thread> writers;
    std::vector<std::intptr_t> results(kWriters, -1);
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            results[w] = _spawnl(_P_WAIT, kChild.c_str(), "c", "regfill", std::to_string(w).c_str(),
                                 std::to_string(kValues).c_str(), nullptr);
        });
    for (std::thread& t : writers)
        t.join();
    EXPECT_EQ(results, std::vector<std::intptr_t>(kWriters, 0));

    HKEY key = nullptr;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\QlTest", &key), ERROR_SUCCESS);
    int found = 0;
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValues; ++i) {
            DWORD value = 0xFFFF;
            DWORD size = 4;
            const std::string name = std::to_string(w) + "-" + std::to_string(i);
            if (RegQueryValueEx(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
                    ERROR_SUCCESS &&
                value == static_cast<DWORD>(i))
                ++found;
        }
    EXPECT_EQ(found, kWriters * kValues);
    RegCloseKey(key);
}

// ---- the file format ----

std::string Bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

TEST(RegistryFile, LayoutIsLittleEndianFieldByField)
{
    qlwin::RegistryData data;
    data.keys.push_back({"HKEY_CURRENT_USER\\A", {{"v", 4, Bytes({1, 2, 3, 4})}}});
    const std::string expected = "QLRG" + Bytes({1, 0, 0, 0, 1, 0, 0, 0, 19, 0, 0, 0}) + "HKEY_CURRENT_USER\\A" +
                                 Bytes({1, 0, 0, 0, 1, 0, 0, 0}) + "v" + Bytes({4, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4});
    EXPECT_EQ(qlwin::SerializeRegistry(data), expected);
    qlwin::RegistryData back;
    ASSERT_TRUE(qlwin::ParseRegistry(reinterpret_cast<const unsigned char*>(expected.data()), expected.size(), back));
    ASSERT_EQ(back.keys.size(), 1u);
    EXPECT_EQ(back.keys[0].path, "HKEY_CURRENT_USER\\A");
    EXPECT_EQ(back.keys[0].values[0].data, Bytes({1, 2, 3, 4}));
}

TEST(RegistryFile, DamagedFilesAreRefused)
{
    const std::string good = "QLRG" + Bytes({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}) + "K" + Bytes({0, 0, 0, 0});
    const std::string cases[] = {
        "",
        "QLRX" + good.substr(4),                                                            // magic
        "QLRG" + Bytes({2, 0, 0, 0}) + good.substr(8),                                      // version
        good.substr(0, good.size() - 1),                                                    // cut short
        good + "x",                                                                         // trailing bytes
        "QLRG" + Bytes({1, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) + "K",             // path beyond the end
        "QLRG" + Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x0F}),                               // key count beyond the end
        "QLRG" + Bytes({1, 0, 0, 0, 2, 0, 0, 0}) + good.substr(12) + good.substr(12),       // the same key twice
        "QLRG" + Bytes({1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),                   // empty path
    };
    ASSERT_TRUE(qlwin::ParseRegistry(reinterpret_cast<const unsigned char*>(good.data()), good.size(),
                                     *std::make_unique<qlwin::RegistryData>()));
    for (const std::string& c : cases) {
        qlwin::RegistryData out;
        out.keys.push_back({"stale", {}});
        EXPECT_FALSE(qlwin::ParseRegistry(reinterpret_cast<const unsigned char*>(c.data()), c.size(), out))
            << ::testing::PrintToString(c);
        EXPECT_TRUE(out.keys.empty());
    }
}

} // namespace
