// QuilloCollage's application object: runs the main dialog as its window.
#pragma once

#include "collage/CommandLine.h"
#include "platform/afx/WinApp.h"

namespace collage {

class CollageApp : public CWinApp {
public:
    explicit CollageApp(const CollageStart& start);
    BOOL InitInstance() override;

private:
    CollageStart m_start;
};

} // namespace collage
