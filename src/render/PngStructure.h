#pragma once
// A structural check of a PNG stream, run before the PNG library sees the file: that library
// prints its errors straight to standard error ("libpng error: IDAT: CRC error") before the
// decoder reports the failure, so a damaged PNG is refused here first, quietly.
#include <cstddef>

namespace render {

// True when the bytes are a PNG signature and chunks up to IEND, each with a correct CRC, the
// header first, and image data that inflates to the end of its stream and to at least the
// bytes the header's size, depth, colour type and interlacing call for.
bool PngStreamIsSound(const unsigned char* data, std::size_t size);
// The part of that check that reading the header needs: the signature and the CRC of every
// chunk before the image data, within the first `size` bytes of the file (a prefix suffices).
bool PngHeadIsSound(const unsigned char* prefix, std::size_t size);

} // namespace render
