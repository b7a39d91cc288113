// Stands in for the programs the album starts: writes its arguments, one a
// line, to $QUILLO_STANDIN_LOG; with "-f" it first copies $QUILLO_STANDIN_COPY
// into the folder as "converted.jpg", after a short pause (the album waits).
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "-f") == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (const char* source = std::getenv("QUILLO_STANDIN_COPY")) {
            std::error_code ignored;
            std::filesystem::copy_file(source, std::string(argv[2]) + "converted.jpg", ignored);
        }
    }
    const char* log = std::getenv("QUILLO_STANDIN_LOG");
    if (!log)
        return 1;
    std::ofstream out(std::string(log) + ".part");
    for (int i = 0; i < argc; ++i)
        out << argv[i] << "\n";
    out.close();
    std::filesystem::rename(std::string(log) + ".part", log);
    return 0;
}
