// QuilloDevelop: RAW files to JPEG or TIFF, step by step.
#include "develop/DevelopApp.h"
#include "develop/DevelopTexts.h"

int main(int argc, char** argv)
{
    develop::Texts();
    develop::DevelopApp app;
    qlafx::RunApp(argc, argv);
    return app.m_exitCode;
}
