#include "VideoWriter.h"

#include <deque>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace exporting {

namespace {

std::string AvText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace

struct CVideoWriter::SState {
    AVFormatContext* pFormat = nullptr;
    AVCodecContext* pCodec = nullptr;
    AVStream* pStream = nullptr;
    AVFrame* pFrame = nullptr;
    AVPacket* pPacket = nullptr;
    SwsContext* pScale = nullptr;
    std::string strPath;
    std::int64_t nNextPts = 0;          // in codec time base units
    std::deque<std::int64_t> durations; // of frames sent and not yet received, in order
    std::int64_t nUnitsPerTick = 1;
    bool bHeaderWritten = false;
    bool bFinished = false;

    ~SState() {
        if (pFormat != nullptr && pFormat->pb != nullptr) {
            avio_closep(&pFormat->pb);
        }
        avformat_free_context(pFormat);
        avcodec_free_context(&pCodec);
        av_frame_free(&pFrame);
        av_packet_free(&pPacket);
        sws_freeContext(pScale);
    }

    // Moves every packet the encoder has ready into the file.
    bool Drain(std::string& error) {
        for (;;) {
            const int got = avcodec_receive_packet(pCodec, pPacket);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
                return true;
            }
            if (got < 0) {
                error = strPath + ": the video encoder failed: " + AvText(got);
                return false;
            }
            // No B-frames: packets leave in the order frames went in.
            if (!durations.empty()) {
                pPacket->duration = durations.front();
                durations.pop_front();
            }
            av_packet_rescale_ts(pPacket, pCodec->time_base, pStream->time_base);
            pPacket->stream_index = pStream->index;
            const int written = av_interleaved_write_frame(pFormat, pPacket);
            av_packet_unref(pPacket);
            if (written < 0) {
                error = strPath + ": " + AvText(written);
                return false;
            }
        }
    }
};

CVideoWriter::CVideoWriter() : m_pState(std::make_unique<SState>()) {}

CVideoWriter::~CVideoWriter() = default;

bool CVideoWriter::Open(const std::string& path, int width, int height, int fps,
                        std::string& error) {
    SState& s = *m_pState;
    s.strPath = path;
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
    if (avformat_alloc_output_context2(&s.pFormat, nullptr, "mp4", path.c_str()) < 0 ||
        s.pFormat == nullptr) {
        error = path + ": the MP4 writer could not be set up";
        return false;
    }
    s.pStream = avformat_new_stream(s.pFormat, nullptr);
    s.pCodec = avcodec_alloc_context3(codec);
    s.pFrame = av_frame_alloc();
    s.pPacket = av_packet_alloc();
    if (s.pStream == nullptr || s.pCodec == nullptr || s.pFrame == nullptr ||
        s.pPacket == nullptr) {
        error = "not enough memory for the video encoder";
        return false;
    }
    // A tenth of a frame per unit: a tick of 100 ms is exactly fps units.
    s.nUnitsPerTick = fps;
    s.pCodec->codec_id = AV_CODEC_ID_H264;
    s.pCodec->width = width;
    s.pCodec->height = height;
    s.pCodec->pix_fmt = AV_PIX_FMT_YUV420P;
    s.pCodec->time_base = AVRational{1, fps * 10};
    s.pCodec->framerate = AVRational{fps, 1};
    s.pCodec->max_b_frames = 0;
    s.pCodec->gop_size = fps * 10;
    s.pCodec->color_range = AVCOL_RANGE_MPEG;
    s.pCodec->colorspace = AVCOL_SPC_SMPTE170M;
    s.pCodec->color_primaries = AVCOL_PRI_SMPTE170M;
    s.pCodec->color_trc = AVCOL_TRC_SMPTE170M;
    if ((s.pFormat->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        s.pCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    av_opt_set(s.pCodec->priv_data, "preset", "veryfast", 0);
    av_opt_set(s.pCodec->priv_data, "tune", "stillimage", 0);
    av_opt_set(s.pCodec->priv_data, "crf", "20", 0);
    int rc = avcodec_open2(s.pCodec, codec, nullptr);
    if (rc < 0) {
        error = "the H.264 encoder could not be opened: " + AvText(rc);
        return false;
    }
    avcodec_parameters_from_context(s.pStream->codecpar, s.pCodec);
    s.pStream->time_base = s.pCodec->time_base;
    s.pStream->avg_frame_rate = s.pCodec->framerate;
    s.pFrame->format = AV_PIX_FMT_YUV420P;
    s.pFrame->width = width;
    s.pFrame->height = height;
    if (av_frame_get_buffer(s.pFrame, 0) < 0) {
        error = "not enough memory for a video frame";
        return false;
    }
    s.pScale = sws_getContext(width, height, AV_PIX_FMT_RGB32, width, height, AV_PIX_FMT_YUV420P,
                              SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (s.pScale == nullptr) {
        error = "the colour conversion could not be set up";
        return false;
    }
    rc = avio_open(&s.pFormat->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        error = path + ": " + AvText(rc);
        return false;
    }
    rc = avformat_write_header(s.pFormat, nullptr);
    if (rc < 0) {
        error = path + ": " + AvText(rc);
        return false;
    }
    s.bHeaderWritten = true;
    return true;
}

bool CVideoWriter::AddFrame(const QImage& canvas, std::int64_t ticks, std::string& error) {
    SState& s = *m_pState;
    if (canvas.format() != QImage::Format_RGB32 || canvas.width() != s.pCodec->width ||
        canvas.height() != s.pCodec->height) {
        error = "a video frame of the wrong size";
        return false;
    }
    if (av_frame_make_writable(s.pFrame) < 0) {
        error = "not enough memory for a video frame";
        return false;
    }
    const std::uint8_t* source[1] = {canvas.constBits()};
    const int stride[1] = {static_cast<int>(canvas.bytesPerLine())};
    sws_scale(s.pScale, source, stride, 0, canvas.height(), s.pFrame->data, s.pFrame->linesize);
    const std::int64_t duration = ticks * s.nUnitsPerTick;
    s.pFrame->pts = s.nNextPts;
    s.nNextPts += duration;
    s.durations.push_back(duration);
    const int rc = avcodec_send_frame(s.pCodec, s.pFrame);
    if (rc < 0) {
        error = s.strPath + ": the video encoder failed: " + AvText(rc);
        return false;
    }
    return s.Drain(error);
}

bool CVideoWriter::Finish(std::string& error) {
    SState& s = *m_pState;
    if (!s.bHeaderWritten || s.bFinished) {
        error = s.strPath + ": the video was not started";
        return false;
    }
    s.bFinished = true;
    int rc = avcodec_send_frame(s.pCodec, nullptr);
    if (rc < 0 || !s.Drain(error)) {
        if (error.empty()) {
            error = s.strPath + ": " + AvText(rc);
        }
        return false;
    }
    rc = av_write_trailer(s.pFormat);
    if (rc < 0) {
        error = s.strPath + ": " + AvText(rc);
        return false;
    }
    const bool failed = s.pFormat->pb->error < 0;
    const int ioError = s.pFormat->pb->error;
    rc = avio_closep(&s.pFormat->pb);
    if (failed || rc < 0) {
        error = s.strPath + ": " + AvText(failed ? ioError : rc);
        return false;
    }
    return true;
}

} // namespace exporting
