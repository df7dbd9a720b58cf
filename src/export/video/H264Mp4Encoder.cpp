// The video module: an MP4 file of H.264 video (yuv420p), encoded by libx264 and written by
// FFmpeg's libavformat, behind IVideoEncoder. Each frame is converted once (libyuv's SIMD
// conversion to BT.601 limited range), compared with the frame before, encoded once and held
// for its duration; times are kept in ticks of 100 ms on a time base of a tenth of a frame, so
// every duration is exact at any frame rate. The encoder is told which macroblocks did not
// change since the frame it coded last (a balloon added over a photo changes a few of them),
// so it passes over those without analysing them.
#include <cstdlib>
#include <cstring>
#include <deque>
#include <libyuv/convert_from_argb.h>
#include <x264.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include "ChangedBlocks.h"
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
constexpr int kQuantiser = 12;
constexpr int kSmpte170m = 6; // colour primaries, transfer and matrix of BT.601 (525 lines)

std::string AvText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// A frame in the encoder's input format, owned here.
struct SPlanes {
    x264_picture_t picture{};
    bool bAllocated = false;

    SPlanes() = default;
    SPlanes(const SPlanes&) = delete;
    SPlanes& operator=(const SPlanes&) = delete;
    ~SPlanes() {
        if (bAllocated) {
            x264_picture_clean(&picture);
        }
    }
    bool Allocate(int width, int height) {
        bAllocated = x264_picture_alloc(&picture, X264_CSP_I420, width, height) == 0;
        return bAllocated;
    }
    video::SPlaneView View() const {
        return {{picture.img.plane[0], picture.img.plane[1], picture.img.plane[2]},
                {picture.img.i_stride[0], picture.img.i_stride[1], picture.img.i_stride[2]}};
    }
};

class CH264Mp4Encoder final : public IVideoEncoder {
public:
    ~CH264Mp4Encoder() override {
        if (m_pEncoder != nullptr) {
            x264_encoder_close(m_pEncoder);
        }
        if (m_pFormat != nullptr && m_pFormat->pb != nullptr) {
            avio_closep(&m_pFormat->pb);
        }
        avformat_free_context(m_pFormat);
        av_packet_free(&m_pPacket);
    }

    bool Open(const std::string& path, int width, int height, int fps, std::string& error) override;
    bool AddFrame(const std::uint8_t* pixels, std::ptrdiff_t stride, std::int64_t ticks,
                  std::string& error) override;
    bool Finish(std::string& error) override;

private:
    bool OpenEncoder(int fps, std::string& error);
    bool Write(const std::uint8_t* payload, int size, const x264_picture_t& out,
               std::string& error);
    bool EncodePending(std::string& error);

    x264_t* m_pEncoder = nullptr;
    AVFormatContext* m_pFormat = nullptr;
    AVStream* m_pStream = nullptr;
    AVPacket* m_pPacket = nullptr;
    // The frame last given to the encoder, the frame held (not yet encoded) and the frame being
    // converted; they change places as frames go by.
    SPlanes m_planes[3];
    SPlanes* m_pSent = &m_planes[0];
    SPlanes* m_pPending = &m_planes[1];
    SPlanes* m_pNext = &m_planes[2];
    bool m_bSentAny = false;
    std::string m_strPath;
    int m_nWidth = 0;
    int m_nHeight = 0;
    AVRational m_timeBase{1, 1};
    std::int64_t m_nPendingTicks = 0;
    std::int64_t m_nNextPts = 0;          // in the time base's units
    std::deque<std::int64_t> m_durations; // of frames sent and not yet written, in order
    std::int64_t m_nUnitsPerTick = 1;
    bool m_bHeaderWritten = false;
    bool m_bFinished = false;
};

bool CH264Mp4Encoder::OpenEncoder(int fps, std::string& error) {
    x264_param_t param;
    if (x264_param_default_preset(&param, kPreset, nullptr) < 0) {
        error = "the H.264 encoder could not be set up";
        return false;
    }
    // The encoder's own notes (its options, its statistics) are not for the user.
    param.i_log_level = X264_LOG_NONE;
    param.i_threads = 1;
    param.i_lookahead_threads = 1;
    param.i_width = m_nWidth;
    param.i_height = m_nHeight;
    param.i_csp = X264_CSP_I420;
    param.i_bframe = 0;
    param.i_keyint_max = fps * 10;
    param.i_fps_num = static_cast<std::uint32_t>(fps);
    param.i_fps_den = 1;
    param.i_timebase_num = static_cast<std::uint32_t>(m_timeBase.num);
    param.i_timebase_den = static_cast<std::uint32_t>(m_timeBase.den);
    param.b_vfr_input = 1;
    param.rc.i_rc_method = X264_RC_CQP;
    param.rc.i_qp_constant = kQuantiser;
    param.analyse.b_mb_info = 1;
    param.vui.b_fullrange = 0;
    param.vui.i_colorprim = kSmpte170m;
    param.vui.i_transfer = kSmpte170m;
    param.vui.i_colmatrix = kSmpte170m;
    // Start codes, and the parameter sets once in the file's header rather than in the stream:
    // the MP4 writer turns both into its own form.
    param.b_annexb = 1;
    param.b_repeat_headers = 0;
    m_pEncoder = x264_encoder_open(&param);
    if (m_pEncoder == nullptr) {
        error = "the H.264 encoder could not be opened";
        return false;
    }
    x264_nal_t* nals = nullptr;
    int count = 0;
    if (x264_encoder_headers(m_pEncoder, &nals, &count) < 0) {
        error = "the H.264 encoder gave no stream header";
        return false;
    }
    // The sequence and picture parameter sets; the encoder's note about itself is left out.
    std::size_t size = 0;
    for (int i = 0; i < count; ++i) {
        if (nals[i].i_type == NAL_SPS || nals[i].i_type == NAL_PPS) {
            size += static_cast<std::size_t>(nals[i].i_payload);
        }
    }
    auto* extra = static_cast<std::uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
    if (extra == nullptr) {
        error = "not enough memory for the video encoder";
        return false;
    }
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) {
        if (nals[i].i_type == NAL_SPS || nals[i].i_type == NAL_PPS) {
            std::memcpy(extra + at, nals[i].p_payload, static_cast<std::size_t>(nals[i].i_payload));
            at += static_cast<std::size_t>(nals[i].i_payload);
        }
    }
    AVCodecParameters* par = m_pStream->codecpar;
    par->extradata = extra;
    par->extradata_size = static_cast<int>(size);
    return true;
}

bool CH264Mp4Encoder::Open(const std::string& path, int width, int height, int fps,
                           std::string& error) {
    m_strPath = path;
    m_nWidth = width;
    m_nHeight = height;
    av_log_set_level(AV_LOG_ERROR);
    if (width <= 0 || height <= 0 || (width | height) % 2 != 0 || fps <= 0) {
        error = "the video's size must be even and its frame rate positive";
        return false;
    }
    if (avformat_alloc_output_context2(&m_pFormat, nullptr, "mp4", path.c_str()) < 0 ||
        m_pFormat == nullptr) {
        error = path + ": the MP4 writer could not be set up";
        return false;
    }
    m_pStream = avformat_new_stream(m_pFormat, nullptr);
    m_pPacket = av_packet_alloc();
    if (m_pStream == nullptr || m_pPacket == nullptr) {
        error = "not enough memory for the video encoder";
        return false;
    }
    for (SPlanes& planes : m_planes) {
        if (!planes.Allocate(width, height)) {
            error = "not enough memory for the video encoder";
            return false;
        }
    }
    // A tenth of a frame per unit: a tick of 100 ms is exactly fps units.
    m_nUnitsPerTick = fps;
    m_timeBase = AVRational{1, fps * 10};
    if (!OpenEncoder(fps, error)) {
        return false;
    }
    AVCodecParameters* par = m_pStream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_H264;
    par->width = width;
    par->height = height;
    par->format = AV_PIX_FMT_YUV420P;
    par->color_range = AVCOL_RANGE_MPEG;
    par->color_space = AVCOL_SPC_SMPTE170M;
    par->color_primaries = AVCOL_PRI_SMPTE170M;
    par->color_trc = AVCOL_TRC_SMPTE170M;
    m_pStream->time_base = m_timeBase;
    m_pStream->avg_frame_rate = AVRational{fps, 1};
    int rc = avio_open(&m_pFormat->pb, path.c_str(), AVIO_FLAG_WRITE);
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

// Moves one encoded picture (size bytes of NAL units, contiguous from payload) into the file.
bool CH264Mp4Encoder::Write(const std::uint8_t* payload, int size, const x264_picture_t& out,
                            std::string& error) {
    if (size <= 0 || payload == nullptr) {
        return true;
    }
    if (av_new_packet(m_pPacket, size) < 0) {
        error = "not enough memory for the video";
        return false;
    }
    std::memcpy(m_pPacket->data, payload, static_cast<std::size_t>(size));
    m_pPacket->pts = out.i_pts;
    m_pPacket->dts = out.i_dts;
    if (out.b_keyframe) {
        m_pPacket->flags |= AV_PKT_FLAG_KEY;
    }
    // No B-frames: pictures leave in the order frames went in.
    if (!m_durations.empty()) {
        m_pPacket->duration = m_durations.front();
        m_durations.pop_front();
    }
    av_packet_rescale_ts(m_pPacket, m_timeBase, m_pStream->time_base);
    m_pPacket->stream_index = m_pStream->index;
    const int written = av_interleaved_write_frame(m_pFormat, m_pPacket);
    av_packet_unref(m_pPacket);
    if (written < 0) {
        error = m_strPath + ": " + AvText(written);
        return false;
    }
    return true;
}

bool CH264Mp4Encoder::EncodePending(std::string& error) {
    if (m_nPendingTicks == 0) {
        return true; // a frame of no time is not shown
    }
    const std::int64_t duration = m_nPendingTicks * m_nUnitsPerTick;
    m_nPendingTicks = 0;
    x264_picture_t& in = m_pPending->picture;
    in.i_pts = m_nNextPts;
    in.i_type = X264_TYPE_AUTO;
    in.prop.mb_info = nullptr;
    in.prop.mb_info_free = nullptr;
    if (m_bSentAny) {
        // The encoder may hold the frame a while: it frees the flags with the frame.
        std::uint8_t* flags = video::ChangedBlockFlags(m_pPending->View(), m_pSent->View(),
                                                       m_nWidth, m_nHeight, X264_MBINFO_CONSTANT);
        if (flags != nullptr) {
            in.prop.mb_info = flags;
            in.prop.mb_info_free = std::free;
        }
    }
    m_nNextPts += duration;
    m_durations.push_back(duration);
    x264_nal_t* nals = nullptr;
    int count = 0;
    x264_picture_t out{};
    const int size = x264_encoder_encode(m_pEncoder, &nals, &count, &in, &out);
    in.prop.mb_info = nullptr;
    in.prop.mb_info_free = nullptr;
    if (size < 0) {
        error = m_strPath + ": the video encoder failed";
        return false;
    }
    std::swap(m_pSent, m_pPending);
    m_bSentAny = true;
    return Write(count > 0 ? nals[0].p_payload : nullptr, size, out, error);
}

bool CH264Mp4Encoder::AddFrame(const std::uint8_t* pixels, std::ptrdiff_t stride,
                               std::int64_t ticks, std::string& error) {
    if (!m_bHeaderWritten || m_bFinished) {
        error = m_strPath + ": the video was not started";
        return false;
    }
    const x264_image_t& img = m_pNext->picture.img;
    libyuv::ARGBToI420(pixels, int(stride), img.plane[0], img.i_stride[0], img.plane[1],
                       img.i_stride[1], img.plane[2], img.i_stride[2], m_nWidth, m_nHeight);
    if (m_nPendingTicks > 0 &&
        video::SamePlanes(m_pPending->View(), m_pNext->View(), m_nWidth, m_nHeight)) {
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
    while (x264_encoder_delayed_frames(m_pEncoder) > 0) {
        x264_nal_t* nals = nullptr;
        int count = 0;
        x264_picture_t out{};
        const int size = x264_encoder_encode(m_pEncoder, &nals, &count, nullptr, &out);
        if (size < 0) {
            error = m_strPath + ": the video encoder failed";
            return false;
        }
        if (!Write(count > 0 ? nals[0].p_payload : nullptr, size, out, error)) {
            return false;
        }
    }
    int rc = av_write_trailer(m_pFormat);
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
