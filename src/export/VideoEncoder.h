#pragma once
// The H.264 / MP4 encoder as the video module provides it. Everything that links FFmpeg lives in
// that module (velmo-video.so), which the program opens only when a video is exported, so that
// starting the editor or any other export does not load FFmpeg's libraries.
#include <cstddef>
#include <cstdint>
#include <string>

namespace exporting {

class IVideoEncoder {
public:
    virtual ~IVideoEncoder() = default;
    // Opens path for frames of width x height (both even) at fps frames per second nominal.
    virtual bool Open(const std::string& path, int width, int height, int fps,
                      std::string& error) = 0;
    // Adds a frame of 32-bit pixels (bytes B, G, R, unused; rows stride bytes apart) of the
    // opened size, held for ticks of 100 ms. A frame equal to the one before only lengthens it.
    virtual bool AddFrame(const std::uint8_t* pixels, std::ptrdiff_t stride, std::int64_t ticks,
                          std::string& error) = 0;
    // Encodes what is held, flushes the encoder and writes the file's index.
    virtual bool Finish(std::string& error) = 0;
};

// The module's one exported function: a new encoder, or null when the module was built for
// another version of this interface. The caller deletes the encoder.
using VideoEncoderFactory = IVideoEncoder* (*)(int version);
inline constexpr const char* kVideoEncoderFactoryName = "velmo_video_encoder_create";
inline constexpr int kVideoEncoderVersion = 1;
inline constexpr const char* kVideoModuleFileName = "velmo-video.so";

} // namespace exporting
