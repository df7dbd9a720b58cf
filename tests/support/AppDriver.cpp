#include "AppDriver.h"

#include <QCoreApplication>

#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "framework/CommandRouter.h"

namespace testsupport {

std::unique_ptr<CVelmoApp> StartApp(const QStringList& files) {
    auto app = std::make_unique<CVelmoApp>();
    CVelmoApp::SStartup startup;
    startup.files = files;
    startup.bServeShellRequests = false;
    if (!app->InitInstance(startup)) {
        return nullptr;
    }
    return app;
}

bool Route(CVelmoApp& app, int id) {
    const bool routed = app.MainFrame()->Router().Route(id);
    Settle();
    return routed;
}

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace testsupport
