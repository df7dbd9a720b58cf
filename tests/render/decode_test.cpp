// Decoding through the Qt decoder: formats, refusal of damaged and hostile files, the decode
// cache, and decoding at the smallest step that covers the size drawn.
#include <QPainter>
#include <QtTest>

#include "TestPictures.h"
#include "model/VelmoDoc.h"
#include "render/DecodedPicture.h"
#include "render/PanelRenderer.h"
#include "render/QtPictureDecoder.h"

using render::CQtDecodedPicture;
using render::CQtPictureDecoder;

namespace {

std::shared_ptr<const CQtDecodedPicture> DecodeWith(CQtPictureDecoder& decoder,
                                                    const QString& path) {
    return std::dynamic_pointer_cast<const CQtDecodedPicture>(decoder.Decode(path.toStdString()));
}

int BmpBitCount(const QString& path) {
    const QByteArray b = testpic::ReadAll(path);
    return static_cast<unsigned char>(b[28]) | (static_cast<unsigned char>(b[29]) << 8);
}

} // namespace

class CDecodeTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void DecodesJpegBmpAndPng() {
        CQtPictureDecoder decoder;
        const QImage gradient = testpic::Gradient(64, 48);
        const QString jpeg = testpic::Save(m_dir, "photo.jpg", gradient, "JPEG", 95);
        const QString bmp24 = testpic::Save(m_dir, "photo.bmp", gradient, "BMP");
        const QString bmp8 = testpic::Save(m_dir, "palette.bmp", testpic::Palette8(30, 20), "BMP");
        const QString png = testpic::Save(m_dir, "photo.png", gradient, "PNG");
        QCOMPARE(BmpBitCount(bmp24), 24);
        QCOMPARE(BmpBitCount(bmp8), 8);

        for (const QString& path : {jpeg, bmp24, png}) {
            const auto picture = DecodeWith(decoder, path);
            QVERIFY2(picture != nullptr, qPrintable(path));
            QCOMPARE(picture->Width(), 64);
            QCOMPARE(picture->Height(), 48);
            const QImage full = picture->PixelsCovering(QSize(64, 48));
            QCOMPARE(full.size(), QSize(64, 48));
            const int tolerance = path == jpeg ? 12 : 0;
            for (const QPoint p : {QPoint(0, 0), QPoint(63, 0), QPoint(20, 30), QPoint(63, 47)}) {
                QVERIFY2(testpic::ColorDistance(full.pixel(p), gradient.pixel(p)) <= tolerance,
                         qPrintable(path));
            }
        }
        const auto palette = DecodeWith(decoder, bmp8);
        QVERIFY(palette != nullptr);
        QCOMPARE(palette->Size(), QSize(30, 20));
        const QImage pixels = palette->PixelsCovering(QSize(30, 20));
        QCOMPARE(QColor(pixels.pixel(0, 0)), QColor(255, 0, 0));
        QCOMPARE(QColor(pixels.pixel(2, 0)), QColor(0, 255, 0));
        QCOMPARE(QColor(pixels.pixel(4, 2)), QColor(255, 255, 0));
        QCOMPARE(QColor(pixels.pixel(4, 0)), QColor(0, 0, 255));
    }

    void JpegOrientationGivesTheShownSize() {
        CQtPictureDecoder decoder;
        const QString stored =
            testpic::Save(m_dir, "stored.jpg", testpic::Gradient(80, 40), "JPEG");
        const QString turned = m_dir.filePath("turned.jpg");
        testpic::WriteAll(turned, testpic::WithExifOrientation6(testpic::ReadAll(stored)));
        const auto picture = DecodeWith(decoder, turned);
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->Size(), QSize(40, 80));
        QCOMPARE(picture->PixelsCovering(QSize(40, 80)).size(), QSize(40, 80));
        QCOMPARE(picture->PixelsCovering(QSize(5, 10)).size(), QSize(5, 10)); // the 1/8 step
    }

    void RefusesTruncatedJpegAndImportLeavesThePanel() {
        CQtPictureDecoder decoder;
        const QString good = testpic::Save(m_dir, "good.jpg", testpic::Gradient(200, 150), "JPEG");
        const QByteArray bytes = testpic::ReadAll(good);
        const QString cut = m_dir.filePath("cut.jpg");
        testpic::WriteAll(cut, bytes.left(bytes.size() / 2));
        QVERIFY(decoder.Decode(cut.toStdString()) == nullptr);

        CPanelImage image;
        QCOMPARE(image.Import(good.toStdString(), decoder), EImportResult::Imported);
        const PictureHandle before = image.m_bitmap;
        const CRect body = image.m_rcBody;
        QCOMPARE(image.Import(cut.toStdString(), decoder), EImportResult::Undecodable);
        QCOMPARE(image.m_bitmap, before);
        QCOMPARE(image.m_strName, std::string("good.jpg"));
        QCOMPARE(image.m_strPath, good.toStdString());
        QVERIFY(image.m_rcBody == body);
    }

    void RefusesPicturesDeclaringSixtyThousandSquared() {
        CQtPictureDecoder decoder;
        const QString jpeg = m_dir.filePath("bomb.jpg");
        testpic::WriteAll(jpeg, testpic::JpegDeclaring(60000, 60000));
        QVERIFY(testpic::ReadAll(jpeg).size() < 2000);
        QVERIFY(decoder.Decode(jpeg.toStdString()) == nullptr);

        const QString bmp = testpic::Save(m_dir, "bomb.bmp", testpic::Solid(4, 4, Qt::red), "BMP");
        QByteArray header = testpic::ReadAll(bmp);
        const qint32 side = 60000;
        memcpy(header.data() + 18, &side, 4); // width, then height (little-endian)
        memcpy(header.data() + 22, &side, 4);
        testpic::WriteAll(bmp, header);
        QVERIFY(decoder.Decode(bmp.toStdString()) == nullptr);

        // The limit itself: 16384 x 16384 x 4 bytes is exactly 1 GiB.
        QVERIFY(render::DeclaredSizeAcceptable(QSize(16384, 16384)));
        QVERIFY(!render::DeclaredSizeAcceptable(QSize(16385, 16384)));
        QVERIFY(!render::DeclaredSizeAcceptable(QSize(0, 10)));
    }

    void CacheReusedWhileUnchangedAndRefreshedWhenChanged() {
        CQtPictureDecoder decoder;
        const QString path = testpic::Save(m_dir, "cached.jpg", testpic::Gradient(64, 48), "JPEG");
        const PictureHandle first = decoder.Decode(path.toStdString());
        QVERIFY(first != nullptr);
        // The same file by another spelling of its path is the same picture.
        const QString other = m_dir.path() + "/./cached.jpg";
        QCOMPARE(decoder.Decode(other.toStdString()), first);
        QCOMPARE(decoder.FilesOpened(), 1);

        testpic::Save(m_dir, "cached.jpg", testpic::Gradient(32, 16), "JPEG");
        const PictureHandle second = decoder.Decode(path.toStdString());
        QVERIFY(second != nullptr);
        QVERIFY(second != first);
        QCOMPARE(second->Width(), 32);
        QCOMPARE(decoder.FilesOpened(), 2);
        QCOMPARE(decoder.CachedPictures(), 1); // the stale entry was replaced
    }

    void UndoAcrossAPictureChangeReusesTheDecodedPicture() {
        CQtPictureDecoder decoder;
        const QString a = testpic::Save(m_dir, "a.jpg", testpic::Gradient(64, 48), "JPEG");
        const QString b = testpic::Save(m_dir, "b.png", testpic::Solid(20, 10, Qt::blue), "PNG");
        CVelmoDoc doc(decoder);
        doc.RecordChange(false, true);
        QCOMPARE(doc.m_panel.m_image.Import(a.toStdString(), decoder), EImportResult::Imported);
        doc.RecordChange(true, true);
        const PictureHandle pictureA = doc.m_panel.m_image.m_bitmap;
        QCOMPARE(doc.m_panel.m_image.Import(b.toStdString(), decoder), EImportResult::Imported);
        doc.RecordChange(true, true);
        QCOMPARE(decoder.FilesOpened(), 2);

        QVERIFY(doc.Undo());
        QCOMPARE(doc.m_panel.m_image.m_bitmap, pictureA);
        QVERIFY(doc.Redo());
        QCOMPARE(doc.m_panel.m_image.m_bitmap->Width(), 20);
        QCOMPARE(decoder.FilesOpened(), 2);
    }

    void DecodesOnlyTheStepTheZoomNeeds() {
        CQtPictureDecoder decoder;
        const QString path = testpic::Save(m_dir, "big.jpg", testpic::Gradient(800, 600), "JPEG");
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        QCOMPARE(panel.m_image.Import(path.toStdString(), decoder), EImportResult::Imported);
        const auto picture =
            std::dynamic_pointer_cast<const CQtDecodedPicture>(panel.m_image.m_bitmap);
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->Size(), QSize(800, 600)); // the true size, not the step's
        QCOMPARE(picture->DecodedSteps(), 1u << 3); // only 1/8 (100 x 75) at import
        QCOMPARE(picture->StepDecodeCount(), 1);

        QImage canvas(700, 500, QImage::Format_RGB32);
        QPainter painter(&canvas);
        render::DrawPanel(painter, panel, 30, render::kSelectNone); // 90 x 67: 1/8 covers it
        QCOMPARE(picture->StepDecodeCount(), 1);
        render::DrawPanel(painter, panel, 100, render::kSelectNone); // 300 x 225: needs 1/2
        QCOMPARE(picture->DecodedSteps(), (1u << 3) | (1u << 1));
        render::DrawPanel(painter, panel, 100, render::kSelectNone); // repaint: nothing new
        QCOMPARE(picture->StepDecodeCount(), 2);
        render::DrawPanel(painter, panel, 300, render::kSelectNone); // 900 wide: full
        QVERIFY(picture->DecodedSteps() & 1u);
        QCOMPARE(picture->StepDecodeCount(), 3);
    }
};

QTEST_MAIN(CDecodeTest)
#include "decode_test.moc"
