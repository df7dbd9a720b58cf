// A panel opened in the editor: its picture decoded once, at the size the view draws it, that
// decode also proving the file (a picture that does not decode is left out, as before); the
// window painted once, with scroll bars that agree with their ranges from the first paint.
#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "AppDriver.h"
#include "TestFiles.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"
#include "render/DecodedPicture.h"

using testsupport::Settle;
using testsupport::StartApp;

namespace {

// A JPEG with detail everywhere, so that every block has entropy data to garble.
QByteArray DetailedJpeg(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (x ^ y) & 0xFF, (y * 5) & 0xFF));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// The entropy data replaced by codes that do not exist and no marker: the stream's structure
// stays sound, so only a decode finds the fault.
QByteArray Garbled(QByteArray bytes) {
    const qsizetype sos = bytes.indexOf("\xFF\xDA");
    const qsizetype start = sos + 2 + ((uchar(bytes[sos + 2]) << 8) | uchar(bytes[sos + 3])) + 10;
    for (qsizetype i = start; i < bytes.size() - 10; ++i) {
        bytes[i] = char(i % 2 == 0 ? 0x7F : 0xFE);
    }
    return bytes;
}

CVelmoView* ActiveView(CVelmoApp& app) {
    fw::CMDIChildWnd* frame = app.MainFrame()->ActiveFrame();
    return frame != nullptr ? dynamic_cast<CVelmoView*>(frame->GetView()) : nullptr;
}

} // namespace

class CViewOpenTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // Writes a panel of panelSize whose picture (a JPEG of pictureSize) lies on body.
    QString WritePanel(const QString& name, QSize panelSize, QSize pictureSize, const CRect& body,
                       bool damaged = false) {
        const QString picture = m_dir.filePath(name + QStringLiteral(".jpg"));
        const QString panel = m_dir.filePath(name + QStringLiteral(".vlm"));
        const QByteArray sound = DetailedJpeg(pictureSize.width(), pictureSize.height());
        // Written sound for the import, then damaged in place for the open.
        if (!testsupport::WriteBytes(picture, sound) ||
            !testsupport::WritePanel(panel,
                                     testsupport::MakePanel(panelSize.width(), panelSize.height(),
                                                            0xFFFFFF, picture, body)) ||
            (damaged && !testsupport::WriteBytes(picture, Garbled(sound)))) {
            return {};
        }
        return panel;
    }

private slots:
    void OpenedPictureIsDecodedOnceAndPaintedOnce_data() {
        QTest::addColumn<QSize>("panelSize");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QRect>("body");
        QTest::addColumn<unsigned>("steps"); // bit 0 full, 1 half, 2 quarter, 3 eighth
        // The start-up benchmark's panel: the picture fills it at its own size.
        QTest::addRow("full size")
            << QSize(640, 427) << QSize(640, 427) << QRect(0, 0, 640, 427) << 1u;
        QTest::addRow("drawn at a quarter")
            << QSize(500, 400) << QSize(1600, 1200) << QRect(50, 50, 400, 300) << (1u << 2);
        QTest::addRow("larger than the window")
            << QSize(1500, 1200) << QSize(1200, 1000) << QRect(0, 0, 1200, 1000) << 1u;
    }
    void OpenedPictureIsDecodedOnceAndPaintedOnce() {
        QFETCH(QSize, panelSize);
        QFETCH(QSize, pictureSize);
        QFETCH(QRect, body);
        QFETCH(unsigned, steps);
        const QString path =
            WritePanel(QStringLiteral("panel"), panelSize, pictureSize,
                       CRect{body.left(), body.top(), body.right() + 1, body.bottom() + 1});
        QVERIFY(!path.isEmpty());
        auto app = StartApp({path});
        QVERIFY(app);
        CVelmoView* view = ActiveView(*app);
        QVERIFY(view);
        // Before any event is handled, the bars shown are those their ranges need.
        for (QScrollBar* bar : {view->horizontalScrollBar(), view->verticalScrollBar()}) {
            QCOMPARE(bar->isVisibleTo(view), bar->maximum() > 0);
        }
        QTRY_VERIFY(view->GetWholeDrawings() > 0);
        Settle();
        QCOMPARE(view->GetWholeDrawings(), 1);
        const QSize client = view->viewport()->size();
        QCOMPARE(view->horizontalScrollBar()->maximum(),
                 std::max(0, panelSize.width() - client.width()));
        QCOMPARE(view->verticalScrollBar()->maximum(),
                 std::max(0, panelSize.height() - client.height()));
        const auto picture = std::dynamic_pointer_cast<const render::CQtDecodedPicture>(
            view->GetDocument()->m_panel.m_image.m_bitmap);
        QVERIFY(picture);
        QCOMPARE(picture->StepDecodeCount(), 1);
        QCOMPARE(picture->DecodedSteps(), steps);
        app->DocManager().CloseAllDocuments();
        app.reset();
        Settle();
    }

    // A picture whose structure is sound but whose data does not decode: the panel opens
    // without it, with its name kept, and nothing else of the panel is lost.
    void PictureThatDoesNotDecodeIsLeftOut() {
        const QString path = WritePanel(QStringLiteral("damaged"), QSize(500, 400), QSize(800, 600),
                                        CRect{50, 50, 450, 350}, true);
        QVERIFY(!path.isEmpty());
        auto app = StartApp({path});
        QVERIFY(app);
        CVelmoView* view = ActiveView(*app);
        QVERIFY(view);
        const CVelmoDoc* doc = view->GetDocument();
        QVERIFY(doc->m_panel.m_image.m_bitmap == nullptr);
        QVERIFY(!doc->m_panel.m_image.m_strName.empty());
        QCOMPARE(doc->m_panel.m_rcTotal.right, 500);
        QCOMPARE(doc->m_history.Count(), 1);
        Settle();
        QVERIFY(doc->m_panel.m_image.m_bitmap == nullptr);
        app->DocManager().CloseAllDocuments();
        app.reset();
        Settle();
    }
};

QTEST_MAIN(CViewOpenTest)
#include "view_open_test.moc"
