// The velmo executable: the headless commands when the arguments name one, "--register", and
// otherwise the editor (handing files to an instance already running in the session).
#include <cstdio>

#include <QApplication>
#include <QStringList>

#include "CommandLine.h"
#include "FirstPaintExit.h"
#include "QtTranslations.h"
#include "ShellRegistration.h"
#include "UiFont.h"
#include "VelmoApp.h"
#include "framework/AccessibilityGuard.h"
#include "framework/SingleInstance.h"

#include "cli/HeadlessCommands.h"
#include "render/FukiFont.h"

namespace {

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    return args;
}

} // namespace

int main(int argc, char** argv) {
    const int headless = cli::RunHeadlessCommand(argc, argv);
    if (headless != -1) {
        return headless;
    }
    const SCommandLine line = ParseCommandLine(ArgumentsOf(argc, argv));
    switch (line.action) {
    case SCommandLine::Error:
        std::fprintf(stderr, "velmo: %s\n\n%s", qPrintable(line.strError), qPrintable(UsageText()));
        return 2;
    case SCommandLine::Help:
        std::fputs(qPrintable(UsageText()), stdout);
        return 0;
    case SCommandLine::Register: {
        QCoreApplication core(argc, argv);
        return RegisterForCurrentUser(QCoreApplication::applicationFilePath());
    }
    case SCommandLine::Run:
        break;
    }

    QApplication qtApp(argc, argv);
    fw::CAccessibilityGuard::Install();
    QApplication::setDesktopFileName(QStringLiteral("works.tollan.Velmo"));
    InstallQtTranslations(QLocale::system());
    // A later start with files hands them to the instance already running and ends.
    if (fw::CSingleInstance::ForwardToRunning(line.files)) {
        return 0;
    }
    UseJapaneseUiFont(); // loads the font database
    // Files opened now have their balloons drawn in the first paint; without any, the balloon
    // face is loaded here so that the first balloon typed does not wait for it.
    if (line.files.isEmpty()) {
        render::WarmUpFonts();
    }

    InstallFirstPaintExit();
    CVelmoApp app;
    CVelmoApp::SStartup startup;
    startup.files = line.files;
    startup.bKeepRecovery = true;
    if (!app.InitInstance(startup)) {
        return 1;
    }
    return QApplication::exec();
}
