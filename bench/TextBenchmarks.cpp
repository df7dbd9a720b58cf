#include "TextBenchmarks.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <string>

#include "model/FukiStyle.h"
#include "model/Panel.h"
#include "model/TextCodec.h"
#include "render/FukiTextLayout.h"
#include "render/PanelRenderer.h"

namespace bench {

namespace {

// Ten vertical balloons over a 640 x 480 panel, each with its own dialogue: brackets, stops,
// digits, Latin letters and a line break, every other one fitted to its balloon.
void MakeTenVerticalBalloons(CPanel& panel) {
    panel.Reset();
    panel.m_rcTotal = CRect{0, 0, 640, 480};
    for (int i = 0; i < kFukiSlots; ++i) {
        const int slot = panel.AddFuki();
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(slot)];
        const int x = (i % 5) * 128;
        const int y = (i / 5) * 240;
        fuki.m_rcBody = CRect{x + 4, y + 4, x + 124, y + 200};
        fuki.m_ptTail = CPoint{x + 60, y + 232};
        const std::string text = "「第" + std::to_string(10 + i) +
                                 "話、はじまるよ!?」\r\nOKです。ラーメンを食べに行こう。";
        fuki.m_strText = Utf8ToCp932(text).text;
        SFukiStyle style;
        style.m_bVertical = true;
        style.m_bFit = i % 2 == 1;
        SetFukiStyle(fuki, style);
    }
}

void Paint(QImage& canvas, const CPanel& panel) {
    QPainter painter(&canvas);
    render::DrawPanel(painter, panel, 100, render::kSelectNone);
}

QImage Canvas() {
    QImage canvas(640, 480, QImage::Format_RGB32);
    canvas.setDotsPerMeterX(3780);
    canvas.setDotsPerMeterY(3780);
    canvas.fill(Qt::gray);
    return canvas;
}

// The first paint of the panel with no layout cached: shaping, line breaking, fitting and
// drawing of all ten balloons. The fonts themselves are loaded before (they are loaded once per
// run of the program).
void FirstLayout(benchmark::State& state) {
    CPanel panel;
    MakeTenVerticalBalloons(panel);
    QImage canvas = Canvas();
    Paint(canvas, panel);
    for (auto _ : state) {
        render::ClearFukiTextCache();
        Paint(canvas, panel);
    }
}

void Repaint(benchmark::State& state) {
    CPanel panel;
    MakeTenVerticalBalloons(panel);
    QImage canvas = Canvas();
    Paint(canvas, panel);
    for (auto _ : state) {
        Paint(canvas, panel);
    }
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

} // namespace

void RegisterTextBenchmarks() {
    Configure(benchmark::RegisterBenchmark("text_first_layout_10_vertical", FirstLayout));
    Configure(benchmark::RegisterBenchmark("text_repaint_10_vertical", Repaint));
}

} // namespace bench
