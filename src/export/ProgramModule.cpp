#include "ProgramModule.h"

#include <dlfcn.h>
#include <mutex>
#include <unistd.h>
#include <unordered_map>

namespace exporting {

namespace {

constexpr const char* kModuleFolder = "lib/velmo/";

std::string ParentOf(const std::string& folder) {
    const std::size_t slash = folder.find_last_of('/', folder.size() - 1);
    return slash == std::string::npos || slash == 0 ? std::string("/") : folder.substr(0, slash);
}

std::string Joined(const std::string& folder, const std::string& rest) {
    return folder.back() == '/' ? folder + rest : folder + "/" + rest;
}

std::string RunningProgramFolder() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return ".";
    }
    return ParentOf(std::string(buffer, std::size_t(n)));
}

} // namespace

std::vector<std::string> ProgramModuleCandidates(const std::string& exeFolder,
                                                 const std::string& fileName) {
    std::vector<std::string> candidates;
    const std::string file = kModuleFolder + fileName;
    // Installed: beside bin/ under the same prefix. Then each folder further up, for the build
    // folder's lib/velmo/ seen from the program, a test or a benchmark in its subfolders.
    std::string folder = ParentOf(exeFolder);
    candidates.push_back(Joined(folder, file));
    candidates.push_back(Joined(exeFolder, file));
    for (int up = 0; up < 4 && folder != "/"; ++up) {
        folder = ParentOf(folder);
        candidates.push_back(Joined(folder, file));
    }
    return candidates;
}

std::string FindProgramModule(const std::string& fileName) {
    const std::vector<std::string> candidates =
        ProgramModuleCandidates(RunningProgramFolder(), fileName);
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), F_OK) == 0) {
            return candidate;
        }
    }
    return candidates.front();
}

std::string UnusableModuleMessage(const SModuleRole& role, const std::string& path,
                                  const std::string& why) {
    return std::string(role.purpose) + " by the " + role.kind + " " + path + ", which " + why;
}

void* ProgramModuleFunction(const std::string& path, const char* symbol, const SModuleRole& role,
                            std::string& error) {
    static std::mutex mutex;
    static std::unordered_map<std::string, void*> opened;
    std::lock_guard<std::mutex> lock(mutex);
    void*& handle = opened[path];
    if (handle == nullptr) {
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (handle == nullptr) {
        const char* why = ::dlerror();
        error = UnusableModuleMessage(role, path,
                                      std::string("could not be loaded: ") +
                                          (why != nullptr ? why : "unknown error"));
        return nullptr;
    }
    void* function = ::dlsym(handle, symbol);
    if (function == nullptr) {
        error = UnusableModuleMessage(role, path,
                                      std::string("is not a ") + role.kind + " of this program");
    }
    return function;
}

} // namespace exporting
