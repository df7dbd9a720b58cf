#include "ExportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <webp/decode.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace exporttest {

QImage RenderPdfPage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                   QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        return {};
    }
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

namespace {

// Every frame the decoder has ready, converted to 32-bit pixels and added to frames.
void ReceiveFrames(AVCodecContext* ctx, AVFrame* frame, std::vector<QImage>& frames) {
    while (avcodec_receive_frame(ctx, frame) == 0) {
        QImage image(frame->width, frame->height, QImage::Format_RGB32);
        SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                         frame->width, frame->height, AV_PIX_FMT_RGB32,
                                         SWS_BILINEAR, nullptr, nullptr, nullptr);
        uint8_t* dst[1] = {image.bits()};
        const int stride[1] = {int(image.bytesPerLine())};
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
        sws_freeContext(sws);
        frames.push_back(image);
    }
}

} // namespace

bool ReadBackVideo(const QString& path, SVideoReadBack& video) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return false;
    }
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        avformat_close_input(&format);
        return false;
    }
    const AVStream* stream = format->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(ctx, stream->codecpar);
    avcodec_open2(ctx, codec, nullptr);
    video.strCodec = QString::fromUtf8(avcodec_get_name(stream->codecpar->codec_id));
    video.nWidth = stream->codecpar->width;
    video.nHeight = stream->codecpar->height;
    video.bYuv420 = stream->codecpar->format == AV_PIX_FMT_YUV420P;
    video.nTimeScale = stream->time_base.num == 1 ? stream->time_base.den : 0;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index) {
            video.durations.push_back(
                av_rescale_q(packet->duration, stream->time_base, AVRational{1, 1000}));
            avcodec_send_packet(ctx, packet);
            ReceiveFrames(ctx, frame, video.frames);
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(ctx, nullptr);
    ReceiveFrames(ctx, frame, video.frames);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
    avformat_close_input(&format);
    return true;
}

QImage ReadPicture(const QString& path) {
    if (!path.endsWith(QStringLiteral(".webp"), Qt::CaseInsensitive)) {
        return QImage(path);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    int width = 0;
    int height = 0;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!WebPGetInfo(data, std::size_t(bytes.size()), &width, &height)) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGBA8888);
    if (!WebPDecodeRGBAInto(data, std::size_t(bytes.size()), image.bits(),
                            std::size_t(image.sizeInBytes()), int(image.bytesPerLine()))) {
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

int PdfPageCount(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return -1;
    }
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("Pages:"))) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

QRect BoundsOf(const QImage& image, const std::function<bool(QRgb)>& match, int* count) {
    QRect bounds;
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (match(line[x])) {
                bounds |= QRect(x, y, 1, 1);
                ++n;
            }
        }
    }
    if (count != nullptr) {
        *count = n;
    }
    return bounds;
}

bool IsRed(QRgb c) {
    return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
}

bool IsBlue(QRgb c) {
    return qBlue(c) > 180 && qRed(c) < 60 && qGreen(c) < 60;
}

void WithFileSizeLimit(long limit, const std::function<void()>& fn) {
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered = previous;
    lowered.rlim_cur = static_cast<rlim_t>(limit);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    fn();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace exporttest
