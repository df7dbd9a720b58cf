#pragma once
// An MP4 file of H.264 video (yuv420p) written through FFmpeg's libraries. Each frame is
// encoded once and stays on screen for its duration; times are kept in ticks of 100 ms on a
// time base of a tenth of a frame, so every duration is exact at any frame rate.
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

namespace exporting {

class CVideoWriter {
public:
    CVideoWriter();
    ~CVideoWriter();
    CVideoWriter(const CVideoWriter&) = delete;
    CVideoWriter& operator=(const CVideoWriter&) = delete;

    // Opens path for frames of width x height (both even) at fps frames per second nominal.
    bool Open(const std::string& path, int width, int height, int fps, std::string& error);
    // Adds a frame (the canvas, RGB32, of the opened size) held for ticks of 100 ms.
    bool AddFrame(const QImage& canvas, std::int64_t ticks, std::string& error);
    // Flushes the encoder and writes the file's index. False when anything failed on the way.
    bool Finish(std::string& error);

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};

} // namespace exporting
