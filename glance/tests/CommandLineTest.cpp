#include "glance/CommandLine.h"

#include <gtest/gtest.h>

using glance::ParseCommandLine;
using glance::StartAction;

TEST(GlanceCommandLine, SwitchesOnlyWhenWholeElsePathWithoutQuotes)
{
    const struct {
        const char* raw;
        StartAction action;
        const char* path;
    } cases[] = {
        {"/r", StartAction::Register, ""},
        {"/R", StartAction::Register, ""},
        {"/u", StartAction::Restore, ""},
        {"/U", StartAction::Restore, ""},
        {"/r x", StartAction::Open, "/r x"},
        {"\"/home/a b/c.jpg\"", StartAction::Open, "/home/a b/c.jpg"},
        {"/home/a b/c.jpg", StartAction::Open, "/home/a b/c.jpg"},
        {"\"", StartAction::Open, ""},
        {"", StartAction::Open, ""},
        {nullptr, StartAction::Open, ""},
    };
    for (const auto& c : cases) {
        const auto r = ParseCommandLine(c.raw);
        EXPECT_EQ(r.action, c.action) << (c.raw ? c.raw : "(null)");
        EXPECT_EQ(r.path, c.path) << (c.raw ? c.raw : "(null)");
    }
}

TEST(GlanceCommandLine, LongPathsStayWhole)
{
    const std::string path = "/p/" + std::string(2000, 'x') + ".jpg";
    EXPECT_EQ(ParseCommandLine(("\"" + path + "\"").c_str()).path, path);
}
