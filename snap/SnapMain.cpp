// QuilloSnap: screen and PC camera capture for the editor.
#include "snap/SnapApp.h"
#include "snap/SnapTexts.h"

int main(int argc, char** argv)
{
    snap::FillSnapTexts();
    snap::CSnapApp app;
    qlafx::RunApp(argc, argv);
    return app.m_exitCode;
}
