// velmo_bench --make-jpeg OUT.jpg [W H]   writes the photograph-like test picture
// velmo_bench --jpeg PIC.jpg --copy COPY.jpg [benchmark flags]
//   runs every benchmark on that picture and prints each median as a ratio of the full djpeg
//   decode measured in the same run, then the painted picture's quality.
#include <QGuiApplication>
#include <QImageReader>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchPicture.h"
#include "PanelBenchmarks.h"
#include "RepaintBench.h"
#include "TextBenchmarks.h"
#include "render/QtPictureDecoder.h"

namespace {

constexpr const char* kFloor = "djpeg_full_decode";

struct SFigure {
    double realMs = 0; // wall-clock time
    double cpuMs = 0;  // processor time of the process (of the child, for djpeg)
};

// Keeps the median of each benchmark while the console shows the usual table.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, SFigure> m_median;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" ||
                run.error_occurred) {
                continue;
            }
            SFigure figure{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            const auto child = run.counters.find(bench::kChildCpuCounter);
            if (child != run.counters.end()) {
                figure.cpuMs = child->second.value;
            }
            m_median[run.run_name.function_name] = figure;
        }
    }
};

struct STarget {
    const char* name;
    double maxRatio; // 0: shown for reference only
    const char* note;
};

const STarget kTargets[] = {
    {"djpeg_full_decode", 0, "the floor"},
    {"qt_full_decode", 0, "QImageReader::read, full size"},
    {"qt_eighth_decode", 0, "QImageReader at 1/8 (setScaledSize)"},
    {"first_frame_zoom100", 0.65, "import + first paint, picture 300 px wide"},
    {"repaint_zoom100", 0.02, "repaint after the first"},
    {"first_frame_fit1920", 0, "import + first paint, fitted to 1920 x 1080"},
    {"repaint_fit1920", 0.02, "repaint after the first, fitted to 1920 x 1080"},
    {"undo_across_picture_change", 0.02, "undo + repaint, picture from the decode cache"},
    {"text_first_layout_10_vertical", 0.1, "ten vertical balloons, nothing laid out yet"},
    {"text_repaint_10_vertical", 0.02, "ten vertical balloons repainted, layouts cached"},
    {"repaint_1200x800_z1000_whole", 0, "1200 x 800 panel at zoom 1000, whole window drawn"},
    {"repaint_1200x800_z1000", 0.02, "the view's repaint: selection changed, kept image blitted"},
    {"repaint_1200x800_z1000_edit", 0, "the view's repaint after a balloon edit (tiles + balloon)"},
    {"repaint_3000x2000_z300_whole", 0, "3000 x 2000 panel at zoom 300, whole window drawn"},
    {"repaint_3000x2000_z300", 0.02, "the view's repaint: selection changed, kept image blitted"},
    {"repaint_3000x2000_z300_edit", 0, "the view's repaint after a balloon edit (tiles + balloon)"},
    {"repaint_1200x800_z1000_balloon_whole", 0, "the window over the balloon, whole drawing"},
    {"repaint_1200x800_z1000_balloon", 0.02, "the view's repaint: selection changed"},
    {"repaint_1200x800_z1000_balloon_edit", 0, "the view's repaint after the balloon's edit"},
    {"repaint_3000x2000_z300_balloon_whole", 0, "the window over the balloon, whole drawing"},
    {"repaint_3000x2000_z300_balloon", 0.02, "the view's repaint: selection changed"},
    {"repaint_3000x2000_z300_balloon_edit", 0, "the view's repaint after the balloon's edit"},
};

void PrintRatios(const std::map<std::string, SFigure>& figures) {
    const auto floor = figures.find(kFloor);
    if (floor == figures.end() || floor->second.realMs <= 0 || floor->second.cpuMs <= 0) {
        std::printf("\nno djpeg figure: ratios cannot be given\n");
        return;
    }
    const SFigure djpeg = floor->second;
    std::printf("\nMedians as ratios of the full djpeg decode measured in this run "
                "(%.1f ms processor time, %.1f ms wall-clock).\n"
                "Targets are judged on processor time; wall-clock ratios move with the load of "
                "a shared machine.\n",
                djpeg.cpuMs, djpeg.realMs);
    std::printf("  %-36s %9s %8s %9s %8s %8s\n", "path", "cpu ms", "ratio", "wall ms", "ratio",
                "target");
    for (const STarget& t : kTargets) {
        const auto it = figures.find(t.name);
        if (it == figures.end()) {
            continue;
        }
        const double cpuRatio = it->second.cpuMs / djpeg.cpuMs;
        const double realRatio = it->second.realMs / djpeg.realMs;
        char target[16] = "-";
        const char* verdict = "";
        if (t.maxRatio > 0) {
            std::snprintf(target, sizeof target, "<= %.2f", t.maxRatio);
            verdict = cpuRatio <= t.maxRatio ? "met" : "MISSED";
        }
        std::printf("  %-36s %9.3f %8.4f %9.3f %8.4f %8s  %-6s %s\n", t.name, it->second.cpuMs,
                    cpuRatio, it->second.realMs, realRatio, target, verdict, t.note);
    }
}

void PrintQuality(const std::string& path) {
    QImage zoom100, fit;
    QRect part100, partFit;
    bench::PaintForQuality(path, zoom100, part100, fit, partFit);
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const QImage full = reader.read();
    if (full.isNull() || part100.isEmpty() || partFit.isEmpty()) {
        std::printf("\nquality: the picture could not be painted\n");
        return;
    }
    const double psnr100 =
        bench::Psnr(zoom100, part100, bench::ExactAreaAverage(full, part100.size()));
    const double psnrFit = bench::Psnr(fit, partFit, bench::ExactAreaAverage(full, partFit.size()));
    std::printf("\nQuality against an exact area average of the full decode (target >= 40 dB):\n");
    std::printf("  zoom 100, %d x %d: %.1f dB %s\n", part100.width(), part100.height(), psnr100,
                psnr100 >= 40 ? "met" : "MISSED");
    std::printf("  fitted,  %d x %d: %.1f dB %s\n", partFit.width(), partFit.height(), psnrFit,
                psnrFit >= 40 ? "met" : "MISSED");
}

// Removes "name value" from the arguments and returns the value, or null when absent.
const char* TakeOption(int& argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            const char* value = argv[i + 1];
            for (int j = i; j + 2 <= argc; ++j) {
                argv[j] = argv[j + 2]; // argv[argc] is the terminating null
            }
            argc -= 2;
            return value;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    int qtArgc = 3;
    char arg0[] = "velmo_bench", arg1[] = "-platform", arg2[] = "offscreen";
    char* qtArgv[] = {arg0, arg1, arg2, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    QImageReader::setAllocationLimit(render::kDecoderAllocationLimitMb); // as the decoder does

    if (argc >= 3 && std::strcmp(argv[1], "--make-jpeg") == 0) {
        const int w = argc >= 5 ? std::atoi(argv[3]) : 6000;
        const int h = argc >= 5 ? std::atoi(argv[4]) : 4000;
        return bench::MakePhotoJpeg(QString::fromLocal8Bit(argv[2]), w, h) ? 0 : 1;
    }
    const char* jpeg = TakeOption(argc, argv, "--jpeg");
    const char* copy = TakeOption(argc, argv, "--copy");
    if (jpeg == nullptr || copy == nullptr) {
        std::fprintf(stderr, "usage: velmo_bench --jpeg PIC.jpg --copy COPY.jpg [flags] | "
                             "velmo_bench --make-jpeg OUT.jpg [W H]\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    bench::RegisterPanelBenchmarks(jpeg, copy);
    bench::RegisterTextBenchmarks();
    bench::RegisterRepaintBenchmarks(jpeg);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintRatios(reporter.m_median);
    PrintQuality(jpeg);
    return 0;
}
