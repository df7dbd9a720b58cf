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
    return MakeFromProgramModule<IVideoEncoder>(path, kVideoEncoderFactoryName,
                                                kVideoEncoderVersion, kVideoRole, error);
}

std::unique_ptr<IVideoEncoder> OpenVideoEncoder(std::string& error) {
    return OpenVideoEncoderAt(FindProgramModule(kVideoModuleFileName), error);
}

} // namespace exporting
