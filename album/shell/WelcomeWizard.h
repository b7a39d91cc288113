// The first-run wizard: the user's name, the first album (a new folder with
// category subfolders, or an existing photo folder), and a short how-to.
#pragma once

#include "album/shell/SkinPropertyPage.h"

#include <string>

namespace shelf {

class CWelComPage1 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 173, kName = 1050;
    static constexpr int kMaxName = 32;
    CWelComPage1() : CSkinPropertyPage(kTemplate) {}
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    std::string m_name;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void UpdateButtons();
};

class CWelComPage2 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 175, kNewFolder = 1051, kExisting = 1029, kNoThanks = 1119;
    enum Choice { kChoiceNew = 0, kChoiceExisting = 1, kChoiceNone = 2 };
    CWelComPage2() : CSkinPropertyPage(kTemplate) {}
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    int m_choice = kChoiceNew;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

class CWelComPage3 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 176, kAlbumName = 1002, kLocation = 1004, kBrowse = 1005, kGroup = 1064;
    static constexpr int kMaxName = 64;
    // The category boxes in the order their folders are made.
    struct Category {
        UINT id;
        const char* name;
        bool checked;
    };
    static const Category kCategories[8];

    CWelComPage3() : CSkinPropertyPage(kTemplate) {}
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    // The location up to its last '/', then the name with " * / : ? \ ~ made '_'.
    static std::string FollowName(const std::string& location, const std::string& name);

    const int* m_pChoice = nullptr;
    const std::string* m_pUserName = nullptr;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    int Choice() const { return m_pChoice ? *m_pChoice : 0; }
    void Follow();
    void OnBrowse();
    bool CreateProject();
    int m_following = 0;
};

class CWelComPage4 : public CSkinPropertyPage {
public:
    static constexpr UINT kTemplate = 177;
    CWelComPage4() : CSkinPropertyPage(kTemplate) {}
    BOOL OnSetActive() override;
};

// Runs the four pages in a wizard over parent; the result of the sheet.
int RunWelcomeWizard(CWnd* parent);

} // namespace shelf
