// A plug-in that answers a kind the editor does not know.
#include "plugins/PluginInterface.h"

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void*, int* out)
{
    if (msg == kPluginQueryKind && out)
        *out = 7;
    return 0;
}
