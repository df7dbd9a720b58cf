#include "AnimatedWebp.h"

#include <limits>
#include <webp/encode.h>
#include <webp/mux.h>

#include "AtomicOutput.h"
#include "ShowLayers.h"

namespace exporting {

namespace {
constexpr float kQuality = 80.0F;
} // namespace

CAnimatedWebp::~CAnimatedWebp() {
    WebPAnimEncoderDelete(m_pEncoder);
}

bool CAnimatedWebp::Open(int width, int height, std::string& error) {
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options)) {
        error = "the WebP animation encoder does not match its library";
        return false;
    }
    options.anim_params.loop_count = 0;
    m_pEncoder = WebPAnimEncoderNew(width, height, &options);
    if (m_pEncoder == nullptr) {
        error = "the WebP animation encoder could not be set up for " + std::to_string(width) +
                " x " + std::to_string(height) + " (at most 16383 a side)";
        return false;
    }
    m_nWidth = width;
    m_nHeight = height;
    return true;
}

bool CAnimatedWebp::AddFrame(const QImage& canvas, std::int64_t ticks, std::string& error) {
    if (m_nTimestamp + ticks * kTickMilliseconds > std::numeric_limits<int>::max()) {
        error = "an animated WebP lasts at most 24 days";
        return false;
    }
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) {
        error = "the WebP encoder does not match its library";
        return false;
    }
    config.quality = kQuality;
    config.method = 2;
    picture.use_argb = 1;
    picture.width = m_nWidth;
    picture.height = m_nHeight;
    // RGB32 is B, G, R, 255 in memory on a little-endian machine, 255, R, G, B on a big one.
    const bool imported =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian
            ? WebPPictureImportBGRX(&picture, canvas.constBits(), int(canvas.bytesPerLine()))
            : WebPPictureImportRGBX(&picture,
                                    canvas.convertToFormat(QImage::Format_RGBX8888).constBits(),
                                    int(canvas.bytesPerLine()));
    bool ok = imported && WebPAnimEncoderAdd(m_pEncoder, &picture, int(m_nTimestamp), &config);
    WebPPictureFree(&picture);
    if (!ok) {
        error = std::string("the WebP animation encoder failed: ") +
                WebPAnimEncoderGetError(m_pEncoder);
        return false;
    }
    m_nTimestamp += ticks * kTickMilliseconds;
    return true;
}

bool CAnimatedWebp::Finish(const std::string& path, std::string& error) {
    WebPData data;
    WebPDataInit(&data);
    const bool ok = WebPAnimEncoderAdd(m_pEncoder, nullptr, int(m_nTimestamp), nullptr) &&
                    WebPAnimEncoderAssemble(m_pEncoder, &data);
    if (!ok) {
        error = std::string("the WebP animation encoder failed: ") +
                WebPAnimEncoderGetError(m_pEncoder);
        WebPDataClear(&data);
        return false;
    }
    const bool written =
        WriteWholeFile(path, reinterpret_cast<const char*>(data.bytes), data.size, error);
    WebPDataClear(&data);
    return written;
}

} // namespace exporting
