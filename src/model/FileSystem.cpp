#include "FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
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

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& err,
                   long long maxBytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        err = errno;
        ::close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        err = EISDIR;
        ::close(fd);
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

namespace {

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string TempNameBeside(const std::string& target) {
    static std::mt19937 rng{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(rng()));
    return FolderOf(target) + "." + FileNameOf(target) + ".tmp-" + suffix;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         int& err) {
    // Write through symbolic links to the file they name, keep an existing file's permissions,
    // and refuse a read-only target just as writing into it in place would.
    std::string target = path;
    char resolved[PATH_MAX];
    mode_t mode = 0666 & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode) && ::realpath(path.c_str(), resolved) != nullptr) {
            target = resolved;
        }
        if (::stat(target.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                err = EISDIR;
                return false;
            }
            if (::access(target.c_str(), W_OK) != 0) {
                err = errno;
                return false;
            }
            mode = st.st_mode & 07777;
        }
    }

    const std::string temp = TempNameBeside(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        err = errno;
        return false;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok) {
        err = errno;
    }
    if (ok && ::fchmod(fd, mode) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    err = 0;
    return true;
}
