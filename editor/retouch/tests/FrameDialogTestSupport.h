// A small template library on disk for the frame dialog tests.
#pragma once

#include "editor/retouch/FrameTemplate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace framedialogtest {

// Writes a drawn template named name as <program>Frame/<folder>/<file>.frm.
inline void WriteTemplate(const std::string& program, const std::string& folder, const std::string& file,
                          const char* name)
{
    const std::string dir = program + "Frame/" + folder;
    std::filesystem::create_directories(dir);
    FrameTemplate frame;
    frame.ResetToDefaults();
    std::snprintf(frame.m_info.name, sizeof frame.m_info.name, "%s", name);
    ASSERT_EQ(frame.Write((dir + (folder.empty() ? "" : "/") + file + ".frm").c_str()), 1) << file;
}

// The root holds the folder "Sub" and templates ".x", "A.Smith" and "Sub";
// "Sub" holds "Inner".
inline void MakeLibrary(const std::string& program)
{
    WriteTemplate(program, "", "dot", ".x");
    WriteTemplate(program, "", "smith", "A.Smith");
    WriteTemplate(program, "", "sub", "Sub");
    WriteTemplate(program, "Sub", "inner", "Inner");
}

} // namespace framedialogtest
