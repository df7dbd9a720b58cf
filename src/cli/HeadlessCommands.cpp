#include "HeadlessCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <charconv>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ExportCommand.h"
#include "InfoCommand.h"
#include "render/QtPictureDecoder.h"

namespace cli {

namespace {

constexpr int kUsageError = 2;
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;
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

int Usage(const std::string& problem) {
    std::cerr << "velmo: " << problem
              << " (usage: velmo --export-png OUT.png FILE.vlm [--zoom N] | velmo --info FILE)\n";
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
    if (command != "--export-png" && command != "--info") {
        return -1;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    CMessageGuard quiet;
    CHeadlessGui gui;
    if (!gui.Usable()) {
        std::cerr << "velmo: " << command << " needs a GUI application object\n";
        return 1;
    }
    render::InstallQtPictureDecoder();
    if (command == "--info") {
        if (args.size() != 1) {
            return Usage("--info takes one file");
        }
        return RunInfo(args[0], std::cout, std::cerr);
    }
    return ExportPng(args);
}

} // namespace cli
