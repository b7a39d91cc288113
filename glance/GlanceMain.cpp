// QuilloGlance: the quick viewer.
#include "glance/GlanceApp.h"
#include "glance/GlanceTexts.h"

int main(int argc, char** argv)
{
    glance::FillGlanceTexts();
    glance::GlanceApp app;
    qlafx::RunApp(argc, argv);
    return app.m_exitCode;
}
