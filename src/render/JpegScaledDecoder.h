#pragma once
// A JPEG decoded by the JPEG library itself at a reduced scale, straight into the drawing format:
// the inverse transform scales by n/8, and the colour conversion writes 32-bit opaque pixels
// (Format_RGB32) into the rows of the result, so no 24-bit copy is made and converted.
//
// Errors never reach standard error and never end the process: a damaged stream is reported as
// a failure. Streams this path does not decode (CMYK, YCCK) are left to Qt's reader.
#include <QByteArray>
#include <QImage>
#include <QSize>

namespace render {

enum class EJpegDecode {
    Decoded,
    Unsupported, // not a failure: the stream needs another decoder (four colour components)
    Failed       // damaged, cut short or refused by the library
};

// The size of a picture stored as `stored` decoded at scale eighths/8 (1 to 8): each side
// rounded down, at least 1.
QSize JpegScaledSize(QSize stored, int eighths);

// Decodes the JPEG held in bytes at scale eighths/8 (1 to 8) into a new Format_RGB32 image of
// JpegScaledSize, as stored (the photo's orientation is not applied). Damaged data (a Huffman
// code that does not exist, a segment or the file ending early) is a failure, not grey pixels.
EJpegDecode DecodeJpegScaled(const QByteArray& bytes, int eighths, QImage& out);

// A new image of the given size and format (32 bits a pixel) whose rows, when they are many
// megabytes, lie in memory the system may back with large pages: a screen-sized or photo-sized
// buffer is then faulted in a few hundred times instead of thousands, which costs several times
// less processor time than writing it the first time otherwise does. The pixels are not set.
// Null when the memory cannot be had.
QImage NewLargeImage(QSize size, QImage::Format format = QImage::Format_RGB32);

// While one of these lives (on any thread), a large pixel buffer of the two functions above that
// is let go of is kept, one at a time, and given to the next of them that needs a buffer of the
// same size, instead of going back to the system: fresh memory is zeroed by the system when it
// is first written, which costs an export that decodes photographs of one size one after
// another a few milliseconds a picture. The buffer kept is freed when the last of these ends.
class CPixelBufferReuse {
public:
    CPixelBufferReuse();
    ~CPixelBufferReuse();
    CPixelBufferReuse(const CPixelBufferReuse&) = delete;
    CPixelBufferReuse& operator=(const CPixelBufferReuse&) = delete;
};

} // namespace render
