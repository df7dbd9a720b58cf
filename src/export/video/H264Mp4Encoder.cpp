// The video module: an MP4 file of H.264 video (yuv420p) written through FFmpeg's libraries,
// behind IVideoEncoder. Each frame is converted once (libyuv's SIMD conversion to BT.601
// limited range), compared with the frame before, encoded once and held for its duration;
// times are kept in ticks of 100 ms on a time base of a tenth of a frame, so every duration is
// exact at any frame rate.
#include <cstring>
#include <deque>
#include <libyuv/convert_from_argb.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include "export/VideoEncoder.h"

namespace {

using exporting::IVideoEncoder;

// The encoder's settings. One thread: the export's processor time counts every thread, and
// frame threads and look-ahead only add work and buffers to a slide show of still frames.
// The fastest preset with one quantiser for every frame: a quantiser that follows a frame's
// complexity codes a frame that changes a little (a balloon) at a finer step than the photo
// before it, and so re-codes the whole photo. A constant quantiser also spares the encoder the
// quarter-size copy of each frame it builds to estimate complexity for rate control.
constexpr const char* kPreset = "ultrafast";
constexpr const char* kQuantiser = "12";

std::string AvText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool SamePlanes(const AVFrame& a, const AVFrame& b, int width, int height) {
    for (int plane = 0; plane < 3; ++plane) {
        const int w = plane == 0 ? width : width / 2;
        const int h = plane == 0 ? height : height / 2;
        for (int y = 0; y < h; ++y) {
            if (std::memcmp(a.data[plane] + std::ptrdiff_t(y) * a.linesize[plane],
                            b.data[plane] + std::ptrdiff_t(y) * b.linesize[plane],
                            std::size_t(w)) != 0) {
                return false;
            }
        }
    }
    return true;
}

class CH264Mp4Encoder final : public IVideoEncoder {
public:
    ~CH264Mp4Encoder() override {
        if (m_pFormat != nullptr && m_pFormat->pb != nullptr) {
            avio_closep(&m_pFormat->pb);
        }
        avformat_free_context(m_pFormat);
        avcodec_free_context(&m_pCodec);
        av_frame_free(&m_pPending);
        av_frame_free(&m_pNext);
        av_packet_free(&m_pPacket);
    }

    bool Open(const std::string& path, int width, int height, int fps, std::string& error) override;
    bool AddFrame(const std::uint8_t* pixels, std::ptrdiff_t stride, std::int64_t ticks,
                  std::string& error) override;
    bool Finish(std::string& error) override;

private:
    bool Drain(std::string& error);
    bool EncodePending(std::string& error);

    AVFormatContext* m_pFormat = nullptr;
    AVCodecContext* m_pCodec = nullptr;
    AVStream* m_pStream = nullptr;
    AVFrame* m_pPending = nullptr; // the frame held, not yet encoded
    AVFrame* m_pNext = nullptr;    // the frame being converted
    AVPacket* m_pPacket = nullptr;
    std::string m_strPath;
    std::int64_t m_nPendingTicks = 0;
    std::int64_t m_nNextPts = 0;          // in codec time base units
    std::deque<std::int64_t> m_durations; // of frames sent and not yet received, in order
    std::int64_t m_nUnitsPerTick = 1;
    bool m_bHeaderWritten = false;
    bool m_bFinished = false;
};

AVFrame* NewFrame(int width, int height) {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr) {
        return nullptr;
    }
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame, 0) < 0) {
        av_frame_free(&frame);
    }
    return frame;
}

bool CH264Mp4Encoder::Open(const std::string& path, int width, int height, int fps,
                           std::string& error) {
    m_strPath = path;
    // The encoder's own notes (its options, its statistics) are not for the user.
    av_log_set_level(AV_LOG_ERROR);
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) {
        codec = avcodec_find_encoder(AV_CODEC_ID_H264);
    }
    if (codec == nullptr) {
        error = "no H.264 encoder is available in this FFmpeg";
        return false;
    }
    if (avformat_alloc_output_context2(&m_pFormat, nullptr, "mp4", path.c_str()) < 0 ||
        m_pFormat == nullptr) {
        error = path + ": the MP4 writer could not be set up";
        return false;
    }
    m_pStream = avformat_new_stream(m_pFormat, nullptr);
    m_pCodec = avcodec_alloc_context3(codec);
    m_pPending = NewFrame(width, height);
    m_pNext = NewFrame(width, height);
    m_pPacket = av_packet_alloc();
    if (m_pStream == nullptr || m_pCodec == nullptr || m_pPending == nullptr ||
        m_pNext == nullptr || m_pPacket == nullptr) {
        error = "not enough memory for the video encoder";
        return false;
    }
    // A tenth of a frame per unit: a tick of 100 ms is exactly fps units.
    m_nUnitsPerTick = fps;
    m_pCodec->codec_id = AV_CODEC_ID_H264;
    m_pCodec->width = width;
    m_pCodec->height = height;
    m_pCodec->pix_fmt = AV_PIX_FMT_YUV420P;
    m_pCodec->time_base = AVRational{1, fps * 10};
    m_pCodec->framerate = AVRational{fps, 1};
    m_pCodec->max_b_frames = 0;
    m_pCodec->gop_size = fps * 10;
    m_pCodec->thread_count = 1;
    m_pCodec->color_range = AVCOL_RANGE_MPEG;
    m_pCodec->colorspace = AVCOL_SPC_SMPTE170M;
    m_pCodec->color_primaries = AVCOL_PRI_SMPTE170M;
    m_pCodec->color_trc = AVCOL_TRC_SMPTE170M;
    if ((m_pFormat->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        m_pCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    av_opt_set(m_pCodec->priv_data, "preset", kPreset, 0);
    av_opt_set(m_pCodec->priv_data, "qp", kQuantiser, 0);
    int rc = avcodec_open2(m_pCodec, codec, nullptr);
    if (rc < 0) {
        error = "the H.264 encoder could not be opened: " + AvText(rc);
        return false;
    }
    avcodec_parameters_from_context(m_pStream->codecpar, m_pCodec);
    m_pStream->time_base = m_pCodec->time_base;
    m_pStream->avg_frame_rate = m_pCodec->framerate;
    rc = avio_open(&m_pFormat->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        error = path + ": " + AvText(rc);
        return false;
    }
    rc = avformat_write_header(m_pFormat, nullptr);
    if (rc < 0) {
        error = path + ": " + AvText(rc);
        return false;
    }
    m_bHeaderWritten = true;
    return true;
}

// Moves every packet the encoder has ready into the file.
bool CH264Mp4Encoder::Drain(std::string& error) {
    for (;;) {
        const int got = avcodec_receive_packet(m_pCodec, m_pPacket);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
            return true;
        }
        if (got < 0) {
            error = m_strPath + ": the video encoder failed: " + AvText(got);
            return false;
        }
        // No B-frames: packets leave in the order frames went in.
        if (!m_durations.empty()) {
            m_pPacket->duration = m_durations.front();
            m_durations.pop_front();
        }
        av_packet_rescale_ts(m_pPacket, m_pCodec->time_base, m_pStream->time_base);
        m_pPacket->stream_index = m_pStream->index;
        const int written = av_interleaved_write_frame(m_pFormat, m_pPacket);
        av_packet_unref(m_pPacket);
        if (written < 0) {
            error = m_strPath + ": " + AvText(written);
            return false;
        }
    }
}

bool CH264Mp4Encoder::EncodePending(std::string& error) {
    if (m_nPendingTicks == 0) {
        return true;
    }
    const std::int64_t duration = m_nPendingTicks * m_nUnitsPerTick;
    m_nPendingTicks = 0;
    m_pPending->pts = m_nNextPts;
    m_nNextPts += duration;
    m_durations.push_back(duration);
    const int rc = avcodec_send_frame(m_pCodec, m_pPending);
    if (rc < 0) {
        error = m_strPath + ": the video encoder failed: " + AvText(rc);
        return false;
    }
    return Drain(error);
}

bool CH264Mp4Encoder::AddFrame(const std::uint8_t* pixels, std::ptrdiff_t stride,
                               std::int64_t ticks, std::string& error) {
    if (!m_bHeaderWritten || m_bFinished) {
        error = m_strPath + ": the video was not started";
        return false;
    }
    // The encoder lets go of a frame once it has taken its pixels; this copies only if not.
    if (av_frame_make_writable(m_pNext) < 0) {
        error = "not enough memory for a video frame";
        return false;
    }
    const int width = m_pCodec->width;
    const int height = m_pCodec->height;
    libyuv::ARGBToI420(pixels, int(stride), m_pNext->data[0], m_pNext->linesize[0],
                       m_pNext->data[1], m_pNext->linesize[1], m_pNext->data[2],
                       m_pNext->linesize[2], width, height);
    if (m_nPendingTicks > 0 && SamePlanes(*m_pPending, *m_pNext, width, height)) {
        m_nPendingTicks += ticks;
        return true;
    }
    if (!EncodePending(error)) {
        return false;
    }
    std::swap(m_pPending, m_pNext);
    m_nPendingTicks = ticks;
    return true;
}

bool CH264Mp4Encoder::Finish(std::string& error) {
    if (!m_bHeaderWritten || m_bFinished) {
        error = m_strPath + ": the video was not started";
        return false;
    }
    m_bFinished = true;
    if (!EncodePending(error)) {
        return false;
    }
    int rc = avcodec_send_frame(m_pCodec, nullptr);
    if (rc < 0 || !Drain(error)) {
        if (error.empty()) {
            error = m_strPath + ": " + AvText(rc);
        }
        return false;
    }
    rc = av_write_trailer(m_pFormat);
    if (rc < 0) {
        error = m_strPath + ": " + AvText(rc);
        return false;
    }
    const bool failed = m_pFormat->pb->error < 0;
    const int ioError = m_pFormat->pb->error;
    rc = avio_closep(&m_pFormat->pb);
    if (failed || rc < 0) {
        error = m_strPath + ": " + AvText(failed ? ioError : rc);
        return false;
    }
    return true;
}

} // namespace

extern "C" __attribute__((visibility("default"))) IVideoEncoder*
velmo_video_encoder_create(int version) {
    if (version != exporting::kVideoEncoderVersion) {
        return nullptr;
    }
    return new (std::nothrow) CH264Mp4Encoder();
}
