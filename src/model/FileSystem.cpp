#include "FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    // Only '/' separates: a backslash is an ordinary character of a file name here.
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int OpenRegularFile(const std::string& path, struct stat& st, int& err) {
    // O_NONBLOCK: opening a FIFO without a writer or a device would otherwise wait forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        err = errno;
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        err = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        err = S_ISDIR(st.st_mode) ? EISDIR : kErrNotRegularFile;
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& err,
                   long long maxBytes) {
    bytes.clear();
    struct stat st {};
    const int fd = OpenRegularFile(path, st, err);
    if (fd < 0) {
        return false;
    }
    if (st.st_size > maxBytes) {
        err = EFBIG;
        ::close(fd);
        return false;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        if (static_cast<long long>(bytes.size()) + n > maxBytes) {
            err = EFBIG;
            ::close(fd);
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    err = 0;
    return true;
}
