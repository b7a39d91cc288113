// Helpers of the plug-in tests: a temporary plugins/ tree that the host
// reads, filled with the test plug-ins the build makes.
#pragma once

#include "ShellWindowsTestSupport.h"

#include <string>

namespace plugintest {

class PluginTreeTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Copies the test plug-in fixture (a target name) to plugins/<place>,
    // making its folders.
    void Place(const char* fixture, const std::string& place);
    // Makes plugins/<folder> and the folders above it.
    void MakeFolder(const std::string& folder);

    std::string m_root; // plugins/ with its trailing "/"
};

}  // namespace plugintest
