#include "collage/CommandLine.h"

#include <gtest/gtest.h>

using namespace collage;

namespace {

TEST(CollageArgs, EditOrAPhotoPath)
{
    struct {
        std::vector<std::string> args;
        bool edit;
        const char* path;
    } cases[] = {
        {{}, false, ""},
        {{"edit"}, true, ""},
        {{"/photos/edit/a.jpg"}, false, "/photos/edit/a.jpg"},
        {{"\"/photos/my edit.jpg\""}, false, "/photos/my edit.jpg"},
        {{""}, false, ""},
        {{"Edit"}, false, "Edit"},
        {{"edit", "x"}, false, "edit"},
        {{"\""}, false, "\""},
    };
    for (const auto& c : cases) {
        const CollageStart start = ParseCollageArgs(c.args);
        EXPECT_EQ(start.editMode, c.edit) << (c.args.empty() ? "(none)" : c.args[0]);
        EXPECT_EQ(start.photoPath, c.path) << (c.args.empty() ? "(none)" : c.args[0]);
    }
}

} // namespace
