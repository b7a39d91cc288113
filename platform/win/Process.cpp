#include "platform/win/Process.h"

#include <cerrno>
#include <cstdarg>
#include <strings.h>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool isFile(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool endsWithNoCase(const std::string& s, const char* suffix)
{
    const size_t n = std::char_traits<char>::length(suffix);
    return s.size() >= n && ::strcasecmp(s.c_str() + s.size() - n, suffix) == 0;
}

// A whole argument in double quotes is what a Windows command line needed
// for blanks; the child gets the text inside.
std::string plainArgument(const char* arg)
{
    std::string a = arg ? arg : "";
    if (a.size() >= 2 && a.front() == '"' && a.back() == '"')
        return a.substr(1, a.size() - 2);
    return a;
}

// A child that nobody waits for is reaped in the background.
void reapLater(pid_t pid)
{
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

// Starts program with args (argv[0] first); searchPath looks the program up in
// PATH. Returns the child's id, or -1 with errno set.
pid_t start(const std::string& program, const std::vector<std::string>& args, bool searchPath,
            const char* dir = nullptr)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    // The child starts with no signals blocked and default handlers.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (dir && *dir)
        posix_spawn_file_actions_addchdir_np(&actions, dir);

    pid_t pid = -1;
    const int rc = searchPath ? ::posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ)
                              : ::posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    return pid;
}

std::intptr_t spawn(int mode, const char* path, const std::vector<std::string>& args)
{
    if (!path || (mode != _P_WAIT && mode != _P_NOWAIT)) {
        errno = EINVAL;
        return -1;
    }
    const std::string program = qlwin::ProgramPath(path);
    if (!isFile(program)) {
        errno = ENOENT;
        return -1;
    }
    const pid_t pid = start(program, args, false);
    if (pid < 0)
        return -1;
    if (mode == _P_NOWAIT) {
        reapLater(pid);
        return pid;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

bool isBlankChar(char c) { return c == ' ' || c == '\t'; }

} // namespace

namespace qlwin {

std::string ProgramPath(const std::string& path)
{
    if (isFile(path) || !endsWithNoCase(path, ".exe"))
        return path;
    return path.substr(0, path.size() - 4);
}

// The runtime's rules: blanks separate words outside quotes; 2n backslashes
// before a quote give n and the quote toggles, 2n+1 give n and a literal quote.
std::vector<std::string> SplitCommandLine(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && isBlankChar(line[i]))
            ++i;
        if (i >= line.size())
            return words;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !isBlankChar(line[i]))) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2)
                    word += '"';
                else
                    quoted = !quoted;
                ++i;
            } else {
                word.append(slashes, '\\');
                if (i < line.size() && (quoted || !isBlankChar(line[i])))
                    word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
}

} // namespace qlwin

std::intptr_t _spawnv(int mode, const char* path, const char* const* argv)
{
    std::vector<std::string> args;
    for (; argv && *argv; ++argv)
        args.push_back(plainArgument(*argv));
    return spawn(mode, path, args);
}

std::intptr_t _spawnl(int mode, const char* path, const char* arg0, ...)
{
    std::vector<std::string> args;
    va_list ap;
    va_start(ap, arg0);
    for (const char* a = arg0; a; a = va_arg(ap, const char*))
        args.push_back(plainArgument(a));
    va_end(ap);
    return spawn(mode, path, args);
}

UINT WinExec(LPCSTR cmdLine, UINT)
{
    const std::string line = cmdLine ? cmdLine : "";
    std::string program;
    std::string rest;
    if (!line.empty() && line.front() == '"') {
        const size_t close = line.find('"', 1);
        program = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        rest = close == std::string::npos ? "" : line.substr(close + 1);
    } else {
        // "/opt/My Apps/x -a": "/opt/My" first, then "/opt/My Apps/x", as Windows tries them.
        size_t end = 0;
        do {
            end = line.find_first_of(" \t", end + 1);
            program = line.substr(0, end);
            rest = end == std::string::npos ? "" : line.substr(end);
        } while (end != std::string::npos && !isFile(qlwin::ProgramPath(program)));
    }
    program = qlwin::ProgramPath(program);
    if (!isFile(program))
        return ERROR_FILE_NOT_FOUND;
    std::vector<std::string> args = qlwin::SplitCommandLine(rest);
    args.insert(args.begin(), program);
    const pid_t pid = start(program, args, false);
    if (pid < 0)
        return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_BAD_FORMAT;
    reapLater(pid);
    return 33;
}

namespace {
qlwin::ShellExecuteHook& ShellHook()
{
    static qlwin::ShellExecuteHook hook;
    return hook;
}
} // namespace

void qlwin::SetShellExecuteHook(ShellExecuteHook hook) { ShellHook() = std::move(hook); }

HINSTANCE ShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, int)
{
    if (ShellHook())
        return ShellHook()(verb, file, params);
    const auto result = [](std::uintptr_t code) { return reinterpret_cast<HINSTANCE>(code); };
    if (verb && ::strcasecmp(verb, "open") != 0)
        return result(SE_ERR_NOASSOC);
    const std::string target = file ? file : "";
    const bool url = target.find("://") != std::string::npos || ::strncasecmp(target.c_str(), "mailto:", 7) == 0;
    std::vector<std::string> args;
    std::string program;
    bool searchPath = false;
    const std::string local = qlwin::ProgramPath(target);
    if (!url && isFile(local) && ::access(local.c_str(), X_OK) == 0) {
        program = local;
        args = qlwin::SplitCommandLine(params ? params : "");
        args.insert(args.begin(), program);
    } else {
        struct stat st {};
        if (!url && ::stat(target.c_str(), &st) != 0)
            return result(ERROR_FILE_NOT_FOUND);
        program = "xdg-open";
        searchPath = true;
        args = {program, target};
    }
    const pid_t pid = start(program, args, searchPath, dir);
    if (pid < 0)
        return result(searchPath ? SE_ERR_NOASSOC : SE_ERR_ACCESSDENIED);
    reapLater(pid);
    return result(42);
}
