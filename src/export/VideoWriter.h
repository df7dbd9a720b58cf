#pragma once
// An MP4 file of H.264 video (yuv420p), written by the video module (see VideoModule.h), which
// is opened when the first video is written. Each frame is encoded once and stays on screen for
// its duration; a frame equal to the one before only lengthens it.
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

#include "VideoEncoder.h"

namespace exporting {

class CVideoWriter {
public:
    CVideoWriter() = default;
    CVideoWriter(const CVideoWriter&) = delete;
    CVideoWriter& operator=(const CVideoWriter&) = delete;

    // Opens path for frames of width x height (both even) at fps frames per second nominal.
    // Fails with a message naming the module's file when the module cannot be used.
    bool Open(const std::string& path, int width, int height, int fps, std::string& error);
    // Adds a frame (the canvas, RGB32, of the opened size) held for ticks of 100 ms.
    bool AddFrame(const QImage& canvas, std::int64_t ticks, std::string& error);
    // Flushes the encoder and writes the file's index. False when anything failed on the way.
    bool Finish(std::string& error);

private:
    std::unique_ptr<IVideoEncoder> m_pEncoder;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

} // namespace exporting
