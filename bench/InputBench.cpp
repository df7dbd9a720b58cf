// velmo_input_bench FOLDER
//   Reading hostile and large panel files: a balloon of 20 MB of wide text that code page 932
//   cannot hold (target: read in at most 2 s), and valid panels of growing size whose text is
//   bytes that are no characters, described the way "--info" describes them (targets: time in
//   proportion to the size; peak memory at most 3 x the file's size + 100 MB). Each file is read
//   in a child process of its own, whose peak resident memory is measured with getrusage.
#include <chrono>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cli/InfoCommand.h"
#include "model/FileSystem.h"
#include "model/VelmoDoc.h"

namespace {

// These panels are only written and read for their text and layout: no picture is decoded.
class CNoPictures final : public IPictureDecoder {
public:
    PictureHandle Decode(const std::string&) override { return nullptr; }
};

constexpr double kMiB = 1024.0 * 1024.0;

struct SFigure {
    double wallS = 0;
    double cpuS = 0;
    double peakGrowthMiB = 0;
    bool ok = false;
};

// Counts what is written and keeps nothing.
class CNullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Runs work in a child and measures its wall-clock and processor time and the growth of its
// peak resident memory.
template <typename Work> SFigure MeasureInChild(Work work) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        SFigure figure;
        figure.ok = work();
        figure.wallS =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
        figure.cpuS = seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
                      seconds(before.ru_stime);
        figure.peakGrowthMiB = (after.ru_maxrss - before.ru_maxrss) / 1024.0;
        (void)!::write(fds[1], &figure, sizeof figure);
        ::_exit(0);
    }
    ::close(fds[1]);
    SFigure figure;
    if (::read(fds[0], &figure, sizeof figure) != sizeof figure) {
        figure = {};
    }
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return figure;
}

// A panel with one balloon whose text is the given stored bytes.
bool WritePanel(const std::string& path, const std::string& text) {
    CNoPictures decoder;
    CVelmoDoc doc(decoder);
    const int slot = doc.m_panel.AddFuki();
    doc.m_panel.m_fuki[static_cast<std::size_t>(slot)].m_strText = text;
    return doc.OnSaveDocument(path) == EDocOutcome::Saved;
}

// The same with the text stored as wide text of `units` copies of one UTF-16 code unit.
bool WriteWidePanel(const std::string& path, std::uint32_t units, char16_t unit) {
    const std::string marker = "WIDE-TEXT-MARKER";
    if (!WritePanel(path, marker)) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    int err = 0;
    if (!ReadWholeFile(path, bytes, err, 1LL << 30)) {
        return false;
    }
    const std::string all(bytes.begin(), bytes.end());
    const auto at = all.find(marker);
    if (at == std::string::npos || at == 0) {
        return false;
    }
    std::string wide = "\xFF\xFE\xFF\xFF\xFF\xFF";
    for (int i = 0; i < 4; ++i) {
        wide.push_back(static_cast<char>((units >> (8 * i)) & 0xFF));
    }
    wide.reserve(wide.size() + 2 * std::size_t(units));
    for (std::uint32_t i = 0; i < units; ++i) {
        wide.push_back(static_cast<char>(unit & 0xFF));
        wide.push_back(static_cast<char>(unit >> 8));
    }
    const std::string out = all.substr(0, at - 1) + wide + all.substr(at + marker.size());
    return WriteFileAtomically(path, std::vector<std::uint8_t>(out.begin(), out.end()), err);
}

long long FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmo_input_bench FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    CNullBuffer nullBuffer;
    std::ostream sink(&nullBuffer);

    const std::string wide = folder + "wide.vlm";
    if (!WriteWidePanel(wide, 10'000'000, 0x2603)) {
        std::fprintf(stderr, "could not write %s\n", wide.c_str());
        return 1;
    }
    const SFigure open = MeasureInChild([&] {
        CNoPictures decoder;
        CVelmoDoc doc(decoder);
        return doc.OnOpenDocument(wide) == EDocOutcome::Opened;
    });
    std::printf("Wide text: a balloon of 10,000,000 x U+2603 (%.1f MiB file), opened as a "
                "document\n  %.3f s wall-clock, %.3f s processor, peak +%.0f MiB: %s "
                "(target <= 2 s)\n\n",
                FileSize(wide) / kMiB, open.wallS, open.cpuS, open.peakGrowthMiB,
                open.ok && open.wallS <= 2.0 ? "met" : "MISSED");

    std::printf("Valid panels whose text is bytes 0x80 (no characters), described as --info "
                "does:\n  %10s %10s %10s %9s %12s %10s\n",
                "file MiB", "wall s", "cpu s", "MiB/s", "peak + MiB", "bound MiB");
    bool linear = true;
    double firstRate = 0;
    for (const std::size_t mib : {16, 64, 255}) {
        const std::string path = folder + "big.vlm";
        // 255 MiB of text keeps the file under the 256 MiB limit with the rest of the panel.
        if (!WritePanel(path, std::string(mib << 20, '\x80'))) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return 1;
        }
        const double size = FileSize(path) / kMiB;
        const SFigure info = MeasureInChild([&] { return cli::RunInfo(path, sink, sink) == 0; });
        const double rate = size / std::max(info.cpuS, 1e-6);
        firstRate = firstRate == 0 ? rate : firstRate;
        linear = linear && rate >= firstRate / 2;
        const double bound = 3 * size + 100;
        std::printf("  %10.1f %10.3f %10.3f %9.1f %12.0f %10.0f %s\n", size, info.wallS, info.cpuS,
                    rate, info.peakGrowthMiB, bound,
                    info.ok && info.peakGrowthMiB <= bound ? "met" : "MISSED");
        ::unlink(path.c_str());
    }
    std::printf("  time in proportion to size (processor MiB/s within 2x of the smallest): %s\n",
                linear ? "met" : "MISSED");
    ::unlink(wide.c_str());
    return 0;
}
