#include "AtomicOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace exporting {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string ErrnoText(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

bool WriteWholeFile(const std::string& path, const char* data, std::size_t size,
                    std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = ErrnoText(path, errno);
        return false;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = ErrnoText(path, n < 0 ? errno : ENOSPC);
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        error = ErrnoText(path, errno);
        return false;
    }
    return true;
}

CAtomicOutput::CAtomicOutput(std::string target, bool bFolder)
    : m_strTarget(std::move(target)), m_bFolder(bFolder) {
    while (m_bFolder && m_strTarget.size() > 1 && m_strTarget.back() == '/') {
        m_strTarget.pop_back();
    }
}

CAtomicOutput::~CAtomicOutput() {
    Discard();
}

bool CAtomicOutput::Create(std::string& error) {
    struct stat st {};
    if (::stat(m_strTarget.c_str(), &st) == 0) {
        if (m_bFolder && !S_ISDIR(st.st_mode)) {
            error = m_strTarget + ": exists and is not a folder";
            return false;
        }
        if (!m_bFolder && S_ISDIR(st.st_mode)) {
            error = m_strTarget + ": is a folder";
            return false;
        }
        if (m_bFolder) {
            std::error_code ec;
            if (!std::filesystem::is_empty(m_strTarget, ec) || ec) {
                error = m_strTarget + ": the folder is not empty";
                return false;
            }
        }
    }
    std::string pattern = FolderOf(m_strTarget) + "/." + NameOf(m_strTarget) + ".velmo-XXXXXX";
    if (m_bFolder) {
        if (::mkdtemp(pattern.data()) == nullptr) {
            error = ErrnoText(FolderOf(m_strTarget), errno);
            return false;
        }
    } else {
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            error = ErrnoText(FolderOf(m_strTarget), errno);
            return false;
        }
        ::close(fd);
        // The file gets the permissions a newly created file would have.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(pattern.c_str(), 0666 & ~mask);
    }
    m_strTemp = pattern;
    return true;
}

bool CAtomicOutput::Commit(std::string& error) {
    if (m_strTemp.empty()) {
        error = m_strTarget + ": nothing was written";
        return false;
    }
    if (m_bFolder) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(m_strTemp.c_str(), 0777 & ~mask);
    }
    if (std::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
        error = ErrnoText(m_strTarget, errno);
        Discard();
        return false;
    }
    m_bCommitted = true;
    m_strTemp.clear();
    return true;
}

void CAtomicOutput::Discard() {
    if (m_bCommitted || m_strTemp.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove_all(m_strTemp, ec);
    m_strTemp.clear();
}

} // namespace exporting
