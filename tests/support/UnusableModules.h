#pragma once
// The program's modules (the video and the print module) refuse an unusable file the same way:
// an absent file, a file that is no library, and a library that is no module of this program
// (Qt Core) each fail with the file's path and the reason in the message.
#include <functional>
#include <string>

namespace testsupport {

// Opens each unusable file through open (true when it was accepted) and records a test failure
// for one accepted or not explained; kind is the module's name in messages ("video module").
void ExpectUnusableModulesRefused(
    const std::function<bool(const std::string& path, std::string& error)>& open,
    const std::string& kind);

} // namespace testsupport
