#pragma once
// A private folder for fuzz targets that must hand bytes to code reading files by path; kept in
// memory (/dev/shm) where possible so that a run costs no disk writes.
#include <cstddef>
#include <cstdint>
#include <string>

// The folder, made once per process, ending with '/'.
const std::string& FuzzFolder();
// Writes the bytes to name inside FuzzFolder() and returns its path; aborts on failure.
std::string WriteFuzzFile(const std::string& name, const std::uint8_t* data, std::size_t size);
