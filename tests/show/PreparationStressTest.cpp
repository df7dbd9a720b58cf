// The decode cache, the decoded pictures and the player's worker under load: several threads
// decode, scale, prepare and draw the same and different pictures through one small decode
// cache (so that entries are evicted and cleared all the time) while the user-interface thread
// plays a show of them, drops it half-way, rewrites a picture and starts again. Every picture
// handed out keeps its size and colour, and every screen the player shows is the one drawing
// its layers makes. Built with a thread or address sanitizer, this is where races show.
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

#include "ShowTestSupport.h"
#include "model/PlaybackPanel.h"
#include "render/DecodedPicture.h"
#include "render/PanelRenderer.h"
#include "render/PicturePreparation.h"
#include "render/QtPictureDecoder.h"
#include "show/ScreenCanvas.h"
#include "show/ScreenWnd.h"

using namespace testsupport;

namespace {

constexpr int kWorkers = 3;
constexpr int kWorkerRounds = 60;
constexpr int kShowRounds = 8;
// Smaller than two of the pictures: nearly every decode evicts something.
constexpr qint64 kCacheBytes = qint64(1) << 20;
const QSize kScreen(640, 520);

struct SPicture {
    const char* szFile;
    QSize size;
    QColor colour;
};

const SPicture kPictures[] = {
    {"green.jpg", QSize(800, 600), QColor(0, 255, 0)},
    {"red.jpg", QSize(640, 480), QColor(255, 0, 0)},
    {"blue.jpg", QSize(1024, 768), QColor(0, 0, 255)},
    {"grey.bmp", QSize(300, 200), QColor(128, 128, 128)},
};
constexpr int kPictureCount = int(std::size(kPictures));

bool IsNear(QRgb a, const QColor& b) {
    return std::abs(qRed(a) - b.red()) <= 6 && std::abs(qGreen(a) - b.green()) <= 6 &&
           std::abs(qBlue(a) - b.blue()) <= 6;
}

// Failures seen on the other threads, reported by the test's own thread.
class CFailures {
public:
    void Add(const QString& what) {
        std::lock_guard lock(m_mutex);
        if (m_lstWhat.size() < 10) {
            m_lstWhat << what;
        }
        ++m_nCount;
    }
    int Count() const {
        std::lock_guard lock(m_mutex);
        return m_nCount;
    }
    QString First() const {
        std::lock_guard lock(m_mutex);
        return m_lstWhat.join(QLatin1Char('\n'));
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_lstWhat;
    int m_nCount = 0;
};

} // namespace

class CPreparationStressTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        for (const SPicture& picture : kPictures) {
            QVERIFY(WritePicture(Path(picture.szFile), picture.size, picture.colour));
        }
        // One panel per picture, its picture on the whole panel, and one without a picture.
        for (int i = 0; i < kPictureCount; ++i) {
            const CPanel panel = MakePanel(320, 240, MakeRgb(255, 255, 255),
                                           Path(kPictures[i].szFile), CRect{0, 0, 320, 240});
            QVERIFY(panel.m_image.HasPicture());
            QVERIFY(WritePanel(PanelPath(i), panel));
        }
        QVERIFY(WritePanel(Path("plain.vlm"), MakePanel(400, 300, MakeRgb(255, 255, 0))));
        QVERIFY(WriteShow(Path("all.vls"), {"p0", "p1", "plain", "p2", "p0", "p3", "p1", "p2"}));
    }

    void workersAndThePlayerShareTheDecodeCache() {
        std::atomic<bool> bPlayerDone{false};
        std::atomic<int> nChecks{0};
        std::vector<std::thread> workers;
        // The workers are let go however the player's part ends, a failed check included.
        const auto stopWorkers = [&] {
            bPlayerDone = true;
            for (std::thread& worker : workers) {
                if (worker.joinable()) {
                    worker.join();
                }
            }
        };
        const auto guard = qScopeGuard(stopWorkers);
        for (int n = 0; n < kWorkers; ++n) {
            workers.emplace_back([&, n] { Work(n, bPlayerDone, nChecks); });
        }

        CScreenWnd wnd(m_decoder);
        wnd.Create(kScreen);
        std::minstd_rand random(7);
        int advances = 0;
        for (int round = 0; round < kShowRounds; ++round) {
            const bool bManual = round % 3 != 2;
            wnd.PlayDocumentFile(Path("all.vls"), bManual);
            QVERIFY(wnd.isVisible());
            // Dropped part-way in most rounds; played to its end in the last.
            const int stop = round == kShowRounds - 1 ? 1000 : int(random() % 30);
            for (int step = 0; step < stop && wnd.isVisible(); ++step) {
                if (bManual) {
                    wnd.OnClick();
                } else {
                    wnd.OnTick();
                }
                ++advances;
                if (step % 5 == 0 && wnd.isVisible()) {
                    // A picture layer shown coarse (its turn came before the worker was done)
                    // becomes the drawn screen once the worker's sharp one arrives.
                    QTRY_VERIFY_WITH_TIMEOUT(!wnd.ShowsCoarsePicture(), 20000);
                    QVERIFY2(wnd.Canvas() == Drawn(wnd),
                             qPrintable(QStringLiteral("round %1 step %2").arg(round).arg(step)));
                }
            }
            if (wnd.isVisible()) {
                wnd.OnKey(true);
            }
            QVERIFY(!wnd.isVisible());
            if (round % 2 == 1) {
                // A picture saved again: its cached decode is stale from now on.
                const SPicture& picture = kPictures[round % kPictureCount];
                QVERIFY(ReplacePicture(picture));
            }
        }
        stopWorkers();
        QVERIFY2(m_failures.Count() == 0, qPrintable(m_failures.First()));
        QVERIFY(advances > kShowRounds);
        QVERIFY(nChecks.load() >= kWorkers * kWorkerRounds);
        QVERIFY(wnd.Preparer().StartCount() > kShowRounds);
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QString PanelPath(int i) const { return m_dir.filePath(QStringLiteral("p%1.vlm").arg(i)); }

    // Saved beside and renamed over, as a careful editor saves: no reader sees half a file.
    bool ReplacePicture(const SPicture& picture) {
        const QString path = Path(picture.szFile);
        const QString temp = path + QStringLiteral(".new.") + QFileInfo(path).suffix();
        return WritePicture(temp, picture.size, picture.colour) &&
               std::rename(temp.toUtf8().constData(), path.toUtf8().constData()) == 0;
    }

    // One worker: decodes and scales through the cache, reads panels and prepares and draws
    // their pictures, as the player's worker does, and checks what it gets.
    void Work(int n, const std::atomic<bool>& bPlayerDone, std::atomic<int>& nChecks) {
        std::minstd_rand random(static_cast<unsigned>(n + 1));
        for (int round = 0; round < kWorkerRounds || !bPlayerDone; ++round) {
            const int i = int(random() % kPictureCount);
            const SPicture& expected = kPictures[i];
            const PictureHandle handle =
                m_decoder.Decode(Path(expected.szFile).toUtf8().toStdString());
            const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(handle.get());
            if (!picture || picture->Size() != expected.size) {
                m_failures.Add(QStringLiteral("%1 decoded wrongly").arg(expected.szFile));
                continue;
            }
            const int divisor = 1 + int(random() % 9);
            const QSize size(std::max(1, expected.size.width() / divisor),
                             std::max(1, expected.size.height() / divisor));
            const QImage scaled = picture->AreaAveraged(size);
            if (scaled.size() != size ||
                !IsNear(scaled.pixel(size.width() / 2, size.height() / 2), expected.colour)) {
                m_failures.Add(QStringLiteral("%1 scaled to %2 x %3 wrongly")
                                   .arg(expected.szFile)
                                   .arg(size.width())
                                   .arg(size.height()));
            }
            const QImage pixels = picture->PixelsCovering(size);
            if (pixels.width() < size.width() || pixels.height() < size.height()) {
                m_failures.Add(QStringLiteral("%1 does not cover its size").arg(expected.szFile));
            }
            if (round % 3 == 0) {
                Draw(i, int(random() % 3), nChecks);
            }
            if (n == 0 && round % 11 == 10) {
                m_decoder.ClearCache();
            }
            ++nChecks;
        }
    }

    // Reads panel i, prepares its picture at a zoom and draws it: the body's centre has the
    // picture's colour.
    void Draw(int i, int zoomIndex, std::atomic<int>& nChecks) {
        CPanel panel;
        if (ReadPanelFile(PanelPath(i).toUtf8().toStdString(), panel, m_decoder).m_eResult !=
                EPanelRead::Loaded ||
            !panel.m_image.HasPicture()) {
            m_failures.Add(QStringLiteral("panel %1 not read").arg(i));
            return;
        }
        const int zoom = (zoomIndex + 1) * 50;
        render::PreparePicture(panel.m_image, zoom);
        QImage screen(320 * zoom / 100, 240 * zoom / 100, QImage::Format_RGB32);
        screen.fill(Qt::black);
        {
            QPainter painter(&screen);
            render::DrawPicture(painter, panel.m_image, false, zoom, 0, 0);
        }
        if (!IsNear(screen.pixel(screen.width() / 2, screen.height() / 2), kPictures[i].colour)) {
            m_failures.Add(QStringLiteral("panel %1 drawn wrongly at %2").arg(i).arg(zoom));
        }
        ++nChecks;
    }

    // The canvas as drawing every shown layer of the panel on screen, one by one, makes it.
    static QImage Drawn(const CScreenWnd& wnd) {
        QImage canvas = MakeScreenCanvas(wnd.ScreenSize());
        for (const CShowLayer& layer : wnd.Playback().GetShownLayers()) {
            DrawShowLayer(canvas, wnd.Playback(), layer);
        }
        return canvas;
    }

    QTemporaryDir m_dir;
    render::CQtPictureDecoder m_decoder{kCacheBytes};
    CFailures m_failures;
};

QTEST_MAIN(CPreparationStressTest)
#include "PreparationStressTest.moc"
