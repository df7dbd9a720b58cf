#include "RepaintBench.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>

#include "editor/DensePanel.h"
#include "editor/PanelWindowImage.h"
#include "editor/PictureTileCache.h"
#include "model/Panel.h"
#include "model/PanelLayers.h"
#include "render/QtPictureDecoder.h"

namespace bench {

namespace {

// The editor's window in device pixels.
constexpr int kWindowW = 1920;
constexpr int kWindowH = 1080;

struct SEnlargedCase {
    int nPanelW;
    int nPanelH;
    int nZoom;
    bool bOverBalloon; // the window shows the balloon, else the middle of the picture
};

// A panel of the case's size filled by the picture, with the default balloon; false when the
// picture does not decode.
bool MakePanel(CPanel& panel, const std::string& path, const SEnlargedCase& c) {
    panel.Reset();
    panel.AddFuki();
    render::CQtPictureDecoder decoder; // the picture outlives it
    if (panel.m_image.Import(path, decoder) != EImportResult::Imported) {
        return false;
    }
    panel.m_rcTotal = CRect{0, 0, c.nPanelW, c.nPanelH};
    panel.m_image.m_rcBody = CRect{0, 0, c.nPanelW, c.nPanelH};
    return true;
}

// The window's place on the zoomed panel: its top-left corner a little above and left of the
// default balloon (50, 50)-(200, 150), so that the balloon is repainted too, or in the middle of
// the panel, where only the picture shows.
QRect WindowArea(const SEnlargedCase& c) {
    const int w = c.nPanelW * c.nZoom / 100;
    const int h = c.nPanelH * c.nZoom / 100;
    if (!c.bOverBalloon) {
        return QRect((w - kWindowW) / 2, (h - kWindowH) / 2, kWindowW, kWindowH);
    }
    const int x = std::clamp(50 * c.nZoom / 100 - 100, 0, w - kWindowW);
    const int y = std::clamp(50 * c.nZoom / 100 - 100, 0, h - kWindowH);
    return QRect(x, y, kWindowW, kWindowH);
}

// The view's window over that place, at device pixel ratio 1.
SPanelWindow WindowOf(const SEnlargedCase& c) {
    SPanelWindow window;
    window.nZoom = c.nZoom;
    window.rcArea = WindowArea(c);
    window.sizeExtent = QSize(c.nPanelW * c.nZoom / 100, c.nPanelH * c.nZoom / 100);
    window.crBase = Qt::white;
    window.crGray = Qt::gray;
    return window;
}

// The whole window drawn by the renderer: what every repaint cost before the view kept tiles.
void Fresh(benchmark::State& state, const std::string& path, SEnlargedCase c) {
    CPanel panel;
    if (!MakePanel(panel, path, c)) {
        state.SkipWithError("the picture did not decode");
        return;
    }
    const QRect area = WindowArea(c);
    QImage window(area.size(), QImage::Format_RGB32);
    const auto paint = [&] {
        QPainter painter(&window);
        painter.translate(-area.topLeft());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        DrawDensePanel(painter, panel, c.nZoom, -1, 1.0);
    };
    paint(); // the first frame decodes
    for (auto _ : state) {
        paint();
    }
}

// The view's repaint after a change that leaves the panel's pixels as they are (here the
// selection: every other repaint selects the balloon, or the picture, and the next one nothing):
// the view's kept image brought up to date exactly as CVelmoView::paintEvent does it, then
// blitted into the window as paintEvent does.
void ViewRepaint(benchmark::State& state, const std::string& path, SEnlargedCase c) {
    CPanel panel;
    if (!MakePanel(panel, path, c)) {
        state.SkipWithError("the picture did not decode");
        return;
    }
    const SPanelWindow window = WindowOf(c);
    if (!CPictureTileCache::Applies(panel, c.nZoom, window.rcArea)) {
        state.SkipWithError("the picture is not enlarged at this zoom");
        return;
    }
    const int marked = c.bOverBalloon ? FukiInDisplayOrder(panel).front() : render::kSelectPicture;
    CPanelWindowImage image;
    QImage screen(window.rcArea.size(), QImage::Format_RGB32);
    int selected = -1;
    const auto paint = [&] {
        image.Render(&panel, window, selected);
        QPainter painter(&screen);
        painter.drawImage(0, 0, image.Image());
        selected = selected == -1 ? marked : -1;
    };
    paint(); // the first frame decodes and draws the tiles
    for (auto _ : state) {
        paint();
    }
}

// The view's repaint after a balloon was edited (its fill colour changes every time): the
// picture layer blitted from the tiles and the balloons drawn over it, then the blit.
void EditRepaint(benchmark::State& state, const std::string& path, SEnlargedCase c) {
    CPanel panel;
    if (!MakePanel(panel, path, c)) {
        state.SkipWithError("the picture did not decode");
        return;
    }
    const SPanelWindow window = WindowOf(c);
    if (!CPictureTileCache::Applies(panel, c.nZoom, window.rcArea)) {
        state.SkipWithError("the picture is not enlarged at this zoom");
        return;
    }
    CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(FukiInDisplayOrder(panel).front())];
    CPanelWindowImage image;
    QImage screen(window.rcArea.size(), QImage::Format_RGB32);
    const auto paint = [&] {
        fuki.m_crFill ^= 0x000101;
        image.Render(&panel, window, -1);
        QPainter painter(&screen);
        painter.drawImage(0, 0, image.Image());
    };
    paint(); // the first frame decodes and draws the tiles
    for (auto _ : state) {
        paint();
    }
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
}

} // namespace

void RegisterRepaintBenchmarks(const std::string& path) {
    const struct {
        const char* name;
        SEnlargedCase c;
    } cases[] = {{"repaint_1200x800_z1000", {1200, 800, 1000, false}},
                 {"repaint_3000x2000_z300", {3000, 2000, 300, false}},
                 {"repaint_1200x800_z1000_balloon", {1200, 800, 1000, true}},
                 {"repaint_3000x2000_z300_balloon", {3000, 2000, 300, true}}};
    for (const auto& [name, c] : cases) {
        Configure(
            benchmark::RegisterBenchmark((std::string(name) + "_whole").c_str(), Fresh, path, c));
        Configure(benchmark::RegisterBenchmark(name, ViewRepaint, path, c));
        Configure(benchmark::RegisterBenchmark((std::string(name) + "_edit").c_str(), EditRepaint,
                                               path, c));
    }
}

} // namespace bench
