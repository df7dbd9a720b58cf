#pragma once
// Small file-system helpers on UTF-8 paths.
#include <cstdint>
#include <string>
#include <vector>

// The folder part of a path, ending with '/'; "" for a bare name.
std::string FolderOf(const std::string& path);
// The last component of a path (after the last '/').
std::string FileNameOf(const std::string& path);
bool IsRegularFile(const std::string& path);
// Reads a whole file; on failure returns false and sets err to the errno value.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& err,
                   long long maxBytes);
// Writes bytes to a temporary file in the target's folder and renames it over the target.
// On failure the target is untouched and err holds the errno value.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, int& err);
