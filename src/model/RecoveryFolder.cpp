#include "RecoveryFolder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An environment value usable as a base folder: set, non-empty and absolute.
std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return value;
}

std::string HomeFolder() {
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty()) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid());
        pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/') {
        return pw->pw_dir;
    }
    return {};
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

// Creates every missing folder of path (which ends with '/'), mode 0700.
bool MakeFolders(const std::string& path, int& err) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            err = errno;
            return false;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        err = errno;
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        err = ENOTDIR;
        return false;
    }
    return true;
}

} // namespace

std::string RecoveryFolderPath() {
    std::string base = AbsoluteEnv("XDG_STATE_HOME");
    if (base.empty()) {
        const std::string home = HomeFolder();
        if (home.empty()) {
            return {};
        }
        base = WithSlash(home) + ".local/state";
    }
    return WithSlash(base) + "velmo/recovery/";
}

std::string EnsureRecoveryFolder(int& err) {
    const std::string path = RecoveryFolderPath();
    if (path.empty()) {
        err = ENOENT;
        return {};
    }
    if (!MakeFolders(path, err)) {
        return {};
    }
    return path;
}
