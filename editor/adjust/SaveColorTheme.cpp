#include "editor/adjust/SaveColorTheme.h"

#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "platform/afx/MessageBox.h"

#include <cstring>

namespace {

constexpr int kTextCannotSave = 18;
constexpr int kTextInputCaption = 193;
constexpr int kTextInputPrompt = 194;

} // namespace

int SaveColorTheme(const ColorThemeStep& step)
{
    char typed[256] = {};
    if (!PromptForText(typed, 255, theUITextTable.GetText(kTextInputCaption), theUITextTable.GetText(kTextInputPrompt),
                       TRUE, FALSE))
        return 1;
    ColorTheme theme;
    std::memcpy(theme.name, typed, sizeof theme.name);
    theme.steps.push_back(step);
    ColorTheme::SetProgramFolder(theAppSettings.m_programFolder);
    ColorTheme::SetAskHook([](const char* question) { return AfxMessageBox(question, MB_YESNO) == IDYES; });
    if (theme.Save(ColorTheme::FileNameFor(typed), true) == ColorTheme::SaveResult::Failed)
        AfxMessageBox(theUITextTable.GetText(kTextCannotSave));
    return 1;
}
