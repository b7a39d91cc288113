// QuilloBeacon: checks for updates and installs downloaded content.
#include "beacon/Schedule.h"
#include "beacon/UpdateApp.h"

int main(int argc, char** argv)
{
    beacon::CUpdateApp app;
    app.m_automatic = beacon::IsAutomaticStart(argc, const_cast<const char* const*>(argv));
    return qlafx::RunApp(argc, argv);
}
