// Balloons between two running copies of the program: under Xvfb, the real program copies a
// balloon in one copy and pastes it in another, which saves it (copy-between-copies.sh). In
// between, this executable, started again with --dump-clipboard on the same display, reads what
// the clipboard offers other programs: the balloon's record in our own type and a PNG of it.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

#include "UiTestSupport.h"
#include "model/Archive.h"
#include "model/FukiClipboard.h"
#include "model/VelmoDoc.h"
#include "render/QtPictureDecoder.h"

using namespace testsupport;

namespace {

const QString kFukiType = QStringLiteral("application/x-velmo-balloon");

// The helper's side: waits up to 30 s for a balloon on the clipboard, then writes the record
// to PREFIX.record and the picture to PREFIX.png. Exit status 0 when both were there.
int DumpClipboard(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    for (int i = 0; i < 300; ++i) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data != nullptr && data->hasFormat(kFukiType)) {
            QFile record(prefix + QStringLiteral(".record"));
            QFile png(prefix + QStringLiteral(".png"));
            const bool written = record.open(QIODevice::WriteOnly) &&
                                 record.write(data->data(kFukiType)) >= 0 &&
                                 png.open(QIODevice::WriteOnly) &&
                                 png.write(data->data(QStringLiteral("image/png"))) >= 0;
            return written && data->hasFormat(QStringLiteral("image/png")) ? 0 : 2;
        }
        QTest::qWait(100);
    }
    return 1;
}

QByteArray Bytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

class CClipboardXvfbTest : public QObject {
    Q_OBJECT
private slots:
    void balloonCopiedInOneCopyIsPastedInTheOther() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString one = dir.filePath(QStringLiteral("one.vlm"));
        const QString two = dir.filePath(QStringLiteral("two.vlm"));
        QVERIFY(WritePanel(one, 400, 300, MakeRgb(200, 220, 240)));
        QVERIFY(WritePanel(two, 300, 200, MakeRgb(240, 220, 200)));

        // one.vlm holds one balloon of its own look; two.vlm one at the same spot but unlike it.
        render::CQtPictureDecoder decoder;
        CVelmoDoc first(decoder);
        QCOMPARE(first.OnOpenDocument(one.toStdString()), EDocOutcome::Opened);
        CFuki balloon;
        balloon.m_rcBody = CRect{40, 30, 220, 120};
        balloon.m_ptTail = CPoint{90, 170};
        balloon.m_nTailSide = 1;
        balloon.m_crFill = MakeRgb(255, 250, 200);
        balloon.m_crBorder = MakeRgb(200, 0, 0);
        balloon.m_nBorderWidth = 3;
        balloon.m_nBorderHeight = 3;
        balloon.m_strText = "copy";
        QVERIFY(first.PasteFuki(balloon) >= 0);
        CArchive firstAr = CArchive::ForStoring(one.toStdString());
        first.Serialize(firstAr);
        QVERIFY(WriteBytes(one, Bytes(firstAr.GetStoredBytes())));
        CFuki stored;
        stored.CopyFrom(first.m_panel.m_fuki[0]);

        // What the second copy saves after the paste.
        CVelmoDoc second(decoder);
        QCOMPARE(second.OnOpenDocument(two.toStdString()), EDocOutcome::Opened);
        second.RecordChange(false, true);
        QCOMPARE(second.PasteFuki(stored), 0);
        CArchive ar = CArchive::ForStoring(two.toStdString());
        second.Serialize(ar);
        const QString expected = dir.filePath(QStringLiteral("expected.vlm"));
        QVERIFY(WriteBytes(expected, Bytes(ar.GetStoredBytes())));
        QVERIFY(ReadBytes(two) != ReadBytes(expected));

        const QString dumped = dir.filePath(QStringLiteral("clipboard"));
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("-s"),
                   QStringLiteral("-screen 0 1280x1024x24"), QStringLiteral("/bin/sh"),
                   QStringLiteral(VELMO_CLIPBOARD_SCRIPT), QStringLiteral(VELMO_EXECUTABLE),
                   QCoreApplication::applicationFilePath(), one, two, expected, dumped,
                   dir.filePath(QStringLiteral("state"))});
        QVERIFY(run.waitForStarted(60000));
        QVERIFY(run.waitForFinished(400000));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(ReadBytes(two), ReadBytes(expected));

        // The clipboard held the record exactly as the file stores it, and a picture of it.
        QCOMPARE(ReadBytes(dumped + QStringLiteral(".record")), Bytes(FukiRecordBytes(stored)));
        const QImage picture(dumped + QStringLiteral(".png"));
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() >= 180 && picture.height() >= 140);
        int filled = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                filled += picture.pixel(x, y) == qRgb(255, 250, 200) ? 1 : 0;
            }
        }
        QVERIFY2(filled > 5000, qPrintable(QString::number(filled)));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--dump-clipboard") == 0) {
        return DumpClipboard(argc, argv);
    }
    QApplication app(argc, argv);
    CClipboardXvfbTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "ClipboardXvfbTest.moc"
