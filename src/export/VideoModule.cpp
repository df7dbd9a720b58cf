#include "VideoModule.h"

#include "ProgramModule.h"

namespace exporting {

namespace {

constexpr SModuleRole kVideoRole{"videos are written", "video module"};

} // namespace

std::vector<std::string> VideoModuleCandidates(const std::string& exeFolder) {
    return ProgramModuleCandidates(exeFolder, kVideoModuleFileName);
}

std::unique_ptr<IVideoEncoder> OpenVideoEncoderAt(const std::string& path, std::string& error) {
    const auto factory = reinterpret_cast<VideoEncoderFactory>(
        ProgramModuleFunction(path, kVideoEncoderFactoryName, kVideoRole, error));
    if (factory == nullptr) {
        return nullptr;
    }
    std::unique_ptr<IVideoEncoder> encoder(factory(kVideoEncoderVersion));
    if (encoder == nullptr) {
        error =
            UnusableModuleMessage(kVideoRole, path, "belongs to another version of this program");
    }
    return encoder;
}

std::unique_ptr<IVideoEncoder> OpenVideoEncoder(std::string& error) {
    return OpenVideoEncoderAt(FindProgramModule(kVideoModuleFileName), error);
}

} // namespace exporting
