// The editor's application object: prepares the process (program folder,
// codec, profile, settings and skin), shows the splash while the main frame
// is built, and creates the frame.
#pragma once

#include "platform/afx/Afx.h"

class CEditorApp : public CWinApp {
public:
    CEditorApp() : CWinApp(nullptr) {}

    BOOL InitInstance() override;
    void LoadSettings();
    void SaveSettings();
    // After a start without arguments: the tip of the day, unless the user
    // turned it off.
    void ShowStartupTip();

protected:
    afx_msg void OnAppAbout();
    afx_msg void OnTipOfTheDay();
    DECLARE_MESSAGE_MAP()
};

// The running program's folder with its trailing '/'.
extern char g_programFolder[512];
void InitModuleFolder();
// "<program folder>skin/<name>" into buffer (MAX_PATH bytes); returns buffer.
char* GetSkinFilePath(const char* name, char* buffer);

// The old-system warning's countdown ("Warning"/"OSCap", from 2): warns
// when the system is older than the suite supports, and counts down on
// every start. TRUE when it warned.
BOOL CheckOldSystem(CWinApp* app);
// Starts the companion hidden when its start-with-system value is 0.
void StartCompanion(int startWithSystem);
