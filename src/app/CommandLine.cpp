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
        "Usage: velmo [FILE.vlm | FILE.vls]...\n"
        "       velmo --register\n"
        "       velmo --export-png OUT.png FILE.vlm [--zoom N]\n"
        "       velmo --info FILE\n"
        "\n"
        "With no file a new untitled panel opens. Files given while Velmo already runs in this\n"
        "session open in the running window.\n"
        "  --register   install the desktop entry, the .vlm and .vls file types and the icons\n"
        "               for the current user\n"
        "  --export-png render a panel to a PNG picture (no window needed)\n"
        "  --info       print a JSON description of a panel or show file (no window needed)\n");
}
