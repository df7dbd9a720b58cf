#pragma once
// PNG files of exported pictures: each row filtered by its left neighbour ("sub") and the whole
// compressed at once by libdeflate at its fastest level, in one IDAT chunk.
#include <QImage>
#include <cstddef>
#include <memory>
#include <string>

namespace exporting {

// The bytes of one PNG file.
class CPngBytes {
public:
    const char* Data() const { return reinterpret_cast<const char*>(m_pBytes.get()); }
    std::size_t Size() const { return m_nSize; }

private:
    friend bool EncodePng(const QImage&, CPngBytes&, std::string&);
    std::unique_ptr<unsigned char[]> m_pBytes;
    std::size_t m_nSize = 0;
};

// The image as a PNG: 8-bit RGB when it has no alpha channel, else 8-bit RGBA (not
// premultiplied), with its density (pHYs) when it has one. False with a message when the image
// is null or memory runs out.
bool EncodePng(const QImage& image, CPngBytes& png, std::string& error);

} // namespace exporting
