#include "DecoderMessages.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstring>
#include <mutex>

namespace render {

namespace {

std::atomic<int> g_nFiltered{0};
QtMessageHandler g_pfnPrevious = nullptr;

bool FromDecoder(const QMessageLogContext& context, const QString& message) {
    // Qt's image readers log under "qt.gui.imageio…"; the PNG and JPEG libraries' own words
    // come through them, prefixed with the library's name.
    if (context.category != nullptr && std::strncmp(context.category, "qt.gui.imageio", 14) == 0) {
        return true;
    }
    return message.startsWith(QLatin1String("libpng")) ||
           message.startsWith(QLatin1String("Corrupt JPEG data")) ||
           message.startsWith(QLatin1String("Premature end of JPEG file")) ||
           message.startsWith(QLatin1String("QImageIOHandler: Rejecting image"));
}

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && FromDecoder(context, message)) {
        g_nFiltered.fetch_add(1);
        return;
    }
    if (g_pfnPrevious != nullptr) {
        g_pfnPrevious(type, context, message);
    }
}

} // namespace

void InstallDecoderMessageFilter() {
    static std::once_flag once;
    std::call_once(once, [] { g_pfnPrevious = qInstallMessageHandler(Filter); });
}

void CountDecoderMessage() {
    g_nFiltered.fetch_add(1);
}

int FilteredDecoderMessages() {
    return g_nFiltered.load();
}

} // namespace render
