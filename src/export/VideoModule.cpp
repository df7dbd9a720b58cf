#include "VideoModule.h"

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

std::vector<std::string> VideoModuleCandidates(const std::string& exeFolder) {
    std::vector<std::string> candidates;
    const std::string file = std::string(kModuleFolder) + kVideoModuleFileName;
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

std::unique_ptr<IVideoEncoder> OpenVideoEncoderAt(const std::string& path, std::string& error) {
    // Opened once and kept: the encoder's libraries are not made to be unloaded.
    static std::mutex mutex;
    static std::unordered_map<std::string, void*> opened;
    std::lock_guard<std::mutex> lock(mutex);
    void*& handle = opened[path];
    if (handle == nullptr) {
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    const std::string unusable = "videos are written by the video module " + path + ", which ";
    if (handle == nullptr) {
        const char* why = ::dlerror();
        error = unusable + "could not be loaded: " + (why != nullptr ? why : "unknown error");
        return nullptr;
    }
    const auto factory =
        reinterpret_cast<VideoEncoderFactory>(::dlsym(handle, kVideoEncoderFactoryName));
    if (factory == nullptr) {
        error = unusable + "is not a video module of this program";
        return nullptr;
    }
    std::unique_ptr<IVideoEncoder> encoder(factory(kVideoEncoderVersion));
    if (encoder == nullptr) {
        error = unusable + "belongs to another version of this program";
    }
    return encoder;
}

std::unique_ptr<IVideoEncoder> OpenVideoEncoder(std::string& error) {
    const std::vector<std::string> candidates = VideoModuleCandidates(RunningProgramFolder());
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), F_OK) == 0) {
            return OpenVideoEncoderAt(candidate, error);
        }
    }
    return OpenVideoEncoderAt(candidates.front(), error);
}

} // namespace exporting
