// A show exported as an MP4, an animated WebP, a PDF handout and a folder of PNGs: the layers
// and their times are the automatic player's, read back from the files; frames match the
// PNGs; cancelling and failing leave nothing behind.
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <webp/demux.h>

#include "ExportTestSupport.h"
#include "FilePermissions.h"
#include "TestFiles.h"
#include "export/ShowExport.h"
#include "export/ShowLayers.h"
#include "model/Playback.h"
#include "model/PlaybackPanel.h"
#include "render/QtPictureDecoder.h"

using namespace exporttest;
using exporting::EExportOutcome;

namespace {

struct SStep {
    EShowLayer eKind;
    std::int64_t nMilliseconds;
    friend bool operator==(const SStep&, const SStep&) = default;
};

// What the automatic player does with the show: each layer drawn and the time until the next
// draw, counted in timer ticks.
std::vector<SStep> PlayerSteps(IPictureDecoder& decoder, const QString& show) {
    CPlayback playback(decoder, 1920, 1080);
    CPlaybackAction action = playback.PlayDocumentFile(show.toStdString(), false);
    std::vector<SStep> steps;
    while (!action.m_bHide) {
        steps.push_back({action.m_layer.m_eKind, 0});
        do {
            action = playback.Tick();
            steps.back().nMilliseconds += 100;
        } while (action.m_layer.m_eKind == EShowLayer::None && !action.m_bHide);
    }
    return steps;
}

// The video read back, with its first and last frames.
struct SVideo : SVideoReadBack {
    QImage first;
    QImage last;
};

// The video read back with libavformat and decoded with libavcodec: false unless every packet
// gave a frame.
bool ReadVideo(const QString& path, SVideo& video) {
    if (!ReadBackVideo(path, video) || video.frames.empty() ||
        video.frames.size() != video.durations.size()) {
        return false;
    }
    video.first = video.frames.front();
    video.last = video.frames.back();
    return true;
}

// The mean difference of two pictures' channels (0 for equal pictures); 255 when sizes differ.
double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 255;
    }
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

// The JPEG at path with its entropy-coded data garbled but no byte a marker: its structure is
// sound, so only decoding it shows the damage.
bool GarbleScan(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    QByteArray bytes = file.readAll();
    const qsizetype sos = bytes.indexOf("\xFF\xDA");
    if (sos < 0) {
        return false;
    }
    const qsizetype scan = sos + 2 + ((uchar(bytes[sos + 2]) << 8) | uchar(bytes[sos + 3]));
    for (qsizetype i = scan + 4; i < bytes.size() - 4; ++i) {
        bytes[i] = char(i % 2 == 0 ? 0x7F : 0xFE);
    }
    return file.seek(0) && file.write(bytes) == bytes.size();
}

} // namespace

class CShowExportTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
    QTemporaryDir m_dir;
    QString m_strShow;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    std::string StdPath(const QString& name) const { return Path(name).toStdString(); }

    EExportOutcome Export(const QString& out, std::string& error,
                          const exporting::ExportProgress& progress = {},
                          std::vector<std::string>* warnings = nullptr, const QString& show = {}) {
        exporting::SShowExportOptions options;
        options.nWidth = 320;
        options.nHeight = 240;
        return exporting::ExportShow(
            m_decoder, (show.isEmpty() ? m_strShow : show).toStdString(), out.toStdString(),
            options, progress,
            [warnings](const std::string& w) {
                if (warnings != nullptr) {
                    warnings->push_back(w);
                }
            },
            error);
    }

private slots:
    // Two panels: a wide one with a picture and two balloons of different waits, a tall one
    // with a picture and one balloon; every layer changes what is shown.
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(testsupport::WritePicture(Path("red.jpg"), QSize(400, 300), QColor(200, 40, 40)));
        QVERIFY(testsupport::WritePicture(Path("green.jpg"), QSize(300, 400), QColor(40, 160, 40)));
        CPanel wide =
            testsupport::MakePanel(640, 480, 0x00FF0000, Path("red.jpg"), CRect{20, 20, 620, 460});
        wide.m_nFirstWait = 5;
        wide.m_image.m_nWait = 0;
        for (int i = 0; i < 2; ++i) {
            CFuki& fuki = wide.m_fuki[static_cast<std::size_t>(wide.AddFuki())];
            fuki.m_rcBody = CRect{60 + 250 * i, 60, 280 + 250 * i, 180};
            fuki.m_ptTail = CPoint{150 + 250 * i, 240};
            fuki.m_crFill = 0x00FFFFFF;
            fuki.m_crText = 0x000000FF;
            fuki.m_strText = kDefaultFukiText;
            fuki.m_nWait = i == 0 ? 12 : -3;
        }
        QVERIFY(testsupport::WritePanel(Path("01-wide.vlm"), wide));
        CPanel tall = testsupport::MakePanel(480, 640, 0x0000FFFF, Path("green.jpg"),
                                             CRect{40, 40, 440, 600});
        tall.m_nFirstWait = 30;
        tall.m_image.m_nWait = 7;
        CFuki& fuki = tall.m_fuki[static_cast<std::size_t>(tall.AddFuki())];
        fuki.m_rcBody = CRect{60, 60, 400, 200};
        fuki.m_crFill = 0x00FFFFFF;
        fuki.m_crText = 0x000000FF;
        fuki.m_strText = kDefaultFukiText;
        fuki.m_nWait = 20;
        QVERIFY(testsupport::WritePanel(Path("02-tall.vlm"), tall));
        m_strShow = Path("show.vls");
        QVERIFY(testsupport::WriteShow(m_strShow, {"01-wide", "02-tall"}));
    }

    // The export's layers and times are those of the automatic player, tick for tick.
    void StepsAreThePlayers() {
        const std::vector<SStep> player = PlayerSteps(m_decoder, m_strShow);
        std::vector<SStep> exported;
        std::vector<std::string> paths;
        std::string error;
        QVERIFY(exporting::ShowPanelPaths(m_strShow.toStdString(), paths, error));
        for (const std::string& path : paths) {
            CPanel panel;
            QCOMPARE(ReadPanelFile(path, panel, m_decoder).m_eResult, EPanelRead::Loaded);
            for (const exporting::SShowStep& step : exporting::PanelSteps(panel)) {
                exported.push_back({step.m_layer.m_eKind, step.m_nTicks * 100});
            }
        }
        QCOMPARE(player.size(), std::size_t(7));
        QVERIFY(exported == player);
        // The waits as stored: 5, 0, 12, -3 (as 0), then 30, 7, 20.
        const std::vector<std::int64_t> expected{600, 100, 1300, 100, 3100, 800, 2100};
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(exported[i].nMilliseconds, expected[i]);
        }
    }

    void PngFolderHasOnePicturePerLayer() {
        std::string error;
        QCOMPARE(Export(Path("frames/"), error), EExportOutcome::Written);
        QCOMPARE(FolderEntries(Path("frames")),
                 (QStringList{"001-01-background.png", "001-02-picture.png", "001-03-balloon.png",
                              "001-04-balloon.png", "002-01-background.png", "002-02-picture.png",
                              "002-03-balloon.png"}));
        const QImage background(Path("frames/001-01-background.png"));
        QCOMPARE(background.size(), QSize(320, 240));
        QCOMPARE(background.pixel(5, 5), qRgb(0, 0, 255));
        // The tall panel is fitted and centred on its own background colour, as played.
        const QImage last(Path("frames/002-03-balloon.png"));
        QCOMPARE(last.pixel(2, 120), qRgb(255, 255, 0));
        QVERIFY(BoundsOf(last.convertToFormat(QImage::Format_RGB32), IsRed).width() > 20);
    }

    void VideoHoldsEachLayerForItsWait() {
        std::string error;
        QCOMPARE(Export(Path("show.mp4"), error), EExportOutcome::Written);
        SVideo video;
        QVERIFY(ReadVideo(Path("show.mp4"), video));
        QCOMPARE(video.strCodec, QStringLiteral("h264"));
        QVERIFY(video.bYuv420);
        QCOMPARE(QSize(video.nWidth, video.nHeight), QSize(320, 240));
        QCOMPARE(video.durations,
                 (std::vector<std::int64_t>{600, 100, 1300, 100, 3100, 800, 2100}));
        QVERIFY(!QFile::exists(Path("frames-for-video")));
        QCOMPARE(Export(Path("frames-for-video/"), error), EExportOutcome::Written);
        const QImage first(Path("frames-for-video/001-01-background.png"));
        const QImage last(Path("frames-for-video/002-03-balloon.png"));
        QVERIFY2(MeanDifference(video.first, first.convertToFormat(QImage::Format_RGB32)) < 3,
                 "first frame");
        const double lastDiff =
            MeanDifference(video.last, last.convertToFormat(QImage::Format_RGB32));
        QVERIFY2(lastDiff < 4, qPrintable(QString::number(lastDiff)));
    }

    void AnimatedWebpHoldsEachLayerForItsWait() {
        std::string error;
        QCOMPARE(Export(Path("show.webp"), error), EExportOutcome::Written);
        QFile file(Path("show.webp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                      std::size_t(bytes.size())};
        WebPAnimDecoderOptions options;
        QVERIFY(WebPAnimDecoderOptionsInit(&options));
        WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
        QVERIFY(decoder != nullptr);
        WebPAnimInfo info;
        QVERIFY(WebPAnimDecoderGetInfo(decoder, &info));
        QCOMPARE(QSize(int(info.canvas_width), int(info.canvas_height)), QSize(320, 240));
        std::vector<int> ends;
        while (WebPAnimDecoderHasMoreFrames(decoder)) {
            uint8_t* rgba = nullptr;
            int timestamp = 0;
            QVERIFY(WebPAnimDecoderGetNext(decoder, &rgba, &timestamp));
            ends.push_back(timestamp);
        }
        WebPAnimDecoderDelete(decoder);
        // Each frame's end time: the running sum of the holds.
        QCOMPARE(ends, (std::vector<int>{600, 700, 2000, 2100, 5200, 6000, 8100}));
    }

    void PdfHasOnePagePerPanelWithTextInTheBalloons() {
        std::string error;
        QCOMPARE(Export(Path("handout.pdf"), error), EExportOutcome::Written);
        QCOMPARE(PdfPageCount(Path("handout.pdf")), 2);
        const QImage page = RenderPdfPage(Path("handout.pdf"), 2, 96);
        QVERIFY(!page.isNull());
        // The tall panel at its size (480 x 640 fits an A4 page at 96 dpi) on a portrait page.
        QVERIFY(page.height() > page.width());
        const QRect placed = BoundsOf(
            page, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60; });
        QVERIFY2(qAbs(placed.width() - 480) <= 2, qPrintable(QString::number(placed.width())));
        int red = 0;
        const QRect text = BoundsOf(page, IsRed, &red);
        QVERIFY(red > 50);
        const QRectF body(placed.left() + 60, placed.top() + 60, 340, 140);
        QVERIFY(body.adjusted(-1, -1, 1, 1).contains(QRectF(text)));
    }

    // Cancelling at any point leaves nothing, whatever the kind of output.
    void CancelLeavesNothing() {
        QTemporaryDir dir;
        for (const QString name : {"c.mp4", "c.webp", "c.pdf", "c/"}) {
            for (int stopAt : {0, 1}) {
                std::string error;
                const auto progress = [stopAt](int done, int) { return done < stopAt; };
                QCOMPARE(Export(dir.filePath(name), error, progress), EExportOutcome::Cancelled);
                QCOMPARE(FolderEntries(dir.path()), QStringList());
            }
        }
    }

    void FailuresSayWhyAndLeaveNothing() {
        QTemporaryDir dir;
        std::string error;
        QCOMPARE(Export(dir.filePath("x.avi"), error), EExportOutcome::Failed);
        QVERIFY2(error.find(".mp4, .webp, .pdf") != std::string::npos, error.c_str());

        // A damaged panel in the middle of the show.
        QVERIFY(testsupport::WriteBytes(dir.filePath("02-bad.vlm"),
                                        testsupport::ReadBytes(Path("02-tall.vlm")).left(40)));
        QVERIFY(QFile::copy(Path("01-wide.vlm"), dir.filePath("01-wide.vlm")));
        QVERIFY(QFile::copy(Path("red.jpg"), dir.filePath("red.jpg")));
        QVERIFY(testsupport::WriteShow(dir.filePath("bad.vls"), {"01-wide", "02-bad"}));
        for (const QString name : {"b.mp4", "b.pdf", "b/"}) {
            QCOMPARE(
                Export(dir.filePath("out/" + name), error, {}, nullptr, dir.filePath("bad.vls")),
                EExportOutcome::Failed);
        }
        QVERIFY(QDir(dir.path()).mkdir("out"));
        for (const QString name : {"b.mp4", "b.pdf", "b/"}) {
            QCOMPARE(
                Export(dir.filePath("out/" + name), error, {}, nullptr, dir.filePath("bad.vls")),
                EExportOutcome::Failed);
            QVERIFY2(error.find("02-bad.vlm") != std::string::npos &&
                         error.find("damaged") != std::string::npos,
                     error.c_str());
        }
        QCOMPARE(FolderEntries(dir.filePath("out")), QStringList());

        // The disk fills up (a file-size limit) part way through.
        for (const QString name : {"f.mp4", "f.pdf", "f.webp", "f/"}) {
            EExportOutcome outcome = EExportOutcome::Written;
            WithFileSizeLimit(1000, [&] { outcome = Export(dir.filePath("out/" + name), error); });
            QCOMPARE(outcome, EExportOutcome::Failed);
            QVERIFY2(error.find("File too large") != std::string::npos ||
                         error.find("not completely written") != std::string::npos,
                     error.c_str());
        }
        QCOMPARE(FolderEntries(dir.filePath("out")), QStringList());

        // A folder the user may not write to.
        QFile::setPermissions(dir.filePath("out"), QFile::ReadOwner | QFile::ExeOwner);
        testsupport::CHonouredPermissions honoured;
        if (!honoured.Holds()) {
            QSKIP("file permissions cannot be enforced here");
        }
        QCOMPARE(Export(dir.filePath("out/p.mp4"), error), EExportOutcome::Failed);
        QVERIFY2(error.find("Permission denied") != std::string::npos, error.c_str());
    }

    // A missing picture and a missing panel are warned about; the export still succeeds, as
    // the player would still play.
    void MissingFilesWarn() {
        QTemporaryDir dir;
        QVERIFY(testsupport::WritePicture(dir.filePath("gone.jpg"), QSize(40, 30), Qt::green));
        QVERIFY(testsupport::WritePanel(dir.filePath("01-gone.vlm"), 640, 480, 0x00FF0000,
                                        dir.filePath("gone.jpg")));
        QVERIFY(QFile::remove(dir.filePath("gone.jpg")));
        QVERIFY(testsupport::WriteShow(dir.filePath("gaps.vls"), {"01-gone", "absent"}));
        std::vector<std::string> warnings;
        std::string error;
        QCOMPARE(Export(dir.filePath("g/"), error, {}, &warnings, dir.filePath("gaps.vls")),
                 EExportOutcome::Written);
        QCOMPARE(warnings.size(), std::size_t(2));
        QVERIFY(warnings[0].find("gone.jpg") != std::string::npos);
        QVERIFY(warnings[1].find("absent.vlm") != std::string::npos);
        // Background and picture layer of each; the blank panel has no balloons.
        QCOMPARE(FolderEntries(dir.filePath("g")).size(), 2 + 2);

        const SRun run = RunCli({"export", dir.filePath("gaps.vls").toStdString(),
                                 dir.filePath("g.pdf").toStdString()});
        QCOMPARE(run.nStatus, 0);
        QVERIFY2(run.strErr.find("warning") != std::string::npos, run.strErr.c_str());
        QCOMPARE(PdfPageCount(dir.filePath("g.pdf")), 2);
    }

    // A picture whose file looks whole but does not decode is found out by the one decode at
    // the size exported (no separate proof decode runs first) and left out with a warning, as
    // a missing one is; the export still succeeds.
    void DamagedPicturesAreLeftOutWithAWarning_data() {
        QTest::addColumn<QString>("output");
        QTest::addRow("show as PNGs") << "d/";
        QTest::addRow("show as PDF") << "d.pdf";
        QTest::addRow("panel as PNG") << "panel.png";
    }
    void DamagedPicturesAreLeftOutWithAWarning() {
        QFETCH(QString, output);
        QTemporaryDir dir;
        QVERIFY(testsupport::WritePicture(dir.filePath("bad.jpg"), QSize(400, 300), Qt::red));
        QVERIFY(testsupport::WritePanel(dir.filePath("01-bad.vlm"), 640, 480, 0x00FF0000,
                                        dir.filePath("bad.jpg")));
        QVERIFY(GarbleScan(dir.filePath("bad.jpg"))); // damaged after it was imported
        QVERIFY(testsupport::WriteShow(dir.filePath("bad.vls"), {"01-bad"}));
        const bool panel = output == "panel.png";
        const SRun run =
            RunCli({"export", dir.filePath(panel ? "01-bad.vlm" : "bad.vls").toStdString(),
                    dir.filePath(output).toStdString()});
        QCOMPARE(run.nStatus, 0);
        QVERIFY2(run.strErr.find("warning") != std::string::npos &&
                     run.strErr.find("bad.jpg") != std::string::npos,
                 run.strErr.c_str());
        QVERIFY(QFileInfo::exists(dir.filePath(output)));
        if (panel) {
            // Drawn without the picture: no red anywhere.
            int red = 0;
            BoundsOf(ReadPicture(dir.filePath(output)), IsRed, &red);
            QCOMPARE(red, 0);
        }
    }
};

QTEST_MAIN(CShowExportTest)
#include "show_export_test.moc"
