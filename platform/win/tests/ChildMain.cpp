// The child program the process, registry and mutex tests start.
//   exit N              ends with code N
//   kill                ends by SIGKILL
//   args OUT A...       writes each argument and a newline to OUT
//   regset NAME VALUE   sets HKCU\Software\QlTest NAME to VALUE (REG_SZ)
//   regget NAME OUT     writes that value to OUT; exit 1 when missing
//   regfill ID COUNT    sets COUNT values "ID-i" = i, one call each
//   mutex NAME          exit 3 when the named mutex already exists, else 0
#include "platform/win/Registry.h"
#include "platform/win/Threads.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// Written beside OUT and renamed, so a waiting test never sees half a file.
void writeResult(const std::string& out, const std::string& text)
{
    const std::string tmp = out + ".part";
    std::ofstream(tmp, std::ios::binary) << text;
    std::rename(tmp.c_str(), out.c_str());
}

HKEY testKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\QlTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) != ERROR_SUCCESS)
        std::exit(2);
    return key;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "exit" && argc > 2)
        return std::atoi(argv[2]);
    if (cmd == "kill")
        std::raise(SIGKILL);
    if (cmd == "args" && argc > 2) {
        std::string text;
        for (int i = 3; i < argc; ++i)
            text.append(argv[i]).append("\n");
        writeResult(argv[2], text);
        return 0;
    }
    if (cmd == "regset" && argc > 3) {
        HKEY key = testKey();
        const LONG rc = RegSetValueEx(key, argv[2], 0, REG_SZ, reinterpret_cast<const BYTE*>(argv[3]),
                                      static_cast<DWORD>(std::strlen(argv[3]) + 1));
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? 0 : 1;
    }
    if (cmd == "regget" && argc > 3) {
        HKEY key = testKey();
        char value[256] = {};
        DWORD size = sizeof value - 1;
        const LONG rc = RegQueryValueEx(key, argv[2], nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            return 1;
        writeResult(argv[3], value);
        return 0;
    }
    if (cmd == "regfill" && argc > 3) {
        HKEY key = testKey();
        const int count = std::atoi(argv[3]);
        for (int i = 0; i < count; ++i) {
            const std::string name = std::string(argv[2]) + "-" + std::to_string(i);
            const DWORD value = static_cast<DWORD>(i);
            if (RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) !=
                ERROR_SUCCESS)
                return 1;
        }
        RegCloseKey(key);
        return 0;
    }
    if (cmd == "mutex" && argc > 2) {
        HANDLE m = CreateMutex(nullptr, FALSE, argv[2]);
        const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
        CloseHandle(m);
        return existed ? 3 : 0;
    }
    return 100;
}
