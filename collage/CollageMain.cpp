// QuilloCollage: photos pasted into multi-photo frame templates.
#include "collage/CollageApp.h"
#include "collage/CollageTexts.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    collage::FillCollageTexts();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    collage::CollageApp app(collage::ParseCollageArgs(args));
    return qlafx::RunApp(argc, argv);
}
