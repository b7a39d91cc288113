#include "PluginTestSupport.h"

#include "editor/shell/PluginHost.h"

#include <filesystem>

namespace plugintest {

void PluginTreeTest::SetUp()
{
    ShellWindowsTest::SetUp();
    m_root = m_folder.Path() + "plugins/";
    std::filesystem::create_directories(m_root);
    SetPluginRootPath(m_root);
}

void PluginTreeTest::TearDown()
{
    UnloadAllPlugins();
    SetPluginRootPath("");
    ShellWindowsTest::TearDown();
}

void PluginTreeTest::Place(const char* fixture, const std::string& place)
{
    const std::filesystem::path target = m_root + place;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(std::string(QUILLO_TEST_PLUGIN_DIR) + "/" + fixture + ".qli", target,
                               std::filesystem::copy_options::overwrite_existing);
}

void PluginTreeTest::MakeFolder(const std::string& folder)
{
    std::filesystem::create_directories(m_root + folder);
}

}  // namespace plugintest
