#pragma once
// Small file-system helpers on UTF-8 paths.
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

struct stat;

// The folder part of a path, ending with '/'; "" for a bare name.
std::string FolderOf(const std::string& path);
// The last component of a path (after the last '/').
std::string FileNameOf(const std::string& path);
bool IsRegularFile(const std::string& path);

// The errno value given for a path that names something other than a regular file or a folder
// (a FIFO, a device, a socket): such a thing is never read as a document or a picture.
constexpr int kErrNotRegularFile = ENODEV;

// Opens a file for reading without ever blocking (a FIFO or a device returns at once) and only
// when the opened descriptor is a regular file, so that nothing can be swapped in between the
// check and the read. Returns the descriptor (close-on-exec) and fills st, or -1 with err set:
// EISDIR for a folder, kErrNotRegularFile for anything else that is not a regular file.
int OpenRegularFile(const std::string& path, struct stat& st, int& err);
// Reads a whole regular file; on failure returns false and sets err to the errno value.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& err,
                   long long maxBytes);
// Replaces the file at path with bytes so that any failure or kill leaves the old file whole
// (FileReplacement.h). On failure err holds the errno value.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, int& err);
