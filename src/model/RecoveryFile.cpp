#include "RecoveryFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr const char* kMagic = "velmo-recovery 1";
constexpr const char* kSuffix = ".vrec";

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string BootId() {
    std::string id = ReadFirstLine("/proc/sys/kernel/random/boot_id");
    id.erase(std::remove(id.begin(), id.end(), '-'), id.end());
    return id;
}

// Field 22 of /proc/<pid>/stat, counted after the command name (which may hold spaces).
bool StartTimeOf(long long pid, unsigned long long& start) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) {
        return false;
    }
    const auto paren = stat.rfind(')');
    if (paren == std::string::npos) {
        return false;
    }
    std::istringstream fields(stat.substr(paren + 1));
    std::string field;
    // Fields 3 (state) to 21, then 22.
    for (int i = 3; i <= 21; ++i) {
        if (!(fields >> field)) {
            return false;
        }
    }
    return static_cast<bool>(fields >> start);
}

// Values are single lines: '%', CR and LF are written as %25, %0D and %0A.
std::string Escape(const std::string& value) {
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '%':
            out += "%25";
            break;
        case '\r':
            out += "%0D";
            break;
        case '\n':
            out += "%0A";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool Unescape(const std::string& value, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out += value[i];
            continue;
        }
        if (i + 2 >= value.size()) {
            return false;
        }
        const std::string code = value.substr(i + 1, 2);
        if (code == "25") {
            out += '%';
        } else if (code == "0D") {
            out += '\r';
        } else if (code == "0A") {
            out += '\n';
        } else {
            return false;
        }
        i += 2;
    }
    return true;
}

template <typename T> bool ParseNumber(const std::string& text, T& value) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool IsHex(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
}

} // namespace

SProcessIdentity ProcessIdentityOf(long long pid) {
    SProcessIdentity process;
    process.strBootId = BootId();
    process.nPid = pid;
    StartTimeOf(pid, process.nStartTime);
    return process;
}

SProcessIdentity CurrentProcessIdentity() {
    return ProcessIdentityOf(::getpid());
}

bool IsProcessRunning(const SProcessIdentity& process) {
    if (process.strBootId != BootId()) {
        return false; // written before the machine last started
    }
    unsigned long long start = 0;
    return StartTimeOf(process.nPid, start) && start == process.nStartTime;
}

std::vector<std::uint8_t> EncodeRecoveryFile(const SRecoveryIndex& index,
                                             const std::vector<std::uint8_t>& document) {
    std::string head = std::string(kMagic) + "\n";
    head += "kind=" + Escape(index.strKind) + "\n";
    head += "path=" + Escape(index.strPath) + "\n";
    head += "title=" + Escape(index.strTitle) + "\n";
    head += "time=" + std::to_string(index.nTime) + "\n";
    head += "version=" + Escape(index.strVersion) + "\n";
    head += "boot=" + index.owner.strBootId + "\n";
    head += "pid=" + std::to_string(index.owner.nPid) + "\n";
    head += "start=" + std::to_string(index.owner.nStartTime) + "\n";
    head += "bytes=" + std::to_string(document.size()) + "\n\n";
    std::vector<std::uint8_t> file(head.begin(), head.end());
    file.insert(file.end(), document.begin(), document.end());
    return file;
}

bool DecodeRecoveryFile(const std::vector<std::uint8_t>& file, SRecoveryIndex& index,
                        std::vector<std::uint8_t>& document) {
    // The index ends at the first empty line; it is small, so a file without one soon is not a
    // recovery file.
    constexpr std::size_t kMaxIndexBytes = 64 * 1024;
    const std::string text(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(
                                                            std::min(file.size(), kMaxIndexBytes)));
    const auto end = text.find("\n\n");
    if (end == std::string::npos) {
        return false;
    }
    std::istringstream lines(text.substr(0, end + 1));
    std::string line;
    if (!std::getline(lines, line) || line != kMagic) {
        return false;
    }
    SRecoveryIndex read;
    long long bytes = -1;
    bool kind = false, path = false, title = false;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            return false;
        }
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        bool ok = true;
        if (key == "kind") {
            ok = kind = Unescape(value, read.strKind);
        } else if (key == "path") {
            ok = path = Unescape(value, read.strPath);
        } else if (key == "title") {
            ok = title = Unescape(value, read.strTitle);
        } else if (key == "time") {
            ok = ParseNumber(value, read.nTime);
        } else if (key == "version") {
            ok = Unescape(value, read.strVersion);
        } else if (key == "boot") {
            read.owner.strBootId = value;
        } else if (key == "pid") {
            ok = ParseNumber(value, read.owner.nPid);
        } else if (key == "start") {
            ok = ParseNumber(value, read.owner.nStartTime);
        } else if (key == "bytes") {
            ok = ParseNumber(value, bytes);
        } // other keys: written by a later version, ignored
        if (!ok) {
            return false;
        }
    }
    const std::size_t start = end + 2;
    if (!kind || !path || !title || bytes < 0 ||
        static_cast<unsigned long long>(bytes) != file.size() - start) {
        return false;
    }
    index = std::move(read);
    document.assign(file.begin() + static_cast<std::ptrdiff_t>(start), file.end());
    return true;
}

std::string RecoveryFileName(const SProcessIdentity& owner, unsigned serial) {
    return owner.strBootId + "-" + std::to_string(owner.nPid) + "-" +
           std::to_string(owner.nStartTime) + "-" + std::to_string(serial) + kSuffix;
}

bool ParseRecoveryFileName(const std::string& name, SProcessIdentity& owner) {
    const std::string suffix = kSuffix;
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    std::vector<std::string> parts;
    std::istringstream in(name.substr(0, name.size() - suffix.size()));
    for (std::string part; std::getline(in, part, '-');) {
        parts.push_back(part);
    }
    if (parts.size() != 4) {
        return false;
    }
    unsigned serial = 0;
    SProcessIdentity read;
    read.strBootId = parts[0];
    if (!IsHex(read.strBootId) || !ParseNumber(parts[1], read.nPid) ||
        !ParseNumber(parts[2], read.nStartTime) || !ParseNumber(parts[3], serial)) {
        return false;
    }
    owner = read;
    return true;
}

std::vector<std::string> ClaimOrphanedRecoveryFiles(const std::string& folder,
                                                    const SProcessIdentity& self,
                                                    unsigned& nextSerial) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            SProcessIdentity owner;
            const std::string name = entry->d_name;
            if (ParseRecoveryFileName(name, owner) && !(owner == self) &&
                !IsProcessRunning(owner)) {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> claimed;
    for (const std::string& name : names) {
        const std::string target = folder + RecoveryFileName(self, nextSerial);
        // rename is atomic: of two copies taking the same file, one finds it gone.
        if (std::rename((folder + name).c_str(), target.c_str()) == 0) {
            ++nextSerial;
            claimed.push_back(target);
        }
    }
    return claimed;
}
