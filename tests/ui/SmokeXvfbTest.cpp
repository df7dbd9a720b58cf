// The real program in a real window: velmo starts under Xvfb on a sample panel, a screenshot of
// the screen is taken once the panel shows, and its pixels are counted: the panel's background
// and its picture must be on the screen.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"

namespace {

// Polls the screen until enough of the panel's background is visible, then keeps that shot.
const char* const kScript = R"(#!/bin/sh
velmo="$1"; panel="$2"; shot="$3"
"$velmo" "$panel" &
pid=$!
i=0
while [ $i -lt 240 ]; do
  sleep 0.5
  if ! kill -0 $pid 2>/dev/null; then echo "velmo ended early"; exit 3; fi
  if xwd -root -silent | convert xwd:- "$shot.tmp.png" 2>/dev/null; then
    n=$(convert "$shot.tmp.png" -fill black +opaque '#FF00FF' -fill white -opaque '#FF00FF' \
        -format '%[fx:int(mean*w*h+0.5)]' info:)
    if [ "${n:-0}" -gt 20000 ]; then
      mv "$shot.tmp.png" "$shot"
      kill $pid; wait $pid
      exit 0
    fi
  fi
  i=$((i+1))
done
kill $pid
exit 4
)";

int CountColor(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class CSmokeXvfbTest : public QObject {
    Q_OBJECT
private slots:
    void panelAppearsOnScreen() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString picture = dir.filePath(QStringLiteral("green.bmp"));
        QImage green(64, 64, QImage::Format_RGB32);
        green.fill(QColor(0, 192, 128));
        QVERIFY(green.save(picture));
        const QString panel = dir.filePath(QStringLiteral("smoke.vlm"));
        QVERIFY(testsupport::WritePanel(panel, 640, 480, MakeRgb(255, 0, 255), picture));

        const QString script = dir.filePath(QStringLiteral("smoke.sh"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kScript);
        file.close();
        const QString shot = dir.filePath(QStringLiteral("shot.png"));

        QProcess xvfb;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        xvfb.setProcessEnvironment(env);
        xvfb.setProcessChannelMode(QProcess::ForwardedChannels);
        // A session bus of its own that ends with the test: no running instance can take the
        // file over, and nothing is left running afterwards.
        xvfb.start(QStringLiteral("dbus-run-session"),
                   {QStringLiteral("--"), QStringLiteral("xvfb-run"), QStringLiteral("-a"),
                    QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
                    QStringLiteral("/bin/sh"), script, QStringLiteral(VELMO_EXECUTABLE), panel,
                    shot});
        QVERIFY(xvfb.waitForStarted(60000));
        QVERIFY(xvfb.waitForFinished(300000));
        QCOMPARE(xvfb.exitCode(), 0);

        const QImage screen(shot);
        QVERIFY(!screen.isNull());
        // The background shows where the view is not covered by the picture, and the picture
        // (300 pixels wide at (50, 50)) shows whole inside the panel.
        QVERIFY2(CountColor(screen, qRgb(255, 0, 255)) > 20000, "background");
        QVERIFY2(CountColor(screen, qRgb(0, 192, 128)) > 60000, "picture");
    }
};

QTEST_MAIN(CSmokeXvfbTest)
#include "SmokeXvfbTest.moc"
