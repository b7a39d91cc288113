#include "PhotosTestSupport.h"

#include "editor/shell/EditorApp.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace photostest {

void PhotosTest::SetUp()
{
    ShellWindowsTest::SetUp();
    m_oldProgramFolder = g_programFolder;
    std::snprintf(g_programFolder, sizeof g_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    qlafx::SetModalHook([this](CWnd* dialog, const char* caption, const char* text, UINT) {
        if (!dialog) {
            m_messages.push_back(text ? text : "");
            if (m_answers.empty())
                return IDOK;
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        m_dialogs.push_back(caption ? caption : "");
        if (auto* file = dynamic_cast<CFileDialog*>(dialog); file && !m_chosenFile.empty())
            qlafx::AnswerFileDialog(*file, {m_chosenFile});
        else if (auto* open = dynamic_cast<OpenFileDialog*>(dialog); open && !m_chosenFile.empty() &&
                 m_dialogAnswer == IDOK)
            ChooseInOpenDialog(open, m_chosenFile);
        else if (!m_chosenFolder.empty())
            dialog->SendMessage(BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(m_chosenFolder.c_str()));
        return m_dialogAnswer;
    });
}

void PhotosTest::ChooseInOpenDialog(OpenFileDialog* dialog, const std::string& path)
{
    const size_t slash = path.rfind('/');
    dialog->MoveTo(path.substr(0, slash + 1).c_str(), TRUE);
    dialog->SetDlgItemText(IDC_OPEN_NAME, path.c_str() + slash + 1);
    dialog->SendMessage(WM_COMMAND, IDOK, 0);
}

void PhotosTest::TearDown()
{
    if (m_frame && ::IsWindow(m_frame->m_hWnd))
        m_frame->DestroyWindow();
    m_frame = nullptr;
    m_app.m_pMainWnd = nullptr;
    qlafx::SetModalHook({});
    for (UINT id : m_runners)
        CMainFrame::SetDialogRunner(id, nullptr);
    std::snprintf(g_programFolder, sizeof g_programFolder, "%s", m_oldProgramFolder.c_str());
    ShellWindowsTest::TearDown();
}

void PhotosTest::MakeFrame(const char* commandLine)
{
    theAppSettings.LoadProfileAndSkin();
    std::free(m_app.m_lpCmdLine);
    m_app.m_lpCmdLine = commandLine ? strdup(commandLine) : nullptr;
    m_frame = new CMainFrame;
    m_app.m_pMainWnd = m_frame;
    ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
}

BOOL PhotosTest::Enabled(UINT id)
{
    RecordingCmdUI ui;
    ui.m_nID = id;
    m_frame->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
    return ui.m_enabled;
}

void PhotosTest::Command(UINT id)
{
    m_frame->SendMessage(WM_COMMAND, id, 0);
}

void PhotosTest::WaitForEdit()
{
    for (int i = 0; i < 3000 && m_frame->IsEditing(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    ASSERT_FALSE(m_frame->IsEditing());
}

void PhotosTest::SetRunner(UINT id, FrameDialogRunner run)
{
    CMainFrame::SetDialogRunner(id, run);
    m_runners.push_back(id);
}

void PhotosTest::WritePhoto(const std::string& path, int w, int h)
{
    CQLImage image;
    shelltest::MakeImage(&image, w, h, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x * 7), static_cast<BYTE>(y * 9), 90, 255};
    });
    CQLImageCodec codec;
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    ASSERT_NE(jpeg ? codec.SaveJpegFile(path.c_str(), &image, 95, 72) : codec.SaveFile(path.c_str(), &image), 0)
        << path;
}

std::string PhotosTest::UseProgramFolder()
{
    const std::string folder = m_folder.Path() + "program/";
    std::filesystem::create_directories(folder);
    std::snprintf(g_programFolder, sizeof g_programFolder, "%s", folder.c_str());
    return folder;
}

}  // namespace photostest
