#include "PanelPreparer.h"

#include <QtConcurrent/QtConcurrentRun>

#include "model/Panel.h"
#include "model/PlaybackPanel.h"
#include "render/PicturePreparation.h"

namespace {

// Runs on the worker thread: touches only its own copies and the thread-safe decoder.
PictureHandle Prepare(const CPanelImage& current, int zoom, const std::string& nextPath,
                      QSize screen) {
    render::PreparePicture(current, zoom);
    if (nextPath.empty()) {
        return nullptr;
    }
    CPanel next;
    if (ReadPanelFile(nextPath, next).m_eResult != EPanelRead::Loaded) {
        return nullptr;
    }
    const CPanelFit fit = FitPanelToScreen(next.m_rcTotal, screen.width(), screen.height());
    render::PreparePicture(next.m_image, fit.m_nZoom);
    return next.m_image.m_bitmap;
}

} // namespace

CPanelPreparer::CPanelPreparer() {
    // One worker: the jobs run in the order they were given, never two at once.
    m_pool.setMaxThreadCount(1);
}

CPanelPreparer::~CPanelPreparer() {
    m_pool.waitForDone();
}

void CPanelPreparer::Start(const CPanelImage& current, int zoom, const std::string& nextPath,
                           QSize screen) {
    ++m_nStarts;
    m_strNextPath = nextPath;
    m_future = QtConcurrent::run(&m_pool, Prepare, current, zoom, nextPath, screen);
}

void CPanelPreparer::Wait() {
    if (m_future.isValid()) {
        m_future.waitForFinished();
    }
}

bool CPanelPreparer::IsBusy() const {
    return m_future.isValid() && !m_future.isFinished();
}

PictureHandle CPanelPreparer::PreparedPicture() {
    if (!m_future.isValid() || !m_future.isFinished() || m_future.resultCount() == 0) {
        return nullptr;
    }
    return m_future.result();
}
