// velmo_startup_bench --velmo PATH --minimal PATH --panel FILE.vlm [--runs N]
// velmo_startup_bench --make-panel FILE.vlm PICTURE   (writes the panel the benchmark opens)
// Start-up to the first painted window: velmo opening a panel (VELMO_EXIT_AFTER_FIRST_PAINT
// makes it end after its panel view's first paint) against the minimal Qt Widgets window
// (velmo_startup_minimal), run alternately, each whole process timed: wall-clock from the start
// to its end and its processor time (user + system, through wait4). Medians with min-max, and
// the ratio of the medians. Run it under a display (scripts/bench.sh uses Xvfb).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include <QGuiApplication>

#include "RunStats.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "render/QtPictureDecoder.h"

extern char** environ;

namespace {

struct SRun {
    double dWallMs = 0;
    double dCpuMs = 0;
};

bool RunOnce(const std::vector<std::string>& args, char** env, SRun& run) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    struct rusage usage {};
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), env) != 0 ||
        wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return false;
    }
    run.dWallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.dCpuMs = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
                 usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
    return true;
}

const char* Option(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return argv[i + 1];
        }
    }
    return nullptr;
}

// A 640 x 427 panel filled by the picture, with one balloon of text.
int MakePanel(int argc, char** argv, const char* path, const char* picture) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // no window: the fonts and the decoder only
    QGuiApplication app(argc, argv);
    render::CQtPictureDecoder decoder;
    CVelmoDoc doc(decoder);
    doc.m_panel.m_rcTotal = CRect{0, 0, 640, 427};
    if (doc.m_panel.m_image.Import(picture, decoder) != EImportResult::Imported) {
        std::fprintf(stderr, "the picture could not be imported\n");
        return 1;
    }
    doc.m_panel.m_image.m_rcBody = CRect{0, 0, 640, 427};
    CFuki& balloon = doc.m_panel.m_fuki[0];
    balloon.m_nOrder = 1;
    balloon.m_rcBody = CRect{200, 150, 440, 280};
    balloon.m_ptTail = CPoint{300, 360};
    balloon.m_crFill = MakeRgb(255, 255, 255);
    balloon.m_strText = Utf8ToCp932("ここはどこ？ 見たことのない景色だ。").text;
    return doc.OnSaveDocument(path) == EDocOutcome::Saved ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--make-panel") == 0) {
        return MakePanel(argc, argv, argv[2], argv[3]);
    }
    const char* velmo = Option(argc, argv, "--velmo");
    const char* minimal = Option(argc, argv, "--minimal");
    const char* panel = Option(argc, argv, "--panel");
    const char* runsText = Option(argc, argv, "--runs");
    if (!velmo || !minimal || !panel) {
        std::fprintf(stderr, "usage: velmo_startup_bench --velmo PATH --minimal PATH --panel "
                             "FILE.vlm [--runs N]\n");
        return 2;
    }
    const int runs = runsText ? std::max(1, std::atoi(runsText)) : 9;
    // velmo ends after its first paint; the rest of the environment as given (the script runs
    // it with a home folder of its own, so that no settings or recovery files of a user are
    // touched).
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        envText.emplace_back(*e);
    }
    envText.emplace_back("VELMO_EXIT_AFTER_FIRST_PAINT=1");
    std::vector<char*> env;
    for (std::string& e : envText) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);

    std::vector<double> minimalWall, minimalCpu, velmoWall, velmoCpu;
    // One run of each first, not counted: files and fonts come into the page cache.
    SRun run;
    if (!RunOnce({minimal}, env.data(), run) || !RunOnce({velmo, panel}, env.data(), run)) {
        std::fprintf(stderr, "a program did not start, paint and end cleanly\n");
        return 1;
    }
    for (int i = 0; i < runs; ++i) {
        if (!RunOnce({minimal}, env.data(), run)) {
            return 1;
        }
        minimalWall.push_back(run.dWallMs);
        minimalCpu.push_back(run.dCpuMs);
        if (!RunOnce({velmo, panel}, env.data(), run)) {
            std::fprintf(stderr, "velmo did not start, paint and end cleanly\n");
            return 1;
        }
        velmoWall.push_back(run.dWallMs);
        velmoCpu.push_back(run.dCpuMs);
    }
    const SStats mw = StatsOf(minimalWall), mc = StatsOf(minimalCpu);
    const SStats vw = StatsOf(velmoWall), vc = StatsOf(velmoCpu);
    std::printf("start-up to the first painted window, %d runs each, medians (min-max):\n", runs);
    std::printf(
        "  minimal Qt Widgets window  cpu %7.1f ms (%.1f-%.1f)  wall %7.1f ms (%.1f-%.1f)\n",
        mc.dMedian, mc.dMin, mc.dMax, mw.dMedian, mw.dMin, mw.dMax);
    std::printf(
        "  velmo with a panel open    cpu %7.1f ms (%.1f-%.1f)  wall %7.1f ms (%.1f-%.1f)\n",
        vc.dMedian, vc.dMin, vc.dMax, vw.dMedian, vw.dMin, vw.dMax);
    const double ratio = vc.dMedian / mc.dMedian;
    std::printf("  ratio cpu %.2f  wall %.2f   target <= 1.50 on cpu: %s\n", ratio,
                vw.dMedian / mw.dMedian, ratio <= 1.5 ? "met" : "MISSED");
    return 0;
}
