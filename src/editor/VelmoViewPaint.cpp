// Painting of the panel view: the grey strips beyond the panel, then the panel through the
// shared drawing function, kept as an image of the visible part so that a drag only draws its
// frame over it. The image has one pixel per device pixel of the screen (DensePanel.h). Where the
// picture is enlarged and fills the window, its layer comes from the tiles the view keeps; the
// image itself is drawn again only when the panel or the window changed (PanelWindowImage.h).
#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QStatusBar>
#include <algorithm>
#include <cstring>

#include "DensePanel.h"
#include "VelmoView.h"
#include "model/VelmoDoc.h"
#include "render/PanelRenderer.h"
#include "render/PicturePreparation.h"

namespace {

// The status bar's note that the picture is drawn reduced: shown while the panel last painted
// draws its picture from fewer pixels than its zoom needs, hidden otherwise.
void ShowPictureScaleNote(QWidget* view, bool reduced) {
    auto* frame = qobject_cast<QMainWindow*>(view->window());
    QStatusBar* bar = frame ? frame->findChild<QStatusBar*>() : nullptr;
    if (bar == nullptr) {
        return;
    }
    auto* note = bar->findChild<QLabel*>(QStringLiteral("PictureScaleNote"));
    if (note == nullptr) {
        if (!reduced) {
            return;
        }
        note = new QLabel(QStringLiteral("画像を縮小して表示しています"), bar);
        note->setObjectName(QStringLiteral("PictureScaleNote"));
        bar->insertPermanentWidget(0, note);
    }
    note->setVisible(reduced);
}

} // namespace

QColor CVelmoView::GrayTextColor(const QPalette& palette) {
    return palette.color(QPalette::Disabled, QPalette::WindowText);
}

void CVelmoView::InvalidateView() {
    m_bImageValid = false;
    viewport()->update();
}

void CVelmoView::PaintPanel(QPainter& painter) const {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    render::DrawPanel(painter, doc->m_panel, m_nZoom, m_nSelected, 0, 0);
}

SPanelWindow CVelmoView::CurrentWindow() const {
    SPanelWindow window;
    window.nZoom = m_nZoom;
    window.dRatio = viewport()->devicePixelRatioF();
    const qreal ratio = window.dRatio;
    const QSize client = viewport()->size();
    const QPoint scroll = GetScrollPosition();
    window.rcArea =
        QRect(ToDevicePixels(scroll.x(), ratio), ToDevicePixels(scroll.y(), ratio),
              ToDevicePixels(client.width(), ratio), ToDevicePixels(client.height(), ratio));
    window.sizeExtent = QSize(ToDevicePixels(m_sizeTotal.width(), ratio),
                              ToDevicePixels(m_sizeTotal.height(), ratio));
    window.crBase = palette().color(QPalette::Base);
    window.crGray = GrayTextColor(palette());
    return window;
}

void CVelmoView::DrawTrackFrame(QPainter& painter) const {
    if (m_nDragMode == DRAG_NONE || m_rcTrack.IsEmpty()) {
        return;
    }
    // The drag rectangle is a 1-pixel frame that inverts what lies under it; never filled.
    // Each pixel of the frame is inverted once, corners included.
    const int l = m_rcTrack.left;
    const int t = m_rcTrack.top;
    const int w = m_rcTrack.Width();
    const int h = m_rcTrack.Height();
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(QRect(l, t, w, 1), Qt::black);
    if (h > 1) {
        painter.fillRect(QRect(l, t + h - 1, w, 1), Qt::black);
    }
    if (h > 2) {
        painter.fillRect(QRect(l, t + 1, 1, h - 2), Qt::black);
        if (w > 1) {
            painter.fillRect(QRect(l + w - 1, t + 1, 1, h - 2), Qt::black);
        }
    }
    painter.restore();
}

void CVelmoView::paintEvent(QPaintEvent*) {
    const CVelmoDoc* doc = GetDocument();
    const CPanel* panel = doc != nullptr ? &doc->m_panel : nullptr;
    const SPanelWindow window = CurrentWindow();
    if (!m_bImageValid || !(window == m_windowPainted)) {
        // A scroll moves the pixels kept where it can; the image is then brought to the panel
        // and the selection, drawing only what changed.
        if (panel != nullptr) {
            m_panelImage.Scroll(*panel, window);
        }
        if (m_panelImage.Render(panel, window, m_nSelected) == CPanelWindowImage::EWork::Whole &&
            panel != nullptr) {
            ShowPictureScaleNote(this, render::PictureShownReduced(panel->m_image, m_nZoom));
        }
        m_bImageValid = true;
        m_windowPainted = window;
    }
    QPainter painter(viewport());
    painter.drawImage(0, 0, m_panelImage.Image());
    DrawTrackFrame(painter);
}
