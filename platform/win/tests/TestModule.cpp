// A module for the loading tests.
extern "C" __attribute__((visibility("default"))) int QlTestAnswer()
{
    return 42;
}
