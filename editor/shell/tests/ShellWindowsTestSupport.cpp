#include "ShellWindowsTestSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/codec/QLImageCodec.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace shelltest {

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

void Restore(const char* name, const std::string& value)
{
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
}

}  // namespace

void ShellWindowsTest::SetUp()
{
    ASSERT_FALSE(m_folder.Path().empty());
    m_oldTmp = Env("TMPDIR");
    m_oldConfig = Env("XDG_CONFIG_HOME");
    std::filesystem::create_directories(m_folder.Path() + "tmp");
    setenv("TMPDIR", (m_folder.Path() + "tmp").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_folder.Path() + "config").c_str(), 1);
    // Files handed over through fixed names ("Preview0.jpg") stay in this
    // test's own folder, apart from tests running beside it.
    ::GetTempPath(sizeof theAppSettings.m_tempFolder, theAppSettings.m_tempFolder);
    m_profile = m_folder.Path() + "Quillo.ini";
    m_app.m_pszProfileName = strdup(m_profile.c_str());
    WriteProfile("[General]\nUserName=Tester\n");
    std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/", QUILLO_PROGRAM_DIR);
    CQLImageCodec::Start();
    theAppSettings.LoadProfileAndSkin();
    thePhotoDocument.Clear();
    // The history names its file once per process, in the first test's
    // temporary folder, which that test removed.
    if (const char* file = thePhotoDocument.m_history.GetFilePath(); file[0])
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
}

void ShellWindowsTest::TearDown()
{
    thePhotoDocument.Clear();
    thePhotoDocument.m_history.SetOwner(nullptr);
    Restore("TMPDIR", m_oldTmp);
    Restore("XDG_CONFIG_HOME", m_oldConfig);
    ::GetTempPath(sizeof theAppSettings.m_tempFolder, theAppSettings.m_tempFolder);
}

void ShellWindowsTest::WriteProfile(const std::string& text)
{
    std::ofstream(m_profile) << text;
}

std::string ShellWindowsTest::ReadProfile() const
{
    std::ifstream in(m_profile);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ShellWindowsTest::PushSteps(std::initializer_list<const char*> names)
{
    if (thePhotoDocument.m_image.GetAreaByteSize() == 0)
        MakeImage(&thePhotoDocument.m_image, 8, 8, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x * 30), static_cast<BYTE>(y * 30), 90, 255};
        });
    int n = 0;
    for (const char* name : names) {
        // Each step changes the picture, so going back to it shows.
        thePhotoDocument.m_image.PutPixel(0, 0, CPixel{static_cast<BYTE>(n * 20), 0, 0, 255});
        ++n;
        ASSERT_EQ(thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, name), 1) << name;
    }
}

void MakeImage(CQLImage* image, int w, int h, const std::function<CPixel(int, int)>& colour)
{
    ASSERT_EQ(image->Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->PutPixel(x, y, colour(x, y));
}

std::string SaveGrab(const QImage& grab, const char* name)
{
    std::filesystem::create_directories(QUILLO_GRAB_DIR);
    const std::string path = std::string(QUILLO_GRAB_DIR) + "/" + name + ".png";
    return grab.save(QString::fromStdString(path)) ? path : std::string();
}

bool LoadCorpusPhoto(const char* path, CQLImage* image)
{
    const std::string full = std::string(QUILLO_CORPUS_DIR) + "/" + path;
    CQLImageCodec codec;
    return std::filesystem::exists(full) && codec.LoadFile(full.c_str(), image) != 0;
}

ProgramRun RunProgramCopy(const std::string& program, const std::string& folder, const std::string& profile,
                          const std::vector<std::string>& args, const char* title)
{
    namespace fs = std::filesystem;
    fs::create_directories(folder);
    const fs::path copy = fs::path(folder) / fs::path(program).filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::copy(fs::path(QUILLO_PROGRAM_DIR) / "skin", fs::path(folder) / "skin",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::ofstream(fs::path(folder) / "Quillo.ini") << profile;

    // Both processes look for windows in one place.
    const std::string runtime = folder + "/runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const std::string oldRuntime = Env("XDG_RUNTIME_DIR");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    QStringList arguments;
    for (const std::string& a : args)
        arguments << QString::fromStdString(a);
    process.start(QString::fromStdString(copy.string()), arguments);
    ProgramRun run;
    if (process.waitForStarted(10000)) {
        HWND window = nullptr;
        QElapsedTimer timer;
        timer.start();
        while (!window && timer.elapsed() < 60000 && process.state() == QProcess::Running) {
            window = ::FindWindow(nullptr, title);
            if (!window)
                QThread::msleep(100);
        }
        run.windowFound = window != nullptr;
        if (window)
            ::PostMessage(window, WM_CLOSE, 0, 0);
        run.ended = process.waitForFinished(30000);
        if (!run.ended)
            process.kill();
        run.normalExit = process.exitStatus() == QProcess::NormalExit;
        run.exitCode = process.exitCode();
    }
    Restore("XDG_RUNTIME_DIR", oldRuntime);
    return run;
}

}  // namespace shelltest
