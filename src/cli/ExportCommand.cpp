#include "ExportCommand.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include "OutcomeText.h"
#include "model/VelmoDoc.h"
#include "render/DecodedPicture.h"
#include "render/PanelRenderer.h"

namespace cli {

namespace {
// 96 dots per inch, the editor's screen: balloon text has the size it has there.
constexpr int kDotsPerMeter = 3780;
constexpr qint64 kMaxSide = 32767;
} // namespace

int RunExportPng(const std::string& outPath, const std::string& panelPath, int zoom,
                 std::ostream& err) {
    CVelmoDoc doc;
    const EDocOutcome outcome = doc.OnOpenDocument(panelPath);
    if (outcome != EDocOutcome::Opened) {
        err << "velmo: " << OpenFailureText(outcome, panelPath) << '\n';
        return 1;
    }
    // The view's extent: the overall rectangle's right and bottom at the zoom, from the origin.
    CRect total = doc.m_panel.m_rcTotal;
    CLayerItem::ZoomRect(zoom, total, 0, 0);
    const qint64 width = total.right;
    const qint64 height = total.bottom;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height * 4 > render::kMaxPictureBytes) {
        err << "velmo: " << panelPath << ": a panel of " << width << " x " << height
            << " pixels cannot be exported.\n";
        return 1;
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) {
        err << "velmo: not enough memory for a picture of " << width << " x " << height << ".\n";
        return 1;
    }
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        render::DrawPanel(painter, doc.m_panel, zoom, render::kSelectNone);
    }
    QImageWriter writer(QString::fromUtf8(outPath.c_str()), "png");
    if (!writer.write(image)) {
        err << "velmo: " << outPath << ": " << writer.errorString().toStdString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace cli
