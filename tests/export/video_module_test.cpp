// The video module: where it is looked for, what a missing or foreign module says, the encoder
// it gives (equal frames merged, times exact), and a program whose module is missing: the video
// fails with a message naming the file, every other export still works and nothing is left.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <dlfcn.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "ExportTestSupport.h"
#include "TestFiles.h"
#include "export/VideoEncoder.h"
#include "export/VideoModule.h"

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
        QTemporaryDir dir;
        const QString text = dir.filePath("text.so");
        QVERIFY(testsupport::WriteBytes(text, "not a library"));
        Dl_info info{};
        QVERIFY(dladdr(reinterpret_cast<void*>(&qVersion), &info) != 0);
        const struct {
            QString path;
            const char* why;
        } cases[] = {{dir.filePath("absent.so"), "could not be loaded"},
                     {text, "could not be loaded"},
                     {QString::fromUtf8(info.dli_fname), "is not a video module"}};
        for (const auto& c : cases) {
            std::string error;
            QVERIFY(exporting::OpenVideoEncoderAt(c.path.toStdString(), error) == nullptr);
            QVERIFY2(error.find(c.path.toStdString()) != std::string::npos &&
                         error.find(c.why) != std::string::npos,
                     error.c_str());
        }
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
