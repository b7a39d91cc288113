// Helpers of the geometry dialog tests: a main frame (which starts the
// algorithm thread), a photo made in code or read from the corpus, and a
// modal hook that hands each dialog to the test and records message boxes.
#pragma once

#include "../../shell/tests/ShellWindowsTestSupport.h"

#include "editor/shell/MainFrame.h"

#include <functional>
#include <string>
#include <vector>

namespace adjusttest {

struct Box {
    std::string caption, text;
};

class AdjustDialogTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // A w x h photo with one "Open" step.
    void OpenPhoto(int w, int h);
    // The corpus photo as the open photo; false when absent.
    bool OpenCorpusPhoto(const char* path);

    CMainFrame* m_frame = nullptr;
    // Gets each dialog that runs modally; returns its end code or kModalRun.
    std::function<int(CWnd*)> m_work;
    // Answers message boxes; IDOK when unset.
    std::function<int(const Box&)> m_answer;
    std::vector<Box> m_boxes;
};

// Pumps events until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, int ms = 60000);
SIZE SizeOf(const CQLImage& image);
bool SamePixels(const CQLImage& a, const CQLImage& b);

}  // namespace adjusttest
