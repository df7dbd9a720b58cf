#pragma once
// A check of a BMP file's length against its header. The BMP reader fills the rows of a file cut
// short and reports success, so a truncated file would otherwise be taken as a whole picture.
#include <cstddef>

namespace render {

// How much of the file's start BmpDataIsComplete reads.
constexpr int kBmpHeaderBytes = 54;

// True when a BMP file of fileSize bytes, starting with header (headerSize bytes of it), holds
// all the pixel data its header declares: offset + rows x row size for uncompressed pictures,
// offset + the declared data size for run-length compressed ones.
bool BmpDataIsComplete(const unsigned char* header, std::size_t headerSize, long long fileSize);

} // namespace render
