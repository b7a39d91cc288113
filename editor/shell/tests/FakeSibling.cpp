// Stands in for QuilloDevelop, QuilloSnap and QuilloCollage in the tests:
// records its arguments and whether the result file was already there, then
// copies QUILLO_FAKE_SOURCE to the result path (the argument after "-o", or
// QUILLO_FAKE_TARGET) when that variable is set.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::string target = std::getenv("QUILLO_FAKE_TARGET") ? std::getenv("QUILLO_FAKE_TARGET") : "";
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-o") == 0)
            target = argv[i + 1];
    if (const char* log = std::getenv("QUILLO_FAKE_LOG")) {
        std::ofstream out(log);
        for (int i = 0; i < argc; ++i)
            out << argv[i] << '\n';
        out << "stale=" << (!target.empty() && fs::exists(target)) << '\n';
    }
    const char* source = std::getenv("QUILLO_FAKE_SOURCE");
    if (source && !target.empty()) {
        std::error_code error;
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
        return error ? 1 : 0;
    }
    return 0;
}
