// A shared object that is no plug-in: it lacks PluginEntry.
extern "C" __attribute__((visibility("default"))) int SomethingElse()
{
    return 1;
}
