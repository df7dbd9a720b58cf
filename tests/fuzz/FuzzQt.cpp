#include "FuzzQt.h"

#include <QGuiApplication>
#include <QImageReader>
#include <cstdlib>

#include "render/FukiFont.h"
#include "render/QtPictureDecoder.h"

void EnsureFuzzGuiApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "velmo-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    QImageReader::setAllocationLimit(render::kDecoderAllocationLimitMb);
    // Sets the decoders' allocation limit as the program does, and loads the font database
    // before the first input.
    render::WarmUpFonts();
}
