// velmo_export_bench --velmo VELMO --jpeg PIC.jpg --work DIR [--mp4-runs N]
// velmo_export_bench --make-panel OUT.vlm PICTURE W H LEFT TOP RIGHT BOTTOM
//   writes a panel of W x H whose picture fills the body LEFT TOP RIGHT BOTTOM (for
//   scripts/bench.sh, which times "velmo export" of it)
// A show of 10 panels x 5 layers (background, picture, three balloons), each panel with its
// own copy of the 24-megapixel JPEG, exported by "velmo export" as a 1920 x 1080 MP4 and as a
// PDF handout, each in a process of its own. Printed: the processor time of each against the
// sum of full djpeg decodes of the ten pictures, the PDF's size against the JPEGs', the peak
// memory against one decoded picture, and the anchor a user would script: the same frames
// exported as PNGs and encoded by the ffmpeg command-line tool.
// With --mp4-runs N only the MP4 is exported, N times, each run paired with the ten djpeg
// decodes; printed are the medians with min-max of the processor time, the ratio and the peak.
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

#include "RunStats.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"

extern char** environ;

namespace {

// These panels are only written and read for their text and layout: no picture is decoded.
class CNoPictures final : public IPictureDecoder {
public:
    PictureHandle Decode(const std::string&) override { return nullptr; }
};

constexpr int kPanels = 10;

struct SUsage {
    double dCpuMs = 0;
    double dPeakMb = 0;
    bool bOk = false;
};

// Runs a program and returns the processor time and peak memory of the process.
SUsage Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    SUsage result;
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int status = 0;
    rusage usage{};
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
        wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.bOk = true;
        result.dCpuMs = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
                        usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
        result.dPeakMb = usage.ru_maxrss / 1024.0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

long long FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

bool MakeShow(const std::string& work, const std::string& jpeg) {
    CVelmoShowDoc show;
    for (int i = 0; i < kPanels; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d", i + 1);
        const std::string picture = work + "/" + name + ".jpg";
        if (!QFile::copy(QString::fromStdString(jpeg), QString::fromStdString(picture))) {
            return false;
        }
        CNoPictures decoder;
        CVelmoDoc doc(decoder);
        CPanel& panel = doc.m_panel;
        panel.m_rcTotal = CRect{0, 0, 1500, 1000};
        panel.m_image.m_strName = std::string(name) + ".jpg";
        panel.m_image.m_strPath = picture;
        panel.m_image.m_rcBody = CRect{0, 0, 1500, 1000};
        for (int b = 0; b < 3; ++b) {
            CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(panel.AddFuki())];
            fuki.m_rcBody = CRect{50 + 480 * b, 60, 450 + 480 * b, 260};
            fuki.m_ptTail = CPoint{250 + 480 * b, 400};
            fuki.m_crFill = 0x00FFFFFF;
            fuki.m_strText = kDefaultFukiText;
        }
        if (doc.OnSaveDocument(work + "/" + name + ".vlm") != EDocOutcome::Saved) {
            return false;
        }
        show.m_show.m_strNames[static_cast<std::size_t>(i)] = name;
    }
    show.m_show.m_nCount = kPanels;
    return show.OnSaveDocument(work + "/show.vls") == EDocOutcome::Saved;
}

// The ffmpeg concat list holding each PNG for the time the export holds its layer.
bool WriteConcatList(const std::string& work) {
    std::ofstream list(work + "/frames.txt");
    const double holds[5] = {3.1, 3.1, 3.1, 3.1, 3.1}; // default waits of 30: 31 ticks
    std::string last;
    for (int p = 1; p <= kPanels; ++p) {
        const char* kinds[5] = {"background", "picture", "balloon", "balloon", "balloon"};
        for (int l = 1; l <= 5; ++l) {
            char name[64];
            std::snprintf(name, sizeof name, "%03d-%02d-%s.png", p, l, kinds[l - 1]);
            last = work + "/frames/" + name;
            list << "file '" << last << "'\nduration " << holds[l - 1] << "\n";
        }
    }
    list << "file '" << last << "'\n";
    return static_cast<bool>(list);
}

// The processor time of the ten full djpeg decodes, and the JPEGs' bytes; negative on failure.
double DjpegSum(const std::string& work, long long* jpegBytes) {
    double sum = 0;
    for (int i = 1; i <= kPanels; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d.jpg", i);
        const SUsage d = Run({"djpeg", "-outfile", "/dev/null", work + "/" + name});
        if (!d.bOk) {
            std::fprintf(stderr, "djpeg failed (package libjpeg-turbo-progs)\n");
            return -1;
        }
        sum += d.dCpuMs;
        if (jpegBytes != nullptr) {
            *jpegBytes += FileSize(work + "/" + name);
        }
    }
    return sum;
}

// The MP4 export alone, runs times, each paired with the djpeg decodes of the same run.
int Mp4Runs(const std::string& velmo, const std::string& work, int runs, double decodedMb) {
    std::vector<double> cpu, djpeg, ratio, peak;
    for (int r = 0; r < runs; ++r) {
        const double d = DjpegSum(work, nullptr);
        const SUsage mp4 = Run({velmo, "export", work + "/show.vls", work + "/show.mp4"});
        if (d <= 0 || !mp4.bOk) {
            std::fprintf(stderr, "the MP4 export failed\n");
            return 1;
        }
        cpu.push_back(mp4.dCpuMs);
        djpeg.push_back(d);
        ratio.push_back(mp4.dCpuMs / d);
        peak.push_back(mp4.dPeakMb);
    }
    const SStats c = StatsOf(cpu), d = StatsOf(djpeg), q = StatsOf(ratio), m = StatsOf(peak);
    std::printf("MP4 1920x1080 (velmo export), %d runs, medians (min-max):\n", runs);
    std::printf("  djpeg, sum of %d full decodes  %6.0f ms cpu (%.0f-%.0f)\n", kPanels, d.dMedian,
                d.dMin, d.dMax);
    std::printf("  MP4 export                     %6.0f ms cpu (%.0f-%.0f)\n", c.dMedian, c.dMin,
                c.dMax);
    std::printf("  ratio                          %6.2f x (%.2f-%.2f)  target <= 1.5\n", q.dMedian,
                q.dMin, q.dMax);
    std::printf("  peak                           %6.0f MB (%.0f-%.0f), %.2f x one picture\n",
                m.dMedian, m.dMin, m.dMax, m.dMedian / decodedMb);
    std::printf("  file                           %lld bytes\n", FileSize(work + "/show.mp4"));
    return 0;
}

} // namespace

// One panel with only a picture, for the headless export figures of scripts/bench.sh.
int MakePanel(char** argv) {
    CNoPictures decoder;
    CVelmoDoc doc(decoder);
    CPanel& panel = doc.m_panel;
    panel.m_rcTotal = CRect{0, 0, std::atoi(argv[4]), std::atoi(argv[5])};
    const std::string picture = argv[3];
    panel.m_image.m_strName = picture.substr(picture.find_last_of('/') + 1);
    panel.m_image.m_strPath = picture;
    panel.m_image.m_rcBody =
        CRect{std::atoi(argv[6]), std::atoi(argv[7]), std::atoi(argv[8]), std::atoi(argv[9])};
    return doc.OnSaveDocument(argv[2]) == EDocOutcome::Saved ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 10 && std::string(argv[1]) == "--make-panel") {
        return MakePanel(argv);
    }
    std::string velmo, jpeg, work, mp4Runs;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        (key == "--velmo"      ? velmo
         : key == "--jpeg"     ? jpeg
         : key == "--mp4-runs" ? mp4Runs
                               : work) = argv[i + 1];
    }
    if (velmo.empty() || jpeg.empty() || work.empty() || !MakeShow(work, jpeg)) {
        std::fprintf(stderr, "usage: velmo_export_bench --velmo VELMO --jpeg PIC.jpg --work DIR\n");
        return 2;
    }
    const QSize size = QImageReader(QString::fromStdString(jpeg)).size();
    const double decodedMb = double(size.width()) * size.height() * 4 / (1024.0 * 1024.0);

    if (!mp4Runs.empty()) {
        return Mp4Runs(velmo, work, std::max(1, std::atoi(mp4Runs.c_str())), decodedMb);
    }
    long long jpegBytes = 0;
    const double djpegMs = DjpegSum(work, &jpegBytes);
    if (djpegMs <= 0) {
        return 1;
    }
    const std::string show = work + "/show.vls";
    const SUsage mp4 = Run({velmo, "export", show, work + "/show.mp4"});
    const SUsage pdf = Run({velmo, "export", show, work + "/show.pdf"});
    const SUsage png = Run({velmo, "export", show, work + "/frames/"});
    SUsage ffmpeg;
    if (WriteConcatList(work)) {
        ffmpeg =
            Run({"ffmpeg", "-y", "-f", "concat", "-safe", "0", "-i", work + "/frames.txt", "-vsync",
                 "vfr", "-c:v", "libx264", "-pix_fmt", "yuv420p", work + "/anchor.mp4"});
    }
    if (!mp4.bOk || !pdf.bOk || !png.bOk || !ffmpeg.bOk) {
        std::fprintf(stderr, "an export failed: mp4 %d pdf %d png %d ffmpeg %d\n", mp4.bOk, pdf.bOk,
                     png.bOk, ffmpeg.bOk);
        return 1;
    }
    const double anchorMs = png.dCpuMs + ffmpeg.dCpuMs;
    const long long pdfBytes = FileSize(work + "/show.pdf");
    std::printf("picture %d x %d (%.0f MB decoded), %d panels x 5 layers\n", size.width(),
                size.height(), decodedMb, kPanels);
    std::printf("djpeg, sum of %d full decodes        %8.0f ms cpu\n", kPanels, djpegMs);
    std::printf("MP4 1920x1080 (velmo export)        %8.0f ms cpu  %.2f x decodes (target <= 1.5)"
                "  peak %.0f MB (%.2f x one picture)\n",
                mp4.dCpuMs, mp4.dCpuMs / djpegMs, mp4.dPeakMb, mp4.dPeakMb / decodedMb);
    std::printf("PDF handout (velmo export)          %8.0f ms cpu  %.2f x decodes (target <= 2)"
                "  peak %.0f MB (%.2f x one picture)\n",
                pdf.dCpuMs, pdf.dCpuMs / djpegMs, pdf.dPeakMb, pdf.dPeakMb / decodedMb);
    std::printf("PDF size %lld bytes, JPEGs %lld bytes: %.2f x (target <= 1.2)\n", pdfBytes,
                jpegBytes, double(pdfBytes) / double(jpegBytes));
    std::printf("anchor: PNGs (velmo export) %.0f ms + ffmpeg libx264 %.0f ms = %.0f ms cpu, "
                "%.2f x the MP4 export (must be > 1)\n",
                png.dCpuMs, ffmpeg.dCpuMs, anchorMs, anchorMs / mp4.dCpuMs);
    return 0;
}
