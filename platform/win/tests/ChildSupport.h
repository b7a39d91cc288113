// What the tests that start qlwin_child share.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

inline const std::string kChild = QLWIN_CHILD;

// A child started without waiting writes its result file in one rename;
// this waits for it (generously: the machine may be loaded), never times it.
inline bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 1200; ++i) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Sets an environment variable for one test and puts the old value back.
class EnvScope {
public:
    EnvScope(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvScope()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};
