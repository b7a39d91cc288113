// The frame fixture of the photo tests: a frame made as the application
// makes it, message boxes and dialogs answered by a script, its own program
// folder, and helpers to write photos and wait for editing jobs.
#pragma once

#include "ShellWindowsTestSupport.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/OpenFileDialog.h"

#include <deque>
#include <string>
#include <vector>

namespace photostest {

class RecordingCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override { m_enabled = on; }
    BOOL m_enabled = -1;
};

class PhotosTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The frame with this command line (NULL: none).
    void MakeFrame(const char* commandLine = nullptr);
    BOOL Enabled(UINT id);
    void Command(UINT id);
    // Runs posted messages until the frame's editing job has been applied.
    void WaitForEdit();
    void SetRunner(UINT id, FrameDialogRunner run);
    // A w x h JPEG (or any type the codec writes, by extension) at path.
    static void WritePhoto(const std::string& path, int w = 32, int h = 24);
    // Chooses path in the editor's open dialog as a person would: its
    // folder, its name in "File Name:", then OK.
    static void ChooseInOpenDialog(OpenFileDialog* dialog, const std::string& path);
    // A program folder of the test's own; the previous one comes back later.
    std::string UseProgramFolder();

    CMainFrame* m_frame = nullptr;
    // Message box texts shown, in order.
    std::vector<std::string> m_messages;
    // Answers to message boxes, in order; IDOK once they run out.
    std::deque<int> m_answers;
    // Dialogs shown (by caption) and the answer for them; the file dialog's
    // choice goes to m_chosenFile.
    std::vector<std::string> m_dialogs;
    int m_dialogAnswer = IDOK;
    std::string m_chosenFile;
    std::string m_chosenFolder;

private:
    std::string m_oldProgramFolder;
    std::vector<UINT> m_runners;
};

}  // namespace photostest
