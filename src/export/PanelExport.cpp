#include "PanelExport.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <webp/encode.h>

#include "AtomicOutput.h"
#include "OutputExtension.h"
#include "PanelPage.h"
#include "PngWriter.h"
#include "model/Panel.h"
#include "render/DecodedPicture.h"
#include "render/PanelRenderer.h"

namespace exporting {

namespace {

// 96 dots per inch, the editor's screen: balloon text has the size it has there.
constexpr int kDotsPerMeter = 3780;
constexpr qint64 kMaxSide = 16383; // WebP's limit, also kept for the other formats
constexpr int kJpegQuality = 92;
constexpr float kWebpQuality = 90.0F;

bool WriteBytes(const char* data, qint64 size, const std::string& path, std::string& error) {
    return WriteWholeFile(path, data, static_cast<std::size_t>(size), error);
}

bool WriteWebp(const QImage& image, const std::string& path, std::string& error) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::uint8_t* output = nullptr;
    const std::size_t size =
        WebPEncodeRGB(rgb.constBits(), rgb.width(), rgb.height(),
                      static_cast<int>(rgb.bytesPerLine()), kWebpQuality, &output);
    if (size == 0 || output == nullptr) {
        WebPFree(output);
        error = path + ": the WebP encoder failed";
        return false;
    }
    const bool ok = WriteBytes(reinterpret_cast<const char*>(output), qint64(size), path, error);
    WebPFree(output);
    return ok;
}

bool WritePdf(const CPanel& panel, const std::string& path, std::string& error) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Velmo"));
        const bool landscape = panel.m_rcTotal.right > panel.m_rcTotal.bottom;
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        UsePageDpi(writer);
        if (!PaintPanelPage(writer, panel, kPrintPictureDpi)) {
            error = path + ": the PDF could not be drawn";
            return false;
        }
    }
    return WriteBytes(bytes.constData(), bytes.size(), path, error);
}

} // namespace

EPanelFormat PanelFormatOf(const std::string& path) {
    return FormatByExtension(path,
                             {{"png", EPanelFormat::Png},
                              {"jpg", EPanelFormat::Jpeg},
                              {"jpeg", EPanelFormat::Jpeg},
                              {"webp", EPanelFormat::Webp},
                              {"pdf", EPanelFormat::Pdf}},
                             EPanelFormat::Unknown);
}

std::string PanelFormatsText() {
    return ".png, .jpg, .jpeg, .webp or .pdf";
}

int PanelExportZoom(const CPanel& panel, const SPanelSize& size) {
    const qint64 baseWidth = panel.m_rcTotal.right;
    if (baseWidth <= 0 || panel.m_rcTotal.bottom <= 0) {
        return 0;
    }
    if (size.nWidth > 0) {
        // Drawn at the next whole zoom at or above the width, then scaled down onto it.
        return static_cast<int>(std::clamp<qint64>(
            (qint64(size.nWidth) * 100 + baseWidth - 1) / baseWidth, 1, kMaxZoom));
    }
    return std::clamp(size.nZoom, kMinZoom, kMaxZoom);
}

QImage RenderPanelImage(const CPanel& panel, const SPanelSize& size, std::string& error) {
    // The view's extent: the overall rectangle's right and bottom, from the origin.
    const qint64 baseWidth = panel.m_rcTotal.right;
    const qint64 baseHeight = panel.m_rcTotal.bottom;
    if (baseWidth <= 0 || baseHeight <= 0) {
        error = "a panel of " + std::to_string(baseWidth) + " x " + std::to_string(baseHeight) +
                " pixels cannot be exported";
        return {};
    }
    const int zoom = PanelExportZoom(panel, size);
    qint64 width = 0;
    qint64 height = 0;
    double scale = 1.0;
    if (size.nWidth > 0) {
        width = size.nWidth;
        height = std::max<qint64>(1, std::llround(double(baseHeight) * width / baseWidth));
        scale = double(width) / (double(baseWidth) * zoom / 100.0);
    } else {
        CRect total = panel.m_rcTotal;
        CLayerItem::ZoomRect(zoom, total, 0, 0);
        width = total.right;
        height = total.bottom;
    }
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height * 4 > render::kMaxPictureBytes) {
        error = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels cannot be exported (at most " + std::to_string(kMaxSide) +
                " pixels a side)";
        return {};
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) {
        error = "not enough memory for a picture of " + std::to_string(width) + " x " +
                std::to_string(height);
        return {};
    }
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (scale != 1.0) {
        painter.scale(scale, scale);
    }
    render::DrawPanel(painter, panel, zoom, render::kSelectNone);
    return image;
}

bool WritePicture(const QImage& image, EPanelFormat format, const std::string& path,
                  std::string& error) {
    if (format == EPanelFormat::Webp) {
        return WriteWebp(image, path, error);
    }
    if (format == EPanelFormat::Png) {
        CPngBytes png;
        if (!EncodePng(image, png, error)) {
            error = path + ": " + error;
            return false;
        }
        return WriteWholeFile(path, png.Data(), png.Size(), error);
    }
    // Encoded in memory first: the image writer does not report a failed write to its file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(image)) {
        error = path + ": " + writer.errorString().toStdString();
        return false;
    }
    return WriteBytes(bytes.constData(), bytes.size(), path, error);
}

bool ExportPanel(const CPanel& panel, const std::string& outPath, const SPanelSize& size,
                 std::string& error) {
    const EPanelFormat format = PanelFormatOf(outPath);
    if (format == EPanelFormat::Unknown) {
        error = outPath + ": unknown kind of file; a panel is exported as " + PanelFormatsText();
        return false;
    }
    QImage image;
    if (format != EPanelFormat::Pdf) {
        image = RenderPanelImage(panel, size, error);
        if (image.isNull()) {
            return false;
        }
    }
    CAtomicOutput output(outPath, false);
    if (!output.Create(error)) {
        return false;
    }
    const bool written = format == EPanelFormat::Pdf
                             ? WritePdf(panel, output.TempPath(), error)
                             : WritePicture(image, format, output.TempPath(), error);
    if (!written) {
        // The message names the temporary file; the user knows the target.
        const std::size_t colon = error.find(": ");
        error = outPath + (colon == std::string::npos ? ": " + error : error.substr(colon));
        return false;
    }
    return output.Commit(error);
}

} // namespace exporting
