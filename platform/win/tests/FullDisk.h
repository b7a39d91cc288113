// A full disk for the writes of this process: while it lives, no file can
// grow past `bytes` (writes fail with EFBIG where a full disk gives ENOSPC),
// so a save fails half-way through its data.
#pragma once

#include <csignal>

#include <sys/resource.h>

class FullDisk {
public:
    explicit FullDisk(rlim_t bytes = 16)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = old_;
        tight.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool active() const { return active_; }

private:
    rlimit old_ {};
    void (*handler_)(int) = SIG_DFL;
    bool active_ = false;
};
