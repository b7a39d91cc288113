// The editor's settings object: program and temporary folders, the user's
// settings from the profile, and the skin pictures the controls paint with.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/GdiObjects.h"

class CAppSettings {
public:
    // Folders of the running program; fitView 1, the rest as loading finds none.
    CAppSettings();
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    // After the application's profile is set. Every setting is read even
    // when a skin picture is missing (saving would otherwise store defaults
    // over the user's values); missing pictures stay empty.
    void LoadProfileAndSkin();
    // At exit: counts the run and writes the settings the user can change.
    void SaveProfile();

    char m_programFolder[512] = {};
    char m_tempFolder[512] = {};
    char m_userName[128] = {};
    int m_runCount = 0;
    int m_showTip = 1;
    int m_fitView = 1;
    int m_userOldStyle = 0;
    int m_qlFlag = 1;
    int m_popBlur = 1;
    int m_toolText = 0;
    int m_startWithSystem = -1;
    int m_layeredMode = 0;
    CBrush m_skinBrush;
    CBitmap m_skinBitmap;
    CQLImage m_faceImage;
    CQLImage m_buttonImage;
    CQLImage m_sliderImage;
    CQLImage m_sliderBarImage;
    CQLImage m_checkImage;
    char m_customTitle[64] = {};
    char m_customAbout[64] = {};
    int m_noForum = 0;
    int m_noNotify = 0;

private:
    void LoadSkinBrush();
    void LoadSkinPictures();
    void AskUserName();
    void ReadStartWithSystem();
};

// The one settings object of the editor.
extern CAppSettings theAppSettings;
// The skin button picture the skinned push buttons paint with; NULL until
// the skin is loaded.
extern CQLImage* g_skinButtonImage;

// The skin's dialog face pixel at (x, y), wrapping around the picture;
// fallback when there is no face picture.
CPixel SkinFacePixel(int x, int y, CPixel fallback);
