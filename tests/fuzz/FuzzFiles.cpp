#include "FuzzFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

const std::string& FuzzFolder() {
    static const std::string folder = [] {
        std::string pattern = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              std::string("/velmo-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        // The folder goes with the process.
        static std::string removal = "rm -rf '" + pattern + "'";
        std::atexit([] { (void)std::system(removal.c_str()); });
        return pattern + '/';
    }();
    return folder;
}

std::string WriteFuzzFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzFolder() + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::perror("open");
        std::abort();
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) {
            std::perror("write");
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return path;
}
