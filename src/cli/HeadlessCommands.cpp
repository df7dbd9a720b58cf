#include "HeadlessCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <charconv>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "ExportCommand.h"
#include "InfoCommand.h"
#include "export/PanelExport.h"
#include "model/LayerItem.h"

namespace cli {

namespace {

constexpr int kUsageError = 2;
constexpr int kDefaultZoom = 100;

// Only the command's own one-line messages reach stderr: the toolkit's warnings (no runtime
// folder, a damaged picture's decoder notes) are not for the user of a script.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << '\n';
    }
}

// A GUI application for fonts and image readers, on the offscreen platform, when the caller
// has none: the commands work without a display.
class CHeadlessGui {
public:
    CHeadlessGui() {
        if (QCoreApplication::instance() == nullptr) {
            m_app = std::make_unique<QGuiApplication>(m_nArgc, m_argv);
        }
    }
    bool Usable() const {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    }

private:
    char m_arg0[6] = "velmo";
    char m_arg1[10] = "-platform";
    char m_arg2[10] = "offscreen";
    char* m_argv[4] = {m_arg0, m_arg1, m_arg2, nullptr};
    int m_nArgc = 3;
    std::unique_ptr<QGuiApplication> m_app;
};

class CMessageGuard {
public:
    CMessageGuard() : m_previous(qInstallMessageHandler(QuietMessages)) {}
    ~CMessageGuard() { qInstallMessageHandler(m_previous); }

private:
    QtMessageHandler m_previous;
};

bool ParseZoom(const std::string& text, int& zoom) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, zoom);
    return ec == std::errc() && ptr == end && zoom >= kMinZoom && zoom <= kMaxZoom;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string::npos && ParseNumber(text.substr(0, x), 16, 16384, width) &&
           ParseNumber(text.substr(x + 1), 16, 16384, height);
}

int Usage(const std::string& problem) {
    std::cerr << "velmo: " << problem << " (velmo --help says what each option takes)\n";
    return kUsageError;
}

int ExportPng(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    int zoom = kDefaultZoom;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--zoom") {
            if (i + 1 >= args.size() || !ParseZoom(args[i + 1], zoom)) {
                return Usage("--zoom takes a whole number from 10 to 1000");
            }
            ++i;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        return Usage("--export-png takes an output file and a panel file");
    }
    return RunExportPng(files[0], files[1], zoom, std::cerr);
}

int Export(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    SExportOptions options;
    bool zoomGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        if (a == "--zoom") {
            if (!hasValue || !ParseZoom(value, options.nZoom)) {
                return Usage("--zoom takes a whole number from 10 to 1000");
            }
            zoomGiven = true;
        } else if (a == "--width") {
            if (!hasValue || !ParseNumber(value, 1, 16383, options.nWidth)) {
                return Usage("--width takes a whole number of pixels from 1 to 16383");
            }
        } else if (a == "--size") {
            if (!hasValue || !ParseSize(value, options.nVideoWidth, options.nVideoHeight)) {
                return Usage("--size takes WIDTHxHEIGHT, each from 16 to 16384");
            }
        } else if (a == "--fps") {
            if (!hasValue || !ParseNumber(value, 1, 120, options.nFps)) {
                return Usage("--fps takes a whole number from 1 to 120");
            }
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            return Usage("unknown option " + a);
        } else {
            files.push_back(a);
            continue;
        }
        ++i;
    }
    if (zoomGiven && options.nWidth > 0) {
        return Usage("give either --zoom or --width, not both");
    }
    if (files.size() != 2) {
        return Usage("export takes an input file and an output file");
    }
    options.bProgress = ::isatty(STDERR_FILENO) != 0;
    return RunExport(files[0], files[1], options, std::cerr);
}

} // namespace

int RunHeadlessCommand(int argc, char** argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        return -1;
    }
    const std::string command = argv[1];
    if (command == "--version") {
        std::cout << "velmo " << VELMO_VERSION << '\n';
        return 0;
    }
    if (command != "--export-png" && command != "--info" && command != "export") {
        return -1;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    CMessageGuard quiet;
    CHeadlessGui gui;
    if (!gui.Usable()) {
        std::cerr << "velmo: " << command << " needs a GUI application object\n";
        return 1;
    }
    if (command == "--info") {
        if (args.size() != 1) {
            return Usage("--info takes one file");
        }
        return RunInfo(args[0], std::cout, std::cerr);
    }
    if (command == "export") {
        return Export(args);
    }
    return ExportPng(args);
}

} // namespace cli
