#pragma once
// Finding and opening the video module (velmo-video.so) at the moment a video is exported.
// Installed, it lies in lib/velmo/ under the program's prefix (/usr/bin/velmo ->
// /usr/lib/velmo/velmo-video.so); in a build folder, in lib/velmo/ of the build folder, found
// by looking up from the folder of the running program.
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
