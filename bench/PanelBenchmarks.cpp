#include "PanelBenchmarks.h"

#include <QImageReader>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "model/VelmoDoc.h"
#include "render/PanelRenderer.h"
#include "render/QtPictureDecoder.h"

extern char** environ;

namespace bench {

namespace {

QImage Canvas(int w, int h) {
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(Qt::gray);
    return canvas;
}

void Paint(QImage& canvas, const CPanel& panel, int zoom, int dx = 0) {
    QPainter painter(&canvas);
    render::DrawPanel(painter, panel, zoom, render::kSelectNone, dx, 0);
}

// The panel at zoom 100: the picture imported, so placed 300 pixels wide at (50, 50), and the
// default balloon over it (left out where the picture's quality is measured).
bool ImportInto(CPanel& panel, IPictureDecoder& decoder, const std::string& path,
                bool balloon = true) {
    panel.Reset();
    if (balloon) {
        panel.AddFuki();
    }
    return panel.m_image.Import(path, decoder) == EImportResult::Imported;
}

// A 600 x 400 panel filled by its picture, for the fitted zoom.
bool ImportFitted(CPanel& panel, IPictureDecoder& decoder, const std::string& path,
                  bool balloon = true) {
    if (!ImportInto(panel, decoder, path, balloon)) {
        return false;
    }
    panel.m_rcTotal = CRect{0, 0, 600, 400};
    panel.m_image.m_rcBody = CRect{0, 0, 600, 400};
    return true;
}

// Real time per decode, and the child's processor time (user + system) as the counter
// "child_cpu_ms": the process itself spends almost none.
void Djpeg(benchmark::State& state, const std::string& path) {
    std::string program = "djpeg", outFlag = "-outfile", out = "/dev/null", file = path;
    char* argv[] = {program.data(), outFlag.data(), out.data(), file.data(), nullptr};
    double childMs = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        struct rusage usage {};
        if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv, environ) != 0 ||
            wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed (package libjpeg-turbo-progs)");
            return;
        }
        childMs += usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
                   usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
    }
    state.counters[kChildCpuCounter] =
        benchmark::Counter(childMs, benchmark::Counter::kAvgIterations);
}

void QtDecode(benchmark::State& state, const std::string& path, int divisor) {
    for (auto _ : state) {
        QImageReader reader(QString::fromStdString(path));
        if (divisor > 1) {
            reader.setScaledSize(reader.size() / divisor);
        }
        QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Opening a panel with that picture until its first frame is painted, nothing cached.
void FirstFrame(benchmark::State& state, const std::string& path, bool fitted) {
    QImage canvas = fitted ? Canvas(1920, 1080) : Canvas(640, 480);
    for (auto _ : state) {
        render::CQtPictureDecoder decoder;
        CPanel panel;
        if (!(fitted ? ImportFitted(panel, decoder, path) : ImportInto(panel, decoder, path))) {
            state.SkipWithError("the picture did not decode");
            return;
        }
        Paint(canvas, panel, fitted ? kFitZoom : 100, fitted ? kFitDx : 0);
    }
}

void Repaint(benchmark::State& state, const std::string& path, bool fitted) {
    render::CQtPictureDecoder decoder;
    CPanel panel;
    QImage canvas = fitted ? Canvas(1920, 1080) : Canvas(640, 480);
    if (!(fitted ? ImportFitted(panel, decoder, path) : ImportInto(panel, decoder, path))) {
        state.SkipWithError("the picture did not decode");
        return;
    }
    const int zoom = fitted ? kFitZoom : 100;
    const int dx = fitted ? kFitDx : 0;
    Paint(canvas, panel, zoom, dx); // the first frame
    for (auto _ : state) {
        Paint(canvas, panel, zoom, dx);
    }
}

// Undo of a step that replaced the picture, with the repaint that follows it.
void UndoAcrossPictureChange(benchmark::State& state, const std::string& first,
                             const std::string& second) {
    render::CQtPictureDecoder decoder;
    QImage canvas = Canvas(640, 480);
    CVelmoDoc doc(decoder);
    doc.m_panel.AddFuki();
    doc.RecordChange(false, true);
    if (doc.m_panel.m_image.Import(first, decoder) != EImportResult::Imported) {
        state.SkipWithError("the picture did not decode");
        return;
    }
    doc.RecordChange(true, true);
    Paint(canvas, doc.m_panel, 100);
    doc.m_panel.m_image.Import(second, decoder);
    doc.RecordChange(true, true);
    Paint(canvas, doc.m_panel, 100);
    for (auto _ : state) {
        doc.Undo();
        Paint(canvas, doc.m_panel, 100);
        state.PauseTiming();
        doc.Redo();
        Paint(canvas, doc.m_panel, 100);
        state.ResumeTiming();
    }
}

void Configure(benchmark::internal::Benchmark* b) {
    // Processor time of the whole process: Qt spreads large conversions and scaling over its
    // thread pool.
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

} // namespace

void RegisterPanelBenchmarks(const std::string& path, const std::string& copyPath) {
    Configure(benchmark::RegisterBenchmark("djpeg_full_decode", Djpeg, path));
    Configure(benchmark::RegisterBenchmark("qt_full_decode", QtDecode, path, 1));
    Configure(benchmark::RegisterBenchmark("qt_eighth_decode", QtDecode, path, 8));
    Configure(benchmark::RegisterBenchmark("first_frame_zoom100", FirstFrame, path, false));
    Configure(benchmark::RegisterBenchmark("repaint_zoom100", Repaint, path, false));
    Configure(benchmark::RegisterBenchmark("first_frame_fit1920", FirstFrame, path, true));
    Configure(benchmark::RegisterBenchmark("repaint_fit1920", Repaint, path, true));
    Configure(benchmark::RegisterBenchmark("undo_across_picture_change", UndoAcrossPictureChange,
                                           path, copyPath));
}

void PaintForQuality(const std::string& path, QImage& zoom100, QRect& part100, QImage& fit,
                     QRect& partFit) {
    render::CQtPictureDecoder decoder;
    CPanel panel;
    zoom100 = Canvas(640, 480);
    if (ImportInto(panel, decoder, path, false)) {
        Paint(zoom100, panel, 100);
        const CRect r = panel.m_image.GetZoomedRect(100, 0, 0);
        part100 = QRect(r.left, r.top, r.Width(), r.Height());
    }
    fit = Canvas(1920, 1080);
    if (ImportFitted(panel, decoder, path, false)) {
        Paint(fit, panel, kFitZoom, kFitDx);
        const CRect r = panel.m_image.GetZoomedRect(kFitZoom, kFitDx, 0);
        partFit = QRect(r.left, r.top, r.Width(), r.Height());
    }
}

} // namespace bench
