#include "fuzz/FuzzFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

std::string WriteFuzzFile(const std::uint8_t* data, std::size_t size)
{
    static int fd = memfd_create("fuzz-input", 0);
    if (fd < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        std::perror("memfd write");
        std::abort();
    }
    return "/proc/self/fd/" + std::to_string(fd);
}
