#include "editor/ui/AppSettings.h"

#include "editor/shell/UITextTable.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Folders.h"
#include "platform/win/Registry.h"

#include <cstdio>
#include <cstring>

CAppSettings theAppSettings;
CQLImage* g_skinButtonImage = nullptr;

namespace {

constexpr UINT kSkinBitmapId = 329;
constexpr int kUserNameMax = 32;

template <size_t N>
void CopyCut(char (&out)[N], const char* text)
{
    std::snprintf(out, N, "%s", text ? text : "");
}

template <size_t N>
void ReadString(char (&out)[N], const char* section, const char* key)
{
    CopyCut(out, AfxGetApp()->GetProfileString(section, key, "").GetString());
}

int ReadInt(const char* section, const char* key, int def)
{
    return static_cast<int>(AfxGetApp()->GetProfileInt(section, key, def));
}

// The folder of path with its trailing separator.
void FolderOf(const char* path, char* out, size_t size)
{
    std::snprintf(out, size, "%s", path);
    if (char* slash = std::strrchr(out, '/'))
        slash[1] = '\0';
    else
        out[0] = '\0';
}

}  // namespace

CPixel SkinFacePixel(int x, int y, CPixel fallback)
{
    UINT w = 0, h = 0;
    theAppSettings.m_faceImage.GetSize(&w, &h);
    if (w == 0 || h == 0)
        return fallback;
    return theAppSettings.m_faceImage.GetPixel2(static_cast<int>(static_cast<UINT>(x) % w),
                                                static_cast<int>(static_cast<UINT>(y) % h));
}

CAppSettings::CAppSettings()
{
    char module[512] = {};
    ::GetModuleFileName(nullptr, module, sizeof module);
    FolderOf(module, m_programFolder, sizeof m_programFolder);
    ::GetTempPath(sizeof m_tempFolder, m_tempFolder);
}

void CAppSettings::LoadProfileAndSkin()
{
    LoadSkinBrush();
    ReadString(m_userName, "General", "UserName");
    m_runCount = ReadInt("General", "RunTime", 0);
    LoadSkinPictures();
    if (m_userName[0] == '\0')
        AskUserName();
    m_showTip = ReadInt("Open", "Tip", 1);
    m_userOldStyle = ReadInt("Open", "UserOldStyle", 0);
    m_fitView = ReadInt("General", "FitView", 1);
    m_qlFlag = ReadInt("General", "QLFlag", 1);
    ReadStartWithSystem();
    ReadString(m_customTitle, "Custom", "Tittle");
    ReadString(m_customAbout, "Custom", "AboutDlg");
    m_noForum = ReadInt("Custom", "Noforum", 0);
    m_noNotify = ReadInt("Custom", "NoNotify", 0);
    m_popBlur = ReadInt("General", "PopBlur", 1);
    m_toolText = ReadInt("General", "ToolText", 0);
}

void CAppSettings::SaveProfile()
{
    ++m_runCount;
    CWinApp* app = AfxGetApp();
    app->WriteProfileString("General", "UserName", m_userName);
    app->WriteProfileInt("General", "RunTime", m_runCount);
    app->WriteProfileInt("Open", "Tip", m_showTip);
    app->WriteProfileInt("Open", "UserOldStyle", m_userOldStyle);
    app->WriteProfileInt("General", "FitView", m_fitView);
    app->WriteProfileInt("General", "QLFlag", m_qlFlag);
    app->WriteProfileInt("General", "ToolText", m_toolText);
}

// Without the pattern picture the skinned windows still get a background:
// the system face colour.
void CAppSettings::LoadSkinBrush()
{
    m_skinBrush.DeleteObject();
    m_skinBitmap.DeleteObject();
    if (m_skinBitmap.LoadBitmap(kSkinBitmapId) && m_skinBrush.CreatePatternBrush(&m_skinBitmap))
        return;
    m_skinBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

// Each picture on its own: one that is missing leaves only itself empty.
void CAppSettings::LoadSkinPictures()
{
    char path[640];
    std::snprintf(path, sizeof path, "%sskin/btnst.bmp", m_programFolder);
    if (m_buttonImage.LoadFromFile(path) == 0)
        g_skinButtonImage = &m_buttonImage;
    std::snprintf(path, sizeof path, "%sskin/3dface.bmp", m_programFolder);
    m_faceImage.LoadFromFile(path);
    CQLImageCodec codec;
    const struct {
        const char* name;
        CQLImage* image;
    } pngs[] = {{"slider.png", &m_sliderImage}, {"sliderbar.png", &m_sliderBarImage}, {"checkbox.png", &m_checkImage}};
    for (const auto& png : pngs) {
        std::snprintf(path, sizeof path, "%sskin/%s", m_programFolder, png.name);
        codec.LoadFile(path, png.image);
    }
}

void CAppSettings::AskUserName()
{
    char name[kUserNameMax + 1] = {};
    if (PromptForText(name, kUserNameMax, "Input User Name", theUITextTable.GetText(33), TRUE, FALSE))
        CopyCut(m_userName, name);
}

void CAppSettings::ReadStartWithSystem()
{
    m_startWithSystem = -1;
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Orvanta\\Kelvane\\Setting", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueEx(key, "StartWithSystem", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value)
        m_startWithSystem = static_cast<int>(value);
    RegCloseKey(key);
}
