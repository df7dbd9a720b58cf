#include "CommandLine.h"

SCommandLine ParseCommandLine(const QStringList& args) {
    SCommandLine line;
    bool onlyFiles = false;
    for (const QString& arg : args) {
        if (onlyFiles || !arg.startsWith(QLatin1Char('-')) || arg == QStringLiteral("-")) {
            line.files << arg;
        } else if (arg == QStringLiteral("--")) {
            onlyFiles = true;
        } else if (arg == QStringLiteral("--register")) {
            line.action = SCommandLine::Register;
        } else if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            line.action = SCommandLine::Help;
        } else {
            line.action = SCommandLine::Error;
            line.strError = QStringLiteral("unknown option: %1").arg(arg);
            return line;
        }
    }
    if (line.action == SCommandLine::Register && !line.files.isEmpty()) {
        line.action = SCommandLine::Error;
        line.strError = QStringLiteral("--register takes no file names");
    }
    return line;
}

QString UsageText() {
    return QStringLiteral(
        "Usage: velmo [FILE...]                 start the editor, opening the files given\n"
        "       velmo export INPUT OUTPUT [options]\n"
        "       velmo --info FILE\n"
        "       velmo --export-png OUT.png FILE.vlm [--zoom N]\n"
        "       velmo --register | --version | --help\n"
        "\n"
        "export writes INPUT, a panel (.vlm) or a show (.vls), to OUTPUT; the kind of file "
        "follows\n"
        "OUTPUT's extension:\n"
        "  a panel:  .png .jpg .jpeg .webp (a picture) or .pdf (one page, fitted)\n"
        "  a show:   .pdf (one page per panel), .mp4 (H.264 video), .webp (animated),\n"
        "            or a folder (OUTPUT ending in /, or an existing empty folder): one PNG per\n"
        "            layer in playing order, 001-01-background.png ...\n"
        "Options:\n"
        "  --zoom N      a panel's picture at N percent of its size, a whole number 10-1000\n"
        "                (default 100)\n"
        "  --width W     a panel's picture W pixels wide instead (1-16383), height in proportion\n"
        "  --size WxH    a show's frame size in pixels, each 16-16384 (default 1920x1080); the\n"
        "                video rounds odd sizes down to even ones\n"
        "  --fps N       a show's video frame rate, a whole number 1-120 (default 30)\n"
        "Works without a display. Warnings (a missing picture) go to standard error; the exit\n"
        "status is 0 when the output was written, 1 when it was not, 2 for wrong arguments.\n"
        "\n"
        "--info FILE     a JSON description of a panel or show file\n"
        "--export-png    the same as export to a PNG, the panel file last\n"
        "--register      make .vlm and .vls files open with velmo for this user\n"
        "--version       the version\n");
}
