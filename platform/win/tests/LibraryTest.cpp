#include "platform/win/Library.h"
#include "platform/win/Folders.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using Answer = int (*)();

// QlTestModule.so lies beside the test program, in its program folder.
TEST(Library, DllNameLoadsTheSharedObjectInTheProgramFolder)
{
    for (const char* name : {"QlTestModule.dll", "QlTestModule.DLL", "QlTestModule.so"}) {
        HMODULE module = LoadLibraryA(name);
        ASSERT_NE(module, nullptr) << name;
        auto answer = reinterpret_cast<Answer>(GetProcAddress(module, "QlTestAnswer"));
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer(), 42);
        EXPECT_EQ(GetProcAddress(module, "PluginEntry"), nullptr) << "no such export";
        EXPECT_TRUE(FreeLibrary(module));
    }
}

TEST(Library, PluginsKeepTheirOwnExtension)
{
    TestDir dir;
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const auto module = std::filesystem::path(self).parent_path() / "QlTestModule.so";
    std::filesystem::copy_file(module, dir.path() / "QuilloFx.qli");
    HMODULE plugin = LoadLibrary((dir / "QuilloFx.qli").c_str());
    ASSERT_NE(plugin, nullptr);
    EXPECT_NE(GetProcAddress(plugin, "QlTestAnswer"), nullptr);
    EXPECT_TRUE(FreeLibrary(plugin));
}

TEST(Library, ModuleNameLastsUntilTheLastFree)
{
    HMODULE first = LoadLibraryA("QlTestModule.dll");
    HMODULE second = LoadLibraryA("QlTestModule.so");
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first, second);
    EXPECT_EQ(qlwin::ModuleName(first), "QlTestModule");
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(qlwin::ModuleName(first), "QlTestModule") << "still loaded once";
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(qlwin::ModuleName(first), "");
    int local = 0;
    EXPECT_EQ(qlwin::ModuleName(&local), "") << "not a module";
    EXPECT_EQ(qlwin::ModuleName(nullptr), "");
}

TEST(Library, ModuleFileNameIsTheLoadedFile)
{
    HMODULE module = LoadLibraryA("QlTestModule.so");
    ASSERT_NE(module, nullptr);
    char program[4096], path[4096];
    ASSERT_GT(GetModuleFileName(nullptr, program, sizeof program), 0u);
    std::string folder(program);
    folder.erase(folder.rfind('/') + 1);
    EXPECT_EQ(GetModuleFileName(module, path, sizeof path), folder.size() + std::strlen("QlTestModule.so"));
    EXPECT_EQ(std::string(path), folder + "QlTestModule.so");
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleFileName(module, path, sizeof path), 0u) << "released";
    int local = 0;
    EXPECT_EQ(GetModuleFileName(&local, path, sizeof path), 0u) << "not a module";
}

TEST(Library, MissingModulesAndBadHandlesFail)
{
    TestDir dir;
    dir.write("Broken.qli", "not a shared object");
    EXPECT_EQ(LoadLibrary("QuilloKit.dll"), nullptr) << "not built beside the tests";
    EXPECT_EQ(LoadLibrary((dir / "Broken.qli").c_str()), nullptr);
    EXPECT_EQ(LoadLibrary(""), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "QlTestAnswer"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}

} // namespace
