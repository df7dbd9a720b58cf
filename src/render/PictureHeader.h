#pragma once
// A picture's size read from its file's header alone, without decoding any pixels: what a report
// of a panel's contents needs. Decoding a large picture only to tell its size would take the
// time and memory of the whole decode.
#include "model/PictureDecoder.h"

namespace render {

class CPictureHeaderReader final : public IPictureDecoder {
public:
    // A picture that knows its size as shown (after the photo's orientation) and has no
    // pixels; null for anything but a regular file with a readable picture header. Any thread.
    PictureHandle Decode(const std::string& path) override;
};

} // namespace render
