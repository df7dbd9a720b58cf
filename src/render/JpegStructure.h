#pragma once
// A structural check of a JPEG stream. The JPEG decoder fills a stream that ends early with grey
// and reports success, so a file cut short would otherwise be taken as a picture.
#include <cstddef>

namespace render {

// True when the bytes start with a start-of-image marker and reach an end-of-image marker after
// at least one scan, every segment length staying within the bytes.
bool JpegStreamIsComplete(const unsigned char* data, std::size_t size);

} // namespace render
