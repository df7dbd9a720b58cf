#include "FileReplacement.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "FileSystem.h"
#include "RecoveryFolder.h"

namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
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

// Copies everything from the read position of from to the write position of to.
bool CopyContents(int from, int to) {
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;
        }
        if (!WriteAll(to, buffer, static_cast<std::size_t>(n))) {
            return false;
        }
    }
}

std::string RandomSuffix() {
    thread_local std::mt19937 rng{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(rng()));
    return suffix;
}

std::string FolderForCalls(const std::string& path) {
    const std::string folder = FolderOf(path);
    return folder.empty() ? std::string("./") : folder;
}

// The name a temporary file of this process gets: the prefix, our process id, a random part.
std::string OwnTemporaryName(const std::string& target) {
    return FolderOf(target) + TemporaryFilePrefix(target) + std::to_string(::getpid()) + "-" +
           RandomSuffix();
}

mode_t CurrentUmask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

// Copies the user extended attributes of the file at from onto the open file fd. Attributes a
// file system cannot hold are left out: the contents matter more than their labels.
void CopyUserAttributes(const std::string& from, int fd) {
    const ssize_t listSize = ::listxattr(from.c_str(), nullptr, 0);
    if (listSize <= 0) {
        return;
    }
    std::string names(static_cast<std::size_t>(listSize), '\0');
    const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
    if (got <= 0) {
        return;
    }
    names.resize(static_cast<std::size_t>(got));
    std::string value;
    for (std::size_t pos = 0; pos < names.size();) {
        const std::string name = names.c_str() + pos;
        pos += name.size() + 1;
        if (name.rfind("user.", 0) != 0) {
            continue;
        }
        const ssize_t size = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) {
            continue;
        }
        value.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t read = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
        if (read >= 0) {
            ::fsetxattr(fd, name.c_str(), value.data(), static_cast<std::size_t>(read), 0);
        }
    }
}

void SyncFolder(const std::string& folder) {
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd); // the rename itself is on disk once this returns
        ::close(dfd);
    }
}

} // namespace

std::string TemporaryFilePrefix(const std::string& target) {
    return "." + FileNameOf(target) + ".velmo-tmp-";
}

void RemoveStaleTemporaryFiles(const std::string& target) {
    const std::string folder = FolderForCalls(target);
    const std::string prefix = TemporaryFilePrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || pid > INT_MAX || end == nullptr || *end != '-' || pid == self) {
            continue;
        }
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
        }
    }
    ::closedir(dir);
}

CFileReplacement::~CFileReplacement() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_strTempName.empty()) {
        ::unlink(m_strTempName.c_str());
    }
}

bool CFileReplacement::Resolve(const std::string& path, int& err) {
    // Write through symbolic links to the file they name, keep an existing file's permissions,
    // and refuse a read-only target just as writing into it in place would.
    m_strTarget = path;
    m_nMode = 0666 & ~CurrentUmask();
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            err = errno;
            return false;
        }
        return true;
    }
    if (S_ISLNK(st.st_mode) && ::realpath(path.c_str(), resolved) != nullptr) {
        m_strTarget = resolved;
    }
    if (::stat(m_strTarget.c_str(), &st) != 0) {
        return true; // a link to nothing: the link itself is replaced
    }
    if (S_ISDIR(st.st_mode)) {
        err = EISDIR;
        return false;
    }
    if (::access(m_strTarget.c_str(), W_OK) != 0) {
        err = errno;
        return false;
    }
    m_bExists = true;
    m_nLinks = static_cast<unsigned long>(st.st_nlink);
    m_nMode = st.st_mode & 07777;
    m_nUid = st.st_uid;
    m_nGid = st.st_gid;
    return true;
}

bool CFileReplacement::Begin(int& err) {
    RemoveStaleTemporaryFiles(m_strTarget);
    m_fd = ::open(FolderForCalls(m_strTarget).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (m_fd >= 0) {
        m_bUnnamed = true;
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        err = errno;
        return false;
    }
    // No unnamed files here: a name that tells whose it is, so that a later save can clean up.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = OwnTemporaryName(m_strTarget);
        m_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_strTempName = name;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    err = errno;
    return false;
}

bool CFileReplacement::Write(const std::uint8_t* data, std::size_t size, int& err) {
    if (m_fd < 0 || !WriteAll(m_fd, data, size)) {
        err = m_fd < 0 ? EBADF : errno;
        return false;
    }
    return true;
}

bool CFileReplacement::Commit(int& err) {
    if (m_fd < 0) {
        err = EBADF;
        return false;
    }
    if (m_bExists) {
        struct stat own {};
        if (::fstat(m_fd, &own) == 0 && (own.st_uid != m_nUid || own.st_gid != m_nGid)) {
            // The old file's owner and group where permitted, else at least its group.
            if (::fchown(m_fd, m_nUid, m_nGid) != 0) {
                (void)::fchown(m_fd, static_cast<uid_t>(-1), m_nGid);
            }
        }
        CopyUserAttributes(m_strTarget, m_fd);
    }
    // The mode last: a change of owner clears the set-id bits.
    if (::fchmod(m_fd, m_nMode) != 0 || ::fsync(m_fd) != 0) {
        err = errno;
        return false;
    }
    if (m_bUnnamed) {
        // The complete file gets a name of ours first: a rename cannot take an unnamed file.
        const std::string procPath = "/proc/self/fd/" + std::to_string(m_fd);
        for (int attempt = 0; attempt < 16 && m_strTempName.empty(); ++attempt) {
            const std::string name = OwnTemporaryName(m_strTarget);
            if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                    0 ||
                ::linkat(m_fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
                m_strTempName = name;
            } else if (errno != EEXIST) {
                err = errno;
                return false;
            }
        }
        if (m_strTempName.empty()) {
            err = EEXIST;
            return false;
        }
    }
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0) {
        err = errno;
        return false;
    }
    if (::rename(m_strTempName.c_str(), m_strTarget.c_str()) != 0) {
        err = errno;
        return false; // the destructor removes the temporary file
    }
    m_strTempName.clear();
    SyncFolder(FolderForCalls(m_strTarget));
    return true;
}

bool WriteFileInPlace(const std::string& target, const std::vector<std::uint8_t>& bytes,
                      std::string& keptCopy, int& err) {
    keptCopy.clear();
    struct stat st {};
    const int in = OpenRegularFile(target, st, err);
    if (in < 0) {
        return false;
    }
    const std::string folder = EnsureRecoveryFolder(err);
    if (folder.empty()) {
        ::close(in);
        return false;
    }
    // A complete copy of the old file first, on disk before the file is touched.
    const std::string copy = folder + "saved-over-" + std::to_string(::getpid()) + "-" +
                             RandomSuffix() + "-" + FileNameOf(target);
    const int out = ::open(copy.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool copied = out >= 0 && CopyContents(in, out) && ::fsync(out) == 0;
    if (!copied) {
        err = errno;
    }
    ::close(in);
    if (!copied) {
        if (out >= 0) {
            ::close(out);
            ::unlink(copy.c_str());
        }
        return false;
    }
    SyncFolder(folder);

    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        err = fd < 0 ? errno : kErrNotRegularFile;
        if (fd >= 0) {
            ::close(fd);
        }
        ::close(out);
        ::unlink(copy.c_str());
        return false; // nothing written
    }
    const bool written = WriteAll(fd, bytes.data(), bytes.size()) &&
                         ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
    if (!written) {
        err = errno != 0 ? errno : EIO;
        // Put the old contents back; the copy stays where that fails too.
        const bool restored = ::lseek(fd, 0, SEEK_SET) == 0 && ::lseek(out, 0, SEEK_SET) == 0 &&
                              CopyContents(out, fd) &&
                              ::ftruncate(fd, static_cast<off_t>(::lseek(out, 0, SEEK_END))) == 0 &&
                              ::fsync(fd) == 0;
        ::close(fd);
        ::close(out);
        if (restored) {
            ::unlink(copy.c_str());
        } else {
            keptCopy = copy;
        }
        return false;
    }
    ::close(fd);
    ::close(out);
    ::unlink(copy.c_str());
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         int& err) {
    err = 0;
    CFileReplacement replacement;
    if (!replacement.Resolve(path, err)) {
        return false;
    }
    const bool sharedInode = replacement.TargetExists() && replacement.TargetLinks() > 1;
    bool begun = !sharedInode && replacement.Begin(err);
    if (!begun) {
        // A file with other hard links keeps them only when written in place; so does a
        // writable file in a folder that refuses new files.
        const bool folderRefuses = err == EACCES || err == EPERM;
        if (replacement.TargetExists() && (sharedInode || folderRefuses)) {
            std::string keptCopy;
            err = 0;
            return WriteFileInPlace(replacement.Target(), bytes, keptCopy, err);
        }
        return false;
    }
    return replacement.Write(bytes.data(), bytes.size(), err) && replacement.Commit(err);
}
