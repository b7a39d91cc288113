#include "SaveTestSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/CommDlg.h"
#include "platform/codec/QLImageCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace savetest {

void SaveTest::SetUp()
{
    ShellWindowsTest::SetUp();
    qlafx::SetModalHook([this](CWnd* dialog, const char* caption, const char* text, UINT type) {
        const std::string title = caption ? caption : "";
        m_captions.push_back(title);
        if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
            m_proposedNames.push_back(files->m_ofn.lpstrFile ? files->m_ofn.lpstrFile : "");
            if (m_savePath.empty())
                return IDCANCEL;
            qlafx::AnswerFileDialog(*files, {m_savePath});
            return IDOK;
        }
        for (const Answer& a : m_answers)
            if (a.caption == title)
                return a.work(dialog);
        if (!dialog) {
            m_messages.push_back(text ? text : "");
            return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
        }
        return IDCANCEL;
    });
}

void SaveTest::TearDown()
{
    qlafx::SetModalHook({});
    ShellWindowsTest::TearDown();
}

bool SaveTest::OpenCorpusCopy(const char* corpusPath, const char* name)
{
    const std::string from = std::string(QUILLO_CORPUS_DIR) + "/" + corpusPath;
    if (!std::filesystem::exists(from))
        return false;
    const std::string to = m_folder.Path() + name;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    CPhotoDocument& doc = thePhotoDocument;
    CQLImageCodec codec;
    if (!codec.LoadFile(to.c_str(), &doc.m_image))
        return false;
    doc.m_exif.ReadFromFile(to.c_str());
    std::snprintf(doc.m_path, sizeof doc.m_path, "%s", to.c_str());
    doc.m_fileSize = static_cast<int>(std::filesystem::file_size(to));
    doc.m_history.Reset();
    doc.m_history.Push(&doc.m_image, theUITextTable.GetText(21));
    return true;
}

void SaveTest::MakePastedPhoto(int w, int h)
{
    shelltest::MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) {
        return CPixel{static_cast<BYTE>(x * 7), static_cast<BYTE>(y * 5), 120, 255};
    });
    thePhotoDocument.m_path[0] = '\0';
}

bool PumpUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace savetest
