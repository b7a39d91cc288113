#include "collage/CommandLine.h"

namespace collage {

CollageStart ParseCollageArgs(const std::vector<std::string>& args)
{
    CollageStart start;
    if (args.empty())
        return start;
    if (args.size() == 1 && args[0] == "edit") {
        start.editMode = true;
        return start;
    }
    std::string path = args[0];
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    start.photoPath = path;
    return start;
}

} // namespace collage
