#include "ShowExport.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "AnimatedWebp.h"
#include "AtomicOutput.h"
#include "OutputExtension.h"
#include "PanelExport.h"
#include "PanelPage.h"
#include "PngWriter.h"
#include "ShowLayers.h"
#include "VideoWriter.h"
#include "model/PlaybackPanel.h"
#include "render/JpegScaledDecoder.h"
#include "render/PanelRenderer.h"
#include "render/RenderColor.h"

namespace exporting {

namespace {

constexpr int kDotsPerMeter = 3780; // 96 dpi: balloon text as on the player's screen

// One layer drawn over what the canvas shows, as the player draws it.
void DrawLayer(QImage& canvas, const CPanel& panel, const CPanelFit& fit, const CShowLayer& layer) {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    switch (layer.m_eKind) {
    case EShowLayer::Background:
        painter.fillRect(canvas.rect(), render::ToQColor(panel.m_crBack));
        break;
    case EShowLayer::Picture:
        render::DrawPicture(painter, panel.m_image, false, fit.m_nZoom, fit.m_nOffsetX,
                            fit.m_nOffsetY);
        break;
    case EShowLayer::Balloon:
        if (layer.m_nSlot >= 0 && layer.m_nSlot < kFukiSlots) {
            render::DrawFuki(painter, panel.m_fuki[static_cast<std::size_t>(layer.m_nSlot)], false,
                             fit.m_nZoom, fit.m_nOffsetX, fit.m_nOffsetY);
        }
        break;
    case EShowLayer::None:
        break;
    }
}

const char* LayerName(EShowLayer kind) {
    switch (kind) {
    case EShowLayer::Background:
        return "background";
    case EShowLayer::Picture:
        return "picture";
    case EShowLayer::Balloon:
        return "balloon";
    case EShowLayer::None:
        break;
    }
    return "layer";
}

// Where the layers of the show go, one panel after another.
class CSink {
public:
    virtual ~CSink() = default;
    virtual bool Begin(const std::string& path, std::string& error) = 0;
    // A panel's layers; the canvas is drawn layer by layer where the sink wants frames.
    virtual bool Panel(int index, const CPanel& panel, std::string& error) = 0;
    virtual bool End(const std::string& path, std::string& error) = 0;
    // The zoom the panel's picture will be drawn at.
    virtual int PictureZoom(const CPanel& panel) = 0;
};

// Frames for the video, the WebP and the PNGs: the player's canvas, layer by layer.
class CFrameSink : public CSink {
public:
    explicit CFrameSink(const SShowExportOptions& options)
        : m_canvas(options.nWidth, options.nHeight, QImage::Format_RGB32) {
        m_canvas.setDotsPerMeterX(kDotsPerMeter);
        m_canvas.setDotsPerMeterY(kDotsPerMeter);
        m_canvas.fill(Qt::black);
    }
    int PictureZoom(const CPanel& panel) override {
        return FitPanelToScreen(panel.m_rcTotal, m_canvas.width(), m_canvas.height()).m_nZoom;
    }
    bool Panel(int index, const CPanel& panel, std::string& error) override {
        if (m_canvas.isNull()) {
            error = "not enough memory for the frames";
            return false;
        }
        const CPanelFit fit =
            FitPanelToScreen(panel.m_rcTotal, m_canvas.width(), m_canvas.height());
        const std::vector<SShowStep> steps = PanelSteps(panel);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            DrawLayer(m_canvas, panel, fit, steps[i].m_layer);
            if (!Frame(index, int(i), steps[i], error)) {
                return false;
            }
        }
        return true;
    }

protected:
    virtual bool Frame(int panel, int layer, const SShowStep& step, std::string& error) = 0;
    QImage m_canvas;
};

// Frames that equal the one before are merged into it: each picture is encoded once.
class CTimedSink : public CFrameSink {
public:
    using CFrameSink::CFrameSink;

protected:
    bool Frame(int, int, const SShowStep& step, std::string& error) override {
        if (m_nPendingTicks > 0 && m_pending == m_canvas) {
            m_nPendingTicks += step.m_nTicks;
            return true;
        }
        if (!Flush(error)) {
            return false;
        }
        m_pending = m_canvas.copy();
        m_nPendingTicks = step.m_nTicks;
        return true;
    }
    bool Flush(std::string& error) {
        if (m_nPendingTicks == 0) {
            return true;
        }
        const bool ok = Encode(m_pending, m_nPendingTicks, error);
        m_nPendingTicks = 0;
        return ok;
    }
    virtual bool Encode(const QImage& frame, std::int64_t ticks, std::string& error) = 0;

private:
    QImage m_pending;
    std::int64_t m_nPendingTicks = 0;
};

// The video writer compares each frame with the one before itself (on the converted frame), so
// the canvas goes to it as it is, without a copy.
class CVideoSink : public CFrameSink {
public:
    CVideoSink(const SShowExportOptions& options) : CFrameSink(options), m_nFps(options.nFps) {}
    bool Begin(const std::string& path, std::string& error) override {
        return m_writer.Open(path, m_canvas.width(), m_canvas.height(), m_nFps, error);
    }
    bool End(const std::string&, std::string& error) override { return m_writer.Finish(error); }

protected:
    bool Frame(int, int, const SShowStep& step, std::string& error) override {
        return m_writer.AddFrame(m_canvas, step.m_nTicks, error);
    }

private:
    CVideoWriter m_writer;
    int m_nFps;
};

class CWebpSink : public CTimedSink {
public:
    using CTimedSink::CTimedSink;
    bool Begin(const std::string&, std::string& error) override {
        return m_encoder.Open(m_canvas.width(), m_canvas.height(), error);
    }
    bool End(const std::string& path, std::string& error) override {
        return Flush(error) && m_encoder.Finish(path, error);
    }

protected:
    bool Encode(const QImage& frame, std::int64_t ticks, std::string& error) override {
        return m_encoder.AddFrame(frame, ticks, error);
    }

private:
    CAnimatedWebp m_encoder;
};

class CPngFolderSink : public CFrameSink {
public:
    using CFrameSink::CFrameSink;
    bool Begin(const std::string& path, std::string&) override {
        m_strFolder = path;
        return true;
    }
    bool End(const std::string&, std::string&) override { return true; }

protected:
    bool Frame(int panel, int layer, const SShowStep& step, std::string& error) override {
        char name[64];
        std::snprintf(name, sizeof name, "%03d-%02d-%s.png", panel + 1, layer + 1,
                      LayerName(step.m_layer.m_eKind));
        CPngBytes png;
        if (!EncodePng(m_canvas, png, error)) {
            error = std::string(name) + ": " + error;
            return false;
        }
        return WriteWholeFile(m_strFolder + "/" + name, png.Data(), png.Size(), error);
    }

private:
    std::string m_strFolder;
};

// One page per panel, fitted; landscape pages for panels wider than high.
class CPdfSink : public CSink {
public:
    bool Begin(const std::string& path, std::string& error) override {
        m_file.setFileName(QString::fromStdString(path));
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error = path + ": " + m_file.errorString().toStdString();
            return false;
        }
        m_pWriter = std::make_unique<QPdfWriter>(&m_file);
        m_pWriter->setCreator(QStringLiteral("Velmo"));
        UsePageDpi(*m_pWriter);
        return true;
    }
    int PictureZoom(const CPanel& panel) override {
        SetLayout(panel);
        return PanelPageZoom(panel, QRectF(0, 0, m_pWriter->width(), m_pWriter->height()),
                             kHandoutPictureDpi);
    }
    bool Panel(int, const CPanel& panel, std::string& error) override {
        SetLayout(panel);
        if (!m_painter.isActive()) {
            if (!m_painter.begin(m_pWriter.get())) {
                error = "the PDF could not be started";
                return false;
            }
        } else if (!m_pWriter->newPage()) {
            error = "the PDF could not take another page";
            return false;
        }
        DrawPanelOnPage(m_painter, panel, QRectF(0, 0, m_pWriter->width(), m_pWriter->height()),
                        kHandoutPictureDpi);
        return true;
    }
    bool End(const std::string& path, std::string& error) override {
        if (m_painter.isActive() && !m_painter.end()) {
            error = path + ": the PDF could not be finished";
            return false;
        }
        m_pWriter.reset();
        const qint64 written = m_file.size();
        const bool flushed = m_file.flush();
        m_file.close();
        // A full disk or a size limit shows as a short file.
        if (!flushed || m_file.error() != QFileDevice::NoError ||
            QFileInfo(m_file.fileName()).size() != written) {
            error =
                path + ": " +
                (m_file.error() != QFileDevice::NoError ? m_file.errorString().toStdString()
                                                        : std::string("not completely written"));
            return false;
        }
        return true;
    }

private:
    void SetLayout(const CPanel& panel) {
        const bool landscape = panel.m_rcTotal.right > panel.m_rcTotal.bottom;
        m_pWriter->setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
            QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    }
    QFile m_file;
    std::unique_ptr<QPdfWriter> m_pWriter;
    QPainter m_painter;
};

std::unique_ptr<CSink> MakeSink(EShowFormat format, const SShowExportOptions& options) {
    switch (format) {
    case EShowFormat::Pdf:
        return std::make_unique<CPdfSink>();
    case EShowFormat::Mp4: {
        SShowExportOptions even = options;
        even.nWidth &= ~1;
        even.nHeight &= ~1;
        return std::make_unique<CVideoSink>(even);
    }
    case EShowFormat::Webp:
        return std::make_unique<CWebpSink>(options);
    case EShowFormat::PngFolder:
        return std::make_unique<CPngFolderSink>(options);
    case EShowFormat::Unknown:
        break;
    }
    return nullptr;
}

// Messages name the target, not the temporary written first.
std::string AtTarget(const std::string& error, const std::string& temp, const std::string& out) {
    if (temp.empty() || error.compare(0, temp.size(), temp) != 0) {
        return error;
    }
    return out + error.substr(temp.size());
}

} // namespace

EShowFormat ShowFormatOf(const std::string& path) {
    if (!path.empty() && path.back() == '/') {
        return EShowFormat::PngFolder;
    }
    if (QFileInfo(QString::fromStdString(path)).isDir()) {
        return EShowFormat::PngFolder;
    }
    return FormatByExtension(
        path, {{"pdf", EShowFormat::Pdf}, {"mp4", EShowFormat::Mp4}, {"webp", EShowFormat::Webp}},
        EShowFormat::Unknown);
}

std::string ShowFormatsText() {
    return ".mp4, .webp, .pdf or a folder (ending in /) for PNGs";
}

EExportOutcome ExportShow(IPictureDecoder& decoder, const std::string& showPath,
                          const std::string& outPath, const SShowExportOptions& options,
                          const ExportProgress& progress, const ExportWarning& warn,
                          std::string& error) {
    const EShowFormat format = ShowFormatOf(outPath);
    if (format == EShowFormat::Unknown) {
        error = outPath + ": unknown kind of file; a show is exported as " + ShowFormatsText();
        return EExportOutcome::Failed;
    }
    std::vector<std::string> panels;
    if (!ShowPanelPaths(showPath, panels, error)) {
        return EExportOutcome::Failed;
    }
    // The output outlives the sink: the sink lets go of its files before the temporary goes.
    CAtomicOutput output(outPath, format == EShowFormat::PngFolder);
    if (!output.Create(error)) {
        return EExportOutcome::Failed;
    }
    std::unique_ptr<CSink> sink = MakeSink(format, options);
    const std::string& temp = output.TempPath();
    const int total = static_cast<int>(panels.size());
    if (!sink->Begin(temp, error)) {
        error = AtTarget(error, temp, outPath);
        return EExportOutcome::Failed;
    }
    if (progress && !progress(0, total)) {
        return EExportOutcome::Cancelled;
    }
    // The panels' pictures are decoded one after another, often at one size: each decode
    // reuses the buffer of the picture let go of before it.
    const render::CPixelBufferReuse reuse;
    CPanel panel;
    for (int i = 0; i < total; ++i) {
        std::string warning;
        if (!LoadShowPanel(panels[static_cast<std::size_t>(i)], i, panel, decoder, warning, error,
                           [&](const CPanel& read) { return sink->PictureZoom(read); })) {
            return EExportOutcome::Failed;
        }
        if (!warning.empty() && warn) {
            warn(warning);
        }
        if (!sink->Panel(i, panel, error)) {
            error = AtTarget(error, temp, outPath);
            return EExportOutcome::Failed;
        }
        if (progress && !progress(i + 1, total)) {
            return EExportOutcome::Cancelled;
        }
    }
    panel.Reset(); // the last picture is let go before the file is finished
    if (!sink->End(temp, error)) {
        error = AtTarget(error, temp, outPath);
        return EExportOutcome::Failed;
    }
    sink.reset();
    return output.Commit(error) ? EExportOutcome::Written : EExportOutcome::Failed;
}

} // namespace exporting
