// Helpers of the save tests: a copy of a corpus photo opened as the editor's
// photo, and a modal hook that answers message boxes, file dialogs and the
// save dialogs the way each test asks.
#pragma once

#include "ShellWindowsTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace savetest {

inline constexpr char kCanon[] = "exif-samples/jpg/Canon_40D.jpg";

class SaveTest : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the corpus photo into the test's folder and opens it as the
    // editor's photo; false (the test skips) when the corpus is absent.
    bool OpenCorpusCopy(const char* corpusPath, const char* name);
    // A made photo without a file, as one pasted from the clipboard.
    void MakePastedPhoto(int w, int h);

    // Dialogs by caption: the answer and what to do before it. Message boxes
    // not listed are answered with IDYES or IDOK and recorded.
    struct Answer {
        std::string caption;
        std::function<int(CWnd* dialog)> work;
    };
    std::vector<Answer> m_answers;
    std::vector<std::string> m_messages;  // texts of the message boxes shown
    std::vector<std::string> m_captions;  // captions of every modal dialog met
    // The next file dialog chooses this path (a name is put in the folder).
    std::string m_savePath;
    std::vector<std::string> m_proposedNames;  // each file dialog's initial name
};

// Runs Qt's events until pred holds or the time is over.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 20000);
std::string ReadBytes(const std::string& path);

}  // namespace savetest
