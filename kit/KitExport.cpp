// QuilloKit's one export. The library is loaded by the editor, whose image
// core and window layer it uses; it defines nothing else for the outside.
#include "kit/LayeredImage.h"

#include <new>

extern "C" __attribute__((visibility("default"))) CComplexImageUtils* CreateQuilloKitInstance()
{
    return new (std::nothrow) kit::CComplexImageUtils;
}
