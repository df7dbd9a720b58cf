#pragma once
// A structural check of a JPEG stream. The JPEG decoder fills a stream that
// ends early with grey and reports success, so a file cut short would otherwise
// be taken as a picture.
#include <cstddef>

namespace render {

// What the segments of a JPEG stream say about the memory its decoding takes.
struct SJpegLayout {
    int nWidth = 0; // as stored, from the first frame header
    int nHeight = 0;
    int nComponents = 0;
    int nMaxH = 1; // the largest sampling factors of the components
    int nMaxV = 1;
    int nSampling[4][2] = {}; // each component's horizontal and vertical sampling factor
    bool bArithmetic = false; // arithmetic coding (frame types 9 to 11, 13 to 15)
    int nScans = 0;
    std::size_t nEntropyBytes = 0; // bytes of entropy-coded data in all scans
};

// True when the bytes start with a start-of-image marker and reach an
// end-of-image marker after at least one scan, every segment length staying
// within the bytes. Fills layout when given.
bool JpegStreamIsComplete(const unsigned char* data, std::size_t size,
                          SJpegLayout* layout = nullptr);

// Bytes the decoder holds for the whole picture's coefficients, whatever the
// scale it decodes at: a stream of several scans (progressive, or components
// one scan each) keeps every block's 64 coefficients of 2 bytes until the last
// scan; a stream of one scan needs none of that.
long long JpegCoefficientBytes(const SJpegLayout& layout);

// False when a Huffman-coded stream has fewer entropy-coded bytes than one bit
// for each 8 x 8 block of its declared size, the least any complete scan takes:
// a few hundred bytes could otherwise declare a picture whose smallest decode
// step alone fills memory.
bool JpegDataCoversDeclaredSize(const SJpegLayout& layout);

} // namespace render
