// Helpers of the shell window tests: a fixture with its own temporary
// folder, profile and skin, the global document emptied around each test.
#pragma once

#include "../../ui/tests/SkinTestSupport.h"

#include "imagecore/QLImage.h"
#include "platform/afx/WinApp.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace shelltest {

class ShellWindowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces the profile's text (read through the application object).
    void WriteProfile(const std::string& text);
    std::string ReadProfile() const;
    // n steps pushed onto the document's history with these names.
    void PushSteps(std::initializer_list<const char*> names);

    skintest::TempFolder m_folder;
    CWinApp m_app{"Quillo"};
    std::string m_profile;
    std::string m_oldTmp, m_oldConfig;
};

// An image of w x h whose pixels come from colour(x, y).
void MakeImage(CQLImage* image, int w, int h, const std::function<CPixel(int, int)>& colour);
// Saves a grab as build/tests/<name>.png; its path, empty on failure.
std::string SaveGrab(const QImage& grab, const char* name);
// The corpus photo at path (under the corpus folder), loaded; false when absent.
bool LoadCorpusPhoto(const char* path, CQLImage* image);

// What became of a program run by RunProgramCopy.
struct ProgramRun {
    bool windowFound = false;
    bool ended = false;
    bool normalExit = false;
    int exitCode = -1;
};
// Copies program, with the skin of the build's program folder, into folder
// beside a Quillo.ini of this text; starts it offscreen with args; waits for
// its window titled title, closes that window from this process and waits
// for the end. Windows are found under a private XDG_RUNTIME_DIR in folder.
ProgramRun RunProgramCopy(const std::string& program, const std::string& folder, const std::string& profile,
                          const std::vector<std::string>& args, const char* title);

}  // namespace shelltest
