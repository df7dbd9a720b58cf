#pragma once
// What the model asks of picture decoding. The model only needs the picture's size; the
// drawing layer implements the decoder and keeps the pixels behind the handle. Whoever reads a
// panel hands its decoder over: the panel document and the player hold one given at
// construction, and nothing in the model reaches for a decoder of its own.
#include <memory>
#include <string>

class CDecodedPicture {
public:
    virtual ~CDecodedPicture() = default;
    virtual int Width() const = 0;  // W, the picture as shown
    virtual int Height() const = 0; // H
};

using PictureHandle = std::shared_ptr<const CDecodedPicture>;

class IPictureDecoder {
public:
    virtual ~IPictureDecoder() = default;
    // Decodes the file at a file-system path (UTF-8). Returns null for a missing, unreadable
    // or undecodable file; never throws.
    virtual PictureHandle Decode(const std::string& path) = 0;
};
