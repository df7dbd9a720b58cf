// The video module: where it is looked for, what a missing or foreign module says, the encoder
// it gives (equal frames merged, times exact, frames that change in part decoded whole), the
// blocks it tells the encoder are unchanged, and a program whose module is missing: the video
// fails with a message naming the file, every other export still works and nothing is left.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

extern "C" {
#include <libavformat/avformat.h>
}

#include "ExportTestSupport.h"
#include "TestFiles.h"
#include "UnusableModules.h"
#include "export/VideoEncoder.h"
#include "export/VideoModule.h"
#include "export/video/ChangedBlocks.h"

using namespace exporttest;

namespace {

// The durations (ms) of the packets of the video's first stream, in order; empty on failure.
std::vector<std::int64_t> PacketDurations(const QString& path) {
    std::vector<std::int64_t> durations;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return durations;
    }
    if (avformat_find_stream_info(format, nullptr) >= 0 && format->nb_streams == 1) {
        const AVRational base = format->streams[0]->time_base;
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            durations.push_back(av_rescale_q(packet->duration, base, AVRational{1, 1000}));
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&format);
    return durations;
}

// The largest mean difference of the channels of a 16 x 16 block (or what of it lies inside)
// between two pictures of one size: a block the encoder wrongly kept from the frame before
// shows as a large one.
double WorstBlockDifference(const QImage& a, const QImage& b) {
    double worst = 0;
    for (int by = 0; by < a.height(); by += 16) {
        for (int bx = 0; bx < a.width(); bx += 16) {
            double sum = 0;
            int count = 0;
            for (int y = by; y < std::min(by + 16, a.height()); ++y) {
                for (int x = bx; x < std::min(bx + 16, a.width()); ++x) {
                    const QRgb p = a.pixel(x, y);
                    const QRgb q = b.pixel(x, y);
                    sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                           std::abs(qBlue(p) - qBlue(q));
                    count += 3;
                }
            }
            worst = std::max(worst, sum / count);
        }
    }
    return worst;
}

// A smooth picture with a little texture, so that coding leaves small errors everywhere.
QImage Textured(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int grain = (x * 7 + y * 13 + (x * y) % 11) % 9;
            image.setPixel(x, y, qRgb(40 + x + grain, 60 + y * 2 + grain, 200 - x / 2 - grain));
        }
    }
    return image;
}

// The rectangle of the picture turned to its complement: far from what it was.
QImage Inverted(QImage image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            image.setPixel(x, y, ~image.pixel(x, y) | 0xFF000000u);
        }
    }
    return image;
}

// 4:2:0 planes of a 40 x 20 frame (3 x 2 blocks of 16, the last column and row partial).
struct SSmallFrame {
    std::vector<std::uint8_t> luma = std::vector<std::uint8_t>(40 * 20, 100);
    std::vector<std::uint8_t> u = std::vector<std::uint8_t>(20 * 10, 120);
    std::vector<std::uint8_t> v = std::vector<std::uint8_t>(20 * 10, 140);
    video::SPlaneView View() const { return {{luma.data(), u.data(), v.data()}, {40, 20, 20}}; }
};

} // namespace

class CVideoModuleTest : public QObject {
    Q_OBJECT

private slots:
    void CandidatesStartAtTheInstalledPlace_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("alsoLooked");
        QTest::newRow("installed") << "/usr/bin"
                                   << "/usr/lib/velmo/velmo-video.so"
                                   << "/usr/bin/lib/velmo/velmo-video.so";
        QTest::newRow("program in a build folder") << "/w/build/src/app"
                                                   << "/w/build/src/lib/velmo/velmo-video.so"
                                                   << "/w/build/lib/velmo/velmo-video.so";
        QTest::newRow("test in a build folder") << "/w/build/tests/export"
                                                << "/w/build/tests/lib/velmo/velmo-video.so"
                                                << "/w/build/lib/velmo/velmo-video.so";
        QTest::newRow("program at the root") << "/"
                                             << "/lib/velmo/velmo-video.so"
                                             << "/lib/velmo/velmo-video.so";
    }
    void CandidatesStartAtTheInstalledPlace() {
        QFETCH(QString, folder);
        QFETCH(QString, first);
        QFETCH(QString, alsoLooked);
        const std::vector<std::string> candidates =
            exporting::VideoModuleCandidates(folder.toStdString());
        QVERIFY(!candidates.empty());
        QCOMPARE(QString::fromStdString(candidates.front()), first);
        QVERIFY(std::find(candidates.begin(), candidates.end(), alsoLooked.toStdString()) !=
                candidates.end());
    }

    // Each way a module can be unusable says so and names the file.
    void UnusableModulesAreNamed() {
        testsupport::ExpectUnusableModulesRefused(
            [](const std::string& path, std::string& error) {
                return exporting::OpenVideoEncoderAt(path, error) != nullptr;
            },
            "video module");
    }

    // The module built beside the tests: equal frames are merged into one held for their sum,
    // a frame of no time is dropped, and every duration is exact at an odd frame rate.
    void EncoderMergesEqualFramesAndKeepsTimes() {
        std::string error;
        std::unique_ptr<exporting::IVideoEncoder> encoder = exporting::OpenVideoEncoder(error);
        QVERIFY2(encoder != nullptr, error.c_str());
        QTemporaryDir dir;
        const QString path = dir.filePath("merged.mp4");
        QVERIFY2(encoder->Open(path.toStdString(), 64, 48, 25, error), error.c_str());
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(Qt::red);
        QImage blue(64, 48, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        const struct {
            const QImage* frame;
            std::int64_t ticks;
        } frames[] = {{&red, 3}, {&red, 2}, {&blue, 0}, {&blue, 1}, {&red, 7}, {&red, 1}};
        for (const auto& f : frames) {
            QVERIFY2(
                encoder->AddFrame(f.frame->constBits(), f.frame->bytesPerLine(), f.ticks, error),
                error.c_str());
        }
        QVERIFY2(encoder->Finish(error), error.c_str());
        QCOMPARE(PacketDurations(path), (std::vector<std::int64_t>{500, 100, 800}));
        // Nothing more after the end.
        QVERIFY(!encoder->AddFrame(red.constBits(), red.bytesPerLine(), 1, error));
    }

    // The blocks said to be unchanged are exactly those whose pixels of all three planes are
    // equal, the partial blocks at the right and bottom edges included.
    void ChangedBlocksAreFound_data() {
        QTest::addColumn<int>("plane");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("block"); // the one block changed; -1: none
        QTest::newRow("nothing") << 0 << 0 << 0 << -1;
        QTest::newRow("luma, first pixel") << 0 << 0 << 0 << 0;
        QTest::newRow("luma, last of the first block") << 0 << 15 << 15 << 0;
        QTest::newRow("luma, first of the second row") << 0 << 16 << 16 << 4;
        QTest::newRow("luma, last pixel (partial block)") << 0 << 39 << 19 << 5;
        QTest::newRow("luma, partial column") << 0 << 33 << 3 << 2;
        QTest::newRow("blue chroma only") << 1 << 7 << 7 << 0;
        QTest::newRow("red chroma only, second row") << 2 << 8 << 8 << 4;
        QTest::newRow("chroma, last pixel") << 2 << 19 << 9 << 5;
    }
    void ChangedBlocksAreFound() {
        QFETCH(int, plane);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, block);
        const SSmallFrame before;
        SSmallFrame after;
        if (block >= 0) {
            std::vector<std::uint8_t>& pixels = plane == 0   ? after.luma
                                                : plane == 1 ? after.u
                                                             : after.v;
            pixels[std::size_t(y * (plane == 0 ? 40 : 20) + x)] ^= 1;
        }
        QCOMPARE(video::SamePlanes(before.View(), after.View(), 40, 20), block < 0);
        std::uint8_t* flags = video::ChangedBlockFlags(before.View(), after.View(), 40, 20, 1);
        QVERIFY(flags != nullptr);
        const std::vector<std::uint8_t> found(flags, flags + 6);
        std::free(flags);
        std::vector<std::uint8_t> expected(6, 1);
        if (block >= 0) {
            expected[std::size_t(block)] = 0;
        }
        QCOMPARE(found, expected);
    }

    // Frames that change in part (a block-aligned and an unaligned rectangle, one in the partial
    // bottom row of blocks, then everything back) decode to their own pixels in every block:
    // nothing of a frame before is kept where the picture changed.
    void FramesChangedInPartDecodeWhole() {
        std::string error;
        std::unique_ptr<exporting::IVideoEncoder> encoder = exporting::OpenVideoEncoder(error);
        QVERIFY2(encoder != nullptr, error.c_str());
        QTemporaryDir dir;
        const QString path = dir.filePath("parts.mp4");
        QVERIFY2(encoder->Open(path.toStdString(), 128, 72, 30, error), error.c_str());
        const QImage base = Textured(128, 72);
        const QImage square = Inverted(base, QRect(22, 14, 24, 22));
        const QImage bottom = Inverted(square, QRect(96, 64, 16, 8));
        const QImage aligned = Inverted(bottom, QRect(32, 32, 16, 16));
        const std::vector<QImage> frames{base, square, bottom, aligned, base};
        for (const QImage& frame : frames) {
            QVERIFY2(encoder->AddFrame(frame.constBits(), frame.bytesPerLine(), 2, error),
                     error.c_str());
        }
        QVERIFY2(encoder->Finish(error), error.c_str());
        SVideoReadBack video;
        QVERIFY(ReadBackVideo(path, video));
        const std::vector<QImage>& decoded = video.frames;
        QCOMPARE(decoded.size(), frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const double worst = WorstBlockDifference(decoded[i], frames[i]);
            QVERIFY2(worst < 8, qPrintable(QStringLiteral("frame %1: %2").arg(i).arg(worst)));
        }
    }

    // A copy of the program with no module where it looks: the video fails with the file it
    // looked for and leaves nothing; a PNG export of a panel works as before.
    void ProgramWithoutModuleStillExportsPictures() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("bin"));
        const QString program = dir.filePath("bin/velmo");
        QVERIFY(QFile::copy(QStringLiteral(VELMO_EXECUTABLE), program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(testsupport::WritePicture(dir.filePath("red.jpg"), QSize(64, 48), Qt::red));
        QVERIFY(testsupport::WritePanel(dir.filePath("01-wide.vlm"), 320, 240, 0x00FF0000,
                                        dir.filePath("red.jpg")));
        QVERIFY(testsupport::WriteShow(dir.filePath("s.vls"), {"01-wide"}));
        QProcess velmo;
        velmo.start(program, {"export", dir.filePath("s.vls"), dir.filePath("s.mp4")});
        QVERIFY(velmo.waitForFinished(60000));
        QVERIFY(velmo.exitCode() != 0);
        const QString message = QString::fromUtf8(velmo.readAllStandardError());
        QVERIFY2(message.contains(dir.filePath("lib/velmo/velmo-video.so")), qPrintable(message));
        QVERIFY(!QFile::exists(dir.filePath("s.mp4")));
        velmo.start(program, {"export", dir.filePath("01-wide.vlm"), dir.filePath("p.png")});
        QVERIFY(velmo.waitForFinished(60000));
        QCOMPARE(velmo.exitCode(), 0);
        QVERIFY(!QImage(dir.filePath("p.png")).isNull());
        QCOMPARE(FolderEntries(dir.path()),
                 (QStringList{"01-wide.vlm", "bin", "p.png", "red.jpg", "s.vls"}));
    }
};

QTEST_GUILESS_MAIN(CVideoModuleTest)
#include "video_module_test.moc"
