// The base of the wizard's pages: the controls a page made on the wizard,
// its successor in the page chain and what the wizard asks of it.
#pragma once

#include "develop/DevelopSteps.h"
#include "platform/afx/Wnd.h"

#include <vector>

namespace develop {

class DevelopPercentBar;

// Wizard controls the pages touch.
enum : UINT { kNextButton = 8196, kCancelButton = 8198 };

class DevelopPage {
public:
    DevelopPage() = default;
    virtual ~DevelopPage() = default;
    DevelopPage(const DevelopPage&) = delete;
    DevelopPage& operator=(const DevelopPage&) = delete;

    // Every WM_USER+310 while the page is current.
    virtual int OnJobMessage(WPARAM type, LPARAM value);
    // Base: go on to the next step.
    virtual void OnNext();
    // Base: Next disabled.
    virtual void OnEnter();
    virtual void Layout(int cx, int cy);
    virtual void Refresh(bool toScreen);
    void Show(bool show);
    void DestroyControls();
    virtual BOOL Create(CWnd* parent);

    void EnableNext(bool enable);
    // Layout for the wizard's client size.
    void LayoutToParent();

    CWnd* m_parent = nullptr;
    std::vector<CWnd*> m_controls;
    DevelopPage* m_next = nullptr;
};

// The page's percent bar as the development steps see it: every update is
// posted, so the worker never touches the window itself.
class PostedBarSink : public ProgressSink {
public:
    explicit PostedBarSink(DevelopPercentBar* bar) : m_bar(bar) {}
    void SetText(const char* text) override;
    void SetPercent(int percent) override;

private:
    DevelopPercentBar* m_bar;
};

// The wait cursor while it lives.
struct WaitCursor {
    WaitCursor();
    ~WaitCursor();
};

// A message box owned by the wizard, without caption.
void ShowMessage(CWnd* owner, const char* key);

} // namespace develop
