#pragma once
// Opening the video module (velmo-video.so) at the moment a video is exported; where it is
// looked for is ProgramModule.h's.
#include <memory>
#include <string>
#include <vector>

#include "VideoEncoder.h"

namespace exporting {

// The places the module is looked for, in order, for a program in exeFolder.
std::vector<std::string> VideoModuleCandidates(const std::string& exeFolder);

// Opens the module at path (once per process; it stays loaded) and makes an encoder. On failure
// null, and error names the file and why it could not be used.
std::unique_ptr<IVideoEncoder> OpenVideoEncoderAt(const std::string& path, std::string& error);

// The module of the running program: the first candidate that exists (the installed place
// when none does, so that the message names it).
std::unique_ptr<IVideoEncoder> OpenVideoEncoder(std::string& error);

} // namespace exporting
