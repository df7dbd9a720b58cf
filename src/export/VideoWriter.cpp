#include "VideoWriter.h"

#include "VideoModule.h"

namespace exporting {

bool CVideoWriter::Open(const std::string& path, int width, int height, int fps,
                        std::string& error) {
    m_pEncoder = OpenVideoEncoder(error);
    if (m_pEncoder == nullptr) {
        return false;
    }
    m_nWidth = width;
    m_nHeight = height;
    return m_pEncoder->Open(path, width, height, fps, error);
}

bool CVideoWriter::AddFrame(const QImage& canvas, std::int64_t ticks, std::string& error) {
    if (m_pEncoder == nullptr) {
        error = "the video was not started";
        return false;
    }
    if (canvas.format() != QImage::Format_RGB32 || canvas.width() != m_nWidth ||
        canvas.height() != m_nHeight) {
        error = "a video frame of the wrong size";
        return false;
    }
    return m_pEncoder->AddFrame(canvas.constBits(), canvas.bytesPerLine(), ticks, error);
}

bool CVideoWriter::Finish(std::string& error) {
    if (m_pEncoder == nullptr) {
        error = "the video was not started";
        return false;
    }
    return m_pEncoder->Finish(error);
}

} // namespace exporting
