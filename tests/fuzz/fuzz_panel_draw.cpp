// Draws an arbitrary panel file through the drawing layer into small images: hostile
// rectangles, corner sizes, tail points, border widths, font sizes and text lengths at several
// zooms and offsets. Drawing must be defined (run under the sanitizers) and must not depend on
// the size of the image drawn into: a small image holds exactly the top-left part of a larger
// one, so limiting the work to the visible area never changes a visible pixel.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "FuzzQt.h"
#include "model/Archive.h"
#include "model/Panel.h"
#include "render/DecodedPicture.h"
#include "render/PanelRenderer.h"

namespace {

const int kZooms[] = {1, 10, 50, 100, 200, 1000, 100000, -100};

QImage Draw(const CPanel& panel, int zoom, int selected, int dx, int dy, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::gray);
    QPainter painter(&image);
    render::DrawPanel(painter, panel, zoom, selected, dx, dy);
    return image;
}

// A small picture for panels that name one, so the picture layer is drawn at hostile places.
PictureHandle SamplePicture() {
    static const PictureHandle picture = [] {
        QImage image(13, 7, QImage::Format_RGB32);
        image.fill(QColor(20, 140, 60));
        const QString path =
            QStringLiteral("/tmp/velmo-fuzz-sample-%1.png").arg(QCoreApplication::applicationPid());
        image.save(path, "PNG");
        PictureHandle opened = render::CQtDecodedPicture::Open(path);
        QFile::remove(path);
        return opened;
    }();
    return picture;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnsureFuzzGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CPanel panel;
    try {
        CArchive ar = CArchive::ForLoading({data, size});
        panel.Serialize(ar);
    } catch (const CArchiveException&) {
        return 0;
    }
    if (!panel.m_image.m_strName.empty()) {
        panel.m_image.m_bitmap = SamplePicture();
    }
    // The drawing parameters come from the size, so the same bytes always draw the same way.
    const int zoom = kZooms[size % std::size(kZooms)];
    const int selected = static_cast<int>(size / 8 % 12) - 1; // -1, balloons, 10 (none)
    const int offset = static_cast<int>(size % 5) * 7 - 14;
    const QImage small =
        Draw(panel, zoom, selected == 10 ? render::kSelectPicture : selected, offset, -offset, 24);
    const QImage large =
        Draw(panel, zoom, selected == 10 ? render::kSelectPicture : selected, offset, -offset, 56);
    if (large.copy(0, 0, 24, 24) != small) {
        __builtin_trap();
    }
    return 0;
}
